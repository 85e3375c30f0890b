#include "files/crystal_csv.h"

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
        std::size_t found = fields.size();
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (Trimmed(fields[f]) == Columns[k]) found = f;
        }
        if (found == fields.size())
            Fail(fileName, 1, MessageId::CsvColumnMissing, std::string(Columns[k]));
        at[k] = found;
    }
    const std::size_t width = fields.size();

    std::vector<NamedCrystal> crystals;
    while (NextRecord(text, pos, line, fileName, fields)) {
        if (fields.size() == 1 && Trimmed(fields[0]).empty()) continue;  // an empty line
        if (fields.size() != width)
            Fail(fileName, line, MessageId::CsvFieldCount, std::to_string(width));
        std::array<double, 4> values{};
        for (std::size_t k = 1; k < Columns.size(); ++k) {
            const std::string field = Trimmed(fields[at[k]]);
            double value = 0;
            const auto [end, error] =
                DoubleFromChars(field.data(), field.data() + field.size(), value);
            if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
                !std::isfinite(value)) {
                Fail(fileName, line, MessageId::CsvNotANumber, Shown(field));
            }
            // C0 may be 0 (not measured); the others are the crystal.
            if (value < 0 || (value == 0 && Columns[k] != "c0_f")) {
                Fail(fileName, line, MessageId::CsvValueRange, std::string(Columns[k]));
            }
            values[k - 1] = value;
        }
        if (crystals.size() == CrystalListMaxRows)
            Fail(fileName, line, MessageId::TouchstoneTooManyPoints);
        crystals.push_back(
            {Trimmed(fields[at[0]]),
             CrystalFromSeriesResonance(values[0], values[1], values[2], values[3])});
    }
    return crystals;
}

std::vector<NamedCrystal> ReadCrystalList(const std::string& path) {
    return ParseCrystalList(ReadWholeFile(path, std::size_t{64} << 20), FileNameOf(path));
}

std::string CrystalListBytes(const std::vector<NamedCrystal>& crystals) {
    std::string out = "name,fs_hz,lm_h,rm_ohm,c0_f\n";
    for (const NamedCrystal& c : crystals) {
        std::string name = c.name;
        if (name.find_first_of(",\"\r\n") != std::string::npos) {
            std::string quoted = "\"";
            for (char ch : name)
                quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            name = quoted + "\"";
        }
        out += name + ',' + NumberText(c.model.fsHz) + ',' + NumberText(c.model.lmH) + ',' +
               NumberText(c.model.rmOhm) + ',' + NumberText(c.model.c0F) + '\n';
    }
    return out;
}

}  // namespace feldan
