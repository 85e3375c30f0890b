#include "circuit/analysis.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

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

// Where the two ports of a netlist are, as equations, and what drives and terminates them.
struct Ports {
    bool ok = false;
    int input = 0;     // port 1: the end of the source resistance that is not driven
    int loadFrom = 0;  // port 2: From minus To of the load branch
    int loadTo = 0;
    std::complex<double> sourceEmf;
    double sourceG = 0;
    double loadG = 0;
};

bool PureConductance(const Branch& branch) {
    return branch.G > 0 && std::isfinite(branch.G) && branch.C == 0 && !(branch.L > 0);
}

Ports PortsOf(const Netlist& netlist) {
    Ports ports;
    const int sb = netlist.SourceBranch;
    const int lb = netlist.LoadBranch;
    if (sb < 1 || sb > netlist.BranchCount || lb < 1 || lb > netlist.BranchCount) return ports;
    const Branch& source = netlist.Branches[sb];
    const Branch& load = netlist.Branches[lb];
    if (!PureConductance(source) || !PureConductance(load)) return ports;
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        const Source& driver = netlist.Sources[s];
        if (driver.RefNode != 0) continue;
        int input = -1;
        if (driver.DrivenNode == source.From) input = source.To;
        if (driver.DrivenNode == source.To) input = source.From;
        if (input < 0) continue;
        ports.input = PlainEquationOf(netlist, input);
        ports.sourceEmf = {driver.Emf.re, driver.Emf.im};
    }
    ports.loadFrom = PlainEquationOf(netlist, load.From);
    ports.loadTo = PlainEquationOf(netlist, load.To);
    ports.sourceG = source.G;
    ports.loadG = load.G;
    ports.ok = ports.input > 0 && ports.loadFrom >= 0 && ports.loadTo >= 0 &&
               ports.sourceEmf != std::complex<double>{};
    return ports;
}

std::complex<double> Cx(Complex v) {
    return {v.re, v.im};
}

bool Finite(std::complex<double> x) {
    return std::isfinite(x.real()) && std::isfinite(x.imag());
}

// a/b written out: std::complex division guards against overflow and infinities at several
// times the cost, and a value that is not finite fails the point anyway.
std::complex<double> Quotient(std::complex<double> a, std::complex<double> b) {
    const double d = b.real() * b.real() + b.imag() * b.imag();
    return {(a.real() * b.real() + a.imag() * b.imag()) / d,
            (a.imag() * b.real() - a.real() * b.imag()) / d};
}

// The two-port quantities from the voltages of the solve: port 1's, the load's and its derivative
// with the netlist's own source, and both ports' with the mirrored excitation (1 V).
TwoPortPoint TwoPortOf(const Ports& p, std::complex<double> v1, std::complex<double> load,
                       std::complex<double> loadSlope, std::complex<double> mirrored1,
                       std::complex<double> mirrored2) {
    TwoPortPoint point;
    const std::complex<double> vs = p.sourceEmf;
    const double rootLoadOverSource = std::sqrt(p.loadG / p.sourceG);  // sqrt(Rs/RL)
    point.s21 = Quotient(2.0 * load, vs) * rootLoadOverSource;
    point.s11 = Quotient(2.0 * v1, vs) - 1.0;
    point.s12 = 2.0 * mirrored1 / rootLoadOverSource;
    point.s22 = 2.0 * mirrored2 - 1.0;
    point.zin = Quotient(v1, (vs - v1) * p.sourceG);
    point.groupDelaySec = -Quotient(loadSlope, load).imag();
    point.ok = std::isfinite(point.groupDelaySec) && Finite(point.zin) && Finite(point.s21) &&
               Finite(point.s12) && Finite(point.s11) && Finite(point.s22);
    return point.ok ? point : TwoPortPoint{};
}

template <typename Own, typename Mirrored>
TwoPortPoint TwoPortOfSolution(const Ports& p, Own own, Mirrored mirrored, Complex loadSlope) {
    return TwoPortOf(p, Cx(own(p.input)), Cx(own(p.loadFrom)) - Cx(own(p.loadTo)), Cx(loadSlope),
                     Cx(mirrored(p.input)), Cx(mirrored(p.loadFrom)) - Cx(mirrored(p.loadTo)));
}

}  // namespace

void CircuitAnalysis::Build(int circuit, const ElementValues& values) {
    DropAhead();
    BuildNetlist(circuit, values, netlist);
    PrepareNetlist(netlist);
}

void CircuitAnalysis::BuildSchematic(int circuit, const ElementValues& values, double inputOhm) {
    DropAhead();
    BuildSchematicNetlist(circuit, values, inputOhm, netlist);
    PrepareNetlist(netlist);
}

AnalysisPoint CircuitAnalysis::Analyse(double omegaRad) {
    AnalysisPoint point;
    if (aheadNext_ < aheadCount_ && aheadOmega_[aheadNext_] == omegaRad) {
        const int i = aheadNext_++;
        point = aheadSolved_[i] ? aheadPoint_[i] : AnalyseNow(omegaRad);
    } else {
        DropAhead();
        point = AnalyseNow(omegaRad);
    }
    // Between different terminations the level is the power's: the load voltage alone would
    // show a transformer's voltage gain as a gain of the filter. Equal ends add nothing, so the
    // classic designs keep their bits.
    if (netlist.EndsLevelDb != 0) point.ResponseDb += netlist.EndsLevelDb;
    return point;
}

AnalysisPoint CircuitAnalysis::AnalyseNow(double omegaRad) {
    if (!solver.SolveNodal(netlist, omegaRad)) return {};
    if (netlist.LoadBranch < 1 || netlist.BranchCount < netlist.LoadBranch) return {};
    const Branch& load = netlist.Branches[netlist.LoadBranch];
    const int fromEquation = PlainEquationOf(netlist, load.From);
    const int toEquation = PlainEquationOf(netlist, load.To);
    if (fromEquation < 0 || toEquation < 0) {
        const OutputLevel level = MeasureOutput(netlist, solver, measure);
        return {level.ok, level.ResponseDb};
    }
    return LevelBetween(solver.EquationVoltage(fromEquation), solver.EquationVoltage(toEquation));
}

TwoPortPoint CircuitAnalysis::AnalyseTwoPort(double omegaRad) {
    const Ports ports = PortsOf(netlist);
    if (!ports.ok || !solver.SolveTwoPort(netlist, omegaRad)) return {};
    const NodalSolver& s = solver;
    return TwoPortOfSolution(
        ports, [&](int k) { return s.EquationVoltage(k); },
        [&](int k) { return s.MirroredVoltage(k); }, s.LoadVoltageSlope());
}

void CircuitAnalysis::SweepTwoPort(std::span<const double> omegas, std::span<TwoPortPoint> out) {
    if (out.size() < omegas.size()) {
        throw std::length_error("two-port sweep: fewer places for points than frequencies");
    }
    const Ports ports = PortsOf(netlist);
    const std::size_t count = omegas.size();
    for (std::size_t first = 0; first < count; first += SolveLanes) {
        // A last group of fewer than eight repeats its last frequency in the lanes left over.
        std::array<double, SolveLanes> group;
        for (std::size_t l = 0; l < SolveLanes; ++l)
            group[l] = omegas[std::min(first + l, count - 1)];
        std::array<bool, SolveLanes> clean{};
        if (ports.ok) clean = solver.SolveTwoPortLanes(netlist, group);
        for (int l = 0; l < SolveLanes && first + l < count; ++l) {
            TwoPortPoint& point = out[first + l];
            if (!ports.ok) {
                point = {};
            } else if (clean[l]) {
                const NodalSolver& s = solver;
                point = TwoPortOfSolution(
                    ports, [&](int k) { return s.LaneVoltage(l, k); },
                    [&](int k) { return s.LaneMirroredVoltage(l, k); }, s.LaneLoadVoltageSlope(l));
            } else {
                point = AnalyseTwoPort(group[l]);
            }
        }
    }
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
    const Branch& load = netlist.Branches[netlist.LoadBranch];
    const bool hasLoad = netlist.LoadBranch >= 1 && netlist.BranchCount >= netlist.LoadBranch;
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
