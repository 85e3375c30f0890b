#include "engine/matching.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace feldan {

LNetwork LMatch(double fromOhm, double toOhm, double hz) {
    const double w = 2 * std::numbers::pi * hz;
    const double low = std::min(fromOhm, toOhm);
    const double high = std::max(fromOhm, toOhm);
    const double q = std::sqrt(high / low - 1);
    LNetwork network;
    network.seriesH = q * low / w;
    network.shuntF = q / (high * w);
    network.shuntAtTo = toOhm >= fromOhm;
    return network;
}

Impedance LoadedLNetwork(const LNetwork& network, double toOhm, double hz) {
    using C = std::complex<double>;
    const double w = 2 * std::numbers::pi * hz;
    const C series(0, w * network.seriesH);
    const C shunt(0, w * network.shuntF);  // admittance
    C z;
    if (network.shuntAtTo) {
        // from ── L ──┬── to
        //             C
        z = series + 1.0 / (shunt + 1.0 / toOhm);
    } else {
        // from ──┬── L ── to
        //        C
        z = 1.0 / (shunt + 1.0 / (series + C(toOhm)));
    }
    return {z.real(), z.imag()};
}

double TransformerTurnsRatio(double fromOhm, double toOhm) {
    return std::sqrt(toOhm / fromOhm);
}

namespace {

// One end's network and what it is built of.
EndParts MatchOneEnd(double systemOhm, double terminationOhm, double foHz,
                     const RoundingRequest* rounding, LNetwork& network) {
    EndParts parts;
    network = LMatch(systemOhm, terminationOhm, foHz);
    parts.exactShuntPF = network.shuntF * 1e12;
    if (rounding) {
        parts.shuntParts = PartsOfSeries(parts.exactShuntPF, *rounding);
        network.shuntF = parts.shuntParts->Sum() * 1e-12;
    }
    parts.turnsRatio = TransformerTurnsRatio(systemOhm, terminationOhm);
    return parts;
}

}  // namespace

EndMatching MatchEnds(double systemOhm, double inputOhm, double outputOhm, double foHz,
                      const RoundingRequest* rounding) {
    EndMatching m;
    m.ends.systemOhm = systemOhm;
    m.ends.terminationOhm = inputOhm;
    const EndParts input = MatchOneEnd(systemOhm, inputOhm, foHz, rounding, m.ends.network);
    m.exactShuntPF = input.exactShuntPF;
    m.shuntParts = input.shuntParts;
    m.turnsRatio = input.turnsRatio;
    if (outputOhm != inputOhm) {
        m.ends.outputTerminationOhm = outputOhm;
        m.output = MatchOneEnd(systemOhm, outputOhm, foHz, rounding, m.ends.outputNetwork);
    }
    return m;
}

void BuildMatchedSchematicNetlist(int circuit, const ElementValues& values, const MatchedEnds& ends,
                                  Netlist& netlist) {
    BuildSchematicNetlist(circuit, values, ends.terminationOhm, ends.OutputOhm(), netlist);
    const double g = 1 / ends.systemOhm;
    const LNetwork& l = ends.network;
    const LNetwork& out = ends.OutputNetwork();
    // The source's resistance now ends at a node of its own, and the load hangs from another;
    // the inductor joins each to the filter's end, the capacitor sits on the side LMatch chose.
    Branch& source = netlist.Branches[netlist.SourceBranch];
    Branch& load = netlist.Branches[netlist.LoadBranch];
    const int input = source.To;
    const int output = load.From;
    const int sourceSide = ++netlist.NodeCount;
    const int loadSide = ++netlist.NodeCount;
    source.To = sourceSide;
    source.G = g;
    load.From = loadSide;
    load.G = g;
    int& count = netlist.BranchCount;
    netlist.Branches[++count] = Branch{sourceSide, input, 0, 0, l.seriesH};
    netlist.Branches[++count] = Branch{l.shuntAtTo ? input : sourceSide, 0, 0, l.shuntF, 0};
    netlist.Branches[++count] = Branch{output, loadSide, 0, 0, out.seriesH};
    netlist.Branches[++count] = Branch{out.shuntAtTo ? output : loadSide, 0, 0, out.shuntF, 0};
    netlist.EquationCount = netlist.NodeCount - 1;
}

CalculationResult MeasureMatched(const BuiltDesign& built, const ElementValues& values,
                                 const MatchedEnds& ends) {
    return MeasureNetlist(built, [&](Netlist& netlist) {
        BuildMatchedSchematicNetlist(built.design.synthesis.Circuit, values, ends, netlist);
    });
}

}  // namespace feldan
