// The command line of feldan-cli: its options, the help text and the design they describe.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/crystal.h"
#include "engine/design.h"
#include "engine/project.h"
#include "files/design_file.h"

namespace feldan::cli {

// The options exactly as given; an option that was not given stays empty.
struct CliOptions {
    std::optional<int> type;
    std::optional<std::string> topology;  // "ladder" or "cw", with --order
    std::optional<int> order;
    std::optional<std::string> response;  // 1..5, or a family by name
    std::optional<std::string> fo, ld, cs, rd, df, ck, level;
    std::optional<std::string> separator;  // "." or ","
    std::string lang = "ru";               // "ru" or "en"
    bool overlay = false;
    bool json = false;
    std::string curvePath;
    std::string designPath;      // --design: read before the flags apply
    std::string projectPath;     // --project: a .feldan project, read before the flags apply
    std::string saveDesignPath;  // --save-design: the design after --design and the flags
    std::string crystalsPath;    // --crystals: a CSV list of the crystals, in position order
    bool trim = false;           // --trim: apply the suggested trims of the crystals
    bool exact = false;          // --exact: design exactly to the request
    std::optional<std::string> capacitor;  // --capacitor: the one coupling capacitor, in pF
};

// The language that --lang names.
Language LanguageOf(const CliOptions& options);

// --lang, for every command: the language of everything it prints but its help.
void AddLanguageOption(CLI::App& app, std::string& lang);

// What --separator does: the calculation writes its summary with it; the subcommands print
// their numbers with "." and use it only to quote a field text that is not a number.
enum class SeparatorUse { Summary, FieldTexts };

// The options of a design's values (--type … --level, --separator, --lang) and of its file
// (--design), shared by the calculation and the subcommands that take a design.
void AddDesignValueOptions(CLI::App& app, CliOptions& options, SeparatorUse separatorUse);
void AddDesignFileOption(CLI::App& app, CliOptions& options);

// --crystals FILE and --trim, for the commands that design a filter.
void AddCrystalSetOptions(CLI::App& app, CliOptions& options);

// What --crystals gives: nothing without it, else the crystals in position order.
struct CrystalSetOption {
    std::vector<CrystalModel> crystals;
    bool trim = false;
};

// Reads the crystals of --crystals for `fields`. Returns the text of the reason, in the language
// of --lang, when the options cannot be used (--crystals with --fo, --ld, --cs or --rd, --trim
// without --crystals, a file that cannot be read, a count other than the topology's crystals): a
// usage error, exit 2.
std::optional<std::string> ReadCrystalSetOption(const CliOptions& options,
                                                const DesignFields& fields, CrystalSetOption& set);

// Declares every option on `app`, writing into `options`, and installs the help text.
void DefineOptions(CLI::App& app, CliOptions& options);

// The arguments with every "--option=" (nothing after the "=") of an option that takes a value
// split into "--option" and an empty argument, so that it means the empty text, as `--option ""`
// does. CLI11 would take the next argument as the value instead. A bare "--" ends the options.
std::vector<std::string> SplitEmptyValues(const CLI::App& app, int argc, const char* const* argv);

// Parses the arguments of a subcommand (after its name), "--option=" being the empty text as
// for the calculation. An exit status when done: 0 after --help, 2 for bad usage (said on err in
// `language`).
std::optional<int> ParseSubcommand(CLI::App& app, const std::vector<std::string>& args,
                                   Language language, std::ostream& out, std::ostream& err);

// The design to calculate: the window's start state, then the file of --design (its lines are
// kept in `fileLines`, so that its reserved lines go into a --save-design), then every flag that
// was given. Throws CommandError, naming the file, when a design cannot be had.
DesignFields ResolveDesign(const CliOptions& options, DesignFileLines& fileLines);

// A file error for a shell: the file first, then the reason without the blanks that pad the
// window's warnings.
std::string NamingTheFile(const std::string& path, const CommandError& error, Language language);

// The design flags that were given (--type … --level) put into `fields`. Throws CommandError, in
// the language of --lang, for --type with --topology, --topology without --order (or the other
// way round), and a ladder the topology list does not have.
void ApplyDesignOptions(const CliOptions& options, DesignFields& fields);

// The response of --response: its ResponseType and, for "chebyshev:R", the ripple text R.
// Throws UsageError for a text that names none.
struct ResponseOption {
    int responseType = 0;
    std::string ripple;
};
ResponseOption ParseResponseOption(const std::string& text);

// Writes the design to the file of --save-design, at exactly that path. Throws CommandError,
// naming the file, when it cannot be written.
void SaveDesign(const CliOptions& options, const DesignFields& fields, DesignFileLines& fileLines);

// Whether a calculation is asked for: always, except when the command line asks for nothing but
// writing a design (--save-design, with at most --design and --separator besides).
bool CalculationAsked(const CliOptions& options);

// The options of every command that designs a filter: --help, the design's values, --design,
// --crystals and --trim, and --project FILE.feldan (which excludes the three before it).
void AddDesignOptions(CLI::App& app, CliOptions& options);

// The project the options describe: the file of --project with the design flags applied to it,
// or the design of --design and the flags with the crystals of --crystals in position order. An
// exit status when it cannot be had (said on `err`).
std::optional<int> ProjectOf(const std::string& command, const CliOptions& options,
                             std::ostream& err, Project& project);

}  // namespace feldan::cli
