#include "ui/crystals/crystal_measure.h"

#include <QBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <utility>

#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/ui_text.h"
#include "ui/crystals/analyser_run.h"
#include "ui/crystals/crystal_dialogs.h"
#include "ui/crystals/crystal_table.h"
#include "ui/widgets/window_style.h"

namespace feldan {

CrystalMeasure::CrystalMeasure(DesignDocument& document, CrystalTable& table,
                               DialogService& dialogs,
                               const std::unique_ptr<CrystalDialogs>& crystalDialogs,
                               QWidget* window)
    : QObject(window),
      document_(document),
      table_(table),
      dialogs_(dialogs),
      crystalDialogs_(crystalDialogs) {
    measureButton_ = Button(window, "measureButton");
    nextButton_ = Button(window, "nextButton");
    referenceButton_ = Button(window, "referenceButton");
    cancelButton_ = Button(window, "cancelMeasureButton");
    cancelButton_->hide();
    progress_ = new QProgressBar(window);
    progress_->setObjectName(QStringLiteral("measureProgress"));
    progress_->setRange(0, 100);
    progress_->hide();
    label_ = new QLabel(window);
    label_->setObjectName(QStringLiteral("measureLabel"));
    auto* row = new QHBoxLayout;
    row->addWidget(label_, 1);
    row->addWidget(progress_, 1);
    row->addWidget(cancelButton_);
    statusRow_ = row;
    run_ = std::make_unique<AnalyserRun>(
        [this](const MeasurementProgress& progress) { ShowProgress(progress); },
        [this](CrystalMeasurement measurement) { Done(std::move(measurement)); });
    connect(measureButton_, &QPushButton::clicked, this, &CrystalMeasure::Measure);
    connect(nextButton_, &QPushButton::clicked, this, &CrystalMeasure::MeasureNext);
    connect(referenceButton_, &QPushButton::clicked, this, &CrystalMeasure::MeasureReference);
    connect(cancelButton_, &QPushButton::clicked, this, &CrystalMeasure::Cancel);
    Retranslate();
}

CrystalMeasure::~CrystalMeasure() = default;

void CrystalMeasure::Retranslate() {
    measureButton_->setText(tr("Измерить…"));
    measureButton_->setToolTip(tr("Измерить кварц на NanoVNA и добавить его в таблицу"));
    nextButton_->setText(tr("Следующий (F3)"));
    // One key per crystal of a bag: each press measures the next as the last was measured. Set
    // after the text, which replaces a button's shortcut by its mnemonic.
    nextButton_->setShortcut(QKeySequence(Qt::Key_F3));
    nextButton_->setToolTip(tr("Измерить следующий кварц с теми же настройками"));
    referenceButton_->setText(tr("По эталону…"));
    referenceButton_->setToolTip(
        tr("Найти поправку частоты прибора по кварцу с известной частотой fs"));
    cancelButton_->setText(tr("Отмена"));
}

bool CrystalMeasure::Measuring() const {
    return run_->Running();
}

void CrystalMeasure::ClearStatus() {
    label_->clear();
}

void CrystalMeasure::Measure() {
    if (Measuring()) return;
    AnalyserSettings offered = lastMeasurement_ ? *lastMeasurement_ : RememberedAnalyserSettings();
    // The nominal typed last, also into a dialog left with Отмена.
    if (const double kept = RememberedAnalyserSettings().nominalHz; kept > 0)
        offered.nominalHz = kept;
    if (!(offered.nominalHz > 0)) {
        // The design's Fo, in kHz, is the likeliest frequency of its crystals.
        if (const std::optional<double> fo = TypedNumber(FromUtf8(document_.Design().texts.Fo)))
            offered.nominalHz = *fo * 1000;
    }
    const std::optional<AnalyserSettings> chosen = crystalDialogs_->Measurement(offered);
    if (!chosen) return;
    Start(*chosen);
}

void CrystalMeasure::MeasureNext() {
    if (Measuring()) return;
    if (!lastMeasurement_) {
        Measure();
        return;
    }
    Start(*lastMeasurement_);
}

void CrystalMeasure::MeasureReference() {
    if (Measuring()) return;
    std::optional<AnalyserSettings> settings = lastMeasurement_;
    if (!settings) {
        settings = crystalDialogs_->Measurement(RememberedAnalyserSettings());
        if (!settings) return;
        lastMeasurement_ = settings;
    }
    const std::optional<double> knownHz =
        dialogs_.GetNumber(tr("Частота fs эталонного кварца, Гц:"), settings->nominalHz, 1, 1e10);
    if (!knownHz) return;
    referenceHz_ = *knownHz;
    Start(*settings);
}

void CrystalMeasure::Cancel() {
    run_->Cancel();
}

void CrystalMeasure::ShowRunning(bool running) {
    for (QPushButton* b : {measureButton_, nextButton_, referenceButton_})
        b->setEnabled(!running);
    progress_->setVisible(running);
    cancelButton_->setVisible(running);
}

void CrystalMeasure::Start(const AnalyserSettings& settings) {
    lastMeasurement_ = settings;
    RememberAnalyserSettings(settings);
    CrystalMeasurementSettings measurement;
    measurement.nominalHz = settings.nominalHz;
    measurement.fixtureOhm = settings.fixtureOhm;
    measurement.ppm = settings.ppm;
    if (!run_->Start(LocalPath(settings.port), measurement, readLimits_)) return;
    shownStage_ = MeasurementStage::Sweep;
    stageFirstScan_ = 0;
    progress_->setValue(0);
    ShowRunning(true);
    label_->setText(tr("Подключение к %1…").arg(settings.port));
}

void CrystalMeasure::ShowProgress(const MeasurementProgress& progress) {
    // The share of the bar each stage fills; the scans of a stage are not known beforehand,
    // so each moves the bar a step towards the stage's end.
    struct Stage {
        MeasurementStage stage;
        int from, to;
        const char* words;
    };
    static const std::array<Stage, 4> stages = {{
        {MeasurementStage::Sweep, 0, 100, QT_TR_NOOP("Развёртка")},
        {MeasurementStage::Search, 0, 25, QT_TR_NOOP("Поиск резонанса")},
        {MeasurementStage::Zoom, 25, 60, QT_TR_NOOP("Уточнение")},
        {MeasurementStage::Average, 60, 100, QT_TR_NOOP("Усреднение")},
    }};
    const Stage& stage = *std::find_if(stages.begin(), stages.end(),
                                       [&](const Stage& s) { return s.stage == progress.stage; });
    if (progress.stage != shownStage_) {
        shownStage_ = progress.stage;
        stageFirstScan_ = progress.scansDone;
    }
    const int step = 4 * (progress.scansDone - stageFirstScan_);
    progress_->setValue(stage.from + std::min(step, stage.to - stage.from - 1));
    label_->setText(tr("%1: %2 кГц ± %3 Гц, сканов %4")
                        .arg(tr(stage.words))
                        .arg(PlainNumber(progress.centreHz / 1000, 3))
                        .arg(PlainNumber(progress.spanHz / 2, 0))
                        .arg(progress.scansDone));
}

QString CrystalMeasure::TakeReference(const CrystalMeasurement& measurement, double referenceHz) {
    // The frequency the analyser itself reported, before the correction in force.
    const double reportedHz = measurement.kept.fsHz / (1 + lastMeasurement_->ppm * 1e-6);
    lastMeasurement_->ppm = (referenceHz / reportedHz - 1) * 1e6;
    RememberAnalyserSettings(*lastMeasurement_);
    const QString ppm = PlainNumber(lastMeasurement_->ppm, 3);
    const int corrected = table_.CorrectMeasuredRows(lastMeasurement_->ppm);
    if (corrected == 0)
        return tr("Поправка по эталону: %1 ppm; с ней будут измеряться следующие кварцы.").arg(ppm);
    return tr("Поправка по эталону: %1 ppm; измеренные здесь раньше кварцы (%2) пересчитаны с "
              "ней по своим развёрткам, следующие будут измеряться с ней.")
        .arg(ppm)
        .arg(corrected);
}

void CrystalMeasure::Done(CrystalMeasurement measurement) {
    const std::optional<double> referenceHz = std::exchange(referenceHz_, std::nullopt);
    ShowRunning(false);
    const auto finish = [this](const QString& status) {
        label_->setText(status);
        emit Finished();
    };
    if (!measurement.fit || measurement.fit->verdict == FitVerdict::NoResonance) {
        const Message message =
            measurement.message ? *measurement.message : Message{MessageId::VnaNoCrystal, ""};
        // A stop the user asked for needs no box.
        if (message.id == MessageId::VnaCancelled) return finish(tr("Измерение отменено."));
        finish(tr("Кварц не добавлен."));
        dialogs_.Error(MessageShown(message));
        return;
    }
    if (referenceHz && lastMeasurement_) return finish(TakeReference(measurement, *referenceHz));
    RowNote note;
    note.rmsErrorDb = measurement.fit->rmsErrorDb;
    if (measurement.message) note.warning = MessageShown(*measurement.message);
    if (lastMeasurement_) note.measuredPpm = lastMeasurement_->ppm;
    const QString name = tr("Кварц %1").arg(table_.Crystals().size() + 1);
    const double fsHz = measurement.kept.fsHz;
    table_.Append({{name.toStdString(), measurement.kept, std::move(measurement.sweep)}},
                  {std::move(note)});
    finish(tr("Добавлен «%1»: fs = %2 Гц. F3 — следующий кварц.").arg(name, PlainNumber(fsHz, 1)));
}

}  // namespace feldan
