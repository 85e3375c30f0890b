// The fixed netlists of the seven filter topologies.
#pragma once

#include <array>

#include "circuit/netlist.h"

namespace feldan {

// Element values of one design, in the units of the design (mH, pF, Ohm, F for the motional
// capacitance). The builders convert to H, F and S. The circuit layer knows nothing else of a
// design.
struct ElementValues {
    double LdMH = 0;
    double MotionalCapF = 0;
    double RdOhm = 0;
    double CsPF = 0;
    double SourceOhm = 0;
    double LoadOhm = 0;
    std::array<double, 29> CapPF{};  // slots 1..28, pF
};

struct TopologyCounts {
    int NodeCount;
    int BranchCount;
    int DrivenNode;
    int OutputNode;
};

// Counts of FilterType 1..7 (index filterType − 1).
const TopologyCounts& CountsOf(int filterType);

// Writes the counts, every branch (all five fields) and the one 1 V source of the topology.
// filterType must be 1..7.
void BuildNetlist(int filterType, const ElementValues& values, Netlist& netlist);

}  // namespace feldan
