#include "cli/command_line.h"

#include "circuit/topologies.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "engine/calculate.h"
#include "engine/ladder_design.h"
#include "files/crystal_csv.h"
#include "files/project_file.h"

#include <sstream>
#include <string_view>
#include <vector>

namespace feldan::cli {
namespace {

constexpr std::size_t HelpWidth = 80;

constexpr const char* HelpName = "feldan-cli - calculate a crystal ladder filter from the shell";

constexpr const char* HelpDescription[] = {
    "Designs one crystal ladder filter from the data of its resonator, exactly as the "
    "Calculate command of the Feldan window does: element synthesis, circuit analysis at Fo, "
    "the search for the response maximum and the band edges in steps of 1 Hz, and the "
    "five-line summary, which is printed on standard output (UTF-8, one line each).",
    "Every input option takes a text exactly as it would be typed into the window's field, "
    "with either decimal separator, \".\" or \",\". An empty text is the empty field, "
    "given as --ck \"\" or --ck= alike. An option that is not given keeps the window's start "
    "value, or the value of the --design file. "
    "Warnings of the calculation and errors go to standard error.",
};

struct HelpItem {
    const char* term;
    const char* text;
};

// The subcommands, as IsBuildCommand, IsAnalysisCommand, IsCrystalCommand and IsVnaCommand know
// them.
constexpr HelpItem HelpSubcommands[] = {
    {"fit FILE",
     "Fit the model of a crystal (Fo, Ld, Cs, Rd, Cm, Q) to a network analyser's sweep, .s2p or "
     ".s1p; with --modes K, its unwanted modes in a wide sweep."},
    {"g3uur", "Cm and Ld of a crystal from the readings of the G3UUR oscillator method."},
    {"crystals FILE...|pick BAG.csv",
     "Fit every sweep and read every crystal list, print the table and pick the best matched "
     "set; crystals pick: the crystals of a set, and their positions, picked from a bag by the "
     "response they give the design, beside the set of the smallest fs spread."},
    {"sweep",
     "S21 with its phase and group delay, S11 and the input impedance of the designed filter over "
     "a span, as CSV or JSON."},
    {"export", "The designed filter as a Touchstone file or a SPICE netlist."},
    {"measured FILE",
     "A measured filter beside its design: centre, peak, widths at 3 to 60 dB, flatness, and the "
     "shift of the centres; the measurement renormalised to any ports."},
    {"diagnose FILE",
     "What was built: the filter's parts fitted to its measured sweep (.s2p), each capacitor, "
     "each crystal's offset and the crystals' Rm with their bounds, the parts the sweep cannot "
     "tell apart, and what to change."},
    {"transient",
     "The filter in time: the step, impulse or keyed response of its envelope, with the delay, "
     "rise time, overshoot, decay and the gaps between dots."},
    {"round",
     "Every capacitor of the schematic rounded to a standard value, and the filter as built "
     "simulated again."},
    {"match",
     "The L network or the transformer that matches each end of the filter as built to a source "
     "and load of 50 Ohm."},
    {"tolerance",
     "Monte Carlo trials of the filter as built within its parts' tolerances: the spread of band "
     "width, ripple and minimum attenuation, and the yield."},
    {"vna list|sweep|crystal",
     "A NanoVNA on a USB serial port: list the ports, write a sweep of any length as .s2p, or "
     "measure and fit a crystal in series between its ports."},
};

constexpr const char* HelpSubcommandNote =
    "Each subcommand takes the options its own --help lists, and --lang; those that work on a "
    "design take the design options above as well.";

constexpr HelpItem HelpExitStatus[] = {
    {"0", "The calculation ran to the end."},
    {"1",
     "The calculation stopped with one of its warnings (missing data, zero resistance, no "
     "solution, level, band limit)."},
    {"2",
     "A text is not a number, an arithmetic error (division by zero, invalid operation, "
     "overflow), a file error, a fault of the analyser or its port, or bad usage."},
};

constexpr HelpItem HelpExamples[] = {
    {"feldan-cli", "The summary of the default design (four-crystal ladder, Butterworth)."},
    {"feldan-cli --type 5 --response 2 --ck 82 --df 500",
     "A 4CW filter, Chebyshev 0.044 dB, 500 Hz wide."},
    {"feldan-cli --json --curve response.csv",
     "Every design value as JSON, and the response curve as CSV."},
    {"feldan-cli --lang en", "The same summary in English."},
    {"feldan-cli --design a.fdn --df 2400 --save-design b.fdn",
     "The design of a.fdn with dF changed to 2400 Hz, written to b.fdn and calculated."},
};

// Words (or other units) wrapped to `width` columns; the first line is indented by `indent`
// spaces, the following ones by `hang`.
std::string Wrap(const std::vector<std::string>& units, std::size_t indent, std::size_t hang,
                 std::size_t width) {
    std::string result;
    std::string line;
    std::size_t lineIndent = indent;
    for (const std::string& unit : units) {
        if (!line.empty() && lineIndent + line.size() + 1 + unit.size() > width) {
            result += std::string(lineIndent, ' ') + line + '\n';
            line.clear();
            lineIndent = hang;
        }
        line += (line.empty() ? "" : " ") + unit;
    }
    if (!line.empty()) result += std::string(lineIndent, ' ') + line + '\n';
    return result;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

// The placeholder of an option's value ("N", "T", "FILE"), or empty for a flag.
std::string Metavar(const CLI::Option* option) {
    if (option->get_items_expected_max() == 0) return "";
    const std::string typeName = option->get_type_name();
    return typeName.substr(0, typeName.find(':'));
}

std::string Usage(const CLI::Option* option) {
    const std::string metavar = Metavar(option);
    return "--" + option->get_lnames().front() + (metavar.empty() ? "" : " " + metavar);
}

// A help text laid out like a manual page. The synopsis and the option list are made from the
// declared options, so an option added later appears in both.
class ManualFormatter : public CLI::FormatterBase {
  public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        const std::vector<const CLI::Option*> options =
            app->get_options([](const CLI::Option* o) { return !o->get_lnames().empty(); });
        // The synopsis of a calculation leaves out the two options that only print.
        std::vector<std::string> synopsis = {"feldan-cli"};
        for (const CLI::Option* option : options) {
            const std::string& name = option->get_lnames().front();
            if (name != "help" && name != "version") synopsis.push_back("[" + Usage(option) + "]");
        }

        std::string help = "NAME\n" + Wrap(Words(HelpName), 4, 4, HelpWidth);
        help += "\nSYNOPSIS\n" + Wrap(synopsis, 4, 15, HelpWidth);
        help += "    feldan-cli SUBCOMMAND [OPTIONS]\n";
        help += "    feldan-cli --help\n    feldan-cli --version\n";
        help += "\nDESCRIPTION\n";
        for (const char* paragraph : HelpDescription) {
            if (paragraph != HelpDescription[0]) help += "\n";
            help += Wrap(Words(paragraph), 4, 4, HelpWidth);
        }
        help += "\nOPTIONS\n";
        for (const CLI::Option* option : options) {
            help += "    " + Usage(option) + "\n";
            help += Wrap(Words(option->get_description()), 8, 8, HelpWidth);
        }
        help += "\nSUBCOMMANDS\n";
        for (const HelpItem& item : HelpSubcommands)
            help +=
                "    " + std::string(item.term) + "\n" + Wrap(Words(item.text), 8, 8, HelpWidth);
        help += "\n" + Wrap(Words(HelpSubcommandNote), 4, 4, HelpWidth);
        help += "\nEXIT STATUS\n";
        for (const HelpItem& item : HelpExitStatus)
            help +=
                "    " + std::string(item.term) + "\n" + Wrap(Words(item.text), 8, 8, HelpWidth);
        help += "\nEXAMPLES\n";
        for (const HelpItem& item : HelpExamples)
            help +=
                "    " + std::string(item.term) + "\n" + Wrap(Words(item.text), 8, 8, HelpWidth);
        return help;
    }
};

}  // namespace

std::string NamingTheFile(const std::string& path, const CommandError& error, Language language) {
    std::string reason = error.Text(language);
    reason.erase(0, reason.find_first_not_of(' '));
    reason.erase(reason.find_last_not_of(' ') + 1);
    return path + ": " + reason;
}

Language LanguageOf(const CliOptions& options) {
    return options.lang == "en" ? Language::English : Language::Russian;
}

void AddLanguageOption(CLI::App& app, std::string& lang) {
    Check(app.add_option("--lang", lang,
                         "Language of the results, the warnings and the messages: \"ru\" (Russian, "
                         "as the window has always spoken) or \"en\" (English). Default ru. The "
                         "numbers are the same in both.")
              ->type_name("L"),
          OneOf({"ru", "en"}));
}

void AddDesignValueOptions(CLI::App& app, CliOptions& options, SeparatorUse separatorUse) {
    Check(app.add_option("--type", options.type,
                         "Topology: 1 three-crystal, 2 four-crystal, 3 six-crystal, "
                         "4 eight-crystal, 5 4CW, 6 6CW, 7 8CW ladder. Default 2. Not with "
                         "--topology.")
              ->type_name("N"),
          WholeBetween(1, ClassicFilterTypeCount));
    Check(app.add_option("--topology", options.topology,
                         "Topology by its structure, with --order: \"ladder\" (a shunt "
                         "capacitor between every two crystals), \"cw\" (the CW ladder, with "
                         "Ck on both sides of every second coupling) or \"qer\" (the "
                         "quasi-equiripple ladder: one coupling capacitor throughout, the end "
                         "crystals doubled; its own response, whatever --response says). The "
                         "classic counts are the classic topologies (ladder 3, 4, 6, 8; cw 4, "
                         "6, 8).")
              ->type_name("S"),
          OneOf({"ladder", "cw", "qer"}));
    Check(app.add_option("--order", options.order,
                         "Crystals of --topology: 2 to 12 for a ladder, 4, 6, 8, 10 or 12 for "
                         "cw; poles (meshes) of qer, 4 to 12, each end of two crystals.")
              ->type_name("N"),
          WholeBetween(MinLadderCrystals, MaxLadderCrystals));
    Check(app.add_option("--response", options.response,
                         "Response: 1 Butterworth, 2 to 5 Chebyshev with 0.044, 0.099, 0.177 or "
                         "0.28 dB ripple (the classic ones); or by name: \"butterworth\", "
                         "\"chebyshev:R\" with a ripple of R dB, 0.01 to 3 (either decimal "
                         "separator), \"bessel\" (maximally flat delay), \"legendre\" "
                         "(monotonic, the steepest edge of the monotonic responses), "
                         "\"gaussian\" (no overshoot), \"gaussian6\" and \"gaussian12\" "
                         "(Gaussian down to 6 or 12 dB, steeper beyond), \"linear-phase:0.05\" "
                         "and \"linear-phase:0.5\" (flat delay, the phase within 0.05 or 0.5 "
                         "degrees of a line; 2 to 10 crystals, the Gaussian ones 3 to 10), "
                         "\"cohn\" (a plain ladder of 3 to 12 crystals whose coupling "
                         "capacitors are all equal, terminated for the flattest top); dF is "
                         "the width at -3 dB but for Chebyshev, where it is the ripple band. "
                         "These later responses end in different terminations. Default 1.")
              ->type_name("R"),
          [](const std::string& name, std::string& text) {
              try {
                  ParseResponseOption(text);
              } catch (const UsageError& error) {
                  throw UsageError(name + ": " + error.Text(Language::Russian),
                                   name + " " + error.Text(Language::English));
              }
          });
    app.add_option("--fo", options.fo, "Series resonance frequency Fo in kHz. Default 8861.736.")
        ->type_name("T");
    app.add_option("--ld", options.ld, "Motional inductance Ld in mH. Default 10.1.")
        ->type_name("T");
    app.add_option("--cs", options.cs, "Static capacitance Cs in pF. Default 6.3.")->type_name("T");
    app.add_option("--rd", options.rd, "Motional resistance Rd in Ohm. Default 5.7.")
        ->type_name("T");
    app.add_option("--df", options.df, "Wanted pass band width dF in Hz. Default 3100.")
        ->type_name("T");
    app.add_option("--ck", options.ck,
                   "Correction capacitance Ck in pF, used by the CW topologies (it must not be "
                   "empty for the others either). Default 91.")
        ->type_name("T");
    app.add_option("--level", options.level,
                   "Level in dB, below the response maximum, at which the band edges are "
                   "searched; negative. Default -3.")
        ->type_name("T");
    app.add_flag("--exact", options.exact,
                 "Design exactly to the request: the crystal's effective inductance with its "
                 "static capacitance, the terminations less the crystal's loss, and the design "
                 "bandwidth searched until the width measured at --level equals --df within 1 "
                 "Hz. A band the crystals cannot reach ends with a warning that names the "
                 "widest (or narrowest) one they can. Default: the classic synthesis.");
    app.add_option("--capacitor", options.capacitor,
                   "The coupling capacitor in pF of a ladder whose couplings are all one value "
                   "(--topology qer, --response cohn): the design is built around it, and the "
                   "band it makes replaces --df (with --exact too). Not for other ladders.")
        ->type_name("PF");
    const char* separatorHelp =
        separatorUse == SeparatorUse::Summary
            ? "Decimal separator of the locale, \".\" or \",\": the one the summary is written "
              "with. Default: the system locale's."
            : "Decimal separator, \".\" or \",\", with which a field text that is not a "
              "number is quoted in its message. Every field reads either separator, and the "
              "numbers are printed with \".\" whatever it is. Default \".\".";
    Check(app.add_option("--separator", options.separator, separatorHelp)->type_name("C"),
          OneOf({".", ","}, true));
    AddLanguageOption(app, options.lang);
}

void AddDesignFileOption(CLI::App& app, CliOptions& options) {
    Check(app.add_option(
                 "--design", options.designPath,
                 "Read the design (the seven field texts, the topology and the response) from "
                 "the design file FILE, as the window's Open command does, before the other "
                 "options apply: they change single values of it, and an option that is not "
                 "given keeps the file's value. A file that cannot be read, or whose topology "
                 "or response line is not an integer in range, is an error.")
              ->type_name("FILE"),
          FileName());
}

void AddCrystalSetOptions(CLI::App& app, CliOptions& options) {
    Check(app.add_option(
                 "--crystals", options.crystalsPath,
                 "Design from measured crystals: the CSV list FILE (name,fs_hz,lm_h,rm_ohm,c0_f, "
                 "as 'crystals --csv' writes it) holds one crystal per position, in order, as "
                 "many as the topology has. The synthesis takes their mean Lm, Rm and C0 as Ld, "
                 "Rd and Cs, and as Fo their mean fs (the highest with --trim); the analysis "
                 "takes each position's own crystal. Not with --fo, --ld, --cs or --rd.")
              ->type_name("FILE"),
          FileName());
    app.add_flag("--trim", options.trim,
                 "With --crystals: put in series with each crystal the capacitor that lifts its "
                 "fs to the highest of the set, and design at that frequency.");
}

std::optional<std::string> ReadCrystalSetOption(const CliOptions& options,
                                                const DesignFields& fields, CrystalSetOption& set) {
    const Language language = LanguageOf(options);
    if (options.crystalsPath.empty()) {
        if (options.trim)
            return InLanguage(language, "--trim задаётся только вместе с --crystals FILE",
                              "--trim needs --crystals FILE");
        return std::nullopt;
    }
    const std::pair<bool, const char*> conflicts[] = {
        {options.fo.has_value(), "--fo"},
        {options.ld.has_value(), "--ld"},
        {options.cs.has_value(), "--cs"},
        {options.rd.has_value(), "--rd"},
    };
    for (const auto& [given, name] : conflicts) {
        if (given) {
            return InLanguage(language, "--crystals берёт Fo, Ld, Cs и Rd у кварцев: уберите ",
                              "--crystals gives Fo, Ld, Cs and Rd from the crystals: leave out ") +
                   name;
        }
    }
    std::vector<NamedCrystal> list;
    try {
        list = ReadCrystalList(options.crystalsPath);
    } catch (const CommandError& error) {
        return error.Text(language);
    }
    if (const int count = CrystalCountOf(fields.filterType); count > 0) {
        if (static_cast<int>(list.size()) != count) {
            const std::string held = std::to_string(list.size());
            const std::string type = std::to_string(fields.filterType);
            return options.crystalsPath + InLanguage(language,
                                                     ": кварцев в списке " + held + ", а у схемы " +
                                                         type + " их " + std::to_string(count),
                                                     " holds " + held + " crystals; topology " +
                                                         type + " has " + std::to_string(count));
        }
    }
    set.crystals.clear();
    for (const NamedCrystal& crystal : list)
        set.crystals.push_back(crystal.model);
    set.trim = options.trim;
    return std::nullopt;
}

void DefineOptions(CLI::App& app, CliOptions& options) {
    app.formatter(std::make_shared<ManualFormatter>());
    app.set_help_flag("--help", "Print this help and exit.");
    AddDesignValueOptions(app, options, SeparatorUse::Summary);
    app.add_flag("--overlay", options.overlay,
                 "Calculate in overlay mode: the status text of the curve (as the window's "
                 "status bar shows it) is printed after the summary.");
    app.add_flag("--json", options.json,
                 "Print one JSON object instead of the summary: every design value under its "
                 "own name, \"message\", \"resultText\", \"statusText\" and \"points\".");
    Check(app.add_option("--curve", options.curvePath,
                         "Write the response curve to FILE as CSV (detuning_khz,attenuation_db).")
              ->type_name("FILE"),
          FileName());
    AddDesignFileOption(app, options);
    AddCrystalSetOptions(app, options);
    Check(app.add_option(
                 "--save-design", options.saveDesignPath,
                 "Write the design, after --design and the other options have applied, to the "
                 "design file FILE, exactly as named (no extension is added); an existing file "
                 "is replaced only once the new one is complete. The reserved lines 6 and 7 "
                 "come from the file of --design, or are empty. Given with no option other "
                 "than --design and --separator, only the file is written; otherwise the "
                 "design is written and then calculated as usual. A file that cannot be "
                 "written, or a text it cannot hold, is an error, and nothing is calculated.")
              ->type_name("FILE"),
          FileName());
}

std::vector<std::string> SplitEmptyValues(const CLI::App& app, int argc, const char* const* argv) {
    std::vector<std::string> args(argv, argv + argc);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") break;
        if (arg.size() < 4 || arg.rfind("--", 0) != 0 || arg.back() != '=') continue;
        const std::string name = arg.substr(0, arg.size() - 1);
        if (name.find('=') != std::string::npos) continue;
        const CLI::Option* option = app.get_option_no_throw(name);
        if (option == nullptr || option->get_items_expected_max() == 0) continue;
        args[i] = name;
        args.insert(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::string());
        ++i;
    }
    return args;
}

std::optional<int> ParseSubcommand(CLI::App& app, const std::vector<std::string>& args,
                                   Language language, std::ostream& out, std::ostream& err) {
    std::vector<const char*> argv = {"feldan-cli"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    const std::vector<std::string> split =
        SplitEmptyValues(app, static_cast<int>(argv.size()), argv.data());
    return ParseArguments(app, app.get_name(), {split.begin() + 1, split.end()}, language, out,
                          err);
}

DesignFields ResolveDesign(const CliOptions& options, DesignFileLines& fileLines) {
    DesignFields fields;  // the window's start state
    if (!options.designPath.empty()) {
        try {
            fields = LoadDesignFile(options.designPath, fileLines);
        } catch (const CommandError& error) {
            throw CommandError(NamingTheFile(options.designPath, error, LanguageOf(options)));
        }
    }
    ApplyDesignOptions(options, fields);
    return fields;
}

ResponseOption ParseResponseOption(const std::string& text) {
    if (const auto choice = ResponseOfRequest(text)) return {choice->responseType, choice->ripple};
    throw UsageError(
        "нужно 1…5, butterworth, chebyshev:R (неравномерность R дБ), bessel, legendre, "
        "gaussian, gaussian6, gaussian12, linear-phase:0.05, linear-phase:0.5 или cohn",
        "must be 1 to 5, butterworth, chebyshev:R (a ripple of R dB), bessel, legendre, "
        "gaussian, gaussian6, gaussian12, linear-phase:0.05, linear-phase:0.5 or cohn");
}

void ApplyDesignOptions(const CliOptions& options, DesignFields& fields) {
    const Language language = LanguageOf(options);
    if (options.type && options.topology) {
        throw CommandError(InLanguage(language, "--type и --topology вместе не задаются",
                                      "--type and --topology exclude each other"));
    }
    if (options.topology.has_value() != options.order.has_value()) {
        throw CommandError(InLanguage(language, "--topology и --order задаются только вместе",
                                      "--topology and --order go together"));
    }
    if (options.type) fields.filterType = *options.type;
    if (options.topology) {
        const LadderStructure structure = *StructureOfWord(*options.topology);
        const int type = FilterTypeOfOrder(structure, *options.order);
        if (type == 0) {
            const std::string order = std::to_string(*options.order);
            throw CommandError(
                structure == LadderStructure::Qer
                    ? InLanguage(language, "у лестницы QER от 4 до 12 звеньев, не " + order,
                                 "a qer ladder has 4 to 12 poles, not " + order)
                    : InLanguage(language,
                                 "лестницы CW бывают из 4, 6, 8, 10 или 12 кварцев, не из " + order,
                                 "a cw ladder has 4, 6, 8, 10 or 12 crystals, not " + order));
        }
        fields.filterType = type;
    }
    if (options.response) {
        const ResponseOption response = ParseResponseOption(*options.response);
        fields.responseType = response.responseType;
        if (!response.ripple.empty()) fields.ripple = response.ripple;
    }
    InputTexts& texts = fields.texts;
    if (options.fo) texts.Fo = *options.fo;
    if (options.ld) texts.Ld = *options.ld;
    if (options.cs) texts.Cs = *options.cs;
    if (options.rd) texts.Rd = *options.rd;
    if (options.df) texts.Df = *options.df;
    if (options.ck) texts.Ck = *options.ck;
    if (options.level) texts.Level = *options.level;
    if (options.exact) fields.exact = true;
    if (options.capacitor) {
        if (!IsEqualCapacitorDesign(fields.filterType, fields.responseType)) {
            throw CommandError(InLanguage(
                language,
                "--capacitor задаёт единственную ёмкость связи лестниц QER и Кона (--topology "
                "qer, --response cohn)",
                "--capacitor gives the one coupling capacitor of QER and Cohn ladders (--topology "
                "qer, --response cohn)"));
        }
        fields.capacitor = *options.capacitor;
    }
}

void SaveDesign(const CliOptions& options, const DesignFields& fields, DesignFileLines& fileLines) {
    FieldsToFileLines(fields, fileLines);
    try {
        WriteDesignFile(options.saveDesignPath, fileLines);
    } catch (const CommandError& error) {
        throw CommandError(NamingTheFile(options.saveDesignPath, error, LanguageOf(options)));
    }
}

bool CalculationAsked(const CliOptions& options) {
    if (options.saveDesignPath.empty()) return true;
    const bool fieldGiven = options.fo || options.ld || options.cs || options.rd || options.df ||
                            options.ck || options.level;
    return options.type || options.topology || options.order || options.response || fieldGiven ||
           options.exact || options.capacitor || options.overlay || options.json ||
           !options.curvePath.empty() || !options.crystalsPath.empty() || options.trim;
}

void AddDesignOptions(CLI::App& app, CliOptions& options) {
    app.set_help_flag("--help", "Print this help and exit.");
    AddDesignValueOptions(app, options, SeparatorUse::FieldTexts);
    AddDesignFileOption(app, options);
    AddCrystalSetOptions(app, options);
    CLI::Option* project =
        Check(app.add_option("--project", options.projectPath,
                             "Take the design, its crystals, set and trims, the rounding, the "
                             "tuned parts and the matching resistance from the Feldan project "
                             "FILE (.feldan) as the window saved it; the design options change "
                             "single values of it. Not with --design, --crystals or --trim.")
                  ->type_name("FILE"),
              FileName());
    project->excludes(app.get_option("--design"));
    project->excludes(app.get_option("--crystals"));
    project->excludes(app.get_option("--trim"));
}

// The project the options describe: the file of --project, or the design of --design and the
// flags with the crystals of --crystals in position order.
std::optional<int> ProjectOf(const std::string& command, const CliOptions& options,
                             std::ostream& err, Project& project) {
    const Language language = LanguageOf(options);
    try {
        if (!options.projectPath.empty()) {
            try {
                project = ReadProjectFile(options.projectPath);
            } catch (const CommandError& error) {
                throw CommandError(NamingTheFile(options.projectPath, error, language));
            }
            ApplyDesignOptions(options, project.design);
            return std::nullopt;
        }
        DesignFileLines lines;
        project.design = ResolveDesign(options, lines);
    } catch (const CommandError& error) {
        WriteLine(err, error.Text(language));
        return 2;
    }
    CrystalSetOption set;
    if (auto problem = ReadCrystalSetOption(options, project.design, set))
        return ReportUsage(command, *problem, language, err);
    for (const CrystalModel& crystal : set.crystals) {
        project.positions.push_back(static_cast<int>(project.crystals.size()));
        project.crystals.push_back({"ZQ" + std::to_string(project.positions.size()), crystal});
    }
    project.trim = set.trim;
    return std::nullopt;
}

}  // namespace feldan::cli
