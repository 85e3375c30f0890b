// What follows the fit of a built filter: the ends it wants and what to change, and the
// questions the fit and its words both ask of a diagnosis.
#pragma once

#include <optional>
#include <string>

#include "engine/diagnosis.h"

namespace feldan::diagnosis_advice {

// The band of the filter as built, or of the design where the build has none.
std::optional<PassBand> BandOfBuilt(const BuiltDesign& built);

// True when the part of `label` ("C4", "ZQ3") is one of a group the sweep cannot tell apart.
bool InWeakGroup(const Diagnosis& d, const std::string& label);

// The ends the fitted filter wants: the resistance at each end and the capacitance across it
// that bring its power gain closest to the design's over the band and a quarter of the band
// beside it. Left at zero for a schematic without end shunt capacitors.
void FitEnds(const BuiltDesign& built, Diagnosis& d);

// What to change, the worst first, in d.advice: a standard capacitor of `series` that brings a
// part back, or the trim that brings a crystal back; nothing for the parts of a group.
void AdviseOn(const BuiltDesign& built, Diagnosis& d, ESeries series);

}  // namespace feldan::diagnosis_advice
