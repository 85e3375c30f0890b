#include "engine/filter_figures.h"

#include <algorithm>
#include <cmath>

namespace feldan {

namespace {

// The value of the straight line through (x0, y0) and (x1, y1) at x.
double Between(double x0, double y0, double x1, double y1, double x) {
    return x1 == x0 ? y0 : y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

}  // namespace

std::optional<BandEdges> OutermostCrossings(const std::vector<double>& hz,
                                            const std::vector<double>& db,
                                            double levelBelowPeakDb) {
    const std::size_t n = std::min(hz.size(), db.size());
    std::vector<std::size_t> finite;
    for (std::size_t i = 0; i < n; ++i)
        if (std::isfinite(db[i]) && std::isfinite(hz[i])) finite.push_back(i);
    if (finite.size() < 3) return std::nullopt;
    double peak = db[finite.front()];
    for (std::size_t i : finite)
        peak = std::max(peak, db[i]);
    const double level = peak - levelBelowPeakDb;
    const auto above = [&](std::size_t i) { return db[i] >= level; };
    // The first and the last point at or above the level; the curve must lie below it outside.
    const auto first = std::find_if(finite.begin(), finite.end(), above);
    const auto last = std::find_if(finite.rbegin(), finite.rend(), above);
    // Nothing reaches a level above the peak; the curve must fall below the level inside.
    if (first == finite.end() || first == finite.begin() || last == finite.rbegin())
        return std::nullopt;
    const std::size_t a = *first, before = *(first - 1);
    const std::size_t b = *last, after = *(last - 1);
    const auto crossing = [&](std::size_t in, std::size_t out) {
        return Between(db[in], hz[in], db[out], hz[out], level);
    };
    return BandEdges{crossing(a, before), crossing(b, after)};
}

std::optional<double> SpreadOver(const std::vector<double>& hz, const std::vector<double>& db,
                                 double fromHz, double toHz) {
    const std::size_t n = std::min(hz.size(), db.size());
    if (n < 2 || !(fromHz < toHz) || fromHz < hz.front() || toHz > hz[n - 1]) return std::nullopt;
    std::vector<double> values;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (double x : {fromHz, toHz}) {
            if (hz[i] <= x && x <= hz[i + 1])
                values.push_back(Between(hz[i], db[i], hz[i + 1], db[i + 1], x));
        }
        if (hz[i] > fromHz && hz[i] < toHz) values.push_back(db[i]);
    }
    std::erase_if(values, [](double v) { return !std::isfinite(v); });
    if (values.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

std::optional<double> FlatnessWithin(const std::vector<double>& hz, const std::vector<double>& db,
                                     const BandEdges& band) {
    const double quarter = band.WidthHz() / 4;
    return SpreadOver(hz, db, band.CentreHz() - quarter, band.CentreHz() + quarter);
}

FilterFigures FiguresOf(const std::vector<double>& hz, const std::vector<double>& db) {
    FilterFigures figures;
    double floor = 0;
    bool any = false;
    for (double value : db) {
        if (!std::isfinite(value)) continue;
        figures.peakDb = any ? std::max(figures.peakDb, value) : value;
        floor = any ? std::min(floor, value) : value;
        any = true;
    }
    if (!any) return figures;
    for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k) {
        const double level = figures.peakDb - FigureLevelsDb[k];
        if (level < floor + NoiseFloorMarginDb) continue;
        if (const std::optional<BandEdges> edges = OutermostCrossings(hz, db, FigureLevelsDb[k])) {
            figures.bandwidthHz[k] = edges->WidthHz();
            if (k == 0) {
                figures.centreHz = edges->CentreHz();
                figures.flatnessDb = FlatnessWithin(hz, db, *edges);
            }
        }
    }
    return figures;
}

}  // namespace feldan
