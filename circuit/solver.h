// Complex nodal analysis of a prepared netlist at one angular frequency, and the output level.
#pragma once

#include <array>

#include "circuit/netlist.h"

namespace feldan {

// Pivots whose squared magnitude is below this are taken as singular.
inline constexpr double SingularFloor = 1e-34;

// Frequencies that one pass of the solver can take side by side, and the largest pattern it
// takes them for.
inline constexpr int SolveLanes = 8;
inline constexpr int MaxLaneEntries = 256;

// One value per lane, held in two vectors of two that every 64-bit x86 and ARM machine has
// registers for. Each operation is the same IEEE operation in every lane, so each lane goes
// through exactly the operations of a solve on its own.
struct LaneDoubles {
    using Pair = double __attribute__((vector_size(2 * sizeof(double))));
    static constexpr int Pairs = SolveLanes / 2;
    Pair p[Pairs] = {};

    double operator[](int lane) const { return p[lane / 2][lane % 2]; }
    void Set(int lane, double x) { p[lane / 2][lane % 2] = x; }
    static LaneDoubles All(double x) {
        LaneDoubles r;
        for (int i = 0; i < Pairs; ++i)
            r.p[i] = Pair{x, x};
        return r;
    }

    template <typename F>
    static LaneDoubles Each(F f) {
        LaneDoubles r;
        for (int i = 0; i < Pairs; ++i)
            r.p[i] = f(i);
        return r;
    }
    friend LaneDoubles operator+(const LaneDoubles& a, const LaneDoubles& b) {
        return Each([&](int i) { return a.p[i] + b.p[i]; });
    }
    friend LaneDoubles operator-(const LaneDoubles& a, const LaneDoubles& b) {
        return Each([&](int i) { return a.p[i] - b.p[i]; });
    }
    friend LaneDoubles operator*(const LaneDoubles& a, const LaneDoubles& b) {
        return Each([&](int i) { return a.p[i] * b.p[i]; });
    }
    friend LaneDoubles operator/(const LaneDoubles& a, const LaneDoubles& b) {
        return Each([&](int i) { return a.p[i] / b.p[i]; });
    }
    friend LaneDoubles operator*(const LaneDoubles& a, double b) {
        return Each([&](int i) { return a.p[i] * b; });
    }
    friend LaneDoubles operator/(double a, const LaneDoubles& b) {
        return Each([&](int i) { return a / b.p[i]; });
    }
    LaneDoubles& operator+=(const LaneDoubles& b) { return *this = *this + b; }
    LaneDoubles& operator-=(const LaneDoubles& b) { return *this = *this - b; }
};
static_assert(SolveLanes % 2 == 0, "LaneDoubles holds lanes in pairs");

// Working storage of the solver: fixed size, owned by the object, reused by every solve.
// A solve allocates nothing.
//
// The elimination runs without row exchanges and reads and updates only the upper triangle. It
// visits only the entries of the netlist's EliminationPattern: each operation it leaves out
// would subtract an exact zero, so the result is the same, bit for bit, as that of the
// elimination over the whole triangle. That holds as long as every value stays finite (0 times
// an infinity is not 0); a solve that meets a non-finite value is redone over the whole triangle.
// One frequency and eight side by side run the same template, written once over the lane type
// (double, or LaneDoubles), so each lane makes exactly the operations of a solve on its own.
class NodalSolver {
  public:
    // Assembles and solves the nodal equations at omegaRad (> 0). Returns SolveOk: false when a
    // pivot is exactly 0 in the forward pass or below SingularFloor in the back substitution.
    // Needs PrepareNetlist to have run on the netlist after its last change.
    bool SolveNodal(const Netlist& netlist, double omegaRad);

    // Solves at SolveLanes frequencies in one pass, each lane with exactly the operations of
    // SolveNodal. A lane is clean when every pivot passed its test and every voltage is finite;
    // its voltages are then those SolveNodal gives, bit for bit. A lane that is not clean must be
    // solved on its own with SolveNodal, which settles failures and non-finite values. All lanes
    // are unclean when the netlist's pattern is missing or too large for the lanes.
    std::array<bool, SolveLanes> SolveNodalLanes(const Netlist& netlist,
                                                 const std::array<double, SolveLanes>& omegas);
    // Voltage of equation k in a lane of the last SolveNodalLanes, when that lane was clean.
    Complex LaneVoltage(int lane, int k) const {
        if (k == 0) return {};
        return {laneJRe_[k][lane], laneJIm_[k][lane]};
    }

    // Voltage of equation k (1..EquationCount) after a successful solve; equation 0 is 0 V.
    Complex EquationVoltage(int k) const {
        if (k == 0) return {};
        return {jRe_[k], jIm_[k]};
    }

    // Two solutions from one elimination at omegaRad: SolveNodal's (the netlist's own sources),
    // and that of the mirrored excitation, port 2 driven: every source of the netlist at 0 V, so
    // the source resistance terminates port 1, and a 1 V source in series with the load branch.
    // Also the derivative of the first solution's load voltage with respect to omega. False when
    // SolveNodal fails or a value is not finite. Needs netlist.LoadBranch.
    bool SolveTwoPort(const Netlist& netlist, double omegaRad);
    // The same for SolveLanes frequencies side by side; a lane is clean when all of its values
    // are, and is then what SolveTwoPort gives, bit for bit.
    std::array<bool, SolveLanes> SolveTwoPortLanes(const Netlist& netlist,
                                                   const std::array<double, SolveLanes>& omegas);
    // Equation voltages of the mirrored excitation, and dVload/dω (V·s/rad) of the netlist's own,
    // after a successful SolveTwoPort, or in a clean lane of SolveTwoPortLanes.
    Complex MirroredVoltage(int k) const {
        if (k == 0) return {};
        return {mirroredRe_[k], mirroredIm_[k]};
    }
    Complex LoadVoltageSlope() const { return loadSlope_; }
    Complex LaneMirroredVoltage(int lane, int k) const {
        if (k == 0) return {};
        return {laneMirroredRe_[k][lane], laneMirroredIm_[k][lane]};
    }
    Complex LaneLoadVoltageSlope(int lane) const {
        return {laneLoadSlopeRe_[lane], laneLoadSlopeIm_[lane]};
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
    // Forward and back substitution of a further right-hand side on the last elimination over
    // the whole triangle; false when a voltage is not finite.
    bool SubstituteWhole(const Netlist& netlist, double* re, double* im) const;

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
    // Squared pivot magnitudes of the pattern's elimination.
    std::array<double, MaxNodes + 1> d_{};
    std::array<double, MaxNodes + 1> mirroredRe_{};
    std::array<double, MaxNodes + 1> mirroredIm_{};
    Complex loadSlope_;
    // 1/pivot of every row, for the further right-hand sides.
    std::array<double, MaxNodes + 1> rRe_{};
    std::array<double, MaxNodes + 1> rIm_{};
    bool lastWhole_ = false;

    std::array<LaneDoubles, MaxBranches + 1> laneAdmRe_{};
    std::array<LaneDoubles, MaxBranches + 1> laneAdmIm_{};
    std::array<LaneDoubles, MaxLaneEntries> laneURe_{};
    std::array<LaneDoubles, MaxLaneEntries> laneUIm_{};
    std::array<LaneDoubles, MaxNodes + 1> laneJRe_{};
    std::array<LaneDoubles, MaxNodes + 1> laneJIm_{};
    // Squared pivot magnitudes, tested after the pass.
    std::array<LaneDoubles, MaxNodes + 1> laneD_{};
    std::array<LaneDoubles, MaxNodes + 1> laneMirroredRe_{};
    std::array<LaneDoubles, MaxNodes + 1> laneMirroredIm_{};
    LaneDoubles laneLoadSlopeRe_{};
    LaneDoubles laneLoadSlopeIm_{};
    std::array<LaneDoubles, MaxNodes + 1> laneRRe_{};
    std::array<LaneDoubles, MaxNodes + 1> laneRIm_{};
};

// Node and branch voltages of the last successful solve, and the level of the load voltage.
struct OutputMeasure {
    std::array<Complex, MaxNodes + 1> NodeVoltage{};
    std::array<Complex, MaxBranches + 1> BranchVoltage{};
};

struct OutputLevel {
    // False when the load voltage is exactly 0 (a series capacitor of value 0 cuts the load
    // off): that has no level in dB and counts as a failed analysis. Also false when the level
    // is not a finite number (a circuit whose values overflow) or the netlist has no load branch
    // (LoadBranch beyond its branches). ResponseDb is then 0.
    bool ok = false;
    double ResponseDb = 0;
};

// The level of a load voltage, as MeasureOutput gives it.
OutputLevel LevelOfLoadVoltage(Complex load);

// Call only after a successful SolveNodal on the same netlist. Fills every node and branch
// voltage; the level is that of the load branch.
OutputLevel MeasureOutput(const Netlist& netlist, const NodalSolver& solver,
                          OutputMeasure& measure);

}  // namespace feldan
