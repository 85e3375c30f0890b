#include "cli/transient_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/analysis_commands.h"
#include "cli/calculation.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "engine/number_text.h"
#include "engine/time_response.h"
#include "files/sweep_csv.h"
#include "files/transient_json.h"

namespace feldan::cli {

namespace {

using Json = nlohmann::ordered_json;

// Marks of a keyed train: enough for the gap between the second and the third.
constexpr int TrainDots = 5;

// "none", "hann" or "kaiser:B"; nothing for anything else.
std::optional<WindowChoice> ParseWindow(const std::string& text) {
    if (text == "none") return WindowChoice{};
    if (text == "hann") return WindowChoice{TransientWindow::Hann, 0};
    const std::string prefix = "kaiser:";
    if (text.rfind(prefix, 0) != 0) return std::nullopt;
    double beta = 0;
    const char* begin = text.data() + prefix.size();
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(begin, end, beta);
    if (parsed.ec != std::errc() || parsed.ptr != end || !(beta >= 0) || beta > 50)
        return std::nullopt;
    return WindowChoice{TransientWindow::Kaiser, beta};
}

std::string Shown(const std::optional<double>& value, int decimals) {
    if (!value || !std::isfinite(*value)) return "—";
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(decimals);
    text << *value;
    return text.str();
}

// time_ms and the curve: step, impulse_per_ms, or the keying's input and the output.
std::string TimeCsv(const TimeResponse& response, TimeKind kind) {
    std::vector<double> timeMs(response.output.size());
    for (std::size_t i = 0; i < timeMs.size(); ++i)
        timeMs[i] = double(i) * response.dtMs;
    std::vector<TableColumn> columns = {FullColumn("time_ms", timeMs)};
    if (kind == TimeKind::Keyed) {
        columns.push_back(FullColumn("input", response.input));
        columns.push_back(FullColumn("output", response.output));
    } else {
        columns.push_back(
            FullColumn(kind == TimeKind::Impulse ? "impulse_per_ms" : "step", response.output));
    }
    return TableCsv(columns);
}

// What the command line asks of the transient command.
struct TransientChoices {
    AnalysisOptions options;
    std::string kind = "step", window = "none", csvPath;
    std::optional<double> wpm, pulseMs;
    double riseMs = 0;
    bool json = false;
};

void DeclareTransientOptions(CLI::App& app, TransientChoices& c) {
    AddDesignOptions(app, c.options.design);
    Check(app.add_option("--circuit", c.options.circuit,
                         "schematic: the design as built (default); analysed: the circuit of the "
                         "pass-band curve.")
              ->type_name("WHICH"),
          OneOf({"analysed", "schematic"}));
    Check(app.add_option("--kind", c.kind,
                         "step (default), impulse, or keyed: the carrier keyed by dots (--wpm) or "
                         "one pulse (--pulse-ms).")
              ->type_name("KIND"),
          OneOf({"step", "impulse", "keyed"}));
    Check(app.add_option("--wpm", c.wpm,
                         "Dots at N words a minute (PARIS: a dot is 1200/N ms, the space as long). "
                         "Default 25 for --kind keyed.")
              ->type_name("N"),
          Between(1, 1000, Quantity::Number));
    Check(app.add_option("--pulse-ms", c.pulseMs, "One pulse of T ms instead of dots.")
              ->type_name("T"),
          Between(0.01, 10000, Quantity::Number));
    Check(app.add_option("--rise-ms", c.riseMs,
                         "Raised-cosine keying edges of this rise time; rectangular unless given.")
              ->type_name("T"),
          Between(0, 1000, Quantity::Number));
    app.add_option("--window", c.window,
                   "none (default), hann or kaiser:B, on the spectrum before the transform; for "
                   "the curve only, the figures are always taken without a window.")
        ->type_name("WINDOW");
    Check(app.add_option("--csv", c.csvPath, "Write the curve to FILE: time_ms and its columns.")
              ->type_name("FILE"),
          FileName());
    app.add_flag("--json", c.json, "Print the figures as one JSON object.");
}

// What is wrong with options that each pass alone; nothing when they go together.
std::optional<std::string> TransientChoicesProblem(const TransientChoices& c, bool windowKnown,
                                                   Language said) {
    if (!windowKnown) {
        return InLanguage(said, "--window: none, hann или kaiser:B (B от 0 до 50)",
                          "--window must be none, hann or kaiser:B (B from 0 to 50)");
    }
    if (c.wpm && c.pulseMs) {
        return InLanguage(said, "--wpm и --pulse-ms вместе не задаются",
                          "--wpm and --pulse-ms exclude each other");
    }
    if ((c.wpm || c.pulseMs || c.riseMs > 0) && c.kind != "keyed") {
        return InLanguage(said, "--wpm, --pulse-ms и --rise-ms нужны для --kind keyed",
                          "--wpm, --pulse-ms and --rise-ms go with --kind keyed");
    }
    return std::nullopt;
}

// The figures a line each; the gap between dots only for a train of dots.
void PrintTransientFigures(const TimeResponse& response, bool dots, Language said,
                           std::ostream& out) {
    const TransientFigures& figures = response.figures;
    const auto line = [&](std::string_view russian, std::string_view english,
                          const std::optional<double>& value, int decimals) {
        WriteLine(out, InLanguage(said, russian, english) + ": " + Shown(value, decimals));
    };
    line("задержка до 50 %, мс", "delay to 50 %, ms", figures.delayMs, 4);
    line("нарастание 10–90 %, мс", "rise 10–90 %, ms", figures.riseMs, 4);
    line("выброс, %", "overshoot, %", figures.overshootPct, 2);
    line("спад до −20 дБ, мс", "decay to −20 dB, ms", figures.decay20Ms, 4);
    line("спад до −40 дБ, мс", "decay to −40 dB, ms", figures.decay40Ms, 4);
    if (dots) line("провал между точками, дБ", "gap between dots, dB", figures.interDotDb, 1);
    if (!response.spectrum.reachesFloor) {
        WriteLine(out,
                  InLanguage(said, "Спектр не спадает на 80 дБ в 256 полосах: цифры приблизительны",
                             "The spectrum does not fall 80 dB within 256 band widths: the "
                             "figures are approximate"));
    }
}

}  // namespace

int RunTransient(const std::vector<std::string>& args, Language language, std::ostream& out,
                 std::ostream& err) {
    CLI::App app{
        "The designed filter in time: the envelope of its step or impulse response, or of a "
        "keyed carrier (dots at a speed, or one pulse), and its delay, rise time, overshoot, "
        "decay and the gaps between dots.",
        "transient"};
    TransientChoices c;
    DeclareTransientOptions(app, c);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    const std::optional<WindowChoice> shape = ParseWindow(c.window);
    const Language said = LanguageOf(c.options.design);
    if (auto problem = TransientChoicesProblem(c, shape.has_value(), said))
        return ReportUsage("transient", *problem, said, err);

    Prepared prepared;
    if (auto status = Prepare("transient", c.options, err, prepared)) return *status;
    TimeRequest request;
    request.kind = c.kind == "keyed"     ? TimeKind::Keyed
                   : c.kind == "impulse" ? TimeKind::Impulse
                                         : TimeKind::Step;
    request.keying = c.pulseMs ? Keying::Pulse(*c.pulseMs, c.riseMs)
                               : Keying::Dots(c.wpm.value_or(25), TrainDots, c.riseMs);
    request.window = *shape;
    const TimeResponse response = TimeResponseOf(prepared.filter, request);
    if (response.problem.id != MessageId::None) {
        // The band unknown because a warning stopped the searches is the warning's status.
        WriteLine(err, MessageText(response.problem, said));
        return response.warned ? 1 : 2;
    }
    const std::string csv = TimeCsv(response, request.kind);
    if (!c.csvPath.empty()) {
        if (auto status = WriteOutputFile(c.csvPath, csv, said, out, err)) return *status;
    }
    if (c.json) {
        Dump(TransientJson(response), out);
        out << '\n';
        return 0;
    }
    if (c.csvPath.empty() && c.kind != "step") {
        out << csv;
        return 0;
    }
    PrintTransientFigures(response, c.kind == "keyed" && !c.pulseMs, said, out);
    return 0;
}

}  // namespace feldan::cli
