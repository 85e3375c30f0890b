#include "files/calculation_json.h"

#include "circuit/topologies.h"
#include "engine/crystal_set.h"
#include "engine/exact_design.h"
#include "engine/result_text.h"
#include "engine/sweep.h"
#include "files/sweep_csv.h"

namespace feldan {
namespace {

constexpr char Hex[] = "0123456789abcdef";

void AppendEscape(std::string& shown, const char* prefix, unsigned char code) {
    shown += prefix;
    shown += Hex[code >> 4];
    shown += Hex[code & 15];
}

bool IsContinuation(unsigned char c) {
    return (c & 0xc0) == 0x80;
}

// The length of the well-formed UTF-8 character at `at` (RFC 3629), or 0 when none starts there.
// The second byte's range is what rules out overlong forms (C0, C1, E0 80..9F, F0 80..8F),
// surrogates (ED A0..BF) and code points above U+10FFFF (F4 90..BF, F5..FF).
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) low = 0xa0;
        if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + k]))) return 0;
    }
    return length;
}

// The window's texts separate lines with '\r'; a shell wants '\n'.
std::string ShellLines(std::string text) {
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

}  // namespace

// nlohmann writes the shortest round-trip form; the tool promises 17 significant digits, so
// numbers are written here and everything else (texts with their escapes) by the library.
void DumpJson(const nlohmann::ordered_json& value, std::ostream& out, int indent) {
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    if (value.is_object()) {
        out << "{\n";
        bool first = true;
        for (const auto& [key, item] : value.items()) {
            out << (first ? "" : ",\n") << pad << nlohmann::json(key).dump() << ": ";
            DumpJson(item, out, indent + 2);
            first = false;
        }
        out << '\n' << std::string(static_cast<std::size_t>(indent), ' ') << '}';
    } else if (value.is_array()) {
        out << '[';
        bool first = true;
        for (const auto& item : value) {
            out << (first ? "" : ", ");
            DumpJson(item, out, indent + 2);
            first = false;
        }
        out << ']';
    } else if (value.is_number_float()) {
        out << TableNumber(value.get<double>());
    } else {
        out << value.dump();
    }
}

namespace {

// A text that may quote input, shown as on standard error: the library refuses a string that is
// not valid UTF-8.
nlohmann::ordered_json OptionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(ForTerminal(*text)) : nlohmann::ordered_json(nullptr);
}

}  // namespace

nlohmann::ordered_json DesignFiguresJson(const DesignFigures& figures) {
    using Json = nlohmann::ordered_json;
    const auto maybe = [](const std::optional<double>& value) {
        return value ? Json(*value) : Json(nullptr);
    };
    const auto skirt = [](const std::optional<SkirtPoints>& points) {
        return points ? Json::array({points->lowerHz, points->upperHz}) : Json(nullptr);
    };
    const FilterFigures& w = figures.widths;
    Json j;
    Json& widths = j["bandwidthHz"] = Json::object();
    for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k)
        widths[std::to_string(int(FigureLevelsDb[k]))] = maybe(w.bandwidthHz[k]);
    j["centerHz"] = maybe(w.centreHz);
    j["flatnessDb"] = maybe(w.flatnessDb);
    j["shapeFactor"] = maybe(figures.shapeFactor);
    j["insertionLossDb"] = figures.insertionLossDb;
    j["skirt20Hz"] = skirt(figures.skirt20);
    j["skirt30Hz"] = skirt(figures.skirt30);
    j["fastestWpm"] = maybe(figures.fastestWpm);
    j["wpmAbove"] = figures.wpmAbove;
    return j;
}

CalculationReport CalculateReport(const DesignFields& fields, char separator, bool overlay,
                                  Language language, std::span<const CrystalModel> crystals,
                                  bool trim, bool forJson) {
    CalculationReport report;
    const Designed designed = RunDesign(fields, separator, crystals, trim, language);
    report.calculation = designed.calculation;
    const CalculationResult& result = report.calculation;
    switch (result.outcome) {
        case Outcome::Done:
            report.ending = Ending::Finished;
            report.resultText = ShellLines(result.resultText);
            if (result.caution.id != MessageId::None)
                report.caution = MessageText(result.caution, language);
            if (overlay) {
                report.statusText =
                    OverlayStatusText(0, result, fields.texts.Df, separator, language);
                if (result.input.CkPF != 0) {
                    report.ckText = "Ck=" + FormatGeneral(result.input.CkPF, 4, separator) +
                                    (language == Language::English ? " pF" : " пФ");
                }
            }
            break;
        case Outcome::Warning:
            report.ending = Ending::Warning;
            report.message = ShellLines(MessageText(result.message, language));
            break;
        case Outcome::Error:
            report.ending = Ending::Error;
            report.message = ShellLines(MessageText(result.message, language));
            break;
    }
    if (result.sweepStarted) report.curve = result.curve;
    if (designed.set && result.outcome != Outcome::Error) {
        for (double trimF : designed.set->trimF)
            report.trimPF.push_back(trimF * 1e12);
        report.crystalSetText = CrystalSetText(*designed.set, separator, language);
    }
    if (forJson && !fields.exact)
        report.reachableDfHz = ReachableDfHz(fields, separator, crystals, trim);
    if (forJson && result.outcome == Outcome::Done) {
        DesignedFilter filter = FilterOf(designed, CircuitChoice::Analysed);
        report.figures = FiguresOfDesign(filter);
    }
    return report;
}

int ExitStatusOf(Ending ending) {
    switch (ending) {
        case Ending::Finished:
            return 0;
        case Ending::Warning:
            return 1;
        case Ending::Error:
            return 2;
    }
    return 2;
}

nlohmann::ordered_json CalculationJson(const CalculationReport& report) {
    const DesignInput& d = report.calculation.input;
    const Synthesis& s = report.calculation.synthesis;
    const Measurements& m = report.calculation.measurements;
    nlohmann::ordered_json json;
    json["FilterType"] = d.filterType;
    json["ResponseType"] = d.responseType;
    json["FoKHz"] = d.FoKHz;
    json["DfHz"] = d.DfHz;
    json["LdMH"] = d.LdMH;
    json["CsPF"] = d.CsPF;
    json["RdOhm"] = d.RdOhm;
    json["CkPF"] = d.CkPF;
    json["LevelDb"] = d.LevelDb;
    json["ProtoG1"] = s.ProtoG1;
    json["ProtoG2"] = s.ProtoG2;
    json["ProtoG3"] = s.ProtoG3;
    json["ProtoG4"] = s.ProtoG4;
    json["PrototypeName"] = s.PrototypeName;
    if (s.ProtoOrder > 0) {
        // A generated design's whole prototype, g1 .. gn and the load.
        auto& g = json["Prototype"] = nlohmann::ordered_json::array();
        for (int k = 1; k <= s.ProtoOrder + 1; ++k)
            g.push_back(s.ProtoG[static_cast<std::size_t>(k)]);
        json["Crystals"] = s.ProtoOrder;
        if (d.responseType == static_cast<int>(ResponseType::Chebyshev))
            json["RippleDb"] = d.RippleDb;
    }
    json["FreqRatio"] = s.FreqRatio;
    json["CapScalePF"] = s.CapScalePF;
    json["MotionalCapF"] = s.MotionalCapF;
    json["TermOhm"] = s.TermOhm;
    json["SourceOhm"] = s.SourceOhm;
    json["LoadOhm"] = s.LoadOhm;
    json["InputOhm"] = s.InputOhm;
    // The output end's own, for a design whose two ends differ.
    if (s.OutputOhm != 0 && s.OutputOhm != s.InputOhm) json["OutputOhm"] = s.OutputOhm;
    auto& slots = json["CapPF"] = nlohmann::ordered_json::array();
    for (int k = 1; k <= CapSlotCount; ++k)
        slots.push_back(s.CapPF[k]);
    json["RespAtFoDb"] = m.RespAtFoDb;
    json["AFoDb"] = m.AFoDb;
    json["PeakHz"] = m.PeakHz;
    json["AminDb"] = m.AminDb;
    json["LowerEdgeHz"] = m.LowerEdgeHz;
    json["UpperEdgeHz"] = m.UpperEdgeHz;
    json["MeasuredDfHz"] = m.MeasuredDfHz;
    json["CkText"] = report.ckText;
    json["message"] = OptionalText(report.message);
    json["resultText"] = OptionalText(report.resultText);
    json["statusText"] = OptionalText(report.statusText);
    json["points"] = report.curve.size();
    // The schematic's capacitors by the labels of the picture, so that a script needs no slots.
    auto& parts = json["parts"] = nlohmann::ordered_json::array();
    if (s.Circuit != 0) {
        for (const SchematicItem& item : DescriptorOf(s.Circuit).schematic) {
            if (!IsCapacitorItem(item.kind)) continue;
            parts.push_back({{"label", std::string(item.label)}, {"pF", s.CapPF[item.index]}});
        }
    }
    if (report.crystalSetText) json["trimPF"] = report.trimPF;
    const ExactDesign& exact = report.calculation.exact;
    const auto known = [](double value) {
        return value > 0 ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
    };
    if (exact.exact) {
        json["ExactDesign"] = true;
        json["DesignDfHz"] = known(exact.designDfHz);
        json["EffectiveLdMH"] = known(exact.effectiveLdMH);
        json["iterations"] = exact.iterations;
        json["ReachableDfHz"] = known(exact.reachableDfHz);
        json["NarrowestDfHz"] = known(exact.narrowestDfHz);
    } else {
        json["ReachableDfHz"] = known(report.reachableDfHz.value_or(0));
    }
    json["figures"] =
        report.figures ? DesignFiguresJson(*report.figures) : nlohmann::ordered_json(nullptr);
    // A doubt about a finished design, its numbers standing; null when all is well.
    json["warning"] = OptionalText(report.caution);
    return json;
}

std::string ForTerminal(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = CharacterLength(text, i);
        if (length == 0 || ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7f)) {
            AppendEscape(shown, "\\x", c);
            ++i;
        } else if (c == 0xc2 && static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            AppendEscape(shown, "\\u00", static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

}  // namespace feldan
