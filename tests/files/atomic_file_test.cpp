#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "files/file_error.h"

namespace feldan {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("feldan-atomic-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(folder_, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder_, ec);
    }
    fs::path folder_;
};

TEST_F(AtomicFile, LeavesExactlyTheNewBytesAndNoTemporary) {
    struct Case {
        const char* name;
        std::optional<std::string> old;  // nullopt: no file before
        std::string bytes;
    };
    const Case cases[] = {
        {"new.fdn", std::nullopt, "design\r\n"},
        {"shorter.csv", "a much longer old file that must leave no tail\n", "x\n"},
        {"empty", "old", ""},
        {"binary.s2p", "old", std::string("\0\r\n\x1a\xff", 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path target = folder_ / c.name;
        if (c.old) WriteBytes(target, *c.old);
        WriteFileAtomically(target.string(), c.bytes);
        EXPECT_EQ(ReadBytes(target), c.bytes);
        EXPECT_TRUE(fs::is_regular_file(target));
        fs::remove(target);
        EXPECT_EQ(Names(folder_), std::vector<std::string>{});
    }
}

TEST_F(AtomicFile, FailedSaveReportsAndKeepsTheOldFile) {
    const std::string oldBytes = "old\n";
    const fs::path locked = folder_ / "locked";
    fs::create_directories(locked);
    WriteBytes(locked / "a.csv", oldBytes);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    // Permission bits do not stop a privileged user; the missing folder fails for everyone.
    const bool bitsBind = !std::ofstream(locked / "probe");
    fs::remove(locked / "probe");

    struct Case {
        const char* name;
        fs::path target;
        const char* text;
    };
    std::vector<Case> cases = {
        {"missing folder", folder_ / "gone" / "a.csv", "Invalid filename"},
        {"folder as target", locked, "File access denied"},
        {"empty name", fs::path(), "Invalid filename"},
    };
    if (bitsBind) cases.push_back({"read-only folder", locked / "a.csv", "File access denied"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            WriteFileAtomically(c.target.string(), "new\n");
            ADD_FAILURE() << "saved";
        } catch (const FileError& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
        EXPECT_EQ(ReadBytes(locked / "a.csv"), oldBytes);
        EXPECT_EQ(Names(locked), std::vector<std::string>{"a.csv"});
        EXPECT_EQ(Names(folder_), std::vector<std::string>{"locked"});
    }
}

}  // namespace
}  // namespace feldan
