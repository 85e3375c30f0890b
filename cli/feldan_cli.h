// feldan-cli from its arguments to its exit status.
#pragma once

#include <ostream>

namespace feldan::cli {

// The decimal separator of the system locale (LC_ALL, LC_NUMERIC, LANG): ',' or '.'.
char SystemDecimalSeparator();

// Parses the arguments, runs the calculation and writes the outputs. Returns the exit status:
// 0 finished, 1 stopped with a warning, 2 error or bad usage.
int RunFeldanCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 char systemSeparator);

}  // namespace feldan::cli
