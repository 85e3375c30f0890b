#include "files/design_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/design.h"
#include "engine/number_text.h"
#include "files/atomic_file.h"
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

int TypeOfLine(const DesignFileLines& lines, int line, int count, std::string_view warning) {
    const std::int32_t value = StrToInt(lines[line]);
    if (value < 1 || value > count) throw DesignFileWarning(std::string(warning));
    return value;
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
    WriteFileAtomically(path, DesignFileBytes(lines));
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

std::optional<std::string_view> OpenedFilterTypeText(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return std::nullopt;
    return OpenedFilterTexts[filterType - 1];
}

std::optional<std::string_view> OpenedResponseTypeText(int responseType) {
    if (responseType < 1 || responseType > ResponseTypeCount) return std::nullopt;
    return OpenedResponseTexts[responseType - 1];
}

}  // namespace feldan
