// The analyser behind a serial port, opened and connected: what the command line, the crystal
// measurement and the live sweep all start from.
#pragma once

#include <memory>
#include <string>

#include "instruments/analyser.h"
#include "instruments/serial_ports.h"

namespace feldan {

struct AnalyserConnection {
    std::unique_ptr<PosixSerialPort> port;
    // The text shell or the V2's registers, whichever the device answered in; reads `port`.
    std::unique_ptr<Analyser> shell;
    AnalyserIdentity identity;
};

// The protocol of the device on `stream`: eight no-ops and the V2's opcode 0D, which a V2
// answers with "2" and the text shell, which skips the no-ops, with its prompt. Throws
// InstrumentError naming `port`: VnaNotAnalyser when neither answer comes, VnaPortClosed.
AnalyserFamily FindProtocol(ByteStream& stream, const std::string& port, const ReadLimits& limits);

// Opens the port at `path`, finds its protocol and connects, every read bounded by `limits`.
// Throws InstrumentError naming `path`: the port's faults (VnaOpenFailed, VnaBusy,
// VnaNoPermission), VnaNotAnalyser when no analyser answers, and the faults of the connection
// (VnaPortClosed, VnaTimeout, VnaFirmwareUpdate, ...).
AnalyserConnection ConnectAnalyser(const std::string& path, const ReadLimits& limits = {});

}  // namespace feldan
