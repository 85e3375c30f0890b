#include "engine/project.h"

#include <utility>

namespace feldan {

std::vector<CrystalModel> Project::CrystalsOfSet() const {
    std::vector<CrystalModel> set;
    for (const NamedCrystal& crystal : NamedCrystalsOfSet())
        set.push_back(crystal.model);
    return set;
}

std::vector<NamedCrystal> Project::NamedCrystalsOfSet() const {
    std::vector<NamedCrystal> set;
    if (!useSet) return set;
    for (const int k : positions) {
        if (k >= 0 && k < static_cast<int>(crystals.size()))
            set.push_back(crystals[static_cast<std::size_t>(k)]);
    }
    return set;
}

ProjectBuild BuildProject(const Project& project, char separator) {
    return BuildProject(
        project, RunDesign(project.design, separator, project.CrystalsOfSet(), project.trim));
}

ProjectBuild BuildProject(const Project& project, const Designed& designed) {
    DesignBuild design = BuildDesign(designed);
    if (!design.built) {
        ProjectBuild b;
        b.outcome = design.outcome;
        b.message = design.message;
        return b;
    }
    std::optional<RoundingResult> rounding;
    if (project.rounding) rounding = RoundDesign(*design.built, *project.rounding);
    return BuildOnDesign(std::move(*design.built), project.rounding, std::move(rounding),
                         project.tuning, project.matchOhm);
}

ProjectBuild BuildOnDesign(BuiltDesign built, std::optional<RoundingRequest> request,
                           std::optional<RoundingResult> rounding,
                           std::span<const TunedPart> tuning, std::optional<double> matchOhm) {
    ProjectBuild b;
    if (request && rounding) b.rounding = std::move(rounding);
    b.parts = TunablePartsOf(built, b.rounding ? &*b.rounding : nullptr, tuning);
    b.circuit = TunedCircuitOf(built, b.parts);
    if (matchOhm && *matchOhm > 0 && b.circuit.terminationOhm > 0 &&
        b.circuit.outputTerminationOhm > 0) {
        b.matching = MatchEnds(*matchOhm, b.circuit.terminationOhm, b.circuit.outputTerminationOhm,
                               built.design.input.FoKHz * 1000, b.rounding ? &*request : nullptr);
    }
    b.built = std::move(built);
    return b;
}

BuiltDesign AsBuilt(const ProjectBuild& build) {
    BuiltDesign asBuilt = *build.built;
    const TunedCircuit& circuit = build.circuit;
    asBuilt.values = circuit.values;
    asBuilt.design.synthesis.InputOhm = circuit.terminationOhm;
    asBuilt.design.synthesis.OutputOhm = circuit.outputTerminationOhm;
    asBuilt.schematic = MeasureSchematic(asBuilt, asBuilt.values, circuit.terminationOhm,
                                         circuit.outputTerminationOhm);
    return asBuilt;
}

DesignedFilter FilterOfBuild(const ProjectBuild& build, CircuitChoice circuit) {
    const BuiltDesign& built = *build.built;
    DesignedFilter filter = FilterOf(built.design, circuit);
    if (filter.design.outcome != Outcome::Done) return filter;
    if (circuit == CircuitChoice::Schematic) {
        filter.values = build.circuit.values;
        filter.portOhm = build.circuit.terminationOhm;
        filter.outputPortOhm = build.circuit.outputTerminationOhm;
    } else {
        filter.values = built.values;
    }
    BuildCircuitOf(filter);
    return filter;
}

}  // namespace feldan
