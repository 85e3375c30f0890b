#include "instruments/analyser_sweep.h"

#include <algorithm>
#include <cmath>

#include "instruments/instrument_error.h"

namespace feldan {

namespace {

// The readings of one scan, averaged: as many per scan as the device averages, in as many
// scans as that takes; the frequencies are the first scan's.
ScanAnswer AveragedScan(MeasurementContext& context, const SweepPlan& plan, std::uint64_t startHz,
                        std::uint64_t stopHz, int points) {
    const int averages = std::max(plan.averages, 1);
    const int perScan = std::clamp(averages, 1, context.analyser.MostReadingsPerPoint());
    ScanAnswer sum;
    for (int done = 0; done < averages;) {
        const MeasurementProgress progress{context.stage, context.scansDone,
                                           0.5 * (plan.startHz + plan.stopHz),
                                           plan.stopHz - plan.startHz};
        if (context.progress && !context.progress(progress))
            throw PortFault(MessageId::VnaCancelled, context.analyser.Port());
        const int readings = std::min(perScan, averages - done);
        ScanAnswer answer = context.analyser.Scan(startHz, stopHz, points, readings);
        ++context.scansDone;
        if (!answer.refusal.empty()) return answer;
        for (ScanPoint& point : answer.points) {
            point.s11 *= readings;
            point.s21 *= readings;
        }
        if (done == 0) {
            sum = std::move(answer);
        } else {
            for (std::size_t i = 0; i < sum.points.size() && i < answer.points.size(); ++i) {
                sum.points[i].s11 += answer.points[i].s11;
                sum.points[i].s21 += answer.points[i].s21;
            }
        }
        done += readings;
    }
    for (ScanPoint& point : sum.points) {
        point.s11 /= averages;
        point.s21 /= averages;
    }
    return sum;
}

}  // namespace

void MeasureSweep(MeasurementContext& context, const SweepPlan& plan, AnalyserSweep& sweep) {
    sweep = AnalyserSweep{};
    const double scale = 1 + plan.ppm * 1e-6;
    const int total = std::max(plan.points, 2);
    const double step = (plan.stopHz - plan.startHz) / (total - 1);
    // The device's frequency of a point of the whole sweep, in its whole hertz.
    const auto deviceHz = [&](int index) {
        return static_cast<std::uint64_t>(std::llround((plan.startHz + step * index) / scale));
    };
    int first = 0;
    while (first < total) {
        // As few scans as the board allows, of sizes that differ by one point at most.
        const int left = total - first;
        const int scans =
            (left + context.identity.maxScanPoints - 1) / context.identity.maxScanPoints;
        const int count = (left + scans - 1) / scans;
        const int last = first + count - 1;
        const ScanAnswer answer =
            AveragedScan(context, plan, deviceHz(first), deviceHz(last), count);
        if (!answer.refusal.empty()) {
            if (context.identity.maxScanPoints <= SmallBoardScanPoints)
                throw PortFault(MessageId::VnaScanLine, context.analyser.Port(), answer.refusal, 1);
            context.identity.maxScanPoints = SmallBoardScanPoints;
            continue;
        }
        for (const ScanPoint& point : answer.points) {
            const double hz = point.frequencyHz * scale;
            // A scan narrower than its points repeats frequencies; the sweep keeps one of each.
            if (!sweep.frequencyHz.empty() && !(hz > sweep.frequencyHz.back())) continue;
            sweep.frequencyHz.push_back(hz);
            sweep.s11.push_back(point.s11);
            sweep.s21.push_back(point.s21);
        }
        first = last + 1;
    }
}

}  // namespace feldan
