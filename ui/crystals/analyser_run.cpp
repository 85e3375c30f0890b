#include "ui/crystals/analyser_run.h"

#include <mutex>

#include "instruments/serial_ports.h"

namespace feldan {

AnalyserRun::AnalyserRun(ProgressShown progress, Finished finished, QObject* parent)
    : QObject(parent), progress_(std::move(progress)), finished_(std::move(finished)) {}

AnalyserRun::~AnalyserRun() {
    cancel_ = true;
    // Reads are bounded, so the worker ends within a read's time limit.
    if (worker_.joinable()) worker_.join();
}

bool AnalyserRun::Start(const std::string& port, const CrystalMeasurementSettings& settings,
                        const ReadLimits& limits) {
    if (Running()) return false;
    cancel_ = false;
    progressPosted_ = false;
    const int run = ++runNumber_;
    worker_ = std::thread([this, port, settings, limits, run] {
        auto measurement = std::make_shared<CrystalMeasurement>();
        // The latest report, handed over to the window's thread.
        auto latest = std::make_shared<std::pair<std::mutex, MeasurementProgress>>();
        const auto progress = [this, latest](const MeasurementProgress& now) {
            {
                const std::lock_guard lock(latest->first);
                latest->second = now;
            }
            if (!progressPosted_.exchange(true)) {
                QMetaObject::invokeMethod(
                    this,
                    [this, latest] {
                        progressPosted_ = false;
                        MeasurementProgress shown;
                        {
                            const std::lock_guard lock(latest->first);
                            shown = latest->second;
                        }
                        if (progress_) progress_(shown);
                    },
                    Qt::QueuedConnection);
            }
            return !cancel_.load();
        };
        try {
            const std::unique_ptr<PosixSerialPort> stream = PosixSerialPort::Open(port);
            NanoVnaShell shell(*stream, port, limits);
            AnalyserIdentity identity = shell.Connect();
            *measurement = MeasureCrystal(shell, identity, settings, progress);
        } catch (const CommandError& error) {
            measurement->message = error.message();
        }
        QMetaObject::invokeMethod(
            this, [this, run, measurement] { Done(run, measurement); }, Qt::QueuedConnection);
    });
    return true;
}

void AnalyserRun::Done(int run, std::shared_ptr<CrystalMeasurement> measurement) {
    if (run != runNumber_) return;
    if (worker_.joinable()) worker_.join();
    if (finished_) finished_(std::move(*measurement));
}

}  // namespace feldan
