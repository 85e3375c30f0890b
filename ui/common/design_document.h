// The design the window works on, in one place: the design fields, the rest of the project
// (crystals, set, rounding, tuning, matching), the file it came from with the image it was
// saved as, and the filter built from it. Every panel and child window reads it and changes it
// here, and follows its signals; none of them knows the main window.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "engine/calculate.h"
#include "engine/crystal_set.h"
#include "engine/design_figures.h"
#include "engine/design_run.h"
#include "engine/project.h"
#include "engine/sweep.h"
#include "files/design_file.h"
#include "ui/common/project_state.h"

namespace feldan {

class DesignDocument : public QObject {
    Q_OBJECT
  public:
    // How the design in force came about: the start values (also after Новый), or a file.
    enum class Origin { Start, File };

    // `separator` is the decimal separator of the user's locale, read once at start.
    explicit DesignDocument(char separator, QObject* parent = nullptr);

    char Separator() const { return separator_; }

    const DesignFields& Design() const { return design_; }
    void SetTexts(const InputTexts& texts);
    void SetFilterType(int filterType);
    void SetResponseType(int responseType);
    // The ripple in dB of the Chebyshev response of any ripple, as typed.
    void SetRipple(const std::string& ripple);
    // "Точно по заданию": the design meets dF at the level with the crystals as they are.
    void SetExact(bool exact);
    // The one coupling capacitor of a QER or Cohn ladder, in pF as typed; empty: designed to dF.
    void SetCapacitor(const std::string& capacitor);
    // The crystal count of the topology in force; 0 while it names none.
    int CrystalCount() const;
    Origin DesignOrigin() const { return origin_; }

    ProjectState& Project() { return *project_; }
    const ProjectState& Project() const { return *project_; }
    feldan::Project WholeProject() const { return project_->ToProject(design_); }

    // The file the design came from or went to; empty before the first Open or Save.
    const QString& Path() const { return path_; }
    // The design differs from that file (from the start values before any file).
    bool HasUnsavedChanges() const;
    // Новый: the start values and an empty project, no file.
    void Reset();
    // A file was read: its design and project replace everything, and the window works on it.
    // A design file (.fdn) brings its lines, whose reserved entries go into every later save.
    void Open(const feldan::Project& project, const QString& path, const DesignFileLines& lines);
    // Writes the project (.feldan) or its design file (.fdn) to `path`, which already carries
    // its extension; throws CommandError or DesignFileWarning as the files layer does. What a
    // design file does not hold stays unsaved.
    void Save(const std::string& path, bool asProject);
    // The project holds more than a design file can (a table, a set, a rounding, ...).
    bool HoldsMoreThanDesign() const;

    // The design of the fields with the set of crystals when the project uses one, made once
    // after each change of either (RunDesign) and kept: every view, window and overlay takes it
    // from here and none designs again.
    const Designed& CurrentDesign() const;
    std::shared_ptr<const Designed> SharedDesign() const;
    // The filter built from the design (BuildProject on CurrentDesign), kept until something
    // changes.
    const ProjectBuild& Build() const;
    // Only the design with the set's crystals and trims, for the windows that round or vary it
    // themselves.
    DesignBuild BuildDesignOnly() const;
    // The filter as built (FilterOfBuild of Build()): its schematic with the rounding and the
    // tuning in force, of the set of crystals when one is in use.
    DesignedFilter DesignedFilterOf(CircuitChoice circuit) const;
    // The design on the set's mean crystal, on the set as it is and with its trims, to compare.
    CrystalSetComparison CompareCrystals(Language language) const;
    // Which values that filter has: "Детали: по расчёту", or rounded to a series, and how many
    // parts are tuned.
    QString PartsInForceText() const;

    // Calculate on the design from the set when the project uses one, else on equal crystals.
    // A result that is not refused is kept as the last one; Calculated is the host's to announce
    // once it is shown.
    CalculationResult Calculate(Language language);
    const CalculationResult& LastResult() const { return lastResult_; }
    // The set of the last calculation; empty for equal crystals.
    const std::optional<CrystalSetDesign>& LastSet() const { return lastSet_; }
    // The builder's figures of the last calculation, where it found the band.
    const std::optional<DesignFigures>& LastFigures() const { return lastFigures_; }
    void AnnounceCalculated() { emit Calculated(); }

  signals:
    // A field or a selection changed (typed, chosen, or set by a file).
    void DesignChanged();
    // Новый or Открыть: every part is new.
    void Replaced();
    // A calculation is on show: the windows that follow the design take it.
    void Calculated();
    // The file or the unsaved mark may have changed.
    void FileStateChanged();

  private:
    void Changed();
    void Replace(const feldan::Project& project, const QString& path, const DesignFileLines& lines,
                 Origin origin);

    char separator_;
    DesignFields design_;
    Origin origin_ = Origin::Start;
    ProjectState* project_;
    QString path_;
    DesignFields savedDesign_;
    std::string savedProjectImage_;
    DesignFileLines fileLines_{};
    // The design in force and what it was made of, so that a change of the project that leaves
    // the set as it was (a rounding, a tuned part) keeps it.
    mutable std::shared_ptr<const Designed> designed_;
    mutable std::vector<CrystalModel> designedCrystals_;
    mutable bool designedTrim_ = false;
    mutable std::optional<ProjectBuild> build_;
    CalculationResult lastResult_;
    std::optional<CrystalSetDesign> lastSet_;
    std::optional<DesignFigures> lastFigures_;
};

// A calculation refused before it drew a curve (a typing slip, a design the synthesis cannot
// make): it only says why, and nothing on show changes.
bool IsRefused(const CalculationResult& result);

// The summary of a calculation, and for a design from a set the line of its aligned Fo and
// trims; then, after an empty line, its caution and its figures where it has them. Lines
// separated by '\r'.
std::string SummaryText(const CalculationResult& result, const std::optional<CrystalSetDesign>& set,
                        char separator, Language language,
                        const std::optional<DesignFigures>& figures = std::nullopt);

}  // namespace feldan
