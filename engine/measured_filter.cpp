#include "engine/measured_filter.h"

#include "engine/filter_figures.h"
#include "engine/sweep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "circuit/two_port.h"

namespace feldan {

std::vector<double> GroupDelayOf(const std::vector<double>& hz,
                                 const std::vector<std::complex<double>>& s) {
    const std::size_t n = std::min(hz.size(), s.size());
    std::vector<double> delay(n, 0.0);
    if (n < 2) return delay;
    // The phase unwrapped: each step is the angle of s[i]·conj(s[i−1]), the turn between
    // neighbours taken in (−π, π]. That holds while the sweep turns the phase less than half a
    // turn per step, as any sweep that resolves the filter does.
    std::vector<double> phase(n, std::arg(s[0]));
    for (std::size_t i = 1; i < n; ++i)
        phase[i] = phase[i - 1] + std::arg(s[i] * std::conj(s[i - 1]));
    // −dφ/dω by the difference of the two neighbours of each point (central, exact for a phase
    // linear in ω on any spacing); at the two ends, the difference to the one neighbour.
    const auto slope = [&](std::size_t a, std::size_t b) {
        return -(phase[b] - phase[a]) / (2 * std::numbers::pi * (hz[b] - hz[a]));
    };
    delay[0] = slope(0, 1);
    for (std::size_t i = 1; i + 1 < n; ++i)
        delay[i] = slope(i - 1, i + 1);
    delay[n - 1] = slope(n - 2, n - 1);
    return delay;
}

std::optional<PassBandCentre> PassBandCentreOf(const std::vector<double>& hz,
                                               const std::vector<double>& db) {
    // The outermost crossings, as every figure of a filter takes them: a dip inside the band
    // does not split it.
    return OutermostCrossings(hz, db, 3);
}

MeasuredFilter AnalyseMeasuredFilter(std::vector<MeasuredSample> samples) {
    std::erase_if(samples, [](const MeasuredSample& s) { return !std::isfinite(s.hz); });
    std::stable_sort(samples.begin(), samples.end(),
                     [](const MeasuredSample& a, const MeasuredSample& b) { return a.hz < b.hz; });
    std::vector<double> hz;
    std::vector<std::complex<double>> s21, s11;
    std::vector<int> merged;
    for (const MeasuredSample& sample : samples) {
        if (!hz.empty() && sample.hz == hz.back()) {
            const double count = ++merged.back();
            s21.back() += (sample.s21 - s21.back()) / count;
            s11.back() += (sample.s11 - s11.back()) / count;
            continue;
        }
        hz.push_back(sample.hz);
        s21.push_back(sample.s21);
        s11.push_back(sample.s11);
        merged.push_back(1);
    }

    MeasuredFilter filter;
    const std::vector<double> delay = GroupDelayOf(hz, s21);
    std::vector<double> s21Db(hz.size());
    filter.points.reserve(hz.size());
    filter.peakDb = -INFINITY;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        s21Db[i] = DecibelsOf(s21[i]);
        filter.points.push_back({hz[i], s21Db[i], DecibelsOf(s11[i]), delay[i]});
        filter.peakDb = std::max(filter.peakDb, s21Db[i]);
    }
    filter.centre = PassBandCentreOf(hz, s21Db);
    return filter;
}

MeasuredSample RenormalisedSample(double hz, std::complex<double> s11, std::complex<double> s21,
                                  std::complex<double> s12, std::complex<double> s22,
                                  bool reverseMeasured, double fromOhm, double toOhm) {
    if (!reverseMeasured) {
        s12 = s21;
        s22 = s11;
    }
    RenormaliseSParameters(s11, s21, s12, s22, fromOhm, fromOhm, toOhm);
    return {hz, s21, s11};
}

FilterFigures FiguresOfMeasured(const MeasuredFilter& measured) {
    std::vector<double> hz, db;
    for (const MeasuredPoint& point : measured.points) {
        hz.push_back(point.hz);
        db.push_back(point.s21Db);
    }
    return FiguresOf(hz, db);
}

FilterFigures FiguresOfDesignOver(DesignedFilter& design, SweepRequest request,
                                  const MeasuredFilter& measured) {
    if (measured.points.size() < 2) return {};
    const double foHz = design.design.input.FoKHz * 1000;
    request.fromDetuningHz = measured.points.front().hz - foHz;
    request.toDetuningHz = measured.points.back().hz - foHz;
    request.points = 4001;
    std::vector<double> hz, db;
    for (const SweepPoint& point : SweepFilter(design, request).points) {
        if (!point.ok) continue;
        hz.push_back(point.hz);
        db.push_back(DecibelsOfS(point.s21));
    }
    return FiguresOf(hz, db);
}

MeasuredComparison CompareMeasured(DesignedFilter& design, const SweepRequest& request,
                                   const MeasuredFilter& measured) {
    MeasuredComparison comparison;
    comparison.measured = FiguresOfMeasured(measured);
    comparison.design = FiguresOfDesignOver(design, request, measured);
    if (comparison.measured.centreHz && comparison.design.centreHz)
        comparison.shiftHz = *comparison.design.centreHz - *comparison.measured.centreHz;
    return comparison;
}

double PassBandDbOfS21(double s21Db) {
    return s21Db - (S21OffsetDb - LevelOffsetDb);
}

}  // namespace feldan
