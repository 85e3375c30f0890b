#include "files/project_file.h"
#include "engine/ladder_design.h"
#include "files/design_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/file_error.h"

namespace feldan {
namespace {

Project SampleProject() {
    Project project;
    project.design.texts.Fo = "9999,5";
    project.design.texts.Ck = "";
    project.design.filterType = 7;
    project.design.responseType = 5;
    project.crystals = {
        {"X1 «кварц»", CrystalFromSeriesResonance(9999950.5, 0.0151, 12.25, 3.9e-12)},
        {"X \"2\"", CrystalFromSeriesResonance(10000020.125, 0.0149, 9.5, 0)},
    };
    project.positions = {1, 0};
    project.trim = true;
    project.rounding = RoundingRequest{ESeries::E96, 2.5, true, true};
    project.tuning = {{"C3", 170.5}, {"Rin", 299.75}, {"Ct2", 1500}};
    project.matchOhm = 50;
    return project;
}

TEST(ProjectFile, WrittenAndReadBackToTheBit) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "feldan_project_test.feldan").string();
    const Project project = SampleProject();
    WriteProjectFile(path, project);
    const Project back = ReadProjectFile(path);
    std::remove(path.c_str());
    EXPECT_EQ(back.design.texts.Fo, "9999,5");
    EXPECT_EQ(back.design.texts.Ck, "");
    EXPECT_EQ(back.design.texts.Level, project.design.texts.Level);
    EXPECT_EQ(back.design.filterType, 7);
    EXPECT_EQ(back.design.responseType, 5);
    EXPECT_TRUE(back.trim);
    ASSERT_EQ(back.crystals.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(back.crystals[k].name, project.crystals[k].name);
        EXPECT_EQ(back.crystals[k].model.fsHz, project.crystals[k].model.fsHz);
        EXPECT_EQ(back.crystals[k].model.lmH, project.crystals[k].model.lmH);
        EXPECT_EQ(back.crystals[k].model.cmF, project.crystals[k].model.cmF);
        EXPECT_EQ(back.crystals[k].model.rmOhm, project.crystals[k].model.rmOhm);
        EXPECT_EQ(back.crystals[k].model.c0F, project.crystals[k].model.c0F);
    }
    EXPECT_EQ(back.positions, project.positions);
    EXPECT_TRUE(back.useSet);
    ASSERT_TRUE(back.rounding);
    EXPECT_EQ(back.rounding->series, ESeries::E96);
    EXPECT_EQ(back.rounding->parallelPct, 2.5);
    EXPECT_TRUE(back.rounding->refitTermination && back.rounding->terminationToE24);
    EXPECT_EQ(back.tuning, project.tuning);
    EXPECT_EQ(back.matchOhm, 50);
    EXPECT_EQ(ProjectFileName("a/b"), "a/b.feldan");
    EXPECT_EQ(ProjectFileName("a/b.FELDAN"), "a/b.FELDAN");
}

TEST(ProjectFile, TheWayOfDesignIsKeptAndAClassicProjectIsVersionOne) {
    Project project = SampleProject();
    EXPECT_NE(ProjectBytes(project).find("\"version\": 1"), std::string::npos);
    EXPECT_EQ(ProjectBytes(project).find("exact"), std::string::npos);
    EXPECT_FALSE(ParseProject(ProjectBytes(project), "p.feldan").design.exact);
    project.design.exact = true;
    const std::string bytes = ProjectBytes(project);
    EXPECT_NE(bytes.find("\"version\": 2"), std::string::npos);
    EXPECT_TRUE(ParseProject(bytes, "p.feldan").design.exact);
    std::string wrong = bytes;
    wrong.replace(wrong.find("\"exact\": true"), 13, "\"exact\": 1");
    EXPECT_THROW(ParseProject(wrong, "p.feldan"), ProjectFileError);
}

// A design beyond the design file's lists is version 3, says what its numbers stand for and
// comes back with its ripple; the design file refuses it by name and writes nothing.
TEST(ProjectFile, ADesignBeyondTheClassicListsIsVersionThree) {
    Project project = SampleProject();
    project.design.filterType = FilterTypeOfLadder(LadderStructure::Plain, 11);
    project.design.responseType = int(ResponseType::Chebyshev);
    project.design.ripple = "0,25";
    const std::string bytes = ProjectBytes(project);
    for (const char* entry : {"\"version\": 3", "\"crystals\": 11", "\"structure\": \"ladder\"",
                              "\"family\": \"chebyshev\"", "\"rippleDb\": \"0,25\""}) {
        EXPECT_NE(bytes.find(entry), std::string::npos) << entry;
    }
    const Project back = ParseProject(bytes, "p.feldan");
    EXPECT_EQ(back.design.filterType, project.design.filterType);
    EXPECT_EQ(back.design.responseType, project.design.responseType);
    EXPECT_EQ(back.design.ripple, "0,25");
    DesignFileLines lines;
    lines[1] = "untouched";  // the Fo line
    try {
        FieldsToFileLines(project.design, lines);
        ADD_FAILURE() << "a design file took it";
    } catch (const DesignFileWarning& warning) {
        EXPECT_NE(std::string(warning.what()).find("T11-0.25dB-"), std::string::npos);
    }
    EXPECT_EQ(lines[1], "untouched");
}

TEST(ProjectFile, UnknownEntriesAreIgnoredAndTheSetIsOptional) {
    const Project p = ParseProject(R"({"format": "feldan-project", "version": 1, "later": {},
        "design": {"Fo": "1", "Df": "2", "Ld": "3", "Cs": "4", "Rd": "5", "Ck": "6",
                   "Level": "-3", "filterType": 1, "responseType": 2, "later": true}})",
                                   "p.feldan");
    EXPECT_EQ(p.design.texts.Ck, "6");
    EXPECT_EQ(p.design.responseType, 2);
    EXPECT_TRUE(p.crystals.empty());
    EXPECT_FALSE(p.trim);
    EXPECT_FALSE(p.rounding || p.matchOhm);
    EXPECT_TRUE(p.tuning.empty());
}

TEST(ProjectFile, MalformedFilesNameTheFileAndWhatIsWrong) {
    // A valid project with one part replaced.
    const auto with = [](const std::string& from, const std::string& to) {
        std::string text = ProjectBytes(SampleProject());
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    struct Case {
        std::string text;
        std::string message;
    };
    std::vector<Case> cases = {
        {"", "p.feldan, line 1: this is not JSON (syntax error while parsing value"},
        {"{\n\"format\": \"feldan-project\",\n\"version\": 1,,\n}",
         "p.feldan, line 3: this is not JSON"},
        {"[1, 2]", "p.feldan: this is not a Feldan project"},
        {R"({"format": "other", "version": 1})", "p.feldan: this is not a Feldan project"},
        {with("\"version\": 1", "\"version\": 6"), "p.feldan: the format version 6 is newer"},
        {with("\"version\": 1", "\"version\": 0"), "p.feldan: the entry version has a value"},
        {with("\"version\": 1", "\"version\": 1.5"), "p.feldan: the entry version is missing"},
        {with("\"Fo\": \"9999,5\"", "\"Fo\": 9999.5"), "p.feldan: the entry design.Fo is missing"},
        {with("\"filterType\": 7", "\"filterType\": 26"),
         "the entry design.filterType has a value"},
        {with("\"responseType\": 5", "\"responseType\": -1"),
         "the entry design.responseType has a value"},
        {with("\"design\"", "\"desing\""), "p.feldan: the entry design is missing"},
        {with("\"crystals\": [", "\"crystals\": [7, "), "the entry crystals[0] is missing"},
        {with("\"rmOhm\": 12.25", "\"rmOhm\": -12.25"), "the entry crystals[0].rmOhm has a value"},
        {with("\"lmH\": 0.0151", "\"lmH\": 0.0152"), "the entry crystals[0].cmF has a value"},
        {with("\"name\": \"X \\\"2\\\"\"", "\"name\": null"),
         "the entry crystals[1].name is missing"},
        {with("\"trim\": true", "\"trim\": 1"), "the entry trim is missing"},
        {with("\"positions\": [\n    1,", "\"positions\": [\n    2,"),
         "the entry positions[0] has a value"},
        {with("\"series\": \"E96\"", "\"series\": \"E7\""), "the entry rounding.series has"},
        {with("\"value\": 170.5", "\"value\": 0"), "the entry tuning[0].value has a value"},
        {with("\"lmH\": 0.0151", "\"lmH\": 1e999"), "p.feldan: this is not JSON (number overflow"},
    };
    // A measured crystal's sweep: its kind, fixture and rising points of three numbers.
    Project measured = SampleProject();
    measured.crystals[1].sweep = CrystalSweep{SweepKind::SeriesThrough, 50, {1e7, 1.1e7}, {0, 0}};
    const auto withSweep = [&](const std::string& from, const std::string& to) {
        std::string text = ProjectBytes(measured);
        return text.replace(text.find(from), from.size(), to);
    };
    const Case sweepCases[] = {
        {withSweep("\"seriesThrough\"", "\"through\""), "the entry crystals[1].sweep.kind has"},
        {withSweep("\"fixtureOhm\": 50", "\"fixtureOhm\": 0"),
         "the entry crystals[1].sweep.fixtureOhm has"},
        {withSweep("11000000.0", "9000000.0"), "the entry crystals[1].sweep.points[1] has"},
        {withSweep("11000000.0,", ""), "the entry crystals[1].sweep.points[1] is missing"},
        {withSweep("\"sweep\": {", "\"sweep\": [{"), "this is not JSON"},
    };
    cases.insert(cases.end(), std::begin(sweepCases), std::end(sweepCases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseProject(c.text, "p.feldan");
            ADD_FAILURE() << "accepted";
        } catch (const ProjectFileError& error) {
            const std::string english = error.Text(Language::English);
            EXPECT_NE(english.find(c.message), std::string::npos) << english;
            EXPECT_EQ(error.message().file, "p.feldan");
        }
    }
    EXPECT_THROW(ReadProjectFile("/nonexistent/p.feldan"), FileError);
}

// A measured crystal keeps its sweep to the bit, which makes the file version 4; a file of
// version 3 as the program before wrote it still opens, its crystals without sweeps.
TEST(ProjectFile, AMeasuredCrystalKeepsItsSweep) {
    Project project = SampleProject();
    CrystalSweep sweep{
        SweepKind::OnePort, 12.5, {9999000.125, 10000000.5}, {{0.5, -1e-9}, {-2, 3}}};
    project.crystals[0].sweep = sweep;
    const std::string bytes = ProjectBytes(project);
    EXPECT_NE(bytes.find("\"version\": 4"), std::string::npos);
    const Project back = ParseProject(bytes, "p.feldan");
    ASSERT_TRUE(back.crystals[0].sweep);
    EXPECT_FALSE(back.crystals[1].sweep);
    EXPECT_EQ(back.crystals[0].sweep->kind, SweepKind::OnePort);
    EXPECT_EQ(back.crystals[0].sweep->fixtureOhm, 12.5);
    EXPECT_EQ(back.crystals[0].sweep->frequencyHz, sweep.frequencyHz);
    EXPECT_EQ(back.crystals[0].sweep->measured, sweep.measured);

    const Project older = ParseProject(R"({"format": "feldan-project", "version": 3,
        "design": {"Fo": "8861.7", "Df": "2400", "Ld": "10.1", "Cs": "6.3", "Rd": "6", "Ck": "",
                   "Level": "-3", "filterType": 12, "responseType": 1, "structure": "ladder",
                   "crystals": 11, "family": "butterworth"},
        "crystals": [{"name": "X1", "fsHz": 8861736.0, "lmH": 0.0101,
                      "cmF": 3.1936055464333624e-14, "rmOhm": 5.7, "c0F": 6.3e-12}]})",
                                       "old.feldan");
    ASSERT_EQ(older.crystals.size(), 1u);
    EXPECT_FALSE(older.crystals[0].sweep);
    EXPECT_EQ(older.design.filterType, 12);
}

// A crystal's unwanted modes are kept (Cm following from fs and Lm), which makes the file
// version 5; more modes than a crystal holds, or a mode without its Rm, are refused.
TEST(ProjectFile, ACrystalKeepsItsUnwantedModes) {
    Project project = SampleProject();
    project.crystals[1].model.modes = {ModeFromSeriesResonance(9.02e6, 0.015, 24.5),
                                       ModeFromSeriesResonance(9.1e6, 0.03, 400)};
    const std::string bytes = ProjectBytes(project);
    EXPECT_NE(bytes.find("\"version\": 5"), std::string::npos);
    const Project back = ParseProject(bytes, "p.feldan");
    EXPECT_TRUE(back.crystals[0].model.modes.empty());
    EXPECT_EQ(back.crystals[1].model.modes, project.crystals[1].model.modes);

    const std::string mode = R"({"fsHz": 9.02e6, "lmH": 0.015, "rmOhm": 24})";
    for (const auto& [modes, message] :
         {std::pair{"[" + mode + "," + mode + "," + mode + "," + mode + "]",
                    "недопустимое значение записи crystals[1].modes"},
          {R"([{"fsHz": 9.02e6, "lmH": 0.015}])", "нет записи crystals[1].modes[0].rmOhm"}}) {
        std::string text = bytes;
        const std::size_t at = text.find("\"modes\": [");
        text.replace(at, text.find(']', at) + 1 - at, "\"modes\": " + modes);
        try {
            ParseProject(text, "p.feldan");
            ADD_FAILURE() << modes;
        } catch (const ProjectFileError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace feldan
