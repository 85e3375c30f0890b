// The outcomes a calculation can name, and the one table of their words. The engine names an
// outcome by its identifier and the value it concerns; the front ends turn it into text. Lines
// are separated by '\n'; the spaces after a line break centre the next line in the message box.
#pragma once

#include <string>
#include <string_view>

namespace feldan {

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
};

struct Message {
    MessageId id = MessageId::None;
    // The text a conversion refused, as it was converted; empty for the other messages.
    std::string value;

    bool operator==(const Message&) const = default;
};

// The words of a message, in Russian as the program has always shown them.
std::string MessageText(const Message& message);

// The words of a message without a value.
std::string_view MessageText(MessageId id);

}  // namespace feldan
