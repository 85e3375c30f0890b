#include "engine/standard_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace feldan {
namespace {

TEST(StandardValues, MembersComeBackAsThemselvesInEveryDecade) {
    for (ESeries series : {ESeries::E6, ESeries::E12, ESeries::E24, ESeries::E96}) {
        SCOPED_TRACE(NameOf(series));
        EXPECT_EQ(DecadeOf(series).size(), series == ESeries::E6    ? 6u
                                           : series == ESeries::E12 ? 12u
                                           : series == ESeries::E24 ? 24u
                                                                    : 96u);
        for (double member : DecadeOf(series)) {
            for (double scale : {0.1, 1.0, 10.0, 100.0, 1000.0}) {
                const double value = member * scale;
                EXPECT_NEAR(RoundToSeries(value, series), value, value * 1e-12);
            }
        }
    }
}

TEST(StandardValues, NearestInTheLogarithmicSense) {
    const struct {
        ESeries series;
        double value;
        double rounded;
    } cases[] = {
        {ESeries::E12, 10.98, 12},  // linear distance would give 10
        {ESeries::E24, 9.6, 10},    // across the decade
        {ESeries::E24, 131.7, 130}, {ESeries::E24, 0.0287, 0.030},
        {ESeries::E6, 26.0, 22},  // log midpoint of 22 and 33 is 26.9
        {ESeries::E6, 27.5, 33},    {ESeries::E96, 24.703, 24.9},
        {ESeries::E12, 1000, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_NEAR(RoundToSeries(c.value, c.series), c.rounded, c.rounded * 1e-12);
    }
}

TEST(StandardValues, NextInSeriesStepsToTheNeighbourOrTheNearestMemberBeyond) {
    struct Case {
        double value;
        ESeries series;
        int direction;
        double next;
    };
    const Case cases[] = {
        {47, ESeries::E12, +1, 56},             // a member to its neighbour
        {47, ESeries::E12, -1, 39},             //
        {8.2, ESeries::E12, +1, 10},            // across the decade's upper edge
        {100, ESeries::E24, -1, 91},            // and its lower edge
        {9.76, ESeries::E96, +1, 10},           //
        {50, ESeries::E24, +1, 51},             // a value between members: the nearest beyond it
        {50, ESeries::E24, -1, 47},             //
        {99.5, ESeries::E12, +1, 100},          // just below a decade
        {0.47, ESeries::E6, -1, 0.33},          // below 1
        {47.0000000001, ESeries::E12, +1, 56},  // a member carrying the last bits of a text
        {-5, ESeries::E12, +1, -5},             // nothing to step from
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.value << " " << NameOf(c.series) << " " << c.direction);
        EXPECT_NEAR(NextInSeries(c.value, c.series, c.direction), c.next,
                    std::fabs(c.next) * 1e-12);
    }
}

TEST(StandardValues, ParallelPairIsNearerThanOnePart) {
    for (double value : {131.7, 24.703, 168.71, 59.11}) {
        SCOPED_TRACE(value);
        const ParallelPair pair = NearestParallelPair(value, ESeries::E12);
        EXPECT_LE(std::fabs(pair.Sum() - value),
                  std::fabs(RoundToSeries(value, ESeries::E12) - value));
        EXPECT_LE(pair.smaller, pair.larger);
        EXPECT_EQ(RoundToSeries(pair.larger, ESeries::E12), pair.larger);
        if (pair.smaller > 0) {
            EXPECT_EQ(RoundToSeries(pair.smaller, ESeries::E12), pair.smaller);
        }
    }
    // 131.7 pF: 120 + 12 is 0.2 % off, where 120 alone is 9 %.
    EXPECT_NEAR(NearestParallelPair(131.7, ESeries::E12).Sum(), 132, 1e-9);
}

}  // namespace
}  // namespace feldan
