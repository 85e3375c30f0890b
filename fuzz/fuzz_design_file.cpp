// The design file reader on any bytes: splitting into lines, the Windows-1251 conversion, the
// checks of the type lines, and the way back to bytes and to disk.
//
// Input: the bytes of a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "files/design_file.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;
using feldan::DesignFields;
using feldan::DesignFileLines;

// A folder of this process for the files the target writes; removed when the run ends.
const fs::path& WorkFolder() {
    static const fs::path folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        fs::path path = fs::path(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") /
                        ("feldan-fuzz-design-" + std::to_string(::getpid()));
        fs::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(WorkFolder(), ec);
        });
        return path;
    }();
    return folder;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FELDAN_FUZZ_CHECK(file != nullptr, path.native());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    FELDAN_FUZZ_CHECK(std::fclose(file) == 0 && written, path.native());
}

bool SameFields(const DesignFields& a, const DesignFields& b) {
    return a.texts.Fo == b.texts.Fo && a.texts.Df == b.texts.Df && a.texts.Ld == b.texts.Ld &&
           a.texts.Cs == b.texts.Cs && a.texts.Rd == b.texts.Rd && a.texts.Ck == b.texts.Ck &&
           a.texts.Level == b.texts.Level && a.filterType == b.filterType &&
           a.responseType == b.responseType;
}

void CheckLines(const DesignFileLines& lines, std::string_view bytes) {
    FELDAN_FUZZ_CHECK(lines[0].empty(), bytes);
    for (const std::string& line : lines) {
        // A line end or Ctrl-Z inside a text would make a different file when written back.
        FELDAN_FUZZ_CHECK(line.find_first_of("\r\n\x1A") == std::string::npos, bytes);
    }
}

// Whatever was read can be written back, and reads as the same lines again.
void CheckWriteBack(const DesignFileLines& lines, std::string_view bytes) {
    std::string written;
    try {
        written = feldan::DesignFileBytes(lines);
    } catch (const feldan::CommandError& error) {
        feldan::fuzz::Fail(__FILE__, __LINE__, "a text read from a file cannot be written back",
                           error.what());
    }
    FELDAN_FUZZ_CHECK(feldan::ParseDesignFile(written) == lines, bytes);
}

// The checks of the type lines: either a design with both types in range and the seven texts as
// read, or one of the two refusals, with nothing else escaping.
void CheckFields(const DesignFileLines& lines, std::string_view bytes) {
    DesignFields fields;
    try {
        fields = feldan::FileLinesToFields(lines);
    } catch (const feldan::ConversionError& error) {
        // The message quotes the type line; a NUL in it is shown, not allowed to cut it short.
        const std::string what = error.what();
        const std::string tail = "' is not a valid integer value";
        auto quotes = [&](const std::string& line) {
            if (line.find('\0') != std::string::npos) {
                return what.size() > tail.size() && what.compare(0, 1, "'") == 0 &&
                       what.compare(what.size() - tail.size(), tail.size(), tail) == 0;
            }
            return what == "'" + line + tail;
        };
        FELDAN_FUZZ_CHECK(quotes(lines[10]) || quotes(lines[11]), what);
        return;
    } catch (const feldan::DesignFileWarning& warning) {
        FELDAN_FUZZ_CHECK(std::string_view(warning.what()).size() > 0, bytes);
        return;
    }
    FELDAN_FUZZ_CHECK(fields.filterType >= 1 && fields.filterType <= feldan::ClassicFilterTypeCount,
                      bytes);
    FELDAN_FUZZ_CHECK(
        fields.responseType >= 1 && fields.responseType <= feldan::ClassicResponseTypeCount, bytes);
    FELDAN_FUZZ_CHECK(fields.texts.Fo == lines[1] && fields.texts.Ld == lines[2] &&
                          fields.texts.Cs == lines[3] && fields.texts.Rd == lines[4] &&
                          fields.texts.Df == lines[5] && fields.texts.Level == lines[8] &&
                          fields.texts.Ck == lines[9],
                      bytes);

    // A design that was opened and saved again opens as the same design.
    DesignFileLines saved = lines;
    feldan::FieldsToFileLines(fields, saved);
    FELDAN_FUZZ_CHECK(saved[6] == lines[6] && saved[7] == lines[7], bytes);
    FELDAN_FUZZ_CHECK(SameFields(feldan::FileLinesToFields(saved), fields), bytes);
}

// The same bytes through the disk: reading a file, loading it, and saving its lines.
void CheckDisk(const DesignFileLines& lines, std::string_view bytes) {
    const fs::path input = WorkFolder() / "input.fdn";
    WriteBytes(input, bytes);
    FELDAN_FUZZ_CHECK(feldan::ReadDesignFile(input.native()) == lines, bytes);

    DesignFileLines held;
    held[6] = "held";
    try {
        const DesignFields fields = feldan::LoadDesignFile(input.native(), held);
        FELDAN_FUZZ_CHECK(held == lines, bytes);
        (void)fields;
    } catch (const feldan::CommandError&) {
        // A refused file changes nothing that the program holds.
        DesignFileLines untouched;
        untouched[6] = "held";
        FELDAN_FUZZ_CHECK(held == untouched, bytes);
    }

    const fs::path output = WorkFolder() / "output.fdn";
    feldan::WriteDesignFile(output.native(), lines);
    FELDAN_FUZZ_CHECK(feldan::ReadDesignFile(output.native()) == lines, bytes);
}

std::uint32_t Fnv1a(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DesignFileLines lines = feldan::ParseDesignFile(bytes);
    CheckLines(lines, bytes);
    CheckWriteBack(lines, bytes);
    CheckFields(lines, bytes);
    // Reading from disk splits the same way and adds only the file handling, which costs about
    // a thousand times the parsing (the reader sets aside its whole size limit per file): a fixed
    // sixteenth of the inputs, chosen by their bytes so a run is repeatable, goes through it.
    if (size <= feldan::DesignFileByteLimit && Fnv1a(bytes) % 16 == 0) CheckDisk(lines, bytes);
    return 0;
}
