// Every topology and response with resonators at the ends of what crystals are: 1 kHz and
// 100 MHz, 1 µH and 10 H, 1 µOhm and 1 MOhm. Any of the program's endings is right, as long as
// everything it hands out (summary, design values, curve) is a number that can be shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/reliability/cli_process.h"
#include "tests/reliability/expected_outcome.h"

namespace feldan::reliability {
namespace {

struct Resonator {
    std::string name;
    std::string foKHz;
    std::string ldMH;
    std::string rdOhm;
};

struct ExtremeCase {
    int type;
    int response;
    Resonator resonator;
};

std::vector<ExtremeCase> ExtremeCases() {
    std::vector<Resonator> resonators;
    for (const auto& [foName, fo] : {std::pair{"Fo1kHz", "1"}, std::pair{"Fo100MHz", "100000"}}) {
        for (const auto& [ldName, ld] :
             {std::pair{"Ld1uH", "0.001"}, std::pair{"Ld10H", "10000"}}) {
            for (const auto& [rdName, rd] :
                 {std::pair{"Rd1uOhm", "1e-6"}, std::pair{"Rd1MOhm", "1e6"}}) {
                resonators.push_back(
                    {std::string(foName) + "_" + ldName + "_" + rdName, fo, ld, rd});
            }
        }
    }
    std::vector<ExtremeCase> cases;
    for (int type = 1; type <= 7; ++type) {
        for (int response = 1; response <= 5; ++response) {
            for (const Resonator& r : resonators)
                cases.push_back({type, response, r});
        }
    }
    return cases;
}

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// Design values that the tool prints as numbers; a value that is not finite would be null.
const char* const NumberKeys[] = {
    "FoKHz",     "DfHz",      "LdMH",        "CsPF",         "RdOhm",
    "CkPF",      "LevelDb",   "ProtoG1",     "ProtoG2",      "ProtoG3",
    "ProtoG4",   "FreqRatio", "CapScalePF",  "MotionalCapF", "TermOhm",
    "SourceOhm", "LoadOhm",   "InputOhm",    "RespAtFoDb",   "AFoDb",
    "PeakHz",    "AminDb",    "LowerEdgeHz", "UpperEdgeHz",  "MeasuredDfHz"};

void PrintTo(const ExtremeCase& c, std::ostream* out) {
    *out << "type " << c.type << ", response " << c.response << ", " << c.resonator.name;
}

class ExtremeResonator : public testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremeResonator, GivesAMessageOrAResultThatCanBeShown) {
    const ExtremeCase& c = GetParam();
    const ScratchFile curveFile("curve.csv");
    const CliRun run =
        RunCli({"--type", std::to_string(c.type), "--response", std::to_string(c.response), "--fo",
                c.resonator.foKHz, "--ld", c.resonator.ldMH, "--rd", c.resonator.rdOhm, "--json",
                "--overlay", "--curve", curveFile.Path()});
    ExpectSoundEnding(run, {}, std::nullopt, /*json=*/true);

    const nlohmann::json json = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(json.is_discarded()) << run.out;
    for (const char* key : NumberKeys)
        EXPECT_TRUE(json.at(key).is_number()) << key << " = " << json.at(key).dump();
    ASSERT_EQ(json.at("CapPF").size(), 28u);
    for (const nlohmann::json& slot : json.at("CapPF"))
        EXPECT_TRUE(slot.is_number()) << slot.dump();
    // The resonator arrived as typed.
    EXPECT_EQ(json.at("FoKHz").get<double>(), Number(c.resonator.foKHz));
    EXPECT_EQ(json.at("LdMH").get<double>(), Number(c.resonator.ldMH));
    EXPECT_EQ(json.at("RdOhm").get<double>(), Number(c.resonator.rdOhm));

    // The curve file holds the points the chart would get: finite, in ascending detuning.
    std::istringstream csv(curveFile.Read());
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "detuning_khz,attenuation_db");
    std::size_t points = 0;
    double lastX = -HUGE_VAL;
    while (std::getline(csv, line)) {
        const std::size_t comma = line.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        const double x = Number(line.substr(0, comma));
        const double y = Number(line.substr(comma + 1));
        ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << line;
        EXPECT_GE(x, lastX) << "point " << points;
        lastX = x;
        ++points;
    }
    EXPECT_EQ(json.at("points").get<std::size_t>(), points);

    if (run.status == 0) {
        ASSERT_TRUE(json.at("resultText").is_string());
        ASSERT_TRUE(json.at("statusText").is_string());
        EXPECT_FALSE(HasNonFiniteWord(json.at("resultText").get<std::string>()));
        EXPECT_EQ(json.at("statusText").get<std::string>().rfind("АЧХ1: ", 0), 0u);
        EXPECT_GT(points, 0u);
        EXPECT_EQ(json.at("MeasuredDfHz").get<double>(),
                  json.at("UpperEdgeHz").get<double>() - json.at("LowerEdgeHz").get<double>());
        EXPECT_TRUE(json.at("message").is_null());
    } else {
        EXPECT_TRUE(json.at("resultText").is_null());
        ASSERT_TRUE(json.at("message").is_string());
        EXPECT_EQ(json.at("message").get<std::string>() + "\n", run.err);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTopologyAndResponse, ExtremeResonator,
                         testing::ValuesIn(ExtremeCases()),
                         [](const testing::TestParamInfo<ExtremeCase>& info) {
                             return "Type" + std::to_string(info.param.type) + "_Response" +
                                    std::to_string(info.param.response) + "_" +
                                    info.param.resonator.name;
                         });

}  // namespace
}  // namespace feldan::reliability
