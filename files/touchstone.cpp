#include "files/touchstone.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <optional>

#include "engine/number_text.h"
#include "files/atomic_file.h"
#include "files/file_error.h"

namespace feldan {

namespace {

enum class Format { RealImaginary, MagnitudeAngle, DecibelAngle };

struct Options {
    double hzPerUnit = 1e9;  // GHz unless the option line says otherwise
    Format format = Format::MagnitudeAngle;
    double referenceOhm = 50;
};

// Reads a file's lines and keeps the name and line for messages.
class Reader {
  public:
    Reader(std::string_view text, std::string fileName)
        : text_(text), fileName_(std::move(fileName)) {}

    // The next line without its comment and line end; false at the end of the text.
    bool NextLine(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++lineNumber_;
        if (const std::size_t bang = line.find('!'); bang != std::string_view::npos) {
            line = line.substr(0, bang);
        }
        return true;
    }

    [[noreturn]] void Fail(MessageId id, std::string value = {}) const {
        Message message{id, std::move(value), Field::None, 0};
        message.file = fileName_;
        message.line = lineNumber_;
        throw TouchstoneError(std::move(message));
    }

  private:
    std::string_view text_;
    std::string fileName_;
    std::size_t pos_ = 0;
    int lineNumber_ = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The words of a line, split at blanks (and the commas some writers put between numbers).
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (IsBlank(line[i]) || line[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != ',')
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string Lower(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// A number as Touchstone writes it (a leading '+' allowed), or nothing.
std::optional<double> NumberOf(std::string_view word) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    double value = 0;
    const auto [end, error] = DoubleFromChars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Shown in a message: a word cut short, so that a huge word makes no huge message.
std::string Shown(std::string_view word) {
    constexpr std::size_t Longest = 40;
    std::string shown;
    for (char c : word.substr(0, Longest)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u < 0x20 || u == 0x7f ? '?' : c;
    }
    if (word.size() > Longest) shown += "…";
    return shown;
}

void ReadOptionLine(const Reader& reader, std::string_view line, Options& options) {
    const std::vector<std::string_view> words = Words(line.substr(1));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string word = Lower(words[i]);
        if (word == "hz") {
            options.hzPerUnit = 1;
        } else if (word == "khz") {
            options.hzPerUnit = 1e3;
        } else if (word == "mhz") {
            options.hzPerUnit = 1e6;
        } else if (word == "ghz") {
            options.hzPerUnit = 1e9;
        } else if (word == "s") {
        } else if (word == "y" || word == "z" || word == "h" || word == "g") {
            reader.Fail(MessageId::TouchstoneParameter, std::string(words[i]));
        } else if (word == "ri") {
            options.format = Format::RealImaginary;
        } else if (word == "ma") {
            options.format = Format::MagnitudeAngle;
        } else if (word == "db") {
            options.format = Format::DecibelAngle;
        } else if (word == "r") {
            const std::optional<double> r =
                i + 1 < words.size() ? NumberOf(words[i + 1]) : std::nullopt;
            if (!r || !(*r > 0)) reader.Fail(MessageId::TouchstoneReference);
            options.referenceOhm = *r;
            ++i;
        } else {
            reader.Fail(MessageId::TouchstoneOption, Shown(words[i]));
        }
    }
}

std::complex<double> ValueOf(Format format, double a, double b) {
    switch (format) {
        case Format::RealImaginary:
            return {a, b};
        case Format::MagnitudeAngle:
            return std::polar(a, b * std::numbers::pi / 180);
        case Format::DecibelAngle:
            return std::polar(std::pow(10.0, a / 20), b * std::numbers::pi / 180);
    }
    return {};
}

// The keyword of a version 2.0 line ("[Number of Ports]" gives "number of ports") and the rest
// of the line after it.
bool SplitKeyword(std::string_view line, std::string& keyword, std::string_view& rest) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i >= line.size() || line[i] != '[') return false;
    const std::size_t close = line.find(']', i);
    if (close == std::string_view::npos) return false;
    keyword = Lower(line.substr(i + 1, close - i - 1));
    rest = line.substr(close + 1);
    return true;
}

}  // namespace

int PortsOfTouchstoneName(const std::string& path) {
    const std::string lower = Lower(path);
    const auto endsWith = [&](std::string_view tail) {
        return lower.size() >= tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".s1p")) return 1;
    if (endsWith(".s2p")) return 2;
    return 0;
}

namespace {

// What the lines read so far have said, for the lines that follow.
struct ParseState {
    int ports = 2;
    std::size_t columns = 9;
    Options options;
    bool optionLineSeen = false;
    bool version2 = false;
    bool order12_21 = false;  // version 2.0 may put S12 before S21
    bool inNoise = false;
    bool ended = false;
    long promisedPoints = -1;
    std::vector<double> pendingReference;  // a [Reference] line may go on over the next lines
    bool readingReference = false;
    std::size_t rawPoints = 0;
    double lastHz = -1;
    std::vector<int> mergedCounts;  // rows merged into each point
};

// A version 2.0 keyword line, "[keyword] rest".
void ReadKeywordLine(Reader& reader, const std::string& keyword, std::string_view rest,
                     ParseState& state) {
    state.readingReference = false;
    const std::vector<std::string_view> values = Words(rest);
    const auto number = [&]() -> std::optional<double> {
        return values.size() == 1 ? NumberOf(values[0]) : std::nullopt;
    };
    if (keyword == "version") {
        state.version2 = true;
    } else if (keyword == "number of ports") {
        const std::optional<double> n = number();
        if (!n || *n != state.ports)
            reader.Fail(MessageId::TouchstonePorts, values.empty() ? "?" : Shown(values[0]));
    } else if (keyword == "two-port data order") {
        const std::string order = values.empty() ? "" : Lower(values[0]);
        if (order != "12_21" && order != "21_12")
            reader.Fail(MessageId::TouchstoneKeyword, "[Two-Port Data Order] " + Shown(order));
        state.order12_21 = order == "12_21";
    } else if (keyword == "number of frequencies") {
        const std::optional<double> n = number();
        if (!n || *n < 1 || *n != std::floor(*n) || *n > double(TouchstoneMaxPoints))
            reader.Fail(MessageId::TouchstoneKeyword, "[Number of Frequencies]");
        state.promisedPoints = static_cast<long>(*n);
    } else if (keyword == "reference") {
        state.readingReference = true;
        state.pendingReference.clear();
        for (std::string_view word : values) {
            const std::optional<double> r = NumberOf(word);
            if (!r || !(*r > 0)) reader.Fail(MessageId::TouchstoneReference);
            state.pendingReference.push_back(*r);
        }
    } else if (keyword == "matrix format") {
        // A two-port file may only be Full (or Lower/Upper with symmetric data, which this
        // program does not take).
        if (values.empty() || Lower(values[0]) != "full")
            reader.Fail(MessageId::TouchstoneKeyword, "[Matrix Format]");
    } else if (keyword == "network data") {
        state.inNoise = false;
    } else if (keyword == "noise data") {
        state.inNoise = true;
    } else if (keyword == "end") {
        state.ended = true;
    } else if (keyword == "begin information") {
        std::string_view line;
        while (reader.NextLine(line)) {
            std::string inner;
            std::string_view innerRest;
            if (SplitKeyword(line, inner, innerRest) && inner == "end information") break;
        }
    } else if (keyword != "number of noise frequencies") {
        reader.Fail(MessageId::TouchstoneKeyword, "[" + Shown(keyword) + "]");
    }
}

// A line of numbers that goes on with the [Reference] line before it: true when it did.
bool ContinuesReference(const Reader& reader, const std::vector<std::string_view>& words,
                        ParseState& state) {
    if (!state.readingReference) return false;
    bool allNumbers = true;
    for (std::string_view word : words)
        allNumbers = allNumbers && NumberOf(word).has_value();
    if (allNumbers && state.pendingReference.size() < static_cast<std::size_t>(state.ports)) {
        for (std::string_view word : words) {
            const double r = *NumberOf(word);
            if (!(r > 0)) reader.Fail(MessageId::TouchstoneReference);
            state.pendingReference.push_back(r);
        }
        return true;
    }
    state.readingReference = false;
    return false;
}

// A row of network data: a new point, or one more reading of the last point's frequency.
void ReadDataRow(const Reader& reader, const std::vector<std::string_view>& words,
                 ParseState& state, TouchstoneData& data) {
    std::array<double, 9> numbers{};
    for (std::size_t k = 0; k < words.size() && k < numbers.size(); ++k) {
        const std::optional<double> value = NumberOf(words[k]);
        if (!value) reader.Fail(MessageId::TouchstoneNotANumber, Shown(words[k]));
        numbers[k] = *value;
    }
    // In a version 1.1 two-port file the noise parameters follow the network data, on lines of
    // five numbers starting again at a lower frequency.
    if (!state.version2 && state.ports == 2 && words.size() == 5 && state.rawPoints > 0 &&
        numbers[0] * state.options.hzPerUnit < state.lastHz) {
        state.inNoise = true;
        return;
    }
    if (words.size() != state.columns)
        reader.Fail(MessageId::TouchstoneColumns, std::to_string(state.columns));
    const double hz = numbers[0] * state.options.hzPerUnit;
    if (!std::isfinite(hz) || hz < 0) reader.Fail(MessageId::TouchstoneNotANumber, Shown(words[0]));
    if (hz < state.lastHz) reader.Fail(MessageId::TouchstoneOrder);
    if (++state.rawPoints > TouchstoneMaxPoints) reader.Fail(MessageId::TouchstoneTooManyPoints);

    const Format format = state.options.format;
    std::array<std::complex<double>, 4> row{};
    row[0] = ValueOf(format, numbers[1], numbers[2]);
    if (state.ports == 2) {
        const std::complex<double> second = ValueOf(format, numbers[3], numbers[4]);
        const std::complex<double> third = ValueOf(format, numbers[5], numbers[6]);
        row[1] = state.order12_21 ? third : second;
        row[2] = state.order12_21 ? second : third;
        row[3] = ValueOf(format, numbers[7], numbers[8]);
    }
    if (hz == state.lastHz) {
        // Instruments that print too few digits repeat a frequency: the repeats are one point,
        // their mean.
        auto& merged = data.s.back();
        const double n = static_cast<double>(++state.mergedCounts.back());
        for (std::size_t k = 0; k < merged.size(); ++k)
            merged[k] += (row[k] - merged[k]) / n;
    } else {
        data.frequencyHz.push_back(hz);
        data.s.push_back(row);
        state.mergedCounts.push_back(1);
    }
    state.lastHz = hz;
}

// The checks of the whole file once it is read, and what follows from all of it.
void FinishData(const ParseState& state, const std::string& fileName, TouchstoneData& data) {
    if (data.frequencyHz.empty()) {
        Message message{MessageId::TouchstoneNoData, {}, Field::None, 0};
        message.file = fileName;
        throw TouchstoneError(std::move(message));
    }
    if (state.promisedPoints >= 0 &&
        static_cast<std::size_t>(state.promisedPoints) != state.rawPoints) {
        Message message{MessageId::TouchstoneCount, std::to_string(state.promisedPoints),
                        Field::None, 0};
        message.file = fileName;
        throw TouchstoneError(std::move(message));
    }
    data.referenceOhm = state.options.referenceOhm;
    if (!state.pendingReference.empty()) data.referenceOhm = state.pendingReference.front();
    for (const auto& row : data.s) {
        if (row[2] != std::complex<double>() || row[3] != std::complex<double>()) {
            data.reverseMeasured = true;
        }
    }
}

}  // namespace

TouchstoneData ParseTouchstone(std::string_view text, int ports, const std::string& fileName) {
    Reader reader(text, fileName);
    if (text.size() > TouchstoneMaxBytes) reader.Fail(MessageId::ReadFileTooLarge);
    ParseState state;
    state.ports = ports;
    state.columns = ports == 1 ? 3 : 9;
    TouchstoneData data;
    data.ports = ports;

    std::string_view line;
    while (!state.ended && reader.NextLine(line)) {
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) continue;
        std::string keyword;
        std::string_view rest;
        if (SplitKeyword(line, keyword, rest)) {
            ReadKeywordLine(reader, keyword, rest, state);
        } else if (words[0].front() == '#') {
            // Only the first option line counts; later ones are ignored, as the format says.
            if (!state.optionLineSeen) ReadOptionLine(reader, line, state.options);
            state.optionLineSeen = true;
        } else if (!ContinuesReference(reader, words, state) && !state.inNoise) {
            ReadDataRow(reader, words, state, data);
        }
    }
    FinishData(state, fileName, data);
    return data;
}

TouchstoneData ReadTouchstoneFile(const std::string& path) {
    const int ports = PortsOfTouchstoneName(path);
    const std::string name = FileNameOf(path);
    if (ports == 0) {
        Message message{MessageId::TouchstonePorts, "?", Field::None, 0};
        message.file = name;
        throw TouchstoneError(std::move(message));
    }
    return ParseTouchstone(ReadWholeFile(path, TouchstoneMaxBytes), ports, name);
}

std::vector<MeasuredSample> MeasuredSamplesOf(const TouchstoneData& data,
                                              std::optional<double> toOhm) {
    std::vector<MeasuredSample> samples;
    samples.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        samples.push_back(toOhm ? RenormalisedSample(data.frequencyHz[i], data.S11(i), data.S21(i),
                                                     data.S12(i), data.S22(i), data.reverseMeasured,
                                                     data.referenceOhm, *toOhm)
                                : MeasuredSample{data.frequencyHz[i], data.S21(i), data.S11(i)});
    }
    return samples;
}

CrystalSweep CrystalSweepOf(const TouchstoneData& data, double fixtureOhm) {
    CrystalSweep sweep;
    sweep.kind = data.ports == 2 ? SweepKind::SeriesThrough : SweepKind::OnePort;
    sweep.fixtureOhm = fixtureOhm;
    sweep.frequencyHz = data.frequencyHz;
    sweep.measured.resize(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        sweep.measured[i] = sweep.kind == SweepKind::SeriesThrough ? data.S21(i) : data.S11(i);
    return sweep;
}

std::string TouchstoneBytes(const TouchstoneData& data, const std::vector<std::string>& comments) {
    std::string out;
    for (const std::string& comment : comments)
        out += "! " + comment + "\n";
    const auto number = [](double value) {
        char buffer[40];
        const auto end =
            DoubleToChars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 11)
                .ptr;
        return std::string(buffer, end);
    };
    char reference[40];
    const auto referenceEnd =
        DoubleToChars(reference, reference + sizeof reference, data.referenceOhm).ptr;
    out += "# Hz S RI R " + std::string(reference, referenceEnd) + "\n";
    const std::size_t values = data.ports == 1 ? 1 : 4;
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += number(data.frequencyHz[i]);
        for (std::size_t k = 0; k < values; ++k) {
            out += ' ' + number(data.s[i][k].real()) + ' ' + number(data.s[i][k].imag());
        }
        out += '\n';
    }
    return out;
}

}  // namespace feldan
