#include "instruments/nanovna_v2.h"

#include <algorithm>
#include <thread>

#include "instruments/instrument_error.h"
#include "instruments/v2_records.h"

namespace feldan {

namespace {

enum Opcode : unsigned char {
    Indicate = 0x0d,
    Read1 = 0x10,
    ReadFifo = 0x18,
    Write1 = 0x20,
    Write2 = 0x21,
    Write8 = 0x23,
};

enum Register : unsigned {
    SweepStart = 0x00,
    SweepStep = 0x10,
    SweepPoints = 0x20,
    ReadingsPerPoint = 0x22,
    DataMode = 0x26,
    Fifo = 0x30,
    Variant = 0xf0,
    Hardware = 0xf2,
    FirmwareMajor = 0xf3,
    FirmwareMinor = 0xf4,
};

// Data mode 2 hands the device back to its own screen.
constexpr unsigned LeaveUsbMode = 2;
// Firmware major 0xFF: the bootloader that waits for new firmware answers instead.
constexpr unsigned UpdateMode = 0xff;
// The most bytes a reset drains: more, and the port is not a V2.
constexpr std::size_t MaxDrainBytes = 1 << 20;

// The bytes of a command as a message names it: "18 30 ff".
std::string HexOf(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!text.empty()) text += ' ';
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text;
}

std::string Bytes(std::initializer_list<unsigned> values) {
    std::string bytes;
    for (const unsigned v : values)
        bytes += static_cast<char>(v & 0xff);
    return bytes;
}

}  // namespace

std::string V2Hello() {
    return std::string(8, '\0') + static_cast<char>(Indicate);
}

NanoVnaV2::NanoVnaV2(ByteStream& stream, std::string port, ReadLimits limits)
    : stream_(stream), port_(std::move(port)), limits_(limits) {}

void NanoVnaV2::Send(std::string_view bytes) {
    if (!stream_.Write(bytes)) throw PortFault(MessageId::VnaPortClosed, port_);
}

bool NanoVnaV2::Await(std::size_t count, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (buffer_.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        ReadResult read = stream_.Read(left);
        if (read.status == ReadStatus::Closed) throw PortFault(MessageId::VnaPortClosed, port_);
        if (read.status == ReadStatus::Timeout) return false;
        buffer_ += read.bytes;
    }
    return true;
}

void NanoVnaV2::Drain() {
    while (buffer_.size() < MaxDrainBytes && Await(buffer_.size() + 1, limits_.drain)) {
    }
    buffer_.clear();
}

unsigned NanoVnaV2::ReadRegister(unsigned address) {
    const std::string command = Bytes({Read1, address});
    Send(command);
    if (!Await(1, limits_.reply)) throw PortFault(MessageId::VnaTimeout, port_, HexOf(command));
    const auto value = static_cast<unsigned char>(buffer_.front());
    buffer_.erase(0, 1);
    return value;
}

void NanoVnaV2::WriteRegister(unsigned address, std::uint64_t value, int bytes) {
    std::string command = Bytes({bytes == 8 ? Write8 : bytes == 2 ? Write2 : Write1, address});
    for (int i = 0; i < bytes; ++i)
        command += static_cast<char>((value >> (8 * i)) & 0xff);
    Send(command);
}

AnalyserIdentity NanoVnaV2::Connect() {
    Send(V2Hello());
    // Whatever an earlier program left unread comes before the answer, which ends it.
    if (!Await(1, limits_.prompt)) throw PortFault(MessageId::VnaNotAnalyser, port_);
    while (buffer_.size() < MaxDrainBytes && Await(buffer_.size() + 1, limits_.drain)) {
    }
    if (buffer_.back() != '2') throw PortFault(MessageId::VnaNotAnalyser, port_);
    buffer_.clear();

    unsigned variant = 0, hardware = 0, major = 0, minor = 0;
    const auto readAll = [&] {
        variant = ReadRegister(Variant);
        hardware = ReadRegister(Hardware);
        major = ReadRegister(FirmwareMajor);
        minor = ReadRegister(FirmwareMinor);
    };
    try {
        readAll();
    } catch (const InstrumentError& error) {
        // A device just reset may not answer yet: once more, after a pause and a reset.
        if (error.message().id != MessageId::VnaTimeout) throw;
        std::this_thread::sleep_for(limits_.retryPause);
        Drain();
        Send(std::string(8, '\0'));
        readAll();
    }
    if (major == UpdateMode) throw PortFault(MessageId::VnaFirmwareUpdate, port_);
    if (variant != 2) throw PortFault(MessageId::VnaNotAnalyser, port_);

    AnalyserIdentity identity;
    identity.family = AnalyserFamily::Binary;
    // The V2's firmware is numbered a.0.b; the LiteVNA's, from 2 on, a.b.
    const bool lite = major >= 2;
    identity.board =
        std::string(lite ? "LiteVNA" : "NanoVNA V2") + ", hardware " + std::to_string(hardware);
    identity.firmware = std::to_string(major) + (lite ? "." : ".0.") + std::to_string(minor);
    dropFirstPoint_ = major < 1 || (major == 1 && minor <= 1);
    identity.maxScanPoints = (lite ? LiteVnaScanPoints : V2ScanPoints) - (dropFirstPoint_ ? 1 : 0);
    return identity;
}

ScanAnswer NanoVnaV2::Scan(std::uint64_t startHz, std::uint64_t stopHz, int points, int readings) {
    if (stray_) {
        Drain();
        stray_ = false;
    }
    buffer_.clear();
    points = std::max(points, 1);
    readings = std::clamp(readings, 1, MostReadingsPerPoint());
    const std::uint64_t span = stopHz > startHz ? stopHz - startHz : 0;
    const std::uint64_t step = std::max<std::uint64_t>(points > 1 ? span / (points - 1) : 1, 1);
    // The point dropped on old firmware goes one step below the start where there is room.
    const int extra = dropFirstPoint_ ? 1 : 0;
    const std::uint64_t begin = extra && startHz > step ? startHz - step : startHz;
    const int asked = points + extra;
    WriteRegister(SweepStart, begin, 8);
    WriteRegister(SweepStep, step, 8);
    WriteRegister(SweepPoints, unsigned(asked), 2);
    WriteRegister(ReadingsPerPoint, unsigned(readings), 2);
    WriteRegister(Fifo, 0, 1);

    V2ScanRecords records(asked, readings);
    while (!records.Complete()) {
        const int count = std::min(V2MostRecordsPerRead, records.Wanted() - records.Records());
        const int target = records.Records() + count;
        std::string command = Bytes({ReadFifo, Fifo, unsigned(count)});
        Send(command);
        // A short read is asked for once more, for what it still lacks.
        for (int attempt = 0; records.Records() < target; ++attempt) {
            const int lacking = target - records.Records();
            const auto limit = limits_.reply + limits_.record * lacking;
            const std::size_t wanted = std::size_t(lacking) * V2RecordBytes;
            const bool whole = Await(wanted, limit);
            records.Take(buffer_, lacking, port_);
            if (whole) continue;
            if (attempt == 1) throw PortFault(MessageId::VnaTimeout, port_, HexOf(command));
            command = Bytes({ReadFifo, Fifo, unsigned(target - records.Records())});
            Send(command);
            stray_ = true;
        }
    }
    WriteRegister(DataMode, LeaveUsbMode, 1);

    const std::vector<std::complex<double>> s11 = records.MeanS11();
    const std::vector<std::complex<double>> s21 = records.MeanS21();
    ScanAnswer answer;
    for (int i = extra; i < asked; ++i) {
        const double hz = double(begin + step * std::uint64_t(i));
        answer.points.push_back({hz, s11[std::size_t(i)], s21[std::size_t(i)]});
    }
    return answer;
}

}  // namespace feldan
