// The text shell of the NanoVNA family (NanoVNA, -H, -H4, -F and the firmwares derived from
// them; USB 0483:5740, a CDC port, so the baud rate does not matter). A command ends with CR; the
// device echoes it, answers in lines ending in CR LF and ends every answer with the prompt
// "ch> ", which no line end follows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/analyser.h"
#include "instruments/byte_stream.h"

namespace feldan {

// The most points one scan of the smaller boards takes, and of the -H4.
inline constexpr int SmallBoardScanPoints = 101;
inline constexpr int LargeBoardScanPoints = 401;

class NanoVnaShell : public Analyser {
  public:
    // `port` names the port in messages. Every read waits at most what `limits` allow.
    NanoVnaShell(ByteStream& stream, std::string port, ReadLimits limits = {});

    // Sends a CR and reads up to the prompt and a silence after it, so that whatever an earlier
    // program left half-said is drained; then asks `info` and `version`. Throws InstrumentError:
    // VnaNotAnalyser when no prompt comes or `info` names no analyser.
    AnalyserIdentity Connect() override;

    // The lines of a command's answer, without the echo and the prompt.
    std::vector<std::string> Command(std::string_view command);

    // One scan, START STOP POINTS 7; the frequencies are whole hertz, as the device takes them.
    // Throws InstrumentError when the port closes (VnaPortClosed), the device stops answering
    // (VnaTimeout), a line is not a point (VnaScanLine, naming the line of the answer), fewer
    // points come than asked for (VnaShortScan) or the prompt does not (VnaNoPrompt).
    ScanAnswer Scan(std::uint64_t startHz, std::uint64_t stopHz, int points);
    // The shell averages nothing itself: `readings` scans, averaged.
    ScanAnswer Scan(std::uint64_t startHz, std::uint64_t stopHz, int points, int readings) override;
    int MostReadingsPerPoint() const override { return 1; }

    const std::string& Port() const override { return port_; }

  private:
    enum class Piece { Line, Prompt, Timeout };
    // The next line (into `line`, without its line end) or prompt, waiting at most `limit`.
    Piece Next(std::chrono::milliseconds limit, std::string& line);
    void Send(std::string_view command);

    ByteStream& stream_;
    std::string port_;
    ReadLimits limits_;
    std::string buffer_;
};

}  // namespace feldan
