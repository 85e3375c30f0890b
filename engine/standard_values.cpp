#include "engine/standard_values.h"

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace feldan {

namespace {

// IEC 60063. E24 is not the rounded geometric series at eight values (2.7, 3.0, 3.3, 3.6, 3.9,
// 4.3, 4.7, 8.2), so every table is written out, one decade a row.
constexpr std::array<double, 6> E6 = {1.0, 1.5, 2.2, 3.3, 4.7, 6.8};
constexpr std::array<double, 12> E12 = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
constexpr std::array<double, 24> E24 = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                                        3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};
constexpr std::array<double, 96> E96 = {
    1.00, 1.02, 1.05, 1.07, 1.10, 1.13, 1.15, 1.18, 1.21, 1.24, 1.27, 1.30, 1.33, 1.37, 1.40, 1.43,
    1.47, 1.50, 1.54, 1.58, 1.62, 1.65, 1.69, 1.74, 1.78, 1.82, 1.87, 1.91, 1.96, 2.00, 2.05, 2.10,
    2.15, 2.21, 2.26, 2.32, 2.37, 2.43, 2.49, 2.55, 2.61, 2.67, 2.74, 2.80, 2.87, 2.94, 3.01, 3.09,
    3.16, 3.24, 3.32, 3.40, 3.48, 3.57, 3.65, 3.74, 3.83, 3.92, 4.02, 4.12, 4.22, 4.32, 4.42, 4.53,
    4.64, 4.75, 4.87, 4.99, 5.11, 5.23, 5.36, 5.49, 5.62, 5.76, 5.90, 6.04, 6.19, 6.34, 6.49, 6.65,
    6.81, 6.98, 7.15, 7.32, 7.50, 7.68, 7.87, 8.06, 8.25, 8.45, 8.66, 8.87, 9.09, 9.31, 9.53, 9.76};

// A member of a decade times a power of ten, formed from the member's digits so that 4.7 in the
// decade of 100 gives 470 exactly.
double Scaled(double member, int decade, ESeries series) {
    const int digits = series == ESeries::E96 ? 2 : 1;
    const double whole = std::round(member * std::pow(10.0, digits));
    const int exponent = decade - digits;
    return exponent >= 0 ? whole * std::pow(10.0, exponent) : whole / std::pow(10.0, -exponent);
}

}  // namespace

std::span<const double> DecadeOf(ESeries series) {
    switch (series) {
        case ESeries::E6:
            return E6;
        case ESeries::E12:
            return E12;
        case ESeries::E24:
            return E24;
        case ESeries::E96:
            return E96;
    }
    return E24;
}

bool ESeriesFromName(std::string_view name, ESeries& series) {
    for (ESeries s : {ESeries::E6, ESeries::E12, ESeries::E24, ESeries::E96}) {
        if (name == NameOf(s)) {
            series = s;
            return true;
        }
    }
    return false;
}

std::string_view NameOf(ESeries series) {
    switch (series) {
        case ESeries::E6:
            return "E6";
        case ESeries::E12:
            return "E12";
        case ESeries::E24:
            return "E24";
        case ESeries::E96:
            return "E96";
    }
    return "";
}

double RoundToSeries(double value, ESeries series) {
    if (!(value > 0) || !std::isfinite(value)) return value;
    const int decade = static_cast<int>(std::floor(std::log10(value)));
    double best = 0;
    double bestDistance = 0;
    // The members of this decade and the first of the next one (10.98 is nearer to 12 than 10,
    // 9.6 nearer to 10 than to 9.1).
    for (int d = decade - 1; d <= decade + 1; ++d) {
        for (double member : DecadeOf(series)) {
            const double candidate = Scaled(member, d, series);
            const double distance = std::fabs(std::log(candidate / value));
            if (best == 0 || distance < bestDistance) {
                best = candidate;
                bestDistance = distance;
            }
        }
    }
    return best;
}

double NextInSeries(double value, ESeries series, int direction) {
    if (!(value > 0) || !std::isfinite(value) || direction == 0) return value;
    const int decade = static_cast<int>(std::floor(std::log10(value)));
    // A value within this share of a member is that member: typed or stored values carry the
    // last bits of a decimal text.
    constexpr double Same = 1e-9;
    double best = 0;
    for (int d = decade - 1; d <= decade + 1; ++d) {
        for (double member : DecadeOf(series)) {
            const double candidate = Scaled(member, d, series);
            const bool beyond =
                direction > 0 ? candidate > value * (1 + Same) : candidate < value * (1 - Same);
            if (!beyond) continue;
            if (best == 0 || (direction > 0 ? candidate < best : candidate > best))
                best = candidate;
        }
    }
    return best;
}

ParallelPair NearestParallelPair(double value, ESeries series) {
    ParallelPair best{RoundToSeries(value, series), 0};
    if (!(value > 0) || !std::isfinite(value)) return best;
    const int decade = static_cast<int>(std::floor(std::log10(value)));
    // The larger part is at most the value and at least half of it; the smaller one is the
    // member nearest to what is left, or its neighbour.
    for (int d = decade - 1; d <= decade; ++d) {
        for (double member : DecadeOf(series)) {
            const double larger = Scaled(member, d, series);
            if (larger > value || larger < value / 2) continue;
            const double rest = value - larger;
            if (!(rest > 0)) continue;
            const double smaller = RoundToSeries(rest, series);
            if (smaller > larger) continue;
            if (std::fabs(larger + smaller - value) < std::fabs(best.Sum() - value)) {
                best = {larger, smaller};
            }
        }
    }
    return best;
}

}  // namespace feldan
