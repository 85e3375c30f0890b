// The table of the project's crystals in the "Кварцы" window: a row per crystal with its values,
// the fit's residual and warning, and its place in the set with its trim; the name and the
// values typed are checked and stored in the project. The rows live in the ProjectState; the
// table keeps beside them what it knows of their fits.
#pragma once

#include <QTableWidget>
#include <set>
#include <vector>

#include "ui/common/panel.h"
#include "ui/crystals/crystal_rows.h"

namespace feldan {

class DialogService;
class ProjectState;

class CrystalTable : public Panel<QTableWidget> {
    Q_OBJECT
  public:
    enum Column {
        NameColumn,
        FsColumn,
        LmColumn,
        CmColumn,
        RmColumn,
        C0Column,
        QColumn,
        RmsColumn,
        TrimColumn,
        SetColumn,
        ColumnCount
    };

    CrystalTable(ProjectState& project, DialogService& dialogs, QWidget* parent);

    const std::vector<NamedCrystal>& Crystals() const;
    const std::vector<RowNote>& Notes() const { return notes_; }
    // Hands a new table to the project, with the notes beside its rows.
    void Store(std::vector<NamedCrystal> crystals, std::vector<RowNote> notes);
    // Adds rows at the end and makes the first of them current.
    void Append(std::vector<NamedCrystal> crystals, std::vector<RowNote> notes);

    void AddRow();
    void RemoveSelectedRows();
    // Fits the selected rows again from the sweeps they keep (a value typed over the fit, or a
    // row of a project opened without its residual, comes back to the sweep's own fit).
    void RefitSelectedRows();
    // Moves the rows measured here to the correction `ppm` and fits them again; how many.
    int CorrectMeasuredRows(double ppm);

  signals:
    // The rows were shown again: the crystal of the current one may have changed.
    void RowsShown();
    // A table from elsewhere (a project opened) replaced the one shown.
    void Replaced();

  protected:
    void RetranslateUi() override;

  private:
    void Refresh();
    QStringList RowTexts(std::size_t i, int position, double highestHz) const;
    // The rows selected, or the current one when none is.
    std::set<int> SelectedRows() const;
    void CellEdited(QTableWidgetItem* item);
    // Stores the table again, keeping the current row.
    void StoreKeepingCurrent(std::vector<NamedCrystal> crystals, std::vector<RowNote> notes);

    ProjectState& project_;
    DialogService& dialogs_;
    std::vector<RowNote> notes_;
    // While the table hands its own rows to the project.
    bool storing_ = false;
};

}  // namespace feldan
