#include "ui/analysis/live_sweep.h"

#include <memory>

#include "instruments/serial_ports.h"

namespace feldan {

LiveSweep::LiveSweep(SweepShown sweep, FaultShown fault, QObject* parent)
    : QObject(parent), sweep_(std::move(sweep)), fault_(std::move(fault)) {}

LiveSweep::~LiveSweep() {
    Stop();
}

void LiveSweep::Start(const std::string& port, const SweepPlan& plan, const ReadLimits& limits,
                      std::chrono::milliseconds pause) {
    Stop();
    stop_ = false;
    worker_ = std::thread([this, port, plan, limits, pause] {
        try {
            const std::unique_ptr<PosixSerialPort> stream = PosixSerialPort::Open(port);
            NanoVnaShell shell(*stream, port, limits);
            AnalyserIdentity identity = shell.Connect();
            MeasurementContext context{shell, identity,
                                       [this](const MeasurementProgress&) { return !stop_.load(); },
                                       MeasurementStage::Sweep, 0};
            while (!stop_) {
                auto sweep = std::make_shared<AnalyserSweep>();
                MeasureSweep(context, plan, *sweep);
                QMetaObject::invokeMethod(
                    this,
                    [this, sweep] {
                        if (!stop_ && sweep_) sweep_(*sweep);
                    },
                    Qt::QueuedConnection);
                std::unique_lock lock(mutex_);
                wake_.wait_for(lock, pause, [this] { return stop_.load(); });
            }
        } catch (const CommandError& error) {
            if (error.message().id == MessageId::VnaCancelled) return;
            const Message message = error.message();
            QMetaObject::invokeMethod(
                this,
                [this, message] {
                    if (fault_) fault_(message);
                },
                Qt::QueuedConnection);
        }
    });
}

void LiveSweep::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

}  // namespace feldan
