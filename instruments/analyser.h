// What the sweeps and the crystal measurement ask of an analyser, whichever protocol it speaks:
// who it is, and one scan of S11 and S21 at evenly spaced frequencies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instruments/byte_stream.h"
#include "instruments/scan_line.h"

namespace feldan {

// The protocol an analyser speaks: by its USB ids before it is opened, by its answer after.
enum class AnalyserFamily {
    Other,      // not a known analyser
    TextShell,  // 0483:5740, the NanoVNA family's CDC port and its text shell
    Binary,     // 04b4:0008, NanoVNA V2 and LiteVNA: registers and a FIFO of binary records
};

struct AnalyserIdentity {
    std::string board;     // the text shell's line of `info` that names it; "NanoVNA V2", ...
    std::string firmware;  // as the device gives it: "1.2.00", "1.0.1"
    // The most points a scan takes: from the board's name, or the larger count to be tried
    // first when the name does not say (a refused scan then lowers it).
    int maxScanPoints = 101;
    AnalyserFamily family = AnalyserFamily::TextShell;
};

// A scan's answer: its points, or the one line of text with which the device refused it (a
// count of points above what the board takes).
struct ScanAnswer {
    std::vector<ScanPoint> points;
    std::string refusal;
};

class Analyser {
  public:
    virtual ~Analyser() = default;

    // Finds the device on its port, says who it is and leaves it ready to scan. Throws
    // InstrumentError (VnaNotAnalyser when no analyser answers).
    virtual AnalyserIdentity Connect() = 0;

    // One scan of `points` from START to STOP in whole hertz, each point the mean of `readings`
    // readings (at most MostReadingsPerPoint()). The points carry the frequencies the device
    // measured at. Throws InstrumentError naming Port().
    virtual ScanAnswer Scan(std::uint64_t startHz, std::uint64_t stopHz, int points,
                            int readings) = 0;

    // How many readings of each frequency one scan can average: 1 when only repeated scans can.
    virtual int MostReadingsPerPoint() const = 0;

    virtual const std::string& Port() const = 0;
};

}  // namespace feldan
