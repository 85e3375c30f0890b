#include "circuit/topologies.h"

#include <algorithm>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace feldan {

namespace {

// The analysed circuits, one row per branch in branch-number order: from node, to node, element,
// and the crystal position or capacitor slot.
using enum Element;

// The parts of the schematics, from input to output.
using enum SchematicItemKind;

// Ladder3: Rs, end series C[1], ZQ1, shunt C[1], ZQ2, shunt C[1], ZQ3, end series C[1], RL.
constexpr AnalysedBranch Ladder3Rows[] = {
    {1, 2, Cap, 1},    // 1   end series capacitor
    {2, 3, Lm, 1},     // 2   ZQ1
    {3, 4, Cm, 1},     // 3   ZQ1
    {4, 5, Rm, 1},     // 4   ZQ1
    {5, 6, Cm, 2},     // 5   ZQ2
    {6, 7, Lm, 2},     // 6   ZQ2
    {7, 8, Rm, 2},     // 7   ZQ2
    {8, 9, Cm, 3},     // 8   ZQ3
    {9, 10, Lm, 3},    // 9   ZQ3
    {10, 11, Rm, 3},   // 10  ZQ3
    {12, 0, RL},       // 11  load
    {11, 12, Cap, 1},  // 12  end series capacitor
    {2, 5, C0, 1},     // 13  ZQ1
    {5, 0, Cap, 1},    // 14  shunt
    {5, 8, C0, 2},     // 15  ZQ2
    {8, 0, Cap, 1},    // 16  shunt
    {8, 11, C0, 3},    // 17  ZQ3
    {1, 13, Rs},       // 18  source resistance to the source node
};

// Ladder4: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, shunt C[1], ZQ4, end
// series C[2], RL.
constexpr AnalysedBranch Ladder4Rows[] = {
    {1, 2, Cap, 2},    // 1   end series capacitor
    {2, 3, Lm, 1},     // 2   ZQ1
    {3, 4, Cm, 1},     // 3   ZQ1
    {4, 5, Rm, 1},     // 4   ZQ1
    {5, 6, Cm, 2},     // 5   ZQ2
    {6, 7, Lm, 2},     // 6   ZQ2
    {7, 8, Rm, 2},     // 7   ZQ2
    {8, 9, Cm, 3},     // 8   ZQ3
    {9, 10, Lm, 3},    // 9   ZQ3
    {10, 11, Rm, 3},   // 10  ZQ3
    {12, 0, RL},       // 11  load
    {15, 12, Cap, 2},  // 12  end series capacitor
    {2, 5, C0, 1},     // 13  ZQ1
    {5, 0, Cap, 1},    // 14  shunt
    {5, 8, C0, 2},     // 15  ZQ2
    {8, 0, Cap, 2},    // 16  shunt
    {8, 11, C0, 3},    // 17  ZQ3
    {11, 0, Cap, 1},   // 18  shunt
    {11, 15, C0, 4},   // 19  ZQ4
    {11, 13, Cm, 4},   // 20  ZQ4
    {13, 14, Lm, 4},   // 21  ZQ4
    {14, 15, Rm, 4},   // 22  ZQ4
    {1, 16, Rs},       // 23  source resistance to the source node
};

// Ladder6: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, T network C[4] C[3] C[4],
// ZQ4, shunt C[2], ZQ5, shunt C[1], ZQ6, end series C[2], RL. ZQ4..ZQ6 are written from their
// higher node towards their lower one.
constexpr AnalysedBranch Ladder6Rows[] = {
    {8, 9, Rm, 2},     // 1   ZQ2
    {1, 2, Rs},        // 2   source resistance from the source node
    {2, 3, Cap, 2},    // 3   end series capacitor
    {3, 4, Lm, 1},     // 4   ZQ1
    {4, 5, Cm, 1},     // 5   ZQ1
    {5, 6, Rm, 1},     // 6   ZQ1
    {3, 6, C0, 1},     // 7   ZQ1
    {6, 0, Cap, 1},    // 8   shunt
    {6, 7, Lm, 2},     // 9   ZQ2
    {7, 8, Cm, 2},     // 10  ZQ2
    {11, 0, RL},       // 11  load
    {6, 9, C0, 2},     // 12  ZQ2
    {9, 0, Cap, 2},    // 13  shunt
    {9, 10, Lm, 3},    // 14  ZQ3
    {10, 14, Cm, 3},   // 15  ZQ3
    {14, 12, Rm, 3},   // 16  ZQ3
    {9, 12, C0, 3},    // 17  ZQ3
    {12, 13, Cap, 4},  // 18  T network, series arm
    {13, 0, Cap, 3},   // 19  T network, shunt
    {15, 13, Cap, 4},  // 20  T network, series arm
    {16, 15, Rm, 4},   // 21  ZQ4
    {17, 16, Cm, 4},   // 22  ZQ4
    {18, 17, Lm, 4},   // 23  ZQ4
    {18, 15, C0, 4},   // 24  ZQ4
    {19, 18, Rm, 5},   // 25  ZQ5
    {20, 19, Cm, 5},   // 26  ZQ5
    {21, 20, Lm, 5},   // 27  ZQ5
    {21, 18, C0, 5},   // 28  ZQ5
    {18, 0, Cap, 2},   // 29  shunt
    {21, 0, Cap, 1},   // 30  shunt
    {24, 21, C0, 6},   // 31  ZQ6
    {22, 21, Rm, 6},   // 32  ZQ6
    {23, 22, Cm, 6},   // 33  ZQ6
    {24, 23, Lm, 6},   // 34  ZQ6
    {11, 24, Cap, 2},  // 35  end series capacitor
};

// Ladder8: Rs, end series C[2], ZQ1, shunt C[1], ZQ2, shunt C[2], ZQ3, series C[6], shunt C[3],
// ZQ4, series C[5], shunt C[4], series C[5], ZQ5, shunt C[3], series C[6], ZQ6, shunt C[2], ZQ7,
// shunt C[1], ZQ8, end series C[2], RL. ZQ3's inductance is the last but one row.
constexpr AnalysedBranch Ladder8Rows[] = {
    {1, 2, Rs},        // 1   source resistance from the source node
    {2, 3, Cap, 2},    // 2   end series capacitor
    {3, 4, Lm, 1},     // 3   ZQ1
    {4, 5, Cm, 1},     // 4   ZQ1
    {5, 6, Rm, 1},     // 5   ZQ1
    {3, 6, C0, 1},     // 6   ZQ1
    {6, 7, Lm, 2},     // 7   ZQ2
    {7, 8, Cm, 2},     // 8   ZQ2
    {8, 9, Rm, 2},     // 9   ZQ2
    {6, 9, C0, 2},     // 10  ZQ2
    {32, 0, RL},       // 11  load
    {10, 11, Cm, 3},   // 12  ZQ3
    {11, 12, Rm, 3},   // 13  ZQ3
    {9, 12, C0, 3},    // 14  ZQ3
    {12, 13, Cap, 6},  // 15  series
    {13, 14, Lm, 4},   // 16  ZQ4
    {14, 15, Cm, 4},   // 17  ZQ4
    {15, 16, Rm, 4},   // 18  ZQ4
    {13, 16, C0, 4},   // 19  ZQ4
    {16, 17, Cap, 5},  // 20  series
    {17, 18, Cap, 5},  // 21  series
    {18, 19, Lm, 5},   // 22  ZQ5
    {19, 20, Cm, 5},   // 23  ZQ5
    {20, 21, Rm, 5},   // 24  ZQ5
    {18, 21, C0, 5},   // 25  ZQ5
    {21, 22, Cap, 6},  // 26  series
    {22, 23, Lm, 6},   // 27  ZQ6
    {23, 24, Cm, 6},   // 28  ZQ6
    {24, 25, Rm, 6},   // 29  ZQ6
    {22, 25, C0, 6},   // 30  ZQ6
    {25, 26, Lm, 7},   // 31  ZQ7
    {26, 27, Cm, 7},   // 32  ZQ7
    {27, 28, Rm, 7},   // 33  ZQ7
    {25, 28, C0, 7},   // 34  ZQ7
    {28, 29, Lm, 8},   // 35  ZQ8
    {29, 30, Cm, 8},   // 36  ZQ8
    {30, 31, Rm, 8},   // 37  ZQ8
    {28, 31, C0, 8},   // 38  ZQ8
    {31, 32, Cap, 2},  // 39  end series capacitor
    {9, 10, Lm, 3},    // 40  ZQ3
    {6, 0, Cap, 1},    // 41  shunt
    {9, 0, Cap, 2},    // 42  shunt
    {17, 0, Cap, 4},   // 43  shunt
    {21, 0, Cap, 3},   // 44  shunt
    {25, 0, Cap, 2},   // 45  shunt
    {28, 0, Cap, 1},   // 46  shunt
    {13, 0, Cap, 3},   // 47  shunt
};

// Cw4: Rs, end series C[21], ZQ1, shunt C[1], ZQ2, π network C[23] C[22] C[23], ZQ3, shunt C[1],
// ZQ4, end series C[21], RL.
constexpr AnalysedBranch Cw4Rows[] = {
    {1, 2, Rs},         // 1   source resistance from the source node
    {2, 3, Cap, 21},    // 2   end series capacitor
    {3, 4, Rm, 1},      // 3   ZQ1
    {4, 5, Cm, 1},      // 4   ZQ1
    {5, 6, Lm, 1},      // 5   ZQ1
    {3, 6, C0, 1},      // 6   ZQ1
    {6, 7, Rm, 2},      // 7   ZQ2
    {7, 8, Cm, 2},      // 8   ZQ2
    {8, 9, Lm, 2},      // 9   ZQ2
    {6, 9, C0, 2},      // 10  ZQ2
    {17, 0, RL},        // 11  load
    {9, 10, Cap, 22},   // 12  π network, series
    {10, 11, Rm, 3},    // 13  ZQ3
    {11, 12, Cm, 3},    // 14  ZQ3
    {12, 13, Lm, 3},    // 15  ZQ3
    {10, 13, C0, 3},    // 16  ZQ3
    {13, 14, Rm, 4},    // 17  ZQ4
    {14, 15, Cm, 4},    // 18  ZQ4
    {15, 16, Lm, 4},    // 19  ZQ4
    {13, 16, C0, 4},    // 20  ZQ4
    {16, 17, Cap, 21},  // 21  end series capacitor
    {6, 0, Cap, 1},     // 22  shunt
    {9, 0, Cap, 23},    // 23  π network, shunt
    {10, 0, Cap, 23},   // 24  π network, shunt
    {13, 0, Cap, 1},    // 25  shunt
};

// Cw6: Rs, end series C[24], ZQ1, shunt C[1], ZQ2, π C[27] C[25] C[26], ZQ3, shunt C[3], ZQ4,
// π C[26] C[25] C[27], ZQ5, shunt C[1], ZQ6, end series C[24], RL.
constexpr AnalysedBranch Cw6Rows[] = {
    {1, 2, Rs},         // 1   source resistance from the source node
    {2, 3, Cap, 24},    // 2   end series capacitor
    {3, 4, Rm, 1},      // 3   ZQ1
    {4, 5, Cm, 1},      // 4   ZQ1
    {5, 6, Lm, 1},      // 5   ZQ1
    {3, 6, C0, 1},      // 6   ZQ1
    {6, 7, Rm, 2},      // 7   ZQ2
    {7, 8, Cm, 2},      // 8   ZQ2
    {8, 9, Lm, 2},      // 9   ZQ2
    {6, 9, C0, 2},      // 10  ZQ2
    {24, 0, RL},        // 11  load
    {9, 10, Cap, 25},   // 12  π network, series
    {10, 11, Rm, 3},    // 13  ZQ3
    {11, 12, Cm, 3},    // 14  ZQ3
    {12, 13, Lm, 3},    // 15  ZQ3
    {10, 13, C0, 3},    // 16  ZQ3
    {13, 14, Rm, 4},    // 17  ZQ4
    {14, 15, Cm, 4},    // 18  ZQ4
    {15, 16, Lm, 4},    // 19  ZQ4
    {13, 16, C0, 4},    // 20  ZQ4
    {16, 17, Cap, 25},  // 21  π network, series
    {17, 18, Rm, 5},    // 22  ZQ5
    {18, 19, Cm, 5},    // 23  ZQ5
    {19, 20, Lm, 5},    // 24  ZQ5
    {17, 20, C0, 5},    // 25  ZQ5
    {20, 21, Rm, 6},    // 26  ZQ6
    {21, 22, Cm, 6},    // 27  ZQ6
    {22, 23, Lm, 6},    // 28  ZQ6
    {20, 23, C0, 6},    // 29  ZQ6
    {23, 24, Cap, 24},  // 30  end series capacitor
    {6, 0, Cap, 1},     // 31  shunt
    {9, 0, Cap, 27},    // 32  π network, shunt
    {10, 0, Cap, 26},   // 33  π network, shunt
    {13, 0, Cap, 3},    // 34  shunt
    {16, 0, Cap, 26},   // 35  π network, shunt
    {17, 0, Cap, 27},   // 36  π network, shunt
    {20, 0, Cap, 1},    // 37  shunt
};

// Cw8: every capacitor has a slot of its own. Rs, end series C[1], ZQ1, shunt C[2], ZQ2,
// π C[3] C[4] C[5], ZQ3, shunt C[6], ZQ4, π C[7] C[8] C[9], ZQ5, shunt C[12], ZQ6,
// π C[13] C[14] C[15], ZQ7, shunt C[16], ZQ8, end series C[17], RL.
constexpr AnalysedBranch Cw8Rows[] = {
    {1, 2, Rs},         // 1   source resistance from the source node
    {2, 3, Cap, 1},     // 2   end series capacitor
    {3, 4, Rm, 1},      // 3   ZQ1
    {4, 5, Cm, 1},      // 4   ZQ1
    {5, 6, Lm, 1},      // 5   ZQ1
    {3, 6, C0, 1},      // 6   ZQ1
    {6, 7, Rm, 2},      // 7   ZQ2
    {7, 8, Cm, 2},      // 8   ZQ2
    {8, 9, Lm, 2},      // 9   ZQ2
    {6, 9, C0, 2},      // 10  ZQ2
    {31, 0, RL},        // 11  load
    {9, 10, Cap, 4},    // 12  π network, series
    {10, 11, Rm, 3},    // 13  ZQ3
    {11, 12, Cm, 3},    // 14  ZQ3
    {12, 13, Lm, 3},    // 15  ZQ3
    {10, 13, C0, 3},    // 16  ZQ3
    {13, 14, Rm, 4},    // 17  ZQ4
    {14, 15, Cm, 4},    // 18  ZQ4
    {15, 16, Lm, 4},    // 19  ZQ4
    {13, 16, C0, 4},    // 20  ZQ4
    {16, 17, Cap, 8},   // 21  π network, series
    {17, 18, Rm, 5},    // 22  ZQ5
    {18, 19, Cm, 5},    // 23  ZQ5
    {19, 20, Lm, 5},    // 24  ZQ5
    {17, 20, C0, 5},    // 25  ZQ5
    {20, 21, Rm, 6},    // 26  ZQ6
    {21, 22, Cm, 6},    // 27  ZQ6
    {22, 23, Lm, 6},    // 28  ZQ6
    {20, 23, C0, 6},    // 29  ZQ6
    {23, 24, Cap, 14},  // 30  π network, series
    {24, 25, Rm, 7},    // 31  ZQ7
    {25, 26, Cm, 7},    // 32  ZQ7
    {26, 27, Lm, 7},    // 33  ZQ7
    {24, 27, C0, 7},    // 34  ZQ7
    {27, 28, Rm, 8},    // 35  ZQ8
    {28, 29, Cm, 8},    // 36  ZQ8
    {29, 30, Lm, 8},    // 37  ZQ8
    {27, 30, C0, 8},    // 38  ZQ8
    {30, 31, Cap, 17},  // 39  end series capacitor
    {6, 0, Cap, 2},     // 40  shunt
    {9, 0, Cap, 3},     // 41  π network, shunt
    {10, 0, Cap, 5},    // 42  π network, shunt
    {13, 0, Cap, 6},    // 43  shunt
    {16, 0, Cap, 7},    // 44  π network, shunt
    {17, 0, Cap, 9},    // 45  π network, shunt
    {20, 0, Cap, 12},   // 46  shunt
    {23, 0, Cap, 13},   // 47  π network, shunt
    {24, 0, Cap, 15},   // 48  π network, shunt
    {27, 0, Cap, 16},   // 49  shunt
};

// One crystal between the terminations, the way a crystal is measured in a series fixture.
constexpr AnalysedBranch CrystalFixtureRows[] = {
    {1, 2, Rs},     // 1  source resistance from the source node
    {2, 3, Lm, 1},  // 2  ZQ1
    {3, 4, Cm, 1},  // 3  ZQ1
    {4, 5, Rm, 1},  // 4  ZQ1
    {2, 5, C0, 1},  // 5  ZQ1
    {5, 0, RL},     // 6  load
};

// The schematics. A shunt capacitor stands at each end and at every junction; a label shows the
// slot of its value (the end shunts slot 13, 20 for 8CW). Mirrored capacitors of equal value show
// one slot, as the result text lists them.
// clang-format off
constexpr SchematicItem Ladder3Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 1, "C3"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 13, "C4"},
};
constexpr SchematicItem Ladder4Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 2, "C3"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 1, "C4"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 13, "C5"},
};
// The π section C4 C5 C6 (slots 5, 6, 5) is the exact equivalent of the analysed T section
// C[4] C[3] C[4].
constexpr SchematicItem Ladder6Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 2, "C3"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 5, "C4"},
    {SeriesCapacitor, 6, "C5"},
    {ShuntCapacitor, 5, "C6"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 2, "C7"},
    {Crystal, 5, "ZQ5"},
    {ShuntCapacitor, 1, "C8"},
    {Crystal, 6, "ZQ6"},
    {ShuntCapacitor, 13, "C9"},
};
// The analysed ladder runs ZQ3, series C[6], shunt C[3], ZQ4, series C[5], shunt C[4], series
// C[5], ZQ5, shunt C[3], series C[6], ZQ6. Parts in series commute, so each C[5] can stand next to
// its C[3]: then C[6], C[3], C[5] form a star whose π equivalent is C4 C5 C6 (slots 17, 15, 18),
// mirrored in C8 C9 C10, and C7 is the analysed C[4].
constexpr SchematicItem Ladder8Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 2, "C3"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 17, "C4"},
    {SeriesCapacitor, 15, "C5"},
    {ShuntCapacitor, 18, "C6"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 4, "C7"},
    {Crystal, 5, "ZQ5"},
    {ShuntCapacitor, 18, "C8"},
    {SeriesCapacitor, 15, "C9"},
    {ShuntCapacitor, 17, "C10"},
    {Crystal, 6, "ZQ6"},
    {ShuntCapacitor, 2, "C11"},
    {Crystal, 7, "ZQ7"},
    {ShuntCapacitor, 1, "C12"},
    {Crystal, 8, "ZQ8"},
    {ShuntCapacitor, 13, "C13"},
};
constexpr SchematicItem Cw4Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 23, "C3"},
    {SeriesCapacitor, 22, "C4"},
    {ShuntCapacitor, 23, "C5"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 1, "C6"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 13, "C7"},
};
constexpr SchematicItem Cw6Parts[] = {
    {ShuntCapacitor, 13, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 1, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 27, "C3"},
    {SeriesCapacitor, 25, "C4"},
    {ShuntCapacitor, 26, "C5"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 3, "C6"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 26, "C7"},
    {SeriesCapacitor, 25, "C8"},
    {ShuntCapacitor, 27, "C9"},
    {Crystal, 5, "ZQ5"},
    {ShuntCapacitor, 1, "C10"},
    {Crystal, 6, "ZQ6"},
    {ShuntCapacitor, 13, "C11"},
};
constexpr SchematicItem Cw8Parts[] = {
    {ShuntCapacitor, 20, "C1"},
    {Crystal, 1, "ZQ1"},
    {ShuntCapacitor, 2, "C2"},
    {Crystal, 2, "ZQ2"},
    {ShuntCapacitor, 3, "C3"},
    {SeriesCapacitor, 4, "C4"},
    {ShuntCapacitor, 5, "C5"},
    {Crystal, 3, "ZQ3"},
    {ShuntCapacitor, 6, "C6"},
    {Crystal, 4, "ZQ4"},
    {ShuntCapacitor, 7, "C7"},
    {SeriesCapacitor, 8, "C8"},
    {ShuntCapacitor, 7, "C9"},
    {Crystal, 5, "ZQ5"},
    {ShuntCapacitor, 6, "C10"},
    {Crystal, 6, "ZQ6"},
    {ShuntCapacitor, 5, "C11"},
    {SeriesCapacitor, 4, "C12"},
    {ShuntCapacitor, 3, "C13"},
    {Crystal, 7, "ZQ7"},
    {ShuntCapacitor, 2, "C14"},
    {Crystal, 8, "ZQ8"},
    {ShuntCapacitor, 20, "C15"},
};
// clang-format on

template <typename T, std::size_t N>
constexpr int CountOf(const T (&)[N]) {
    return static_cast<int>(N);
}

// Name, crystals; NodeCount, BranchCount (the length of the table), DrivenNode, OutputNode;
// branches, Cend's slot; schematic.
constexpr TopologyDescriptor Descriptors[] = {
    {"Ladder3", 3, {13, CountOf(Ladder3Rows), 13, 12}, Ladder3Rows, 1, Ladder3Parts},
    {"Ladder4", 4, {16, CountOf(Ladder4Rows), 16, 12}, Ladder4Rows, 2, Ladder4Parts},
    {"Ladder6", 6, {24, CountOf(Ladder6Rows), 1, 11}, Ladder6Rows, 2, Ladder6Parts},
    {"Ladder8", 8, {32, CountOf(Ladder8Rows), 1, 32}, Ladder8Rows, 2, Ladder8Parts},
    {"Cw4", 4, {17, CountOf(Cw4Rows), 1, 17}, Cw4Rows, 21, Cw4Parts},
    {"Cw6", 6, {24, CountOf(Cw6Rows), 1, 24}, Cw6Rows, 24, Cw6Parts},
    {"Cw8", 8, {31, CountOf(Cw8Rows), 1, 31}, Cw8Rows, 1, Cw8Parts},
};

constexpr TopologyDescriptor CrystalFixture = {
    "crystal fixture", 1, {5, CountOf(CrystalFixtureRows), 1, 5}, CrystalFixtureRows, 0, {}};

static_assert(std::size(Ladder3Rows) == 18 && std::size(Ladder4Rows) == 23 &&
              std::size(Ladder6Rows) == 35 && std::size(Ladder8Rows) == 47 &&
              std::size(Cw4Rows) == 25 && std::size(Cw6Rows) == 37 && std::size(Cw8Rows) == 49);

constexpr std::string_view CrystalLabels[MaxCrystals + 1] = {
    "",    "ZQ1", "ZQ2",  "ZQ3",  "ZQ4",  "ZQ5",  "ZQ6", "ZQ7",
    "ZQ8", "ZQ9", "ZQ10", "ZQ11", "ZQ12", "ZQ13", "ZQ14"};

bool IsCrystal(Element element) {
    return element == Lm || element == Cm || element == Rm || element == C0 || element == Trim;
}

// The value of a branch's element, in H, F and S.
Branch BranchOf(int from, int to, Element element, int index, const ElementValues& v) {
    Branch branch;
    branch.From = from;
    branch.To = to;
    const Resonator& crystal = v.Crystal[IsCrystal(element) ? index : 0];
    switch (element) {
        case Lm:
            branch.L = crystal.LmH;
            break;
        case Cm:
            branch.C = crystal.CmF;
            break;
        case Rm:
            branch.G = 1 / crystal.RmOhm;
            break;
        case C0:
            branch.C = crystal.C0F;
            branch.ArmCount = crystal.ModeCount;
            branch.Arms = crystal.Modes;
            break;
        case Trim:
            branch.C = crystal.TrimF;
            break;
        case Rs:
            branch.G = 1 / v.SourceOhm;
            break;
        case RL:
            branch.G = 1 / v.LoadOhm;
            break;
        case Cap:
            branch.C = v.CapPF[index] * 1e-12;
            break;
    }
    return branch;
}

BranchRole RoleOf(Element element, int index) {
    BranchRole role{element, index, {}};
    if (IsCrystal(element)) role.label = CrystalLabels[index];
    if (element == Rs) role.label = "Rs";
    if (element == RL) role.label = "RL";
    return role;
}

// Puts the trim capacitor of the crystal at `position` in series with it: the crystal's branches
// leave its input-side node (the lower node number of its static capacitance, in every table)
// for a new node, and the trim joins the two.
void AddTrim(std::span<const AnalysedBranch> rows, int position, const ElementValues& values,
             Netlist& netlist, BranchRoles* roles) {
    int input = 0;
    for (const AnalysedBranch& row : rows) {
        if (row.element == C0 && row.index == position) input = std::min(row.from, row.to);
    }
    const int node = ++netlist.NodeCount;
    for (int b = 1; b <= static_cast<int>(rows.size()); ++b) {
        const AnalysedBranch& row = rows[b - 1];
        if (!IsCrystal(row.element) || row.index != position) continue;
        Branch& branch = netlist.Branches[b];
        if (branch.From == input) branch.From = node;
        if (branch.To == input) branch.To = node;
    }
    const int b = ++netlist.BranchCount;
    netlist.Branches[b] = BranchOf(input, node, Trim, position, values);
    if (roles) (*roles)[b] = RoleOf(Trim, position);
}

void BuildAnalysed(const TopologyDescriptor& topology, const ElementValues& values,
                   Netlist& netlist, BranchRoles* roles) {
    netlist.NodeCount = topology.counts.NodeCount;
    netlist.BranchCount = topology.counts.BranchCount;
    netlist.SourceCount = 1;
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const AnalysedBranch& row = topology.branches[b - 1];
        netlist.Branches[b] = BranchOf(row.from, row.to, row.element, row.index, values);
        if (roles) (*roles)[b] = RoleOf(row.element, row.index);
        if (row.element == Rs) netlist.SourceBranch = b;
        if (row.element == RL) netlist.LoadBranch = b;
    }
    for (int position = 1; position <= topology.crystalCount; ++position) {
        if (values.Crystal[position].TrimF != 0) {
            AddTrim(topology.branches, position, values, netlist, roles);
        }
    }
    netlist.EquationCount = netlist.NodeCount - 1;
    netlist.Sources[1] = Source{topology.counts.DrivenNode, 0, Complex{1, 0}};
}

}  // namespace

const TopologyDescriptor& DescriptorOf(int circuit) {
    if (circuit >= 1 && circuit <= static_cast<int>(std::size(Descriptors))) {
        return Descriptors[circuit - 1];
    }
    if (const std::optional<LadderShape> shape = ShapeOfCircuit(circuit)) {
        return GeneratedDescriptor(*shape);
    }
    throw std::out_of_range("no topology for circuit " + std::to_string(circuit));
}

const TopologyCounts& CountsOf(int circuit) {
    return DescriptorOf(circuit).counts;
}

void BuildNetlist(int circuit, const ElementValues& values, Netlist& netlist, BranchRoles* roles) {
    BuildAnalysed(DescriptorOf(circuit), values, netlist, roles);
}

void BuildSchematicNetlist(int circuit, const ElementValues& values, double inputOhm,
                           double outputOhm, Netlist& netlist, BranchRoles* roles) {
    const TopologyDescriptor& topology = DescriptorOf(circuit);
    ElementValues terminated = values;
    terminated.SourceOhm = inputOhm;
    terminated.LoadOhm = outputOhm;
    int nodes = 2;  // the source node 1 and the input junction 2
    int branches = 0;
    auto add = [&](int from, int to, Element element, int index, std::string_view label) {
        netlist.Branches[++branches] = BranchOf(from, to, element, index, terminated);
        if (roles) {
            (*roles)[branches] = RoleOf(element, index);
            if (element == Cap) (*roles)[branches].label = label;
        }
    };
    add(1, 2, Rs, 0, {});
    netlist.SourceBranch = branches;
    int junction = 2;
    int crystalStart = junction;
    std::size_t capacitor = 0;
    const auto setApart = [&] {
        const double pf = capacitor < values.PartPF.size() ? values.PartPF[capacitor] : 0;
        if (pf > 0) netlist.Branches[branches].C = pf * 1e-12;
        ++capacitor;
    };
    for (const SchematicItem& part : topology.schematic) {
        switch (part.kind) {
            case ShuntCapacitor:
                add(junction, 0, Cap, part.index, part.label);
                setApart();
                break;
            case SeriesCapacitor:
                add(junction, ++nodes, Cap, part.index, part.label);
                setApart();
                junction = nodes;
                break;
            case Crystal:
            case ParallelCrystal: {
                const int p = part.index;
                // A crystal in parallel joins the one before it at both its ends.
                const bool across = part.kind == ParallelCrystal;
                if (!across) crystalStart = junction;
                int from = crystalStart;
                if (values.Crystal[p].TrimF != 0) {
                    add(from, ++nodes, Trim, p, part.label);
                    from = nodes;
                }
                const int arm1 = ++nodes;
                const int arm2 = ++nodes;
                const int to = across ? junction : ++nodes;
                add(from, arm1, Lm, p, part.label);
                add(arm1, arm2, Cm, p, part.label);
                add(arm2, to, Rm, p, part.label);
                add(from, to, C0, p, part.label);
                junction = to;
                break;
            }
        }
    }
    add(junction, 0, RL, 0, {});
    netlist.LoadBranch = branches;
    netlist.NodeCount = nodes;
    netlist.BranchCount = branches;
    netlist.EquationCount = nodes - 1;
    netlist.SourceCount = 1;
    netlist.Sources[1] = Source{1, 0, Complex{1, 0}};
}

void BuildCrystalFixture(const Resonator& crystal, double sourceOhm, double loadOhm,
                         Netlist& netlist) {
    ElementValues values;
    values.Crystal[1] = crystal;
    values.SourceOhm = sourceOhm;
    values.LoadOhm = loadOhm;
    BuildAnalysed(CrystalFixture, values, netlist, nullptr);
}

Resonator ResonatorOfDesign(double ldMH, double motionalCapF, double rdOhm, double csPF) {
    Resonator crystal;
    crystal.LmH = ldMH * 0.001;
    crystal.CmF = motionalCapF;
    crystal.RmOhm = rdOhm;
    crystal.C0F = csPF * 1e-12;
    return crystal;
}

ParallelEnd ParallelEquivalentOfEnd(double cendPF, double termOhm, double foKHz) {
    const double omega0 = TwoPi * (foKHz * 1000);
    const double q = 1 / (omega0 * (cendPF * 1e-12) * termOhm);
    const double qSquared = q * q;
    return {termOhm * (1 + qSquared), cendPF / (1 + 1 / qSquared)};
}

}  // namespace feldan
