// A crystal measured on the analyser behind a serial port, off the GUI thread: the analyser
// connected and MeasureCrystal run on a worker thread. Progress and the result are handed to the
// callbacks on the GUI thread.
#pragma once

#include <functional>
#include <string>

#include "instruments/crystal_measurement.h"
#include "ui/common/background_run.h"

namespace feldan {

class AnalyserRun {
  public:
    using ProgressShown = std::function<void(const MeasurementProgress&)>;
    using Finished = std::function<void(CrystalMeasurement)>;

    // A measurement under way when the object goes is stopped and waited for; its result is
    // dropped.
    AnalyserRun(ProgressShown progress, Finished finished);

    // Measures the crystal on `port` (the path of its device); false while one is under way.
    bool Start(const std::string& port, const CrystalMeasurementSettings& settings,
               const ReadLimits& limits);
    // Asks the measurement to stop before its next scan; it finishes with VnaCancelled.
    void Cancel() { run_.Cancel(); }
    bool Running() const { return run_.Running(); }

  private:
    ProgressShown progress_;
    Finished finished_;
    BackgroundRun run_;
};

}  // namespace feldan
