#include "cli/analysis_commands.h"
#include "cli/output_file.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/diagnose_command.h"
#include "cli/shell_text.h"
#include "cli/transient_command.h"
#include "cli/usage.h"
#include "engine/filter_figures.h"
#include "engine/measured_filter.h"
#include "engine/messages.h"
#include "engine/project.h"
#include "engine/sweep.h"
#include "files/atomic_file.h"
#include "files/filter_export.h"
#include "files/measured_json.h"
#include "files/spice.h"
#include "files/sweep_csv.h"
#include "files/sweep_json.h"
#include "files/touchstone.h"

namespace feldan::cli {

using Json = nlohmann::ordered_json;

namespace {

// --circuit and --reference-ohm, with what they mean to the command.
void AddCircuitOptions(CLI::App& app, AnalysisOptions& options, const std::string& circuitHelp,
                       const std::string& referenceHelp) {
    Check(app.add_option("--circuit", options.circuit, circuitHelp)->type_name("WHICH"),
          OneOf({"analysed", "schematic"}));
    Check(app.add_option("--reference-ohm", options.referenceOhm, referenceHelp)->type_name("R"),
          Above(0, Quantity::Resistance));
}

}  // namespace

void AddAnalysisOptions(CLI::App& app, AnalysisOptions& options) {
    AddDesignOptions(app, options.design);
    Check(
        app.add_option("--from", options.fromKHz,
                       "Start of the span, as the detuning from Fo in kHz. Default 3*dF below the "
                       "middle of the measured band.")
            ->type_name("KHZ"),
        AnyNumber());
    Check(app.add_option("--to", options.toKHz,
                         "End of the span, as the detuning from Fo in kHz. Default 3*dF above the "
                         "middle of the measured band.")
              ->type_name("KHZ"),
          AnyNumber());
    Check(app.add_option("--points", options.points,
                         "Frequencies in the span, linearly spaced: 2 to 100001. Default 1001.")
              ->type_name("N"),
          WholeBetween(2, MaxSweepPoints));
    AddCircuitOptions(app, options,
                      "schematic: the circuit as built, its end capacitors and Rin at both ends "
                      "(default); analysed: the circuit of the pass-band curve with its "
                      "terminations.",
                      "Refer the S-parameters to this resistance at both ports (50 to see the "
                      "filter as a 50 Ohm analyser does), without changing the circuit. "
                      "Default: the circuit's own terminations.");
}

std::optional<int> WriteOutputFile(const std::string& path, const std::string& text,
                                   Language language, std::ostream& out, std::ostream& err) {
    try {
        WriteOutput(path, text, out);
    } catch (const CommandError& error) {
        WriteLine(err, path + ": " + error.Text(language));
        return 2;
    }
    return std::nullopt;
}

namespace {

// Bad usage of `command`, said in the language of its --lang.
int Usage(const std::string& command, const AnalysisOptions& options, const std::string& russian,
          const std::string& english, std::ostream& err) {
    const Language language = LanguageOf(options.design);
    return ReportUsage(command, InLanguage(language, russian, english), language, err);
}

}  // namespace

std::optional<int> Prepare(const std::string& command, const AnalysisOptions& options,
                           std::ostream& err, Prepared& prepared) {
    if (options.fromKHz && options.toKHz && !(*options.fromKHz < *options.toKHz)) {
        return Usage(command, options, "--from должно быть меньше --to",
                     "--from must lie below --to", err);
    }
    const char separator = options.design.separator ? options.design.separator->front() : '.';
    const CircuitChoice circuit =
        options.circuit == "schematic" ? CircuitChoice::Schematic : CircuitChoice::Analysed;
    if (!options.design.projectPath.empty()) {
        // The filter as built: the project's rounding, tuning and set in force.
        Project project;
        if (auto status = ProjectOf(command, options.design, err, project)) return *status;
        const ProjectBuild build = BuildProject(project, separator);
        if (!build.built) {
            WriteLine(err, MessageText(build.message, LanguageOf(options.design)));
            return build.outcome == Outcome::Warning ? 1 : 2;
        }
        prepared.filter = FilterOfBuild(build, circuit);
        prepared.fields = project.design;
    } else {
        DesignFileLines lines;
        DesignFields fields;
        try {
            fields = ResolveDesign(options.design, lines);
        } catch (const CommandError& error) {
            WriteLine(err, error.Text(LanguageOf(options.design)));
            return 2;
        }
        CrystalSetOption set;
        if (auto problem = ReadCrystalSetOption(options.design, fields, set))
            return ReportUsage(command, *problem, LanguageOf(options.design), err);
        prepared.filter = DesignFilter(fields, separator, circuit, set.crystals, set.trim);
        prepared.fields = fields;
    }
    const CalculationResult& design = prepared.filter.design;
    if (design.outcome != Outcome::Done) {
        WriteLine(err, MessageText(design.message, LanguageOf(options.design)));
        return design.outcome == Outcome::Warning ? 1 : 2;
    }
    SweepRequest& request = prepared.request;
    if (options.fromKHz) request.fromDetuningHz = *options.fromKHz * 1000;
    if (options.toKHz) request.toDetuningHz = *options.toKHz * 1000;
    request.points = options.points;
    request.circuit = circuit;
    request.referenceOhm = options.referenceOhm;
    const Span span = SpanOf(prepared.filter, request);
    if (!(span.fromHz < span.toHz)) {
        return Usage(command, options, "диапазон пуст: --from должно быть меньше --to",
                     "the span is empty: --from must lie below --to", err);
    }
    if (!(span.fromHz > 0))
        return Usage(command, options, "диапазон доходит до 0 Гц", "the span reaches 0 Hz", err);
    return std::nullopt;
}

namespace {

int RunSweep(const std::vector<std::string>& args, Language language, std::ostream& out,
             std::ostream& err) {
    CLI::App app{
        "Sweep the designed filter over a span: |S21|, its phase and group delay, |S11| "
        "and the input impedance at every frequency, as CSV (to standard output unless "
        "--csv names a file) or JSON.",
        "sweep"};
    AnalysisOptions options;
    AddAnalysisOptions(app, options);
    std::string csvPath;
    bool json = false;
    Check(app.add_option("--csv", csvPath, "Write the CSV to FILE.")->type_name("FILE"),
          FileName());
    app.add_flag("--json", json, "Print the points as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    Prepared prepared;
    if (auto status = Prepare("sweep", options, err, prepared)) return *status;
    const SweepResult sweep = SweepFilter(prepared.filter, prepared.request);
    const double foHz = prepared.filter.design.input.FoKHz * 1000;
    if (!csvPath.empty()) {
        if (auto status = WriteOutputFile(csvPath, SweepTableCsv(sweep, foHz), language, out, err))
            return *status;
    }
    if (json) {
        Dump(SweepJson(sweep), out);
        out << '\n';
    } else if (csvPath.empty()) {
        out << SweepTableCsv(sweep, foHz);
    }
    return 0;
}

int RunExport(const std::vector<std::string>& args, Language language, std::ostream& out,
              std::ostream& err) {
    CLI::App app{
        "Export the designed filter: its S-parameters as a Touchstone file, or its circuit "
        "as a SPICE netlist for ngspice or LTspice.",
        "export"};
    AnalysisOptions options;
    AddAnalysisOptions(app, options);
    std::string touchstonePath, spicePath, dialect = "ngspice";
    auto* touchstone = Check(app.add_option("--touchstone", touchstonePath,
                                            "Write a version 1.1 .s2p file (Hz, RI) to FILE.")
                                 ->type_name("FILE"),
                             FileName());
    auto* spice = Check(
        app.add_option("--spice", spicePath, "Write a SPICE netlist to FILE.")->type_name("FILE"),
        FileName());
    touchstone->excludes(spice);
    Check(app.add_option("--dialect", dialect,
                         "ngspice (default; ends with a .control block that writes the response) "
                         "or ltspice (ends with .meas lines).")
              ->type_name("NAME"),
          OneOf({"ngspice", "ltspice"}));
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    if (touchstonePath.empty() && spicePath.empty()) {
        return Usage("export", options, "задайте --touchstone FILE или --spice FILE",
                     "give --touchstone FILE or --spice FILE", err);
    }
    Prepared prepared;
    if (auto status = Prepare("export", options, err, prepared)) return *status;
    const std::vector<std::string> comments = DesignComments(prepared.filter);
    std::string bytes;
    std::string path;
    if (!touchstonePath.empty()) {
        bytes = FilterTouchstone(prepared.filter, prepared.request);
        path = touchstonePath;
    } else {
        SpiceRequest request;
        request.dialect = dialect == "ltspice" ? SpiceDialect::LTspice : SpiceDialect::Ngspice;
        const Span span = SpanOf(prepared.filter, prepared.request);
        request.fromHz = span.fromHz;
        request.toHz = span.toHz;
        request.points = prepared.request.points;
        request.comments = comments;
        const std::string name = spicePath.substr(
            spicePath.find_last_of('/') == std::string::npos ? 0 : spicePath.find_last_of('/') + 1);
        request.dataFile = name.substr(0, name.find_last_of('.')) + ".ac.txt";
        bytes = SpiceNetlist(prepared.filter, request);
        path = spicePath;
    }
    if (auto status = WriteOutputFile(path, bytes, language, out, err)) return *status;
    return 0;
}

// Spaces that fill `text` to `width` characters on a terminal (UTF-8: one per code point).
std::string Padding(const std::string& text, std::size_t width) {
    std::size_t shown = 0;
    for (unsigned char c : text)
        shown += (c & 0xC0) != 0x80;
    return std::string(shown < width ? width - shown : 1, ' ');
}

// The figures of both curves side by side, one row each.
void WriteFigures(const FilterFigures& measured, const FilterFigures& design,
                  std::optional<double> shiftHz, Language language, std::ostream& out) {
    constexpr std::size_t NameWidth = 22, CellWidth = 14;
    const auto cell = [](const std::optional<double>& value, int digits) {
        const std::string text = value ? Short(*value, digits) : std::string("—");
        return text + Padding(text, CellWidth);
    };
    const auto row = [&](const std::string& name, const std::optional<double>& a,
                         const std::optional<double>& b, int digits) {
        const std::string last = b ? Short(*b, digits) : std::string("—");
        out << name << Padding(name, NameWidth) << cell(a, digits) << last << '\n';
    };
    const std::string first = InLanguage(language, "измерение", "measured");
    out << std::string(NameWidth, ' ') << first << Padding(first, CellWidth)
        << InLanguage(language, "расчёт", "design") << '\n';
    row(InLanguage(language, "центр, Гц", "centre, Hz"), measured.centreHz, design.centreHz, 10);
    row(InLanguage(language, "пик, дБ", "peak, dB"), measured.peakDb, design.peakDb, 4);
    for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k) {
        const std::string level = Short(FigureLevelsDb[k], 10);
        row(InLanguage(language, "полоса −" + level + " дБ, Гц", "width −" + level + " dB, Hz"),
            measured.bandwidthHz[k], design.bandwidthHz[k], 6);
    }
    row(InLanguage(language, "плоскостность, дБ", "flatness, dB"), measured.flatnessDb,
        design.flatnessDb, 3);
    out << InLanguage(language, "сдвиг центров, Гц: ", "shift of the centres, Hz: ")
        << (shiftHz ? Short(*shiftHz, 6) : std::string("—")) << '\n';
}

// A measured filter beside its design: the figures of both, from the same rules.
int RunMeasured(const std::vector<std::string>& args, Language language, std::ostream& out,
                std::ostream& err) {
    CLI::App app{
        "Compare a measured filter (.s2p) with its design: the centre, the peak, the widths at "
        "3, 6, 20 and 60 dB below the peak, the flatness and the shift of the centres.",
        "measured"};
    AnalysisOptions options;
    AddDesignOptions(app, options.design);
    std::string path, renormalize;
    bool assumeSymmetric = false, json = false;
    app.add_option("FILE", path, "The filter's sweep, .s2p.")->required();
    AddCircuitOptions(app, options,
                      "schematic: the design as built (default); analysed: the circuit of the "
                      "pass-band curve.",
                      "Sweep the design between ports of R, as an analyser of R sees it "
                      "unmatched. Default: the design's own terminations.");
    app.add_option("--renormalize-ohm", renormalize,
                   "Renormalise the measurement to ports of R, or of the design's terminations "
                   "with 'design': a filter measured unmatched in 50 Ohm seen between its own.")
        ->type_name("R|design");
    app.add_flag("--assume-symmetric", assumeSymmetric,
                 "Take S12 = S21 and S22 = S11 where the file holds no reverse measurement (a "
                 "NanoVNA writes zeros there).");
    app.add_flag("--json", json, "Print the figures as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    std::optional<double> renormalizeOhm;
    if (!renormalize.empty() && renormalize != "design") {
        const char* end = renormalize.data() + renormalize.size();
        double value = 0;
        const auto parsed = std::from_chars(renormalize.data(), end, value);
        if (parsed.ec != std::errc() || parsed.ptr != end || !(value > 0) || !std::isfinite(value))
            return Usage("measured", options,
                         "--renormalize-ohm: нужно сопротивление больше 0 Ом или design",
                         "--renormalize-ohm must be a resistance above 0 Ohm or design", err);
        renormalizeOhm = value;
    }

    TouchstoneData data;
    try {
        data = ReadTouchstoneFile(path);
    } catch (const CommandError& error) {
        WriteLine(err, error.Text(language));
        return 2;
    }
    // The file's faults before the design's, as the page reports them.
    if (const auto fault = FaultOfMeasuredFile(data, path, !renormalize.empty(), assumeSymmetric,
                                               "--assume-symmetric"))
        return Usage("measured", options, fault->russian, fault->english, err);
    Prepared prepared;
    if (auto status = Prepare("measured", options, err, prepared)) return *status;
    const double toOhm = renormalize == "design" ? prepared.filter.portOhm
                                                 : renormalizeOhm.value_or(data.referenceOhm);
    const MeasuredFilter measuredFilter = AnalyseMeasuredFilter(
        MeasuredSamplesOf(data, renormalize.empty() ? std::nullopt : std::optional<double>(toOhm)));
    const MeasuredComparison comparison =
        CompareMeasured(prepared.filter, prepared.request, measuredFilter);
    const FilterFigures& measured = comparison.measured;
    const FilterFigures& design = comparison.design;
    const std::optional<double>& shiftHz = comparison.shiftHz;
    if (json) {
        Dump(MeasuredJson(comparison), out);
        out << '\n';
    } else {
        WriteFigures(measured, design, shiftHz, language, out);
    }
    return 0;
}

}  // namespace

bool IsAnalysisCommand(const std::string& word) {
    return word == "sweep" || word == "export" || word == "measured" || word == "transient" ||
           word == "diagnose";
}

int RunAnalysisCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                       std::ostream& err) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args.front() == "measured") return RunMeasured(rest, language, out, err);
    if (args.front() == "transient") return RunTransient(rest, language, out, err);
    if (args.front() == "diagnose") return RunDiagnose(rest, language, out, err);
    return args.front() == "sweep" ? RunSweep(rest, language, out, err)
                                   : RunExport(rest, language, out, err);
}

}  // namespace feldan::cli
