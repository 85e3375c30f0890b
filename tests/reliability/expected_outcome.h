// What a run of feldan-cli may end in, and the check that it ended in one of those.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/cli_process.h"

namespace feldan::reliability {

// The program's own texts, with the line ends a shell gets.
inline const std::string MissingData = " Необходимо задать все данные для расчета ! ";
inline const std::string ZeroRd =
    " Активное сопротивление должно быть\n            отлично от нуля ! ";
inline const std::string ZeroResistance =
    " Активное сопротивление должно быть\n           отлично от нуля !!! ";
inline const std::string NoSolution = " Решение невозможно ! ";
inline const std::string MissingLevel = " Задайте уровень АЧХ ! ";
inline const std::string BadLevel = " Уровень АЧХ задан не корректно ! ";
inline const std::string BandLimit =
    "При заданном уровне АЧХ полоса пропускания\n        превысила пределы +/-30кГц.\n  "
    "Проверьте правильность исходных данных.";
inline const std::string DivisionByZero = "Floating point division by zero";
inline const std::string InvalidOperation = "Invalid floating point operation";
inline const std::string Overflow = "Floating point overflow";

inline std::string NotAFloat(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}
inline std::string NotAnInteger(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

// One ending: the exit status and the whole of standard error without its final line end.
struct Ending {
    int status = 0;
    std::string message;
};

inline Ending Finished() {
    return {0, ""};
}
inline Ending Warning(const std::string& text) {
    return {1, text};
}
inline Ending Error(const std::string& text) {
    return {2, text};
}

// A text cut to its first and last hundred bytes, for failure messages about very long texts.
std::string Abbreviated(const std::string& text);

// Checks a run of a calculation (not of bad usage): it ended by itself, without a signal or a
// sanitizer report, with no "nan" or "inf" anywhere, in one of the program's endings: 0 with a
// summary and nothing on standard error, 1 with one of its warnings, 2 with an arithmetic error
// or the conversion error of `converted`, a text the run hands to the number conversion, or the
// refusal of a design file. When `expected` is given the ending must be that one.
void ExpectSoundEnding(const CliRun& run, const std::vector<std::string>& converted,
                       const std::optional<Ending>& expected, bool json = false);

}  // namespace feldan::reliability
