// The build-aid subcommands of feldan-cli: round (standard values), tolerance (Monte Carlo) and
// match (to 50 Ohm).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

bool IsBuildCommand(const std::string& word);

// args[0] is the subcommand; everything it prints but its help is in `language`. Exit status 0
// done, 1 a warning, 2 an error or bad usage.
int RunBuildCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                    std::ostream& err);

}  // namespace feldan::cli
