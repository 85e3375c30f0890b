#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/errors.h"
#include "engine/result_text.h"

namespace feldan {
namespace {

const std::string BandLimit =
    "При заданном уровне АЧХ полоса пропускания\n        превысила пределы +/-30кГц.\n  "
    "Проверьте правильность исходных данных.";
const std::string NoSolution = " Решение невозможно ! ";

// One calculation of the start design (four-crystal ladder, Butterworth) with changes.
struct OneRun {
    explicit OneRun(char separator = '.') : separator(separator) {}
    const CalculationResult& Calculate() {
        result = feldan::Calculate(design, separator);
        return result;
    }
    double FoHz() const { return result.input.FoKHz * 1000; }
    const Measurements& M() const { return result.measurements; }
    std::vector<std::string> Warnings() const {
        if (result.outcome != Outcome::Warning) return {};
        return {MessageText(result.message)};
    }

    char separator;
    DesignFields design;
    CalculationResult result;
};

TEST(Calculate, WorkedExampleOfTheStartValues) {
    OneRun p;
    p.Calculate();
    const Measurements& s = p.M();
    const double levelDb = p.result.input.LevelDb;
    ASSERT_TRUE(p.Warnings().empty());
    EXPECT_NEAR(s.AFoDb, -12.05, 0.005);
    EXPECT_EQ(p.result.steps.PeakSteps, 1763);
    EXPECT_EQ(s.PeakHz - p.FoHz(), 1762);
    EXPECT_NEAR(s.AminDb, 0.802, 0.0005);
    EXPECT_EQ(s.LowerEdgeHz - p.FoHz(), 595);
    EXPECT_EQ(p.result.steps.EdgeSteps, 595);
    EXPECT_EQ(s.UpperEdgeHz - p.FoHz(), 3138);
    EXPECT_EQ(s.MeasuredDfHz, 2543);
    EXPECT_EQ(s.MeasuredDfHz, s.UpperEdgeHz - s.LowerEdgeHz);
    EXPECT_EQ(levelDb, -3);

    // The curve: 2543 points from 0.596 to 3.138 kHz.
    EXPECT_TRUE(p.result.sweepStarted);
    const std::vector<CurvePoint>& curve = p.result.curve;
    ASSERT_EQ(curve.size(), 2543u);
    EXPECT_NEAR(curve.front().x, 0.596, 1e-12);
    EXPECT_NEAR(curve.back().x, 3.138, 1e-12);
    const double levelY = levelDb - s.AminDb;  // PeakDb + LevelDb, shifted by 6 dB
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
}

TEST(Calculate, ResultTextOfTheWorkedExample) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        OneRun p(separator);
        p.Calculate();
        const std::string sep(1, separator);
        EXPECT_EQ(p.result.resultText, "Rвх=301" + sep + "1 Ом;\r" + "C1=C5=24" + sep +
                                           "7 пФ; C2=C4=108" + sep + "6 пФ;\r" + "C3=168" + sep +
                                           "7 пФ;\r" + "Амин=0" + sep +
                                           "802 дБ; F(Амин)=Fo+1762 Гц;\r" + "A(Fo)=-12" + sep +
                                           "05 дБ; dF(-3 дБ)=2543 Гц.");
    }
}

TEST(Calculate, ResultTextOfTheFourCrystalCwLadder) {
    OneRun p;
    p.design.filterType = 5;
    p.Calculate();
    ASSERT_TRUE(p.Warnings().empty());
    const std::string es = "\u0421";
    EXPECT_EQ(p.result.resultText.substr(0, p.result.resultText.find("\rАмин=")),
              "Rвх=616.1 Ом;\rC1=" + es + "7=34.45 пФ; C2=C6=108.6 пФ;\rC3=" + es +
                  "5=43.78 пФ; C4=23.61 пФ;");
}

struct LevelCase {
    const char* text;
    std::string warning;
    double levelAfter;
};

TEST(Calculate, LevelWarnings) {
    const LevelCase cases[] = {
        {"", " Задайте уровень АЧХ ! ", 0},
        {"0", " Уровень АЧХ задан не корректно ! ", 0},
        {"3", " Уровень АЧХ задан не корректно ! ", 3},
        {"-0", " Уровень АЧХ задан не корректно ! ", 0},
        {"1e-300", " Уровень АЧХ задан не корректно ! ", 1e-300},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "level '" << c.text << "'");
        OneRun p;
        p.design.texts.Level = c.text;
        p.Calculate();
        EXPECT_EQ(p.Warnings(), std::vector<std::string>{c.warning});
        EXPECT_EQ(p.result.input.LevelDb, c.levelAfter);
        // The design run's results survive; nothing is plotted and the result box stays empty.
        EXPECT_NEAR(p.M().AFoDb, -12.05, 0.005);
        EXPECT_TRUE(p.result.curve.empty());
        EXPECT_TRUE(p.result.resultText.empty());
        EXPECT_FALSE(p.result.keepsPreviousResult);
    }
}

TEST(Calculate, LevelTakesEitherSeparator) {
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
        OneRun p(c.separator);
        p.design.texts.Level = c.level;
        if (c.error == nullptr) {
            p.Calculate();
            EXPECT_TRUE(p.Warnings().empty());
            EXPECT_EQ(p.result.input.LevelDb, -3.5);
            continue;
        }
        p.Calculate();
        EXPECT_EQ(p.result.outcome, Outcome::Error);
        EXPECT_EQ(MessageText(p.result.message),
                  c.error + std::string("\nВ поле Уровень АЧХ (дБ) нужно число: цифры и не "
                                        "больше одной запятой или точки"));
        EXPECT_FALSE(p.result.sweepStarted);
        EXPECT_TRUE(p.result.resultText.empty());
    }
}

TEST(Calculate, ArithmeticFaultIsAnError) {
    OneRun p;
    p.design.texts.Df = "0";
    p.Calculate();
    EXPECT_EQ(p.result.outcome, Outcome::Error);
    EXPECT_EQ(p.result.message, (Message{MessageId::DivisionByZero, "", Field::Df}));
    EXPECT_FALSE(p.result.keepsPreviousResult);
}

// A fault of a field keeps the words it has always had and adds, in the user's language, the
// field and what it must hold; both ways of design alike. A fault of no field adds nothing.
TEST(Calculate, AFaultOfAFieldNamesTheFieldAndItsRule) {
    const std::string aboveZero = " должна быть больше 0";
    const std::string foRange = "Fo(кГц) должна быть от 1 до 1000000";
    const std::string number = " нужно число: цифры и не больше одной запятой или точки";
    struct Case {
        std::string InputTexts::*field;
        const char* text;
        bool exact;
        std::string russian;
        std::string english;  // the rule's line alone
    };
    const Case cases[] = {
        {&InputTexts::Fo, "0", false, "Invalid floating point operation\nFo(кГц)" + aboveZero,
         "Fo(kHz) must be above 0"},
        {&InputTexts::Fo, "0", true, "Invalid floating point operation\nFo(кГц)" + aboveZero,
         "Fo(kHz) must be above 0"},
        {&InputTexts::Ld, "0", false, "Floating point division by zero\nLd(мГн)" + aboveZero,
         "Ld(mH) must be above 0"},
        {&InputTexts::Df, "0", true, "Floating point division by zero\nПолоса dF (Гц)" + aboveZero,
         "Band dF (Hz) must be above 0"},
        {&InputTexts::Fo, ".", false,
         "'.' is not a valid floating point value\nВ поле Fo(кГц)" + number,
         "The field Fo(kHz) takes a number: digits with at most one decimal comma or point"},
        {&InputTexts::Cs, "1.2.3", false,
         "'1.2.3' is not a valid floating point value\nВ поле Cs(пФ)" + number,
         "The field Cs(pF) takes a number: digits with at most one decimal comma or point"},
        {&InputTexts::Level, "-", true,
         "'-' is not a valid floating point value\nВ поле Уровень АЧХ (дБ)" + number,
         "The field Level (dB) takes a number: digits with at most one decimal comma or point"},
        {&InputTexts::Fo, "0.001", false, NoSolution + "\n" + foRange,
         "Fo(kHz) must be from 1 to 1000000"},
        {&InputTexts::Fo, "99999999999", false, NoSolution + "\n" + foRange,
         "Fo(kHz) must be from 1 to 1000000"},
        {&InputTexts::Fo, "99999999999", true, NoSolution + "\n" + foRange,
         "Fo(kHz) must be from 1 to 1000000"},
        // A 4CW of Ck 0 has no solution at a good Fo: no rule of Fo.
        {&InputTexts::Ck, "0", false, NoSolution, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << (c.exact ? " exact" : ""));
        OneRun p;
        p.design.texts.*c.field = c.text;
        p.design.exact = c.exact;
        if (c.field == &InputTexts::Ck) p.design.filterType = int(FilterType::Cw4);
        p.Calculate();
        EXPECT_NE(p.result.outcome, Outcome::Done);
        EXPECT_EQ(MessageText(p.result.message), c.russian);
        const std::string english = MessageText(p.result.message, Language::English);
        EXPECT_EQ(english.substr(english.find('\n') + 1), c.english.empty() ? english : c.english);
    }
}

TEST(Calculate, DesignRunWarningEndsTheCommand) {
    OneRun p;
    p.design.texts.Rd = "0";
    p.Calculate();
    EXPECT_EQ(p.Warnings(), std::vector<std::string>{" Активное сопротивление должно быть\n"
                                                     "            отлично от нуля ! "});
    // Stopped before anything was computed: a window keeps the previous summary.
    EXPECT_TRUE(p.result.keepsPreviousResult);
    EXPECT_FALSE(p.result.sweepStarted);
}

TEST(Calculate, PeakSearchBeyondTheBandLimit) {
    OneRun p;
    p.design.texts.Cs = "0.5";
    p.design.texts.Df = "300000";
    p.Calculate();
    EXPECT_EQ(p.Warnings(), std::vector<std::string>{BandLimit});
    EXPECT_EQ(p.result.steps.PeakSteps, 30001);
    EXPECT_EQ(p.M().PeakHz - p.FoHz(), 30000);
    EXPECT_EQ(p.result.steps.EdgeSteps, 0);
    EXPECT_TRUE(p.result.curve.empty());
    EXPECT_TRUE(p.result.resultText.empty());
}

TEST(Calculate, EdgeSearchBeyondTheBandLimit) {
    OneRun p;
    p.design.texts.Level = "-80";
    p.Calculate();
    EXPECT_EQ(p.Warnings(), std::vector<std::string>{BandLimit});
    EXPECT_EQ(p.result.steps.PeakSteps, 1763);
    EXPECT_EQ(p.result.steps.EdgeSteps, 30001);
    EXPECT_EQ(p.M().LowerEdgeHz - p.FoHz(), -30000);
    EXPECT_TRUE(p.result.curve.empty());
}

TEST(Calculate, PlotSweepIsBoundedAndItsPointsAreKept) {
    OneRun p;
    p.design.texts.Level = "-75";
    p.Calculate();
    EXPECT_EQ(p.Warnings(), std::vector<std::string>{BandLimit});
    EXPECT_EQ(p.result.steps.SweepSteps, 30001);
    // The 30000 points plotted are kept, to be drawn before the message.
    EXPECT_TRUE(p.result.sweepStarted);
    EXPECT_EQ(p.result.curve.size(), 30000u);
    EXPECT_EQ(p.result.curve.capacity(), std::size_t{MaxSearchSteps + 1});
    EXPECT_EQ(p.M().MeasuredDfHz, 0);
    EXPECT_TRUE(p.result.resultText.empty());
}

TEST(Calculate, EdgeSearchDirection) {
    struct Case {
        const char* level;
        bool foInsideBand;
    };
    for (const Case& c : {Case{"-3", false}, Case{"-20", true}, Case{"-60", true}}) {
        SCOPED_TRACE(c.level);
        OneRun p;
        p.design.texts.Level = c.level;
        p.Calculate();
        ASSERT_TRUE(p.Warnings().empty());
        const Measurements& s = p.M();
        const double levelDb = p.result.input.LevelDb;
        const double levelY = levelDb - s.AminDb;
        const std::vector<CurvePoint>& curve = p.result.curve;
        ASSERT_FALSE(curve.empty());
        EXPECT_EQ(curve.front().x, (s.LowerEdgeHz + 1 - p.FoHz()) / 1000);
        EXPECT_EQ(s.AFoDb >= levelY, c.foInsideBand);
        if (c.foInsideBand) {
            // Downward: the edge is the first frequency below Fo under the level.
            EXPECT_LT(s.LowerEdgeHz, p.FoHz());
            EXPECT_EQ(p.result.steps.EdgeSteps, p.FoHz() - s.LowerEdgeHz);
        } else {
            // Upward: the edge is the first frequency above Fo over the level.
            EXPECT_GT(s.LowerEdgeHz, p.FoHz());
            EXPECT_EQ(p.result.steps.EdgeSteps, s.LowerEdgeHz - p.FoHz());
            EXPECT_GE(curve.front().y, levelY);
        }
        EXPECT_EQ(s.MeasuredDfHz, s.UpperEdgeHz - s.LowerEdgeHz);
        EXPECT_EQ(static_cast<double>(curve.size()), s.UpperEdgeHz - s.LowerEdgeHz);
    }
}

TEST(Calculate, ResponseFallingRightAboveFo) {
    OneRun p;
    p.design.texts.Rd = "1000";
    p.Calculate();
    ASSERT_TRUE(p.Warnings().empty());
    EXPECT_EQ(p.result.steps.PeakSteps, 1);
    EXPECT_EQ(p.M().PeakHz, p.FoHz());
    EXPECT_EQ(p.M().AminDb, -6 - p.M().RespAtFoDb);
    EXPECT_NE(p.result.resultText.find(" F(Амин)=Fo+0 Гц;"), std::string::npos);
}

TEST(Calculate, FirstMaximumSetsTheLevelOfARippledResponse) {
    OneRun p;
    p.design.responseType = 4;  // Chebyshev 0.177 dB, with the resonators' losses
    p.Calculate();
    ASSERT_TRUE(p.Warnings().empty());
    const Measurements& s = p.M();
    const std::vector<CurvePoint>& curve = p.result.curve;
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

TEST(Calculate, NoSolutionBelowZeroHertz) {
    OneRun p;
    p.design.texts.Fo = "1";
    p.design.texts.Level = "-100";
    p.Calculate();
    EXPECT_EQ(p.Warnings(), std::vector<std::string>{NoSolution});
    EXPECT_TRUE(p.result.curve.empty());
}

TEST(Calculate, OverlayStatusTextWithCk) {
    struct Case {
        int filterType;
        int responseType;
        const char* ck;
        std::string panel;
    };
    const Case cases[] = {
        {5, 1, "91", "АЧХ1: B04C-3100; Ck=91 пФ"},
        {5, 2, "91", "АЧХ1: T04C-103100; Ck=91 пФ"},
        {7, 3, "82.45", "АЧХ1: T08C-153100; Ck=82.45 пФ"},
        {6, 1, "1234.5", "АЧХ1: B06C-3100; Ck=1235 пФ"},
        {2, 2, "91", "АЧХ1: T04-10-3100; "},
        {4, 5, "91", "АЧХ1: T08-25-3100; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel);
        OneRun p;
        p.design.filterType = c.filterType;
        p.design.responseType = c.responseType;
        p.design.texts.Ck = c.ck;
        p.Calculate();
        ASSERT_TRUE(p.Warnings().empty());
        EXPECT_EQ(OverlayStatusText(0, p.result, p.design.texts.Df, '.'), c.panel);
    }
}

TEST(Calculate, EnglishSummaryAndStatusTextOfTheStartDesign) {
    OneRun p;
    p.design.filterType = 5;
    p.result = feldan::Calculate(p.design, '.', Language::English);
    ASSERT_EQ(p.result.outcome, Outcome::Done);
    EXPECT_EQ(p.result.resultText.substr(0, p.result.resultText.find('\r')), "Rin=616.1 Ohm;");
    EXPECT_EQ(OverlayStatusText(4, p.result, "3100", '.', Language::English),
              "Curve 5: B04C-3100; Ck=91 pF");
    // The numbers do not depend on the language.
    EXPECT_EQ(p.result.resultText,
              ComposeResultText(feldan::Calculate(p.design, '.'), '.', Language::English));
}

TEST(Calculate, DfTextAppearsAsTyped) {
    OneRun p;
    p.design.texts.Df = "3100,0";
    p.Calculate();
    ASSERT_TRUE(p.Warnings().empty());
    EXPECT_EQ(OverlayStatusText(3, p.result, p.design.texts.Df, '.'), "АЧХ4: B04-3100,0; ");
}

}  // namespace
}  // namespace feldan
