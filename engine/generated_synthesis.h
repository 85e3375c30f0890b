// The capacitors of the generated ladders: the rule of the classic ones carried to any number of
// crystals, and the QER ladders of one coupling capacitor.
#pragma once

#include "circuit/generated_ladders.h"
#include "engine/checked.h"
#include "engine/design.h"

namespace feldan {

// The capacitor slots and the circuit of a generated ladder of `structure` from the prototype
// already in `d`, for the capacitance scale s and (CW) the correction capacitance ck, in pF.
void ComputeGenerated(Synthesis& d, LadderStructure structure, Checked s, Checked ck);

}  // namespace feldan
