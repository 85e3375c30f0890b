#include "engine/built_design.h"

#include "engine/filter_figures.h"

#include <cmath>
#include <memory>

#include "circuit/analysis.h"
#include "engine/synthesis.h"

namespace feldan {

// Builds the schematic's circuit from values, with each capacitor branch scaled by its own
// factor (the parts of one slot are separate parts), and prepares it.
double OutputOverInput(const Synthesis& synthesis) {
    return synthesis.InputOhm > 0 && synthesis.OutputOhm > 0
               ? synthesis.OutputOhm / synthesis.InputOhm
               : 1;
}

void BuildSchematicCircuit(CircuitAnalysis& circuit, int type, const ElementValues& values,
                           double inputOhm, double outputOhm,
                           const std::vector<double>* capFactors) {
    BranchRoles roles{};
    BuildSchematicNetlist(type, values, inputOhm, outputOhm, circuit.netlist, &roles);
    if (capFactors) {
        std::size_t k = 0;
        for (int b = 1; b <= circuit.netlist.BranchCount; ++b) {
            if (roles[b].element == Element::Cap)
                circuit.netlist.Branches[b].C *= (*capFactors)[k++];
        }
    }
    PrepareNetlist(circuit.netlist);
    circuit.DropAhead();
}

int CapacitorPartsOf(int type) {
    int parts = 0;
    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (IsCapacitorItem(item.kind)) ++parts;
    }
    return parts;
}

// Measures a built circuit as the Calculate command does; false on a warning.
bool MeasureCircuit(CircuitAnalysis& circuit, const DesignInput& input, CalculationResult& out) {
    out.input = input;
    out.measurements = {};
    out.curve.clear();
    out.steps = {};
    double atFo = 0;
    if (!AnalyseAt(circuit, input.FoKHz * 1000, 0, atFo)) {
        out.outcome = Outcome::Warning;
        out.message = Message{MessageId::NoSolution, ""};
        return false;
    }
    out.measurements.RespAtFoDb = atFo;
    out.measurements.AFoDb = atFo + LevelOffsetDb;
    const MessageId stop = MeasureBuiltCircuit(circuit, input.FoKHz * 1000, input.LevelDb, out);
    out.outcome = stop == MessageId::None ? Outcome::Done : Outcome::Warning;
    out.message = Message{stop, ""};
    return stop == MessageId::None;
}

// The response in the chart's dB (the load level plus the chart's offset) at frequencies.
void LevelsAt(CircuitAnalysis& circuit, const std::vector<double>& omegas,
              std::vector<TwoPortPoint>& work, std::vector<double>& levels) {
    work.resize(omegas.size());
    circuit.SweepTwoPort(omegas, work);
    levels.resize(omegas.size());
    for (std::size_t i = 0; i < omegas.size(); ++i) {
        levels[i] = work[i].ok ? DecibelsOf(work[i].s21) - S21OffsetDb + LevelOffsetDb : -400;
    }
}

std::vector<double> OmegasOfCurve(const std::vector<CurvePoint>& curve, double foHz) {
    std::vector<double> omegas;
    omegas.reserve(curve.size());
    for (const CurvePoint& p : curve)
        omegas.push_back(TwoPi * (foHz + p.x * 1000));
    return omegas;
}

// The offsets from Fo in whole hertz of a measured curve's points (the searches step 1 Hz).
std::vector<long> OffsetsOfCurve(const std::vector<CurvePoint>& curve) {
    std::vector<long> offsets;
    offsets.reserve(curve.size());
    for (const CurvePoint& p : curve)
        offsets.push_back(std::lround(p.x * 1000));
    return offsets;
}

DesignBuild BuildDesign(const DesignFields& fields, char separator,
                        std::span<const CrystalModel> crystals, bool trim) {
    return BuildDesign(RunDesign(fields, separator, crystals, trim));
}

DesignBuild BuildDesign(const Designed& designed) {
    DesignBuild result;
    const auto refuse = [&](const CalculationResult& c) {
        result.message = c.message;
        const MessageId id = c.message.id;
        const bool error = c.outcome == Outcome::Error || id == MessageId::CrystalSetValue ||
                           id == MessageId::CrystalTrimImpossible;
        result.outcome = error ? Outcome::Error : Outcome::Warning;
        return result;
    };
    BuiltDesign built;
    built.design = designed.calculation;
    if (built.design.outcome != Outcome::Done) return refuse(built.design);
    const DesignInput& input = built.design.input;
    built.values = ElementValuesOf(input, built.design.synthesis);
    if (designed.set) SetCrystalsOfSet(built.values, *designed.set, designed.crystals);
    built.schematic.input = input;
    built.schematic.synthesis = built.design.synthesis;
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildSchematicCircuit(*circuit, built.design.synthesis.Circuit, built.values,
                          built.design.synthesis.InputOhm, built.design.synthesis.OutputOhm);
    if (!MeasureCircuit(*circuit, input, built.schematic)) return refuse(built.schematic);
    result.built = std::move(built);
    return result;
}

CalculationResult MeasureNetlist(const BuiltDesign& built,
                                 const std::function<void(Netlist&)>& build) {
    CalculationResult result;
    result.input = built.design.input;
    result.synthesis = built.design.synthesis;
    auto circuit = std::make_unique<CircuitAnalysis>();
    build(circuit->netlist);
    PrepareNetlist(circuit->netlist);
    circuit->DropAhead();
    MeasureCircuit(*circuit, result.input, result);
    return result;
}

CalculationResult MeasureSchematic(const BuiltDesign& built, const ElementValues& values,
                                   double inputOhm, double outputOhm) {
    return MeasureNetlist(built, [&](Netlist& netlist) {
        BuildSchematicNetlist(built.design.synthesis.Circuit, values, inputOhm, outputOhm, netlist);
    });
}

double FlatnessOf(const std::vector<CurvePoint>& curve) {
    std::vector<double> hz, db;
    hz.reserve(curve.size());
    db.reserve(curve.size());
    for (const CurvePoint& point : curve) {
        hz.push_back(point.x * 1000);
        db.push_back(point.y);
    }
    if (hz.size() < 2) return 0;
    // A calculation's curve spans its band from edge to edge at the level asked; a longer curve
    // gives its −3 dB points.
    const BandEdges edges =
        OutermostCrossings(hz, db, 3).value_or(BandEdges{hz.front(), hz.back()});
    return FlatnessWithin(hz, db, edges).value_or(0);
}

double RippleOf(const std::vector<CurvePoint>& curve) {
    std::vector<std::size_t> peaks;
    for (std::size_t i = 1; i + 1 < curve.size(); ++i) {
        if (curve[i].y > curve[i - 1].y && curve[i].y >= curve[i + 1].y) peaks.push_back(i);
    }
    if (peaks.size() < 2) return 0;
    double highest = -1e300, lowest = 1e300;
    for (std::size_t i = peaks.front(); i <= peaks.back(); ++i) {
        lowest = std::min(lowest, curve[i].y);
    }
    for (std::size_t i : peaks)
        highest = std::max(highest, curve[i].y);
    return highest - lowest;
}

std::string JoinedLabels(const std::vector<std::string>& labels) {
    std::string joined;
    for (const std::string& label : labels)
        joined += (joined.empty() ? "" : "=") + label;
    return joined;
}

}  // namespace feldan
