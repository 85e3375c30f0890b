#include "engine/diagnosis_advice.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unsupported/Eigen/LevenbergMarquardt>
#include <unsupported/Eigen/NumericalDiff>

#include "circuit/analysis.h"
#include "engine/crystal.h"

namespace feldan::diagnosis_advice {

using Eigen::VectorXd;

std::optional<PassBand> BandOfBuilt(const BuiltDesign& built) {
    if (auto band = BandOf(built.schematic)) return band;
    return BandOf(built.design);
}

bool InWeakGroup(const Diagnosis& d, const std::string& label) {
    return std::any_of(d.weakGroups.begin(), d.weakGroups.end(), [&](const WeakGroup& g) {
        return std::find(g.labels.begin(), g.labels.end(), label) != g.labels.end();
    });
}

namespace {

// The response in dB of the schematic of `values` between ends of inputOhm and outputOhm, at
// `omegas` (on the chart's scale: only differences of it count here).
std::vector<double> GainDb(int type, const ElementValues& values, double inputOhm, double outputOhm,
                           const std::vector<double>& omegas) {
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildSchematicCircuit(*circuit, type, values, inputOhm, outputOhm);
    std::vector<TwoPortPoint> work;
    std::vector<double> levels;
    LevelsAt(*circuit, omegas, work, levels);
    return levels;
}

// The ends the fitted filter wants: the resistance at each end and, where the schematic ends
// in a shunt capacitor, the capacitance across it that bring its power gain closest to the
// design's over the band and a quarter of the band beside it. x holds the logarithms of the two
// resistances' factors, then those of the two end capacitors'.
struct EndsFunctor : Eigen::DenseFunctor<double> {
    EndsFunctor(int type, const ElementValues& values, std::optional<std::size_t> last,
                std::vector<double> omegas, std::vector<double> target, double inputOhm,
                double outputOhm)
        : Eigen::DenseFunctor<double>(last ? 4 : 2, static_cast<int>(omegas.size())),
          type_(type),
          values_(values),
          last_(last),
          omegas_(std::move(omegas)),
          target_(std::move(target)),
          inputOhm_(inputOhm),
          outputOhm_(outputOhm) {}
    int operator()(const VectorXd& x, VectorXd& fvec) const {
        ElementValues values = values_;
        if (last_) {
            values.PartPF[0] *= std::exp(x[2]);
            values.PartPF[*last_] *= std::exp(x[3]);
        }
        const std::vector<double> db =
            GainDb(type_, values, inputOhm_ * std::exp(x[0]), outputOhm_ * std::exp(x[1]), omegas_);
        for (std::size_t i = 0; i < db.size(); ++i)
            fvec[static_cast<Eigen::Index>(i)] = db[i] - target_[i];
        return 0;
    }
    int type_;
    ElementValues values_;
    std::optional<std::size_t> last_;  // the part of the output's shunt capacitor, if any
    std::vector<double> omegas_;
    std::vector<double> target_;
    double inputOhm_, outputOhm_;
};

}  // namespace

void FitEnds(const BuiltDesign& built, Diagnosis& d) {
    const int type = built.design.synthesis.Circuit;
    const auto& items = DescriptorOf(type).schematic;
    const std::optional<PassBand> band = BandOfBuilt(built);
    const std::size_t parts = d.reading.capacitors.size();
    if (!band || items.empty()) return;
    // A QER ladder ends in its crystals: only the resistances are found there.
    const bool capacitors = parts >= 2 && items.front().kind == SchematicItemKind::ShuntCapacitor &&
                            items.back().kind == SchematicItemKind::ShuntCapacitor;
    const double inputOhm = built.design.synthesis.InputOhm;
    const double outputOhm = inputOhm * OutputOverInput(built.design.synthesis);
    std::vector<double> omegas;
    const double from = band->lowerHz - band->WidthHz() / 4;
    const double to = band->upperHz + band->WidthHz() / 4;
    for (int i = 0; i <= 100; ++i)
        omegas.push_back(TwoPi * (from + (to - from) * i / 100));
    const std::vector<double> target = GainDb(type, built.values, inputOhm, outputOhm, omegas);
    d.input.designOhm = inputOhm;
    d.output.designOhm = outputOhm;
    // Start from the design's ends: the fitted filter with its end capacitors as designed.
    ElementValues values = d.fittedValues;
    if (capacitors) {
        d.input.designPF = d.reading.capacitors.front().designedPF;
        d.output.designPF = d.reading.capacitors.back().designedPF;
        values.PartPF[0] = d.input.designPF;
        values.PartPF[parts - 1] = d.output.designPF;
    }
    EndsFunctor functor(type, values, capacitors ? std::optional(parts - 1) : std::nullopt, omegas,
                        target, inputOhm, outputOhm);
    Eigen::NumericalDiff<EndsFunctor> numeric(functor);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<EndsFunctor>> lm(numeric);
    lm.setMaxfev(200);
    VectorXd x = VectorXd::Zero(capacitors ? 4 : 2);
    lm.minimize(x);
    d.input.fittedOhm = inputOhm * std::exp(x[0]);
    d.output.fittedOhm = outputOhm * std::exp(x[1]);
    if (capacitors) {
        d.input.fittedPF = d.input.designPF * std::exp(x[2]);
        d.output.fittedPF = d.output.designPF * std::exp(x[3]);
    }
}

namespace {

// A crystal of the fitted filter as the crystal fit describes one.
CrystalModel CrystalOf(const Resonator& r) {
    return CrystalFromSeriesResonance(1 / (TwoPi * std::sqrt(r.LmH * r.CmF)), r.LmH, r.RmOhm,
                                      r.C0F);
}

}  // namespace

// What to change, the worst first: a capacitor off by more than 1 % and three bounds gets the
// standard value that brings it back (the part soldered times designed over fitted); a crystal
// off by more than 5 Hz and three bounds gets the trim that brings it back. Parts the sweep
// leaves open (those of a group) get none.
void AdviseOn(const BuiltDesign& built, Diagnosis& d, ESeries series) {
    const auto inGroup = [&](const std::string& label) { return InWeakGroup(d, label); };
    std::vector<std::pair<double, Advice>> advice;
    for (const FittedCapacitor& c : d.reading.capacitors) {
        const double off = std::fabs(c.errorPct);
        if (off < std::max(1.0, 3 * c.boundPct) || inGroup(c.label)) continue;
        const double restoring = c.designedPF * c.designedPF / c.fittedPF;
        advice.push_back(
            {off / std::max(1.0, 3 * c.boundPct),
             {AdviceKind::ReplaceCapacitor, c.label, RoundToSeries(restoring, series)}});
    }
    for (const FittedCrystal& q : d.reading.crystals) {
        const std::string label = "ZQ" + std::to_string(q.position);
        const double off = std::fabs(q.offsetHz);
        if (off < std::max(5.0, 3 * q.boundHz) || inGroup(label)) continue;
        const Resonator& designed = built.values.Crystal[static_cast<std::size_t>(q.position)];
        const Resonator& fitted = d.fittedValues.Crystal[static_cast<std::size_t>(q.position)];
        const CrystalModel crystal = CrystalOf(fitted);
        const double weight = off / std::max(5.0, 3 * q.boundHz);
        if (designed.TrimF > 0) {
            // The trim that gives the crystal as fitted the series resonance it has as designed.
            const CrystalModel design = CrystalOf(designed);
            const double target =
                design.fsHz + design.fsHz * design.cmF / (2 * (design.c0F + designed.TrimF));
            const double trimF = SeriesTrimFor(crystal, target);
            if (trimF > 0)
                advice.push_back(
                    {weight, {AdviceKind::ChangeTrim, label, RoundToSeries(trimF * 1e12, series)}});
            else
                advice.push_back({weight, {AdviceKind::CrystalHigh, label, q.offsetHz}});
        } else if (q.offsetHz < 0) {
            const double trimF = SeriesTrimFor(crystal, CrystalOf(designed).fsHz);
            advice.push_back({weight,
                              {AdviceKind::AddTrim, label,
                               trimF > 0 ? RoundToSeries(trimF * 1e12, series) : 0}});
        } else {
            advice.push_back({weight, {AdviceKind::CrystalHigh, label, q.offsetHz}});
        }
    }
    std::stable_sort(advice.begin(), advice.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [weight, a] : advice)
        d.advice.push_back(a);
}

}  // namespace feldan::diagnosis_advice
