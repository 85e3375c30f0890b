// Complex nodal analysis of a prepared netlist at one angular frequency, and the output level.
#pragma once

#include <array>

#include "circuit/netlist.h"

namespace feldan {

// Pivots whose squared magnitude is below this are taken as singular.
inline constexpr double SingularFloor = 1e-34;

// Working storage of the solver: fixed size, owned by the object, reused by every solve.
// A solve allocates nothing.
class NodalSolver {
  public:
    // Assembles and solves the nodal equations at omegaRad (> 0). Returns SolveOk: false when a
    // pivot is exactly 0 in the forward pass or below SingularFloor in the back substitution.
    bool SolveNodal(const Netlist& netlist, double omegaRad);

    // Voltage of equation k (1..EquationCount) after a successful solve; equation 0 is 0 V.
    Complex EquationVoltage(int k) const { return {jRe_[k], jIm_[k]}; }

  private:
    std::array<double, MaxBranches + 1> admRe_{};
    std::array<double, MaxBranches + 1> admIm_{};
    std::array<std::array<double, MaxNodes + 1>, MaxNodes + 1> yRe_{};
    std::array<std::array<double, MaxNodes + 1>, MaxNodes + 1> yIm_{};
    std::array<double, MaxNodes + 1> jRe_{};
    std::array<double, MaxNodes + 1> jIm_{};
};

// Node and branch voltages of the last successful solve, and the level of the load voltage.
struct OutputMeasure {
    std::array<Complex, MaxNodes + 1> NodeVoltage{};
    std::array<Complex, MaxBranches + 1> BranchVoltage{};
};

struct OutputLevel {
    // False when the load voltage is exactly 0 (a series capacitor of value 0 cuts the load
    // off): that has no level in dB and counts as a failed analysis.
    bool ok = false;
    double ResponseDb = 0;
};

// Call only after a successful SolveNodal on the same netlist.
OutputLevel MeasureOutput(const Netlist& netlist, const NodalSolver& solver,
                          OutputMeasure& measure);

}  // namespace feldan
