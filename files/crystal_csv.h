// A list of crystals as CSV: "name,fs_hz,lm_h,rm_ohm,c0_f" (the columns in any order, further
// columns ignored), one crystal a row, numbers with a decimal point. Unwanted modes, where the
// list has them, in groups "mode2_fs_hz,mode2_lm_h,mode2_rm_ohm", mode3_…, mode4_…: all three
// of a group or none, in the header and in each row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/crystal.h"
#include "engine/errors.h"

namespace feldan {

// A file the program refuses; the message names the file and the line.
class CrystalListError : public CommandError {
  public:
    using CommandError::CommandError;
};

inline constexpr std::size_t CrystalListMaxRows = 100'000;

// Reads the text of a list. Throws CrystalListError.
std::vector<NamedCrystal> ParseCrystalList(std::string_view text, const std::string& fileName);

// Reads a list from disk. Throws FileError or CrystalListError.
std::vector<NamedCrystal> ReadCrystalList(const std::string& path);

// The text of a list: the header, then a row per crystal, 17 significant digits. A name with a
// comma, a quote or a line break is quoted.
std::string CrystalListBytes(const std::vector<NamedCrystal>& crystals);

}  // namespace feldan
