// The "Кварцы" window: the table of the project's crystals (fitted from sweeps, typed, read from
// a list or from G3UUR readings), the set the design is built from and its trims, and a plot of
// the selected crystal's sweep against its fitted model. The table lives in the ProjectState;
// the window shows it and changes it there.
#pragma once

#include <QWidget>
#include <complex>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "engine/crystal.h"
#include "files/crystal_csv.h"
#include "instruments/crystal_measurement.h"
#include "ui/common/panel.h"
#include "ui/common/settings.h"

class QChartView;
class QCheckBox;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QValueAxis;

namespace feldan {

class AnalyserRun;
class DialogService;
class DesignDocument;
class ZoomView;
class ProjectState;

// The readings of the G3UUR method as typed: f0, f1, f2 in Hz, C1, C2, C0 in pF, Rm in Ohm.
// f2 and C2 may stay empty; C0 is then needed for the method, and is the crystal's C0 anyway.
struct G3uurReadings {
    QString name;
    QString f0, f1, c1, f2, c2, c0, rm;
};

// The dialogs of the window besides the message boxes and single-file dialogs, so that tests
// can answer them.
class CrystalDialogs {
  public:
    virtual ~CrystalDialogs() = default;
    // Several files at once; empty when cancelled.
    virtual QStringList GetOpenFileNames(const QString& dir, const QString& filter) = 0;
    // The resistance of source and load in the fixture, offered as `referenceOhm`; nothing when
    // cancelled.
    virtual std::optional<double> FixtureOhm(double referenceOhm) = 0;
    // The G3UUR readings; nothing when cancelled.
    virtual std::optional<G3uurReadings> G3uur() = 0;
    // The port, fixture, nominal frequency and clock correction of a measurement on the
    // analyser, offered as `offered`; nothing when cancelled.
    virtual std::optional<AnalyserSettings> Measurement(const AnalyserSettings& offered) {
        (void)offered;
        return std::nullopt;
    }
};

class CrystalWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    // Table columns.
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
    // Fits the selected rows again from the sweeps they keep (a value typed over the fit, or a
    // row of a project opened without its residual, comes back to the sweep's own fit).
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
    void SetReadLimits(const ReadLimits& limits) { readLimits_ = limits; }
    // Shows the sweep and the model of a table row in the plot (-1: nothing).
    void ShowCrystal(int row);
    // Both axes to the range of the curves shown (the whole plot, without zoom); none without.
    void FitPlotAxes();

    QTableWidget* Table() const { return table_; }
    // The two curves of the plot: the measurement and the model.
    QLineSeries* MeasuredSeries() const { return measuredSeries_; }
    QLineSeries* ModelSeries() const { return modelSeries_; }

  signals:
    // A measurement ended: a row added, or its fault shown.
    void MeasurementFinished();

  protected:
    void RetranslateUi() override;

  private:
    // What the window keeps of a crystal fitted in this session: how well the model fits its
    // sweep (the sweep itself is the crystal's, in the project).
    struct RowExtra {
        std::optional<double> rmsErrorDb;
        QString warning;  // a poor or doubtful fit: the mark's tooltip
        // The analyser's correction the row was measured with here; unset for a row from a file.
        std::optional<double> measuredPpm;
    };
    // The rows of a table from elsewhere: the residual of each kept model against its sweep.
    std::vector<RowExtra> ExtrasOfKeptSweeps() const;
    // Moves the sweeps measured here to the correction `ppm` and fits them again; how many.
    int CorrectMeasuredRows(double ppm);

    void Refresh();
    // The rows selected, or the current one when none is.
    std::set<int> SelectedRows() const;
    void CellEdited(QTableWidgetItem* item);
    // Hands a new table to the project, with what the window keeps beside each row.
    void StoreTable(std::vector<NamedCrystal> crystals, std::vector<RowExtra> extras);
    DialogService& Dialogs() const { return dialogs_; }
    void StartMeasurement(const AnalyserSettings& settings);
    void ShowMeasurementProgress(const MeasurementProgress& progress);
    void MeasurementDone(CrystalMeasurement measurement);

    DesignDocument& document_;
    ProjectState& project_;
    DialogService& dialogs_;
    std::unique_ptr<CrystalDialogs> crystalDialogs_;
    std::vector<RowExtra> extras_;
    // The set while it is switched off, to come back when it is switched on again.
    bool storing_ = false;

    QTableWidget* table_ = nullptr;
    std::unique_ptr<AnalyserRun> run_;
    // How the last crystal was measured, for the next; none before the first.
    std::optional<AnalyserSettings> lastMeasurement_;
    // The known fs of the reference crystal under measurement, while one is.
    std::optional<double> referenceHz_;
    ReadLimits readLimits_;
    MeasurementStage shownStage_ = MeasurementStage::Sweep;
    int stageFirstScan_ = 0;

    QPushButton* measureButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* referenceButton_ = nullptr;
    QPushButton* cancelMeasureButton_ = nullptr;
    QProgressBar* measureProgress_ = nullptr;
    QLabel* measureLabel_ = nullptr;
    QPushButton* addMeasurementsButton_ = nullptr;
    QPushButton* g3uurButton_ = nullptr;
    QPushButton* openListButton_ = nullptr;
    QPushButton* saveListButton_ = nullptr;
    QPushButton* addRowButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* refitButton_ = nullptr;
    QPushButton* pickButton_ = nullptr;
    QCheckBox* useSetBox_ = nullptr;
    QCheckBox* trimBox_ = nullptr;
    QLabel* setLabel_ = nullptr;
    ZoomView* plot_ = nullptr;
    QLineSeries* measuredSeries_ = nullptr;
    QLineSeries* modelSeries_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
};

// The real dialogs.
class QtCrystalDialogs : public CrystalDialogs {
  public:
    explicit QtCrystalDialogs(QWidget* parent) : parent_(parent) {}
    QStringList GetOpenFileNames(const QString& dir, const QString& filter) override;
    std::optional<double> FixtureOhm(double referenceOhm) override;
    std::optional<G3uurReadings> G3uur() override;
    std::optional<AnalyserSettings> Measurement(const AnalyserSettings& offered) override;

  private:
    QWidget* parent_;
};

}  // namespace feldan
