#include "ui/analysis/live_sweep.h"

#include <memory>

#include "instruments/analyser_connection.h"

namespace feldan {

LiveSweep::LiveSweep(SweepShown sweep, FaultShown fault)
    : sweep_(std::move(sweep)), fault_(std::move(fault)) {}

void LiveSweep::Start(const std::string& port, const SweepPlan& plan, const ReadLimits& limits,
                      std::chrono::milliseconds pause) {
    Stop();
    run_.Start([this, port, plan, limits, pause](BackgroundRun::Job& job) -> BackgroundRun::End {
        try {
            AnalyserConnection analyser = ConnectAnalyser(port, limits);
            MeasurementContext context{
                *analyser.shell, analyser.identity,
                [&job](const MeasurementProgress&) { return !job.Cancelled(); },
                MeasurementStage::Sweep, 0};
            do {
                auto sweep = std::make_shared<AnalyserSweep>();
                MeasureSweep(context, plan, *sweep);
                job.Report([this, sweep] {
                    if (sweep_) sweep_(*sweep);
                });
            } while (job.Pause(pause));
        } catch (const CommandError& error) {
            if (error.message().id == MessageId::VnaCancelled) return {};
            return [this, message = error.message()] {
                if (fault_) fault_(message);
            };
        }
        return {};
    });
}

}  // namespace feldan
