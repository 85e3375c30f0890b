// Cohn ladders and designs around a given coupling capacitor, against a chain matrix of the
// plain ladder written here and against the formulas of the equal-capacitor ladders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "circuit/generated_ladders.h"
#include "engine/calculate.h"
#include "engine/cohn.h"
#include "engine/ladder_design.h"

namespace feldan {
namespace {

using C = std::complex<double>;
constexpr double Pi = std::numbers::pi;

DesignFields Lossless(int filterType, int responseType, const char* df = "2400") {
    DesignFields design;
    design.filterType = filterType;
    design.responseType = responseType;
    design.texts.Fo = "9000";
    design.texts.Ld = "15";
    design.texts.Cs = "0.001";
    design.texts.Rd = "0.001";
    design.texts.Df = df;
    return design;
}

int Cohn(int crystals) {
    return FilterTypeOfLadder(LadderStructure::Plain, crystals);
}
constexpr int CohnResponse = static_cast<int>(ResponseType::Cohn);

// |S21| in dB of r – ce – X – c – X – … – X – ce – r: lossless crystals of L and Cm in series,
// shunt capacitors c between them, an end capacitor ce in series at each end.
double PlainS21Db(int n, double hz, double lH, double cmF, double cF, double ceF, double r) {
    const C jw(0, 2 * Pi * hz);
    const C crystal = jw * lH + 1.0 / (jw * cmF);
    C a = 1, b = 1.0 / (jw * ceF), c = 0, d = 1;
    for (int k = 1; k <= n; ++k) {
        b += a * crystal;
        d += c * crystal;
        const C y = jw * cF;
        if (k < n) a += b * y, c += d * y;
    }
    b += a / (jw * ceF);
    d += c / (jw * ceF);
    return 20 * std::log10(std::abs(2.0 / (a + b / r + c * r + d)));
}

// How much the chain matrix's response varies between the two outermost resonances of n equal
// meshes coupled by Cm/c, fm ± 2·cos(π/(n+1))·fm·Cm/(2c).
double NaturalRippleDb(int n, double lH, double cmF, double cF, double r) {
    const double fm = 1 / (2 * Pi * std::sqrt(lH / (1 / cmF + 2 / cF)));
    const double half = 2 * std::cos(Pi / (n + 1)) * fm * cmF / cF / 2;
    double low = 1e9, high = -1e9;
    for (int k = 0; k <= 2000; ++k) {
        const double db = PlainS21Db(n, fm - half + 2 * half * k / 2000, lH, cmF, cF, cF, r);
        low = std::min(low, db), high = std::max(high, db);
    }
    return high - low;
}

TEST(CohnLadder, EqualCapacitorsTheFlattestTerminationAndTheBandAsked) {
    const double lH = 15e-3, f0 = 9e6;
    const double cmF = 1 / (std::pow(2 * Pi * f0, 2) * lH);
    // The least ripple over the natural band grows with the crystals: about 5.3 dB at eight.
    const struct {
        int crystals;
        double rippleDb;
    } rows[] = {{3, 1.0}, {4, 1.52}, {8, 5.26}, {12, 8.5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.crystals);
        const CalculationResult result = Calculate(Lossless(Cohn(row.crystals), CohnResponse), '.');
        ASSERT_EQ(result.outcome, Outcome::Done) << int(result.message.id);
        const auto& cap = result.synthesis.CapPF;
        const double c = cap[FirstCouplingSlot];
        for (int k = 1; k < row.crystals; ++k)
            EXPECT_NEAR(cap[std::size_t(FirstCouplingSlot + k - 1)], c, c * 1e-12) << k;
        // The meshes are all tuned alike: the end capacitors equal the couplings.
        EXPECT_NEAR(cap[InputEndSlot], c, c * 1e-9);
        EXPECT_NEAR(cap[OutputEndSlot], c, c * 1e-9);
        const double r = result.synthesis.TermOhm;
        EXPECT_NEAR(result.synthesis.OutputTermOhm, r, r * 1e-9);
        // The chain matrix: the ripple is the least any termination gives, and the 3 dB band
        // about the top is the one asked (to the narrow-band approximation of the design).
        const double ripple = NaturalRippleDb(row.crystals, lH, cmF, c * 1e-12, r);
        EXPECT_NEAR(ripple, row.rippleDb, 0.05);
        EXPECT_NEAR(CohnRowOf(row.crystals).rippleDb, ripple, 0.02);
        for (const double factor : {0.9, 1.1})
            EXPECT_GT(NaturalRippleDb(row.crystals, lH, cmF, c * 1e-12, r * factor), ripple);
        // Past 3 dB of ripple the band at −3 dB is only the highest peak's.
        if (row.rippleDb < 3) {
            EXPECT_NEAR(result.measurements.MeasuredDfHz, 2400, 2400 * 0.01);
        }
        // Past 1.5 dB the user is told that the top cannot be flat.
        EXPECT_EQ(result.caution.id,
                  row.rippleDb > 1.5 ? MessageId::CautionCohnRipple : MessageId::None);
    }
}

TEST(CohnLadder, OnlyPlainLaddersAndTheirCounts) {
    const struct {
        int filterType;
        MessageId refusal;
    } cases[] = {{FilterTypeOfLadder(LadderStructure::Cw, 8), MessageId::CohnPlainOnly},
                 {Cohn(2), MessageId::ResponseOrder},
                 {static_cast<int>(FilterType::Cw4), MessageId::CohnPlainOnly}};
    for (const auto& c : cases) {
        const CalculationResult result = Calculate(Lossless(c.filterType, CohnResponse), '.');
        EXPECT_EQ(result.message.id, c.refusal) << c.filterType;
    }
}

// A given capacitor sets the band: C = G·Cm·Fo/dF, G = g_in for QER (the uBITX filter: six poles
// at 12 MHz, 21.9 mH, 82 pF, about 2.2 kHz) and band3/2 for Cohn; with the exact way the parts
// follow the real crystals and the capacitor stays the one given.
TEST(EqualCapacitors, ADesignAroundTheCapacitorGiven) {
    const int qer6 = FilterTypeOfOrder(LadderStructure::Qer, 6);
    const int qer8 = FilterTypeOfOrder(LadderStructure::Qer, 8);
    const struct {
        int filterType, responseType;
        const char *fo, *ld, *cs, *rd, *capacitor;
        bool exact;
        double expectedHz, withinHz;
    } cases[] = {
        {qer6, 1, "12000", "21.9", "0.001", "0.001", "82", false,
         1.87056 * 12e6 / (std::pow(2 * Pi * 12e6, 2) * 21.9e-3) / 82e-12, 3},
        {Cohn(5), CohnResponse, "9000", "15", "0.001", "0.001", "100", false,
         CohnRowOf(5).band3 / 2 * 9e6 / (std::pow(2 * Pi * 9e6, 2) * 15e-3) / 100e-12, 25},
        {qer8, 1, "9000", "15", "3.5", "8.5", "150", true, 2000, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacitor);
        DesignFields design = Lossless(c.filterType, c.responseType, "");
        design.texts.Fo = c.fo, design.texts.Ld = c.ld, design.texts.Cs = c.cs;
        design.texts.Rd = c.rd, design.capacitor = c.capacitor, design.exact = c.exact;
        const CalculationResult result = Calculate(design, '.');
        ASSERT_EQ(result.outcome, Outcome::Done) << int(result.message.id);
        const double wanted = std::stod(c.capacitor);
        const int crystals = CrystalCountOf(c.filterType);
        const int couplings = IsQer(c.filterType) ? crystals - 3 : crystals - 1;
        for (int k = 0; k < couplings; ++k)
            EXPECT_NEAR(result.synthesis.CapPF[std::size_t(FirstCouplingSlot + k)], wanted,
                        wanted * 1e-6);
        EXPECT_NEAR(result.measurements.MeasuredDfHz, c.expectedHz, c.withinHz);
    }
    for (const char* bad : {"abc", "0", "-5", "20000"}) {
        DesignFields design = Lossless(qer8, 1);
        design.capacitor = bad;
        const CalculationResult result = Calculate(design, '.');
        EXPECT_EQ(result.outcome, Outcome::Error) << bad;
        EXPECT_EQ(result.message.id, MessageId::BadCapacitor) << bad;
    }
}

// With real crystals (C0 3.5 pF, Qu about 100 000) the exact way meets dF within 1 Hz and keeps
// every coupling one value.
TEST(EqualCapacitors, TheExactWayMeetsTheBandWithRealCrystals) {
    const int cases[][2] = {{FilterTypeOfOrder(LadderStructure::Qer, 4), 1},
                            {FilterTypeOfOrder(LadderStructure::Qer, 8), 1},
                            {FilterTypeOfOrder(LadderStructure::Qer, 12), 1},
                            {Cohn(4), CohnResponse}};
    for (const auto& [filterType, responseType] : cases) {
        SCOPED_TRACE(filterType);
        for (const char* cs : {"3.5", "5"}) {
            DesignFields design = Lossless(filterType, responseType);
            design.texts.Cs = cs, design.texts.Rd = "8.5", design.exact = true;
            const CalculationResult result = Calculate(design, '.');
            ASSERT_EQ(result.outcome, Outcome::Done) << int(result.message.id);
            EXPECT_NEAR(result.measurements.MeasuredDfHz, 2400, 1);
            const double c = result.synthesis.CapPF[FirstCouplingSlot];
            const int crystals = CrystalCountOf(filterType);
            const int couplings = IsQer(filterType) ? crystals - 3 : crystals - 1;
            for (int k = 1; k < couplings; ++k)
                EXPECT_NEAR(result.synthesis.CapPF[std::size_t(FirstCouplingSlot + k)], c,
                            c * 1e-9);
        }
    }
}

}  // namespace
}  // namespace feldan
