// A radix-2 fast Fourier transform, enough for the transients of a filter (a few thousand
// points). Written here rather than taken from FFTW: FFTW would bind feldan-cli to the GPL, and
// its planner may not be called from two threads at once, which the window's calculations do.
#pragma once

#include <complex>
#include <vector>

namespace feldan {

// True for 1, 2, 4, 8, ...
bool IsPowerOfTwo(std::size_t n);

// In place: X[k] = Σ x[n]·e^(∓j2πkn/N), the minus sign forward and the plus sign `inverse`
// (without the 1/N). The size must be a power of two; throws std::invalid_argument otherwise.
void FourierTransform(std::vector<std::complex<double>>& data, bool inverse);

}  // namespace feldan
