// Frequencies solved side by side, and the look-ahead that feeds a search from them: every point
// must be the very same result as a solve of its own.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "circuit/analysis.h"
#include "tests/support/dense_reference.h"

namespace feldan {
namespace {

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

ElementValues SomeDesign() {
    ElementValues v;
    v.SetAllCrystals(
        ResonatorOfDesign(10.1, 1 / (39478.417604355091 * 8861.736 * 8861.736 * 10.1), 5.7, 6.3));
    v.SourceOhm = 257.02;
    v.LoadOhm = 257.02;
    for (int k = 1; k <= 28; ++k)
        v.CapPF[k] = 90 + 2.5 * k;
    return v;
}

TEST(SolveNodalLanes, EachCleanLaneIsTheSolveOfItsOwn) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis circuit;
        circuit.Build(filterType, SomeDesign());
        std::array<double, SolveLanes> omegas;
        for (int l = 0; l < SolveLanes; ++l)
            omegas[l] = TwoPi * (8855000 + 1733.5 * l);
        NodalSolver lanes;
        const std::array<bool, SolveLanes> clean = lanes.SolveNodalLanes(circuit.netlist, omegas);
        for (int l = 0; l < SolveLanes; ++l) {
            SCOPED_TRACE(l);
            ASSERT_TRUE(clean[l]);
            ASSERT_TRUE(circuit.solver.SolveNodal(circuit.netlist, omegas[l]));
            for (int k = 1; k <= circuit.netlist.EquationCount; ++k) {
                EXPECT_TRUE(
                    SameBits(lanes.LaneVoltage(l, k).re, circuit.solver.EquationVoltage(k).re));
                EXPECT_TRUE(
                    SameBits(lanes.LaneVoltage(l, k).im, circuit.solver.EquationVoltage(k).im));
            }
        }
    }
}

// A node held only by a capacitance and an inductance of 1 F and 1 H in parallel: at 1 rad/s its
// admittance, and so its pivot, is exactly 0. Around it, the circuit solves.
Netlist NetlistSingularAtOneRadian() {
    Netlist netlist;
    netlist.NodeCount = 4;
    netlist.SourceCount = 1;
    netlist.EquationCount = 3;
    netlist.Sources[1] = {1, 0, {1, 0}};
    netlist.Branches[1] = {1, 2, 0.5, 0, 0};
    netlist.Branches[2] = {3, 0, 0, 1, 1};  // the resonant node
    netlist.Branches[3] = {2, 4, 0, 1e-3, 0};
    for (int b = 4; b <= 10; ++b)
        netlist.Branches[b] = {0, 0, 0, 0, 0};
    netlist.Branches[11] = {4, 0, 0.25, 0, 0};
    netlist.BranchCount = 11;
    PrepareNetlist(netlist);
    return netlist;
}

TEST(SolveNodalLanes, ALaneThatFailsLeavesTheOthersClean) {
    const Netlist netlist = NetlistSingularAtOneRadian();
    std::array<double, SolveLanes> omegas;
    for (int l = 0; l < SolveLanes; ++l)
        omegas[l] = 0.25 * (l + 1);  // lane 3 is at 1 rad/s
    NodalSolver lanes;
    NodalSolver single;
    const std::array<bool, SolveLanes> clean = lanes.SolveNodalLanes(netlist, omegas);
    for (int l = 0; l < SolveLanes; ++l) {
        SCOPED_TRACE(l);
        const bool ok = single.SolveNodal(netlist, omegas[l]);
        EXPECT_EQ(ok, l != 3);
        EXPECT_EQ(clean[l], ok);
        if (!clean[l]) continue;
        for (int k = 1; k <= 3; ++k) {
            EXPECT_TRUE(SameBits(lanes.LaneVoltage(l, k).re, single.EquationVoltage(k).re));
            EXPECT_TRUE(SameBits(lanes.LaneVoltage(l, k).im, single.EquationVoltage(k).im));
        }
    }
}

TEST(SolveNodalLanes, NonFiniteLanesAreNotClean) {
    Netlist netlist = NetlistSingularAtOneRadian();
    const double inf = std::numeric_limits<double>::infinity();
    std::array<double, SolveLanes> omegas;
    for (int l = 0; l < SolveLanes; ++l)
        omegas[l] = 3.0 + l;
    omegas[2] = inf;
    omegas[5] = std::numeric_limits<double>::quiet_NaN();
    NodalSolver lanes;
    const std::array<bool, SolveLanes> clean = lanes.SolveNodalLanes(netlist, omegas);
    for (int l = 0; l < SolveLanes; ++l) {
        SCOPED_TRACE(l);
        EXPECT_EQ(clean[l], l != 2 && l != 5);
    }
}

// The look-ahead as a search uses it: before every step, AnalyseAhead for the frequency about to
// be analysed; the points come out the same as from a circuit that solves each on its own.
struct SearchCase {
    const char* what;
    int filterType;
    ElementValues values;
    double startHz;
    double stepHz;
    bool failsEverywhere = false;
};

void ExpectSearchMatchesSingleSolves(const SearchCase& c, int steps) {
    CircuitAnalysis ahead;
    ahead.Build(c.filterType, c.values);
    CircuitAnalysis single;
    single.Build(c.filterType, c.values);
    double hz = c.startHz;
    int failed = 0;
    for (int i = 0; i < steps; ++i) {
        ahead.AnalyseAhead(hz, c.stepHz, TwoPi);
        const AnalysisPoint a = ahead.Analyse(TwoPi * hz);
        const AnalysisPoint b = single.Analyse(TwoPi * hz);
        ASSERT_EQ(a.SolveOk, b.SolveOk) << hz;
        ASSERT_TRUE(SameBits(a.ResponseDb, b.ResponseDb)) << hz;
        failed += a.SolveOk ? 0 : 1;
        hz = hz + c.stepHz;
    }
    EXPECT_EQ(failed, c.failsEverywhere ? steps : 0);
}

TEST(AnalyseAhead, SearchesGetTheSamePointsAsSingleSolves) {
    ElementValues cutOff = SomeDesign();
    cutOff.CapPF[21] = cutOff.CapPF[22] = cutOff.CapPF[23] = 0;  // Cw4 with Ck = 0
    const SearchCase cases[] = {
        {"ladder3 upward", 1, SomeDesign(), 8861736, 1},
        {"ladder4 upward", 2, SomeDesign(), 8861736, 1},
        {"ladder6 downward", 3, SomeDesign(), 8861736, -1},
        {"ladder8 upward from a fractional frequency", 4, SomeDesign(), 8861736.123456789, 1},
        {"cw4 downward", 5, SomeDesign(), 8863000, -1},
        {"cw6 upward", 6, SomeDesign(), 8858000, 1},
        {"cw8 upward", 7, SomeDesign(), 8858000, 1},
        {"cw4 with its load cut off", 5, cutOff, 8861736, 1, true},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectSearchMatchesSingleSolves(c, 3 * AheadPoints + 3);
    }
}

TEST(AnalyseAhead, AnAnalysisOutOfOrderDropsThePointsKept) {
    CircuitAnalysis circuit;
    circuit.Build(2, SomeDesign());
    CircuitAnalysis single;
    single.Build(2, SomeDesign());
    circuit.AnalyseAhead(8861000, 1, TwoPi);
    // Asked for a frequency other than the next kept one, then for one that was kept: both must
    // still be right.
    for (double hz : {8861500., 8861001., 8861000., 8861002.}) {
        SCOPED_TRACE(hz);
        const AnalysisPoint a = circuit.Analyse(TwoPi * hz);
        const AnalysisPoint b = single.Analyse(TwoPi * hz);
        EXPECT_EQ(a.SolveOk, b.SolveOk);
        EXPECT_TRUE(SameBits(a.ResponseDb, b.ResponseDb));
    }
}

TEST(AnalyseAhead, BuildingAnotherDesignDropsThePointsKept) {
    CircuitAnalysis circuit;
    circuit.Build(2, SomeDesign());
    circuit.AnalyseAhead(8861000, 1, TwoPi);
    ElementValues other = SomeDesign();
    for (Resonator& crystal : other.Crystal)
        crystal.RmOhm = 20;
    circuit.Build(2, other);
    CircuitAnalysis single;
    single.Build(2, other);
    const AnalysisPoint a = circuit.Analyse(TwoPi * 8861000);
    const AnalysisPoint b = single.Analyse(TwoPi * 8861000);
    EXPECT_TRUE(a.SolveOk);
    EXPECT_TRUE(SameBits(a.ResponseDb, b.ResponseDb));
}

// The points that the lanes and the single solve give agree with the dense elimination too.
TEST(AnalyseAhead, PointsAgreeWithTheDenseElimination) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis circuit;
        circuit.Build(filterType, SomeDesign());
        reference::DenseSolver dense;
        reference::Voltages voltages;
        double hz = 8860000;
        for (int i = 0; i < 2 * AheadPoints; ++i) {
            circuit.AnalyseAhead(hz, 137, TwoPi);
            const AnalysisPoint a = circuit.Analyse(TwoPi * hz);
            const AnalysisPoint b =
                reference::Analyse(circuit.netlist, dense, voltages, TwoPi * hz);
            ASSERT_EQ(a.SolveOk, b.SolveOk);
            ASSERT_TRUE(SameBits(a.ResponseDb, b.ResponseDb)) << hz;
            hz = hz + 137;
        }
    }
}

}  // namespace
}  // namespace feldan
