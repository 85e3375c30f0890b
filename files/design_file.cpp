#include "files/design_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/design.h"
#include "engine/number_text.h"
#include "files/cp1251.h"

namespace feldan {
namespace {

namespace fs = std::filesystem;

constexpr char Cr = '\r';
constexpr char Lf = '\n';
constexpr char CtrlZ = '\x1A';

// Where each field lives in the file.
constexpr int FoLine = 1;
constexpr int LdLine = 2;
constexpr int CsLine = 3;
constexpr int RdLine = 4;
constexpr int DfLine = 5;
constexpr int LevelLine = 8;
constexpr int CkLine = 9;
constexpr int FilterTypeLine = 10;
constexpr int ResponseTypeLine = 11;

constexpr std::string_view FilterTypeRangeWarning = " Тип фильтра в файле должен быть от 1 до 7 ! ";
constexpr std::string_view ResponseTypeRangeWarning = " Тип АЧХ в файле должен быть от 1 до 5 ! ";
constexpr std::string_view TooLargeWarning = " Файл слишком велик для файла данных по кварцам ! ";

constexpr std::array<std::string_view, FilterTypeCount> OpenedFilterTexts = {"3-х кристальный",
                                                                             "4-х кристальный",
                                                                             "6-х кристальный",
                                                                             "8-х кристальный",
                                                                             "4CW",
                                                                             "6CW",
                                                                             "8CW"};
constexpr std::array<std::string_view, ResponseTypeCount> OpenedResponseTexts = {
    "Баттерворта dA=3 dB", "Чебышева dA=0.044 dB", "Чебышева dA=0.099 dB", "Чебышева dA=0.177 dB",
    "Чебышева dA=0.28 дБ"};

// How a refusal names the place of a text: the field's label, or the line of the file.
std::string PlaceOfLine(int line) {
    switch (line) {
        case FoLine:
            return "в поле Fo(кГц)";
        case LdLine:
            return "в поле Ld(мГн)";
        case CsLine:
            return "в поле Сs(пФ)";
        case RdLine:
            return "в поле Rd(Ом)";
        case DfLine:
            return "в поле Полоса dF (Гц)";
        case LevelLine:
            return "в поле Уровень АЧХ (дБ)";
        case CkLine:
            return "в поле Сk(пФ)";
        default:
            return "в строке " + std::to_string(line) + " файла";
    }
}

std::string CodePointText(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

// Splits the bytes into lines; `ended` tells whether the design ended inside them (Ctrl-Z or
// the 11th line end) rather than by running out of bytes.
DesignFileLines SplitLines(std::string_view bytes, bool& ended) {
    DesignFileLines lines;
    ended = false;
    std::size_t pos = 0;
    for (int line = 1; line <= DesignFileLineCount; ++line) {
        const std::size_t start = pos;
        while (pos < bytes.size() && bytes[pos] != Cr && bytes[pos] != Lf && bytes[pos] != CtrlZ)
            ++pos;
        lines[line] = Cp1251ToUtf8(bytes.substr(start, pos - start));
        if (pos >= bytes.size()) return lines;
        if (bytes[pos] == CtrlZ) {
            ended = true;
            return lines;
        }
        if (bytes[pos] == Cr && pos + 1 < bytes.size() && bytes[pos + 1] == Lf) ++pos;
        ++pos;
    }
    ended = true;
    return lines;
}

bool ParentExists(const fs::path& path) {
    std::error_code ec;
    const fs::path parent = path.parent_path();
    return parent.empty() || fs::is_directory(parent, ec);
}

// A missing file is "File not found"; a missing folder on the way makes the name invalid.
std::string PathErrorText(const fs::path& path, int errnoValue) {
    if (errnoValue == ENOENT && !ParentExists(path)) return FileErrorText(ENOTDIR);
    return FileErrorText(errnoValue);
}

int TypeOfLine(const DesignFileLines& lines, int line, int count, std::string_view warning) {
    const std::int32_t value = StrToInt(lines[line]);
    if (value < 1 || value > count) throw DesignFileWarning(std::string(warning));
    return value;
}

// Writes the bytes to a new file in `folder` that no one else uses; returns its path.
fs::path WriteTemporary(const fs::path& folder, const std::string& bytes) {
    constexpr int Attempts = 1000;
    for (int n = 0; n < Attempts; ++n) {
        const fs::path temp = folder / ("~fdn" + std::to_string(n) + ".tmp");
        errno = 0;
        // "x": never open a file that already exists, whoever made it.
        std::FILE* file = std::fopen(temp.c_str(), "wbx");
        if (file == nullptr) {
            if (errno == EEXIST) continue;
            throw FileError(PathErrorText(temp, errno));
        }
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = ok && std::fflush(file) == 0;
        int error = ok ? 0 : errno;
        if (std::fclose(file) != 0 && ok) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            std::remove(temp.c_str());
            throw FileError(FileErrorText(error));
        }
        return temp;
    }
    throw FileError(FileErrorText(EEXIST));
}

}  // namespace

void FieldsToFileLines(const DesignFields& fields, DesignFileLines& lines) {
    lines[FoLine] = fields.texts.Fo;
    lines[LdLine] = fields.texts.Ld;
    lines[CsLine] = fields.texts.Cs;
    lines[RdLine] = fields.texts.Rd;
    lines[DfLine] = fields.texts.Df;
    lines[LevelLine] = fields.texts.Level;
    lines[CkLine] = fields.texts.Ck;
    lines[FilterTypeLine] = std::to_string(fields.FilterType);
    lines[ResponseTypeLine] = std::to_string(fields.ResponseType);
}

DesignFields FileLinesToFields(const DesignFileLines& lines) {
    DesignFields fields;
    fields.texts.Fo = lines[FoLine];
    fields.texts.Ld = lines[LdLine];
    fields.texts.Cs = lines[CsLine];
    fields.texts.Rd = lines[RdLine];
    fields.texts.Df = lines[DfLine];
    fields.texts.Level = lines[LevelLine];
    fields.texts.Ck = lines[CkLine];
    fields.FilterType = TypeOfLine(lines, FilterTypeLine, FilterTypeCount, FilterTypeRangeWarning);
    fields.ResponseType =
        TypeOfLine(lines, ResponseTypeLine, ResponseTypeCount, ResponseTypeRangeWarning);
    return fields;
}

DesignFileLines ParseDesignFile(std::string_view bytes) {
    bool ended = false;
    return SplitLines(bytes, ended);
}

std::string DesignFileBytes(const DesignFileLines& lines) {
    std::string bytes;
    for (int line = 1; line <= DesignFileLineCount; ++line) {
        const std::string& text = lines[line];
        // A line end or Ctrl-Z inside a text would shift or cut every later line when read back.
        for (const char c : text) {
            if (c == Cr || c == Lf || c == CtrlZ) {
                throw DesignFileWarning(" Управляющий символ с кодом " +
                                        std::to_string(static_cast<int>(c)) + " " +
                                        PlaceOfLine(line) + " нельзя записать в файл ! ");
            }
        }
        const Cp1251Encoding encoded = Utf8ToCp1251(text);
        if (!encoded.ok) {
            if (encoded.refused.empty()) {
                throw DesignFileWarning(" Текст " + PlaceOfLine(line) +
                                        " содержит неверную последовательность байтов ! ");
            }
            throw DesignFileWarning(
                " Символ «" + encoded.refused + "» (" + CodePointText(encoded.refusedCodePoint) +
                ") " + PlaceOfLine(line) + " нельзя записать в кодировке Windows-1251 ! ");
        }
        bytes += encoded.bytes;
        bytes += "\r\n";
    }
    return bytes;
}

DesignFileLines ReadDesignFile(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) throw FileError(FileErrorText(EISDIR));
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw FileError(PathErrorText(path, errno));

    // Read in chunks, so a design of a few dozen bytes costs a few dozen bytes. One byte beyond
    // the limit tells a file that is merely at the limit from a larger one.
    std::string bytes;
    std::array<char, 4096> chunk;
    while (bytes.size() <= DesignFileByteLimit) {
        const std::size_t wanted = std::min(chunk.size(), DesignFileByteLimit + 1 - bytes.size());
        const std::size_t got = std::fread(chunk.data(), 1, wanted, file);
        bytes.append(chunk.data(), got);
        if (got < wanted) break;
    }
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0) throw FileError(FileErrorText(error));
    const std::size_t count = bytes.size();

    bool ended = false;
    const DesignFileLines lines =
        SplitLines(std::string_view(bytes).substr(0, DesignFileByteLimit), ended);
    if (count > DesignFileByteLimit && !ended) {
        throw DesignFileWarning(std::string(TooLargeWarning));
    }
    return lines;
}

DesignFields LoadDesignFile(const std::string& path, DesignFileLines& lines) {
    DesignFileLines read = ReadDesignFile(path);
    DesignFields fields = FileLinesToFields(read);
    lines = std::move(read);
    return fields;
}

void WriteDesignFile(const std::string& path, const DesignFileLines& lines) {
    // Every text is checked before the disk is touched.
    const std::string bytes = DesignFileBytes(lines);
    if (path.empty()) throw FileError(FileErrorText(ENOTDIR));

    std::error_code ec;
    fs::path target(path);
    // Saving through a link writes the file it points to, not a new file in place of the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = std::move(resolved);
    }
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists) {
        // A folder or a device is never replaced by a design, and a read-only file stays as it
        // is, even for a user whom the permission bits do not stop.
        constexpr fs::perms anyWrite =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (!fs::is_regular_file(status) || (status.permissions() & anyWrite) == fs::perms::none) {
            throw FileError(FileErrorText(EACCES));
        }
        // The bits are not the whole story (another owner, access lists): ask the system.
        errno = 0;
        std::FILE* probe = std::fopen(target.c_str(), "ab");
        if (probe == nullptr) throw FileError(FileErrorText(errno));
        std::fclose(probe);
    }

    const fs::path folder = target.parent_path();
    const fs::path temp = WriteTemporary(folder.empty() ? fs::path(".") : folder, bytes);
    if (exists) fs::permissions(temp, status.permissions(), ec);
    errno = 0;
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        std::remove(temp.c_str());
        throw FileError(PathErrorText(target, error));
    }
}

std::string DesignFileName(const std::string& chosen) {
    constexpr std::string_view extension = ".fdn";
    if (chosen.size() >= extension.size()) {
        const std::string_view tail = std::string_view(chosen).substr(chosen.size() - 4);
        bool same = true;
        for (std::size_t k = 0; k < extension.size(); ++k) {
            const char c =
                tail[k] >= 'A' && tail[k] <= 'Z' ? static_cast<char>(tail[k] + 32) : tail[k];
            same = same && c == extension[k];
        }
        if (same) return chosen;
    }
    return chosen + std::string(extension);
}

std::string FileErrorText(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return "File not found";
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
        case ELOOP:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
        case EBUSY:
        case EEXIST:
            return "File access denied";
        case ENOSPC:
        case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "Disk full";
        default:
            return "I/O error " + std::to_string(errnoValue);
    }
}

std::optional<std::string_view> OpenedFilterTypeText(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return std::nullopt;
    return OpenedFilterTexts[filterType - 1];
}

std::optional<std::string_view> OpenedResponseTypeText(int responseType) {
    if (responseType < 1 || responseType > ResponseTypeCount) return std::nullopt;
    return OpenedResponseTexts[responseType - 1];
}

}  // namespace feldan
