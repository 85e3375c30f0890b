// A crystal measured on an analyser of either protocol, in series between port 1 and port 2:
// a wide search for its series resonance, scans zooming in on it down to a few bandwidths,
// repeats averaged where the noise calls for it, and the fit of its model.
#pragma once

#include <optional>

#include "engine/crystal.h"
#include "instruments/analyser_sweep.h"

namespace feldan {

struct CrystalMeasurementSettings {
    double nominalHz = 0;  // the frequency printed on the crystal, about
    double fixtureOhm = 50;
    double ppm = 0;  // the analyser's clock error, as SweepPlan takes it
    // The search sweep around the nominal frequency.
    double searchSpanHz = 20000;
    int searchPoints = 401;
    // The zoom ends at a span of this many half-power widths; each zoom narrows at most by the
    // factor, and there are at most so many of them.
    double finalSpanWidths = 6;
    double zoomFactor = 8;
    int maxZooms = 8;
    int finalPoints = 201;
    // The noise per component of S21 the final sweep is averaged down to, with at most so many
    // scans of each frequency.
    double noiseTarget = 1e-4;
    int maxAverages = 8;
    // Readings of each frequency averaged in every scan, before the scans above are.
    int readings = 1;
};

struct CrystalMeasurement {
    // The sweep the fit was given (S21 through the fixture): the final averaged sweep with the
    // search sweep's points outside it. After a fault, the last sweep measured whole.
    CrystalSweep sweep;
    std::optional<CrystalFit> fit;  // none when the measurement did not end
    CrystalModel kept;              // KeptModelOf the fit
    // The fault or stop that ended the measurement, or else what the fit has to say.
    std::optional<Message> message;
    int averages = 1;  // of the final sweep
    double noise = 0;  // per component of S21, estimated from two scans of the final sweep
    int scans = 0;
};

// Measures the crystal on an analyser connected as `identity` says. Never throws an
// InstrumentError: a fault ends the measurement with its message, keeping what was measured.
CrystalMeasurement MeasureCrystal(Analyser& analyser, AnalyserIdentity& identity,
                                  const CrystalMeasurementSettings& settings,
                                  const ProgressCallback& progress = {});

}  // namespace feldan
