// The figures a builder reads of a design before he solders it: the widths at the levels a
// datasheet names, the shape factor, the loss the crystals' Q leaves, where the skirts reach 20
// and 30 dB down (where a carrier or the other sideband may sit), and for a narrow filter the
// fastest Morse it keeps apart.
#pragma once

#include <optional>
#include <string>

#include "engine/filter_figures.h"
#include "engine/sweep.h"

namespace feldan {

// The speeds the CW figure looks between, in words a minute.
inline constexpr double SlowestWpm = 5;
inline constexpr double FastestWpm = 1000;
// The gap between dots must fall this far below them to be heard as a gap.
inline constexpr double DotGapDb = -20;
// Filters up to this width, and every CW ladder, get the CW figure.
inline constexpr double CwFigureWidthHz = 1000;

struct SkirtPoints {
    double lowerHz = 0;
    double upperHz = 0;
};

struct DesignFigures {
    // Widths at FigureLevelsDb below the peak, the centre and the flatness, of |S21| between
    // the circuit's own terminations.
    FilterFigures widths;
    std::optional<double> shapeFactor;   // the width at 60 dB over the width at 6 dB
    double insertionLossDb = 0;          // the peak's loss: what the crystals' Q leaves
    std::optional<SkirtPoints> skirt20;  // absolute frequencies 20 dB below the peak
    std::optional<SkirtPoints> skirt30;  // and 30 dB
    // The fastest dots whose gaps still fall to DotGapDb; unset where the filter is not a CW
    // one, or passes even FastestWpm (then it is FastestWpm and `wpmAbove` is set).
    std::optional<double> fastestWpm;
    bool wpmAbove = false;
};

// The figures of a designed filter whose band is known (BandOf(filter.design)); unset when it
// is not. The sweep is centred on the band and reaches 70 dB below its peak where it can.
std::optional<DesignFigures> FiguresOfDesign(DesignedFilter& filter);

// The figures as the window and the report show them, lines separated by '\n': the widths, the
// shape factor and the loss, the skirts in kHz, and the CW speed where there is one.
std::string DesignFiguresText(const DesignFigures& figures, char separator, Language language);

}  // namespace feldan
