// Windows-1251, the code page of design files, to and from the UTF-8 used inside the program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace feldan {

// The character of a byte: bytes below 0x80 are ASCII, 0x98 (the one byte without a character)
// is U+FFFD.
char32_t Cp1251ToCodePoint(unsigned char byte);

// Never fails: every byte has a character.
std::string Cp1251ToUtf8(std::string_view bytes);

// The outcome of converting a UTF-8 text to Windows-1251.
struct Cp1251Encoding {
    bool ok = true;
    std::string bytes;  // the whole text when ok
    // When not ok: the first character that has no byte (its UTF-8 sequence), or, for a broken
    // UTF-8 sequence, an empty text.
    std::string refused;
    char32_t refusedCodePoint = 0;
    std::size_t refusedAt = 0;  // byte offset in the UTF-8 text
};

// U+FFFD becomes 0x98 again, so a file read and written back keeps every one of its bytes.
Cp1251Encoding Utf8ToCp1251(std::string_view text);

}  // namespace feldan
