#include "cli/feldan_cli.h"
#include "cli/output_file.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/analysis_commands.h"
#include "cli/build_commands.h"
#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/crystal_commands.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "cli/vna_commands.h"
#include "engine/errors.h"
#include "engine/version.h"
#include "files/atomic_file.h"

namespace feldan::cli {
namespace {

constexpr const char* ProgramName = "feldan-cli";

// Everything the parsed command line asks for, before anything is calculated.
struct Request {
    CliOptions options;
    DesignFields fields;
    DesignFileLines fileLines;
    CrystalSetOption crystalSet;
    char separator = '.';
};

// Step 1: the arguments. Returns an exit status when the program is done (help, version, bad
// usage), or nothing when the request is ready.
std::optional<int> ParseRequest(int argc, const char* const* argv, Language language,
                                std::ostream& out, std::ostream& err, char systemSeparator,
                                Request& request) {
    CLI::App app{"", ProgramName};
    DefineOptions(app, request.options);
    app.set_version_flag("--version", std::string(ProgramName) + " " + VersionText,
                         "Print the version and exit.");
    const std::vector<std::string> args = SplitEmptyValues(app, argc, argv);
    if (auto status = ParseArguments(app, "", {args.begin() + 1, args.end()}, language, out, err))
        return status;
    request.separator =
        request.options.separator ? request.options.separator->front() : systemSeparator;
    return std::nullopt;
}

// Step 2: the design (design file first, then the flags), written out when asked.
std::optional<int> ResolveRequest(Request& request, std::ostream& err) {
    try {
        request.fields = ResolveDesign(request.options, request.fileLines);
        if (!request.options.saveDesignPath.empty()) {
            SaveDesign(request.options, request.fields, request.fileLines);
        }
    } catch (const CommandError& error) {
        WriteLine(err, error.what());
        return 2;
    }
    if (!CalculationAsked(request.options)) return 0;
    if (auto problem = ReadCrystalSetOption(request.options, request.fields, request.crystalSet))
        return ReportUsage("", *problem, LanguageOf(request.options), err);
    return std::nullopt;
}

// Step 3: the calculation and its outputs.
int CalculateAndReport(const Request& request, std::ostream& out, std::ostream& err) {
    const CliOptions& options = request.options;
    const CalculationReport result =
        CalculateReport(request.fields, request.separator, options.overlay, LanguageOf(options),
                        request.crystalSet.crystals, request.crystalSet.trim, options.json);
    int status = ExitStatusOf(result.ending);

    if (result.message) WriteLine(err, *result.message);
    if (!options.curvePath.empty()) {
        std::ostringstream csv;
        WriteCurveCsv(result.curve, csv);
        try {
            // Standard output takes the table before the summary.
            WriteOutput(options.curvePath, csv.str(), out);
        } catch (const CommandError&) {
            WriteLine(err,
                      std::string(ProgramName) + ": " +
                          InLanguage(LanguageOf(options),
                                     "не удалось записать кривую в «" + options.curvePath + "»",
                                     "cannot write the curve to '" + options.curvePath + "'"));
            status = 2;
        }
    }
    if (options.json) {
        WriteJson(result, out);
    } else {
        if (result.resultText) out << *result.resultText << '\n';
        if (result.statusText) WriteLine(out, *result.statusText);
        if (result.crystalSetText) out << *result.crystalSetText << '\n';
        // That a Cohn ladder cannot be flat is said on the error stream too (the other doubts
        // stay in the JSON's "warning", as scripts have always had them).
        if (result.caution && result.calculation.caution.id == MessageId::CautionCohnRipple)
            WriteLine(err, *result.caution);
    }
    out.flush();
    if (!out) status = 2;
    return status;
}

}  // namespace

char SystemDecimalSeparator() {
    // Read once and put back: nothing else in the program may depend on the C locale.
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const std::lconv* conventions = std::localeconv();
        if (conventions != nullptr && std::string(conventions->decimal_point) == ",") {
            separator = ',';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
    return separator;
}

int RunFeldanCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 char systemSeparator) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Read first, so that a usage error is said in the language asked for.
    const Language language = LanguageOfArguments(args);
    if (argc > 1 && IsBuildCommand(argv[1])) return RunBuildCommand(args, language, out, err);
    if (argc > 1 && IsAnalysisCommand(argv[1])) return RunAnalysisCommand(args, language, out, err);
    if (argc > 1 && IsCrystalCommand(argv[1])) return RunCrystalCommand(args, language, out, err);
    if (argc > 1 && IsVnaCommand(argv[1])) return RunVnaCommand(args, language, out, err);
    Request request;
    if (auto status = ParseRequest(argc, argv, language, out, err, systemSeparator, request))
        return *status;
    if (auto status = ResolveRequest(request, err)) return *status;
    return CalculateAndReport(request, out, err);
}

}  // namespace feldan::cli
