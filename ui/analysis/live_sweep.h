// The built filter swept on the analyser again and again, off the GUI thread, until stopped:
// each sweep and a fault that ends the run are handed to the callbacks on the GUI thread.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "engine/messages.h"
#include "instruments/analyser_sweep.h"
#include "ui/common/background_run.h"

namespace feldan {

class LiveSweep {
  public:
    using SweepShown = std::function<void(const AnalyserSweep&)>;
    using FaultShown = std::function<void(const Message&)>;

    // A run going when the object goes is stopped and waited for.
    LiveSweep(SweepShown sweep, FaultShown fault);

    // Sweeps `plan` on the analyser at `port`, waiting `pause` after each sweep.
    void Start(const std::string& port, const SweepPlan& plan, const ReadLimits& limits,
               std::chrono::milliseconds pause);
    // Ends the run before its next scan and waits for it: at most one read's time limit.
    void Stop() { run_.Stop(); }
    bool Running() const { return run_.Running(); }

  private:
    SweepShown sweep_;
    FaultShown fault_;
    BackgroundRun run_;
};

}  // namespace feldan
