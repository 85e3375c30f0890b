#include "files/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <string>

namespace feldan {
namespace {

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

// The system's own Windows-1251 converter, as an independent reference; empty when the byte has
// no character there.
std::string SystemDecode(iconv_t cd, int b) {
    std::string in = Byte(b);
    char out[8] = {};
    char* inPtr = in.data();
    std::size_t inLeft = 1;
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return std::string(out, outPtr);
}

TEST(Cp1251, EveryByteDecodesAsTheSystemConverterDoes) {
    const iconv_t cd = iconv_open("UTF-8", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "the system has no CP1251 converter";
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        const std::string reference = SystemDecode(cd, b);
        if (b == 0x98) {
            // The one byte without a character reads as the replacement character.
            EXPECT_TRUE(reference.empty());
            EXPECT_EQ(Cp1251ToUtf8(Byte(b)), "\xEF\xBF\xBD");
        } else {
            ASSERT_FALSE(reference.empty());
            EXPECT_EQ(Cp1251ToUtf8(Byte(b)), reference);
        }
    }
    iconv_close(cd);
}

TEST(Cp1251, LandmarkBytesHaveTheirLetters) {
    struct Case {
        int byte;
        const char* utf8;
        char32_t codePoint;
    };
    const Case cases[] = {
        {'A', "A", 0x0041},
        {0x7F, "\x7F", 0x007F},
        {0xC0, "А", 0x0410},
        {0xDF, "Я", 0x042F},
        {0xE0, "а", 0x0430},
        {0xFF, "я", 0x044F},
        {0xA8, "Ё", 0x0401},
        {0xB8, "ё", 0x0451},
        {0xB9, "№", 0x2116},
        {0x88, "€", 0x20AC},
        {0x97, "—", 0x2014},
        {0xAB, "«", 0x00AB},
        {0xBB, "»", 0x00BB},
        {0xB0, "°", 0x00B0},
        {0xB5, "µ", 0x00B5},
        {0xA0, "\xC2\xA0", 0x00A0},
        {0x98, "\xEF\xBF\xBD", 0xFFFD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("byte " + std::to_string(c.byte));
        EXPECT_EQ(Cp1251ToCodePoint(static_cast<unsigned char>(c.byte)), c.codePoint);
        EXPECT_EQ(Cp1251ToUtf8(Byte(c.byte)), c.utf8);
    }
    // NUL is an ordinary byte of a text, not its end.
    EXPECT_EQ(Cp1251ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1251, EveryByteComesBackUnchanged) {
    std::set<char32_t> seen;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        all += Byte(b);
        EXPECT_TRUE(seen.insert(Cp1251ToCodePoint(static_cast<unsigned char>(b))).second)
            << "two bytes share a character";
        const Cp1251Encoding back = Utf8ToCp1251(Cp1251ToUtf8(Byte(b)));
        ASSERT_TRUE(back.ok);
        EXPECT_EQ(back.bytes, Byte(b));
    }
    const Cp1251Encoding whole = Utf8ToCp1251(Cp1251ToUtf8(all));
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.bytes, all);
}

TEST(Cp1251, EncodesTextsItCanHold) {
    struct Case {
        const char* utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {"", ""},
        {"8861.736", "8861.736"},
        {"Ёж ёлка", "\xA8\xE6 \xB8\xEB\xEA\xE0"},
        {"№5 «Ck»",
         "\xB9"
         "5 \xAB"
         "Ck\xBB"},
        {"€‰™—", "\x88\x89\x99\x97"},
        {"Сk(пФ)", "\xD1k(\xEF\xD4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        const Cp1251Encoding encoded = Utf8ToCp1251(c.utf8);
        ASSERT_TRUE(encoded.ok);
        EXPECT_EQ(encoded.bytes, c.bytes);
    }
}

TEST(Cp1251, RefusesTheFirstCharacterItCannotHold) {
    struct Case {
        std::string utf8;
        std::size_t at;
        std::string refused;  // empty for a broken sequence
        char32_t codePoint;
    };
    const Case cases[] = {
        {"ab中c", 2, "中", 0x4E2D},
        {"é", 0, "é", 0x00E9},
        {"Привет ü", 13, "ü", 0x00FC},
        {"x😀", 1, "😀", 0x1F600},
        {"5\xC3", 1, "", 0xFFFD},             // sequence cut short
        {"\x80", 0, "", 0xFFFD},              // stray continuation byte
        {"a\xC0\x80", 1, "", 0xFFFD},         // overlong form of NUL
        {"\xED\xA0\x80", 0, "", 0xFFFD},      // surrogate
        {"\xF4\x90\x80\x80", 0, "", 0xFFFD},  // beyond U+10FFFF
        {"\xE2\x82", 0, "", 0xFFFD},          // three-byte sequence with two bytes
        {"\xFF", 0, "", 0xFFFD},              // never a UTF-8 byte
        {"Ё\xD0\x41", 2, "", 0xFFFD},         // lead byte followed by ASCII
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        const Cp1251Encoding encoded = Utf8ToCp1251(c.utf8);
        EXPECT_FALSE(encoded.ok);
        EXPECT_EQ(encoded.refusedAt, c.at);
        EXPECT_EQ(encoded.refused, c.refused);
        EXPECT_EQ(encoded.refusedCodePoint, c.codePoint);
        EXPECT_TRUE(encoded.bytes.empty());
    }
}

}  // namespace
}  // namespace feldan
