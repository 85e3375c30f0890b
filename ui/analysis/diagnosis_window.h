// "Что построено…": the filter as built found from the measured sweep open over the design. The
// fit runs off the GUI thread with its progress and a cancel; its answer is a table of parts and
// crystals (the worst in colour), the fitted curve over the measurement and the design, the
// diagnosis in words, and "Применить к расчёту", which carries on from the fitted values as the
// build in force (tuning panel, rounding, every view).
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "engine/diagnosis.h"
#include "files/touchstone.h"
#include "ui/common/background_run.h"
#include "ui/common/panel.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace feldan {

class DesignDocument;

class DiagnosisWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    DiagnosisWindow(DesignDocument& document, QWidget* parent = nullptr);
    ~DiagnosisWindow() override;

    // Takes the sweep of the file `name` and fits the build in force to it.
    void Diagnose(const TouchstoneData& data, const QString& name);
    // "Подобрать" again (another reference, say), "Отмена", "Применить к расчёту".
    void Fit();
    void Cancel();
    void ApplyToDesign();
    bool Running() const { return run_.Running(); }
    // Waits for a run to end and shows it (tests).
    void FinishRun() { run_.Finish(); }
    const std::optional<Diagnosis>& Result() const { return diagnosis_; }
    // The diagnosis as the report prints it: the file, the words and the parts; empty without
    // one.
    QString ReportText() const;
    void RetranslateUi() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void Finished(Diagnosis diagnosis, BuiltDesign built);
    void ShowResult();
    void ShowTable();
    void ShowChart();
    // The reading on show: the mirrored one when asked and there is one.
    const DiagnosisReading* Reading() const;
    std::optional<double> ReferenceOhm() const;

    DesignDocument& document_;
    BackgroundRun run_;
    std::optional<TouchstoneData> data_;
    QString name_;
    std::optional<BuiltDesign> built_;
    std::optional<Diagnosis> diagnosis_;
    bool stale_ = false;  // the design changed after the fit: its values are not the build's

    QLabel* fileLabel_ = nullptr;
    QLabel* referenceLabel_ = nullptr;
    QComboBox* referenceCombo_ = nullptr;
    QPushButton* fitButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QCheckBox* mirroredCheck_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* measuredSeries_ = nullptr;
    QLineSeries* fittedSeries_ = nullptr;
    QLineSeries* designSeries_ = nullptr;
};

}  // namespace feldan
