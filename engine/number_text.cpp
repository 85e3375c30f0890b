#include "engine/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "engine/errors.h"
#include "engine/portable_number_chars.h"

namespace feldan {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text as a message can show it: what() ends at the first NUL byte (a design file may hold
// one), so a NUL is shown as the symbol for NUL (U+2400) instead of cutting the message short.
std::string Shown(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        if (c == '\0') {
            shown += "\u2400";
        } else {
            shown += c;
        }
    }
    return shown;
}

[[noreturn]] void ThrowNotFloat(std::string_view text) {
    throw ConversionError(Message{MessageId::NotAFloat, Shown(text)});
}

[[noreturn]] void ThrowNotInteger(std::string_view text) {
    throw ConversionError(Message{MessageId::NotAnInteger, Shown(text)});
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string NormalizeDecimal(std::string_view text, char separator) {
    std::string result(text);
    const char from = separator == ',' ? '.' : ',';
    const char to = separator == ',' ? ',' : '.';
    for (char& c : result) {
        if (c == from) c = to;
    }
    return result;
}

double StrToFloat(std::string_view text, char separator) {
    // Validate the shape first and build a plain "C" form of the number for from_chars, so that
    // the result never depends on what the C library thinks the locale is.
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;

    std::string plain;
    plain.reserve(n);
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain.push_back('-');
        ++i;
    }
    int digits = 0;
    bool seenSeparator = false;
    // Decimal order of the first significant digit (1 for units, 0 for tenths, ...); it tells an
    // overflow from an underflow when from_chars reports a value out of range.
    long firstSignificant = 0;
    bool haveSignificant = false;
    long integerDigits = 0;
    long fractionDigits = 0;
    while (i < n) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            if (seenSeparator) {
                ++fractionDigits;
            } else {
                ++integerDigits;
            }
            if (c != '0' && !haveSignificant) {
                haveSignificant = true;
                firstSignificant = seenSeparator ? 1 - fractionDigits : integerDigits;
            }
            plain.push_back(c);
        } else if (c == separator && !seenSeparator) {
            seenSeparator = true;
            plain.push_back('.');
        } else {
            break;
        }
        ++i;
    }
    if (digits == 0) ThrowNotFloat(text);
    // Turn the index of an integer digit into its decimal order (1 for units, 2 for tens, ...).
    if (haveSignificant && firstSignificant > 0) {
        firstSignificant = integerDigits - firstSignificant + 1;
    }

    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain.push_back('e');
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            plain.push_back(text[i]);
            ++i;
        }
        int expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            // Past the length of the text plus the range of a double, a larger exponent cannot
            // change whether the value overflows or underflows, however many zeros lead it.
            if (exponent <= static_cast<long>(n) + 400) exponent = exponent * 10 + (text[i] - '0');
            plain.push_back(text[i]);
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) ThrowNotFloat(text);
        if (negative) exponent = -exponent;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n) ThrowNotFloat(text);

    double value = 0;
    const auto [ptr, ec] = DoubleFromChars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Tiny magnitudes round to zero; huge ones are not representable.
        const long magnitude = (haveSignificant ? firstSignificant : 0) + exponent;
        if (magnitude < 0) return plain.front() == '-' ? -0.0 : 0.0;
        ThrowNotFloat(text);
    }
    if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(value)) {
        ThrowNotFloat(text);
    }
    return value;
}

double FieldTextToFloat(std::string_view text, char separator) {
    return StrToFloat(NormalizeDecimal(text, separator), separator);
}

std::int32_t StrToInt(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    int digits = 0;
    for (; i < n; ++i) {
        const int d = base == 16 ? HexDigitValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (d < 0) ThrowNotInteger(text);
        magnitude = magnitude * base + d;
        if (magnitude > limit) ThrowNotInteger(text);
        ++digits;
    }
    if (digits == 0) ThrowNotInteger(text);
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

namespace {

// The standard library's conversions where it has them for floating point, else the portable
// ones: the same results either way.
#if defined(__cpp_lib_to_chars)
template <class... Args>
std::to_chars_result ToCharsOf(Args... args) {
    return std::to_chars(args...);
}
std::from_chars_result FromCharsOf(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}
#else
template <class... Args>
std::to_chars_result ToCharsOf(Args... args) {
    return portable::ToChars(args...);
}
std::from_chars_result FromCharsOf(const char* first, const char* last, double& value) {
    return portable::FromChars(first, last, value);
}
#endif

}  // namespace

std::to_chars_result DoubleToChars(char* first, char* last, double value) {
    return ToCharsOf(first, last, value);
}
std::string GeneralText(double value, int digits) {
    char buffer[40];
    const auto end =
        ToCharsOf(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
    return std::string(buffer, end);
}
std::to_chars_result DoubleToChars(char* first, char* last, double value, std::chars_format format,
                                   int precision) {
    return ToCharsOf(first, last, value, format, precision);
}
std::from_chars_result DoubleFromChars(const char* first, const char* last, double& value) {
    return FromCharsOf(first, last, value);
}

}  // namespace feldan
