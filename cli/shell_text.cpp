#include "cli/shell_text.h"

#include "engine/number_text.h"

namespace feldan::cli {
void WriteLine(std::ostream& out, std::string_view line) {
    out << ForTerminal(line) << '\n';
}

std::string Short(double value, int digits) {
    char buffer[40];
    const auto end =
        DoubleToChars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits)
            .ptr;
    return std::string(buffer, end);
}

std::string InLanguage(Language language, std::string_view russian, std::string_view english) {
    return std::string(language == Language::English ? english : russian);
}

}  // namespace feldan::cli
