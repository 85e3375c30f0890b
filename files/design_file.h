// The .fdn design file: eleven lines of text, CR LF after each, Windows-1251 bytes on disk.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/errors.h"
#include "files/file_error.h"

namespace feldan {

// Positions 1..11 of a design file, UTF-8 inside the program; index 0 is unused.
// Lines 6 and 7 are reserved: read from a file and written back unchanged.
using DesignFileLines = std::array<std::string, 12>;

inline constexpr int DesignFileLineCount = 11;

// A file whose content the program refuses, or a design that a file cannot hold; the text is a
// warning in the program's own words.
class DesignFileWarning : public CommandError {
  public:
    using CommandError::CommandError;
};

// Whether a design file holds the design: one of the seven classic topologies with one of the
// five classic responses (or a selection outside the lists, which it writes as it is).
bool DesignFileHolds(const DesignFields& fields);

// Positions 1..5, 8..11 from the fields; 6 and 7 untouched. Throws DesignFileWarning
// (FileNeedsProject, naming the design) for a design the file cannot hold, writing nothing.
void FieldsToFileLines(const DesignFields& fields, DesignFileLines& lines);

// The fields of lines 1..5, 8, 9 and the two selections of lines 10 and 11. Checks everything
// before it returns: throws ConversionError "'<text>' is not a valid integer value" for a type
// line that is not an integer and DesignFileWarning for a type out of range.
DesignFields FileLinesToFields(const DesignFileLines& lines);

// The lines of a file's bytes: CR LF, LF and CR all end a line; Ctrl-Z or the end of the bytes
// ends the file; lines after the 11th are ignored; missing lines are empty.
DesignFileLines ParseDesignFile(std::string_view bytes);

// The bytes of a file: each line in Windows-1251 followed by CR LF. Throws DesignFileWarning,
// naming the field, when a text holds a character that Windows-1251 cannot hold, a broken UTF-8
// sequence, or a line end or Ctrl-Z that would split the design when read back.
std::string DesignFileBytes(const DesignFileLines& lines);

// The most a design file may hold before its 11th line ends; anything larger is not a design.
inline constexpr std::size_t DesignFileByteLimit = std::size_t{1} << 20;

// Reads a whole file; accepts CR LF, LF and CR line ends; Ctrl-Z or the end of the file ends it;
// lines after the 11th are ignored. Throws FileError when the file cannot be read and
// DesignFileWarning when it is far too large to be a design.
DesignFileLines ReadDesignFile(const std::string& path);

// Reads and checks a file, and only when all is well replaces `lines` with its lines and returns
// its fields. On any failure `lines` is unchanged.
DesignFields LoadDesignFile(const std::string& path, DesignFileLines& lines);

// Writes the 11 lines with WriteFileAtomically: a failed save never leaves a half-written design,
// and a finished one is on the disk. An existing target must be a writable regular file. Throws
// FileError with the reason, DesignFileWarning (before the disk is touched) when a text cannot be
// written.
void WriteDesignFile(const std::string& path, const DesignFileLines& lines);

// The name a save writes to: ".fdn" appended unless the name already ends in it (any case).
std::string DesignFileName(const std::string& chosen);

}  // namespace feldan
