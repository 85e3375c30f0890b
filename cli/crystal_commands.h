// The crystal subcommands of feldan-cli: fit (a sweep to a crystal model), g3uur (the oscillator
// method) and crystals (a set: fit, list, pick).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

bool IsCrystalCommand(const std::string& word);

// args[0] is the subcommand; everything it prints but its help is in `language`. Exit status 0
// done, 1 a warning (no resonance, a poor fit), 2 an error or bad usage.
int RunCrystalCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                      std::ostream& err);

}  // namespace feldan::cli
