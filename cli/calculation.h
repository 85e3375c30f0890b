// One Calculate command run for the shell, and what it leaves to print.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal.h"
#include "engine/design_figures.h"
#include "files/design_file.h"

namespace feldan::cli {

enum class Ending {
    Finished,  // the command ran to the end: exit status 0
    Warning,   // it stopped with one of its warnings: exit status 1
    Error,     // a conversion or arithmetic error abandoned it: exit status 2
};

// What a calculation leaves to print.
struct ShellReport {
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
// to the first position).
// Given crystals (in position order), the design is theirs (CalculateWithCrystals).
ShellReport Calculate(const DesignFields& fields, char separator, bool overlay,
                      Language language = Language::Russian,
                      std::span<const CrystalModel> crystals = {}, bool trim = false);

int ExitStatusOf(Ending ending);

// A number with 17 significant digits, independent of any locale ("null" if not finite).
std::string NumberText(double value);

// One JSON object: the design, the synthesis and the measurements under their own names, then
// the outcome; an exact design adds ExactDesign, DesignDfHz, EffectiveLdMH and iterations, and
// every design ReachableDfHz.
void WriteJson(const ShellReport& report, std::ostream& out);

// A JSON value with every number at 17 significant digits, objects one key a line.
void Dump(const nlohmann::ordered_json& value, std::ostream& out, int indent = 0);

// The curve as CSV: a header line, then one "x,y" line per point.
void WriteCurveCsv(const std::vector<CurvePoint>& curve, std::ostream& out);

}  // namespace feldan::cli
