// Bad usage of the command line, said in the tool's own words in either language: the values
// an option does not take, and everything CLI11 refuses (a missing option, an unknown one, two
// that do not go together).
#pragma once

#include <CLI/CLI.hpp>
#include <exception>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan::cli {

// The language of a command line, found before it is parsed, so that a usage error is said in
// it too: the value of the last "--lang X" or "--lang=X" ahead of a bare "--". Russian unless
// that value is "en".
Language LanguageOfArguments(const std::vector<std::string>& args);

// A usage error that names what was wrong, in both languages. Not a CLI::Error, so that CLI11
// lets it through when a check throws it while parsing: ParseArguments catches it.
class UsageError : public std::exception {
  public:
    UsageError(std::string russian, std::string english)
        : russian_(std::move(russian)), english_(std::move(english)) {}
    const std::string& Text(Language language) const {
        return language == Language::English ? english_ : russian_;
    }
    const char* what() const noexcept override { return english_.c_str(); }

  private:
    std::string russian_;
    std::string english_;
};

// A check of an option's text, given the option's name ("--ohm"); throws UsageError for a text
// the option does not take, and may rewrite the text to the form CLI11 is to convert.
using ValueCheck = std::function<void(const std::string& name, std::string& text)>;

// Puts `check` on `option`: CLI11 runs it on the text as given, before converting it.
CLI::Option* Check(CLI::Option* option, ValueCheck check);

// What a number measures, for the words of its check.
enum class Quantity { Number, WholeNumber, Resistance, Frequency, Capacitance, Percentage, Level };

// Numbers: a text that is no number (decimal digits with an optional point and exponent; no
// "inf", no hexadecimal) is called that; one outside the range says what the option takes. The
// text is rewritten as decimal digits (whole numbers) or with 17 significant digits, so that
// CLI11 converts exactly the number checked (its own reading takes "010" for octal).
ValueCheck AnyNumber();                             // --from, --to
ValueCheck Above(double low, Quantity quantity);    // low excluded
ValueCheck AtLeast(double low, Quantity quantity);  // low included
ValueCheck Between(double low, double high, Quantity quantity);
ValueCheck WholeBetween(long double low, long double high);  // whole numbers, both included
ValueCheck WholeAtLeast(long double low);

// One of the given words, exactly; `quoted` puts the words in quotation marks (".", ",").
ValueCheck OneOf(std::vector<std::string> words, bool quoted = false);

// A file name that is not empty (an unset shell variable, say, must not pass as "no file").
ValueCheck FileName();

// Parses `args` (the words after "feldan-cli", or after the subcommand) with `app`.
// `command` is the subcommand's name, empty for the calculation. Returns an exit status when
// done: 0 after --help or --version, 2 for bad usage, said on `err` in `language`.
std::optional<int> ParseArguments(CLI::App& app, const std::string& command,
                                  const std::vector<std::string>& args, Language language,
                                  std::ostream& out, std::ostream& err);

// Says a usage error of `command` (empty for the calculation) on `err`, with the line that
// points to the help, and returns the exit status 2.
int ReportUsage(const std::string& command, const std::string& text, Language language,
                std::ostream& err);

}  // namespace feldan::cli
