#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/errors.h"

namespace feldan {
namespace {

TEST(NormalizeDecimal, MapsTheUnusedSeparatorToTheLocaleOne) {
    struct Case {
        const char* text;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {"8861.736", ',', "8861,736"},
        {"10,1", '.', "10.1"},
        {"3100", ',', "3100"},
        {"3100", '.', "3100"},
        {"1.2,3", ',', "1,2,3"},
        {"1.2,3", '.', "1.2.3"},
        {"", '.', ""},
        {"1,5", ';', "1.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with " + c.separator);
        EXPECT_EQ(NormalizeDecimal(c.text, c.separator), c.expected);
    }
}

struct FloatCase {
    const char* text;
    char separator;
    bool valid;
    double value;
};

TEST(StrToFloat, AcceptsAndRejectsInBothLocales) {
    const FloatCase cases[] = {
        {"8861.736", '.', true, 8861.736},
        {"8861,736", ',', true, 8861.736},
        {"8861,736", '.', false, 0},
        {"8861.736", ',', false, 0},
        {"  5.7  ", '.', true, 5.7},
        {"\t5.7", '.', true, 5.7},
        {"-3", '.', true, -3},
        {"+3", ',', true, 3},
        {"-0", '.', true, 0},
        {".5", '.', true, 0.5},
        {"5.", '.', true, 5},
        {"1e3", '.', true, 1000},
        {"1E-3", ',', true, 0.001},
        {"2,5e+2", ',', true, 250},
        {"1e308", '.', true, 1e308},
        {"1e-300", '.', true, 1e-300},
        {"1e-400", '.', true, 0},
        {"0.000001e-320", '.', true, 0},
        {"1e400", '.', false, 0},
        {"1e", '.', false, 0},
        {"1e+", '.', false, 0},
        {"e5", '.', false, 0},
        {"", '.', false, 0},
        {"   ", '.', false, 0},
        {".", '.', false, 0},
        {"-", '.', false, 0},
        {"1.2.3", '.', false, 0},
        {"1,2,3", ',', false, 0},
        {"..", '.', false, 0},
        {"- 3", '.', false, 0},
        {"--3", '.', false, 0},
        {"3-", '.', false, 0},
        {"1 2", '.', false, 0},
        {"abc", '.', false, 0},
        {"12a", '.', false, 0},
        {"inf", '.', false, 0},
        {"INF", ',', false, 0},
        {"nan", '.', false, 0},
        {"infinity", '.', false, 0},
        {"0x1A", '.', false, 0},
        {"$10", '.', false, 0},
        {"1e3.5", '.', false, 0},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "' with " + c.separator);
        if (c.valid) {
            EXPECT_EQ(StrToFloat(c.text, c.separator), c.value);
        } else {
            try {
                StrToFloat(c.text, c.separator);
                ADD_FAILURE() << "accepted";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()),
                          std::string("'") + c.text + "' is not a valid floating point value");
            }
        }
    }
}

// GeneralText against C's %.*g, written the other way: the same text for every digit count.
TEST(GeneralText, AgreesWithPrintfG) {
    for (const double value : {0.0, 1.0, -2.5, 1e-12, 123456789.0, 8861.736, 6.02214076e23}) {
        for (const int digits : {3, 6, 10, 17}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", digits, value);
            EXPECT_EQ(GeneralText(value, digits), expected) << value << " " << digits;
        }
    }
}

TEST(StrToFloat, ParsesTheSameBitsAsTheCompiler) {
    // The catalogue and the worked examples rely on the nearest double of the decimal text.
    EXPECT_EQ(StrToFloat("0.7654", '.'), 0.7654);
    EXPECT_EQ(StrToFloat("39,478417604355091", ','), 39.478417604355091);
    EXPECT_EQ(StrToFloat("6.2831853071794", '.'), 6.2831853071794);
}

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms) {
    struct Case {
        const char* text;
        bool valid;
        std::int32_t value;
    };
    const Case cases[] = {
        {"2", true, 2},
        {"  7", true, 7},
        {"+5", true, 5},
        {"-1", true, -1},
        {"007", true, 7},
        {"$2", true, 2},
        {"0x2", true, 2},
        {"0X1f", true, 31},
        {"x10", true, 16},
        {"X10", true, 16},
        {"-$10", true, -16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"$7FFFFFFF", true, 2147483647},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$80000000", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"2 ", false, 0},
        {"2a", false, 0},
        {"1.0", false, 0},
        {"1e2", false, 0},
        {"- 1", false, 0},
        {"abc", false, 0},
        {"$G", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "'");
        if (c.valid) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            try {
                StrToInt(c.text);
                ADD_FAILURE() << "accepted";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()),
                          std::string("'") + c.text + "' is not a valid integer value");
            }
        }
    }
}

}  // namespace
}  // namespace feldan
