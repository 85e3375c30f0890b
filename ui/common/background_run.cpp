#include "ui/common/background_run.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace feldan {

struct BackgroundRun::State {
    explicit State(int number) : number(number) {}
    const int number;
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable wake;
    End report;  // the latest report not shown yet
    bool reportPosted = false;
    End end;
};

bool BackgroundRun::Job::Cancelled() const {
    return state_->cancel.load();
}

const std::atomic<bool>& BackgroundRun::Job::CancelFlag() const {
    return state_->cancel;
}

bool BackgroundRun::Job::Pause(std::chrono::milliseconds pause) {
    std::unique_lock lock(state_->mutex);
    return !state_->wake.wait_for(lock, pause, [this] { return state_->cancel.load(); });
}

void BackgroundRun::Job::Report(std::function<void()> show) {
    {
        const std::lock_guard lock(state_->mutex);
        state_->report = std::move(show);
        if (std::exchange(state_->reportPosted, true)) return;
    }
    QMetaObject::invokeMethod(
        &run_.receiver_, [run = &run_, state = state_] { run->ShowReport(state); },
        Qt::QueuedConnection);
}

BackgroundRun::BackgroundRun() = default;

BackgroundRun::~BackgroundRun() {
    Stop();
}

bool BackgroundRun::Start(std::function<End(Job&)> work) {
    if (Running()) return false;
    current_ = ++runNumber_;
    state_ = std::make_shared<State>(current_);
    thread_ = std::thread([this, state = state_, work = std::move(work)] {
        Job job(*this, state);
        End end = work(job);
        {
            const std::lock_guard lock(state->mutex);
            state->end = std::move(end);
        }
        QMetaObject::invokeMethod(
            &receiver_, [this, state] { Ended(state); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundRun::Cancel() {
    if (!state_) return;
    {
        // Under the lock, so that a job about to wait in Pause sees it.
        const std::lock_guard lock(state_->mutex);
        state_->cancel = true;
    }
    state_->wake.notify_all();
}

void BackgroundRun::Stop() {
    Cancel();
    if (thread_.joinable()) thread_.join();
    current_ = 0;
}

void BackgroundRun::Finish() {
    if (!Running()) return;
    Cancel();
    if (thread_.joinable()) thread_.join();
    HandOverEnd();
}

void BackgroundRun::HandOverEnd() {
    current_ = 0;
    End end;
    {
        const std::lock_guard lock(state_->mutex);
        end = std::exchange(state_->end, End());
    }
    // Last: the end may start the next run.
    if (end) end();
}

void BackgroundRun::ShowReport(const std::shared_ptr<State>& state) {
    if (state->number != current_) return;
    End show;
    {
        const std::lock_guard lock(state->mutex);
        state->reportPosted = false;
        show = std::exchange(state->report, End());
    }
    if (show) show();
}

void BackgroundRun::Ended(const std::shared_ptr<State>& state) {
    if (state->number != current_) return;
    if (thread_.joinable()) thread_.join();
    HandOverEnd();
}

}  // namespace feldan
