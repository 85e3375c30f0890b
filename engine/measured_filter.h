// A built filter as a network analyser measured it: from its S21 and S11 at each frequency, the
// curves the window lays over the design (|S21| and |S11| in dB, the group delay of the measured
// phase) and the centre of its pass band.
#pragma once

#include <complex>

#include <optional>
#include <vector>
#include "engine/filter_figures.h"
#include "engine/sweep.h"

namespace feldan {

// One frequency of a measured sweep.
struct MeasuredSample {
    double hz = 0;
    std::complex<double> s21;
    std::complex<double> s11;
};

struct MeasuredPoint {
    double hz = 0;
    double s21Db = 0;  // 20·log10 |S21|; −inf where S21 is 0
    double s11Db = 0;  // 20·log10 |S11|
    double groupDelaySec = 0;
};

// The −3 dB points of a curve, relative to its peak, and the middle of them.
using PassBandCentre = BandEdges;

struct MeasuredFilter {
    std::vector<MeasuredPoint> points;  // ascending frequency, no two alike
    double peakDb = 0;                  // the largest |S21| in dB
    // Unset when |S21| does not fall 3 dB below its peak on both sides within the sweep.
    std::optional<PassBandCentre> centre;
};

// How far below the peak of |S21| the measured phase still means something: further down, the
// group delay of a real sweep is mostly the instrument's noise.
inline constexpr double MeasuredDelayFloorDb = 20;

// The curves of a sweep. Samples may come in any order; those of equal frequency become one
// point, their mean (as the Touchstone reader merges repeats). Samples whose frequency is not
// finite are dropped.
MeasuredFilter AnalyseMeasuredFilter(std::vector<MeasuredSample> samples);

// −dφ/dω of s at each frequency of an ascending list (no two alike), in seconds.
std::vector<double> GroupDelayOf(const std::vector<double>& hz,
                                 const std::vector<std::complex<double>>& s);

// The outermost −3 dB points of a curve in dB over an ascending frequency list, placed by
// straight lines between the points either side.
std::optional<PassBandCentre> PassBandCentreOf(const std::vector<double>& hz,
                                               const std::vector<double>& db);

// A sample of a two-port measured between ports of `fromOhm`, as it would be between ports of
// `toOhm`. Without a reverse measurement (a NanoVNA writes zeros for S12 and S22) the filter is
// taken as reciprocal and symmetric: S12 = S21 and S22 = S11.
MeasuredSample RenormalisedSample(double hz, std::complex<double> s11, std::complex<double> s21,
                                  std::complex<double> s12, std::complex<double> s22,
                                  bool reverseMeasured, double fromOhm, double toOhm);

// The figures of a measured filter's |S21|.
FilterFigures FiguresOfMeasured(const MeasuredFilter& measured);
// The figures of `design` swept as `request` asks over the span of `measured` (4001 points),
// by the same rules as the measurement's: the two can be laid side by side.
FilterFigures FiguresOfDesignOver(DesignedFilter& design, SweepRequest request,
                                  const MeasuredFilter& measured);

// A measurement beside its design: the figures of both by the same rules and the shift of the
// centres (the design's minus the measurement's) that moves the measured curve onto the design's.
// The design is the one `request` sweeps, so the three always describe one circuit between one
// pair of ports.
struct MeasuredComparison {
    FilterFigures measured;
    FilterFigures design;
    std::optional<double> shiftHz;  // unset while either has no centre
};
MeasuredComparison CompareMeasured(DesignedFilter& design, const SweepRequest& request,
                                   const MeasuredFilter& measured);

// |S21| in dB as the pass-band curve of a calculation shows it. That curve is the load voltage of
// the 1 V source raised by a round 6 dB, while |S21| of equal terminations is the same voltage
// raised by 20·log10 2: a filter built as designed lies on the curve.
double PassBandDbOfS21(double s21Db);

}  // namespace feldan
