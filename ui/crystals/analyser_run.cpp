#include "ui/crystals/analyser_run.h"

#include <memory>

#include "instruments/analyser_connection.h"

namespace feldan {

AnalyserRun::AnalyserRun(ProgressShown progress, Finished finished)
    : progress_(std::move(progress)), finished_(std::move(finished)) {}

bool AnalyserRun::Start(const std::string& port, const CrystalMeasurementSettings& settings,
                        const ReadLimits& limits) {
    return run_.Start([this, port, settings, limits](BackgroundRun::Job& job) {
        const auto progress = [this, &job](const MeasurementProgress& now) {
            job.Report([this, now] {
                if (progress_) progress_(now);
            });
            return !job.Cancelled();
        };
        auto measurement = std::make_shared<CrystalMeasurement>();
        try {
            AnalyserConnection analyser = ConnectAnalyser(port, limits);
            *measurement = MeasureCrystal(*analyser.shell, analyser.identity, settings, progress);
        } catch (const CommandError& error) {
            measurement->message = error.message();
        }
        return BackgroundRun::End([this, measurement] {
            if (finished_) finished_(std::move(*measurement));
        });
    });
}

}  // namespace feldan
