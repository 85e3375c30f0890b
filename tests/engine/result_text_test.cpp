#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/result_text.h"

namespace feldan {
namespace {

// The Cyrillic capital Es, which the 4CW labels "С7" and "С5" carry instead of the Latin C.
const std::string Es = "\u0421";

// A result with the values of a finished four-crystal calculation.
CalculationResult FourCrystalState() {
    CalculationResult state;
    state.input.filterType = 2;
    state.synthesis.InputOhm = 512.3;
    state.synthesis.CapPF[13] = 81.75;
    state.synthesis.CapPF[1] = 56.4;
    state.synthesis.CapPF[2] = 77.02;
    state.measurements.AminDb = 1.25;
    state.input.FoKHz = 8861.736;
    state.measurements.PeakHz = state.input.FoKHz * 1000 + 1234;
    state.measurements.AFoDb = -2.417;
    state.input.LevelDb = -3;
    state.measurements.MeasuredDfHz = 3105.5;
    return state;
}

TEST(ComposeResultText, FourCrystalTextIsExact) {
    EXPECT_EQ(ComposeResultText(FourCrystalState(), '.'),
              "Rвх=512.3 Ом;\r"
              "C1=C5=81.75 пФ; C2=C4=56.4 пФ;\r"
              "C3=77.02 пФ;\r"
              "Амин=1.25 дБ; F(Амин)=Fo+1234 Гц;\r"
              "A(Fo)=-2.417 дБ; dF(-3 дБ)=3105.5 Гц.");
}

TEST(ComposeResultText, FourCwTextIsExactWithItsCyrillicLabels) {
    CalculationResult state = FourCrystalState();
    state.input.filterType = 5;
    state.synthesis.InputOhm = 301.12;
    state.synthesis.CapPF[13] = 17.313;
    state.synthesis.CapPF[1] = 108.58;
    state.synthesis.CapPF[23] = 43.776;
    state.synthesis.CapPF[22] = 23.612;
    EXPECT_EQ(ComposeResultText(state, ','),
              "Rвх=301,1 Ом;\r"
              "C1=" +
                  Es +
                  "7=17,31 пФ; C2=C6=108,6 пФ;\r"
                  "C3=" +
                  Es +
                  "5=43,78 пФ; C4=23,61 пФ;\r"
                  "Амин=1,25 дБ; F(Амин)=Fo+1234 Гц;\r"
                  "A(Fo)=-2,417 дБ; dF(-3 дБ)=3105,5 Гц.");
}

TEST(ComposeResultText, EnglishTextIsExact) {
    EXPECT_EQ(ComposeResultText(FourCrystalState(), ',', Language::English),
              "Rin=512,3 Ohm;\r"
              "C1=C5=81,75 pF; C2=C4=56,4 pF;\r"
              "C3=77,02 pF;\r"
              "Amin=1,25 dB; F(Amin)=Fo+1234 Hz;\r"
              "A(Fo)=-2,417 dB; dF(-3 dB)=3105,5 Hz.");
}

// Digits, signs, separators and exponents of a text, in order, with every word left out.
std::string NumbersOf(const std::string& text) {
    std::string numbers;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == ',' || c == '-' || c == '+' || c == 'E' || c == '=')
            numbers += c;
    }
    return numbers;
}

TEST(ComposeResultText, EnglishHasTheNumbersAndLinesOfTheRussianAndNoCyrillic) {
    for (int type = 1; type <= ClassicFilterTypeCount; ++type) {
        SCOPED_TRACE(type);
        CalculationResult state = FourCrystalState();
        state.input.filterType = type;
        for (int k = 1; k <= CapSlotCount; ++k)
            state.synthesis.CapPF[k] = 1000.0 / (k + 0.5);
        const std::string russian = ComposeResultText(state, ',');
        const std::string english = ComposeResultText(state, ',', Language::English);
        EXPECT_EQ(NumbersOf(english), NumbersOf(russian));
        EXPECT_EQ(std::count(english.begin(), english.end(), '\r'),
                  std::count(russian.begin(), russian.end(), '\r'));
        for (unsigned char c : english)
            EXPECT_LT(c, 0x80) << english;
    }
}

struct LinesCase {
    int filterType;
    std::vector<std::string> capacitorLines;
};

// Every slot k holds k + 0.25, so each entry shows which slot it was taken from.
TEST(ComposeResultText, CapacitorLinesOfEveryTopology) {
    const LinesCase cases[] = {
        {1, {"C1=C4=13.25 пФ;", "C2=C3=1.25 пФ;"}},
        {2, {"C1=C5=13.25 пФ; C2=C4=1.25 пФ;", "C3=2.25 пФ;"}},
        {3, {"C1=C9=13.25 пФ; C2=C8=1.25 пФ;", "C3=C7=2.25 пФ; C4=C6=5.25 пФ;", "C5=6.25 пФ;"}},
        {4,
         {"C1=C13=13.25 пФ; C2=C12=1.25 пФ;", "C3=C11=2.25 пФ; C4=C10=17.25 пФ;",
          "C5=C9=15.25 пФ; C6=C8=18.25 пФ;", "C7=4.25 пФ;"}},
        {5, {"C1=" + Es + "7=13.25 пФ; C2=C6=1.25 пФ;", "C3=" + Es + "5=23.25 пФ; C4=22.25 пФ;"}},
        {6,
         {"C1=C11=13.25 пФ; C2=C10=1.25 пФ;", "C3=C9=27.25 пФ; C4=C8=25.25 пФ;",
          "C5=C7=26.25 пФ; C6=3.25 пФ;"}},
        {7,
         {"C1=C15=20.25 пФ; C2=C14=2.25 пФ;", "C3=C13=3.25 пФ; C4=C12=4.25 пФ;",
          "C5=C11=5.25 пФ; C6=C10=6.25 пФ;", "C7=C9=7.25 пФ; C8=8.25 пФ;"}},
    };
    for (const LinesCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "FilterType " << c.filterType);
        CalculationResult state = FourCrystalState();
        state.input.filterType = c.filterType;
        for (int k = 1; k <= CapSlotCount; ++k)
            state.synthesis.CapPF[k] = k + 0.25;
        std::string expected = "Rвх=512.3 Ом;\r";
        for (const std::string& line : c.capacitorLines)
            expected += line + "\r";
        expected += "Амин=1.25 дБ; F(Амин)=Fo+1234 Гц;\rA(Fo)=-2.417 дБ; dF(-3 дБ)=3105.5 Гц.";
        EXPECT_EQ(ComposeResultText(state, '.'), expected);
    }
}

struct LineCase {
    const char* name;
    void (*change)(CalculationResult&);
    std::string expectedFragment;
};

TEST(ComposeResultText, EdgeCasesOfTheNumbers) {
    const LineCase cases[] = {
        {"maximum below Fo",
         [](CalculationResult& s) { s.measurements.PeakHz = s.input.FoKHz * 1000 - 150; },
         " F(Амин)=Fo+-150 Гц;"},
        {"maximum at Fo",
         [](CalculationResult& s) { s.measurements.PeakHz = s.input.FoKHz * 1000; },
         " F(Амин)=Fo+0 Гц;"},
        {"large input resistance", [](CalculationResult& s) { s.synthesis.InputOhm = 12000; },
         "Rвх=1.2E4 Ом;"},
        {"level with a fraction", [](CalculationResult& s) { s.input.LevelDb = -6.5; },
         " dF(-6.5 дБ)="},
        {"capacitance of 100", [](CalculationResult& s) { s.synthesis.CapPF[2] = 100; },
         "C3=100 пФ;"},
        {"capacitance of 99.996", [](CalculationResult& s) { s.synthesis.CapPF[2] = 99.996; },
         "C3=100 пФ;"},
        {"capacitance of 9999.6", [](CalculationResult& s) { s.synthesis.CapPF[2] = 9999.6; },
         "C3=1E4 пФ;"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        CalculationResult state = FourCrystalState();
        c.change(state);
        EXPECT_NE(ComposeResultText(state, '.').find(c.expectedFragment), std::string::npos)
            << ComposeResultText(state, '.');
    }
}

}  // namespace
}  // namespace feldan
