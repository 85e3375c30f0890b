// Least squares within bounds: the Levenberg–Marquardt loop the crystal fits share. Eigen's
// LevenbergMarquardt has no bounds, and these fits need them: a value the data do not decide
// must stop at its limit, where the caller sees it, rather than wander off.
#pragma once

#include <functional>
#include <vector>

namespace feldan {

struct BoundedFit {
    std::vector<double> theta;
    int iterations = 0;
    bool converged = false;
};

// Fills `out` with the residuals at θ.
using ResidualsAt = std::function<void(const std::vector<double>& theta, std::vector<double>& out)>;

// Minimises the sum of squares of `residuals` from θ = 0, each θ[p] kept within ±limits[p],
// with a forward-difference Jacobian of steps[p] and Marquardt's damping of the diagonal (ten
// times up after a step that does not lower the cost, ten times down after one that does).
// Converged when a step moves no parameter by 1e-9 or lowers the cost by less than 1e-15 of it,
// or when no damping finds a lower cost; at most maxIterations Jacobians.
BoundedFit FitWithinBounds(const ResidualsAt& residuals, const std::vector<double>& limits,
                           const std::vector<double>& steps, int maxIterations);

}  // namespace feldan
