#include "engine/rounding.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "circuit/analysis.h"
#include "engine/synthesis.h"

namespace feldan {

ParallelPair PartsOfSeries(double pF, const RoundingRequest& request) {
    const double single = RoundToSeries(pF, request.series);
    if (request.parallelPct && std::fabs(single / pF - 1) * 100 > *request.parallelPct) {
        const ParallelPair pair = NearestParallelPair(pF, request.series);
        if (pair.smaller > 0) return pair;
    }
    return {single, 0};
}

RoundingResult RoundDesign(const BuiltDesign& built, const RoundingRequest& request) {
    const DesignInput& input = built.design.input;
    const int type = built.design.synthesis.Circuit;
    // A refit moves both ends by one factor.
    const double endsRatio = OutputOverInput(built.design.synthesis);
    ElementValues values = built.values;
    RoundingResult result;
    result.nominalTerminationOhm = built.design.synthesis.InputOhm;
    result.roundedTerminationOhm = result.nominalTerminationOhm;
    result.nominalOutputTerminationOhm = result.nominalTerminationOhm * endsRatio;
    result.roundedOutputTerminationOhm = result.nominalOutputTerminationOhm;

    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (!IsCapacitorItem(item.kind)) continue;
        auto entry = std::find_if(result.capacitors.begin(), result.capacitors.end(),
                                  [&](const RoundedCapacitor& c) { return c.slot == item.index; });
        if (entry != result.capacitors.end()) {
            entry->labels.emplace_back(item.label);
            continue;
        }
        RoundedCapacitor c;
        c.labels = {std::string(item.label)};
        c.slot = item.index;
        c.nominalPF = values.CapPF[static_cast<std::size_t>(item.index)];
        const ParallelPair parts = PartsOfSeries(c.nominalPF, request);
        c.roundedPF = parts.Sum();
        if (parts.smaller > 0) c.pair = parts;
        result.capacitors.push_back(c);
    }
    for (const RoundedCapacitor& c : result.capacitors)
        values.CapPF[static_cast<std::size_t>(c.slot)] = c.roundedPF;

    auto circuit = std::make_unique<CircuitAnalysis>();
    if (request.refitTermination) {
        // Golden-section search on ln R between a third and three times the nominal value.
        const std::vector<double> omegas = OmegasOfCurve(built.schematic.curve, input.FoKHz * 1000);
        std::vector<double> ideal, trial;
        std::vector<TwoPortPoint> work;
        {
            auto nominal = std::make_unique<CircuitAnalysis>();
            BuildSchematicCircuit(*nominal, type, built.values, result.nominalTerminationOhm,
                                  result.nominalTerminationOhm * endsRatio);
            LevelsAt(*nominal, omegas, work, ideal);
        }
        const auto misfit = [&](double ohm) {
            BuildSchematicCircuit(*circuit, type, values, ohm, ohm * endsRatio);
            LevelsAt(*circuit, omegas, work, trial);
            double sum = 0;
            for (std::size_t i = 0; i < ideal.size(); ++i)
                sum += std::pow(trial[i] - ideal[i], 2);
            return ideal.empty() ? 0 : std::sqrt(sum / static_cast<double>(ideal.size()));
        };
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double lo = std::log(result.nominalTerminationOhm / 3),
               hi = std::log(result.nominalTerminationOhm * 3);
        double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
        double f1 = misfit(std::exp(x1)), f2 = misfit(std::exp(x2));
        for (int i = 0; i < 40 && hi - lo > 1e-4; ++i) {
            if (f1 < f2) {
                hi = x2, x2 = x1, f2 = f1;
                x1 = hi - ratio * (hi - lo);
                f1 = misfit(std::exp(x1));
            } else {
                lo = x1, x1 = x2, f1 = f2;
                x2 = lo + ratio * (hi - lo);
                f2 = misfit(std::exp(x2));
            }
        }
        result.roundedTerminationOhm = std::exp((lo + hi) / 2);
        result.roundedOutputTerminationOhm = result.roundedTerminationOhm * endsRatio;
        if (request.terminationToE24) {
            result.roundedTerminationOhm =
                RoundToSeries(result.roundedTerminationOhm, ESeries::E24);
            result.roundedOutputTerminationOhm =
                endsRatio == 1 ? result.roundedTerminationOhm
                               : RoundToSeries(result.roundedOutputTerminationOhm, ESeries::E24);
        }
    }
    result.rounded.input = input;
    result.rounded.synthesis = built.design.synthesis;
    BuildSchematicCircuit(*circuit, type, values, result.roundedTerminationOhm,
                          result.roundedOutputTerminationOhm);
    MeasureCircuit(*circuit, input, result.rounded);
    return result;
}

}  // namespace feldan
