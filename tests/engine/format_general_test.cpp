#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "engine/result_text.h"

namespace feldan {
namespace {

struct FormatCase {
    double value;
    int precision;
    char separator;
    std::string expected;
};

TEST(FormatGeneral, FollowsTheGeneralFormat) {
    const double inf = std::numeric_limits<double>::infinity();
    const FormatCase cases[] = {
        // Scientific form when the exponent exceeds the precision or is below -3.
        {12345.6, 4, '.', "1.235E4"},
        {9999.6, 4, '.', "1E4"},
        {0.0000123, 4, '.', "1.23E-5"},
        {1000, 3, '.', "1E3"},
        {12000, 4, '.', "1.2E4"},
        {123456, 5, '.', "1.2346E5"},
        {0.00001, 4, '.', "1E-5"},
        {1e300, 4, '.', "1E300"},
        {1.5e-300, 4, '.', "1.5E-300"},
        {std::numeric_limits<double>::max(), 4, '.', "1.798E308"},
        {std::numeric_limits<double>::denorm_min(), 4, '.', "4.941E-324"},
        // Fixed form with leading zeros after the separator.
        {0.00123, 4, '.', "0.00123"},
        {0.0001, 4, '.', "0.0001"},
        // Fixed form with integer digits.
        {1234.56, 4, '.', "1235"},
        {3100.4, 5, '.', "3100.4"},
        {45.678, 3, '.', "45.7"},
        {1234, 4, '.', "1234"},
        {12345, 5, '.', "12345"},
        {100, 4, '.', "100"},
        {99.996, 4, '.', "100"},
        {2543, 5, '.', "2543"},
        {1762, 4, '.', "1762"},
        // Carry into a new leading digit, also across the boundary of the fixed form.
        {0.99996, 4, '.', "1"},
        {0.00099996, 4, '.', "0.001"},
        {0.000099996, 4, '.', "0.0001"},
        // Halves round away from zero; the digits are those of the double, not of the literal.
        {1.25, 2, '.', "1.3"},
        {-1.25, 2, '.', "-1.3"},
        {0.125, 2, '.', "0.13"},
        {1.2345, 4, '.', "1.234"},
        {2.675, 3, '.', "2.67"},
        // All 18 digits when asked for.
        {0.1, 18, '.', "0.100000000000000006"},
        {0.1, 15, '.', "0.1"},
        // Signs.
        {-3, 15, '.', "-3"},
        {-6.5, 15, '.', "-6.5"},
        {-150, 4, '.', "-150"},
        {-12.054415469004841, 4, '.', "-12.05"},
        // The locale's separator in both forms.
        {-6.5, 15, ',', "-6,5"},
        {3100.4, 5, ',', "3100,4"},
        {12345.6, 4, ',', "1,235E4"},
        {0.00123, 4, ',', "0,00123"},
        // Zero, infinities and NaN.
        {0.0, 4, '.', "0"},
        {-0.0, 4, '.', "0"},
        {inf, 4, '.', "INF"},
        {-inf, 4, '.', "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), 4, '.', "NAN"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " with " << c.precision << " digits");
        EXPECT_EQ(FormatGeneral(c.value, c.precision, c.separator), c.expected);
    }
}

}  // namespace
}  // namespace feldan
