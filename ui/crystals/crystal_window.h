// The "Кварцы" window: the table of the project's crystals (fitted from sweeps, typed, read from
// a list or from G3UUR readings, measured on the analyser), the set the design is built from and
// its trims, and a plot of the selected crystal's sweep against its fitted model. Each of these
// is an object of its own; the window lays them out and wires them.
#pragma once

#include <QWidget>
#include <memory>

#include "ui/common/panel.h"
#include "ui/crystals/crystal_dialogs.h"
#include "ui/crystals/crystal_table.h"

class QLineSeries;
class QPushButton;

namespace feldan {

class CrystalImport;
class CrystalMeasure;
class CrystalPlot;
class CrystalSet;
class DesignDocument;
class DialogService;
struct ReadLimits;

class CrystalWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    // The table's columns.
    using Column = CrystalTable::Column;
    using enum CrystalTable::Column;

    // The table is the document's; `dialogs` gives the message boxes and single-file dialogs.
    CrystalWindow(DesignDocument& document, DialogService& dialogs, QWidget* parent = nullptr);
    ~CrystalWindow() override;

    void SetCrystalDialogs(std::unique_ptr<CrystalDialogs> dialogs);

    // The commands of the buttons.
    void AddMeasurements();
    void AddFromG3uur();
    void OpenList();
    void SaveList();
    void AddRow();
    void RemoveSelectedRows();
    // Fits the selected rows again from the sweeps they keep.
    void RefitSelectedRows();
    void PickBest();
    void SetUseSet(bool use);
    void SetApplyTrims(bool apply);
    // A crystal measured on the analyser and added as a row: Measure asks how, MeasureNext
    // measures the next crystal as the last one was (asking only the first time).
    void Measure();
    void MeasureNext();
    // Measures a reference crystal of known fs (asked for) and makes the correction in ppm the
    // one that gives it; nothing is added to the table.
    void MeasureReference();
    void CancelMeasurement();
    bool Measuring() const;
    // The time limits of the reads from the analyser (tests give short ones).
    void SetReadLimits(const ReadLimits& limits);
    // Shows the sweep and the model of a table row in the plot (-1: nothing).
    void ShowCrystal(int row);
    // Both axes to the range of the curves shown (the whole plot, without zoom); none without.
    void FitPlotAxes();

    QTableWidget* Table() const { return table_; }
    // The two curves of the plot: the measurement and the model.
    QLineSeries* MeasuredSeries() const;
    QLineSeries* ModelSeries() const;

  signals:
    // A measurement ended: a row added, or its fault shown.
    void MeasurementFinished();

  protected:
    void RetranslateUi() override;

  private:
    QLayout* CommandRow();
    QLayout* SetRow();

    std::unique_ptr<CrystalDialogs> crystalDialogs_;
    CrystalTable* table_ = nullptr;
    CrystalPlot* plot_ = nullptr;
    CrystalSet* set_ = nullptr;
    CrystalImport* import_ = nullptr;
    CrystalMeasure* measure_ = nullptr;

    QPushButton* addMeasurementsButton_ = nullptr;
    QPushButton* g3uurButton_ = nullptr;
    QPushButton* openListButton_ = nullptr;
    QPushButton* saveListButton_ = nullptr;
    QPushButton* addRowButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* refitButton_ = nullptr;
};

}  // namespace feldan
