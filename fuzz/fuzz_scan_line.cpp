// The scan-line parser on any bytes: a line is a point or refused, never a crash; a point has a
// positive frequency and finite values, and its numbers written back read as the same point.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "instruments/scan_line.h"

namespace {

std::string Text(double value) {
    char buffer[40];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::optional<feldan::ScanPoint> point = feldan::ParseScanLine(line);
    if (!point) return 0;
    FELDAN_FUZZ_CHECK(point->frequencyHz > 0 && std::isfinite(point->frequencyHz), line);
    for (const double value :
         {point->s11.real(), point->s11.imag(), point->s21.real(), point->s21.imag()})
        FELDAN_FUZZ_CHECK(std::isfinite(value), line);
    FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(line), line);
    const std::string again = Text(point->frequencyHz) + " " + Text(point->s11.real()) + " " +
                              Text(point->s11.imag()) + " " + Text(point->s21.real()) + " " +
                              Text(point->s21.imag());
    const std::optional<feldan::ScanPoint> reread = feldan::ParseScanLine(again);
    FELDAN_FUZZ_CHECK(reread && reread->frequencyHz == point->frequencyHz &&
                          reread->s11 == point->s11 && reread->s21 == point->s21,
                      again);
    return 0;
}
