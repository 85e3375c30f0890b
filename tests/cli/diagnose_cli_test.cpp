// feldan-cli diagnose on files written as a NanoVNA writes them: a filter built with one part
// off (a project whose C3 is tuned 10 % up, exported by feldan-cli itself between the design's
// terminations) is found against the untuned design, and bad files get a clear word.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "engine/project.h"
#include "files/project_file.h"
#include "files/touchstone.h"
#include "tests/support/program_runner.h"

namespace feldan {
namespace {

test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return test::RunProgram(FELDAN_CLI_PATH, args, {});
}

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "feldan_diagnose_" + std::to_string(::getpid()) + "_" + name;
}

// The built filter swept between the design's terminations, S12 and S22 zeroed, the reference
// written as the analyser's 50 Ohm.
std::string NanoVnaFileOf(const Project& built, const std::string& name) {
    const std::string project = TempPath(name + ".feldan");
    WriteProjectFile(project, built);
    const std::string exported = TempPath(name + "-export.s2p");
    EXPECT_EQ(RunCli({"export", "--project", project, "--touchstone", exported, "--points", "401"})
                  .status,
              0);
    TouchstoneData data = ReadTouchstoneFile(exported);
    for (auto& row : data.s)
        row[2] = row[3] = 0;
    data.referenceOhm = 50;
    const std::string path = TempPath(name + ".s2p");
    std::ofstream(path) << TouchstoneBytes(data, {"NanoVNA"});
    return path;
}

TEST(DiagnoseCommand, FindsTheOnePartThatIsOff) {
    Project built;
    const double c3 = BuildProject(built, '.').parts[2].designed;
    built.tuning = {{"C3", c3 * 1.1}};
    const std::string path = NanoVnaFileOf(built, "c3");
    const double ohm = BuildProject(Project{}, '.').built->design.synthesis.InputOhm;
    const auto run = RunCli({"diagnose", path, "--reference-ohm", std::to_string(ohm), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["verdict"], "fitted");
    EXPECT_EQ(j["orientation"], "ok");
    EXPECT_LT(j["residualDb"].get<double>(), -80);
    for (const auto& part : j["parts"]) {
        const double expected = part["label"] == "C3" ? 10 : 0;
        EXPECT_NEAR(part["errorPct"].get<double>(), expected, 0.05) << part["label"];
        EXPECT_GE(part["boundPct"].get<double>(), 0);
    }
    for (const auto& crystal : j["crystals"])
        EXPECT_NEAR(crystal["offsetHz"].get<double>(), 0, 0.5);
    EXPECT_NEAR(j["rmOhm"].get<double>(), j["designRmOhm"].get<double>(), 0.01);
    EXPECT_TRUE(j["mirrored"].is_null());
    EXPECT_EQ(j["advice"][0]["label"], "C3");
    EXPECT_TRUE(j["terminationOhm"]["input"].is_number());
    EXPECT_NE(j["text"].get<std::string>().find("C3 стоит на 10,0 % больше"), std::string::npos);
    const auto english =
        RunCli({"diagnose", path, "--reference-ohm", std::to_string(ohm), "--lang", "en"});
    EXPECT_NE(english.out.find("C3 is 10.0 % above its design value"), std::string::npos)
        << english.out;
    EXPECT_NE(RunCli({"--help"}).out.find("diagnose FILE"), std::string::npos);
}

TEST(DiagnoseCommand, SaysWhatIsWrongWithAFile) {
    const std::string good = NanoVnaFileOf(Project{}, "good");
    TouchstoneData data = ReadTouchstoneFile(good);
    const std::string onePort = TempPath("one.s1p");
    TouchstoneData one = data;
    one.ports = 1;
    std::ofstream(onePort) << TouchstoneBytes(one, {});
    TouchstoneData other = data;
    other.referenceOhm = 75;
    const std::string otherReference = TempPath("seventy-five.s2p");
    std::ofstream(otherReference) << TouchstoneBytes(other, {});
    TouchstoneData beside = data;
    for (double& hz : beside.frequencyHz)
        hz += 200e3;
    const std::string besideBand = TempPath("beside.s2p");
    std::ofstream(besideBand) << TouchstoneBytes(beside, {});
    const struct {
        std::vector<std::string> args;
        const char* words;
    } cases[] = {
        {{"diagnose", onePort}, "это однополюсник (.s1p)"},
        {{"diagnose", otherReference, "--reference-ohm", "300"}, "файл отнесён к 75 Ом"},
        {{"diagnose", otherReference, "--reference-ohm", "300", "--lang", "en"},
         "the file is referred to 75 Ohm"},
        {{"diagnose", besideBand}, "в развёртке нет полосы расчёта"},
        {{"diagnose", TempPath("absent.s2p")}, "нет такого файла"},
    };
    for (const auto& c : cases) {
        const auto run = RunCli(c.args);
        EXPECT_EQ(run.status, 2) << c.args[1];
        EXPECT_NE(run.err.find(c.words), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

// A sweep the schematic does not describe (noise where the filter should be) ends with status 1,
// the residual said and no values: no made-up answer, in words or in JSON.
TEST(DiagnoseCommand, AFitThatDoesNotConvergeGivesNoValues) {
    TouchstoneData data = ReadTouchstoneFile(NanoVnaFileOf(Project{}, "noise-base"));
    std::mt19937 random(7);
    std::normal_distribution<double> spread(0, 0.2);
    const auto noise = [&] { return spread(random); };
    for (auto& row : data.s)
        row = {std::complex<double>(noise(), noise()), std::complex<double>(noise(), noise()), 0,
               0};
    const std::string path = TempPath("noise.s2p");
    std::ofstream(path) << TouchstoneBytes(data, {"NanoVNA"});
    const auto words = RunCli({"diagnose", path});
    EXPECT_EQ(words.status, 1);
    EXPECT_NE(words.out.find("подгонка не сошлась: невязка"), std::string::npos) << words.out;
    const auto run = RunCli({"diagnose", path, "--json"});
    EXPECT_EQ(run.status, 1);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["verdict"], "notConverged");
    EXPECT_TRUE(j["parts"].empty());
    EXPECT_TRUE(j["terminationOhm"].is_null());
}

}  // namespace
}  // namespace feldan
