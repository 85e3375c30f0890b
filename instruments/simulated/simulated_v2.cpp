#include "instruments/simulated/simulated_v2.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <stdexcept>

namespace feldan::simulated {

namespace {

// The device's own sweep, which a LiteVNA falls back to.
constexpr std::uint64_t OwnStartHz = 50000;
constexpr std::uint64_t OwnStepHz = 10000000;
constexpr std::uint64_t OwnPoints = 101;
// The forward wave's size; its phase turns from point to point as a raw receiver's does.
constexpr double ForwardSize = 268435456.0;  // 2^28

void PutLittle(std::string& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

void PutWave(std::string& bytes, std::complex<double> wave) {
    PutLittle(bytes, std::uint32_t(std::int32_t(std::llround(wave.real()))), 4);
    PutLittle(bytes, std::uint32_t(std::int32_t(std::llround(wave.imag()))), 4);
}

}  // namespace

SimulatedV2::SimulatedV2(SimulatedV2Settings settings) : settings_(std::move(settings)) {
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    port_ = name;
    termios mode{};
    ::tcgetattr(slave_, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(slave_, TCSANOW, &mode);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ResetSweep();
    registers_[0xf0] = 2;
    registers_[0xf1] = 1;
    registers_[0xf2] = settings_.hardware;
    registers_[0xf3] =
        settings_.misbehaviour == V2Misbehaviour::FirmwareUpdate ? 0xff : settings_.firmwareMajor;
    registers_[0xf4] = settings_.firmwareMinor;
    thread_ = std::thread([this] { Run(); });
}

SimulatedV2::~SimulatedV2() {
    stop_ = true;
    thread_.join();
    if (master_ >= 0) ::close(master_);
    ::close(slave_);
}

std::string SimulatedV2::FirstBytes() const {
    const std::lock_guard lock(seenMutex_);
    return seen_;
}

void SimulatedV2::ResetSweep() {
    registers_[0x00] = OwnStartHz;
    registers_[0x10] = OwnStepHz;
    registers_[0x20] = OwnPoints;
    registers_[0x22] = 1;
}

bool SimulatedV2::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !stop_) {
        const ssize_t written = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += std::size_t(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd waiting{master_, POLLOUT, 0};
            ::poll(&waiting, 1, 20);
        }
    }
    return done == bytes.size();
}

void SimulatedV2::Run() {
    while (!stop_) {
        pollfd waiting{master_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        char chunk[512];
        const ssize_t count = ::read(master_, chunk, sizeof chunk);
        if (count <= 0) continue;
        {
            const std::lock_guard lock(seenMutex_);
            seen_.append(chunk, std::min<std::size_t>(std::size_t(count), 16 - seen_.size()));
        }
        if (settings_.misbehaviour == V2Misbehaviour::Silent) continue;
        pending_.append(chunk, std::size_t(count));
        if (!Parse()) return;
    }
}

bool SimulatedV2::Parse() {
    while (!pending_.empty()) {
        const auto op = static_cast<unsigned char>(pending_[0]);
        const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(pending_[i]); };
        std::size_t length = 1;
        if (op >= 0x10 && op <= 0x13) length = 2;
        if (op == 0x18) length = 3;
        if (op >= 0x20 && op <= 0x23) length = 2 + (std::size_t(1) << (op - 0x20));
        if (op == 0x28) length = pending_.size() >= 3 ? 3 + byteAt(2) : 3;
        if (pending_.size() < length) return true;
        const unsigned address = length > 1 ? byteAt(1) : 0;
        bool ok = true;
        if (op == 0x0d) {
            ok = Send("2");
        } else if (op >= 0x10 && op <= 0x13) {
            const bool miss =
                settings_.misbehaviour == V2Misbehaviour::MissFirstRead && !readMissed_;
            readMissed_ = true;
            std::string value;
            PutLittle(value, registers_[address], 1 << (op - 0x10));
            if (!miss) ok = Send(value);
        } else if (op == 0x18) {
            ok = Fifo(byteAt(2));
        } else if (op >= 0x20 && op <= 0x23) {
            std::uint64_t value = 0;
            for (std::size_t i = 2; i < length; ++i)
                value |= std::uint64_t(byteAt(i)) << (8 * (i - 2));
            registers_[address] = value;
            if (address == 0x00) written_ |= 1;
            if (address == 0x10) written_ |= 2;
            if (address == 0x20) written_ |= 4;
            if (address == 0x22) written_ |= 8;
            if (address == 0x26 && value == 2 && settings_.forgetsSweep) ResetSweep();
            if (address == 0x30) {
                // A new scan: the sweep starts over at its first point.
                ++scans_;
                if (written_ == 15) ++rewritten_;
                written_ = 0;
                index_ = reading_ = recordInScan_ = fifoReads_ = 0;
            }
        }
        pending_.erase(0, length);
        if (!ok) return false;
    }
    return true;
}

std::string SimulatedV2::RecordAt() {
    const std::uint64_t hz = registers_[0x00] + registers_[0x10] * std::uint64_t(index_);
    const auto s = settings_.response(double(hz) * (1 + settings_.clockPpm * 1e-6));
    std::complex<double> s21 = s[1];
    const bool old = settings_.firmwareMajor < 1 ||
                     (settings_.firmwareMajor == 1 && settings_.firmwareMinor <= 1);
    if (old && index_ == 0) s21 = {0.7, -0.4};
    s21 += (reading_ + 1) * settings_.readingStep * std::complex<double>(1, 1);
    const std::complex<double> forward = std::polar(ForwardSize, 0.3 * index_);
    std::string record;
    PutWave(record, forward);
    PutWave(record, s[0] * forward);
    PutWave(record, s21 * forward);
    PutLittle(record, std::uint64_t(index_), 2);
    record.append(6, '\0');
    const int points = int(std::max<std::uint64_t>(registers_[0x20], 1));
    const int readings = int(std::max<std::uint64_t>(registers_[0x22], 1));
    if (++reading_ == readings) {
        reading_ = 0;
        index_ = (index_ + 1) % points;
    }
    return record;
}

bool SimulatedV2::Fifo(int count) {
    if (count == 0) askedForAll_ = true;
    largestRead_ = std::max(largestRead_.load(), count);
    if (count == 0) count = int(registers_[0x20] * std::max<std::uint64_t>(registers_[0x22], 1));
    if (settings_.misbehaviour == V2Misbehaviour::ShortRead && ++fifoReads_ == 1) count /= 2;
    std::string answer;
    for (int i = 0; i < count; ++i) {
        std::string record = RecordAt();
        ++recordInScan_;
        const bool here = scans_ == settings_.atScan && recordInScan_ == settings_.atRecord;
        if (here && settings_.misbehaviour == V2Misbehaviour::GarbleRecord) {
            record[24] = '\xff';
            record[25] = '\xff';
        }
        if (here && (settings_.misbehaviour == V2Misbehaviour::StopMidRecord ||
                     settings_.misbehaviour == V2Misbehaviour::DropMidRecord)) {
            Send(answer + record.substr(0, 16));
            if (settings_.misbehaviour == V2Misbehaviour::DropMidRecord) {
                ::close(master_);
                master_ = -1;
            }
            return false;
        }
        answer += record;
    }
    return Send(answer);
}

}  // namespace feldan::simulated
