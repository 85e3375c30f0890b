// The Cohn ladder: a plain ladder whose coupling capacitors are all one value. Its meshes are
// all tuned alike (the end capacitors equal the couplings), so the only free choice left is the
// termination, taken as the one that keeps the pass band flattest.
#pragma once

#include "engine/prototype_generator.h"

namespace feldan {

inline constexpr int MinCohnCrystals = 3;
inline constexpr int MaxCohnCrystals = 12;

// A Cohn ladder of `crystals` meshes in the units of its couplings: every coupling 1, the end
// meshes loaded by `endR`. Its natural pass band lies between the outermost of its resonances,
// ±2·cos(π/(n+1)); the termination is the one whose response varies least over that band.
struct CohnRow {
    double endR = 0;      // the end meshes' resistance
    double band3 = 0;     // the width of the response 3 dB below its top
    double rippleDb = 0;  // how much the response varies over the natural band
};

// The row of a count of crystals from MinCohnCrystals to MaxCohnCrystals; zeros outside.
CohnRow CohnRowOf(int crystals);

// The row's response |S21| in dB at x (in the units of the couplings) with end meshes of
// resistance `endR`.
double CohnResponseDb(int crystals, double endR, double x);

// The Cohn ladder as a low-pass prototype: equal couplings 1/√(g_k·g_(k+1)) and both ends the
// row's, scaled so that its 3 dB band spans ω = ±1 as every other prototype's does.
LadderPrototype CohnLadder(int crystals);

}  // namespace feldan
