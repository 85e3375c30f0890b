// feldan-cli round, match and tolerance on a saved project: its rounding, tuning and matching
// are the ones the window builds (BuildProject), not the bare design's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "engine/project.h"
#include "files/project_file.h"
#include "tests/support/program_runner.h"

namespace feldan {
namespace {

// The default design rounded to E12 with pairs beyond 2 %, its termination tuned to 333 Ohm and
// its ends matched to 75 Ohm.
Project TunedProject() {
    Project project;
    RoundingRequest rounding;
    rounding.series = ESeries::E12;
    rounding.parallelPct = 2;
    project.rounding = rounding;
    project.tuning = {{"Rin", 333}};
    project.matchOhm = 75;
    return project;
}

TEST(ProjectOption, MatchTakesTheTerminationInForceAndTheRoundedCapacitor) {
    const Project project = TunedProject();
    const std::string path =
        ::testing::TempDir() + "feldan_project_" + std::to_string(::getpid()) + ".feldan";
    WriteProjectFile(path, project);
    const ProjectBuild expected = BuildProject(project, '.');
    ASSERT_TRUE(expected.matching && expected.matching->shuntParts);

    const test::ProgramRun run =
        test::RunProgram(FELDAN_CLI_PATH, {"match", "--project", path, "--json"}, {});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["sourceOhm"], 75.0);
    EXPECT_EQ(j["terminationOhm"], 333.0);
    EXPECT_EQ(j["shuntPF"], expected.matching->exactShuntPF);
    EXPECT_EQ(j["shuntPartsPF"][0], expected.matching->shuntParts->larger);
    EXPECT_EQ(j["shuntPartsPF"][1], expected.matching->shuntParts->smaller);
    EXPECT_EQ(j["seriesUH"], expected.matching->ends.network.seriesH * 1e6);

    // --ohm and the design options change single values of the project.
    const test::ProgramRun at50 = test::RunProgram(
        FELDAN_CLI_PATH, {"match", "--project", path, "--ohm", "50", "--json"}, {});
    EXPECT_EQ(nlohmann::json::parse(at50.out)["sourceOhm"], 50.0);
    // The saved rounding stands in for --series.
    const test::ProgramRun round =
        test::RunProgram(FELDAN_CLI_PATH, {"round", "--project", path, "--json"}, {});
    ASSERT_EQ(round.status, 0) << round.err;
    const auto rounded = nlohmann::json::parse(round.out);
    for (const auto& cap : rounded["capacitors"]) {
        const double pf = cap["roundedPF"].get<double>();
        EXPECT_TRUE(cap.contains("parallelPF") || RoundToSeries(pf, ESeries::E12) == pf) << pf;
    }
    // A project and a design file do not go together.
    EXPECT_EQ(test::RunProgram(FELDAN_CLI_PATH, {"match", "--project", path, "--design", path}, {})
                  .status,
              2);
    std::remove(path.c_str());
}

// sweep, export and transient take --project too, and sweep the filter as built: the netlist of
// the project holds every capacitor and the termination in force, as the parts list has them,
// and not the designed ones.
TEST(ProjectOption, ExportSweepsTheRoundedAndTunedFilter) {
    Project project;
    RoundingRequest rounding;
    rounding.series = ESeries::E12;
    project.rounding = rounding;
    project.tuning = {{"Rin", 333}, {"C3", 150}};
    const std::string path =
        ::testing::TempDir() + "feldan_built_" + std::to_string(::getpid()) + ".feldan";
    WriteProjectFile(path, project);
    const test::ProgramRun run = test::RunProgram(
        FELDAN_CLI_PATH, {"export", "--project", path, "--spice", "/dev/stdout"}, {});
    ASSERT_EQ(run.status, 0) << run.err;
    std::map<std::string, double> values;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, from, to, value;
        if (words >> name >> from >> to >> value && (name[0] == 'C' || name == "Rs") &&
            name != "Cm" && name != "C0")
            values[name] = std::stod(value);
    }
    EXPECT_DOUBLE_EQ(values["Rs"], 333);
    EXPECT_DOUBLE_EQ(values["C3"], 150e-12);
    // C1, C2 rounded to E12: 27 pF and 100 pF (designed 24.7 and 108.6).
    EXPECT_NEAR(values["C1"], 27e-12, 1e-20);
    EXPECT_NEAR(values["C2"], 100e-12, 1e-19);
    for (const char* command : {"sweep", "transient"}) {
        const test::ProgramRun other =
            test::RunProgram(FELDAN_CLI_PATH, {command, "--project", path, "--json"}, {});
        EXPECT_EQ(other.status, 0) << command << ": " << other.err;
    }
}

}  // namespace
}  // namespace feldan
