// A measurement that cannot go on: the port, the device or its answer failed. The message names
// the port.
#pragma once

#include <string>

#include "engine/errors.h"

namespace feldan {

class InstrumentError : public CommandError {
  public:
    using CommandError::CommandError;
};

// The message of a fault on `port`; `line` is the line of a scan's answer where it matters.
inline InstrumentError PortFault(MessageId id, const std::string& port, std::string value = {},
                                 int line = 0) {
    return InstrumentError(FileMessage(id, std::move(value), port, line));
}

}  // namespace feldan
