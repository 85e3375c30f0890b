#include "instruments/serial_ports.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace feldan {

namespace {

namespace fs = std::filesystem;

// A write that the port does not take within this time has met a device that is gone.
constexpr int WriteLimitMs = 2000;

std::string FirstLineOf(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::optional<unsigned> HexOf(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// The USB device above a tty's device folder: the nearest folder up the tree with its ids.
std::optional<SerialPortEntry> UsbEntryOf(const fs::path& ttyFolder) {
    std::error_code error;
    fs::path folder = fs::canonical(ttyFolder / "device", error);
    if (error) return std::nullopt;
    for (int up = 0; up < 4 && !folder.empty(); ++up, folder = folder.parent_path()) {
        const std::optional<unsigned> vendor = HexOf(FirstLineOf(folder / "idVendor"));
        const std::optional<unsigned> product = HexOf(FirstLineOf(folder / "idProduct"));
        if (!vendor || !product) continue;
        SerialPortEntry entry;
        entry.vendor = *vendor;
        entry.product = *product;
        entry.family = FamilyOfUsbId(*vendor, *product);
        const std::string maker = FirstLineOf(folder / "manufacturer");
        const std::string product_name = FirstLineOf(folder / "product");
        entry.name = maker.empty()          ? product_name
                     : product_name.empty() ? maker
                                            : maker + " " + product_name;
        return entry;
    }
    return std::nullopt;
}

}  // namespace

AnalyserFamily FamilyOfUsbId(unsigned vendor, unsigned product) {
    if (vendor == 0x0483 && product == 0x5740) return AnalyserFamily::TextShell;
    if (vendor == 0x04b4 && product == 0x0008) return AnalyserFamily::Binary;
    return AnalyserFamily::Other;
}

std::vector<SerialPortEntry> ListSerialPorts(const std::string& sysClassTty,
                                             const std::string& devDir) {
    std::vector<SerialPortEntry> ports;
    std::error_code error;
    for (const fs::directory_entry& tty : fs::directory_iterator(sysClassTty, error)) {
        std::optional<SerialPortEntry> entry = UsbEntryOf(tty.path());
        if (!entry) continue;
        entry->device = (fs::path(devDir) / tty.path().filename()).string();
        ports.push_back(std::move(*entry));
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return ports;
}

InstrumentError OpenFailure(const std::string& path, int errnoValue) {
    switch (errnoValue) {
        case EACCES:
        case EPERM:
            return PortFault(MessageId::VnaNoPermission, path);
        case EBUSY:
        case EWOULDBLOCK:
            return PortFault(MessageId::VnaBusy, path);
        default:
            return PortFault(MessageId::VnaOpenFailed, path, std::to_string(errnoValue));
    }
}

std::unique_ptr<PosixSerialPort> PosixSerialPort::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw OpenFailure(path, errno);
    std::unique_ptr<PosixSerialPort> port(new PosixSerialPort(fd));
    // flock holds for root too, whom TIOCEXCL lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) throw OpenFailure(path, errno);
    if (::ioctl(fd, TIOCEXCL) != 0) throw OpenFailure(path, errno);
    termios mode{};
    if (::tcgetattr(fd, &mode) != 0) throw OpenFailure(path, errno);
    ::cfmakeraw(&mode);
    mode.c_cflag |= CLOCAL | CREAD;
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    // A CDC port ignores the rate; a real UART behind an adapter would not, and takes this one.
    ::cfsetispeed(&mode, B115200);
    ::cfsetospeed(&mode, B115200);
    if (::tcsetattr(fd, TCSANOW, &mode) != 0) throw OpenFailure(path, errno);
    ::tcflush(fd, TCIOFLUSH);
    return port;
}

PosixSerialPort::~PosixSerialPort() {
    ::close(fd_);
}

bool PosixSerialPort::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(std::size_t(written));
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN) return false;
        pollfd waiting{fd_, POLLOUT, 0};
        if (::poll(&waiting, 1, WriteLimitMs) <= 0 || (waiting.revents & (POLLERR | POLLHUP)))
            return false;
    }
    return true;
}

ReadResult PosixSerialPort::Read(std::chrono::milliseconds limit) {
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(std::max<long long>(limit.count(), 0)));
    if (ready < 0) return {errno == EINTR ? ReadStatus::Timeout : ReadStatus::Closed, {}};
    if (ready == 0) return {ReadStatus::Timeout, {}};
    char chunk[4096];
    const ssize_t count = ::read(fd_, chunk, sizeof chunk);
    if (count > 0) return {ReadStatus::Data, std::string(chunk, std::size_t(count))};
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) return {ReadStatus::Timeout, {}};
    return {ReadStatus::Closed, {}};
}

}  // namespace feldan
