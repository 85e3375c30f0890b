// Runs the built feldan-cli and checks its standard output, standard error and exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "engine/version.h"
#include "tests/support/program_runner.h"

namespace {

using CliRun = feldan::test::ProgramRun;

std::string TempPath(const std::string& name) {
    static std::atomic<int> counter{0};
    return testing::TempDir() + "feldan_cli_test_" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++) + "_" + name;
}

// Runs the program with `args` in a C locale; `env` may replace the locale.
CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    CliRun run = feldan::test::RunProgram(FELDAN_CLI_PATH, args, env);
    if (!run.started) ADD_FAILURE() << "cannot start " << FELDAN_CLI_PATH;
    return run;
}

const std::string DefaultSummary =
    "Rвх=301.1 Ом;\n"
    "C1=C5=24.7 пФ; C2=C4=108.6 пФ;\n"
    "C3=168.7 пФ;\n"
    "Амин=0.802 дБ; F(Амин)=Fo+1762 Гц;\n"
    "A(Fo)=-12.05 дБ; dF(-3 дБ)=2543 Гц.\n";

const std::string BandLimit =
    "При заданном уровне АЧХ полоса пропускания\n        превысила пределы +/-30кГц.\n  "
    "Проверьте правильность исходных данных.\n";

TEST(FeldanCli, WithoutArgumentsPrintsTheSummaryOfTheDefaultDesign) {
    const CliRun run = RunCli({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, DefaultSummary);
    EXPECT_EQ(run.err, "");
}

TEST(FeldanCli, EnglishSummaryStatusAndMessages) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {{"--lang", "en"},
         0,
         "Rin=301.1 Ohm;\n"
         "C1=C5=24.7 pF; C2=C4=108.6 pF;\n"
         "C3=168.7 pF;\n"
         "Amin=0.802 dB; F(Amin)=Fo+1762 Hz;\n"
         "A(Fo)=-12.05 dB; dF(-3 dB)=2543 Hz.\n",
         ""},
        {{"--lang=en", "--separator", ",", "--overlay", "--type", "5"},
         0,
         "Rin=616,1 Ohm;\n"
         "C1=C7=34,45 pF; C2=C6=108,6 pF;\n"
         "C3=C5=43,78 pF; C4=23,61 pF;\n"
         "Amin=0,905 dB; F(Amin)=Fo+3013 Hz;\n"
         "A(Fo)=-30,36 dB; dF(-3 dB)=2242 Hz.\n"
         "Curve 1: B04C-3100; Ck=91 pF\n",
         ""},
        {{"--lang", "en", "--level", "0"}, 1, "", "The response level must be below 0 dB.\n"},
        {{"--lang", "en", "--fo", "x"},
         2,
         "",
         "'x' is not a valid floating point value\nThe field Fo(kHz) takes a number: digits with "
         "at most one decimal comma or point\n"},
        {{"--lang", "en", "--ld", "0"},
         2,
         "",
         "Floating point division by zero\nLd(mH) must be above 0\n"},
        {{"--lang", "ru"}, 0, DefaultSummary, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    const CliRun wrong = RunCli({"--lang", "de"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err.rfind("feldan-cli: ", 0), 0u) << wrong.err;
}

TEST(FeldanCli, FlagsSetTheFieldTexts) {
    struct Case {
        std::vector<std::string> args;
        std::string expected;  // a piece of the summary
    };
    const Case cases[] = {
        {{"--ld", "10,1"}, "C1=C5=24.7 пФ; C2=C4=108.6 пФ;"},
        {{"--fo", "8861,736", "--df", "3100.0"}, "A(Fo)=-12.05 дБ; dF(-3 дБ)=2543 Гц."},
        {{"--level", "-3"}, "A(Fo)=-12.05 дБ; dF(-3 дБ)=2543 Гц."},
        {{"--level=-6.5"}, " dF(-6.5 дБ)="},
        {{"--type", "5"}, "C3=\u04215=43.78 пФ; C4=23.61 пФ;"},
        {{"--type", "1", "--response", "1"}, "C2=C3=129.1 пФ;"},
        {{"--separator", ","}, "Rвх=301,1 Ом;"},
        {{"--separator", ",", "--level", "-3,5"}, " dF(-3,5 дБ)="},
        {{"--separator", "."}, "Rвх=301.1 Ом;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

TEST(FeldanCli, WarningsErrorsAndBadUsage) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // exact, or the beginning when `errPrefix`
        bool errPrefix;
    };
    const Case cases[] = {
        {{"--level", "0"}, 1, " Уровень АЧХ задан не корректно ! \n", false},
        {{"--level", ""}, 1, " Задайте уровень АЧХ ! \n", false},
        {{"--rd", "0"},
         1,
         " Активное сопротивление должно быть\n            отлично от нуля ! \n",
         false},
        {{"--rd", "0.0"},
         1,
         " Активное сопротивление должно быть\n           отлично от нуля !!! \n",
         false},
        {{"--fo", ""}, 1, " Необходимо задать все данные для расчета ! \n", false},
        {{"--type", "5", "--ck", "0"}, 1, " Решение невозможно ! \n", false},
        {{"--cs", "0.5", "--df", "300000"}, 1, BandLimit, false},
        {{"--df", "0"},
         2,
         "Floating point division by zero\nПолоса dF (Гц) должна быть больше 0\n",
         false},
        {{"--fo", "0"},
         2,
         "Invalid floating point operation\nFo(кГц) должна быть больше 0\n",
         false},
        {{"--fo", "0,001"},
         1,
         " Решение невозможно ! \nFo(кГц) должна быть от 1 до 1000000\n",
         false},
        {{"--fo", "abc"},
         2,
         "'abc' is not a valid floating point value\nВ поле Fo(кГц) нужно число: цифры и не больше "
         "одной запятой или точки\n",
         false},
        {{"--separator", ",", "--level", "-3.5.1"},
         2,
         "'-3,5,1' is not a valid floating point value\nВ поле Уровень АЧХ (дБ) нужно число: цифры "
         "и не больше одной запятой или точки\n",
         false},
        {{"--type", "8"}, 2, "feldan-cli: ", true},
        {{"--response", "0"}, 2, "feldan-cli: ", true},
        {{"--separator", ";"}, 2, "feldan-cli: ", true},
        {{"--bogus"}, 2, "feldan-cli: ", true},
        {{"--fo"}, 2, "feldan-cli: ", true},
        {{"8861"}, 2, "feldan-cli: ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        if (c.errPrefix) {
            EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
        } else {
            EXPECT_EQ(run.err, c.err);
        }
    }
}

// The classic counts by structure and order are the classic topologies, bit for bit; the others
// are generated, and the response may be named.
TEST(FeldanCli, TopologyByStructureAndOrderAndResponseByName) {
    EXPECT_EQ(RunCli({"--topology", "ladder", "--order", "4", "--response", "butterworth"}).out,
              DefaultSummary);
    EXPECT_EQ(RunCli({"--topology", "cw", "--order", "6", "--response", "3"}).out,
              RunCli({"--type", "6", "--response", "3"}).out);
    const CliRun twelve = RunCli({"--topology", "cw", "--order", "12", "--response",
                                  "chebyshev:0,25", "--json", "--overlay"});
    EXPECT_EQ(twelve.status, 0) << twelve.err;
    EXPECT_NE(twelve.out.find("\"Crystals\": 12"), std::string::npos);
    EXPECT_NE(twelve.out.find("\"RippleDb\": 0.25"), std::string::npos);
    EXPECT_NE(twelve.out.find("T12C-0.25dB-3100"), std::string::npos);
    EXPECT_NE(twelve.out.find("\"label\": \"C23\""), std::string::npos);
    struct Refused {
        std::vector<std::string> args;
        const char* says;
    };
    const Refused refused[] = {
        {{"--type", "2", "--topology", "ladder", "--order", "4"}, "exclude each other"},
        {{"--topology", "ladder"}, "go together"},
        {{"--topology", "cw", "--order", "7"}, "not 7"},
        {{"--order", "13", "--topology", "ladder"}, "--order"},
        {{"--response", "elliptic"}, "--response"},
    };
    for (const Refused& r : refused) {
        std::vector<std::string> args = r.args;
        args.insert(args.end(), {"--lang", "en"});
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2) << r.says;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
    // Bessel ends in two different terminations, and its summary names both.
    const CliRun bessel = RunCli({"--topology", "ladder", "--order", "5", "--response", "bessel"});
    EXPECT_EQ(bessel.status, 0) << bessel.err;
    EXPECT_NE(bessel.out.find("Ом; Rвых="), std::string::npos) << bessel.out;
    const auto besselJson = nlohmann::ordered_json::parse(
        RunCli({"--topology", "ladder", "--order", "5", "--response", "bessel", "--json"}).out);
    EXPECT_GT(
        std::fabs(besselJson["OutputOhm"].get<double>() / besselJson["InputOhm"].get<double>() - 1),
        0.5);
    const CliRun match =
        RunCli({"match", "--topology", "ladder", "--order", "5", "--response", "bessel"});
    EXPECT_EQ(match.status, 0) << match.err;
    EXPECT_NE(match.out.find("Г-звено на входе"), std::string::npos) << match.out;
    EXPECT_NE(match.out.find("Г-звено на выходе, 50 Ом к Rвых="), std::string::npos) << match.out;
    const CliRun ripple = RunCli({"--response", "chebyshev:4", "--lang", "en"});
    EXPECT_EQ(ripple.status, 1);
    EXPECT_NE(ripple.err.find("ripple of 4 dB is out of range"), std::string::npos) << ripple.err;
    // The tabulated responses by name, and the orders their tables lack.
    for (const auto& [name, designation] : {std::pair{"gaussian", "G08-"},
                                            {"gaussian6", "G08-6dB-"},
                                            {"gaussian12", "G08-12dB-"},
                                            {"linear-phase:0.05", "Lp08-0.05-"},
                                            {"linear-phase:0.5", "Lp08-0.5-"}}) {
        const CliRun run =
            RunCli({"--topology", "ladder", "--order", "8", "--response", name, "--json"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("\"PrototypeName\": \"" + std::string(designation) + "\""),
                  std::string::npos)
            << run.out;
    }
    const CliRun twoGaussian =
        RunCli({"--topology", "ladder", "--order", "2", "--response", "gaussian", "--lang", "en"});
    EXPECT_EQ(twoGaussian.status, 1);
    EXPECT_NE(twoGaussian.err.find("only for 3–10 crystals"), std::string::npos) << twoGaussian.err;
}

TEST(FeldanCli, JsonHoldsEveryDesignValue) {
    const CliRun run = RunCli({"--json"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const auto json = nlohmann::ordered_json::parse(run.out);
    const std::vector<std::string> fields = {
        "FilterType",    "ResponseType", "FoKHz",       "DfHz",          "LdMH",
        "CsPF",          "RdOhm",        "CkPF",        "LevelDb",       "ProtoG1",
        "ProtoG2",       "ProtoG3",      "ProtoG4",     "PrototypeName", "FreqRatio",
        "CapScalePF",    "MotionalCapF", "TermOhm",     "SourceOhm",     "LoadOhm",
        "InputOhm",      "CapPF",        "RespAtFoDb",  "AFoDb",         "PeakHz",
        "AminDb",        "LowerEdgeHz",  "UpperEdgeHz", "MeasuredDfHz",  "CkText",
        "message",       "resultText",   "statusText",  "points",        "parts",
        "ReachableDfHz", "figures",      "warning"};
    std::vector<std::string> keys;
    for (const auto& item : json.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, fields);

    EXPECT_EQ(json["FilterType"], 2);
    EXPECT_EQ(json["ResponseType"], 1);
    EXPECT_EQ(json["PrototypeName"], "B04-");
    // The start design lands 18 % narrow, and its figures measure the same band.
    EXPECT_NE(json["warning"].get<std::string>().find("2543"), std::string::npos);
    EXPECT_NEAR(json["figures"]["bandwidthHz"]["3"].get<double>(), 2543, 1.5);
    EXPECT_EQ(json["FoKHz"].get<double>(), 8861.736);
    ASSERT_EQ(json["CapPF"].size(), 28u);
    EXPECT_NEAR(json["CapPF"][0].get<double>(), 108.58, 0.005);
    EXPECT_NEAR(json["CapPF"][1].get<double>(), 168.71, 0.005);
    EXPECT_NEAR(json["CapPF"][12].get<double>(), 24.703, 0.0005);
    EXPECT_EQ(json["CapPF"][2].get<double>(), 0);
    EXPECT_EQ(json["PeakHz"].get<double>() - json["FoKHz"].get<double>() * 1000, 1762);
    EXPECT_EQ(json["MeasuredDfHz"].get<double>(), 2543);
    EXPECT_EQ(json["CkText"], "");
    EXPECT_TRUE(json["message"].is_null());
    EXPECT_TRUE(json["statusText"].is_null());
    EXPECT_EQ(json["resultText"].get<std::string>() + "\n", DefaultSummary);
    EXPECT_EQ(json["points"], 2543);
    // The schematic's capacitors by their labels, mirrored about the middle of the ladder.
    std::vector<std::string> labels;
    for (const auto& part : json["parts"])
        labels.push_back(part["label"]);
    EXPECT_EQ(labels, (std::vector<std::string>{"C1", "C2", "C3", "C4", "C5"}));
    EXPECT_NEAR(json["parts"][0]["pF"].get<double>(), 24.703, 0.0005);
    EXPECT_NEAR(json["parts"][1]["pF"].get<double>(), 108.58, 0.005);
    EXPECT_EQ(json["parts"][0]["pF"], json["parts"][4]["pF"]);
    EXPECT_EQ(json["parts"][1]["pF"], json["parts"][3]["pF"]);
    // 17 significant digits: the nearest double to 8861.736 needs all of them.
    EXPECT_NE(run.out.find("\"FoKHz\": 8861.7360000000008,"), std::string::npos);
    EXPECT_NE(run.out.find("\"DfHz\": 3100,"), std::string::npos);
}

TEST(FeldanCli, ExactJsonAddsTheIterationAndTheReachableBand) {
    const CliRun run = RunCli({"--exact", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> tail;
    for (const auto& item : json.items())
        tail.push_back(item.key());
    tail.erase(tail.begin(), tail.end() - 8);
    EXPECT_EQ(tail,
              (std::vector<std::string>{"ExactDesign", "DesignDfHz", "EffectiveLdMH", "iterations",
                                        "ReachableDfHz", "NarrowestDfHz", "figures", "warning"}));
    EXPECT_EQ(json["warning"], nullptr);
    EXPECT_EQ(json["ExactDesign"], true);
    EXPECT_NEAR(json["MeasuredDfHz"].get<double>(), 3100, 1);
    EXPECT_GT(json["EffectiveLdMH"].get<double>(), json["LdMH"].get<double>());
    EXPECT_LE(json["iterations"].get<int>(), 20);
    EXPECT_EQ(json["statusText"], nullptr);

    // Refused, with the band it names; the classic way keeps its width and exit status.
    const CliRun refused = RunCli({"--exact", "--json", "--df", "20000", "--lang", "en"});
    EXPECT_EQ(refused.status, 1);
    const auto band = nlohmann::json::parse(refused.out)["ReachableDfHz"].get<double>();
    EXPECT_NE(refused.err.find("no band wider than " + std::to_string(int(band)) + " Hz"),
              std::string::npos)
        << refused.err;
    // Too narrow: the narrowest band is named on its own key.
    const CliRun narrow = RunCli({"--exact", "--json", "--df", "100", "--rd", "60"});
    EXPECT_EQ(narrow.status, 1);
    const auto narrowest = nlohmann::json::parse(narrow.out)["NarrowestDfHz"].get<double>();
    EXPECT_GT(narrowest, 100);
    EXPECT_NE(narrow.err.find("не уже " + std::to_string(int(narrowest)) + " Гц"),
              std::string::npos)
        << narrow.err;
    const CliRun classic = RunCli({"--df", "20000", "--json"});
    EXPECT_EQ(classic.status, 0);
    EXPECT_EQ(nlohmann::json::parse(classic.out)["MeasuredDfHz"], 8241);
    EXPECT_EQ(nlohmann::json::parse(classic.out)["ReachableDfHz"], band);
    const std::string overlay = RunCli({"--exact", "--overlay"}).out;
    EXPECT_NE(overlay.find("dF(-3 дБ)=3100 Гц.\nАЧХ1: B04-3100 точно; "), std::string::npos)
        << overlay;
}

TEST(FeldanCli, JsonReportsWarningsAndErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--json", "--level", "0"}, 1, " Уровень АЧХ задан не корректно ! "},
        {{"--json", "--rd", "0"},
         1,
         " Активное сопротивление должно быть\n            отлично от нуля ! "},
        {{"--json", "--df", "0"},
         2,
         "Floating point division by zero\nПолоса dF (Гц) должна быть больше 0"},
        {{"--json", "--ck", "x", "--type", "6"},
         2,
         "'x' is not a valid floating point value\nВ поле Ck(пФ) нужно число: цифры и не больше "
         "одной запятой или точки"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.message + "\n");
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_EQ(json["message"], c.message);
        EXPECT_TRUE(json["resultText"].is_null());
        EXPECT_EQ(json["points"], 0);
    }
}

struct CsvCurve {
    std::string header;
    std::vector<std::pair<double, double>> rows;
};

CsvCurve ReadCurve(const std::string& path) {
    std::ifstream file(path);
    CsvCurve curve;
    std::getline(file, curve.header);
    std::string line;
    while (std::getline(file, line)) {
        const auto comma = line.find(',');
        curve.rows.emplace_back(std::stod(line.substr(0, comma)),
                                std::stod(line.substr(comma + 1)));
    }
    return curve;
}

TEST(FeldanCli, CurveAsCsv) {
    const std::string path = TempPath("curve.csv");
    const CliRun run = RunCli({"--curve", path, "--separator", ","});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Rвх=301,1 Ом;\n", 0), 0u);
    const CsvCurve curve = ReadCurve(path);
    EXPECT_EQ(curve.header, "detuning_khz,attenuation_db");
    ASSERT_EQ(curve.rows.size(), 2543u);
    EXPECT_NEAR(curve.rows.front().first, 0.596, 1e-12);
    EXPECT_NEAR(curve.rows.back().first, 3.138, 1e-12);
    // The curve lies at or below the response maximum (Амин = 0.802 dB, shown as -0.802).
    for (const auto& row : curve.rows)
        ASSERT_LE(row.second, -0.8015);
    std::remove(path.c_str());
}

TEST(FeldanCli, CurveCutShortByTheBandLimitIsWritten) {
    const std::string path = TempPath("curve.csv");
    const CliRun run = RunCli({"--curve", path, "--level=-75", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, BandLimit);
    EXPECT_EQ(nlohmann::json::parse(run.out)["points"], 30000);
    EXPECT_EQ(ReadCurve(path).rows.size(), 30000u);
    std::remove(path.c_str());
}

TEST(FeldanCli, CurveThatCannotBeWrittenIsAnError) {
    const CliRun run = RunCli({"--curve", "/nonexistent-folder/curve.csv"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("/nonexistent-folder/curve.csv"), std::string::npos);
}

TEST(FeldanCli, OverlayPrintsTheStatusText) {
    struct Case {
        std::vector<std::string> args;
        std::string status;
    };
    const Case cases[] = {
        {{"--overlay"}, "АЧХ1: B04-3100; "},
        {{"--overlay", "--type", "5", "--response", "2"}, "АЧХ1: T04C-103100; Ck=91 пФ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 0);
        ASSERT_GE(run.out.size(), c.status.size() + 1);
        EXPECT_EQ(run.out.substr(run.out.size() - c.status.size() - 1), c.status + "\n");
        std::vector<std::string> jsonArgs = c.args;
        jsonArgs.push_back("--json");
        EXPECT_EQ(nlohmann::json::parse(RunCli(jsonArgs).out)["statusText"], c.status);
    }
}

TEST(FeldanCli, HelpReadsLikeAManualPage) {
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> sections = {"NAME\n",    "SYNOPSIS\n",    "DESCRIPTION\n",
                                               "OPTIONS\n", "SUBCOMMANDS\n", "EXIT STATUS\n",
                                               "EXAMPLES\n"};
    std::size_t previous = 0;
    for (const std::string& section : sections) {
        SCOPED_TRACE(section);
        const std::size_t at = run.out.find(section);
        ASSERT_NE(at, std::string::npos);
        EXPECT_GE(at, previous);
        previous = at;
    }
    const std::size_t synopsisAt = run.out.find("SYNOPSIS\n");
    const std::string synopsis =
        run.out.substr(synopsisAt, run.out.find("DESCRIPTION\n") - synopsisAt);
    EXPECT_EQ(synopsis.find(
                  "SYNOPSIS\n    feldan-cli [--type N] [--topology S] [--order N] [--response R]"),
              0u);
    for (const char* usage :
         {"[--ld T]", "[--cs T]", "[--rd T]", "[--df T]", "[--ck T]", "[--level T]",
          "[--separator C]", "[--lang L]", "[--overlay]", "[--json]", "[--curve FILE]",
          "\n    feldan-cli --help\n", "\n    feldan-cli --version\n"}) {
        SCOPED_TRACE(usage);
        EXPECT_NE(synopsis.find(usage), std::string::npos);
    }
    // Every line fits a terminal of 80 columns (the text is UTF-8, so count characters).
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t characters = 0;
        for (unsigned char c : line)
            characters += (c & 0xC0) != 0x80;
        EXPECT_LE(characters, 80u) << line;
    }
}

// Each name the SUBCOMMANDS section gives (a line followed by its indented description) is a
// subcommand: its --help is its own, not the calculation's, which an unknown word would get.
TEST(FeldanCli, HelpListsEverySubcommand) {
    const CliRun run = RunCli({"--help"});
    const std::size_t from = run.out.find("SUBCOMMANDS\n");
    ASSERT_NE(from, std::string::npos);
    std::istringstream section(run.out.substr(from, run.out.find("EXIT STATUS\n") - from));
    std::vector<std::string> names;
    std::string line, next;
    std::getline(section, line);
    while (std::getline(section, next)) {
        if (line.rfind("    ", 0) == 0 && line[4] != ' ' && next.rfind("        ", 0) == 0)
            names.push_back(line.substr(4, line.find(' ', 4) - 4));
        line = next;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"fit", "g3uur", "crystals", "sweep", "export",
                                               "measured", "diagnose", "transient", "round",
                                               "match", "tolerance", "vna"}));
    for (const std::string& name : names) {
        const CliRun help = RunCli({name, "--help"});
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_NE(help.out.find("Usage: " + name), std::string::npos) << name;
        // The subcommands print their numbers with "."; --separator only quotes a field text.
        if (help.out.find("--separator") != std::string::npos) {
            EXPECT_EQ(help.out.find("system locale"), std::string::npos) << name;
        }
    }
}

TEST(FeldanCli, ControlCharactersInAMessageCannotReachTheTerminal) {
    struct Case {
        std::string fo;
        std::string shown;  // how the text appears inside the message
    };
    const Case cases[] = {
        {"\x1b[31m", "\\x1b[31m"},
        {"1\a2", "1\\x072"},
        {"12\r3", "12\n3"},  // the window's line break, printed as the shell's
        {"\x7f", "\\x7f"},
        {"\xc2\x9b"
         "31m",
         "\\u009b31m"},
        {"Гц", "Гц"},
        {"\xff\xfe", "\\xff\\xfe"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const CliRun run = RunCli({"--fo", c.fo});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "'" + c.shown +
                               "' is not a valid floating point value\nВ поле Fo(кГц) нужно "
                               "число: цифры и не больше одной запятой или точки\n");
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
        // The JSON message is the same text; the library refuses one that is not UTF-8.
        const CliRun json = RunCli({"--json", "--fo", c.fo});
        EXPECT_EQ(json.status, 2);
        EXPECT_EQ(nlohmann::json::parse(json.out)["message"].get<std::string>() + "\n", run.err);
    }
}

TEST(FeldanCli, EmptyFileNamesAreBadUsage) {
    for (const char* option : {"--design", "--save-design", "--curve"}) {
        SCOPED_TRACE(option);
        for (const CliRun& run : {RunCli({option, ""}), RunCli({std::string(option) + "="})}) {
            EXPECT_EQ(run.status, 2);
            EXPECT_TRUE(run.out.empty());
            EXPECT_NE(run.err.find(std::string(option) + ": пустое имя файла"), std::string::npos)
                << run.err;
        }
    }
}

// "--option=" is the empty text, as `--option ""` is; the next argument stays an option of its
// own (--json here, whose output shows that it was read).
TEST(FeldanCli, NothingAfterTheEqualsSignIsTheEmptyText) {
    const std::string missingData = " Необходимо задать все данные для расчета ! \n";
    struct Case {
        std::vector<std::string> before;  // arguments ahead of the option
        std::string option;
        int status;
        std::string err;  // exact, or the beginning for bad usage (status 2)
    };
    const Case cases[] = {
        {{}, "--fo", 1, missingData},
        {{}, "--ld", 1, missingData},
        {{}, "--cs", 1, missingData},
        {{}, "--rd", 1, missingData},
        {{}, "--df", 1, missingData},
        {{"--type", "5"}, "--ck", 1, missingData},
        {{}, "--level", 1, " Задайте уровень АЧХ ! \n"},
        {{}, "--type", 2, "feldan-cli: --type: "},
        {{}, "--separator", 2, "feldan-cli: --separator: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        std::vector<std::string> joined = c.before;
        joined.insert(joined.end(), {c.option + "=", "--json"});
        std::vector<std::string> apart = c.before;
        apart.insert(apart.end(), {c.option, "", "--json"});
        const CliRun run = RunCli(joined);
        EXPECT_EQ(run.status, c.status);
        if (c.status == 1) {
            EXPECT_EQ(run.err, c.err);
            EXPECT_EQ(nlohmann::json::parse(run.out)["message"].get<std::string>() + "\n", c.err);
        } else {
            EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
        }
        const CliRun same = RunCli(apart);
        EXPECT_EQ(run.status, same.status);
        EXPECT_EQ(run.out, same.out);
        EXPECT_EQ(run.err, same.err);
    }
    // An option joined with "=" that follows is not taken as the value either.
    for (const char* separator : {"--separator=.", "--separator=,"}) {
        const CliRun run = RunCli({"--type", "5", "--ck=", separator});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, missingData);
    }
}

// Every field reads "." and "," alike, whichever separator the locale has: the text with the
// other separator gives the same value and the same output as the one with the locale's.
TEST(FeldanCli, EveryFieldTakesEitherSeparator) {
    struct Case {
        std::string option;
        std::string text;  // with "."; also given with ","
        const char* key;
        double value;
    };
    const Case cases[] = {
        {"--fo", "8861.5", "FoKHz", 8861.5},  {"--ld", "10.25", "LdMH", 10.25},
        {"--cs", "6.5", "CsPF", 6.5},         {"--rd", "5.75", "RdOhm", 5.75},
        {"--df", "3100.5", "DfHz", 3100.5},   {"--ck", "82.5", "CkPF", 82.5},
        {"--level", "-6.5", "LevelDb", -6.5},
    };
    for (const Case& c : cases) {
        std::string comma = c.text;
        comma[comma.find('.')] = ',';
        for (const char separator : {'.', ','}) {
            SCOPED_TRACE(c.option + " with the separator " + separator);
            const std::string& own = separator == '.' ? c.text : comma;
            const std::string& other = separator == '.' ? comma : c.text;
            std::vector<std::string> args = {"--type", "5", "--separator", {separator}, "--json"};
            args.insert(args.end(), {c.option, own});
            const CliRun byOwn = RunCli(args);
            args.back() = other;
            const CliRun byOther = RunCli(args);
            EXPECT_EQ(byOwn.status, 0) << byOwn.err;
            EXPECT_EQ(nlohmann::json::parse(byOwn.out)[c.key].get<double>(), c.value);
            EXPECT_EQ(byOther.status, byOwn.status);
            EXPECT_EQ(byOther.out, byOwn.out);
            EXPECT_EQ(byOther.err, byOwn.err);
        }
    }
}

TEST(FeldanCli, Version) {
    const CliRun run = RunCli({"--version"});
    EXPECT_EQ(run.status, 0);
    // The one version of the build, as four numbers and the letter of the build.
    EXPECT_EQ(run.out, std::string("feldan-cli ") + feldan::VersionText + "\n");
    // Four numbers and a letter, each after a point.
    std::istringstream parts(feldan::VersionText);
    std::vector<std::string> fields;
    for (std::string field; std::getline(parts, field, '.');)
        fields.push_back(field);
    ASSERT_EQ(fields.size(), 5u) << feldan::VersionText;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(!fields[i].empty() &&
                    fields[i].find_first_not_of("0123456789") == std::string::npos)
            << feldan::VersionText;
    EXPECT_TRUE(fields[4].size() == 1 && std::islower(static_cast<unsigned char>(fields[4][0])))
        << feldan::VersionText;
}

TEST(FeldanCli, DefaultSeparatorIsTheSystemLocales) {
    EXPECT_EQ(RunCli({}, {"LC_ALL=C"}).out.rfind("Rвх=301.1 Ом;", 0), 0u);
    for (const char* locale : {"ru_RU.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, locale) == nullptr) continue;
        std::setlocale(LC_NUMERIC, "C");
        const CliRun run = RunCli({}, {std::string("LC_ALL=") + locale});
        EXPECT_EQ(run.out.rfind("Rвх=301,1 Ом;", 0), 0u) << locale;
        return;
    }
    GTEST_SKIP() << "no locale with a decimal comma is installed";
}

}  // namespace
