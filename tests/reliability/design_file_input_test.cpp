// Design files that other programs wrote, through feldan-cli --design: selections out of range,
// type lines that are not integers, odd bytes in the fields, files that are no design at all.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/cli_process.h"
#include "tests/reliability/expected_outcome.h"

namespace feldan::reliability {
namespace {

const std::string FilterTypeRange = " Тип фильтра в файле должен быть от 1 до 7 ! ";
const std::string ResponseTypeRange = " Тип АЧХ в файле должен быть от 1 до 5 ! ";

// A file the tool refuses is named before the reason, which is shown without its padding.
std::string NamingTheFile(const std::string& path, const std::string& reason) {
    const std::size_t first = reason.find_first_not_of(' ');
    const std::size_t last = reason.find_last_not_of(' ');
    return path + ": " + (first == std::string::npos ? "" : reason.substr(first, last - first + 1));
}

bool CliReadsDesignFiles() {
    const CliRun help = RunCli({"--help"});
    return help.status == 0 && help.out.find("--design") != std::string::npos;
}

#define SKIP_WITHOUT_DESIGN_OPTION()                                                        \
    if (!CliReadsDesignFiles())                                                             \
    GTEST_SKIP() << "feldan-cli has no --design option yet; these cases run once the tool " \
                    "reads design files"

// The eleven lines of the start design with some of them replaced, CR LF after each.
std::string DesignBytes(const std::vector<std::pair<int, std::string>>& replaced) {
    std::string lines[12] = {"", "8861.736", "10.1", "6.3", "5.7", "3100",
                             "", "",         "-3",   "91",  "2",   "1"};
    for (const auto& [line, text] : replaced)
        lines[line] = text;
    std::string bytes;
    for (int line = 1; line <= 11; ++line)
        bytes += lines[line] + "\r\n";
    return bytes;
}

TEST(DesignFileSelections, OutOfRangeOrNotIntegersAreRefusedWithTheirMessage) {
    SKIP_WITHOUT_DESIGN_OPTION();
    struct Case {
        std::string filterType;
        std::string responseType;
        std::string message;
    };
    const Case cases[] = {
        {"0", "1", FilterTypeRange},           {"8", "1", FilterTypeRange},
        {"-1", "1", FilterTypeRange},          {"2147483647", "1", FilterTypeRange},
        {"-2147483648", "1", FilterTypeRange}, {"$8", "1", FilterTypeRange},
        {"2", "0", ResponseTypeRange},         {"2", "6", ResponseTypeRange},
        {"2", "-5", ResponseTypeRange},        {"7", "0x10", ResponseTypeRange},
        {"2", " -0x0", ResponseTypeRange},     {"abc", "1", NotAnInteger("abc")},
        {"", "1", NotAnInteger("")},           {"2147483648", "1", NotAnInteger("2147483648")},
        {"2.0", "1", NotAnInteger("2.0")},     {"2 ", "1", NotAnInteger("2 ")},
        {"2", "", NotAnInteger("")},           {"2", "1e0", NotAnInteger("1e0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("types '" + c.filterType + "', '" + c.responseType + "'");
        const ScratchFile file("design.fdn");
        file.Write(DesignBytes({{10, c.filterType}, {11, c.responseType}}));
        const CliRun run = RunCli({"--design", file.Path()});
        ExpectSoundEnding(run, {}, Error(NamingTheFile(file.Path(), c.message)));
    }
}

TEST(DesignFileSelections, EveryWayOfWritingAValidTypeIsRead) {
    SKIP_WITHOUT_DESIGN_OPTION();
    struct Case {
        std::string filterText;
        std::string responseText;
        int filterType;
        int responseType;
    };
    const Case cases[] = {
        {"1", "1", 1, 1},      {"7", "5", 7, 5},   {"+3", "2", 3, 2},
        {" 4", " +0x1", 4, 1}, {"$5", "x3", 5, 3}, {"0X6", "$4", 6, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("types '" + c.filterText + "', '" + c.responseText + "'");
        const ScratchFile file("design.fdn");
        file.Write(DesignBytes({{10, c.filterText}, {11, c.responseText}}));
        const CliRun run = RunCli({"--design", file.Path(), "--json"});
        ExpectSoundEnding(run, {"91"}, std::nullopt, /*json=*/true);
        const nlohmann::json json = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_FALSE(json.is_discarded()) << run.out;
        EXPECT_EQ(json.at("FilterType").get<int>(), c.filterType);
        EXPECT_EQ(json.at("ResponseType").get<int>(), c.responseType);
    }
}

// Field texts come from the file unchecked; the calculation then meets them like typed texts.
TEST(DesignFileFields, OddTextsEndInTheirMessages) {
    SKIP_WITHOUT_DESIGN_OPTION();
    struct Case {
        int line;
        std::string text;
        std::string converted;  // what a conversion error quotes
        std::optional<Ending> expected;
    };
    const Case cases[] = {
        {1, "", "", Warning(MissingData)},
        {8, "", "", Warning(MissingLevel)},
        {4, "0", "0", Warning(ZeroRd)},
        {1, "abc", "abc", Error(NotAFloat("abc"))},
        {2, "1,2,3", "1.2.3", Error(NotAFloat("1.2.3"))},
        // Windows-1251 bytes reach the message as the letters they are.
        {3, "\xC5\xEC\xEA\xEE\xF1\xF2\xFC", "Емкость", Error(NotAFloat("Емкость"))},
        {8, "-3\x98", "-3\xEF\xBF\xBD", Error(NotAFloat("-3\xEF\xBF\xBD"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line " + std::to_string(c.line));
        const ScratchFile file("design.fdn");
        file.Write(DesignBytes({{c.line, c.text}}));
        const CliRun run = RunCli({"--design", file.Path()});
        ExpectSoundEnding(run, {c.converted}, c.expected);
    }
}

// A NUL byte in a field must not cut the message short.
TEST(DesignFileFields, ANulByteDoesNotCutTheMessage) {
    SKIP_WITHOUT_DESIGN_OPTION();
    const std::string tail =
        "' is not a valid floating point value\nВ поле Fo(кГц) нужно число: цифры и не больше "
        "одной запятой или точки\n";
    const ScratchFile file("design.fdn");
    file.Write(DesignBytes({{1, std::string{'8', '8', '\0', '6', '1'}}}));
    const CliRun run = RunCli({"--design", file.Path()});
    ASSERT_TRUE(run.exited) << "signal " << run.signal;
    EXPECT_EQ(run.status, 2);
    ASSERT_GT(run.err.size(), tail.size());
    EXPECT_EQ(run.err.substr(run.err.size() - tail.size()), tail) << run.err;
    EXPECT_EQ(run.err.rfind("'88", 0), 0u) << run.err;
}

// Files that are no design: the tool says why and calculates nothing.
TEST(DesignFileBytes, FilesThatAreNoDesignAreRefused) {
    SKIP_WITHOUT_DESIGN_OPTION();
    struct Case {
        std::string name;
        std::string bytes;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919 + 13) % 256);
    const Case cases[] = {
        {"empty", ""},
        {"binary", binary},
        {"one long line", std::string(2u << 20, '7')},
        {"lines without end", std::string(3u << 20, '\n')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScratchFile file("design.fdn");
        file.Write(c.bytes);
        const CliRun run = RunCli({"--design", file.Path()});
        ASSERT_TRUE(run.exited) << "signal " << run.signal;
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(HasNonFiniteWord(run.err)) << run.err;
    }
}

TEST(DesignFilePaths, FilesThatCannotBeReadAreNamedInTheMessage) {
    SKIP_WITHOUT_DESIGN_OPTION();
    const std::vector<std::string> paths = {testing::TempDir() + "no-such-design.fdn",
                                            testing::TempDir(), "/no/such/folder/a.fdn"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const CliRun run = RunCli({"--design", path});
        ASSERT_TRUE(run.exited) << "signal " << run.signal;
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
    }
}

}  // namespace
}  // namespace feldan::reliability
