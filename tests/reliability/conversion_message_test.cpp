// A refused number text is named in full in the message the user gets, whatever bytes it holds,
// and a number far beyond the range of a double is refused, however it is written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/errors.h"
#include "engine/number_text.h"

namespace feldan {
namespace {

// The message as the window and the shell get it: a C string, which ends at the first NUL.
std::string ShownMessage(const std::exception& error) {
    return std::string(error.what(), std::strlen(error.what()));
}

bool IsSubsequence(const std::string& part, const std::string& whole) {
    std::size_t i = 0;
    for (const char c : whole) {
        if (i < part.size() && part[i] == c) ++i;
    }
    return i == part.size();
}

TEST(ConversionMessage, NamesTheWholeTextEvenWithNulBytes) {
    const std::string floatTail = "' is not a valid floating point value";
    const std::string integerTail = "' is not a valid integer value";
    // Design files may carry any byte, NUL too; the message must still end as it should.
    const std::string texts[] = {
        std::string{'8', '8', '\0', '6', '1'},
        std::string{'\0'},
        std::string{'1', '\0', '\0'},
        std::string{'a', 'b', 'c', '\0', 'd', 'e', 'f'},
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        try {
            StrToFloat(text, '.');
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            const std::string shown = ShownMessage(error);
            ASSERT_GE(shown.size(), floatTail.size() + 2) << shown;
            EXPECT_EQ(shown.front(), '\'');
            EXPECT_EQ(shown.substr(shown.size() - floatTail.size()), floatTail) << shown;
            // Every other character of the text is still there, in order.
            std::string visible;
            for (const char c : text) {
                if (c != '\0') visible += c;
            }
            EXPECT_TRUE(
                IsSubsequence(visible, shown.substr(1, shown.size() - 1 - floatTail.size())))
                << shown;
        }
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            const std::string shown = ShownMessage(error);
            ASSERT_GE(shown.size(), integerTail.size() + 2) << shown;
            EXPECT_EQ(shown.substr(shown.size() - integerTail.size()), integerTail) << shown;
        }
    }
}

// The decimal order of the first digit and the exponent together decide between a value too
// large for a double and one too small; a long run of zeros must not turn the first into the
// second.
TEST(ConversionLimits, HugeValuesAreRefusedHoweverManyZerosLeadThem) {
    struct Case {
        std::string text;
        bool refused;  // true: beyond the range; false: too small, read as zero
    };
    const Case cases[] = {
        {"0." + std::string(120000, '0') + "1e1000000", true},
        {"0." + std::string(120000, '0') + "1e120310", true},
        {"0." + std::string(120000, '0') + "1e119000", false},
        {"0." + std::string(2000, '0') + "1e99999999999", true},
        {"1e99999999999999999999999", true},
        {"0." + std::string(500, '0') + "1e-99999999999999999999999", false},
        {std::string(400, '0') + "1e-400", false},
        {std::string(400, '0') + "1e400", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size() <= 60
                         ? c.text
                         : c.text.substr(0, 20) + "..." + c.text.substr(c.text.size() - 30));
        if (c.refused) {
            EXPECT_THROW(StrToFloat(c.text, '.'), ConversionError);
        } else {
            EXPECT_EQ(StrToFloat(c.text, '.'), 0.0);
        }
    }
}

}  // namespace
}  // namespace feldan
