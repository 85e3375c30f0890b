// The figures of a curve against curves whose figures follow from their formula.
#include "engine/filter_figures.h"

#include "engine/built_design.h"
#include "engine/calculate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace feldan {
namespace {

constexpr double CentreHz = 10e6;
constexpr double HalfPowerHz = 1000;  // the Butterworth curves' width at half power

struct Curve {
    std::vector<double> hz, db;
};

Curve Sampled(double spanHz, int points, const std::function<double(double)>& dbAt) {
    Curve curve;
    for (int i = 0; i < points; ++i) {
        const double hz = CentreHz - spanHz / 2 + spanHz * i / (points - 1);
        curve.hz.push_back(hz);
        curve.db.push_back(dbAt(hz));
    }
    return curve;
}

// |H|² = 1 / (1 + x^2n) with x the detuning in half half-power widths, 2 dB below 0 at its peak.
Curve Butterworth(int order, double spanHz) {
    return Sampled(spanHz, 200001, [order](double hz) {
        const double x = (hz - CentreHz) / (HalfPowerHz / 2);
        return -2 - 10 * std::log10(1 + std::pow(x, 2 * order));
    });
}

TEST(FilterFigures, ButterworthWidthsAndFlatnessFollowTheirFormula) {
    struct Case {
        int order;
        double spanHz;
    };
    for (const Case c : {Case{3, 10 * HalfPowerHz}, Case{5, 6 * HalfPowerHz}}) {
        const Curve curve = Butterworth(c.order, c.spanHz);
        const FilterFigures figures = FiguresOf(curve.hz, curve.db);
        EXPECT_NEAR(figures.peakDb, -2, 1e-9);
        ASSERT_TRUE(figures.centreHz);
        EXPECT_NEAR(*figures.centreHz, CentreHz, 1e-3);
        const double floorDb = curve.db.front();
        for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k) {
            const double level = FigureLevelsDb[k];
            const double expected =
                HalfPowerHz * std::pow(std::pow(10, level / 10) - 1, 1.0 / (2 * c.order));
            if (-2 - level < floorDb + NoiseFloorMarginDb) {
                EXPECT_FALSE(figures.bandwidthHz[k]) << c.order << " at " << level;
            } else {
                ASSERT_TRUE(figures.bandwidthHz[k]) << c.order << " at " << level;
                EXPECT_NEAR(*figures.bandwidthHz[k], expected, 0.01) << c.order << " at " << level;
            }
        }
        // Over the middle half of the −3 dB band the attenuation grows from the centre to x.
        const double x = std::pow(std::pow(10, 0.3) - 1, 1.0 / (2 * c.order)) / 2;
        ASSERT_TRUE(figures.flatnessDb);
        EXPECT_NEAR(*figures.flatnessDb, 10 * std::log10(1 + std::pow(x, 2 * c.order)), 1e-6);
    }
    // The 3-pole curve: 0.07 dB, as a builder quotes it.
    const Curve three = Butterworth(3, 10 * HalfPowerHz);
    EXPECT_NEAR(*FiguresOf(three.hz, three.db).flatnessDb, 0.067, 1e-4);
}

// Two humps with a dip of 5 dB between them: the outermost crossings take the whole band.
TEST(FilterFigures, ADipInsideTheBandDoesNotSplitIt) {
    const Curve curve = Sampled(8000, 8001, [](double hz) {
        const double a = (hz - CentreHz + 800) / 400, b = (hz - CentreHz - 800) / 400;
        return 10 * std::log10(std::exp(-a * a) + std::exp(-b * b) + 1e-9);
    });
    const std::optional<BandEdges> edges = OutermostCrossings(curve.hz, curve.db, 3);
    ASSERT_TRUE(edges);
    EXPECT_NEAR(edges->CentreHz(), CentreHz, 1e-6);
    EXPECT_GT(edges->WidthHz(), 1600);
}

TEST(FilterFigures, ACurveThatDoesNotFallInsideTheSweepHasNoEdges) {
    const Curve rising = Sampled(4000, 401, [](double hz) { return (hz - CentreHz) / 100; });
    EXPECT_FALSE(OutermostCrossings(rising.hz, rising.db, 3));
    const FilterFigures figures = FiguresOf(rising.hz, rising.db);
    EXPECT_FALSE(figures.centreHz);
    EXPECT_FALSE(figures.flatnessDb);
    EXPECT_FALSE(FiguresOf({}, {}).centreHz);
}

}  // namespace
}  // namespace feldan

namespace feldan {
namespace {

// The two designs a user reported: the start values, and a Chebyshev 0.28 dB ladder whose band
// visibly tilts though its ripple (between outer peaks; it has one) is nil.
TEST(FlatnessOf, SeesTheTiltTheRippleMisses) {
    struct Case {
        DesignFields design;
        double flatnessDb;
    };
    DesignFields tilted;
    tilted.responseType = 5;
    tilted.texts.Fo = "9997.5";
    tilted.texts.Ld = "15";
    tilted.texts.Cs = "5";
    tilted.texts.Rd = "15";
    tilted.texts.Df = "2800";
    for (const Case& c : {Case{DesignFields{}, 0.14}, Case{tilted, 0.38}}) {
        const CalculationResult result = Calculate(c.design, '.', Language::English);
        ASSERT_EQ(result.outcome, Outcome::Done);
        EXPECT_LT(RippleOf(result.curve), 0.001);
        EXPECT_NEAR(FlatnessOf(result.curve), c.flatnessDb, 0.005);
    }
}

}  // namespace
}  // namespace feldan
