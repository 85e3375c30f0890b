#include "cli/feldan_cli.h"

#include <clocale>
#include <fstream>
#include <string>
#include <vector>

#include "cli/analysis_commands.h"
#include "cli/build_commands.h"
#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/crystal_commands.h"
#include "engine/errors.h"
#include "engine/version.h"

namespace feldan::cli {
namespace {

constexpr const char* ProgramName = "feldan-cli";

// A message may quote a text from a design file or the command line. Control characters in it
// (an escape sequence, say) would act on the terminal instead of being read, so they are shown
// as \xNN; C1 controls (U+0080..U+009F in UTF-8) likewise. Line breaks stay.
std::string ForTerminal(const std::string& text) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c0 = (c < 0x20 && c != '\n' && c != '\t') || c == 0x7f;
        const bool c1 = c == 0xc2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9f;
        if (c0) {
            shown += "\\x";
            shown += Hex[c >> 4];
            shown += Hex[c & 15];
        } else if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            shown += "\\u00";
            shown += Hex[code >> 4];
            shown += Hex[code & 15];
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

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
std::optional<int> ParseRequest(int argc, const char* const* argv, std::ostream& out,
                                std::ostream& err, char systemSeparator, Request& request) {
    CLI::App app{"", ProgramName};
    DefineOptions(app, request.options);
    app.set_version_flag("--version", std::string(ProgramName) + " " + VersionText,
                         "Print the version and exit.");
    const std::vector<std::string> args = SplitEmptyValues(app, argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& arg : args)
        pointers.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        err << ProgramName << ": " << error.what() << '\n'
            << "Run '" << ProgramName << " --help' for the options.\n";
        return 2;
    }
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
        err << ForTerminal(error.what()) << '\n';
        return 2;
    }
    if (!CalculationAsked(request.options)) return 0;
    if (auto problem = ReadCrystalSetOption(request.options, request.fields, request.crystalSet)) {
        err << ProgramName << ": " << ForTerminal(*problem) << '\n'
            << "Run '" << ProgramName << " --help' for the options.\n";
        return 2;
    }
    return std::nullopt;
}

// Step 3: the calculation and its outputs.
int CalculateAndReport(const Request& request, std::ostream& out, std::ostream& err) {
    const CliOptions& options = request.options;
    const ShellReport result =
        Calculate(request.fields, request.separator, options.overlay, LanguageOf(options),
                  request.crystalSet.crystals, request.crystalSet.trim);
    int status = ExitStatusOf(result.ending);

    if (result.message) err << ForTerminal(*result.message) << '\n';
    if (!options.curvePath.empty()) {
        std::ofstream file(options.curvePath, std::ios::binary | std::ios::trunc);
        if (file) WriteCurveCsv(result.curve, file);
        file.close();
        if (!file) {
            err << ProgramName << ": cannot write the curve to '" << options.curvePath << "'\n";
            status = 2;
        }
    }
    if (options.json) {
        WriteJson(result, out);
    } else {
        if (result.resultText) out << *result.resultText << '\n';
        if (result.statusText) out << *result.statusText << '\n';
        if (result.crystalSetText) out << *result.crystalSetText << '\n';
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
    if (argc > 1 && IsBuildCommand(argv[1])) {
        return RunBuildCommand(std::vector<std::string>(argv + 1, argv + argc), out, err);
    }
    if (argc > 1 && IsAnalysisCommand(argv[1])) {
        return RunAnalysisCommand(std::vector<std::string>(argv + 1, argv + argc), out, err);
    }
    if (argc > 1 && IsCrystalCommand(argv[1])) {
        return RunCrystalCommand(std::vector<std::string>(argv + 1, argv + argc), out, err);
    }
    Request request;
    if (auto status = ParseRequest(argc, argv, out, err, systemSeparator, request)) return *status;
    if (auto status = ResolveRequest(request, err)) return *status;
    return CalculateAndReport(request, out, err);
}

}  // namespace feldan::cli
