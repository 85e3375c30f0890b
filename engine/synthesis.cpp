#include "engine/synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include "engine/checked.h"
#include "engine/errors.h"
#include "engine/generated_synthesis.h"
#include "engine/ladder_design.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/prototype.h"

namespace feldan {
namespace {

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
void SetBuiltEnds(Synthesis& d, Checked fo, Checked term, Checked outputTerm) {
    const TopologyDescriptor& topology = DescriptorOf(d.Circuit);
    const double cend = d.CapPF[static_cast<std::size_t>(topology.endSlot)];
    d.OutputOhm = d.InputOhm;
    if (cend == 0) return;
    const ParallelEnd end = ParallelEquivalentOfEnd(cend, term.Value(), fo.Value());
    d.InputOhm = Checked(end.InputOhm).Value();
    d.OutputOhm = d.InputOhm;
    d.CapPF[static_cast<std::size_t>(topology.schematic.front().index)] =
        Checked(end.ShuntPF).Value();
    if (!ShapeOfCircuit(d.Circuit)) return;
    // A generated ladder keeps its output end in slots of its own.
    const double outputEnd = d.CapPF[OutputEndSlot];
    if (outputEnd == 0) return;
    const ParallelEnd output = ParallelEquivalentOfEnd(outputEnd, outputTerm.Value(), fo.Value());
    d.CapPF[OutputShuntSlot] = Checked(output.ShuntPF).Value();
    d.OutputOhm = Checked(output.InputOhm).Value();
}

}  // namespace

void LoadDesignPrototype(const DesignInput& input, const std::string& rippleText,
                         Synthesis& synthesis) {
    if (IsClassicDesign(input.filterType, input.responseType)) {
        LoadPrototype(input.filterType, input.responseType, synthesis);
        return;
    }
    const LadderChoice ladder = LadderOfFilterType(input.filterType);
    if (ladder.structure == LadderStructure::Qer) {
        // The ends' Q in the units of a mesh of one crystal: an end mesh of two has half its
        // inductance, so its q1 counts twice. Both ends alike: the table's unequal ends for an
        // even count of poles give the rounder top (1.12 dB against 0.31 dB of ripple at 8).
        const int poles = ladder.crystals - 2;
        const double q = 2 * QerRowOf(poles).q1;
        synthesis.ProtoOrder = poles;
        synthesis.ProtoG = {};
        for (int k = 1; k <= poles; ++k)
            synthesis.ProtoG[static_cast<std::size_t>(k)] = q;
        synthesis.ProtoG[static_cast<std::size_t>(poles + 1)] = 1;
        synthesis.ProtoG1 = synthesis.ProtoG2 = synthesis.ProtoG3 = synthesis.ProtoG4 = q;
        synthesis.PrototypeName = GeneratedDesignation(ladder, input.responseType, rippleText);
        return;
    }
    const LadderPrototype prototype =
        PrototypeOfResponse(input.responseType, ladder.crystals, input.RippleDb);
    std::vector<double> g = prototype.g;
    const int n = static_cast<int>(g.size());
    // A prototype symmetric but for its last digits (Butterworth, Chebyshev) is made symmetric
    // to the bit, so that the filter's mirrored parts come out equal.
    bool symmetric = std::fabs(prototype.load - 1) < 1e-9;
    for (std::size_t k = 0; k < g.size(); ++k)
        symmetric = symmetric && std::fabs(g[k] - g[g.size() - 1 - k]) <= 1e-9 * g[k];
    if (symmetric) {
        for (std::size_t k = 0; k < g.size() / 2; ++k)
            g[k] = g[g.size() - 1 - k] = (g[k] + g[g.size() - 1 - k]) / 2;
    }
    synthesis.ProtoOrder = n;
    synthesis.ProtoG = {};
    for (int k = 1; k <= n; ++k)
        synthesis.ProtoG[static_cast<std::size_t>(k)] = g[static_cast<std::size_t>(k - 1)];
    // The ladder's load is a resistance after a series element and a conductance after a shunt
    // one: g(n+1) is its reciprocal either way.
    synthesis.ProtoG[static_cast<std::size_t>(n + 1)] = symmetric ? 1 : 1 / prototype.load;
    synthesis.ProtoG1 = synthesis.ProtoG[1];
    synthesis.ProtoG2 = synthesis.ProtoG[2];
    synthesis.ProtoG3 = n >= 3 ? synthesis.ProtoG[3] : 0;
    synthesis.ProtoG4 = n >= 4 ? synthesis.ProtoG[4] : 0;
    synthesis.PrototypeName = GeneratedDesignation(ladder, input.responseType, rippleText);
}

void SynthesizeLadderCapacitors(Synthesis& synthesis, LadderStructure structure, double ckPF) {
    ComputeGenerated(synthesis, structure, synthesis.CapScalePF, ckPF);
}

namespace {

// The selections of a generated design as their input; nothing for a classic one or one outside
// the lists. The ripple only shapes the tuning of a plain ladder; one that cannot be read yet
// draws the ladder with a ripple of 0.1 dB.
std::optional<DesignInput> GeneratedSelections(const DesignFields& design) {
    DesignInput input;
    input.filterType = design.filterType;
    input.responseType = design.responseType;
    if (input.filterType < 1 || input.filterType > FilterTypeCount || input.responseType < 1 ||
        input.responseType > ResponseTypeCount ||
        IsClassicDesign(input.filterType, input.responseType)) {
        return std::nullopt;
    }
    try {
        input.RippleDb = FieldTextToFloat(design.ripple, '.');
    } catch (const CommandError&) {
        input.RippleDb = 0;
    }
    if (!(input.RippleDb >= MinRippleDb && input.RippleDb <= MaxRippleDb)) input.RippleDb = 0.1;
    return input;
}

}  // namespace

int CircuitOfDesign(const DesignFields& design) {
    const std::optional<DesignInput> input = GeneratedSelections(design);
    if (!input) {
        const bool listed = design.filterType >= 1 && design.filterType <= FilterTypeCount &&
                            design.responseType >= 1 && design.responseType <= ResponseTypeCount;
        return listed ? design.filterType : 0;
    }
    try {
        Synthesis synthesis;
        LoadDesignPrototype(*input, design.ripple, synthesis);
        ComputeGenerated(synthesis, LadderOfFilterType(input->filterType).structure, 1, 1);
        return synthesis.Circuit;
    } catch (const std::exception&) {
        return 0;
    }
}

bool EndsDifferOfDesign(const DesignFields& design) {
    const std::optional<DesignInput> input = GeneratedSelections(design);
    if (!input) return false;
    try {
        Synthesis synthesis;
        LoadDesignPrototype(*input, design.ripple, synthesis);
        const auto n = static_cast<std::size_t>(synthesis.ProtoOrder);
        if (n == 0) return false;
        const double g1 = synthesis.ProtoG[1];
        return std::fabs(synthesis.ProtoG[n] * synthesis.ProtoG[n + 1] - g1) > 1e-9 * g1;
    } catch (const std::exception&) {
        return false;
    }
}

double DesignRippleDb(const DesignInput& input) {
    // A QER ladder's lossless ripple grows with its poles, from 0.02 dB at 4 to 0.9 dB at 12.
    if (IsQer(input.filterType)) return 1;
    if (input.responseType == static_cast<int>(ResponseType::Chebyshev)) return input.RippleDb;
    return PrototypeRippleDb(input.responseType);
}

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
    // The output end by its own external Q, g_n·g_(n+1); a symmetric prototype's is g1 to the
    // bit, and a classic one has the input's.
    const int n = synthesis.ProtoOrder;
    const Checked qOut = n > 0 ? Checked(synthesis.ProtoG[std::size_t(n)]) *
                                     Checked(synthesis.ProtoG[std::size_t(n + 1)])
                               : g1;
    synthesis.OutputTermOhm = (1e9 / (TwoPi * fo * s * qOut)).Value();
    if (adjust)
        synthesis.OutputTermOhm = (synthesis.OutputTermOhm - Checked(adjust->endLossOhm)).Value();
}

void SynthesizeCapacitors(const DesignInput& input, Synthesis& synthesis,
                          const SynthesisAdjustment* adjust) {
    const Checked fo = input.FoKHz;
    const Checked g1 = synthesis.ProtoG1, g2 = synthesis.ProtoG2, g3 = synthesis.ProtoG3,
                  g4 = synthesis.ProtoG4;
    const Checked s = synthesis.CapScalePF;
    const Checked term = synthesis.TermOhm;
    const Checked ck = input.CkPF;
    if (!IsClassicDesign(input.filterType, input.responseType)) {
        const LadderStructure structure = LadderOfFilterType(input.filterType).structure;
        ComputeGenerated(synthesis, structure, s, ck);
        // A QER ladder ends in its terminations alone.
        if (structure == LadderStructure::Qer) synthesis.InputOhm = term.Value();
        SetBuiltEnds(synthesis, adjust ? Checked(adjust->endsAtKHz) : fo, term,
                     synthesis.OutputTermOhm);
        synthesis.SourceOhm = synthesis.TermOhm;
        synthesis.LoadOhm = synthesis.OutputTermOhm;
        return;
    }
    synthesis.Circuit = input.filterType;
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
    SetBuiltEnds(synthesis, adjust ? Checked(adjust->endsAtKHz) : fo, term, term);
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
    input.Exact = design.exact;
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

    // A selection outside the lists (possible from a design file) has no prototype and no
    // circuit.
    if (input.filterType < 1 || input.filterType > FilterTypeCount) return MessageId::BadFilterType;
    if (input.responseType < 1 || input.responseType > ResponseTypeCount) {
        return MessageId::BadResponseType;
    }
    if (input.responseType == static_cast<int>(ResponseType::Chebyshev)) {
        if (design.ripple.empty()) {
            result.keepsPreviousResult = true;
            return MessageId::MissingData;
        }
        input.RippleDb = FieldTextToFloat(design.ripple, separator);
        if (!(input.RippleDb >= MinRippleDb && input.RippleDb <= MaxRippleDb)) {
            result.message.value = design.ripple;
            return MessageId::BadRipple;
        }
    }
    const ResponseOrders orders = OrdersOfResponse(input.responseType);
    const int crystals = CrystalCountOf(input.filterType);
    if (!IsClassicDesign(input.filterType, input.responseType) && !IsQer(input.filterType) &&
        (crystals < orders.lowest || crystals > orders.highest)) {
        result.message.value = std::to_string(orders.lowest) + "–" + std::to_string(orders.highest);
        return MessageId::ResponseOrder;
    }
    if (input.responseType == static_cast<int>(ResponseType::Cohn) &&
        LadderOfFilterType(input.filterType).structure != LadderStructure::Plain) {
        return MessageId::CohnPlainOnly;
    }
    LoadDesignPrototype(input, design.ripple, synthesis);

    input.FoKHz = FieldNumber(texts.Fo, separator, Field::Fo);
    input.DfHz = FieldNumber(texts.Df, separator, Field::Df);
    input.LdMH = FieldNumber(texts.Ld, separator, Field::Ld);
    input.CsPF = FieldNumber(texts.Cs, separator, Field::Cs);
    input.RdOhm = FieldNumber(texts.Rd, separator, Field::Rd);

    try {
        SynthesizeScale(input, synthesis);
    } catch (const ArithmeticError& error) {
        throw ArithmeticError(WithBrokenRule(error.message(), input));
    }
    // Ck is converted only now, as it always was: a fault of the scale comes first.
    input.CkPF = UsesCk(input.filterType) ? FieldNumber(texts.Ck, separator, Field::Ck) : 0.0;
    // A generated CW ladder divides by Ck; the classic ones have always taken Ck = 0 as it came.
    if (!IsClassicDesign(input.filterType, input.responseType) && UsesCk(input.filterType) &&
        !(input.CkPF > 0)) {
        return MessageId::BadCk;
    }
    SynthesizeCapacitors(input, synthesis);

    if (synthesis.SourceOhm == 0 || synthesis.LoadOhm == 0 || input.RdOhm == 0) {
        return MessageId::ZeroResistance;
    }

    circuit.Build(synthesis.Circuit, ElementValuesOf(input, synthesis));
    double atFoDb = 0;
    if (!AnalyseAt(circuit, input.FoKHz * 1000, 0, atFoDb)) return MessageId::NoSolution;
    result.measurements.RespAtFoDb = atFoDb;
    result.measurements.AFoDb = atFoDb + LevelOffsetDb;
    return MessageId::None;
}

double FieldNumber(std::string_view text, char separator, Field field) {
    try {
        return FieldTextToFloat(text, separator);
    } catch (const ConversionError& error) {
        Message message = error.message();
        message.field = field;
        throw ConversionError(std::move(message));
    }
}

Message WithBrokenRule(Message message, const DesignInput& input) {
    // The synthesis divides by Fo, Ld and dF; the solver works from 1 kHz to 1 GHz.
    const bool foOutside = !(input.FoKHz >= MinFoKHz && input.FoKHz <= MaxFoKHz);
    switch (message.id) {
        case MessageId::InvalidOperation:
        case MessageId::DivisionByZero:
            message.field = !(input.FoKHz > 0)  ? Field::Fo
                            : !(input.LdMH > 0) ? Field::Ld
                            : !(input.DfHz > 0) ? Field::Df
                                                : Field::None;
            break;
        case MessageId::Overflow:
        case MessageId::NoSolution:
            message.field = foOutside ? Field::Fo : Field::None;
            break;
        default:
            break;
    }
    return message;
}

}  // namespace feldan
