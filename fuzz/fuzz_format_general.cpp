// The general number format of the result text on any double, every precision and both
// separators.
//
// Input: 8 bytes of a double (any bit pattern: NaN, infinities, subnormals), one byte for the
// precision, one for the separator. Shorter inputs are padded with zero bytes.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "engine/errors.h"
#include "engine/number_text.h"
#include "engine/result_text.h"
#include "fuzz/fuzz_check.h"

namespace {

// Optional '-', digits with at most one separator, then optionally 'E', an optional '-' and
// digits: the only shape the summary may show.
bool HasNumberShape(const std::string& text, char separator) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    int digits = 0;
    bool seenSeparator = false;
    for (; i < text.size() && text[i] != 'E'; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            ++digits;
        } else if (text[i] == separator && !seenSeparator && digits > 0) {
            seenSeparator = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || (seenSeparator && text[i - 1] == separator)) return false;
    if (i == text.size()) return true;
    ++i;
    if (i < text.size() && text[i] == '-') ++i;
    const std::size_t exponentStart = i;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return i > exponentStart;
}

std::string WithSeparator(std::string text, char from, char to) {
    for (char& c : text) {
        if (c == from) c = to;
    }
    return text;
}

void CheckFormat(double value, int precision, char separator) {
    const std::string text = feldan::FormatGeneral(value, precision, separator);
    const std::string detail = std::to_string(precision) + " " + text;
    FELDAN_FUZZ_CHECK(!text.empty(), detail);

    // The separator is the only thing the locale changes.
    const char other = separator == ',' ? '.' : ',';
    FELDAN_FUZZ_CHECK(
        WithSeparator(feldan::FormatGeneral(value, precision, other), other, separator) == text,
        detail);

    if (!std::isfinite(value)) return;
    FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(text), detail);
    FELDAN_FUZZ_CHECK(HasNumberShape(text, separator), detail);
    // Sign, leading "0." and up to three zeros, or a mantissa and an exponent of three digits.
    FELDAN_FUZZ_CHECK(text.size() <= static_cast<std::size_t>(precision) + 7, detail);
    FELDAN_FUZZ_CHECK((text.front() == '-') == (value < 0), detail);

    // Read back, the text is the value rounded to `precision` significant digits.
    const double tolerance = std::fabs(value) * std::pow(10.0, 1 - precision);
    double back = 0;
    try {
        back = feldan::StrToFloat(text, separator);
    } catch (const feldan::ConversionError&) {
        // Only the largest doubles round to a text beyond the range of a double.
        FELDAN_FUZZ_CHECK(std::fabs(value) + tolerance > std::numeric_limits<double>::max(),
                          detail);
        return;
    }
    FELDAN_FUZZ_CHECK(std::fabs(back - value) <= tolerance, detail);
    if (value != 0) FELDAN_FUZZ_CHECK(back != 0, detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t bytes[10] = {};
    if (size > 0) std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    const int precision = 2 + bytes[8] % 17;  // 2..18
    const char separator = (bytes[9] & 1) == 0 ? '.' : ',';

    CheckFormat(value, precision, separator);
    // The summary writes the peak offset as a difference; its negative and tiny neighbours are
    // just as likely there.
    CheckFormat(-value, precision, separator);
    CheckFormat(std::nextafter(value, 0.0), precision, separator);
    // A precision from outside 2..18 must not read outside the digits it works on.
    const int wild = static_cast<std::int8_t>(bytes[8]);
    const std::string text = feldan::FormatGeneral(value, wild, separator);
    FELDAN_FUZZ_CHECK(!std::isfinite(value) || HasNumberShape(text, separator), text);
    return 0;
}
