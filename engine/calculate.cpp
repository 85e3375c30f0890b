#include "engine/calculate.h"

#include <memory>
#include <string>

#include "circuit/analysis.h"
#include "engine/errors.h"
#include "engine/exact_design.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/result_text.h"
#include "engine/synthesis.h"

namespace feldan {

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
    const double levelDb = peakDb + levelBelowPeakDb;
    freqHz = foHz;
    if (levelDb >= m.RespAtFoDb) {
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

    // Plot sweep across the band, up to the first frequency below the level above it.
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
    } while (responseDb >= levelDb);

    m.MeasuredDfHz = m.UpperEdgeHz - m.LowerEdgeHz;
    return MessageId::None;
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
    return MessageId::None;
}

}  // namespace

CalculationResult Calculate(const DesignFields& design, char separator, Language language) {
    return CalculateRevalued(design, separator, language, {});
}

CalculationResult CalculateRevalued(const DesignFields& design, char separator, Language language,
                                    const std::function<void(ElementValues&)>& revalue,
                                    const std::optional<Resonator>& designCrystal) {
    if (design.exact) return CalculateExact(design, separator, language, revalue, designCrystal);
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
        result.outcome = Outcome::Error;
        result.message = error.message();
        result.sweepStarted = false;
        result.curve.clear();
    }
    return result;
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
