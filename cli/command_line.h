// The command line of feldan-cli: its options, the help text and the design they describe.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "engine/design_state.h"
#include "files/design_file.h"

namespace feldan::cli {

// The options exactly as given; an option that was not given stays empty.
struct CliOptions {
    std::optional<int> type;
    std::optional<int> response;
    std::optional<std::string> fo, ld, cs, rd, df, ck, level;
    std::optional<std::string> separator;  // "." or ","
    bool overlay = false;
    bool json = false;
    std::string curvePath;
    // ---- design files: the paths of --design and --save-design go here. ----
};

// Declares every option on `app`, writing into `options`, and installs the help text.
void DefineOptions(CLI::App& app, CliOptions& options);

// The design to calculate: the window's start state, then (design files: the file of --design
// is applied here, before the flags), then every flag that was given. Throws CommandError when a
// design cannot be had.
DesignFields ResolveDesign(const CliOptions& options);

}  // namespace feldan::cli
