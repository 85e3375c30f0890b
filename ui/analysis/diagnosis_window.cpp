#include "ui/analysis/diagnosis_window.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "engine/project.h"
#include "files/diagnosis_json.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"

namespace feldan {

namespace {

// The colours of a part off by more than its advice threshold, and of one the sweep leaves open.
const QColor WorstColour(190, 30, 30);
const QColor OpenColour(120, 120, 120);

bool InAGroup(const Diagnosis& d, const std::string& label) {
    return std::any_of(d.weakGroups.begin(), d.weakGroups.end(), [&](const WeakGroup& g) {
        return std::find(g.labels.begin(), g.labels.end(), label) != g.labels.end();
    });
}

bool Advised(const Diagnosis& d, const std::string& label) {
    return std::any_of(d.advice.begin(), d.advice.end(),
                       [&](const Advice& a) { return a.label == label; });
}

}  // namespace

DiagnosisWindow::DiagnosisWindow(DesignDocument& document, QWidget* parent)
    : Panel(parent, Qt::Window), document_(document) {
    setObjectName(QStringLiteral("DiagnosisWindow"));
    resize(1040, 700);
    BuildControls();
    connect(&document_, &DesignDocument::Calculated, this, [this] {
        if (!diagnosis_) return;
        stale_ = true;
        applyButton_->setEnabled(false);
    });
    RetranslateUi();
}

DiagnosisWindow::~DiagnosisWindow() {
    run_.Stop();
}

void DiagnosisWindow::BuildControls() {
    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName(QStringLiteral("diagnosisFileLabel"));
    referenceLabel_ = new QLabel(this);
    referenceCombo_ = new QComboBox(this);
    referenceCombo_->setObjectName(QStringLiteral("referenceCombo"));
    referenceCombo_->addItems({QString(), QString()});
    fitButton_ = new QPushButton(this);
    fitButton_->setObjectName(QStringLiteral("fitButton"));
    cancelButton_ = new QPushButton(this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setEnabled(false);
    applyButton_ = new QPushButton(this);
    applyButton_->setObjectName(QStringLiteral("applyButton"));
    applyButton_->setEnabled(false);
    mirroredCheck_ = new QCheckBox(this);
    mirroredCheck_->setObjectName(QStringLiteral("mirroredCheck"));
    mirroredCheck_->setVisible(false);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("partsTable"));
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setMinimumWidth(380);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("diagnosisText"));
    text_->setReadOnly(true);
    auto* chart = new QChart;
    measuredSeries_ = new QLineSeries(chart);
    fittedSeries_ = new QLineSeries(chart);
    designSeries_ = new QLineSeries(chart);
    measuredSeries_->setPen(QPen(QColor(200, 0, 0), 2));
    fittedSeries_->setPen(QPen(QColor(0, 0, 140), 1.5, Qt::DashLine));
    designSeries_->setPen(QPen(QColor(0, 140, 0), 1.5));
    auto* axisX = new QValueAxis(chart);
    auto* axisY = new QValueAxis(chart);
    axisX->setObjectName(QStringLiteral("axisX"));
    axisY->setObjectName(QStringLiteral("axisY"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QLineSeries* series : {designSeries_, measuredSeries_, fittedSeries_}) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chartView_ = new QChartView(chart, this);
    chartView_->setObjectName(QStringLiteral("diagnosisChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(460, 300);

    auto* reference = new QHBoxLayout;
    reference->addWidget(referenceLabel_);
    reference->addWidget(referenceCombo_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fitButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    buttons->addWidget(applyButton_);
    auto* left = new QVBoxLayout;
    left->addWidget(fileLabel_);
    left->addLayout(reference);
    left->addLayout(buttons);
    left->addWidget(progressBar_);
    left->addWidget(mirroredCheck_);
    left->addWidget(table_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(chartView_, 3);
    right->addWidget(text_, 2);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right, 1);

    connect(fitButton_, &QPushButton::clicked, this, &DiagnosisWindow::Fit);
    connect(cancelButton_, &QPushButton::clicked, this, &DiagnosisWindow::Cancel);
    connect(applyButton_, &QPushButton::clicked, this, &DiagnosisWindow::ApplyToDesign);
    connect(mirroredCheck_, &QCheckBox::toggled, this, [this] { ShowTable(); });
}

void DiagnosisWindow::Diagnose(const TouchstoneData& data, const QString& name) {
    data_ = data;
    name_ = name;
    Fit();
}

std::optional<double> DiagnosisWindow::ReferenceOhm() const {
    if (referenceCombo_->currentIndex() != 1) return std::nullopt;
    const ProjectBuild& build = document_.Build();
    if (!build.built) return std::nullopt;
    return build.circuit.terminationOhm;
}

void DiagnosisWindow::Fit() {
    if (!data_ || run_.Running()) return;
    RetranslateUi();
    diagnosis_.reset();
    stale_ = false;
    applyButton_->setEnabled(false);
    const ProjectBuild& build = document_.Build();
    const std::optional<double> reference = ReferenceOhm();
    if (const auto fault = FaultOfDiagnosisFile(*data_, name_.toStdString(), reference)) {
        text_->setPlainText(
            FromUtf8(CurrentLanguage() == Language::Russian ? fault->russian : fault->english));
        ShowTable();
        ShowChart();
        return;
    }
    if (!build.built) {
        text_->setPlainText(tr("Нечего сравнивать: %1").arg(MessageShown(build.message)));
        return;
    }
    BuiltDesign built = AsBuilt(build);
    const DiagnosisSweep sweep = DiagnosisSweepOf(*data_, reference);
    const ESeries series =
        document_.Project().Rounding() ? document_.Project().Rounding()->series : ESeries::E24;
    text_->setPlainText(tr("Подбираю детали по развёртке…"));
    progressBar_->setValue(0);
    fitButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    run_.Start([this, built, sweep, series](BackgroundRun::Job& job) -> BackgroundRun::End {
        const auto progress = [this, &job](double share) {
            const int percent = int(std::lround(100 * share));
            job.Report([this, percent] {
                progressBar_->setValue(std::max(progressBar_->value(), percent));
            });
        };
        Diagnosis d = DiagnoseFilter(built, sweep, progress, &job.CancelFlag(), series);
        return [this, d = std::move(d), built]() mutable { Finished(std::move(d), built); };
    });
}

void DiagnosisWindow::Cancel() {
    run_.Cancel();
}

void DiagnosisWindow::Finished(Diagnosis diagnosis, BuiltDesign built) {
    fitButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    progressBar_->setValue(100);
    diagnosis_ = std::move(diagnosis);
    built_ = std::move(built);
    ShowResult();
}

void DiagnosisWindow::ShowResult() {
    const bool fitted = diagnosis_ && diagnosis_->verdict == DiagnosisVerdict::Fitted;
    applyButton_->setEnabled(fitted && !stale_);
    mirroredCheck_->setVisible(fitted && diagnosis_->mirrored.has_value());
    if (diagnosis_) text_->setPlainText(FromUtf8(DiagnosisText(*diagnosis_, CurrentLanguage())));
    ShowTable();
    ShowChart();
}

const DiagnosisReading* DiagnosisWindow::Reading() const {
    if (!diagnosis_ || diagnosis_->verdict != DiagnosisVerdict::Fitted) return nullptr;
    if (mirroredCheck_->isChecked() && diagnosis_->mirrored) return &*diagnosis_->mirrored;
    return &diagnosis_->reading;
}

void DiagnosisWindow::ShowTable() {
    const DiagnosisReading* reading = Reading();
    table_->setRowCount(0);
    if (!reading) return;
    const Diagnosis& d = *diagnosis_;
    const auto row = [&](const std::string& label, const QString& designed, const QString& fitted,
                         const QString& error, const QString& bound) {
        const int r = table_->rowCount();
        table_->insertRow(r);
        const QString cells[] = {FromUtf8(label), designed, fitted, error, bound};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (Advised(d, label)) item->setForeground(WorstColour);
            if (InAGroup(d, label)) item->setForeground(OpenColour);
            if (Advised(d, label) && c == 0) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            table_->setItem(r, c, item);
        }
    };
    for (const FittedCapacitor& c : reading->capacitors) {
        row(c.label, tr("%1 пФ").arg(PlainNumber(c.designedPF, 2)),
            tr("%1 пФ").arg(PlainNumber(c.fittedPF, 2)),
            (c.errorPct > 0 ? QStringLiteral("+") : QString()) + PlainNumber(c.errorPct, 2) +
                QStringLiteral(" %"),
            QStringLiteral("±") + PlainNumber(std::min(c.boundPct, 999.0), 2) +
                QStringLiteral(" %"));
    }
    for (const FittedCrystal& q : reading->crystals) {
        row("ZQ" + std::to_string(q.position), QString(), QString(),
            (q.offsetHz > 0 ? QStringLiteral("+") : QString()) +
                tr("%1 Гц").arg(PlainNumber(q.offsetHz, 1)),
            QStringLiteral("±") + tr("%1 Гц").arg(PlainNumber(std::min(q.boundHz, 9999.0), 1)));
    }
    row("Rm", tr("%1 Ом").arg(PlainNumber(d.designRmOhm, 2)),
        tr("%1 Ом").arg(PlainNumber(d.rmOhm, 2)),
        (d.rmOhm > d.designRmOhm ? QStringLiteral("+") : QString()) +
            PlainNumber(100 * (d.rmOhm / d.designRmOhm - 1), 1) + QStringLiteral(" %"),
        QStringLiteral("±") + PlainNumber(d.rmBoundPct, 1) + QStringLiteral(" %"));
}

void DiagnosisWindow::ShowChart() {
    measuredSeries_->clear();
    fittedSeries_->clear();
    designSeries_->clear();
    if (!data_ || !built_) return;
    const double foHz = built_->design.input.FoKHz * 1000;
    const DiagnosisSweep sweep = DiagnosisSweepOf(*data_, ReferenceOhm());
    QList<QPointF> measured, fitted, design;
    for (std::size_t i = 0; i < sweep.hz.size(); ++i)
        measured.append({(sweep.hz[i] - foHz) / 1000, DecibelsOf(sweep.s21[i])});
    const std::vector<std::complex<double>> designS21 =
        SchematicS21(*built_, built_->values, sweep.portOhm, sweep.hz);
    for (std::size_t i = 0; i < sweep.hz.size(); ++i)
        design.append({(sweep.hz[i] - foHz) / 1000, DecibelsOf(designS21[i])});
    if (diagnosis_ && diagnosis_->verdict == DiagnosisVerdict::Fitted) {
        const std::vector<std::complex<double>> s21 =
            FittedResponse(*built_, *diagnosis_, sweep.hz);
        for (std::size_t i = 0; i < sweep.hz.size(); ++i)
            fitted.append({(sweep.hz[i] - foHz) / 1000, DecibelsOf(s21[i])});
    }
    const auto finite = [](QList<QPointF>& points) {
        points.erase(std::remove_if(points.begin(), points.end(),
                                    [](const QPointF& p) { return !std::isfinite(p.y()); }),
                     points.end());
    };
    finite(measured);
    finite(fitted);
    finite(design);
    measuredSeries_->replace(measured);
    fittedSeries_->replace(fitted);
    designSeries_->replace(design);
    double top = -1e9;
    for (const QPointF& p : measured)
        top = std::max(top, p.y());
    for (const QPointF& p : design)
        top = std::max(top, p.y());
    QChart* chart = chartView_->chart();
    auto* axisX = static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
    auto* axisY = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    if (!measured.isEmpty()) axisX->setRange(measured.front().x(), measured.back().x());
    const double ceiling = std::ceil((top + 1) / 10) * 10;
    axisY->setRange(ceiling - 80, ceiling);
}

void DiagnosisWindow::ApplyToDesign() {
    if (!diagnosis_ || diagnosis_->verdict != DiagnosisVerdict::Fitted || stale_) return;
    ProjectState& project = document_.Project();
    project.SetTuning(
        TuningOfDiagnosis(*diagnosis_, project.Tuning(), mirroredCheck_->isChecked()));
    // The build in force is the fitted filter now: the answer describes the build before it.
    stale_ = true;
    applyButton_->setEnabled(false);
}

QString DiagnosisWindow::ReportText() const {
    if (!diagnosis_) return QString();
    QString text = tr("Что построено (по %1):").arg(name_) + QLatin1Char('\n') +
                   FromUtf8(DiagnosisText(*diagnosis_, CurrentLanguage()));
    if (const DiagnosisReading* reading = Reading()) {
        text += QLatin1Char('\n');
        for (const FittedCapacitor& c : reading->capacitors)
            text +=
                QLatin1Char('\n') + tr("%1: %2 пФ, подобрано %3 пФ (%4 %, ±%5 %)")
                                        .arg(FromUtf8(c.label), PlainNumber(c.designedPF, 2),
                                             PlainNumber(c.fittedPF, 2), PlainNumber(c.errorPct, 2),
                                             PlainNumber(std::min(c.boundPct, 999.0), 2));
        for (const FittedCrystal& q : reading->crystals)
            text += QLatin1Char('\n') + tr("ZQ%1: %2 Гц (±%3 Гц)")
                                            .arg(q.position)
                                            .arg(PlainNumber(q.offsetHz, 1),
                                                 PlainNumber(std::min(q.boundHz, 9999.0), 1));
    }
    return text;
}

void DiagnosisWindow::closeEvent(QCloseEvent* event) {
    run_.Finish();
    QWidget::closeEvent(event);
}

void DiagnosisWindow::RetranslateUi() {
    setWindowTitle(tr("Что построено"));
    fileLabel_->setText(name_.isEmpty() ? tr("Измеренный фильтр не открыт")
                                        : tr("Измерение: %1").arg(name_));
    referenceLabel_->setText(tr("Порты измерения:"));
    const double fileOhm = data_ ? data_->referenceOhm : 50;
    referenceCombo_->setItemText(0, tr("как в файле (%1 Ом)").arg(LocaleNumber(fileOhm, 6)));
    const ProjectBuild& build = document_.Build();
    referenceCombo_->setItemText(1, build.built
                                        ? tr("через нагрузки расчёта (%1 Ом)")
                                              .arg(LocaleNumber(build.circuit.terminationOhm, 5))
                                        : tr("через нагрузки расчёта"));
    fitButton_->setText(tr("Подобрать"));
    cancelButton_->setText(tr("Отмена"));
    applyButton_->setText(tr("Применить к расчёту"));
    applyButton_->setStatusTip(
        tr("Подставить найденные значения деталей и кварцев как подстройку: дальше — от того, "
           "что построено"));
    mirroredCheck_->setText(tr("Обратное прочтение (вход и выход поменяны)"));
    table_->setHorizontalHeaderLabels(
        {tr("Деталь"), tr("Расчёт"), tr("Подобрано"), tr("Отклонение"), tr("Точность")});
    measuredSeries_->setName(tr("Измерение"));
    fittedSeries_->setName(tr("Подобранный фильтр"));
    designSeries_->setName(tr("Расчёт"));
    QChart* chart = chartView_->chart();
    chart->axes(Qt::Horizontal).front()->setTitleText(tr("Расстройка, кГц"));
    chart->axes(Qt::Vertical).front()->setTitleText(tr("|S21|, дБ"));
    if (diagnosis_) ShowResult();
}

}  // namespace feldan
