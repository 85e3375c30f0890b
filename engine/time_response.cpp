#include "engine/time_response.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "engine/errors.h"

namespace feldan {

namespace {

// The share of a record a step or impulse curve may show: its end holds what the transform
// wraps round.
constexpr double DrawnShare = 0.75;

// The envelopes of a spectrum, or why it has none: too few points around the centre, or
// nothing passed there.
void Transform(TimeResponse& response, const WindowChoice& window) {
    const EnvelopeSpectrum& spectrum = response.spectrum;
    const std::size_t count = spectrum.s21.size();
    if (count < 3 || count % 2 == 0 || !(spectrum.stepHz > 0)) {
        response.problem = Message{MessageId::TransientNoCentre, ""};
        return;
    }
    if (std::abs(spectrum.s21[count / 2]) == 0) {
        response.problem = Message{MessageId::TransientNothingPassed, ""};
        return;
    }
    response.window = window;
    response.plain = EnvelopeOf(spectrum);
    response.drawn =
        window.kind == TransientWindow::None ? response.plain : EnvelopeOf(spectrum, window);
    response.figures = StepFigures(response.plain);
}

std::size_t SamplesOf(const TimeResponse& response, const TimeRequest& request) {
    const double dtMs = response.drawn.dtSec * 1000;
    const std::size_t record = response.drawn.step.size();
    if (request.kind == TimeKind::Keyed) {
        const double shownMs = request.shownMs.value_or(
            request.keying.EndMs() + request.keying.riseMs + response.drawn.RecordSec() * 500);
        return std::size_t(shownMs / dtMs) + 1;
    }
    if (!request.shownMs) return record / 2;
    return std::min(std::size_t(*request.shownMs / dtMs) + 1,
                    std::size_t(double(record) * DrawnShare));
}

}  // namespace

TimeResponse EnvelopeInTime(DesignedFilter& filter, const WindowChoice& window) {
    TimeResponse response;
    try {
        response.spectrum = SpectrumOfFilter(filter);
    } catch (const CommandError& error) {
        response.problem = error.message();
        response.warned = filter.bandStop.id != MessageId::None;
        return response;
    }
    Transform(response, window);
    return response;
}

TimeResponse EnvelopeInTime(const MeasuredS21& measured, const WindowChoice& window) {
    // Ascending and one a frequency, as the resampling takes them.
    std::vector<std::size_t> order(std::min(measured.hz.size(), measured.s21.size()));
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return measured.hz[a] < measured.hz[b]; });
    std::vector<double> hz;
    std::vector<std::complex<double>> s21;
    for (std::size_t i : order) {
        if (!std::isfinite(measured.hz[i]) || (!hz.empty() && measured.hz[i] <= hz.back()))
            continue;
        hz.push_back(measured.hz[i]);
        s21.push_back(measured.s21[i]);
    }
    const std::optional<PassBand>& band = measured.band;
    const double centreHz =
        band ? band->CentreHz() : (hz.empty() ? 0 : (hz.front() + hz.back()) / 2);
    // Long enough for any ladder to settle: forty times 1/width (ten times the delay of eight
    // crystals); without a band, the whole sweep's spacing.
    const double recordSec =
        band ? 40 / band->WidthHz()
             : (hz.size() > 1 ? double(hz.size() - 1) / (hz.back() - hz.front()) : 0);
    TimeResponse response;
    response.spectrum = SpectrumOfMeasured(hz, s21, centreHz, recordSec);
    Transform(response, window);
    return response;
}

void CurveInTime(TimeResponse& response, const TimeRequest& request) {
    response.output.clear();
    response.input.clear();
    if (response.problem.id != MessageId::None || response.drawn.step.empty()) return;
    const EnvelopeResponse& drawn = response.drawn;
    response.dtMs = drawn.dtSec * 1000;
    const std::size_t samples = SamplesOf(response, request);
    switch (request.kind) {
        case TimeKind::Step:
            for (std::size_t i = 0; i < samples; ++i)
                response.output.push_back(std::abs(drawn.step[i]));
            break;
        case TimeKind::Impulse:
            for (std::size_t i = 0; i < samples; ++i)
                response.output.push_back(std::abs(drawn.impulse[i]) / 1000);
            break;
        case TimeKind::Keyed: {
            KeyedResponse keyed = KeyedOutput(drawn, request.keying, samples);
            // The gap is a figure: taken without the window, like the others.
            const KeyedResponse exact = response.window.kind == TransientWindow::None
                                            ? keyed
                                            : KeyedOutput(response.plain, request.keying, samples);
            response.figures.interDotDb = InterMarkDb(exact, request.keying, response.plain.dtSec,
                                                      response.figures.delayMs.value_or(0));
            response.output = std::move(keyed.output);
            response.input = std::move(keyed.input);
            break;
        }
    }
}

TimeResponse TimeResponseOf(DesignedFilter& filter, const TimeRequest& request) {
    TimeResponse response = EnvelopeInTime(filter, request.window);
    CurveInTime(response, request);
    return response;
}

TimeResponse TimeResponseOf(const MeasuredS21& measured, const TimeRequest& request) {
    TimeResponse response = EnvelopeInTime(measured, request.window);
    CurveInTime(response, request);
    return response;
}

}  // namespace feldan
