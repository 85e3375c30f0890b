// Bad usage of feldan-cli and its subcommands: what was wrong, in the language of --lang, read
// before anything else, then the line that points to the help.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace {

feldan::test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return feldan::test::RunProgram(FELDAN_CLI_PATH, args, {});
}

struct UsageCase {
    std::vector<std::string> args;  // "--lang en" is added for the English text
    std::string russian;            // the first line, after "feldan-cli[ sub]: "
    std::string english;
};

// Runs every case in both languages and checks the whole of standard error.
void ExpectUsage(const std::vector<UsageCase>& cases) {
    for (const UsageCase& c : cases) {
        const bool sub = c.args[0].rfind("-", 0) != 0;
        const std::string program = sub ? "feldan-cli " + c.args[0] : "feldan-cli";
        std::vector<std::string> english = c.args;
        english.insert(english.begin() + (sub ? 1 : 0), "--lang=en");
        for (const auto& [args, text, hint] :
             {std::tuple(c.args, c.russian, "Список параметров: " + program + " --help"),
              std::tuple(english, c.english, "Run '" + program + " --help' for the options.")}) {
            SCOPED_TRACE(testing::PrintToString(args));
            const auto run = RunCli(args);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, program + ": " + text + "\n" + hint + "\n");
        }
    }
}

TEST(UsageText, AValueOutOfRangeSaysWhatTheOptionTakes) {
    ExpectUsage({
        {{"match", "--ohm", "0"},
         "--ohm: нужно сопротивление больше 0 Ом",
         "--ohm must be a resistance above 0 Ohm"},
        {{"fit", "x.s2p", "--fixture-ohm", "-5"},
         "--fixture-ohm: нужно сопротивление больше 0 Ом",
         "--fixture-ohm must be a resistance above 0 Ohm"},
        {{"round", "--series", "E12", "--parallel-pct", "-1"},
         "--parallel-pct: нужно значение не меньше 0 %",
         "--parallel-pct must be a percentage of 0 or more"},
        {{"g3uur", "--f0", "1e7", "--f1", "1e7", "--c1", "33", "--c0", "-1"},
         "--c0: нужна ёмкость не меньше 0 пФ",
         "--c0 must be a capacitance of 0 pF or more"},
        {{"tolerance", "--cap-tolerance", "100.5"},
         "--cap-tolerance: нужно значение от 0 до 100 %",
         "--cap-tolerance must be a percentage from 0 to 100"},
        {{"sweep", "--points", "1"},
         "--points: нужно целое число от 2 до 100001",
         "--points must be a whole number from 2 to 100001"},
        {{"crystals", "a.csv", "--pick", "2.5"},
         "--pick: нужно целое число не меньше 1",
         "--pick must be a whole number of 1 or more"},
        {{"round", "--series", "E5"},
         "--series: нужно одно из: E6, E12, E24, E96",
         "--series must be one of E6, E12, E24, E96"},
        {{"sweep", "--circuit", "drawn"},
         "--circuit: нужно analysed или schematic",
         "--circuit must be analysed or schematic"},
        {{"--type", "8"},
         "--type: нужно целое число от 1 до 7",
         "--type must be a whole number from 1 to 7"},
        {{"--separator", ";"},
         "--separator: нужно «.» или «,»",
         "--separator must be \".\" or \",\""},
        {{"export", "--spice", ""}, "--spice: пустое имя файла", "--spice: the file name is empty"},
    });
    // A language that is not known is refused in the one by default.
    EXPECT_EQ(RunCli({"sweep", "--lang", "de"}).err,
              "feldan-cli sweep: --lang: нужно ru или en\n"
              "Список параметров: feldan-cli sweep --help\n");
}

// CLI11's own reading would take "inf", "0x10" and strtold's hexadecimal floats for numbers.
TEST(UsageText, ATextThatIsNoNumberIsCalledThat) {
    ExpectUsage({
        {{"g3uur", "--f0", "abc"}, "--f0: «abc» — не число", "--f0: \"abc\" is not a number"},
        {{"sweep", "--from", "inf"}, "--from: «inf» — не число", "--from: \"inf\" is not a number"},
        {{"sweep", "--points", "0x10"},
         "--points: «0x10» — не число",
         "--points: \"0x10\" is not a number"},
    });
}

TEST(UsageText, RefusalsOfTheParserAreTheToolsOwn) {
    ExpectUsage({
        {{"g3uur", "--f1", "1", "--c1", "1", "--c0", "1"}, "нужно задать --f0", "--f0 is required"},
        {{"crystals"}, "нужно задать FILE", "FILE is required"},
        {{"g3uur", "--f0", "1", "--f1", "2", "--c1", "3", "--f2", "3"},
         "--f2 задаётся только вместе с --c2",
         "--f2 needs --c2 as well"},
        {{"g3uur", "--f0", "1", "--f1", "2", "--c1", "3", "--f2", "3", "--c2", "1", "--c0", "1"},
         "--f2 нельзя задать вместе с --c0",
         "--f2 cannot be given with --c0"},
        {{"sweep", "extra", "more"}, "лишний аргумент «extra»", "unexpected argument \"extra\""},
        {{"--bogus"}, "неизвестный параметр --bogus", "unknown option --bogus"},
        {{"fit", "--fixture-ohm"},
         "--fixture-ohm: не задано значение",
         "--fixture-ohm needs a value"},
        {{"--fo", "1", "--fo", "2"},
         "--fo задан больше одного раза",
         "--fo is given more than once"},
        {{"--json=x"}, "--json: недопустимое значение", "--json: the value cannot be used"},
        {{"export"},
         "задайте --touchstone FILE или --spice FILE",
         "give --touchstone FILE or --spice FILE"},
        {{"sweep", "--from", "2", "--to", "1"},
         "--from должно быть меньше --to",
         "--from must lie below --to"},
    });
}

// The number checked is the number used: "010" is ten, not CLI11's octal eight.
TEST(UsageText, WholeNumbersAreDecimal) {
    const auto run = RunCli({"sweep", "--points", "010"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 11);
}

}  // namespace
