// Serial ports on a POSIX system: listing those an analyser may sit behind (Linux sysfs), and
// opening one as a byte stream (termios, raw, reads bounded by poll()).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instruments/analyser.h"
#include "instruments/byte_stream.h"
#include "instruments/instrument_error.h"

namespace feldan {

// The protocol a USB serial device speaks, by its vendor and product ids.
AnalyserFamily FamilyOfUsbId(unsigned vendor, unsigned product);

struct SerialPortEntry {
    std::string device;  // "/dev/ttyACM0"
    std::string name;    // the USB device's manufacturer and product strings, where it has them
    unsigned vendor = 0;
    unsigned product = 0;
    AnalyserFamily family = AnalyserFamily::Other;
};

// The USB serial ports under `sysClassTty` (each entry's device/.. up the tree holding idVendor
// and idProduct), named as devices in `devDir`; sorted by device.
std::vector<SerialPortEntry> ListSerialPorts(const std::string& sysClassTty = "/sys/class/tty",
                                             const std::string& devDir = "/dev");

// The error of a port that cannot be opened, for the errno value open(), flock() or the
// exclusive mode gave: no permission (the dialout group), busy, or the reason's text.
InstrumentError OpenFailure(const std::string& path, int errnoValue);

class PosixSerialPort : public ByteStream {
  public:
    // Opens `path` without making it the controlling terminal, non-blocking, in raw mode, locked
    // against other programs (flock and TIOCEXCL). Throws InstrumentError.
    static std::unique_ptr<PosixSerialPort> Open(const std::string& path);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Write(std::string_view bytes) override;
    ReadResult Read(std::chrono::milliseconds limit) override;

  private:
    explicit PosixSerialPort(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace feldan
