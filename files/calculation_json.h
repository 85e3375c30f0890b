// The Calculate command's result as one JSON object: what `feldan-cli --json` prints and the web
// build's engine returns, made in one place so that the two cannot drift apart.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal.h"
#include "engine/design.h"
#include "engine/design_figures.h"
#include "engine/messages.h"

namespace feldan {

enum class Ending {
    Finished,  // the command ran to the end: exit status 0
    Warning,   // it stopped with one of its warnings: exit status 1
    Error,     // a conversion or arithmetic error abandoned it: exit status 2
};

// What a calculation leaves to show.
struct CalculationReport {
    Ending ending = Ending::Finished;
    std::optional<std::string> message;     // the warning or error text, lines joined by '\n'
    std::optional<std::string> resultText;  // the summary, lines joined by '\n'
    std::optional<std::string> statusText;  // the overlay status text of the curve
    std::optional<std::string> caution;     // a doubt about a finished design (CautionOf)
    std::vector<CurvePoint> curve;          // the points the chart would have received
    std::string ckText;                     // "Ck=… пФ" (or pF) of an overlay's status text
    CalculationResult calculation;
    // A design from crystals: the line that names the frequency they are aligned to and the
    // trims ("Fo=8861.79 кГц; Ct: ZQ1=354.6 пФ ZQ2=0 …"), and the trims in pF for the JSON.
    std::optional<std::string> crystalSetText;
    std::vector<double> trimPF;
    // The widest band an exact design would reach, for the JSON of a classic one (an exact
    // calculation carries its own in calculation.exact).
    std::optional<double> reachableDfHz;
    // The builder's figures of a finished design, for the JSON (FiguresOfDesign).
    std::optional<DesignFigures> figures;
};

// Runs one calculation, as the window does on its first command (the curve of an overlay goes
// to the first position). Given crystals (in position order), the design is theirs
// (CalculateWithCrystals). `forJson` adds what only the JSON shows: the widest band of a
// classic design and the builder's figures.
CalculationReport CalculateReport(const DesignFields& fields, char separator, bool overlay,
                                  Language language = Language::Russian,
                                  std::span<const CrystalModel> crystals = {}, bool trim = false,
                                  bool forJson = false);

// The exit status of feldan-cli for an ending: 0, 1 or 2.
int ExitStatusOf(Ending ending);

// One JSON object: the design, the synthesis and the measurements under their own names, then
// the outcome; an exact design adds ExactDesign, DesignDfHz, EffectiveLdMH, iterations and
// NarrowestDfHz, and every design ReachableDfHz, figures and warning (null when there is none).
nlohmann::ordered_json CalculationJson(const CalculationReport& report);

// The builder's figures as a JSON object: bandwidthHz at 3, 6, 20 and 60 dB, centerHz,
// flatnessDb, shapeFactor, insertionLossDb, skirt20Hz and skirt30Hz ([lower, upper]) and
// fastestWpm with wpmAbove.
nlohmann::ordered_json DesignFiguresJson(const DesignFigures& figures);

// A JSON value with every number at 17 significant digits, objects one key a line.
void DumpJson(const nlohmann::ordered_json& value, std::ostream& out, int indent = 0);

// `text` as it may reach a terminal or a JSON string: valid UTF-8 passes, except control
// characters (an escape sequence, say), which would act on the terminal instead of being read.
// C0 controls but the line break and the tab, and DEL, are shown as \xNN, C1 controls as \u00NN;
// every byte that is not part of a well-formed UTF-8 character (a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF, a sequence cut short) as \xNN.
std::string ForTerminal(std::string_view text);

}  // namespace feldan
