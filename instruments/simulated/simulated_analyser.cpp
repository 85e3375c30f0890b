#include "instruments/simulated/simulated_analyser.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace feldan::simulated {

namespace {

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    return std::string(buffer, end);
}

}  // namespace

TwoPortResponse CrystalInSeries(const CrystalModel& crystal, double portOhm) {
    return [crystal, portOhm](double hz) {
        const std::complex<double> z = crystal.Impedance(hz);
        return std::array<std::complex<double>, 2>{
            z / (2 * portOhm + z), MeasuredOf(SweepKind::SeriesThrough, portOhm, z)};
    };
}

SimulatedAnalyser::SimulatedAnalyser(SimulatedAnalyserSettings settings)
    : settings_(std::move(settings)) {
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    port_ = name;
    termios mode{};
    ::tcgetattr(slave_, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(slave_, TCSANOW, &mode);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    thread_ = std::thread([this] { Run(); });
}

SimulatedAnalyser::~SimulatedAnalyser() {
    stop_ = true;
    thread_.join();
    if (master_ >= 0) ::close(master_);
    ::close(slave_);
}

bool SimulatedAnalyser::Send(const std::string& bytes) {
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

void SimulatedAnalyser::Run() {
    std::string line;
    while (!stop_) {
        pollfd waiting{master_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        char chunk[512];
        const ssize_t count = ::read(master_, chunk, sizeof chunk);
        if (count <= 0) continue;
        for (ssize_t i = 0; i < count; ++i) {
            const char c = chunk[i];
            if (c == '\n') continue;
            // As the firmware's shell, other control bytes (a V2's no-ops) are skipped.
            if (c != '\r' && static_cast<unsigned char>(c) < 0x20) continue;
            if (c != '\r') {
                line += c;
                continue;
            }
            if (!Answer(line)) return;
            line.clear();
        }
    }
}

bool SimulatedAnalyser::Answer(const std::string& line) {
    const Misbehaviour misbehaviour = settings_.misbehaviour;
    if (misbehaviour == Misbehaviour::NoShell) return Send(line + "\r\nERROR\r\n");
    std::string answer = line + "\r\n";  // the echo
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "info") {
        answer += settings_.info + "\r\n2016-2020 Copyright @edy555\r\nLicensed under GPL.\r\n";
    } else if (command == "version") {
        answer += settings_.version + "\r\n";
    } else if (command == "scan") {
        std::uint64_t start = 0, stop = 0;
        int points = 101, mask = 0;
        words >> start >> stop >> points >> mask;
        if (points < 2 || points > settings_.maxScanPoints) {
            answer +=
                "sweep points exceeds range " + std::to_string(settings_.maxScanPoints) + "\r\n";
            return Send(answer + "ch> ");
        }
        const int scan = ++scans_;
        const bool here = scan == settings_.atScan;
        if (!Send(answer)) return false;
        answer.clear();
        std::mt19937_64 random(settings_.seed + std::uint64_t(scan));
        std::normal_distribution<double> noise(0, settings_.noise > 0 ? settings_.noise : 1);
        const auto noisy = [&](double value) {
            return settings_.noise > 0 ? value + noise(random) : value;
        };
        for (int i = 0; i < points; ++i) {
            const std::uint64_t hz =
                start + (stop - start) * std::uint64_t(i) / std::uint64_t(points - 1);
            const auto s = settings_.response(double(hz) * (1 + settings_.clockPpm * 1e-6));
            std::string text;
            if (mask & 1) text += std::to_string(hz) + " ";
            if (mask & 2)
                text += Fixed(noisy(s[0].real()), 9) + " " + Fixed(noisy(s[0].imag()), 9) + " ";
            if (mask & 4)
                text += Fixed(noisy(s[1].real()), 9) + " " + Fixed(noisy(s[1].imag()), 9) + " ";
            if (!text.empty()) text.pop_back();
            if (here && i + 1 == settings_.atLine) {
                if (misbehaviour == Misbehaviour::StopAnswering) {
                    Send(answer);
                    return false;
                }
                if (misbehaviour == Misbehaviour::DropPort) {
                    Send(answer);
                    ::close(master_);
                    master_ = -1;
                    return false;
                }
                if (misbehaviour == Misbehaviour::GarbleLine) text[text.size() / 2] = '\x7f';
                if (misbehaviour == Misbehaviour::ShortLine)
                    text.erase(text.rfind(' ', text.rfind(' ') - 1));
            }
            answer += text + "\r\n";
        }
        if (here && misbehaviour == Misbehaviour::OmitPrompt) return Send(answer);
    } else if (!command.empty()) {
        answer += command + "?\r\n";
    }
    return Send(answer + "ch> ");
}

}  // namespace feldan::simulated
