#include "engine/calculate.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "circuit/analysis.h"
#include "circuit/generated_ladders.h"
#include "circuit/topologies.h"
#include "engine/cohn.h"
#include "engine/errors.h"
#include "engine/exact_design.h"
#include "engine/ladder_design.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/result_text.h"
#include "engine/synthesis.h"

namespace feldan {

bool MeasuresFromHighest(const DesignInput& input) {
    return input.Exact || !IsClassicDesign(input.filterType, input.responseType);
}

MessageId MeasureBuiltCircuit(CircuitAnalysis& circuit, double foHz, double levelBelowPeakDb,
                              CalculationResult& result) {
    Measurements& m = result.measurements;
    StepCounts& steps = result.steps;
    // Peak search: upward from Fo to the first maximum.
    double freqHz = foHz;
    double responseDb = m.RespAtFoDb;
    double peakDb = responseDb;
    m.PeakHz = freqHz;
    m.AminDb = -LevelOffsetDb - peakDb;
    do {
        ++steps.PeakSteps;
        freqHz = freqHz + 1;
        if (!AnalyseAt(circuit, freqHz, 1, responseDb)) return MessageId::NoSolution;
        if (steps.PeakSteps > MaxSearchSteps) return MessageId::BandLimit;
        if (responseDb > peakDb) {
            peakDb = responseDb;
            m.PeakHz = freqHz;
            m.AminDb = -LevelOffsetDb - responseDb;
        }
    } while (responseDb >= peakDb);

    // Lower band edge: upward when Fo lies below the band, else downward.
    double levelDb = peakDb + levelBelowPeakDb;
    freqHz = foHz;
    m.LowerEdgeInside = levelDb >= m.RespAtFoDb;
    if (m.LowerEdgeInside) {
        do {
            ++steps.EdgeSteps;
            freqHz = freqHz + 1;
            if (!AnalyseAt(circuit, freqHz, 1, responseDb)) return MessageId::NoSolution;
            if (steps.EdgeSteps > MaxSearchSteps) return MessageId::BandLimit;
            m.LowerEdgeHz = freqHz;
        } while (responseDb <= levelDb);
    } else {
        do {
            ++steps.EdgeSteps;
            freqHz = freqHz - 1;
            if (!AnalyseAt(circuit, freqHz, -1, responseDb)) return MessageId::NoSolution;
            if (steps.EdgeSteps > MaxSearchSteps) return MessageId::BandLimit;
            m.LowerEdgeHz = freqHz;
        } while (responseDb >= levelDb);
    }

    // Plot sweep across the band, up to the first frequency below the level above it; it notes
    // the highest point it passes.
    double highestDb = peakDb, highestHz = m.PeakHz;
    const auto sweepBand = [&]() {
        result.sweepStarted = true;
        freqHz = m.LowerEdgeHz;
        do {
            ++steps.SweepSteps;
            freqHz = freqHz + 1;
            if (!AnalyseAt(circuit, freqHz, 1, responseDb)) return MessageId::NoSolution;
            // A response that never falls below the level above the band would sweep forever.
            if (steps.SweepSteps > MaxSearchSteps) return MessageId::BandLimit;
            result.curve.push_back({(freqHz - foHz) / 1000, responseDb + LevelOffsetDb});
            m.UpperEdgeHz = freqHz;
            if (responseDb > highestDb) {
                highestDb = responseDb;
                highestHz = freqHz;
            }
        } while (responseDb >= levelDb);
        return MessageId::None;
    };
    if (const MessageId stop = sweepBand(); stop != MessageId::None) return stop;

    // The first maximum above Fo need not be the highest (a tilted or rippled top): where the
    // design measures from the highest point, its band is the outermost crossings of the level
    // under it. That level is higher, so they lie inside the band just swept, ripple dips and
    // all, and the curve is cut to them.
    if (MeasuresFromHighest(result.input) && highestDb > peakDb) {
        m.PeakHz = highestHz;
        m.AminDb = -LevelOffsetDb - highestDb;
        levelDb = highestDb + levelBelowPeakDb;
        const double shownLevel = levelDb + LevelOffsetDb;
        std::vector<CurvePoint>& curve = result.curve;
        std::size_t first = 0;
        while (first < curve.size() && curve[first].y < shownLevel)
            ++first;
        std::size_t last = curve.size() - 1;
        while (last > first && curve[last].y < shownLevel)
            --last;
        const double sweptFromHz = m.LowerEdgeHz + 1;
        m.UpperEdgeHz = sweptFromHz + double(last) + 1;
        curve.erase(curve.begin() + std::ptrdiff_t(std::min(last + 2, curve.size())), curve.end());
        curve.erase(curve.begin(), curve.begin() + std::ptrdiff_t(first));
        m.LowerEdgeHz = sweptFromHz + double(first) - 1;
        m.LowerEdgeInside = false;
        // A lower edge found from below lies inside the band; it may lie above the new level
        // too, and the band then reaches further down.
        freqHz = m.LowerEdgeHz + 1;
        while (first == 0) {
            ++steps.EdgeSteps;
            freqHz = freqHz - 1;
            if (!AnalyseAt(circuit, freqHz, -1, responseDb)) return MessageId::NoSolution;
            if (steps.EdgeSteps > 2 * MaxSearchSteps) return MessageId::BandLimit;
            if (responseDb < levelDb) break;
            curve.insert(curve.begin(), {(freqHz - foHz) / 1000, responseDb + LevelOffsetDb});
        }
        if (first == 0) m.LowerEdgeHz = freqHz;
    }

    m.MeasuredDfHz = m.UpperEdgeHz - m.LowerEdgeHz;
    return MessageId::None;
}

std::optional<PassBand> BandOf(const CalculationResult& result) {
    const Measurements& m = result.measurements;
    if (result.outcome != Outcome::Done || !(m.UpperEdgeHz > m.LowerEdgeHz) ||
        !(m.LowerEdgeHz > 0)) {
        return std::nullopt;
    }
    return PassBand{m.LowerEdgeHz, m.UpperEdgeHz, m.PeakHz};
}

namespace {

// The searches and the sweep after the design run. Returns MessageId::None when the command ran
// to the end, else the warning that stopped it.
MessageId Measure(const DesignFields& design, CircuitAnalysis& circuit, CalculationResult& result,
                  char separator, Language language,
                  const std::function<void(ElementValues&)>& revalue) {
    if (const MessageId warning = RunDesign(design, circuit, result, separator);
        warning != MessageId::None) {
        return warning;
    }
    result.designed = true;
    if (revalue) {
        ElementValues values = ElementValuesOf(result.input, result.synthesis);
        revalue(values);
        circuit.Build(result.synthesis.Circuit, values);
        double atFoDb = 0;
        if (!AnalyseAt(circuit, result.input.FoKHz * 1000, 0, atFoDb)) return MessageId::NoSolution;
        result.measurements.RespAtFoDb = atFoDb;
        result.measurements.AFoDb = atFoDb + LevelOffsetDb;
    }

    const InputTexts& texts = design.texts;
    DesignInput& input = result.input;

    if (texts.Level.empty()) return MessageId::MissingLevel;
    input.LevelDb = FieldNumber(texts.Level, separator, Field::Level);
    if (input.LevelDb >= 0) return MessageId::BadLevel;

    const MessageId stop = MeasureBuiltCircuit(circuit, input.FoKHz * 1000, input.LevelDb, result);
    if (stop != MessageId::None) return stop;
    result.resultText = ComposeResultText(result, separator, language);
    result.caution = CautionOf(result, separator);
    return MessageId::None;
}

}  // namespace

CalculationResult Calculate(const DesignFields& design, char separator, Language language) {
    return CalculateRevalued(design, separator, language, {});
}

bool IsEqualCapacitorDesign(int filterType, int responseType) {
    return IsQer(filterType) ||
           (responseType == static_cast<int>(ResponseType::Cohn) &&
            LadderOfFilterType(filterType).structure == LadderStructure::Plain);
}

namespace {

// A design around the coupling capacitor the builder has. Every coupling is s·G for a factor G
// of the ladder alone and a scale s = Cm·Fo/dF, so a design of any band tells the band the
// capacitor makes; the exact way's parts follow the band only nearly so, and the band is then
// corrected the same way until the capacitor is the one given.
CalculationResult CalculateAroundCapacitor(const DesignFields& design, char separator,
                                           Language language,
                                           const std::function<void(ElementValues&)>& revalue,
                                           const std::optional<Resonator>& designCrystal) {
    DesignFields around = design;
    around.capacitor.clear();
    double wantedPF = 0;
    try {
        wantedPF = FieldTextToFloat(design.capacitor, separator);
    } catch (const CommandError&) {
        wantedPF = 0;
    }
    if (!(wantedPF > 0 && wantedPF <= LargestCapacitorPF)) {
        CalculationResult refused;
        Refuse(refused, {MessageId::BadCapacitor, design.capacitor});
        return refused;
    }
    double dfHz = 0;
    try {
        dfHz = FieldTextToFloat(design.texts.Df, separator);
    } catch (const CommandError&) {
        dfHz = 0;
    }
    if (!(dfHz > 0)) dfHz = 2400;
    constexpr int MostDesigns = 8;
    constexpr double Agreement = 1e-7;
    CalculationResult result;
    for (int k = 0; k < MostDesigns; ++k) {
        around.texts.Df = FormatGeneral(dfHz, 15, separator);
        result = CalculateRevalued(around, separator, language, revalue, designCrystal);
        const double madePF = result.synthesis.CapPF[FirstCouplingSlot];
        if (!result.designed || !(madePF > 0)) return result;
        if (std::fabs(madePF / wantedPF - 1) < Agreement) break;
        dfHz *= madePF / wantedPF;
    }
    return result;
}

}  // namespace

CalculationResult CalculateRevalued(const DesignFields& design, char separator, Language language,
                                    const std::function<void(ElementValues&)>& revalue,
                                    const std::optional<Resonator>& designCrystal) {
    if (!design.capacitor.empty() && IsEqualCapacitorDesign(design.filterType, design.responseType))
        return CalculateAroundCapacitor(design, separator, language, revalue, designCrystal);
    if (design.exact) {
        CalculationResult exact =
            CalculateExact(design, separator, language, revalue, designCrystal);
        exact.designed = exact.outcome == Outcome::Done;
        return exact;
    }
    CalculationResult result;
    // The sweep stops after MaxSearchSteps analysed steps, so this never grows during it.
    result.curve.reserve(MaxSearchSteps + 1);
    // The solver's fixed working storage is too large for the stack.
    const auto circuit = std::make_unique<CircuitAnalysis>();
    try {
        if (const MessageId warning =
                Measure(design, *circuit, result, separator, language, revalue);
            warning != MessageId::None) {
            result.outcome = Outcome::Warning;
            // The value, where a warning has one, was set with it.
            result.message = WithBrokenRule({warning, result.message.value}, result.input);
        }
    } catch (const CommandError& error) {
        Refuse(result, error.message());
    }
    return result;
}

void Refuse(CalculationResult& result, const Message& message) {
    result.outcome = Outcome::Error;
    result.message = message;
    result.sweepStarted = false;
    result.curve.clear();
}

Message CautionOf(const CalculationResult& result, char separator,
                  std::span<const double> trimsPF) {
    const DesignInput& input = result.input;
    const Synthesis& synthesis = result.synthesis;
    if (result.outcome != Outcome::Done || synthesis.Circuit == 0) return {};
    const Measurements& m = result.measurements;
    if (input.responseType == static_cast<int>(ResponseType::Cohn)) {
        const double ripple = CohnRowOf(CrystalCountOf(input.filterType)).rippleDb;
        if (ripple > CohnFlatRippleDb)
            return {MessageId::CautionCohnRipple, FormatGeneral(ripple, 2, separator)};
    }
    if (std::fabs(m.MeasuredDfHz - input.DfHz) > CautionWidthShare * input.DfHz)
        return {MessageId::CautionWidth, FormatGeneral(m.MeasuredDfHz, 10, separator)};
    const auto outside = [](double value, double low, double high) {
        return !(value >= low && value <= high);
    };
    for (const SchematicItem& part : DescriptorOf(synthesis.Circuit).schematic) {
        if (!IsCapacitorItem(part.kind)) continue;
        const double pf = synthesis.CapPF[static_cast<std::size_t>(part.index)];
        if (outside(pf, SmallestCapacitorPF, LargestCapacitorPF)) {
            return {MessageId::CautionCapacitor,
                    std::string(part.label) + "=" + FormatGeneral(pf, 4, separator)};
        }
    }
    for (double ohm : {synthesis.InputOhm, synthesis.OutputOhm}) {
        if (outside(ohm, SmallestTerminationOhm, LargestTerminationOhm))
            return {MessageId::CautionTermination, FormatGeneral(ohm, 4, separator)};
    }
    for (std::size_t k = 0; k < trimsPF.size(); ++k) {
        if (trimsPF[k] > LargestTrimPF) {
            return {MessageId::CautionTrim,
                    "ZQ" + std::to_string(k + 1) + "=" + FormatGeneral(trimsPF[k], 4, separator)};
        }
    }
    return {};
}

std::string OverlaySummary(const CalculationResult& result, const std::string& dfText,
                           char separator, Language language) {
    const char* picofarad = language == Language::English ? " pF" : " пФ";
    const std::string ck = result.input.CkPF != 0
                               ? "Ck=" + FormatGeneral(result.input.CkPF, 4, separator) + picofarad
                               : "";
    const char* exact = !result.exact.exact             ? ""
                        : language == Language::English ? " exact"
                                                        : " точно";
    return result.synthesis.PrototypeName + dfText + exact + "; " + ck;
}

std::string OverlayStatusText(int position, const CalculationResult& result,
                              const std::string& dfText, char separator, Language language) {
    const char* curve = language == Language::English ? "Curve " : "АЧХ";
    return curve + std::to_string(position + 1) + ": " +
           OverlaySummary(result, dfText, separator, language);
}

}  // namespace feldan
