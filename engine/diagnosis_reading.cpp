#include "engine/diagnosis_reading.h"

#include <algorithm>
#include <cmath>

namespace feldan::diagnosis_reading {

namespace {

// A part whose bound is under these is pinned by the sweep: three bounds make 0.5 % and 2 Hz.
constexpr double DeterminedPct = 0.15;
constexpr double DeterminedHz = 0.6;
// A part whose bound is over these the sweep leaves open (a fifth of the design's belief that the
// fit adds); such parts whose fitted values correlate at least GroupCorrelation are one group.
constexpr double UndeterminedPct = 2;
constexpr double UndeterminedHz = 20;
constexpr double GroupCorrelation = 0.5;

// Two values of a part agree within `relative` of the first (two zeros agree).
bool Near(double a, double b, double relative) {
    return std::fabs(a - b) <= relative * std::fabs(a);
}

std::string PartLabel(const DiagnosisModel& model, int parameter) {
    if (parameter < model.Capacitors())
        return model.CapacitorLabels()[static_cast<std::size_t>(parameter)];
    return "ZQ" +
           std::to_string(
               model.CrystalPositions()[static_cast<std::size_t>(parameter - model.Capacitors())]);
}

}  // namespace

// Position k of a parameter list in the mirror image of the schematic.
int MirrorOf(const DiagnosisModel& model, int parameter) {
    const int caps = model.Capacitors();
    const int crystals = model.Crystals();
    if (parameter < caps) return caps - 1 - parameter;
    if (parameter < caps + crystals) return caps + crystals - 1 - (parameter - caps);
    return parameter;
}

// A schematic whose mirror image has the same values in force: its mirror fits S21 as well.
bool SymmetricDesign(const DiagnosisModel& model, const BuiltDesign& built) {
    const auto near = [](double a, double b) { return Near(a, b, 1e-6); };
    const std::vector<double>& pf = model.CapacitorPF();
    const int caps = model.Capacitors();
    for (int k = 0; k < caps; ++k) {
        if (!near(pf[static_cast<std::size_t>(k)], pf[static_cast<std::size_t>(caps - 1 - k)]))
            return false;
    }
    const auto& items = DescriptorOf(built.design.synthesis.Circuit).schematic;
    // A crystal in parallel follows the one it sits across, so the mirror has them the other
    // way round: both are crystals here.
    const auto kind = [&](std::size_t k) {
        return items[k].kind == SchematicItemKind::ParallelCrystal ? SchematicItemKind::Crystal
                                                                   : items[k].kind;
    };
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (kind(k) != kind(items.size() - 1 - k)) return false;
    }
    const std::vector<int>& positions = model.CrystalPositions();
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const Resonator& a = built.values.Crystal[static_cast<std::size_t>(positions[k])];
        const Resonator& b =
            built.values.Crystal[static_cast<std::size_t>(positions[positions.size() - 1 - k])];
        if (!near(a.LmH, b.LmH) || !near(a.CmF, b.CmF) || !near(a.C0F, b.C0F) ||
            !near(a.TrimF, b.TrimF))
            return false;
    }
    return true;
}

DiagnosisReading ReadingOf(const DiagnosisModel& model, const Fitted& fit, bool mirror,
                           const std::vector<std::pair<int, int>>& pairs) {
    DiagnosisReading reading;
    const auto source = [&](int parameter) {
        return mirror ? MirrorOf(model, parameter) : parameter;
    };
    for (int k = 0; k < model.Capacitors(); ++k) {
        const int from = source(k);
        FittedCapacitor part;
        part.label = model.CapacitorLabels()[static_cast<std::size_t>(k)];
        part.slot = model.CapacitorSlots()[static_cast<std::size_t>(k)];
        part.designedPF = model.CapacitorPF()[static_cast<std::size_t>(k)];
        part.fittedPF = part.designedPF * std::exp(fit.theta[from]);
        part.errorPct = 100 * (std::exp(fit.theta[from]) - 1);
        part.boundPct = 100 * std::sqrt(std::max(0.0, fit.covariance(from, from)));
        reading.capacitors.push_back(part);
    }
    for (int k = 0; k < model.Crystals(); ++k) {
        const int from = source(model.CrystalParameter(k));
        FittedCrystal crystal;
        crystal.position = model.CrystalPositions()[static_cast<std::size_t>(k)];
        crystal.offsetHz = fit.theta[from];
        crystal.boundHz = std::sqrt(std::max(0.0, fit.covariance(from, from)));
        reading.crystals.push_back(crystal);
    }
    // Of two crystals that can be swapped unseen, the first takes the lower resonance.
    auto& crystals = reading.crystals;
    const auto at = [&](int position) {
        return std::find_if(crystals.begin(), crystals.end(),
                            [&](const FittedCrystal& q) { return q.position == position; });
    };
    for (const auto& [a, b] : pairs) {
        const auto first = at(a), second = at(b);
        if (first != crystals.end() && second != crystals.end() &&
            first->offsetHz > second->offsetHz) {
            std::swap(first->offsetHz, second->offsetHz);
            std::swap(first->boundHz, second->boundHz);
        }
    }
    return reading;
}

// True when the fitted values of each part and its mirror image agree to what the sweep pins
// (0.5 %, 2 Hz): then the mirrored reading is the same filter. Their bounds do not enter: the
// two readings fit equally well, however wide the bounds of either.
bool SymmetricFit(const DiagnosisModel& model, const Fitted& fit) {
    for (int p = 0; p < model.Capacitors() + model.Crystals(); ++p) {
        const int q = MirrorOf(model, p);
        if (q <= p) continue;
        const double allowed = p < model.Capacitors() ? 3 * DeterminedPct / 100 : 3 * DeterminedHz;
        if (std::fabs(fit.theta[p] - fit.theta[q]) > allowed) return false;
    }
    return true;
}

// The parts the sweep does not determine, grouped by how their fitted values trade.
std::vector<WeakGroup> WeakGroupsOf(const DiagnosisModel& model, const Fitted& fit) {
    const int parts = model.Capacitors() + model.Crystals();
    const auto boundOf = [&](int p) { return std::sqrt(std::max(0.0, fit.covariance(p, p))); };
    const auto undetermined = [&](int p) {
        return p < model.Capacitors() ? 100 * boundOf(p) > UndeterminedPct
                                      : boundOf(p) > UndeterminedHz;
    };
    std::vector<int> group(static_cast<std::size_t>(parts), -1);
    int groups = 0;
    for (int p = 0; p < parts; ++p) {
        if (!undetermined(p) || group[static_cast<std::size_t>(p)] >= 0) continue;
        // Everything reachable from p through strong correlations among undetermined parts.
        std::vector<int> stack{p};
        group[static_cast<std::size_t>(p)] = groups;
        while (!stack.empty()) {
            const int a = stack.back();
            stack.pop_back();
            for (int b = 0; b < parts; ++b) {
                if (group[static_cast<std::size_t>(b)] >= 0 || !undetermined(b)) continue;
                const double correlation = fit.covariance(a, b) / (boundOf(a) * boundOf(b));
                if (std::fabs(correlation) < GroupCorrelation) continue;
                group[static_cast<std::size_t>(b)] = groups;
                stack.push_back(b);
            }
        }
        ++groups;
    }
    std::vector<WeakGroup> result(static_cast<std::size_t>(groups));
    for (int p = 0; p < parts; ++p) {
        const int g = group[static_cast<std::size_t>(p)];
        if (g < 0) continue;
        WeakGroup& weak = result[static_cast<std::size_t>(g)];
        weak.labels.push_back(PartLabel(model, p));
        if (p < model.Capacitors())
            weak.worstBoundPct = std::max(weak.worstBoundPct, 100 * boundOf(p));
        else
            weak.worstBoundHz = std::max(weak.worstBoundHz, boundOf(p));
    }
    return result;
}

// The identical crystals in parallel of the schematic, as model indices of crystals: the
// response is the same with their resonances swapped.
std::vector<std::pair<int, int>> ParallelPairsOf(const DiagnosisModel& model,
                                                 const BuiltDesign& built) {
    const std::vector<int>& positions = model.CrystalPositions();
    const auto indexOf = [&](int position) {
        return static_cast<int>(std::find(positions.begin(), positions.end(), position) -
                                positions.begin());
    };
    const auto same = [](const Resonator& a, const Resonator& b) {
        return Near(a.LmH, b.LmH, 1e-9) && Near(a.RmOhm, b.RmOhm, 1e-9) &&
               Near(a.C0F, b.C0F, 1e-9) && a.TrimF == b.TrimF;
    };
    std::vector<std::pair<int, int>> pairs;
    int last = 0;
    for (const SchematicItem& item : DescriptorOf(built.design.synthesis.Circuit).schematic) {
        if (item.kind == SchematicItemKind::Crystal) last = item.index;
        if (item.kind != SchematicItemKind::ParallelCrystal || last == 0) continue;
        const int a = indexOf(last), b = indexOf(item.index);
        if (a < model.Crystals() && b < model.Crystals() &&
            same(built.values.Crystal[static_cast<std::size_t>(last)],
                 built.values.Crystal[static_cast<std::size_t>(item.index)]))
            pairs.emplace_back(a, b);
    }
    return pairs;
}

}  // namespace feldan::diagnosis_reading
