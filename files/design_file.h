// The .fdn design file: eleven lines of text, CR LF after each, Windows-1251 bytes on disk.
#pragma once

#include <array>
#include <string>

#include "engine/calculate_view.h"

namespace feldan {

// Positions 1..11 of a design file, UTF-8 inside the program; index 0 is unused.
// Lines 6 and 7 are reserved: read from a file and written back unchanged.
using DesignFileLines = std::array<std::string, 12>;

// A design as the window holds it: the seven field texts and the two selections.
struct DesignFields {
    InputTexts texts;
    int FilterType = 2;
    int ResponseType = 1;
};

// Positions 1..5, 8..11 from the fields; 6 and 7 untouched.
void FieldsToFileLines(const DesignFields& fields, DesignFileLines& lines);

// The fields of lines 1..5, 8, 9 and the two selections of lines 10 and 11. Checks everything
// before it returns: throws ConversionError "'<text>' is not a valid integer value" for a type
// line that is not an integer and CommandError with a warning text for a type out of range.
DesignFields FileLinesToFields(const DesignFileLines& lines);

// Reads a whole file; accepts CR LF, LF and CR line ends; Ctrl-Z or the end of the file ends it;
// lines after the 11th are ignored. Throws CommandError when the file cannot be read.
DesignFileLines ReadDesignFile(const std::string& path);

// Writes the 11 lines through a temporary file in the same folder renamed over the target, so a
// failed save never leaves a half-written design. Throws CommandError with the reason.
void WriteDesignFile(const std::string& path, const DesignFileLines& lines);

// The name a save writes to: ".fdn" appended unless the name already ends in it (any case).
std::string DesignFileName(const std::string& chosen);

}  // namespace feldan
