#include "engine/synthesis.h"

#include <cmath>

#include "engine/errors.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/prototype.h"

namespace feldan {
namespace {

// A double whose every operation is checked, so a division by zero, an invalid operation or an
// overflow stops the synthesis with its own message before an infinity or a NaN is stored.
// With finite operands a NaN can only come from 0/0 or the root of a negative number, which are
// caught where they arise; anything infinite is an overflow.
class Checked {
  public:
    Checked(double value) : value_(Finite(value)) {}  // NOLINT: implicit by design
    double Value() const { return value_; }

    friend Checked operator+(Checked a, Checked b) { return a.value_ + b.value_; }
    friend Checked operator-(Checked a, Checked b) { return a.value_ - b.value_; }
    friend Checked operator*(Checked a, Checked b) { return a.value_ * b.value_; }
    friend Checked operator/(Checked a, Checked b) {
        if (b.value_ == 0)
            throw ArithmeticError(Message{
                a.value_ == 0 ? MessageId::InvalidOperation : MessageId::DivisionByZero, ""});
        return a.value_ / b.value_;
    }
    friend Checked Sqrt(Checked a) {
        if (a.value_ < 0) throw ArithmeticError(Message{MessageId::InvalidOperation, ""});
        return std::sqrt(a.value_);
    }

  private:
    static double Finite(double value) {
        if (std::isnan(value)) throw ArithmeticError(Message{MessageId::InvalidOperation, ""});
        if (std::isinf(value)) throw ArithmeticError(Message{MessageId::Overflow, ""});
        return value;
    }
    double value_;
};

// Capacitance of a and b in series.
Checked Ser(Checked a, Checked b) {
    return a * b / (a + b);
}

// The slots and InputOhm of each topology. S is the capacitance scale, ck the correction
// capacitance, g1..g4 the prototype. The end values always use the prototype pair (g2, g3) with
// g3 = g1 for three resonators and g3 = g2 for four.
void ComputeLadder3(Synthesis& d, Checked s, Checked g1, Checked g2, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[13] = (c[1] / (1 + Sqrt(g1 * g2) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g1 * g2))).Value();
}

void ComputeLadder4(Synthesis& d, Checked s, Checked g1, Checked g2, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * g2).Value();
    c[13] = (c[2] / (1 + g2 / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g2))).Value();
}

void ComputeLadder6(Synthesis& d, Checked s, Checked g1, Checked g2, Checked g3, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * Sqrt(g2 * g3)).Value();
    c[3] = (s * g3).Value();
    c[4] = (1 / (1 / Checked(c[1]) - 1 / Checked(c[3]))).Value();
    const Checked c3 = c[3];
    const Checked c4 = c[4];
    c[5] = (c3 * c4 / (c3 + 2 * c4)).Value();
    c[6] = (c4 * c4 / (c3 + 2 * c4)).Value();
    c[13] = (c[2] / (1 + Sqrt(g2 * g3) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g3))).Value();
}

void ComputeLadder8(Synthesis& d, Checked s, Checked g1, Checked g2, Checked g3, Checked g4,
                    Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * Sqrt(g2 * g3)).Value();
    c[3] = (s * Sqrt(g3 * g4)).Value();
    c[4] = (s * g4).Value();
    const Checked c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4];
    c[5] = (1 / (1 / c1 + 1 / c2 - 1 / c3 - 1 / c4)).Value();
    c[6] = (1 / (1 / c1 - 1 / c3)).Value();
    const Checked c5 = c[5], c6 = c[6];
    // The star C[6], C[3], C[5] turned into the π network of the picture.
    c[17] = (c3 * c6 / (c3 + c5 + c6)).Value();
    c[15] = (c5 * c6 / (c3 + c5 + c6)).Value();
    c[18] = (c3 * c5 / (c3 + c5 + c6)).Value();
    c[13] = (c2 / (1 + Sqrt(g2 * g3) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g3))).Value();
}

void ComputeCw4(Synthesis& d, Checked s, Checked ck, Checked g1, Checked g2, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * g2).Value();
    const Checked c2 = c[2];
    c[21] = Ser(c2, ck).Value();
    // The star Ck, Ck, C[2] as its π equivalent.
    c[22] = (ck * ck / (ck + ck + c2)).Value();
    c[23] = (ck * c2 / (ck + ck + c2)).Value();
    c[13] = (c[21] / (1 + g2 / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g2))).Value();
}

void ComputeCw6(Synthesis& d, Checked s, Checked ck, Checked g1, Checked g2, Checked g3,
                Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * Sqrt(g2 * g3)).Value();
    c[3] = (s * g3).Value();
    c[4] = (1 / (1 / Checked(c[1]) - 1 / Checked(c[3]))).Value();
    const Checked c2 = c[2];
    c[24] = Ser(c2, ck).Value();
    c[28] = Ser(c[4], ck).Value();
    const Checked c28 = c[28];
    c[25] = (c28 * ck / (c28 + ck + c2)).Value();
    c[26] = (c28 * c2 / (c28 + ck + c2)).Value();
    c[27] = (ck * c2 / (c28 + ck + c2)).Value();
    c[13] = (c[24] / (1 + Sqrt(g2 * g3) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g3))).Value();
}

void ComputeCw8(Synthesis& d, Checked s, Checked ck, Checked g1, Checked g2, Checked g3, Checked g4,
                Checked term) {
    auto& c = d.CapPF;
    const Checked a = s * Sqrt(g2 * g3);
    c[1] = Ser(a, ck).Value();
    c[17] = c[1];
    c[2] = (s * Sqrt(g1 * g2)).Value();
    c[16] = c[2];
    c[10] = (s * Sqrt(g1 * g2 * g3 * g4) / (Sqrt(g3 * g4) - Sqrt(g1 * g2))).Value();
    const Checked k = Ser(ck, c[10]);
    c[3] = (a * ck / (a + ck + k)).Value();
    c[4] = (ck * k / (a + ck + k)).Value();
    c[5] = (a * k / (a + ck + k)).Value();
    c[15] = c[3];
    c[14] = c[4];
    c[13] = c[5];
    c[6] = (s * Sqrt(g3 * g4)).Value();
    c[12] = c[6];
    c[11] = (s / (1 / Sqrt(g1 * g2) + 1 / Sqrt(g2 * g3) - 1 / Sqrt(g3 * g4) - 1 / g4)).Value();
    const Checked m = Ser(ck, c[11]);
    c[7] = (m * s * g4 / (2 * m + s * g4)).Value();
    c[9] = c[7];
    c[8] = (m * m / (2 * m + s * g4)).Value();
    c[20] = (c[1] / (1 + Sqrt(g2 * g3) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g3))).Value();
}

// The analysed circuit ends in TermOhm in series with a capacitor Cend; the built filter ends in
// InputOhm across a shunt capacitor (the first capacitor of the schematic). The pair is the exact
// parallel equivalent of the series one at Fo. A Cend of 0 (Ck = 0) has no equivalent; the first
// estimate stays.
void SetBuiltEnds(Synthesis& d, FilterType type, Checked fo, Checked term) {
    const TopologyDescriptor& topology = DescriptorOf(static_cast<int>(type));
    const double cend = d.CapPF[static_cast<std::size_t>(topology.endSlot)];
    if (cend == 0) return;
    const ParallelEnd end = ParallelEquivalentOfEnd(cend, term.Value(), fo.Value());
    d.InputOhm = Checked(end.InputOhm).Value();
    d.CapPF[static_cast<std::size_t>(topology.schematic.front().index)] =
        Checked(end.ShuntPF).Value();
}

}  // namespace

ElementValues ElementValuesOf(const DesignInput& input, const Synthesis& synthesis) {
    ElementValues values;
    values.SetAllCrystals(
        ResonatorOfDesign(input.LdMH, synthesis.MotionalCapF, input.RdOhm, input.CsPF));
    values.SourceOhm = synthesis.SourceOhm;
    values.LoadOhm = synthesis.LoadOhm;
    for (int k = 1; k <= CapSlotCount; ++k)
        values.CapPF[k] = synthesis.CapPF[k];
    return values;
}

void SynthesizeScale(const DesignInput& input, Synthesis& synthesis,
                     const SynthesisAdjustment* adjust) {
    const Checked fo = input.FoKHz;
    const Checked ld = adjust ? adjust->ldMH : input.LdMH;
    const Checked df = adjust ? adjust->dfHz : input.DfHz;
    const Checked g1 = synthesis.ProtoG1;
    synthesis.FreqRatio = (fo * 1000 / df).Value();
    synthesis.CapScalePF = (synthesis.FreqRatio / (FourPiSquared * fo * fo * ld * 1e-9)).Value();
    // The crystal that is analysed is always the real one, whatever inductance designs it.
    synthesis.MotionalCapF = (1 / (ThousandFourPiSquared * fo * fo * Checked(input.LdMH))).Value();
    const Checked s = synthesis.CapScalePF;
    synthesis.TermOhm = (1e9 / (TwoPi * fo * s * g1)).Value();
    if (adjust) synthesis.TermOhm = (synthesis.TermOhm - Checked(adjust->endLossOhm)).Value();
}

void SynthesizeCapacitors(const DesignInput& input, Synthesis& synthesis,
                          const SynthesisAdjustment* adjust) {
    const Checked fo = input.FoKHz;
    const Checked g1 = synthesis.ProtoG1, g2 = synthesis.ProtoG2, g3 = synthesis.ProtoG3,
                  g4 = synthesis.ProtoG4;
    const Checked s = synthesis.CapScalePF;
    const Checked term = synthesis.TermOhm;
    const Checked ck = input.CkPF;
    const auto type = static_cast<FilterType>(input.filterType);
    switch (type) {
        case FilterType::Ladder3:
            ComputeLadder3(synthesis, s, g1, g2, term);
            break;
        case FilterType::Ladder4:
            ComputeLadder4(synthesis, s, g1, g2, term);
            break;
        case FilterType::Ladder6:
            ComputeLadder6(synthesis, s, g1, g2, g3, term);
            break;
        case FilterType::Ladder8:
            ComputeLadder8(synthesis, s, g1, g2, g3, g4, term);
            break;
        case FilterType::Cw4:
            ComputeCw4(synthesis, s, ck, g1, g2, term);
            break;
        case FilterType::Cw6:
            ComputeCw6(synthesis, s, ck, g1, g2, g3, term);
            break;
        case FilterType::Cw8:
            ComputeCw8(synthesis, s, ck, g1, g2, g3, g4, term);
            break;
    }
    SetBuiltEnds(synthesis, type, adjust ? Checked(adjust->endsAtKHz) : fo, term);
    synthesis.SourceOhm = synthesis.TermOhm;
    synthesis.LoadOhm = synthesis.TermOhm;
}

bool AnalyseAt(CircuitAnalysis& circuit, double freqHz, double stepHz, double& responseDb) {
    const double omegaRad = TwoPi * freqHz;
    // The admittance of an inductance has no value at 0 Hz, and the circuit is only defined for
    // positive frequencies.
    if (!(omegaRad > 0) || !std::isfinite(omegaRad)) return false;
    if (stepHz != 0) circuit.AnalyseAhead(freqHz, stepHz, TwoPi);
    const AnalysisPoint point = circuit.Analyse(omegaRad);
    if (!point.SolveOk || !std::isfinite(point.ResponseDb)) return false;
    responseDb = point.ResponseDb;
    return true;
}

MessageId RunDesign(const DesignFields& design, CircuitAnalysis& circuit, CalculationResult& result,
                    char separator) {
    const InputTexts& texts = design.texts;
    DesignInput& input = result.input;
    Synthesis& synthesis = result.synthesis;
    input.filterType = design.filterType;
    input.responseType = design.responseType;
    // Ck is asked for whatever the topology, as the window has always done.
    for (const std::string* text :
         {&texts.Fo, &texts.Ld, &texts.Cs, &texts.Rd, &texts.Df, &texts.Ck}) {
        if (text->empty()) {
            result.keepsPreviousResult = true;
            return MessageId::MissingData;
        }
    }
    if (texts.Rd == "0") {
        result.keepsPreviousResult = true;
        return MessageId::ZeroRd;
    }

    LoadPrototype(input.filterType, input.responseType, synthesis);
    // A selection outside the lists (possible from a design file) has no prototype and no
    // circuit.
    if (input.filterType < 1 || input.filterType > FilterTypeCount) return MessageId::BadFilterType;
    if (input.responseType < 1 || input.responseType > ResponseTypeCount) {
        return MessageId::BadResponseType;
    }

    input.FoKHz = FieldTextToFloat(texts.Fo, separator);
    input.DfHz = FieldTextToFloat(texts.Df, separator);
    input.LdMH = FieldTextToFloat(texts.Ld, separator);
    input.CsPF = FieldTextToFloat(texts.Cs, separator);
    input.RdOhm = FieldTextToFloat(texts.Rd, separator);

    SynthesizeScale(input, synthesis);
    // Ck is converted only now, as it always was: a fault of the scale comes first.
    const auto type = static_cast<FilterType>(input.filterType);
    const bool usesCk =
        type == FilterType::Cw4 || type == FilterType::Cw6 || type == FilterType::Cw8;
    input.CkPF = usesCk ? FieldTextToFloat(texts.Ck, separator) : 0.0;
    SynthesizeCapacitors(input, synthesis);

    if (synthesis.SourceOhm == 0 || synthesis.LoadOhm == 0 || input.RdOhm == 0) {
        return MessageId::ZeroResistance;
    }

    circuit.Build(input.filterType, ElementValuesOf(input, synthesis));
    double atFoDb = 0;
    if (!AnalyseAt(circuit, input.FoKHz * 1000, 0, atFoDb)) return MessageId::NoSolution;
    result.measurements.RespAtFoDb = atFoDb;
    result.measurements.AFoDb = atFoDb + LevelOffsetDb;
    return MessageId::None;
}

}  // namespace feldan
