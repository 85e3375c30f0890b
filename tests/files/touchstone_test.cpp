#include "files/touchstone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/crystal.h"
#include "files/file_error.h"
#include "files/measured_json.h"

namespace feldan {
namespace {

using C = std::complex<double>;

// S11 = 0.25∠90°, S21 = 0.5∠−30°, S12 = 0.5∠−30°, S22 = 0.1∠0° at 10.7 MHz, written in each
// format and frequency unit the way writers do.
const C S11 = std::polar(0.25, std::numbers::pi / 2);
const C S21 = std::polar(0.5, -std::numbers::pi / 6);
const C S22 = 0.1;

struct FormatCase {
    const char* name;
    std::string text;
};

TEST(Touchstone, EveryFormatAndUnitGivesTheSameValues) {
    const std::string db21 = std::to_string(20 * std::log10(0.5));
    const std::string db11 = std::to_string(20 * std::log10(0.25));
    const std::string db22 = std::to_string(20 * std::log10(0.1));
    const FormatCase cases[] = {
        {"RI in Hz",
         "# Hz S RI R 50\n10700000 0 0.25 0.4330127018922193 -0.25 "
         "0.4330127018922193 -0.25 0.1 0\n"},
        {"MA in kHz, upper case", "# KHZ S MA R 50\n10700 0.25 90 0.5 -30 0.5 -30 0.1 0\n"},
        {"DB in MHz, options in another order", "#  dB mHz R 50 s\n10.7 " + db11 + " 90 " + db21 +
                                                    " -30 " + db21 + " -30 " + db22 + " 0\n"},
        {"MA in GHz by default, tabs, CR LF, comments",
         "! made by hand\r\n#\r\n0.0107\t0.25\t90\t0.5\t-30\t0.5 -30 0.1 0 ! inline\r\n"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TouchstoneData d = ParseTouchstone(c.text, 2, "f.s2p");
        ASSERT_EQ(d.size(), 1u);
        EXPECT_NEAR(d.frequencyHz[0], 10.7e6, 1e-6);
        EXPECT_NEAR(std::abs(d.S11(0) - S11), 0, 1e-6);
        EXPECT_NEAR(std::abs(d.S21(0) - S21), 0, 1e-6);
        EXPECT_NEAR(std::abs(d.S12(0) - S21), 0, 1e-6);
        EXPECT_NEAR(std::abs(d.S22(0) - S22), 0, 1e-6);
        EXPECT_EQ(d.referenceOhm, 50);
        EXPECT_TRUE(d.reverseMeasured);
    }
}

TEST(Touchstone, NanoVnaFileWithoutReverseMeasurement) {
    const std::string text =
        "# Hz S RI R 50\r\n"
        "10000000 -0.512345 0.100000 0.312000 -0.400000 0.000000 0.000000 0.000000 0.000000\r\n"
        "10001000 -0.510000 0.101000 0.315000 -0.398000 0.000000 0.000000 0.000000 0.000000\r\n";
    const TouchstoneData d = ParseTouchstone(text, 2, "nano.s2p");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_FALSE(d.reverseMeasured);
    EXPECT_EQ(d.S21(1), C(0.315, -0.398));
}

TEST(Touchstone, Version2KeywordsAndNoiseData) {
    const std::string text =
        "[Version] 2.0\n"
        "# MHz S RI R 50\n"
        "[Number of Ports] 2\n"
        "[Two-Port Data Order] 12_21\n"
        "[Number of Frequencies] 2\n"
        "[Reference] 12.5\n"
        "12.5\n"
        "[Network Data]\n"
        "1 0.1 0 0.2 0 0.3 0 0.4 0\n"
        "2 0.1 0 0.2 0 0.3 0 0.4 0\n"
        "[Noise Data]\n"
        "1 2.5 0.5 10 0.3\n"
        "[End]\n"
        "garbage after the end\n";
    const TouchstoneData d = ParseTouchstone(text, 2, "v2.s2p");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d.referenceOhm, 12.5);
    // 12_21: the second pair is S12, the third S21.
    EXPECT_EQ(d.S12(0), C(0.2));
    EXPECT_EQ(d.S21(0), C(0.3));
}

TEST(Touchstone, Version1NoiseBlockIsSkipped) {
    const std::string text =
        "# GHz S MA R 50\n"
        "1 0.1 0 0.2 0 0.3 0 0.4 0\n"
        "2 0.1 0 0.2 0 0.3 0 0.4 0\n"
        "1 2.5 0.5 10 0.3\n"
        "2 2.6 0.5 11 0.3\n";
    EXPECT_EQ(ParseTouchstone(text, 2, "noise.s2p").size(), 2u);
}

TEST(Touchstone, RepeatedFrequenciesAreMergedIntoTheirMean) {
    const std::string text = "# Hz S RI R 50\n5 0.2 0\n5 0.4 0\n5 0.6 0.3\n6 1 1\n";
    const TouchstoneData d = ParseTouchstone(text, 1, "one.s1p");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_NEAR(std::abs(d.S11(0) - C(0.4, 0.1)), 0, 1e-15);
    EXPECT_EQ(d.S11(1), C(1, 1));
}

struct BadCase {
    const char* name;
    int ports;
    std::string text;
    std::string message;
};

TEST(Touchstone, MalformedFilesNameTheFileAndTheLine) {
    const BadCase cases[] = {
        {"no data", 1, "! only a comment\n# Hz S RI\n", "«bad.sNp»: в файле нет данных"},
        {"empty", 1, "", "«bad.sNp»: в файле нет данных"},
        {"not a number", 1, "# Hz S RI\n1 0.5 x7\n", "«bad.sNp», строка 2: «x7» — не число"},
        {"NaN", 1, "# Hz S RI\n1 0.5 nan\n", "«bad.sNp», строка 2: «nan» — не число"},
        {"columns", 2, "# Hz S RI\n1 2 3 4 5 6 7\n",
         "«bad.sNp», строка 2: в строке данных должно быть 9 чисел"},
        {"one-port columns", 1, "# Hz S RI\n\n1 2 3 4\n",
         "«bad.sNp», строка 3: в строке данных должно быть 3 чисел"},
        {"a two-port row over two lines", 2, "#\r\n0.0107 0.25 90 0.5 -30\r\n0.5 -30 0.1 0\r\n",
         "«bad.sNp», строка 2: в строке данных должно быть 9 чисел"},
        {"decreasing", 1, "# Hz S RI\n2 0 0\n1 0 0\n",
         "«bad.sNp», строка 3: частота меньше, чем в предыдущей строке"},
        {"Y parameters", 1, "# Hz Y RI\n",
         "«bad.sNp», строка 1: файл содержит параметры Y, а "
         "нужны S-параметры"},
        {"reference", 1, "# Hz S RI R -50\n",
         "«bad.sNp», строка 1: опорное сопротивление "
         "должно быть положительным числом"},
        {"option word", 1, "# Hz S RI ohm\n",
         "«bad.sNp», строка 1: непонятное слово «ohm» в строке параметров"},
        {"ports", 2, "[Version] 2.0\n[Number of Ports] 3\n",
         "«bad.sNp», строка 2: число портов 3, а читаются файлы с одним или двумя портами"},
        {"count", 1, "[Version] 2.0\n[Number of Frequencies] 3\n1 0 0\n",
         "«bad.sNp»: обещано частот: 3, а в файле их другое число"},
        {"keyword", 1, "[Mixed-Mode Order] D2,1\n",
         "«bad.sNp», строка 1: ключевое слово [mixed-mode order] не поддерживается"},
        {"data order", 2, "[Two-Port Data Order] 11_22\n",
         "«bad.sNp», строка 1: ключевое слово [Two-Port Data Order] 11_22 не поддерживается"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ParseTouchstone(c.text, c.ports, "bad.sNp");
            ADD_FAILURE() << "accepted";
        } catch (const TouchstoneError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST(Touchstone, WrittenFileReadsBackToTheSameValues) {
    TouchstoneData d;
    d.ports = 2;
    d.referenceOhm = 12.5;
    for (int i = 0; i < 50; ++i) {
        d.frequencyHz.push_back(8.86e6 + 37.25 * i);
        const C s21 = std::polar(1 / (1.0 + i), 0.1 * i - 2);
        d.s.push_back({C(0.1, -1e-9 * i), s21, s21, C(-0.3, 0.7)});
    }
    const std::string bytes = TouchstoneBytes(d, {"Feldan test", "second line"});
    EXPECT_EQ(bytes.rfind("! Feldan test\n! second line\n# Hz S RI R 12.5\n", 0), 0u);
    const TouchstoneData back = ParseTouchstone(bytes, 2, "back.s2p");
    ASSERT_EQ(back.size(), d.size());
    EXPECT_EQ(back.referenceOhm, 12.5);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_NEAR(back.frequencyHz[i], d.frequencyHz[i], d.frequencyHz[i] * 1e-11);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(std::abs(back.s[i][k] - d.s[i][k]), 0, std::abs(d.s[i][k]) * 1e-11);
    }
}

// Two sweeps of one crystal by a laboratory analyser (tests/data/touchstone/SOURCES.md): seven
// digit frequencies repeat, so fewer points than rows come out; the peak is where the
// attribution says (a little lower: the rows merged into it are averaged).
TEST(Touchstone, LaboratorySweepsOfACrystal) {
    struct Case {
        const char* file;
        double peakHz;
        double peakDb;
    };
    for (const Case& c : {Case{"chili-chips-ba_uberClock_B300_25C.s2p", 10964730, -7.4},
                          Case{"chili-chips-ba_uberClock_C100_25C.s2p", 3388594, -6.9}}) {
        SCOPED_TRACE(c.file);
        const TouchstoneData d =
            ReadTouchstoneFile(std::string(FELDAN_TEST_DATA_DIR "/touchstone/") + c.file);
        EXPECT_LE(d.size(), 6401u);
        EXPECT_GT(d.size(), 3000u);
        EXPECT_TRUE(d.reverseMeasured);
        std::size_t peak = 0;
        for (std::size_t i = 0; i < d.size(); ++i) {
            if (std::abs(d.S21(i)) > std::abs(d.S21(peak))) peak = i;
        }
        EXPECT_NEAR(d.frequencyHz[peak], c.peakHz, 10);
        EXPECT_NEAR(20 * std::log10(std::abs(d.S21(peak))), c.peakDb, 0.25);
    }
}

// What the crystal fit makes of the laboratory sweeps: the crystal sits on an active board, so
// the phase cannot be matched and the fit says so; the magnitudes of the fundamental are
// described within a third of a dB, the third overtone's not (its notch is not a single C0).
TEST(Touchstone, CrystalFitOfTheLaboratorySweeps) {
    const auto fitOf = [](const char* file) {
        const TouchstoneData d =
            ReadTouchstoneFile(std::string(FELDAN_TEST_DATA_DIR "/touchstone/") + file);
        std::vector<std::complex<double>> s21;
        for (std::size_t i = 0; i < d.size(); ++i)
            s21.push_back(d.S21(i));
        return FitCrystal(d.frequencyHz, s21, SweepKind::SeriesThrough, d.referenceOhm);
    };
    const CrystalFit fundamental = fitOf("chili-chips-ba_uberClock_C100_25C.s2p");
    EXPECT_EQ(fundamental.verdict, FitVerdict::Fitted);
    EXPECT_TRUE(fundamental.magnitudesOnly);
    EXPECT_LT(fundamental.rmsErrorDb, 0.5);
    EXPECT_NEAR(fundamental.model.fsHz, 3388594, 300);
    EXPECT_GT(fundamental.model.Q(), 1e4);
    const CrystalFit overtone = fitOf("chili-chips-ba_uberClock_B300_25C.s2p");
    EXPECT_NE(overtone.verdict, FitVerdict::Fitted);
    EXPECT_NEAR(overtone.model.fsHz, 10964730, 500);
}

TEST(Touchstone, NameDecidesThePorts) {
    EXPECT_EQ(PortsOfTouchstoneName("a/b.S1P"), 1);
    EXPECT_EQ(PortsOfTouchstoneName("x.s2p"), 2);
    EXPECT_EQ(PortsOfTouchstoneName("x.s3p"), 0);
    EXPECT_THROW(ReadTouchstoneFile("/nonexistent/x.s2p"), FileError);
}

// What keeps a file from being laid over a design, in the order a user would mend it.
TEST(MeasuredFile, FaultsNameTheFileAndWhatIsMissing) {
    const std::string head = "# Hz S RI R 50\n";
    // S12 and S22 both zero: a NanoVNA's sweep of the forward direction only.
    const auto row = [](int hz, double back) {
        const std::string b = std::to_string(back);
        return std::to_string(hz) + " 0.1 0 0.5 0 " + b + " 0 " + b + " 0\n";
    };
    const std::string threeWay = head + row(1000, 0.5) + row(2000, 0.5) + row(3000, 0.5);
    const std::string oneWay = head + row(1000, 0) + row(2000, 0) + row(3000, 0);
    struct Case {
        std::string text;
        int ports;
        bool renormalised, assumed;
        const char* fault;  // the English text's end, or none
    } cases[] = {
        {threeWay, 2, true, false, nullptr},
        {oneWay, 2, false, false, nullptr},
        {oneWay, 2, true, true, nullptr},
        {oneWay, 2, true, false, "(S12 and S22 are zero); add --sym"},
        {head + row(1000, 0.5) + row(2000, 0.5), 2, false, false, "of at least 3 points is needed"},
        {"# Hz S RI R 50\n1000 0.1 0\n2000 0.1 0\n3000 0.1 0\n", 1, false, false,
         "of at least 3 points is needed"},
        {head + row(0, 0.5) + row(2000, 0.5) + row(3000, 0.5), 2, false, false, "make no span"},
    };
    for (const Case& c : cases) {
        const TouchstoneData data = ParseTouchstone(c.text, c.ports, "f.s2p");
        const auto fault = FaultOfMeasuredFile(data, "f.s2p", c.renormalised, c.assumed, "--sym");
        ASSERT_EQ(fault.has_value(), c.fault != nullptr) << c.text;
        if (!fault) continue;
        EXPECT_TRUE(fault->english.starts_with("f.s2p: ")) << fault->english;
        EXPECT_TRUE(fault->english.ends_with(c.fault)) << fault->english;
        EXPECT_TRUE(fault->russian.starts_with("f.s2p: ")) << fault->russian;
    }
}

}  // namespace
}  // namespace feldan
