#include "engine/result_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string_view>

namespace feldan {
namespace {

// One capacitor entry of the summary: its labels in the schematic picture and its slot.
struct CapEntry {
    std::string_view labels;
    int slot;
};

// A line holds one or two entries; an unused second entry has slot 0.
struct CapLine {
    CapEntry first;
    CapEntry second{"", 0};
};

// The capacitor lines of each topology, from input to output, under the labels of its picture.
// Mirrored capacitors of equal value share an entry; the end capacitors are the end shunt
// capacitances (slot 13, slot 20 for 8CW). The 4CW labels "С7" and "С5" carry the Cyrillic Es.
constexpr CapLine Ladder3Lines[] = {
    {{"C1=C4=", 13}},
    {{"C2=C3=", 1}},
};
constexpr CapLine Ladder4Lines[] = {
    {{"C1=C5=", 13}, {"C2=C4=", 1}},
    {{"C3=", 2}},
};
constexpr CapLine Ladder6Lines[] = {
    {{"C1=C9=", 13}, {"C2=C8=", 1}},
    {{"C3=C7=", 2}, {"C4=C6=", 5}},
    {{"C5=", 6}},
};
constexpr CapLine Ladder8Lines[] = {
    {{"C1=C13=", 13}, {"C2=C12=", 1}},
    {{"C3=C11=", 2}, {"C4=C10=", 17}},
    {{"C5=C9=", 15}, {"C6=C8=", 18}},
    {{"C7=", 4}},
};
constexpr CapLine Cw4Lines[] = {
    {{"C1=С7=", 13}, {"C2=C6=", 1}},
    {{"C3=С5=", 23}, {"C4=", 22}},
};
constexpr CapLine Cw6Lines[] = {
    {{"C1=C11=", 13}, {"C2=C10=", 1}},
    {{"C3=C9=", 27}, {"C4=C8=", 25}},
    {{"C5=C7=", 26}, {"C6=", 3}},
};
constexpr CapLine Cw8Lines[] = {
    {{"C1=C15=", 20}, {"C2=C14=", 2}},
    {{"C3=C13=", 3}, {"C4=C12=", 4}},
    {{"C5=C11=", 5}, {"C6=C10=", 6}},
    {{"C7=C9=", 7}, {"C8=", 8}},
};

std::span<const CapLine> CapLinesOf(int filterType) {
    switch (filterType) {
        case 1:
            return Ladder3Lines;
        case 2:
            return Ladder4Lines;
        case 3:
            return Ladder6Lines;
        case 4:
            return Ladder8Lines;
        case 5:
            return Cw4Lines;
        case 6:
            return Cw6Lines;
        case 7:
            return Cw8Lines;
        default:
            return {};
    }
}

// The words around the numbers of the summary.
struct SummaryWords {
    std::string_view inputOhm, ohm, picofarad, amin, aminAt, decibel, hertz, levelDecibel, hertzEnd;
};

constexpr SummaryWords RussianWords = {"Rвх=", " Ом;", " пФ;",  "Амин=", " F(Амин)=Fo+",
                                       " дБ;", " Гц;", " дБ)=", " Гц."};
constexpr SummaryWords EnglishWords = {"Rin=", " Ohm;", " pF;",  "Amin=", " F(Amin)=Fo+",
                                       " dB;", " Hz;",  " dB)=", " Hz."};

void AppendEntry(std::string& text, const CapEntry& entry, const Synthesis& synthesis,
                 char separator, Language language) {
    if (language == Language::English) {
        // The English summary names every capacitor with the Latin C of the schematic.
        constexpr std::string_view CyrillicEs = "\u0421";
        std::string labels(entry.labels);
        for (std::size_t at = labels.find(CyrillicEs); at != std::string::npos;
             at = labels.find(CyrillicEs, at + 1)) {
            labels.replace(at, CyrillicEs.size(), "C");
        }
        text += labels;
    } else {
        text += entry.labels;
    }
    text += FormatGeneral(synthesis.CapPF[entry.slot], 4, separator);
    text += language == Language::English ? EnglishWords.picofarad : RussianWords.picofarad;
}

}  // namespace

std::string FormatGeneral(double value, int precision, char separator) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 2, 18);

    // The magnitude to 18 significant digits: d.ddddddddddddddddde±x.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 17);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::string digits;
    digits += scientific[0];
    digits += scientific.substr(2, 17);
    // e is the exponent of the form 0.d1d2... × 10^e.
    int e = std::atoi(std::string(scientific.substr(scientific.find('e') + 1)).c_str()) + 1;

    // Round to `precision` digits, halves away from zero.
    const bool roundUp = digits[static_cast<std::size_t>(precision)] >= '5';
    digits.resize(static_cast<std::size_t>(precision));
    if (roundUp) {
        int i = precision - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++e;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int k = static_cast<int>(digits.size());

    std::string text = value < 0 ? "-" : "";
    if (e > precision || e < -3) {
        text += digits[0];
        if (k > 1) {
            text += separator;
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    } else if (e <= 0) {
        text += '0';
        text += separator;
        text.append(static_cast<std::size_t>(-e), '0');
        text += digits;
    } else {
        if (k <= e) {
            text += digits;
            text.append(static_cast<std::size_t>(e - k), '0');
        } else {
            text.append(digits, 0, static_cast<std::size_t>(e));
            text += separator;
            text.append(digits, static_cast<std::size_t>(e));
        }
    }
    return text;
}

std::string ComposeResultText(const CalculationResult& result, char separator, Language language) {
    const SummaryWords& words = language == Language::English ? EnglishWords : RussianWords;
    const DesignInput& input = result.input;
    const Synthesis& synthesis = result.synthesis;
    const Measurements& m = result.measurements;
    std::string text(words.inputOhm);
    text += FormatGeneral(synthesis.InputOhm, 4, separator);
    text += words.ohm;
    for (const CapLine& line : CapLinesOf(input.FilterType)) {
        text += '\r';
        AppendEntry(text, line.first, synthesis, separator, language);
        if (line.second.slot != 0) {
            text += ' ';
            AppendEntry(text, line.second, synthesis, separator, language);
        }
    }
    // In double precision a maximum at Fo gives exactly 0 here.
    const double peakOffsetHz = m.PeakHz - 1000 * input.FoKHz;
    text += '\r';
    text += words.amin;
    text += FormatGeneral(m.AminDb, 3, separator);
    text += words.decibel;
    text += words.aminAt;
    text += FormatGeneral(peakOffsetHz, 4, separator);
    text += words.hertz;
    text += "\rA(Fo)=" + FormatGeneral(m.AFoDb, 4, separator);
    text += words.decibel;
    text += " dF(" + FormatGeneral(input.LevelDb, 15, separator);
    text += words.levelDecibel;
    text += FormatGeneral(m.MeasuredDfHz, 5, separator);
    text += words.hertzEnd;
    return text;
}

}  // namespace feldan
