#include "files/cp1251.h"

#include <array>
#include <cstdint>

namespace feldan {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Characters of the bytes 0x80..0xFF, eight to a row.
constexpr std::array<char16_t, 128> UpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // 0xF8
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        // The table holds nothing beyond the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 for a broken sequence (a stray
// continuation byte, a truncated sequence, an overlong form, a surrogate or a value beyond
// U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

// The byte of a character, built once from the table so that the two directions cannot
// disagree; U+FFFD, the character of 0x98, goes back to 0x98. Only the BMP matters: the table
// holds nothing above it.
struct ReverseTable {
    std::array<std::int16_t, 0x10000> byteOf{};
    ReverseTable() {
        byteOf.fill(-1);
        for (int b = 0; b < 0x80; ++b)
            byteOf[b] = static_cast<std::int16_t>(b);
        for (int k = 0; k < 128; ++k)
            byteOf[UpperHalf[k]] = static_cast<std::int16_t>(0x80 + k);
    }
};

const ReverseTable& Reverse() {
    static const ReverseTable table;
    return table;
}

}  // namespace

char32_t Cp1251ToCodePoint(unsigned char byte) {
    return byte < 0x80 ? char32_t{byte} : char32_t{UpperHalf[byte - 0x80]};
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes)
        AppendUtf8(out, Cp1251ToCodePoint(static_cast<unsigned char>(b)));
    return out;
}

Cp1251Encoding Utf8ToCp1251(std::string_view text) {
    Cp1251Encoding result;
    result.bytes.reserve(text.size());
    const ReverseTable& reverse = Reverse();
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, i, c);
        if (length == 0) {
            result.ok = false;
            result.refusedAt = i;
            result.refusedCodePoint = Replacement;
            result.bytes.clear();
            return result;
        }
        const int byte = c < 0x10000 ? reverse.byteOf[c] : -1;
        if (byte < 0) {
            result.ok = false;
            result.refusedAt = i;
            result.refusedCodePoint = c;
            result.refused.assign(text.substr(i, length));
            result.bytes.clear();
            return result;
        }
        result.bytes.push_back(static_cast<char>(byte));
        i += length;
    }
    return result;
}

}  // namespace feldan
