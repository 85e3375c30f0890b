// The chain in time: a measured second-order Butterworth sweep against its closed form, in any
// order of its points; the figures never see the window; the spans of the curves; and every
// fault a message.
#include "engine/time_response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace feldan {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;
constexpr double CentreHz = 9e6;
constexpr double WidthHz = 500;

// The low-pass equivalent wc²/(s² + √2·wc·s + wc²), wc = π·dF, swept 64 widths either side in
// 5 Hz steps: the step settles as 1 − e^(−at)(cos at + sin at), a = wc/√2.
struct Sweep {
    std::vector<double> hz;
    std::vector<Complex> s21;
};
Sweep ButterworthSweep() {
    Sweep sweep;
    const double wc = Pi * WidthHz;
    for (double x = -64 * WidthHz; x <= 64 * WidthHz; x += 5) {
        const Complex s(0, 2 * Pi * x);
        sweep.hz.push_back(CentreHz + x);
        sweep.s21.push_back(0.5 * wc * wc / (s * s + std::sqrt(2.0) * wc * s + wc * wc));
    }
    return sweep;
}
const PassBand Band{CentreHz - WidthHz / 2, CentreHz + WidthHz / 2, CentreHz};

double ClosedTimeMs(double level) {
    const double a = Pi * WidthHz / std::sqrt(2.0);
    double low = 0, high = Pi / a;
    for (int i = 0; i < 100; ++i) {
        const double t = (low + high) / 2;
        (1 - std::exp(-a * t) * (std::cos(a * t) + std::sin(a * t)) < level ? low : high) = t;
    }
    return 1000 * low;
}

TEST(TimeResponse, MeasuredSweepInAnyOrderIsTheClosedForm) {
    Sweep sweep = ButterworthSweep();
    const TimeResponse sorted = TimeResponseOf({sweep.hz, sweep.s21, Band}, {});
    ASSERT_EQ(sorted.problem.id, MessageId::None);
    EXPECT_NEAR(*sorted.figures.delayMs, ClosedTimeMs(0.5), 0.01 * ClosedTimeMs(0.5));
    EXPECT_NEAR(*sorted.figures.overshootPct, 100 * std::exp(-Pi), 0.05);
    EXPECT_NEAR(sorted.output.back(), 1, 1e-3);

    std::vector<std::size_t> order(sweep.hz.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(3));
    Sweep shuffled;
    for (std::size_t i : order) {
        shuffled.hz.push_back(sweep.hz[i]);
        shuffled.s21.push_back(sweep.s21[i]);
    }
    const TimeResponse again = TimeResponseOf({shuffled.hz, shuffled.s21, Band}, {});
    EXPECT_EQ(again.output, sorted.output);
}

TEST(TimeResponse, TheWindowShapesTheCurveAndNotTheFigures) {
    const Sweep sweep = ButterworthSweep();
    const Keying dots = Keying::Dots(40, 5);
    const TimeRequest plainRequest{TimeKind::Keyed, dots, {}, {}};
    const TimeRequest hannRequest{TimeKind::Keyed, dots, {TransientWindow::Hann, 0}, {}};
    const TimeResponse plain = TimeResponseOf({sweep.hz, sweep.s21, Band}, plainRequest);
    const TimeResponse hann = TimeResponseOf({sweep.hz, sweep.s21, Band}, hannRequest);
    ASSERT_TRUE(plain.figures.interDotDb);
    EXPECT_EQ(hann.figures.interDotDb, plain.figures.interDotDb);
    EXPECT_EQ(hann.figures.riseMs, plain.figures.riseMs);
    EXPECT_NE(hann.output, plain.output);
    EXPECT_EQ(hann.input, plain.input);
}

// The step shows half the record unless a span is asked, and never the wrapped last quarter;
// a keyed curve goes half a record past the keying; only a train has a gap.
TEST(TimeResponse, CurvesSpanWhatIsAsked) {
    const Sweep sweep = ButterworthSweep();
    const MeasuredS21 measured{sweep.hz, sweep.s21, Band};
    const TimeResponse step = TimeResponseOf(measured, {});
    const std::size_t record = step.plain.step.size();
    EXPECT_EQ(step.output.size(), record / 2);
    EXPECT_TRUE(step.input.empty());
    const double recordMs = step.plain.RecordSec() * 1000;
    struct Row {
        TimeRequest request;
        double endMs;
        bool gap;
    };
    const Keying pulse = Keying::Pulse(30, 2);
    const Row rows[] = {
        {{TimeKind::Step, {}, {}, 10.0}, 10, false},
        {{TimeKind::Impulse, {}, {}, 2 * recordMs}, 0.75 * recordMs, false},
        {{TimeKind::Keyed, pulse, {}, {}}, 30 + 2 + recordMs / 2, false},
        {{TimeKind::Keyed, Keying::Dots(60, 5), {}, 200.0}, 200, true},
    };
    for (const Row& row : rows) {
        const TimeResponse response = TimeResponseOf(measured, row.request);
        const double lastMs = double(response.output.size() - 1) * response.dtMs;
        EXPECT_NEAR(lastMs, row.endMs, response.dtMs);
        EXPECT_EQ(response.figures.interDotDb.has_value(), row.gap);
    }
    // Half-way through the pulse the carrier has settled.
    const TimeResponse keyed = TimeResponseOf(measured, {TimeKind::Keyed, pulse, {}, {}});
    EXPECT_NEAR(keyed.output[std::size_t(20 / keyed.dtMs)], 1, 1e-3);
}

TEST(TimeResponse, FaultsAreMessages) {
    const Sweep sweep = ButterworthSweep();
    const std::vector<double> below(sweep.hz.begin(), sweep.hz.begin() + 100);
    const std::vector<Complex> belowS21(sweep.s21.begin(), sweep.s21.begin() + 100);
    std::vector<Complex> deaf = sweep.s21;
    std::fill(deaf.begin(), deaf.end(), Complex(0));
    struct Row {
        MeasuredS21 measured;
        MessageId id;
    };
    const Row rows[] = {
        {{below, belowS21, Band}, MessageId::TransientNoCentre},
        {{{}, {}, std::nullopt}, MessageId::TransientNoCentre},
        {{sweep.hz, deaf, Band}, MessageId::TransientNothingPassed},
    };
    for (const Row& row : rows) {
        const TimeResponse response = TimeResponseOf(row.measured, {TimeKind::Keyed, {}, {}, {}});
        EXPECT_EQ(response.problem.id, row.id);
        EXPECT_TRUE(response.output.empty());
    }
    // The searches stopped by a warning: the band is unknown, and the warning says why.
    DesignFields design;
    design.texts.Level = "";
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    const TimeResponse unknown = TimeResponseOf(filter, {});
    EXPECT_EQ(unknown.problem.id, MessageId::MissingLevel);
    EXPECT_TRUE(unknown.warned);
}

}  // namespace
}  // namespace feldan
