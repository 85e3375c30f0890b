#include "engine/diagnosis.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "circuit/analysis.h"
#include "engine/diagnosis_advice.h"
#include "engine/diagnosis_model.h"
#include "engine/diagnosis_reading.h"
#include "engine/number_text.h"
#include "engine/tuning.h"

namespace feldan {

namespace {

using diagnosis_advice::AdviseOn;
using diagnosis_advice::BandOfBuilt;
using diagnosis_advice::FitEnds;
using diagnosis_reading::Fitted;
using diagnosis_reading::MirrorOf;
using diagnosis_reading::ParallelPairsOf;
using diagnosis_reading::ReadingOf;
using diagnosis_reading::SymmetricDesign;
using diagnosis_reading::SymmetricFit;
using diagnosis_reading::WeakGroupsOf;
using CDouble = std::complex<double>;
using Eigen::MatrixXd;
using Eigen::VectorXd;

constexpr int MaxEvaluations = 300;
// How far from the design a part is believed to be before the sweep says otherwise: a capacitor
// within 10 %, a crystal within 100 Hz. The belief only settles what the sweep leaves open (the
// combinations of a group); where the sweep speaks it outweighs it by orders of magnitude.
constexpr double PriorCapacitorLog = 0.10;
constexpr double PriorCrystalHz = 100;

// The fit through Eigen's Levenberg–Marquardt (MINPACK's trust region on a QR of the Jacobian):
// the free parameters of `free` move, the others stay at `base`. Parameters with a weight in
// `prior` are also drawn towards the design (θ = 0) by a row of their own, w·θ.
struct FitFunctor : Eigen::DenseFunctor<double> {
    FitFunctor(DiagnosisModel& model, const VectorXd& base, const std::vector<int>& free,
               const VectorXd& prior, const std::atomic<bool>* cancel)
        : Eigen::DenseFunctor<double>(static_cast<int>(free.size()),
                                      model.Rows() + PriorRows(prior, free)),
          model_(model),
          base_(base),
          free_(free),
          prior_(prior),
          cancel_(cancel) {}

    static int PriorRows(const VectorXd& prior, const std::vector<int>& free) {
        int rows = 0;
        for (int p : free)
            rows += prior.size() > 0 && prior[p] > 0;
        return rows;
    }
    VectorXd Full(const VectorXd& x) const {
        VectorXd theta = base_;
        for (std::size_t k = 0; k < free_.size(); ++k)
            theta[free_[k]] = x[static_cast<Eigen::Index>(k)];
        return theta;
    }
    void Compute(const VectorXd& x) {
        const VectorXd theta = Full(x);
        model_.Evaluate(theta, residual_, &jacobian_);
        lastX_ = x;
    }
    void Fill(const VectorXd& x, VectorXd* fvec, MatrixXd* fjac) const {
        const Eigen::Index rows = model_.Rows();
        if (fvec) fvec->head(rows) = residual_;
        if (fjac) {
            fjac->setZero();
            for (std::size_t k = 0; k < free_.size(); ++k)
                fjac->col(static_cast<Eigen::Index>(k)).head(rows) = jacobian_.col(free_[k]);
        }
        Eigen::Index row = rows;
        for (std::size_t k = 0; k < free_.size(); ++k) {
            const int p = free_[k];
            if (!(prior_.size() > 0 && prior_[p] > 0)) continue;
            if (fvec) (*fvec)[row] = prior_[p] * x[static_cast<Eigen::Index>(k)];
            if (fjac) (*fjac)(row, static_cast<Eigen::Index>(k)) = prior_[p];
            ++row;
        }
    }
    int operator()(const VectorXd& x, VectorXd& fvec) {
        if (cancel_ && cancel_->load()) return -1;
        Compute(x);
        Fill(x, &fvec, nullptr);
        return 0;
    }
    int df(const VectorXd& x, MatrixXd& fjac) {
        if (cancel_ && cancel_->load()) return -1;
        if (lastX_.size() != x.size() || lastX_ != x) Compute(x);
        Fill(x, nullptr, &fjac);
        return 0;
    }

    DiagnosisModel& model_;
    VectorXd base_;
    std::vector<int> free_;
    VectorXd prior_;
    const std::atomic<bool>* cancel_;
    VectorXd lastX_;
    VectorXd residual_;
    MatrixXd jacobian_;
};

struct FitRun {
    VectorXd theta;
    double cost = 0;  // the sum of squared residuals of the measurement (no prior)
    int iterations = 0;
    bool converged = false;
    bool cancelled = false;
};

// One run of the fit from `start`, the parameters of `free` moving; `step` is called after each
// step with the iterations taken.
FitRun RunFit(DiagnosisModel& model, const VectorXd& start, const std::vector<int>& free,
              const VectorXd& prior, const std::atomic<bool>* cancel,
              const std::function<void(int)>& step) {
    FitFunctor functor(model, start, free, prior, cancel);
    Eigen::LevenbergMarquardt<FitFunctor> lm(functor);
    lm.setMaxfev(MaxEvaluations);
    lm.setXtol(1e-8);
    lm.setFtol(1e-5);
    VectorXd x(static_cast<Eigen::Index>(free.size()));
    for (std::size_t k = 0; k < free.size(); ++k)
        x[static_cast<Eigen::Index>(k)] = start[free[k]];
    using namespace Eigen::LevenbergMarquardtSpace;
    Status status = lm.minimizeInit(x);
    while (status == NotStarted || status == Running) {
        status = lm.minimizeOneStep(x);
        if (step) step(static_cast<int>(lm.iterations()));
    }
    FitRun run;
    run.theta = functor.Full(x);
    run.iterations = static_cast<int>(lm.iterations());
    run.cancelled = status == UserAsked;
    run.converged = status == RelativeReductionTooSmall || status == RelativeErrorTooSmall ||
                    status == RelativeErrorAndReductionTooSmall || status == CosinusTooSmall ||
                    status == FtolTooSmall || status == XtolTooSmall || status == GtolTooSmall;
    VectorXd fvec;
    model.Evaluate(run.theta, fvec, nullptr);
    run.cost = fvec.squaredNorm();
    return run;
}

std::vector<int> FreeParameters(const DiagnosisModel& model) {
    std::vector<int> free;
    for (int p = 0; p < model.Parameters(); ++p) {
        if (p != model.DelayParameter() || model.Reflections()) free.push_back(p);
    }
    return free;
}

double RmsDb(double cost, int rows) {
    // Two rows make one complex point.
    return 10 * std::log10(std::max(cost / (rows / 2), 1e-300));
}

// The sweep with at most DiagnosisMaxPoints of its points, evenly taken, and the reflections
// that hold nothing but zeros left out.
DiagnosisSweep ThinnedSweep(const DiagnosisSweep& sweep) {
    const auto allZero = [](const std::vector<CDouble>& s) {
        return std::all_of(s.begin(), s.end(), [](CDouble x) { return x == CDouble{}; });
    };
    DiagnosisSweep thin;
    thin.portOhm = sweep.portOhm;
    const std::size_t n = sweep.hz.size();
    const bool s11 = sweep.s11.size() == n && !allZero(sweep.s11);
    const bool s22 = sweep.s22.size() == n && !allZero(sweep.s22);
    const std::size_t count = std::min<std::size_t>(n, DiagnosisMaxPoints);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = count > 1 ? k * (n - 1) / (count - 1) : 0;
        thin.hz.push_back(sweep.hz[i]);
        thin.s21.push_back(sweep.s21[i]);
        if (s11) thin.s11.push_back(sweep.s11[i]);
        if (s22) thin.s22.push_back(sweep.s22[i]);
    }
    return thin;
}

// The parameters' covariance at the fit: the sweep's information (the Jacobian, scaled by the
// residual's variance) with the design's belief added (the rows of `prior`, as the settling run
// has them), so a direction the sweep cannot see is as uncertain as the belief and no more. The
// parameters not in `free` are held: they vary by nothing.
MatrixXd CovarianceOf(const MatrixXd& full, double cost, const std::vector<int>& free,
                      const VectorXd& prior) {
    const auto n = static_cast<Eigen::Index>(free.size());
    const Eigen::Index m = full.rows();
    MatrixXd jacobian = MatrixXd::Zero(m + n, n);
    for (Eigen::Index k = 0; k < n; ++k) {
        const int p = free[static_cast<std::size_t>(k)];
        jacobian.col(k).head(m) = full.col(p);
        jacobian(m + k, k) = prior.size() > 0 ? prior[p] : 0;
    }
    VectorXd scale(n);
    for (Eigen::Index j = 0; j < n; ++j) {
        const double norm = jacobian.col(j).norm();
        scale[j] = norm > 0 ? norm : 1;
    }
    const MatrixXd normalised = jacobian * scale.cwiseInverse().asDiagonal();
    const Eigen::BDCSVD<MatrixXd> svd(normalised, Eigen::ComputeThinV);
    const VectorXd& sigma = svd.singularValues();
    VectorXd inverse(n);
    for (Eigen::Index k = 0; k < n; ++k)
        inverse[k] = sigma[k] > sigma[0] * 1e-14 ? 1 / (sigma[k] * sigma[k]) : 1e30;
    const double variance = cost / std::max<double>(1, static_cast<double>(m - n));
    const MatrixXd& v = svd.matrixV();
    const MatrixXd reduced = scale.cwiseInverse().asDiagonal() * v * inverse.asDiagonal() *
                             v.transpose() * scale.cwiseInverse().asDiagonal() * variance;
    MatrixXd covariance = MatrixXd::Zero(full.cols(), full.cols());
    for (Eigen::Index a = 0; a < n; ++a) {
        for (Eigen::Index b = 0; b < n; ++b)
            covariance(free[static_cast<std::size_t>(a)], free[static_cast<std::size_t>(b)]) =
                reduced(a, b);
    }
    return covariance;
}

// Starts about the design for a sweep of S21 alone: capacitors within ±8 %, crystals within
// ±40 Hz, spread by the golden ratio (the same starts on every machine).
constexpr int ScatteredStarts = 6;
VectorXd ScatteredStart(const DiagnosisModel& model, int k) {
    VectorXd start = VectorXd::Zero(model.Parameters());
    const double golden = 0.6180339887498949;
    for (int p = 0; p < model.Capacitors() + model.Crystals(); ++p) {
        const double u = 2 * std::fmod(k * golden + p * 0.4142135623730950, 1.0) - 1;
        start[p] = p < model.Capacitors() ? 0.08 * u : 40 * u;
    }
    return start;
}

}  // namespace

Diagnosis DiagnoseFilter(const BuiltDesign& built, const DiagnosisSweep& measured,
                         const std::function<void(double)>& progress,
                         const std::atomic<bool>* cancel, ESeries series) {
    Diagnosis d;
    d.portOhm = measured.portOhm;
    const std::size_t n = measured.hz.size();
    const std::optional<PassBand> band = BandOfBuilt(built);
    if (!band) {
        d.message = Message{MessageId::BandUnknown, ""};
        return d;
    }
    std::size_t inBand = 0;
    for (double hz : measured.hz)
        inBand += hz >= band->lowerHz && hz <= band->upperHz;
    if (measured.s21.size() != n || inBand < 5) {
        d.message = Message{MessageId::DiagnosisNoBand,
                            GeneralText(band->lowerHz, 9) + "–" + GeneralText(band->upperHz, 9)};
        return d;
    }
    const DiagnosisSweep sweep = ThinnedSweep(measured);
    auto model = std::make_unique<DiagnosisModel>(built, sweep);
    const int parameters = model->Parameters();
    const VectorXd design = VectorXd::Zero(parameters);
    VectorXd residual;
    model->Evaluate(design, residual, nullptr);
    d.designResidualDb = RmsDb(residual.squaredNorm(), model->Rows());

    // The starts: the design with everything free; the crystals, Rm and the delay first, then
    // everything; and, where reflections tell a filter from its mirror image, the mirror of the
    // best so far. Then from the best, the settling run with the design's belief added.
    const int runs = model->Reflections() ? 4 : 3 + ScatteredStarts;
    int run = 0;
    const auto step = [&](int iteration) {
        if (progress) progress((run + std::min(1.0, iteration / 40.0)) / runs);
    };
    const std::vector<int> free = FreeParameters(*model);
    const VectorXd none;
    std::vector<FitRun> done;
    const auto cancelled = [&] {
        return std::any_of(done.begin(), done.end(), [](const FitRun& r) { return r.cancelled; });
    };
    const auto best = [&] {
        return *std::min_element(done.begin(), done.end(),
                                 [](const FitRun& a, const FitRun& b) { return a.cost < b.cost; });
    };
    done.push_back(RunFit(*model, design, free, none, cancel, step));
    ++run;
    if (!cancelled()) {
        std::vector<int> crystals;
        for (int k = 0; k < model->Crystals(); ++k)
            crystals.push_back(model->CrystalParameter(k));
        crystals.push_back(model->RmParameter());
        if (model->Reflections()) crystals.push_back(model->DelayParameter());
        const FitRun first = RunFit(*model, design, crystals, none, cancel, step);
        done.push_back(first.cancelled ? first
                                       : RunFit(*model, first.theta, free, none, cancel, step));
        done.back().iterations += first.iterations;
        ++run;
    }
    // Without a reflection S21 has more than one filter in it (each zero of S11 may lie on
    // either side): starts scattered about the design look for the one that fits best.
    for (int k = 1; k <= ScatteredStarts && !model->Reflections() && !cancelled(); ++k) {
        done.push_back(RunFit(*model, ScatteredStart(*model, k), free, none, cancel, step));
        ++run;
    }
    if (model->Reflections() && !cancelled()) {
        const FitRun found = best();
        VectorXd mirrored = found.theta;
        for (int p = 0; p < parameters; ++p)
            mirrored[MirrorOf(*model, p)] = found.theta[p];
        done.push_back(RunFit(*model, mirrored, free, none, cancel, step));
        ++run;
    }
    if (cancelled()) {
        d.verdict = DiagnosisVerdict::Cancelled;
        return d;
    }
    const FitRun unsettled = best();
    VectorXd prior = VectorXd::Zero(parameters);
    {
        const int dof = std::max(1, model->Rows() - static_cast<int>(free.size()));
        const double noise = std::sqrt(unsettled.cost / dof);
        for (int k = 0; k < model->Capacitors(); ++k)
            prior[k] = noise / PriorCapacitorLog;
        for (int k = 0; k < model->Crystals(); ++k)
            prior[model->CrystalParameter(k)] = noise / PriorCrystalHz;
        FitRun settled = RunFit(*model, unsettled.theta, free, prior, cancel, step);
        if (settled.cancelled) {
            d.verdict = DiagnosisVerdict::Cancelled;
            return d;
        }
        done.push_back(settled);
    }
    FitRun found = done.back();
    // Of two crystals that can be swapped, the first takes the lower resonance: one reading.
    for (const auto& [a, b] : ParallelPairsOf(*model, built)) {
        const int pa = model->CrystalParameter(a), pb = model->CrystalParameter(b);
        if (found.theta[pa] > found.theta[pb]) std::swap(found.theta[pa], found.theta[pb]);
        d.parallelPairs.emplace_back(model->CrystalPositions()[static_cast<std::size_t>(a)],
                                     model->CrystalPositions()[static_cast<std::size_t>(b)]);
    }
    d.iterations = 0;
    for (const FitRun& r : done)
        d.iterations += r.iterations;
    d.residualDb = RmsDb(found.cost, model->Rows());
    if (!unsettled.converged || !found.converged || !(d.residualDb <= DiagnosisPoorDb)) {
        d.verdict = DiagnosisVerdict::NotConverged;
        d.message = Message{MessageId::DiagnosisNotConverged, GeneralText(d.residualDb, 3)};
        return d;
    }
    MatrixXd jacobian;
    model->Evaluate(found.theta, residual, &jacobian);
    const Fitted fit{found.theta, CovarianceOf(jacobian, residual.squaredNorm(), free, prior)};
    d.verdict = DiagnosisVerdict::Fitted;
    d.reading = ReadingOf(*model, fit, false, d.parallelPairs);
    if (!model->Reflections() && SymmetricDesign(*model, built) && !SymmetricFit(*model, fit)) {
        d.ambiguous = true;
        d.mirrored = ReadingOf(*model, fit, true, d.parallelPairs);
    }
    d.weakGroups = WeakGroupsOf(*model, fit);
    d.designRmOhm = model->MeanRmOhm();
    const int rm = model->RmParameter();
    d.rmOhm = d.designRmOhm * std::exp(found.theta[rm]);
    d.rmBoundPct = 100 * std::sqrt(std::max(0.0, fit.covariance(rm, rm)));
    d.delaySec = found.theta[model->DelayParameter()] * 1e-9;
    d.fittedValues = model->ValuesAt(found.theta);
    double qDesign = 0, qFitted = 0;
    for (int k = 0; k < model->Crystals(); ++k) {
        const Resonator& c =
            built.values.Crystal[static_cast<std::size_t>(model->CrystalPositions()[k])];
        const Resonator& f =
            d.fittedValues.Crystal[static_cast<std::size_t>(model->CrystalPositions()[k])];
        qDesign += std::sqrt(c.LmH / c.CmF) / c.RmOhm;
        qFitted += std::sqrt(f.LmH / f.CmF) / f.RmOhm;
    }
    d.designQu = qDesign / std::max(1, model->Crystals());
    d.qu = qFitted / std::max(1, model->Crystals());
    FitEnds(built, d);
    AdviseOn(built, d, series);
    if (progress) progress(1);
    return d;
}

std::vector<CDouble> SchematicS21(const BuiltDesign& built, const ElementValues& values,
                                  double portOhm, const std::vector<double>& hz) {
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildSchematicCircuit(*circuit, built.design.synthesis.Circuit, values, portOhm, portOhm);
    std::vector<double> omegas;
    for (double f : hz)
        omegas.push_back(TwoPi * f);
    std::vector<TwoPortPoint> points(omegas.size());
    circuit->SweepTwoPort(omegas, points);
    std::vector<CDouble> s21;
    for (const TwoPortPoint& p : points)
        s21.push_back(p.ok ? p.s21 : CDouble{});
    return s21;
}

std::vector<CDouble> FittedResponse(const BuiltDesign& built, const Diagnosis& diagnosis,
                                    const std::vector<double>& hz) {
    return SchematicS21(built, diagnosis.fittedValues, diagnosis.portOhm, hz);
}

std::vector<TunedPart> TuningOfDiagnosis(const Diagnosis& d, const std::vector<TunedPart>& tuning,
                                         bool mirrored) {
    if (d.verdict != DiagnosisVerdict::Fitted) return {};
    const DiagnosisReading& reading = mirrored && d.mirrored ? *d.mirrored : d.reading;
    std::vector<TunedPart> fitted;
    for (const FittedCapacitor& c : reading.capacitors)
        fitted.push_back({c.label, c.fittedPF});
    for (std::size_t k = 0; k < reading.crystals.size(); ++k) {
        const int position = reading.crystals[k].position;
        const Resonator& r = d.fittedValues.Crystal[static_cast<std::size_t>(position)];
        const double inForce =
            1 / (TwoPi * std::sqrt(r.LmH * r.CmF)) - d.reading.crystals[k].offsetHz;
        fitted.push_back({"ZQ" + std::to_string(position), inForce + reading.crystals[k].offsetHz});
    }
    fitted.push_back({MotionalResistanceLabel, d.rmOhm});
    std::vector<TunedPart> result;
    for (const TunedPart& old : tuning) {
        const bool replaced = std::any_of(fitted.begin(), fitted.end(),
                                          [&](const TunedPart& f) { return f.label == old.label; });
        if (!replaced) result.push_back(old);
    }
    result.insert(result.end(), fitted.begin(), fitted.end());
    return result;
}

}  // namespace feldan
