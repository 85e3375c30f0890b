#include "engine/prototype_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace feldan {
namespace {

using Complex = std::complex<double>;

// The continued fraction loses a digit or so an element; it works in extended precision, so
// that twelve elements keep far more digits than any capacitor has.
using Wide = long double;
using WidePolynomial = std::vector<Wide>;

// The real polynomial e·Π(s − p) of conjugate pairs of roots.
template <typename Root>
WidePolynomial FromRoots(const std::vector<Root>& roots, Wide leading) {
    using WideComplex = std::complex<Wide>;
    std::vector<WideComplex> product{WideComplex(leading)};
    for (const Root& root : roots) {
        const WideComplex r(Wide(root.real()), Wide(root.imag()));
        std::vector<WideComplex> next(product.size() + 1);
        for (std::size_t k = 0; k < product.size(); ++k) {
            next[k + 1] += product[k];
            next[k] -= r * product[k];
        }
        product = std::move(next);
    }
    WidePolynomial real(product.size());
    std::transform(product.begin(), product.end(), real.begin(),
                   [](const WideComplex& c) { return c.real(); });
    return real;
}

// The Chebyshev polynomial T_n(x) as coefficients of x^k.
Polynomial ChebyshevT(int order) {
    Polynomial previous{1}, current{0, 1};
    if (order == 0) return previous;
    for (int k = 1; k < order; ++k) {
        Polynomial next(current.size() + 1, 0.0);
        for (std::size_t i = 0; i < current.size(); ++i)
            next[i + 1] += 2 * current[i];
        for (std::size_t i = 0; i < previous.size(); ++i)
            next[i] -= previous[i];
        previous = std::move(current);
        current = std::move(next);
    }
    return current;
}

Wide Largest(const WidePolynomial& p) {
    Wide largest = 0;
    for (Wide c : p)
        largest = std::max(largest, std::abs(c));
    return largest;
}

[[noreturn]] void NoLadder(const std::string& why) {
    throw std::invalid_argument("the response makes no ladder: " + why);
}

void CheckOrder(int order) {
    if (order < MinPrototypeOrder || order > MaxPrototypeOrder)
        throw std::invalid_argument("a ladder prototype has 2 to 12 elements, not " +
                                    std::to_string(order));
}

// The poles of |S21|² = 1/(1 + ε²·T_n(x)²) in x: where T_n(x) = ±j/ε, one of each ± pair
// (k = 1 .. n), as cos(u) with u = (2k − 1)π/2n + j·asinh(1/ε)/n.
std::vector<Complex> ChebyshevPolesInX(int order, double epsilon) {
    const double v = std::asinh(1 / epsilon) / order;
    std::vector<Complex> x;
    for (int k = 1; k <= order; ++k) {
        const double u = (2 * k - 1) * std::numbers::pi / (2 * order);
        x.emplace_back(std::cos(u) * std::cosh(v), -std::sin(u) * std::sinh(v));
    }
    return x;
}

}  // namespace

namespace {
// `rounding`: how much of the two terms that cancel at each step may remain.
LadderPrototype LadderFromWide(const std::vector<Complex>& poles, const WidePolynomial& reflection,
                               Wide rounding = 1e-7L);
}  // namespace

LadderPrototype LadderFromPolesAndReflection(const std::vector<Complex>& poles,
                                             const Polynomial& reflection) {
    return LadderFromWide(poles, WidePolynomial(reflection.begin(), reflection.end()));
}

namespace {

LadderPrototype LadderFromWide(const std::vector<Complex>& poles, const WidePolynomial& reflection,
                               Wide rounding) {
    const int order = static_cast<int>(poles.size());
    if (order < 1 || static_cast<int>(reflection.size()) != order + 1)
        NoLadder("the reflection polynomial is not of the poles' degree");
    // E's leading coefficient is |F|'s, since |E|² − |F|² has no term in ω^2n; F's sign is the
    // one that makes E − F lose its leading term, so that Z = (E + F)/(E − F) starts with a
    // series element.
    const Wide leading = std::abs(reflection.back());
    const WidePolynomial e = FromRoots(poles, leading);
    const Wide sign = reflection.back() > 0 ? 1 : -1;
    WidePolynomial numerator(order + 1), denominator(order);
    for (int k = 0; k <= order; ++k) {
        numerator[k] = e[k] + sign * reflection[k];
        if (k < order) denominator[k] = e[k] - sign * reflection[k];
    }

    // The continued fraction at infinity: each step takes g·s off the impedance (or admittance)
    // and turns the rest over. Structure cancels the two highest terms of each rest; what they
    // leave is rounding, measured against the size of the polynomials.
    LadderPrototype ladder;
    WidePolynomial p = std::move(numerator), q = std::move(denominator);
    for (int k = 1; k <= order; ++k) {
        if (q.back() == 0) NoLadder("an element would be infinite");
        const Wide g = p.back() / q.back();
        if (!(g > 0) || !std::isfinite(g))
            NoLadder("element " + std::to_string(k) + " is not positive");
        ladder.g.push_back(static_cast<double>(g));
        // p − g·s·q, whose top term cancels by the choice of g.
        WidePolynomial rest(p.begin(), p.end() - 1);
        for (std::size_t i = 0; i + 1 < q.size(); ++i)
            rest[i + 1] -= g * q[i];
        if (q.size() == 1) {
            ladder.load = static_cast<double>(rest[0] / q[0]);
            if (!(ladder.load > 0) || !std::isfinite(ladder.load))
                NoLadder("the load is not positive");
            return ladder;
        }
        // What cancels is measured against the two terms it came from.
        const Wide cancelled =
            std::max(std::abs(p[rest.size() - 1]), std::abs(g * q[rest.size() - 2]));
        if (std::abs(rest.back()) > rounding * cancelled)
            NoLadder("the rest after element " + std::to_string(k) + " is not a ladder's");
        rest.pop_back();
        p = std::move(q);
        q = std::move(rest);
    }
    NoLadder("the continued fraction did not end");
}

}  // namespace

LadderPrototype ButterworthLadder(int order) {
    CheckOrder(order);
    LadderPrototype ladder;
    for (int k = 1; k <= order; ++k)
        ladder.g.push_back(2 * std::sin((2 * k - 1) * std::numbers::pi / (2 * order)));
    return ladder;
}

LadderPrototype ChebyshevLadder(int order, double rippleDb) {
    CheckOrder(order);
    if (!(rippleDb > 0) || rippleDb > 10)
        throw std::invalid_argument("a Chebyshev ripple lies between 0 and 10 dB");
    const double epsilon = std::sqrt(std::pow(10.0, rippleDb / 10) - 1);
    const Polynomial t = ChebyshevT(order);
    const std::vector<Complex> xPoles = ChebyshevPolesInX(order, epsilon);
    std::vector<Complex> poles;
    Polynomial reflection(order + 1, 0.0);
    if (order % 2 == 1) {
        // x = ω = s/j: T_n(s/j) = −j·Σ a_(2m+1)·(−1)^m·s^(2m+1); the constant −j is dropped.
        for (int m = 0; 2 * m + 1 <= order; ++m)
            reflection[2 * m + 1] = epsilon * t[2 * m + 1] * (m % 2 == 0 ? 1 : -1);
        // s = j·x lies in the right half plane for these k; its mirror −conj(j·x) in the left.
        for (const Complex& x : xPoles)
            poles.push_back(-std::conj(Complex(0, 1) * x));
    } else {
        // x² = a² − b²·s² with a = sin(π/2n), b = cos(π/2n); T_n is a polynomial in x².
        const double a = std::sin(std::numbers::pi / (2 * order));
        const double b = std::cos(std::numbers::pi / (2 * order));
        // (a² − b²s²)^m by repeated products, weighted by T_n's coefficient of x^2m.
        Polynomial power{1};
        for (int m = 0; 2 * m <= order; ++m) {
            for (std::size_t i = 0; i < power.size(); ++i)
                reflection[i] += epsilon * t[2 * m] * power[i];
            Polynomial next(power.size() + 2, 0.0);
            for (std::size_t i = 0; i < power.size(); ++i) {
                next[i] += a * a * power[i];
                next[i + 2] -= b * b * power[i];
            }
            power = std::move(next);
        }
        for (const Complex& x : xPoles)
            poles.push_back(-std::sqrt((a * a - x * x) / (b * b)));
    }
    return LadderFromPolesAndReflection(poles, reflection);
}

double RippleOfReflection(double reflection) {
    return -10 * std::log10(1 - reflection * reflection);
}

namespace {

using WideComplex = std::complex<Wide>;

// The Aberth–Ehrlich iteration in extended precision, then Newton's steps.
std::vector<WideComplex> RootsOf(const std::vector<WideComplex>& c) {
    const std::size_t n = c.size() - 1;
    if (c.size() < 2 || c.back() == WideComplex(0))
        throw std::invalid_argument("a polynomial of degree 1 or more is needed");
    const auto value = [&](WideComplex z, WideComplex& derivative) {
        WideComplex p = c[n];
        derivative = 0;
        for (std::size_t k = n; k-- > 0;) {
            derivative = derivative * z + p;
            p = p * z + c[k];
        }
        return p;
    };
    // Start on a circle of the roots' mean size, turned off the axes so no two start alike.
    const Wide radius = std::max<Wide>(std::pow(std::abs(c[0] / c[n]), Wide(1) / Wide(n)), 1e-3L);
    std::vector<WideComplex> z(n);
    for (std::size_t k = 0; k < n; ++k)
        z[k] = std::polar(radius, Wide(2 * std::numbers::pi) * (Wide(k) + 0.25L) / Wide(n) + 0.4L);
    for (int iteration = 0; iteration < 500; ++iteration) {
        Wide largestStep = 0;
        for (std::size_t k = 0; k < n; ++k) {
            WideComplex derivative;
            const WideComplex p = value(z[k], derivative);
            if (p == WideComplex(0)) continue;
            const WideComplex ratio = p / derivative;
            WideComplex repulsion = 0;
            for (std::size_t j = 0; j < n; ++j)
                if (j != k) repulsion += Wide(1) / (z[k] - z[j]);
            const WideComplex step = ratio / (Wide(1) - ratio * repulsion);
            z[k] -= step;
            largestStep = std::max(largestStep, std::abs(step) / std::max<Wide>(1, std::abs(z[k])));
        }
        if (largestStep < 1e-18L) break;
    }
    for (WideComplex& root : z) {
        for (int i = 0; i < 3; ++i) {
            WideComplex derivative;
            const WideComplex p = value(root, derivative);
            if (derivative != WideComplex(0)) root -= p / derivative;
        }
    }
    return z;
}

}  // namespace

std::vector<Complex> PolynomialRoots(const std::vector<Complex>& c) {
    std::vector<WideComplex> wide(c.begin(), c.end());
    std::vector<Complex> roots;
    for (const WideComplex& root : RootsOf(wide))
        roots.emplace_back(double(root.real()), double(root.imag()));
    return roots;
}

namespace {

// E(s) of a ladder between 1 Ω at both ends, S21 = 1/E: half the sum A + B + C + D of its chain
// matrix, whose entries are polynomials in s. Well conditioned, unlike the way back.
WidePolynomial TransmissionOf(const std::vector<Wide>& g) {
    WidePolynomial a{1}, b{0}, c{0}, d{1};
    const auto addShifted = [](WidePolynomial& to, const WidePolynomial& from, Wide factor) {
        if (to.size() < from.size() + 1) to.resize(from.size() + 1, 0);
        for (std::size_t i = 0; i < from.size(); ++i)
            to[i + 1] += factor * from[i];
    };
    for (std::size_t k = 0; k < g.size(); ++k) {
        if (k % 2 == 0) {
            addShifted(b, a, g[k]);
            addShifted(d, c, g[k]);
        } else {
            addShifted(a, b, g[k]);
            addShifted(c, d, g[k]);
        }
    }
    WidePolynomial e(g.size() + 1, 0);
    for (const WidePolynomial* part : {&a, &b, &c, &d})
        for (std::size_t i = 0; i < part->size() && i < e.size(); ++i)
            e[i] += (*part)[i] / 2;
    return e;
}

// Newton's method on the elements until the ladder's E is `target` (scaled to E(0) = 1).
void PolishToTransmission(LadderPrototype& ladder, WidePolynomial target) {
    const std::size_t n = ladder.g.size();
    for (std::size_t i = 1; i < target.size(); ++i)
        target[i] /= target[0];
    target[0] = 1;
    std::vector<Wide> g(ladder.g.begin(), ladder.g.end());
    const auto residual = [&](const std::vector<Wide>& at) {
        const WidePolynomial e = TransmissionOf(at);
        std::vector<Wide> r(n);
        for (std::size_t i = 0; i < n; ++i)
            r[i] = (e[i + 1] - target[i + 1]) / std::abs(target[i + 1]);
        return r;
    };
    for (int iteration = 0; iteration < 50; ++iteration) {
        const std::vector<Wide> r = residual(g);
        Wide size = 0;
        for (Wide v : r)
            size = std::max(size, std::abs(v));
        if (size < 1e-16L) break;
        // The Jacobian by differences, then Gaussian elimination with partial pivoting.
        std::vector<std::vector<Wide>> jacobian(n, std::vector<Wide>(n + 1));
        for (std::size_t j = 0; j < n; ++j) {
            std::vector<Wide> moved = g;
            const Wide h = g[j] * 1e-9L;
            moved[j] += h;
            const std::vector<Wide> shifted = residual(moved);
            for (std::size_t i = 0; i < n; ++i)
                jacobian[i][j] = (shifted[i] - r[i]) / h;
        }
        for (std::size_t i = 0; i < n; ++i)
            jacobian[i][n] = -r[i];
        for (std::size_t col = 0; col < n; ++col) {
            std::size_t pivot = col;
            for (std::size_t row = col + 1; row < n; ++row)
                if (std::abs(jacobian[row][col]) > std::abs(jacobian[pivot][col])) pivot = row;
            std::swap(jacobian[col], jacobian[pivot]);
            if (jacobian[col][col] == 0) NoLadder("the elements cannot be fitted");
            for (std::size_t row = col + 1; row < n; ++row) {
                const Wide factor = jacobian[row][col] / jacobian[col][col];
                for (std::size_t k = col; k <= n; ++k)
                    jacobian[row][k] -= factor * jacobian[col][k];
            }
        }
        std::vector<Wide> step(n);
        for (std::size_t col = n; col-- > 0;) {
            Wide sum = jacobian[col][n];
            for (std::size_t k = col + 1; k < n; ++k)
                sum -= jacobian[col][k] * step[k];
            step[col] = sum / jacobian[col][col];
        }
        for (std::size_t j = 0; j < n; ++j)
            g[j] += step[j];
    }
    const std::vector<Wide> r = residual(g);
    for (std::size_t i = 0; i < n; ++i) {
        if (!(std::abs(r[i]) < 1e-9L) || !(g[i] > 0)) NoLadder("the elements cannot be fitted");
        ladder.g[i] = static_cast<double>(g[i]);
    }
}

}  // namespace

LadderPrototype EqualTerminationLadder(const std::vector<Complex>& unscaled) {
    const int order = static_cast<int>(unscaled.size());
    // The continued fraction loses fewest digits with poles about the unit circle: the
    // frequency is scaled by their geometric mean, and the elements back at the end.
    double logSize = 0;
    for (const Complex& pole : unscaled)
        logSize += std::log(std::abs(pole)) / order;
    const double scale = std::exp(logSize);
    std::vector<Complex> poles;
    for (const Complex& pole : unscaled)
        poles.push_back(pole / scale);
    const WidePolynomial e = FromRoots(poles, 1);
    // Q(s) = E(s)E(−s) − E(0)² = P(s²): the coefficient of s^2m is Σ (−1)^i e_i e_(2m−i).
    WidePolynomial p(std::size_t(order) + 1, 0);
    for (int m = 0; m <= order; ++m) {
        for (int i = std::max(0, 2 * m - order); i <= std::min(2 * m, order); ++i)
            p[std::size_t(m)] +=
                (i % 2 == 0 ? 1 : -1) * e[std::size_t(i)] * e[std::size_t(2 * m - i)];
    }
    p[0] = 0;
    // Zero roots of P: a factor s^m of F. What cancels leaves rounding against E's size.
    const Wide size = Largest(p);
    std::size_t zeros = 0;
    while (zeros < p.size() - 1 && std::abs(p[zeros]) <= 1e-12L * size)
        ++zeros;
    std::vector<WideComplex> rest;
    for (std::size_t k = zeros; k < p.size(); ++k)
        rest.emplace_back(p[k], 0);
    std::vector<WideComplex> zerosOfF(zeros, WideComplex(0));
    if (rest.size() > 1) {
        for (const WideComplex& x : RootsOf(rest)) {
            // s² = x: of ±√x the one in the left half plane (on the axis: either).
            const WideComplex root = std::sqrt(x);
            zerosOfF.push_back(root.real() > 0 ? -root : root);
        }
    }
    // F's leading coefficient: |f_n|² = |e_n|² since Q's top term is (−1)^n e_n². From the
    // ninth element on, the continued fraction loses more digits than extended precision
    // holds: it gives a first ladder, which Newton's method then fits to E itself.
    LadderPrototype ladder = LadderFromWide(poles, FromRoots(zerosOfF, 1), 1e-1L);
    ladder.load = 1;
    PolishToTransmission(ladder, e);
    for (double& g : ladder.g)
        g /= scale;
    return ladder;
}

std::vector<Complex> BesselPoles(int order, bool unitDelay) {
    CheckOrder(order);
    // The reverse Bessel polynomial: a_k = (2n − k)! / (2^(n−k)·k!·(n − k)!).
    std::vector<Complex> coefficients;
    for (int k = 0; k <= order; ++k) {
        coefficients.emplace_back(
            std::tgamma(2 * order - k + 1) /
                (std::pow(2.0, order - k) * std::tgamma(k + 1) * std::tgamma(order - k + 1)),
            0.0);
    }
    std::vector<Complex> poles = PolynomialRoots(coefficients);
    for (Complex& pole : poles)
        pole = Complex(-std::abs(pole.real()), pole.imag());
    if (unitDelay) return poles;
    // |H(jω)|² = Π|p|²/Π|jω − p|² is 1/2 at the 3 dB frequency: found by bisection.
    const auto lossDb = [&](double omega) {
        double db = 0;
        for (const Complex& pole : poles)
            db += 10 * std::log10(std::norm(Complex(0, omega) - pole) / std::norm(pole));
        return db;
    };
    double low = 0, high = 1;
    while (lossDb(high) < 10 * std::log10(2.0))
        high *= 2;
    for (int i = 0; i < 200; ++i)
        (lossDb((low + high) / 2) < 10 * std::log10(2.0) ? low : high) = (low + high) / 2;
    for (Complex& pole : poles)
        pole /= (low + high) / 2;
    return poles;
}

LadderPrototype BesselLadder(int order) {
    return EqualTerminationLadder(BesselPoles(order));
}

namespace {

// S21 of the ladder between its 1 Ω source and its load, from the chain matrix of the elements:
// a series impedance jωg, then a shunt admittance jωg, in turn.
Complex LadderS21(const LadderPrototype& ladder, double omega) {
    Complex a = 1, b = 0, c = 0, d = 1;
    for (std::size_t k = 0; k < ladder.g.size(); ++k) {
        const Complex element(0, omega * ladder.g[k]);
        if (k % 2 == 0) {
            b += a * element;
            d += c * element;
        } else {
            a += b * element;
            c += d * element;
        }
    }
    const double loadOhm = ladder.g.size() % 2 == 1 ? ladder.load : 1 / ladder.load;
    return 2 * std::sqrt(loadOhm) / (a * loadOhm + b + c * loadOhm + d);
}

}  // namespace

LadderPrototype LegendreLadder(int order) {
    CheckOrder(order);
    // Legendre polynomials P_0 .. P_k by (i + 1)P_(i+1) = (2i + 1)x·P_i − i·P_(i−1).
    const bool odd = order % 2 == 1;
    const int k = odd ? (order - 1) / 2 : (order - 2) / 2;
    std::vector<WidePolynomial> legendre = {{1}, {0, 1}};
    for (int i = 1; i < k; ++i) {
        WidePolynomial next(std::size_t(i) + 2, 0);
        for (std::size_t j = 0; j < legendre[std::size_t(i)].size(); ++j)
            next[j + 1] += Wide(2 * i + 1) * legendre[std::size_t(i)][j] / Wide(i + 1);
        for (std::size_t j = 0; j < legendre[std::size_t(i - 1)].size(); ++j)
            next[j] -= Wide(i) * legendre[std::size_t(i - 1)][j] / Wide(i + 1);
        legendre.push_back(std::move(next));
    }
    // Σ a_i·P_i with a_i ∝ 2i + 1: every term for odd orders; for even orders only those of
    // i with the parity of k. (The constant factors go into the normalisation L_n(1) = 1.)
    WidePolynomial sum(std::size_t(k) + 1, 0);
    for (int i = 0; i <= k; ++i) {
        if (!odd && (i % 2) != (k % 2)) continue;
        for (std::size_t j = 0; j < legendre[std::size_t(i)].size(); ++j)
            sum[j] += Wide(2 * i + 1) * legendre[std::size_t(i)][j];
    }
    // The integrand: the square of the sum, times (x + 1) for even orders.
    WidePolynomial integrand(2 * sum.size() - 1, 0);
    for (std::size_t i = 0; i < sum.size(); ++i)
        for (std::size_t j = 0; j < sum.size(); ++j)
            integrand[i + j] += sum[i] * sum[j];
    if (!odd) {
        WidePolynomial times(integrand.size() + 1, 0);
        for (std::size_t i = 0; i < integrand.size(); ++i) {
            times[i] += integrand[i];
            times[i + 1] += integrand[i];
        }
        integrand = std::move(times);
    }
    // ∫ from −1 to y = 2w − 1, as a polynomial in w = ω², then scaled to 1 at w = 1.
    WidePolynomial antiderivative(integrand.size() + 1, 0);
    for (std::size_t i = 0; i < integrand.size(); ++i)
        antiderivative[i + 1] = integrand[i] / Wide(i + 1);
    WidePolynomial inW(antiderivative.size(), 0), power{1};
    for (std::size_t i = 0; i < antiderivative.size(); ++i) {
        for (std::size_t j = 0; j < power.size(); ++j)
            inW[j] += antiderivative[i] * power[j];
        WidePolynomial next(power.size() + 1, 0);
        for (std::size_t j = 0; j < power.size(); ++j) {
            next[j] -= power[j];
            next[j + 1] += 2 * power[j];
        }
        power = std::move(next);
    }
    Wide atMinusOne = 0, atOne = 0;
    for (std::size_t i = 0; i < inW.size(); ++i)
        atOne += inW[i];
    atMinusOne = inW[0];
    inW[0] -= atMinusOne;
    atOne -= atMinusOne;
    for (Wide& c : inW)
        c /= atOne;
    inW.resize(std::size_t(order) + 1);
    // The poles: 1 + L_n(−s²) = 0, a polynomial in x = s², each root's square root on the left.
    std::vector<WideComplex> denominator;
    for (std::size_t i = 0; i < inW.size(); ++i)
        denominator.emplace_back((i == 0 ? 1 : 0) + inW[i] * (i % 2 == 0 ? 1 : -1), 0);
    std::vector<Complex> poles;
    for (const WideComplex& x : RootsOf(denominator)) {
        const WideComplex root = std::sqrt(x);
        const WideComplex left = root.real() > 0 ? -root : root;
        poles.emplace_back(double(left.real()), double(left.imag()));
    }
    return EqualTerminationLadder(poles);
}

double LadderGroupDelay(const LadderPrototype& ladder, double omega) {
    const double h = 1e-5;
    const double change = std::arg(LadderS21(ladder, omega + h) / LadderS21(ladder, omega - h));
    return -change / (2 * h);
}

double LadderTransmission(const LadderPrototype& ladder, double omega) {
    return std::norm(LadderS21(ladder, omega));
}

}  // namespace feldan
