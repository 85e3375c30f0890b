#include "engine/crystal_pick_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/built_design.h"
#include "engine/design_run.h"

namespace feldan::pick_model {

namespace {

constexpr double TwoPiTrue = 2 * std::numbers::pi;

// The mean crystal of a set, as the design of a set takes it.
CrystalModel MeanCrystal(std::span<const CrystalModel* const> set) {
    double fs = 0, lm = 0, rm = 0, c0 = 0;
    for (const CrystalModel* c : set) {
        fs += c->fsHz - set[0]->fsHz;
        lm += c->lmH;
        rm += c->rmOhm;
        c0 += c->c0F;
    }
    const double n = static_cast<double>(set.size());
    return CrystalFromSeriesResonance(set[0]->fsHz + fs / n, lm / n, rm / n, c0 / n);
}

// How far the unwanted modes of a set line up, as a cost: for each mode of each crystal, how near
// the other crystals have a mode of their own (each nearest mode x design bandwidths away gives
// 1/(1 + x²), averaged over the crystals), weighted by the mode's strength against the main
// one; the worst of them. A crystal without modes blocks any second pass band.
double AlignedModesCostDb(std::span<const CrystalModel* const> set, double bandHz) {
    double worst = 0;
    for (const CrystalModel* a : set) {
        if (a->modes.empty()) return 0;
        for (const CrystalMode& mode : a->modes) {
            double near = 0;
            for (const CrystalModel* b : set) {
                if (b == a) continue;
                double nearest = INFINITY;
                for (const CrystalMode& other : b->modes)
                    nearest = std::min(nearest, std::fabs(other.fsHz - mode.fsHz));
                const double x = nearest / bandHz;
                near += 1 / (1 + x * x) / static_cast<double>(set.size() - 1);
            }
            const double strength = std::min(1.0, 2 * a->rmOhm / mode.rmOhm);
            worst = std::max(worst, strength * near);
        }
    }
    return AlignedModesDb * worst;
}

}  // namespace

bool UsableCrystal(const CrystalModel& c) {
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    const auto usableMode = [&](const CrystalMode& m) {
        return positive(m.fsHz) && positive(m.lmH) && positive(m.cmF) && positive(m.rmOhm);
    };
    return positive(c.fsHz) && positive(c.lmH) && positive(c.cmF) && positive(c.rmOhm) &&
           std::isfinite(c.c0F) && c.c0F >= 0 && c.modes.size() <= std::size_t{MaxUnwantedModes} &&
           std::all_of(c.modes.begin(), c.modes.end(), usableMode);
}

// The network from the schematic's parts: between two crystals a two-port of shunt and series
// capacitors (its open-circuit impedances), at the ends the termination through its parts.
// Nothing when a mesh is not capacitive or two crystals share no shunt part.
std::optional<MeshNetwork> MeshNetworkOf(int circuit, const ElementValues& values, double inputOhm,
                                         double outputOhm, double foHz) {
    const TopologyDescriptor& topology = DescriptorOf(circuit);
    const double w = TwoPiTrue * foHz;
    std::vector<std::vector<SchematicItem>> segments(1);
    for (const SchematicItem& item : topology.schematic) {
        if (item.kind == SchematicItemKind::Crystal) {
            segments.emplace_back();
        } else {
            segments.back().push_back(item);
        }
    }
    const std::size_t n = segments.size() - 1;
    if (n == 0) return std::nullopt;
    const auto farad = [&](const SchematicItem& item) {
        return values.CapPF[static_cast<std::size_t>(item.index)] * 1e-12;
    };
    // Towards an end: in series, or across.
    const auto endImpedance = [&](Complex z, const SchematicItem& item) {
        const double c = farad(item);
        if (item.kind == SchematicItemKind::ShuntCapacitor)
            return z / (1.0 + Complex(0, w * c) * z);
        return z + Complex(0, -1 / (w * c));
    };
    Complex left = inputOhm;
    for (const SchematicItem& item : segments.front())
        left = endImpedance(left, item);
    Complex right = outputOhm;
    for (auto item = segments.back().rbegin(); item != segments.back().rend(); ++item)
        right = endImpedance(right, *item);
    // The chain matrix of each two-port between crystals, and its impedances.
    std::vector<Complex> z11(n), z22(n), z12(n);
    for (std::size_t p = 1; p < n; ++p) {
        Complex a = 1, b = 0, c = 0, d = 1;
        for (const SchematicItem& item : segments[p]) {
            const double cap = farad(item);
            if (item.kind == SchematicItemKind::ShuntCapacitor) {
                const Complex y(0, w * cap);
                a += b * y;
                c += d * y;
            } else {
                const Complex z(0, -1 / (w * cap));
                b += a * z;
                d += c * z;
            }
        }
        if (!(std::abs(c) > 0)) return std::nullopt;
        z11[p] = a / c;
        z22[p] = d / c;
        z12[p] = 1.0 / c;
    }
    MeshNetwork network;
    for (std::size_t p = 1; p <= n; ++p) {
        const Complex loop = (p == 1 ? left : z22[p - 1]) + (p == n ? right : z11[p]);
        if (!(loop.imag() < 0) || !std::isfinite(loop.real())) return std::nullopt;
        network.loopF.push_back(-1 / (w * loop.imag()));
        network.loopOhm.push_back(loop.real());
        if (p < n) network.couplingOhm.push_back(std::fabs(z12[p].imag()));
    }
    return network;
}

MeshResonator MeshOf(const CrystalModel& c, double trimF, double loopF, double loopOhm) {
    const double series = trimF > 0 ? trimF * loopF / (trimF + loopF) : loopF;
    const double ratio = 1 + c.c0F / series;
    const double hz = c.fsHz * std::sqrt(1 + c.cmF / (c.c0F + series));
    const double omega = TwoPiTrue * hz;
    return {omega * omega, c.lmH * ratio * ratio, c.rmOhm * ratio * ratio + loopOhm, hz};
}

// 10·log10 |det Z|² of the meshes' tridiagonal impedance matrix at ω. The transfer from the
// first mesh to the last is the product of the couplings over the determinant, so with the
// couplings the same, two sets' responses differ in dB by the difference of these.
double LogDeterminant(std::span<const MeshResonator> meshes, std::span<const double> couplingSq,
                      double omega) {
    double prevRe = 1, prevIm = 0;  // the continuant two steps back, then one
    double re = meshes[0].rOhm;
    double im = meshes[0].lH * (omega - meshes[0].omegaSquared / omega);
    for (std::size_t p = 1; p < meshes.size(); ++p) {
        const double dRe = meshes[p].rOhm;
        const double dIm = meshes[p].lH * (omega - meshes[p].omegaSquared / omega);
        // D_p = d_p·D_(p−1) − z²·D_(p−2), z = jX: −z² = X².
        const double nextRe = dRe * re - dIm * im + couplingSq[p - 1] * prevRe;
        const double nextIm = dRe * im + dIm * re + couplingSq[p - 1] * prevIm;
        prevRe = re;
        prevIm = im;
        re = nextRe;
        im = nextIm;
    }
    return 10 * std::log10(re * re + im * im);
}

// The cost of applied trims: lifts in Hz.
double TrimCostDb(std::span<const double> liftsHz, double bandHz) {
    double cost = 0;
    for (double lift : liftsHz) {
        if (lift > 0) cost += TrimEachDb + TrimLiftDb * lift / bandHz;
    }
    return cost;
}

SetReference ReferenceOf(const PreScoreModel& model, std::span<const CrystalModel> bag,
                         std::span<const Index> members) {
    SetReference set;
    for (Index i : members)
        set.members.push_back(&bag[i]);
    const CrystalModel mean = MeanCrystal(set.members);
    double topHz = 0;
    for (const CrystalModel* c : set.members)
        topHz = std::max(topHz, c->fsHz);
    const double foHz = model.trim ? topHz : mean.fsHz;
    std::vector<double> lifts;
    for (const CrystalModel* c : set.members) {
        const double trimF = model.trim ? SeriesTrimFor(*c, topHz) : 0;
        if (!(trimF >= 0 && std::isfinite(trimF))) return set;
        set.trimF.push_back(trimF);
        lifts.push_back(model.trim ? topHz - c->fsHz : 0);
    }
    const double meanTrimF = model.trim ? SeriesTrimFor(mean, topHz) : 0;
    if (!(meanTrimF >= 0 && std::isfinite(meanTrimF))) return set;
    std::vector<MeshResonator> meshes;
    for (std::size_t p = 0; p < members.size(); ++p)
        meshes.push_back(MeshOf(mean, meanTrimF, model.network.loopF[p], model.network.loopOhm[p]));
    for (double offset : model.offsetsHz) {
        set.omegas.push_back(TwoPiTrue * (foHz + offset));
        set.referenceDb.push_back(LogDeterminant(meshes, model.couplingSq, set.omegas.back()));
    }
    set.fixedCostDb =
        TrimCostDb(lifts, model.bandHz) + AlignedModesCostDb(set.members, model.bandHz);
    set.usable = true;
    return set;
}

// The departure of the set in positions `order` (indices into set.members) from its reference.
double DepartureDb(const PreScoreModel& model, const SetReference& set,
                   std::span<const std::size_t> order, std::vector<MeshResonator>& meshes) {
    meshes.clear();
    for (std::size_t p = 0; p < order.size(); ++p) {
        meshes.push_back(MeshOf(*set.members[order[p]], set.trimF[order[p]], model.network.loopF[p],
                                model.network.loopOhm[p]));
    }
    double worst = 0;
    for (std::size_t k = 0; k < set.omegas.size(); ++k) {
        const double db = LogDeterminant(meshes, model.couplingSq, set.omegas[k]);
        worst = std::max(worst, std::fabs(db - set.referenceDb[k]));
    }
    return worst;
}

// The mesh model of the design, from a set built whole: its network, and its pass band (within
// 3 dB of the peak of the model's own response on the set's mean crystal) as offsets from Fo.
std::optional<PreScoreModel> ModelOf(std::span<const CrystalModel> bag,
                                     std::span<const Index> order, const PickRequest& request) {
    std::vector<CrystalModel> crystals;
    for (Index i : order)
        crystals.push_back(bag[i]);
    const Designed designed = RunDesign(request.design, '.', crystals, request.trim);
    const DesignBuild build = BuildDesign(designed);
    if (!build.built || !designed.set) return std::nullopt;
    const BuiltDesign& built = *build.built;
    const Synthesis& synthesis = built.design.synthesis;
    const double foHz = built.design.input.FoKHz * 1000;
    std::optional<MeshNetwork> network = MeshNetworkOf(
        synthesis.Circuit, built.values, synthesis.InputOhm, synthesis.OutputOhm, foHz);
    if (!network) return std::nullopt;
    PreScoreModel model;
    model.network = std::move(*network);
    for (double x : model.network.couplingOhm)
        model.couplingSq.push_back(x * x);
    model.trim = request.trim;
    model.bandHz = built.design.measurements.MeasuredDfHz;
    if (!(model.bandHz > 0)) model.bandHz = built.design.input.DfHz;
    // The model's response on equal mean crystals, over the band the design found and a band
    // width either side, finely enough to find its own −3 dB points.
    const CrystalSetDesign& set = *designed.set;
    const double meanTrimF = set.trim ? std::max(SeriesTrimFor(set.mean, set.alignedHz), 0.0) : 0;
    std::vector<MeshResonator> meshes;
    for (std::size_t p = 0; p < crystals.size(); ++p)
        meshes.push_back(
            MeshOf(set.mean, meanTrimF, model.network.loopF[p], model.network.loopOhm[p]));
    const Measurements& m = built.schematic.measurements;
    const double fromHz = m.LowerEdgeHz - model.bandHz, toHz = m.UpperEdgeHz + model.bandHz;
    constexpr int ScanPoints = 2001;
    std::vector<double> db(ScanPoints);
    double peak = -INFINITY;
    for (int k = 0; k < ScanPoints; ++k) {
        const double hz = fromHz + (toHz - fromHz) * k / (ScanPoints - 1);
        db[static_cast<std::size_t>(k)] = -LogDeterminant(meshes, model.couplingSq, TwoPiTrue * hz);
        peak = std::max(peak, db[static_cast<std::size_t>(k)]);
    }
    int first = 0, last = ScanPoints - 1;
    while (first < last && db[static_cast<std::size_t>(first)] < peak - 3)
        ++first;
    while (last > first && db[static_cast<std::size_t>(last)] < peak - 3)
        --last;
    const double lowHz = fromHz + (toHz - fromHz) * first / (ScanPoints - 1);
    const double highHz = fromHz + (toHz - fromHz) * last / (ScanPoints - 1);
    for (int k = 0; k < GridPoints; ++k)
        model.offsetsHz.push_back(lowHz + (highHz - lowHz) * k / (GridPoints - 1) - set.alignedHz);
    return model;
}

}  // namespace feldan::pick_model
