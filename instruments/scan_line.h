// One line of the answer of the NanoVNA shell's `scan START STOP POINTS 7`: the frequency in Hz,
// S11 as real and imaginary part, S21 the same, separated by blanks.
#pragma once

#include <complex>
#include <optional>
#include <string_view>

namespace feldan {

struct ScanPoint {
    double frequencyHz = 0;
    std::complex<double> s11;
    std::complex<double> s21;
};

// The point a line holds (a trailing CR or blanks allowed), or nullopt for anything else: too
// few or too many fields, a text that is not a finite number, a frequency not above zero.
std::optional<ScanPoint> ParseScanLine(std::string_view line);

}  // namespace feldan
