// The normalised low-pass prototypes of every topology and response.
#pragma once

#include <string_view>

#include "engine/design.h"

namespace feldan {

struct PrototypeCell {
    int order;              // number of resonators: 3, 4, 6 or 8
    double g1, g2, g3, g4;  // g3 and g4 are 0 where the order does not use them
    std::string_view name;
};

// The cell of a selection, or nullptr when FilterType is outside 1..7 or ResponseType outside 1..5.
const PrototypeCell* FindPrototype(int filterType, int responseType);

// The pass-band ripple of a response in dB: 0 for Butterworth, 0.044 to 0.28 for the Chebyshev
// responses (from their reflection coefficients, 10 to 25 %); 0 outside 1..5.
double PrototypeRippleDb(int responseType);

// Copies the coefficients that the selected order uses (g1, g2 for orders 3 and 4; up to g3 for
// order 6; up to g4 for order 8) and the designation into the synthesis. A selection outside
// the table writes nothing.
void LoadPrototype(int filterType, int responseType, Synthesis& synthesis);

}  // namespace feldan
