// The parts list of the report: every capacitor of the schematic with its designed value and,
// where a rounding or tuning is in force, the value to solder; the termination; the crystals of
// a set with their trims; the networks that match the ends.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "engine/project.h"

namespace feldan {

class DesignDocument;

struct PartsListRow {
    QString part;      // "C1=C5", "Rin", "ZQ1", ...
    QString designed;  // the value as designed
    QString solder;    // the value to solder; empty where it is the designed one
};

class PartsList {
    Q_DECLARE_TR_FUNCTIONS(feldan::PartsList)
  public:
    // The parts to solder of a project as built (BuildProject): each capacitor, Rвх, the crystal
    // of each position with its trim, the matching networks; one row naming the failure when the
    // design does not build. Numbers in the notation of the locale in force.
    static std::vector<PartsListRow> Rows(const ProjectBuild& build,
                                          std::span<const NamedCrystal> crystals);
    // The list of the document's design with its crystals, rounding, tuning and matching.
    static std::vector<PartsListRow> OfDocument(const DesignDocument& document);
};

}  // namespace feldan
