#include "circuit/solver.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace feldan {

namespace {

// The accumulators (matrix entries, currents, partial sums) start at +0 and only ever have
// values added or subtracted, so none of them is ever -0: in round-to-nearest a sum is -0 only
// when both terms are. Subtracting a zero of either sign from such a value leaves it unchanged,
// and a product with a zero factor and a finite other factor is a zero. That is why every
// operation outside the pattern can be left out without changing a bit, as long as the values
// stay finite.

bool Finite(double re, double im) {
    return std::isfinite(re) && std::isfinite(im);
}

// The elimination over the pattern, written once for one frequency (T = double) and for
// SolveLanes frequencies side by side (T = LaneDoubles). Every operation is the same IEEE
// operation in every lane, so a lane gives the bits of a solve of its own; only the pivot test
// differs: one frequency stops at the first pivot that fails, the lanes go on and test after.
template <typename T>
inline constexpr bool OneLane = std::is_same_v<T, double>;

template <typename T>
T Splat(double x) {
    if constexpr (OneLane<T>) {
        return x;
    } else {
        return T::All(x);
    }
}

template <typename T>
void ComputeAdmittancesOf(const Netlist& netlist, T omega, T* admRe, T* admIm) {
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        T im = omega * branch.C;
        if (branch.L > 0) im -= 1 / (omega * branch.L);
        T re = Splat<T>(branch.G);
        for (int a = 0; a < branch.ArmCount; ++a) {
            const SeriesArm& arm = branch.Arms[a];
            const T x = omega * arm.L - 1 / (omega * arm.C);
            const T d = x * x + Splat<T>(arm.R * arm.R);
            re += Splat<T>(arm.R) / d;
            im -= x / d;
        }
        admRe[b] = re;
        admIm[b] = im;
    }
}

// Each entry starts from 0 and takes its branches in branch order, added on the diagonal and
// subtracted off it; then the source currents.
template <typename T>
void AssemblePatternOf(const Netlist& netlist, const T* admRe, const T* admIm, T* uRe, T* uIm,
                       T* jRe, T* jIm) {
    const EliminationPattern& pattern = netlist.Pattern;
    const int n = pattern.EquationCount;
    const int* rowStart = pattern.RowStart.data();
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        for (int e = diagonal; e < rowStart[k + 1]; ++e) {
            T re{};
            T im{};
            const int stampEnd = pattern.StampStart[e + 1];
            if (e == diagonal) {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re += admRe[pattern.StampBranch[s]];
                    im += admIm[pattern.StampBranch[s]];
                }
            } else {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re -= admRe[pattern.StampBranch[s]];
                    im -= admIm[pattern.StampBranch[s]];
                }
            }
            uRe[e] = re;
            uIm[e] = im;
        }
        jRe[k] = T{};
        jIm[k] = T{};
    }
    for (int s = 0; s < pattern.EmfStampCount; ++s) {
        const EliminationPattern::EmfStamp& stamp = pattern.EmfStamps[s];
        const Complex emf = netlist.BranchEmf[stamp.Branch];
        const T yr = admRe[stamp.Branch];
        const T yi = admIm[stamp.Branch];
        const T jeqRe = yr * emf.re - yi * emf.im;
        const T jeqIm = yr * emf.im + yi * emf.re;
        if (stamp.Sign > 0) {
            jRe[stamp.Row] += jeqRe;
            jIm[stamp.Row] += jeqIm;
        } else {
            jRe[stamp.Row] -= jeqRe;
            jIm[stamp.Row] -= jeqIm;
        }
    }
}

// Forward elimination; d[k] keeps the squared magnitude of pivot k. A pivot is final once its
// step comes, so one frequency tests it here rather than in the back substitution: the outcome
// is the same, and no division by a vanishing pivot is ever made. Returns the row whose pivot
// failed, or 0; the lanes always go on (a failing lane carries meaningless values) and return 0.
template <typename T>
int EliminatePatternOf(const EliminationPattern& pattern, T* uRe, T* uIm, T* jRe, T* jIm, T* d) {
    const int n = pattern.EquationCount;
    const int* column = pattern.Column.data();
    const int* rowStart = pattern.RowStart.data();
    const int* target = pattern.UpdateTarget.data();
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        const int rowEnd = rowStart[k + 1];
        const T pRe = uRe[diagonal];
        const T pIm = uIm[diagonal];
        const T dk = pRe * pRe + pIm * pIm;
        if constexpr (OneLane<T>) {
            if (dk < SingularFloor) return k;
        }
        d[k] = dk;
        const T jkRe = jRe[k];
        const T jkIm = jIm[k];
        for (int a = diagonal + 1; a < rowEnd; ++a) {
            const int i = column[a];
            const T mRe = (uRe[a] * pRe + uIm[a] * pIm) / dk;
            const T mIm = (uIm[a] * pRe - uRe[a] * pIm) / dk;
            for (int b = a; b < rowEnd; ++b) {
                const int t = *target++;
                uRe[t] -= mRe * uRe[b] - mIm * uIm[b];
                uIm[t] -= mRe * uIm[b] + mIm * uRe[b];
            }
            jRe[i] -= mRe * jkRe - mIm * jkIm;
            jIm[i] -= mRe * jkIm + mIm * jkRe;
        }
    }
    return 0;
}

// Back substitution, each row's terms subtracted one by one from the highest column down. Returns
// a sum that is 0 when every voltage is finite and NaN otherwise (x * 0 is a zero for a finite x
// and NaN for any other), lane by lane.
template <typename T>
T BackSubstitutePatternOf(const EliminationPattern& pattern, const T* uRe, const T* uIm, const T* d,
                          T* jRe, T* jIm) {
    const int n = pattern.EquationCount;
    const int* column = pattern.Column.data();
    const int* rowStart = pattern.RowStart.data();
    T nonFinite{};
    for (int k = n; k >= 1; --k) {
        const int diagonal = rowStart[k];
        T sRe = jRe[k];
        T sIm = jIm[k];
        for (int b = rowStart[k + 1] - 1; b > diagonal; --b) {
            const int j = column[b];
            sRe -= uRe[b] * jRe[j] - uIm[b] * jIm[j];
            sIm -= uRe[b] * jIm[j] + uIm[b] * jRe[j];
        }
        const T pRe = uRe[diagonal];
        const T pIm = uIm[diagonal];
        jRe[k] = (sRe * pRe + sIm * pIm) / d[k];
        jIm[k] = (sIm * pRe - sRe * pIm) / d[k];
        nonFinite += jRe[k] * 0.0 + jIm[k] * 0.0;
    }
    return nonFinite;
}

// The first row that the mirrored excitation reaches.
int MirroredFirstRow(const Netlist& netlist) {
    const Branch& load = netlist.Branches[netlist.LoadBranch];
    const int r = netlist.EquationOf[load.From];
    const int e = netlist.EquationOf[load.To];
    return std::max(1, r == 0 ? e : e == 0 ? r : std::min(r, e));
}

// The mirrored excitation: every source of the netlist at 0 V and a 1 V source in series with
// the load branch, at its To end, so that port 2 (From minus To) sees 1 V open-circuit. In the
// branch's own terms that is an EMF of −1 V, stamped as AssemblePatternOf stamps one.
template <typename T>
void AssembleMirroredOf(const Netlist& netlist, const T* admRe, const T* admIm, T* jRe, T* jIm) {
    for (int k = 1; k <= netlist.EquationCount; ++k) {
        jRe[k] = T{};
        jIm[k] = T{};
    }
    const int load = netlist.LoadBranch;
    const int r = netlist.EquationOf[netlist.Branches[load].From];
    const int e = netlist.EquationOf[netlist.Branches[load].To];
    if (r == e) return;
    if (r != 0) {
        jRe[r] += admRe[load];
        jIm[r] += admIm[load];
    }
    if (e != 0) {
        jRe[e] -= admRe[load];
        jIm[e] -= admIm[load];
    }
}

// dV/dω of the load voltage by the adjoint method. Y is symmetric (every branch has two ends), so
// with u the branch voltages of the solve (EMFs included), w those of the mirrored solve and
// y_load the load's admittance, Y·dV/dω = −(dY/dω)·V gives
//   dVload/dω = −Σ_b (dy_b/dω)·u_b·w_b / y_load,  dy/dω = j·(C + 1/(ω²L)),
// exact, and with no further substitution.
template <typename T>
void LoadSlopeOf(const Netlist& netlist, T omega, const T* vRe, const T* vIm, const T* wRe,
                 const T* wIm, const T* admRe, const T* admIm, T& slopeRe, T& slopeIm) {
    const T omegaSquared = omega * omega;
    T sumRe{};
    T sumIm{};
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        const int r = netlist.EquationOf[branch.From];
        const int e = netlist.EquationOf[branch.To];
        if (r == e || (branch.C == 0 && !(branch.L > 0) && branch.ArmCount == 0)) continue;
        T s = Splat<T>(branch.C);
        if (branch.L > 0) s += 1 / (omegaSquared * branch.L);
        // A series arm's dy/dω = −j·(L + 1/(ω²C))·y², complex: summed apart from j·s.
        T armRe{};
        T armIm{};
        for (int a = 0; a < branch.ArmCount; ++a) {
            const SeriesArm& arm = branch.Arms[a];
            const T x = omega * arm.L - 1 / (omega * arm.C);
            const T d = x * x + Splat<T>(arm.R * arm.R);
            const T yRe = Splat<T>(arm.R) / d;
            const T yIm = (x * -1.0) / d;
            const T slope = Splat<T>(arm.L) + 1 / (omegaSquared * arm.C);
            armRe += slope * (yRe * yIm * 2.0);
            armIm -= slope * (yRe * yRe - yIm * yIm);
        }
        T uRe = Splat<T>(netlist.BranchEmf[b].re);
        T uIm = Splat<T>(netlist.BranchEmf[b].im);
        T bwRe{};
        T bwIm{};
        if (r != 0) {
            uRe += vRe[r];
            uIm += vIm[r];
            bwRe += wRe[r];
            bwIm += wIm[r];
        }
        if (e != 0) {
            uRe -= vRe[e];
            uIm -= vIm[e];
            bwRe -= wRe[e];
            bwIm -= wIm[e];
        }
        // j·s·u·w
        sumRe -= s * (uRe * bwIm + uIm * bwRe);
        sumIm += s * (uRe * bwRe - uIm * bwIm);
        if (branch.ArmCount > 0) {
            const T uwRe = uRe * bwRe - uIm * bwIm;
            const T uwIm = uRe * bwIm + uIm * bwRe;
            sumRe += armRe * uwRe - armIm * uwIm;
            sumIm += armRe * uwIm + armIm * uwRe;
        }
    }
    // −sum / y_load
    const int load = netlist.LoadBranch;
    const T yRe = admRe[load];
    const T yIm = admIm[load];
    const T d = yRe * yRe + yIm * yIm;
    slopeRe = (sumRe * yRe + sumIm * yIm) / d * -1.0;
    slopeIm = (sumIm * yRe - sumRe * yIm) / d * -1.0;
}

// 1/U[k][k] for every row of a finished elimination, for the further right-hand sides: they are
// not held to the bits of anything, so they multiply where the elimination divides.
template <typename T>
void PivotReciprocalsOf(const EliminationPattern& pattern, const T* uRe, const T* uIm, const T* d,
                        T* rRe, T* rIm) {
    for (int k = 1; k <= pattern.EquationCount; ++k) {
        const int diagonal = pattern.RowStart[k];
        const T inverse = 1 / d[k];
        rRe[k] = uRe[diagonal] * inverse;
        rIm[k] = uIm[diagonal] * inverse * -1.0;
    }
}

// Forward and back substitution of a further right-hand side on a finished elimination. Row k of
// U is final once its step has come and the step's multipliers are U[k][i]/U[k][k], so the
// forward pass subtracts U[k][i]·(J[k]/U[k][k]). J is 0 above row firstRow, and a row whose J is
// 0 changes nothing. Returns 0 when every value is finite and NaN otherwise, lane by lane.
template <typename T>
T SubstituteOf(const EliminationPattern& pattern, int firstRow, const T* uRe, const T* uIm,
               const T* rRe, const T* rIm, T* jRe, T* jIm) {
    const int n = pattern.EquationCount;
    const int* column = pattern.Column.data();
    const int* rowStart = pattern.RowStart.data();
    for (int k = firstRow; k <= n; ++k) {
        const int diagonal = rowStart[k];
        const T wRe = jRe[k] * rRe[k] - jIm[k] * rIm[k];
        const T wIm = jRe[k] * rIm[k] + jIm[k] * rRe[k];
        for (int e = diagonal + 1; e < rowStart[k + 1]; ++e) {
            const int i = column[e];
            jRe[i] -= uRe[e] * wRe - uIm[e] * wIm;
            jIm[i] -= uRe[e] * wIm + uIm[e] * wRe;
        }
    }
    T nonFinite{};
    for (int k = n; k >= 1; --k) {
        const int diagonal = rowStart[k];
        T sRe = jRe[k];
        T sIm = jIm[k];
        for (int e = rowStart[k + 1] - 1; e > diagonal; --e) {
            const int j = column[e];
            sRe -= uRe[e] * jRe[j] - uIm[e] * jIm[j];
            sIm -= uRe[e] * jIm[j] + uIm[e] * jRe[j];
        }
        jRe[k] = sRe * rRe[k] - sIm * rIm[k];
        jIm[k] = sRe * rIm[k] + sIm * rRe[k];
        nonFinite += jRe[k] * 0.0 + jIm[k] * 0.0;
    }
    return nonFinite;
}

}  // namespace

void NodalSolver::ComputeAdmittances(const Netlist& netlist, double omegaRad) {
    ComputeAdmittancesOf(netlist, omegaRad, admRe_.data(), admIm_.data());
}

bool NodalSolver::UsesPattern(const Netlist& netlist) {
    return netlist.Pattern.Sparse && netlist.Pattern.EquationCount == netlist.EquationCount;
}

bool NodalSolver::SolveNodal(const Netlist& netlist, double omegaRad) {
    ComputeAdmittances(netlist, omegaRad);
    if (UsesPattern(netlist)) {
        AssemblePattern(netlist);
        switch (EliminatePattern(netlist)) {
            case Outcome::Solved:
                lastWhole_ = false;
                return true;
            case Outcome::Singular:
                lastWhole_ = false;
                return false;
            case Outcome::NonFinite:
                break;
        }
    }
    lastWhole_ = true;
    AssembleWhole(netlist);
    return EliminateWhole(netlist);
}

void NodalSolver::Assemble(const Netlist& netlist, double omegaRad) {
    ComputeAdmittances(netlist, omegaRad);
    lastWhole_ = !UsesPattern(netlist);
    if (lastWhole_) {
        AssembleWhole(netlist);
    } else {
        AssemblePattern(netlist);
    }
}

Complex NodalSolver::MatrixEntry(const Netlist& netlist, int i, int j) const {
    if (lastWhole_) return {yRe_[i][j], yIm_[i][j]};
    const EliminationPattern& pattern = netlist.Pattern;
    for (int e = pattern.RowStart[i]; e < pattern.RowStart[i + 1]; ++e) {
        if (pattern.Column[e] == j) return {uRe_[e], uIm_[e]};
    }
    return {};
}

void NodalSolver::AssemblePattern(const Netlist& netlist) {
    AssemblePatternOf(netlist, admRe_.data(), admIm_.data(), uRe_.data(), uIm_.data(), jRe_.data(),
                      jIm_.data());
}

NodalSolver::Outcome NodalSolver::EliminatePattern(const Netlist& netlist) {
    const EliminationPattern& pattern = netlist.Pattern;
    if (EliminatePatternOf(pattern, uRe_.data(), uIm_.data(), jRe_.data(), jIm_.data(),
                           d_.data()) != 0) {
        return PatternValuesFinite(netlist) ? Outcome::Singular : Outcome::NonFinite;
    }
    // A non-finite value anywhere on the way reaches at least one of the voltages.
    const double nonFinite = BackSubstitutePatternOf(pattern, uRe_.data(), uIm_.data(), d_.data(),
                                                     jRe_.data(), jIm_.data());
    return nonFinite == 0 ? Outcome::Solved : Outcome::NonFinite;
}

bool NodalSolver::PatternValuesFinite(const Netlist& netlist) const {
    const EliminationPattern& pattern = netlist.Pattern;
    for (int e = 0; e < pattern.EntryCount; ++e) {
        if (!Finite(uRe_[e], uIm_[e])) return false;
    }
    for (int k = 1; k <= pattern.EquationCount; ++k) {
        if (!Finite(jRe_[k], jIm_[k])) return false;
    }
    return true;
}

void NodalSolver::AssembleWhole(const Netlist& netlist) {
    const int n = netlist.EquationCount;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            yRe_[i][j] = 0;
            yIm_[i][j] = 0;
        }
        jRe_[i] = 0;
        jIm_[i] = 0;
    }
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const double yr = admRe_[b];
        const double yi = admIm_[b];
        const Complex emf = netlist.BranchEmf[b];
        const double jeqRe = yr * emf.re - yi * emf.im;
        const double jeqIm = yr * emf.im + yi * emf.re;
        const int r = netlist.EquationOf[netlist.Branches[b].From];
        const int e = netlist.EquationOf[netlist.Branches[b].To];
        if (r == e) continue;
        // Only the upper triangle is ever read again.
        if (r != 0) {
            yRe_[r][r] += yr;
            yIm_[r][r] += yi;
            jRe_[r] -= jeqRe;
            jIm_[r] -= jeqIm;
        }
        if (r != 0 && e != 0) {
            const int low = r < e ? r : e;
            const int high = r < e ? e : r;
            yRe_[low][high] -= yr;
            yIm_[low][high] -= yi;
        }
        if (e != 0) {
            yRe_[e][e] += yr;
            yIm_[e][e] += yi;
            jRe_[e] += jeqRe;
            jIm_[e] += jeqIm;
        }
    }
}

bool NodalSolver::EliminateWhole(const Netlist& netlist) {
    const int n = netlist.EquationCount;
    bool ok = true;
    for (int k = 1; k < n; ++k) {
        const double pRe = yRe_[k][k];
        const double pIm = yIm_[k][k];
        if (pRe == 0 && pIm == 0) return false;  // nothing to divide by
        const double d = pRe * pRe + pIm * pIm;
        for (int i = k + 1; i <= n; ++i) {
            const double mRe = (yRe_[k][i] * pRe + yIm_[k][i] * pIm) / d;
            const double mIm = (yIm_[k][i] * pRe - yRe_[k][i] * pIm) / d;
            for (int j = i; j <= n; ++j) {
                yRe_[i][j] -= mRe * yRe_[k][j] - mIm * yIm_[k][j];
                yIm_[i][j] -= mRe * yIm_[k][j] + mIm * yRe_[k][j];
            }
            jRe_[i] -= mRe * jRe_[k] - mIm * jIm_[k];
            jIm_[i] -= mRe * jIm_[k] + mIm * jRe_[k];
        }
    }
    for (int k = n; k >= 1; --k) {
        double sRe = jRe_[k];
        double sIm = jIm_[k];
        for (int j = n; j > k; --j) {
            sRe -= yRe_[k][j] * jRe_[j] - yIm_[k][j] * jIm_[j];
            sIm -= yRe_[k][j] * jIm_[j] + yIm_[k][j] * jRe_[j];
        }
        const double pRe = yRe_[k][k];
        const double pIm = yIm_[k][k];
        const double d = pRe * pRe + pIm * pIm;
        if (d < SingularFloor) ok = false;
        if (ok) {
            jRe_[k] = (sRe * pRe + sIm * pIm) / d;
            jIm_[k] = (sIm * pRe - sRe * pIm) / d;
        }
    }
    return ok;
}

std::array<bool, SolveLanes> NodalSolver::SolveNodalLanes(
    const Netlist& netlist, const std::array<double, SolveLanes>& omegas) {
    std::array<bool, SolveLanes> clean{};
    const EliminationPattern& pattern = netlist.Pattern;
    if (!UsesPattern(netlist) || pattern.EntryCount > MaxLaneEntries) return clean;
    LaneDoubles omega;
    for (int l = 0; l < SolveLanes; ++l)
        omega.Set(l, omegas[l]);
    ComputeAdmittancesOf(netlist, omega, laneAdmRe_.data(), laneAdmIm_.data());
    AssemblePatternOf(netlist, laneAdmRe_.data(), laneAdmIm_.data(), laneURe_.data(),
                      laneUIm_.data(), laneJRe_.data(), laneJIm_.data());
    EliminatePatternOf(pattern, laneURe_.data(), laneUIm_.data(), laneJRe_.data(), laneJIm_.data(),
                       laneD_.data());
    const LaneDoubles nonFinite = BackSubstitutePatternOf(
        pattern, laneURe_.data(), laneUIm_.data(), laneD_.data(), laneJRe_.data(), laneJIm_.data());
    const int n = pattern.EquationCount;
    for (int l = 0; l < SolveLanes; ++l) {
        bool pivotsPass = true;
        for (int k = 1; k <= n; ++k)
            pivotsPass = pivotsPass && !(laneD_[k][l] < SingularFloor);
        clean[l] = pivotsPass && nonFinite[l] == 0;
    }
    return clean;
}

bool NodalSolver::SolveTwoPort(const Netlist& netlist, double omegaRad) {
    if (!SolveNodal(netlist, omegaRad)) return false;
    double* mRe = mirroredRe_.data();
    double* mIm = mirroredIm_.data();
    AssembleMirroredOf(netlist, admRe_.data(), admIm_.data(), mRe, mIm);
    if (lastWhole_) {
        if (!SubstituteWhole(netlist, mRe, mIm)) return false;
    } else {
        const EliminationPattern& pattern = netlist.Pattern;
        PivotReciprocalsOf(pattern, uRe_.data(), uIm_.data(), d_.data(), rRe_.data(), rIm_.data());
        if (SubstituteOf(pattern, MirroredFirstRow(netlist), uRe_.data(), uIm_.data(), rRe_.data(),
                         rIm_.data(), mRe, mIm) != 0) {
            return false;
        }
    }
    LoadSlopeOf(netlist, omegaRad, jRe_.data(), jIm_.data(), mRe, mIm, admRe_.data(), admIm_.data(),
                loadSlope_.re, loadSlope_.im);
    return Finite(loadSlope_.re, loadSlope_.im);
}

bool NodalSolver::SubstituteWhole(const Netlist& netlist, double* re, double* im) const {
    const int n = netlist.EquationCount;
    for (int k = 1; k < n; ++k) {
        const double pRe = yRe_[k][k];
        const double pIm = yIm_[k][k];
        const double d = pRe * pRe + pIm * pIm;
        const double wRe = (re[k] * pRe + im[k] * pIm) / d;
        const double wIm = (im[k] * pRe - re[k] * pIm) / d;
        for (int i = k + 1; i <= n; ++i) {
            re[i] -= yRe_[k][i] * wRe - yIm_[k][i] * wIm;
            im[i] -= yRe_[k][i] * wIm + yIm_[k][i] * wRe;
        }
    }
    bool finite = true;
    for (int k = n; k >= 1; --k) {
        double sRe = re[k];
        double sIm = im[k];
        for (int j = n; j > k; --j) {
            sRe -= yRe_[k][j] * re[j] - yIm_[k][j] * im[j];
            sIm -= yRe_[k][j] * im[j] + yIm_[k][j] * re[j];
        }
        const double pRe = yRe_[k][k];
        const double pIm = yIm_[k][k];
        const double d = pRe * pRe + pIm * pIm;
        re[k] = (sRe * pRe + sIm * pIm) / d;
        im[k] = (sIm * pRe - sRe * pIm) / d;
        finite = finite && Finite(re[k], im[k]);
    }
    return finite;
}

std::array<bool, SolveLanes> NodalSolver::SolveTwoPortLanes(
    const Netlist& netlist, const std::array<double, SolveLanes>& omegas) {
    std::array<bool, SolveLanes> clean = SolveNodalLanes(netlist, omegas);
    bool any = false;
    for (bool c : clean)
        any = any || c;
    if (!any) return clean;
    const EliminationPattern& pattern = netlist.Pattern;
    LaneDoubles omega;
    for (int l = 0; l < SolveLanes; ++l)
        omega.Set(l, omegas[l]);
    LaneDoubles* mRe = laneMirroredRe_.data();
    LaneDoubles* mIm = laneMirroredIm_.data();
    AssembleMirroredOf(netlist, laneAdmRe_.data(), laneAdmIm_.data(), mRe, mIm);
    PivotReciprocalsOf(pattern, laneURe_.data(), laneUIm_.data(), laneD_.data(), laneRRe_.data(),
                       laneRIm_.data());
    const LaneDoubles nonFinite =
        SubstituteOf(pattern, MirroredFirstRow(netlist), laneURe_.data(), laneUIm_.data(),
                     laneRRe_.data(), laneRIm_.data(), mRe, mIm);
    LoadSlopeOf(netlist, omega, laneJRe_.data(), laneJIm_.data(), mRe, mIm, laneAdmRe_.data(),
                laneAdmIm_.data(), laneLoadSlopeRe_, laneLoadSlopeIm_);
    const LaneDoubles slopeNonFinite = laneLoadSlopeRe_ * 0.0 + laneLoadSlopeIm_ * 0.0;
    for (int l = 0; l < SolveLanes; ++l)
        clean[l] = clean[l] && nonFinite[l] == 0 && slopeNonFinite[l] == 0;
    return clean;
}

OutputLevel MeasureOutput(const Netlist& netlist, const NodalSolver& solver,
                          OutputMeasure& measure) {
    for (int i = 1; i <= netlist.NodeCount; ++i) {
        if (netlist.EquationOf[i] != 0) {
            measure.NodeVoltage[i] = solver.EquationVoltage(netlist.EquationOf[i]);
        }
    }
    measure.NodeVoltage[0] = Complex{};
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        const Source& source = netlist.Sources[s];
        const Complex ref = measure.NodeVoltage[source.RefNode];
        measure.NodeVoltage[source.DrivenNode] = {ref.re + source.Emf.re, ref.im + source.Emf.im};
    }
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Complex from = measure.NodeVoltage[netlist.Branches[b].From];
        const Complex to = measure.NodeVoltage[netlist.Branches[b].To];
        measure.BranchVoltage[b] = {from.re - to.re, from.im - to.im};
    }
    if (netlist.LoadBranch < 1 || netlist.BranchCount < netlist.LoadBranch) return {};
    return LevelOfLoadVoltage(measure.BranchVoltage[netlist.LoadBranch]);
}

OutputLevel LevelOfLoadVoltage(Complex load) {
    const double magnitude = std::sqrt(load.re * load.re + load.im * load.im);
    // A load voltage of exactly 0 has no level; neither has one that overflowed.
    if (!(magnitude > 0) || !std::isfinite(magnitude)) return {};
    return {true, 20 * std::log10(magnitude)};
}

}  // namespace feldan
