#include "instruments/nanovna_shell.h"

#include <algorithm>
#include <cctype>

#include "instruments/instrument_error.h"

namespace feldan {

namespace {

constexpr std::string_view Prompt = "ch> ";
// No line of any answer is longer; more bytes without a line end are not the shell.
constexpr std::size_t MaxLineBytes = 512;
// The most lines of the answer to a short command, and the most bytes the connection drains.
constexpr std::size_t MaxCommandLines = 100;
constexpr std::size_t MaxDrainBytes = 1 << 20;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A line as a message may quote it: at most 60 characters.
std::string Quoted(std::string_view line) {
    return std::string(line.substr(0, 60)) + (line.size() > 60 ? "…" : "");
}

}  // namespace

NanoVnaShell::NanoVnaShell(ByteStream& stream, std::string port, ReadLimits limits)
    : stream_(stream), port_(std::move(port)), limits_(limits) {}

void NanoVnaShell::Send(std::string_view command) {
    if (!stream_.Write(std::string(command) + "\r"))
        throw PortFault(MessageId::VnaPortClosed, port_);
}

NanoVnaShell::Piece NanoVnaShell::Next(std::chrono::milliseconds limit, std::string& line) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (buffer_.starts_with(Prompt)) {
            buffer_.erase(0, Prompt.size());
            return Piece::Prompt;
        }
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line.assign(buffer_, 0, end);
            buffer_.erase(0, end + 1);
            while (!line.empty() && line.back() == '\r')
                line.pop_back();
            return Piece::Line;
        }
        if (buffer_.size() > MaxLineBytes) {
            line = buffer_;
            buffer_.clear();
            return Piece::Line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return Piece::Timeout;
        ReadResult read = stream_.Read(left);
        if (read.status == ReadStatus::Closed) throw PortFault(MessageId::VnaPortClosed, port_);
        if (read.status == ReadStatus::Timeout) return Piece::Timeout;
        buffer_ += read.bytes;
    }
}

AnalyserIdentity NanoVnaShell::Connect() {
    Send("");
    std::string line;
    std::size_t drained = 0;
    bool prompted = false;
    // Up to a prompt with nothing after it for the length of the drain limit.
    while (drained < MaxDrainBytes) {
        const Piece piece = Next(prompted ? limits_.drain : limits_.prompt, line);
        if (piece == Piece::Timeout) {
            if (prompted && buffer_.empty()) break;
            throw PortFault(MessageId::VnaNotAnalyser, port_);
        }
        prompted = piece == Piece::Prompt;
        drained += line.size() + 2;
    }
    if (!prompted) throw PortFault(MessageId::VnaNotAnalyser, port_);

    AnalyserIdentity identity;
    const std::vector<std::string> info = Command("info");
    const auto board = std::find_if(info.begin(), info.end(), [](const std::string& l) {
        return Upper(l).find("VNA") != std::string::npos;
    });
    if (board == info.end()) throw PortFault(MessageId::VnaNotAnalyser, port_);
    identity.board = *board;
    const std::vector<std::string> version = Command("version");
    if (!version.empty()) identity.firmware = version.front();
    // The -H4 takes 401 points, the NanoVNA and the -H 101; a board of another name is tried
    // at 401, and the first scan it refuses lowers the count.
    const std::string name = Upper(identity.board);
    const bool h4 = name.find("H4") != std::string::npos || name.find("H 4") != std::string::npos;
    const bool nanoVna = name.find("NANOVNA") != std::string::npos;
    identity.maxScanPoints = h4 || !nanoVna ? LargeBoardScanPoints : SmallBoardScanPoints;
    return identity;
}

std::vector<std::string> NanoVnaShell::Command(std::string_view command) {
    Send(command);
    std::vector<std::string> lines;
    std::string line;
    bool echoed = false;
    while (true) {
        const Piece piece = Next(limits_.reply, line);
        if (piece == Piece::Prompt) return lines;
        if (piece == Piece::Timeout) {
            throw PortFault(echoed ? MessageId::VnaNoPrompt : MessageId::VnaTimeout, port_,
                            std::string(command));
        }
        if (!echoed && line == command) {
            echoed = true;
            continue;
        }
        echoed = true;
        if (lines.size() == MaxCommandLines)
            throw PortFault(MessageId::VnaAnswerTooLong, port_, std::string(command));
        lines.push_back(line);
    }
}

ScanAnswer NanoVnaShell::Scan(std::uint64_t startHz, std::uint64_t stopHz, int points) {
    const std::string command = "scan " + std::to_string(startHz) + " " + std::to_string(stopHz) +
                                " " + std::to_string(points) + " 7";
    Send(command);
    ScanAnswer answer;
    std::string line;
    std::string unreadable;  // the first line that is no point, while no point has come
    int lineNumber = 0;      // of the answer, the echo not counted
    bool echoed = false;
    while (true) {
        const Piece piece = Next(limits_.scanLine, line);
        if (piece == Piece::Timeout) {
            const int count = static_cast<int>(answer.points.size());
            if (count < points) throw PortFault(MessageId::VnaTimeout, port_, command);
            throw PortFault(MessageId::VnaNoPrompt, port_, command);
        }
        if (piece == Piece::Prompt) {
            if (!unreadable.empty()) {
                // One line of text and the prompt: the device refused the scan.
                if (lineNumber == 1) {
                    answer.refusal = unreadable;
                    return answer;
                }
                throw PortFault(MessageId::VnaScanLine, port_, Quoted(unreadable), 1);
            }
            const int count = static_cast<int>(answer.points.size());
            if (count < points) {
                throw PortFault(MessageId::VnaShortScan, port_,
                                std::to_string(count) + "/" + std::to_string(points));
            }
            return answer;
        }
        if (!echoed && line == command) {
            echoed = true;
            continue;
        }
        echoed = true;
        ++lineNumber;
        if (!unreadable.empty())
            throw PortFault(MessageId::VnaScanLine, port_, Quoted(unreadable), 1);
        const std::optional<ScanPoint> point = ParseScanLine(line);
        if (!point || lineNumber > points) {
            if (lineNumber == 1) {
                unreadable = line.empty() ? std::string(" ") : line;
                continue;
            }
            throw PortFault(MessageId::VnaScanLine, port_, Quoted(line), lineNumber);
        }
        answer.points.push_back(*point);
    }
}

ScanAnswer NanoVnaShell::Scan(std::uint64_t startHz, std::uint64_t stopHz, int points,
                              int readings) {
    ScanAnswer sum = Scan(startHz, stopHz, points);
    for (int repeat = 1; repeat < readings && sum.refusal.empty(); ++repeat) {
        const ScanAnswer more = Scan(startHz, stopHz, points);
        for (std::size_t i = 0; i < sum.points.size(); ++i) {
            sum.points[i].s11 += more.points[i].s11;
            sum.points[i].s21 += more.points[i].s21;
        }
    }
    for (ScanPoint& point : sum.points) {
        point.s11 /= std::max(readings, 1);
        point.s21 /= std::max(readings, 1);
    }
    return sum;
}

}  // namespace feldan
