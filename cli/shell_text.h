// Texts for a shell: a message may quote bytes of a file or of the command line, and the tool
// speaks the two languages of the window.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "engine/messages.h"
#include "files/calculation_json.h"

namespace feldan::cli {

// The text as it may reach a terminal or a JSON string (files/calculation_json.h).
using feldan::ForTerminal;

// Writes `line` through ForTerminal, then a line end.
void WriteLine(std::ostream& out, std::string_view line);

// `value` in the general format with `digits` significant digits, whatever the locale: how the
// tool's texts show a number (its JSON keeps all 17).
std::string Short(double value, int digits);

// `russian` or `english`, as `language` asks.
std::string InLanguage(Language language, std::string_view russian, std::string_view english);

}  // namespace feldan::cli
