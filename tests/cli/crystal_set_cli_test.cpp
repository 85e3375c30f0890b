// feldan-cli with --crystals and --trim: a design from a set of measured crystals.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace {

feldan::test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return feldan::test::RunProgram(FELDAN_CLI_PATH, args, {});
}

// A crystal list in a temporary file: four crystals of the start design, the second shifted.
std::string SetFile(const std::string& name, const std::string& secondFs, int count = 4) {
    const std::string path =
        testing::TempDir() + "feldan_set_test_" + std::to_string(::getpid()) + "_" + name;
    std::ofstream file(path, std::ios::binary);
    file << "name,fs_hz,lm_h,rm_ohm,c0_f\n";
    for (int k = 1; k <= count; ++k)
        file << "X" << k << ',' << (k == 2 ? secondFs : "8861736") << ",0.0101,5.7,6.3e-12\n";
    return path;
}

TEST(CrystalSetOption, EqualCrystalsGiveTheDesignOfEqualCrystals) {
    const std::string equal = SetFile("equal.csv", "8861736");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{},
          {"sweep", "--points", "21"},
          {"round", "--series", "E12"},
          {"tolerance", "--cap-tolerance", "5", "--trials", "20", "--fs-spread-hz", "10"}}) {
        std::vector<std::string> withSet = command;
        withSet.insert(withSet.end(), {"--crystals", equal, "--trim"});
        const auto plain = RunCli(command);
        const auto ofSet = RunCli(withSet);
        ASSERT_EQ(ofSet.status, 0) << ofSet.err;
        // The summary (and the sweep) as without the set; the summary gets a line of trims.
        EXPECT_EQ(ofSet.out.substr(0, plain.out.size()), plain.out);
        if (command.empty())
            EXPECT_EQ(ofSet.out.substr(plain.out.size()),
                      "Fo=8861.736 кГц; Ct: ZQ1=0 ZQ2=0 ZQ3=0 ZQ4=0 пФ\n");
        else
            EXPECT_EQ(ofSet.out, plain.out);
    }
}

TEST(CrystalSetOption, ALowCrystalChangesTheFilterAndATrimIsWritten) {
    const std::string low = SetFile("low.csv", "8861636");
    const auto plain = RunCli({"sweep", "--points", "21"});
    const auto untrimmed = RunCli({"sweep", "--points", "21", "--crystals", low});
    ASSERT_EQ(untrimmed.status, 0) << untrimmed.err;
    EXPECT_NE(untrimmed.out, plain.out);
    // Aligned to the highest fs, 8861.736 kHz: the band, and the span about it, lie within a
    // few hertz of the plain design's.
    const auto trimmed = RunCli({"sweep", "--points", "21", "--crystals", low, "--trim"});
    ASSERT_EQ(trimmed.status, 0) << trimmed.err;
    const auto firstHz = [](const std::string& csv) {
        return std::stod(csv.substr(csv.find('\n') + 1));
    };
    EXPECT_NEAR(firstHz(trimmed.out), firstHz(plain.out), 20);
    EXPECT_GT(std::fabs(firstHz(untrimmed.out) - firstHz(plain.out)), 20);

    // The summary is followed by the aligned Fo and the trims.
    const auto summary = RunCli({"--crystals", low, "--trim", "--lang", "en"});
    ASSERT_EQ(summary.status, 0) << summary.err;
    EXPECT_NE(summary.out.find("\nFo=8861.736 kHz; Ct: ZQ1=0 ZQ2=1409 ZQ3=0 ZQ4=0 pF\n"),
              std::string::npos)
        << summary.out;

    const std::string spice = low + ".cir";
    const auto exported = RunCli({"export", "--spice", spice, "--crystals", low, "--trim"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::ifstream file(spice);
    const std::string netlist((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(netlist.find("trimmed (pF): ZQ1=0 ZQ2=1408"), std::string::npos) << netlist;
}

TEST(CrystalSetOption, UnusableOptionsAreBadUsage) {
    const std::string set = SetFile("four.csv", "8861736");
    const std::string three = SetFile("three.csv", "8861736", 3);
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--crystals", set, "--fo", "8861"}, "leave out --fo"},
        {{"sweep", "--crystals", set, "--rd", "5"}, "leave out --rd"},
        {{"export", "--touchstone", "x.s2p", "--crystals", set, "--cs", "5"}, "leave out --cs"},
        {{"--crystals", set, "--ld", "5"}, "leave out --ld"},
        {{"round", "--series", "E6", "--crystals", set, "--fo", "1"}, "leave out --fo"},
        {{"tolerance", "--cap-tolerance", "5", "--crystals", three},
         "holds 3 crystals; topology 2 has 4"},
        {{"--crystals", three}, "holds 3 crystals; topology 2 has 4"},
        {{"sweep", "--crystals", set, "--type", "1"}, "holds 4 crystals; topology 1 has 3"},
        {{"--trim"}, "--trim needs --crystals FILE"},
        {{"sweep", "--crystals", set + ".missing"}, ".missing: there is no such file or device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--lang", "en"});
        const auto run = RunCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

}  // namespace
