#include "ui/assembly/tolerance_window.h"

#include <QAreaSeries>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/messages.h"
#include "files/project_file.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/zoom_view.h"

namespace feldan {

namespace {

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QDoubleSpinBox* DoubleField(QWidget* parent, const char* name, double top, int decimals,
                            double value) {
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(0, top);
    field->setDecimals(decimals);
    field->setValue(value);
    return field;
}

}  // namespace

Histogram::Histogram(QWidget* parent) : QWidget(parent) {
    setMinimumSize(150, 130);
}

void Histogram::SetValues(std::vector<double> values, const QString& title, const QString& unit) {
    title_ = title;
    unit_ = unit;
    counts_.clear();
    if (!values.empty()) {
        const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
        low_ = *lo;
        high_ = *hi;
        // About the square root of the count, so that the shape shows at any number of trials.
        const int bins =
            high_ > low_ ? std::clamp(int(std::sqrt(double(values.size()))), 5, 30) : 1;
        counts_.assign(std::size_t(bins), 0);
        for (double v : values) {
            const int bin =
                high_ > low_ ? std::min(int((v - low_) / (high_ - low_) * bins), bins - 1) : 0;
            ++counts_[std::size_t(bin)];
        }
    }
    update();
}

void Histogram::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    painter.setPen(palette().text().color());
    painter.drawText(QRect(0, 2, width(), line), Qt::AlignHCenter, title_);
    const QRect plot(8, line + 6, width() - 16, height() - 2 * line - 12);
    painter.setPen(palette().mid().color());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (counts_.empty() || plot.width() <= 0 || plot.height() <= 0) return;
    const int most = *std::max_element(counts_.begin(), counts_.end());
    const double barWidth = double(plot.width()) / double(counts_.size());
    painter.setPen(QColor(40, 70, 140));
    painter.setBrush(QColor(110, 150, 220));
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        const double h = double(plot.height()) * counts_[i] / std::max(most, 1);
        painter.drawRect(QRectF(plot.left() + barWidth * double(i), plot.bottom() - h,
                                std::max(barWidth - 1, 1.0), h));
    }
    painter.setPen(palette().text().color());
    const QRect under(plot.left(), plot.bottom() + 3, plot.width(), line);
    painter.drawText(under, Qt::AlignLeft, LocaleNumber(low_) + QLatin1Char(' ') + unit_);
    if (high_ > low_)
        painter.drawText(under, Qt::AlignRight, LocaleNumber(high_) + QLatin1Char(' ') + unit_);
    painter.drawText(plot.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     QString::number(most));
}

ToleranceWindow::ToleranceWindow(DesignDocument& document, QWidget* parent)
    : Panel(parent, Qt::Window), document_(document) {
    setObjectName(QStringLiteral("ToleranceWindow"));
    resize(1000, 680);
    QFormLayout* form = BuildChoices();
    BuildRunControls();
    BuildChart();
    BuildHistograms();
    LayOutWindow(form);
    ConnectControls();
    RetranslateUi();
}

QFormLayout* ToleranceWindow::BuildChoices() {
    auto* form = new QFormLayout;
    trialsLabel_ = new QLabel(this);
    trialsSpin_ = new QSpinBox(this);
    trialsSpin_->setObjectName(QStringLiteral("trialsSpin"));
    trialsSpin_->setRange(1, 1000000);
    trialsSpin_->setValue(500);
    capLabel_ = new QLabel(this);
    capSpin_ = DoubleField(this, "capToleranceSpin", 100, 2, 5);
    distributionLabel_ = new QLabel(this);
    distributionCombo_ = new QComboBox(this);
    distributionCombo_->setObjectName(QStringLiteral("distributionCombo"));
    distributionCombo_->addItems({QString(), QString()});
    fsLabel_ = new QLabel(this);
    fsSpin_ = DoubleField(this, "fsSpreadSpin", 100000, 1, 0);
    rmLabel_ = new QLabel(this);
    rmSpin_ = DoubleField(this, "rmSpreadSpin", 100, 1, 0);
    seedLabel_ = new QLabel(this);
    seedSpin_ = new QSpinBox(this);
    seedSpin_->setObjectName(QStringLiteral("seedSpin"));
    seedSpin_->setRange(0, INT_MAX);
    seedSpin_->setValue(1);
    bandwidthLabel_ = new QLabel(this);
    bandwidthSpin_ = DoubleField(this, "bandwidthToleranceSpin", 100, 1, 5);
    rippleLabel_ = new QLabel(this);
    rippleSpin_ = DoubleField(this, "maxRippleSpin", 60, 2, 0.5);
    form->addRow(trialsLabel_, trialsSpin_);
    form->addRow(capLabel_, capSpin_);
    form->addRow(distributionLabel_, distributionCombo_);
    form->addRow(fsLabel_, fsSpin_);
    form->addRow(rmLabel_, rmSpin_);
    form->addRow(seedLabel_, seedSpin_);
    form->addRow(bandwidthLabel_, bandwidthSpin_);
    form->addRow(rippleLabel_, rippleSpin_);
    return form;
}

void ToleranceWindow::BuildRunControls() {
    runButton_ = new QPushButton(this);
    runButton_->setObjectName(QStringLiteral("runButton"));
    cancelButton_ = new QPushButton(this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setEnabled(false);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setValue(0);
    yieldLabel_ = new QLabel(this);
    yieldLabel_->setObjectName(QStringLiteral("yieldLabel"));
    yieldLabel_->setWordWrap(true);
    staleLabel_ = new QLabel(this);
    staleLabel_->setObjectName(QStringLiteral("staleLabel"));
    staleLabel_->setWordWrap(true);
    staleLabel_->setStyleSheet(QStringLiteral("color: #b00000"));
    staleLabel_->hide();
    percentilesTable_ = new QTableWidget(4, 5, this);
    percentilesTable_->setObjectName(QStringLiteral("percentilesTable"));
    percentilesTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    percentilesTable_->setFixedHeight(146);
}

void ToleranceWindow::BuildChart() {
    auto* chart = new QChart;
    nominalSeries_ = new QLineSeries(chart);
    p5Series_ = new QLineSeries(chart);
    p95Series_ = new QLineSeries(chart);
    bandSeries_ = new QAreaSeries(p95Series_, p5Series_);
    bandSeries_->setParent(chart);
    minSeries_ = new QLineSeries(chart);
    maxSeries_ = new QLineSeries(chart);
    nominalSeries_->setObjectName(QStringLiteral("nominalSeries"));
    bandSeries_->setObjectName(QStringLiteral("bandSeries"));
    minSeries_->setObjectName(QStringLiteral("minSeries"));
    maxSeries_->setObjectName(QStringLiteral("maxSeries"));
    bandSeries_->setBrush(QColor(110, 150, 220, 110));
    bandSeries_->setPen(QPen(QColor(110, 150, 220), 1));
    minSeries_->setPen(QPen(QColor(90, 90, 90), 1));
    maxSeries_->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    nominalSeries_->setPen(QPen(QColor(0, 0, 140), 3));
    axisX_ = new QValueAxis(chart);
    axisY_ = new QValueAxis(chart);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
             bandSeries_, minSeries_, maxSeries_, nominalSeries_}) {
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chartView_ = new QChartView(chart, this);
    chartView_->setObjectName(QStringLiteral("envelopeChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(420, 280);
}

void ToleranceWindow::BuildHistograms() {
    bandwidthHistogram_ = new Histogram(this);
    bandwidthHistogram_->setObjectName(QStringLiteral("bandwidthHistogram"));
    rippleHistogram_ = new Histogram(this);
    rippleHistogram_->setObjectName(QStringLiteral("rippleHistogram"));
    // A tilted band has no ripple at all: its flatness beside says how far it is from flat.
    flatnessHistogram_ = new Histogram(this);
    flatnessHistogram_->setObjectName(QStringLiteral("flatnessHistogram"));
    aminHistogram_ = new Histogram(this);
    aminHistogram_->setObjectName(QStringLiteral("aminHistogram"));
}

void ToleranceWindow::LayOutWindow(QFormLayout* form) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(runButton_);
    buttons->addWidget(cancelButton_);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(buttons);
    left->addWidget(progressBar_);
    left->addWidget(yieldLabel_);
    left->addWidget(staleLabel_);
    left->addStretch();
    auto* histograms = new QHBoxLayout;
    histograms->addWidget(bandwidthHistogram_);
    histograms->addWidget(rippleHistogram_);
    histograms->addWidget(flatnessHistogram_);
    histograms->addWidget(aminHistogram_);
    auto* right = new QVBoxLayout;
    right->addWidget(chartView_, 3);
    right->addLayout(histograms, 2);
    right->addWidget(percentilesTable_);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right, 1);
}

void ToleranceWindow::ConnectControls() {
    connect(runButton_, &QPushButton::clicked, this, &ToleranceWindow::Run);
    connect(cancelButton_, &QPushButton::clicked, this, &ToleranceWindow::Cancel);
    // A calculation of the same design changes nothing the trials depend on.
    connect(&document_, &DesignDocument::Calculated, this, [this] {
        if (ProjectBytes(document_.WholeProject()) != runProject_) MarkStale();
    });
    connect(&document_.Project(), &ProjectState::Changed, this, [this](ProjectState::Part part) {
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) MarkStale();
    });
}

// The run stops, and is waited for, with its member: its end has no window left to show in.
ToleranceWindow::~ToleranceWindow() = default;

ToleranceRequest ToleranceWindow::Request() const {
    ToleranceRequest request;
    request.trials = trialsSpin_->value();
    request.capTolerancePct = capSpin_->value();
    request.distribution =
        distributionCombo_->currentIndex() == 1 ? Distribution::Normal : Distribution::Uniform;
    request.fsSpreadHz = fsSpin_->value();
    request.rmSpreadPct = rmSpin_->value();
    request.seed = std::uint64_t(seedSpin_->value());
    request.bandwidthTolerancePct = bandwidthSpin_->value();
    request.maxRippleDb = rippleSpin_->value();
    return request;
}

void ToleranceWindow::Run() {
    if (Running()) return;
    // The filter as built: the rounding and the tuning in force, as the parts list has them.
    const ProjectBuild& build = document_.Build();
    if (!build.built) {
        yieldLabel_->setText(tr("Фильтр не рассчитывается: %1").arg(MessageShown(build.message)));
        return;
    }
    std::optional<BuiltDesign> built = AsBuilt(build);
    const ToleranceRequest request = Request();
    progressBar_->setRange(0, request.trials);
    progressBar_->setValue(0);
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    yieldLabel_->setText(tr("Идёт расчёт…"));
    stale_ = false;
    staleLabel_->hide();
    runProject_ = ProjectBytes(document_.WholeProject());
    runParts_ = document_.PartsInForceText();
    auto design = std::make_shared<const BuiltDesign>(std::move(*built));
    run_.Start([this, design, request](BackgroundRun::Job& job) -> BackgroundRun::End {
        // Called from every thread of the engine, not always in order: the bar keeps the largest
        // count.
        const auto progress = [this, &job](int done) {
            job.Report(
                [this, done] { progressBar_->setValue(std::max(progressBar_->value(), done)); });
        };
        auto result = std::make_shared<ToleranceResult>(
            RunTolerance(*design, request, progress, &job.CancelFlag()));
        return [this, result] { Finished(std::move(*result)); };
    });
}

void ToleranceWindow::Cancel() {
    run_.Cancel();
}

void ToleranceWindow::Finished(ToleranceResult result) {
    runButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    progressBar_->setValue(result.trials);
    result_ = std::move(result);
    ShowResult();
}

void ToleranceWindow::MarkStale() {
    if (!result_ && !Running()) return;
    stale_ = true;
    staleLabel_->setText(tr("Проект изменён после расчёта: результаты устарели."));
    staleLabel_->show();
}

void ToleranceWindow::ShowResult() {
    for (QLineSeries* series : {nominalSeries_, p5Series_, p95Series_, minSeries_, maxSeries_})
        series->clear();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 5; ++column)
            percentilesTable_->setItem(row, column, Cell(QString()));
    }
    if (!result_) {
        if (!Running()) yieldLabel_->clear();
        bandwidthHistogram_->SetValues({}, tr("Полоса"), tr("Гц"));
        rippleHistogram_->SetValues({}, tr("Неравномерность"), tr("дБ"));
        flatnessHistogram_->SetValues({}, tr("Плоскостность"), tr("дБ"));
        aminHistogram_->SetValues({}, tr("Амин"), tr("дБ"));
        return;
    }
    const ToleranceResult& r = *result_;
    QString text = tr("Выход годных: %1 % (%2 испытаний, не рассчитались: %3)")
                       .arg(PlainNumber(r.yield * 100, 1))
                       .arg(r.trials)
                       .arg(r.failed);
    if (r.cancelled) text += QLatin1Char(' ') + tr("Расчёт прерван.");
    yieldLabel_->setText(text + QLatin1Char('\n') + runParts_);

    const bool any = !r.bandwidthHz.empty();
    QList<QPointF> nominal, p5, p95, low, high;
    double y0 = 1e300, y1 = -1e300, nominalLow = 1e300;
    for (std::size_t i = 0; i < r.nominalCurve.size(); ++i) {
        const double x = r.nominalCurve[i].x;
        nominal.append(QPointF(x, r.nominalCurve[i].y));
        nominalLow = std::min(nominalLow, r.nominalCurve[i].y);
        y0 = std::min(y0, r.nominalCurve[i].y), y1 = std::max(y1, r.nominalCurve[i].y);
        if (!any || i >= r.envelope.size()) continue;
        const Percentiles& e = r.envelope[i];
        p5.append(QPointF(x, e.p5));
        p95.append(QPointF(x, e.p95));
        low.append(QPointF(x, e.min));
        high.append(QPointF(x, e.max));
        y0 = std::min(y0, e.min), y1 = std::max(y1, e.max);
    }
    nominalSeries_->replace(nominal);
    p5Series_->replace(p5);
    p95Series_->replace(p95);
    minSeries_->replace(low);
    maxSeries_->replace(high);
    if (!nominal.isEmpty()) {
        SetRoundAxisRange(axisX_, nominal.constFirst().x(), nominal.constLast().x(), 8, 0.001, 3);
        // The worst trials can fall far below the band: show 10 dB under the nominal curve.
        SetRoundAxisRange(axisY_, std::max(y0, nominalLow - 10), y1 + 0.5, 8, 0.1, 2);
    }

    bandwidthHistogram_->SetValues(r.bandwidthHz, tr("Полоса"), tr("Гц"));
    rippleHistogram_->SetValues(r.rippleDb, tr("Неравномерность"), tr("дБ"));
    flatnessHistogram_->SetValues(r.flatnessDb, tr("Плоскостность"), tr("дБ"));
    aminHistogram_->SetValues(r.aminDb, tr("Амин"), tr("дБ"));
    const auto row = [&](int at, const Percentiles& p, int digits) {
        const double values[] = {p.min, p.p5, p.median, p.p95, p.max};
        for (int column = 0; column < 5; ++column)
            percentilesTable_->setItem(at, column, Cell(LocaleNumber(values[column], digits)));
    };
    if (any) {
        row(0, r.bandwidth, 5);
        row(1, r.ripple, 3);
        row(2, r.flatness, 3);
        row(3, r.amin, 4);
    }
}

void ToleranceWindow::closeEvent(QCloseEvent* event) {
    // The trials finished before the close are shown when the window opens again.
    run_.Finish();
    QWidget::closeEvent(event);
}

void ToleranceWindow::RetranslateUi() {
    setWindowTitle(tr("Допуски (Монте-Карло)"));
    trialsLabel_->setText(tr("Испытаний:"));
    capLabel_->setText(tr("Допуск конденсаторов, ±%:"));
    distributionLabel_->setText(tr("Распределение:"));
    distributionCombo_->setItemText(0, tr("равномерное"));
    distributionCombo_->setItemText(1, tr("нормальное (допуск = 3σ)"));
    fsLabel_->setText(tr("Разброс fs кварцев (σ), Гц:"));
    rmLabel_->setText(tr("Разброс Rm кварцев (σ), %:"));
    seedLabel_->setText(tr("Начальное число:"));
    bandwidthLabel_->setText(tr("Годен: полоса в пределах ±%:"));
    rippleLabel_->setText(tr("Годен: неравномерность не более +дБ:"));
    runButton_->setText(tr("Пуск"));
    cancelButton_->setText(tr("Отмена"));
    percentilesTable_->setHorizontalHeaderLabels(
        {tr("мин."), tr("5 %"), tr("медиана"), tr("95 %"), tr("макс.")});
    percentilesTable_->setVerticalHeaderLabels(
        {tr("Полоса, Гц"), tr("Неравномерность, дБ"), tr("Плоскостность, дБ"), tr("Амин, дБ")});
    nominalSeries_->setName(tr("Номинал"));
    bandSeries_->setName(tr("5…95 %"));
    minSeries_->setName(tr("мин."));
    maxSeries_->setName(tr("макс."));
    axisX_->setTitleText(tr("Расстройка относительно Fo (кГц)"));
    axisY_->setTitleText(tr("Затухание (дБ)"));
    if (stale_) MarkStale();
    ShowResult();
}

}  // namespace feldan
