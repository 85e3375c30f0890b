#include "cli/usage.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cli/calculation.h"
#include "cli/shell_text.h"

namespace feldan::cli {
namespace {

struct QuantityWords {
    Quantity quantity;
    const char* russian;  // with the word that agrees with it: "нужна частота"
    const char* english;
    const char* russianUnit;
    const char* englishUnit;
};

constexpr QuantityWords Words[] = {
    {Quantity::Number, "нужно число", "a number", "", ""},
    {Quantity::WholeNumber, "нужно целое число", "a whole number", "", ""},
    {Quantity::Resistance, "нужно сопротивление", "a resistance", "Ом", "Ohm"},
    {Quantity::Frequency, "нужна частота", "a frequency", "Гц", "Hz"},
    {Quantity::Capacitance, "нужна ёмкость", "a capacitance", "пФ", "pF"},
    {Quantity::Percentage, "нужно значение", "a percentage", "%", ""},
    {Quantity::Level, "нужно значение", "a value", "дБ", "dB"},
};

const QuantityWords& WordsOf(Quantity quantity) {
    for (const QuantityWords& words : Words) {
        if (words.quantity == quantity) return words;
    }
    return Words[0];
}

std::string WithUnit(const std::string& number, const char* unit) {
    return *unit == '\0' ? number : number + " " + unit;
}

std::string BoundText(long double value) {
    if (value == std::floor(value) && std::fabs(value) < 1.9e19L) {
        const auto magnitude = static_cast<std::uint64_t>(std::fabs(value));
        return (value < 0 ? "-" : "") + std::to_string(magnitude);
    }
    return NumberText(static_cast<double>(value));
}

// What a number must be, after the option's name, in both languages.
struct Range {
    Quantity quantity = Quantity::Number;
    std::optional<long double> low, high;
    bool lowIncluded = true;

    UsageError Refusal(const std::string& name) const {
        const QuantityWords& words = WordsOf(quantity);
        std::string russian = words.russian;
        std::string english = std::string("must be ") + words.english;
        if (low && high) {
            russian +=
                " от " + BoundText(*low) + " до " + WithUnit(BoundText(*high), words.russianUnit);
            english +=
                " from " + BoundText(*low) + " to " + WithUnit(BoundText(*high), words.englishUnit);
        } else if (low && lowIncluded) {
            russian += " не меньше " + WithUnit(BoundText(*low), words.russianUnit);
            english += " of " + WithUnit(BoundText(*low), words.englishUnit) + " or more";
        } else if (low) {
            russian += " больше " + WithUnit(BoundText(*low), words.russianUnit);
            english += " above " + WithUnit(BoundText(*low), words.englishUnit);
        }
        return UsageError(name + ": " + russian, name + " " + english);
    }

    bool Holds(long double value) const {
        if (low && (lowIncluded ? value < *low : value <= *low)) return false;
        return !(high && value > *high);
    }
};

UsageError NotANumber(const std::string& name, const std::string& text) {
    return UsageError(name + ": «" + text + "» — не число",
                      name + ": \"" + text + "\" is not a number");
}

// A decimal number, as from_chars reads it, with an optional '+'; nothing that is not finite.
std::optional<double> RealOf(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Decimal digits with an optional sign, up to 2^64 - 1 in size; a long double holds it exactly.
std::optional<long double> WholeOf(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const auto value = static_cast<long double>(magnitude);
    return negative ? -value : value;
}

ValueCheck RealCheck(Range range) {
    return [range](const std::string& name, std::string& text) {
        if (text.empty()) throw range.Refusal(name);
        const std::optional<double> value = RealOf(text);
        if (!value) throw NotANumber(name, text);
        if (!range.Holds(*value)) throw range.Refusal(name);
        text = NumberText(*value);
    };
}

ValueCheck WholeCheck(Range range) {
    range.quantity = Quantity::WholeNumber;
    return [range](const std::string& name, std::string& text) {
        if (text.empty()) throw range.Refusal(name);
        const std::optional<long double> value = WholeOf(text);
        if (!value) {
            if (RealOf(text)) throw range.Refusal(name);
            throw NotANumber(name, text);
        }
        if (!range.Holds(*value)) throw range.Refusal(name);
        text = BoundText(*value);
    };
}

// The name of the option that a CLI11 message begins with ("--fo: 1 required TEXT missing"), or
// names first ("Could not convert: --json = x").
std::string LeadingOption(std::string what) {
    const std::string conversion = "Could not convert: ";
    if (what.rfind(conversion, 0) == 0) what.erase(0, conversion.size());
    if (what.rfind("-", 0) != 0) return "";
    return what.substr(0, what.find_first_of(": "));
}

// The two names around `word` in "--f2 requires --c2".
std::optional<std::pair<std::string, std::string>> Around(const std::string& what,
                                                          const std::string& word) {
    const std::size_t at = what.find(word);
    if (at == std::string::npos || at == 0) return std::nullopt;
    return std::pair(what.substr(0, at), what.substr(at + word.size()));
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The texts of CLI11's refusals, told apart by their type; the names come from its message.
UsageError Explained(const CLI::ParseError& error, const CLI::App& app) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error) && EndsWith(what, " is required")) {
        const std::string name = what.substr(0, what.size() - std::string(" is required").size());
        return UsageError("нужно задать " + name, name + " is required");
    }
    if (dynamic_cast<const CLI::RequiresError*>(&error)) {
        if (const auto names = Around(what, " requires ")) {
            return UsageError(names->first + " задаётся только вместе с " + names->second,
                              names->first + " needs " + names->second + " as well");
        }
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
        if (const auto names = Around(what, " excludes ")) {
            return UsageError(names->first + " нельзя задать вместе с " + names->second,
                              names->first + " cannot be given with " + names->second);
        }
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        for (const std::string& extra : app.remaining()) {
            if (extra == "--") continue;
            if (extra.rfind("-", 0) == 0 && extra.size() > 1)
                return UsageError("неизвестный параметр " + extra, "unknown option " + extra);
            return UsageError("лишний аргумент «" + extra + "»",
                              "unexpected argument \"" + extra + "\"");
        }
    }
    const std::string name = LeadingOption(what);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && !name.empty()) {
        if (EndsWith(what, " missing"))
            return UsageError(name + ": не задано значение", name + " needs a value");
        if (what.find("At Most") != std::string::npos)
            return UsageError(name + " задан больше одного раза",
                              name + " is given more than once");
    }
    // Refusals that the checks of the options leave rare.
    if (!name.empty())
        return UsageError(name + ": недопустимое значение", name + ": the value cannot be used");
    return UsageError("эти аргументы не подходят", "the arguments cannot be used as given");
}

}  // namespace

Language LanguageOfArguments(const std::vector<std::string>& args) {
    std::string value;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") break;
        if (args[i] == "--lang" && i + 1 < args.size()) {
            value = args[++i];
        } else if (args[i].rfind("--lang=", 0) == 0) {
            value = args[i].substr(7);
        }
    }
    return value == "en" ? Language::English : Language::Russian;
}

CLI::Option* Check(CLI::Option* option, ValueCheck check) {
    const std::string name = option->get_name();
    // A transform, not a check: CLI11 gives a check a copy of the text.
    return option->transform(CLI::Validator(
        [name, check = std::move(check)](std::string& text) {
            check(name, text);
            return std::string();
        },
        ""));
}

ValueCheck AnyNumber() {
    return RealCheck(Range{});
}

ValueCheck Above(double low, Quantity quantity) {
    return RealCheck(Range{quantity, low, std::nullopt, false});
}

ValueCheck AtLeast(double low, Quantity quantity) {
    return RealCheck(Range{quantity, low, std::nullopt, true});
}

ValueCheck Between(double low, double high, Quantity quantity) {
    return RealCheck(Range{quantity, low, high, true});
}

ValueCheck WholeBetween(long double low, long double high) {
    return WholeCheck(Range{Quantity::WholeNumber, low, high, true});
}

ValueCheck WholeAtLeast(long double low) {
    return WholeCheck(Range{Quantity::WholeNumber, low, std::nullopt, true});
}

ValueCheck OneOf(std::vector<std::string> words, bool quoted) {
    return [words = std::move(words), quoted](const std::string& name, std::string& text) {
        for (const std::string& word : words) {
            if (text == word) return;
        }
        std::string russian, english;
        for (std::size_t k = 0; k < words.size(); ++k) {
            const bool last = k + 1 == words.size();
            const char* russianJoin = k == 0 ? "" : last && words.size() == 2 ? " или " : ", ";
            const char* englishJoin = k == 0 ? "" : last && words.size() == 2 ? " or " : ", ";
            russian += russianJoin + (quoted ? "«" + words[k] + "»" : words[k]);
            english += englishJoin + (quoted ? "\"" + words[k] + "\"" : words[k]);
        }
        if (words.size() > 2) {
            russian = "нужно одно из: " + russian;
            english = "must be one of " + english;
        } else {
            russian = "нужно " + russian;
            english = "must be " + english;
        }
        throw UsageError(name + ": " + russian, name + " " + english);
    };
}

ValueCheck FileName() {
    return [](const std::string& name, std::string& text) {
        if (text.empty())
            throw UsageError(name + ": пустое имя файла", name + ": the file name is empty");
    };
}

int ReportUsage(const std::string& command, const std::string& text, Language language,
                std::ostream& err) {
    const std::string program = command.empty() ? "feldan-cli" : "feldan-cli " + command;
    WriteLine(err, program + ": " + text);
    WriteLine(err, InLanguage(language, "Список параметров: " + program + " --help",
                              "Run '" + program + " --help' for the options."));
    return 2;
}

std::optional<int> ParseArguments(CLI::App& app, const std::string& command,
                                  const std::vector<std::string>& args, Language language,
                                  std::ostream& out, std::ostream& err) {
    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        return ReportUsage(command, Explained(error, app).Text(language), language, err);
    } catch (const UsageError& error) {
        return ReportUsage(command, error.Text(language), language, err);
    }
    return std::nullopt;
}

}  // namespace feldan::cli
