#include "circuit/analysis.h"

namespace feldan {

void CircuitAnalysis::Build(int filterType, const ElementValues& values) {
    BuildNetlist(filterType, values, netlist);
    PrepareNetlist(netlist);
}

AnalysisPoint CircuitAnalysis::Analyse(double omegaRad) {
    if (!solver.SolveNodal(netlist, omegaRad)) return {};
    const OutputLevel level = MeasureOutput(netlist, solver, measure);
    return {level.ok, level.ResponseDb};
}

}  // namespace feldan
