#include "engine/transient.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/errors.h"
#include "engine/fft.h"
#include "engine/filter_figures.h"

namespace feldan {
namespace {

using CValue = std::complex<double>;  // the circuit layer has a Complex of its own

// The share of the record the figures look at: its end holds what the transform wraps round
// from before the start (the ringing of the spectrum's ends).
constexpr double ShownShare = 0.75;

std::size_t NextPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

// The modified Bessel function I0 of the Kaiser window. A library without the special math
// functions (the web build's) sums its series, whose terms ((x/2)^k / k!)^2 all add.
double BesselI0(double x) {
#if defined(__cpp_lib_math_special_functions)
    return std::cyl_bessel_i(0.0, x);
#else
    const double quarterSquare = x * x / 4;
    double term = 1;
    double sum = 1;
    for (int k = 1; k < 500 && term > sum * 1e-17; ++k) {
        term *= quarterSquare / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
#endif
}

double WindowAt(const WindowChoice& window, double position) {
    // position: −1 .. 1 across the span.
    switch (window.kind) {
        case TransientWindow::None:
            return 1;
        case TransientWindow::Hann:
            return 0.5 * (1 + std::cos(std::numbers::pi * position));
        case TransientWindow::Kaiser: {
            const double root = std::sqrt(std::max(0.0, 1 - position * position));
            return BesselI0(window.kaiserBeta * root) / BesselI0(window.kaiserBeta);
        }
    }
    return 1;
}

// The time where `values` first reaches `level`, between the samples either side.
std::optional<double> FirstReaching(const std::vector<double>& values, double level, double dt,
                                    std::size_t end) {
    for (std::size_t n = 0; n < end; ++n) {
        if (values[n] < level) continue;
        if (n == 0) return 0.0;
        const double a = values[n - 1], b = values[n];
        return dt * (double(n - 1) + (level - a) / (b - a));
    }
    return std::nullopt;
}

// The time after which `values` stays below `level`, between the samples either side.
std::optional<double> LastAbove(const std::vector<double>& values, double level, double dt,
                                std::size_t end) {
    for (std::size_t n = end; n-- > 0;) {
        if (values[n] < level) continue;
        if (n + 1 >= end) return std::nullopt;  // not settled within the record
        const double a = values[n], b = values[n + 1];
        return dt * (double(n) + (a - level) / (a - b));
    }
    return 0.0;
}

}  // namespace

EnvelopeResponse EnvelopeOf(const EnvelopeSpectrum& spectrum, WindowChoice window,
                            std::size_t minimumPoints) {
    const std::size_t count = spectrum.s21.size();
    if (count < 3 || count % 2 == 0 || !(spectrum.stepHz > 0))
        throw std::invalid_argument("a transient needs an odd number of points around the centre");
    const std::ptrdiff_t half = std::ptrdiff_t(count - 1) / 2;
    const CValue centre = spectrum.s21[std::size_t(half)];
    if (std::abs(centre) == 0)
        throw std::invalid_argument("the filter passes nothing at the centre of its band");
    // Twice the span in points at least, so the record's samples lie closer than the span's
    // Nyquist spacing and the curves are drawn smooth.
    const std::size_t n = NextPowerOfTwo(std::max(minimumPoints, 2 * count));
    std::vector<CValue> bins(n);
    for (std::ptrdiff_t k = -half; k <= half; ++k) {
        const double shape = WindowAt(window, double(k) / double(half + 1));
        bins[std::size_t((k + std::ptrdiff_t(n)) % std::ptrdiff_t(n))] =
            spectrum.s21[std::size_t(k + half)] / centre * shape;
    }
    FourierTransform(bins, true);

    EnvelopeResponse response;
    response.dtSec = 1 / (double(n) * spectrum.stepHz);
    response.impulse.resize(n);
    response.step.resize(n);
    CValue integral = 0;
    for (std::size_t i = 0; i < n; ++i) {
        response.impulse[i] = bins[i] * spectrum.stepHz;
        if (i > 0)
            integral += (response.impulse[i - 1] + response.impulse[i]) * (response.dtSec / 2);
        response.step[i] = integral;
    }
    return response;
}

TransientFigures StepFigures(const EnvelopeResponse& response) {
    TransientFigures figures;
    const std::size_t end = std::size_t(double(response.step.size()) * ShownShare);
    if (end < 2) return figures;
    std::vector<double> level(end), residual(end);
    for (std::size_t i = 0; i < end; ++i) {
        level[i] = std::abs(response.step[i]);
        residual[i] = std::abs(1.0 - response.step[i]);
    }
    const double dtMs = response.dtSec * 1000;
    figures.delayMs = FirstReaching(level, 0.5, dtMs, end);
    const std::optional<double> t10 = FirstReaching(level, 0.1, dtMs, end);
    const std::optional<double> t90 = FirstReaching(level, 0.9, dtMs, end);
    if (t10 && t90) figures.riseMs = *t90 - *t10;
    figures.overshootPct = std::max(0.0, (*std::max_element(level.begin(), level.end()) - 1) * 100);
    // After key-up of a settled carrier the output is 1 − step: it has fallen below −20 dB
    // (0.1) and −40 dB (0.01) of its keyed level when the residual stays below them.
    figures.decay20Ms = LastAbove(residual, 0.1, dtMs, end);
    figures.decay40Ms = LastAbove(residual, 0.01, dtMs, end);
    return figures;
}

Keying Keying::Dots(double wpm, int count, double riseMs) {
    const double dotMs = 1200 / wpm;
    return Keying{count, dotMs, dotMs, riseMs};
}

Keying Keying::Pulse(double lengthMs, double riseMs) {
    return Keying{1, lengthMs, 0, riseMs};
}

KeyedResponse KeyedOutput(const EnvelopeResponse& response, const Keying& keying,
                          std::size_t samples) {
    KeyedResponse keyed;
    keyed.input.assign(samples, 0.0);
    const double dtMs = response.dtSec * 1000;
    // The keying's envelope: each edge's middle on its instant, the first one rise/2 after 0 so
    // that no edge starts before the record.
    const double lead = keying.riseMs / 2;
    const auto edge = [&](double t, double instant) {
        if (keying.riseMs <= 0) return t >= instant ? 1.0 : 0.0;
        const double x = (t - instant) / keying.riseMs + 0.5;
        if (x <= 0) return 0.0;
        if (x >= 1) return 1.0;
        return 0.5 * (1 - std::cos(std::numbers::pi * x));
    };
    for (std::size_t i = 0; i < samples; ++i) {
        const double t = double(i) * dtMs;
        double k = 0;
        for (int mark = 0; mark < keying.count; ++mark) {
            const double on = lead + mark * (keying.markMs + keying.spaceMs);
            k += edge(t, on) - edge(t, on + keying.markMs);
        }
        keyed.input[i] = k;
    }
    // y = Σ Δk[j]·step[i − j]: the step response started by every change of the keying.
    const std::size_t record = response.step.size();
    std::vector<CValue> output(samples);
    for (std::size_t j = 0; j < samples; ++j) {
        const double change = keyed.input[j] - (j > 0 ? keyed.input[j - 1] : 0.0);
        if (change == 0) continue;
        for (std::size_t i = j; i < samples; ++i) {
            const std::size_t age = i - j;
            output[i] += change * (age < record ? response.step[age] : CValue(1));
        }
    }
    keyed.output.resize(samples);
    std::transform(output.begin(), output.end(), keyed.output.begin(),
                   [](const CValue& y) { return std::abs(y); });
    return keyed;
}

std::optional<double> InterMarkDb(const KeyedResponse& keyed, const Keying& keying, double dtSec,
                                  double delayMs) {
    if (keying.count < 3 || keyed.output.empty()) return std::nullopt;
    const double dtMs = dtSec * 1000;
    const double period = keying.markMs + keying.spaceMs;
    const double lead = keying.riseMs / 2 + delayMs;
    const auto index = [&](double ms) {
        return std::min(keyed.output.size() - 1, std::size_t(std::max(0.0, ms / dtMs)));
    };
    // The peak of an output mark: within the mark and half the space after it.
    const auto peak = [&](int mark) {
        const std::size_t from = index(lead + mark * period);
        const std::size_t to = index(lead + mark * period + keying.markMs + keying.spaceMs / 2);
        return std::size_t(std::max_element(keyed.output.begin() + std::ptrdiff_t(from),
                                            keyed.output.begin() + std::ptrdiff_t(to) + 1) -
                           keyed.output.begin());
    };
    const std::size_t second = peak(1), third = peak(2);
    if (third <= second || keyed.output[second] <= 0) return std::nullopt;
    const double lowest = *std::min_element(keyed.output.begin() + std::ptrdiff_t(second),
                                            keyed.output.begin() + std::ptrdiff_t(third) + 1);
    // No deeper than the spectrum reaches: below 80 dB the record holds the grid's ends.
    return std::max(20 * std::log10(lowest / keyed.output[second]), -80.0);
}

EnvelopeSpectrum SpectrumOfFilter(DesignedFilter& filter, std::optional<double> referenceOhm) {
    const double foHz = filter.design.input.FoKHz * 1000;
    SweepRequest request;
    request.circuit = filter.circuit;
    request.referenceOhm = referenceOhm;
    const auto sweep = [&](double fromHz, double toHz, int points) {
        request.fromDetuningHz = fromHz - foHz;
        request.toDetuningHz = toHz - foHz;
        request.points = points;
        return SweepFilter(filter, request);
    };
    // The band where Расчет found it, at the design's level.
    const std::optional<PassBand> band = BandOf(filter.design);
    if (!band) {
        throw CommandError(filter.bandStop.id != MessageId::None
                               ? filter.bandStop
                               : Message{MessageId::BandUnknown, ""});
    }
    const double centreHz = band->CentreHz();
    const double widthHz = band->WidthHz();
    double peakDb = -INFINITY;
    for (const SweepPoint& p : sweep(band->lowerHz, band->upperHz, 801).points)
        if (p.ok) peakDb = std::max(peakDb, DecibelsOfS(p.s21));

    // Out to 80 dB below the peak on both sides.
    EnvelopeSpectrum spectrum;
    spectrum.centreHz = centreHz;
    double halfSpanHz = 4 * widthHz;
    for (;; halfSpanHz *= 1.5) {
        const SweepResult ends = sweep(centreHz - halfSpanHz, centreHz + halfSpanHz, 2);
        const bool down = std::all_of(
            ends.points.begin(), ends.points.end(),
            [&](const SweepPoint& p) { return !p.ok || DecibelsOfS(p.s21) <= peakDb - 80; });
        if (down) break;
        if (halfSpanHz > 256 * widthHz) {
            spectrum.reachesFloor = false;
            break;
        }
    }
    // A record of ten times the longest delay in the band, and no less than ten times 1/width.
    double longestDelaySec = 0;
    for (const SweepPoint& p : sweep(centreHz - widthHz, centreHz + widthHz, 801).points)
        if (p.ok) longestDelaySec = std::max(longestDelaySec, p.groupDelaySec);
    const double recordSec = std::max(10 * longestDelaySec, 10 / widthHz);
    const int half = int(std::ceil(halfSpanHz * recordSec));
    if (2 * half + 1 > MaxSweepPoints) throw CommandError(Message{MessageId::TransientTooLong, ""});
    spectrum.stepHz = halfSpanHz / half;
    const SweepResult grid = sweep(centreHz - halfSpanHz, centreHz + halfSpanHz, 2 * half + 1);
    spectrum.s21.reserve(grid.points.size());
    for (const SweepPoint& p : grid.points)
        spectrum.s21.push_back(p.ok ? p.s21 : CValue(0));
    return spectrum;
}

EnvelopeSpectrum SpectrumOfMeasured(const std::vector<double>& hz,
                                    const std::vector<std::complex<double>>& s21, double centreHz,
                                    double recordSec) {
    EnvelopeSpectrum spectrum;
    spectrum.centreHz = centreHz;
    spectrum.reachesFloor = false;
    if (hz.size() < 2 || hz.size() != s21.size() || centreHz <= hz.front() || centreHz >= hz.back())
        return spectrum;
    // Magnitude and unwrapped phase between the points.
    std::vector<double> magnitude(hz.size()), phase(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) {
        magnitude[i] = std::abs(s21[i]);
        phase[i] = std::arg(s21[i]);
        if (i > 0) {
            while (phase[i] - phase[i - 1] > std::numbers::pi)
                phase[i] -= 2 * std::numbers::pi;
            while (phase[i] - phase[i - 1] < -std::numbers::pi)
                phase[i] += 2 * std::numbers::pi;
        }
    }
    const double halfSpanHz = std::min(centreHz - hz.front(), hz.back() - centreHz);
    if (!(recordSec > 0)) return spectrum;
    const int half = std::max(1, int(std::ceil(halfSpanHz * recordSec)));
    spectrum.stepHz = halfSpanHz / half;
    const double peak = *std::max_element(magnitude.begin(), magnitude.end());
    std::size_t at = 0;
    for (int k = -half; k <= half; ++k) {
        const double f = centreHz + k * spectrum.stepHz;
        while (at + 2 < hz.size() && hz[at + 1] < f)
            ++at;
        const double u = std::clamp((f - hz[at]) / (hz[at + 1] - hz[at]), 0.0, 1.0);
        const double m = magnitude[at] + u * (magnitude[at + 1] - magnitude[at]);
        const double p = phase[at] + u * (phase[at + 1] - phase[at]);
        spectrum.s21.push_back(std::polar(m, p));
    }
    spectrum.reachesFloor = magnitude.front() <= peak * 1e-4 && magnitude.back() <= peak * 1e-4;
    return spectrum;
}

}  // namespace feldan
