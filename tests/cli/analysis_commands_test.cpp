// feldan-cli sweep and export, run as a shell user runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <complex>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "files/touchstone.h"
#include "tests/support/program_runner.h"

namespace {

feldan::test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return feldan::test::RunProgram(FELDAN_CLI_PATH, args, {});
}

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "feldan_analysis_test_" + std::to_string(::getpid()) + "_" + name;
}

// Every file option writes to standard output alike, in order with what the command prints
// (through the runner's pipe): a file path that is a device is never replaced.
TEST(OutputFiles, EveryFileOptionTakesStandardOutput) {
    const struct {
        std::vector<std::string> args;
        const char* starts;
    } cases[] = {
        {{"sweep", "--points", "3", "--csv", "/dev/stdout"}, "frequency_hz,"},
        {{"transient", "--csv", "/dev/stdout"}, "time_ms,step\n"},
        {{"export", "--points", "3", "--touchstone", "/dev/stdout"}, "!"},
        {{"export", "--spice", "/dev/stdout"}, "Feldan crystal filter"},
        {{"--curve", "/dev/stdout"}, "detuning_khz,attenuation_db\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunCli(c.args);
        EXPECT_EQ(run.status, 0) << c.args[0] << ": " << run.err;
        EXPECT_EQ(run.out.rfind(c.starts, 0), 0u) << c.args[0] << ": " << run.out.substr(0, 80);
    }
}

TEST(SweepCommand, CsvAndJsonOfTheDefaultSpan) {
    const auto csv = RunCli({"sweep", "--points", "11"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::istringstream lines(csv.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(
        line,
        "frequency_hz,detuning_khz,s21_db,s21_deg,group_delay_s,s11_db,zin_re_ohm,zin_im_ohm");
    std::vector<std::string> rows;
    while (std::getline(lines, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 11u);
    // 3·dF either side of the middle of the band Расчет finds, 1.9 kHz above Fo.
    const auto design = nlohmann::json::parse(RunCli({"--json"}).out);
    const double middleHz =
        (design["LowerEdgeHz"].get<double>() + design["UpperEdgeHz"].get<double>()) / 2;
    EXPECT_EQ(std::stod(rows.front()), middleHz - 9300) << rows.front();
    EXPECT_EQ(std::stod(rows.back()), middleHz + 9300) << rows.back();

    const auto json = RunCli({"sweep", "--points", "3", "--json", "--from", "-1", "--to", "1"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    ASSERT_EQ(j["points"].size(), 3u);
    for (const char* key : {"frequencyHz", "s21Db", "s21Deg", "groupDelayS", "s11Db", "zinOhm"})
        EXPECT_TRUE(j["points"][1].contains(key)) << key;
    // Lossy but passive: |S11|² + |S21|² stays below 1.
    const double s21 = std::pow(10, j["points"][1]["s21Db"].get<double>() / 20);
    const double s11 = std::pow(10, j["points"][1]["s11Db"].get<double>() / 20);
    EXPECT_LT(s21 * s21 + s11 * s11, 1);
}

TEST(SweepCommand, MalformedOptionsAreBadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"sweep", "--points", "0"},
        {"sweep", "--points", "100002"},
        {"sweep", "--from", "2", "--to", "1"},
        {"sweep", "--from", "-9000"},
        {"sweep", "--circuit", "drawn"},
        {"export", "--spice", "x.cir", "--dialect", "pspice"},
        {"export"},
        {"sweep", "--reference-ohm", "0"},
    };
    for (const auto& args : cases) {
        const auto run = RunCli(args);
        EXPECT_EQ(run.status, 2) << args[1] << " " << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
}

// The Touchstone file reads back through the project's reader to what the sweep printed; S12 is
// computed by driving port 2, and equals S21 (a passive, reciprocal filter) to the 12 digits.
TEST(ExportCommand, TouchstoneReadsBack) {
    const std::string path = TempPath("filter.s2p");
    const auto run = RunCli({"export", "--touchstone", path, "--points", "21", "--circuit",
                             "schematic", "--reference-ohm", "50"});
    ASSERT_EQ(run.status, 0) << run.err;
    const feldan::TouchstoneData d = feldan::ReadTouchstoneFile(path);
    ASSERT_EQ(d.size(), 21u);
    EXPECT_EQ(d.referenceOhm, 50);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_NEAR(std::abs(d.S12(i) - d.S21(i)), 0, std::abs(d.S21(i)) * 1e-11 + 1e-13);
    }
    const auto sweep = RunCli(
        {"sweep", "--points", "21", "--circuit", "schematic", "--reference-ohm", "50", "--json"});
    const auto j = nlohmann::json::parse(sweep.out);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_NEAR(20 * std::log10(std::abs(d.S21(i))), j["points"][i]["s21Db"].get<double>(),
                    1e-9);
    }
    std::ifstream file(path);
    std::string first;
    std::getline(file, first);
    EXPECT_EQ(first, "! Feldan crystal filter Ladder4, B04-3100 Hz");
    std::remove(path.c_str());
}

// The design swept between 50 Ohm ports and written as an analyser writes it stands for a filter
// measured unmatched: as it is it agrees with the design swept between 50 Ohm ports, and
// renormalised to the design's terminations with the design itself.
TEST(MeasuredCommand, AnUnmatchedSweepRenormalisedIsTheDesign) {
    const std::string path = TempPath("unmatched.s2p");
    ASSERT_EQ(RunCli({"export", "--touchstone", path, "--from", "-8", "--to", "8", "--points",
                      "3201", "--reference-ohm", "50"})
                  .status,
              0);
    const auto figures = [](const std::vector<std::string>& args) {
        const auto run = RunCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(run.out);
    };
    const auto agree = [](const nlohmann::json& a, const nlohmann::json& b, double hz) {
        EXPECT_NEAR(a["centerHz"].get<double>(), b["centerHz"].get<double>(), hz);
        for (const char* level : {"3", "6", "20"})
            EXPECT_NEAR(a["bandwidthHz"][level].get<double>(),
                        b["bandwidthHz"][level].get<double>(), hz)
                << level;
        EXPECT_NEAR(a["flatnessDb"].get<double>(), b["flatnessDb"].get<double>(), 0.01);
    };
    const auto asIs = figures({"measured", path, "--reference-ohm", "50", "--json"});
    agree(asIs["measured"], asIs["design"], 5);
    const auto renormalised = figures({"measured", path, "--renormalize-ohm", "design", "--json"});
    agree(renormalised["measured"], renormalised["design"], 5);
    EXPECT_NEAR(renormalised["shiftHz"].get<double>(), 0, 5);
    // Unmatched, the pass band has humps a matched filter has not.
    EXPECT_GT(asIs["measured"]["flatnessDb"].get<double>(),
              renormalised["measured"]["flatnessDb"].get<double>() + 1);

    // Without a reverse measurement the renormalisation needs the filter taken as symmetric.
    feldan::TouchstoneData oneWay = feldan::ReadTouchstoneFile(path);
    for (auto& row : oneWay.s)
        row[2] = row[3] = 0;
    const std::string nanoVna = TempPath("one-way.s2p");
    std::ofstream(nanoVna) << feldan::TouchstoneBytes(oneWay, {});
    const auto refused =
        RunCli({"measured", nanoVna, "--renormalize-ohm", "design", "--lang", "en"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--assume-symmetric"), std::string::npos) << refused.err;
    const auto assumed = figures(
        {"measured", nanoVna, "--renormalize-ohm", "design", "--assume-symmetric", "--json"});
    agree(assumed["measured"], renormalised["measured"], 0.01);
    EXPECT_EQ(RunCli({"measured", path, "--renormalize-ohm", "-5"}).status, 2);
    // A file that is not there is said so in the language asked for.
    for (const auto& [lang, words] :
         {std::pair{"ru", "«absent.s2p»: нет такого файла или устройства\n"},
          std::pair{"en", "absent.s2p: there is no such file or device\n"}}) {
        const auto absent = RunCli({"measured", testing::TempDir() + "absent.s2p", "--lang", lang});
        EXPECT_EQ(absent.status, 2);
        EXPECT_TRUE(absent.err.ends_with(words)) << absent.err;
    }
    std::remove(path.c_str());
    std::remove(nanoVna.c_str());
}

}  // namespace

namespace {

// The figures of a keyed run and a step run; the curve of the step rises to 1 and stays there.
TEST(TransientCommand, FiguresJsonAndCurve) {
    const auto keyed = RunCli({"transient", "--kind", "keyed", "--wpm", "200", "--json"});
    ASSERT_EQ(keyed.status, 0) << keyed.err;
    const auto j = nlohmann::json::parse(keyed.out);
    for (const char* key :
         {"delayMs", "riseMs", "overshootPct", "decay20Ms", "decay40Ms", "interDotDb"})
        EXPECT_TRUE(j[key].is_number()) << key;
    // 6 ms dots through a filter that rises in 0.3 ms: deep gaps, yet not below the floor.
    EXPECT_LT(j["interDotDb"].get<double>(), -20);
    EXPECT_GE(j["interDotDb"].get<double>(), -80);
    EXPECT_LT(j["decay20Ms"].get<double>(), j["decay40Ms"].get<double>());

    const std::string path = TempPath("step.csv");
    const auto step = RunCli({"transient", "--csv", path, "--window", "kaiser:6"});
    ASSERT_EQ(step.status, 0) << step.err;
    std::ifstream csv(path);
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "time_ms,step");
    double last = 0, dtMs = 0;
    int rows = 0, offGrid = 0;
    while (std::getline(csv, line)) {
        // The times read back to the very doubles of i·dt: all digits are written.
        const double timeMs = std::stod(line.substr(0, line.find(',')));
        if (rows == 1) dtMs = timeMs;
        offGrid += rows > 1 && timeMs != double(rows) * dtMs;
        last = std::stod(line.substr(line.find(',') + 1));
        ++rows;
    }
    EXPECT_GT(rows, 1000);
    EXPECT_EQ(offGrid, 0);
    EXPECT_NEAR(last, 1, 1e-3);
    std::remove(path.c_str());
}

TEST(TransientCommand, MalformedOptionsAreBadUsage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"transient", "--window", "kaiser:x"},
             {"transient", "--kind", "keyed", "--wpm", "20", "--pulse-ms", "5"},
             {"transient", "--wpm", "20"},
             {"transient", "--kind", "ramp"}}) {
        const auto run = RunCli(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(RunCli({"transient", "--level", "1"}).status, 1);
}

}  // namespace
