// Complex nodal analysis of a prepared netlist at one angular frequency, and the output level.
#pragma once

#include <array>

#include "circuit/netlist.h"

namespace feldan {

// Pivots whose squared magnitude is below this are taken as singular.
inline constexpr double SingularFloor = 1e-34;

// Working storage of the solver: fixed size, owned by the object, reused by every solve.
// A solve allocates nothing.
//
// The elimination runs without row exchanges and reads and updates only the upper triangle. It
// visits only the entries of the netlist's EliminationPattern: each operation it leaves out
// would subtract an exact zero, so the result is the same, bit for bit, as that of the
// elimination over the whole triangle. That holds as long as every value stays finite (0 times
// an infinity is not 0); a solve that meets a non-finite value is redone over the whole triangle.
class NodalSolver {
  public:
    // Assembles and solves the nodal equations at omegaRad (> 0). Returns SolveOk: false when a
    // pivot is exactly 0 in the forward pass or below SingularFloor in the back substitution.
    // Needs PrepareNetlist to have run on the netlist after its last change.
    bool SolveNodal(const Netlist& netlist, double omegaRad);

    // Voltage of equation k (1..EquationCount) after a successful solve; equation 0 is 0 V.
    Complex EquationVoltage(int k) const {
        if (k == 0) return {};
        return {jRe_[k], jIm_[k]};
    }

    // Assembles the equations at omegaRad without solving them, for inspection: MatrixEntry and
    // Current then show Y and J as the elimination would start from them.
    void Assemble(const Netlist& netlist, double omegaRad);
    // Y[i][j] of the upper triangle (i <= j) as the last Assemble or solve left it.
    Complex MatrixEntry(const Netlist& netlist, int i, int j) const;
    // J[k]: the injected current after Assemble, the voltage after a successful solve.
    Complex Current(int k) const { return EquationVoltage(k); }

    // Admittance of branch b at the frequency of the last solve.
    Complex BranchAdmittance(int b) const { return {admRe_[b], admIm_[b]}; }

    // True when the last solve went over the whole triangle (a netlist too dense for its pattern,
    // or a non-finite value on the way).
    bool LastSolveWasWhole() const { return lastWhole_; }

  private:
    enum class Outcome { Solved, Singular, NonFinite };

    static bool UsesPattern(const Netlist& netlist);
    void ComputeAdmittances(const Netlist& netlist, double omegaRad);
    void AssemblePattern(const Netlist& netlist);
    Outcome EliminatePattern(const Netlist& netlist);
    void AssembleWhole(const Netlist& netlist);
    bool EliminateWhole(const Netlist& netlist);
    bool PatternValuesFinite(const Netlist& netlist) const;

    std::array<double, MaxBranches + 1> admRe_{};
    std::array<double, MaxBranches + 1> admIm_{};
    // The entries of the pattern, in the pattern's order.
    std::array<double, MaxPatternEntries> uRe_{};
    std::array<double, MaxPatternEntries> uIm_{};
    // The whole matrix, for the solves that go over the whole triangle.
    std::array<std::array<double, MaxNodes + 1>, MaxNodes + 1> yRe_{};
    std::array<std::array<double, MaxNodes + 1>, MaxNodes + 1> yIm_{};
    std::array<double, MaxNodes + 1> jRe_{};
    std::array<double, MaxNodes + 1> jIm_{};
    bool lastWhole_ = false;
};

// Node and branch voltages of the last successful solve, and the level of the load voltage.
struct OutputMeasure {
    std::array<Complex, MaxNodes + 1> NodeVoltage{};
    std::array<Complex, MaxBranches + 1> BranchVoltage{};
};

struct OutputLevel {
    // False when the load voltage is exactly 0 (a series capacitor of value 0 cuts the load
    // off): that has no level in dB and counts as a failed analysis. Also false when the level
    // is not a finite number (a circuit whose values overflow) or the netlist has no branch 11.
    // ResponseDb is then 0.
    bool ok = false;
    double ResponseDb = 0;
};

// Call only after a successful SolveNodal on the same netlist. Fills every node and branch
// voltage; the level is that of branch 11, the load.
OutputLevel MeasureOutput(const Netlist& netlist, const NodalSolver& solver,
                          OutputMeasure& measure);

}  // namespace feldan
