#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "engine/errors.h"
#include "engine/synthesis.h"

namespace feldan {
namespace {

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Half a unit of the last of `digits` significant digits of a printed value.
double PrintedTolerance(double printed, int digits) {
    return 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(printed))) - (digits - 1));
}

#define EXPECT_PRINTED(actual, printed, digits) \
    EXPECT_NEAR(actual, printed, PrintedTolerance(printed, digits))

std::string ExactText(double value) {
    char buffer[40];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// A design run on the window's start data; runs one after another write into the same result.
struct Bench {
    Bench(int filterType = 2, int responseType = 1) {
        design.filterType = filterType;
        design.responseType = responseType;
    }
    bool Run(char separator = '.') {
        const MessageId warning = RunDesign(design, *circuit, result, separator);
        warnings.clear();
        if (warning != MessageId::None) warnings.emplace_back(MessageText(warning));
        return warning == MessageId::None;
    }
    DesignFields design;
    CalculationResult result;
    std::unique_ptr<CircuitAnalysis> circuit = std::make_unique<CircuitAnalysis>();
    std::vector<std::string> warnings;
};

TEST(RunDesign, WorkedValuesOfTheFourCrystalLadder) {
    Bench bench(2, 1);
    ASSERT_TRUE(bench.Run());
    const CalculationResult& s = bench.result;
    EXPECT_PRINTED(s.synthesis.FreqRatio, 2858.6245, 8);
    EXPECT_PRINTED(s.synthesis.MotionalCapF, 3.1936e-14, 5);
    EXPECT_PRINTED(s.synthesis.CapScalePF, 91.293, 5);
    EXPECT_PRINTED(s.synthesis.TermOhm, 257.02, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[1], 108.58, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[2], 168.71, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[13], 24.703, 5);
    EXPECT_PRINTED(s.synthesis.InputOhm, 301.12, 5);
    EXPECT_EQ(s.synthesis.SourceOhm, s.synthesis.TermOhm);
    EXPECT_EQ(s.synthesis.LoadOhm, s.synthesis.TermOhm);
    EXPECT_EQ(s.input.CkPF, 0);
    // The analysis at Fo.
    EXPECT_PRINTED(s.measurements.RespAtFoDb, -18.05, 4);

    EXPECT_EQ(s.measurements.AFoDb, s.measurements.RespAtFoDb + 6);
    EXPECT_TRUE(bench.warnings.empty());
}

TEST(RunDesign, WorkedValuesOfTheFourCrystalCwLadder) {
    Bench bench(5, 1);
    ASSERT_TRUE(bench.Run());
    const CalculationResult& s = bench.result;
    EXPECT_EQ(s.input.CkPF, 91);
    EXPECT_PRINTED(s.synthesis.CapPF[1], 108.58, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[21], 59.114, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[22], 23.612, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[23], 43.776, 5);
    EXPECT_PRINTED(s.synthesis.CapPF[13], 34.455, 5);
    EXPECT_PRINTED(s.synthesis.InputOhm, 616.15, 5);
}

struct SlotValue {
    int slot;  // 0 stands for InputOhm, -1 for TermOhm
    double printed;
};

struct WorkedTopology {
    int filterType;
    std::vector<SlotValue> values;
};

// Worked by hand from the window's start values (Butterworth, Ck 91 pF), five digits each. The
// end shunt (slot 13, 20 for 8CW) and InputOhm are the parallel equivalent at Fo of TermOhm in
// series with the end series capacitor, worked with the true π.
TEST(RunDesign, WorkedValuesOfTheOtherTopologies) {
    const WorkedTopology cases[] = {
        {1, {{1, 129.11}, {13, 43.036}, {0, 295.09}, {-1, 196.73}}},
        {3,
         {{1, 78.102},
          {2, 150.89},
          {3, 176.38},
          {4, 140.17},
          {5, 54.132},
          {6, 43.019},
          {13, 13.476},
          {0, 417.35}}},
        {4,
         {{1, 60.109},
          {2, 124.09},
          {3, 164.91},
          {4, 179.12},
          {5, 76.64},
          {6, 94.586},
          {17, 46.404},
          {15, 21.566},
          {18, 37.599},
          {13, 9.4475},
          {0, 545.72}}},
        {6,
         {{1, 78.102},
          {2, 150.89},
          {3, 176.38},
          {4, 140.17},
          {24, 56.766},
          {28, 55.178},
          {25, 16.902},
          {26, 28.027},
          {27, 46.222},
          {13, 23.235},
          {0, 643.44}}},
        {7,
         {{1, 52.5},
          {2, 60.109},
          {10, 94.586},
          {3, 43.188},
          {4, 16.141},
          {5, 22.011},
          {6, 164.91},
          {11, 76.64},
          {7, 28.407},
          {8, 6.5979},
          {20, 16.551},
          {0, 736.29}}},
    };
    for (const WorkedTopology& c : cases) {
        Bench bench(c.filterType, 1);
        ASSERT_TRUE(bench.Run()) << "FilterType " << c.filterType;
        for (const SlotValue& v : c.values) {
            SCOPED_TRACE(testing::Message() << "FilterType " << c.filterType << " slot " << v.slot);
            const double actual = v.slot == 0    ? bench.result.synthesis.InputOhm
                                  : v.slot == -1 ? bench.result.synthesis.TermOhm
                                                 : bench.result.synthesis.CapPF[v.slot];
            EXPECT_PRINTED(actual, v.printed, 5);
        }
    }
}

// Each topology writes its own slots and no other.
TEST(RunDesign, WritesExactlyTheSlotsOfItsTopology) {
    const std::set<int> written[] = {
        {1, 13},
        {1, 2, 13},
        {1, 2, 3, 4, 5, 6, 13},
        {1, 2, 3, 4, 5, 6, 13, 15, 17, 18},
        {1, 2, 13, 21, 22, 23},
        {1, 2, 3, 4, 13, 24, 25, 26, 27, 28},
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 20},
    };
    for (int type = 1; type <= ClassicFilterTypeCount; ++type) {
        SCOPED_TRACE(testing::Message() << "FilterType " << type);
        Bench bench(type, 2);
        bench.result.synthesis.CapPF.fill(-1);
        ASSERT_TRUE(bench.Run());
        for (int k = 1; k <= CapSlotCount; ++k) {
            SCOPED_TRACE(testing::Message() << "slot " << k);
            if (written[type - 1].count(k) != 0) {
                EXPECT_GT(bench.result.synthesis.CapPF[k], 0);
                EXPECT_TRUE(std::isfinite(bench.result.synthesis.CapPF[k]));
            } else {
                EXPECT_EQ(bench.result.synthesis.CapPF[k], -1);
            }
        }
    }
}

TEST(RunDesign, EightCrystalCwMirrorsItsSlots) {
    for (int response = 1; response <= ClassicResponseTypeCount; ++response) {
        SCOPED_TRACE(testing::Message() << "ResponseType " << response);
        Bench bench(7, response);
        ASSERT_TRUE(bench.Run());
        const auto& c = bench.result.synthesis.CapPF;
        const int pairs[][2] = {{17, 1}, {16, 2}, {15, 3}, {14, 4}, {13, 5}, {12, 6}, {9, 7}};
        for (const auto& pair : pairs) {
            EXPECT_EQ(c[pair[0]], c[pair[1]])
                << "C[" << pair[0] << "] against C[" << pair[1] << "]";
        }
    }
}

TEST(RunDesign, SlotsOfAnotherTopologyAreKept) {
    Bench bench(7, 3);
    ASSERT_TRUE(bench.Run());
    const auto afterCw8 = bench.result.synthesis.CapPF;
    bench.design.filterType = 2;
    ASSERT_TRUE(bench.Run());
    for (int k = 1; k <= CapSlotCount; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << k);
        if (k == 1 || k == 2 || k == 13) {
            EXPECT_NE(bench.result.synthesis.CapPF[k], afterCw8[k]);
        } else {
            EXPECT_EQ(bench.result.synthesis.CapPF[k], afterCw8[k]);
        }
    }
}

TEST(RunDesign, LadderAfterCwSetsCkToZero) {
    for (int ladder = 1; ladder <= 4; ++ladder) {
        SCOPED_TRACE(testing::Message() << "FilterType " << ladder);
        Bench bench(6, 1);
        ASSERT_TRUE(bench.Run());
        ASSERT_EQ(bench.result.input.CkPF, 91);
        bench.design.filterType = ladder;
        ASSERT_TRUE(bench.Run());
        EXPECT_EQ(bench.result.input.CkPF, 0);
    }
}

TEST(RunDesign, LargeCkApproachesTheLadderEnds) {
    Bench bench(5, 1);
    bench.design.texts.Ck = "1e9";
    ASSERT_TRUE(bench.Run());
    const auto& c = bench.result.synthesis.CapPF;
    EXPECT_NEAR(c[21] / c[2], 1, 1e-6);
    EXPECT_NEAR(c[23] / (c[2] / 2), 1, 1e-6);
    EXPECT_NEAR(c[22] / (1e9 / 2), 1, 1e-6);
}

struct WarningCase {
    const char* name;
    int filterType;
    std::function<void(InputTexts&)> change;
    std::string warning;
    bool resultCleared;  // the input checks had passed
};

TEST(RunDesign, WarningsAndTheirTriggers) {
    const std::string missing = " Необходимо задать все данные для расчета ! ";
    const std::string zeroTyped =
        " Активное сопротивление должно быть\n            отлично от нуля ! ";
    const std::string zeroValue =
        " Активное сопротивление должно быть\n           отлично от нуля !!! ";
    const std::string noSolution = " Решение невозможно ! ";
    const WarningCase cases[] = {
        {"Fo empty", 2, [](InputTexts& t) { t.Fo = ""; }, missing, false},
        {"Ld empty", 2, [](InputTexts& t) { t.Ld = ""; }, missing, false},
        {"Cs empty", 2, [](InputTexts& t) { t.Cs = ""; }, missing, false},
        {"Rd empty", 2, [](InputTexts& t) { t.Rd = ""; }, missing, false},
        {"dF empty", 2, [](InputTexts& t) { t.Df = ""; }, missing, false},
        {"Ck empty for a ladder", 2, [](InputTexts& t) { t.Ck = ""; }, missing, false},
        {"Ck empty for a CW ladder", 6, [](InputTexts& t) { t.Ck = ""; }, missing, false},
        {"empty field before Rd 0", 2,
         [](InputTexts& t) {
             t.Rd = "0";
             t.Df = "";
         },
         missing, false},
        {"Rd typed as 0", 2, [](InputTexts& t) { t.Rd = "0"; }, zeroTyped, false},
        {"Rd 0.0", 2, [](InputTexts& t) { t.Rd = "0.0"; }, zeroValue, true},
        {"Rd 00", 2, [](InputTexts& t) { t.Rd = "00"; }, zeroValue, true},
        {"Rd 0,0", 3, [](InputTexts& t) { t.Rd = "0,0"; }, zeroValue, true},
        {"Rd -0", 7, [](InputTexts& t) { t.Rd = "-0"; }, zeroValue, true},
        {"4CW with Ck 0", 5, [](InputTexts& t) { t.Ck = "0"; }, noSolution, true},
        {"6CW with Ck 0", 6, [](InputTexts& t) { t.Ck = "0"; }, noSolution, true},
        {"8CW with Ck 0", 7, [](InputTexts& t) { t.Ck = "0"; }, noSolution, true},
        {"negative Fo", 2, [](InputTexts& t) { t.Fo = "-8861.736"; }, noSolution, true},
        {"Rd too small to have a conductance", 2, [](InputTexts& t) { t.Rd = "1e-320"; },
         noSolution, true},
    };
    for (const WarningCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.filterType, 1);
        c.change(bench.design.texts);
        EXPECT_FALSE(bench.Run());
        EXPECT_EQ(bench.warnings, std::vector<std::string>{c.warning});
        EXPECT_EQ(bench.result.keepsPreviousResult, !c.resultCleared);
    }
}

TEST(RunDesign, ZeroResistanceIsFoundAfterTheSlotsAreComputed) {
    Bench bench(2, 1);
    bench.design.texts.Rd = "0.0";
    ASSERT_FALSE(bench.Run());
    EXPECT_EQ(bench.result.input.RdOhm, 0);
    EXPECT_PRINTED(bench.result.synthesis.CapPF[1], 108.58, 5);
    EXPECT_EQ(bench.result.synthesis.SourceOhm, bench.result.synthesis.TermOhm);
    // The analysis did not run: the results keep their earlier (zero) values.
    EXPECT_EQ(bench.result.measurements.RespAtFoDb, 0);
}

TEST(RunDesign, SelectionOutsideTheListsIsRefused) {
    struct SelectionCase {
        int filterType;
        int responseType;
        std::string warning;
    };
    const SelectionCase cases[] = {
        {26, 1, " Тип фильтра задан не корректно ! "},
        {0, 1, " Тип фильтра задан не корректно ! "},
        {2, 15, " Тип АЧХ задан не корректно ! "},
        {-1, 0, " Тип фильтра задан не корректно ! "},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.filterType << "/" << c.responseType);
        Bench bench(2, 1);
        ASSERT_TRUE(bench.Run());
        const double g1 = bench.result.synthesis.ProtoG1;
        const double respAtFo = bench.result.measurements.RespAtFoDb;
        bench.design.filterType = c.filterType;
        bench.design.responseType = c.responseType;
        bench.design.texts.Fo = "5000";
        EXPECT_FALSE(bench.Run());
        EXPECT_EQ(bench.warnings, std::vector<std::string>{c.warning});
        EXPECT_EQ(bench.result.synthesis.ProtoG1, g1);
        EXPECT_EQ(bench.result.synthesis.PrototypeName, "B04-");
        EXPECT_EQ(bench.result.input.FoKHz, 8861.736);
        EXPECT_EQ(bench.result.measurements.RespAtFoDb, respAtFo);
    }
}

struct ErrorCase {
    const char* name;
    int filterType;
    char separator;
    std::function<void(InputTexts&)> change;
    std::string message;
};

TEST(RunDesign, ConversionErrorsCarryTheTextAsConverted) {
    const ErrorCase cases[] = {
        {"letters in Fo", 2, '.', [](InputTexts& t) { t.Fo = "abc"; },
         "'abc' is not a valid floating point value"},
        {"two separators after normalising", 2, ',', [](InputTexts& t) { t.Fo = "1.2.3"; },
         "'1,2,3' is not a valid floating point value"},
        {"Fo converted before dF", 2, '.',
         [](InputTexts& t) {
             t.Fo = "x";
             t.Df = "y";
         },
         "'x' is not a valid floating point value"},
        {"dF converted before Ld", 2, '.',
         [](InputTexts& t) {
             t.Df = "y";
             t.Ld = "z";
         },
         "'y' is not a valid floating point value"},
        {"Ld before Cs", 2, '.',
         [](InputTexts& t) {
             t.Ld = "z";
             t.Cs = "w";
         },
         "'z' is not a valid floating point value"},
        {"Cs before Rd", 2, '.',
         [](InputTexts& t) {
             t.Cs = "w";
             t.Rd = "v";
         },
         "'w' is not a valid floating point value"},
        {"Ck normalised like the others", 5, ',', [](InputTexts& t) { t.Ck = "91.5x"; },
         "'91,5x' is not a valid floating point value"},
        {"Ck with two separators", 6, '.', [](InputTexts& t) { t.Ck = "91,5.1"; },
         "'91.5.1' is not a valid floating point value"},
        {"Ck of letters for 8CW", 7, '.', [](InputTexts& t) { t.Ck = "abc"; },
         "'abc' is not a valid floating point value"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.filterType, 1);
        c.change(bench.design.texts);
        try {
            bench.Run(c.separator);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            // The words of the fault come first; the field's rule follows on a line of its own.
            EXPECT_EQ(FirstLine(error.what()), c.message);
        }
        EXPECT_TRUE(bench.warnings.empty());
    }
}

TEST(RunDesign, CkIsNotReadForTheLadders) {
    for (int ladder = 1; ladder <= 4; ++ladder) {
        SCOPED_TRACE(testing::Message() << "FilterType " << ladder);
        Bench bench(ladder, 1);
        bench.design.texts.Ck = "not a number";
        EXPECT_TRUE(bench.Run());
    }
}

TEST(RunDesign, FieldTextsAcceptEitherSeparator) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        Bench bench(5, 1);
        bench.design.texts.Ld = "10,1";
        bench.design.texts.Fo = "8861.736";
        bench.design.texts.Ck = separator == ',' ? "91.5" : "91,5";
        ASSERT_TRUE(bench.Run(separator));
        EXPECT_EQ(bench.result.input.LdMH, 10.1);
        EXPECT_EQ(bench.result.input.FoKHz, 8861.736);
        EXPECT_EQ(bench.result.input.CkPF, 91.5);
    }
}

TEST(RunDesign, ArithmeticFaultsAreReportedBeforeAnyInfinity) {
    const std::string byZero = "Floating point division by zero";
    const std::string invalid = "Invalid floating point operation";
    const ErrorCase cases[] = {
        {"zero dF", 2, '.', [](InputTexts& t) { t.Df = "0"; }, byZero},
        {"zero Ld", 2, '.', [](InputTexts& t) { t.Ld = "0"; }, byZero},
        {"zero Fo", 2, '.', [](InputTexts& t) { t.Fo = "0"; }, invalid},
        {"zero Fo and dF", 2, '.',
         [](InputTexts& t) {
             t.Fo = "0";
             t.Df = "0";
         },
         invalid},
        {"Fo too large to square", 2, '.', [](InputTexts& t) { t.Fo = "1e200"; },
         "Floating point overflow"},
        {"Ld too small to divide by", 4, '.', [](InputTexts& t) { t.Ld = "1e-320"; },
         "Floating point overflow"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.filterType, 1);
        c.change(bench.design.texts);
        try {
            bench.Run(c.separator);
            ADD_FAILURE() << "no error";
        } catch (const ArithmeticError& error) {
            EXPECT_EQ(FirstLine(error.what()), c.message);
        }
        EXPECT_TRUE(std::isfinite(bench.result.synthesis.FreqRatio));
        EXPECT_TRUE(std::isfinite(bench.result.synthesis.CapScalePF));
        EXPECT_TRUE(std::isfinite(bench.result.synthesis.TermOhm));
    }
}

// A Ck that cancels a capacitance exactly makes a series combination divide by zero.
TEST(RunDesign, CkThatCancelsACapacitanceIsADivisionByZero) {
    struct CancelCase {
        int filterType;
        int slot;       // the capacitance that Ck cancels
        double factor;  // Ck = -factor · C[slot]
    };
    const CancelCase cases[] = {
        {5, 2, 1.0},  // ser(C[2], Ck)
        {5, 2, 0.5},  // Ck + Ck + C[2]
        {6, 2, 1.0},  // ser(C[2], Ck)
        {6, 4, 1.0},  // ser(C[4], Ck)
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "FilterType " << c.filterType << " slot " << c.slot);
        Bench bench(c.filterType, 1);
        ASSERT_TRUE(bench.Run());
        const double cancelling = -c.factor * bench.result.synthesis.CapPF[c.slot];
        bench.design.texts.Ck = ExactText(cancelling);
        try {
            bench.Run();
            ADD_FAILURE() << "no error";
        } catch (const ArithmeticError& error) {
            EXPECT_EQ(std::string(error.what()), "Floating point division by zero");
        }
        EXPECT_EQ(bench.result.input.CkPF, cancelling);
    }
}

TEST(AnalyseAt, FrequenciesWithoutASolution) {
    Bench bench(2, 1);
    ASSERT_TRUE(bench.Run());
    const double before = bench.result.measurements.RespAtFoDb;
    for (double freqHz : {0.0, -1.0, -8861736.0}) {
        SCOPED_TRACE(freqHz);
        double responseDb = before;
        EXPECT_FALSE(AnalyseAt(*bench.circuit, freqHz, 0, responseDb));
        EXPECT_EQ(responseDb, before);
    }
    double responseDb = before;
    EXPECT_TRUE(AnalyseAt(*bench.circuit, 8861736.0 + 1762, 0, responseDb));
    EXPECT_GT(responseDb, before);
}

}  // namespace
}  // namespace feldan
