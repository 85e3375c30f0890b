// The Calculate command as a function: design run, level, peak and band-edge searches and the
// plotted response curve. It returns everything it found; the window and feldan-cli decide what
// to show. Nothing in it is shared, so calculations may run on any thread at once.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "circuit/topologies.h"
#include "circuit/two_port.h"
#include "engine/design.h"
#include "engine/messages.h"

namespace feldan {

// Each search (and the plot sweep) steps 1 Hz at a time and stops after this many steps.
inline constexpr int MaxSearchSteps = 30000;

// One chart point: x = detuning from Fo in kHz, y = attenuation in dB.
struct CurvePoint {
    double x;
    double y;
};

// Analysed frequency steps of the searches and the sweep (0 where the command did not get).
struct StepCounts {
    int PeakSteps = 0;
    int EdgeSteps = 0;
    int SweepSteps = 0;
};

enum class Outcome {
    Done,     // ran to the end: the summary is there
    Warning,  // stopped with one of its warnings (missing data, no solution, level, band limit)
    Error,    // a text that is not a number, or an arithmetic fault
};

// What the exact way did (engine/exact_design.h); all 0 for a classic calculation.
struct ExactDesign {
    bool exact = false;        // designed exactly to the request
    double designDfHz = 0;     // the design bandwidth the iteration ended with
    double effectiveLdMH = 0;  // the crystal's effective inductance at the mesh frequency
    int iterations = 0;        // designs measured by the iteration (at most MaxExactDesigns)
    // The widest and the narrowest band, at the level asked, that this topology reaches with
    // this crystal, in Hz as Расчет measures them; 0 where not known (the widest band beyond
    // the searches' limits, or no band at all).
    double reachableDfHz = 0;
    double narrowestDfHz = 0;
};

struct CalculationResult {
    Outcome outcome = Outcome::Done;
    // The warning or error that stopped the calculation; MessageId::None when done.
    Message message;
    // The five-line summary (lines separated by '\r'); empty unless done.
    std::string resultText;

    // What the command got to, as far as it got: a stopped command leaves the rest at 0.
    DesignInput input;
    Synthesis synthesis;
    Measurements measurements;

    // The plot sweep started: the curve (cut short when a warning stopped the sweep) is to be
    // drawn, and the chart's set of overlays may start again.
    bool sweepStarted = false;
    std::vector<CurvePoint> curve;
    // The command stopped at its first checks (missing data, Rd of "0"), before a window would
    // clear the summary of the previous calculation.
    bool keepsPreviousResult = false;

    StepCounts steps;

    // The design run completed: the synthesis is whole, whatever the searches did after it.
    bool designed = false;
    // A finished design that is doubtful though its numbers stand (CautionOf); None when all is
    // well or the calculation did not finish.
    Message caution;

    // Filled by an exact calculation, even one that stopped with a warning.
    ExactDesign exact;
};

// Whether a design's coupling capacitors are all one value (a QER ladder, the Cohn response of a
// plain ladder), so that it can be built around a capacitor (DesignFields::capacitor).
bool IsEqualCapacitorDesign(int filterType, int responseType);

// Runs one whole calculation. `separator` is the decimal separator of the user's locale and
// `language` the one of the summary. Never throws for bad input; every outcome is in the result.
CalculationResult Calculate(const DesignFields& design, char separator,
                            Language language = Language::Russian);

// Calculate on other element values than the design's own: after the design run, `revalue` may
// change the values the circuit is built from (the crystals of a measured set, say); the circuit
// is rebuilt from them and the level at Fo taken again before the searches.
// In the exact way `designCrystal` (a set's mean crystal, with its trim) gives the effective
// inductance; without it the design's own crystal does.
class CircuitAnalysis;
CalculationResult CalculateRevalued(const DesignFields& design, char separator, Language language,
                                    const std::function<void(ElementValues&)>& revalue,
                                    const std::optional<Resonator>& designCrystal = std::nullopt);

// Whether a design's band is measured under the highest point of its response: the exact way
// and every design outside the classic table. The classic ones keep the first maximum above Fo,
// as their summaries always had it.
bool MeasuresFromHighest(const DesignInput& input);

// The band of a finished calculation where Расчет found it: its edges at the level asked (as
// the summary measures them) and its peak, in Hz. Unset unless the calculation is done. Every
// tool that needs the band (time views, default spans, the measured overlay, the report) takes
// it from here.
struct PassBand {
    double lowerHz = 0;
    double upperHz = 0;
    double peakHz = 0;
    double CentreHz() const { return (lowerHz + upperHz) / 2; }
    double WidthHz() const { return upperHz - lowerHz; }
};
std::optional<PassBand> BandOf(const CalculationResult& result);

// The searches and the sweep of a calculation on a circuit already built, whose level at Fo is
// result.measurements.RespAtFoDb: the peak, the band edges at levelBelowPeakDb (negative) under
// it, the curve and the band width, into result; from the highest point where result.input
// says so (MeasuresFromHighest). Returns the warning that stopped it, if any.
MessageId MeasureBuiltCircuit(CircuitAnalysis& circuit, double foHz, double levelBelowPeakDb,
                              CalculationResult& result);

// Limits of what a builder can solder, and of a band a design may miss by.
inline constexpr double CautionWidthShare = 0.10;
// A Cohn ladder whose least ripple is over this, in dB, is not called flat.
inline constexpr double CohnFlatRippleDb = 1.5;
inline constexpr double SmallestCapacitorPF = 1;
inline constexpr double LargestCapacitorPF = 10000;
inline constexpr double SmallestTerminationOhm = 5;
inline constexpr double LargestTerminationOhm = 20000;
inline constexpr double LargestTrimPF = 1000;

// Ends a calculation with an error: no curve, `message` says why.
void Refuse(CalculationResult& result, const Message& message);

// The first doubt about a finished design, in this order: a width more than 10 % off dF, a
// capacitor of the schematic under 1 pF or over 10 nF, a termination under 5 Ohm or over
// 20 kOhm, a trim of `trimsPF` over 1 nF. None when there is none.
Message CautionOf(const CalculationResult& result, char separator,
                  std::span<const double> trimsPF = {});

// What the overlay status bar shows for a finished curve after "АЧХn: " ("Curve n: "): the
// prototype, the band width as typed (with " точно", " exact", for an exact design) and Ck where
// the design has one.
std::string OverlaySummary(const CalculationResult& result, const std::string& dfText,
                           char separator, Language language = Language::Russian);

// The whole status text of the overlay at position 0..4.
std::string OverlayStatusText(int position, const CalculationResult& result,
                              const std::string& dfText, char separator,
                              Language language = Language::Russian);

}  // namespace feldan
