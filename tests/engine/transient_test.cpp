// The filter in time: the transform against a direct sum, the envelope of a second-order
// Butterworth response against its closed form, and a designed filter against its own delay.
#include "engine/transient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "engine/fft.h"

namespace feldan {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

TEST(FourierTransform, AgreesWithTheDirectSum) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1, 1);
    std::vector<Complex> data(64);
    for (Complex& c : data)
        c = {value(random), value(random)};
    for (bool inverse : {false, true}) {
        std::vector<Complex> fast = data;
        FourierTransform(fast, inverse);
        for (std::size_t k = 0; k < data.size(); ++k) {
            Complex sum = 0;
            for (std::size_t n = 0; n < data.size(); ++n)
                sum += data[n] * std::polar(1.0, (inverse ? 2 : -2) * Pi * double(k * n) / 64);
            EXPECT_NEAR(std::abs(fast[k] - sum), 0, 1e-12);
        }
    }
    std::vector<Complex> odd(48);
    EXPECT_THROW(FourierTransform(odd, false), std::invalid_argument);
}

// The envelope of a band-pass filter of width dF whose low-pass equivalent is a second-order
// Butterworth response: ωc = π·dF, step 1 − e^(−at)(cos at + sin at) with a = ωc/√2.
constexpr double WidthHz = 500;
const double A = Pi * WidthHz / std::sqrt(2.0);
double ClosedStep(double t) {
    return t <= 0 ? 0 : 1 - std::exp(-A * t) * (std::cos(A * t) + std::sin(A * t));
}

EnvelopeResponse ButterworthEnvelope() {
    EnvelopeSpectrum spectrum;
    spectrum.stepHz = WidthHz / 40;
    const int half = 64 * 40;  // out to ±64 widths, 84 dB down
    const double wc = Pi * WidthHz;
    for (int k = -half; k <= half; ++k) {
        const Complex s(0, 2 * Pi * k * spectrum.stepHz);
        spectrum.s21.push_back(wc * wc / (s * s + std::sqrt(2.0) * wc * s + wc * wc));
    }
    return EnvelopeOf(spectrum);
}

// The time where the closed-form step first reaches `level`, by bisection.
double ClosedTimeOf(double level) {
    double low = 0, high = Pi / A;
    for (int i = 0; i < 100; ++i)
        (ClosedStep((low + high) / 2) < level ? low : high) = (low + high) / 2;
    return low;
}

TEST(Transient, SecondOrderButterworthStepIsTheClosedForm) {
    const EnvelopeResponse response = ButterworthEnvelope();
    for (std::size_t i = 0; i < response.step.size() / 2; i += 97)
        EXPECT_NEAR(std::abs(response.step[i]), ClosedStep(double(i) * response.dtSec), 2e-3);
    const TransientFigures f = StepFigures(response);
    const double overshoot = 100 * std::exp(-Pi);  // 4.32 %
    EXPECT_NEAR(*f.overshootPct, overshoot, 0.01 * overshoot);
    EXPECT_NEAR(*f.delayMs, 1000 * ClosedTimeOf(0.5), 0.01 * *f.delayMs);
    const double rise = 1000 * (ClosedTimeOf(0.9) - ClosedTimeOf(0.1));
    EXPECT_NEAR(*f.riseMs, rise, 0.01 * rise);
    // After key-up the residual e^(−at)·√2 falls below 0.1 and 0.01 for good.
    EXPECT_LT(*f.decay20Ms, *f.decay40Ms);
    EXPECT_GT(*f.decay40Ms, 1000 * std::log(100 * std::sqrt(2.0)) / A * 0.5);
}

TEST(Transient, KeyedOutputIsTheStepStartedByEveryEdge) {
    const EnvelopeResponse response = ButterworthEnvelope();
    const double dtMs = response.dtSec * 1000;
    // One 8 ms pulse: the output is s(t) − s(t − 8 ms).
    const Keying pulse = Keying::Pulse(8);
    const KeyedResponse keyed = KeyedOutput(response, pulse, 2000);
    for (std::size_t i = 0; i < keyed.output.size(); i += 37) {
        const double t = double(i) * response.dtSec;
        EXPECT_NEAR(keyed.output[i], std::abs(ClosedStep(t) - ClosedStep(t - 8e-3)), 3e-3) << i;
        EXPECT_EQ(keyed.input[i], t * 1000 < 8 - 1e-9 ? 1 : 0) << i;
    }
    // Dots twice as fast as the filter rises: shallow gaps; slow dots: deep ones.
    const std::optional<double> delay = StepFigures(response).delayMs;
    for (const auto& [wpm, deeperThan, shallowerThan] :
         {std::tuple{2400.0, -6.0, 0.0}, std::tuple{60.0, -400.0, -40.0}}) {
        const Keying dots = Keying::Dots(wpm, 4);
        const KeyedResponse train =
            KeyedOutput(response, dots, std::size_t((dots.EndMs() + 20) / dtMs));
        const std::optional<double> gap = InterMarkDb(train, dots, response.dtSec, *delay);
        ASSERT_TRUE(gap);
        EXPECT_GT(*gap, deeperThan) << wpm;
        EXPECT_LT(*gap, shallowerThan) << wpm;
    }
}

// The classic design's envelope is half-way up after a time within the group delays of its
// pass band: no less than at the centre, no more than at the ears.
TEST(Transient, DesignedFilterIsDelayedByItsGroupDelay) {
    DesignFields design;
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    const EnvelopeSpectrum spectrum = SpectrumOfFilter(filter);
    EXPECT_TRUE(spectrum.reachesFloor);
    const TransientFigures f = StepFigures(EnvelopeOf(spectrum));
    SweepRequest request;
    request.circuit = CircuitChoice::Schematic;
    const double centre = spectrum.centreHz - filter.design.input.FoKHz * 1000;
    request.fromDetuningHz = centre - 1000;
    request.toDetuningHz = centre + 1000;
    request.points = 201;
    const SweepResult band = SweepFilter(filter, request);
    double longest = 0;
    for (const SweepPoint& p : band.points)
        longest = std::max(longest, p.groupDelaySec * 1000);
    const double atCentre = band.points[100].groupDelaySec * 1000;
    EXPECT_GT(*f.delayMs, atCentre);
    EXPECT_LT(*f.delayMs, longest);
    EXPECT_GT(*f.overshootPct, 0);
}

// Overshoot by response, four crystals of the start values: Bessel stays under 1 %, Chebyshev
// 0.28 dB rings more than Butterworth.
TEST(Transient, BesselHardlyOvershootsAndChebyshevRingsMoreThanButterworth) {
    const auto overshoot = [](ResponseType response) {
        DesignFields design;
        design.filterType = int(FilterType::Ladder4);
        design.responseType = int(response);
        DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
        EXPECT_EQ(filter.design.outcome, Outcome::Done);
        return StepFigures(EnvelopeOf(SpectrumOfFilter(filter))).overshootPct.value_or(-1);
    };
    const double butterworth = overshoot(ResponseType::Butterworth3);
    EXPECT_LT(overshoot(ResponseType::Bessel), 1);
    EXPECT_GE(overshoot(ResponseType::Bessel), 0);
    EXPECT_GT(overshoot(ResponseType::Chebyshev28), butterworth);
}

// Four nearly ideal crystals in a Butterworth ladder 500 Hz wide: the envelope's step is that of
// the fourth-order Butterworth low-pass of ωc = π·dF, worked out here from its poles by residues,
// y(t) = 1 + Σ r_k·e^(p_k·t)/p_k. Its 50 % point lies 8 % after its group delay at the centre,
// τ(0) = Σ −Re(1/p_k): the start design's 0.342 ms against 0.320 ms is that same ratio.
TEST(Transient, FourCrystalButterworthStepIsTheFourthOrderLowPass) {
    const double wc = Pi * WidthHz;
    std::vector<Complex> poles;
    for (int k = 0; k < 4; ++k)
        poles.push_back(std::polar(wc, Pi * (2 * k + 5) / 8));
    const auto step = [&](double t) {
        Complex sum = 1;
        for (std::size_t k = 0; k < poles.size(); ++k) {
            Complex residue = std::pow(wc, 4) / poles[k];
            for (std::size_t j = 0; j < poles.size(); ++j)
                if (j != k) residue /= poles[k] - poles[j];
            sum += residue * std::exp(poles[k] * t);
        }
        return sum.real();
    };
    double low = 0, high = 4 / wc * 4;
    for (int i = 0; i < 100; ++i)
        (step((low + high) / 2) < 0.5 ? low : high) = (low + high) / 2;
    double peak = 0, centreDelay = 0;
    for (int i = 0; i < 4000; ++i)
        peak = std::max(peak, step(i * 4e-6));
    for (const Complex& p : poles)
        centreDelay -= (1.0 / p).real();

    DesignFields design;
    design.filterType = int(FilterType::Ladder4);
    design.texts.Rd = "0.001";
    design.texts.Cs = "0.001";
    design.texts.Df = "500";
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    const TransientFigures f = StepFigures(EnvelopeOf(SpectrumOfFilter(filter)));
    EXPECT_NEAR(*f.delayMs, 1000 * low, 0.01 * *f.delayMs);
    EXPECT_NEAR(*f.overshootPct, 100 * (peak - 1), 0.01 * 100 * (peak - 1));
    EXPECT_NEAR(low / centreDelay, 1.079, 0.002);
}

}  // namespace
}  // namespace feldan
