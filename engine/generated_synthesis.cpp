#include "engine/generated_synthesis.h"

#include <algorithm>
#include <array>
#include <vector>

#include "circuit/topologies.h"
#include "engine/ladder_design.h"

namespace feldan {

namespace {

// A QER ladder: every coupling capacitor g_in·S, the doubled end crystals straight on the
// terminations, no end or tuning capacitors (each mesh tunes itself).
void ComputeQer(Synthesis& d, Checked s) {
    const int poles = d.ProtoOrder;
    const Checked c = s * QerRowOf(poles).gIn;
    d.CapPF = {};
    for (int j = 1; j < poles; ++j)
        d.CapPF[static_cast<std::size_t>(FirstCouplingSlot + j - 1)] = c.Value();
    d.Circuit = CircuitOfShape({LadderStructure::Qer, poles + 2, 0});
}

}  // namespace

// A generated ladder (circuit/generated_ladders.h) from its prototype g1..gn, the rule of the
// classic ones carried to any number of crystals. Crystals j and j + 1 couple through
// S·√(g_j·g_(j+1)). Every mesh is tuned to the one whose capacitors' elastance (the sum of their
// reciprocals) is the largest, M: an inner mesh below it gets a series capacitor of 1/(M − m),
// an end mesh its end capacitor of 1/(M − 1/K). In a CW ladder every inner mesh has its Ck in
// series, which then takes the tuning too. Tuned capacitors on either side of a coupling make a
// star with it, built as its π equivalent.
void ComputeGenerated(Synthesis& d, LadderStructure structure, Checked s, Checked ck) {
    if (structure == LadderStructure::Qer) return ComputeQer(d, s);
    const int n = d.ProtoOrder;
    const auto g = [&](int k) { return Checked(d.ProtoG[static_cast<std::size_t>(k)]); };
    std::array<double, MaxLadderCrystals + 1> coupling{};
    for (int j = 1; j < n; ++j)
        coupling[static_cast<std::size_t>(j)] = (s * Sqrt(g(j) * g(j + 1))).Value();
    const auto K = [&](int j) { return Checked(coupling[static_cast<std::size_t>(j)]); };
    const bool cw = structure == LadderStructure::Cw;
    // The inner meshes' elastance, in 1/pF, and the largest.
    std::array<double, MaxLadderCrystals + 1> mesh{};
    double largest = n == 2 ? (2 / K(1)).Value() : 0;
    for (int i = 2; i < n; ++i) {
        Checked m = 1 / K(i - 1) + 1 / K(i);
        if (cw) m = m + 1 / ck;
        mesh[static_cast<std::size_t>(i)] = m.Value();
        largest = std::max(largest, m.Value());
    }
    // A mesh within a part in 10⁹ of the largest is tuned already: the capacitor it would
    // need is no part anyone could buy.
    constexpr double Tuned = 1e-9;
    const Checked M = largest;
    unsigned tunedMeshes = 0;
    std::array<double, MaxLadderCrystals + 1> arm{};  // the series capacitor of mesh i, pF
    for (int i = 2; i < n; ++i) {
        const double m = mesh[static_cast<std::size_t>(i)];
        const bool untuned = m >= largest * (1 - Tuned);
        if (cw) {
            arm[static_cast<std::size_t>(i)] =
                untuned ? ck.Value() : (1 / (1 / ck + (M - m))).Value();
        } else if (!untuned) {
            tunedMeshes |= 1U << i;
            arm[static_cast<std::size_t>(i)] = (1 / (M - m)).Value();
        }
    }
    auto& c = d.CapPF;
    c[InputEndSlot] = (1 / (M - 1 / K(1))).Value();
    c[OutputEndSlot] = (1 / (M - 1 / K(n - 1))).Value();
    const LadderShape shape{structure, n, tunedMeshes};
    const std::vector<CouplingForm> forms = CouplingFormsOf(shape);
    std::size_t slot = FirstCouplingSlot;
    for (int j = 1; j < n; ++j) {
        const Checked k = K(j);
        const CouplingForm form = forms[static_cast<std::size_t>(j - 1)];
        const double left = arm[static_cast<std::size_t>(j)];
        const double right = arm[static_cast<std::size_t>(j + 1)];
        switch (form) {
            case CouplingForm::Shunt:
                c[slot] = k.Value();
                break;
            case CouplingForm::SeriesThenShunt:
                c[slot] = left;
                c[slot + 1] = k.Value();
                break;
            case CouplingForm::ShuntThenSeries:
                c[slot] = k.Value();
                c[slot + 1] = right;
                break;
            case CouplingForm::Pi: {
                // Summed in an order that does not tell the arms apart, so that mirrored
                // sections come out equal to the bit.
                const Checked a = left, b = right, sum = a + b + k;
                c[slot] = (a * k / sum).Value();
                c[slot + 1] = (a * b / sum).Value();
                c[slot + 2] = (b * k / sum).Value();
                break;
            }
        }
        slot += static_cast<std::size_t>(SlotsOf(form));
    }
    d.Circuit = CircuitOfShape(shape);
}

}  // namespace feldan
