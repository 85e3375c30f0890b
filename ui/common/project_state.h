// What the window holds of a project besides the design fields: the table of crystals, the set
// the design uses, its trims, and the builder's rounding, tuning and matching. Every window that
// changes a part of it does so here, and whoever shows that part listens to Changed.
#pragma once

#include <QObject>

#include "files/project_file.h"

namespace feldan {

class ProjectState : public QObject {
    Q_OBJECT
  public:
    enum class Part { Crystals, Set, Rounding, Tuning, Matching };

    explicit ProjectState(QObject* parent = nullptr) : QObject(parent) {}

    const std::vector<NamedCrystal>& Crystals() const { return project_.crystals; }
    // A new table; the set keeps the positions that still name a crystal of it.
    void SetCrystals(std::vector<NamedCrystal> crystals);
    const std::vector<int>& Positions() const { return project_.positions; }
    void SetPositions(std::vector<int> positions);
    bool Trim() const { return project_.trim; }
    void SetTrim(bool trim);
    // The crystals of the set in position order; empty for a design of equal crystals.
    std::vector<CrystalModel> CrystalsOfSet() const { return project_.CrystalsOfSet(); }
    bool UsesCrystalSet() const { return project_.useSet && !project_.positions.empty(); }
    // Switches the set on or off; switched off, its positions are kept (and saved) for later.
    void SetUseSet(bool use);

    const std::optional<RoundingRequest>& Rounding() const { return project_.rounding; }
    void SetRounding(std::optional<RoundingRequest> rounding);
    const std::vector<TunedPart>& Tuning() const { return project_.tuning; }
    void SetTuning(std::vector<TunedPart> tuning);
    std::optional<double> MatchOhm() const { return project_.matchOhm; }
    void SetMatchOhm(std::optional<double> ohm);

    // The whole project with `design` as its design fields, and taking one in (every part
    // changes).
    Project ToProject(const DesignFields& design) const;
    void Load(const Project& project);
    // Everything but the design, as a file would hold it: what the unsaved-changes mark compares.
    std::string Image() const;

  signals:
    void Changed(feldan::ProjectState::Part part);

  private:
    Project project_;
};

}  // namespace feldan
