#include "engine/project.h"

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
    DesignBuild design =
        BuildDesign(project.design, separator, project.CrystalsOfSet(), project.trim);
    if (!design.built) {
        ProjectBuild b;
        b.outcome = design.outcome;
        b.message = design.message;
        return b;
    }
    std::optional<RoundingResult> rounding;
    if (project.rounding) rounding = RoundDesign(*design.built, *project.rounding);
    return BuildOnDesign(*design.built, project.rounding, rounding, project.tuning,
                         project.matchOhm);
}

ProjectBuild BuildOnDesign(const BuiltDesign& built, const std::optional<RoundingRequest>& request,
                           const std::optional<RoundingResult>& rounding,
                           std::span<const TunedPart> tuning, std::optional<double> matchOhm) {
    ProjectBuild b;
    b.built = built;
    if (request && rounding) b.rounding = rounding;
    b.parts = TunablePartsOf(built, b.rounding ? &*b.rounding : nullptr, tuning);
    b.circuit = TunedCircuitOf(built, b.parts);
    if (matchOhm && *matchOhm > 0 && b.circuit.terminationOhm > 0) {
        b.matching = MatchEnds(*matchOhm, b.circuit.terminationOhm, built.design.input.FoKHz * 1000,
                               b.rounding ? &*request : nullptr);
    }
    return b;
}

}  // namespace feldan
