// The design run at the start of every calculation: checks and converts the input texts,
// computes the elements of the chosen topology, builds the circuit and analyses it at Fo.
#pragma once

#include "circuit/analysis.h"
#include "engine/calculate_view.h"
#include "engine/design_state.h"

namespace feldan {

// The element values that the netlists read, taken from the state.
ElementValues ElementValuesOf(const DesignState& state);

// True when the analysis at Fo succeeded and RespAtFoDb/AFoDb are set; false after a warning has
// been shown through the view. Throws ConversionError for a text that is not a number and
// ArithmeticError for a division by zero, an invalid operation or an overflow.
bool RunDesign(DesignState& state, CircuitAnalysis& circuit, const InputTexts& texts,
               CalculateView& view, char separator);

// One analysis point of the built circuit: sets FreqHz, OmegaRad (2π·FreqHz), SolveOk and, when
// the solve succeeded, ResponseDb. A frequency of 0 Hz or below, a failed solve, a load voltage
// of exactly 0 and a response that is not a finite number all count as no solution (SolveOk
// false, ResponseDb kept), so no infinity or NaN ever leaves the analysis. A search that steps
// by `stepHz` passes it, so the circuit can solve the points ahead side by side; the result is
// the same to the bit.
bool AnalyseAt(DesignState& state, CircuitAnalysis& circuit, double freqHz, double stepHz = 0);

}  // namespace feldan
