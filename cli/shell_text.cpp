#include "cli/shell_text.h"

namespace feldan::cli {
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

}  // namespace

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

void WriteLine(std::ostream& out, std::string_view line) {
    out << ForTerminal(line) << '\n';
}

std::string InLanguage(Language language, std::string_view russian, std::string_view english) {
    return std::string(language == Language::English ? english : russian);
}

}  // namespace feldan::cli
