// The figures a builder compares between a measured filter and its design: the centre, the peak,
// the widths at four levels below the peak, and the flatness of the pass band. Both curves get
// them by the same rules, so that the two columns can be laid side by side.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace feldan {

// The levels below the peak at which the widths are measured, in dB.
inline constexpr std::array<double, 4> FigureLevelsDb = {3, 6, 20, 60};
// A level closer than this to the lowest |S21| of the sweep is not measured: there the curve is
// the instrument's noise (or the span's end), not the filter.
inline constexpr double NoiseFloorMarginDb = 10;

// The outermost frequencies where a curve crosses `levelBelowPeakDb` under its peak.
struct BandEdges {
    double lowerHz = 0;
    double upperHz = 0;
    double CentreHz() const { return (lowerHz + upperHz) / 2; }
    double WidthHz() const { return upperHz - lowerHz; }
};

struct FilterFigures {
    double peakDb = 0;  // the largest |S21| in dB
    // The middle of the outermost −3 dB crossings.
    std::optional<double> centreHz;
    // At each of FigureLevelsDb; unset where the level lies within NoiseFloorMarginDb of the
    // sweep's lowest point or the curve does not fall that far inside the sweep.
    std::array<std::optional<double>, FigureLevelsDb.size()> bandwidthHz{};
    // The largest minus the smallest attenuation over the middle half of the −3 dB band.
    std::optional<double> flatnessDb;
};

// The outermost crossings of the level `levelBelowPeakDb` under the peak, placed by straight
// lines between the points either side; unset when the curve is above the level at either end
// of an ascending frequency list, or has fewer than three finite points.
std::optional<BandEdges> OutermostCrossings(const std::vector<double>& hz,
                                            const std::vector<double>& db, double levelBelowPeakDb);

// The figures of |S21| in dB over an ascending frequency list.
FilterFigures FiguresOf(const std::vector<double>& hz, const std::vector<double>& db);

// The flatness within a −3 dB band: the spread of `db` over the middle half of `band`.
std::optional<double> FlatnessWithin(const std::vector<double>& hz, const std::vector<double>& db,
                                     const BandEdges& band);

// The largest minus the smallest of `db` over [fromHz, toHz], the ends taken on the straight
// lines between the points either side.
std::optional<double> SpreadOver(const std::vector<double>& hz, const std::vector<double>& db,
                                 double fromHz, double toHz);

}  // namespace feldan
