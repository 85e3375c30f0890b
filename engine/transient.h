// The filter in time: the complex envelope of its response to a carrier at the centre of its
// band that is switched on (the step), struck (the impulse) or keyed (Morse dots or one pulse).
// Everything comes from the exact S21 on a uniform grid of frequencies around the centre,
// transformed to time without a window; a window is an option of the pictures only.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <vector>

#include "engine/sweep.h"

namespace feldan {

enum class TransientWindow { None, Hann, Kaiser };

struct WindowChoice {
    TransientWindow kind = TransientWindow::None;
    double kaiserBeta = 6;
};

// S21 at centreHz + (k − (size − 1)/2)·stepHz for k = 0 .. size − 1 (an odd count, the centre in
// the middle); nothing is known beyond the ends.
struct EnvelopeSpectrum {
    double centreHz = 0;
    double stepHz = 0;
    std::vector<std::complex<double>> s21;
    // The span reached 80 dB below the peak at both ends; a measured sweep may not.
    bool reachesFloor = true;
};

// The envelope in time, t = n·dtSec from the moment the carrier is switched on.
struct EnvelopeResponse {
    double dtSec = 0;
    // The impulse response of the envelope, 1/s, normalised so that its integral is 1.
    std::vector<std::complex<double>> impulse;
    // Its running integral: the step response, 1 when settled.
    std::vector<std::complex<double>> step;
    double RecordSec() const { return dtSec * double(step.size()); }
};

// What a CW operator hears in the response: all in ms or % or dB; none where the record does not
// show it.
struct TransientFigures {
    std::optional<double> delayMs;       // to 50 % of the settled step
    std::optional<double> riseMs;        // from 10 % to 90 %
    std::optional<double> overshootPct;  // the largest step above its settled level
    std::optional<double> decay20Ms;     // after key-up, until the output stays below −20 dB
    std::optional<double> decay40Ms;     // ... and −40 dB of its keyed level
    std::optional<double> interDotDb;    // a dot train: the lowest level between dots 2 and 3
};

// Transforms the spectrum to time: zero beyond its ends, shaped by `window` across its span,
// at least `minimumPoints` (a power of two) points in the record.
EnvelopeResponse EnvelopeOf(const EnvelopeSpectrum& spectrum, WindowChoice window = {},
                            std::size_t minimumPoints = 4096);

// The delay, rise, overshoot and decays of a step response.
TransientFigures StepFigures(const EnvelopeResponse& response);

// A keying of the carrier: `count` marks of `markMs` with `spaceMs` between, starting at 0;
// rectangular edges, or raised-cosine edges over `riseMs` (each edge centred on its instant).
struct Keying {
    int count = 1;
    double markMs = 0;
    double spaceMs = 0;
    double riseMs = 0;

    // Dots at `wpm` words a minute (PARIS: a dot is 1200/wpm ms, the space as long).
    static Keying Dots(double wpm, int count, double riseMs = 0);
    static Keying Pulse(double lengthMs, double riseMs = 0);
    double EndMs() const { return count * markMs + (count - 1) * spaceMs; }
};

// The keyed carrier through the filter, sampled at the response's dtSec from 0 for `samples`
// points: the keying's envelope (0..1) and the magnitude of the output's envelope (1 for the
// settled carrier). The step response is convolved with the keying's edges in time, beyond the
// record settled at 1, so nothing wraps around.
struct KeyedResponse {
    std::vector<double> input;
    std::vector<double> output;
};
KeyedResponse KeyedOutput(const EnvelopeResponse& response, const Keying& keying,
                          std::size_t samples);

// For a train of three or more marks: the lowest output between the second and the third
// output marks against the second mark's peak, in dB (−80 to 0: the spectrum reaches 80 dB
// down, so no deeper gap can be told). The output marks lie `delayMs` behind the keying.
std::optional<double> InterMarkDb(const KeyedResponse& keyed, const Keying& keying, double dtSec,
                                  double delayMs);

// The spectrum of a designed filter for its transients: around the middle of its band where
// Расчет found it (BandOf), out to 80 dB below the peak on both sides (or 256 band widths), with
// a record ten times the longest group delay in the band; `referenceOhm` as in a sweep. Throws
// CommandError with the searches' warning when the band is not known, or TransientTooLong.
EnvelopeSpectrum SpectrumOfFilter(DesignedFilter& filter,
                                  std::optional<double> referenceOhm = std::nullopt);

// A measured sweep resampled to a uniform grid around `centreHz` (straight lines between its
// points in magnitude and unwrapped phase), as far as it reaches, at steps of 1/recordSec; the
// points are in ascending frequency.
EnvelopeSpectrum SpectrumOfMeasured(const std::vector<double>& hz,
                                    const std::vector<std::complex<double>>& s21, double centreHz,
                                    double recordSec);

}  // namespace feldan
