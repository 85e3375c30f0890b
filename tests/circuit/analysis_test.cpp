// One analysis point of a built topology: the worked example of the default design, and the
// cases that must be reported as failed rather than as a number.
#include <gtest/gtest.h>

#include <cmath>

#include "circuit/analysis.h"

namespace feldan {
namespace {

// The default design (Fo 8861.736 kHz, dF 3100 Hz, Ld 10.1 mH, Cs 6.3 pF, Rd 5.7 Ohm) as a
// four-resonator Butterworth ladder (g1 0.7654, g2 1.848), its values worked out from the
// synthesis formulas.
struct DefaultLadder4 {
    double foKHz = 8861.736;
    double dfHz = 3100;
    double ldMH = 10.1;
    double g1 = 0.7654;
    double g2 = 1.848;
    double motionalCapF = 1 / (39478.417604355091 * foKHz * foKHz * ldMH);
    double scalePF = (foKHz * 1000 / dfHz) / (39.478417604355091 * foKHz * foKHz * ldMH * 1e-9);
    double termOhm = 1e9 / (TwoPi * foKHz * scalePF * g1);

    ElementValues Values() const {
        ElementValues v;
        v.SetAllCrystals(ResonatorOfDesign(ldMH, motionalCapF, 5.7, 6.3));
        v.SourceOhm = termOhm;
        v.LoadOhm = termOhm;
        v.CapPF[1] = scalePF * std::sqrt(g1 * g2);
        v.CapPF[2] = scalePF * g2;
        return v;
    }
};

TEST(CircuitAnalysis, DefaultFourResonatorLadderIsMinus18Point05DecibelsAtFo) {
    const DefaultLadder4 design;
    // The intermediate values as printed with the design.
    EXPECT_NEAR(design.termOhm, 257.02, 0.005);
    EXPECT_NEAR(design.Values().CapPF[1], 108.58, 0.005);
    EXPECT_NEAR(design.Values().CapPF[2], 168.71, 0.005);

    CircuitAnalysis circuit;
    circuit.Build(2, design.Values());
    const AnalysisPoint point = circuit.Analyse(TwoPi * 8861736);
    ASSERT_TRUE(point.SolveOk);
    EXPECT_NEAR(point.ResponseDb, -18.05, 0.005);
}

TEST(CircuitAnalysis, AnalyseIsSolveThenMeasure) {
    const DefaultLadder4 design;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        ElementValues values = design.Values();
        for (int k = 3; k <= 28; ++k)
            values.CapPF[k] = 60 + k;
        CircuitAnalysis circuit;
        circuit.Build(filterType, values);
        Netlist netlist;
        BuildNetlist(filterType, values, netlist);
        PrepareNetlist(netlist);
        NodalSolver solver;
        OutputMeasure measure;
        for (double hz : {8850000., 8861736., 8863000.5}) {
            SCOPED_TRACE(hz);
            const AnalysisPoint point = circuit.Analyse(TwoPi * hz);
            ASSERT_TRUE(solver.SolveNodal(netlist, TwoPi * hz));
            const OutputLevel level = MeasureOutput(netlist, solver, measure);
            EXPECT_EQ(point.SolveOk, level.ok);
            EXPECT_EQ(point.ResponseDb, level.ResponseDb);
        }
    }
}

TEST(CircuitAnalysis, OutputIsTheVoltageOfTheOutputNode) {
    const DefaultLadder4 design;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        ElementValues values = design.Values();
        for (int k = 3; k <= 28; ++k)
            values.CapPF[k] = 60 + k;
        CircuitAnalysis circuit;
        circuit.Build(filterType, values);
        ASSERT_TRUE(circuit.solver.SolveNodal(circuit.netlist, TwoPi * 8862000));
        const OutputLevel level = MeasureOutput(circuit.netlist, circuit.solver, circuit.measure);
        const Complex out = circuit.measure.NodeVoltage[CountsOf(filterType).OutputNode];
        EXPECT_EQ(circuit.measure.BranchVoltage[OutputBranch].re, out.re);
        EXPECT_EQ(circuit.measure.BranchVoltage[OutputBranch].im, out.im);
        ASSERT_TRUE(level.ok);
        EXPECT_DOUBLE_EQ(level.ResponseDb, 20 * std::log10(std::hypot(out.re, out.im)));
    }
}

// CW types 5 and 6 with Ck = 0: the end series capacitors are 0, so the load is cut off and its
// voltage is exactly 0. That is a failed analysis, never -inf and never NaN; and the next design
// analyses normally.
TEST(CircuitAnalysis, LoadCutOffByAZeroSeriesCapacitorIsAFailedAnalysis) {
    const DefaultLadder4 design;
    struct Case {
        int filterType;
        std::vector<int> zeroSlots;  // the slots that Ck = 0 makes 0
    };
    const Case cases[] = {{5, {21, 22, 23}}, {6, {24, 25, 26, 27}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filterType);
        ElementValues values = design.Values();
        for (int k = 1; k <= 28; ++k)
            values.CapPF[k] = 100 + k;
        for (int k : c.zeroSlots)
            values.CapPF[k] = 0;
        CircuitAnalysis circuit;
        circuit.Build(c.filterType, values);
        for (double hz : {8861736., 8863000.}) {
            const AnalysisPoint point = circuit.Analyse(TwoPi * hz);
            EXPECT_FALSE(point.SolveOk);
            EXPECT_TRUE(std::isfinite(point.ResponseDb));
        }
        for (int k : c.zeroSlots)
            values.CapPF[k] = 50 + k;
        circuit.Build(c.filterType, values);
        const AnalysisPoint point = circuit.Analyse(TwoPi * 8861736);
        EXPECT_TRUE(point.SolveOk);
        EXPECT_LT(point.ResponseDb, 0);
    }
}

}  // namespace
}  // namespace feldan
