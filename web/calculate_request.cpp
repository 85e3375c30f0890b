#include "web/calculate_request.h"

#include <array>
#include <optional>
#include <string_view>

#include "engine/ladder_design.h"
#include "engine/number_text.h"

namespace feldan::web {
namespace {

std::string InLanguage(Language language, std::string_view russian, std::string_view english) {
    return std::string(language == Language::English ? english : russian);
}

std::string ShortestText(double value) {
    char buffer[40];
    return std::string(buffer, DoubleToChars(buffer, buffer + sizeof buffer, value).ptr);
}

[[noreturn]] void Refuse(Language language, const std::string& key, std::string_view russian,
                         std::string_view english) {
    throw RequestError(key + ": " + InLanguage(language, russian, english));
}

int WholeOf(const nlohmann::json& value, const std::string& key, int low, int high,
            Language language) {
    if (!value.is_number_integer() || value.get<long long>() < low ||
        value.get<long long>() > high) {
        const std::string range = std::to_string(low) + "…" + std::to_string(high);
        Refuse(language, key, "нужно целое число " + range, "must be a whole number " + range);
    }
    return value.get<int>();
}

std::string TextOf(const nlohmann::json& value, const std::string& key, Language language) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number()) {
        char buffer[40];
        const auto end = DoubleToChars(buffer, buffer + sizeof buffer, value.get<double>()).ptr;
        return std::string(buffer, end);
    }
    Refuse(language, key, "нужен текст поля или число", "must be a field's text or a number");
}

bool FlagOf(const nlohmann::json& value, const std::string& key, Language language) {
    if (!value.is_boolean()) Refuse(language, key, "нужно true или false", "must be true or false");
    return value.get<bool>();
}

}  // namespace

CalculateRequest ReadCalculateRequest(const nlohmann::json& request) {
    CalculateRequest read;
    if (!request.is_object()) throw RequestError("the request must be a JSON object");
    // The language first, so that everything else is refused in it.
    if (const auto lang = request.find("lang"); lang != request.end()) {
        if (*lang != "ru" && *lang != "en") {
            throw RequestError("lang: должно быть \"ru\" или \"en\" / must be \"ru\" or \"en\"");
        }
        read.language = *lang == "en" ? Language::English : Language::Russian;
    }
    const Language language = read.language;
    DesignFields& fields = read.fields;
    InputTexts& texts = fields.texts;
    const std::array<std::pair<const char*, std::string*>, 7> fieldKeys = {{
        {"fo", &texts.Fo},
        {"ld", &texts.Ld},
        {"cs", &texts.Cs},
        {"rd", &texts.Rd},
        {"df", &texts.Df},
        {"ck", &texts.Ck},
        {"level", &texts.Level},
    }};
    std::optional<std::string> topology;
    std::optional<int> order;
    for (const auto& [key, value] : request.items()) {
        bool known = key == "lang";
        for (const auto& [name, text] : fieldKeys) {
            if (key == name) {
                *text = TextOf(value, key, language);
                known = true;
            }
        }
        if (key == "type") {
            if (request.contains("topology")) {
                Refuse(language, key, "type и topology вместе не задаются",
                       "type and topology exclude each other");
            }
            fields.filterType = WholeOf(value, key, 1, ClassicFilterTypeCount, language);
        } else if (key == "topology") {
            if (!value.is_string() || !StructureOfWord(value.get<std::string>())) {
                Refuse(language, key, "нужно \"ladder\", \"cw\" или \"qer\"",
                       "must be \"ladder\", \"cw\" or \"qer\"");
            }
            topology = value.get<std::string>();
        } else if (key == "order") {
            order = WholeOf(value, key, MinLadderCrystals, MaxLadderCrystals, language);
        } else if (key == "response") {
            const std::string text = value.is_number_integer()
                                         ? std::to_string(value.get<long long>())
                                         : (value.is_string() ? value.get<std::string>() : "");
            const auto choice = ResponseOfRequest(text);
            if (!choice) {
                Refuse(language, key,
                       "нужно 1…5, butterworth, chebyshev:R, bessel, legendre, gaussian, "
                       "gaussian6, gaussian12, linear-phase:0.05, linear-phase:0.5 или cohn",
                       "must be 1 to 5, butterworth, chebyshev:R, bessel, legendre, gaussian, "
                       "gaussian6, gaussian12, linear-phase:0.05, linear-phase:0.5 or cohn");
            }
            fields.responseType = choice->responseType;
            if (!choice->ripple.empty()) fields.ripple = choice->ripple;
        } else if (key == "exact") {
            fields.exact = FlagOf(value, key, language);
        } else if (key == "capacitor") {
            fields.capacitor = TextOf(value, key, language);
        } else if (key == "overlay") {
            read.overlay = FlagOf(value, key, language);
        } else if (key == "separator") {
            if (value != "." && value != ",") {
                Refuse(language, key, "нужно \".\" или \",\"", "must be \".\" or \",\"");
            }
            read.separator = value.get<std::string>().front();
        } else if (!known) {
            Refuse(language, key, "такого ключа нет", "no such key");
        }
    }
    if (topology.has_value() != order.has_value()) {
        Refuse(language, topology ? "topology" : "order", "topology и order задаются только вместе",
               "topology and order go together");
    }
    if (topology) {
        const LadderStructure structure = *StructureOfWord(*topology);
        fields.filterType = FilterTypeOfOrder(structure, *order);
        if (fields.filterType == 0) {
            const std::string count = std::to_string(*order);
            if (structure == LadderStructure::Qer) {
                Refuse(language, "order", "у лестницы QER от 4 до 12 звеньев, не " + count,
                       "a qer ladder has 4 to 12 poles, not " + count);
            }
            Refuse(language, "order",
                   "лестницы CW бывают из 4, 6, 8, 10 или 12 кварцев, не из " + count,
                   "a cw ladder has 4, 6, 8, 10 or 12 crystals, not " + count);
        }
    }
    return read;
}

SweepSpan ReadSweepSpan(const nlohmann::json& span, Language language) {
    SweepSpan read;
    if (!span.is_object()) throw RequestError("the span must be a JSON object");
    const auto numberOf = [&](const nlohmann::json& value, const std::string& key) {
        if (!value.is_number()) Refuse(language, key, "нужно число", "must be a number");
        return value.get<double>();
    };
    for (const auto& [key, value] : span.items()) {
        if (key == "from") {
            read.fromKHz = numberOf(value, key);
        } else if (key == "to") {
            read.toKHz = numberOf(value, key);
        } else if (key == "points") {
            read.points = WholeOf(value, key, 2, MaxSweepPoints, language);
        } else if (key == "circuit") {
            if (value != "schematic" && value != "analysed") {
                Refuse(language, key, "нужно \"schematic\" или \"analysed\"",
                       "must be \"schematic\" or \"analysed\"");
            }
            read.circuit = value == "analysed" ? CircuitChoice::Analysed : CircuitChoice::Schematic;
        } else if (key == "referenceOhm") {
            const double ohm = numberOf(value, key);
            if (!(ohm > 0)) {
                Refuse(language, key, "нужно сопротивление больше 0 Ом",
                       "must be a resistance above 0 Ohm");
            }
            read.referenceOhm = ohm;
        } else {
            Refuse(language, key, "такого ключа нет", "no such key");
        }
    }
    if (read.fromKHz && read.toKHz && !(*read.fromKHz < *read.toKHz))
        Refuse(language, "from", "должно быть меньше to", "must lie below to");
    return read;
}

namespace {

// "none", "hann" or "kaiser:B"; nothing for anything else.
std::optional<WindowChoice> WindowOf(const std::string& text) {
    if (text == "none") return WindowChoice{};
    if (text == "hann") return WindowChoice{TransientWindow::Hann, 0};
    const std::string prefix = "kaiser:";
    if (text.rfind(prefix, 0) != 0) return std::nullopt;
    double beta = 0;
    const char* end = text.data() + text.size();
    const auto parsed = DoubleFromChars(text.data() + prefix.size(), end, beta);
    if (parsed.ec != std::errc() || parsed.ptr != end || !(beta >= 0) || beta > 50)
        return std::nullopt;
    return WindowChoice{TransientWindow::Kaiser, beta};
}

}  // namespace

TimeOptions ReadTimeOptions(const nlohmann::json& options, Language language) {
    TimeOptions read;
    if (!options.is_object()) throw RequestError("the time options must be a JSON object");
    std::optional<double> wpm, pulseMs;
    double riseMs = 0;
    const auto between = [&](const nlohmann::json& value, const std::string& key, double low,
                             double high) {
        if (!value.is_number() || !(value.get<double>() >= low) || value.get<double>() > high) {
            const std::string range = ShortestText(low) + "…" + ShortestText(high);
            Refuse(language, key, "нужно число " + range, "must be a number " + range);
        }
        return value.get<double>();
    };
    for (const auto& [key, value] : options.items()) {
        if (key == "kind") {
            if (value != "step" && value != "impulse" && value != "keyed") {
                Refuse(language, key, "нужно \"step\", \"impulse\" или \"keyed\"",
                       "must be \"step\", \"impulse\" or \"keyed\"");
            }
            read.request.kind = value == "keyed"     ? TimeKind::Keyed
                                : value == "impulse" ? TimeKind::Impulse
                                                     : TimeKind::Step;
        } else if (key == "wpm") {
            wpm = between(value, key, 1, 1000);
        } else if (key == "pulseMs") {
            pulseMs = between(value, key, 0.01, 10000);
        } else if (key == "riseMs") {
            riseMs = between(value, key, 0, 1000);
        } else if (key == "window") {
            const std::optional<WindowChoice> window =
                value.is_string() ? WindowOf(value.get<std::string>()) : std::nullopt;
            if (!window) {
                Refuse(language, key, "нужно none, hann или kaiser:B (B от 0 до 50)",
                       "must be none, hann or kaiser:B (B from 0 to 50)");
            }
            read.request.window = *window;
        } else if (key == "circuit") {
            if (value != "schematic" && value != "analysed") {
                Refuse(language, key, "нужно \"schematic\" или \"analysed\"",
                       "must be \"schematic\" or \"analysed\"");
            }
            read.circuit = value == "analysed" ? CircuitChoice::Analysed : CircuitChoice::Schematic;
        } else {
            Refuse(language, key, "такого ключа нет", "no such key");
        }
    }
    if (wpm && pulseMs)
        Refuse(language, "wpm", "wpm и pulseMs вместе не задаются",
               "wpm and pulseMs exclude each other");
    if ((wpm || pulseMs || riseMs > 0) && read.request.kind != TimeKind::Keyed) {
        Refuse(language,
               wpm       ? "wpm"
               : pulseMs ? "pulseMs"
                         : "riseMs",
               "только для kind keyed", "goes with kind keyed only");
    }
    read.request.keying = pulseMs ? Keying::Pulse(*pulseMs, riseMs)
                                  : Keying::Dots(wpm.value_or(25), TimeTrainDots, riseMs);
    return read;
}

nlohmann::ordered_json RequestOfFields(const DesignFields& fields) {
    nlohmann::ordered_json request;
    const LadderChoice ladder = LadderOfFilterType(fields.filterType);
    if (fields.filterType >= 1 && fields.filterType <= ClassicFilterTypeCount) {
        request["type"] = fields.filterType;
    } else if (ladder.crystals > 0) {
        request["topology"] = StructureWord(ladder.structure);
        request["order"] = OrderOfLadder(ladder);
    }
    const int response = fields.responseType;
    if (response >= 1 && response <= ClassicResponseTypeCount) {
        request["response"] = std::to_string(response);
    } else if (response == static_cast<int>(ResponseType::Chebyshev)) {
        request["response"] = "chebyshev:" + fields.ripple;
    } else if (const std::string keyword = ResponseKeyword(response); !keyword.empty()) {
        request["response"] = keyword;
    } else {
        request["response"] = nullptr;
    }
    const InputTexts& texts = fields.texts;
    request["fo"] = texts.Fo;
    request["ld"] = texts.Ld;
    request["cs"] = texts.Cs;
    request["rd"] = texts.Rd;
    request["df"] = texts.Df;
    request["ck"] = texts.Ck;
    request["level"] = texts.Level;
    request["exact"] = fields.exact;
    if (!fields.capacitor.empty()) request["capacitor"] = fields.capacitor;
    return request;
}

}  // namespace feldan::web
