// Runs the built feldan-cli as a user would, with a time limit, and keeps what it printed.
#pragma once

#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace feldan::reliability {

using CliRun = test::ProgramRun;
using test::HangLimitSeconds;
using test::ScratchFile;

// Runs feldan-cli with `args` in a C locale (plus `env`), waits at most HangLimitSeconds.
CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// True when `text` holds "nan", "inf" or "infinity" as a word of its own, in any case; words such
// as "information" do not count.
bool HasNonFiniteWord(const std::string& text);

}  // namespace feldan::reliability
