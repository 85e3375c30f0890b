// A crystal measured on the analyser behind a serial port, off the GUI thread: the port opened,
// the shell connected and MeasureCrystal run on a worker thread. Progress and the result are
// handed to the callbacks on the thread the object lives in.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "instruments/crystal_measurement.h"

namespace feldan {

class AnalyserRun : public QObject {
    Q_OBJECT
  public:
    using ProgressShown = std::function<void(const MeasurementProgress&)>;
    using Finished = std::function<void(CrystalMeasurement)>;

    AnalyserRun(ProgressShown progress, Finished finished, QObject* parent = nullptr);
    // Stops a measurement under way and waits for its thread; its result is dropped.
    ~AnalyserRun() override;
    AnalyserRun(const AnalyserRun&) = delete;
    AnalyserRun& operator=(const AnalyserRun&) = delete;

    // Measures the crystal on `port` (the path of its device); false while one is under way.
    bool Start(const std::string& port, const CrystalMeasurementSettings& settings,
               const ReadLimits& limits);
    // Asks the measurement to stop before its next scan; it finishes with VnaCancelled.
    void Cancel() { cancel_ = true; }
    bool Running() const { return worker_.joinable(); }

  private:
    void Done(int run, std::shared_ptr<CrystalMeasurement> measurement);

    ProgressShown progress_;
    Finished finished_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    // At most one progress report waits in the queue; the latest is shown.
    std::atomic<bool> progressPosted_{false};
    int runNumber_ = 0;
};

}  // namespace feldan
