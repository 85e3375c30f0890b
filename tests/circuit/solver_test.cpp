// The complex nodal solver and the output level, on circuits whose answers are worked out by
// hand, and on odd netlists held against the plain dense elimination.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "circuit/analysis.h"
#include "circuit/solver.h"
#include "tests/support/dense_reference.h"

namespace feldan {
namespace {

using Cx = std::complex<double>;

// Builds a netlist from branches and sources and prepares it.
Netlist MakeNetlist(int nodes, const std::vector<Branch>& branches,
                    const std::vector<Source>& sources) {
    Netlist netlist;
    netlist.NodeCount = nodes;
    netlist.BranchCount = static_cast<int>(branches.size());
    netlist.SourceCount = static_cast<int>(sources.size());
    netlist.EquationCount = nodes - netlist.SourceCount;
    for (int b = 1; b <= netlist.BranchCount; ++b)
        netlist.Branches[b] = branches[b - 1];
    for (int s = 1; s <= netlist.SourceCount; ++s)
        netlist.Sources[s] = sources[s - 1];
    PrepareNetlist(netlist);
    return netlist;
}

Branch G(int from, int to, double g) {
    return {from, to, g, 0, 0};
}
Branch C(int from, int to, double c) {
    return {from, to, 0, c, 0};
}
Branch L(int from, int to, double l) {
    return {from, to, 0, 0, l};
}
// A branch of no value from node 0 to node 0, to fill a netlist up to the load at branch 11.
Branch Nothing() {
    return {0, 0, 0, 0, 0};
}

Source OneVolt(int node) {
    return {node, 0, {1, 0}};
}

// Puts a load of conductance g from `node` to node 0 at branch 11.
std::vector<Branch> WithLoadAt11(std::vector<Branch> branches, int node, double g) {
    while (branches.size() < 10)
        branches.push_back(Nothing());
    branches.push_back(G(node, 0, g));
    return branches;
}

Cx Voltage(const NodalSolver& solver, int k) {
    const Complex v = solver.EquationVoltage(k);
    return {v.re, v.im};
}

// Equal as doubles, bit for bit, or both NaN.
bool Same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(SolveNodal, TwoNodeDividerHalvesTheSourceVoltage) {
    for (double g : {1.0, 1e-3, 0.0174, 4e6}) {
        SCOPED_TRACE(g);
        // Node 2 is driven; branch 1 from node 1 to node 2, branch 2 from node 1 to node 0.
        const Netlist netlist = MakeNetlist(2, {G(1, 2, g), G(1, 0, g)}, {OneVolt(2)});
        EXPECT_EQ(netlist.EquationCount, 1);
        EXPECT_EQ(netlist.EquationOf[0], 0);
        EXPECT_EQ(netlist.EquationOf[1], 1);
        EXPECT_EQ(netlist.EquationOf[2], 0);
        EXPECT_EQ(netlist.BranchEmf[1].re, -1);
        EXPECT_EQ(netlist.BranchEmf[2].re, 0);

        NodalSolver solver;
        solver.Assemble(netlist, 1000);
        EXPECT_EQ(solver.MatrixEntry(netlist, 1, 1).re, 2 * g);
        EXPECT_EQ(solver.MatrixEntry(netlist, 1, 1).im, 0);
        EXPECT_EQ(solver.Current(1).re, g);
        EXPECT_EQ(solver.Current(1).im, 0);

        ASSERT_TRUE(solver.SolveNodal(netlist, 1000));
        EXPECT_EQ(solver.EquationVoltage(1).re, 0.5);
        EXPECT_EQ(solver.EquationVoltage(1).im, 0);
    }
}

TEST(MeasureOutput, DividerLoadLevelIsMinusSixDecibels) {
    // The divider with a load branch of no conductance across node 1 at branch 11.
    const Netlist netlist =
        MakeNetlist(2, WithLoadAt11({G(1, 2, 0.02), G(1, 0, 0.02)}, 1, 0), {OneVolt(2)});
    NodalSolver solver;
    ASSERT_TRUE(solver.SolveNodal(netlist, 1000));
    OutputMeasure measure;
    const OutputLevel level = MeasureOutput(netlist, solver, measure);
    ASSERT_TRUE(level.ok);
    EXPECT_NEAR(level.ResponseDb, -6.0206, 5e-5);
    const Complex expected[] = {{0, 0}, {0.5, 0}, {1, 0}};
    for (int node = 0; node <= 2; ++node) {
        SCOPED_TRACE(node);
        EXPECT_EQ(measure.NodeVoltage[node].re, expected[node].re);
        EXPECT_EQ(measure.NodeVoltage[node].im, expected[node].im);
    }
    EXPECT_EQ(measure.BranchVoltage[1].re, -0.5);  // node 1 minus the source node
    EXPECT_EQ(measure.BranchVoltage[2].re, 0.5);
}

TEST(MeasureOutput, SourceNodeIsExactlyOneVoltWhateverTheSolutionHolds) {
    const Netlist netlist = MakeNetlist(
        3, WithLoadAt11({G(1, 3, 0.01), C(1, 2, 1e-9), L(2, 0, 1e-3)}, 2, 0.02), {OneVolt(3)});
    NodalSolver solver;
    for (double omega : {1e3, 3e4, 1e6, 1e9}) {
        SCOPED_TRACE(omega);
        ASSERT_TRUE(solver.SolveNodal(netlist, omega));
        OutputMeasure measure;
        MeasureOutput(netlist, solver, measure);
        EXPECT_EQ(measure.NodeVoltage[3].re, 1);
        EXPECT_EQ(measure.NodeVoltage[3].im, 0);
        EXPECT_EQ(measure.BranchVoltage[OutputBranch].re, measure.NodeVoltage[2].re);
        EXPECT_EQ(measure.BranchVoltage[OutputBranch].im, measure.NodeVoltage[2].im);
    }
}

TEST(SolveNodal, BranchesBetweenEqualEquationNumbersChangeNothing) {
    // The divider, then the same with a branch from node 0 to node 0, one from the source
    // node to node 0 (both have no equation) and one from node 1 to itself.
    const Netlist plain = MakeNetlist(2, {G(1, 2, 0.3), C(1, 0, 1e-6)}, {OneVolt(2)});
    const Netlist padded = MakeNetlist(
        2, {G(0, 0, 5), G(1, 2, 0.3), C(2, 0, 7e-6), C(1, 0, 1e-6), L(1, 1, 2e-3), G(2, 2, 1)},
        {OneVolt(2)});
    NodalSolver a;
    NodalSolver b;
    for (double omega : {10., 1e5, 3e7}) {
        SCOPED_TRACE(omega);
        ASSERT_TRUE(a.SolveNodal(plain, omega));
        ASSERT_TRUE(b.SolveNodal(padded, omega));
        EXPECT_TRUE(Same(a.EquationVoltage(1).re, b.EquationVoltage(1).re));
        EXPECT_TRUE(Same(a.EquationVoltage(1).im, b.EquationVoltage(1).im));
    }
}

TEST(SolveNodal, InductanceOfZeroOrBelowIsSkipped) {
    // A resistor with L = 0 and one with L < 0 behave as the resistor alone.
    for (double l : {0.0, -1e-3}) {
        SCOPED_TRACE(l);
        const Netlist withL =
            MakeNetlist(2, {G(1, 2, 0.5), Branch{1, 0, 0.25, 0, l}}, {OneVolt(2)});
        NodalSolver solver;
        ASSERT_TRUE(solver.SolveNodal(withL, 1e4));
        EXPECT_DOUBLE_EQ(solver.EquationVoltage(1).re, 0.5 / 0.75);
        EXPECT_EQ(solver.EquationVoltage(1).im, 0);
        EXPECT_EQ(solver.BranchAdmittance(2).im, 0);
    }
}

TEST(SolveNodal, BranchAdmittanceIsTheParallelOfItsThreeElements) {
    // G = 0.1 S, C = 2 uF and L = 5 mH in parallel at several frequencies.
    const Netlist netlist = MakeNetlist(2, {Branch{1, 2, 0.1, 2e-6, 5e-3}}, {OneVolt(1)});
    NodalSolver solver;
    for (double omega : {100., 1e4, 1e6}) {
        SCOPED_TRACE(omega);
        solver.SolveNodal(netlist, omega);
        EXPECT_EQ(solver.BranchAdmittance(1).re, 0.1);
        EXPECT_NEAR(solver.BranchAdmittance(1).im, omega * 2e-6 - 1 / (omega * 5e-3),
                    1e-15 * (omega * 2e-6 + 1 / (omega * 5e-3)));
    }
}

// R from the source to node 2, C from node 2 to ground: V2 = 1 / (1 + jwRC).
TEST(SolveNodal, RcDividerMatchesItsTransferFunction) {
    const double r = 1000;
    const double c = 1e-6;
    const Netlist netlist = MakeNetlist(2, {G(1, 2, 1 / r), C(2, 0, c)}, {OneVolt(1)});
    NodalSolver solver;
    for (double omega : {1., 100., 1000., 1e4, 1e7}) {
        SCOPED_TRACE(omega);
        ASSERT_TRUE(solver.SolveNodal(netlist, omega));
        const Cx expected = 1. / (1. + Cx(0, omega * r * c));
        EXPECT_NEAR(std::abs(Voltage(solver, 1) - expected), 0,
                    1e-15 * std::abs(expected) + 1e-300);
    }
    // At the corner the output is (1 - j) / 2.
    ASSERT_TRUE(solver.SolveNodal(netlist, 1 / (r * c)));
    EXPECT_NEAR(solver.EquationVoltage(1).re, 0.5, 1e-15);
    EXPECT_NEAR(solver.EquationVoltage(1).im, -0.5, 1e-15);
}

// Source resistance, series L and C, load resistance: Vout = RL / (Rs + RL + jwL + 1/(jwC)).
TEST(SolveNodal, SeriesRlcAtAndOffResonance) {
    const double rs = 50;
    const double rl = 150;
    const double l = 1e-3;
    const double c = 1e-9;
    const Netlist netlist =
        MakeNetlist(4, {G(1, 2, 1 / rs), L(2, 3, l), C(3, 4, c), G(4, 0, 1 / rl)}, {OneVolt(1)});
    const double w0 = 1 / std::sqrt(l * c);
    NodalSolver solver;
    struct Case {
        double omega;
        double magnitude;  // worked out by hand where the case names it; 0: from the formula
    };
    const Case cases[] = {{w0, 0.75}, {0.5 * w0, 0}, {0.99 * w0, 0}, {1.01 * w0, 0}, {3 * w0, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.omega / w0);
        ASSERT_TRUE(solver.SolveNodal(netlist, k.omega));
        const Cx x = Cx(0, k.omega * l) + 1. / Cx(0, k.omega * c);
        const Cx expected = rl / (rs + rl + x);
        const Cx got = Voltage(solver, 3);  // node 4 has equation 3
        EXPECT_NEAR(std::abs(got - expected), 0, 1e-12 * std::abs(expected));
        if (k.magnitude != 0) {
            EXPECT_NEAR(got.real(), k.magnitude, 1e-12);
            EXPECT_NEAR(got.imag(), 0, 1e-12);
        }
    }
}

// A small lossless low-pass ladder between equal terminations: Rs, series L1, shunt C, series
// L2, load R. Worked out by hand with node 3 the middle node (voltage Vm) and node 4 the
// output (voltage Vo):
//   Vo = R / (R + jwL2) * Vm,   Vm = Zp / (R + jwL1 + Zp),   Zp = (R + jwL2) / (1 + jwC(R + jwL2)).
// With L1 = L2 = L, C = 2L/R^2 and w = R/L (the maximally flat third-order case at its corner)
// the level is 1/2 of the EMF reduced by 3 dB: |Vo| = 1 / (2 sqrt 2).
TEST(SolveNodal, ThirdOrderLadderMatchesItsHandDerivedTransfer) {
    const double r = 50;
    const double l = 7.957747e-6;
    const double c = 2 * l / (r * r);
    const Netlist netlist =
        MakeNetlist(4, WithLoadAt11({G(1, 2, 1 / r), L(2, 3, l), C(3, 0, c), L(3, 4, l)}, 4, 1 / r),
                    {OneVolt(1)});
    NodalSolver solver;
    for (double scale : {0.1, 0.5, 1.0, 1.7, 4.0}) {
        const double w = scale * r / l;
        SCOPED_TRACE(scale);
        ASSERT_TRUE(solver.SolveNodal(netlist, w));
        const Cx j(0, 1);
        const Cx zp = (r + j * w * l) / (1. + j * w * c * (r + j * w * l));
        const Cx vm = zp / (r + j * w * l + zp);
        const Cx vo = r / (r + j * w * l) * vm;
        EXPECT_NEAR(std::abs(Voltage(solver, 3) - vo), 0, 1e-13);
        OutputMeasure measure;
        const OutputLevel level = MeasureOutput(netlist, solver, measure);
        ASSERT_TRUE(level.ok);
        EXPECT_NEAR(level.ResponseDb, 20 * std::log10(std::abs(vo)), 1e-12);
        if (scale == 1.0) {
            EXPECT_NEAR(std::abs(vo), 1 / (2 * std::sqrt(2.)), 1e-12);
        }
    }
}

TEST(SolveNodal, NoEquationsIsASuccessWithNothingToDo) {
    // Only the source node and ground.
    const Netlist netlist = MakeNetlist(1, {G(1, 0, 1)}, {OneVolt(1)});
    NodalSolver solver;
    EXPECT_TRUE(solver.SolveNodal(netlist, 1));
}

// Pivots that vanish: a node whose only branches have no value at all. The pivot is exactly 0
// in the forward pass (first node) or in the back substitution (last node); a pivot whose
// squared magnitude is under 1e-34 fails as well, one just above passes.
TEST(SolveNodal, VanishingPivotsFailTheSolve) {
    struct Case {
        const char* what;
        std::vector<Branch> branches;
        bool ok;
    };
    const Case cases[] = {
        {"first pivot exactly 0", {C(1, 0, 0), G(2, 3, 1), G(2, 0, 1)}, false},
        {"last pivot exactly 0", {G(1, 3, 1), G(1, 0, 1), C(2, 0, 0)}, false},
        {"first pivot squared below the floor", {G(1, 0, 0.9e-17), G(2, 3, 1), G(2, 0, 1)}, false},
        {"first pivot squared above the floor", {G(1, 0, 1.1e-17), G(2, 3, 1), G(2, 0, 1)}, true},
        {"last pivot squared below the floor", {G(1, 3, 1), G(1, 0, 1), G(2, 0, 0.9e-17)}, false},
        {"last pivot squared above the floor", {G(1, 3, 1), G(1, 0, 1), G(2, 0, 1.1e-17)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Netlist netlist = MakeNetlist(3, c.branches, {OneVolt(3)});
        NodalSolver solver;
        EXPECT_EQ(solver.SolveNodal(netlist, 1e6), c.ok);
        reference::DenseSolver dense;
        EXPECT_EQ(dense.SolveNodal(netlist, 1e6), c.ok);
    }
}

TEST(SolveNodal, AFailedSolveLeavesNoTraceInTheNext) {
    const Netlist bad = MakeNetlist(3, {C(1, 0, 0), G(2, 3, 1), G(2, 0, 1)}, {OneVolt(3)});
    const Netlist good = MakeNetlist(3, {G(1, 3, 2), C(1, 2, 1e-9), G(2, 0, 1)}, {OneVolt(3)});
    NodalSolver fresh;
    ASSERT_TRUE(fresh.SolveNodal(good, 1e6));
    NodalSolver reused;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        EXPECT_FALSE(reused.SolveNodal(bad, 1e6));
        ASSERT_TRUE(reused.SolveNodal(good, 1e6));
        for (int k = 1; k <= 2; ++k) {
            EXPECT_TRUE(Same(reused.EquationVoltage(k).re, fresh.EquationVoltage(k).re));
            EXPECT_TRUE(Same(reused.EquationVoltage(k).im, fresh.EquationVoltage(k).im));
        }
    }
}

TEST(MeasureOutput, LoadVoltageOfExactlyZeroIsAFailureNotMinusInfinity) {
    // The load hangs behind a series capacitor of value 0.
    const Netlist netlist = MakeNetlist(
        3, WithLoadAt11({G(1, 3, 0.01), C(1, 2, 0), G(1, 0, 0.01)}, 2, 0.01), {OneVolt(3)});
    NodalSolver solver;
    ASSERT_TRUE(solver.SolveNodal(netlist, 1e6));
    OutputMeasure measure;
    const OutputLevel level = MeasureOutput(netlist, solver, measure);
    EXPECT_FALSE(level.ok);
    EXPECT_EQ(level.ResponseDb, 0);
    EXPECT_EQ(measure.BranchVoltage[OutputBranch].re, 0);
    EXPECT_EQ(measure.BranchVoltage[OutputBranch].im, 0);
}

TEST(MeasureOutput, NetlistWithoutBranchElevenHasNoLevel) {
    const Netlist netlist = MakeNetlist(2, {G(1, 2, 1), G(1, 0, 1)}, {OneVolt(2)});
    NodalSolver solver;
    ASSERT_TRUE(solver.SolveNodal(netlist, 1));
    OutputMeasure measure;
    EXPECT_FALSE(MeasureOutput(netlist, solver, measure).ok);
}

// Netlists of every shape: random nodes and branches, several sources, sources referred to
// other nodes, self loops, branches of no value, negative and zero inductances. The solver must
// agree with the dense elimination to the last bit, voltage by voltage.
Netlist RandomNetlistOf(std::mt19937_64& rng, int nodes, int branches, int sources) {
    std::uniform_int_distribution<int> node(0, nodes);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Branch> list;
    for (int b = 0; b < branches; ++b) {
        Branch branch{node(rng), node(rng), 0, 0, 0};
        const double pick = unit(rng);
        const double value = std::pow(10.0, -6 + 8 * unit(rng));
        if (pick < 0.3) branch.G = value * 1e-3;
        if (pick >= 0.3 && pick < 0.6) branch.C = value * 1e-12;
        if (pick >= 0.6 && pick < 0.9) branch.L = value * 1e-6;
        if (pick >= 0.9 && pick < 0.95) branch.L = -value;  // skipped
        if (unit(rng) < 0.2) branch.G += 1e-4;              // sometimes two elements
        list.push_back(branch);
    }
    std::vector<Source> sourceList;
    std::vector<int> driven;
    for (int s = 0; s < sources; ++s) {
        // Distinct driven nodes; the reference is 0 or a node not driven.
        int d;
        do
            d = 1 + node(rng) % nodes;
        while (std::find(driven.begin(), driven.end(), d) != driven.end());
        driven.push_back(d);
        int ref = 0;
        if (unit(rng) < 0.3) {
            ref = 1 + node(rng) % nodes;
            if (std::find(driven.begin(), driven.end(), ref) != driven.end()) ref = 0;
        }
        sourceList.push_back({d, ref, {unit(rng) * 2 - 1, unit(rng) * 2 - 1}});
    }
    return MakeNetlist(nodes, list, sourceList);
}

// Solves with both and expects the same outcome and the same voltages; returns the outcome.
bool ExpectSameSolve(const Netlist& netlist, double omega, NodalSolver& solver,
                     reference::DenseSolver& dense) {
    const bool ok = solver.SolveNodal(netlist, omega);
    EXPECT_EQ(ok, dense.SolveNodal(netlist, omega));
    if (!ok) return false;
    for (int k = 1; k <= netlist.EquationCount; ++k) {
        EXPECT_TRUE(Same(solver.EquationVoltage(k).re, dense.EquationVoltage(k).re)) << k;
        EXPECT_TRUE(Same(solver.EquationVoltage(k).im, dense.EquationVoltage(k).im)) << k;
    }
    return true;
}

TEST(SolveNodal, AgreesBitForBitWithTheDenseEliminationOnRandomNetlists) {
    std::mt19937_64 rng(20240611);
    NodalSolver solver;
    reference::DenseSolver dense;
    int failed = 0;
    int solved = 0;
    for (int round = 0; round < 400; ++round) {
        const int nodes = 2 + round % 25;
        const int branches = 1 + static_cast<int>(rng() % (3 * nodes));
        const int sources = 1 + static_cast<int>(rng() % 3);
        const Netlist netlist = RandomNetlistOf(rng, nodes, branches, std::min(sources, nodes));
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << nodes << " nodes");
        ASSERT_TRUE(netlist.Pattern.Sparse);
        for (double omega : {1e2, 5.3e4, 5.6e7}) {
            (ExpectSameSolve(netlist, omega, solver, dense) ? solved : failed)++;
            EXPECT_FALSE(solver.LastSolveWasWhole());
        }
    }
    // Both outcomes must have been exercised for the comparison to mean anything.
    EXPECT_GT(failed, 50);
    EXPECT_GT(solved, 300);
}

TEST(SolveNodal, ANetlistTooDenseForItsPatternIsSolvedOverTheWholeTriangle) {
    // Node 1 joined to every other node: eliminating it joins all the others to each other, and
    // the elimination then needs more updates than the pattern's capacity holds.
    const int nodes = 40;
    std::vector<Branch> branches = {G(1, nodes, 1)};
    for (int a = 1; a < nodes; ++a)
        branches.push_back(G(a, 0, 0.01 * a));
    for (int b = 2; b < nodes; ++b)
        branches.push_back(C(1, b, 1e-12 * b));
    const Netlist netlist = MakeNetlist(nodes, branches, {OneVolt(nodes)});
    EXPECT_FALSE(netlist.Pattern.Sparse);
    NodalSolver solver;
    reference::DenseSolver dense;
    for (double omega : {1e3, 1e6, 1e9}) {
        SCOPED_TRACE(omega);
        ExpectSameSolve(netlist, omega, solver, dense);
        EXPECT_TRUE(solver.LastSolveWasWhole());
    }
}

// Values that overflow: 0 times infinity is not 0, so the operations the pattern leaves out are
// no longer exact no-ops. The solver must notice and give what the dense elimination gives.
// Node 3 hangs on an infinite conductance and touches nothing else. The dense elimination
// multiplies that infinity by the exact zeros between node 3 and the rest and so turns every
// voltage NaN; leaving those products out would give a finite output instead. The point must
// fail as the dense elimination has it.
TEST(CircuitAnalysis, AnInfinityOutsideThePatternStillSpoilsThePoint) {
    const double inf = std::numeric_limits<double>::infinity();
    CircuitAnalysis circuit;
    circuit.netlist =
        MakeNetlist(3, WithLoadAt11({G(1, 2, 1), G(2, 0, 1), G(3, 0, inf)}, 2, 1), {OneVolt(1)});
    reference::DenseSolver dense;
    reference::Voltages voltages;
    const AnalysisPoint want = reference::Analyse(circuit.netlist, dense, voltages, 1e3);
    EXPECT_FALSE(want.SolveOk);
    const AnalysisPoint got = circuit.Analyse(1e3);
    EXPECT_FALSE(got.SolveOk);
    EXPECT_TRUE(circuit.solver.LastSolveWasWhole());
    circuit.AnalyseAhead(1e3 / 6.25, 1, 6.25);
    EXPECT_FALSE(circuit.Analyse(1e3).SolveOk);
}

TEST(SolveNodal, NonFiniteValuesGiveWhatTheDenseEliminationGives) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = std::numeric_limits<double>::max();
    struct Case {
        const char* what;
        std::vector<Branch> branches;
        double omega;
    };
    const Case cases[] = {
        {"infinite conductance at the source", {G(1, 2, inf), C(2, 3, 1e-9), G(3, 0, 1)}, 1e6},
        {"infinite conductance inside", {G(1, 2, 1), G(2, 3, inf), C(3, 0, 1e-9)}, 1e6},
        {"NaN capacitance", {G(1, 2, 1), C(2, 3, nan), G(3, 0, 1)}, 1e6},
        {"capacitive admittance overflows", {G(1, 2, 1), C(2, 3, huge), G(3, 0, 1)}, 1e6},
        {"infinite frequency", {G(1, 2, 1), C(2, 3, 1e-9), G(3, 0, 1)}, inf},
        {"products overflow", {G(1, 2, 1e300), G(2, 3, 1e300), G(3, 0, 1e-300)}, 1e6},
        {"pivot near the floor", {G(1, 2, 1e-17), C(2, 3, 1e-30), G(3, 0, 1e300)}, 1e6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Netlist netlist = MakeNetlist(3, c.branches, {OneVolt(1)});
        NodalSolver solver;
        reference::DenseSolver dense;
        ExpectSameSolve(netlist, c.omega, solver, dense);
    }
}

}  // namespace
}  // namespace feldan
