// The number texts of the input fields and of design files on any bytes: the separator mapping,
// the strict floating-point conversion and the integer conversion of the type lines.
//
// Input: the first byte is the locale's separator (',' for a comma, anything else for '.'); the
// rest is the text.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/errors.h"
#include "engine/number_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using feldan::ConversionError;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A refusal quotes the text; a NUL byte in it must not cut the message short, so only there may
// the quoted text differ from the text.
void CheckMessage(std::string_view what, std::string_view text, std::string_view tail) {
    if (text.find('\0') == std::string_view::npos) {
        FELDAN_FUZZ_CHECK(what == "'" + std::string(text) + std::string(tail), what);
        return;
    }
    FELDAN_FUZZ_CHECK(what.size() > tail.size() && what.front() == '\'', what);
    FELDAN_FUZZ_CHECK(what.substr(what.size() - tail.size()) == tail, what);
}

void CheckNormalizeDecimal(std::string_view text, char separator) {
    const std::string normal = feldan::NormalizeDecimal(text, separator);
    const char from = separator == ',' ? '.' : ',';
    FELDAN_FUZZ_CHECK(normal.size() == text.size(), text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        FELDAN_FUZZ_CHECK(normal[i] != from, text);
        if (text[i] != '.' && text[i] != ',') FELDAN_FUZZ_CHECK(normal[i] == text[i], text);
    }
}

// An accepted text is a plain decimal number once its separator reads '.', so the C library's
// own conversion (the fuzzer never changes the C locale) must find the same double.
void CheckStrToFloat(std::string_view text, char separator) {
    double value = 0;
    try {
        value = feldan::StrToFloat(text, separator);
    } catch (const ConversionError& error) {
        CheckMessage(error.what(), text, "' is not a valid floating point value");
        return;
    }
    FELDAN_FUZZ_CHECK(std::isfinite(value), text);
    std::string plain(TrimBlanks(text));
    FELDAN_FUZZ_CHECK(plain.find('\0') == std::string::npos, text);
    for (char& c : plain) {
        if (c == separator) c = '.';
    }
    errno = 0;
    char* end = nullptr;
    const double reference = std::strtod(plain.c_str(), &end);
    FELDAN_FUZZ_CHECK(end == plain.c_str() + plain.size(), text);
    FELDAN_FUZZ_CHECK(std::isfinite(reference), text);
    FELDAN_FUZZ_CHECK(SameBits(value, reference), text);
}

// Accepted integer texts are checked against strtoll after the program's own hexadecimal
// prefixes ("$", "x", "0x") are taken off.
void CheckStrToInt(std::string_view text) {
    std::int32_t value = 0;
    try {
        value = feldan::StrToInt(text);
    } catch (const ConversionError& error) {
        CheckMessage(error.what(), text, "' is not a valid integer value");
        return;
    }
    std::string_view rest = text;
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    int base = 10;
    if (!rest.empty() && (rest.front() == '$' || rest.front() == 'x' || rest.front() == 'X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    // strtoll would accept a second sign or blank here; the program must not have.
    FELDAN_FUZZ_CHECK(!rest.empty(), text);
    FELDAN_FUZZ_CHECK(rest.front() != '+' && rest.front() != '-' && !IsBlank(rest.front()), text);
    const std::string digits(rest);
    errno = 0;
    char* end = nullptr;
    const long long magnitude = std::strtoll(digits.c_str(), &end, base);
    FELDAN_FUZZ_CHECK(errno == 0 && end == digits.c_str() + digits.size(), text);
    FELDAN_FUZZ_CHECK((negative ? -magnitude : magnitude) == value, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = data[0] == ',' ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    CheckNormalizeDecimal(text, separator);
    CheckStrToFloat(text, separator);
    // The fields go through the separator mapping before the conversion.
    CheckStrToFloat(feldan::NormalizeDecimal(text, separator), separator);
    CheckStrToInt(text);
    return 0;
}
