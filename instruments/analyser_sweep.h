// A sweep of any length from an analyser of either protocol: joined from as many scans as the
// board needs, each averaged over readings, its frequencies corrected for the analyser's clock.
#pragma once

#include <complex>
#include <functional>
#include <vector>

#include "instruments/analyser.h"
#include "instruments/nanovna_shell.h"  // the boards' scan lengths

namespace feldan {

struct AnalyserSweep {
    std::vector<double> frequencyHz;  // corrected by the clock's error; increasing
    std::vector<std::complex<double>> s11;
    std::vector<std::complex<double>> s21;

    std::size_t size() const { return frequencyHz.size(); }
};

struct SweepPlan {
    double startHz = 0;  // true frequencies, before the device's clock error
    double stopHz = 0;
    int points = 101;
    // Readings of each frequency averaged into one: by the device where it can (a V2), by
    // repeated scans where it cannot (the text shell).
    int averages = 1;
    // The analyser's clock error: a frequency it reports as f is truly f·(1 + ppm·1e-6).
    double ppm = 0;
};

enum class MeasurementStage { Sweep, Search, Zoom, Average };

struct MeasurementProgress {
    MeasurementStage stage = MeasurementStage::Sweep;
    int scansDone = 0;  // since the measurement began
    double centreHz = 0;
    double spanHz = 0;
};

// Called before every scan; returning false stops the measurement (VnaCancelled). A window calls
// the measurement from a worker thread and answers from an atomic flag.
using ProgressCallback = std::function<bool(const MeasurementProgress&)>;

// The state of a measurement of several sweeps: its device, the clock error, the scans made.
struct MeasurementContext {
    Analyser& analyser;
    AnalyserIdentity& identity;  // its scan points lowered when the device refuses a scan
    ProgressCallback progress;
    MeasurementStage stage = MeasurementStage::Sweep;
    int scansDone = 0;
};

// Measures `plan` into `sweep` (emptied first), one scan after another, each appended when its
// repeats are in: a fault ends it with an InstrumentError, and what came before stays in `sweep`.
// Throws InstrumentError (VnaCancelled when the progress callback says stop).
void MeasureSweep(MeasurementContext& context, const SweepPlan& plan, AnalyserSweep& sweep);

}  // namespace feldan
