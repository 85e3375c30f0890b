#include "cli/diagnose_command.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "cli/analysis_commands.h"
#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "engine/diagnosis.h"
#include "engine/project.h"
#include "files/diagnosis_json.h"
#include "files/touchstone.h"

namespace feldan::cli {

int RunDiagnose(const std::vector<std::string>& args, Language language, std::ostream& out,
                std::ostream& err) {
    CLI::App app{
        "Find what was built from the filter's measured sweep (.s2p): the schematic as built "
        "fitted to the complex S21 (and S11, S22 where measured), every capacitor, each "
        "crystal's offset and the crystals' common Rm, with the bound the sweep sets on each, "
        "and what to change.",
        "diagnose"};
    CliOptions design;
    AddDesignOptions(app, design);
    std::string path;
    std::optional<double> referenceOhm;
    bool json = false;
    app.add_option("FILE", path, "The filter's sweep, .s2p, as the analyser wrote it.")->required();
    Check(app.add_option("--reference-ohm", referenceOhm,
                         "The ports the filter was measured between, when not the file's own "
                         "reference: the design's terminations, when the builder measured "
                         "through them.")
              ->type_name("R"),
          Above(0, Quantity::Resistance));
    app.add_flag("--json", json, "Print the answer as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    const Language said = LanguageOf(design);

    TouchstoneData data;
    try {
        data = ReadTouchstoneFile(path);
    } catch (const CommandError& error) {
        WriteLine(err, error.Text(said));
        return 2;
    }
    if (const auto fault = FaultOfDiagnosisFile(data, path, referenceOhm))
        return ReportUsage("diagnose", InLanguage(said, fault->russian, fault->english), said, err);
    Project project;
    if (auto status = ProjectOf("diagnose", design, err, project)) return *status;
    const char separator = design.separator ? design.separator->front() : '.';
    const ProjectBuild build = BuildProject(project, separator);
    if (!build.built) {
        WriteLine(err, MessageText(build.message, said));
        return build.outcome == Outcome::Warning ? 1 : 2;
    }
    const ESeries series = project.rounding ? project.rounding->series : ESeries::E24;
    const Diagnosis diagnosis =
        DiagnoseFilter(AsBuilt(build), DiagnosisSweepOf(data, referenceOhm), {}, nullptr, series);
    if (diagnosis.verdict == DiagnosisVerdict::Refused) {
        WriteLine(err, path + ": " + MessageText(diagnosis.message, said));
        return 2;
    }
    if (json) {
        Dump(DiagnosisJson(diagnosis, said), out);
        out << '\n';
    } else {
        WriteLine(out, DiagnosisText(diagnosis, said));
    }
    return diagnosis.verdict == DiagnosisVerdict::Fitted ? 0 : 1;
}

}  // namespace feldan::cli
