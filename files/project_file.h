// The project file (.feldan): JSON with a format version, holding the design, the table of
// crystals and the set of them the design uses, whether their trims are applied, and what the
// builder did with the design: its rounding to standard values, its tuned parts and the
// resistance its ends are matched to. Entries it does not know are ignored, so later versions
// may add to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/build_aids.h"
#include "engine/design.h"
#include "engine/errors.h"
#include "files/crystal_csv.h"

namespace feldan {

inline constexpr int ProjectFormatVersion = 1;
// The value of the "format" entry that tells a project from any other JSON.
inline constexpr std::string_view ProjectFormatName = "feldan-project";

struct Project {
    DesignFields design;
    // Every crystal of the table, measured or typed.
    std::vector<NamedCrystal> crystals;
    // The crystals (indices into `crystals`) at ZQ1, ZQ2, ... of a design from a set; empty: a
    // design of equal crystals. A file without the entry uses every crystal in table order.
    std::vector<int> positions;
    // The set is used in the calculation; switched off, it is kept for later.
    bool useSet = true;
    bool trim = false;
    // The standard values the capacitors are rounded to, when the builder rounds them.
    std::optional<RoundingRequest> rounding;
    // Parts moved by hand from their designed (or rounded) values, in the order they were set.
    std::vector<TunedPart> tuning;
    // The source and load resistance the ends are matched to, when matching is shown.
    std::optional<double> matchOhm;

    // The crystals of the set in position order (empty for a design of equal crystals, also
    // while the set is switched off).
    std::vector<CrystalModel> SetCrystals() const;
};

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
