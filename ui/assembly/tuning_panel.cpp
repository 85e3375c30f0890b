#include "ui/assembly/tuning_panel.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/messages.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/chart_model.h"

namespace feldan {

// A value field of the panel: the wheel, the arrow keys and Page Up/Down step it through
// `stepped`; what is typed is read when editing finishes.
class PartField : public QAbstractSpinBox {
  public:
    explicit PartField(QWidget* parent) : QAbstractSpinBox(parent) {
        setAlignment(Qt::AlignRight);
        setAccelerated(false);
        setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    }
    void stepBy(int steps) override {
        if (stepped) stepped(steps);
    }
    QLineEdit* Editor() const { return lineEdit(); }
    std::function<void(int)> stepped;

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

namespace {

// Undo keeps this many changes.
constexpr std::size_t UndoDepth = 100;

const char* const StepNames[] = {
    QT_TRANSLATE_NOOP("feldan::TuningPanel", "1 %"),
    QT_TRANSLATE_NOOP("feldan::TuningPanel", "0,1 %"),
    QT_TRANSLATE_NOOP("feldan::TuningPanel", "до следующего E12"),
    QT_TRANSLATE_NOOP("feldan::TuningPanel", "до следующего E24"),
    QT_TRANSLATE_NOOP("feldan::TuningPanel", "до следующего E96"),
};

// A value with five significant digits (a 0.1 % step shows) and no trailing zeros.
QString ValueText(double value, char separator) {
    const int magnitude = value > 0 ? int(std::floor(std::log10(value))) : 0;
    QString text = QString::number(value, 'f', std::clamp(4 - magnitude, 0, 6));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    if (separator == ',') text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

}  // namespace

TuningPanel::TuningPanel(DesignDocument& document, ChartModel& chart, QWidget* parent)
    : Panel(parent), document_(document), chart_(chart), project_(document.Project()) {
    setObjectName(QStringLiteral("tuningPanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(6, 4, 6, 6);

    auto* scroll = new QScrollArea(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    fieldsArea_ = new QWidget(scroll);
    fieldsLayout_ = new QGridLayout(fieldsArea_);
    fieldsLayout_->setContentsMargins(0, 0, 0, 0);
    fieldsLayout_->setColumnStretch(1, 1);
    scroll->setWidget(fieldsArea_);
    column->addWidget(scroll, 1);

    auto* stepRow = new QHBoxLayout;
    stepLabel_ = new QLabel(content);
    stepCombo_ = new QComboBox(content);
    stepCombo_->setObjectName(QStringLiteral("tuningStep"));
    for (std::size_t i = 0; i < std::size(StepNames); ++i)
        stepCombo_->addItem(QString());
    stepRow->addWidget(stepLabel_);
    stepRow->addWidget(stepCombo_, 1);
    column->addLayout(stepRow);

    auto* buttons = new QHBoxLayout;
    undoButton_ = new QPushButton(content);
    undoButton_->setObjectName(QStringLiteral("tuningUndo"));
    resetButton_ = new QPushButton(content);
    resetButton_->setObjectName(QStringLiteral("tuningReset"));
    buttons->addWidget(undoButton_);
    buttons->addWidget(resetButton_);
    column->addLayout(buttons);

    summary_ = new QLabel(content);
    summary_->setObjectName(QStringLiteral("tuningSummary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(summary_);
    message_ = new QLabel(content);
    message_->setObjectName(QStringLiteral("tuningMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #a00000;"));
    message_->hide();
    column->addWidget(message_);
    setWidget(content);

    menuAction_ = new QAction(this);
    menuAction_->setObjectName(QStringLiteral("tuningAction"));
    menuAction_->setCheckable(true);
    menuAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+T")));
    connect(menuAction_, &QAction::triggered, this, &QWidget::setVisible);
    // Closed by its own button, the panel clears the check mark too.
    connect(toggleViewAction(), &QAction::toggled, menuAction_, &QAction::setChecked);

    connect(undoButton_, &QPushButton::clicked, this, &TuningPanel::Undo);
    connect(resetButton_, &QPushButton::clicked, this, &TuningPanel::Reset);
    connect(&project_, &ProjectState::Changed, this, [this](ProjectState::Part part) {
        if (part == ProjectState::Part::Matching) return;
        if (part == ProjectState::Part::Tuning) {
            if (storing_ || !built_) return;
            // A tuning from elsewhere (a project opened): its values, and nothing to undo.
            parts_ = TunablePartsOf(*built_, rounding_ ? &*rounding_ : nullptr, project_.Tuning());
            undo_.clear();
            ShowParts();
            Measure();
            return;
        }
        stale_ = true;
        if (isVisible()) Rebuild();
    });
    connect(&document_, &DesignDocument::Calculated, this, [this] {
        stale_ = true;
        if (isVisible()) Rebuild();
    });
    RetranslateUi();
}

QString TuningPanel::PartName(std::size_t part) const {
    // The termination as the summary names it; the capacitors and trims by their labels.
    if (parts_[part].kind == TunableKind::Termination) return tr("Rвх");
    if (parts_[part].kind == TunableKind::OutputTermination) return tr("Rвых");
    return FromUtf8(JoinedLabels(parts_[part].labels));
}

void TuningPanel::RetranslateUi() {
    setWindowTitle(tr("Подстройка"));
    menuAction_->setText(tr("Подс&тройка"));
    stepLabel_->setText(tr("Шаг:"));
    for (int i = 0; i < int(std::size(StepNames)); ++i)
        stepCombo_->setItemText(i, tr(StepNames[i]));
    undoButton_->setText(tr("Отменить"));
    undoButton_->setStatusTip(tr("Вернуть значения до последнего изменения (Ctrl+Z)"));
    resetButton_->setText(tr("Сбросить"));
    resetButton_->setStatusTip(tr("Вернуть все детали к значениям расчёта или округления"));
    for (std::size_t i = 0; i < unitLabels_.size(); ++i) {
        const TunableKind kind = parts_[i].kind;
        const bool ohm = parts_[i].IsTermination() || kind == TunableKind::MotionalResistance;
        unitLabels_[i]->setText(kind == TunableKind::Crystal ? tr("Гц")
                                : ohm                        ? tr("Ом")
                                                             : tr("пФ"));
        fieldLabels_[i]->setText(PartName(i));
    }
    if (!failure_.isEmpty()) ShowMessage(failure_);
    ShowSummary();
}

void TuningPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (stale_) {
        Rebuild();
    } else {
        Measure();
    }
}

void TuningPanel::hideEvent(QHideEvent* event) {
    QDockWidget::hideEvent(event);
    // The chart is the window's own again while no one tunes.
    chart_.ClearTuningCurves();
}

void TuningPanel::SetStep(TuningStep step) {
    stepCombo_->setCurrentIndex(int(step));
}

TuningStep TuningPanel::Step() const {
    return static_cast<TuningStep>(std::max(stepCombo_->currentIndex(), 0));
}

void TuningPanel::Rebuild() {
    stale_ = false;
    const ProjectBuild& build = document_.Build();
    built_ = build.built;
    rounding_ = build.rounding;
    parts_ = build.parts;
    undo_.clear();
    tuned_.reset();
    failure_.clear();
    if (!built_) {
        failure_ = tr("Нечего подстраивать: %1").arg(MessageShown(build.message));
    }
    ShowParts();
    Measure();
}

void TuningPanel::ShowParts() {
    for (QWidget* widget : fieldsArea_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete widget;
    fieldLabels_.clear();
    fields_.clear();
    unitLabels_.clear();
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const TunablePart& part = parts_[i];
        auto* label = new QLabel(FromUtf8(JoinedLabels(part.labels)), fieldsArea_);
        auto* field = new PartField(fieldsArea_);
        field->setObjectName(QStringLiteral("tune") + FromUtf8(part.label));
        label->setObjectName(field->objectName() + QStringLiteral("Label"));
        label->setBuddy(field);
        field->stepped = [this, i](int notches) { Nudge(i, notches); };
        connect(field, &QAbstractSpinBox::editingFinished, this, [this, i] { Typed(i); });
        field->installEventFilter(this);
        field->Editor()->installEventFilter(this);
        auto* unit = new QLabel(fieldsArea_);
        const int row = int(i);
        fieldsLayout_->addWidget(label, row, 0);
        fieldsLayout_->addWidget(field, row, 1);
        fieldsLayout_->addWidget(unit, row, 2);
        fieldLabels_.push_back(label);
        fields_.push_back(field);
        unitLabels_.push_back(unit);
    }
    fieldsLayout_->setRowStretch(int(parts_.size()), 1);
    RetranslateUi();
    resetButton_->setEnabled(!parts_.empty());
}

std::vector<double> TuningPanel::Values() const {
    std::vector<double> values;
    for (const TunablePart& part : parts_)
        values.push_back(part.value);
    return values;
}

void TuningPanel::Apply(const std::vector<double>& values, bool remember) {
    if (values.size() != parts_.size()) return;
    if (remember) {
        undo_.push_back(Values());
        if (undo_.size() > UndoDepth) undo_.erase(undo_.begin());
    }
    for (std::size_t i = 0; i < parts_.size(); ++i)
        parts_[i].value = values[i];
    storing_ = true;
    project_.SetTuning(TuningOf(parts_));
    storing_ = false;
    Measure();
}

void TuningPanel::Nudge(std::size_t part, int notches) {
    if (part >= parts_.size() || notches == 0) return;
    std::vector<double> values = Values();
    const double moved = SteppedValueOf(parts_[part], Step(), notches);
    // A series step from beyond the series' reach leaves the value as it was.
    if (!(moved > 0) || !std::isfinite(moved) || moved == values[part]) return;
    values[part] = moved;
    ShowMessage(QString());
    Apply(values, true);
}

void TuningPanel::Typed(std::size_t part) {
    if (part >= parts_.size()) return;
    PartField* field = fields_[part];
    const QString text = field->text().trimmed();
    if (text == ValueText(parts_[part].value, document_.Separator())) return;
    const std::optional<double> typed = TypedNumber(text);
    const double value = typed.value_or(0);
    if (!(value > 0) || value > 1e9) {
        ShowMessage(
            tr("%1: «%2» — не число больше нуля; осталось %3")
                .arg(PartName(part), text, ValueText(parts_[part].value, document_.Separator())));
        Measure();
        return;
    }
    ShowMessage(QString());
    std::vector<double> values = Values();
    values[part] = value;
    Apply(values, true);
}

void TuningPanel::Undo() {
    if (undo_.empty()) return;
    const std::vector<double> values = undo_.back();
    undo_.pop_back();
    Apply(values, false);
}

void TuningPanel::Reset() {
    std::vector<double> values;
    for (const TunablePart& part : parts_)
        values.push_back(part.built);
    if (values == Values()) return;
    Apply(values, true);
}

void TuningPanel::Measure() {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const QString text = ValueText(parts_[i].value, document_.Separator());
        if (fields_[i]->text() != text) fields_[i]->Editor()->setText(text);
        QFont font = fieldLabels_[i]->font();
        font.setBold(parts_[i].Tuned());
        fieldLabels_[i]->setFont(font);
    }
    undoButton_->setEnabled(!undo_.empty());
    if (!built_) {
        tuned_.reset();
        chart_.ClearTuningCurves();
        ShowSummary();
        return;
    }
    const TunedCircuit circuit = TunedCircuitOf(*built_, parts_);
    tuned_ = MeasureSchematic(*built_, circuit.values, circuit.terminationOhm,
                              circuit.outputTerminationOhm);
    if (isVisible()) {
        chart_.SetTuningCurve(TuningCurve::Designed, built_->schematic.curve);
        chart_.SetTuningCurve(TuningCurve::Tuned, tuned_->curve);
    }
    ShowSummary();
}

QString TuningPanel::SummaryText() const {
    if (!built_ || !tuned_) return QString();
    const auto number = [this](double value, int decimals) {
        QString text = QString::number(value, 'f', decimals);
        if (document_.Separator() == ',') text.replace(QLatin1Char('.'), QLatin1Char(','));
        return text;
    };
    const auto peak = [&](const Measurements& m) {
        const double kHz = (m.PeakHz - built_->design.input.FoKHz * 1000) / 1000;
        return (kHz >= 0 ? QStringLiteral("Fo+") : QStringLiteral("Fo")) + number(kHz, 3);
    };
    const Measurements& designed = built_->schematic.measurements;
    QStringList lines;
    if (tuned_->outcome != Outcome::Done) {
        lines.append(MessageShown(tuned_->message));
    } else {
        const Measurements& m = tuned_->measurements;
        lines.append(tr("dF = %1 Гц (расчёт %2)")
                         .arg(number(m.MeasuredDfHz, 0), number(designed.MeasuredDfHz, 0)));
        lines.append(
            tr("Амин = %1 дБ (расчёт %2)").arg(number(m.AminDb, 3), number(designed.AminDb, 3)));
        lines.append(tr("Пик: %1 кГц (расчёт %2)").arg(peak(m), peak(designed)));
    }
    return lines.join(QLatin1Char('\n'));
}

void TuningPanel::ShowSummary() {
    summary_->setText(SummaryText());
}

void TuningPanel::ShowMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
}

void TuningPanel::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

bool TuningPanel::eventFilter(QObject* watched, QEvent* event) {
    // A field's editor would take Ctrl+Z for its own text; here it undoes the last change.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo)) {
            if (event->type() == QEvent::KeyPress) Undo();
            event->accept();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

}  // namespace feldan
