// What a builder actually built: the filter's parts found from its measured sweep. The schematic
// as built (the values in force) is fitted to the measured complex S-parameters between ports of
// a known resistance: every capacitor, each crystal's series resonance, one motional resistance
// common to the crystals and the delay of the cables. The answer gives each part's value with
// the bound the sweep sets on it, names the groups of parts the sweep cannot tell apart, and
// says what to change.
#pragma once

#include <atomic>
#include <complex>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/built_design.h"
#include "engine/messages.h"
#include "engine/standard_values.h"

namespace feldan {

// The measurement as the fit takes it: ascending frequencies, S21 at each, and S11 and S22
// where they were measured (empty where not: a NanoVNA writes zeros for S22), all referred to
// portOhm at both ports.
struct DiagnosisSweep {
    std::vector<double> hz;
    std::vector<std::complex<double>> s21;
    std::vector<std::complex<double>> s11;
    std::vector<std::complex<double>> s22;
    double portOhm = 50;
};

// A capacitor of the schematic: its value in force (designed, rounded or tuned) and fitted.
struct FittedCapacitor {
    std::string label;  // "C3"
    int slot = 0;       // its CapPF slot
    double designedPF = 0;
    double fittedPF = 0;
    double errorPct = 0;  // fitted over designed, less one, in per cent
    double boundPct = 0;  // one standard deviation of the fitted value, in per cent
};

// A crystal: how far its series resonance (with its trim, if any) lies from the design's.
struct FittedCrystal {
    int position = 0;  // 1 for ZQ1
    double offsetHz = 0;
    double boundHz = 0;  // one standard deviation
};

// One reading of the fit: the parts in the schematic's order.
struct DiagnosisReading {
    std::vector<FittedCapacitor> capacitors;
    std::vector<FittedCrystal> crystals;
};

// Parts the sweep cannot tell apart: a direction of the fit along which the data change far less
// than along the others (a π of capacitors and the crystals beside it trade against each other).
// Each part of the group is known only to its bound; their combination along the direction is
// what the sweep leaves open.
struct WeakGroup {
    std::vector<std::string> labels;  // "C4", "C5", "ZQ3", ...
    double worstBoundPct = 0;         // the largest bound of its capacitors
    double worstBoundHz = 0;          // the largest bound of its crystals
};

// The termination the fitted filter wants at one end, as a resistance with a capacitance in
// parallel (that of the end's shunt capacitor and what the end needs beside it), beside the
// design's.
struct EndTermination {
    double designOhm = 0;
    double designPF = 0;
    double fittedOhm = 0;
    double fittedPF = 0;
};

// What the builder can change: a capacitor for the standard value that restores it, or a
// crystal's trim.
enum class AdviceKind {
    ReplaceCapacitor,  // value: the standard capacitor (pF) that brings the part back
    AddTrim,           // value: the series capacitor (pF) that lifts a low crystal back
    ChangeTrim,        // value: the trim (pF) that brings a crystal with a trim back
    CrystalHigh,       // a crystal too high for a series capacitor: pick a lower one
};
struct Advice {
    AdviceKind kind = AdviceKind::ReplaceCapacitor;
    std::string label;  // "C3", "ZQ2"
    double value = 0;
};

enum class DiagnosisVerdict {
    Fitted,
    NotConverged,  // the fit stopped short: the residual says how far from the data it is
    Cancelled,
    Refused,  // the sweep cannot be fitted: `message` says why
};

struct Diagnosis {
    DiagnosisVerdict verdict = DiagnosisVerdict::Refused;
    Message message;  // why it was refused, or that it did not converge (with the residual)
    DiagnosisReading reading;
    // With S21 alone a filter and its mirror image give the same sweep: where the fitted
    // pattern is not symmetric and no reflection was measured, the other reading.
    bool ambiguous = false;
    std::optional<DiagnosisReading> mirrored;
    std::vector<WeakGroup> weakGroups;
    // Two identical crystals in parallel (a QER ladder's ends), as positions: the sweep tells
    // their two resonances but not which crystal has which, so the first is given the lower.
    std::vector<std::pair<int, int>> parallelPairs;
    double designRmOhm = 0;  // the crystals' mean Rm in force
    double rmOhm = 0;        // fitted
    double rmBoundPct = 0;
    double designQu = 0;
    double qu = 0;  // the unloaded Q of the fitted Rm
    double delaySec = 0;
    // RMS of the complex difference between the fitted model and the measurement over every
    // point and measured parameter, in dB (−60 for a fit down to noise at −60 dB).
    double residualDb = 0;
    double designResidualDb = 0;  // the same for the filter as designed
    int iterations = 0;
    EndTermination input, output;
    std::vector<Advice> advice;
    // The fitted filter's values (every capacitor part its own) and the ports it was fitted
    // between.
    ElementValues fittedValues;
    double portOhm = 0;
};

// The residual above which a fit is said not to describe the measurement, in dB.
inline constexpr double DiagnosisPoorDb = -25;
// The most points of a sweep the fit takes; a longer sweep is thinned evenly.
inline constexpr int DiagnosisMaxPoints = 801;

// Fits `built` (the filter as built: the values and terminations in force) to `sweep`.
// `progress` is called with the share done (0..1); setting `cancel` stops the fit. Refuses a
// sweep that holds no band of the design. The advice names capacitors of `series`.
Diagnosis DiagnoseFilter(const BuiltDesign& built, const DiagnosisSweep& sweep,
                         const std::function<void(double)>& progress = {},
                         const std::atomic<bool>* cancel = nullptr, ESeries series = ESeries::E24);

// The fitted filter's S21 at the frequencies of `hz` between the ports it was fitted between,
// the cable delay left out: its curve beside the measurement's.
std::vector<std::complex<double>> FittedResponse(const BuiltDesign& built,
                                                 const Diagnosis& diagnosis,
                                                 const std::vector<double>& hz);
// S21 of the schematic of `built` with `values` between ports of portOhm (the design's curve as
// the analyser would have seen it).
std::vector<std::complex<double>> SchematicS21(const BuiltDesign& built,
                                               const ElementValues& values, double portOhm,
                                               const std::vector<double>& hz);

// The diagnosis in words: the worst parts and crystals, the common Rm and what to change.
std::string DiagnosisText(const Diagnosis& diagnosis, Language language);

// The tuning that carries on from the filter as fitted (its `mirrored` reading where asked):
// `tuning` with every capacitor part at its fitted value, each crystal's series resonance
// ("ZQ2", Hz) and the crystals' Rm ("Rm") as fitted; entries of other parts (the termination, the
// trims) kept. Empty for a diagnosis without values.
struct TunedPart;
std::vector<TunedPart> TuningOfDiagnosis(const Diagnosis& diagnosis,
                                         const std::vector<TunedPart>& tuning,
                                         bool mirrored = false);

}  // namespace feldan
