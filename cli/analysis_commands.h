// The analysis subcommands of feldan-cli: sweep (the designed filter over a span), export
// (Touchstone or SPICE), measured (a measured filter beside its design) and transient (the filter
// in time).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "engine/messages.h"
#include "engine/sweep.h"

namespace CLI {
class App;
}

namespace feldan::cli {

// What the analysis subcommands share: the design and the span.
struct AnalysisOptions {
    CliOptions design;
    std::optional<double> fromKHz;
    std::optional<double> toKHz;
    int points = DefaultSweepPoints;
    std::string circuit = "schematic";
    std::optional<double> referenceOhm;
};

// The design options, --from, --to, --points, --circuit and --reference-ohm.
void AddAnalysisOptions(CLI::App& app, AnalysisOptions& options);

// The designed filter and the sweep request of the options.
struct Prepared {
    DesignFields fields;
    DesignedFilter filter;
    SweepRequest request;
};

// Designs the filter of the options into `prepared`; an exit status when that failed (said on
// `err`).
std::optional<int> Prepare(const std::string& command, const AnalysisOptions& options,
                           std::ostream& err, Prepared& prepared);

// Writes `text` to `path` as WriteOutput does (a file whole or not at all, standard output, a
// pipe); exit status 2 when that failed (said on `err`, naming the file).
std::optional<int> WriteOutputFile(const std::string& path, const std::string& text,
                                   Language language, std::ostream& out, std::ostream& err);

bool IsAnalysisCommand(const std::string& word);

// args[0] is the subcommand; everything it prints but its help is in `language`. Exit status 0
// done, 1 a warning of the design, 2 an error or bad usage.
int RunAnalysisCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                       std::ostream& err);

}  // namespace feldan::cli
