#include "engine/portable_number_chars.h"

#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/format.h>

namespace feldan::portable {
namespace {

std::to_chars_result Put(char* first, char* last, const std::string& text) {
    if (static_cast<std::size_t>(last - first) < text.size()) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

std::string DecimalDigits(int value) {
    return std::to_string(value < 0 ? -value : value);
}

// The shortest form as to_chars gives it: the shortest digits that read back as the value, in
// fixed or scientific notation, whichever is shorter, fixed on a tie. A fixed integer wider than
// its digits is printed exactly, as %f would, not padded with zeros.
std::string Shortest(double value) {
    if (!std::isfinite(value) || value == 0) return fmt::format("{}", value);
    // fmt's own layout of the shortest digits, taken apart: digits d1 d2 ... dn and the
    // exponent of d1.
    const std::string text = fmt::format("{}", std::fabs(value));
    std::string digits;
    int pointAt = -1;  // digits before the decimal point
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.') {
            pointAt = static_cast<int>(digits.size());
        } else {
            digits += text[i];
        }
    }
    if (pointAt < 0) pointAt = static_cast<int>(digits.size());
    int exponent = i < text.size() ? std::stoi(text.substr(i + 1)) : 0;
    const std::size_t lead = digits.find_first_not_of('0');
    exponent += pointAt - 1 - static_cast<int>(lead);
    digits = digits.substr(lead);
    digits.erase(digits.find_last_not_of('0') + 1);

    const int n = static_cast<int>(digits.size());
    const std::string exponentDigits = DecimalDigits(exponent);
    const int scientificLength =
        n + (n > 1 ? 1 : 0) + 2 + std::max(2, static_cast<int>(exponentDigits.size()));
    const int fixedLength = exponent >= 0 ? std::max(n, exponent + 1) + (n > exponent + 1 ? 1 : 0)
                                          : 1 + 1 + (-exponent - 1) + n;

    std::string out = value < 0 ? "-" : "";
    if (fixedLength <= scientificLength) {
        if (exponent >= n - 1) return out + fmt::format("{:.0f}", std::fabs(value));
        if (exponent >= 0) {
            return out + digits.substr(0, static_cast<std::size_t>(exponent) + 1) + '.' +
                   digits.substr(static_cast<std::size_t>(exponent) + 1);
        }
        return out + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    out += digits[0];
    if (n > 1) out += '.' + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    if (exponentDigits.size() < 2) out += '0';
    return out + exponentDigits;
}

// Whether [first, last) names an infinity rather than a number too large for a double.
bool NamesInfinity(const char* first, const char* last) {
    for (const char* p = first; p != last; ++p) {
        if (*p == 'i' || *p == 'I') return true;
    }
    return false;
}

// Whether the significand in [first, last) has a digit other than 0, so that a zero read from
// it is an underflow.
bool HasNonZeroDigit(const char* first, const char* last) {
    for (const char* p = first; p != last && *p != 'e' && *p != 'E'; ++p) {
        if (*p >= '1' && *p <= '9') return true;
    }
    return false;
}

}  // namespace

std::to_chars_result ToChars(char* first, char* last, double value) {
    return Put(first, last, Shortest(value));
}

std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    if (precision < 0) precision = 6;
    switch (format) {
        case std::chars_format::scientific:
            return Put(first, last, fmt::format("{:.{}e}", value, precision));
        case std::chars_format::fixed:
            return Put(first, last, fmt::format("{:.{}f}", value, precision));
        case std::chars_format::general:
            return Put(first, last, fmt::format("{:.{}g}", value, precision));
        default:
            // No text of Feldan is hexadecimal, and fmt's differs from to_chars' (a 0x).
            return {last, std::errc::invalid_argument};
    }
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    double parsed = 0;
    const auto [ptr, ec] = fast_float::from_chars(first, last, parsed);
    if (ec != std::errc()) return {ptr, ec};
    // fast_float gives the infinity or zero an overflow or underflow rounds to; from_chars
    // reports it and leaves the value alone.
    if ((std::isinf(parsed) && !NamesInfinity(first, ptr)) ||
        (parsed == 0 && HasNonZeroDigit(first, ptr))) {
        return {ptr, std::errc::result_out_of_range};
    }
    value = parsed;
    return {ptr, std::errc()};
}

}  // namespace feldan::portable
