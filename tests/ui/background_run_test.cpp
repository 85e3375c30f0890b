// The worker helper of the long runs: the end of a run comes once, after its reports, unless the
// run is stopped; a report waiting is replaced by a newer one; a run going when the helper goes
// is stopped and waited for.
#include <QTest>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "ui/common/background_run.h"

using feldan::BackgroundRun;

namespace {

// Waits, as a job would, until the run is cancelled; far longer than any test runs.
constexpr auto Forever = std::chrono::hours(1);

}  // namespace

class BackgroundRunTest : public QObject {
    Q_OBJECT
  private slots:
    void aRunEndsOnceAfterItsLatestReport();
    void stopDropsTheEndAndFinishHandsItOverAtOnce();
    void reportsFromManyThreadsAreSafe();
    void aRunGoingWhenTheHelperGoesIsStopped();
};

void BackgroundRunTest::aRunEndsOnceAfterItsLatestReport() {
    BackgroundRun run;
    std::vector<int> shown;
    int ends = 0;
    QVERIFY(run.Start([&](BackgroundRun::Job& job) -> BackgroundRun::End {
        for (int i = 1; i <= 1000; ++i)
            job.Report([&shown, i] { shown.push_back(i); });
        return [&] { ++ends; };
    }));
    // One run at a time.
    QVERIFY(!run.Start([](BackgroundRun::Job&) { return BackgroundRun::End(); }));
    QTRY_VERIFY(!run.Running());
    QCOMPARE(ends, 1);
    // Each report shown is later than the one before, and the last is the latest.
    QVERIFY(!shown.empty() && shown.back() == 1000);
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(ends, 1);
    // Over, the helper takes the next run.
    QVERIFY(run.Start([](BackgroundRun::Job&) { return BackgroundRun::End(); }));
}

void BackgroundRunTest::stopDropsTheEndAndFinishHandsItOverAtOnce() {
    for (const bool finish : {false, true}) {
        BackgroundRun run;
        int ends = 0, reports = 0;
        run.Start([&](BackgroundRun::Job& job) -> BackgroundRun::End {
            job.Report([&] { ++reports; });
            const bool paused = job.Pause(Forever);
            return [&, paused] { ends += paused ? 100 : 1; };
        });
        if (finish)
            run.Finish();
        else
            run.Stop();
        QVERIFY(!run.Running());
        QCOMPARE(ends, finish ? 1 : 0);
        QCoreApplication::sendPostedEvents();
        // Neither the end nor a report still queued comes afterwards.
        QCOMPARE(ends, finish ? 1 : 0);
        QCOMPARE(reports, 0);
    }
}

void BackgroundRunTest::reportsFromManyThreadsAreSafe() {
    BackgroundRun run;
    std::atomic<int> largest{0};
    int shownLargest = 0;
    run.Start([&](BackgroundRun::Job& job) -> BackgroundRun::End {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 2000; ++i) {
                    const int value = t * 2000 + i;
                    int seen = largest.load();
                    while (value > seen && !largest.compare_exchange_weak(seen, value)) {
                    }
                    job.Report([&, value] { shownLargest = std::max(shownLargest, value); });
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        return {};
    });
    QTRY_VERIFY(!run.Running());
    QVERIFY(shownLargest > 0 && shownLargest <= largest.load());
}

void BackgroundRunTest::aRunGoingWhenTheHelperGoesIsStopped() {
    std::atomic<bool> cancelled{false};
    int ends = 0;
    {
        BackgroundRun run;
        run.Start([&](BackgroundRun::Job& job) -> BackgroundRun::End {
            cancelled = !job.Pause(Forever) && job.Cancelled();
            return [&] { ++ends; };
        });
    }
    QVERIFY(cancelled);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(ends, 0);
}

QTEST_MAIN(BackgroundRunTest)
#include "background_run_test.moc"
