#include "engine/crystal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "engine/bounded_fit.h"
#include "engine/number_text.h"

namespace feldan {

namespace {

using Complex = std::complex<double>;
constexpr double TwoPiTrue = 2 * std::numbers::pi;

// Linear interpolation of the frequency where `value` crosses `level` between points i and j.
double CrossingHz(std::span<const double> hz, std::span<const double> value, std::size_t i,
                  std::size_t j, double level) {
    const double a = value[i] - level;
    const double b = value[j] - level;
    if (a == b) return hz[i];
    return hz[i] + (hz[j] - hz[i]) * a / (a - b);
}

// The refinement works on θ = (fs offset in ppm of the start, ln Lm, ln Rm, ln C0): every value
// of θ is a physical crystal, and the steps are of one size in every direction.
CrystalModel ModelOf(const CrystalModel& start, const std::array<double, 4>& theta) {
    return CrystalFromSeriesResonance(
        start.fsHz * (1 + theta[0] * 1e-6), start.lmH * std::exp(theta[1]),
        start.rmOhm * std::exp(theta[2]), start.c0F * std::exp(theta[3]));
}

// Residuals: real and imaginary parts of model minus measurement at every point.
// What the refinement matches: the complex values, or only their magnitudes in dB (for a sweep
// whose phase the model cannot follow, such as one through an amplifier).
enum class Match { Complex, Decibels };

// Residuals of model minus measurement at every point: real and imaginary parts, or dB.
// In dB, points measured below `floor` count nothing: there the instrument's noise, not the
// crystal, sets the level.
void Residuals(const CrystalModel& model, std::span<const double> hz,
               std::span<const Complex> measured, SweepKind kind, double fixtureOhm, Match match,
               double floor, std::vector<double>& out) {
    out.resize(match == Match::Complex ? 2 * hz.size() : hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const Complex m = MeasuredOf(kind, fixtureOhm, model.Impedance(hz[i]));
        if (match == Match::Complex) {
            const Complex d = m - measured[i];
            out[2 * i] = d.real();
            out[2 * i + 1] = d.imag();
        } else {
            out[i] = std::abs(measured[i]) < floor
                         ? 0
                         : 20 * std::log10(std::abs(m) / std::abs(measured[i]));
            if (!std::isfinite(out[i])) out[i] = 0;
        }
    }
}

// Points further than this below the sweep's largest magnitude are left out of the dB residual:
// a NanoVNA's noise floor near −70 dB would otherwise make the parallel-resonance notch and the
// far skirts weigh more than the resonance the sweep is for.
constexpr double ResidualRangeDb = 30;

double NoiseFloorOf(std::span<const Complex> measured) {
    double largest = 0;
    for (const Complex& m : measured) {
        if (std::isfinite(std::abs(m))) largest = std::max(largest, std::abs(m));
    }
    return largest * std::pow(10.0, -ResidualRangeDb / 20);
}

double RmsErrorDb(const CrystalModel& model, std::span<const double> hz,
                  std::span<const Complex> measured, SweepKind kind, double fixtureOhm) {
    const double floor = NoiseFloorOf(measured);
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const double a = std::abs(MeasuredOf(kind, fixtureOhm, model.Impedance(hz[i])));
        const double b = std::abs(measured[i]);
        if (!(a > 0) || !(b > 0) || b < floor) continue;
        const double d = 20 * std::log10(a / b);
        sum += d * d;
        ++n;
    }
    return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n));
}

// The closed-form start, from the crystal's impedance as the sweep shows it.
bool EstimateStart(std::span<const double> hz, std::span<const Complex> measured, SweepKind kind,
                   double fixtureOhm, CrystalFit& fit, double& widthHz) {
    const std::size_t n = hz.size();
    if (n < 5) return false;
    // The peak is read in magnitudes, which an amplifier's phase does not disturb: |S21| of a
    // series-through sweep, |1/Z| of a one-port one.
    const bool through = kind == SweepKind::SeriesThrough;
    std::vector<Complex> z(n);
    std::vector<double> level(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Complex m = measured[i];
        z[i] = through ? 2 * fixtureOhm * (1.0 / m - 1.0) : fixtureOhm * (1.0 + m) / (1.0 - m);
        level[i] = through ? std::abs(m) : std::abs(1.0 / z[i]);
        if (!std::isfinite(level[i])) level[i] = 0;
    }
    // Series resonance: the peak, which must lie inside the sweep with both half-power points.
    const std::size_t peak =
        static_cast<std::size_t>(std::max_element(level.begin(), level.end()) - level.begin());
    const double half = level[peak] / std::sqrt(2.0);
    std::size_t lo = peak;
    while (lo > 0 && level[lo] > half)
        --lo;
    std::size_t hi = peak;
    while (hi + 1 < n && level[hi] > half)
        ++hi;
    if (level[lo] > half || level[hi] > half || peak == 0 || peak + 1 == n) return false;
    const double lowHz = CrossingHz(hz, level, lo, lo + 1, half);
    const double highHz = CrossingHz(hz, level, hi - 1, hi, half);
    widthHz = highHz - lowHz;
    if (!(widthHz > 0) || !(level[peak] > 0)) return false;
    // At the peak the motional arm is Rm alone; the half-power points lie where its reactance
    // equals the whole resistance of the loop: 2R + Rm in series, Rm alone across a port.
    const double rm =
        std::max(through ? 2 * fixtureOhm * (1 / level[peak] - 1) : 1 / level[peak], 1e-3);
    const double loopOhm = through ? 2 * fixtureOhm + rm : rm;
    const double fs = hz[peak];
    const double lm = loopOhm / (TwoPiTrue * widthHz);
    const double cm = 1 / (std::pow(TwoPiTrue * fs, 2) * lm);

    // C0: from the parallel resonance (the dip above fs) where the sweep holds it, else from the
    // admittance at the far end of the sweep less that of the motional arm.
    double c0 = 0;
    const std::size_t dip = static_cast<std::size_t>(
        std::min_element(level.begin() + static_cast<std::ptrdiff_t>(peak), level.end()) -
        level.begin());
    if (dip > hi && dip + 1 < n && level[dip] < level[dip + 1]) {
        c0 = cm * fs / (2 * (hz[dip] - fs));
        fit.c0FromParallelResonance = true;
    } else {
        const std::size_t far = fs - hz.front() > hz.back() - fs ? 0 : n - 1;
        const double w = TwoPiTrue * hz[far];
        const Complex arm(rm, w * lm - 1 / (w * cm));
        c0 = (1.0 / z[far] - 1.0 / arm).imag() / w;
    }
    // A C0 the data cannot show (noise at the far end) starts from a typical ratio.
    if (!(c0 > 0) || !std::isfinite(c0)) c0 = 250 * cm;
    fit.start = CrystalFromSeriesResonance(fs, lm, rm, c0);
    return true;
}

using Limits = std::array<double, 4>;

struct Refinement {
    CrystalModel model;
    double rmsErrorDb = 0;
    int iterations = 0;
    bool converged = false;
};

// Levenberg–Marquardt on θ from the start (θ = 0, the start itself), each parameter kept
// within ±limits.
Refinement Refine(const CrystalModel& start, std::span<const double> frequencyHz,
                  std::span<const Complex> measured, SweepKind kind, double fixtureOhm, Match match,
                  const Limits& limits) {
    const double floor = NoiseFloorOf(measured);
    const auto modelAt = [&](const std::vector<double>& theta) {
        if (std::all_of(theta.begin(), theta.end(), [](double t) { return t == 0; })) return start;
        return ModelOf(start, {theta[0], theta[1], theta[2], theta[3]});
    };
    const BoundedFit fit = FitWithinBounds(
        [&](const std::vector<double>& theta, std::vector<double>& out) {
            Residuals(modelAt(theta), frequencyHz, measured, kind, fixtureOhm, match, floor, out);
        },
        {limits.begin(), limits.end()}, {1e-4, 1e-7, 1e-7, 1e-7}, MaxFitIterations);
    Refinement result;
    result.iterations = fit.iterations;
    result.converged = fit.converged;
    result.model = modelAt(fit.theta);
    result.rmsErrorDb = RmsErrorDb(result.model, frequencyHz, measured, kind, fixtureOhm);
    return result;
}

}  // namespace

double CrystalModel::Q() const {
    return rmOhm > 0 ? TwoPiTrue * fsHz * lmH / rmOhm : 0;
}

Complex CrystalModel::Impedance(double hz) const {
    const double w = TwoPiTrue * hz;
    const Complex arm(rmOhm, w * lmH - 1 / (w * cmF));
    const Complex shunt(0, w * c0F);
    if (modes.empty()) return arm / (1.0 + arm * shunt);
    Complex admittance = 1.0 / arm + shunt;
    for (const CrystalMode& mode : modes)
        admittance += 1.0 / Complex(mode.rmOhm, w * mode.lmH - 1 / (w * mode.cmF));
    return 1.0 / admittance;
}

CrystalModel CrystalFromSeriesResonance(double fsHz, double lmH, double rmOhm, double c0F) {
    return {fsHz, lmH, 1 / (std::pow(TwoPiTrue * fsHz, 2) * lmH), rmOhm, c0F};
}

CrystalMode ModeFromSeriesResonance(double fsHz, double lmH, double rmOhm) {
    return {fsHz, lmH, 1 / (std::pow(TwoPiTrue * fsHz, 2) * lmH), rmOhm};
}

Complex MeasuredOf(SweepKind kind, double fixtureOhm, Complex z) {
    if (kind == SweepKind::SeriesThrough) return 2 * fixtureOhm / (2 * fixtureOhm + z);
    return (z - fixtureOhm) / (z + fixtureOhm);
}

CrystalFit FitCrystal(std::span<const double> frequencyHz, std::span<const Complex> measured,
                      SweepKind kind, double fixtureOhm) {
    CrystalFit fit;
    double widthHz = 0;
    if (frequencyHz.size() != measured.size() || !(fixtureOhm > 0) ||
        !EstimateStart(frequencyHz, measured, kind, fixtureOhm, fit, widthHz)) {
        fit.verdict = FitVerdict::NoResonance;
        return fit;
    }

    // The refinement stays near the start: fs between the half-power points of the measured
    // peak, the other values within a factor of a thousand. Data the model cannot describe would
    // otherwise lead it anywhere.
    const double halfPowerPpm = widthHz / fit.start.fsHz * 1e6;
    const Limits limits = {halfPowerPpm, std::log(1e3), std::log(1e3), std::log(1e3)};
    Refinement best =
        Refine(fit.start, frequencyHz, measured, kind, fixtureOhm, Match::Complex, limits);
    // Complex data the model cannot follow (the phase of an active board) cannot pull the fit to
    // the magnitudes it should match; then the magnitudes alone are matched.
    if (best.rmsErrorDb > PoorFitDb) {
        const Refinement magnitudes =
            Refine(fit.start, frequencyHz, measured, kind, fixtureOhm, Match::Decibels, limits);
        if (magnitudes.rmsErrorDb < best.rmsErrorDb) {
            best = magnitudes;
            fit.magnitudesOnly = true;
        }
    }
    fit.iterations = best.iterations;
    fit.model = best.model;
    fit.rmsErrorDb = best.rmsErrorDb;
    const bool converged = best.converged;
    if (!converged) {
        fit.verdict = FitVerdict::NotConverged;
    } else if (fit.rmsErrorDb > PoorFitDb) {
        fit.verdict = FitVerdict::PoorFit;
    } else {
        fit.verdict = FitVerdict::Fitted;
    }
    return fit;
}

double FitResidualDb(const CrystalModel& model, const CrystalSweep& sweep) {
    const std::size_t n = std::min(sweep.frequencyHz.size(), sweep.measured.size());
    return RmsErrorDb(model, std::span(sweep.frequencyHz).first(n),
                      std::span(sweep.measured).first(n), sweep.kind, sweep.fixtureOhm);
}

CrystalModel KeptModelOf(const CrystalFit& fit, const CrystalSweep& sweep) {
    CrystalModel model = fit.model;
    const std::size_t n = std::min(sweep.frequencyHz.size(), sweep.measured.size());
    if (fit.verdict != FitVerdict::NotConverged || sweep.kind != SweepKind::SeriesThrough || n < 3)
        return model;
    std::size_t peak = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (std::abs(sweep.measured[i]) > std::abs(sweep.measured[peak])) peak = i;
    const double halfPower = std::abs(sweep.measured[peak]) / std::sqrt(2.0);
    std::size_t low = peak, high = peak;
    while (low > 0 && std::abs(sweep.measured[low - 1]) >= halfPower)
        --low;
    while (high + 1 < n && std::abs(sweep.measured[high + 1]) >= halfPower)
        ++high;
    if (model.fsHz >= sweep.frequencyHz[low] && model.fsHz <= sweep.frequencyHz[high]) return model;
    model.fsHz = sweep.frequencyHz[peak];
    if (model.lmH > 0) model.cmF = 1 / (std::pow(2 * std::numbers::pi * model.fsHz, 2) * model.lmH);
    return model;
}

std::optional<Message> FitMessageOf(const CrystalFit& fit, const std::string& fileName) {
    switch (fit.verdict) {
        case FitVerdict::Fitted:
            if (fit.magnitudesOnly) return FileMessage(MessageId::FitMagnitudesOnly, {}, fileName);
            return std::nullopt;
        case FitVerdict::NoResonance:
            return FileMessage(MessageId::FitNoResonance, {}, fileName);
        case FitVerdict::NotConverged:
            return FileMessage(MessageId::FitNotConverged, std::to_string(fit.iterations),
                               fileName);
        case FitVerdict::PoorFit: {
            char buffer[32];
            const auto end = DoubleToChars(buffer, buffer + sizeof buffer, fit.rmsErrorDb,
                                           std::chars_format::general, 3)
                                 .ptr;
            return FileMessage(MessageId::FitPoor, std::string(buffer, end), fileName);
        }
    }
    return std::nullopt;
}

double G3uurMotionalCapacitance(double f0Hz, double f1Hz, double c1F, double c0F) {
    const double cm = 2 * (f1Hz - f0Hz) * (c0F + c1F) / f0Hz;
    return std::isfinite(cm) && cm > 0 ? cm : 0;
}

double G3uurMotionalCapacitance(double f0Hz, double f1Hz, double c1F, double f2Hz, double c2F) {
    const double cm = (c1F - c2F) / (f0Hz / (2 * (f1Hz - f0Hz)) - f0Hz / (2 * (f2Hz - f0Hz)));
    return std::isfinite(cm) && cm > 0 ? cm : 0;
}

double MotionalInductanceOf(double fsHz, double cmF) {
    return 1 / (std::pow(TwoPiTrue * fsHz, 2) * cmF);
}

double SeriesTrimFor(const CrystalModel& crystal, double targetHz) {
    const double shift = targetHz - crystal.fsHz;
    if (!(shift > 0)) return 0;
    return crystal.fsHz * crystal.cmF / (2 * shift) - crystal.c0F;
}

std::vector<std::size_t> PickBestSet(std::span<const CrystalModel> crystals, std::size_t count) {
    if (count == 0 || crystals.size() < count) return {};
    std::vector<std::size_t> order(crystals.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return crystals[a].fsHz < crystals[b].fsHz;
    });
    // The best set is a run of neighbours in fs: slide a window of `count` over the sorted bag.
    std::size_t best = 0;
    double bestSpread = 0;
    double bestRm = 0;
    for (std::size_t start = 0; start + count <= order.size(); ++start) {
        const double spread = crystals[order[start + count - 1]].fsHz - crystals[order[start]].fsHz;
        double largestRm = 0;
        for (std::size_t k = start; k < start + count; ++k)
            largestRm = std::max(largestRm, crystals[order[k]].rmOhm);
        if (start == 0 || spread < bestSpread || (spread == bestSpread && largestRm < bestRm)) {
            best = start;
            bestSpread = spread;
            bestRm = largestRm;
        }
    }
    return {order.begin() + static_cast<std::ptrdiff_t>(best),
            order.begin() + static_cast<std::ptrdiff_t>(best + count)};
}

}  // namespace feldan
