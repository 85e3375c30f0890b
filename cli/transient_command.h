// feldan-cli transient: the step, impulse or keyed response of the designed filter in time, and
// the figures a CW operator hears (delay, rise, overshoot, decay, the gaps between dots).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

// args are the subcommand's own (after "transient"). Exit status 0 done, 1 a warning of the
// design, 2 an error or bad usage.
int RunTransient(const std::vector<std::string>& args, Language language, std::ostream& out,
                 std::ostream& err);

}  // namespace feldan::cli
