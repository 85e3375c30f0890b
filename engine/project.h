// A project: the design with its crystals, and what the builder does with it between the design
// and the soldering iron (rounding, tuning, matching). BuildProject is the one way from a
// project to the filter as built: the window, its report and feldan-cli all take it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/crystal.h"
#include "engine/design.h"
#include "engine/matching.h"
#include "engine/rounding.h"
#include "engine/sweep.h"
#include "engine/tuning.h"

namespace feldan {

struct Project {
    DesignFields design;
    // Every crystal of the table, measured or typed.
    std::vector<NamedCrystal> crystals;
    // The crystals (indices into `crystals`) at ZQ1, ZQ2, ... of a design from a set; empty: a
    // design of equal crystals. A file without the entry uses every crystal in table order.
    std::vector<int> positions;
    // The set is used in the calculation; switched off, it is kept for later.
    bool useSet = true;
    bool trim = false;
    // The standard values the capacitors are rounded to, when the builder rounds them.
    std::optional<RoundingRequest> rounding;
    // Parts moved by hand from their designed (or rounded) values, in the order they were set.
    std::vector<TunedPart> tuning;
    // The source and load resistance the ends are matched to, when matching is shown.
    std::optional<double> matchOhm;

    // The crystals of the set in position order (empty for a design of equal crystals, also
    // while the set is switched off).
    std::vector<CrystalModel> CrystalsOfSet() const;
    // The named crystals at ZQ1, ZQ2, ... while the set is used.
    std::vector<NamedCrystal> NamedCrystalsOfSet() const;
};

// The filter as built from a project: the design built and measured, the rounding when one is
// in force, every part with its value in force (designed, rounded, tuned), the circuit those
// values make, and with a matching resistance both ends' networks from the termination in force.
struct ProjectBuild {
    Outcome outcome = Outcome::Done;  // not Done: the design cannot be built, `message` says why
    Message message;
    std::optional<BuiltDesign> built;
    std::optional<RoundingResult> rounding;
    std::vector<TunablePart> parts;
    TunedCircuit circuit;
    std::optional<EndMatching> matching;
};

ProjectBuild BuildProject(const Project& project, char separator);
// The same on the project's design already made (RunDesign of its fields, set and trim).
ProjectBuild BuildProject(const Project& project, const Designed& designed);

// The filter as built: the built design with every value and both terminations in force
// (designed, rounded, tuned) and its schematic measured on them. What the tolerance run, the
// views and the report take as "as built". `build` holds a design (outcome Done).
BuiltDesign AsBuilt(const ProjectBuild& build);

// The filter of a build to sweep: its schematic with the values and terminations in force, or
// its analysed circuit, which models the design and keeps the designed values.
DesignedFilter FilterOfBuild(const ProjectBuild& build, CircuitChoice circuit);

// The rest of BuildProject on a design already built and, when `request` is given, rounded to
// `rounding` (RoundDesign of that request): for a window that rounds as the user chooses.
ProjectBuild BuildOnDesign(BuiltDesign built, std::optional<RoundingRequest> request,
                           std::optional<RoundingResult> rounding,
                           std::span<const TunedPart> tuning, std::optional<double> matchOhm);

}  // namespace feldan
