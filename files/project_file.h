// The project file (.feldan): JSON with a format version, holding a Project (engine/project.h).
// Entries it does not know are ignored, so later versions may add to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/errors.h"
#include "engine/project.h"
#include "files/crystal_csv.h"

namespace feldan {

// The newest version read. Version 2 added design.exact, the exact way of design; a file of
// version 1 (or without the entry) is a classic design. A classic project is still written as
// version 1, byte for byte as before, and an exact one as version 2, so that a program that
// knows only version 1 refuses it rather than design it the classic way unawares. Version 3
// added the designs a design file cannot hold (a topology or response beyond the classic lists,
// with design.rippleDb for a Chebyshev response of any ripple); only they are written as it.
// Version 4 added crystals[].sweep, the sweep a measured crystal was fitted from; a project is
// written as it only when a crystal keeps one. Version 5 added the ladders of equal coupling
// capacitors: the QER ladders (filterType 17 to 25, up to 14 crystal positions), the Cohn
// response (responseType 14) and design.capacitorPF, the capacitor a design is built around;
// and crystals[].modes, a crystal's unwanted modes; written as it only for such a design or a
// project with a crystal that has a mode.
inline constexpr int ProjectFormatVersion = 5;
inline constexpr int SweepsProjectFormatVersion = 4;
inline constexpr int DesignBeyondListsProjectFormatVersion = 3;
inline constexpr int ClassicProjectFormatVersion = 1;
inline constexpr int ExactProjectFormatVersion = 2;
// The value of the "format" entry that tells a project from any other JSON.
inline constexpr std::string_view ProjectFormatName = "feldan-project";

// A file the program refuses; the message names the file, and the line where the JSON itself
// is broken.
class ProjectFileError : public CommandError {
  public:
    using CommandError::CommandError;
};

// Reads the text of a project. Throws ProjectFileError.
Project ParseProject(std::string_view text, const std::string& fileName);

// Reads a project from disk. Throws FileError, ProjectFileError, or CommandError for a file too
// large to be a project.
Project ReadProjectFile(const std::string& path);

// The text of a project: indented JSON, numbers that read back to the same bits.
std::string ProjectBytes(const Project& project);

// Writes a project with WriteFileAtomically. Throws FileError.
void WriteProjectFile(const std::string& path, const Project& project);

// The name a save writes to: ".feldan" appended unless the name already ends in it (any case).
std::string ProjectFileName(const std::string& chosen);

}  // namespace feldan
