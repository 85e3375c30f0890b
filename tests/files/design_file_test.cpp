#include "files/design_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/errors.h"

namespace feldan {
namespace {

namespace fs = std::filesystem;

// The design of the example file: every field at its default text, the four-crystal ladder and
// the Butterworth response.
const std::string ExampleBytes =
    "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n2\r\n1\r\n";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Eleven lines joined with a line end of choice.
std::string Join(const std::vector<std::string>& lines, const std::string& end) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + end;
    return bytes;
}

const std::vector<std::string> ExampleLines = {"8861.736", "10.1", "6.3", "5.7", "3100", "",
                                               "",         "-3",   "91",  "2",   "1"};

// A fresh folder per test, removed afterwards even when a test left it read-only.
class DesignFileDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("feldan-files-" + std::to_string(getpid()) + "-" + info->name());
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

TEST(DesignFileFormat, ExampleDesignIsWrittenByteForByte) {
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);
    EXPECT_EQ(DesignFileBytes(lines), ExampleBytes);
}

TEST_F(DesignFileDisk, ExampleDesignOnDiskIsByteForByte) {
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);
    const fs::path path = folder_ / "example.fdn";
    WriteDesignFile(path.string(), lines);
    EXPECT_EQ(ReadBytes(path), ExampleBytes);
    EXPECT_EQ(Names(folder_), std::vector<std::string>{"example.fdn"});
}

TEST(DesignFileFormat, FieldsGoToTheirLinesAndReservedLinesStay) {
    DesignFields fields;
    fields.texts = {"fo", "df", "ld", "cs", "rd", "ck", "level"};
    struct Case {
        int filterType;
        int responseType;
        const char* line10;
        const char* line11;
    };
    const Case cases[] = {
        {1, 5, "1", "5"}, {7, 1, "7", "1"}, {-3, 0, "-3", "0"}, {26, 100, "26", "100"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line10);
        DesignFileLines lines;
        lines[6] = "reserved six";
        lines[7] = "reserved seven";
        fields.filterType = c.filterType;
        fields.responseType = c.responseType;
        FieldsToFileLines(fields, lines);
        const DesignFileLines expected = {"",      "fo", "ld",           "cs",
                                          "rd",    "df", "reserved six", "reserved seven",
                                          "level", "ck", c.line10,       c.line11};
        EXPECT_EQ(lines, expected);
    }
}

TEST(DesignFileFormat, LineEndsOfEverySystemReadTheSameLines) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"CR LF", Join(ExampleLines, "\r\n")},
        {"LF only", Join(ExampleLines, "\n")},
        {"CR only", Join(ExampleLines, "\r")},
        {"no end after the last line",
         Join(ExampleLines, "\r\n").substr(0, Join(ExampleLines, "\r\n").size() - 2)},
        {"mixed", "8861.736\r\n10.1\n6.3\r5.7\r\n3100\n\r\n\r-3\n91\r2\n1"},
        {"12 lines", Join(ExampleLines, "\r\n") + "extra line\r\n"},
        {"Ctrl-Z after the last line", Join(ExampleLines, "\r\n") + "\x1Agarbage\r\nmore"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignFileLines lines = ParseDesignFile(c.bytes);
        EXPECT_EQ(lines[0], "");
        for (int i = 1; i <= 11; ++i) {
            SCOPED_TRACE("line " + std::to_string(i));
            EXPECT_EQ(lines[i], ExampleLines[i - 1]);
        }
        const DesignFields fields = FileLinesToFields(lines);
        EXPECT_EQ(fields.texts.Fo, "8861.736");
        EXPECT_EQ(fields.texts.Level, "-3");
        EXPECT_EQ(fields.filterType, 2);
        EXPECT_EQ(fields.responseType, 1);
    }
}

TEST(DesignFileFormat, ShortAndCutFilesLeaveLaterLinesEmpty) {
    struct Case {
        const char* name;
        std::string bytes;
        int filled;  // lines 1..filled hold text, the rest are empty
        std::string lastFilled;
    };
    const Case cases[] = {
        {"empty file", "", 0, ""},
        {"9 lines", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\n", 9, "i"},
        {"Ctrl-Z inside line 5",
         "a\r\nb\r\nc\r\nd\r\ne1\x1A"
         "e2\r\nf\r\ng\r\nh\r\ni\r\n2\r\n1\r\n",
         5, "e1"},
        {"Ctrl-Z at the start",
         "\x1A"
         "a\r\nb\r\n",
         0, ""},
        {"two lines with a blank between", "a\r\n\r\nc", 3, "c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignFileLines lines = ParseDesignFile(c.bytes);
        if (c.filled > 0) {
            EXPECT_EQ(lines[c.filled], c.lastFilled);
        }
        for (int i = c.filled + 1; i <= 11; ++i) {
            SCOPED_TRACE("line " + std::to_string(i));
            EXPECT_EQ(lines[i], "");
        }
        // Line 10 is empty, and an empty text is not an integer.
        try {
            FileLinesToFields(lines);
            ADD_FAILURE() << "a design without type lines was accepted";
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), "'' is not a valid integer value");
        }
    }
}

TEST(DesignFileFormat, LongLinesAreReadWhole) {
    const std::string longText(70000, '7');
    std::vector<std::string> lines = ExampleLines;
    lines[0] = longText;
    lines[5] = std::string(300, 'x');
    const DesignFileLines read = ParseDesignFile(Join(lines, "\r\n"));
    EXPECT_EQ(read[1], longText);
    EXPECT_EQ(read[6], std::string(300, 'x'));
    EXPECT_EQ(read[11], "1");
}

TEST(DesignFileFormat, TypeLinesAcceptEveryIntegerForm) {
    struct Case {
        const char* line10;
        const char* line11;
        int filterType;
        int responseType;
    };
    const Case cases[] = {
        {"2", "1", 2, 1},     {"$2", "$5", 2, 5},   {"0x2", "0X3", 2, 3},
        {"x7", "X4", 7, 4},   {" +3", "  2", 3, 2}, {"007", "05", 7, 5},
        {"$0001", "1", 1, 1}, {"\t6", "+1", 6, 1},  {"0x00000005", "+0x1", 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line10) + " / " + c.line11);
        DesignFileLines lines = ParseDesignFile(Join(ExampleLines, "\r\n"));
        lines[10] = c.line10;
        lines[11] = c.line11;
        const DesignFields fields = FileLinesToFields(lines);
        EXPECT_EQ(fields.filterType, c.filterType);
        EXPECT_EQ(fields.responseType, c.responseType);
    }
}

TEST(DesignFileFormat, BadTypeLinesAreRefusedWithTheirText) {
    struct Case {
        const char* line10;
        const char* line11;
        const char* conversionText;  // nullptr where the integer is fine but out of range
        const char* rangeWords;      // part of the warning naming the allowed range
    };
    const Case cases[] = {
        {"two", "1", "'two' is not a valid integer value", nullptr},
        {"2 ", "1", "'2 ' is not a valid integer value", nullptr},
        {"2.0", "1", "'2.0' is not a valid integer value", nullptr},
        {"", "1", "'' is not a valid integer value", nullptr},
        {"2", "", "'' is not a valid integer value", nullptr},
        {"2", "Баттерворт", "'Баттерворт' is not a valid integer value", nullptr},
        {"2", "0x", "'0x' is not a valid integer value", nullptr},
        {"99999999999", "1", "'99999999999' is not a valid integer value", nullptr},
        {"9", "1", nullptr, "от 1 до 7"},
        {"0", "1", nullptr, "от 1 до 7"},
        {"-1", "1", nullptr, "от 1 до 7"},
        {"8", "1", nullptr, "от 1 до 7"},
        {"$8", "1", nullptr, "от 1 до 7"},
        {"7", "6", nullptr, "от 1 до 5"},
        {"1", "0", nullptr, "от 1 до 5"},
        {"1", "-2147483648", nullptr, "от 1 до 5"},
        {"2", "$A", nullptr, "от 1 до 5"},
        // Line 10 is checked first.
        {"0", "x", nullptr, "от 1 до 7"},
        {"x", "0", "'x' is not a valid integer value", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line10) + " / " + c.line11);
        DesignFileLines lines = ParseDesignFile(Join(ExampleLines, "\r\n"));
        lines[10] = c.line10;
        lines[11] = c.line11;
        try {
            FileLinesToFields(lines);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& e) {
            ASSERT_NE(c.conversionText, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.conversionText);
        } catch (const DesignFileWarning& e) {
            ASSERT_NE(c.rangeWords, nullptr) << e.what();
            const std::string text = e.what();
            EXPECT_NE(text.find(c.rangeWords), std::string::npos) << text;
            // Warnings of the program stand off the box edges by a blank on each side.
            EXPECT_EQ(text.front(), ' ');
            EXPECT_EQ(text.back(), ' ');
        }
    }
}

TEST(DesignFileFormat, TextsWindows1251CannotHoldRefuseTheSave) {
    struct Case {
        int line;
        std::string text;
        const char* place;  // the field or line the warning names
    };
    const Case cases[] = {
        {1, "8861\xE4\xB8\xAD", "Fo(кГц)"},  // a Chinese character
        {2, "10.1é", "Ld(мГн)"},
        {3, "6.3\n", "Cs(пФ)"},
        {4, "5.7\r", "Rd(Ом)"},
        {5,
         "31\x1A"
         "00",
         "Полоса dF (Гц)"},
        {8, "-3\xC3", "Уровень АЧХ (дБ)"},
        {9, "9😀1", "Ck(пФ)"},
        {6, "ü", "строке 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DesignFileLines lines;
        FieldsToFileLines(DesignFields{}, lines);
        lines[c.line] = c.text;
        try {
            DesignFileBytes(lines);
            ADD_FAILURE() << "written";
        } catch (const DesignFileWarning& e) {
            EXPECT_NE(std::string(e.what()).find(c.place), std::string::npos) << e.what();
            EXPECT_EQ(e.Text(Language::Russian), e.what());
            EXPECT_EQ(e.message().line, c.line);
        }
    }
}

TEST_F(DesignFileDisk, RefusedSaveLeavesTheOldFileAlone) {
    const fs::path path = folder_ / "old.fdn";
    WriteBytes(path, "old design");
    DesignFileLines lines;
    DesignFields fields;
    fields.texts.Ld = "10\xE4\xB8\xAD";
    FieldsToFileLines(fields, lines);
    EXPECT_THROW(WriteDesignFile(path.string(), lines), DesignFileWarning);
    EXPECT_EQ(ReadBytes(path), "old design");
    EXPECT_EQ(Names(folder_), std::vector<std::string>{"old.fdn"});
}

TEST_F(DesignFileDisk, EveryFieldRoundTripsAsWindows1251Bytes) {
    DesignFields fields;
    fields.texts.Fo = "8861,736";
    fields.texts.Ld = "Ёж ёлка";
    fields.texts.Cs = "";
    fields.texts.Rd = " 5.7 ";
    fields.texts.Df = "№3 «полоса»";
    fields.texts.Level = "€‰™—\t";
    fields.texts.Ck = std::string(400, 'k');
    const std::string expectedBytes =
        "8861,736\r\n"
        "\xA8\xE6 \xB8\xEB\xEA\xE0\r\n"
        "\r\n"
        " 5.7 \r\n"
        "\xB9"
        "3 \xAB\xEF\xEE\xEB\xEE\xF1\xE0\xBB\r\n"
        "\r\n"
        "\r\n"
        "\x88\x89\x99\x97\t\r\n" +
        std::string(400, 'k') + "\r\n7\r\n5\r\n";
    for (int filterType = 1; filterType <= 7; ++filterType) {
        for (int responseType = 1; responseType <= 5; ++responseType) {
            SCOPED_TRACE(std::to_string(filterType) + "/" + std::to_string(responseType));
            fields.filterType = filterType;
            fields.responseType = responseType;
            DesignFileLines lines;
            FieldsToFileLines(fields, lines);
            const fs::path path = folder_ / "round.fdn";
            WriteDesignFile(path.string(), lines);
            if (filterType == 7 && responseType == 5) {
                EXPECT_EQ(ReadBytes(path), expectedBytes);
            }

            DesignFileLines loaded;
            const DesignFields back = LoadDesignFile(path.string(), loaded);
            EXPECT_EQ(back.texts.Fo, fields.texts.Fo);
            EXPECT_EQ(back.texts.Df, fields.texts.Df);
            EXPECT_EQ(back.texts.Ld, fields.texts.Ld);
            EXPECT_EQ(back.texts.Cs, fields.texts.Cs);
            EXPECT_EQ(back.texts.Rd, fields.texts.Rd);
            EXPECT_EQ(back.texts.Ck, fields.texts.Ck);
            EXPECT_EQ(back.texts.Level, fields.texts.Level);
            EXPECT_EQ(back.filterType, filterType);
            EXPECT_EQ(back.responseType, responseType);
            EXPECT_EQ(loaded, lines);
        }
    }
}

TEST_F(DesignFileDisk, ReservedLinesOfAnOpenedFileGoIntoTheNextSave) {
    struct Case {
        const char* name;
        std::string line6;  // Windows-1251 bytes as another program left them
        std::string line7;
        std::string savedAs6;
        std::string savedAs7;
    };
    const Case cases[] = {
        {"plain", "x", "y", "x", "y"},
        {"Cyrillic", "\xF0\xE5\xE7\xE5\xF0\xE2", "\xA8", "\xF0\xE5\xE7\xE5\xF0\xE2", "\xA8"},
        // The byte without a character comes back as it was.
        {"undefined byte", "a\x98z", "", "a\x98z", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path opened = folder_ / "opened.fdn";
        std::vector<std::string> fileLines = ExampleLines;
        fileLines[5] = c.line6;
        fileLines[6] = c.line7;
        fileLines[9] = "5";
        WriteBytes(opened, Join(fileLines, "\r\n"));

        DesignFileLines lines;
        const DesignFields fields = LoadDesignFile(opened.string(), lines);
        EXPECT_EQ(fields.filterType, 5);

        DesignFields edited = fields;
        edited.texts.Fo = "10700";
        FieldsToFileLines(edited, lines);
        const fs::path saved = folder_ / "saved.fdn";
        WriteDesignFile(saved.string(), lines);
        std::vector<std::string> expected = fileLines;
        expected[0] = "10700";
        expected[5] = c.savedAs6;
        expected[6] = c.savedAs7;
        EXPECT_EQ(ReadBytes(saved), Join(expected, "\r\n"));
    }
}

TEST_F(DesignFileDisk, FailedOpenChangesNoLines) {
    struct Case {
        const char* name;
        std::string bytes;  // empty name: no file at all
    };
    const Case cases[] = {
        {"bad filter type", "a\r\nb\r\nc\r\nd\r\ne\r\n6\r\n7\r\nh\r\ni\r\nzwei\r\n1\r\n"},
        {"filter type out of range", "a\r\nb\r\nc\r\nd\r\ne\r\n6\r\n7\r\nh\r\ni\r\n9\r\n1\r\n"},
        {"response out of range", "a\r\nb\r\nc\r\nd\r\ne\r\n6\r\n7\r\nh\r\ni\r\n2\r\n6\r\n"},
        {"LF-only file with a word for the type", "a\nb\nc\nd\ne\n6\n7\nh\ni\nzehn\n1\n"},
        {"9 lines", "a\r\nb\r\nc\r\nd\r\ne\r\n6\r\n7\r\nh\r\ni\r\n"},
        {"missing", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = folder_ / "bad.fdn";
        fs::remove(path);
        if (!c.bytes.empty()) WriteBytes(path, c.bytes);
        DesignFileLines lines;
        for (int i = 1; i <= 11; ++i)
            lines[i] = "kept " + std::to_string(i);
        const DesignFileLines before = lines;
        EXPECT_THROW(LoadDesignFile(path.string(), lines), CommandError);
        EXPECT_EQ(lines, before);
    }
}

// The reason is said in the user's language, after the file's name.
TEST_F(DesignFileDisk, OpenFailuresNameTheReason) {
    fs::create_directories(folder_ / "folder.fdn");
    const std::string longName = std::string(300, 'n') + ".fdn";
    struct Case {
        fs::path path;
        std::string russian, english;
    };
    const Case cases[] = {
        {folder_ / "missing.fdn", "«missing.fdn»: нет такого файла или устройства",
         "missing.fdn: there is no such file or device"},
        {folder_ / "no-such-folder" / "a.fdn", "«a.fdn»: неверное имя файла: папки на пути нет",
         "a.fdn: the name is wrong: a folder on its way is missing"},
        {folder_ / "folder.fdn", "«folder.fdn»: это папка, а не файл",
         "folder.fdn: it is a folder, not a file"},
        {folder_ / longName, "«" + longName + "»: слишком длинное имя файла",
         longName + ": the name is too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        try {
            ReadDesignFile(c.path.string());
            ADD_FAILURE() << "read";
        } catch (const FileError& e) {
            EXPECT_EQ(e.Text(Language::Russian), c.russian);
            EXPECT_EQ(e.Text(Language::English), c.english);
        }
    }
}

TEST_F(DesignFileDisk, FarTooLargeFileIsRefusedButLongTailIsIgnored) {
    const fs::path huge = folder_ / "huge.fdn";
    WriteBytes(huge, std::string(DesignFileByteLimit + 10, 'z'));
    EXPECT_THROW(ReadDesignFile(huge.string()), DesignFileWarning);

    // Eleven lines and then a great deal of anything: the anything is never read.
    const fs::path tail = folder_ / "tail.fdn";
    WriteBytes(tail, ExampleBytes + std::string(DesignFileByteLimit + 10, 'z'));
    DesignFileLines lines;
    const DesignFields fields = LoadDesignFile(tail.string(), lines);
    EXPECT_EQ(fields.texts.Fo, "8861.736");
    EXPECT_EQ(lines[11], "1");

    // Exactly at the limit without an end is still a (very long) design.
    const fs::path atLimit = folder_ / "limit.fdn";
    WriteBytes(atLimit, std::string(DesignFileByteLimit, 'q'));
    EXPECT_EQ(ReadDesignFile(atLimit.string())[1].size(), DesignFileByteLimit);
}

TEST_F(DesignFileDisk, SaveFailuresReportAndKeepTheOldFile) {
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);
    const std::string oldBytes = "old design\r\n";

    struct Case {
        const char* name;
        fs::path target;
        const char* text;
    };
    // A read-only file is refused whoever saves: the check does not rely on the system.
    const fs::path readOnly = folder_ / "read-only.fdn";
    WriteBytes(readOnly, oldBytes);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    // A folder with a design's name is never replaced.
    fs::create_directories(folder_ / "folder.fdn");
    WriteBytes(folder_ / "folder.fdn" / "inside", oldBytes);
    // A named pipe, standing for any device: it must not turn into a regular file.
    const fs::path pipe = folder_ / "pipe.fdn";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    // A plain file used as a folder.
    WriteBytes(folder_ / "plain", oldBytes);

    const Case cases[] = {
        {"read-only file", readOnly, "File access denied"},
        {"folder as target", folder_ / "folder.fdn", "File access denied"},
        {"named pipe", pipe, "File access denied"},
        {"missing folder", folder_ / "missing" / "a.fdn", "Invalid filename"},
        {"file as folder", folder_ / "plain" / "a.fdn", "Invalid filename"},
        {"name too long", folder_ / (std::string(300, 'n') + ".fdn"), "Invalid filename"},
        {"empty name", fs::path(), "Invalid filename"},
    };
    const std::vector<std::string> namesBefore = Names(folder_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            WriteDesignFile(c.target.string(), lines);
            ADD_FAILURE() << "saved";
        } catch (const FileError& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
    EXPECT_EQ(ReadBytes(readOnly), oldBytes);
    EXPECT_EQ(ReadBytes(folder_ / "folder.fdn" / "inside"), oldBytes);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(ReadBytes(folder_ / "plain"), oldBytes);
    // No temporary file is left behind.
    EXPECT_EQ(Names(folder_), namesBefore);
}

TEST_F(DesignFileDisk, SaveIntoReadOnlyFolderReportsAndKeepsTheOldFile) {
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);
    const fs::path locked = folder_ / "locked";
    fs::create_directories(locked);
    const fs::path old = locked / "a.fdn";
    WriteBytes(old, "old design\r\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);

    // Permission bits do not stop a privileged user (tests may run as root); find out whether
    // they bind here before relying on them.
    const bool bitsBind = !std::ofstream(locked / "probe");
    fs::path target = old;
    const char* expected = "File access denied";
    if (!bitsBind) {
        // Use a failure the system reports to everyone: the folder on the way does not exist.
        fs::remove(locked / "probe");
        target = locked / "gone" / "a.fdn";
        expected = "Invalid filename";
    }
    try {
        WriteDesignFile(target.string(), lines);
        ADD_FAILURE() << "saved";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), expected);
    }
    EXPECT_EQ(ReadBytes(old), "old design\r\n");
    EXPECT_EQ(Names(locked), std::vector<std::string>{"a.fdn"});
}

TEST_F(DesignFileDisk, SavingReplacesTheFileAndKeepsItsAccessAndLinks) {
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);

    const fs::path existing = folder_ / "existing.fdn";
    WriteBytes(existing, "a much longer old design that must not leave a tail behind\r\n");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(existing, mode);
    WriteDesignFile(existing.string(), lines);
    EXPECT_EQ(ReadBytes(existing), ExampleBytes);
    EXPECT_EQ(fs::status(existing).permissions(), mode);

    // Saving through a link writes the linked file and keeps the link.
    const fs::path real = folder_ / "real.fdn";
    WriteBytes(real, "old\r\n");
    const fs::path link = folder_ / "link.fdn";
    fs::create_symlink(real, link);
    WriteDesignFile(link.string(), lines);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), ExampleBytes);

    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"existing.fdn", "link.fdn", "real.fdn"}));
}

TEST_F(DesignFileDisk, TemporaryNamesInUseAreLeftAlone) {
    // Someone else's files that look like our temporaries are neither used nor removed.
    WriteBytes(folder_ / "~fdn0.tmp", "theirs 0");
    WriteBytes(folder_ / "~fdn1.tmp", "theirs 1");
    DesignFileLines lines;
    FieldsToFileLines(DesignFields{}, lines);
    WriteDesignFile((folder_ / "a.fdn").string(), lines);
    EXPECT_EQ(ReadBytes(folder_ / "a.fdn"), ExampleBytes);
    EXPECT_EQ(ReadBytes(folder_ / "~fdn0.tmp"), "theirs 0");
    EXPECT_EQ(ReadBytes(folder_ / "~fdn1.tmp"), "theirs 1");
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"a.fdn", "~fdn0.tmp", "~fdn1.tmp"}));
}

TEST(DesignFileName, AppendsTheExtensionOnlyWhenMissing) {
    struct Case {
        const char* chosen;
        const char* saved;
    };
    const Case cases[] = {
        {"a", "a.fdn"},
        {"a.fdn", "a.fdn"},
        {"a.FDN", "a.FDN"},
        {"a.Fdn", "a.Fdn"},
        {"/home/u/design", "/home/u/design.fdn"},
        {"/home/u/design.fdn", "/home/u/design.fdn"},
        {"a.fdn.bak", "a.fdn.bak.fdn"},
        {"a.txt", "a.txt.fdn"},
        {"afdn", "afdn.fdn"},
        {"fdn", "fdn.fdn"},
        {"a.fd", "a.fd.fdn"},
        {"dir.fdn/a", "dir.fdn/a.fdn"},
        {"фильтр", "фильтр.fdn"},
        {"фильтр.FdN", "фильтр.FdN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(DesignFileName(c.chosen), c.saved);
    }
}

TEST(FileErrorText, NamesTheFailure) {
    struct Case {
        int errnoValue;
        std::string text;
    };
    const Case cases[] = {
        {ENOENT, "File not found"},
        {ENOTDIR, "Invalid filename"},
        {ENAMETOOLONG, "Invalid filename"},
        {EMFILE, "Too many open files"},
        {ENFILE, "Too many open files"},
        {EACCES, "File access denied"},
        {EPERM, "File access denied"},
        {EROFS, "File access denied"},
        {EISDIR, "File access denied"},
        {ENOSPC, "Disk full"},
        {EIO, "I/O error " + std::to_string(EIO)},
        {EXDEV, "I/O error " + std::to_string(EXDEV)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.errnoValue);
        EXPECT_EQ(FileErrorText(c.errnoValue), c.text);
    }
}

}  // namespace
}  // namespace feldan
