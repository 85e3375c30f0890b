// Ladders of any number of crystals: the generated rule against the classic tables, and the
// filter against its prototype when the crystals are nearly ideal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/ladder_design.h"
#include "engine/sweep.h"
#include "engine/synthesis.h"

namespace feldan {
namespace {

struct Part {
    SchematicItemKind kind;
    std::string label;
    double pF;
};

std::vector<Part> CapacitorsOf(int circuit, const Synthesis& s) {
    std::vector<Part> parts;
    for (const SchematicItem& item : DescriptorOf(circuit).schematic) {
        if (!IsCapacitorItem(item.kind)) continue;
        parts.push_back({item.kind, std::string(item.label), s.CapPF[std::size_t(item.index)]});
    }
    return parts;
}

// The generated rule given a classic design's own prototype draws the classic schematic, part by
// part, with the same values; only the end shunts, which both take from the end capacitor by
// one formula, are held through that capacitor instead.
TEST(GeneratedLadder, ClassicPrototypesGiveTheClassicSchematics) {
    for (int type = 1; type <= ClassicFilterTypeCount; ++type) {
        for (int response = 1; response <= ClassicResponseTypeCount; ++response) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", response " << response);
            DesignFields design;
            design.filterType = type;
            design.responseType = response;
            const CalculationResult classic = Calculate(design, '.');
            ASSERT_EQ(classic.outcome, Outcome::Done);
            const LadderChoice ladder = LadderOfFilterType(type);
            const int n = ladder.crystals;
            Synthesis generated = classic.synthesis;
            const double half[] = {classic.synthesis.ProtoG1, classic.synthesis.ProtoG2,
                                   classic.synthesis.ProtoG3, classic.synthesis.ProtoG4};
            generated.ProtoOrder = n;
            for (int k = 1; k <= n; ++k)
                generated.ProtoG[std::size_t(k)] = half[std::min(k, n + 1 - k) - 1];
            generated.ProtoG[std::size_t(n + 1)] = 1;
            SynthesizeLadderCapacitors(generated, ladder.structure, classic.input.CkPF);

            const std::vector<Part> want = CapacitorsOf(type, classic.synthesis);
            const std::vector<Part> got = CapacitorsOf(generated.Circuit, generated);
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t k = 1; k + 1 < want.size(); ++k) {
                EXPECT_EQ(got[k].label, want[k].label);
                EXPECT_EQ(got[k].kind, want[k].kind) << want[k].label;
                EXPECT_NEAR(got[k].pF, want[k].pF, want[k].pF * 1e-12) << want[k].label;
            }
            const double cend = classic.synthesis.CapPF[std::size_t(DescriptorOf(type).endSlot)];
            EXPECT_NEAR(generated.CapPF[InputEndSlot], cend, cend * 1e-12);
            EXPECT_NEAR(generated.CapPF[OutputEndSlot], cend, cend * 1e-12);
        }
    }
}

// With crystals of almost no loss and no static capacitance, and a band narrow against Fo, the
// filter is its low-pass prototype about the centre: Butterworth is 3.01 dB down at ±dF/2,
// Chebyshev ripples by its ripple across exactly dF.
struct IdealCase {
    LadderStructure structure;
    int crystals;
    double rippleDb;  // 0: Butterworth
};

CalculationResult IdealDesign(const IdealCase& c, double levelDb) {
    DesignFields design;
    design.filterType = FilterTypeOfLadder(c.structure, c.crystals);
    design.responseType =
        c.rippleDb == 0 ? int(ResponseType::Butterworth3) : int(ResponseType::Chebyshev);
    design.ripple = std::to_string(c.rippleDb);
    design.texts.Rd = "0.001";
    design.texts.Cs = "0.001";
    design.texts.Df = "500";
    design.texts.Level = std::to_string(levelDb);
    return Calculate(design, '.');
}

TEST(GeneratedLadder, NearlyIdealCrystalsGiveThePrototype) {
    using enum LadderStructure;
    std::vector<IdealCase> cases;
    for (int n = MinLadderCrystals; n <= MaxLadderCrystals; ++n) {
        cases.push_back({Plain, n, 0});
        cases.push_back({Plain, n, n % 3 == 0 ? 0.01 : n % 3 == 1 ? 0.5 : 3});
    }
    for (int n = MinCwCrystals; n <= MaxLadderCrystals; n += 2) {
        cases.push_back({Cw, n, 0});
        cases.push_back({Cw, n, 1});
    }
    for (const IdealCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.structure == Cw ? "cw " : "ladder ") << c.crystals
                                        << ", ripple " << c.rippleDb);
        if (c.rippleDb == 0) {
            const CalculationResult r = IdealDesign(c, -3.0103);
            ASSERT_EQ(r.outcome, Outcome::Done) << int(r.message.id);
            // The band edges are found in steps of 1 Hz.
            EXPECT_NEAR(r.measurements.MeasuredDfHz, 500, 1.5);
            continue;
        }
        // Just below the ripple the edges are those of the ripple band.
        const CalculationResult r = IdealDesign(c, -c.rippleDb * 1.002);
        ASSERT_EQ(r.outcome, Outcome::Done) << int(r.message.id);
        EXPECT_NEAR(r.measurements.MeasuredDfHz, 500, 2.5);
        // Two crystals fall from their peak at the middle to the ripple at the edges alone.
        if (c.crystals == 2) continue;
        double top = -1e9, bottom = 1e9;
        const std::size_t inner = r.curve.size() / 20;
        for (std::size_t k = inner; k + inner < r.curve.size(); ++k) {
            top = std::max(top, r.curve[k].y);
            bottom = std::min(bottom, r.curve[k].y);
        }
        EXPECT_NEAR(top - bottom, c.rippleDb, 0.02);
    }
}

// The low-ringing responses between their two different terminations, with nearly ideal
// crystals: Bessel's delay is flat over the middle half of its band (within 2 %, and flatter
// than Butterworth's), Legendre falls monotonically from the middle and lies below Butterworth
// a band width from the middle.
struct Shape {
    double delaySpread = 0;  // (max − min)/min of the group delay over the middle half
    bool monotonic = true;   // |S21| falls on each side of the middle, within the band
    double atOneBandDb = 0;  // |S21| a whole dF above the middle, dB
    double aminDb = 0;       // the summary's Amin: the power's loss, whatever the two ends
};

// A plain ladder of nearly ideal crystals 500 Hz wide, calculated, and the middle of its band as
// a detuning from Fo.
struct IdealLadder {
    DesignFields design;
    CalculationResult measured;
    double centre = 0;
};

IdealLadder IdealLadderOf(int responseType, int crystals) {
    IdealLadder ladder;
    DesignFields& design = ladder.design;
    design.filterType = FilterTypeOfLadder(LadderStructure::Plain, crystals);
    design.responseType = responseType;
    design.texts.Rd = "0.001";
    design.texts.Cs = "0.001";
    design.texts.Df = "500";
    ladder.measured = Calculate(design, '.');
    EXPECT_EQ(ladder.measured.outcome, Outcome::Done);
    const Measurements& m = ladder.measured.measurements;
    ladder.centre = (m.LowerEdgeHz + m.UpperEdgeHz) / 2 - ladder.measured.input.FoKHz * 1000;
    return ladder;
}

Shape ShapeOf(int responseType, int crystals) {
    const IdealLadder ladder = IdealLadderOf(responseType, crystals);
    const DesignFields& design = ladder.design;
    const CalculationResult& measured = ladder.measured;
    const double centre = ladder.centre;
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    SweepRequest request;
    request.fromDetuningHz = centre - 250;
    request.toDetuningHz = centre + 250;
    request.points = 101;
    const SweepResult sweep = SweepFilter(filter, request);
    Shape shape;
    shape.aminDb = measured.measurements.AminDb;
    double low = 1e9, high = 0;
    for (std::size_t k = 25; k <= 75; ++k) {
        low = std::min(low, sweep.points[k].groupDelaySec);
        high = std::max(high, sweep.points[k].groupDelaySec);
    }
    shape.delaySpread = (high - low) / low;
    for (std::size_t k = 1; k <= 50; ++k) {
        const auto db = [&](std::size_t i) { return DecibelsOf(sweep.points[i].s21); };
        shape.monotonic = shape.monotonic && db(50 + k) <= db(50 + k - 1) + 1e-9 &&
                          db(50 - k) <= db(50 - k + 1) + 1e-9;
    }
    request.fromDetuningHz = request.toDetuningHz = centre + 500;
    request.points = 1;
    shape.atOneBandDb = DecibelsOf(SweepFilter(filter, request).points[0].s21);
    return shape;
}

TEST(GeneratedLadder, BesselIsFlatInDelayAndLegendreSteepestOfTheMonotonic) {
    for (int n : {3, 5, 8}) {
        SCOPED_TRACE(n);
        const Shape butterworth = ShapeOf(int(ResponseType::Butterworth3), n);
        const Shape bessel = ShapeOf(int(ResponseType::Bessel), n);
        const Shape legendre = ShapeOf(int(ResponseType::Legendre), n);
        EXPECT_LT(bessel.delaySpread, 0.02);
        EXPECT_LT(bessel.delaySpread, butterworth.delaySpread);
        EXPECT_TRUE(legendre.monotonic);
        EXPECT_LT(legendre.atOneBandDb, butterworth.atOneBandDb - 1);
        // A lossless filter between its own two terminations passes all the power at its peak
        // (the summary's 6 dB offset leaves 0.02 dB), however different the two ends are.
        EXPECT_NEAR(bessel.aminDb, 0.0206, 0.01);
        EXPECT_NEAR(legendre.aminDb, 0.0206, 0.01);
    }
}

// The tabulated responses with nearly ideal crystals, each against what its family promises, so
// that a digit typed wrong shows: the Gaussian ones follow A = 3.01·(2f/dF)² dB about the centre
// down to 6 dB within 0.2 dB (the third-order Gaussian only approximates the curve, to 0.25 dB),
// and the transitional ones fall faster beyond; linear phase keeps its phase within its error of a
// straight line over the middle half of the band.
struct Around {
    std::vector<double> offset;  // 2f/dF
    std::vector<double> lossDb;  // below the centre's
    std::vector<double> phase;   // radians, unwrapped
};

Around SweptAround(int responseType, int crystals, double halfSpan) {
    const IdealLadder ladder = IdealLadderOf(responseType, crystals);
    const DesignFields& design = ladder.design;
    const double centre = ladder.centre;
    SweepRequest request;
    request.fromDetuningHz = centre - 250 * halfSpan;
    request.toDetuningHz = centre + 250 * halfSpan;
    request.points = 401;
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed);
    const SweepResult sweep = SweepFilter(filter, request);
    Around around;
    const double middleDb = DecibelsOf(sweep.points[200].s21);
    for (std::size_t k = 0; k < sweep.points.size(); ++k) {
        around.offset.push_back(halfSpan * (double(k) - 200) / 200);
        around.lossDb.push_back(middleDb - DecibelsOf(sweep.points[k].s21));
        double phase = std::arg(sweep.points[k].s21);
        if (k > 0) phase += std::round((around.phase.back() - phase) / (2 * M_PI)) * 2 * M_PI;
        around.phase.push_back(phase);
    }
    return around;
}

TEST(GeneratedLadder, TabulatedResponsesKeepTheirPromises) {
    for (int n = 3; n <= 10; ++n) {
        for (const ResponseType type :
             {ResponseType::Gaussian, ResponseType::GaussianTo6Db, ResponseType::GaussianTo12Db}) {
            SCOPED_TRACE(testing::Message() << "Gaussian " << int(type) << ", " << n);
            const Around a = SweptAround(int(type), n, 2);
            double worst = 0;
            for (std::size_t k = 0; k < a.offset.size(); ++k) {
                if (a.lossDb[k] <= 6)
                    worst =
                        std::max(worst, std::fabs(a.lossDb[k] - 3.0103 * std::pow(a.offset[k], 2)));
            }
            EXPECT_LT(worst, n == 3 && type == ResponseType::Gaussian ? 0.25 : 0.2);
            // Two band widths out the Gaussian is 12 dB down; the transitional ones beyond 5
            // crystals are well below it.
            if (type == ResponseType::GaussianTo6Db && n > 5) {
                EXPECT_GT(a.lossDb.back(), 20);
            }
        }
    }
    for (int n = 2; n <= 10; ++n) {
        for (const auto& [type, errorDeg] : {std::pair{ResponseType::LinearPhase005Deg, 0.05},
                                             {ResponseType::LinearPhase05Deg, 0.5}}) {
            SCOPED_TRACE(testing::Message() << "linear phase " << errorDeg << ", " << n);
            const Around a = SweptAround(int(type), n, 0.5);
            // The best straight line: for a slope, the error about the best intercept is half
            // the residuals' spread, a convex function of the slope, least by golden sections.
            const auto spread = [&](double slope) {
                double above = -1e9, below = 1e9;
                for (std::size_t k = 0; k < a.offset.size(); ++k) {
                    above = std::max(above, a.phase[k] - slope * a.offset[k]);
                    below = std::min(below, a.phase[k] - slope * a.offset[k]);
                }
                return (above - below) / 2;
            };
            const double chord =
                (a.phase.back() - a.phase.front()) / (a.offset.back() - a.offset.front());
            double low = 1.2 * chord, high = 0.8 * chord;
            for (int step = 0; step < 100; ++step) {
                const double left = high - 0.618 * (high - low), right = low + 0.618 * (high - low);
                (spread(left) < spread(right) ? high : low) =
                    spread(left) < spread(right) ? right : left;
            }
            const double worst = spread((low + high) / 2);
            EXPECT_LT(worst * 180 / M_PI, errorDeg);
        }
    }
}

// Mirrored parts of a symmetric design come out equal to the bit, so the summary names them
// together, and every label of the picture appears in it once.
TEST(GeneratedLadder, SummaryNamesEveryCapacitorOnce) {
    DesignFields design;
    design.filterType = FilterTypeOfLadder(LadderStructure::Plain, 12);
    const CalculationResult r = Calculate(design, '.');
    ASSERT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.resultText.find("C1=C21="), r.resultText.find('\r') + 1);
    for (const SchematicItem& item : DescriptorOf(r.synthesis.Circuit).schematic) {
        if (!IsCapacitorItem(item.kind)) continue;
        const std::string label(item.label);
        std::size_t seen = 0;
        for (std::size_t at = 0; (at = r.resultText.find(label + "=", at)) != std::string::npos;
             ++at) {
            const char before = at == 0 ? '\r' : r.resultText[at - 1];
            seen += before == '\r' || before == ' ' || before == '=';
        }
        EXPECT_EQ(seen, 1u) << label;
    }
}

}  // namespace
}  // namespace feldan
