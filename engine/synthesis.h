// The design run at the start of every calculation: checks and converts the input texts,
// computes the elements of the chosen topology, builds the circuit and analyses it at Fo.
#pragma once

#include <string>
#include <string_view>

#include "circuit/analysis.h"
#include "engine/calculate.h"
#include "engine/design.h"

namespace feldan {

// The prototype of a design, with input.filterType, responseType and RippleDb converted: the
// classic table's cell, or the generator's ladder (`rippleText` names a typed ripple in the
// designation). A selection outside the lists writes nothing.
void LoadDesignPrototype(const DesignInput& input, const std::string& rippleText,
                         Synthesis& synthesis);

// The capacitors of a generated ladder (circuit/generated_ladders.h) and its circuit number,
// from synthesis.ProtoOrder, ProtoG and CapScalePF: the couplings, the mesh tuning and the end
// series capacitors of the analysed circuit; the schematic's end shunts are not set. Throws
// ArithmeticError as RunDesign does.
void SynthesizeLadderCapacitors(Synthesis& synthesis, LadderStructure structure, double ckPF);

// The circuit number a design is built as, from its selections (and ripple) alone, for the
// schematic before anything is calculated; 0 for a selection outside the lists.
int CircuitOfDesign(const DesignFields& design);

// Whether the design's two ends want terminations of their own (a prototype whose output end's
// Q, g_n·g_(n+1), is not g1), from its selections alone, for the schematic; false for a
// selection outside the lists.
bool EndsDifferOfDesign(const DesignFields& design);

// The pass-band ripple of a design's response in dB: 0 for Butterworth.
double DesignRippleDb(const DesignInput& input);

// The element values that the netlists read.
ElementValues ElementValuesOf(const DesignInput& input, const Synthesis& synthesis);

// What the exact way changes in the classic synthesis (engine/exact_design.h): the inductance
// the couplings and terminations are scaled with, the design bandwidth, the end meshes' own
// loss taken off the terminations, and the frequency at which the schematic's ends equal the
// analysed ones. The crystal that is analysed stays the real one (input.LdMH).
struct SynthesisAdjustment {
    double ldMH = 0;
    double dfHz = 0;
    double endLossOhm = 0;
    double endsAtKHz = 0;
};

// The two steps of the synthesis of an input already converted, with the prototype loaded:
// the scale (FreqRatio, CapScalePF, MotionalCapF, TermOhm), then, with input.CkPF, the
// capacitors, the built ends and the terminations. Without an adjustment they are the classic
// synthesis, bit for bit. Throw ArithmeticError as RunDesign does.
void SynthesizeScale(const DesignInput& input, Synthesis& synthesis,
                     const SynthesisAdjustment* adjust = nullptr);
void SynthesizeCapacitors(const DesignInput& input, Synthesis& synthesis,
                          const SynthesisAdjustment* adjust = nullptr);

// Fills result.input, result.synthesis and RespAtFoDb/AFoDb of result.measurements as far as it
// gets. Returns MessageId::None when the circuit is built and its analysis at Fo succeeded, else
// the warning that stops the calculation. Throws ConversionError for a text that is not
// a number and ArithmeticError for a division by zero, an invalid operation or an overflow.
MessageId RunDesign(const DesignFields& design, CircuitAnalysis& circuit, CalculationResult& result,
                    char separator);

// A field's text as a number (FieldTextToFloat); a text that is not one throws ConversionError
// naming `field`.
double FieldNumber(std::string_view text, char separator, Field field);

// The span of Fo the circuit can be solved over, in kHz.
inline constexpr double MinFoKHz = 1;
inline constexpr double MaxFoKHz = 1e6;

// An arithmetic fault of the synthesis, or no solution, with the field whose rule the input
// breaks (Fo, Ld and dF above 0; Fo within MinFoKHz..MaxFoKHz); the message as it was when the
// input breaks none.
Message WithBrokenRule(Message message, const DesignInput& input);

// One analysis point of the built circuit at freqHz: true with responseDb set when it has a
// solution. A frequency of 0 Hz or below, a failed solve, a load voltage of exactly 0 and a
// response that is not a finite number all count as no solution (responseDb untouched), so no
// infinity or NaN ever leaves the analysis. A search that steps by `stepHz` passes it, so the
// circuit can solve the points ahead side by side; the result is the same to the bit.
bool AnalyseAt(CircuitAnalysis& circuit, double freqHz, double stepHz, double& responseDb);

}  // namespace feldan
