// The production solver leaves out every operation on a position that cannot hold a non-zero
// value, and solves eight frequencies side by side. Neither may change a single bit of any
// result: held here against the plain dense elimination over thousands of frequencies of every
// topology, across and around the band, and at points that fail.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/synthesis.h"
#include "tests/support/dense_reference.h"
#include "tests/support/designed_circuit.h"

namespace feldan {
namespace {

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The design of a topology and response at the window's initial inputs, with Ck as given.
std::unique_ptr<testsupport::DesignedCircuit> Designed(int filterType, int responseType,
                                                       std::string ck = "91") {
    InputTexts texts;
    texts.Ck = ck;
    return testsupport::Designed(filterType, responseType, texts);
}

struct Tally {
    int points = 0;
    int failed = 0;
    int lanesClean = 0;
};

bool SameVoltage(Complex a, Complex b) {
    return SameBits(a.re, b.re) && SameBits(a.im, b.im);
}

// Analyses the frequencies with the dense elimination, with the production solver one point at
// a time, with the production solver taking them from its look-ahead in the order given (each
// the one before plus stepHz), and eight at a time side by side; expects the same outcome, the
// same level and the same voltage of every equation, bit for bit.
void ExpectIdentical(const Netlist& netlist, double firstHz, double stepHz, int count,
                     Tally& tally) {
    auto dense = std::make_unique<reference::DenseSolver>();
    auto voltages = std::make_unique<reference::Voltages>();
    auto single = std::make_unique<CircuitAnalysis>();
    auto ahead = std::make_unique<CircuitAnalysis>();
    auto lanes = std::make_unique<NodalSolver>();
    single->netlist = netlist;
    ahead->netlist = netlist;
    const int n = netlist.EquationCount;
    std::array<double, SolveLanes> laneOmegas{};
    std::array<bool, SolveLanes> laneClean{};
    double hz = firstHz;
    int mismatches = 0;
    auto report = [&](const char* what) {
        if (++mismatches <= 5) ADD_FAILURE() << what << " differs at " << hz << " Hz";
    };
    for (int i = 0; i < count; ++i) {
        const double omega = TwoPi * hz;
        const int lane = i % SolveLanes;
        if (lane == 0) {
            double laneHz = hz;
            for (int l = 0; l < SolveLanes; ++l) {
                laneOmegas[l] = TwoPi * laneHz;
                laneHz = laneHz + stepHz;
            }
            laneClean = lanes->SolveNodalLanes(netlist, laneOmegas);
        }
        const bool denseOk = dense->SolveNodal(netlist, omega);
        AnalysisPoint want;
        if (denseOk) {
            const OutputLevel level = reference::MeasureOutput(netlist, *dense, *voltages);
            want = {level.ok, level.ResponseDb};
        }
        const AnalysisPoint one = single->Analyse(omega);
        ahead->AnalyseAhead(hz, stepHz, TwoPi);
        const AnalysisPoint swept = ahead->Analyse(omega);

        if (one.SolveOk != want.SolveOk) report("single SolveOk");
        if (swept.SolveOk != want.SolveOk) report("side-by-side SolveOk");
        if (want.SolveOk && !SameBits(one.ResponseDb, want.ResponseDb)) report("single level");
        if (want.SolveOk && !SameBits(swept.ResponseDb, want.ResponseDb)) {
            report("side-by-side level");
        }
        // A clean lane is a solve that succeeded with finite voltages; those must be the same.
        if (laneClean[lane] && !denseOk) report("lane outcome");
        for (int k = 1; k <= n && want.SolveOk; ++k) {
            const Complex v = dense->EquationVoltage(k);
            if (!SameVoltage(single->solver.EquationVoltage(k), v)) report("single voltage");
            if (laneClean[lane] && !SameVoltage(lanes->LaneVoltage(lane, k), v)) {
                report("lane voltage");
            }
        }
        ++tally.points;
        tally.failed += want.SolveOk ? 0 : 1;
        tally.lanesClean += laneClean[lane] ? 1 : 0;
        hz = hz + stepHz;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(BitIdentity, EveryTopologyAndResponseAcrossAndAroundTheBand) {
    Tally tally;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        for (int responseType = 1; responseType <= 5; ++responseType) {
            SCOPED_TRACE(testing::Message()
                         << "type " << filterType << ", response " << responseType);
            const auto designer = Designed(filterType, responseType);
            ASSERT_TRUE(designer->ok);
            const Netlist& netlist = designer->circuit->netlist;
            const double fo = designer->FoHz();
            // The band and its skirts, 1 Hz apart upward as the peak search and the sweep step,
            // and downward as the edge search may.
            ExpectIdentical(netlist, fo - 1500, 1, 4000, tally);
            ExpectIdentical(netlist, fo + 800, -1, 400, tally);
            // Far out, where the level is far down.
            ExpectIdentical(netlist, fo - 60000, 97, 1300, tally);
        }
    }
    EXPECT_GT(tally.points, 35 * 5000);
    // Every point of these designs solves, and in the lanes.
    EXPECT_EQ(tally.failed, 0);
    EXPECT_EQ(tally.lanesClean, tally.points);
}

// Points that fail: a series capacitor of 0 (Ck = 0) cuts off the load, and element values that
// overflow make the pattern's omitted operations no longer exact no-ops (0 times infinity), so
// the production solver must notice and give what the dense elimination gives.
TEST(BitIdentity, FailingAndOverflowingPoints) {
    struct Case {
        const char* what;
        int filterType;
        std::string ck;
        void (*change)(ElementValues&);
    };
    const Case cases[] = {
        {"Cw4 with Ck = 0", 5, "0", nullptr},
        {"Cw6 with Ck = 0", 6, "0", nullptr},
        {"Cw8 with Ck = 0", 7, "0", nullptr},
        {"Ladder4 with a motional resistance that overflows its conductance", 2, "91",
         [](ElementValues& v) {
             for (Resonator& crystal : v.Crystal)
                 crystal.RmOhm = 1e-310;
         }},
        {"Ladder8 with a static capacitance that overflows its admittance", 4, "91",
         [](ElementValues& v) {
             for (Resonator& crystal : v.Crystal)
                 crystal.C0F = 1e305 * 1e-12;
         }},
        {"Cw8 with a termination of infinite conductance", 7, "91",
         [](ElementValues& v) { v.SourceOhm = 0; }},
        {"Ladder6 with a capacitor of NaN", 3, "91",
         [](ElementValues& v) { v.CapPF[3] = std::numeric_limits<double>::quiet_NaN(); }},
        {"Cw4 with every capacitor 0", 5, "91",
         [](ElementValues& v) {
             for (double& c : v.CapPF)
                 c = 0;
         }},
    };
    Tally tally;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto designer = Designed(c.filterType, 1, c.ck);
        if (c.change) {
            ElementValues values =
                ElementValuesOf(designer->result.input, designer->result.synthesis);
            c.change(values);
            designer->circuit->Build(c.filterType, values);
        }
        const double fo = designer->FoHz();
        ExpectIdentical(designer->circuit->netlist, fo - 500, 1, 600, tally);
    }
    // The cases must really fail somewhere, or they test nothing.
    EXPECT_GT(tally.failed, 2000);
}

}  // namespace
}  // namespace feldan
