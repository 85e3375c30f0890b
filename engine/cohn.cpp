#include "engine/cohn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace feldan {

namespace {

using Complex = std::complex<double>;

// |S21| of n meshes, each j·x, coupled by j·1 to their neighbours, the two ends also loaded by
// r: 2·r·(Z⁻¹)₁ₙ, from the tridiagonal system Z·y = eₙ solved from the top down.
double TransferOf(int n, double r, double x) {
    std::array<Complex, MaxCohnCrystals> upper{}, rhs{};
    const Complex coupling(0, 1);
    Complex pivot;
    for (int i = 0; i < n; ++i) {
        const Complex diagonal(i == 0 || i == n - 1 ? r : 0, x);
        const auto k = static_cast<std::size_t>(i);
        pivot = i == 0 ? diagonal : diagonal - coupling * upper[k - 1];
        upper[k] = coupling / pivot;
        const Complex previous = i == 0 ? Complex{} : rhs[k - 1];
        rhs[k] = (Complex(i == n - 1 ? 1 : 0) - coupling * previous) / pivot;
    }
    Complex y = rhs[static_cast<std::size_t>(n - 1)];
    for (int i = n - 2; i >= 0; --i)
        y = rhs[static_cast<std::size_t>(i)] - upper[std::size_t(i)] * y;
    return 2 * r * std::abs(y);
}

constexpr int BandPoints = 600;

double NaturalEdge(int n) {
    return 2 * std::cos(std::numbers::pi / (n + 1));
}

double RippleOver(int n, double r) {
    const double edge = NaturalEdge(n);
    double low = 1e300, high = 0;
    for (int k = 0; k <= BandPoints; ++k) {
        const double t = TransferOf(n, r, -edge + 2 * edge * k / BandPoints);
        low = std::min(low, t);
        high = std::max(high, t);
    }
    return 20 * std::log10(high / low);
}

// The 3 dB width about the top. The response is even in x: the top is found over the natural
// band, then the outermost point above the level on a grid from the centre (a dip below the
// level inside the band does not end it), then the crossing beyond it by bisection.
double Band3Of(int n, double r) {
    const double edge = NaturalEdge(n);
    double top = 0;
    for (int k = 0; k <= BandPoints; ++k)
        top = std::max(top, TransferOf(n, r, edge * k / BandPoints));
    const double level = top / std::sqrt(2.0);
    double far = 2 * edge;
    while (TransferOf(n, r, far) >= level)
        far *= 2;
    double inside = 0;
    for (int k = 0; k <= BandPoints; ++k) {
        const double x = far * k / BandPoints;
        if (TransferOf(n, r, x) >= level) inside = x;
    }
    double outside = inside + far / BandPoints;
    for (int step = 0; step < 60; ++step) {
        const double middle = (inside + outside) / 2;
        (TransferOf(n, r, middle) >= level ? inside : outside) = middle;
    }
    return inside + outside;
}

CohnRow ComputeRow(int n) {
    // The ripple over the natural band has one minimum in r between an overcoupled response
    // (small r: deep dips) and an undercoupled one (large r: a rounded top): a golden section.
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = 0.2, b = 3.0;
    double c = b - ratio * (b - a), d = a + ratio * (b - a);
    double fc = RippleOver(n, c), fd = RippleOver(n, d);
    while (b - a > 1e-7) {
        if (fc < fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - ratio * (b - a);
            fc = RippleOver(n, c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + ratio * (b - a);
            fd = RippleOver(n, d);
        }
    }
    const double r = (a + b) / 2;
    return {r, Band3Of(n, r), RippleOver(n, r)};
}

}  // namespace

CohnRow CohnRowOf(int crystals) {
    if (crystals < MinCohnCrystals || crystals > MaxCohnCrystals) return {};
    static const std::array<CohnRow, MaxCohnCrystals - MinCohnCrystals + 1> Rows = [] {
        std::array<CohnRow, MaxCohnCrystals - MinCohnCrystals + 1> rows{};
        for (int n = MinCohnCrystals; n <= MaxCohnCrystals; ++n)
            rows[static_cast<std::size_t>(n - MinCohnCrystals)] = ComputeRow(n);
        return rows;
    }();
    return Rows[static_cast<std::size_t>(crystals - MinCohnCrystals)];
}

double CohnResponseDb(int crystals, double endR, double x) {
    return 20 * std::log10(TransferOf(crystals, endR, x));
}

LadderPrototype CohnLadder(int crystals) {
    const CohnRow row = CohnRowOf(crystals);
    // Scaled by c = 2/band3 the couplings are c and the ends' resistance c·r: with g0 = 1,
    // g1 = 1/(c·r), and each coupling 1/√(g_k·g_(k+1)) = c makes the g's alternate.
    const double c = 2 / row.band3;
    LadderPrototype prototype;
    for (int k = 1; k <= crystals; ++k)
        prototype.g.push_back(k % 2 == 1 ? 1 / (c * row.endR) : row.endR / c);
    // The output's external Q, g_n·g_(n+1), equals the input's g1.
    const double gn = prototype.g.back();
    prototype.load = gn / prototype.g.front();
    return prototype;
}

}  // namespace feldan
