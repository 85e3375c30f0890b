// Disk faults that no test can cause for real, injected by strace into the system calls of a
// save through feldan-cli --save-design: a failed fsync or rename must be reported and leave the
// old file whole and no temporary behind; a file system that cannot sync goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace feldan::reliability {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs feldan-cli under strace with one fault injected, e.g. "fsync:error=EIO:when=1". Leak
// checking is off: it needs ptrace itself, which strace holds.
test::ProgramRun RunWithFault(const std::string& fault, const std::vector<std::string>& args) {
    std::vector<std::string> straceArgs = {
        "-qq", "-o", "/dev/null", "-e", "inject=" + fault, FELDAN_CLI_PATH};
    straceArgs.insert(straceArgs.end(), args.begin(), args.end());
    return test::RunProgram(FELDAN_STRACE_PATH, straceArgs, {"ASAN_OPTIONS=detect_leaks=0"});
}

TEST(SaveFaults, FailedSyncOrRenameKeepsTheOldFile) {
    if (std::string(FELDAN_STRACE_PATH).empty()) GTEST_SKIP() << "strace is not installed";
    const fs::path folder =
        fs::temp_directory_path() / ("feldan-save-faults-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "a.fdn";
    const std::string oldBytes = "old design\r\n";
    const std::string newStart = "8861.736\r\n";
    const test::ProgramRun probe = RunWithFault("getpid:retval=1", {"--version"});
    if (probe.status != 0) GTEST_SKIP() << "strace cannot trace here: " << probe.err;

    struct Case {
        const char* fault;
        int status;
        std::string err;  // without the file's name
        bool replaced;    // the new design is in place
    };
    const std::string ioError = "I/O error " + std::to_string(EIO);
    const Case cases[] = {
        // The first fsync is the temporary's, the second the folder's.
        {"fsync:error=EIO:when=1", 2, ioError, false},
        {"fsync:error=ENOSPC:when=1", 2, "Disk full", false},
        {"rename:error=EIO", 2, ioError, false},
        {"fsync:error=EIO:when=2", 2, ioError, true},
        {"fsync:error=EINVAL:when=1", 0, "", true},
        {"fsync:error=EINVAL:when=2", 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        std::ofstream(target, std::ios::binary | std::ios::trunc) << oldBytes;
        const test::ProgramRun run = RunWithFault(c.fault, {"--save-design", target.string()});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.status == 0 ? "" : target.string() + ": " + c.err + "\n");
        EXPECT_EQ(ReadBytes(target).rfind(c.replaced ? newStart : oldBytes, 0), 0u);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"a.fdn"});
    }
    fs::remove_all(folder);
}

// The curve of --curve is saved as a design is: a failed sync is an error and leaves the old
// file as it was, with no temporary beside it.
TEST(SaveFaults, FailedSyncKeepsTheOldCurve) {
    if (std::string(FELDAN_STRACE_PATH).empty()) GTEST_SKIP() << "strace is not installed";
    const fs::path folder =
        fs::temp_directory_path() / ("feldan-curve-faults-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "curve.csv";
    std::ofstream(target, std::ios::binary) << "old curve\n";
    const test::ProgramRun probe = RunWithFault("getpid:retval=1", {"--version"});
    if (probe.status != 0) GTEST_SKIP() << "strace cannot trace here: " << probe.err;

    const test::ProgramRun run =
        RunWithFault("fsync:error=EIO:when=1", {"--curve", target.string(), "--lang", "en"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "feldan-cli: cannot write the curve to '" + target.string() + "'\n");
    EXPECT_EQ(ReadBytes(target), "old curve\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

// A device or a pipe cannot be replaced by a rename: the curve goes to it as a stream, so
// "--curve /dev/stdout" still puts the table in a pipeline.
TEST(SaveFaults, CurveToAPipeIsWrittenAsAStream) {
    const test::ProgramRun run = test::RunProgram(FELDAN_CLI_PATH, {"--curve", "/dev/stdout"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("detuning_khz,attenuation_db\n", 0), 0u);
    EXPECT_NE(run.out.find("dF(-3"), std::string::npos);
}

}  // namespace
}  // namespace feldan::reliability
