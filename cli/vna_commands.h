// feldan-cli vna: a network analyser of the NanoVNA text shell on a serial port. vna list names
// the USB serial ports and the analysers among them; vna sweep writes a sweep of any length as a
// Touchstone file; vna crystal measures a crystal in series between the ports and fits it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

bool IsVnaCommand(const std::string& word);

// args[0] is "vna". Exit status 0 done, 1 a warning of the fit, 2 a fault of the port or the
// device, a file that cannot be written, or bad usage.
int RunVnaCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                  std::ostream& err);

}  // namespace feldan::cli
