// The exact way of design against what holds whatever its code: a nearly ideal crystal needs no
// correction, the width Расчет measures is the request, a refused request names a band that is
// then reached, and the built filter is the real crystals'.
#include "engine/exact_design.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

#include "engine/crystal_set.h"
#include "engine/messages.h"
#include "engine/project.h"

namespace feldan {
namespace {

DesignFields Exact(int type, int response) {
    DesignFields design;
    design.filterType = type;
    design.responseType = response;
    design.exact = true;
    return design;
}

// Within the promised hertz of what was asked.
testing::AssertionResult WidthIs(const CalculationResult& r, double dfHz) {
    if (r.outcome != Outcome::Done)
        return testing::AssertionFailure() << MessageText(r.message, Language::English);
    if (std::fabs(r.measurements.MeasuredDfHz - dfHz) <= ExactToleranceHz)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << r.measurements.MeasuredDfHz << " Hz for " << dfHz;
}

TEST(ExactDesign, ANearlyIdealCrystalNeedsNoCorrection) {
    // Without C0 and loss Leff is Ld and nothing is taken off the terminations: both ways give
    // the Butterworth width at its own −3.01 dB edge.
    for (int type = 1; type <= ClassicFilterTypeCount; ++type) {
        SCOPED_TRACE(type);
        DesignFields design = Exact(type, 1);
        design.texts.Rd = "0.001";
        design.texts.Cs = "0.001";
        design.texts.Level = "-3.01";
        const CalculationResult exact = Calculate(design, '.');
        design.exact = false;
        const CalculationResult classic = Calculate(design, '.');
        ASSERT_TRUE(WidthIs(exact, 3100));
        EXPECT_NEAR(exact.measurements.MeasuredDfHz, classic.measurements.MeasuredDfHz, 5);
        EXPECT_NEAR(exact.exact.effectiveLdMH, 10.1, 0.01);
    }
}

TEST(ExactDesign, EveryTopologyAndResponseMeasuresTheRequestAtTheStartValues) {
    for (int type = 1; type <= ClassicFilterTypeCount; ++type) {
        for (int response = 1; response <= ClassicResponseTypeCount; ++response) {
            SCOPED_TRACE(testing::Message() << type << "/" << response);
            const CalculationResult r = Calculate(Exact(type, response), '.');
            ASSERT_TRUE(WidthIs(r, 3100));
            EXPECT_NE(r.resultText.find("dF(-3 дБ)=3100 Гц."), std::string::npos);
            // C0 makes the crystal steeper than its motional arm in a lower-sideband ladder.
            EXPECT_GT(r.exact.effectiveLdMH, 10.1 * 1.1);
            EXPECT_LE(r.exact.iterations, MaxExactDesigns);
            EXPECT_GT(r.exact.reachableDfHz, 3100);
            EXPECT_LT(r.exact.narrowestDfHz, 3100);
        }
    }
    const CalculationResult r = Calculate(Exact(2, 1), '.');
    EXPECT_EQ(OverlayStatusText(0, r, "3100", '.'), "АЧХ1: B04-3100 точно; ");
    EXPECT_EQ(OverlaySummary(r, "3100", '.', Language::English), "B04-3100 exact; ");
}

TEST(ExactDesign, ARequestBeyondTheBandNamesItAndTheBandIsReached) {
    DesignFields design = Exact(2, 1);
    design.texts.Df = "20000";
    const CalculationResult wide = Calculate(design, '.');
    ASSERT_EQ(wide.message.id, MessageId::ExactBandTooWide);
    EXPECT_EQ(wide.outcome, Outcome::Warning);
    EXPECT_EQ(wide.message.value, std::to_string(static_cast<int>(wide.exact.reachableDfHz)));
    EXPECT_EQ(ReachableDfHz(design, '.'), wide.exact.reachableDfHz);
    design.texts.Df = std::to_string(0.99 * wide.exact.reachableDfHz);
    EXPECT_TRUE(WidthIs(Calculate(design, '.'), 0.99 * wide.exact.reachableDfHz));

    design.texts.Df = "40";
    const CalculationResult narrow = Calculate(design, '.');
    ASSERT_EQ(narrow.message.id, MessageId::ExactBandTooNarrow);
    design.texts.Df = std::to_string(1.01 * narrow.exact.narrowestDfHz);
    EXPECT_TRUE(WidthIs(Calculate(design, '.'), 1.01 * narrow.exact.narrowestDfHz));

    // The classic way keeps its outcome.
    design.exact = false;
    design.texts.Df = "20000";
    EXPECT_EQ(Calculate(design, '.').measurements.MeasuredDfHz, 8241);
}

TEST(ExactDesign, TheLevelMustLieBelowTheRipple) {
    const struct {
        int response;
        const char* level;
        bool refused;
    } cases[] = {{5, "-0.28", true},  {5, "-0.2903", false}, {2, "-0.05", true},
                 {2, "-0.06", false}, {1, "-0.005", true},   {1, "-0.01", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        DesignFields design = Exact(2, c.response);
        design.texts.Level = c.level;
        const CalculationResult r = Calculate(design, '.');
        EXPECT_EQ(r.message.id == MessageId::ExactLevelInRipple, c.refused);
    }
    DesignFields design = Exact(2, 5);
    design.texts.Level = "-0.28";
    EXPECT_EQ(MessageText(Calculate(design, ',').message),
              "для точного расчёта уровень АЧХ должен быть ниже неравномерности прототипа (0,28 "
              "дБ) хотя бы на 0,01 дБ");
    EXPECT_EQ(Calculate(design, '.').outcome, Outcome::Warning);
}

TEST(ExactDesign, ASetOfTrimmedCrystalsIsAnalysedAsItIs) {
    std::vector<CrystalModel> set;
    for (const double fs : {8861200.0, 8861650.0, 8861420.0, 8861800.0})
        set.push_back(CrystalFromSeriesResonance(fs, 0.0102, 6.5, 6.1e-12));
    for (const bool trim : {false, true}) {
        SCOPED_TRACE(trim);
        const CalculationResult r = CalculateWithCrystals(Exact(2, 1), set, trim, '.');
        EXPECT_TRUE(WidthIs(r, 3100));
        // The built filter holds each position's own crystal, not the one that designed it.
        Project project;
        project.design = Exact(2, 1);
        for (const CrystalModel& c : set) {
            project.positions.push_back(static_cast<int>(project.crystals.size()));
            project.crystals.push_back({"X", c});
        }
        project.trim = trim;
        project.rounding = RoundingRequest{};
        project.matchOhm = 50;
        const ProjectBuild build = BuildProject(project, '.');
        ASSERT_EQ(build.outcome, Outcome::Done);
        EXPECT_TRUE(build.built->design.exact.exact);
        EXPECT_NEAR(build.built->schematic.measurements.MeasuredDfHz, 3100, 2);
        EXPECT_EQ(build.built->values.Crystal[4].CmF, set[3].cmF);
        EXPECT_TRUE(build.rounding && build.matching);
    }
}

TEST(ExactDesign, CrystalsNoFilterCanBeMadeOfEndWithAMessage) {
    const struct {
        const char *ld, *cs, *rd, *df, *level;
    } cases[] = {{"-1", "6.3", "5.7", "3100", "-3"},
                 {"10.1", "6.3", "5.7", "-5", "-3"},
                 {"10.1", "-6.3", "5.7", "3100", "-3"},
                 {"10.1", "6.3", "1e6", "3100", "-3"},
                 {"1e-9", "6.3", "5.7", "3100", "-3"}};
    for (const auto& c : cases) {
        DesignFields design = Exact(4, 5);
        design.texts = {"8861.736", c.df, c.ld, c.cs, c.rd, "91", c.level};
        const CalculationResult r = Calculate(design, '.');
        EXPECT_EQ(r.outcome, Outcome::Warning) << c.ld << " " << c.cs << " " << c.rd;
        EXPECT_FALSE(MessageText(r.message).empty());
        EXPECT_LE(r.exact.iterations, MaxExactDesigns);
    }
}

TEST(ExactDesign, NewMessagesSayTheSameInBothLanguages) {
    for (int id = int(MessageId::ExactBandTooWide); id <= int(MessageId::ExactWidthJumps); ++id) {
        const std::string_view russian = MessageText(MessageId(id));
        const std::string_view english = MessageText(MessageId(id), Language::English);
        EXPECT_FALSE(russian.empty() || english.empty());
        EXPECT_EQ(russian.find("%s") == std::string_view::npos,
                  english.find("%s") == std::string_view::npos);
    }
}

}  // namespace
}  // namespace feldan
