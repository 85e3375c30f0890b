// The five-line summary of a design and the general number format it is written in.
#pragma once

#include <string>

#include "engine/calculate_view.h"
#include "engine/design_state.h"

namespace feldan {

// General format with `precision` (2..18) significant digits; `separator` is the decimal
// separator of the user's locale.
std::string FormatGeneral(double value, int precision, char separator);

// The summary of the current design; lines separated by '\r', no line end after the last.
std::string ComposeResultText(const DesignState& state, char separator);

// Shows the result box and sets its text to the summary.
void ShowResultText(const DesignState& state, CalculateView& view, char separator);

}  // namespace feldan
