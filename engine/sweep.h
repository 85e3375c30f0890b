// A sweep of the designed filter over any span: S-parameters, phase, group delay and input
// impedance at every frequency, of the analysed circuit or of the schematic as the user builds it.
#pragma once

#include <complex>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "circuit/analysis.h"
#include "engine/calculate.h"
#include "engine/crystal_set.h"
#include "engine/design_run.h"

namespace feldan {

// The circuit a sweep or an export takes.
enum class CircuitChoice {
    Analysed,   // the circuit of the pass-band curve, with its terminations
    Schematic,  // the schematic as built: its capacitors and InputOhm at both ends
};

inline constexpr int DefaultSweepPoints = 1001;
inline constexpr int MaxSweepPoints = 100001;

struct SweepRequest {
    // Detuning from Fo, in Hz; unset: 3·dF either side of the middle of the band where Расчет
    // found it (BandOf), or of Fo where it found none.
    std::optional<double> fromDetuningHz;
    std::optional<double> toDetuningHz;
    int points = DefaultSweepPoints;
    CircuitChoice circuit = CircuitChoice::Analysed;
    // The S-parameters referred to this resistance at both ports; unset: the circuit's own
    // terminations.
    std::optional<double> referenceOhm;
};

struct SweepPoint {
    double hz = 0;
    bool ok = false;  // false where the circuit has no solution; the values are then 0
    std::complex<double> s11, s21, s12, s22;
    std::complex<double> zin;  // Ohm, into port 1 with port 2 loaded by the circuit's own load
    double groupDelaySec = 0;  // −dφ/dω of S21
};

// A designed circuit, ready to be swept or exported: the synthesis and the built netlist.
struct DesignedFilter {
    CalculationResult design;  // outcome Done, or the warning or error of the design run
    CircuitChoice circuit = CircuitChoice::Analysed;
    ElementValues values;
    double portOhm = 0;        // the source resistance of the chosen circuit
    double outputPortOhm = 0;  // its load: portOhm too, but where the two ends differ
    std::unique_ptr<CircuitAnalysis> analysis;
    BranchRoles roles{};
    // The set of crystals the filter was designed from; its message is None when there is none.
    CrystalSetDesign crystalSet;
    // The warning that stopped the searches of a classic design after its design run: the
    // circuit stands, but its band is not known (BandOf(design) is unset).
    Message bandStop;
};

// Designs (RunDesign) and builds the chosen circuit. On a warning of the design run or an
// error the result's design says which, and nothing is built; a warning of the searches after it
// is kept in bandStop. Given a set of crystals (in position order), the design is the set's and
// each position gets its own crystal, with its trim when `trim` is set.
DesignedFilter DesignFilter(const DesignFields& design, char separator, CircuitChoice circuit,
                            std::span<const CrystalModel> crystals = {}, bool trim = false);

// The chosen circuit of a design already made: built where its calculation is done, or is
// classic and only its searches stopped (kept in bandStop); else `design` says why not.
DesignedFilter FilterOf(const Designed& designed, CircuitChoice circuit);
DesignedFilter FilterOf(CalculationResult calculation, CircuitChoice circuit,
                        CrystalSetDesign set = {}, std::span<const CrystalModel> crystals = {});

// Builds the filter's circuit again from its values and ports, after they were changed (to the
// values of a build in force, say).
void BuildCircuitOf(DesignedFilter& filter);

struct SweepResult {
    double fromHz = 0;
    double toHz = 0;
    double referenceOhm = 0;        // what the S-parameters are referred to at port 1
    double outputReferenceOhm = 0;  // and at port 2: referenceOhm but where the ends differ
    std::vector<SweepPoint> points;
};

// The span of a request over a designed filter, in Hz.
struct Span {
    double fromHz = 0;
    double toHz = 0;
};
Span SpanOf(const DesignedFilter& filter, const SweepRequest& request);

// The linear sweep of a request over a built filter. Frequencies run from Fo + from to Fo + to;
// the caller has checked the request (points 2..MaxSweepPoints, from below to, the span above
// 0 Hz).
SweepResult SweepFilter(DesignedFilter& filter, const SweepRequest& request);

// The S-parameters of a two-port whose ports are referred to r1 and r2, referred to r at both.
void RenormaliseSParameters(std::complex<double>& s11, std::complex<double>& s21,
                            std::complex<double>& s12, std::complex<double>& s22, double r1,
                            double r2, double r);

// S21 in dB and its phase in degrees in (−180, 180].
double DecibelsOfS(std::complex<double> s);
double DegreesOf(std::complex<double> s);

}  // namespace feldan
