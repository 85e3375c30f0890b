// The Calculate command: design run, level, peak and band-edge searches, the plotted response
// curve, the overlay status text and the result text.
#pragma once

#include <span>
#include <vector>

#include "circuit/analysis.h"
#include "engine/calculate_view.h"
#include "engine/design_state.h"

namespace feldan {

// Each search (and the plot sweep) steps 1 Hz at a time and stops after this many steps.
inline constexpr int MaxSearchSteps = 30000;

// Analysed frequency steps of the last command's searches and sweep (0 where it did not get).
struct StepCounts {
    int PeakSteps = 0;
    int EdgeSteps = 0;
    int SweepSteps = 0;
};

// Owns the design state, the circuit and the curve buffer of the program: one per application.
class FilterDesigner {
  public:
    // `separator` is the decimal separator of the user's locale, read once at start.
    explicit FilterDesigner(char separator);

    // Runs one whole Calculate command. Warnings go through the view and end the command;
    // ConversionError and ArithmeticError propagate to the caller (the command boundary). On
    // that path the busy cursor, if the command had set it, is restored before the exception
    // leaves, and CurveCount is not advanced.
    void CalculateClick(const InputTexts& texts, CalculateView& view);

    // The points of the last curve (also of one that a message cut short).
    std::span<const CurvePoint> LastCurve() const { return curve_; }

    StepCounts LastStepCounts() const { return steps_; }

    char Separator() const { return separator_; }

    DesignState state;
    CircuitAnalysis circuit;

  private:
    enum class Outcome { Finished, Stopped };
    Outcome RunCommand(const InputTexts& texts, CalculateView& view, bool overlay, bool& busy);
    // Hands the points computed so far to the view, once, at `position`.
    void HandOverCurve(CalculateView& view, int position);
    Outcome Stop(CalculateView& view, const char* message, int position);

    char separator_;
    std::vector<CurvePoint> curve_;  // reserved once; a sweep allocates nothing
    bool curveHandedOver_ = false;
    StepCounts steps_;
};

}  // namespace feldan
