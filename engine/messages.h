// The outcomes a calculation can name, and the one table of their words. The engine names an
// outcome by its identifier and the value it concerns; the front ends turn it into text. Lines
// are separated by '\n'; the spaces after a line break centre the next line in the message box.
#pragma once

#include <string>
#include <string_view>
#include <utility>

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
    // Files that are read: the message names the file and the line, value the detail.
    FileTooLarge,
    TouchstoneNotANumber,  // value: the text
    TouchstoneColumns,     // value: how many numbers a row of data needs
    TouchstoneOption,      // value: the word of the option line that is not understood
    TouchstoneParameter,   // value: the kind of parameters (Y, Z, H, G) the file holds
    TouchstoneReference,   // the reference resistance is not a positive number
    TouchstoneKeyword,     // value: the keyword that is not understood or not supported
    TouchstonePorts,       // value: the number of ports the file says it has
    TouchstoneOrder,       // the frequency falls below the one before it
    TouchstoneCount,       // value: the number of frequencies the file promised
    TouchstoneNoData,
    TouchstoneTooManyPoints,
    CsvColumnMissing,   // value: the column the header lacks
    CsvFieldCount,      // value: how many fields the header has
    CsvNotANumber,      // value: the text
    CsvValueRange,      // value: the column whose value must be positive
    CsvQuote,           // a quoted field that does not end
    FitNoResonance,     // the sweep does not hold the series resonance with its skirts
    FitNotConverged,    // value: the iterations taken
    FitPoor,            // value: the RMS residual in dB
    FitMagnitudesOnly,  // the phase could not be matched
    G3uurNoShift,       // the readings give no positive motional capacitance
    PickTooFew,         // value: how many were asked for
};

struct Message {
    Message() = default;
    Message(MessageId id, std::string value = {}, std::string file = {}, int line = 0)
        : id(id), value(std::move(value)), file(std::move(file)), line(line) {}

    MessageId id = MessageId::None;
    // The text a conversion refused, as it was converted, or the detail of a file message.
    std::string value;
    // For the messages about a file: its name and the line (from 1; 0 for the whole file).
    std::string file;
    int line = 0;

    bool operator==(const Message&) const = default;
};

// The words of a message, in Russian as the program has always shown them.
std::string MessageText(const Message& message);

// The words of a message without a value.
std::string_view MessageText(MessageId id);

}  // namespace feldan
