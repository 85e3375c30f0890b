#include "engine/fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace feldan {

bool IsPowerOfTwo(std::size_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

void FourierTransform(std::vector<std::complex<double>>& data, bool inverse) {
    const std::size_t n = data.size();
    if (!IsPowerOfTwo(n)) throw std::invalid_argument("the transform needs a power of two points");
    // Bit-reversed order, then butterflies of growing length.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    const double sign = inverse ? 1 : -1;
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t half = length / 2;
        for (std::size_t k = 0; k < half; ++k) {
            // Each twiddle from its own sine and cosine: no error grows along the row.
            const double angle = sign * 2 * std::numbers::pi * double(k) / double(length);
            const std::complex<double> twiddle(std::cos(angle), std::sin(angle));
            for (std::size_t start = 0; start < n; start += length) {
                const std::complex<double> odd = data[start + k + half] * twiddle;
                data[start + k + half] = data[start + k] - odd;
                data[start + k] += odd;
            }
        }
    }
}

}  // namespace feldan
