// The analysis subcommands of feldan-cli: sweep (the designed filter over a span) and export
// (Touchstone or SPICE).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

bool IsAnalysisCommand(const std::string& word);

// args[0] is the subcommand; everything it prints but its help is in `language`. Exit status 0
// done, 1 a warning of the design, 2 an error or bad usage.
int RunAnalysisCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                       std::ostream& err);

}  // namespace feldan::cli
