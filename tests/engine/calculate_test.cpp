#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/errors.h"
#include "recording_view.h"

namespace feldan {
namespace {

const std::string BandLimit =
    "При заданном уровне АЧХ полоса пропускания\r        превысила пределы +/-30кГц.\r  "
    "Проверьте правильность исходных данных.";
const std::string NoSolution = " Решение невозможно ! ";

// The program's one designer, in its start state: four-crystal ladder, Butterworth.
struct Program {
    explicit Program(char separator = '.') : designer(std::make_unique<FilterDesigner>(separator)) {
        designer->state.FilterType = 2;
        designer->state.ResponseType = 1;
        designer->state.CurveCount = 0;
    }
    void Calculate() {
        view.events.clear();
        view.warnings.clear();
        designer->CalculateClick(texts, view);
    }
    DesignState& State() { return designer->state; }
    double FoHz() { return designer->state.FoKHz * 1000; }

    std::unique_ptr<FilterDesigner> designer;
    InputTexts texts;
    test::RecordingView view;
};

TEST(CalculateClick, WorkedExampleOfTheStartValues) {
    Program p;
    p.Calculate();
    const DesignState& s = p.State();
    ASSERT_TRUE(p.view.warnings.empty());
    EXPECT_NEAR(s.AFoDb, -12.05, 0.005);
    EXPECT_EQ(p.designer->LastStepCounts().PeakSteps, 1763);
    EXPECT_EQ(s.PeakHz - p.FoHz(), 1762);
    EXPECT_NEAR(s.AminDb, 0.802, 0.0005);
    EXPECT_EQ(s.LowerEdgeHz - p.FoHz(), 595);
    EXPECT_EQ(p.designer->LastStepCounts().EdgeSteps, 595);
    EXPECT_EQ(s.UpperEdgeHz - p.FoHz(), 3138);
    EXPECT_EQ(s.MeasuredDfHz, 2543);
    EXPECT_EQ(s.MeasuredDfHz, s.UpperEdgeHz - s.LowerEdgeHz);
    EXPECT_EQ(s.LevelDb, -3);

    // The curve: 2543 points from 0.596 to 3.138 kHz, handed over once to the first series.
    EXPECT_EQ(p.view.EventsStartingWith("curve"), std::vector<std::string>{"curve 0 2543"});
    const std::vector<CurvePoint>& curve = p.view.series[0];
    ASSERT_EQ(curve.size(), 2543u);
    EXPECT_NEAR(curve.front().x, 0.596, 1e-12);
    EXPECT_NEAR(curve.back().x, 3.138, 1e-12);
    const double levelY = s.LevelDb - s.AminDb;  // PeakDb + LevelDb, shifted by 6 dB
    for (std::size_t i = 0; i < curve.size(); ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            ASSERT_NEAR(curve[i].x - curve[i - 1].x, 0.001, 1e-9);
        }
        if (i + 1 < curve.size()) {
            ASSERT_GE(curve[i].y, levelY);
        } else {
            ASSERT_LT(curve[i].y, levelY);
        }
        ASSERT_LE(curve[i].y, -s.AminDb + 0.05);
    }
    const auto last = p.designer->LastCurve();
    ASSERT_EQ(last.size(), curve.size());
    EXPECT_EQ(last.back().y, curve.back().y);
}

TEST(CalculateClick, ResultTextOfTheWorkedExample) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        Program p(separator);
        p.Calculate();
        const std::string sep(1, separator);
        EXPECT_EQ(p.view.resultText, "Rвх=301" + sep + "1 Ом;\r" + "C1=C5=49" + sep +
                                         "41 пФ; C2=C4=108" + sep + "6 пФ;\r" + "C3=168" + sep +
                                         "7 пФ;\r" + "Амин=0" + sep +
                                         "802 дБ; F(Амин)=Fo+1762 Гц;\r" + "A(Fo)=-12" + sep +
                                         "05 дБ; dF(-3 дБ)=2543 Гц.");
    }
}

TEST(CalculateClick, ResultTextOfTheFourCrystalCwLadder) {
    Program p;
    p.State().FilterType = 5;
    p.Calculate();
    ASSERT_TRUE(p.view.warnings.empty());
    const std::string es = "\u0421";
    EXPECT_EQ(p.view.resultText.substr(0, p.view.resultText.find("\rАмин=")),
              "Rвх=301.1 Ом;\rC1=" + es + "7=17.31 пФ; C2=C6=108.6 пФ;\rC3=" + es +
                  "5=43.78 пФ; C4=23.61 пФ;");
}

TEST(CalculateClick, EventsOfACompleteCommand) {
    Program p;
    p.Calculate();
    EXPECT_EQ(p.view.events, (std::vector<std::string>{
                                 "clear 0", "clear text", "busy", "clear 0", "panel 0 ", "clear 1",
                                 "panel 1 ", "clear 2", "panel 2 ", "clear 3", "panel 3 ",
                                 "clear 4", "panel 4 ", "curve 0 2543", "text", "default cursor"}));
    EXPECT_EQ(p.State().CurveCount, 1);
    EXPECT_FALSE(p.view.busy);
}

struct LevelCase {
    const char* text;
    std::string warning;
    double levelAfter;
};

TEST(CalculateClick, LevelWarnings) {
    const LevelCase cases[] = {
        {"", " Задайте уровень АЧХ ! ", -1},
        {"0", " Уровень АЧХ задан не корректно ! ", 0},
        {"3", " Уровень АЧХ задан не корректно ! ", 3},
        {"-0", " Уровень АЧХ задан не корректно ! ", 0},
        {"1e-300", " Уровень АЧХ задан не корректно ! ", 1e-300},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "level '" << c.text << "'");
        Program p;
        p.State().LevelDb = -1;
        p.texts.Level = c.text;
        p.Calculate();
        EXPECT_EQ(p.view.warnings, std::vector<std::string>{c.warning});
        EXPECT_EQ(p.State().LevelDb, c.levelAfter);
        // The design run's results survive; nothing is plotted and the result box stays empty.
        EXPECT_NEAR(p.State().AFoDb, -12.05, 0.005);
        EXPECT_TRUE(p.view.EventsStartingWith("curve").empty());
        EXPECT_TRUE(p.view.EventsStartingWith("text").empty());
        EXPECT_EQ(p.view.EventsStartingWith("clear text").size(), 1u);
        EXPECT_EQ(p.view.events.back(), "default cursor");
        EXPECT_EQ(p.State().CurveCount, 1);
    }
}

TEST(CalculateClick, LevelTakesEitherSeparator) {
    struct Case {
        char separator;
        const char* level;
        const char* error;  // nullptr: accepted
    };
    const Case cases[] = {
        {'.', "-3,5", nullptr},
        {',', "-3.5", nullptr},
        {',', "-3,5", nullptr},
        {'.', "-3.5", nullptr},
        {'.', "abc", "'abc' is not a valid floating point value"},
        // The refusal quotes the text with the locale's separator, as for the other fields.
        {',', "-3.5.1", "'-3,5,1' is not a valid floating point value"},
        {'.', "-3,5x", "'-3.5x' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.separator << " " << c.level);
        Program p(c.separator);
        p.texts.Level = c.level;
        if (c.error == nullptr) {
            p.Calculate();
            EXPECT_TRUE(p.view.warnings.empty());
            EXPECT_EQ(p.State().LevelDb, -3.5);
            EXPECT_EQ(p.State().CurveCount, 1);
            continue;
        }
        try {
            p.Calculate();
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()), c.error);
        }
        // Abandoned: the busy cursor is restored, the curve counter stays.
        EXPECT_EQ(p.view.events.back(), "default cursor");
        EXPECT_FALSE(p.view.busy);
        EXPECT_EQ(p.State().CurveCount, 0);
        EXPECT_TRUE(p.view.resultText.empty());
    }
}

TEST(CalculateClick, ErrorInTheDesignRunLeavesCursorAndCounter) {
    Program p;
    p.texts.Df = "0";
    EXPECT_THROW(p.Calculate(), ArithmeticError);
    EXPECT_TRUE(p.view.EventsStartingWith("busy").empty());
    EXPECT_EQ(p.State().CurveCount, 0);
}

TEST(CalculateClick, DesignRunWarningEndsTheCommand) {
    Program p;
    p.texts.Rd = "0";
    p.Calculate();
    EXPECT_EQ(p.view.events,
              (std::vector<std::string>{"clear 0",
                                        "warning  Активное сопротивление должно быть\r"
                                        "            отлично от нуля ! ",
                                        "default cursor"}));
    EXPECT_EQ(p.State().CurveCount, 1);
}

TEST(CalculateClick, PeakSearchBeyondTheBandLimit) {
    Program p;
    p.texts.Cs = "0.5";
    p.texts.Df = "300000";
    p.Calculate();
    EXPECT_EQ(p.view.warnings, std::vector<std::string>{BandLimit});
    EXPECT_EQ(p.designer->LastStepCounts().PeakSteps, 30001);
    EXPECT_EQ(p.State().FreqHz - p.FoHz(), 30001);
    EXPECT_EQ(p.State().PeakHz - p.FoHz(), 30000);
    EXPECT_EQ(p.designer->LastStepCounts().EdgeSteps, 0);
    EXPECT_TRUE(p.view.EventsStartingWith("curve").empty());
    EXPECT_TRUE(p.view.resultText.empty());
    EXPECT_EQ(p.State().CurveCount, 1);
}

TEST(CalculateClick, EdgeSearchBeyondTheBandLimit) {
    Program p;
    p.texts.Level = "-80";
    p.Calculate();
    EXPECT_EQ(p.view.warnings, std::vector<std::string>{BandLimit});
    EXPECT_EQ(p.designer->LastStepCounts().PeakSteps, 1763);
    EXPECT_EQ(p.designer->LastStepCounts().EdgeSteps, 30001);
    EXPECT_EQ(p.State().FreqHz - p.FoHz(), -30001);
    EXPECT_EQ(p.State().LowerEdgeHz - p.FoHz(), -30000);
    EXPECT_TRUE(p.view.EventsStartingWith("curve").empty());
    EXPECT_EQ(p.State().CurveCount, 1);
}

TEST(CalculateClick, PlotSweepIsBoundedAndItsPointsAreKept) {
    Program p;
    p.Calculate();
    const CurvePoint* buffer = p.designer->LastCurve().data();
    p.texts.Level = "-75";
    p.Calculate();
    EXPECT_EQ(p.designer->LastStepCounts().SweepSteps, 30001);
    EXPECT_EQ(p.State().FreqHz - p.State().LowerEdgeHz, 30001);
    // The 30000 points plotted are handed over in one piece, before the message.
    EXPECT_EQ(p.view.EventsStartingWith("curve"), std::vector<std::string>{"curve 0 30000"});
    const auto curveAt = std::find(p.view.events.begin(), p.view.events.end(), "curve 0 30000");
    const auto warningAt =
        std::find(p.view.events.begin(), p.view.events.end(), "warning " + BandLimit);
    EXPECT_LT(curveAt, warningAt);
    EXPECT_EQ(p.view.series[0].size(), 30000u);
    EXPECT_EQ(p.designer->LastCurve().data(), buffer);  // the sweep did not reallocate
    EXPECT_EQ(p.State().MeasuredDfHz, 2543);            // from the previous command
    EXPECT_TRUE(p.view.resultText.empty());
    EXPECT_EQ(p.State().CurveCount, 2);
}

TEST(CalculateClick, EdgeSearchDirection) {
    struct Case {
        const char* level;
        bool foInsideBand;
    };
    for (const Case& c : {Case{"-3", false}, Case{"-20", true}, Case{"-60", true}}) {
        SCOPED_TRACE(c.level);
        Program p;
        p.texts.Level = c.level;
        p.Calculate();
        ASSERT_TRUE(p.view.warnings.empty());
        const DesignState& s = p.State();
        const double levelY = s.LevelDb - s.AminDb;
        const std::vector<CurvePoint>& curve = p.view.series[0];
        ASSERT_FALSE(curve.empty());
        EXPECT_EQ(curve.front().x, (s.LowerEdgeHz + 1 - p.FoHz()) / 1000);
        EXPECT_EQ(s.AFoDb >= levelY, c.foInsideBand);
        if (c.foInsideBand) {
            // Downward: the edge is the first frequency below Fo under the level.
            EXPECT_LT(s.LowerEdgeHz, p.FoHz());
            EXPECT_EQ(p.designer->LastStepCounts().EdgeSteps, p.FoHz() - s.LowerEdgeHz);
        } else {
            // Upward: the edge is the first frequency above Fo over the level.
            EXPECT_GT(s.LowerEdgeHz, p.FoHz());
            EXPECT_EQ(p.designer->LastStepCounts().EdgeSteps, s.LowerEdgeHz - p.FoHz());
            EXPECT_GE(curve.front().y, levelY);
        }
        EXPECT_EQ(s.MeasuredDfHz, s.UpperEdgeHz - s.LowerEdgeHz);
        EXPECT_EQ(static_cast<double>(curve.size()), s.UpperEdgeHz - s.LowerEdgeHz);
    }
}

TEST(CalculateClick, ResponseFallingRightAboveFo) {
    Program p;
    p.texts.Rd = "1000";
    p.Calculate();
    ASSERT_TRUE(p.view.warnings.empty());
    EXPECT_EQ(p.designer->LastStepCounts().PeakSteps, 1);
    EXPECT_EQ(p.State().PeakHz, p.FoHz());
    EXPECT_EQ(p.State().AminDb, -6 - p.State().RespAtFoDb);
    EXPECT_NE(p.view.resultText.find(" F(Амин)=Fo+0 Гц;"), std::string::npos);
}

TEST(CalculateClick, FirstMaximumSetsTheLevelOfARippledResponse) {
    Program p;
    p.State().ResponseType = 4;  // Chebyshev 0.177 dB, with the resonators' losses
    p.Calculate();
    ASSERT_TRUE(p.view.warnings.empty());
    const DesignState& s = p.State();
    const std::vector<CurvePoint>& curve = p.view.series[0];
    const auto highest = std::max_element(curve.begin(), curve.end(),
                                          [](CurvePoint a, CurvePoint b) { return a.y < b.y; });
    // The later maximum is higher and only plotted.
    EXPECT_GT(highest->y, -s.AminDb + 0.1);
    EXPECT_GT(highest->x * 1000, s.PeakHz - p.FoHz() + 500);
    // The first maximum is a maximum: its neighbours on the curve lie lower.
    const double peakX = (s.PeakHz - p.FoHz()) / 1000;
    const auto atPeak = std::find_if(curve.begin(), curve.end(),
                                     [&](CurvePoint c) { return std::fabs(c.x - peakX) < 1e-9; });
    ASSERT_NE(atPeak, curve.end());
    EXPECT_EQ(atPeak->y, -s.AminDb);
    EXPECT_LT((atPeak + 1)->y, atPeak->y);
    EXPECT_LE((atPeak - 1)->y, atPeak->y);
}

TEST(CalculateClick, NoSolutionBelowZeroHertz) {
    Program p;
    p.texts.Fo = "1";
    p.texts.Level = "-100";
    p.Calculate();
    EXPECT_EQ(p.view.warnings, std::vector<std::string>{NoSolution});
    EXPECT_EQ(p.State().FreqHz, 0);
    EXPECT_FALSE(p.State().SolveOk);
    EXPECT_TRUE(p.view.EventsStartingWith("curve").empty());
    EXPECT_EQ(p.State().CurveCount, 1);
}

// Overlay mode: five curves side by side, the sixth command starts again.
TEST(CalculateClick, OverlaySequenceOfSixCommands) {
    Program p;
    p.view.overlay = true;
    p.State().ResponseType = 2;
    std::size_t firstCurveSize = 0;
    for (int command = 1; command <= 6; ++command) {
        SCOPED_TRACE(testing::Message() << "command " << command);
        p.Calculate();
        ASSERT_TRUE(p.view.warnings.empty());
        const int position = (command - 1) % 5;
        const auto curves = p.view.EventsStartingWith("curve");
        ASSERT_EQ(curves.size(), 1u);
        EXPECT_EQ(curves[0].rfind("curve " + std::to_string(position) + " ", 0), 0u);
        if (command == 1) firstCurveSize = p.view.series[0].size();
        for (int i = 0; i < SeriesCount; ++i) {
            SCOPED_TRACE(testing::Message() << "series " << i);
            const bool drawn = command <= 5 ? i <= position : i == 0;
            EXPECT_EQ(p.view.series[static_cast<std::size_t>(i)].size(),
                      drawn ? firstCurveSize : 0u);
            EXPECT_EQ(p.view.panels[static_cast<std::size_t>(i)],
                      drawn ? "АЧХ" + std::to_string(i + 1) + ": T04-10-3100; " : "");
        }
        EXPECT_EQ(p.State().CurveCount, position + 1);
        EXPECT_EQ(p.State().CkText, "");
    }
    // The sixth command reset the counter and emptied everything before its design run.
    EXPECT_EQ(std::vector<std::string>(p.view.events.begin(), p.view.events.begin() + 10),
              (std::vector<std::string>{"clear 0", "panel 0 ", "clear 1", "panel 1 ", "clear 2",
                                        "panel 2 ", "clear 3", "panel 3 ", "clear 4", "panel 4 "}));
}

TEST(CalculateClick, OverlayCommandEndingWithAMessageAdvancesThePosition) {
    Program p;
    p.view.overlay = true;
    const char* levels[] = {"-3", "-3", "0", "-3"};
    for (const char* level : levels) {
        p.texts.Level = level;
        p.Calculate();
    }
    EXPECT_FALSE(p.view.series[0].empty());
    EXPECT_FALSE(p.view.series[1].empty());
    EXPECT_TRUE(p.view.series[2].empty());
    EXPECT_FALSE(p.view.series[3].empty());
    EXPECT_EQ(p.view.panels[2], "");
    EXPECT_EQ(p.view.panels[3], "АЧХ4: B04-3100; ");
    EXPECT_EQ(p.State().CurveCount, 4);
}

TEST(CalculateClick, OverlayStatusTextWithCk) {
    struct Case {
        int filterType;
        int responseType;
        const char* ck;
        std::string ckText;
        std::string panel;
    };
    const Case cases[] = {
        {5, 1, "91", "Ck=91 пФ", "АЧХ1: B04C-3100; Ck=91 пФ"},
        {5, 2, "91", "Ck=91 пФ", "АЧХ1: T04C-103100; Ck=91 пФ"},
        {7, 3, "82.45", "Ck=82.45 пФ", "АЧХ1: T08C-153100; Ck=82.45 пФ"},
        {6, 1, "1234.5", "Ck=1235 пФ", "АЧХ1: B06C-3100; Ck=1235 пФ"},
        {2, 2, "91", "", "АЧХ1: T04-10-3100; "},
        {4, 5, "91", "", "АЧХ1: T08-25-3100; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel);
        Program p;
        p.view.overlay = true;
        p.State().FilterType = c.filterType;
        p.State().ResponseType = c.responseType;
        p.texts.Ck = c.ck;
        p.Calculate();
        ASSERT_TRUE(p.view.warnings.empty());
        EXPECT_EQ(p.State().CkText, c.ckText);
        EXPECT_EQ(p.view.panels[0], c.panel);
    }
}

TEST(CalculateClick, DfTextAppearsAsTyped) {
    Program p;
    p.view.overlay = true;
    p.texts.Df = "3100,0";
    p.Calculate();
    ASSERT_TRUE(p.view.warnings.empty());
    EXPECT_EQ(p.view.panels[0], "АЧХ1: B04-3100,0; ");
}

TEST(CalculateClick, WithoutOverlayOnlyTheFirstSeriesIsReplaced) {
    Program p;
    p.view.overlay = true;
    p.Calculate();
    p.Calculate();
    ASSERT_FALSE(p.view.series[1].empty());
    const std::string panel1 = p.view.panels[1];
    p.view.overlay = false;
    p.State().CkText = "kept";
    p.State().FilterType = 5;
    p.Calculate();
    ASSERT_TRUE(p.view.warnings.empty());
    EXPECT_EQ(p.view.EventsStartingWith("curve")[0].rfind("curve 0 ", 0), 0u);
    EXPECT_TRUE(p.view.EventsStartingWith("panel").empty());
    EXPECT_EQ(p.view.series[0].size(), static_cast<std::size_t>(p.State().MeasuredDfHz));
    EXPECT_FALSE(p.view.series[1].empty());
    EXPECT_EQ(p.view.panels[1], panel1);
    EXPECT_EQ(p.State().CkText, "kept");
    EXPECT_EQ(p.State().CurveCount, 3);
}

TEST(CalculateClick, CounterAboveFourEmptiesTheChartAlsoWithoutOverlay) {
    Program p;
    p.State().CurveCount = 5;
    p.texts.Rd = "0";  // the chart is prepared before the design run fails
    p.Calculate();
    EXPECT_EQ(p.view.EventsStartingWith("clear").size(), 1u + 5u);
    EXPECT_EQ(p.view.EventsStartingWith("panel").size(), 5u);
    EXPECT_EQ(p.State().CurveCount, 1);
}

}  // namespace
}  // namespace feldan
