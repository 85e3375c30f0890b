// The "Подстройка" panel: every part a builder can set on the built filter, each in a field that
// the wheel or the arrow keys nudge and typing sets. After each change the tuned filter is
// measured and drawn in the main chart over the designed one, and the tuned values go into the
// project.
#pragma once

#include <QDockWidget>
#include <optional>
#include <vector>

#include "engine/tuning.h"
#include "ui/common/panel.h"

class QAbstractSpinBox;
class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace feldan {

class DesignDocument;
class PartField;
class ProjectState;
class ChartModel;

class TuningPanel : public Panel<QDockWidget> {
    Q_OBJECT
  public:
    // The tuned and designed curves go into `chart`.
    TuningPanel(DesignDocument& document, ChartModel& chart, QWidget* parent);

    // The parts of the design as the window holds it, built with the project's crystals and
    // rounding; tuned values of labels the design still has are kept.
    void Rebuild();
    void SetStep(TuningStep step);
    TuningStep Step() const;
    // Back to the values before the last change, and back to the values as built (designed or
    // rounded), which undo can take back too.
    void Undo();
    void Reset();

    // The checkable menu command that shows and hides the panel.
    QAction* MenuAction() const { return menuAction_; }

    const std::vector<TunablePart>& Parts() const { return parts_; }
    // The tuned filter as last measured; empty while there is no design.
    const std::optional<CalculationResult>& Tuned() const { return tuned_; }
    QString SummaryText() const;

  protected:
    void RetranslateUi() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString PartName(std::size_t part) const;
    // Builds the fields for parts_ afresh.
    void ShowParts();
    // Sets the values of parts_ (in their order), remembering the old ones for undo when asked;
    // measures and draws the tuned filter and stores the tuning in the project.
    void Apply(const std::vector<double>& values, bool remember);
    void Nudge(std::size_t part, int notches);
    void Typed(std::size_t part);
    void Measure();
    void ShowSummary();
    void ShowMessage(const QString& text);
    std::vector<double> Values() const;

    DesignDocument& document_;
    ChartModel& chart_;
    ProjectState& project_;
    std::optional<BuiltDesign> built_;
    std::optional<RoundingResult> rounding_;
    std::vector<TunablePart> parts_;
    std::vector<std::vector<double>> undo_;
    std::optional<CalculationResult> tuned_;
    QString failure_;  // why there is no design to tune

    QAction* menuAction_ = nullptr;
    QWidget* fieldsArea_ = nullptr;
    QGridLayout* fieldsLayout_ = nullptr;
    std::vector<QLabel*> fieldLabels_;
    std::vector<PartField*> fields_;
    std::vector<QLabel*> unitLabels_;
    QLabel* stepLabel_ = nullptr;
    QComboBox* stepCombo_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* message_ = nullptr;
    bool storing_ = false;  // the tuning the project reports is our own
    bool stale_ = true;     // the design changed while the panel was hidden
};

}  // namespace feldan
