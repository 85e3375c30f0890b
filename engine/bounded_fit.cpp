#include "engine/bounded_fit.h"

#include <algorithm>
#include <cmath>

namespace feldan {

namespace {

double SumOfSquares(const std::vector<double>& r) {
    double sum = 0;
    for (double x : r)
        sum += x * x;
    return sum;
}

// Solves a·x = b by elimination with partial pivoting; false when singular.
bool SolveLinear(std::vector<std::vector<double>> a, std::vector<double> b,
                 std::vector<double>& x) {
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t pivot = k;
        for (std::size_t i = k + 1; i < n; ++i)
            if (std::fabs(a[i][k]) > std::fabs(a[pivot][k])) pivot = i;
        if (!(std::fabs(a[pivot][k]) > 0)) return false;
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (std::size_t i = k + 1; i < n; ++i) {
            const double f = a[i][k] / a[k][k];
            for (std::size_t j = k; j < n; ++j)
                a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    x.assign(n, 0);
    for (std::size_t k = n; k-- > 0;) {
        double sum = b[k];
        for (std::size_t j = k + 1; j < n; ++j)
            sum -= a[k][j] * x[j];
        x[k] = sum / a[k][k];
        if (!std::isfinite(x[k])) return false;
    }
    return true;
}

}  // namespace

BoundedFit FitWithinBounds(const ResidualsAt& residuals, const std::vector<double>& limits,
                           const std::vector<double>& steps, int maxIterations) {
    const std::size_t n = limits.size();
    BoundedFit result;
    result.theta.assign(n, 0);
    std::vector<double> r, trial;
    residuals(result.theta, r);
    double cost = SumOfSquares(r);
    std::vector<std::vector<double>> jacobian(n, std::vector<double>(r.size()));
    double lambda = 1e-3;
    while (result.iterations < maxIterations && !result.converged) {
        ++result.iterations;
        for (std::size_t p = 0; p < n; ++p) {
            std::vector<double> moved = result.theta;
            moved[p] += steps[p];
            residuals(moved, trial);
            for (std::size_t i = 0; i < r.size(); ++i)
                jacobian[p][i] = (trial[i] - r[i]) / steps[p];
        }
        std::vector<std::vector<double>> jtj(n, std::vector<double>(n));
        std::vector<double> jtr(n);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t i = 0; i < r.size(); ++i)
                jtr[a] -= jacobian[a][i] * r[i];
            for (std::size_t b = a; b < n; ++b) {
                double sum = 0;
                for (std::size_t i = 0; i < r.size(); ++i)
                    sum += jacobian[a][i] * jacobian[b][i];
                jtj[a][b] = jtj[b][a] = sum;
            }
        }
        // Damped steps until one lowers the cost, or the damping says there is no such step.
        bool improved = false;
        while (lambda < 1e12) {
            std::vector<std::vector<double>> damped = jtj;
            for (std::size_t a = 0; a < n; ++a)
                damped[a][a] += lambda * (jtj[a][a] > 0 ? jtj[a][a] : 1);
            std::vector<double> delta;
            if (!SolveLinear(damped, jtr, delta)) {
                lambda *= 10;
                continue;
            }
            std::vector<double> next = result.theta;
            double largest = 0;
            for (std::size_t a = 0; a < n; ++a) {
                next[a] = std::clamp(next[a] + delta[a], -limits[a], limits[a]);
                largest = std::max(largest, std::fabs(delta[a]));
            }
            residuals(next, trial);
            const double nextCost = SumOfSquares(trial);
            if (std::isfinite(nextCost) && nextCost < cost) {
                result.converged = largest < 1e-9 || cost - nextCost < 1e-15 * cost;
                result.theta = next;
                r.swap(trial);
                cost = nextCost;
                lambda = std::max(lambda / 10, 1e-12);
                improved = true;
                break;
            }
            lambda *= 10;
        }
        if (!improved) result.converged = true;  // no step lowers the cost: a minimum
    }
    return result;
}

}  // namespace feldan
