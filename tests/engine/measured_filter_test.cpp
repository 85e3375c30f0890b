#include "engine/measured_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace feldan {
namespace {

constexpr double Pi = std::numbers::pi;
using Complex = std::complex<double>;

// A pure delay e^{−jωτ} (times a constant) has the group delay τ at every frequency, also where
// the phase wraps many times and on uneven steps.
TEST(MeasuredFilter, GroupDelayOfAPureDelayIsTheDelay) {
    struct Row {
        double tauSec, fromHz, stepHz;
        bool uneven;
    };
    for (const Row& row : {Row{350e-6, 8.86e6, 20, false}, Row{2e-3, 10.7e6, 40, true}}) {
        SCOPED_TRACE(row.tauSec);
        std::vector<double> hz;
        std::vector<Complex> s;
        double f = row.fromHz;
        for (int i = 0; i < 400; ++i) {
            hz.push_back(f);
            s.push_back(0.3 * std::polar(1.0, 1.0 - 2 * Pi * f * row.tauSec));
            // Uneven: one to five times the step, each below half a turn of the phase.
            f += row.uneven ? row.stepHz * (1 + i % 3 + (i % 7 == 0 ? 2 : 0)) : row.stepHz;
        }
        const std::vector<double> delay = GroupDelayOf(hz, s);
        ASSERT_EQ(delay.size(), hz.size());
        for (double d : delay)
            EXPECT_NEAR(d, row.tauSec, row.tauSec * 1e-7);
    }
}

// A Butterworth magnitude |S21|² = g/(1 + ((f − f0)/B)^(2n)) falls 3 dB below its peak where
// ((f − f0)/B)^(2n) = 10^0.3 − 1, symmetric about f0 whatever the grid and the loss g.
TEST(MeasuredFilter, CentreIsTheMiddleOfTheMinus3DbPoints) {
    struct Row {
        double f0, bandHz;
        int order;
        double fromHz, stepHz, lossDb;
    };
    for (const Row& row :
         {Row{8861736, 1500, 4, 8856000.3, 7.1, 0}, Row{10.7e6, 6000, 2, 10.68e6, 37, -5.5},
          Row{455e3, 3000, 6, 440e3, 13.3, -1}}) {
        SCOPED_TRACE(row.f0);
        std::vector<double> hz, db;
        for (double f = row.fromHz; f < 2 * row.f0 - row.fromHz; f += row.stepHz) {
            hz.push_back(f);
            db.push_back(row.lossDb -
                         10 * std::log10(1 + std::pow((f - row.f0) / row.bandHz, 2 * row.order)));
        }
        const std::optional<PassBandCentre> centre = PassBandCentreOf(hz, db);
        ASSERT_TRUE(centre);
        const double half = row.bandHz * std::pow(std::pow(10, 0.3) - 1, 0.5 / row.order);
        EXPECT_NEAR(centre->lowerHz, row.f0 - half, row.bandHz * 1e-3);
        EXPECT_NEAR(centre->upperHz, row.f0 + half, row.bandHz * 1e-3);
        EXPECT_NEAR(centre->CentreHz(), row.f0, row.bandHz * 1e-4);

        // A sweep that ends inside the band has no centre.
        std::vector<double> shortHz(hz.begin(), hz.begin() + hz.size() / 2 + 1);
        std::vector<double> shortDb(db.begin(), db.begin() + db.size() / 2 + 1);
        EXPECT_FALSE(PassBandCentreOf(shortHz, shortDb));
    }
}

// Samples in any order, with repeats and a frequency that is not a number, give the curves of
// the sorted sweep; a repeat is one point, the mean of its samples.
TEST(MeasuredFilter, UnsortedAndRepeatedFrequenciesAreOneSweep) {
    const double tau = 200e-6;
    std::vector<MeasuredSample> sorted;
    for (int i = 0; i < 50; ++i) {
        const double f = 9e6 + 50.0 * i;
        sorted.push_back({f, std::polar(0.5, -2 * Pi * f * tau), Complex(0.1 * i / 50, 0.2)});
    }
    std::vector<MeasuredSample> shuffled(sorted.rbegin(), sorted.rend());
    std::swap(shuffled[3], shuffled[40]);
    MeasuredSample repeat = sorted[20];
    repeat.s11 = Complex(0.3, 0.2);  // its mean with sorted[20] is 0.17 + 0.2j
    shuffled.insert(shuffled.begin() + 7, repeat);
    shuffled.push_back({NAN, Complex(1, 0), Complex(1, 0)});

    const MeasuredFilter filter = AnalyseMeasuredFilter(shuffled);
    ASSERT_EQ(filter.points.size(), sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(filter.points[i].hz, sorted[i].hz);
        EXPECT_NEAR(filter.points[i].s21Db, 20 * std::log10(0.5), 1e-12);
        EXPECT_NEAR(filter.points[i].groupDelaySec, tau, tau * 1e-7);
        const Complex s11 = i == 20 ? Complex(0.17, 0.2) : sorted[i].s11;
        EXPECT_NEAR(filter.points[i].s11Db, 20 * std::log10(std::abs(s11)), 1e-12);
    }
}

// A resistor R in series between the ports is solved by hand for any reference Z:
// S11 = S22 = R/(R + 2Z), S21 = S12 = 2Z/(R + 2Z). Measured in 50 Ohm, renormalised to 300,
// it must read as solved in 300 — with the reverse measured, or taken as symmetric.
TEST(RenormalisedSample, ASeriesResistorReadsAsSolvedInTheNewReference) {
    const double r = 470;
    const auto s11 = [&](double z) { return std::complex<double>(r / (r + 2 * z)); };
    const auto s21 = [&](double z) { return std::complex<double>(2 * z / (r + 2 * z)); };
    for (const bool reverse : {true, false}) {
        const std::complex<double> s12 = reverse ? s21(50) : 0.0, s22 = reverse ? s11(50) : 0.0;
        const MeasuredSample sample =
            RenormalisedSample(1e7, s11(50), s21(50), s12, s22, reverse, 50, 300);
        EXPECT_NEAR(std::abs(sample.s11 - s11(300)), 0, 1e-12) << reverse;
        EXPECT_NEAR(std::abs(sample.s21 - s21(300)), 0, 1e-12) << reverse;
    }
}

}  // namespace
}  // namespace feldan
