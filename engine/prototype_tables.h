// Low-pass prototypes that no closed formula gives, read from the published tables: the
// Gaussian response, the transitional Gaussian to 6 dB and to 12 dB, and linear phase with an
// equiripple phase error of 0.05° and 0.5°.
#pragma once

#include "engine/prototype_generator.h"

namespace feldan {

enum class TabulatedResponse {
    Gaussian,           // the Gaussian magnitude, no overshoot; the gentlest skirts
    GaussianTo6Db,      // Gaussian down to 6 dB, steeper beyond
    GaussianTo12Db,     // Gaussian down to 12 dB, steeper beyond
    LinearPhase005Deg,  // phase within ±0.05° of a straight line over the band
    LinearPhase05Deg,   // within ±0.5°: steeper skirts, a little less flat delay
};

// The orders a table holds.
struct TableOrders {
    int lowest = 0;
    int highest = 0;
};
TableOrders OrdersOf(TabulatedResponse response);

// The table's ladder of `order` elements, moved to a 1 Ω source (the products of neighbouring
// elements, which set the couplings and the end Qs, kept) and scaled so that it is 3.01 dB down
// at ω = 1 exactly. Throws std::invalid_argument for an order the table does not hold.
LadderPrototype TabulatedLadder(TabulatedResponse response, int order);

}  // namespace feldan
