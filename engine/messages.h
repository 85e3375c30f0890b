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
    // Files that are read: the message names the file and the line, value the detail.
    ReadFileTooLarge,
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
    PickNoQer,          // the pick by the response asked for a QER ladder's doubled ends
    // A design from a set of crystals.
    CrystalSetCount,        // value: how many crystals the topology has
    CrystalSetValue,        // value: the position of a crystal without usable values
    CrystalTrimImpossible,  // value: the position of a crystal no series capacitor can lift
    // The project file (.feldan); the message names the file, and the line where known.
    ProjectNotJson,     // value: what the JSON parser found
    ProjectNotProject,  // the JSON is not a Feldan project
    ProjectVersion,     // value: the format version the file has
    ProjectEntry,       // value: the entry missing or of the wrong type
    ProjectValue,       // value: the entry whose value is out of range
    // The exact way of design.
    ExactBandTooWide,    // value: the widest band reachable, in Hz
    ExactBandTooNarrow,  // value: the narrowest band reachable, in Hz
    ExactNoBand,         // the crystals' loss leaves no band their static capacitance allows
    ExactNotConverged,   // value: the designs made
    ExactLevelInRipple,  // value: the prototype's ripple in dB
    ExactWidthJumps,     // value: the widths either side of the jump, "3129–3142", in Hz
    // Designs beyond the classic table.
    BadRipple,         // value: the ripple as typed, outside 0.01..3 dB
    BadCk,             // a generated CW ladder with a Ck of 0 or less
    FileNeedsProject,  // value: the design's designation; a design file cannot hold it
    ResponseOrder,     // value: the crystals the response has, "3–10"; the count chosen is not
    CohnPlainOnly,     // the Cohn response chosen for a CW or QER ladder
    BadCapacitor,      // value: the coupling capacitor as typed; not a number of pF above zero
    // Tools that need the band where Расчет found it.
    BandUnknown,             // Расчет found no band, and no warning of its own says why
    TransientTooLong,        // the record would need more frequencies than a sweep takes
    TransientNoCentre,       // the spectrum does not reach both sides of the band's centre
    TransientNothingPassed,  // the level at the centre of the band is zero
    // Cautions of a finished design: the numbers stand, yet what they build is doubtful.
    CautionWidth,        // value: the width measured, in Hz; more than 10 % off dF
    CautionCapacitor,    // value: "C4=0.92", in pF; under 1 pF or over 10 nF
    CautionTermination,  // value: the termination in Ohm; under 5 Ohm or over 20 kOhm
    CautionTrim,         // value: "ZQ3=1200", in pF; a trim over 1 nF
    CautionCohnRipple,   // value: the least ripple of the Cohn ladder, in dB; over 1 dB
    // A network analyser on a serial port; the message names the port (as `file`), the line
    // of a scan's answer where one is concerned.
    VnaPortClosed,      // the port went away or failed while the program talked to it
    VnaTimeout,         // value: the command the device stopped answering
    VnaScanLine,        // value: the line of a scan's answer that is not five numbers
    VnaNoPrompt,        // value: the command whose answer did not end with the prompt
    VnaBusy,            // another program holds the port
    VnaNotAnalyser,     // no shell prompt nor V2 answer, or an answer to info no analyser gives
    VnaNoPermission,    // the user may not open the port
    VnaFirmwareUpdate,  // a NanoVNA V2 or LiteVNA waiting in its firmware update mode
    VnaOpenFailed,      // value: the errno code of why the port cannot be opened
    VnaShortScan,       // value: the points the scan gave back, fewer than asked for
    VnaCancelled,       // the measurement was stopped by the user
    VnaNoCrystal,       // value: the span searched, in Hz; no resonance stands out in it
    VnaAnswerTooLong,   // value: the command whose answer has more lines than it can have
    VnaBadRecord,       // value: the number of a V2's record that belongs to no point asked for
    // The built filter fitted to its measured sweep.
    DiagnosisNoBand,        // value: the design's band, "8860000–8863000", in Hz
    DiagnosisNotConverged,  // value: the residual in dB
    // A file that cannot be opened or read; value: the errno code. The message names the file.
    FileUnreadable,
};

// A field of the window: where a text that a file cannot hold was typed.
enum class Field { None, Fo, Ld, Cs, Rd, Df, Level, Ck };

struct Message {
    MessageId id = MessageId::None;
    // The text a conversion refused, as it was converted, or the character a file refused;
    // empty for the other messages.
    std::string value;
    // The place of a text a file cannot hold: its field, or else its line of the file. A
    // conversion or arithmetic fault names the field it arose in, and its words then add the
    // field's rule.
    Field field = Field::None;
    int line = 0;
    // For the messages about a file that is read: its name, which comes first ("«x.s2p», строка
    // 12: …"); the line is then the line of that file.
    std::string file{};

    bool operator==(const Message&) const = default;
};

// A message about a file that is read.
inline Message FileMessage(MessageId id, std::string value, std::string file, int line = 0) {
    return Message{id, std::move(value), Field::None, line, std::move(file)};
}

// The words of a message; the Russian ones are those the program has always shown.
std::string MessageText(const Message& message, Language language = Language::Russian);

// The words of a message without a value.
std::string_view MessageText(MessageId id, Language language = Language::Russian);

}  // namespace feldan
