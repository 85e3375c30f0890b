// feldan-cli fit, g3uur and crystals, run as a shell user runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "files/crystal_csv.h"
#include "tests/support/program_runner.h"

namespace {

using Json = nlohmann::json;

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "feldan_crystal_test_" + std::to_string(::getpid()) + "_" + name;
}

feldan::test::ProgramRun RunCli(const std::vector<std::string>& args) {
    return feldan::test::RunProgram(FELDAN_CLI_PATH, args, {});
}

// A crystal measured in series between 50 Ω source and load, written as a NanoVNA writes it:
// "# Hz S RI R 50", CR LF, six decimals, zeros for S12 and S22.
std::string NanoVnaFile(const std::string& name, double fsHz, double lmH, double rmOhm, double c0F,
                        double sweepCentreHz = 0) {
    if (sweepCentreHz == 0) sweepCentreHz = fsHz;
    const double pi = 3.141592653589793;
    const double cmF = 1 / (std::pow(2 * pi * fsHz, 2) * lmH);
    const std::string path = TempPath(name);
    std::ofstream file(path, std::ios::binary);
    file << "# Hz S RI R 50\r\n";
    for (int i = 0; i < 801; ++i) {
        const double hz = sweepCentreHz - 3000 + 7.5 * i;
        const double w = 2 * pi * hz;
        const std::complex<double> arm(rmOhm, w * lmH - 1 / (w * cmF));
        const std::complex<double> z = arm / (1.0 + arm * std::complex<double>(0, w * c0F));
        const std::complex<double> s21 = 100.0 / (100.0 + z);
        char line[200];
        std::snprintf(line, sizeof line,
                      "%.0f %.6f %.6f %.6f %.6f 0.000000 0.000000 0.000000 0.000000\r\n", hz, 0.0,
                      0.0, s21.real(), s21.imag());
        file << line;
    }
    return path;
}

TEST(FitCommand, NanoVnaSweepGivesTheCrystalInTheDesignsUnits) {
    const std::string path = NanoVnaFile("x1.s2p", 10e6, 0.015, 12, 4e-12);
    const auto run = RunCli({"fit", path, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json j = Json::parse(run.out);
    EXPECT_NEAR(j["FoKHz"].get<double>(), 10000, 0.001);
    EXPECT_NEAR(j["LdMH"].get<double>(), 15, 0.05);
    EXPECT_NEAR(j["RdOhm"].get<double>(), 12, 0.3);
    EXPECT_NEAR(j["CsPF"].get<double>(), 4, 0.5);
    for (const char* key : {"CmF", "Q", "rmsErrorDb", "iterations"})
        EXPECT_TRUE(j.contains(key)) << key;
    // The text form names the values as the window's fields do.
    const auto text = RunCli({"fit", path});
    EXPECT_EQ(text.out.rfind("Fo=10000", 0), 0u) << text.out;
}

// A wide sweep of a crystal with a mode 30 kHz up: the mode found, a second one not, and a
// count beyond three refused.
TEST(FitCommand, ModesOfAWideSweep) {
    const double pi = 3.141592653589793;
    const std::string path = TempPath("wide.s2p");
    std::ofstream file(path, std::ios::binary);
    file << "# Hz S RI R 50\r\n";
    for (int i = 0; i < 4001; ++i) {
        const double hz = 9.98e6 + 20.0 * i;
        const double w = 2 * pi * hz;
        std::complex<double> y(0, w * 4e-12);
        for (const auto& [fs, lm, rm] : {std::tuple{10e6, 0.015, 12.0}, {10.03e6, 0.03, 400.0}})
            y += 1.0 / std::complex<double>(rm, w * lm - 1 / (w / (std::pow(2 * pi * fs, 2) * lm)));
        const std::complex<double> s21 = 100.0 / (100.0 + 1.0 / y);
        char line[200];
        std::snprintf(line, sizeof line, "%.0f 0 0 %.6f %.6f 0 0 0 0\r\n", hz, s21.real(),
                      s21.imag());
        file << line;
    }
    file.close();
    const auto run = RunCli({"fit", path, "--modes", "2", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json j = Json::parse(run.out);
    ASSERT_EQ(j["modes"].size(), 2u);
    EXPECT_NEAR(j["modes"][0]["FoKHz"].get<double>(), 10030, 0.02);
    EXPECT_NEAR(j["modes"][0]["RdOhm"].get<double>(), 400, 40);
    EXPECT_TRUE(j["modes"][1].is_null());
    const auto text = RunCli({"fit", path, "--modes", "2", "--lang", "en"});
    EXPECT_NE(text.out.find("\nMode 2: Fo=10030"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nMode 3: not found\n"), std::string::npos) << text.out;
    EXPECT_EQ(RunCli({"fit", path, "--modes", "4"}).status, 2);
}

TEST(FitCommand, WarningsAndErrors) {
    // An active board: fitted in magnitudes only, said on standard error, exit 1.
    const auto lab =
        RunCli({"fit", FELDAN_TEST_DATA_DIR "/touchstone/chili-chips-ba_uberClock_C100_25C.s2p"});
    EXPECT_EQ(lab.status, 1);
    EXPECT_NE(lab.err.find("только амплитуды"), std::string::npos) << lab.err;
    // A sweep beside the resonance: said so, no values.
    const std::string beside = NanoVnaFile("beside.s2p", 10.05e6, 0.015, 12, 4e-12, 10e6);
    const auto none = RunCli({"fit", beside, "--json"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(Json::parse(none.out)["FoKHz"].is_null());
    EXPECT_NE(none.err.find("нет последовательного резонанса"), std::string::npos) << none.err;
    EXPECT_EQ(RunCli({"fit", "/nonexistent/a.s2p"}).status, 2);
    EXPECT_EQ(RunCli({"fit", beside, "--fixture-ohm", "0"}).status, 2);
}

// Valid UTF-8 is what the JSON library takes into a string.
bool IsUtf8(const std::string& text) {
    try {
        (void)Json(text).dump();
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

// A sweep of bytes that are no text, under a name with an escape character, and a list with such
// a name: what quotes them shows them escaped, on standard error, standard output and in JSON.
TEST(CrystalCommands, BytesThatAreNoTextAreShownEscaped) {
    const std::string sweep = TempPath("raw\x1b.s2p");
    std::ofstream(sweep, std::ios::binary) << "\xff\xfe 1 2 3\r\n";
    const std::string list = TempPath("raw.csv");
    std::ofstream(list, std::ios::binary)
        << "name,fs_hz,lm_h,rm_ohm,c0_f\n\xff\x1b\xe2\x82,1e7,0.015,12,4e-12\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string shown;  // on standard error, or else on standard output
    } cases[] = {
        {{"fit", sweep}, 2, "raw\\x1b.s2p», строка 1: «\\xff\\xfe» — не число"},
        {{"crystals", sweep, "--lang", "en"}, 2, "raw\\x1b.s2p, line 1: \"\\xff\\xfe\" is not"},
        {{"crystals", list}, 0, "  \\xff\\x1b\\xe2\\x82: Fo=10000 "},
        {{"crystals", list, "--json"}, 0, "\"name\": \"\\\\xff\\\\x1b\\\\xe2\\\\x82\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const auto run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.shown), std::string::npos)
            << run.out << run.err;
        EXPECT_TRUE(IsUtf8(run.out) && IsUtf8(run.err));
        EXPECT_EQ((run.out + run.err).find('\x1b'), std::string::npos);
    }
}

TEST(G3uurCommand, OneOrTwoCapacitors) {
    // Cm = 2·Δf·(C0 + C1)/f0 = 2·2000·(4 + 33) pF/10 MHz = 14.8 fF.
    const auto one = RunCli(
        {"g3uur", "--f0", "10000000", "--f1", "10002000", "--c1", "33", "--c0", "4", "--json"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NEAR(Json::parse(one.out)["CmF"].get<double>(), 14.8e-15, 1e-20);
    const auto two = RunCli({"g3uur", "--f0", "10000000", "--f1", "10002000", "--c1", "33", "--f2",
                             "10000740", "--c2", "96", "--json"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_GT(Json::parse(two.out)["LdMH"].get<double>(), 0);
    EXPECT_EQ(RunCli({"g3uur", "--f0", "10000000", "--f1", "10002000", "--c1", "33"}).status, 2);
}

TEST(CrystalsCommand, PicksTheClosestSetAndWritesTheList) {
    const std::string a = NanoVnaFile("a.s2p", 10e6, 0.015, 12, 4e-12);
    const std::string b = NanoVnaFile("b.s2p", 10e6 + 150, 0.015, 11, 4e-12);
    const std::string c = NanoVnaFile("c.s2p", 10e6 + 40, 0.015, 15, 4e-12);
    const std::string list = TempPath("bag.csv");
    std::ofstream(list) << "name,fs_hz,lm_h,rm_ohm,c0_f\nD,10000020,0.015,10,4e-12\n";
    const std::string out = TempPath("out.csv");
    const std::string set = TempPath("set.csv");
    const auto run =
        RunCli({"crystals", a, b, c, list, "--pick", "3", "--csv", out, "--set", set, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json j = Json::parse(run.out);
    ASSERT_EQ(j["crystals"].size(), 4u);
    EXPECT_EQ(j["crystals"][3]["name"], "D");
    const std::string aName = a.substr(a.find_last_of('/') + 1);
    const std::string cName = c.substr(c.find_last_of('/') + 1);
    EXPECT_EQ(j["picked"], Json::array({aName, "D", cName}));
    std::ifstream written(out);
    std::string header;
    std::getline(written, header);
    EXPECT_EQ(header, "name,fs_hz,lm_h,rm_ohm,c0_f");
    // The set holds the picked crystals only, lowest fs first.
    const std::vector<feldan::NamedCrystal> picked = feldan::ReadCrystalList(set);
    ASSERT_EQ(picked.size(), 3u);
    EXPECT_EQ(picked[0].name, aName);
    EXPECT_EQ(picked[1].name, "D");
    EXPECT_EQ(picked[2].name, cName);
}

// Six 10 MHz crystals, the fourth of another Lm, and a seventh 400 Hz away.
std::string Bag(const std::string& name, int count = 7) {
    const std::string path = TempPath(name);
    std::ofstream file(path);
    file << "name,fs_hz,lm_h,rm_ohm,c0_f\n";
    const char* rows[] = {"A,9995000,0.015", "B,9995012,0.015", "C,9995020,0.015",
                          "D,9995004,0.018", "E,9995031,0.015", "F,9995045,0.015",
                          "G,9995400,0.015"};
    for (int k = 0; k < count; ++k)
        file << rows[k] << ",10,4e-12\n";
    return path;
}

TEST(CrystalsPick, ThePickByTheResponseBesideTheSmallestSpread) {
    const std::string bag = Bag("pick.csv");
    const std::string set = TempPath("picked.csv");
    const auto run =
        RunCli({"crystals", "pick", bag, "--count", "4", "--df", "500", "--set", set, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json j = Json::parse(run.out);
    ASSERT_EQ(j["picked"].size(), 4u);
    const std::vector<feldan::NamedCrystal> written = feldan::ReadCrystalList(set);
    ASSERT_EQ(written.size(), 4u);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(j["picked"][p]["position"], p + 1);
        EXPECT_EQ(j["picked"][p]["name"], written[std::size_t(p)].name);
    }
    for (const char* key : {"trimsPF", "rippleDb", "bandwidthHz", "departureDb", "meshSpreadHz"}) {
        EXPECT_TRUE(j.contains(key)) << key;
        EXPECT_TRUE(j["byFsSpread"].contains(key)) << key;
    }
    EXPECT_EQ(j["trimsPF"].size(), 4u);
    EXPECT_EQ(j["setsSearched"], 35);  // C(7, 4)
    EXPECT_LE(j["departureDb"].get<double>(), j["byFsSpread"]["departureDb"].get<double>());
    // The comparison is the set that --pick takes, lowest fs first.
    const Json spread = Json::parse(RunCli({"crystals", bag, "--pick", "4", "--json"}).out);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(j["byFsSpread"]["picked"][p]["name"], spread["picked"][p]);
}

TEST(CrystalsPick, RefusesWhatItCannotUse) {
    const std::string bag = Bag("refused.csv");
    const std::string three = Bag("three.csv", 3);
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"crystals", "pick", bag, "--count", "8"}, 2, "--count 8"},
        {{"crystals", "pick", bag, "--fo", "9995"}, 2, "--fo"},
        {{"crystals", "pick", TempPath("none.csv")}, 2, "none.csv"},
        {{"crystals", "pick", three}, 1, "4"},
    };
    for (const auto& [args, status, named] : cases) {
        std::vector<std::string> english = args;
        english.insert(english.end(), {"--lang", "en"});
        const auto run = RunCli(english);
        EXPECT_EQ(run.status, status) << run.err;
        EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
    }
}

}  // namespace
