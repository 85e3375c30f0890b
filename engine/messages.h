// The outcomes a calculation can name, and the one table of their words. The engine names an
// outcome by its identifier and the value it concerns; the front ends turn it into text. Lines
// are separated by '\n'; the spaces after a line break centre the next line in the message box.
#pragma once

#include <string>
#include <string_view>

namespace feldan {

// The languages the program speaks: Russian, its own, and English.
enum class Language { Russian, English };

enum class MessageId {
    None,
    MissingData,      // a field other than the level is empty
    ZeroRd,           // Rd typed as the single character "0"
    ZeroResistance,   // a zero source, load or motional resistance found after the conversion
    NoSolution,       // the circuit has no solution at a frequency the calculation needs
    MissingLevel,     // the level field is empty
    BadLevel,         // the level is not below 0 dB
    BandLimit,        // a search or the sweep ran past ±30 kHz
    BadFilterType,    // a selection no topology answers to (a design file may carry any number)
    BadResponseType,  // a selection no response answers to
    NotAFloat,        // value: the text that is not a number
    NotAnInteger,     // value: the text that is not an integer
    DivisionByZero,
    InvalidOperation,
    Overflow,  // a result too large for a double (for example Fo squared of an absurd Fo)
    // The design file layer: what a file holds, or what a file cannot hold.
    FileFilterTypeRange,    // the topology line of a file is outside 1..7
    FileResponseTypeRange,  // the response line of a file is outside 1..5
    FileTooLarge,           // far more bytes than a design has
    ControlCharacter,       // value: the character's code; at a place
    BrokenText,             // a text that is not valid UTF-8; at a place
    NotInWindows1251,       // value: the character; at a place
};

// A field of the window: where a text that a file cannot hold was typed.
enum class Field { None, Fo, Ld, Cs, Rd, Df, Level, Ck };

struct Message {
    MessageId id = MessageId::None;
    // The text a conversion refused, as it was converted, or the character a file refused;
    // empty for the other messages.
    std::string value;
    // The place of a text a file cannot hold: its field, or else its line of the file.
    Field field = Field::None;
    int line = 0;

    bool operator==(const Message&) const = default;
};

// The words of a message; the Russian ones are those the program has always shown.
std::string MessageText(const Message& message, Language language = Language::Russian);

// The words of a message without a value.
std::string_view MessageText(MessageId id, Language language = Language::Russian);

}  // namespace feldan
