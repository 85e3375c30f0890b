// One band for every tool: the narrow CW designs whose band lies kilohertz above Fo get their
// time response centred where Расчет found the band (checked against an envelope summed here
// directly from S21), the default span holds the band, a design outside the classic table is
// measured under its highest point, and the figures and cautions a builder reads.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "engine/calculate.h"
#include "engine/design_figures.h"
#include "engine/errors.h"
#include "engine/transient.h"

namespace feldan {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

DesignFields Design(FilterType type, ResponseType response, const char* dfHz) {
    DesignFields design;
    design.filterType = int(type);
    design.responseType = int(response);
    design.texts.Df = dfHz;
    return design;
}

// The 50 % time of the envelope's step for a carrier at `centreHz`, summed term by term:
// y(t) = Σ S21(f_k)·Δf·(e^(jω_k t) − 1)/(jω_k), ω_k = 2π(f_k − centre), over S21(centre).
double HalfwayMs(DesignedFilter& filter, double centreHz) {
    constexpr double StepHz = 4;
    constexpr int Half = 2000;  // ±8 kHz
    SweepRequest request;
    request.circuit = filter.circuit;
    const double foHz = filter.design.input.FoKHz * 1000;
    request.fromDetuningHz = centreHz - Half * StepHz - foHz;
    request.toDetuningHz = centreHz + Half * StepHz - foHz;
    request.points = 2 * Half + 1;
    const SweepResult sweep = SweepFilter(filter, request);
    const Complex settled = sweep.points[Half].s21;
    const auto step = [&](double t) {
        Complex sum = sweep.points[Half].s21 * StepHz * t;
        for (int k = -Half; k <= Half; ++k) {
            if (k == 0) continue;
            const double w = 2 * Pi * k * StepHz;
            sum += sweep.points[std::size_t(k + Half)].s21 * StepHz *
                   (std::polar(1.0, w * t) - 1.0) / Complex(0, w);
        }
        return std::abs(sum / settled);
    };
    double low = 0, high = 0.05;
    for (int i = 0; i < 40; ++i)
        (step((low + high) / 2) < 0.5 ? low : high) = (low + high) / 2;
    return 1000 * low;
}

TEST(OneBand, NarrowCwDesignsHaveTheirTransientWhereTheBandIs) {
    const DesignFields designs[] = {
        Design(FilterType::Cw6, ResponseType::Butterworth3, "500"),
        Design(FilterType::Cw6, ResponseType::Chebyshev044, "500"),
        Design(FilterType::Cw8, ResponseType::Butterworth3, "400"),
        Design(FilterType::Ladder6, ResponseType::Bessel, "500"),
        Design(FilterType::Ladder8, ResponseType::Gaussian, "500"),
    };
    for (const DesignFields& design : designs) {
        SCOPED_TRACE(design.filterType * 100 + design.responseType);
        DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
        ASSERT_EQ(filter.design.outcome, Outcome::Done);
        const std::optional<PassBand> band = BandOf(filter.design);
        ASSERT_TRUE(band);
        // The band lies well above Fo: a window of three widths about Fo cuts it.
        EXPECT_GT(band->upperHz - filter.design.input.FoKHz * 1000, 3 * filter.design.input.DfHz);
        const Span span = SpanOf(filter, SweepRequest{});
        EXPECT_LT(span.fromHz, band->lowerHz);
        EXPECT_GT(span.toHz, band->upperHz);

        const EnvelopeSpectrum spectrum = SpectrumOfFilter(filter);
        EXPECT_DOUBLE_EQ(spectrum.centreHz, band->CentreHz());
        const TransientFigures figures = StepFigures(EnvelopeOf(spectrum));
        ASSERT_TRUE(figures.delayMs);
        EXPECT_NEAR(*figures.delayMs, HalfwayMs(filter, spectrum.centreHz),
                    0.01 * *figures.delayMs);
    }
}

// A searched band that stopped is named by the searches' own warning.
TEST(OneBand, TransientOfAnUnknownBandNamesWhyItIsUnknown) {
    DesignFields design;
    design.texts.Level = "";
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    EXPECT_FALSE(BandOf(filter.design));
    try {
        SpectrumOfFilter(filter);
        ADD_FAILURE() << "a transient without a band";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.message().id, MessageId::MissingLevel);
    }
}

// The highest point of |S21| and the outermost crossings 3 dB under it, from a sweep of 0.25 Hz
// steps over the band and a kilohertz beyond.
struct Measured {
    double peakHz = 0;
    double widthHz = 0;
};
Measured MeasureByHand(DesignedFilter& filter, const PassBand& band) {
    SweepRequest request;
    const double foHz = filter.design.input.FoKHz * 1000;
    request.fromDetuningHz = band.lowerHz - 1000 - foHz;
    request.toDetuningHz = band.upperHz + 1000 - foHz;
    request.points = int((band.WidthHz() + 2000) * 4) + 1;
    const SweepResult sweep = SweepFilter(filter, request);
    std::vector<double> db;
    for (const SweepPoint& p : sweep.points)
        db.push_back(20 * std::log10(std::abs(p.s21)));
    const std::size_t top = std::size_t(std::max_element(db.begin(), db.end()) - db.begin());
    const double level = db[top] - 3;
    std::size_t lo = 0, hi = db.size() - 1;
    while (db[lo + 1] < level)
        ++lo;
    while (db[hi - 1] < level)
        --hi;
    const auto at = [&](std::size_t out, std::size_t in) {
        const double u = (level - db[out]) / (db[in] - db[out]);
        return sweep.points[out].hz + u * (sweep.points[in].hz - sweep.points[out].hz);
    };
    return {sweep.points[top].hz, at(hi, hi - 1) - at(lo, lo + 1)};
}

TEST(HighestPoint, AnExactChebyshevIsMeasuredUnderItsHighestPoint) {
    DesignFields design = Design(FilterType::Ladder8, ResponseType::Chebyshev, "2400");
    design.ripple = "0.2";
    design.exact = true;
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    const Measured hand = MeasureByHand(filter, *BandOf(filter.design));
    EXPECT_NEAR(hand.widthHz, 2400, 1);
    EXPECT_NEAR(filter.design.measurements.PeakHz, hand.peakHz, 1);
}

TEST(HighestPoint, TheClassicTableKeepsTheFirstPeakAboveFo) {
    // A classic Chebyshev's first ripple peak above Fo is not its highest: the summary keeps it.
    DesignFields design = Design(FilterType::Ladder8, ResponseType::Chebyshev28, "2400");
    const CalculationResult classic = Calculate(design, '.');
    ASSERT_EQ(classic.outcome, Outcome::Done);
    double highest = -1e9;
    for (const CurvePoint& p : classic.curve)
        highest = std::max(highest, p.y);
    EXPECT_LE(-LevelOffsetDb - classic.measurements.AminDb, highest);
    EXPECT_FALSE(MeasuresFromHighest(classic.input));
}

// Cohn's estimate of the loss of a narrow band-pass filter, 4.343·(f0/BW)·Σg_k/Qu dB, for the
// start design (four crystals, Butterworth) over the band it makes.
TEST(DesignFiguresOf, FourCrystalButterworthLosesWhatCohnSays) {
    DesignedFilter filter = DesignFilter(DesignFields{}, '.', CircuitChoice::Analysed);
    const std::optional<DesignFigures> figures = FiguresOfDesign(filter);
    ASSERT_TRUE(figures);
    const double qu = 2 * Pi * 8861736 * 10.1e-3 / 5.7;
    const double sumG = 2 * (2 * std::sin(Pi / 8) + 2 * std::sin(3 * Pi / 8));
    const double cohn = 4.343 * 8861736 / BandOf(filter.design)->WidthHz() * sumG / qu;
    EXPECT_NEAR(figures->insertionLossDb, cohn, 0.05 * cohn);
    EXPECT_FALSE(figures->fastestWpm);  // an SSB filter
}

// Nearly ideal crystals: |H|² = 1/(1 + x⁸), so the widths at 6 and 60 dB stand as
// (10^6 − 1)^(1/8) to (10^0.6 − 1)^(1/8), and the skirts lie outside the band in order.
TEST(DesignFiguresOf, NearlyIdealButterworthHasItsShapeFactor) {
    DesignFields design;
    design.texts.Rd = "0.001";
    design.texts.Cs = "0.001";
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    const std::optional<DesignFigures> figures = FiguresOfDesign(filter);
    ASSERT_TRUE(figures && figures->shapeFactor);
    const double shape = std::pow((1e6 - 1) / (std::pow(10, 0.6) - 1), 1.0 / 8);
    EXPECT_NEAR(*figures->shapeFactor, shape, 0.05 * shape);
    EXPECT_NEAR(figures->insertionLossDb, 0, 0.01);
    ASSERT_TRUE(figures->skirt20 && figures->skirt30);
    const PassBand band = *BandOf(filter.design);
    EXPECT_LT(figures->skirt30->lowerHz, figures->skirt20->lowerHz);
    EXPECT_LT(figures->skirt20->lowerHz, band.lowerHz);
    EXPECT_GT(figures->skirt20->upperHz, band.upperHz);
    EXPECT_GT(figures->skirt30->upperHz, figures->skirt20->upperHz);
}

TEST(DesignFiguresOf, ANarrowerCwFilterKeepsSlowerDotsApart) {
    std::optional<double> wider, narrower;
    for (const char* df : {"500", "200"}) {
        DesignedFilter filter = DesignFilter(
            Design(FilterType::Cw6, ResponseType::Butterworth3, df), '.', CircuitChoice::Analysed);
        const std::optional<DesignFigures> figures = FiguresOfDesign(filter);
        ASSERT_TRUE(figures && figures->fastestWpm);
        (df[1] == '0' ? wider : narrower) = figures->fastestWpm;
    }
    EXPECT_GT(*wider, *narrower * 1.5);
}

TEST(Caution, DesignsThatLandFarOffOrCannotBeBuiltSaySo) {
    const struct {
        FilterType type;
        ResponseType response;
        const char* df;
        MessageId caution;
    } cases[] = {
        // The start design's crystals shrink its band to 2543 Hz.
        {FilterType::Ladder4, ResponseType::Butterworth3, "3100", MessageId::CautionWidth},
        {FilterType::Ladder4, ResponseType::Butterworth3, "2400", MessageId::None},
        {FilterType(12), ResponseType::Bessel, "2400", MessageId::CautionWidth},
        {FilterType::Ladder4, ResponseType::Butterworth3, "1", MessageId::CautionWidth},
    };
    for (const auto& c : cases) {
        DesignFields design = Design(c.type, c.response, c.df);
        if (c.caution == MessageId::None) design.texts.Cs = "0.001";  // no C0 to shrink the band
        const CalculationResult result = Calculate(design, '.');
        ASSERT_EQ(result.outcome, Outcome::Done) << c.df;
        EXPECT_EQ(result.caution.id, c.caution) << c.df;
        EXPECT_FALSE(result.resultText.empty());
    }
    // A band met, yet a capacitor nobody can buy: the ends of a very wide band.
    CalculationResult wide;
    wide.outcome = Outcome::Done;
    wide.input.DfHz = 3000;
    wide.measurements.MeasuredDfHz = 3000;
    wide.synthesis.Circuit = int(FilterType::Ladder4);
    wide.synthesis.CapPF.fill(100);
    wide.synthesis.InputOhm = wide.synthesis.OutputOhm = 200;
    EXPECT_EQ(CautionOf(wide, '.').id, MessageId::None);
    wide.synthesis.CapPF[1] = 0.5;
    EXPECT_EQ(CautionOf(wide, '.').id, MessageId::CautionCapacitor);
    wide.synthesis.CapPF[1] = 100;
    wide.synthesis.OutputOhm = 30000;
    EXPECT_EQ(CautionOf(wide, '.').id, MessageId::CautionTermination);
    wide.synthesis.OutputOhm = 200;
    const double trims[] = {10, 1500};
    EXPECT_EQ(CautionOf(wide, '.', trims), (Message{MessageId::CautionTrim, "ZQ2=1500"}));
}

}  // namespace
}  // namespace feldan
