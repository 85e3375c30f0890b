// Matching the filter's termination to a system resistance (50 Ω): the L network and the
// broadband transformer, the parts of both ends as a builder solders them, and the built filter
// between a source and a load of that resistance: what a builder measures on a 50 Ω bench.
#pragma once

#include <optional>

#include "engine/rounding.h"
#include "engine/standard_values.h"

namespace feldan {

// An L network between a resistance `fromOhm` and a resistance `toOhm` at `hz`: a series
// inductor on the side of the smaller resistance and a shunt capacitor across the larger one.
struct LNetwork {
    double seriesH = 0;
    double shuntF = 0;
    bool shuntAtTo = true;  // the capacitor is across `to` (the larger resistance)
};
LNetwork LMatch(double fromOhm, double toOhm, double hz);

// The impedance the network and a load `toOhm` show at `fromOhm`'s side: what LMatch promises
// to be fromOhm. Returned as {re, im}.
struct Impedance {
    double re = 0;
    double im = 0;
};
Impedance LoadedLNetwork(const LNetwork& network, double toOhm, double hz);

// Turns ratio N2/N1 of a broadband transformer from `fromOhm` (winding N1) to `toOhm` (N2).
double TransformerTurnsRatio(double fromOhm, double toOhm);

struct Netlist;

// The L networks of both ends: `network` is LMatch(systemOhm, terminationOhm, Fo) (its shunt
// capacitor possibly rounded); the output end's is its mirror image, or, when the filter's two
// ends want different terminations, LMatch(systemOhm, outputTerminationOhm, Fo) mirrored.
struct MatchedEnds {
    double systemOhm = 50;
    double terminationOhm = 0;  // what the filter's input end wants
    LNetwork network;
    double outputTerminationOhm = 0;  // what the output end wants; 0: the input's
    LNetwork outputNetwork;           // used when outputTerminationOhm is not 0

    double OutputOhm() const {
        return outputTerminationOhm > 0 ? outputTerminationOhm : terminationOhm;
    }
    const LNetwork& OutputNetwork() const {
        return outputTerminationOhm > 0 ? outputNetwork : network;
    }
};

// What one end's network is built of.
struct EndParts {
    double exactShuntPF = 0;                 // LMatch's own value
    std::optional<ParallelPair> shuntParts;  // with a rounding: the standard parts
    double turnsRatio = 0;                   // the transformer's N2/N1, N1 at systemOhm
};

// Both ends matched to `systemOhm` from the terminations in force, at Fo, each end on its own
// when they differ. With a rounding, each shunt capacitor is made of standard parts as the
// filter's own capacitors are (a pair where one alone is too far off), and `ends` holds what is
// soldered. The input end's parts are the fields here; `output` holds the output end's when it
// has a network of its own.
struct EndMatching {
    MatchedEnds ends;
    double exactShuntPF = 0;
    std::optional<ParallelPair> shuntParts;
    double turnsRatio = 0;
    std::optional<EndParts> output;
};
EndMatching MatchEnds(double systemOhm, double inputOhm, double outputOhm, double foHz,
                      const RoundingRequest* rounding);

// The schematic's circuit with a source and a load of systemOhm and the L network between each
// and the filter, of a circuit number (circuit/topologies.h).
void BuildMatchedSchematicNetlist(int circuit, const ElementValues& values, const MatchedEnds& ends,
                                  Netlist& netlist);

// The matched filter measured as the Calculate command measures the schematic: outcome,
// measurements and curve, in the chart's dB.
CalculationResult MeasureMatched(const BuiltDesign& built, const ElementValues& values,
                                 const MatchedEnds& ends);

}  // namespace feldan
