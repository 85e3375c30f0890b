#include "circuit/topologies.h"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>

namespace feldan {

namespace {

// What a branch carries. Every branch of a topology carries exactly one element; the other two
// element fields stay 0.
enum class Kind {
    Lm,  // L: motional inductance of the crystal at the row's position
    Cm,  // C: motional capacitance
    Rm,  // G = 1/Rm: motional resistance
    Co,  // C: static capacitance across the crystal
    Rs,  // G = 1/SourceOhm: source termination
    RL,  // G = 1/LoadOhm: load termination (always branch 11)
    C,   // C = CapPF[slot] (pF to F): a synthesised capacitor
};

// One row per branch, in branch-number order: from node, to node, element, and the crystal
// position (ZQ1..ZQ8) for Lm, Cm, Rm, Co or the capacitor slot for C.
struct Row {
    int from;
    int to;
    Kind kind;
    int index = 0;
};

using enum Kind;

// Ladder3: Rs, end series C[1], ZQ1, shunt C[1], ZQ2, shunt C[1], ZQ3, end series C[1], RL.
constexpr Row Ladder3Rows[] = {
    {1, 2, C, 1},     // 1   end series capacitor
    {2, 3, Lm, 1},    // 2   ZQ1
    {3, 4, Cm, 1},    // 3   ZQ1
    {4, 5, Rm, 1},    // 4   ZQ1
    {5, 6, Cm, 2},    // 5   ZQ2
    {6, 7, Lm, 2},    // 6   ZQ2
    {7, 8, Rm, 2},    // 7   ZQ2
    {8, 9, Cm, 3},    // 8   ZQ3
    {9, 10, Lm, 3},   // 9   ZQ3
    {10, 11, Rm, 3},  // 10  ZQ3
    {12, 0, RL},      // 11  load
    {11, 12, C, 1},   // 12  end series capacitor
    {2, 5, Co, 1},    // 13  ZQ1
    {5, 0, C, 1},     // 14  shunt
    {5, 8, Co, 2},    // 15  ZQ2
    {8, 0, C, 1},     // 16  shunt
    {8, 11, Co, 3},   // 17  ZQ3
    {1, 13, Rs},      // 18  source resistance to the source node
};

// Ladder4: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, shunt C[1], ZQ4, end
// series C[2], RL.
constexpr Row Ladder4Rows[] = {
    {1, 2, C, 2},     // 1   end series capacitor
    {2, 3, Lm, 1},    // 2   ZQ1
    {3, 4, Cm, 1},    // 3   ZQ1
    {4, 5, Rm, 1},    // 4   ZQ1
    {5, 6, Cm, 2},    // 5   ZQ2
    {6, 7, Lm, 2},    // 6   ZQ2
    {7, 8, Rm, 2},    // 7   ZQ2
    {8, 9, Cm, 3},    // 8   ZQ3
    {9, 10, Lm, 3},   // 9   ZQ3
    {10, 11, Rm, 3},  // 10  ZQ3
    {12, 0, RL},      // 11  load
    {15, 12, C, 2},   // 12  end series capacitor
    {2, 5, Co, 1},    // 13  ZQ1
    {5, 0, C, 1},     // 14  shunt
    {5, 8, Co, 2},    // 15  ZQ2
    {8, 0, C, 2},     // 16  shunt
    {8, 11, Co, 3},   // 17  ZQ3
    {11, 0, C, 1},    // 18  shunt
    {11, 15, Co, 4},  // 19  ZQ4
    {11, 13, Cm, 4},  // 20  ZQ4
    {13, 14, Lm, 4},  // 21  ZQ4
    {14, 15, Rm, 4},  // 22  ZQ4
    {1, 16, Rs},      // 23  source resistance to the source node
};

// Ladder6: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, T network C[4] C[3] C[4],
// ZQ4, shunt C[2], ZQ5, shunt C[1], ZQ6, end series C[2], RL. ZQ4..ZQ6 are written from their
// higher node towards their lower one.
constexpr Row Ladder6Rows[] = {
    {8, 9, Rm, 2},    // 1   ZQ2
    {1, 2, Rs},       // 2   source resistance from the source node
    {2, 3, C, 2},     // 3   end series capacitor
    {3, 4, Lm, 1},    // 4   ZQ1
    {4, 5, Cm, 1},    // 5   ZQ1
    {5, 6, Rm, 1},    // 6   ZQ1
    {3, 6, Co, 1},    // 7   ZQ1
    {6, 0, C, 1},     // 8   shunt
    {6, 7, Lm, 2},    // 9   ZQ2
    {7, 8, Cm, 2},    // 10  ZQ2
    {11, 0, RL},      // 11  load
    {6, 9, Co, 2},    // 12  ZQ2
    {9, 0, C, 2},     // 13  shunt
    {9, 10, Lm, 3},   // 14  ZQ3
    {10, 14, Cm, 3},  // 15  ZQ3
    {14, 12, Rm, 3},  // 16  ZQ3
    {9, 12, Co, 3},   // 17  ZQ3
    {12, 13, C, 4},   // 18  T network, series arm
    {13, 0, C, 3},    // 19  T network, shunt
    {15, 13, C, 4},   // 20  T network, series arm
    {16, 15, Rm, 4},  // 21  ZQ4
    {17, 16, Cm, 4},  // 22  ZQ4
    {18, 17, Lm, 4},  // 23  ZQ4
    {18, 15, Co, 4},  // 24  ZQ4
    {19, 18, Rm, 5},  // 25  ZQ5
    {20, 19, Cm, 5},  // 26  ZQ5
    {21, 20, Lm, 5},  // 27  ZQ5
    {21, 18, Co, 5},  // 28  ZQ5
    {18, 0, C, 2},    // 29  shunt
    {21, 0, C, 1},    // 30  shunt
    {24, 21, Co, 6},  // 31  ZQ6
    {22, 21, Rm, 6},  // 32  ZQ6
    {23, 22, Cm, 6},  // 33  ZQ6
    {24, 23, Lm, 6},  // 34  ZQ6
    {11, 24, C, 2},   // 35  end series capacitor
};

// Ladder8: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, series C[6], shunt C[3],
// ZQ4, series C[5], shunt C[4], series C[5], ZQ5, shunt C[3], series C[6], ZQ6, shunt C[2], ZQ7,
// shunt C[1], ZQ8, end series C[2], RL. ZQ3's inductance is the last but one row.
constexpr Row Ladder8Rows[] = {
    {1, 2, Rs},       // 1   source resistance from the source node
    {2, 3, C, 2},     // 2   end series capacitor
    {3, 4, Lm, 1},    // 3   ZQ1
    {4, 5, Cm, 1},    // 4   ZQ1
    {5, 6, Rm, 1},    // 5   ZQ1
    {3, 6, Co, 1},    // 6   ZQ1
    {6, 7, Lm, 2},    // 7   ZQ2
    {7, 8, Cm, 2},    // 8   ZQ2
    {8, 9, Rm, 2},    // 9   ZQ2
    {6, 9, Co, 2},    // 10  ZQ2
    {32, 0, RL},      // 11  load
    {10, 11, Cm, 3},  // 12  ZQ3
    {11, 12, Rm, 3},  // 13  ZQ3
    {9, 12, Co, 3},   // 14  ZQ3
    {12, 13, C, 6},   // 15  series
    {13, 14, Lm, 4},  // 16  ZQ4
    {14, 15, Cm, 4},  // 17  ZQ4
    {15, 16, Rm, 4},  // 18  ZQ4
    {13, 16, Co, 4},  // 19  ZQ4
    {16, 17, C, 5},   // 20  series
    {17, 18, C, 5},   // 21  series
    {18, 19, Lm, 5},  // 22  ZQ5
    {19, 20, Cm, 5},  // 23  ZQ5
    {20, 21, Rm, 5},  // 24  ZQ5
    {18, 21, Co, 5},  // 25  ZQ5
    {21, 22, C, 6},   // 26  series
    {22, 23, Lm, 6},  // 27  ZQ6
    {23, 24, Cm, 6},  // 28  ZQ6
    {24, 25, Rm, 6},  // 29  ZQ6
    {22, 25, Co, 6},  // 30  ZQ6
    {25, 26, Lm, 7},  // 31  ZQ7
    {26, 27, Cm, 7},  // 32  ZQ7
    {27, 28, Rm, 7},  // 33  ZQ7
    {25, 28, Co, 7},  // 34  ZQ7
    {28, 29, Lm, 8},  // 35  ZQ8
    {29, 30, Cm, 8},  // 36  ZQ8
    {30, 31, Rm, 8},  // 37  ZQ8
    {28, 31, Co, 8},  // 38  ZQ8
    {31, 32, C, 2},   // 39  end series capacitor
    {9, 10, Lm, 3},   // 40  ZQ3
    {6, 0, C, 1},     // 41  shunt
    {9, 0, C, 2},     // 42  shunt
    {17, 0, C, 4},    // 43  shunt
    {21, 0, C, 3},    // 44  shunt
    {25, 0, C, 2},    // 45  shunt
    {28, 0, C, 1},    // 46  shunt
    {13, 0, C, 3},    // 47  shunt
};

// Cw4: Rs, end series C[21], ZQ1, shunt C[1], ZQ2, π network C[23] C[22] C[23], ZQ3, shunt C[1],
// ZQ4, end series C[21], RL.
constexpr Row Cw4Rows[] = {
    {1, 2, Rs},       // 1   source resistance from the source node
    {2, 3, C, 21},    // 2   end series capacitor
    {3, 4, Rm, 1},    // 3   ZQ1
    {4, 5, Cm, 1},    // 4   ZQ1
    {5, 6, Lm, 1},    // 5   ZQ1
    {3, 6, Co, 1},    // 6   ZQ1
    {6, 7, Rm, 2},    // 7   ZQ2
    {7, 8, Cm, 2},    // 8   ZQ2
    {8, 9, Lm, 2},    // 9   ZQ2
    {6, 9, Co, 2},    // 10  ZQ2
    {17, 0, RL},      // 11  load
    {9, 10, C, 22},   // 12  π network, series
    {10, 11, Rm, 3},  // 13  ZQ3
    {11, 12, Cm, 3},  // 14  ZQ3
    {12, 13, Lm, 3},  // 15  ZQ3
    {10, 13, Co, 3},  // 16  ZQ3
    {13, 14, Rm, 4},  // 17  ZQ4
    {14, 15, Cm, 4},  // 18  ZQ4
    {15, 16, Lm, 4},  // 19  ZQ4
    {13, 16, Co, 4},  // 20  ZQ4
    {16, 17, C, 21},  // 21  end series capacitor
    {6, 0, C, 1},     // 22  shunt
    {9, 0, C, 23},    // 23  π network, shunt
    {10, 0, C, 23},   // 24  π network, shunt
    {13, 0, C, 1},    // 25  shunt
};

// Cw6: Rs, end series C[24], ZQ1, shunt C[1], ZQ2, π C[27] C[25] C[26], ZQ3, shunt C[3], ZQ4,
// π C[26] C[25] C[27], ZQ5, shunt C[1], ZQ6, end series C[24], RL.
constexpr Row Cw6Rows[] = {
    {1, 2, Rs},       // 1   source resistance from the source node
    {2, 3, C, 24},    // 2   end series capacitor
    {3, 4, Rm, 1},    // 3   ZQ1
    {4, 5, Cm, 1},    // 4   ZQ1
    {5, 6, Lm, 1},    // 5   ZQ1
    {3, 6, Co, 1},    // 6   ZQ1
    {6, 7, Rm, 2},    // 7   ZQ2
    {7, 8, Cm, 2},    // 8   ZQ2
    {8, 9, Lm, 2},    // 9   ZQ2
    {6, 9, Co, 2},    // 10  ZQ2
    {24, 0, RL},      // 11  load
    {9, 10, C, 25},   // 12  π network, series
    {10, 11, Rm, 3},  // 13  ZQ3
    {11, 12, Cm, 3},  // 14  ZQ3
    {12, 13, Lm, 3},  // 15  ZQ3
    {10, 13, Co, 3},  // 16  ZQ3
    {13, 14, Rm, 4},  // 17  ZQ4
    {14, 15, Cm, 4},  // 18  ZQ4
    {15, 16, Lm, 4},  // 19  ZQ4
    {13, 16, Co, 4},  // 20  ZQ4
    {16, 17, C, 25},  // 21  π network, series
    {17, 18, Rm, 5},  // 22  ZQ5
    {18, 19, Cm, 5},  // 23  ZQ5
    {19, 20, Lm, 5},  // 24  ZQ5
    {17, 20, Co, 5},  // 25  ZQ5
    {20, 21, Rm, 6},  // 26  ZQ6
    {21, 22, Cm, 6},  // 27  ZQ6
    {22, 23, Lm, 6},  // 28  ZQ6
    {20, 23, Co, 6},  // 29  ZQ6
    {23, 24, C, 24},  // 30  end series capacitor
    {6, 0, C, 1},     // 31  shunt
    {9, 0, C, 27},    // 32  π network, shunt
    {10, 0, C, 26},   // 33  π network, shunt
    {13, 0, C, 3},    // 34  shunt
    {16, 0, C, 26},   // 35  π network, shunt
    {17, 0, C, 27},   // 36  π network, shunt
    {20, 0, C, 1},    // 37  shunt
};

// Cw8: every capacitor has a slot of its own. Rs, end series C[1], ZQ1, shunt C[2], ZQ2,
// π C[3] C[4] C[5], ZQ3, shunt C[6], ZQ4, π C[7] C[8] C[9], ZQ5, shunt C[12], ZQ6,
// π C[13] C[14] C[15], ZQ7, shunt C[16], ZQ8, end series C[17], RL.
constexpr Row Cw8Rows[] = {
    {1, 2, Rs},       // 1   source resistance from the source node
    {2, 3, C, 1},     // 2   end series capacitor
    {3, 4, Rm, 1},    // 3   ZQ1
    {4, 5, Cm, 1},    // 4   ZQ1
    {5, 6, Lm, 1},    // 5   ZQ1
    {3, 6, Co, 1},    // 6   ZQ1
    {6, 7, Rm, 2},    // 7   ZQ2
    {7, 8, Cm, 2},    // 8   ZQ2
    {8, 9, Lm, 2},    // 9   ZQ2
    {6, 9, Co, 2},    // 10  ZQ2
    {31, 0, RL},      // 11  load
    {9, 10, C, 4},    // 12  π network, series
    {10, 11, Rm, 3},  // 13  ZQ3
    {11, 12, Cm, 3},  // 14  ZQ3
    {12, 13, Lm, 3},  // 15  ZQ3
    {10, 13, Co, 3},  // 16  ZQ3
    {13, 14, Rm, 4},  // 17  ZQ4
    {14, 15, Cm, 4},  // 18  ZQ4
    {15, 16, Lm, 4},  // 19  ZQ4
    {13, 16, Co, 4},  // 20  ZQ4
    {16, 17, C, 8},   // 21  π network, series
    {17, 18, Rm, 5},  // 22  ZQ5
    {18, 19, Cm, 5},  // 23  ZQ5
    {19, 20, Lm, 5},  // 24  ZQ5
    {17, 20, Co, 5},  // 25  ZQ5
    {20, 21, Rm, 6},  // 26  ZQ6
    {21, 22, Cm, 6},  // 27  ZQ6
    {22, 23, Lm, 6},  // 28  ZQ6
    {20, 23, Co, 6},  // 29  ZQ6
    {23, 24, C, 14},  // 30  π network, series
    {24, 25, Rm, 7},  // 31  ZQ7
    {25, 26, Cm, 7},  // 32  ZQ7
    {26, 27, Lm, 7},  // 33  ZQ7
    {24, 27, Co, 7},  // 34  ZQ7
    {27, 28, Rm, 8},  // 35  ZQ8
    {28, 29, Cm, 8},  // 36  ZQ8
    {29, 30, Lm, 8},  // 37  ZQ8
    {27, 30, Co, 8},  // 38  ZQ8
    {30, 31, C, 17},  // 39  end series capacitor
    {6, 0, C, 2},     // 40  shunt
    {9, 0, C, 3},     // 41  π network, shunt
    {10, 0, C, 5},    // 42  π network, shunt
    {13, 0, C, 6},    // 43  shunt
    {16, 0, C, 7},    // 44  π network, shunt
    {17, 0, C, 9},    // 45  π network, shunt
    {20, 0, C, 12},   // 46  shunt
    {23, 0, C, 13},   // 47  π network, shunt
    {24, 0, C, 15},   // 48  π network, shunt
    {27, 0, C, 16},   // 49  shunt
};

// One crystal between the terminations, the way a crystal is measured in a series fixture.
constexpr Row CrystalFixtureRows[] = {
    {1, 2, Rs},     // 1  source resistance from the source node
    {2, 3, Lm, 1},  // 2  ZQ1
    {3, 4, Cm, 1},  // 3  ZQ1
    {4, 5, Rm, 1},  // 4  ZQ1
    {2, 5, Co, 1},  // 5  ZQ1
    {5, 0, RL},     // 6  load
};

template <std::size_t N>
constexpr int RowCount(const Row (&)[N]) {
    return static_cast<int>(N);
}

struct Topology {
    TopologyCounts counts;
    std::span<const Row> rows;
};

// NodeCount, BranchCount (the length of the table), DrivenNode, OutputNode.
constexpr Topology Topologies[] = {
    {{13, RowCount(Ladder3Rows), 13, 12}, Ladder3Rows},
    {{16, RowCount(Ladder4Rows), 16, 12}, Ladder4Rows},
    {{24, RowCount(Ladder6Rows), 1, 11}, Ladder6Rows},
    {{32, RowCount(Ladder8Rows), 1, 32}, Ladder8Rows},
    {{17, RowCount(Cw4Rows), 1, 17}, Cw4Rows},
    {{24, RowCount(Cw6Rows), 1, 24}, Cw6Rows},
    {{31, RowCount(Cw8Rows), 1, 31}, Cw8Rows},
};

constexpr Topology CrystalFixture = {{5, RowCount(CrystalFixtureRows), 1, 5}, CrystalFixtureRows};

static_assert(std::size(Ladder3Rows) == 18 && std::size(Ladder4Rows) == 23 &&
              std::size(Ladder6Rows) == 35 && std::size(Ladder8Rows) == 47 &&
              std::size(Cw4Rows) == 25 && std::size(Cw6Rows) == 37 && std::size(Cw8Rows) == 49);

const Topology& TopologyOf(int filterType) {
    if (filterType < 1 || filterType > static_cast<int>(std::size(Topologies))) {
        throw std::out_of_range("no netlist for filter type " + std::to_string(filterType));
    }
    return Topologies[filterType - 1];
}

Branch BranchOf(const Row& row, const ElementValues& v) {
    Branch branch;
    branch.From = row.from;
    branch.To = row.to;
    const Resonator& crystal = v.Crystal[row.kind == C ? 0 : row.index];
    switch (row.kind) {
        case Lm:
            branch.L = crystal.LmH;
            break;
        case Cm:
            branch.C = crystal.CmF;
            break;
        case Rm:
            branch.G = 1 / crystal.RmOhm;
            break;
        case Co:
            branch.C = crystal.C0F;
            break;
        case Rs:
            branch.G = 1 / v.SourceOhm;
            break;
        case RL:
            branch.G = 1 / v.LoadOhm;
            break;
        case C:
            branch.C = v.CapPF[row.index] * 1e-12;
            break;
    }
    return branch;
}

bool IsCrystal(Kind kind) {
    return kind == Lm || kind == Cm || kind == Rm || kind == Co;
}

// Puts the trim capacitor of the crystal at `position` in series with it: the crystal's branches
// leave its input-side node (the lower node number of its static capacitance, in every table)
// for a new node, and the trim joins the two.
void AddTrim(std::span<const Row> rows, int position, double trimF, Netlist& netlist) {
    int input = 0;
    for (const Row& row : rows) {
        if (row.kind == Co && row.index == position) input = std::min(row.from, row.to);
    }
    const int node = ++netlist.NodeCount;
    for (int b = 1; b <= static_cast<int>(rows.size()); ++b) {
        const Row& row = rows[b - 1];
        if (!IsCrystal(row.kind) || row.index != position) continue;
        Branch& branch = netlist.Branches[b];
        if (branch.From == input) branch.From = node;
        if (branch.To == input) branch.To = node;
    }
    Branch trim;
    trim.From = input;
    trim.To = node;
    trim.C = trimF;
    netlist.Branches[++netlist.BranchCount] = trim;
}

void BuildFromRows(const Topology& topology, const ElementValues& values, Netlist& netlist) {
    netlist.NodeCount = topology.counts.NodeCount;
    netlist.BranchCount = topology.counts.BranchCount;
    netlist.SourceCount = 1;
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Row& row = topology.rows[b - 1];
        netlist.Branches[b] = BranchOf(row, values);
        if (row.kind == Rs) netlist.SourceBranch = b;
        if (row.kind == RL) netlist.LoadBranch = b;
    }
    int crystals = 0;
    for (const Row& row : topology.rows) {
        if (IsCrystal(row.kind)) crystals = std::max(crystals, row.index);
    }
    for (int position = 1; position <= crystals; ++position) {
        const double trimF = values.Crystal[position].TrimF;
        if (trimF != 0) AddTrim(topology.rows, position, trimF, netlist);
    }
    netlist.EquationCount = netlist.NodeCount - 1;
    netlist.Sources[1] = Source{topology.counts.DrivenNode, 0, Complex{1, 0}};
}

}  // namespace

const TopologyCounts& CountsOf(int filterType) {
    return TopologyOf(filterType).counts;
}

void BuildNetlist(int filterType, const ElementValues& values, Netlist& netlist) {
    BuildFromRows(TopologyOf(filterType), values, netlist);
}

void BuildCrystalFixture(const Resonator& crystal, double sourceOhm, double loadOhm,
                         Netlist& netlist) {
    ElementValues values;
    values.Crystal[1] = crystal;
    values.SourceOhm = sourceOhm;
    values.LoadOhm = loadOhm;
    BuildFromRows(CrystalFixture, values, netlist);
}

Resonator ResonatorOfDesign(double ldMH, double motionalCapF, double rdOhm, double csPF) {
    Resonator crystal;
    crystal.LmH = ldMH * 0.001;
    crystal.CmF = motionalCapF;
    crystal.RmOhm = rdOhm;
    crystal.C0F = csPF * 1e-12;
    return crystal;
}

}  // namespace feldan
