#include "files/design_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/design.h"
#include "engine/ladder_design.h"
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

// The field whose text a line holds; Field::None for the reserved lines and the selections.
Field FieldOfLine(int line) {
    switch (line) {
        case FoLine:
            return Field::Fo;
        case LdLine:
            return Field::Ld;
        case CsLine:
            return Field::Cs;
        case RdLine:
            return Field::Rd;
        case DfLine:
            return Field::Df;
        case LevelLine:
            return Field::Level;
        case CkLine:
            return Field::Ck;
        default:
            return Field::None;
    }
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

int TypeOfLine(const DesignFileLines& lines, int line, int count, MessageId warning) {
    const std::int32_t value = StrToInt(lines[line]);
    if (value < 1 || value > count) throw DesignFileWarning(Message{warning, ""});
    return value;
}

}  // namespace

bool DesignFileHolds(const DesignFields& fields) {
    const bool beyondTopologies =
        fields.filterType > ClassicFilterTypeCount && fields.filterType <= FilterTypeCount;
    const bool beyondResponses =
        fields.responseType > ClassicResponseTypeCount && fields.responseType <= ResponseTypeCount;
    return !beyondTopologies && !beyondResponses;
}

void FieldsToFileLines(const DesignFields& fields, DesignFileLines& lines) {
    if (!DesignFileHolds(fields)) {
        // The designation ends in the band, as the window names the design: "Be06-2400".
        const std::string name = GeneratedDesignation(LadderOfFilterType(fields.filterType),
                                                      fields.responseType, fields.ripple) +
                                 fields.texts.Df;
        throw DesignFileWarning(Message{MessageId::FileNeedsProject, name});
    }
    lines[FoLine] = fields.texts.Fo;
    lines[LdLine] = fields.texts.Ld;
    lines[CsLine] = fields.texts.Cs;
    lines[RdLine] = fields.texts.Rd;
    lines[DfLine] = fields.texts.Df;
    lines[LevelLine] = fields.texts.Level;
    lines[CkLine] = fields.texts.Ck;
    lines[FilterTypeLine] = std::to_string(fields.filterType);
    lines[ResponseTypeLine] = std::to_string(fields.responseType);
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
    fields.filterType =
        TypeOfLine(lines, FilterTypeLine, ClassicFilterTypeCount, MessageId::FileFilterTypeRange);
    fields.responseType = TypeOfLine(lines, ResponseTypeLine, ClassicResponseTypeCount,
                                     MessageId::FileResponseTypeRange);
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
        const auto refusal = [line](MessageId id, std::string value) {
            return DesignFileWarning(Message{id, std::move(value), FieldOfLine(line), line});
        };
        for (const char c : text) {
            if (c == Cr || c == Lf || c == CtrlZ) {
                throw refusal(MessageId::ControlCharacter, std::to_string(static_cast<int>(c)));
            }
        }
        const Cp1251Encoding encoded = Utf8ToCp1251(text);
        if (!encoded.ok) {
            if (encoded.refused.empty()) throw refusal(MessageId::BrokenText, "");
            throw refusal(MessageId::NotInWindows1251, encoded.refused);
        }
        bytes += encoded.bytes;
        bytes += "\r\n";
    }
    return bytes;
}

DesignFileLines ReadDesignFile(const std::string& path) {
    std::error_code ec;
    const auto unreadable = [&](int code) {
        return FileError(
            FileMessage(MessageId::FileUnreadable, std::to_string(code), FileNameOf(path)));
    };
    if (fs::is_directory(path, ec)) throw unreadable(EISDIR);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw unreadable(PathErrorCode(path, errno));

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
    if (error != 0) throw unreadable(error);
    const std::size_t count = bytes.size();

    bool ended = false;
    const DesignFileLines lines =
        SplitLines(std::string_view(bytes).substr(0, DesignFileByteLimit), ended);
    if (count > DesignFileByteLimit && !ended) {
        throw DesignFileWarning(Message{MessageId::FileTooLarge, ""});
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

}  // namespace feldan
