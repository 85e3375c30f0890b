#include "files/crystal_csv.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <optional>

#include "engine/number_text.h"
#include "files/file_error.h"

namespace feldan {

namespace {

constexpr std::array<std::string_view, 5> Columns = {"name", "fs_hz", "lm_h", "rm_ohm", "c0_f"};

[[noreturn]] void Fail(const std::string& file, int line, MessageId id, std::string value = {}) {
    throw CrystalListError(FileMessage(id, std::move(value), file, line));
}

// The fields of one record (RFC 4180 quoting); the record may go on over further lines inside
// quotes. Returns false at the end of the text.
bool NextRecord(std::string_view text, std::size_t& pos, int& line, const std::string& file,
                std::vector<std::string>& fields) {
    fields.clear();
    if (pos >= text.size()) return false;
    ++line;
    const int firstLine = line;
    std::string field;
    bool quoted = false;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (quoted) {
            if (c == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    field += '"';
                    ++pos;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n') ++line;
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            field += c;
        }
    }
    if (quoted) Fail(file, firstLine, MessageId::CsvQuote);
    fields.push_back(std::move(field));
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Shown(const std::string& text) {
    std::string shown;
    for (char c : text.substr(0, 40)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u < 0x20 || u == 0x7f ? '?' : c;
    }
    return text.size() > 40 ? shown + "…" : shown;
}

// The optional columns of the unwanted modes: a group of three for each of modes 2, 3, 4.
constexpr std::array<std::string_view, 3> ModeColumns = {"_fs_hz", "_lm_h", "_rm_ohm"};

std::string ModeColumn(int mode, std::size_t k) {
    return "mode" + std::to_string(mode) + std::string(ModeColumns[k]);
}

// Columns of the header by name; fields.size() for a name it lacks.
std::size_t ColumnOf(const std::vector<std::string>& fields, std::string_view name) {
    std::size_t found = fields.size();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (Trimmed(fields[f]) == name) found = f;
    }
    return found;
}

// A field's number; nullopt for an empty field when `optional`.
std::optional<double> NumberOf(const std::string& text, const std::string& file, int line,
                               bool optional = false) {
    const std::string field = Trimmed(text);
    if (optional && field.empty()) return std::nullopt;
    double value = 0;
    const auto [end, error] = DoubleFromChars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
        !std::isfinite(value)) {
        Fail(file, line, MessageId::CsvNotANumber, Shown(field));
    }
    return value;
}

std::string NumberText(double value) {
    char buffer[40];
    const auto end =
        DoubleToChars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17).ptr;
    return std::string(buffer, end);
}

}  // namespace

std::vector<NamedCrystal> ParseCrystalList(std::string_view text, const std::string& fileName) {
    // A byte order mark some spreadsheets write is not part of the first column's name.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t pos = 0;
    int line = 0;
    std::vector<std::string> fields;
    if (!NextRecord(text, pos, line, fileName, fields)) {
        Fail(fileName, 1, MessageId::CsvColumnMissing, std::string(Columns[0]));
    }
    std::array<std::size_t, Columns.size()> at{};
    for (std::size_t k = 0; k < Columns.size(); ++k) {
        at[k] = ColumnOf(fields, Columns[k]);
        if (at[k] == fields.size())
            Fail(fileName, 1, MessageId::CsvColumnMissing, std::string(Columns[k]));
    }
    // A group of mode columns is all there or not at all.
    std::vector<std::array<std::size_t, ModeColumns.size()>> modeAt;
    for (int mode = 2; mode <= MaxUnwantedModes + 1; ++mode) {
        std::array<std::size_t, ModeColumns.size()> group{};
        std::size_t present = 0;
        for (std::size_t k = 0; k < ModeColumns.size(); ++k) {
            group[k] = ColumnOf(fields, ModeColumn(mode, k));
            if (group[k] != fields.size()) ++present;
        }
        if (present == 0) continue;
        for (std::size_t k = 0; k < ModeColumns.size(); ++k) {
            if (group[k] == fields.size())
                Fail(fileName, 1, MessageId::CsvColumnMissing, ModeColumn(mode, k));
        }
        modeAt.push_back(group);
    }
    const std::size_t width = fields.size();

    std::vector<NamedCrystal> crystals;
    while (NextRecord(text, pos, line, fileName, fields)) {
        if (fields.size() == 1 && Trimmed(fields[0]).empty()) continue;  // an empty line
        if (fields.size() != width)
            Fail(fileName, line, MessageId::CsvFieldCount, std::to_string(width));
        std::array<double, 4> values{};
        for (std::size_t k = 1; k < Columns.size(); ++k) {
            const double value = *NumberOf(fields[at[k]], fileName, line);
            // C0 may be 0 (not measured); the others are the crystal.
            if (value < 0 || (value == 0 && Columns[k] != "c0_f")) {
                Fail(fileName, line, MessageId::CsvValueRange, std::string(Columns[k]));
            }
            values[k - 1] = value;
        }
        if (crystals.size() == CrystalListMaxRows)
            Fail(fileName, line, MessageId::TouchstoneTooManyPoints);
        NamedCrystal crystal{
            Trimmed(fields[at[0]]),
            CrystalFromSeriesResonance(values[0], values[1], values[2], values[3])};
        // A crystal with fewer modes than the list has groups leaves the rest empty.
        for (std::size_t g = 0; g < modeAt.size(); ++g) {
            std::array<std::optional<double>, ModeColumns.size()> mode;
            std::size_t given = 0;
            for (std::size_t k = 0; k < ModeColumns.size(); ++k) {
                mode[k] = NumberOf(fields[modeAt[g][k]], fileName, line, true);
                if (mode[k]) ++given;
                if (mode[k] && !(*mode[k] > 0))
                    Fail(fileName, line, MessageId::CsvValueRange,
                         ModeColumn(static_cast<int>(g) + 2, k));
            }
            if (given == 0) continue;
            for (std::size_t k = 0; k < ModeColumns.size(); ++k) {
                if (!mode[k])
                    Fail(fileName, line, MessageId::CsvValueRange,
                         ModeColumn(static_cast<int>(g) + 2, k));
            }
            crystal.model.modes.push_back(ModeFromSeriesResonance(*mode[0], *mode[1], *mode[2]));
        }
        std::sort(crystal.model.modes.begin(), crystal.model.modes.end(),
                  [](const CrystalMode& a, const CrystalMode& b) { return a.fsHz < b.fsHz; });
        crystals.push_back(std::move(crystal));
    }
    return crystals;
}

std::vector<NamedCrystal> ReadCrystalList(const std::string& path) {
    return ParseCrystalList(ReadWholeFile(path, std::size_t{64} << 20), FileNameOf(path));
}

std::string CrystalListBytes(const std::vector<NamedCrystal>& crystals) {
    // The mode columns only as far as a crystal of the list needs them, so a list without
    // modes is written as it always was.
    std::size_t groups = 0;
    for (const NamedCrystal& c : crystals)
        groups = std::max(groups, std::min(c.model.modes.size(), std::size_t{MaxUnwantedModes}));
    std::string out = "name,fs_hz,lm_h,rm_ohm,c0_f";
    for (std::size_t g = 0; g < groups; ++g) {
        for (std::size_t k = 0; k < ModeColumns.size(); ++k)
            out += ',' + ModeColumn(static_cast<int>(g) + 2, k);
    }
    out += '\n';
    for (const NamedCrystal& c : crystals) {
        std::string name = c.name;
        if (name.find_first_of(",\"\r\n") != std::string::npos) {
            std::string quoted = "\"";
            for (char ch : name)
                quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            name = quoted + "\"";
        }
        out += name + ',' + NumberText(c.model.fsHz) + ',' + NumberText(c.model.lmH) + ',' +
               NumberText(c.model.rmOhm) + ',' + NumberText(c.model.c0F);
        for (std::size_t g = 0; g < groups; ++g) {
            if (g < c.model.modes.size()) {
                const CrystalMode& m = c.model.modes[g];
                out +=
                    ',' + NumberText(m.fsHz) + ',' + NumberText(m.lmH) + ',' + NumberText(m.rmOhm);
            } else {
                out += ",,,";
            }
        }
        out += '\n';
    }
    return out;
}

}  // namespace feldan
