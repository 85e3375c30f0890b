// Measured crystals: the Butterworth–Van Dyke model fitted to a network analyser's sweep, the
// G3UUR oscillator method, and picking a matched set from a bag of crystals.
#pragma once

#include <complex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace feldan {

// An unwanted mode of a crystal: a further motional arm, across the same C0 as the main one.
struct CrystalMode {
    double fsHz = 0;
    double lmH = 0;
    double cmF = 0;  // follows from fs and Lm
    double rmOhm = 0;
    bool operator==(const CrystalMode&) const = default;
};

// The most unwanted modes a crystal holds beside its main one.
inline constexpr int MaxUnwantedModes = 3;

CrystalMode ModeFromSeriesResonance(double fsHz, double lmH, double rmOhm);

// A crystal as the design sees it: the motional arm Lm, Cm, Rm in series, C0 across it, and up
// to MaxUnwantedModes further arms across C0, in ascending order of fs.
struct CrystalModel {
    double fsHz = 0;  // series resonance, 1/(2π·sqrt(Lm·Cm))
    double lmH = 0;
    double cmF = 0;
    double rmOhm = 0;
    double c0F = 0;
    std::vector<CrystalMode> modes = {};

    double Q() const;
    bool operator==(const CrystalModel&) const = default;
    // The crystal's impedance at a frequency.
    std::complex<double> Impedance(double hz) const;
};

// The model from fs, Lm, Rm and C0 (Cm follows).
CrystalModel CrystalFromSeriesResonance(double fsHz, double lmH, double rmOhm, double c0F);

// How the crystal was measured.
enum class SweepKind {
    SeriesThrough,  // S21, the crystal in series between a source and a load of fixtureOhm each
    OnePort,        // S11, the crystal from port 1 to ground, referred to fixtureOhm
};

// The measured quantity of a crystal: S21 = 2R/(2R + Z) or S11 = (Z − R)/(Z + R).
std::complex<double> MeasuredOf(SweepKind kind, double fixtureOhm, std::complex<double> z);

enum class FitVerdict {
    Fitted,
    NoResonance,   // the sweep does not hold the series resonance with its skirts
    NotConverged,  // the refinement reached its iteration limit
    PoorFit,       // converged, but the residual shows the model does not describe the data
};

struct CrystalFit {
    FitVerdict verdict = FitVerdict::NoResonance;
    CrystalModel start;  // the closed-form estimate the refinement started from
    CrystalModel model;  // the refined model (the start when there was nothing to refine)
    // RMS of the difference of |model| and |measured| in dB, over the points within 30 dB of the
    // sweep's largest magnitude (below that the instrument's noise floor sets the level).
    double rmsErrorDb = 0;
    int iterations = 0;
    bool c0FromParallelResonance = false;  // the sweep holds the parallel resonance too
    // The phase of the sweep could not be matched, so only the magnitudes were: the crystal sits
    // on an active board or in a fixture the model does not account for.
    bool magnitudesOnly = false;
    // Unwanted modes looked for (FitCrystalWithModes); model.modes holds those found.
    int modesSought = 0;
};

// The residual above which a converged fit is called poor, in dB.
inline constexpr double PoorFitDb = 1.0;
// The most iterations the refinement takes.
inline constexpr int MaxFitIterations = 200;

// Fits the model to a sweep: a closed-form start (Rm from the peak, Lm from the half-power
// width, C0 from the parallel resonance where the sweep holds it, else from the admittance at
// the far end of the sweep), refined by damped least squares (Levenberg–Marquardt) on the
// complex data. Frequencies must increase.
CrystalFit FitCrystal(std::span<const double> frequencyHz,
                      std::span<const std::complex<double>> measured, SweepKind kind,
                      double fixtureOhm);

// A crystal's sweep as the fit takes it.
struct CrystalSweep {
    SweepKind kind = SweepKind::SeriesThrough;
    double fixtureOhm = 50;
    std::vector<double> frequencyHz;
    std::vector<std::complex<double>> measured;
};

// The residual of a model against a sweep, as CrystalFit::rmsErrorDb measures it: a table read
// back from a file shows it beside the values it keeps.
double FitResidualDb(const CrystalModel& model, const CrystalSweep& sweep);

// The crystal a table keeps of a fit: its model, except that a fit that did not converge outside
// the measured peak's half-power band of a through sweep is moved to the peak's frequency (Cm
// following from it and Lm), so that the crystal can still be matched by frequency.
CrystalModel KeptModelOf(const CrystalFit& fit, const CrystalSweep& sweep);

// What a fit of the sweep in `fileName` has to say beside its values: why there are none (no
// resonance, no convergence) or a warning (a poor fit, magnitudes only); nullopt for a clean fit.
std::optional<Message> FitMessageOf(const CrystalFit& fit, const std::string& fileName);

// The G3UUR method: the oscillator at f0 with the crystal alone, at f1 (f2) with a capacitor C1
// (C2) in series. With C0 known, one capacitor gives Cm = 2·Δf1·(C0 + C1)/f0; two give
// Cm = (C1 − C2)/(f0/(2·Δf1) − f0/(2·Δf2)) without C0. Lm = 1/((2π·f0)²·Cm). Returns Cm in F, or
// 0 when the readings give no positive Cm.
double G3uurMotionalCapacitance(double f0Hz, double f1Hz, double c1F, double c0F);
double G3uurMotionalCapacitance(double f0Hz, double f1Hz, double c1F, double f2Hz, double c2F);
double MotionalInductanceOf(double fsHz, double cmF);

// The series trim that lifts a crystal's series resonance to targetHz (at or above fs):
// Δf = fs·Cm/(2·(C0 + Ct)), so Ct = fs·Cm/(2·Δf) − C0. 0 when no trim is needed; negative when
// the shift is too large for any capacitor (the caller refuses it).
double SeriesTrimFor(const CrystalModel& crystal, double targetHz);

// Of `crystals`, the `count` whose fs spread (largest minus smallest) is smallest; of equal
// spreads, the set whose largest Rm is smaller. Returns their indices in ascending order of fs,
// empty when there are fewer crystals than `count`.
std::vector<std::size_t> PickBestSet(std::span<const CrystalModel> crystals, std::size_t count);

// A crystal of a table, under the name the builder gave it.
struct NamedCrystal {
    std::string name;
    CrystalModel model;  // Cm follows from fs and Lm
    // The sweep the model was fitted from, when the crystal was measured, so it can be refitted.
    std::optional<CrystalSweep> sweep = {};
};

}  // namespace feldan
