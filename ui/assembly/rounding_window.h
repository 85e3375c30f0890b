// Сборка → "Стандартные номиналы…": the capacitors of the schematic rounded to a standard series,
// the rounded response beside the ideal one, and the L networks that match the filter's ends to
// a system resistance (50 Ω). Non-modal; it follows the main window's calculations.
#pragma once

#include <QWidget>
#include <optional>

#include "engine/matching.h"
#include "engine/project.h"
#include "engine/rounding.h"
#include "ui/common/panel.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineSeries;
class QTableWidget;
class QValueAxis;

namespace feldan {

class DesignDocument;

class RoundingWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    RoundingWindow(DesignDocument& document, QWidget* parent);

    // Builds the document's design again, then rounds it.
    void Rebuild();
    // Rounds the built design with the choices of the window.
    void Round();
    // Brings the matching section forward.
    void ShowMatching();

    RoundingRequest Request() const;
    // The last rounding; nullopt while the design does not build.
    const std::optional<RoundingResult>& Result() const { return result_; }
    const std::optional<BuiltDesign>& Built() const { return built_; }
    // The L network at each end (the capacitor rounded when the rounding is used).
    // Both ends' networks for the system resistance shown, from the termination in force.
    std::optional<MatchedEnds> Ends() const;
    // The filter as built under the rounding shown (when it is used), the project's tuning and
    // the system resistance shown: what the report's parts list and feldan-cli match give.
    const std::optional<ProjectBuild>& AsBuilt() const { return asBuilt_; }

  protected:
    void RetranslateUi() override;
    void showEvent(QShowEvent* event) override;

  private:
    // The constructor's parts: the rounding and matching choices, the status and the tables, the
    // chart, the window's two columns, and the controls' connections.
    void BuildRoundingBox();
    void BuildMatchingBox();
    void BuildTables();
    void BuildChart();
    void LayOutWindow();
    void ConnectControls();
    // A new design: rebuilt at once while shown, else when shown next.
    void Follow();
    // The controls from the project's rounding and matching, without feeding them back.
    void LoadFromProject();
    // Stores the rounding or the matching resistance in the project when they are in use.
    void StoreRounding();
    void StoreMatching();
    void ShowTables();
    void ShowMatchingValues();
    void ShowCurves();
    // The schematic's values with the rounded capacitors, and its termination.

    DesignDocument& document_;
    std::optional<BuiltDesign> built_;
    std::optional<RoundingResult> result_;
    std::optional<ProjectBuild> asBuilt_;
    std::optional<CalculationResult> matched_;
    std::optional<Message> buildMessage_;  // why the design did not build
    bool outdated_ = false;

    QComboBox* seriesCombo_ = nullptr;
    QCheckBox* parallelCheck_ = nullptr;
    QDoubleSpinBox* parallelPctSpin_ = nullptr;
    QCheckBox* refitCheck_ = nullptr;
    QCheckBox* e24Check_ = nullptr;
    QCheckBox* useCheck_ = nullptr;
    QLabel* refitNote_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTableWidget* partsTable_ = nullptr;
    QTableWidget* summaryTable_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* idealSeries_ = nullptr;
    QLineSeries* roundedSeries_ = nullptr;
    QLineSeries* matchedSeries_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QGroupBox* roundingBox_ = nullptr;
    QGroupBox* matchingBox_ = nullptr;
    QLabel* systemOhmLabel_ = nullptr;
    QDoubleSpinBox* systemOhmSpin_ = nullptr;
    QLabel* inputEndLabel_ = nullptr;
    QLabel* outputEndLabel_ = nullptr;
    QLabel* transformerLabel_ = nullptr;
    QCheckBox* showMatchedCheck_ = nullptr;
};

}  // namespace feldan
