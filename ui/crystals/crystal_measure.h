// A crystal measured on the analyser in the "Кварцы" window: Измерить… asks how, Следующий
// measures the next crystal as the last one was, По эталону finds the analyser's correction from
// a crystal of known fs; a bar and a line say how it goes, and the crystal found is added as a
// row of the table.
#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

#include "instruments/crystal_measurement.h"
#include "ui/common/settings.h"

class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QWidget;

namespace feldan {

class AnalyserRun;
class CrystalDialogs;
class CrystalTable;
class DesignDocument;
class DialogService;

class CrystalMeasure : public QObject {
    Q_OBJECT
  public:
    // The controls are made in `window`, which lays them out: Buttons() in its row of commands,
    // StatusRow() under it.
    CrystalMeasure(DesignDocument& document, CrystalTable& table, DialogService& dialogs,
                   const std::unique_ptr<CrystalDialogs>& crystalDialogs, QWidget* window);
    ~CrystalMeasure() override;

    std::vector<QPushButton*> Buttons() const {
        return {measureButton_, nextButton_, referenceButton_};
    }
    QLayout* StatusRow() const { return statusRow_; }

    void Measure();
    void MeasureNext();
    void MeasureReference();
    void Cancel();
    bool Measuring() const;
    void SetReadLimits(const ReadLimits& limits) { readLimits_ = limits; }
    // What was said of the measurements belongs to the table it was said of.
    void ClearStatus();
    void Retranslate();

  signals:
    // A measurement ended: a row added, or its fault shown.
    void Finished();

  private:
    void Start(const AnalyserSettings& settings);
    void ShowProgress(const MeasurementProgress& progress);
    void Done(CrystalMeasurement measurement);
    // A reference crystal measured: the correction that gives its known fs; what to say.
    QString TakeReference(const CrystalMeasurement& measurement, double referenceHz);
    void ShowRunning(bool running);

    DesignDocument& document_;
    CrystalTable& table_;
    DialogService& dialogs_;
    const std::unique_ptr<CrystalDialogs>& crystalDialogs_;
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
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* label_ = nullptr;
    QLayout* statusRow_ = nullptr;
};

}  // namespace feldan
