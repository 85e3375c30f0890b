// The filter in time from start to end, one chain for every front end: the spectrum of a
// designed filter or of a measured sweep, its envelope (with the window of the picture), the
// figures of its step and the curve of the view asked for, with a keyed carrier's output. Its
// faults come back as messages, never as exceptions.
#pragma once

#include <complex>
#include <optional>
#include <span>
#include <vector>

#include "engine/calculate.h"
#include "engine/messages.h"
#include "engine/transient.h"

namespace feldan {

enum class TimeKind { Step, Impulse, Keyed };

struct TimeRequest {
    TimeKind kind = TimeKind::Step;
    Keying keying;        // of the keyed curve; a train of three marks or more also gives the gap
    WindowChoice window;  // on the curve only: the figures are always taken without one
    // The span of the curve, ms; by default half the record (after the keying's end when keyed).
    // The step and impulse never go beyond the share of the record that nothing wraps into.
    std::optional<double> shownMs;
};

// A measured sweep: its points in any order, and the band its figures found. Without a band the
// middle of the sweep is the centre and its spacing sets the record.
struct MeasuredS21 {
    std::span<const double> hz;
    std::span<const std::complex<double>> s21;
    std::optional<PassBand> band;
};

struct TimeResponse {
    // MessageId::None when the response is there; else why not, with `warned` set when a
    // warning of the design's searches left its band unknown.
    Message problem;
    bool warned = false;
    EnvelopeSpectrum spectrum;
    EnvelopeResponse plain;  // without a window: the figures' own
    EnvelopeResponse drawn;  // with `window` (the plain one without)
    WindowChoice window;
    TransientFigures figures;
    // The curve at t = i·dtMs: the step (1 settled), the impulse in 1/ms or the keyed output;
    // `input` is the keying's envelope, for the keyed curve only.
    double dtMs = 0;
    std::vector<double> output;
    std::vector<double> input;
};

// The whole chain for a designed filter, or for a measured sweep.
TimeResponse TimeResponseOf(DesignedFilter& filter, const TimeRequest& request);
TimeResponse TimeResponseOf(const MeasuredS21& measured, const TimeRequest& request);

// Its first half: the spectrum, both envelopes and the step's figures, without a curve.
TimeResponse EnvelopeInTime(DesignedFilter& filter, const WindowChoice& window);
TimeResponse EnvelopeInTime(const MeasuredS21& measured, const WindowChoice& window);

// Its second half: the curve of `request` from the envelopes (their window, not the
// request's), and for a keyed train the gap between marks in the figures. Several responses
// drawn together share a span. Nothing when the response has a problem.
void CurveInTime(TimeResponse& response, const TimeRequest& request);

}  // namespace feldan
