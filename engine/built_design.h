// The filter as built: the schematic of a finished design (with InputOhm at both ends)
// measured as the Calculate command measures it, and the measuring the build aids share.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal_set.h"
#include "engine/design_run.h"

namespace feldan {

class CircuitAnalysis;
struct TwoPortPoint;

// The schematic of a finished design, measured as the Calculate command measures: the nominal
// response of the filter as built.
struct BuiltDesign {
    CalculationResult design;     // the calculation of the design (outcome Done)
    CalculationResult schematic;  // the schematic measured: measurements and curve
    ElementValues values;         // the design's elements: each position's crystal and trim
};

// Labels as a list shows the parts of one slot: "C1=C5".
std::string JoinedLabels(const std::vector<std::string>& labels);

// A design built, or why not: a warning of the calculation or of the schematic's measuring, or
// an error (a text that is no number, an arithmetic fault, a set of crystals that cannot be
// used).
struct DesignBuild {
    Outcome outcome = Outcome::Done;
    Message message;
    std::optional<BuiltDesign> built;  // with outcome Done
};

// Calculates the design and measures its schematic. Given crystals (in position order), the
// design is theirs (CalculateWithCrystals), with their trims when `trim` is set.
DesignBuild BuildDesign(const DesignFields& design, char separator,
                        std::span<const CrystalModel> crystals = {}, bool trim = false);
// The same for a design already made.
DesignBuild BuildDesign(const Designed& designed);

// Measures the schematic with values set by the builder (BuiltDesign::values with capacitors or
// trims changed), terminated by `inputOhm` and `outputOhm`, as the Calculate command measures:
// outcome, measurements and curve.
CalculationResult MeasureSchematic(const BuiltDesign& built, const ElementValues& values,
                                   double inputOhm, double outputOhm);

// Measures another circuit of the built design (the schematic with more parts, say) the same
// way: `build` fills the netlist, which is then prepared and measured.
struct Netlist;
CalculationResult MeasureNetlist(const BuiltDesign& built,
                                 const std::function<void(Netlist&)>& build);

// The ripple of a curve: its largest peak less its deepest valley between the outermost peaks,
// 0 with one peak.
double RippleOf(const std::vector<CurvePoint>& curve);
// The flatness of a curve: the largest minus the smallest attenuation over the middle half of
// its −3 dB band (a curve that does not fall 3 dB on both sides, as a calculation's, which ends at
// the level asked, spans its band). It sees the tilt of a pass band with a single peak, where
// the ripple sees nothing.
double FlatnessOf(const std::vector<CurvePoint>& curve);

// Measuring, shared by the rounding and the tolerance run.

// Builds the schematic's circuit from values, with each capacitor branch scaled by its own
// factor (the parts of one slot are separate parts), and prepares it.
void BuildSchematicCircuit(CircuitAnalysis& circuit, int circuitNumber, const ElementValues& values,
                           double inputOhm, double outputOhm,
                           const std::vector<double>* capFactors = nullptr);
// The output termination over the input's of a design: 1 for equal ends. A tool that moves the
// termination (a refit, a tuned Rвх) moves both ends by one factor, which keeps it.
double OutputOverInput(const Synthesis& synthesis);
// The capacitor parts of the schematic (each label a part).
int CapacitorPartsOf(int circuit);
// Measures a built circuit as the Calculate command does; false on a warning.
bool MeasureCircuit(CircuitAnalysis& circuit, const DesignInput& input, CalculationResult& out);
// The response in the chart's dB (the load level plus the chart's offset) at frequencies.
void LevelsAt(CircuitAnalysis& circuit, const std::vector<double>& omegas,
              std::vector<TwoPortPoint>& work, std::vector<double>& levels);
// The angular frequencies of a measured curve's points.
std::vector<double> OmegasOfCurve(const std::vector<CurvePoint>& curve, double foHz);
// The offsets from Fo in whole hertz of a measured curve's points (the searches step 1 Hz).
std::vector<long> OffsetsOfCurve(const std::vector<CurvePoint>& curve);

}  // namespace feldan
