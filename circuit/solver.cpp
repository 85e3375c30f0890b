#include "circuit/solver.h"

#include <cmath>

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

}  // namespace

void NodalSolver::ComputeAdmittances(const Netlist& netlist, double omegaRad) {
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        double im = omegaRad * branch.C;
        if (branch.L > 0) im -= 1 / (omegaRad * branch.L);
        admRe_[b] = branch.G;
        admIm_[b] = im;
    }
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
    const EliminationPattern& pattern = netlist.Pattern;
    const int n = pattern.EquationCount;
    const int* rowStart = pattern.RowStart.data();
    double* uRe = uRe_.data();
    double* uIm = uIm_.data();
    double* jRe = jRe_.data();
    double* jIm = jIm_.data();

    // Each entry starts from 0 and takes its branches in branch order, added on the diagonal and
    // subtracted off it.
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        for (int e = diagonal; e < rowStart[k + 1]; ++e) {
            double re = 0;
            double im = 0;
            const int stampEnd = pattern.StampStart[e + 1];
            if (e == diagonal) {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re += admRe_[pattern.StampBranch[s]];
                    im += admIm_[pattern.StampBranch[s]];
                }
            } else {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re -= admRe_[pattern.StampBranch[s]];
                    im -= admIm_[pattern.StampBranch[s]];
                }
            }
            uRe[e] = re;
            uIm[e] = im;
        }
        jRe[k] = 0;
        jIm[k] = 0;
    }
    for (int s = 0; s < pattern.EmfStampCount; ++s) {
        const EliminationPattern::EmfStamp& stamp = pattern.EmfStamps[s];
        const Complex emf = netlist.BranchEmf[stamp.Branch];
        const double yr = admRe_[stamp.Branch];
        const double yi = admIm_[stamp.Branch];
        const double jeqRe = yr * emf.re - yi * emf.im;
        const double jeqIm = yr * emf.im + yi * emf.re;
        if (stamp.Sign > 0) {
            jRe[stamp.Row] += jeqRe;
            jIm[stamp.Row] += jeqIm;
        } else {
            jRe[stamp.Row] -= jeqRe;
            jIm[stamp.Row] -= jeqIm;
        }
    }
}

NodalSolver::Outcome NodalSolver::EliminatePattern(const Netlist& netlist) {
    const EliminationPattern& pattern = netlist.Pattern;
    const int n = pattern.EquationCount;
    const int* column = pattern.Column.data();
    const int* rowStart = pattern.RowStart.data();
    double* uRe = uRe_.data();
    double* uIm = uIm_.data();
    double* jRe = jRe_.data();
    double* jIm = jIm_.data();

    // Forward elimination. A pivot is final once its step comes, so its test can be made here
    // rather than in the back substitution: the outcome is the same, and no division by a
    // vanishing pivot is ever made.
    const int* target = pattern.UpdateTarget.data();
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        const int rowEnd = rowStart[k + 1];
        const double pRe = uRe[diagonal];
        const double pIm = uIm[diagonal];
        const double d = pRe * pRe + pIm * pIm;
        if (d < SingularFloor) {
            return PatternValuesFinite(netlist) ? Outcome::Singular : Outcome::NonFinite;
        }
        const double jkRe = jRe[k];
        const double jkIm = jIm[k];
        for (int a = diagonal + 1; a < rowEnd; ++a) {
            const int i = column[a];
            const double mRe = (uRe[a] * pRe + uIm[a] * pIm) / d;
            const double mIm = (uIm[a] * pRe - uRe[a] * pIm) / d;
            for (int b = a; b < rowEnd; ++b) {
                const int t = *target++;
                uRe[t] -= mRe * uRe[b] - mIm * uIm[b];
                uIm[t] -= mRe * uIm[b] + mIm * uRe[b];
            }
            jRe[i] -= mRe * jkRe - mIm * jkIm;
            jIm[i] -= mRe * jkIm + mIm * jkRe;
        }
    }

    // Back substitution, each row's terms subtracted one by one from the highest column down.
    bool finite = true;
    for (int k = n; k >= 1; --k) {
        const int diagonal = rowStart[k];
        double sRe = jRe[k];
        double sIm = jIm[k];
        for (int b = rowStart[k + 1] - 1; b > diagonal; --b) {
            const int j = column[b];
            sRe -= uRe[b] * jRe[j] - uIm[b] * jIm[j];
            sIm -= uRe[b] * jIm[j] + uIm[b] * jRe[j];
        }
        const double pRe = uRe[diagonal];
        const double pIm = uIm[diagonal];
        const double d = pRe * pRe + pIm * pIm;
        jRe[k] = (sRe * pRe + sIm * pIm) / d;
        jIm[k] = (sIm * pRe - sRe * pIm) / d;
        finite = finite && Finite(jRe[k], jIm[k]);
    }
    // A non-finite value anywhere on the way reaches at least one of the voltages.
    return finite ? Outcome::Solved : Outcome::NonFinite;
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
    const int n = pattern.EquationCount;
    const int* column = pattern.Column.data();
    const int* rowStart = pattern.RowStart.data();
    LaneDoubles* uRe = laneURe_.data();
    LaneDoubles* uIm = laneUIm_.data();
    LaneDoubles* jRe = laneJRe_.data();
    LaneDoubles* jIm = laneJIm_.data();
    LaneDoubles omega;
    for (int l = 0; l < SolveLanes; ++l)
        omega.Set(l, omegas[l]);

    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        LaneDoubles im = omega * branch.C;
        if (branch.L > 0) im -= 1 / (omega * branch.L);
        for (int l = 0; l < SolveLanes; ++l)
            laneAdmRe_[b].Set(l, branch.G);
        laneAdmIm_[b] = im;
    }

    // Assembly, as in AssemblePattern.
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        for (int e = diagonal; e < rowStart[k + 1]; ++e) {
            LaneDoubles re = {};
            LaneDoubles im = {};
            const int stampEnd = pattern.StampStart[e + 1];
            if (e == diagonal) {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re += laneAdmRe_[pattern.StampBranch[s]];
                    im += laneAdmIm_[pattern.StampBranch[s]];
                }
            } else {
                for (int s = pattern.StampStart[e]; s < stampEnd; ++s) {
                    re -= laneAdmRe_[pattern.StampBranch[s]];
                    im -= laneAdmIm_[pattern.StampBranch[s]];
                }
            }
            uRe[e] = re;
            uIm[e] = im;
        }
        jRe[k] = LaneDoubles{};
        jIm[k] = LaneDoubles{};
    }
    for (int s = 0; s < pattern.EmfStampCount; ++s) {
        const EliminationPattern::EmfStamp& stamp = pattern.EmfStamps[s];
        const Complex emf = netlist.BranchEmf[stamp.Branch];
        const LaneDoubles yr = laneAdmRe_[stamp.Branch];
        const LaneDoubles yi = laneAdmIm_[stamp.Branch];
        const LaneDoubles jeqRe = yr * emf.re - yi * emf.im;
        const LaneDoubles jeqIm = yr * emf.im + yi * emf.re;
        if (stamp.Sign > 0) {
            jRe[stamp.Row] += jeqRe;
            jIm[stamp.Row] += jeqIm;
        } else {
            jRe[stamp.Row] -= jeqRe;
            jIm[stamp.Row] -= jeqIm;
        }
    }

    // Elimination and back substitution, as in EliminatePattern. A lane whose pivot fails its
    // test goes on with meaningless values; the tests are made after the pass, lane by lane.
    const int* target = pattern.UpdateTarget.data();
    for (int k = 1; k <= n; ++k) {
        const int diagonal = rowStart[k];
        const int rowEnd = rowStart[k + 1];
        const LaneDoubles pRe = uRe[diagonal];
        const LaneDoubles pIm = uIm[diagonal];
        const LaneDoubles d = pRe * pRe + pIm * pIm;
        laneD_[k] = d;
        const LaneDoubles jkRe = jRe[k];
        const LaneDoubles jkIm = jIm[k];
        for (int a = diagonal + 1; a < rowEnd; ++a) {
            const int i = column[a];
            const LaneDoubles mRe = (uRe[a] * pRe + uIm[a] * pIm) / d;
            const LaneDoubles mIm = (uIm[a] * pRe - uRe[a] * pIm) / d;
            for (int b = a; b < rowEnd; ++b) {
                const int t = *target++;
                uRe[t] -= mRe * uRe[b] - mIm * uIm[b];
                uIm[t] -= mRe * uIm[b] + mIm * uRe[b];
            }
            jRe[i] -= mRe * jkRe - mIm * jkIm;
            jIm[i] -= mRe * jkIm + mIm * jkRe;
        }
    }
    // x * 0 is a zero for a finite x and NaN otherwise, so the sum turns NaN at the first
    // non-finite voltage.
    LaneDoubles nonFinite = {};
    for (int k = n; k >= 1; --k) {
        const int diagonal = rowStart[k];
        LaneDoubles sRe = jRe[k];
        LaneDoubles sIm = jIm[k];
        for (int b = rowStart[k + 1] - 1; b > diagonal; --b) {
            const int j = column[b];
            sRe -= uRe[b] * jRe[j] - uIm[b] * jIm[j];
            sIm -= uRe[b] * jIm[j] + uIm[b] * jRe[j];
        }
        const LaneDoubles pRe = uRe[diagonal];
        const LaneDoubles pIm = uIm[diagonal];
        const LaneDoubles d = laneD_[k];
        jRe[k] = (sRe * pRe + sIm * pIm) / d;
        jIm[k] = (sIm * pRe - sRe * pIm) / d;
        nonFinite += jRe[k] * 0.0 + jIm[k] * 0.0;
    }
    for (int l = 0; l < SolveLanes; ++l) {
        bool pivotsPass = true;
        for (int k = 1; k <= n; ++k)
            pivotsPass = pivotsPass && !(laneD_[k][l] < SingularFloor);
        clean[l] = pivotsPass && nonFinite[l] == 0;
    }
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
    if (netlist.BranchCount < OutputBranch) return {};
    return LevelOfLoadVoltage(measure.BranchVoltage[OutputBranch]);
}

OutputLevel LevelOfLoadVoltage(Complex load) {
    const double magnitude = std::sqrt(load.re * load.re + load.im * load.im);
    // A load voltage of exactly 0 has no level; neither has one that overflowed.
    if (!(magnitude > 0) || !std::isfinite(magnitude)) return {};
    return {true, 20 * std::log10(magnitude)};
}

}  // namespace feldan
