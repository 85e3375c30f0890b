// The filter as a two-port between its terminations: S-parameters referred to the source and load
// resistances, the input impedance and the group delay, all from one complex solve.
#pragma once

#include <cmath>
#include <complex>

namespace feldan {

// The chart and the summary show the load voltage of the 1 V source in dB raised by exactly 6 dB
// (the response curve, A(Fo), Amin). Those numbers are fixed: designs made long ago must show the
// same values.
inline constexpr double LevelOffsetDb = 6;
// S21 = 2·Vload/Vs·sqrt(Rs/RL), so with equal terminations |S21| in dB is the load voltage of the
// 1 V source in dB plus 20·log10 2 = 6.0206 dB exactly: 0.0206 dB above the level shown.
inline constexpr double S21OffsetDb = 6.020599913279624;

struct TwoPortPoint {
    // False when the circuit has no two ports, the solve failed or a value is not finite; the
    // other fields are then 0.
    bool ok = false;
    std::complex<double> s21;  // port 1 driven through the source resistance, port 2 loaded
    std::complex<double> s12;  // port 2 driven through the load resistance, port 1 terminated
    std::complex<double> s11;  // reflection at port 1, referred to the source resistance
    std::complex<double> s22;  // reflection at port 2, referred to the load resistance
    std::complex<double> zin;  // Ohm: into port 1, port 2 loaded by the load resistance
    // −dφ/dω of S21 in seconds, from the exact derivative of the nodal solution (one more
    // substitution on the same elimination), not from a difference of phases.
    double groupDelaySec = 0;

    double PhaseRad() const { return std::arg(s21); }
};

// 20·log10 |x|; −inf for 0.
inline double DecibelsOf(std::complex<double> x) {
    return 20 * std::log10(std::abs(x));
}

}  // namespace feldan
