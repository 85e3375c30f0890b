// Texts for a shell: a message may quote bytes of a file or of the command line, and the tool
// speaks the two languages of the window.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "engine/messages.h"

namespace feldan::cli {

// `text` as it may reach a terminal or a JSON string: valid UTF-8 passes, except control
// characters (an escape sequence, say), which would act on the terminal instead of being read.
// C0 controls but the line break and the tab, and DEL, are shown as \xNN, C1 controls as \u00NN;
// every byte that is not part of a well-formed UTF-8 character (a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF, a sequence cut short) as \xNN.
std::string ForTerminal(std::string_view text);

// Writes `line` through ForTerminal, then a line end.
void WriteLine(std::ostream& out, std::string_view line);

// `russian` or `english`, as `language` asks.
std::string InLanguage(Language language, std::string_view russian, std::string_view english);

}  // namespace feldan::cli
