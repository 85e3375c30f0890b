// The analyser behind a serial port, opened and connected: what the command line, the crystal
// measurement and the live sweep all start from.
#pragma once

#include <memory>
#include <string>

#include "instruments/nanovna_shell.h"
#include "instruments/serial_ports.h"

namespace feldan {

struct AnalyserConnection {
    std::unique_ptr<PosixSerialPort> port;
    std::unique_ptr<NanoVnaShell> shell;  // reads through `port`
    AnalyserIdentity identity;
};

// Opens the port at `path` and connects to the analyser's shell, every read bounded by `limits`.
// Throws InstrumentError naming `path`: the port's faults (VnaOpenFailed, VnaBusy,
// VnaNoPermission, VnaBinaryUnsupported), VnaNotAnalyser when no analyser answers, and the faults
// of NanoVnaShell::Command (VnaPortClosed, VnaTimeout, ...).
AnalyserConnection ConnectAnalyser(const std::string& path, const ReadLimits& limits = {});

}  // namespace feldan
