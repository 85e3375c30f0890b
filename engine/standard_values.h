// Parts a builder can buy: the IEC 60063 series of standard values, rounding to them, and two
// standard capacitors in parallel.
#pragma once

#include <span>
#include <string_view>

namespace feldan {

enum class ESeries { E6, E12, E24, E96 };

// The values of one decade, from 1 up (E96 with three digits, the others with two): 1, 1.5, 2.2 …
std::span<const double> DecadeOf(ESeries series);
// "E6" … "E96"; false when the text names no series.
bool ESeriesFromName(std::string_view name, ESeries& series);
std::string_view NameOf(ESeries series);

// The member of the series nearest to `value` (> 0) in the logarithmic sense, so 10.98 rounds
// to 12 in E12 and 9.6 to 10 in E24. Values that are not positive and finite come back as they
// are.
double RoundToSeries(double value, ESeries series);

// The member of the series next to `value` (> 0) upward (direction > 0) or downward: from a
// member its neighbour, from any other value the nearest member beyond it. Values that are not
// positive and finite come back as they are.
double NextInSeries(double value, ESeries series, int direction);

struct ParallelPair {
    double larger = 0;
    double smaller = 0;  // 0: one part alone is nearest
    double Sum() const { return larger + smaller; }
};

// Two members of the series whose sum is nearest to `value` (one alone when that is as near).
ParallelPair NearestParallelPair(double value, ESeries series);

}  // namespace feldan
