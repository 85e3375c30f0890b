// The parts list of the report: every capacitor of the schematic with its designed value and,
// where a rounding or tuning is in force, the value to solder; the termination; the crystals of
// a set with their trims; the networks that match the ends.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "engine/tuning.h"
#include "files/crystal_csv.h"

namespace feldan {

class ProjectState;

struct PartsListRow {
    QString part;      // "C1=C5", "Rin", "ZQ1", ...
    QString designed;  // the value as designed
    QString solder;    // the value to solder; empty where it is the designed one
};

class PartsList {
    Q_DECLARE_TR_FUNCTIONS(feldan::PartsList)
  public:
    // `crystals`: the named crystals of a set in position order, empty for equal crystals.
    // Numbers in the notation of the locale in force.
    static std::vector<PartsListRow> Rows(const BuiltDesign& built,
                                          std::span<const TunablePart> parts,
                                          std::span<const NamedCrystal> crystals,
                                          std::optional<double> matchOhm);
    // The list of the design with the project's crystals, rounding, tuning and matching; one
    // row naming the failure when the design does not build.
    static std::vector<PartsListRow> OfProject(const DesignFields& design, char separator,
                                               const ProjectState& project);
};

}  // namespace feldan
