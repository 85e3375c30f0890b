#include "circuit/analysis.h"

namespace feldan {

namespace {

// Where the voltage of a load end comes from. For a node that is not driven, the voltage that
// MeasureOutput gives it is the equation voltage (or 0 V for node 0), so the load voltage can be
// formed from the two equation voltages with the same operations. Returns -1 for a node whose
// voltage comes from a source.
int PlainEquationOf(const Netlist& netlist, int node) {
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        if (netlist.Sources[s].DrivenNode == node) return -1;
    }
    const int equation = netlist.EquationOf[node];
    return node == 0 || equation != 0 ? equation : -1;
}

AnalysisPoint LevelBetween(Complex from, Complex to) {
    const OutputLevel level = LevelOfLoadVoltage({from.re - to.re, from.im - to.im});
    return {level.ok, level.ResponseDb};
}

}  // namespace

void CircuitAnalysis::Build(int filterType, const ElementValues& values) {
    DropAhead();
    BuildNetlist(filterType, values, netlist);
    PrepareNetlist(netlist);
}

AnalysisPoint CircuitAnalysis::Analyse(double omegaRad) {
    if (aheadNext_ < aheadCount_ && aheadOmega_[aheadNext_] == omegaRad) {
        const int i = aheadNext_++;
        return aheadSolved_[i] ? aheadPoint_[i] : AnalyseNow(omegaRad);
    }
    DropAhead();
    return AnalyseNow(omegaRad);
}

AnalysisPoint CircuitAnalysis::AnalyseNow(double omegaRad) {
    if (!solver.SolveNodal(netlist, omegaRad)) return {};
    if (netlist.BranchCount < OutputBranch) return {};
    const Branch& load = netlist.Branches[OutputBranch];
    const int fromEquation = PlainEquationOf(netlist, load.From);
    const int toEquation = PlainEquationOf(netlist, load.To);
    if (fromEquation < 0 || toEquation < 0) {
        const OutputLevel level = MeasureOutput(netlist, solver, measure);
        return {level.ok, level.ResponseDb};
    }
    return LevelBetween(solver.EquationVoltage(fromEquation), solver.EquationVoltage(toEquation));
}

void CircuitAnalysis::AnalyseAhead(double freqHz, double stepHz, double radPerHz) {
    if (aheadNext_ < aheadCount_ && aheadOmega_[aheadNext_] == radPerHz * freqHz) return;
    DropAhead();
    std::array<double, SolveLanes> omegas;
    double hz = freqHz;
    for (int l = 0; l < SolveLanes; ++l) {
        omegas[l] = radPerHz * hz;
        hz = hz + stepHz;
    }
    const std::array<bool, SolveLanes> clean = solver.SolveNodalLanes(netlist, omegas);
    const Branch& load = netlist.Branches[OutputBranch];
    const bool hasLoad = netlist.BranchCount >= OutputBranch;
    const int fromEquation = hasLoad ? PlainEquationOf(netlist, load.From) : -1;
    const int toEquation = hasLoad ? PlainEquationOf(netlist, load.To) : -1;
    for (int l = 0; l < SolveLanes; ++l) {
        aheadOmega_[l] = omegas[l];
        // Anything out of the ordinary is left to Analyse, which solves that point on its own.
        aheadSolved_[l] = clean[l] && fromEquation >= 0 && toEquation >= 0;
        if (aheadSolved_[l]) {
            aheadPoint_[l] = LevelBetween(solver.LaneVoltage(l, fromEquation),
                                          solver.LaneVoltage(l, toEquation));
        }
    }
    aheadCount_ = SolveLanes;
}

}  // namespace feldan
