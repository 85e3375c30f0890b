// The bounded least squares of the crystal fits, on problems solved by hand.
#include "engine/bounded_fit.h"

#include <gtest/gtest.h>

#include <numeric>

namespace feldan {
namespace {

// A straight line a + b·x through points off it: the fit is the closed-form regression line.
TEST(BoundedFit, ALineIsTheRegressionLine) {
    const std::vector<double> x = {0, 1, 2, 3, 4, 5};
    const std::vector<double> y = {0.9, 3.2, 4.8, 7.1, 9.0, 11.2};
    const double n = static_cast<double>(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxy = 0, sxx = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
    }
    const double b = sxy / sxx;  // 2.04
    const ResidualsAt line = [&](const std::vector<double>& t, std::vector<double>& out) {
        out.resize(x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = t[0] + t[1] * x[i] - y[i];
    };
    const BoundedFit free = FitWithinBounds(line, {100, 100}, {1e-6, 1e-6}, 200);
    ASSERT_TRUE(free.converged);
    EXPECT_NEAR(free.theta[1], b, 1e-7);
    EXPECT_NEAR(free.theta[0], my - b * mx, 1e-7);
}

// Rosenbrock's valley, (10·(v − u²), 1 − u): its one minimum is at (1, 1), reached from 0.
TEST(BoundedFit, FollowsACurvedValleyToItsMinimum) {
    const ResidualsAt valley = [](const std::vector<double>& t, std::vector<double>& out) {
        out = {10 * (t[1] - t[0] * t[0]), 1 - t[0]};
    };
    const BoundedFit fit = FitWithinBounds(valley, {5, 5}, {1e-7, 1e-7}, 200);
    ASSERT_TRUE(fit.converged);
    EXPECT_NEAR(fit.theta[0], 1, 1e-5);
    EXPECT_NEAR(fit.theta[1], 1, 1e-5);
}

}  // namespace
}  // namespace feldan
