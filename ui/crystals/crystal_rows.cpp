#include "ui/crystals/crystal_rows.h"

#include "ui/common/language.h"
#include "ui/common/ui_text.h"

namespace feldan {

bool Usable(const CrystalModel& c) {
    return c.fsHz > 0 && c.lmH > 0 && c.cmF > 0 && c.rmOhm > 0 && c.c0F >= 0;
}

std::vector<RowNote> NotesOfKeptSweeps(const std::vector<NamedCrystal>& crystals) {
    std::vector<RowNote> notes(crystals.size());
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!crystals[i].sweep || !Usable(crystals[i].model)) continue;
        CrystalFit fit;
        fit.verdict = FitVerdict::Fitted;
        fit.rmsErrorDb = FitResidualDb(crystals[i].model, *crystals[i].sweep);
        if (fit.rmsErrorDb > PoorFitDb) fit.verdict = FitVerdict::PoorFit;
        notes[i].rmsErrorDb = fit.rmsErrorDb;
        if (const std::optional<Message> said = FitMessageOf(fit, crystals[i].name))
            notes[i].warning = MessageShown(*said);
    }
    return notes;
}

Refit RefitRows(const std::set<int>& rows, std::vector<NamedCrystal>& crystals,
                std::vector<RowNote>& notes) {
    notes.resize(crystals.size());
    Refit refit;
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(crystals.size())) continue;
        NamedCrystal& crystal = crystals[static_cast<std::size_t>(row)];
        if (!crystal.sweep) {
            refit.withoutSweep << FromUtf8(crystal.name);
            continue;
        }
        const CrystalSweep& sweep = *crystal.sweep;
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowNote note;
        note.measuredPpm = notes[static_cast<std::size_t>(row)].measuredPpm;
        if (const std::optional<Message> said = FitMessageOf(fit, crystal.name)) {
            note.warning = MessageShown(*said);
            // No resonance: the row keeps the values it had.
            if (fit.verdict == FitVerdict::NoResonance) {
                refit.problems << note.warning;
                continue;
            }
        }
        note.rmsErrorDb = fit.rmsErrorDb;
        crystal.model = KeptModelOf(fit, sweep);
        notes[static_cast<std::size_t>(row)] = std::move(note);
    }
    return refit;
}

int MoveToCorrection(double ppm, std::vector<NamedCrystal>& crystals, std::vector<RowNote>& notes) {
    notes.resize(crystals.size());
    int corrected = 0;
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        NamedCrystal& crystal = crystals[i];
        RowNote& note = notes[i];
        if (!note.measuredPpm || *note.measuredPpm == ppm || !crystal.sweep) continue;
        // A frequency reported as f is f·(1 + ppm·1e-6): the sweep moves by the ratio of the two.
        const double scale = (1 + ppm * 1e-6) / (1 + *note.measuredPpm * 1e-6);
        CrystalSweep& sweep = *crystal.sweep;
        for (double& hz : sweep.frequencyHz)
            hz *= scale;
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowNote fitted;
        fitted.measuredPpm = ppm;
        if (const std::optional<Message> said = FitMessageOf(fit, crystal.name))
            fitted.warning = MessageShown(*said);
        if (fit.verdict == FitVerdict::NoResonance) {
            // Nothing to fit: the values move with the sweep.
            const CrystalModel& m = crystal.model;
            crystal.model = CrystalFromSeriesResonance(m.fsHz * scale, m.lmH, m.rmOhm, m.c0F);
        } else {
            fitted.rmsErrorDb = fit.rmsErrorDb;
            crystal.model = KeptModelOf(fit, sweep);
        }
        note = std::move(fitted);
        ++corrected;
    }
    return corrected;
}

}  // namespace feldan
