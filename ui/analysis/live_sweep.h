// The built filter swept on the analyser again and again, off the GUI thread, until stopped:
// each sweep and a fault that ends the run are handed to the callbacks on the thread the object
// lives in.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engine/messages.h"
#include "instruments/analyser_sweep.h"

namespace feldan {

class LiveSweep : public QObject {
    Q_OBJECT
  public:
    using SweepShown = std::function<void(const AnalyserSweep&)>;
    using FaultShown = std::function<void(const Message&)>;

    LiveSweep(SweepShown sweep, FaultShown fault, QObject* parent = nullptr);
    ~LiveSweep() override;  // stops and waits for the thread
    LiveSweep(const LiveSweep&) = delete;
    LiveSweep& operator=(const LiveSweep&) = delete;

    // Sweeps `plan` on the analyser at `port`, waiting `pause` after each sweep.
    void Start(const std::string& port, const SweepPlan& plan, const ReadLimits& limits,
               std::chrono::milliseconds pause);
    // Ends the run before its next scan and waits for it: at most one read's time limit.
    void Stop();
    bool Running() const { return worker_.joinable(); }

  private:
    SweepShown sweep_;
    FaultShown fault_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> stop_{false};
};

}  // namespace feldan
