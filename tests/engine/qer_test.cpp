// QER ladders against the published table's rule and against a chain-matrix computation of
// their own written here, lossless (Rd 0.001 Ω, Cs 0.001 pF) at 9 MHz, 15 mH, 2400 Hz.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/ladder_design.h"
#include "engine/sweep.h"

namespace feldan {
namespace {

using C = std::complex<double>;

DesignFields Qer(int poles) {
    DesignFields design;
    design.filterType = FilterTypeOfOrder(LadderStructure::Qer, poles);
    design.texts.Fo = "9000";
    design.texts.Ld = "15";
    design.texts.Cs = "0.001";
    design.texts.Rd = "0.001";
    design.texts.Df = "2400";
    return design;
}

// |S21| in dB of the doubled-end ladder of `poles` meshes between two resistances r: an ABCD
// product of series crystals (L, Cm, 0.001 Ω, bridged by 0.001 pF; the doubled ends two of them
// in parallel) and shunt capacitors c.
double ChainS21Db(int poles, double hz, double lH, double cmF, double cF, double r) {
    const C jw(0, 2 * std::numbers::pi * hz);
    const C arm = jw * lH + 1.0 / (jw * cmF) + 0.001;
    const C c0 = 1.0 / (jw * 0.001e-12);
    const C crystal = arm * c0 / (arm + c0);
    C a = 1, b = crystal / 2.0, c = 0, d = 1;
    for (int k = 1; k < poles; ++k) {
        const C y = jw * cF;  // shunt: a += b·y, c += d·y
        a += b * y;
        c += d * y;
        const C z = k == poles - 1 ? crystal / 2.0 : crystal;  // series: b += a·z, d += c·z
        b += a * z;
        d += c * z;
    }
    return 20 * std::log10(std::abs(2.0 / (a + b / r + c * r + d)));
}

// The table's rule, the analysed filter point by point against the chain matrix, and the band
// and ripple it promises (both measured on the chain matrix's own grid).
TEST(Qer, LosslessDesignsFollowTheTableAndTheirOwnChainMatrix) {
    const struct {
        int poles;
        double bandHz, rippleDb;  // of the chain matrix, found once by a 0.2 Hz grid
    } rows[] = {{4, 2434.2, 0.024}, {6, 2401.0, 0.090}, {8, 2401.4, 0.313}, {12, 2401.4, 0.905}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.poles);
        const CalculationResult result = Calculate(Qer(row.poles), '.');
        ASSERT_EQ(result.outcome, Outcome::Done) << int(result.message.id);
        const double lH = 15e-3, f0 = 9e6;
        const double cmF = 1 / (std::pow(2 * std::numbers::pi * f0, 2) * lH);
        const QerRow table = QerRowOf(row.poles);
        const double cPF = table.gIn * cmF * 1e12 * f0 / 2400;
        const double r = std::numbers::pi * lH * 2400 / table.q1;
        // One capacitor value throughout, both ends the same resistance.
        const TopologyDescriptor& topology = DescriptorOf(result.synthesis.Circuit);
        int capacitors = 0, crystals = 0;
        for (const SchematicItem& item : topology.schematic) {
            if (!IsCapacitorItem(item.kind)) {
                ++crystals;
                continue;
            }
            ++capacitors;
            EXPECT_NEAR(result.synthesis.CapPF[std::size_t(item.index)], cPF, cPF * 1e-9);
        }
        EXPECT_EQ(capacitors, row.poles - 1);
        EXPECT_EQ(crystals, row.poles + 2);
        EXPECT_NEAR(result.synthesis.SourceOhm, r, r * 1e-9);
        EXPECT_NEAR(result.synthesis.LoadOhm, r, r * 1e-9);
        EXPECT_NEAR(result.measurements.MeasuredDfHz, row.bandHz, 3);

        // Both circuits, analysed and as built, are the chain matrix's.
        for (const CircuitChoice circuit : {CircuitChoice::Analysed, CircuitChoice::Schematic}) {
            DesignedFilter filter = DesignFilter(Qer(row.poles), '.', circuit);
            SweepRequest request;
            request.points = 201;
            request.circuit = circuit;
            const SweepResult sweep = SweepFilter(filter, request);
            double worst = 0, top = -1e9;
            for (const SweepPoint& point : sweep.points) {
                const double chain = ChainS21Db(row.poles, point.hz, lH, cmF, cPF * 1e-12, r);
                worst = std::max(worst, std::fabs(20 * std::log10(std::abs(point.s21)) - chain));
                top = std::max(top, chain);
            }
            EXPECT_LT(worst, 1e-6) << (circuit == CircuitChoice::Analysed ? "analysed" : "built");
            EXPECT_NEAR(top, 0, 0.01);
        }
    }
    // The ripple the table promises, on the chain matrix: eight poles, 0.31 dB.
    const double lH = 15e-3, f0 = 9e6;
    const double cmF = 1 / (std::pow(2 * std::numbers::pi * f0, 2) * lH);
    const QerRow eight = QerRowOf(8);
    const double cF = eight.gIn * cmF * f0 / 2400, r = std::numbers::pi * lH * 2400 / eight.q1;
    double lowest = 0, previous = -1e9;
    bool rising = true;
    for (double hz = f0 + 300; hz < f0 + 2300; hz += 0.5) {
        const double db = ChainS21Db(8, hz, lH, cmF, cF, r);
        if (rising && db < previous) rising = false;
        if (!rising && db > previous) lowest = std::min(lowest, previous), rising = true;
        previous = db;
    }
    EXPECT_NEAR(lowest, -0.313, 0.005);
}

TEST(Qer, OrdersOutsideTheTableNameNoFilter) {
    for (const int poles : {3, 13}) {
        EXPECT_EQ(FilterTypeOfOrder(LadderStructure::Qer, poles), 0) << poles;
        EXPECT_EQ(QerRowOf(poles).gIn, 0) << poles;
    }
    EXPECT_EQ(OrderOfLadder(LadderOfFilterType(FilterTypeOfOrder(LadderStructure::Qer, 7))), 7);
}

}  // namespace
}  // namespace feldan
