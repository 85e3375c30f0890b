#include "ui/common/project_state.h"

#include <algorithm>

namespace feldan {

void ProjectState::SetCrystals(std::vector<NamedCrystal> crystals) {
    project_.crystals = std::move(crystals);
    const int count = static_cast<int>(project_.crystals.size());
    const bool setHolds = std::all_of(project_.positions.begin(), project_.positions.end(),
                                      [&](int k) { return k >= 0 && k < count; });
    // A set that points past the new table is dropped before anyone hears of the table, so that
    // no listener ever reads a position that is not there.
    if (!setHolds) project_.positions.clear();
    emit Changed(Part::Crystals);
    if (!setHolds) emit Changed(Part::Set);
}

void ProjectState::SetPositions(std::vector<int> positions) {
    project_.positions = std::move(positions);
    emit Changed(Part::Set);
}

void ProjectState::SetUseSet(bool use) {
    if (project_.useSet == use) return;
    project_.useSet = use;
    emit Changed(Part::Set);
}

void ProjectState::SetTrim(bool trim) {
    if (project_.trim == trim) return;
    project_.trim = trim;
    emit Changed(Part::Set);
}

void ProjectState::SetRounding(std::optional<RoundingRequest> rounding) {
    project_.rounding = rounding;
    emit Changed(Part::Rounding);
}

void ProjectState::SetTuning(std::vector<TunedPart> tuning) {
    project_.tuning = std::move(tuning);
    emit Changed(Part::Tuning);
}

void ProjectState::SetMatchOhm(std::optional<double> ohm) {
    project_.matchOhm = ohm;
    emit Changed(Part::Matching);
}

Project ProjectState::ToProject(const DesignFields& design) const {
    Project project = project_;
    project.design = design;
    return project;
}

void ProjectState::Load(const Project& project) {
    project_ = project;
    project_.design = {};
    for (Part part : {Part::Crystals, Part::Set, Part::Rounding, Part::Tuning, Part::Matching})
        emit Changed(part);
}

std::string ProjectState::Image() const {
    return ProjectBytes(project_);
}

}  // namespace feldan
