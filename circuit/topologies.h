// The fixed netlists of the seven filter topologies.
#pragma once

#include <array>

#include "circuit/netlist.h"

namespace feldan {

// Crystal positions ZQ1..ZQ8.
inline constexpr int MaxCrystals = 8;

// One crystal: the motional arm Lm, Cm, Rm in series, bridged by the static capacitance C0, and
// an optional trim capacitor in series with the whole crystal. SI units throughout (H, F, Ohm),
// so that measured crystals and tolerance trials need no conversions of their own.
struct Resonator {
    double LmH = 0;
    double CmF = 0;
    double RmOhm = 0;
    double C0F = 0;
    double TrimF = 0;  // 0: no trim capacitor
};

// The crystal of a design from the design's units (Ld in mH, Cm in F, Rd in Ohm, Cs in pF),
// converted with the operations the netlists have always used (Ld·0.001, Cs·1e-12), so a design
// of equal crystals gives the same bits as ever.
Resonator ResonatorOfDesign(double ldMH, double motionalCapF, double rdOhm, double csPF);

// Element values of one design: a resonator per crystal position, the terminations and the
// capacitor slots in pF. The builders convert to H, F and S. The circuit layer knows nothing
// else of a design.
struct ElementValues {
    std::array<Resonator, MaxCrystals + 1> Crystal{};  // ZQ1..ZQ8 at [1..8]; [0] unused
    double SourceOhm = 0;
    double LoadOhm = 0;
    std::array<double, 29> CapPF{};  // slots 1..28, pF

    // Every position alike: a design of equal crystals.
    void SetAllCrystals(const Resonator& crystal) {
        for (int p = 1; p <= MaxCrystals; ++p)
            Crystal[p] = crystal;
    }
};

struct TopologyCounts {
    int NodeCount;
    int BranchCount;
    int DrivenNode;
    int OutputNode;
};

// Counts of FilterType 1..7 (index filterType − 1).
const TopologyCounts& CountsOf(int filterType);

// Writes the counts, every branch (all five fields), the ports and the one 1 V source of the
// topology. A crystal with a trim capacitor gets it between its input-side node and a node of
// its own, numbered and appended after all others, so netlists without trims are unchanged.
// filterType must be 1..7.
void BuildNetlist(int filterType, const ElementValues& values, Netlist& netlist);

// One crystal (with its trim, if any) in series between a source resistance and a load, as it is
// measured in a series fixture: port 1 at its one end, port 2 at the other.
void BuildCrystalFixture(const Resonator& crystal, double sourceOhm, double loadOhm,
                         Netlist& netlist);

}  // namespace feldan
