// The portable conversions against the standard library's, on the values where printers and
// parsers go wrong: subnormals, binade edges, powers of ten, halfway cases, long digit strings.
#include "engine/portable_number_chars.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace feldan {
namespace {

using Limits = std::numeric_limits<double>;

std::vector<double> HardValues() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  Limits::infinity(),
                                  -Limits::infinity(),
                                  Limits::quiet_NaN(),
                                  -Limits::quiet_NaN(),
                                  Limits::min(),
                                  Limits::denorm_min(),
                                  -Limits::denorm_min(),
                                  Limits::max(),
                                  -Limits::max(),
                                  Limits::epsilon(),
                                  9007199254740992.0,
                                  9007199254740994.0,
                                  1.2345678901234568e20,
                                  8861.736,
                                  5.7};
    for (int e = -325; e <= 308; ++e) {
        values.push_back(std::pow(10.0, e));
        values.push_back(std::nextafter(std::pow(10.0, e), 0.0));
        values.push_back(std::nextafter(std::pow(10.0, e), Limits::infinity()));
    }
    for (int e = -1074; e <= 1023; e += 7) {
        const double power = std::ldexp(1.0, e);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), -power});
    }
    for (int k = -200; k <= 200; ++k)
        values.push_back(k * 0.1);
    std::mt19937_64 random(20261209);
    for (int k = 0; k < 6000; ++k) {
        // Every bit pattern alike (all exponents), then values of the size of a design's.
        values.push_back(std::bit_cast<double>(random()));
        values.push_back(std::uniform_real_distribution<double>(-1e7, 1e7)(random));
    }
    return values;
}

std::string Text(std::to_chars_result result, const char* buffer) {
    return result.ec == std::errc() ? std::string(buffer, static_cast<const char*>(result.ptr))
                                    : "<error>";
}

TEST(PortableToChars, WritesWhatTheLibraryWrites) {
    struct Form {
        std::chars_format format;
        int precision;  // -1: the shortest round trip
    };
    std::vector<Form> forms = {{std::chars_format::general, -1}};
    for (int p = 0; p <= 18; ++p) {
        forms.push_back({std::chars_format::scientific, p});
        forms.push_back({std::chars_format::general, p});
    }
    forms.push_back({std::chars_format::fixed, 3});
    int compared = 0;
    for (const double value : HardValues()) {
        for (const Form& form : forms) {
            char expected[400], actual[400];
            const bool shortest = form.precision < 0;
            const auto want = shortest ? std::to_chars(expected, expected + sizeof expected, value)
                                       : std::to_chars(expected, expected + sizeof expected, value,
                                                       form.format, form.precision);
            const auto got = shortest ? portable::ToChars(actual, actual + sizeof actual, value)
                                      : portable::ToChars(actual, actual + sizeof actual, value,
                                                          form.format, form.precision);
            const std::string wanted = Text(want, expected);
            if (Text(got, actual) != wanted) {
                ADD_FAILURE() << wanted << " (format " << static_cast<int>(form.format)
                              << ", precision " << form.precision << ") written as "
                              << Text(got, actual);
                if (++compared > 20) return;
            }
        }
    }
}

TEST(PortableToChars, RefusesABufferTooShort) {
    char buffer[4];
    EXPECT_EQ(portable::ToChars(buffer, buffer + sizeof buffer, 8861.736).ec,
              std::errc::value_too_large);
    EXPECT_EQ(portable::ToChars(buffer, buffer + sizeof buffer, 0.5).ec, std::errc());
}

std::vector<std::string> HardTexts() {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "0.000",
                                      "1e400",
                                      "-1e400",
                                      "1e-400",
                                      "-1e-400",
                                      "0e999",
                                      "inf",
                                      "-infinity",
                                      "nan",
                                      "-nan",
                                      "+1",
                                      " 1",
                                      "",
                                      "-",
                                      ".",
                                      ".5",
                                      "5.",
                                      "1e",
                                      "1e+",
                                      "0x1p3",
                                      "1.5e-3x",
                                      "4e-320",
                                      "2.4703282292062327e-324",
                                      "2.4703282292062328e-324",
                                      "1.7976931348623158e308",
                                      "1.7976931348623159e308",
                                      "00000000000000000000000000000000000000001.5",
                                      "1.00000000000000011102230246251565404236316680908203125",
                                      "1.00000000000000011102230246251565404236316680908203124",
                                      "1.00000000000000011102230246251565404236316680908203126"};
    std::mt19937_64 random(38);
    for (int k = 0; k < 10000; ++k) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        // The exact midpoint to the next double above (long double holds it here), the texts
        // that round one way or the other by a last digit.
        const long double next = std::nextafter(value, Limits::infinity());
        char midpoint[120];
        std::snprintf(midpoint, sizeof midpoint, "%.40Le", (value + next) / 2);
        texts.push_back(midpoint);
        // Long random digit strings at random exponents, and short ones.
        std::string digits = std::to_string(random()) + std::to_string(random());
        texts.push_back(digits.substr(0, 1 + random() % digits.size()) + "e" +
                        std::to_string(static_cast<int>(random() % 700) - 350));
        texts.push_back("0." + std::to_string(random() % 100000));
    }
    return texts;
}

TEST(PortableFromChars, ReadsWhatTheLibraryReads) {
    int failures = 0;
    for (const std::string& text : HardTexts()) {
        const char* first = text.data();
        const char* last = first + text.size();
        double expected = -7.25, actual = -7.25;
        const auto want = std::from_chars(first, last, expected);
        const auto got = portable::FromChars(first, last, actual);
        const bool same =
            want.ec == got.ec && want.ptr == got.ptr &&
            std::bit_cast<std::uint64_t>(expected) == std::bit_cast<std::uint64_t>(actual);
        if (!same) {
            ADD_FAILURE() << "'" << text << "': " << expected << " (errc "
                          << static_cast<int>(want.ec) << ", " << want.ptr - first
                          << " read) read as " << actual << " (errc " << static_cast<int>(got.ec)
                          << ", " << got.ptr - first << ")";
            if (++failures > 20) return;
        }
    }
}

}  // namespace
}  // namespace feldan
