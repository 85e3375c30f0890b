#include "engine/sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace feldan {
namespace {

// Group delay against a finite difference of the phase of two sweeps 1 Hz apart: within 0.1 %
// (the difference quotient itself is that far from the derivative where the phase bends most).
TEST(Sweep, GroupDelayIsTheSlopeOfThePhase) {
    for (CircuitChoice circuit : {CircuitChoice::Analysed, CircuitChoice::Schematic}) {
        for (std::optional<double> reference :
             {std::optional<double>(), std::optional<double>(50)}) {
            SCOPED_TRACE(testing::Message() << int(circuit) << " " << reference.value_or(0));
            DesignedFilter filter = DesignFilter(DesignFields{}, '.', circuit);
            ASSERT_EQ(filter.design.outcome, Outcome::Done);
            SweepRequest a;
            a.points = 41;
            a.fromDetuningHz = -2000;
            a.toDetuningHz = 6000;
            a.referenceOhm = reference;
            SweepRequest b = a;
            b.fromDetuningHz = *a.fromDetuningHz + 1;
            b.toDetuningHz = *a.toDetuningHz + 1;
            const SweepResult low = SweepFilter(filter, a);
            const SweepResult high = SweepFilter(filter, b);
            for (std::size_t i = 0; i < low.points.size(); ++i) {
                const double dPhase = std::arg(high.points[i].s21 / low.points[i].s21);
                const double slope = -dPhase / (2 * std::numbers::pi * 1.0);
                const double mean =
                    (low.points[i].groupDelaySec + high.points[i].groupDelaySec) / 2;
                EXPECT_NEAR(mean, slope, std::fabs(slope) * 1e-3 + 1e-9) << low.points[i].hz;
            }
        }
    }
}

TEST(Sweep, RenormalisingThereAndBackGivesTheSameSParameters) {
    using C = std::complex<double>;
    C s11(0.3, -0.2), s21(0.5, 0.6), s12 = s21, s22(-0.1, 0.4);
    const C original[] = {s11, s21, s12, s22};
    RenormaliseSParameters(s11, s21, s12, s22, 257, 257, 50);
    EXPECT_GT(std::abs(s11 - original[0]), 0.01);
    EXPECT_NEAR(std::abs(s12 - s21), 0, 1e-15);  // reciprocity survives
    RenormaliseSParameters(s11, s21, s12, s22, 50, 50, 257);
    const C back[] = {s11, s21, s12, s22};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(std::abs(back[k] - original[k]), 0, 1e-12);
}

// A matched resistive load seen through nothing: a 257 Ω port referred to 50 Ω reflects
// (257 − 50)/(257 + 50), a textbook value.
TEST(Sweep, RenormalisationOfAPlainResistance) {
    using C = std::complex<double>;
    // A through line between 257 Ω ports: S11 = S22 = 0, S21 = S12 = 1. Referred to 50 Ω it is
    // still a through line: nothing changes.
    C s11 = 0, s21 = 1, s12 = 1, s22 = 0;
    RenormaliseSParameters(s11, s21, s12, s22, 257, 257, 50);
    EXPECT_NEAR(std::abs(s21 - C(1)), 0, 1e-12);
    // A shunt resistor of 257 Ω across the line, seen between 257 Ω ports: S11 = −1/3. Referred
    // to 50 Ω the ports see 257 Ω across 50 Ω: S11 = (Z − 50)/(Z + 50), Z = 257·50/(257 + 50).
    s11 = -1.0 / 3, s22 = -1.0 / 3, s21 = 2.0 / 3, s12 = 2.0 / 3;
    RenormaliseSParameters(s11, s21, s12, s22, 257, 257, 50);
    const double z = 257.0 * 50 / (257 + 50);
    EXPECT_NEAR(s11.real(), (z - 50) / (z + 50), 1e-12);
    EXPECT_NEAR(s11.imag(), 0, 1e-12);
}

}  // namespace
}  // namespace feldan
