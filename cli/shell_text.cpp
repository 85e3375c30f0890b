#include "cli/shell_text.h"

#include "engine/number_text.h"

namespace feldan::cli {
void WriteLine(std::ostream& out, std::string_view line) {
    out << ForTerminal(line) << '\n';
}

std::string Short(double value, int digits) {
    return GeneralText(value, digits);
}

std::string InLanguage(Language language, std::string_view russian, std::string_view english) {
    return std::string(language == Language::English ? english : russian);
}

}  // namespace feldan::cli
