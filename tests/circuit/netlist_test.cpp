// Equation numbering and branch source voltages of the netlist preparation.
#include <gtest/gtest.h>

#include <vector>

#include "circuit/netlist.h"
#include "circuit/topologies.h"

namespace feldan {
namespace {

ElementValues SomeValues() {
    ElementValues v;
    v.SetAllCrystals(ResonatorOfDesign(10.1, 3.1936e-14, 5.7, 6.3));
    v.SourceOhm = 257.02;
    v.LoadOhm = 257.02;
    for (int k = 1; k <= 28; ++k)
        v.CapPF[k] = 50 + 3 * k;
    return v;
}

Netlist Prepared(int filterType) {
    Netlist netlist;
    BuildNetlist(filterType, SomeValues(), netlist);
    PrepareNetlist(netlist);
    return netlist;
}

TEST(NumberEquations, SourceAtTheHighestNodeLeavesTheOthersInNodeOrder) {
    // Ladder3: the source drives node 13.
    const Netlist netlist = Prepared(1);
    EXPECT_EQ(netlist.EquationOf[0], 0);
    for (int node = 1; node <= 12; ++node) {
        SCOPED_TRACE(node);
        EXPECT_EQ(netlist.EquationOf[node], node);
    }
    EXPECT_EQ(netlist.EquationOf[13], 0);
}

TEST(NumberEquations, SourceAtNodeOneShiftsEveryOtherNodeDown) {
    for (int filterType : {3, 4, 5, 6, 7}) {
        SCOPED_TRACE(filterType);
        const Netlist netlist = Prepared(filterType);
        EXPECT_EQ(netlist.EquationOf[0], 0);
        EXPECT_EQ(netlist.EquationOf[1], 0);
        for (int node = 2; node <= netlist.NodeCount; ++node) {
            EXPECT_EQ(netlist.EquationOf[node], node - 1) << "node " << node;
        }
    }
}

TEST(NumberEquations, DrivenNodeSharesTheEquationOfItsReferenceNode) {
    // Nodes 1..4; source 1 drives node 2 against node 3, source 2 drives node 4 against node 0.
    Netlist netlist;
    netlist.NodeCount = 4;
    netlist.SourceCount = 2;
    netlist.Sources[1] = {2, 3, {1, 0}};
    netlist.Sources[2] = {4, 0, {1, 0}};
    NumberEquations(netlist);
    const std::vector<int> expected = {0, 1, 2, 2, 0};
    for (int node = 0; node <= 4; ++node) {
        SCOPED_TRACE(node);
        EXPECT_EQ(netlist.EquationOf[node], expected[node]);
    }
}

struct EmfCase {
    int filterType;
    int branch;
    double emf;
};

TEST(ComputeBranchEmfs, OnlyTheBranchAtTheSourceNodeCarriesTheSourceVoltage) {
    const EmfCase cases[] = {
        {1, 18, -1},  // Rs runs from node 1 into the source node 13
        {2, 23, -1},  // Rs runs from node 1 into the source node 16
        {3, 2, 1},    // Rs runs out of the source node 1
        {4, 1, 1},   {5, 1, 1}, {6, 1, 1}, {7, 1, 1},
    };
    for (const EmfCase& c : cases) {
        SCOPED_TRACE(c.filterType);
        const Netlist netlist = Prepared(c.filterType);
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            const double expected = b == c.branch ? c.emf : 0;
            EXPECT_EQ(netlist.BranchEmf[b].re, expected) << "branch " << b;
            EXPECT_EQ(netlist.BranchEmf[b].im, 0) << "branch " << b;
        }
    }
}

TEST(ComputeBranchEmfs, AddsAtTheFromEndAndSubtractsAtTheToEnd) {
    // Two sources of different voltage; branch 1 runs between the two driven nodes, branch 2
    // from a driven node to itself, branch 3 touches no driven node.
    Netlist netlist;
    netlist.NodeCount = 3;
    netlist.SourceCount = 2;
    netlist.Sources[1] = {1, 0, {2, 0.5}};
    netlist.Sources[2] = {2, 0, {-1, 3}};
    netlist.BranchCount = 3;
    netlist.Branches[1] = {1, 2, 1, 0, 0};
    netlist.Branches[2] = {2, 2, 1, 0, 0};
    netlist.Branches[3] = {3, 0, 1, 0, 0};
    ComputeBranchEmfs(netlist);
    const Complex expected[] = {{}, {3, -2.5}, {0, 0}, {0, 0}};
    for (int b = 1; b <= 3; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(netlist.BranchEmf[b].re, expected[b].re);
        EXPECT_EQ(netlist.BranchEmf[b].im, expected[b].im);
    }
}

TEST(PrepareNetlist, RebuildingASmallerNetlistIgnoresTheStaleEntries) {
    for (int small : {1, 2, 5}) {
        for (int large : {4, 7}) {
            SCOPED_TRACE(testing::Message() << small << " after " << large);
            Netlist reused;
            BuildNetlist(large, SomeValues(), reused);
            PrepareNetlist(reused);
            BuildNetlist(small, SomeValues(), reused);
            PrepareNetlist(reused);
            const Netlist fresh = Prepared(small);
            ASSERT_EQ(reused.EquationCount, fresh.EquationCount);
            for (int node = 0; node <= fresh.NodeCount; ++node) {
                EXPECT_EQ(reused.EquationOf[node], fresh.EquationOf[node]);
            }
            const EliminationPattern& a = reused.Pattern;
            const EliminationPattern& b = fresh.Pattern;
            ASSERT_EQ(a.EntryCount, b.EntryCount);
            ASSERT_EQ(a.UpdateCount, b.UpdateCount);
            for (int e = 0; e < a.EntryCount; ++e)
                EXPECT_EQ(a.Column[e], b.Column[e]);
            for (int u = 0; u < a.UpdateCount; ++u)
                EXPECT_EQ(a.UpdateTarget[u], b.UpdateTarget[u]);
        }
    }
}

// The pattern must hold every position that the elimination can make non-zero. Checked here
// against a symbolic elimination done the long way: a position is non-zero after step k when it
// was before, or when both Y[k][i] and Y[k][j] were.
TEST(EliminationPattern, HoldsEveryPositionTheEliminationFills) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        const Netlist netlist = Prepared(filterType);
        const int n = netlist.EquationCount;
        std::vector<std::vector<bool>> filled(n + 1, std::vector<bool>(n + 1, false));
        for (int k = 1; k <= n; ++k)
            filled[k][k] = true;
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            const int r = netlist.EquationOf[netlist.Branches[b].From];
            const int e = netlist.EquationOf[netlist.Branches[b].To];
            if (r != 0 && e != 0 && r != e) filled[r][e] = filled[e][r] = true;
        }
        for (int k = 1; k <= n; ++k) {
            for (int i = k + 1; i <= n; ++i) {
                for (int j = k + 1; j <= n; ++j) {
                    if (filled[i][k] && filled[k][j]) filled[i][j] = true;
                }
            }
        }
        const EliminationPattern& pattern = netlist.Pattern;
        ASSERT_TRUE(pattern.Sparse);
        int expectedEntries = 0;
        for (int i = 1; i <= n; ++i) {
            for (int j = i; j <= n; ++j) {
                if (!filled[i][j]) continue;
                ++expectedEntries;
                bool found = false;
                for (int e = pattern.RowStart[i]; e < pattern.RowStart[i + 1]; ++e) {
                    found = found || pattern.Column[e] == j;
                }
                EXPECT_TRUE(found) << "Y[" << i << "][" << j << "]";
            }
        }
        EXPECT_EQ(pattern.EntryCount, expectedEntries);
        // The point of the pattern: far fewer entries than the whole triangle.
        EXPECT_LT(pattern.EntryCount, n * (n + 1) / 4);
    }
}

}  // namespace
}  // namespace feldan
