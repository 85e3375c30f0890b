// The built filter between a source and a load of a system resistance (50 Ω), each end joined
// to the filter's termination by an L network: what a builder measures on a 50 Ω bench.
#pragma once

#include "engine/build_aids.h"
#include "engine/standard_values.h"

namespace feldan {

struct Netlist;

// The L networks of both ends: `network` is LMatch(systemOhm, terminationOhm, Fo) (its shunt
// capacitor possibly rounded); the output end is its mirror image.
struct MatchedEnds {
    double systemOhm = 50;
    double terminationOhm = 0;  // what the filter's own ends want
    LNetwork network;
};

// The schematic's circuit with a source and a load of systemOhm and the L network between each
// and the filter. filterType must be 1..7.
void BuildMatchedSchematicNetlist(int filterType, const ElementValues& values,
                                  const MatchedEnds& ends, Netlist& netlist);

// The matched filter measured as the Calculate command measures the schematic: outcome,
// measurements and curve, in the chart's dB.
CalculationResult MeasureMatched(const BuiltDesign& built, const ElementValues& values,
                                 const MatchedEnds& ends);

}  // namespace feldan
