// The unwanted modes of a crystal, found in a wide sweep: further resonances above the main one,
// each a motional arm across the crystal's C0.
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "engine/crystal.h"
#include "engine/crystal_set.h"
#include "engine/sweep.h"

namespace feldan {

// Fits the main mode as FitCrystal does, then looks for up to `modes` (1..MaxUnwantedModes)
// unwanted ones in what the main mode leaves of the crystal's admittance, and refines all of
// them together on the complex data with C0 in the model. A mode the data cannot resolve (no
// peak clear of the noise, a peak without both its half-power points in the sweep, or a
// refinement that runs it into its limits) is left out: fit.model.modes holds the modes found,
// in ascending order of fs, and fit.modesSought says how many were looked for.
CrystalFit FitCrystalWithModes(std::span<const double> frequencyHz,
                               std::span<const std::complex<double>> measured, SweepKind kind,
                               double fixtureOhm, int modes);

// The pass bands that the unwanted modes of a filter's crystals open: about each mode, its
// highest point against the pass band's, where it peaks inside the span searched (not on the
// skirt of another band). None for crystals without modes, or a filter whose band is unknown.
std::vector<UnwantedResponse> UnwantedResponsesOf(DesignedFilter& filter);

}  // namespace feldan
