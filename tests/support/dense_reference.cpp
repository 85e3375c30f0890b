#include "tests/support/dense_reference.h"

#include <cmath>

namespace feldan::reference {

namespace {

Complex Product(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

Complex Quotient(Complex a, Complex b) {
    const double d = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

}  // namespace

bool DenseSolver::SolveNodal(const Netlist& netlist, double omegaRad) {
    const int n = netlist.EquationCount;
    auto y = [&](int i, int j) { return Complex{yRe_[i][j], yIm_[i][j]}; };
    auto addY = [&](int i, int j, Complex v, double sign) {
        if (i == 0 || j == 0) return;
        yRe_[i][j] += sign * v.re;
        yIm_[i][j] += sign * v.im;
    };
    auto addJ = [&](int i, Complex v, double sign) {
        if (i == 0) return;
        jRe_[i] += sign * v.re;
        jIm_[i] += sign * v.im;
    };
    auto subtractFromY = [&](int i, int j, Complex v) {
        yRe_[i][j] -= v.re;
        yIm_[i][j] -= v.im;
    };

    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            yRe_[i][j] = 0;
            yIm_[i][j] = 0;
        }
        jRe_[i] = 0;
        jIm_[i] = 0;
    }

    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        Complex yb{branch.G, omegaRad * branch.C};
        if (branch.L > 0) yb.im = yb.im - 1 / (omegaRad * branch.L);
        for (int a = 0; a < branch.ArmCount; ++a) {
            const SeriesArm& arm = branch.Arms[a];
            const Complex armY =
                Quotient({1, 0}, {arm.R, omegaRad * arm.L - 1 / (omegaRad * arm.C)});
            yb = {yb.re + armY.re, yb.im + armY.im};
        }
        const Complex jeq = Product(yb, netlist.BranchEmf[b]);
        const int r = netlist.EquationOf[branch.From];
        const int e = netlist.EquationOf[branch.To];
        if (r == e) continue;
        addY(r, r, yb, 1);
        addY(r, e, yb, -1);
        addY(e, r, yb, -1);
        addY(e, e, yb, 1);
        addJ(r, jeq, -1);
        addJ(e, jeq, 1);
    }
    assembledRe_ = yRe_;
    assembledIm_ = yIm_;
    assembledJRe_ = jRe_;
    assembledJIm_ = jIm_;

    bool solveOk = true;
    for (int k = 1; k <= n - 1; ++k) {
        const Complex pivot = y(k, k);
        if (pivot.re == 0 && pivot.im == 0) return false;
        for (int i = k + 1; i <= n; ++i) {
            const Complex m = Quotient(y(k, i), pivot);
            for (int j = i; j <= n; ++j)
                subtractFromY(i, j, Product(m, y(k, j)));
            const Complex mj = Product(m, {jRe_[k], jIm_[k]});
            jRe_[i] -= mj.re;
            jIm_[i] -= mj.im;
        }
    }
    for (int k = n; k >= 1; --k) {
        Complex s{jRe_[k], jIm_[k]};
        for (int j = n; j >= k + 1; --j) {
            const Complex term = Product(y(k, j), {jRe_[j], jIm_[j]});
            s.re -= term.re;
            s.im -= term.im;
        }
        const Complex pivot = y(k, k);
        if (pivot.re * pivot.re + pivot.im * pivot.im < SingularFloor) solveOk = false;
        if (solveOk) {
            const Complex v = Quotient(s, pivot);
            jRe_[k] = v.re;
            jIm_[k] = v.im;
        }
    }
    return solveOk;
}

OutputLevel MeasureOutput(const Netlist& netlist, const DenseSolver& solver, Voltages& voltages) {
    for (int i = 1; i <= netlist.NodeCount; ++i) {
        if (netlist.EquationOf[i] != 0) {
            voltages.Node[i] = solver.EquationVoltage(netlist.EquationOf[i]);
        }
    }
    voltages.Node[0] = Complex{0, 0};
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        const Source& source = netlist.Sources[s];
        voltages.Node[source.DrivenNode].re = voltages.Node[source.RefNode].re + source.Emf.re;
        voltages.Node[source.DrivenNode].im = voltages.Node[source.RefNode].im + source.Emf.im;
    }
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Complex from = voltages.Node[netlist.Branches[b].From];
        const Complex to = voltages.Node[netlist.Branches[b].To];
        voltages.Branch[b] = {from.re - to.re, from.im - to.im};
    }
    if (netlist.LoadBranch < 1 || netlist.BranchCount < netlist.LoadBranch) return {false, 0};
    const Complex out = voltages.Branch[netlist.LoadBranch];
    const double magnitude = std::sqrt(out.re * out.re + out.im * out.im);
    const double level = 20 * std::log10(magnitude);
    if (magnitude == 0 || !std::isfinite(level)) return {false, 0};
    return {true, level};
}

AnalysisPoint Analyse(const Netlist& netlist, DenseSolver& solver, Voltages& voltages,
                      double omegaRad) {
    if (!solver.SolveNodal(netlist, omegaRad)) return {false, 0};
    const OutputLevel level = MeasureOutput(netlist, solver, voltages);
    return {level.ok, level.ResponseDb};
}

}  // namespace feldan::reference
