// The circuit that the analysis solves: two-terminal branches between numbered nodes (node 0 is
// the reference), one ideal voltage source, and the tables that the preparation derives.
#pragma once

#include <array>

namespace feldan {

inline constexpr int MaxNodes = 64;
inline constexpr int MaxBranches = 140;
inline constexpr int MaxSources = 30;
// In every analysed topology branch 11 is the load, from the output node to node 0.
inline constexpr int OutputBranch = 11;

struct Complex {
    double re = 0;
    double im = 0;
};

// A series R, L, C arm: a crystal's further motional arm, across its static capacitance.
struct SeriesArm {
    double R = 0;  // Ohm
    double L = 0;  // H
    double C = 0;  // F
};
inline constexpr int MaxBranchArms = 3;

// G, C and L act in parallel; 0 means absent (an L of 0 or below is skipped). The first ArmCount
// series arms act in parallel with them: a crystal's unwanted modes ride on its C0 branch, so
// they add no node to the circuit.
struct Branch {
    int From = 0;
    int To = 0;
    double G = 0;  // S
    double C = 0;  // F
    double L = 0;  // H
    int ArmCount = 0;
    std::array<SeriesArm, MaxBranchArms> Arms{};
};

// Ideal source: V(DrivenNode) = V(RefNode) + Emf.
struct Source {
    int DrivenNode = 0;
    int RefNode = 0;
    Complex Emf;
};

// Capacities of the elimination pattern. The upper triangle always fits; a netlist whose
// elimination needs more update steps than this is solved over the whole triangle instead.
inline constexpr int MaxPatternEntries = MaxNodes * (MaxNodes + 1) / 2;
inline constexpr int MaxPatternUpdates = 4096;
inline constexpr int MaxEmfStamps = 2 * MaxBranches;

// The nodal matrix of a netlist has the same non-zero positions at every frequency, and so has
// its elimination. PrepareNetlist works them out once, so that a solve touches nothing else:
// every skipped operation would multiply by, or subtract, an exact zero.
struct EliminationPattern {
    // False when the pattern did not fit the capacities above (never for the seven topologies).
    bool Sparse = false;
    int EquationCount = 0;
    // Entries of the upper triangle that can be non-zero, fill included, stored row by row: row k
    // holds entries RowStart[k] .. RowStart[k + 1] - 1, its diagonal first, columns ascending.
    int EntryCount = 0;
    std::array<int, MaxNodes + 2> RowStart{};
    std::array<int, MaxPatternEntries> Column{};
    // The branches whose admittance is added to (diagonal) or subtracted from (off the diagonal)
    // each entry, in branch order: StampBranch[StampStart[e] .. StampStart[e + 1] - 1].
    std::array<int, MaxPatternEntries + 1> StampStart{};
    std::array<int, 3 * MaxBranches> StampBranch{};
    // Source currents of the branches with a non-zero BranchEmf, in branch order: J[row] gets
    // +Jeq (Sign 1) or -Jeq (Sign -1).
    struct EmfStamp {
        int Branch;
        int Row;
        int Sign;
    };
    int EmfStampCount = 0;
    std::array<EmfStamp, MaxEmfStamps> EmfStamps{};
    // Targets of the elimination updates, in the order the solver runs them: for pivot row k,
    // for each entry a of row k right of the diagonal (row i = Column[a]), for each entry b of
    // row k from a to the row's end, the entry of Y[i][Column[b]].
    int UpdateCount = 0;
    std::array<int, MaxPatternUpdates> UpdateTarget{};
};

// Fixed-size tables with 1-based numbering; entries beyond the counts are stale and never read.
struct Netlist {
    int NodeCount = 0;
    int BranchCount = 0;
    int SourceCount = 0;
    int EquationCount = 0;
    std::array<Branch, MaxBranches + 1> Branches{};  // [1..BranchCount]
    std::array<Source, MaxSources + 1> Sources{};    // [1..SourceCount]
    // The two ports: the load branch (port 2 is its voltage, From minus To) and the source
    // resistance, one of whose ends is the driven node of a source (port 1 is the voltage of the
    // other end). SourceBranch 0: the netlist has no two ports.
    int LoadBranch = OutputBranch;
    int SourceBranch = 0;
    // Filled by PrepareNetlist.
    // 10·log10(Rs/RL) of the two ports, 0 for equal ones (and without ports): what turns the load
    // level into the power's between different terminations.
    double EndsLevelDb = 0;
    std::array<int, MaxNodes + 1> EquationOf{};        // [0..NodeCount]; 0 = no equation
    std::array<Complex, MaxBranches + 1> BranchEmf{};  // [1..BranchCount]
    EliminationPattern Pattern;
};

// Non-driven nodes get equations 1, 2, ... in node order; a driven node shares the equation of
// its reference node (none, when that is node 0).
void NumberEquations(Netlist& netlist);
// The voltage that the sources add to each branch because one of its ends is driven.
void ComputeBranchEmfs(Netlist& netlist);
// Works out the non-zero positions of the nodal matrix and of its elimination without row
// exchanges. Needs EquationOf and BranchEmf.
void FindEliminationPattern(Netlist& netlist);
// NumberEquations, ComputeBranchEmfs, FindEliminationPattern and EndsLevelDb. Run once after
// every build and after any change of the branches, before the first solve.
void PrepareNetlist(Netlist& netlist);

}  // namespace feldan
