// Low-pass ladder prototypes of any order, made from their transfer functions rather than read
// from a table: the poles and the reflection zeros give the input impedance of the ladder
// between its terminations (Darlington's way), whose continued fraction at infinity gives the
// elements g1 .. gn and the load.
#pragma once

#include <complex>
#include <vector>

namespace feldan {

// A real polynomial, coefficient of s^k at [k].
using Polynomial = std::vector<double>;

// A doubly terminated low-pass ladder normalised to a 1 Ω source and a band edge of 1 rad/s.
struct LadderPrototype {
    std::vector<double> g;  // g1 .. gn: series inductances and shunt capacitances in turn
    double load = 1;  // the load: a resistance after a series g_n, a conductance after a shunt
};

inline constexpr int MinPrototypeOrder = 2;
inline constexpr int MaxPrototypeOrder = 12;

// The ladder whose |S21(jω)|² = K / |E(jω)|² and S11 = F/E, for a Hurwitz E given by its poles
// (conjugate pairs, all in the left half plane) and a reflection polynomial F with
// |E(jω)|² − |F(jω)|² = K constant. Throws std::invalid_argument when the data do not make a
// ladder (a negative or vanishing element, a degree that does not fit).
LadderPrototype LadderFromPolesAndReflection(const std::vector<std::complex<double>>& poles,
                                             const Polynomial& reflection);

// Maximally flat: 3.01 dB down at ω = 1, g_k = 2·sin((2k−1)π/2n).
LadderPrototype ButterworthLadder(int order);

// Equiripple in the band to `rippleDb`, the ripple band ending at ω = 1. An odd order is the
// classic Chebyshev response; an even order takes the frequency mapped by
// x² = sin²(π/2n) + cos²(π/2n)·ω², so that it reaches zero loss and both ends have the same
// termination.
LadderPrototype ChebyshevLadder(int order, double rippleDb);

// The ripple in dB of a Chebyshev response that reflects `reflection` (0..1) of the power's
// amplitude at its ripple peaks: −10·log10(1 − r²).
double RippleOfReflection(double reflection);

// The roots of a polynomial (coefficient of s^k at [k], the last one not 0), by the
// Aberth–Ehrlich iteration polished with Newton's steps.
std::vector<std::complex<double>> PolynomialRoots(const std::vector<std::complex<double>>& c);

// The ladder between equal terminations whose |S21(jω)|² = E(0)²/|E(jω)|², for a Hurwitz E given
// by its poles: the reflection F is the spectral factor of E(s)E(−s) − E(0)² with its zeros in
// the left half plane; the continued fraction's elements are then fitted by Newton's method to
// E itself, which high orders need (the continued fraction loses a factor of about 50 an element).
LadderPrototype EqualTerminationLadder(const std::vector<std::complex<double>>& poles);

// The poles of the Bessel response of an order (the roots of the reverse Bessel polynomial),
// scaled so that the response is 3.01 dB down at ω = 1; `unitDelay` keeps them unscaled, with
// a group delay of 1 s at ω = 0.
std::vector<std::complex<double>> BesselPoles(int order, bool unitDelay = false);

// Maximally flat delay between equal terminations, 3.01 dB down at ω = 1.
LadderPrototype BesselLadder(int order);

// Papoulis's optimum L (Legendre) response between equal terminations: monotonic, with the
// steepest edge a monotonic response of its order can have, 3.01 dB down at ω = 1.
// |S21|² = 1/(1 + L_n(ω²)), L_n built from the Legendre polynomials.
LadderPrototype LegendreLadder(int order);

// |S21(jω)|² of the ladder between its source and load, from its chain matrix: an independent
// look at what the elements do.
double LadderTransmission(const LadderPrototype& ladder, double omega);

// −dφ/dω of the ladder's S21 at ω, from its chain matrix.
double LadderGroupDelay(const LadderPrototype& ladder, double omega);

}  // namespace feldan
