#include "engine/result_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "circuit/topologies.h"
#include "engine/number_text.h"

namespace feldan {
namespace {

// One capacitor entry of the summary: its labels in the schematic picture and its slot.
struct CapEntry {
    std::string labels;
    int slot;
};

// The capacitors of the schematic from input to output; mirrored ones of one slot share an
// entry ("C1=C5="), in the order their first label is drawn. A generated ladder gives every part
// a slot of its own: there a part shares the entry of its mirror image when both are of one kind
// and of one value to the bit, as a symmetric prototype makes them.
std::vector<CapEntry> CapEntriesOf(const Synthesis& synthesis, int filterType, Language language) {
    std::vector<CapEntry> entries;
    // A result put together without a synthesis names its classic topology alone.
    const int circuit = synthesis.Circuit != 0 ? synthesis.Circuit
                        : filterType >= 1 && filterType <= ClassicFilterTypeCount ? filterType
                                                                                  : 0;
    if (circuit == 0) return entries;
    const bool generated = ShapeOfCircuit(circuit).has_value();
    std::vector<const SchematicItem*> parts;
    for (const SchematicItem& part : DescriptorOf(circuit).schematic) {
        if (IsCapacitorItem(part.kind)) parts.push_back(&part);
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const SchematicItem& part = *parts[k];
        std::string label(part.label);
        // The Russian 4CW summary has always written these two labels with the Cyrillic Es.
        if (language == Language::Russian && circuit == static_cast<int>(FilterType::Cw4) &&
            (label == "C5" || label == "C7")) {
            label = "С" + label.substr(1);
        }
        int slot = part.index;
        if (generated) {
            const SchematicItem& mirror = *parts[parts.size() - 1 - k];
            const auto& c = synthesis.CapPF;
            if (parts.size() - 1 - k < k && mirror.kind == part.kind &&
                c[static_cast<std::size_t>(mirror.index)] == c[static_cast<std::size_t>(slot)]) {
                slot = mirror.index;
            }
        }
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const CapEntry& e) { return e.slot == slot; });
        if (entry == entries.end()) entry = entries.insert(entries.end(), {"", slot});
        entry->labels += label + "=";
    }
    return entries;
}

// Entries go two to a line, one to a line for the three-crystal ladder.
std::size_t EntriesPerLine(int filterType) {
    return filterType == static_cast<int>(FilterType::Ladder3) ? 1 : 2;
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
                 char separator, const SummaryWords& words) {
    text += entry.labels;
    text += FormatGeneral(synthesis.CapPF[entry.slot], 4, separator);
    text += words.picofarad;
}

}  // namespace

std::string FormatGeneral(double value, int precision, char separator) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 2, 18);

    // The magnitude to 18 significant digits: d.ddddddddddddddddde±x.
    char buffer[40];
    const auto result = DoubleToChars(buffer, buffer + sizeof buffer, std::fabs(value),
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
    // A design whose ends differ names the output's too; one of equal ends keeps its line.
    if (synthesis.OutputOhm != 0 && synthesis.OutputOhm != synthesis.InputOhm) {
        text += language == Language::English ? " Rout=" : " Rвых=";
        text += FormatGeneral(synthesis.OutputOhm, 4, separator);
        text += words.ohm;
    }
    const std::vector<CapEntry> entries = CapEntriesOf(synthesis, input.filterType, language);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        text += i % EntriesPerLine(input.filterType) == 0 ? '\r' : ' ';
        AppendEntry(text, entries[i], synthesis, separator, words);
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
