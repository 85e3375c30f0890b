// The filter as a two-port: S-parameters, input impedance and group delay from the complex solve,
// held against hand-solved circuits and physical properties.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "circuit/analysis.h"
#include "circuit/two_port.h"

namespace feldan {
namespace {

using Cx = std::complex<double>;

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameBits(Cx a, Cx b) {
    return SameBits(a.real(), b.real()) && SameBits(a.imag(), b.imag());
}

ElementValues SomeDesign() {
    ElementValues v;
    v.SetAllCrystals(
        ResonatorOfDesign(10.1, 1 / (39478.417604355091 * 8861.736 * 8861.736 * 10.1), 5.7, 6.3));
    v.SourceOhm = 240;
    v.LoadOhm = 330;
    for (int k = 1; k <= 28; ++k)
        v.CapPF[k] = 90 + 2.5 * k;
    return v;
}

double OmegaOf(double hz) {
    return 2 * std::numbers::pi * hz;
}

// 50 Ohm from the 1 V source node 1 to node 2, one element, and 50 Ohm of load from node `out`
// to 0: out is 3 for an element in series from node 2 to 3, and 2 for one in shunt.
struct HandCase {
    const char* what;
    Branch element;
    int out;
    // The exact S21 and group delay at omega.
    Cx (*s21)(double omega);
    double (*delay)(double omega);
};

Netlist HandNetlist(const HandCase& c) {
    Netlist n;
    n.NodeCount = c.out;
    n.SourceCount = 1;
    n.EquationCount = c.out - 1;
    n.Sources[1] = {1, 0, {1, 0}};
    n.Branches[1] = {1, 2, 1 / 50., 0, 0};
    n.Branches[2] = c.element;
    n.Branches[3] = {c.out, 0, 1 / 50., 0, 0};
    n.BranchCount = 3;
    n.SourceBranch = 1;
    n.LoadBranch = 3;
    PrepareNetlist(n);
    return n;
}

TEST(TwoPort, HandSolvedElementsBetweenFiftyOhms) {
    const HandCase cases[] = {
        // S21 = 2R/(2R + jωL): φ = −atan(ωL/2R), τ = (L/2R)/(1 + (ωL/2R)²).
        {"series inductance of 1 uH",
         {2, 3, 0, 0, 1e-6},
         3,
         [](double w) { return Cx(100) / Cx(100, w * 1e-6); },
         [](double w) {
             const double x = w * 1e-6 / 100;
             return (1e-6 / 100) / (1 + x * x);
         }},
        // S21 = 2R/(2R + 1/(jωC)): φ = π/2 − atan(2RωC), τ = 2RC/(1 + (2RωC)²).
        {"series capacitance of 1 nF",
         {2, 3, 0, 1e-9, 0},
         3,
         [](double w) { return Cx(100) / Cx(100, -1 / (w * 1e-9)); },
         [](double w) {
             const double x = 100 * w * 1e-9;
             return 100 * 1e-9 / (1 + x * x);
         }},
        // S21 = 2/(2 + jωCR): φ = −atan(ωCR/2), τ = (CR/2)/(1 + (ωCR/2)²).
        {"shunt capacitance of 1 nF",
         {2, 0, 0, 1e-9, 0},
         2,
         [](double w) { return Cx(2) / Cx(2, w * 1e-9 * 50); },
         [](double w) {
             const double x = w * 1e-9 * 50 / 2;
             return (1e-9 * 50 / 2) / (1 + x * x);
         }},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE(c.what);
        CircuitAnalysis circuit;
        circuit.netlist = HandNetlist(c);
        for (double hz : {1e5, 3.2e6, 2e7}) {
            SCOPED_TRACE(hz);
            const double w = OmegaOf(hz);
            const TwoPortPoint p = circuit.AnalyseTwoPort(w);
            ASSERT_TRUE(p.ok);
            EXPECT_LT(std::abs(p.s21 - c.s21(w)), 1e-14);
            EXPECT_NEAR(p.groupDelaySec / c.delay(w), 1, 1e-12);
            EXPECT_LT(std::abs(p.s12 - p.s21), 1e-14);
            // Lossless: no power is lost between the ports.
            EXPECT_NEAR(std::norm(p.s11) + std::norm(p.s21), 1, 1e-14);
        }
    }
}

TEST(TwoPort, ReciprocityDrivingPortTwoGivesS21) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis circuit;
        circuit.Build(filterType, SomeDesign());
        for (double hz : {8840000., 8860500., 8862000., 8863100., 8900000.}) {
            const TwoPortPoint p = circuit.AnalyseTwoPort(OmegaOf(hz));
            ASSERT_TRUE(p.ok);
            EXPECT_LT(std::abs(p.s12 - p.s21) / std::abs(p.s21), 1e-9) << hz;
        }
    }
}

// With equal terminations the level of Analyse and |S21| differ by exactly 20·log10 2, the
// established level offset of the chart by 0.0206 dB less.
TEST(TwoPort, S21AndTheLevelComeFromTheSameLoadVoltage) {
    EXPECT_DOUBLE_EQ(S21OffsetDb, 20 * std::log10(2.0));
    EXPECT_NEAR(S21OffsetDb - LevelOffsetDb, 0.0206, 0.00005);
    ElementValues values = SomeDesign();
    values.LoadOhm = values.SourceOhm;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis circuit;
        circuit.Build(filterType, values);
        for (double hz : {8850000., 8862000.}) {
            const AnalysisPoint level = circuit.Analyse(OmegaOf(hz));
            const TwoPortPoint p = circuit.AnalyseTwoPort(OmegaOf(hz));
            ASSERT_TRUE(level.SolveOk && p.ok);
            EXPECT_NEAR(DecibelsOf(p.s21), level.ResponseDb + S21OffsetDb, 1e-12);
        }
    }
}

// τ = −dφ/dω against a central difference of the phase, h = 2π·0.5 Hz. The difference is off
// by about (h²/6)·φ''' : within 1e-5 of τ for these filters, whose phase bends over hundreds of
// hertz, plus rounding of the phase (1e-13 s).
TEST(TwoPort, GroupDelayIsTheSlopeOfThePhase) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis circuit;
        circuit.Build(filterType, SomeDesign());
        for (double hz : {8845000., 8859000., 8861000., 8862000., 8863000., 8880000.}) {
            SCOPED_TRACE(hz);
            const double h = OmegaOf(0.5);
            const TwoPortPoint p = circuit.AnalyseTwoPort(OmegaOf(hz));
            const TwoPortPoint below = circuit.AnalyseTwoPort(OmegaOf(hz) - h);
            const TwoPortPoint above = circuit.AnalyseTwoPort(OmegaOf(hz) + h);
            ASSERT_TRUE(p.ok && below.ok && above.ok);
            const double difference = -std::arg(above.s21 / below.s21) / (2 * h);
            EXPECT_NEAR(p.groupDelaySec, difference, 1e-5 * std::abs(difference) + 1e-13);
        }
    }
}

TEST(TwoPort, SweepGivesTheBitsOfSinglePointsAndAllocatesNothingOutOfPlace) {
    ElementValues cutOff = SomeDesign();
    cutOff.CapPF[21] = 0;  // Cw4: the end series capacitors cut the load off
    struct Case {
        int filterType;
        ElementValues values;
        bool ok;
    };
    const Case cases[] = {{1, SomeDesign(), true},
                          {4, SomeDesign(), true},
                          {7, SomeDesign(), true},
                          {5, cutOff, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filterType);
        CircuitAnalysis circuit;
        circuit.Build(c.filterType, c.values);
        // 8·3 + 5 points: the last group is not full.
        std::vector<double> omegas;
        for (int i = 0; i < 29; ++i)
            omegas.push_back(OmegaOf(8858000 + 211.5 * i));
        std::vector<TwoPortPoint> swept(omegas.size());
        circuit.SweepTwoPort(omegas, swept);
        for (std::size_t i = 0; i < omegas.size(); ++i) {
            const TwoPortPoint one = circuit.AnalyseTwoPort(omegas[i]);
            ASSERT_EQ(swept[i].ok, c.ok);
            ASSERT_EQ(one.ok, c.ok);
            EXPECT_TRUE(SameBits(swept[i].s21, one.s21) && SameBits(swept[i].s12, one.s12) &&
                        SameBits(swept[i].s11, one.s11) && SameBits(swept[i].s22, one.s22) &&
                        SameBits(swept[i].zin, one.zin) &&
                        SameBits(swept[i].groupDelaySec, one.groupDelaySec))
                << i;
        }
        std::vector<TwoPortPoint> tooShort(omegas.size() - 1);
        EXPECT_THROW(circuit.SweepTwoPort(omegas, tooShort), std::length_error);
    }
}

// The frequency between loHz and hiHz where the phase of S21 crosses 0 downward: the series
// resonance of a crystal in a series fixture with equal terminations.
double SeriesResonanceHz(CircuitAnalysis& fixture, double loHz, double hiHz) {
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (loHz + hiHz);
        (fixture.AnalyseTwoPort(OmegaOf(mid)).PhaseRad() > 0 ? loHz : hiHz) = mid;
    }
    return 0.5 * (loHz + hiHz);
}

// A trim capacitor Ct in series with a crystal moves its series resonance up by
// fs·Cm/(2·(C0 + Ct)) to first order; the next term is smaller by a factor of about
// Cm/(C0 + Ct) (1e-3 here), and the motional resistance moves the phase zero by less still.
TEST(TwoPort, ATrimCapacitorMovesTheSeriesResonanceUp) {
    const Resonator crystal = ResonatorOfDesign(10.1, 3.1936e-14, 5.7, 6.3);
    const double fs = 1 / (2 * std::numbers::pi * std::sqrt(crystal.LmH * crystal.CmF));
    for (double trimPF : {10., 20., 47.}) {
        SCOPED_TRACE(trimPF);
        Resonator trimmed = crystal;
        trimmed.TrimF = trimPF * 1e-12;
        CircuitAnalysis fixture;
        BuildCrystalFixture(crystal, 50, 50, fixture.netlist);
        PrepareNetlist(fixture.netlist);
        const double untrimmedHz = SeriesResonanceHz(fixture, fs - 2000, fs + 2000);
        BuildCrystalFixture(trimmed, 50, 50, fixture.netlist);
        PrepareNetlist(fixture.netlist);
        const double trimmedHz = SeriesResonanceHz(fixture, fs - 2000, fs + 15000);
        const double expected = fs * crystal.CmF / (2 * (crystal.C0F + trimmed.TrimF));
        // Without a trim, the phase zero lies above fs by the known fs·Rm²·C0/(2·Lm) (0.09 Hz).
        const double rm = crystal.RmOhm;
        EXPECT_NEAR(untrimmedHz, fs * (1 + rm * rm * crystal.C0F / (2 * crystal.LmH)), 0.002);
        EXPECT_NEAR((trimmedHz - untrimmedHz) / expected, 1, 0.003);
    }
}

// A netlist solved over the whole triangle (too dense for its pattern) gives the same two-port
// quantities, to rounding.
TEST(TwoPort, TheWholeTriangleGivesTheSameQuantities) {
    for (int filterType : {2, 7}) {
        SCOPED_TRACE(filterType);
        CircuitAnalysis pattern;
        pattern.Build(filterType, SomeDesign());
        CircuitAnalysis whole;
        whole.Build(filterType, SomeDesign());
        whole.netlist.Pattern.Sparse = false;
        for (double hz : {8850000., 8862000.}) {
            const TwoPortPoint a = pattern.AnalyseTwoPort(OmegaOf(hz));
            const TwoPortPoint b = whole.AnalyseTwoPort(OmegaOf(hz));
            ASSERT_TRUE(whole.solver.LastSolveWasWhole());
            ASSERT_TRUE(a.ok && b.ok);
            EXPECT_LT(std::abs(a.s21 - b.s21) / std::abs(a.s21), 1e-10);
            EXPECT_LT(std::abs(a.s12 - b.s12) / std::abs(a.s12), 1e-10);
            EXPECT_LT(std::abs(a.s22 - b.s22), 1e-10);
            EXPECT_NEAR(a.groupDelaySec / b.groupDelaySec, 1, 1e-9);
        }
    }
}

TEST(TwoPort, ANetlistWithoutPortsHasNoTwoPortPoint) {
    CircuitAnalysis circuit;
    circuit.Build(2, SomeDesign());
    circuit.netlist.SourceBranch = 0;
    EXPECT_FALSE(circuit.AnalyseTwoPort(OmegaOf(8861736)).ok);
    circuit.Build(2, SomeDesign());
    circuit.netlist.Branches[circuit.netlist.LoadBranch].C = 1e-12;  // not a resistance
    EXPECT_FALSE(circuit.AnalyseTwoPort(OmegaOf(8861736)).ok);
}

}  // namespace
}  // namespace feldan
