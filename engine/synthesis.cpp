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
            throw ArithmeticError(a.value_ == 0 ? InvalidOperationText : DivisionByZeroText);
        return a.value_ / b.value_;
    }
    friend Checked Sqrt(Checked a) {
        if (a.value_ < 0) throw ArithmeticError(InvalidOperationText);
        return std::sqrt(a.value_);
    }

  private:
    static double Finite(double value) {
        if (std::isnan(value)) throw ArithmeticError(InvalidOperationText);
        if (std::isinf(value)) throw ArithmeticError(OverflowText);
        return value;
    }
    double value_;
};

// Capacitance of a and b in series.
Checked Ser(Checked a, Checked b) {
    return a * b / (a + b);
}

double ToNumber(const std::string& text, char separator) {
    return StrToFloat(NormalizeDecimal(text, separator), separator);
}

// The slots and InputOhm of each topology. S is the capacitance scale, ck the correction
// capacitance, g1..g4 the prototype. The end values always use the prototype pair (g2, g3) with
// g3 = g1 for three resonators and g3 = g2 for four.
void ComputeLadder3(DesignState& d, Checked s, Checked g1, Checked g2, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[13] = (c[1] / (1 + Sqrt(g1 * g2) / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g1 * g2))).Value();
}

void ComputeLadder4(DesignState& d, Checked s, Checked g1, Checked g2, Checked term) {
    auto& c = d.CapPF;
    c[1] = (s * Sqrt(g1 * g2)).Value();
    c[2] = (s * g2).Value();
    c[13] = (c[2] / (1 + g2 / g1)).Value();
    d.InputOhm = (term * (1 + g1 * g1 / (g2 * g2))).Value();
}

void ComputeLadder6(DesignState& d, Checked s, Checked g1, Checked g2, Checked g3, Checked term) {
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

void ComputeLadder8(DesignState& d, Checked s, Checked g1, Checked g2, Checked g3, Checked g4,
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

void ComputeCw4(DesignState& d, Checked s, Checked ck, Checked g1, Checked g2, Checked term) {
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

void ComputeCw6(DesignState& d, Checked s, Checked ck, Checked g1, Checked g2, Checked g3,
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

void ComputeCw8(DesignState& d, Checked s, Checked ck, Checked g1, Checked g2, Checked g3,
                Checked g4, Checked term) {
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

}  // namespace

ElementValues ElementValuesOf(const DesignState& state) {
    ElementValues values;
    values.SetAllCrystals(
        ResonatorOfDesign(state.LdMH, state.MotionalCapF, state.RdOhm, state.CsPF));
    values.SourceOhm = state.SourceOhm;
    values.LoadOhm = state.LoadOhm;
    for (int k = 1; k <= CapSlotCount; ++k)
        values.CapPF[k] = state.CapPF[k];
    return values;
}

bool AnalyseAt(DesignState& state, CircuitAnalysis& circuit, double freqHz, double stepHz) {
    state.FreqHz = freqHz;
    state.OmegaRad = TwoPi * state.FreqHz;
    // The admittance of an inductance has no value at 0 Hz, and the circuit is only defined for
    // positive frequencies.
    if (!(state.OmegaRad > 0) || !std::isfinite(state.OmegaRad)) {
        state.SolveOk = false;
        return false;
    }
    if (stepHz != 0) circuit.AnalyseAhead(state.FreqHz, stepHz, TwoPi);
    const AnalysisPoint point = circuit.Analyse(state.OmegaRad);
    state.SolveOk = point.SolveOk && std::isfinite(point.ResponseDb);
    if (state.SolveOk) state.ResponseDb = point.ResponseDb;
    return state.SolveOk;
}

bool RunDesign(DesignState& state, CircuitAnalysis& circuit, const InputTexts& texts,
               CalculateView& view, char separator) {
    view.ShowResultBox();
    // Ck is asked for whatever the topology, as the window has always done.
    for (const std::string* text :
         {&texts.Fo, &texts.Ld, &texts.Cs, &texts.Rd, &texts.Df, &texts.Ck}) {
        if (text->empty()) {
            view.ShowWarning(MissingDataText);
            return false;
        }
    }
    if (texts.Rd == "0") {
        view.ShowWarning(ZeroRdText);
        return false;
    }
    view.ClearResultText();

    LoadPrototype(state);
    // A selection outside the lists (possible from a design file) has no prototype and no
    // circuit; going on would compute with the coefficients of some earlier design.
    if (state.FilterType < 1 || state.FilterType > FilterTypeCount) {
        view.ShowWarning(BadFilterTypeText);
        return false;
    }
    if (state.ResponseType < 1 || state.ResponseType > ResponseTypeCount) {
        view.ShowWarning(BadResponseTypeText);
        return false;
    }

    state.FoKHz = ToNumber(texts.Fo, separator);
    state.DfHz = ToNumber(texts.Df, separator);
    state.LdMH = ToNumber(texts.Ld, separator);
    state.CsPF = ToNumber(texts.Cs, separator);
    state.RdOhm = ToNumber(texts.Rd, separator);

    const Checked fo = state.FoKHz;
    const Checked ld = state.LdMH;
    const Checked g1 = state.ProtoG1, g2 = state.ProtoG2, g3 = state.ProtoG3, g4 = state.ProtoG4;
    state.FreqRatio = (fo * 1000 / state.DfHz).Value();
    state.CapScalePF = (state.FreqRatio / (FourPiSquared * fo * fo * ld * 1e-9)).Value();
    state.MotionalCapF = (1 / (ThousandFourPiSquared * fo * fo * ld)).Value();
    const Checked s = state.CapScalePF;
    state.TermOhm = (1e9 / (TwoPi * fo * s * g1)).Value();
    const Checked term = state.TermOhm;

    const auto type = static_cast<FilterType>(state.FilterType);
    const bool usesCk =
        type == FilterType::Cw4 || type == FilterType::Cw6 || type == FilterType::Cw8;
    state.CkPF = usesCk ? StrToFloat(texts.Ck, separator) : 0.0;
    const Checked ck = state.CkPF;
    switch (type) {
        case FilterType::Ladder3:
            ComputeLadder3(state, s, g1, g2, term);
            break;
        case FilterType::Ladder4:
            ComputeLadder4(state, s, g1, g2, term);
            break;
        case FilterType::Ladder6:
            ComputeLadder6(state, s, g1, g2, g3, term);
            break;
        case FilterType::Ladder8:
            ComputeLadder8(state, s, g1, g2, g3, g4, term);
            break;
        case FilterType::Cw4:
            ComputeCw4(state, s, ck, g1, g2, term);
            break;
        case FilterType::Cw6:
            ComputeCw6(state, s, ck, g1, g2, g3, term);
            break;
        case FilterType::Cw8:
            ComputeCw8(state, s, ck, g1, g2, g3, g4, term);
            break;
    }
    state.SourceOhm = state.TermOhm;
    state.LoadOhm = state.TermOhm;

    if (state.SourceOhm == 0 || state.LoadOhm == 0 || state.RdOhm == 0) {
        view.ShowWarning(ZeroResistanceText);
        return false;
    }

    circuit.Build(state.FilterType, ElementValuesOf(state));
    if (!AnalyseAt(state, circuit, state.FoKHz * 1000)) {
        view.ShowWarning(NoSolutionText);
        return false;
    }
    state.RespAtFoDb = state.ResponseDb;
    state.AFoDb = state.ResponseDb + 6;
    return true;
}

}  // namespace feldan
