// The five-line summary of a design and the general number format it is written in.
#pragma once

#include <string>

#include "engine/calculate.h"

namespace feldan {

// General format with `precision` (2..18) significant digits; `separator` is the decimal
// separator of the user's locale.
std::string FormatGeneral(double value, int precision, char separator);

// The summary of a finished calculation; lines separated by '\r', no line end after the last.
std::string ComposeResultText(const CalculationResult& result, char separator);

}  // namespace feldan
