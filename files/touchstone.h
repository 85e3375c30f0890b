// Touchstone files (.s1p, .s2p) of version 1.1 and 2.0: S-parameters as network analysers and
// simulators write them.
#pragma once

#include <array>
#include <complex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/crystal.h"
#include "engine/errors.h"
#include "engine/measured_filter.h"

namespace feldan {

// The network data of a one- or two-port file, in Hz and as complex S-parameters referred to
// the file's reference resistance.
struct TouchstoneData {
    int ports = 0;  // 1 or 2
    double referenceOhm = 50;
    std::vector<double> frequencyHz;  // never decreasing; neighbours of equal frequency merged
    // One row per frequency: S11, S21, S12, S22 (a one-port file fills S11 only).
    std::vector<std::array<std::complex<double>, 4>> s;
    // False when every S12 and S22 is exactly 0: a NanoVNA writes zeros for "not measured".
    bool reverseMeasured = false;

    std::size_t size() const { return frequencyHz.size(); }
    std::complex<double> S11(std::size_t i) const { return s[i][0]; }
    std::complex<double> S21(std::size_t i) const { return s[i][1]; }
    std::complex<double> S12(std::size_t i) const { return s[i][2]; }
    std::complex<double> S22(std::size_t i) const { return s[i][3]; }
};

// The samples of a two-port file for a measured filter, as measured or, given `toOhm`,
// renormalised to ports of that resistance (reciprocal and symmetric where the file holds no
// reverse measurement).
std::vector<MeasuredSample> MeasuredSamplesOf(const TouchstoneData& data,
                                              std::optional<double> toOhm);

// The crystal's sweep in a file, measured in a fixture of `fixtureOhm`: S21 of a two-port (the
// crystal in series), S11 of a one-port (the crystal from port 1 to ground).
CrystalSweep CrystalSweepOf(const TouchstoneData& data, double fixtureOhm);

// A file that is not a Touchstone file the program can read; the message names the file, the
// line and what is wrong there.
class TouchstoneError : public CommandError {
  public:
    using CommandError::CommandError;
};

// The most points a file may hold, and the most bytes; larger ones are refused, not read.
inline constexpr std::size_t TouchstoneMaxPoints = 1'000'000;
inline constexpr std::size_t TouchstoneMaxBytes = std::size_t{256} << 20;

// Reads the text of a file. `ports` is 1 or 2, from the extension; a version 2.0 file says its
// own number of ports, which must agree. `fileName` is only used in messages. Throws
// TouchstoneError.
TouchstoneData ParseTouchstone(std::string_view text, int ports, const std::string& fileName);

// The number of ports an extension stands for: 1 for .s1p, 2 for .s2p (any case), else 0.
int PortsOfTouchstoneName(const std::string& path);

// Reads a file from disk; its ports come from the extension. Throws FileError when it cannot be
// read and TouchstoneError when its content is refused.
TouchstoneData ReadTouchstoneFile(const std::string& path);

// A version 1.1 file: the comment lines first ("! " added before each), "# Hz S RI R
// <reference>", then one line per frequency: S11, S21, S12, S22 of a two-port (S11 of a
// one-port), 12 significant digits.
std::string TouchstoneBytes(const TouchstoneData& data, const std::vector<std::string>& comments);

}  // namespace feldan
