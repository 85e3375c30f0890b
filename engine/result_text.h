// The five-line summary of a design and the general number format it is written in.
#pragma once

#include <string>

#include "engine/calculate.h"

namespace feldan {

// General format with `precision` (2..18) significant digits; `separator` is the decimal
// separator of the user's locale.
std::string FormatGeneral(double value, int precision, char separator);

// The summary of a finished calculation; lines separated by '\r', no line end after the last.
// The numbers are the same in both languages; only the words around them differ.
std::string ComposeResultText(const CalculationResult& result, char separator,
                              Language language = Language::Russian);

}  // namespace feldan
