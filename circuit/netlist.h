// The circuit that the analysis solves: two-terminal branches between numbered nodes (node 0 is
// the reference), one ideal voltage source, and the tables that the preparation derives.
#pragma once

#include <array>

namespace feldan {

inline constexpr int MaxNodes = 60;
inline constexpr int MaxBranches = 140;
inline constexpr int MaxSources = 30;
// In every topology branch 11 is the load, from the output node to node 0.
inline constexpr int OutputBranch = 11;

struct Complex {
    double re = 0;
    double im = 0;
};

// G, C and L act in parallel; 0 means absent (an L of 0 or below is skipped).
struct Branch {
    int From = 0;
    int To = 0;
    double G = 0;  // S
    double C = 0;  // F
    double L = 0;  // H
};

// Ideal source: V(DrivenNode) = V(RefNode) + Emf.
struct Source {
    int DrivenNode = 0;
    int RefNode = 0;
    Complex Emf;
};

// Fixed-size tables with 1-based numbering; entries beyond the counts are stale and never read.
struct Netlist {
    int NodeCount = 0;
    int BranchCount = 0;
    int SourceCount = 0;
    int EquationCount = 0;
    std::array<Branch, MaxBranches + 1> Branches{};  // [1..BranchCount]
    std::array<Source, MaxSources + 1> Sources{};    // [1..SourceCount]
    // Filled by PrepareNetlist.
    std::array<int, MaxNodes + 1> EquationOf{};        // [0..NodeCount]; 0 = no equation
    std::array<Complex, MaxBranches + 1> BranchEmf{};  // [1..BranchCount]
};

// Non-driven nodes get equations 1, 2, ... in node order; a driven node shares the equation of
// its reference node (none, when that is node 0).
void NumberEquations(Netlist& netlist);
// The voltage that the sources add to each branch because one of its ends is driven.
void ComputeBranchEmfs(Netlist& netlist);
// NumberEquations, then ComputeBranchEmfs. Run once after every build, before the first solve.
void PrepareNetlist(Netlist& netlist);

}  // namespace feldan
