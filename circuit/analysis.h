// The circuit side of a design: one netlist, one solver and its output measure, built once per
// design run and analysed at many frequencies.
#pragma once

#include "circuit/netlist.h"
#include "circuit/solver.h"
#include "circuit/topologies.h"

namespace feldan {

struct AnalysisPoint {
    // False when the solve failed or the load voltage is exactly 0; ResponseDb is then
    // meaningless and must not be used.
    bool SolveOk = false;
    double ResponseDb = 0;
};

class CircuitAnalysis {
  public:
    // BuildNetlist, then PrepareNetlist.
    void Build(int filterType, const ElementValues& values);
    // One analysis point: SolveNodal at omegaRad and, when it succeeded, MeasureOutput.
    AnalysisPoint Analyse(double omegaRad);

    Netlist netlist;
    NodalSolver solver;
    OutputMeasure measure;
};

}  // namespace feldan
