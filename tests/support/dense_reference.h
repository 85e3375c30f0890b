// The nodal solve and output level written the plain way: the whole matrix assembled, the whole
// upper triangle eliminated. Tests and benchmarks hold the production solver against it.
#pragma once

#include <array>

#include "circuit/analysis.h"
#include "circuit/netlist.h"

namespace feldan::reference {

class DenseSolver {
  public:
    // Step by step: clear, stamp every branch in order, eliminate without row exchanges over
    // the upper triangle, substitute back with the pivot test. A pivot that is exactly 0 in the
    // forward pass ends the solve with false before anything is divided by it.
    bool SolveNodal(const Netlist& netlist, double omegaRad);

    // The assembled system as it stood before the elimination of the last solve.
    Complex AssembledY(int i, int j) const { return {assembledRe_[i][j], assembledIm_[i][j]}; }
    Complex AssembledJ(int k) const { return {assembledJRe_[k], assembledJIm_[k]}; }
    // Voltage of equation k after a successful solve; 0 V for equation 0.
    Complex EquationVoltage(int k) const { return k == 0 ? Complex{} : Complex{jRe_[k], jIm_[k]}; }

  private:
    using Matrix = std::array<std::array<double, MaxNodes + 1>, MaxNodes + 1>;
    Matrix yRe_{};
    Matrix yIm_{};
    std::array<double, MaxNodes + 1> jRe_{};
    std::array<double, MaxNodes + 1> jIm_{};
    Matrix assembledRe_{};
    Matrix assembledIm_{};
    std::array<double, MaxNodes + 1> assembledJRe_{};
    std::array<double, MaxNodes + 1> assembledJIm_{};
};

struct Voltages {
    std::array<Complex, MaxNodes + 1> Node{};
    std::array<Complex, MaxBranches + 1> Branch{};
};

// Node and branch voltages from a successful solve, and the level of the load branch. The level
// is not ok when the load voltage is exactly 0 or the level is not finite.
OutputLevel MeasureOutput(const Netlist& netlist, const DenseSolver& solver, Voltages& voltages);

// One analysis point: solve and, when that succeeded, measure.
AnalysisPoint Analyse(const Netlist& netlist, DenseSolver& solver, Voltages& voltages,
                      double omegaRad);

}  // namespace feldan::reference
