#include "engine/diagnosis_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace feldan {

namespace {

using CDouble = std::complex<double>;

// Ns, the unit of the delay parameter.
constexpr double DelayUnitSec = 1e-9;

CDouble Cx(feldan::Complex v) {
    return {v.re, v.im};
}

}  // namespace

DiagnosisModel::DiagnosisModel(const BuiltDesign& built, const DiagnosisSweep& sweep)
    : sweep_(sweep), values_(built.values), portOhm_(sweep.portOhm) {
    for (double hz : sweep_.hz)
        omegas_.push_back(TwoPi * hz);
    const int measured = 1 + !sweep_.s11.empty() + !sweep_.s22.empty();
    rows_ = 2 * measured * static_cast<int>(sweep_.hz.size());
    BranchRoles roles{};
    BuildSchematicNetlist(built.design.synthesis.Circuit, values_, portOhm_, portOhm_,
                          circuit_.netlist, &roles);
    PrepareNetlist(circuit_.netlist);
    const Netlist& netlist = circuit_.netlist;
    std::vector<int> cm(MaxCrystals + 1, 0), rm(MaxCrystals + 1, 0);
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const BranchRole& role = roles[b];
        if (role.element == Element::Cap) {
            capBranch_.push_back(b);
            capLabel_.emplace_back(role.label);
            capSlot_.push_back(role.index);
            capPF_.push_back(netlist.Branches[b].C * 1e12);
        } else if (role.element == Element::Cm) {
            cm[static_cast<std::size_t>(role.index)] = b;
        } else if (role.element == Element::Rm) {
            rm[static_cast<std::size_t>(role.index)] = b;
        }
    }
    for (int p = 1; p <= MaxCrystals; ++p) {
        if (cm[static_cast<std::size_t>(p)] == 0) continue;
        const Resonator& crystal = values_.Crystal[static_cast<std::size_t>(p)];
        position_.push_back(p);
        cmBranch_.push_back(cm[static_cast<std::size_t>(p)]);
        rmBranch_.push_back(rm[static_cast<std::size_t>(p)]);
        fsHz_.push_back(1 / (TwoPi * std::sqrt(crystal.LmH * crystal.CmF)));
        lmH_.push_back(crystal.LmH);
        rmOhm_.push_back(crystal.RmOhm);
    }
}

double DiagnosisModel::MeanRmOhm() const {
    if (rmOhm_.empty()) return 0;
    return std::accumulate(rmOhm_.begin(), rmOhm_.end(), 0.0) / static_cast<double>(rmOhm_.size());
}

void DiagnosisModel::SetBranches(const Eigen::VectorXd& theta) {
    Netlist& netlist = circuit_.netlist;
    for (int k = 0; k < Capacitors(); ++k)
        netlist.Branches[capBranch_[k]].C = capPF_[k] * 1e-12 * std::exp(theta[k]);
    const double rmFactor = std::exp(theta[RmParameter()]);
    for (int k = 0; k < Crystals(); ++k) {
        const double f = fsHz_[k] + theta[CrystalParameter(k)];
        netlist.Branches[cmBranch_[k]].C = 1 / (std::pow(TwoPi * f, 2) * lmH_[k]);
        netlist.Branches[rmBranch_[k]].G = 1 / (rmOhm_[k] * rmFactor);
    }
}

void DiagnosisModel::Evaluate(const Eigen::VectorXd& theta, Eigen::VectorXd& residual,
                              Eigen::MatrixXd* jacobian) {
    SetBranches(theta);
    residual.resize(rows_);
    if (jacobian) jacobian->setZero(rows_, Parameters());
    const Netlist& netlist = circuit_.netlist;
    NodalSolver& solver = circuit_.solver;
    const int input = netlist.Branches[netlist.SourceBranch].To;
    const int load = netlist.Branches[netlist.LoadBranch].From;
    const double delaySec = theta[DelayParameter()] * DelayUnitSec;
    const int n = static_cast<int>(omegas_.size());
    // Where each measured parameter's rows start: S21, then S11, then S22.
    const int s11Row = 2 * n;
    const int s22Row = s11Row + (sweep_.s11.empty() ? 0 : 2 * n);
    const double twoR = 2 * portOhm_;
    for (int first = 0; first < n; first += SolveLanes) {
        std::array<double, SolveLanes> group;
        for (int l = 0; l < SolveLanes; ++l)
            group[l] = omegas_[static_cast<std::size_t>(std::min(first + l, n - 1))];
        const std::array<bool, SolveLanes> cleanTwoPort = solver.SolveTwoPortLanes(netlist, group);
        for (int l = 0; l < SolveLanes && first + l < n; ++l) {
            const int i = first + l;
            const double w = group[l];
            bool ok = cleanTwoPort[l];
            bool lane = ok;
            if (!ok) ok = solver.SolveTwoPort(netlist, w);
            // Node voltages of the netlist's own source (V) and of the mirrored one (W).
            const auto own = [&](int node) -> CDouble {
                const int k = netlist.EquationOf[node];
                if (node == 0 || k == 0) return node == 0 ? 0.0 : 1.0;
                return lane ? Cx(solver.LaneVoltage(l, k)) : Cx(solver.EquationVoltage(k));
            };
            const auto mirrored = [&](int node) -> CDouble {
                const int k = netlist.EquationOf[node];
                if (node == 0 || k == 0) return 0.0;
                return lane ? Cx(solver.LaneMirroredVoltage(l, k)) : Cx(solver.MirroredVoltage(k));
            };
            const CDouble delay = std::polar(1.0, -w * delaySec);
            CDouble s21, s11, s22;
            if (ok) {
                s21 = 2.0 * own(load);
                s11 = 2.0 * own(input) - 1.0;
                s22 = 2.0 * mirrored(load) - 1.0;
            }
            const auto put = [&](Eigen::VectorXd& r, int row, CDouble value) {
                r[row] = value.real();
                r[row + 1] = value.imag();
            };
            put(residual, 2 * i, s21 * delay - sweep_.s21[static_cast<std::size_t>(i)]);
            if (!sweep_.s11.empty())
                put(residual, s11Row + 2 * i,
                    s11 * delay - sweep_.s11[static_cast<std::size_t>(i)]);
            if (!sweep_.s22.empty())
                put(residual, s22Row + 2 * i,
                    s22 * delay - sweep_.s22[static_cast<std::size_t>(i)]);
            if (!jacobian || !ok) continue;
            // A branch admittance y between nodes a and b moves the port voltages by
            // −(ΔV·ΔW)/G_L for S21, −ΔV²/G_S for S11 and −ΔW²/G_L for S22 (the adjoint of a
            // reciprocal circuit is its mirrored excitation), times dy.
            Eigen::MatrixXd& jac = *jacobian;
            const auto add = [&](int parameter, int branch, CDouble dy) {
                const Branch& br = netlist.Branches[branch];
                const CDouble dv = own(br.From) - own(br.To);
                const CDouble dw = mirrored(br.From) - mirrored(br.To);
                const CDouble scale = -twoR * dy * delay;
                const CDouble d21 = scale * dv * dw;
                jac(2 * i, parameter) += d21.real();
                jac(2 * i + 1, parameter) += d21.imag();
                if (!sweep_.s11.empty()) {
                    const CDouble d11 = scale * dv * dv;
                    jac(s11Row + 2 * i, parameter) += d11.real();
                    jac(s11Row + 2 * i + 1, parameter) += d11.imag();
                }
                if (!sweep_.s22.empty()) {
                    const CDouble d22 = scale * dw * dw;
                    jac(s22Row + 2 * i, parameter) += d22.real();
                    jac(s22Row + 2 * i + 1, parameter) += d22.imag();
                }
            };
            for (int k = 0; k < Capacitors(); ++k)
                add(k, capBranch_[k], CDouble(0, w * netlist.Branches[capBranch_[k]].C));
            for (int k = 0; k < Crystals(); ++k) {
                const double f = fsHz_[k] + theta[CrystalParameter(k)];
                const double dCm = -2 * netlist.Branches[cmBranch_[k]].C / f;
                add(CrystalParameter(k), cmBranch_[k], CDouble(0, w * dCm));
                add(RmParameter(), rmBranch_[k], -netlist.Branches[rmBranch_[k]].G);
            }
            const CDouble dDelay(0, -w * DelayUnitSec);
            const auto putDelay = [&](int row, CDouble s) {
                const CDouble d = dDelay * s * delay;
                jac(row, DelayParameter()) = d.real();
                jac(row + 1, DelayParameter()) = d.imag();
            };
            putDelay(2 * i, s21);
            if (!sweep_.s11.empty()) putDelay(s11Row + 2 * i, s11);
            if (!sweep_.s22.empty()) putDelay(s22Row + 2 * i, s22);
        }
    }
}

void DiagnosisModel::Responses(const Eigen::VectorXd& theta, std::vector<CDouble>& s21,
                               std::vector<CDouble>& s11, std::vector<CDouble>& s22) {
    // The residual plus the measurement; a parameter not measured is taken as if it were 0.
    DiagnosisSweep saved = sweep_;
    const std::size_t n = sweep_.hz.size();
    sweep_.s21.assign(n, 0.0);
    sweep_.s11.assign(n, 0.0);
    sweep_.s22.assign(n, 0.0);
    const int savedRows = rows_;
    rows_ = 6 * static_cast<int>(n);
    Eigen::VectorXd r;
    Evaluate(theta, r, nullptr);
    s21.resize(n);
    s11.resize(n);
    s22.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto at = [&](std::size_t row) { return CDouble(r[row], r[row + 1]); };
        s21[i] = at(2 * i);
        s11[i] = at(2 * n + 2 * i);
        s22[i] = at(4 * n + 2 * i);
    }
    sweep_ = std::move(saved);
    rows_ = savedRows;
}

ElementValues DiagnosisModel::ValuesAt(const Eigen::VectorXd& theta) const {
    ElementValues values = values_;
    std::vector<bool> slotSet(values.CapPF.size(), false);
    for (int k = 0; k < Capacitors(); ++k) {
        const double pf = capPF_[static_cast<std::size_t>(k)] * std::exp(theta[k]);
        values.PartPF[static_cast<std::size_t>(k)] = pf;
        const auto slot = static_cast<std::size_t>(capSlot_[static_cast<std::size_t>(k)]);
        if (!slotSet[slot]) values.CapPF[slot] = pf;
        slotSet[slot] = true;
    }
    const double rmFactor = std::exp(theta[RmParameter()]);
    for (int k = 0; k < Crystals(); ++k) {
        Resonator& crystal = values.Crystal[static_cast<std::size_t>(position_[k])];
        const double f = fsHz_[k] + theta[CrystalParameter(k)];
        crystal.CmF = 1 / (std::pow(TwoPi * f, 2) * crystal.LmH);
        crystal.RmOhm = rmOhm_[k] * rmFactor;
    }
    return values;
}

}  // namespace feldan
