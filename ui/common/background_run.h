// Long work off the GUI thread, one run at a time: the job runs on a thread of its own with a
// cancel flag, hands its progress to the GUI thread (the latest report replaces one not yet
// shown, so a fast job cannot flood the window) and its end once. Each run has a number; a run
// stopped or replaced hands nothing more over, and destruction stops the run and waits for it.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace feldan {

class BackgroundRun {
    struct State;

  public:
    // What the job sees of its run, on its own thread.
    class Job {
      public:
        bool Cancelled() const;
        // For engine functions that take the flag itself.
        const std::atomic<bool>& CancelFlag() const;
        // Waits `pause`, or less when the run is cancelled meanwhile; false when it is.
        bool Pause(std::chrono::milliseconds pause);
        // `show` runs on the GUI thread, unless a newer report comes before it is shown, or the
        // run is stopped. Safe to call from several threads at once.
        void Report(std::function<void()> show);

      private:
        friend class BackgroundRun;
        Job(BackgroundRun& run, std::shared_ptr<State> state)
            : run_(run), state_(std::move(state)) {}
        BackgroundRun& run_;
        std::shared_ptr<State> state_;
    };
    // What a job returns: what to do on the GUI thread when it has ended (may be empty).
    using End = std::function<void()>;

    BackgroundRun();
    ~BackgroundRun();  // Stop()
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // Runs `work` on a new thread; false, and nothing started, while a run is going. `work` must
    // not throw: it turns its faults into its end.
    bool Start(std::function<End(Job&)> work);
    // Asks the job to stop; its end is still handed over.
    void Cancel();
    // Cancels, waits for the thread and drops what the run had still to hand over.
    void Stop();
    // Cancels, waits for the thread and hands its end over now, without waiting for the queue.
    void Finish();
    // From Start until the end is handed over, or the run is stopped.
    bool Running() const { return current_ != 0; }

  private:
    void ShowReport(const std::shared_ptr<State>& state);
    void Ended(const std::shared_ptr<State>& state);
    // The run is over: its end, if it left one, runs now.
    void HandOverEnd();

    QObject receiver_;  // what the GUI thread's deliveries go to; gone with the object
    std::thread thread_;
    std::shared_ptr<State> state_;
    int runNumber_ = 0;
    int current_ = 0;  // the number of the run whose end is awaited; 0 when none
};

}  // namespace feldan
