#include "circuit/netlist.h"

#include <cmath>

#include <algorithm>

namespace feldan {

void NumberEquations(Netlist& netlist) {
    netlist.EquationOf[0] = 0;
    for (int i = 1; i <= netlist.NodeCount; ++i) {
        bool driven = false;
        for (int s = 1; s <= netlist.SourceCount; ++s) {
            if (netlist.Sources[s].DrivenNode == i) driven = true;
        }
        netlist.EquationOf[i] = netlist.EquationOf[i - 1] + (driven ? 0 : 1);
    }
    // A driven node has no unknown voltage of its own: it shares its reference node's equation.
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        const Source& source = netlist.Sources[s];
        netlist.EquationOf[source.DrivenNode] = netlist.EquationOf[source.RefNode];
    }
}

void ComputeBranchEmfs(Netlist& netlist) {
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        Complex emf;
        const Branch& branch = netlist.Branches[b];
        for (int s = 1; s <= netlist.SourceCount; ++s) {
            const Source& source = netlist.Sources[s];
            if (branch.From == source.DrivenNode) {
                emf.re += source.Emf.re;
                emf.im += source.Emf.im;
            }
            if (branch.To == source.DrivenNode) {
                emf.re -= source.Emf.re;
                emf.im -= source.Emf.im;
            }
        }
        netlist.BranchEmf[b] = emf;
    }
}

void FindEliminationPattern(Netlist& netlist) {
    EliminationPattern& pattern = netlist.Pattern;
    const int n = netlist.EquationCount;
    pattern.Sparse = false;
    pattern.EquationCount = n;
    pattern.EntryCount = 0;
    pattern.EmfStampCount = 0;
    pattern.UpdateCount = 0;

    // Positions of the upper triangle that a stamp reaches. Every diagonal belongs to the
    // pattern, even one that no branch reaches: its pivot is then exactly 0.
    std::array<std::array<bool, MaxNodes + 1>, MaxNodes + 1> nonZero{};
    for (int k = 1; k <= n; ++k)
        nonZero[k][k] = true;
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const int r = netlist.EquationOf[netlist.Branches[b].From];
        const int e = netlist.EquationOf[netlist.Branches[b].To];
        if (r != 0 && e != 0 && r != e) nonZero[std::min(r, e)][std::max(r, e)] = true;
    }
    // Fill: eliminating row k changes Y[i][j] for every pair i <= j of columns that row k holds
    // right of its diagonal.
    for (int k = 1; k < n; ++k) {
        for (int i = k + 1; i <= n; ++i) {
            if (!nonZero[k][i]) continue;
            for (int j = i; j <= n; ++j) {
                if (nonZero[k][j]) nonZero[i][j] = true;
            }
        }
    }

    std::array<std::array<int, MaxNodes + 1>, MaxNodes + 1> entryOf{};
    int entries = 0;
    for (int k = 1; k <= n; ++k) {
        pattern.RowStart[k] = entries;
        for (int j = k; j <= n; ++j) {
            if (!nonZero[k][j]) continue;
            entryOf[k][j] = entries;
            pattern.Column[entries] = j;
            ++entries;
        }
    }
    pattern.RowStart[n + 1] = entries;
    pattern.EntryCount = entries;

    // Stamps, grouped by entry and kept in branch order within each entry (a counting sort).
    std::array<int, MaxPatternEntries + 1> stampCount{};
    auto forEachStamp = [&](auto&& visit) {
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            const int r = netlist.EquationOf[netlist.Branches[b].From];
            const int e = netlist.EquationOf[netlist.Branches[b].To];
            if (r == e) continue;  // adds nothing to the equations
            if (r != 0) visit(entryOf[r][r], b);
            if (r != 0 && e != 0) visit(entryOf[std::min(r, e)][std::max(r, e)], b);
            if (e != 0) visit(entryOf[e][e], b);
        }
    };
    forEachStamp([&](int entry, int) { ++stampCount[entry]; });
    pattern.StampStart[0] = 0;
    for (int entry = 0; entry < entries; ++entry) {
        pattern.StampStart[entry + 1] = pattern.StampStart[entry] + stampCount[entry];
    }
    std::array<int, MaxPatternEntries + 1> next{};
    std::copy(pattern.StampStart.begin(), pattern.StampStart.begin() + entries, next.begin());
    forEachStamp([&](int entry, int b) { pattern.StampBranch[next[entry]++] = b; });

    // Source currents: only branches with a non-zero BranchEmf inject any.
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const int r = netlist.EquationOf[netlist.Branches[b].From];
        const int e = netlist.EquationOf[netlist.Branches[b].To];
        const Complex emf = netlist.BranchEmf[b];
        if (r == e || (emf.re == 0 && emf.im == 0)) continue;
        if (r != 0) pattern.EmfStamps[pattern.EmfStampCount++] = {b, r, -1};
        if (e != 0) pattern.EmfStamps[pattern.EmfStampCount++] = {b, e, 1};
    }

    int updates = 0;
    for (int k = 1; k < n; ++k) {
        const int rowEnd = pattern.RowStart[k + 1];
        for (int a = pattern.RowStart[k] + 1; a < rowEnd; ++a) {
            const int i = pattern.Column[a];
            for (int b = a; b < rowEnd; ++b) {
                if (updates == MaxPatternUpdates) return;  // too dense: Sparse stays false
                pattern.UpdateTarget[updates++] = entryOf[i][pattern.Column[b]];
            }
        }
    }
    pattern.UpdateCount = updates;
    pattern.Sparse = true;
}

void PrepareNetlist(Netlist& netlist) {
    NumberEquations(netlist);
    ComputeBranchEmfs(netlist);
    FindEliminationPattern(netlist);
    netlist.EndsLevelDb = 0;
    if (netlist.SourceBranch > 0 && netlist.LoadBranch > 0) {
        const double gs = netlist.Branches[netlist.SourceBranch].G;
        const double gl = netlist.Branches[netlist.LoadBranch].G;
        if (gs != gl && gs > 0 && gl > 0) netlist.EndsLevelDb = 10 * std::log10(gl / gs);
    }
}

}  // namespace feldan
