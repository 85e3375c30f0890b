#include "engine/crystal_modes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

#include "engine/bounded_fit.h"

namespace feldan {

namespace {

using Complex = std::complex<double>;  // not the circuit layer's Complex
constexpr double TwoPiTrue = 2 * std::numbers::pi;

// A peak of the leftover conductance must stand this far above its noise to be a mode.
constexpr double PeakOverNoise = 12;
// A mode's half-power band must hold at least this many points to be resolved.
constexpr int PointsAcrossMode = 3;
// The refinement keeps each value of a mode within this factor of its estimate; a value that
// ends within 2 % of such a limit is one the data did not decide.
constexpr double ModeFactor = 10;
constexpr double AtLimit = 0.98;

// The crystal's impedance from a measured point: the fixture taken out.
Complex ImpedanceOf(SweepKind kind, double fixtureOhm, Complex m) {
    if (kind == SweepKind::SeriesThrough) return 2 * fixtureOhm * (1.0 / m - 1.0);
    return fixtureOhm * (1.0 + m) / (1.0 - m);
}

// The parameters the refinement moves: the main mode's (fs in ppm, ln Lm, ln Rm, ln C0), then
// each mode's (fs in ppm of its width, ln Lm, ln Rm), all 0 at the start.
struct Start {
    CrystalModel model;
    std::vector<double> limits;
    std::vector<double> steps;
};

CrystalModel ModelAt(const Start& start, const std::vector<double>& theta) {
    const CrystalModel& s = start.model;
    CrystalModel m =
        CrystalFromSeriesResonance(s.fsHz * (1 + theta[0] * 1e-6), s.lmH * std::exp(theta[1]),
                                   s.rmOhm * std::exp(theta[2]), s.c0F * std::exp(theta[3]));
    for (std::size_t k = 0; k < s.modes.size(); ++k) {
        const CrystalMode& mode = s.modes[k];
        const double* t = &theta[4 + 3 * k];
        m.modes.push_back(ModeFromSeriesResonance(
            mode.fsHz * (1 + t[0] * 1e-6), mode.lmH * std::exp(t[1]), mode.rmOhm * std::exp(t[2])));
    }
    return m;
}

void Residuals(const CrystalModel& model, std::span<const double> hz,
               std::span<const Complex> measured, SweepKind kind, double fixtureOhm,
               std::vector<double>& out) {
    out.resize(2 * hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const Complex d = MeasuredOf(kind, fixtureOhm, model.Impedance(hz[i])) - measured[i];
        out[2 * i] = d.real();
        out[2 * i + 1] = d.imag();
    }
}

// Levenberg–Marquardt on the complex data, each parameter within ±its limit.
BoundedFit Refine(const Start& start, std::span<const double> hz, std::span<const Complex> measured,
                  SweepKind kind, double fixtureOhm) {
    return FitWithinBounds(
        [&](const std::vector<double>& theta, std::vector<double>& out) {
            Residuals(ModelAt(start, theta), hz, measured, kind, fixtureOhm, out);
        },
        start.limits, start.steps, MaxFitIterations);
}

// The start of a refinement from a model: limits and steps of the main mode as FitCrystal
// keeps them, and of every mode about its estimate.
Start StartOf(const CrystalModel& model, double mainWidthHz) {
    Start start{model,
                {mainWidthHz / model.fsHz * 1e6, std::log(1e3), std::log(1e3), std::log(1e3)},
                {1e-4, 1e-7, 1e-7, 1e-7}};
    for (const CrystalMode& mode : model.modes) {
        const double widthPpm = mode.rmOhm / (TwoPiTrue * mode.lmH) / mode.fsHz * 1e6;
        start.limits.insert(start.limits.end(),
                            {2 * widthPpm, std::log(ModeFactor), std::log(ModeFactor)});
        start.steps.insert(start.steps.end(), {1e-4, 1e-7, 1e-7});
    }
    return start;
}

// The largest peak of the conductance the model leaves unexplained, away from the resonances
// the model already has, as a mode's estimate; false when there is none the data resolve.
bool NextMode(const CrystalModel& model, std::span<const double> hz,
              std::span<const Complex> measured, SweepKind kind, double fixtureOhm, double loopOhm,
              CrystalMode& found) {
    const std::size_t n = hz.size();
    std::vector<double> g(n);
    std::vector<bool> open(n, true);
    for (std::size_t i = 0; i < n; ++i) {
        g[i] = (1.0 / ImpedanceOf(kind, fixtureOhm, measured[i]) - 1.0 / model.Impedance(hz[i]))
                   .real();
        if (!std::isfinite(g[i])) g[i] = 0, open[i] = false;
        // Near a resonance of the model a small misfit leaves a large conductance: five of its
        // loaded half-power widths either side are not searched.
        const auto near = [&](double fs, double lm, double rm) {
            return std::fabs(hz[i] - fs) < 5 * (rm + loopOhm) / (TwoPiTrue * lm);
        };
        if (near(model.fsHz, model.lmH, model.rmOhm)) open[i] = false;
        for (const CrystalMode& m : model.modes)
            if (near(m.fsHz, m.lmH, m.rmOhm)) open[i] = false;
    }
    std::vector<double> magnitudes;
    std::size_t peak = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (!open[i]) continue;
        magnitudes.push_back(std::fabs(g[i]));
        if (peak == n || g[i] > g[peak]) peak = i;
    }
    if (peak == n || magnitudes.size() < 2 * PointsAcrossMode) return false;
    std::nth_element(magnitudes.begin(), magnitudes.begin() + magnitudes.size() / 2,
                     magnitudes.end());
    const double noise = 1.4826 * magnitudes[magnitudes.size() / 2];
    if (!(g[peak] > PeakOverNoise * noise)) return false;
    // Its half-power points, both inside the sweep and the open stretch about the peak.
    const double half = g[peak] / 2;
    std::size_t lo = peak, hi = peak;
    while (lo > 0 && open[lo - 1] && g[lo] > half)
        --lo;
    while (hi + 1 < n && open[hi + 1] && g[hi] > half)
        ++hi;
    if (g[lo] > half || g[hi] > half || hi - lo < std::size_t{PointsAcrossMode}) return false;
    const auto crossing = [&](std::size_t a, std::size_t b) {
        return hz[a] + (hz[b] - hz[a]) * (g[a] - half) / (g[a] - g[b]);
    };
    const double widthHz = crossing(hi, hi - 1) - crossing(lo, lo + 1);
    // The conductance of a series arm peaks at 1/R, half of it where its reactance is ±R: a
    // full width of R/(2π·L).
    const double rm = 1 / g[peak];
    found = ModeFromSeriesResonance(hz[peak], rm / (TwoPiTrue * widthHz), rm);
    return widthHz > 0 && std::isfinite(found.lmH);
}

bool AtALimit(const Start& start, const std::vector<double>& theta, std::size_t mode) {
    for (std::size_t p = 4 + 3 * mode; p < 7 + 3 * mode; ++p)
        if (std::fabs(theta[p]) >= AtLimit * start.limits[p]) return true;
    return false;
}

// The stretch of the sweep about its main resonance, eight half-power widths of its peak either
// side: there the main mode alone describes the data, and FitCrystal can start the fit.
std::pair<std::size_t, std::size_t> MainStretch(std::span<const double> hz,
                                                std::span<const Complex> measured, SweepKind kind,
                                                double fixtureOhm) {
    const std::size_t n = hz.size();
    std::vector<double> level(n);
    for (std::size_t i = 0; i < n; ++i) {
        level[i] = std::abs(1.0 / ImpedanceOf(kind, fixtureOhm, measured[i]));
        if (!std::isfinite(level[i])) level[i] = 0;
    }
    const std::size_t peak =
        static_cast<std::size_t>(std::max_element(level.begin(), level.end()) - level.begin());
    std::size_t lo = peak, hi = peak;
    while (lo > 0 && level[lo] > level[peak] / std::sqrt(2.0))
        --lo;
    while (hi + 1 < n && level[hi] > level[peak] / std::sqrt(2.0))
        ++hi;
    const double reachHz = 8 * (hz[hi] - hz[lo]);
    std::size_t from = peak, to = peak;
    while (from > 0 && hz[peak] - hz[from - 1] <= reachHz)
        --from;
    while (to + 1 < n && hz[to + 1] - hz[peak] <= reachHz)
        ++to;
    if (to - from < 20) return {0, n};
    return {from, to + 1};
}

}  // namespace

CrystalFit FitCrystalWithModes(std::span<const double> frequencyHz,
                               std::span<const std::complex<double>> measured, SweepKind kind,
                               double fixtureOhm, int modes) {
    CrystalFit whole = FitCrystal(frequencyHz, measured, kind, fixtureOhm);
    whole.modesSought = std::clamp(modes, 0, MaxUnwantedModes);
    if (whole.verdict == FitVerdict::NoResonance || whole.modesSought == 0 ||
        frequencyHz.size() != measured.size())
        return whole;
    // Over a sweep wide enough to hold modes, the main mode alone cannot describe the data: it
    // is fitted about its own resonance, and refined over the whole sweep with the modes.
    const auto [from, to] = MainStretch(frequencyHz, measured, kind, fixtureOhm);
    CrystalFit fit = FitCrystal(frequencyHz.subspan(from, to - from),
                                measured.subspan(from, to - from), kind, fixtureOhm);
    fit.modesSought = whole.modesSought;
    if (fit.verdict == FitVerdict::NoResonance) return whole;
    const double loopOhm = kind == SweepKind::SeriesThrough ? 2 * fixtureOhm : fixtureOhm;
    const double mainWidthHz = (fit.model.rmOhm + loopOhm) / (TwoPiTrue * fit.model.lmH);
    CrystalModel model = fit.model;
    BoundedFit last;
    bool refined = false;
    for (int k = 0; k < fit.modesSought; ++k) {
        CrystalMode mode;
        if (!NextMode(model, frequencyHz, measured, kind, fixtureOhm, loopOhm, mode)) break;
        CrystalModel candidate = model;
        candidate.modes.push_back(mode);
        const Start start = StartOf(candidate, mainWidthHz);
        const BoundedFit r = Refine(start, frequencyHz, measured, kind, fixtureOhm);
        // A mode the refinement runs into a limit is not one the data show.
        bool limited = false;
        for (std::size_t m = 0; m < candidate.modes.size(); ++m)
            limited = limited || AtALimit(start, r.theta, m);
        if (limited) break;
        model = ModelAt(start, r.theta);
        last = r;
        refined = true;
    }
    // Without a mode, the whole sweep's fit where it describes the data; else (a mode's skirt at
    // the sweep's end, say) the main mode's own.
    if (!refined) return whole.verdict == FitVerdict::Fitted ? whole : fit;
    std::sort(model.modes.begin(), model.modes.end(),
              [](const CrystalMode& a, const CrystalMode& b) { return a.fsHz < b.fsHz; });
    fit.model = model;
    fit.magnitudesOnly = false;  // the modes were refined on the complex data
    fit.iterations += last.iterations;
    CrystalSweep sweep{kind,
                       fixtureOhm,
                       {frequencyHz.begin(), frequencyHz.end()},
                       {measured.begin(), measured.end()}};
    fit.rmsErrorDb = FitResidualDb(model, sweep);
    fit.verdict = !last.converged              ? FitVerdict::NotConverged
                  : fit.rmsErrorDb > PoorFitDb ? FitVerdict::PoorFit
                                               : FitVerdict::Fitted;
    return fit;
}

std::vector<UnwantedResponse> UnwantedResponsesOf(DesignedFilter& filter) {
    std::vector<UnwantedResponse> responses;
    const std::optional<PassBand> band = BandOf(filter.design);
    if (!band || !filter.analysis) return responses;
    const double dfHz = filter.design.input.DfHz;
    // Each mode's band lies as far above the modes' series resonances as the pass band lies
    // above the crystals' own: the meshes pull both alike. One span per mode number, reaching
    // from its lowest crystal to its highest.
    const int crystals = DescriptorOf(filter.design.synthesis.Circuit).crystalCount;
    const auto fsOf = [](double l, double c) { return 1 / (TwoPiTrue * std::sqrt(l * c)); };
    double meanFs = 0;
    for (int p = 1; p <= crystals; ++p)
        meanFs += fsOf(filter.values.Crystal[p].LmH, filter.values.Crystal[p].CmF) / crystals;
    const double pull = band->CentreHz() - meanFs;
    std::vector<std::pair<double, double>> spans;
    for (int k = 0; k < MaxBranchArms; ++k) {
        double low = 0, high = 0;
        for (int p = 1; p <= crystals; ++p) {
            const Resonator& r = filter.values.Crystal[p];
            if (k >= r.ModeCount) continue;
            const double fs = fsOf(r.Modes[k].L, r.Modes[k].C) + pull;
            low = low == 0 ? fs : std::min(low, fs);
            high = std::max(high, fs);
        }
        if (high == 0) continue;
        spans.push_back({low - 3 * dfHz, high + 3 * dfHz});
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<double, double>> merged;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, span.second);
        } else {
            merged.push_back(span);
        }
    }
    const double foHz = filter.design.input.FoKHz * 1000;
    const auto peakOf = [&](double fromHz, double toHz, int points) {
        SweepRequest request;
        request.circuit = filter.circuit;
        request.fromDetuningHz = fromHz - foHz;
        request.toDetuningHz = toHz - foHz;
        request.points = points;
        const SweepResult sweep = SweepFilter(filter, request);
        std::size_t best = 0;
        for (std::size_t i = 1; i < sweep.points.size(); ++i)
            if (DecibelsOfS(sweep.points[i].s21) > DecibelsOfS(sweep.points[best].s21)) best = i;
        return std::tuple{sweep.points[best].hz, DecibelsOfS(sweep.points[best].s21),
                          best > 0 && best + 1 < sweep.points.size()};
    };
    const double mainDb = std::get<1>(peakOf(band->lowerHz, band->upperHz, 401));
    for (const auto& [fromHz, toHz] : merged) {
        // A span that reaches into the pass band's own skirts is the pass band's.
        if (fromHz < band->upperHz + dfHz && toHz > band->lowerHz - dfHz) continue;
        const int points =
            static_cast<int>(std::clamp((toHz - fromHz) / (dfHz / 50), 101.0, 4001.0));
        const auto [hz, db, inside] = peakOf(fromHz, toHz, points);
        if (inside) responses.push_back({hz, hz - band->CentreHz(), db - mainDb});
    }
    return responses;
}

}  // namespace feldan
