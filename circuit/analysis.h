// The circuit side of a design: one netlist, one solver and its output measure, built once per
// design run and analysed at many frequencies.
#pragma once

#include <array>
#include <span>

#include "circuit/netlist.h"
#include "circuit/solver.h"
#include "circuit/topologies.h"
#include "circuit/two_port.h"

namespace feldan {

struct AnalysisPoint {
    // False when the solve failed or the load voltage is exactly 0; ResponseDb is then
    // meaningless and must not be used.
    bool SolveOk = false;
    double ResponseDb = 0;
};

// Points that one look-ahead solves side by side.
inline constexpr int AheadPoints = SolveLanes;

class CircuitAnalysis {
  public:
    // BuildNetlist, then PrepareNetlist. Drops the points kept ahead.
    void Build(int circuit, const ElementValues& values);
    // The same with the schematic's circuit (BuildSchematicNetlist).
    void BuildSchematic(int circuit, const ElementValues& values, double inputOhm);
    // One analysis point: SolveNodal at omegaRad and, when it succeeded, the level of the load as
    // MeasureOutput gives it, raised by 10·log10(Rs/RL) where the two terminations differ. Answered
    // from the points kept ahead when omegaRad is the next of them; the result is the same either
    // way, bit for bit. Does not fill `measure`.
    AnalysisPoint Analyse(double omegaRad);

    // Look-ahead for a search that steps the frequency by stepHz: unless the next point kept is
    // the one at freqHz already, the frequencies freqHz, freqHz + stepHz, ... (each the one
    // before plus stepHz, as the search computes them) are solved side by side at radPerHz times
    // the frequency, and kept for Analyse to use in order.
    void AnalyseAhead(double freqHz, double stepHz, double radPerHz);
    // Forgets the points kept ahead. Needed only after changing `netlist` other than by Build.
    void DropAhead() { aheadNext_ = aheadCount_ = 0; }

    // The filter as a two-port at omegaRad, between the netlist's source and load resistances
    // (both pure conductances, the source referred to node 0). Not ok when the netlist has no
    // such ports or the solve fails. S21 comes from the same load voltage as Analyse's level.
    TwoPortPoint AnalyseTwoPort(double omegaRad);
    // AnalyseTwoPort at every omega, out[i] for omegas[i], eight frequencies side by side; each
    // point is what AnalyseTwoPort gives, bit for bit. Allocates nothing. Throws
    // std::length_error when out is shorter than omegas.
    void SweepTwoPort(std::span<const double> omegas, std::span<TwoPortPoint> out);

    Netlist netlist;
    NodalSolver solver;
    OutputMeasure measure;  // filled by MeasureOutput only

  private:
    AnalysisPoint AnalyseNow(double omegaRad);

    std::array<double, AheadPoints> aheadOmega_{};
    std::array<AnalysisPoint, AheadPoints> aheadPoint_{};
    std::array<bool, AheadPoints> aheadSolved_{};  // false: solve on its own when asked
    int aheadNext_ = 0;
    int aheadCount_ = 0;
};

}  // namespace feldan
