#include "ui/assembly/rounding_window.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/matching.h"
#include "engine/messages.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/zoom_view.h"

namespace feldan {

namespace {

constexpr std::array<ESeries, 4> SeriesChoices = {ESeries::E6, ESeries::E12, ESeries::E24,
                                                  ESeries::E96};

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// Both axes around every point of the curves, with a little air above and below.
void FitAxes(QValueAxis* x, QValueAxis* y, std::initializer_list<const QLineSeries*> series) {
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const QLineSeries* s : series) {
        if (!s->isVisible()) continue;
        for (const QPointF& p : s->points()) {
            x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
        }
    }
    if (x0 >= x1) return;
    // Ticks at round values, as the main chart has them.
    SetRoundAxisRange(x, x0, x1, 8, 0.001, 3);
    const double air = std::max((y1 - y0) * 0.05, 0.1);
    SetRoundAxisRange(y, y0 - air, y1 + air, 8, 0.1, 2);
}

void SetPoints(QLineSeries* series, const std::vector<CurvePoint>& curve) {
    QList<QPointF> points;
    points.reserve(qsizetype(curve.size()));
    for (const CurvePoint& p : curve)
        points.append(QPointF(p.x, p.y));
    series->replace(points);
}

}  // namespace

RoundingWindow::RoundingWindow(DesignDocument& document, QWidget* parent)
    : Panel(parent, Qt::Window), document_(document) {
    setObjectName(QStringLiteral("RoundingWindow"));
    resize(1100, 680);
    BuildRoundingBox();
    BuildMatchingBox();
    BuildTables();
    BuildChart();
    LayOutWindow();
    ConnectControls();
    LoadFromProject();
    RetranslateUi();
    Rebuild();
}

void RoundingWindow::BuildRoundingBox() {
    roundingBox_ = new QGroupBox(this);
    seriesCombo_ = new QComboBox(roundingBox_);
    seriesCombo_->setObjectName(QStringLiteral("seriesCombo"));
    for (ESeries series : SeriesChoices) {
        const std::string_view name = NameOf(series);
        seriesCombo_->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    seriesCombo_->setCurrentIndex(2);
    parallelCheck_ = new QCheckBox(roundingBox_);
    parallelCheck_->setObjectName(QStringLiteral("parallelCheck"));
    parallelPctSpin_ = new QDoubleSpinBox(roundingBox_);
    parallelPctSpin_->setObjectName(QStringLiteral("parallelPctSpin"));
    parallelPctSpin_->setRange(0, 50);
    parallelPctSpin_->setDecimals(1);
    parallelPctSpin_->setSingleStep(0.5);
    parallelPctSpin_->setValue(2);
    parallelPctSpin_->setSuffix(QStringLiteral(" %"));
    refitCheck_ = new QCheckBox(roundingBox_);
    refitCheck_->setObjectName(QStringLiteral("refitCheck"));
    e24Check_ = new QCheckBox(roundingBox_);
    e24Check_->setObjectName(QStringLiteral("e24Check"));
    useCheck_ = new QCheckBox(roundingBox_);
    useCheck_->setObjectName(QStringLiteral("useCheck"));
    refitNote_ = new QLabel(roundingBox_);
    refitNote_->setObjectName(QStringLiteral("refitNote"));
    refitNote_->setWordWrap(true);
    auto* parallelRow = new QHBoxLayout;
    parallelRow->addWidget(parallelCheck_);
    parallelRow->addWidget(parallelPctSpin_);
    parallelRow->addStretch();
    auto* roundingLayout = new QVBoxLayout(roundingBox_);
    roundingLayout->addWidget(seriesCombo_);
    roundingLayout->addLayout(parallelRow);
    roundingLayout->addWidget(refitCheck_);
    roundingLayout->addWidget(e24Check_);
    roundingLayout->addWidget(refitNote_);
    roundingLayout->addWidget(useCheck_);
}

void RoundingWindow::BuildMatchingBox() {
    matchingBox_ = new QGroupBox(this);
    matchingBox_->setObjectName(QStringLiteral("matchingBox"));
    systemOhmLabel_ = new QLabel(matchingBox_);
    systemOhmSpin_ = new QDoubleSpinBox(matchingBox_);
    systemOhmSpin_->setObjectName(QStringLiteral("systemOhmSpin"));
    systemOhmSpin_->setRange(1, 100000);
    systemOhmSpin_->setDecimals(1);
    systemOhmSpin_->setValue(50);
    inputEndLabel_ = new QLabel(matchingBox_);
    inputEndLabel_->setObjectName(QStringLiteral("inputEndLabel"));
    outputEndLabel_ = new QLabel(matchingBox_);
    outputEndLabel_->setObjectName(QStringLiteral("outputEndLabel"));
    transformerLabel_ = new QLabel(matchingBox_);
    transformerLabel_->setObjectName(QStringLiteral("transformerLabel"));
    for (QLabel* label : {inputEndLabel_, outputEndLabel_, transformerLabel_}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    showMatchedCheck_ = new QCheckBox(matchingBox_);
    showMatchedCheck_->setObjectName(QStringLiteral("showMatchedCheck"));
    auto* ohmRow = new QHBoxLayout;
    ohmRow->addWidget(systemOhmLabel_);
    ohmRow->addWidget(systemOhmSpin_);
    ohmRow->addStretch();
    auto* matchingLayout = new QVBoxLayout(matchingBox_);
    matchingLayout->addLayout(ohmRow);
    matchingLayout->addWidget(inputEndLabel_);
    matchingLayout->addWidget(outputEndLabel_);
    matchingLayout->addWidget(transformerLabel_);
    matchingLayout->addWidget(showMatchedCheck_);
}

void RoundingWindow::BuildTables() {
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setWordWrap(true);
    partsTable_ = new QTableWidget(0, 4, this);
    partsTable_->setObjectName(QStringLiteral("partsTable"));
    partsTable_->verticalHeader()->hide();
    partsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    summaryTable_ = new QTableWidget(5, 2, this);
    summaryTable_->setObjectName(QStringLiteral("summaryTable"));
    summaryTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    summaryTable_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    summaryTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    summaryTable_->setFixedHeight(summaryTable_->horizontalHeader()->sizeHint().height() +
                                  summaryTable_->rowCount() *
                                      summaryTable_->verticalHeader()->defaultSectionSize() +
                                  2 * summaryTable_->frameWidth());
}

void RoundingWindow::BuildChart() {
    auto* chart = new QChart;
    idealSeries_ = new QLineSeries(chart);
    idealSeries_->setObjectName(QStringLiteral("idealSeries"));
    roundedSeries_ = new QLineSeries(chart);
    roundedSeries_->setObjectName(QStringLiteral("roundedSeries"));
    matchedSeries_ = new QLineSeries(chart);
    matchedSeries_->setObjectName(QStringLiteral("matchedSeries"));
    idealSeries_->setPen(QPen(QColor(0, 0, 160), 2));
    roundedSeries_->setPen(QPen(QColor(200, 0, 0), 2));
    matchedSeries_->setPen(QPen(QColor(0, 140, 0), 1.5, Qt::DashLine));
    axisX_ = new QValueAxis(chart);
    axisY_ = new QValueAxis(chart);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries* series : {idealSeries_, roundedSeries_, matchedSeries_}) {
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    matchedSeries_->setVisible(false);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->markers(matchedSeries_).constFirst()->setVisible(false);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chartView_ = new QChartView(chart, this);
    chartView_->setObjectName(QStringLiteral("roundingChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(420, 300);
}

void RoundingWindow::LayOutWindow() {
    auto* left = new QVBoxLayout;
    left->addWidget(roundingBox_);
    left->addWidget(matchingBox_);
    left->addWidget(summaryTable_);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(statusLabel_);
    right->addWidget(chartView_, 3);
    right->addWidget(partsTable_, 2);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right, 1);
}

void RoundingWindow::ConnectControls() {
    for (QCheckBox* box : {parallelCheck_, refitCheck_, e24Check_})
        connect(box, &QCheckBox::toggled, this, &RoundingWindow::Round);
    connect(seriesCombo_, &QComboBox::currentIndexChanged, this, &RoundingWindow::Round);
    connect(parallelPctSpin_, &QDoubleSpinBox::valueChanged, this, &RoundingWindow::Round);
    connect(useCheck_, &QCheckBox::toggled, this, &RoundingWindow::Round);
    connect(systemOhmSpin_, &QDoubleSpinBox::valueChanged, this, &RoundingWindow::Round);
    connect(showMatchedCheck_, &QCheckBox::toggled, this, &RoundingWindow::Round);
    connect(&document_, &DesignDocument::Calculated, this, &RoundingWindow::Follow);
    connect(&document_.Project(), &ProjectState::Changed, this, [this](ProjectState::Part part) {
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) {
            Follow();
        } else if (!IsRefreshing() &&
                   (part == ProjectState::Part::Rounding || part == ProjectState::Part::Matching)) {
            LoadFromProject();
            Round();
        }
    });
}

void RoundingWindow::LoadFromProject() {
    const Refreshing refreshing(*this);
    const ProjectState& project = document_.Project();
    if (const std::optional<RoundingRequest>& r = project.Rounding()) {
        const auto at = std::find(SeriesChoices.begin(), SeriesChoices.end(), r->series);
        seriesCombo_->setCurrentIndex(int(at - SeriesChoices.begin()));
        parallelCheck_->setChecked(r->parallelPct.has_value());
        if (r->parallelPct) parallelPctSpin_->setValue(*r->parallelPct);
        refitCheck_->setChecked(r->refitTermination);
        e24Check_->setChecked(r->terminationToE24);
        useCheck_->setChecked(true);
    } else {
        useCheck_->setChecked(false);
    }
    if (const std::optional<double> ohm = project.MatchOhm()) {
        systemOhmSpin_->setValue(*ohm);
        showMatchedCheck_->setChecked(true);
    } else {
        showMatchedCheck_->setChecked(false);
    }
}

RoundingRequest RoundingWindow::Request() const {
    RoundingRequest request;
    request.series = SeriesChoices[std::size_t(std::max(seriesCombo_->currentIndex(), 0))];
    if (parallelCheck_->isChecked()) request.parallelPct = parallelPctSpin_->value();
    request.refitTermination = refitCheck_->isChecked();
    request.terminationToE24 = refitCheck_->isChecked() && e24Check_->isChecked();
    return request;
}

void RoundingWindow::Rebuild() {
    outdated_ = false;
    DesignBuild build = document_.BuildDesignOnly();
    built_ = std::move(build.built);
    buildMessage_ = built_ ? std::nullopt : std::optional<Message>(build.message);
    Round();
}

void RoundingWindow::Follow() {
    if (isVisible()) {
        Rebuild();
    } else {
        outdated_ = true;
    }
}

void RoundingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (outdated_) Rebuild();
}

void RoundingWindow::Round() {
    if (IsRefreshing()) return;
    e24Check_->setEnabled(refitCheck_->isChecked());
    parallelPctSpin_->setEnabled(parallelCheck_->isChecked());
    StoreRounding();
    StoreMatching();
    result_.reset();
    asBuilt_.reset();
    matched_.reset();
    if (built_) {
        const RoundingRequest request = Request();
        result_ = RoundDesign(*built_, request);
        const bool used = useCheck_->isChecked();
        asBuilt_ = BuildOnDesign(*built_, used ? std::optional(request) : std::nullopt,
                                 used ? result_ : std::nullopt, document_.Project().Tuning(),
                                 systemOhmSpin_->value());
        if (showMatchedCheck_->isChecked() && asBuilt_->matching) {
            matched_ = MeasureMatched(*built_, asBuilt_->circuit.values, asBuilt_->matching->ends);
        }
    }
    if (buildMessage_) {
        statusLabel_->setText(tr("Фильтр не рассчитывается: %1").arg(MessageShown(*buildMessage_)));
    } else if (result_ && result_->rounded.outcome != Outcome::Done) {
        statusLabel_->setText(
            tr("Округлённый фильтр: %1").arg(MessageShown(result_->rounded.message)));
    } else {
        statusLabel_->clear();
    }
    ShowTables();
    ShowMatchingValues();
    ShowCurves();
}

void RoundingWindow::StoreRounding() {
    ProjectState& project = document_.Project();
    std::optional<RoundingRequest> wanted;
    if (useCheck_->isChecked()) wanted = Request();
    const std::optional<RoundingRequest>& stored = project.Rounding();
    const bool same = wanted.has_value() == stored.has_value() &&
                      (!wanted || (wanted->series == stored->series &&
                                   wanted->parallelPct == stored->parallelPct &&
                                   wanted->refitTermination == stored->refitTermination &&
                                   wanted->terminationToE24 == stored->terminationToE24));
    if (same) return;
    const Refreshing storing(*this);
    project.SetRounding(wanted);
}

void RoundingWindow::StoreMatching() {
    ProjectState& project = document_.Project();
    std::optional<double> wanted;
    if (showMatchedCheck_->isChecked()) wanted = systemOhmSpin_->value();
    if (wanted == project.MatchOhm()) return;
    const Refreshing storing(*this);
    project.SetMatchOhm(wanted);
}

std::optional<MatchedEnds> RoundingWindow::Ends() const {
    if (!asBuilt_ || !asBuilt_->matching) return std::nullopt;
    return asBuilt_->matching->ends;
}

void RoundingWindow::ShowTables() {
    partsTable_->setRowCount(0);
    for (int row = 0; row < summaryTable_->rowCount(); ++row) {
        for (int column = 0; column < summaryTable_->columnCount(); ++column)
            summaryTable_->setItem(row, column, Cell(QString()));
    }
    if (!result_) return;
    const RoundingResult& r = *result_;
    const bool twoEnds = r.nominalOutputTerminationOhm != r.nominalTerminationOhm;
    partsTable_->setRowCount(int(r.capacitors.size()) + (twoEnds ? 2 : 1));
    int row = 0;
    for (const RoundedCapacitor& c : r.capacitors) {
        partsTable_->setItem(row, 0, Cell(QString::fromStdString(JoinedLabels(c.labels))));
        partsTable_->setItem(row, 1, Cell(tr("%1 пФ").arg(LocaleNumber(c.nominalPF))));
        partsTable_->setItem(row, 2, Cell(tr("%1 пФ").arg(LocaleNumber(c.roundedPF))));
        partsTable_->setItem(
            row, 3,
            Cell(c.pair ? tr("%1 + %2 пФ")
                              .arg(LocaleNumber(c.pair->larger), LocaleNumber(c.pair->smaller))
                        : QString()));
        ++row;
    }
    partsTable_->setItem(row, 0, Cell(tr("Rвх")));
    partsTable_->setItem(row, 1, Cell(tr("%1 Ом").arg(LocaleNumber(r.nominalTerminationOhm))));
    partsTable_->setItem(row, 2, Cell(tr("%1 Ом").arg(LocaleNumber(r.roundedTerminationOhm))));
    partsTable_->setItem(row, 3, Cell(QString()));
    if (twoEnds) {
        ++row;
        partsTable_->setItem(row, 0, Cell(tr("Rвых")));
        partsTable_->setItem(row, 1,
                             Cell(tr("%1 Ом").arg(LocaleNumber(r.nominalOutputTerminationOhm))));
        partsTable_->setItem(row, 2,
                             Cell(tr("%1 Ом").arg(LocaleNumber(r.roundedOutputTerminationOhm))));
        partsTable_->setItem(row, 3, Cell(QString()));
    }

    const bool withMatched = matched_.has_value();
    summaryTable_->setColumnCount(withMatched ? 3 : 2);
    summaryTable_->setHorizontalHeaderLabels(
        {tr("Идеальная"), tr("Округлённая"), tr("Согласованная")});
    const auto column = [&](int at, const CalculationResult& c) {
        if (c.outcome != Outcome::Done) {
            for (int i = 0; i < 5; ++i)
                summaryTable_->setItem(i, at, Cell(QStringLiteral("—")));
            return;
        }
        const Measurements& m = c.measurements;
        const double foHz = c.input.FoKHz * 1000;
        summaryTable_->setItem(0, at, Cell(tr("%1 Гц").arg(LocaleNumber(m.MeasuredDfHz, 5))));
        summaryTable_->setItem(1, at, Cell(tr("%1 дБ").arg(PlainNumber(m.AminDb, 2))));
        summaryTable_->setItem(2, at, Cell(tr("%1 дБ").arg(PlainNumber(RippleOf(c.curve), 3))));
        summaryTable_->setItem(3, at, Cell(tr("%1 дБ").arg(PlainNumber(FlatnessOf(c.curve), 3))));
        summaryTable_->setItem(4, at, Cell(tr("%1 Гц").arg(PlainNumber(m.PeakHz - foHz, 0))));
    };
    column(0, built_->schematic);
    column(1, r.rounded);
    if (withMatched) column(2, *matched_);
}

void RoundingWindow::ShowMatchingValues() {
    const std::optional<MatchedEnds> ends = Ends();
    if (!ends) {
        for (QLabel* label : {inputEndLabel_, outputEndLabel_, transformerLabel_})
            label->clear();
        return;
    }
    const EndMatching& m = *asBuilt_->matching;
    const QString system = LocaleNumber(ends->systemOhm);
    // One end's inductor and capacitor, the capacitor as exact and as soldered.
    const auto parts = [&](const LNetwork& l, double exactPF,
                           const std::optional<ParallelPair>& soldered) {
        const QString inductor = tr("L = %1 мкГн").arg(LocaleNumber(l.seriesH * 1e6));
        QString capacitor = tr("C = %1 пФ").arg(LocaleNumber(exactPF));
        if (soldered) {
            capacitor = soldered->smaller > 0
                            ? tr("C = %1 → %2 + %3 пФ")
                                  .arg(LocaleNumber(exactPF), LocaleNumber(soldered->larger),
                                       LocaleNumber(soldered->smaller))
                            : tr("C = %1 → %2 пФ")
                                  .arg(LocaleNumber(exactPF), LocaleNumber(soldered->larger));
        }
        return std::pair{inductor, capacitor};
    };
    const LNetwork& in = ends->network;
    const auto [inInductor, inCapacitor] = parts(in, m.exactShuntPF, m.shuntParts);
    inputEndLabel_->setText(
        in.shuntAtTo ? tr("Вход: последовательно %1, параллельно %2 со стороны фильтра")
                           .arg(inInductor, inCapacitor)
                     : tr("Вход: последовательно %1, параллельно %2 со стороны источника %3 Ом")
                           .arg(inInductor, inCapacitor, system));
    const LNetwork& out = ends->OutputNetwork();
    const auto [outInductor, outCapacitor] =
        m.output ? parts(out, m.output->exactShuntPF, m.output->shuntParts)
                 : std::pair{inInductor, inCapacitor};
    outputEndLabel_->setText(
        out.shuntAtTo ? tr("Выход: последовательно %1, параллельно %2 со стороны фильтра")
                            .arg(outInductor, outCapacitor)
                      : tr("Выход: последовательно %1, параллельно %2 со стороны нагрузки %3 Ом")
                            .arg(outInductor, outCapacitor, system));
    if (m.output) {
        transformerLabel_->setText(
            tr("Или широкополосные трансформаторы (N1 на стороне %1 Ом): на входе N2/N1 = %2 "
               "(к %3 Ом фильтра), на выходе N2/N1 = %4 (к %5 Ом)")
                .arg(system, LocaleNumber(m.turnsRatio), LocaleNumber(ends->terminationOhm),
                     LocaleNumber(m.output->turnsRatio), LocaleNumber(ends->OutputOhm())));
        return;
    }
    transformerLabel_->setText(
        tr("Или широкополосный трансформатор: N2/N1 = %1 (N1 на стороне %2 Ом, N2 на стороне "
           "фильтра %3 Ом)")
            .arg(LocaleNumber(m.turnsRatio), system, LocaleNumber(ends->terminationOhm)));
}

void RoundingWindow::ShowCurves() {
    SetPoints(idealSeries_, built_ ? built_->schematic.curve : std::vector<CurvePoint>{});
    SetPoints(roundedSeries_, result_ ? result_->rounded.curve : std::vector<CurvePoint>{});
    SetPoints(matchedSeries_, matched_ ? matched_->curve : std::vector<CurvePoint>{});
    matchedSeries_->setVisible(matched_.has_value());
    if (QChart* chart = chartView_->chart()) {
        chart->legend()->markers(matchedSeries_).constFirst()->setVisible(matched_.has_value());
    }
    FitAxes(axisX_, axisY_, {idealSeries_, roundedSeries_, matchedSeries_});
}

void RoundingWindow::ShowMatching() {
    systemOhmSpin_->setFocus();
    systemOhmSpin_->selectAll();
}

void RoundingWindow::RetranslateUi() {
    setWindowTitle(tr("Стандартные номиналы и согласование"));
    roundingBox_->setTitle(tr("Стандартные номиналы"));
    parallelCheck_->setText(tr("Два параллельно, если один отличается более чем на"));
    refitCheck_->setText(tr("Подобрать сопротивление нагрузки"));
    e24Check_->setText(tr("Округлить его до E24"));
    refitNote_->setText(
        tr("Подбор минимизирует среднеквадратичную разницу в дБ с идеальной АЧХ в её полосе "
           "пропускания."));
    useCheck_->setText(tr("Использовать для собранного фильтра"));
    matchingBox_->setTitle(tr("Согласование"));
    systemOhmLabel_->setText(tr("Сопротивление тракта, Ом:"));
    showMatchedCheck_->setText(tr("Показать АЧХ с согласующими цепями"));
    partsTable_->setHorizontalHeaderLabels(
        {tr("Элемент"), tr("Номинал"), tr("Стандартный"), tr("Из двух параллельно")});
    summaryTable_->setVerticalHeaderLabels(
        {tr("Полоса"), tr("Амин"), tr("Неравномерность"), tr("Плоскостность"), tr("Пик от Fo")});
    idealSeries_->setName(tr("Идеальная"));
    roundedSeries_->setName(tr("Округлённая"));
    matchedSeries_->setName(tr("С согласованием"));
    axisX_->setTitleText(tr("Расстройка относительно Fo (кГц)"));
    axisY_->setTitleText(tr("Затухание (дБ)"));
    Round();
}

}  // namespace feldan
