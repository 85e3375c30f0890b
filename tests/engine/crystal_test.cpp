#include "engine/crystal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace feldan {
namespace {

using Complex = std::complex<double>;

// A 10 MHz crystal of the kind hams buy: Lm 15 mH, Rm 10 Ω, C0 4 pF (Cm 16.9 fF, the parallel
// resonance 21 kHz above fs).
const CrystalModel Known = CrystalFromSeriesResonance(10e6, 15e-3, 10, 4e-12);

struct Sweep {
    std::vector<double> hz;
    std::vector<Complex> value;
};

// A sweep as an instrument writes it: `points` from `fromHz` to `toHz`, optionally with
// multiplicative noise of relative size `noise` and an additive noise floor of `floorDb` (both
// seeded), and rounded to six decimals in RI.
Sweep Measure(const CrystalModel& crystal, SweepKind kind, double ohm, double fromHz, double toHz,
              int points, double noise = 0, bool sixDecimals = false, double floorDb = -400) {
    Sweep s;
    std::mt19937_64 random(1);
    std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
    std::normal_distribution<double> unit(0, 1);
    for (int i = 0; i < points; ++i) {
        const double hz = fromHz + (toHz - fromHz) * i / (points - 1);
        Complex v = MeasuredOf(kind, ohm, crystal.Impedance(hz));
        if (noise > 0) v *= Complex(1 + gauss(random), gauss(random));
        const double floor = std::pow(10.0, floorDb / 20);
        v += floor * Complex(unit(random), unit(random));
        if (sixDecimals) {
            v = {std::round(v.real() * 1e6) / 1e6, std::round(v.imag() * 1e6) / 1e6};
        }
        s.hz.push_back(hz);
        s.value.push_back(v);
    }
    return s;
}

struct FitCase {
    const char* name;
    SweepKind kind;
    double ohm;
    double fromHz, toHz;
    int points;
    double noise;
    bool sixDecimals;
    double floorDb;
    double lcTolerance;  // relative, for Lm, Cm and fs (fs to a hundredth of it)
    double rmTolerance;
    double c0Tolerance;
};

TEST(CrystalFit, RecoversTheModelFromSynthesisedSweeps) {
    const FitCase cases[] = {
        {"noise-free, series in 50 Ω", SweepKind::SeriesThrough, 50, 9.995e6, 10.03e6, 1601, 0,
         false, -400, 1e-4, 1e-4, 1e-4},
        {"noise-free, 12.5 Ω fixture", SweepKind::SeriesThrough, 12.5, 9.995e6, 10.03e6, 1601, 0,
         false, -400, 1e-4, 1e-4, 1e-4},
        {"noise-free, one port", SweepKind::OnePort, 50, 9.995e6, 10.03e6, 1601, 0, false, -400,
         1e-4, 1e-4, 1e-4},
        {"NanoVNA: six decimals, no parallel resonance", SweepKind::SeriesThrough, 50, 9.996e6,
         10.004e6, 1601, 0, true, -400, 1e-3, 1e-2, 0.2},
        {"101 points with 1 % noise", SweepKind::SeriesThrough, 50, 9.997e6, 10.003e6, 101, 0.01,
         true, -400, 0.02, 0.25, 1},
        // The notch of the parallel resonance sinks into the floor; a few points on the peak.
        {"both resonances over a -68 dB noise floor", SweepKind::SeriesThrough, 50, 9.995e6,
         10.03e6, 1601, 0, true, -68, 2e-3, 0.02, 0.02},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Sweep s = Measure(Known, c.kind, c.ohm, c.fromHz, c.toHz, c.points, c.noise,
                                c.sixDecimals, c.floorDb);
        const CrystalFit fit = FitCrystal(s.hz, s.value, c.kind, c.ohm);
        ASSERT_NE(fit.verdict, FitVerdict::NoResonance);
        EXPECT_NE(fit.verdict, FitVerdict::NotConverged);
        const CrystalModel& m = fit.model;
        EXPECT_NEAR(m.lmH / Known.lmH, 1, c.lcTolerance);
        EXPECT_NEAR(m.cmF / Known.cmF, 1, c.lcTolerance);
        EXPECT_NEAR(m.fsHz / Known.fsHz, 1, c.lcTolerance / 100);
        EXPECT_NEAR(m.rmOhm / Known.rmOhm, 1, c.rmTolerance);
        EXPECT_NEAR(m.c0F / Known.c0F, 1, c.c0Tolerance);
        EXPECT_NEAR(m.Q(), Known.Q(), Known.Q() * c.rmTolerance * 1.1);
        EXPECT_LT(fit.iterations, MaxFitIterations);
        if (c.noise == 0 && !c.sixDecimals) {
            EXPECT_LT(fit.rmsErrorDb, 1e-6);
        }
    }
}

TEST(CrystalFit, SweepWithoutTheResonanceIsSaidSo) {
    // Far above the series resonance, and a sweep of three points.
    const Sweep above = Measure(Known, SweepKind::SeriesThrough, 50, 10.05e6, 10.1e6, 401);
    EXPECT_EQ(FitCrystal(above.hz, above.value, SweepKind::SeriesThrough, 50).verdict,
              FitVerdict::NoResonance);
    const Sweep tiny = Measure(Known, SweepKind::SeriesThrough, 50, 9.99e6, 10.01e6, 3);
    EXPECT_EQ(FitCrystal(tiny.hz, tiny.value, SweepKind::SeriesThrough, 50).verdict,
              FitVerdict::NoResonance);
}

TEST(CrystalFit, ASweepTheModelCannotDescribeIsAPoorFit) {
    // A series-through sweep read as if it were a one-port one.
    const Sweep s = Measure(Known, SweepKind::SeriesThrough, 50, 9.995e6, 10.03e6, 801);
    const CrystalFit fit = FitCrystal(s.hz, s.value, SweepKind::OnePort, 50);
    EXPECT_TRUE(fit.verdict == FitVerdict::PoorFit || fit.verdict == FitVerdict::NoResonance);
}

// The G3UUR readings of the known crystal, worked from the shift a series capacitor gives.
TEST(G3uur, RecoversTheMotionalCapacitance) {
    const double f0 = Known.fsHz;
    const auto shifted = [&](double c) { return f0 + f0 * Known.cmF / (2 * (Known.c0F + c)); };
    const double c1 = 33e-12, c2 = 100e-12;
    EXPECT_NEAR(G3uurMotionalCapacitance(f0, shifted(c1), c1, Known.c0F) / Known.cmF, 1, 1e-12);
    EXPECT_NEAR(G3uurMotionalCapacitance(f0, shifted(c1), c1, shifted(c2), c2) / Known.cmF, 1,
                1e-9);
    EXPECT_NEAR(MotionalInductanceOf(f0, Known.cmF), Known.lmH, Known.lmH * 1e-12);
    // A shift downward is no reading.
    EXPECT_EQ(G3uurMotionalCapacitance(f0, f0 - 100, c1, Known.c0F), 0);
}

// The trim found for a target puts the series resonance of crystal and trim there, found here
// as the zero of the reactance of the pair.
TEST(SeriesTrim, LiftsTheSeriesResonanceToTheTarget) {
    for (double lift : {20.0, 100.0, 400.0}) {
        SCOPED_TRACE(lift);
        const double target = Known.fsHz + lift;
        const double trim = SeriesTrimFor(Known, target);
        ASSERT_GT(trim, 0);
        const auto reactance = [&](double hz) {
            return (Known.Impedance(hz) + 1.0 / Complex(0, 2 * std::numbers::pi * hz * trim))
                .imag();
        };
        double lo = Known.fsHz, hi = Known.fsHz + 2 * lift;
        for (int i = 0; i < 100; ++i) {
            const double mid = (lo + hi) / 2;
            (reactance(mid) < 0 ? lo : hi) = mid;
        }
        // First order in Cm/(C0 + Ct): within a few per cent of the lift.
        EXPECT_NEAR(lo, target, lift * 0.03);
    }
    EXPECT_EQ(SeriesTrimFor(Known, Known.fsHz - 5), 0);
}

TEST(PickBestSet, SmallestSpreadThenSmallestLargestRm) {
    std::vector<CrystalModel> bag;
    const double fs[] = {100, 180, 130, 150, 120, 300, 160};
    const double rm[] = {10, 12, 30, 11, 9, 5, 14};
    for (int i = 0; i < 7; ++i)
        bag.push_back(CrystalFromSeriesResonance(1e7 + fs[i], 0.015, rm[i], 4e-12));
    // Four sets of three spread 30 Hz; only {150, 160, 180} leaves out the 30 Ω crystal.
    EXPECT_EQ(PickBestSet(bag, 3), (std::vector<std::size_t>{3, 6, 1}));
    // Two sets of two spread 10 Hz: {120, 130} holds the 30 Ω one, {150, 160} does not.
    EXPECT_EQ(PickBestSet(bag, 2), (std::vector<std::size_t>{3, 6}));
    EXPECT_TRUE(PickBestSet(bag, 8).empty());
}

}  // namespace
}  // namespace feldan
