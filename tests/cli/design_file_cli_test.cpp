// Runs the built feldan-cli with --design and --save-design and checks the files it reads and
// writes, its outputs and its exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace {

namespace fs = std::filesystem;

using CliRun = feldan::test::ProgramRun;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const std::string ExampleBytes =
    "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n2\r\n1\r\n";

class DesignFileCli : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("feldan-cli-design-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Runs the program in the C locale.
    CliRun RunCli(const std::vector<std::string>& args) {
        CliRun run = feldan::test::RunProgram(FELDAN_CLI_PATH, args);
        if (!run.started) ADD_FAILURE() << "cannot start " << FELDAN_CLI_PATH;
        return run;
    }

    fs::path folder_;
};

// A design file is the same design as the flags that name its values: the outputs agree.
TEST_F(DesignFileCli, DesignFileGivesTheSameCalculationAsItsFlags) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> flags;
    };
    const Case cases[] = {
        {"example", ExampleBytes, {}},
        {"4CW Chebyshev",
         "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n500\r\n\r\n\r\n-3\r\n82\r\n5\r\n2\r\n",
         {"--type", "5", "--response", "2", "--ck", "82", "--df", "500"}},
        {"comma texts, LF line ends, hexadecimal types",
         "9000,5\n12\n4,1\n8\n2400\nx\ny\n-6\n91\n$3\n0x4\n",
         {"--fo", "9000,5", "--ld", "12", "--cs", "4,1", "--rd", "8", "--df", "2400", "--level",
          "-6", "--type", "3", "--response", "4"}},
        {"a field that the calculation refuses",
         "8861.736\r\n\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n1\r\n1\r\n",
         {"--ld", "", "--type", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder_ / "design.fdn";
        WriteBytes(file, c.bytes);
        for (const std::vector<std::string>& extra :
             {std::vector<std::string>{}, std::vector<std::string>{"--json"}}) {
            std::vector<std::string> fromFile = {"--design", file.string()};
            fromFile.insert(fromFile.end(), extra.begin(), extra.end());
            std::vector<std::string> fromFlags = c.flags;
            fromFlags.insert(fromFlags.end(), extra.begin(), extra.end());
            const CliRun byFile = RunCli(fromFile);
            const CliRun byFlags = RunCli(fromFlags);
            EXPECT_EQ(byFile.status, byFlags.status);
            EXPECT_EQ(byFile.out, byFlags.out);
            EXPECT_EQ(byFile.err, byFlags.err);
            EXPECT_FALSE(byFile.out.empty() && byFile.err.empty());
        }
    }
}

// A design saved where the locale writes decimal commas calculates where it writes points.
TEST_F(DesignFileCli, CommaDesignCalculatesUnderThePointSeparator) {
    const fs::path file = folder_ / "comma.fdn";
    WriteBytes(file, "8861,736\r\n10,1\r\n6,3\r\n5,7\r\n500\r\n\r\n\r\n-6,5\r\n82,5\r\n5\r\n2\r\n");
    const CliRun byFile = RunCli({"--design", file.string(), "--separator", "."});
    const CliRun byFlags =
        RunCli({"--type",  "5",    "--response", "2",    "--fo",        "8861.736", "--ld",
                "10.1",    "--cs", "6.3",        "--rd", "5.7",         "--df",     "500",
                "--level", "-6.5", "--ck",       "82.5", "--separator", "."});
    EXPECT_EQ(byFile.status, 0) << byFile.err;
    EXPECT_EQ(byFile.err, "");
    EXPECT_NE(byFile.out.find(" dF(-6.5 дБ)="), std::string::npos) << byFile.out;
    EXPECT_EQ(byFile.out, byFlags.out);
}

TEST_F(DesignFileCli, FlagsApplyAfterTheFile) {
    const fs::path file = folder_ / "design.fdn";
    WriteBytes(file, "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n500\r\n\r\n\r\n-3\r\n82\r\n5\r\n2\r\n");
    const CliRun overridden = RunCli({"--design", file.string(), "--df", "700", "--type", "6"});
    const CliRun flags =
        RunCli({"--type", "6", "--response", "2", "--ck", "82", "--df", "700", "--json"});
    const CliRun overriddenJson =
        RunCli({"--json", "--design", file.string(), "--df", "700", "--type", "6"});
    EXPECT_EQ(overridden.status, 0);
    EXPECT_EQ(overriddenJson.out, flags.out);
    EXPECT_NE(overridden.out, RunCli({"--design", file.string()}).out);
}

TEST_F(DesignFileCli, DesignFileThatFailsIsAnError) {
    fs::create_directories(folder_ / "folder.fdn");
    struct Case {
        const char* name;
        std::string bytes;  // empty: no file is written
        std::string path;
        std::string reason;  // a piece of the message on standard error
    };
    const std::string good = "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n";
    const Case cases[] = {
        {"missing", "", (folder_ / "missing.fdn").string(), "нет такого файла"},
        {"folder", "", (folder_ / "folder.fdn").string(), "это папка, а не файл"},
        {"type not an integer", good + "two\r\n1\r\n", "", "'two' is not a valid integer value"},
        {"nine lines", good, "", "'' is not a valid integer value"},
        {"type out of range", good + "9\r\n1\r\n", "", "от 1 до 7"},
        {"response out of range", good + "2\r\n6\r\n", "", "от 1 до 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.path;
        if (path.empty()) {
            path = (folder_ / "bad.fdn").string();
            WriteBytes(path, c.bytes);
        }
        for (const char* output : {"--overlay", "--json"}) {
            SCOPED_TRACE(output);
            const CliRun run = RunCli({"--design", path, output});
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err.rfind(path + ": ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        }
    }
    // The same refusal in English.
    const std::string path = (folder_ / "bad.fdn").string();
    WriteBytes(path, good + "9\r\n1\r\n");
    const CliRun english = RunCli({"--design", path, "--lang", "en"});
    EXPECT_EQ(english.status, 2);
    EXPECT_EQ(english.err, path + ": The filter type in the file must be from 1 to 7.\n");
}

TEST_F(DesignFileCli, SaveDesignAloneWritesTheFileAndCalculatesNothing) {
    const fs::path saved = folder_ / "saved.fdn";
    struct Case {
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {{"--save-design", saved.string()}},
        {{"--separator", ",", "--save-design", saved.string()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        fs::remove(saved);
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(ReadBytes(saved), ExampleBytes);
    }
}

TEST_F(DesignFileCli, SaveDesignCarriesTheOpenedFileAndTheFlags) {
    // Another program left Windows-1251 texts and reserved lines in the file.
    const fs::path opened = folder_ / "opened.fdn";
    WriteBytes(opened,
               "9000,5\r\n12\r\n4,1\r\n8\r\n2400\r\n\xF0\xE5\xE7\xE5\xF0\xE2\r\nseven\r\n-6\r\n"
               "91 \xEF\xD4\r\n$3\r\n0x4\r\n");
    const fs::path copy = folder_ / "copy.fdn";
    const CliRun copyRun = RunCli({"--design", opened.string(), "--save-design", copy.string()});
    EXPECT_EQ(copyRun.status, 0);
    EXPECT_EQ(copyRun.out, "");
    // The type lines are written back as plain decimals; every other byte stays.
    EXPECT_EQ(ReadBytes(copy),
              "9000,5\r\n12\r\n4,1\r\n8\r\n2400\r\n\xF0\xE5\xE7\xE5\xF0\xE2\r\nseven\r\n-6\r\n"
              "91 \xEF\xD4\r\n3\r\n4\r\n");

    // A flag besides the files changes the saved design and asks for the calculation too.
    const fs::path edited = folder_ / "edited.fdn";
    const CliRun editRun = RunCli({"--design", opened.string(), "--ld", "10,1ё", "--response", "5",
                                   "--save-design", edited.string()});
    EXPECT_EQ(
        ReadBytes(edited),
        "9000,5\r\n10,1\xB8\r\n4,1\r\n8\r\n2400\r\n\xF0\xE5\xE7\xE5\xF0\xE2\r\nseven\r\n-6\r\n"
        "91 \xEF\xD4\r\n3\r\n5\r\n");
    const CliRun calculated = RunCli({"--design", edited.string()});
    EXPECT_EQ(editRun.status, calculated.status);
    EXPECT_EQ(editRun.out, calculated.out);
    EXPECT_EQ(editRun.err, calculated.err);
    EXPECT_FALSE(editRun.out.empty() && editRun.err.empty());

    // An output option alone also asks for the calculation.
    const fs::path again = folder_ / "again.fdn";
    const CliRun jsonRun = RunCli({"--save-design", again.string(), "--json"});
    EXPECT_EQ(jsonRun.status, 0);
    EXPECT_EQ(jsonRun.out, RunCli({"--json"}).out);
    EXPECT_EQ(ReadBytes(again), ExampleBytes);
}

TEST_F(DesignFileCli, SaveDesignThatFailsIsAnErrorAndCalculatesNothing) {
    const fs::path readOnly = folder_ / "read-only.fdn";
    WriteBytes(readOnly, "old\r\n");
    fs::permissions(readOnly, fs::perms::owner_read);
    fs::create_directories(folder_ / "folder.fdn");
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"read-only file", {}, readOnly.string(), "File access denied"},
        {"folder", {"--json"}, (folder_ / "folder.fdn").string(), "File access denied"},
        {"missing folder",
         {"--fo", "9000"},
         (folder_ / "no" / "a.fdn").string(),
         "Invalid filename"},
        {"character without a byte",
         {"--ld", "10\xE4\xB8\xAD"},
         (folder_ / "new.fdn").string(),
         "Ld(мГн)"},
        {"line end in a text", {"--fo", "1\n2"}, (folder_ / "new.fdn").string(), "Fo(кГц)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.extra;
        args.push_back("--save-design");
        args.push_back(c.path);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind(c.path + ": ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadBytes(readOnly), "old\r\n");
    EXPECT_FALSE(fs::exists(folder_ / "new.fdn"));
}

TEST_F(DesignFileCli, HelpDescribesBothOptions) {
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.status, 0);
    // The help wraps its descriptions; compare them with the line breaks taken out.
    std::string flat = run.out;
    for (std::size_t at = flat.find("\n        "); at != std::string::npos;
         at = flat.find("\n        ", at))
        flat.replace(at, 9, " ");
    struct Case {
        const std::string* text;
        const char* piece;
    };
    const Case cases[] = {
        {&run.out, "[--design FILE]"},
        {&run.out, "[--save-design FILE]"},
        {&run.out, "\n    --design FILE\n"},
        {&run.out, "\n    --save-design FILE\n"},
        {&flat, "before the other options apply"},
        {&flat, "no extension is added"},
        {&flat, "only the file is written"},
        {&flat, "nothing is calculated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piece);
        EXPECT_NE(c.text->find(c.piece), std::string::npos);
    }
}

}  // namespace
