// A designed filter as a SPICE netlist, for ngspice or LTspice: each crystal a subcircuit of its
// own (Lm, Cm, Rm, C0), capacitors named by their schematic labels, a 1 V AC source behind the
// source resistance, the filter's input node "in" and its output node "out", and an .ac analysis.
#pragma once

#include <string>
#include <vector>

#include "engine/sweep.h"

namespace feldan {

enum class SpiceDialect { Ngspice, LTspice };

struct SpiceRequest {
    SpiceDialect dialect = SpiceDialect::Ngspice;
    double fromHz = 0;
    double toHz = 0;
    int points = DefaultSweepPoints;
    // Comment lines for the head of the file (the design data).
    std::vector<std::string> comments;
    // ngspice: the file the .control block writes the response to (frequency, re and im of
    // v(out)).
    std::string dataFile = "feldan-ac.txt";
};

// The netlist of a built filter. Values are written as plain numbers with 15 significant digits
// and an exponent, never with SPICE's scale letters (its "M" is milli).
std::string SpiceNetlist(const DesignedFilter& filter, const SpiceRequest& request);

}  // namespace feldan
