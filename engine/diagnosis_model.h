// The fitted filter as a function of the fit's parameters: the schematic as built between ports
// of one resistance, its S-parameters at the sweep's frequencies less the measured ones, and
// the exact derivatives of them. The parameters are what a sweep can identify: the log of each
// capacitor over its value in force, each crystal's series-resonance offset in Hz, the log of
// the common motional resistance over the one in force, and the cable delay in ns.
#pragma once

#include <Eigen/Dense>
#include <complex>
#include <string>
#include <vector>

#include "circuit/analysis.h"
#include "engine/built_design.h"
#include "engine/diagnosis.h"

namespace feldan {

class DiagnosisModel {
  public:
    // `built` holds the values in force; `sweep` the measurement (its hz ascending, S11 and S22
    // empty where not measured).
    DiagnosisModel(const BuiltDesign& built, const DiagnosisSweep& sweep);

    int Capacitors() const { return static_cast<int>(capBranch_.size()); }
    int Crystals() const { return static_cast<int>(cmBranch_.size()); }
    int Parameters() const { return Capacitors() + Crystals() + 2; }
    int CrystalParameter(int k) const { return Capacitors() + k; }  // k from 0
    int RmParameter() const { return Capacitors() + Crystals(); }
    int DelayParameter() const { return RmParameter() + 1; }
    // Rows of the residual: the real and imaginary parts of each measured parameter at each
    // frequency.
    int Rows() const { return rows_; }
    bool Reflections() const { return !sweep_.s11.empty() || !sweep_.s22.empty(); }

    const std::vector<std::string>& CapacitorLabels() const { return capLabel_; }
    const std::vector<int>& CapacitorSlots() const { return capSlot_; }
    const std::vector<double>& CapacitorPF() const { return capPF_; }
    const std::vector<double>& CrystalHz() const { return fsHz_; }
    const std::vector<int>& CrystalPositions() const { return position_; }
    double MeanRmOhm() const;

    // The residual (model less measurement) at theta and, given `jacobian`, its derivatives
    // (Rows × Parameters).
    void Evaluate(const Eigen::VectorXd& theta, Eigen::VectorXd& residual,
                  Eigen::MatrixXd* jacobian);
    // The model's S21, S11 and S22 at theta, the delay included.
    void Responses(const Eigen::VectorXd& theta, std::vector<std::complex<double>>& s21,
                   std::vector<std::complex<double>>& s11, std::vector<std::complex<double>>& s22);
    // The element values at theta: every capacitor part its own (PartPF), each slot the value
    // of its first part.
    ElementValues ValuesAt(const Eigen::VectorXd& theta) const;

  private:
    void SetBranches(const Eigen::VectorXd& theta);

    DiagnosisSweep sweep_;
    std::vector<double> omegas_;
    int rows_ = 0;
    CircuitAnalysis circuit_;
    ElementValues values_;
    double portOhm_ = 0;
    std::vector<int> capBranch_;
    std::vector<std::string> capLabel_;
    std::vector<int> capSlot_;
    std::vector<double> capPF_;
    std::vector<int> cmBranch_, rmBranch_, position_;
    std::vector<double> fsHz_, lmH_, rmOhm_;
};

}  // namespace feldan
