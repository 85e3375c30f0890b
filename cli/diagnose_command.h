// feldan-cli diagnose: what was built, found from the measured sweep of the filter: every
// capacitor, each crystal's offset, the crystals' Rm, with their bounds, and what to change.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

// args are the subcommand's own (after "diagnose"). Exit status 0 fitted, 1 when the design or
// the fit ends in a warning (no convergence), 2 an error or bad usage.
int RunDiagnose(const std::vector<std::string>& args, Language language, std::ostream& out,
                std::ostream& err);

}  // namespace feldan::cli
