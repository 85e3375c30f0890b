#include "engine/matching.h"

namespace feldan {

void BuildMatchedSchematicNetlist(int filterType, const ElementValues& values,
                                  const MatchedEnds& ends, Netlist& netlist) {
    BuildSchematicNetlist(filterType, values, ends.terminationOhm, netlist);
    const double g = 1 / ends.systemOhm;
    const LNetwork& l = ends.network;
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
    netlist.Branches[++count] = Branch{output, loadSide, 0, 0, l.seriesH};
    netlist.Branches[++count] = Branch{l.shuntAtTo ? output : loadSide, 0, 0, l.shuntF, 0};
    netlist.EquationCount = netlist.NodeCount - 1;
}

CalculationResult MeasureMatched(const BuiltDesign& built, const ElementValues& values,
                                 const MatchedEnds& ends) {
    return MeasureNetlist(built, [&](Netlist& netlist) {
        BuildMatchedSchematicNetlist(built.design.input.FilterType, values, ends, netlist);
    });
}

}  // namespace feldan
