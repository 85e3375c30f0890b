// The rows of the crystal table beside the crystals themselves: what the window keeps of each
// (how well its model fits its sweep, the analyser's correction it was measured with here), and
// the fits made again from the sweeps the crystals keep.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <set>
#include <vector>

#include "engine/crystal.h"

namespace feldan {

struct RowNote {
    std::optional<double> rmsErrorDb;
    QString warning;  // a poor or doubtful fit: the mark's tooltip
    // The analyser's correction the row was measured with here; unset for a row from a file.
    std::optional<double> measuredPpm;
};

// Values a model can be drawn and fitted with.
bool Usable(const CrystalModel& c);

// The notes of a table from elsewhere: the residual of each kept model against its sweep.
std::vector<RowNote> NotesOfKeptSweeps(const std::vector<NamedCrystal>& crystals);

struct Refit {
    QStringList withoutSweep;  // the names of the rows that keep no sweep
    QStringList problems;      // what the fits said of the rows they could not fit
};
// Fits `rows` again from their sweeps; a row without a resonance keeps the values it had.
Refit RefitRows(const std::set<int>& rows, std::vector<NamedCrystal>& crystals,
                std::vector<RowNote>& notes);

// Moves the sweeps measured here with another correction to `ppm` and fits them again; how many.
int MoveToCorrection(double ppm, std::vector<NamedCrystal>& crystals, std::vector<RowNote>& notes);

}  // namespace feldan
