// Every subcommand prints in one language: Russian by default, as the calculation's summary,
// English with --lang en; results, warnings and errors alike.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace {

feldan::test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return feldan::test::RunProgram(FELDAN_CLI_PATH, args, {});
}

TEST(SubcommandLanguage, EverythingPrintedIsInTheLanguageAsked) {
    const std::string list =
        testing::TempDir() + "feldan_language_test_" + std::to_string(::getpid()) + ".csv";
    std::ofstream(list) << "name,fs_hz,lm_h,rm_ohm,c0_f\nX1,10000000,0.015,12,4e-12\n";
    const std::string lab =
        FELDAN_TEST_DATA_DIR "/touchstone/chili-chips-ba_uberClock_C100_25C.s2p";
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> russian, english;  // pieces of standard output and error
    } cases[] = {
        {{"fit", lab},
         {" кГц; Ld=", "Среднеквадратичная ошибка ", "только амплитуды"},
         {" kHz; Ld=", "RMS error ", "only the magnitudes"}},
        {{"crystals", list, lab}, {" Ом; Cm=", "только амплитуды"}, {" Ohm; Cm=", "only the magn"}},
        {{"g3uur", "--f0", "1e7", "--f1", "10002000", "--c1", "33", "--c0", "4"},
         {" фФ; Ld="},
         {" fF; Ld="}},
        {{"g3uur", "--f0", "1e7", "--f1", "1e7", "--c1", "33", "--c0", "4"},
         {"динамическая ёмкость"},
         {"motional capacitance"}},
        {{"round", "--series", "E12"},
         {" пФ -> ", "Rвх: ", "Амин: "},
         {" pF -> ", "Rin: ", "Amin: "}},
        {{"match"}, {"Г-звено", "трансформатор"}, {"L network", "transformer"}},
        {{"tolerance", "--cap-tolerance", "5", "--trials", "20"},
         {"испытаний: 20", "медиана", "неравномерность"},
         {"20 trials", "median", "ripple"}},
        {{"sweep", "--fo", ""}, {"Необходимо задать все данные"}, {"Please fill in all the data"}},
        {{"export", "--spice", "x.cir", "--crystals", list},
         {"а у схемы 2 их 4"},
         {"topology 2 has 4"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> english = c.args;
        english.insert(english.begin() + 1, {"--lang", "en"});
        const auto ru = RunCli(c.args);
        const auto en = RunCli(english);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(ru.status, en.status);
        for (const std::string& piece : c.russian) {
            EXPECT_NE((ru.out + ru.err).find(piece), std::string::npos) << piece;
            EXPECT_EQ((en.out + en.err).find(piece), std::string::npos) << piece;
        }
        for (const std::string& piece : c.english) {
            EXPECT_NE((en.out + en.err).find(piece), std::string::npos) << piece;
            EXPECT_EQ((ru.out + ru.err).find(piece), std::string::npos) << piece;
        }
    }
}

}  // namespace
