// Exact to the request: the second way to design, beside the classic synthesis.
//
// The classic synthesis takes the crystal for a lossless series resonator of inductance Ld, so
// the filter analysed (and built) comes out narrower than asked: the static capacitance makes
// the crystal steeper near its series resonance than Ld alone, and the crystal's loss loads the
// end meshes beyond their design Q. The exact way feeds the same synthesis an adjusted request:
//   - the effective inductance Leff = ½·dX/dω of the crystal (motional arm with C0 across it, a
//     set's trim in series) at the frequency the meshes resonate at, for Ld;
//   - terminations less the crystal's own loss there, Reff = Re Z, which is the end-Q correction
//     1/Qe = 1/(q1·QL) − 1/Qu written for the resistances;
//   - a design bandwidth of its own, searched until the width measured as Расчет measures it
//     (MeasureBuiltCircuit, at the level asked) equals dF within ExactToleranceHz.
// The circuit analysed is always built of the real crystals (each position's own for a set), so
// every build aid and export takes an exact design exactly as it takes a classic one.
//
// The design is parametrised by its mesh frequency ω between the crystal's series and parallel
// resonance: for each ω there is one design bandwidth whose meshes resonate there (Leff is
// taken at that ω). That bandwidth grows from fs, peaks, and falls again as Leff grows without
// bound towards fp: its peak is the widest band the topology reaches with this crystal. The
// narrowest is where the crystal's loss alone gives the end meshes their Q (no termination is
// left). Both are measured at the level asked, so a request beyond them is refused with the
// band in Hz.
//
// The window turns the exact way on with DesignFields::exact; Calculate, CalculateRevalued,
// CalculateWithCrystals, BuildDesign, BuildProject and DesignFilter then all design exactly, and
// CalculationResult::exact says what the iteration did.
#pragma once

#include <functional>
#include <optional>
#include <span>

#include "circuit/topologies.h"
#include "engine/calculate.h"
#include "engine/crystal.h"

namespace feldan {

// The most designs an exact calculation measures, the two limits of the band included.
inline constexpr int MaxExactDesigns = 20;
// How close the width measured at the level must come to dF.
inline constexpr double ExactToleranceHz = 1;
// How far the level must lie below the prototype's ripple: a level within the ripple finds an
// in-band valley instead of the band's edge.
inline constexpr double ExactLevelMarginDb = 0.01;

// The crystal seen from its terminals at omega, lossless: its reactance and the effective
// inductance ½·dX/dω. A C0 of 0 leaves the motional arm alone; a trim is in series.
struct CrystalReactance {
    double reactanceOhm = 0;
    double effectiveH = 0;
};
CrystalReactance ReactanceOf(const Resonator& crystal, double omega);

// What CalculateRevalued does for a design with `exact` set: the same outcomes of the design
// run, then the level (which must also lie ExactLevelMarginDb below the prototype's ripple),
// the reachable band, and the iteration. `designCrystal` gives Leff (a set's mean crystal with
// its trim); without it the design's own crystal does.
CalculationResult CalculateExact(const DesignFields& design, char separator, Language language,
                                 const std::function<void(ElementValues&)>& revalue,
                                 const std::optional<Resonator>& designCrystal);

// The widest band, in Hz at the design's level, that an exact design of this topology and
// crystal reaches (CalculationResult::exact.reachableDfHz), whichever way `design` is set: the
// hint and the JSON of a classic design. Nothing when it cannot be told (a design that does not
// run, a band beyond the searches' limits).
std::optional<double> ReachableDfHz(const DesignFields& design, char separator,
                                    std::span<const CrystalModel> crystals = {}, bool trim = false);

}  // namespace feldan
