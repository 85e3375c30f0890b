// feldan-cli vna sweep and vna crystal against the simulated analyser on a pseudo-terminal, run
// as a shell user runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "files/touchstone.h"
#include "instruments/simulated/simulated_analyser.h"
#include "instruments/simulated/simulated_v2.h"
#include "tests/support/program_runner.h"

namespace feldan {
namespace {

const CrystalModel Crystal = CrystalFromSeriesResonance(9.999e6, 0.07, 12, 4e-12);

simulated::SimulatedAnalyserSettings CrystalAnalyser(double noise) {
    simulated::SimulatedAnalyserSettings settings;
    settings.response = simulated::CrystalInSeries(Crystal);
    settings.noise = noise;
    return settings;
}

test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return test::RunProgram(FELDAN_CLI_PATH, args);
}

TEST(VnaCommand, SweepWritesTheCrystalsSParametersJoinedFromScans) {
    simulated::SimulatedAnalyser device(CrystalAnalyser(0));
    const test::ScratchFile file("vna_sweep.s2p");
    const auto run = RunCli({"vna", "sweep", "--port", device.Port(), "--from", "9990000", "--to",
                             "10010000", "--points", "250", "--out", file.Path()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(device.Scans(), 3);
    const TouchstoneData data = ReadTouchstoneFile(file.Path());
    ASSERT_EQ(data.size(), 250u);
    EXPECT_EQ(data.referenceOhm, 50);
    for (std::size_t i = 0; i < data.size(); ++i) {
        // A series impedance between two 50 Ohm ports, solved by hand.
        const std::complex<double> z = Crystal.Impedance(data.frequencyHz[i]);
        EXPECT_NEAR(std::abs(data.S21(i) - 100.0 / (100.0 + z)), 0, 1e-8) << i;
        EXPECT_NEAR(std::abs(data.S11(i) - z / (100.0 + z)), 0, 1e-8) << i;
    }
}

TEST(VnaCommand, CrystalFindsTheCrystalBehindTheAnalyser) {
    simulated::SimulatedAnalyser device(CrystalAnalyser(2e-4));
    const test::ScratchFile file("vna_crystal.s2p");
    const auto run = RunCli({"vna", "crystal", "--port", device.Port(), "--near", "1e7", "--json",
                             "--out", file.Path()});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = nlohmann::json::parse(run.out);
    EXPECT_NEAR(j["FoKHz"].get<double>(), 9999, 0.002);
    EXPECT_NEAR(j["LdMH"].get<double>(), 70, 1.4);
    EXPECT_TRUE(j["message"].is_null());
    // The kept sweep is one that fit reads back to the same crystal.
    const auto fit = RunCli({"fit", file.Path(), "--json"});
    ASSERT_EQ(fit.status, 0) << fit.err;
    EXPECT_NEAR(nlohmann::json::parse(fit.out)["FoKHz"].get<double>(), 9999, 0.002);
}

// The same commands on a V2, found by its answer: --average 4 gives the mean of four readings,
// each reading k off by (k + 1)·0.01, so 0.025 in both components.
TEST(VnaCommand, AV2SweepsAveragesAndMeasuresTheCrystal) {
    simulated::SimulatedV2Settings settings;
    settings.response = simulated::CrystalInSeries(Crystal);
    settings.firmwareMinor = 1;
    settings.readingStep = 0.01;
    simulated::SimulatedV2 device(settings);
    const test::ScratchFile file("vna_v2_sweep.s2p");
    const auto run =
        RunCli({"vna", "sweep", "--port", device.Port(), "--from", "9990000", "--to", "10010000",
                "--points", "300", "--average", "4", "--out", file.Path()});
    ASSERT_EQ(run.status, 0) << run.err;
    const TouchstoneData data = ReadTouchstoneFile(file.Path());
    ASSERT_EQ(data.size(), 300u);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::complex<double> z = Crystal.Impedance(data.frequencyHz[i]);
        EXPECT_NEAR(std::abs(data.S21(i) - 100.0 / (100.0 + z) - std::complex(0.025, 0.025)), 0,
                    1e-8)
            << i;
    }
    settings.readingStep = 0;
    simulated::SimulatedV2 clean(settings);
    const auto crystal = RunCli(
        {"vna", "crystal", "--port", clean.Port(), "--near", "1e7", "--average", "2", "--json"});
    ASSERT_EQ(crystal.status, 0) << crystal.err;
    EXPECT_NEAR(nlohmann::json::parse(crystal.out)["FoKHz"].get<double>(), 9999, 0.002);
}

TEST(VnaCommand, FaultsAndBadUsageAreErrors) {
    simulated::SimulatedAnalyserSettings other = CrystalAnalyser(0);
    other.misbehaviour = simulated::Misbehaviour::NoShell;
    simulated::SimulatedAnalyser device(other);
    const auto notAnalyser = RunCli({"vna", "crystal", "--port", device.Port(), "--near", "1e7"});
    EXPECT_EQ(notAnalyser.status, 2);
    EXPECT_NE(notAnalyser.err.find("не анализатор"), std::string::npos) << notAnalyser.err;
    const auto missing = RunCli({"vna", "sweep", "--port", "/dev/nonexistent", "--from", "1e6",
                                 "--to", "2e6", "--out", "x.s2p", "--lang", "en"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/dev/nonexistent: the port cannot be opened"), std::string::npos)
        << missing.err;
    EXPECT_EQ(RunCli({"vna", "sweep", "--port", "/dev/null", "--from", "2e6", "--to", "1e6",
                      "--out", "x.s2p"})
                  .status,
              2);
    EXPECT_EQ(RunCli({"vna", "scan"}).status, 2);
    EXPECT_EQ(RunCli({"vna", "list"}).status, 0);
}

}  // namespace
}  // namespace feldan
