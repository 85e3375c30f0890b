#include "engine/matching.h"

#include <memory>

#include "circuit/analysis.h"
#include "engine/synthesis.h"

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
    CalculationResult result;
    result.input = built.design.input;
    result.synthesis = built.design.synthesis;
    const double foHz = result.input.FoKHz * 1000;
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildMatchedSchematicNetlist(result.input.FilterType, values, ends, circuit->netlist);
    PrepareNetlist(circuit->netlist);
    circuit->DropAhead();
    double atFo = 0;
    if (!AnalyseAt(*circuit, foHz, 0, atFo)) {
        result.outcome = Outcome::Warning;
        result.message = Message{MessageId::NoSolution, ""};
        return result;
    }
    result.measurements.RespAtFoDb = atFo;
    result.measurements.AFoDb = atFo + LevelOffsetDb;
    const MessageId stop = MeasureBuiltCircuit(*circuit, foHz, result.input.LevelDb, result);
    result.outcome = stop == MessageId::None ? Outcome::Done : Outcome::Warning;
    result.message = Message{stop, ""};
    return result;
}

}  // namespace feldan
