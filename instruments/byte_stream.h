// The byte stream an analyser is reached through (a POSIX serial port, for the command line and
// the window alike; a pseudo-terminal in the tests), and how long each kind of read may wait on it.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace feldan {

enum class ReadStatus {
    Data,     // some bytes arrived
    Timeout,  // nothing arrived within the time limit
    Closed,   // the port went away or failed
};

struct ReadResult {
    ReadStatus status = ReadStatus::Timeout;
    std::string bytes;  // what arrived, when the status is Data
};

class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // Writes all of `bytes`; false when the port is gone.
    virtual bool Write(std::string_view bytes) = 0;
    // Waits at most `limit` for bytes and returns those that have arrived, never blocking longer.
    virtual ReadResult Read(std::chrono::milliseconds limit) = 0;
};

// The time limits of reads from an analyser. The defaults suit a NanoVNA at its usual IF
// bandwidth; the tests give short ones.
struct ReadLimits {
    // For the prompt after the connecting carriage return, and for the silence after it that
    // says nothing else is on its way.
    std::chrono::milliseconds prompt{1500};
    std::chrono::milliseconds drain{150};
    // For each line of the answer to a short command (info, version).
    std::chrono::milliseconds reply{3000};
    // For each line of a scan's answer: the device sends its first line only after the whole
    // scan, which takes seconds at a narrow IF bandwidth.
    std::chrono::milliseconds scanLine{30000};
    // For a piece of a V2's records: `reply`, and this much more for each record asked for,
    // since the device sends them as it measures them.
    std::chrono::milliseconds record{40};
    // The wait before the V2's version is asked once more: a device just reset may miss it.
    std::chrono::milliseconds retryPause{500};
};

}  // namespace feldan
