#include <gtest/gtest.h>

#include "instruments/scan_line.h"

namespace feldan {
namespace {

TEST(ParseScanLine, TakesFiveNumbersAndNothingElse) {
    struct Case {
        const char* line;
        bool point;
    };
    const Case cases[] = {
        {"10000000 0.1 -0.2 0.875 1e-3", true},
        {"10000000  0.1 -0.2 0.875 0.001 \r", true},  // blanks and the CR the line end leaves
        {"10000000\t0.1\t-0.2\t0.875\t0.001", true},
        {"10000000 0.1 -0.2 0.875", false},  // short
        {"10000000 0.1 -0.2 0.875 0.001 7", false},
        {"10000000 0.1 -0.2 0.8\x7f"
         "5 0.001",
         false},  // a byte mangled on the line
        {"10000000 0.1 -0.2 nan 0.001", false},
        {"10000000 0.1 -0.2 1e999 0.001", false},
        {"0 0.1 -0.2 0.875 0.001", false},  // no frequency of zero
        {"-5 0.1 -0.2 0.875 0.001", false},
        {"+5 0.1 -0.2 0.875 0.001", false},
        {"sweep points exceeds range 101", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ParseScanLine(c.line).has_value(), c.point);
    }
    const ScanPoint point = *ParseScanLine("9999000 0.25 -0.5 0.875 0.001");
    EXPECT_EQ(point.frequencyHz, 9999000);
    EXPECT_EQ(point.s11, std::complex<double>(0.25, -0.5));
    EXPECT_EQ(point.s21, std::complex<double>(0.875, 0.001));
}

}  // namespace
}  // namespace feldan
