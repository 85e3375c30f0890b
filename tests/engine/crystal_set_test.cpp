#include "engine/crystal_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "engine/built_design.h"
#include "engine/design_run.h"
#include "engine/sweep.h"

namespace feldan {
namespace {

// The crystal of the start design: Fo 8861.736 kHz, Ld 10.1 mH, Rd 5.7 Ohm, Cs 6.3 pF.
CrystalModel StartCrystal(double shiftHz = 0) {
    return CrystalFromSeriesResonance(8861736 + shiftHz, 10.1e-3, 5.7, 6.3e-12);
}

DesignFields DesignOf(FilterType type) {
    DesignFields design;
    design.filterType = static_cast<int>(type);
    return design;
}

// The curve by absolute frequency in Hz.
std::map<long, double> ByHz(const CalculationResult& r) {
    std::map<long, double> curve;
    for (const CurvePoint& p : r.curve)
        curve[std::lround(r.input.FoKHz * 1000 + p.x * 1000)] = p.y;
    return curve;
}

TEST(CrystalSet, EqualCrystalsGiveTheBitsOfTheEqualCrystalDesign) {
    for (const FilterType type : {FilterType::Ladder4, FilterType::Ladder8, FilterType::Cw6}) {
        for (const bool trim : {false, true}) {
            SCOPED_TRACE(static_cast<int>(type) * 10 + trim);
            const DesignFields design = DesignOf(type);
            const std::vector<CrystalModel> crystals(
                std::size_t(DescriptorOf(design.filterType).crystalCount), StartCrystal());
            const CrystalSetDesign set = DesignOfCrystalSet(design, crystals, trim);
            EXPECT_EQ(set.fields.texts.Fo, "8861.736");
            EXPECT_EQ(set.fields.texts.Rd, "5.7");
            EXPECT_NEAR(std::stod(set.fields.texts.Ld), 10.1, 1e-12);
            const CalculationResult equal = Calculate(set.fields, ',');
            const CalculationResult ofSet = CalculateWithCrystals(design, crystals, trim, ',');
            ASSERT_EQ(ofSet.outcome, Outcome::Done);
            EXPECT_EQ(ofSet.resultText, equal.resultText);
            EXPECT_EQ(ofSet.measurements.PeakHz, equal.measurements.PeakHz);
            EXPECT_EQ(ofSet.measurements.AminDb, equal.measurements.AminDb);
            EXPECT_EQ(ofSet.measurements.RespAtFoDb, equal.measurements.RespAtFoDb);
            EXPECT_EQ(ofSet.measurements.MeasuredDfHz, equal.measurements.MeasuredDfHz);
            ASSERT_EQ(ofSet.curve.size(), equal.curve.size());
            for (std::size_t k = 0; k < equal.curve.size(); ++k) {
                EXPECT_EQ(ofSet.curve[k].x, equal.curve[k].x);
                EXPECT_EQ(ofSet.curve[k].y, equal.curve[k].y);
            }
        }
    }
}

TEST(CrystalSet, ACrystal100HzLowChangesTheResponseAndItsTrimRestoresIt) {
    const DesignFields design = DesignOf(FilterType::Ladder4);
    const std::vector<CrystalModel> equal(4, StartCrystal());
    std::vector<CrystalModel> set = equal;
    set[1] = StartCrystal(-100);

    const CrystalSetDesign trimmed = DesignOfCrystalSet(design, set, true);
    EXPECT_EQ(trimmed.alignedHz, 8861736);
    EXPECT_EQ(trimmed.trimF[0], 0);
    // Δf = fs·Cm/(2·(C0 + Ct)) for the trim found.
    const double shiftHz = set[1].fsHz * set[1].cmF / (2 * (set[1].c0F + trimmed.trimF[1]));
    EXPECT_NEAR(shiftHz, 100, 1e-6);
    EXPECT_NEAR(DesignOfCrystalSet(design, set, false).alignedHz, 8861736 - 25, 1e-6);

    const std::map<long, double> reference = ByHz(CalculateWithCrystals(design, equal, false, '.'));
    const std::map<long, double> untrimmed = ByHz(CalculateWithCrystals(design, set, false, '.'));
    const std::map<long, double> aligned = ByHz(CalculateWithCrystals(design, set, true, '.'));
    // The top of the band, within 0.5 dB of the peak, matches to 0.05 dB. Towards the -3 dB
    // edges the match is looser: behind its trim a crystal's motional Lm and Rm look larger by
    // (1 + C0/Ct)², here 0.9 %, which the steep skirts turn into up to 0.16 dB.
    double peakDb = -1e9;
    for (const auto& [hz, db] : reference)
        peakDb = std::max(peakDb, db);
    double untrimmedWorstDb = 0, flatWorstDb = 0, edgeWorstDb = 0;
    int compared = 0;
    for (const auto& [hz, db] : reference) {
        if (db < peakDb - 3) continue;
        if (untrimmed.count(hz))
            untrimmedWorstDb = std::max(untrimmedWorstDb, std::abs(untrimmed.at(hz) - db));
        // The trimmed band may end a hertz or two sooner.
        if (!aligned.count(hz)) {
            EXPECT_LT(db, peakDb - 2.5) << hz;
            continue;
        }
        const double differenceDb = std::abs(aligned.at(hz) - db);
        edgeWorstDb = std::max(edgeWorstDb, differenceDb);
        if (db >= peakDb - 0.5) {
            flatWorstDb = std::max(flatWorstDb, differenceDb);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1500);
    EXPECT_GT(untrimmedWorstDb, 0.5);
    EXPECT_LT(flatWorstDb, 0.05);
    EXPECT_LT(edgeWorstDb, 0.2);

    // The build aids take the set the same way.
    const auto build = BuildDesign(design, '.', set, true);
    const std::optional<BuiltDesign>& built = build.built;
    ASSERT_TRUE(built.has_value()) << MessageText(build.message);
    EXPECT_EQ(built->values.Crystal[2].TrimF, trimmed.trimF[1]);
    EXPECT_EQ(built->values.Crystal[3].CmF, set[2].cmF);
    // The sweep takes the set the same way.
    const DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Analysed, set, true);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    EXPECT_EQ(filter.values.Crystal[2].TrimF, trimmed.trimF[1]);
    EXPECT_EQ(filter.values.Crystal[1].TrimF, 0);
}

TEST(CrystalSet, SetsThatCannotMakeTheDesignAreRefused) {
    const CrystalModel low = StartCrystal(-1e6);  // no capacitor lifts it 1 MHz
    CrystalModel broken = StartCrystal();
    broken.lmH = 0;
    struct Case {
        std::vector<CrystalModel> crystals;
        bool trim;
        Message expected;
    };
    const std::vector<Case> cases = {
        {std::vector<CrystalModel>(3, StartCrystal()), false, {MessageId::CrystalSetCount, "4"}},
        {{StartCrystal(), broken, StartCrystal(), StartCrystal()},
         false,
         {MessageId::CrystalSetValue, "2"}},
        {{StartCrystal(), StartCrystal(), StartCrystal(), low},
         true,
         {MessageId::CrystalTrimImpossible, "4"}},
    };
    for (const Case& c : cases) {
        const CalculationResult r =
            CalculateWithCrystals(DesignOf(FilterType::Ladder4), c.crystals, c.trim, '.');
        EXPECT_EQ(r.outcome, Outcome::Error);
        EXPECT_EQ(r.message, c.expected);
        EXPECT_EQ(DesignFilter(DesignOf(FilterType::Ladder4), '.', CircuitChoice::Analysed,
                               c.crystals, c.trim)
                      .design.message,
                  c.expected);
    }
}

// RunDesign returns the set it designed from, the very one DesignOfCrystalSet makes, and a set
// that cannot be used refuses the calculation with the set's own message.
TEST(RunDesign, ReturnsTheSetItDesignedFrom) {
    const DesignFields design = DesignOf(FilterType::Ladder4);
    std::vector<CrystalModel> set(4, StartCrystal());
    set[2] = StartCrystal(-60);
    const Designed designed = RunDesign(design, '.', set, true);
    ASSERT_TRUE(designed.set.has_value());
    EXPECT_EQ(designed.set->trimF, DesignOfCrystalSet(design, set, true).trimF);
    EXPECT_EQ(designed.calculation.outcome, Outcome::Done);
    EXPECT_FALSE(RunDesign(design, '.').set.has_value());
    set.pop_back();
    const Designed refused = RunDesign(design, '.', set, false);
    EXPECT_EQ(refused.calculation.outcome, Outcome::Error);
    EXPECT_EQ(refused.calculation.message.id, refused.set->message.id);
}

// Crystals all alike need no trims and sit at their own fs: the three curves of the comparison
// are one curve.
TEST(CompareCrystalSet, EqualCrystalsGiveThreeEqualCurves) {
    const CrystalSetComparison comparison =
        CompareCrystalSet(DesignOf(FilterType::Ladder6),
                          std::vector<CrystalModel>(6, StartCrystal()), '.', Language::English);
    ASSERT_EQ(comparison.designs.size(), 3u);
    const std::map<long, double> equal = ByHz(comparison.designs[0].calculation);
    ASSERT_GT(equal.size(), 100u);
    for (const std::size_t k : {1u, 2u}) {
        const std::map<long, double> other = ByHz(comparison.designs[k].calculation);
        for (const auto& [hz, db] : equal) {
            if (other.count(hz)) {
                EXPECT_NEAR(other.at(hz), db, 1e-9) << k << " at " << hz;
            }
        }
    }
}

}  // namespace
}  // namespace feldan
