// The generated ladder prototypes: the classic table's rows come out again, and every generated
// ladder, analysed through its chain matrix, has the response its family promises.
#include "engine/prototype_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "engine/prototype.h"

namespace feldan {
namespace {

// The first half of a symmetric ladder as the classic table keeps it.
std::vector<double> TableRow(int filterType, int responseType) {
    const PrototypeCell& cell = *FindPrototype(filterType, responseType);
    const std::vector<double> all = {cell.g1, cell.g2, cell.g3, cell.g4};
    return {all.begin(), all.begin() + (cell.order + 1) / 2};
}

// The decimals a printed value carries ("1.154" has three).
double PrintedStep(double value) {
    for (double step = 1; step > 1e-6; step /= 10)
        if (std::abs(std::round(value / step) * step - value) < 1e-9) return step;
    return 1e-6;
}

TEST(PrototypeGenerator, ReproducesTheClassicTable) {
    const int orders[] = {3, 4, 6, 8};
    const double reflections[] = {0.10, 0.15, 0.20, 0.25};
    for (int type = 1; type <= 4; ++type) {
        const int order = orders[type - 1];
        for (int response = 1; response <= 5; ++response) {
            const LadderPrototype ladder =
                response == 1
                    ? ButterworthLadder(order)
                    : ChebyshevLadder(order, RippleOfReflection(reflections[response - 2]));
            const std::vector<double> row = TableRow(type, response);
            for (std::size_t k = 0; k < row.size(); ++k) {
                // Even orders to their printed digits; the odd rows were worked out by a
                // slightly different rounding and agree within 3·10⁻⁴.
                const double allowed = order % 2 == 0 ? PrintedStep(row[k]) / 2 + 1e-12 : 3e-4;
                EXPECT_NEAR(ladder.g[k], row[k], allowed)
                    << "order " << order << ", response " << response << ", g" << k + 1;
            }
        }
    }
}

// The largest loss in dB over [from, to] rad/s, sampled finely.
double LargestLossDb(const LadderPrototype& ladder, double from, double to) {
    double largest = 0;
    for (int i = 0; i <= 4000; ++i)
        largest = std::max(
            largest, -10 * std::log10(LadderTransmission(ladder, from + (to - from) * i / 4000)));
    return largest;
}

TEST(PrototypeGenerator, EveryOrderHasItsFamilysResponse) {
    for (int order = MinPrototypeOrder; order <= MaxPrototypeOrder; ++order) {
        SCOPED_TRACE(order);
        const LadderPrototype butterworth = ButterworthLadder(order);
        EXPECT_NEAR(-10 * std::log10(LadderTransmission(butterworth, 1)), 3.0103, 1e-4);
        EXPECT_NEAR(LadderTransmission(butterworth, 0), 1, 1e-12);
        for (double ripple : {0.01, 0.1, 0.5, 1.0, 3.0}) {
            SCOPED_TRACE(ripple);
            const LadderPrototype chebyshev = ChebyshevLadder(order, ripple);
            // Equal terminations, a symmetric ladder, zero loss somewhere in the band, the
            // ripple reached at the band edge and never exceeded inside it.
            EXPECT_NEAR(chebyshev.load, 1, 1e-9);
            for (int k = 0; k < order; ++k)
                EXPECT_NEAR(chebyshev.g[k], chebyshev.g[order - 1 - k], 1e-9 * chebyshev.g[k]);
            EXPECT_NEAR(-10 * std::log10(LadderTransmission(chebyshev, 1)), ripple, 1e-6);
            EXPECT_NEAR(LargestLossDb(chebyshev, 0, 1), ripple, 1e-6);
            EXPECT_GT(LargestLossDb(chebyshev, 1.001, 1.002), ripple);
        }
    }
}

// Darlington's way from the Butterworth poles (on the unit circle) and F = sⁿ gives the
// closed-form elements.
TEST(PrototypeGenerator, PolesAndReflectionGiveTheButterworthLadder) {
    for (int order = MinPrototypeOrder; order <= 10; ++order) {
        std::vector<std::complex<double>> poles;
        for (int k = 1; k <= order; ++k) {
            const double u = (2 * k - 1) * std::acos(-1.0) / (2 * order);
            poles.emplace_back(-std::sin(u), std::cos(u));
        }
        Polynomial reflection(order + 1, 0.0);
        reflection.back() = 1;
        const LadderPrototype ladder = LadderFromPolesAndReflection(poles, reflection);
        const LadderPrototype closed = ButterworthLadder(order);
        for (int k = 0; k < order; ++k)
            EXPECT_NEAR(ladder.g[k], closed.g[k], 1e-9) << "order " << order;
        EXPECT_NEAR(ladder.load, 1, 1e-9);
    }
}

// The published Bessel prototypes between 1 Ω terminations, 3.01 dB at 1 rad/s, capacitor input
// (as RF Cafe's "Bessel Filter Prototype Element Values" prints them, after Zverev's Handbook
// of Filter Synthesis): C1, L2, ... to the larger end. Ours start at the other end.
const std::vector<std::vector<double>> PublishedBessel = {
    {0.576, 2.148},
    {0.3374, 0.9705, 2.2034},
    {0.2334, 0.6725, 1.0815, 2.2404},
    {0.1743, 0.5072, 0.804, 1.111, 2.2582},
    {0.1365, 0.4002, 0.6392, 0.8538, 1.1126, 2.2645},
    {0.1106, 0.3259, 0.5249, 0.702, 0.869, 1.1052, 2.2659},
    {0.0919, 0.2719, 0.4409, 0.5936, 0.7303, 0.8695, 1.0956, 2.2656},
    {0.078, 0.2313, 0.377, 0.5108, 0.6306, 0.7407, 0.8639, 1.0863, 2.2649},
    {0.0672, 0.1998, 0.327, 0.4454, 0.5528, 0.6493, 0.742, 0.8561, 1.0781, 2.2641},
};

TEST(PrototypeGenerator, BesselLaddersAreThePublishedOnes) {
    for (const std::vector<double>& row : PublishedBessel) {
        const LadderPrototype ladder = BesselLadder(int(row.size()));
        for (std::size_t k = 0; k < row.size(); ++k)
            EXPECT_NEAR(ladder.g[row.size() - 1 - k], row[k], PrintedStep(row[k]) / 2 + 1e-12)
                << "order " << row.size() << ", element " << k + 1;
    }
}

// Bessel between equal terminations: the third order is the textbook ladder (2.203, 0.971,
// 0.337); every order is 3.01 dB down at ω = 1 and, from the third on, keeps its delay within
// 2 % over the middle half of the band, flatter than Butterworth of its order.
TEST(PrototypeGenerator, BesselLaddersHaveAFlatDelay) {
    const LadderPrototype third = BesselLadder(3);
    const double textbook[] = {2.203, 0.971, 0.337};
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(third.g[std::size_t(k)], textbook[k], 5e-4);
    for (int order = MinPrototypeOrder; order <= MaxPrototypeOrder; ++order) {
        SCOPED_TRACE(order);
        const LadderPrototype bessel = BesselLadder(order);
        EXPECT_NEAR(bessel.load, 1, 1e-9);
        EXPECT_NEAR(-10 * std::log10(LadderTransmission(bessel, 1)), 3.0103, 1e-4);
        const auto spread = [](const LadderPrototype& ladder) {
            const double centre = LadderGroupDelay(ladder, 1e-3);
            return std::abs(LadderGroupDelay(ladder, 0.5) - centre) / centre;
        };
        if (order >= 3) {
            EXPECT_LT(spread(bessel), 0.02);
        }
        EXPECT_LT(spread(bessel), spread(ButterworthLadder(order)));
    }
    EXPECT_THROW(BesselLadder(MaxPrototypeOrder + 1), std::invalid_argument);
}

// Optimum L: the third order follows Papoulis's L3(w) = 3w³ − 3w² + w (w = ω²); every order is
// monotonic, 3.01 dB down at ω = 1 and, from the third on, steeper beyond than Butterworth.
TEST(PrototypeGenerator, LegendreLaddersAreMonotonicAndSteep) {
    const LadderPrototype third = LegendreLadder(3);
    for (double omega : {0.3, 0.8, 1.2, 2.0}) {
        const double w = omega * omega;
        EXPECT_NEAR(LadderTransmission(third, omega), 1 / (1 + 3 * w * w * w - 3 * w * w + w),
                    1e-9);
    }
    for (int order = MinPrototypeOrder; order <= MaxPrototypeOrder; ++order) {
        SCOPED_TRACE(order);
        const LadderPrototype legendre = LegendreLadder(order);
        EXPECT_NEAR(-10 * std::log10(LadderTransmission(legendre, 1)), 3.0103, 1e-4);
        double previous = 1;
        for (int i = 1; i <= 300; ++i) {
            const double t = LadderTransmission(legendre, 0.01 * i);
            EXPECT_LE(t, previous + 1e-12) << 0.01 * i;
            previous = t;
        }
        if (order >= 3) {
            EXPECT_LT(LadderTransmission(legendre, 1.5),
                      LadderTransmission(ButterworthLadder(order), 1.5));
        }
    }
}

TEST(PrototypeGenerator, RefusesWhatMakesNoLadder) {
    EXPECT_THROW(ButterworthLadder(1), std::invalid_argument);
    EXPECT_THROW(ChebyshevLadder(13, 0.1), std::invalid_argument);
    EXPECT_THROW(ChebyshevLadder(4, 0), std::invalid_argument);
    // A reflection of another degree than the poles'.
    EXPECT_THROW(LadderFromPolesAndReflection({{-1, 0}}, {0, 0, 1}), std::invalid_argument);
}

}  // namespace
}  // namespace feldan
