// The binary protocol of the NanoVNA V2 (S-A-A-2) and the LiteVNA (USB 04b4:0008): one-byte
// opcodes that read and write little-endian registers and read the FIFO of measured records.
// The sweep is written before every scan, since a LiteVNA forgets it when idle, and the device
// is sent back to its own screen after each.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "instruments/analyser.h"
#include "instruments/byte_stream.h"

namespace feldan {

// The most points of one sweep of a V2, and of a LiteVNA.
inline constexpr int V2ScanPoints = 1024;
inline constexpr int LiteVnaScanPoints = 65535;
// The most records one FIFO read asks for: the count is one byte.
inline constexpr int V2MostRecordsPerRead = 255;

// The eight no-ops that reset the device's parser and the opcode it answers with "2".
std::string V2Hello();

class NanoVnaV2 : public Analyser {
  public:
    // `port` names the port in messages. Every read waits at most what `limits` allow.
    NanoVnaV2(ByteStream& stream, std::string port, ReadLimits limits = {});

    // Resets the parser, checks the answer "2", reads the variant, hardware and firmware
    // registers (once more after a pause when they do not come). Throws InstrumentError:
    // VnaNotAnalyser, VnaFirmwareUpdate for a device in its firmware update mode, VnaTimeout.
    AnalyserIdentity Connect() override;

    // Writes the sweep, clears the FIFO and reads the scan's records in pieces, then leaves the
    // device's USB mode. On firmware 1.0.1 and older a point more is swept and the first, whose
    // S21 is wrong, dropped. Throws InstrumentError: VnaPortClosed, VnaTimeout, VnaBadRecord.
    ScanAnswer Scan(std::uint64_t startHz, std::uint64_t stopHz, int points, int readings) override;
    int MostReadingsPerPoint() const override { return 100; }

    const std::string& Port() const override { return port_; }

  private:
    void Send(std::string_view bytes);
    unsigned ReadRegister(unsigned address);
    void WriteRegister(unsigned address, std::uint64_t value, int bytes);
    // Waits at most `limit` for `count` bytes in the buffer; false when they did not come.
    bool Await(std::size_t count, std::chrono::milliseconds limit);
    void Drain();

    ByteStream& stream_;
    std::string port_;
    ReadLimits limits_;
    std::string buffer_;
    bool dropFirstPoint_ = false;
    // A read was asked for again: records of the first request may still come and are drained.
    bool stray_ = false;
};

}  // namespace feldan
