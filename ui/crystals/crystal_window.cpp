#include "ui/crystals/crystal_window.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "files/atomic_file.h"
#include "files/crystal_csv.h"
#include "files/touchstone.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/crystals/analyser_run.h"
#include "ui/crystals/measure_dialog.h"
#include "ui/widgets/zoom_view.h"

namespace feldan {

namespace {

// The measured sweep and the fitted model, zoomed as the main chart is.
class FitPlot : public ZoomView {
  public:
    FitPlot(QChart* chart, std::function<void()> showWhole, QWidget* parent)
        : ZoomView(chart, parent), showWhole_(std::move(showWhole)) {}

  protected:
    void ShowWhole() override { showWhole_(); }
    // A tenth of a hertz, in kHz: a crystal's resonance is a few hertz wide.
    double SmallestSpan() const override { return 1e-4; }

  private:
    std::function<void()> showWhole_;
};

bool Usable(const CrystalModel& c) {
    return c.fsHz > 0 && c.lmH > 0 && c.cmF > 0 && c.rmOhm > 0 && c.c0F >= 0;
}

double Db(std::complex<double> value) {
    return 20 * std::log10(std::max(std::abs(value), 1e-12));
}

QString Number(double value, int digits) {
    return QString::number(value, 'g', digits);
}

// Trims run from a few picofarads to nanofarads: whole picofarads from 1000 up, no exponent.
QString PicofaradText(double pf) {
    return pf >= 1000 ? QString::number(pf, 'f', 0) : Number(pf, 4);
}

QString CrystalsText(const char* text) {
    return QCoreApplication::translate("feldan::CrystalWindow", text);
}

// The column titles; the words of the mark column's cells are "ZQ1", "ZQ2", ...
const std::array<const char*, CrystalWindow::ColumnCount> ColumnTitles = {
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Название"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "fs (Гц)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Lm (мГн)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Cm (фФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Rm (Ом)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C0 (пФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Q"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Ошибка подгонки (дБ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Ct (пФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Набор")};

}  // namespace

CrystalWindow::CrystalWindow(DesignDocument& document, DialogService& dialogs, QWidget* parent)
    : Panel(parent, Qt::Window),
      document_(document),
      project_(document.Project()),
      dialogs_(dialogs),
      crystalDialogs_(std::make_unique<QtCrystalDialogs>(this)) {
    setObjectName(QStringLiteral("CrystalWindow"));
    const auto button = [this](const char* name) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    measureButton_ = button("measureButton");
    nextButton_ = button("nextButton");
    referenceButton_ = button("referenceButton");
    cancelMeasureButton_ = button("cancelMeasureButton");
    cancelMeasureButton_->hide();
    measureProgress_ = new QProgressBar(this);
    measureProgress_->setObjectName(QStringLiteral("measureProgress"));
    measureProgress_->setRange(0, 100);
    measureProgress_->hide();
    measureLabel_ = new QLabel(this);
    measureLabel_->setObjectName(QStringLiteral("measureLabel"));
    run_ = std::make_unique<AnalyserRun>(
        [this](const MeasurementProgress& progress) { ShowMeasurementProgress(progress); },
        [this](CrystalMeasurement measurement) { MeasurementDone(std::move(measurement)); });
    addMeasurementsButton_ = button("addMeasurementsButton");
    g3uurButton_ = button("g3uurButton");
    openListButton_ = button("openListButton");
    saveListButton_ = button("saveListButton");
    addRowButton_ = button("addRowButton");
    removeButton_ = button("removeButton");
    refitButton_ = button("refitButton");
    pickButton_ = button("pickButton");
    useSetBox_ = new QCheckBox(this);
    useSetBox_->setObjectName(QStringLiteral("useSetBox"));
    trimBox_ = new QCheckBox(this);
    trimBox_->setObjectName(QStringLiteral("trimBox"));
    setLabel_ = new QLabel(this);
    setLabel_->setObjectName(QStringLiteral("setLabel"));
    setLabel_->setWordWrap(true);

    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setObjectName(QStringLiteral("crystalTable"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignTop);
    measuredSeries_ = new QLineSeries(chart);
    measuredSeries_->setObjectName(QStringLiteral("measuredSeries"));
    modelSeries_ = new QLineSeries(chart);
    modelSeries_->setObjectName(QStringLiteral("modelSeries"));
    // The model is drawn over the measurement, dashed, so that both show where they agree.
    measuredSeries_->setPen(QPen(QColor(90, 140, 230), 3));
    modelSeries_->setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    chart->addSeries(measuredSeries_);
    chart->addSeries(modelSeries_);
    axisX_ = new QValueAxis(chart);
    axisY_ = new QValueAxis(chart);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries* series : {measuredSeries_, modelSeries_}) {
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    plot_ = new FitPlot(
        chart, [this] { FitPlotAxes(); }, this);
    // About six labels at round steps on each axis, to a tenth of a hertz and of a decibel.
    plot_->KeepRoundTicks(axisX_, 6, 1e-4, 4);
    plot_->KeepRoundTicks(axisY_, 6, 0.1, 1);
    plot_->setObjectName(QStringLiteral("crystalPlot"));
    plot_->setRenderHint(QPainter::Antialiasing);
    // Tall enough for the fit's dB to be read: the legend and the axes take a third of it.
    plot_->setMinimumHeight(320);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{
             measureButton_, nextButton_, referenceButton_, addMeasurementsButton_, g3uurButton_,
             addRowButton_, removeButton_, openListButton_, saveListButton_})
        buttons->addWidget(w);
    buttons->addStretch();
    auto* measureRow = new QHBoxLayout;
    measureRow->addWidget(measureLabel_, 1);
    measureRow->addWidget(measureProgress_, 1);
    measureRow->addWidget(cancelMeasureButton_);
    auto* setRow = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{refitButton_, pickButton_, useSetBox_, trimBox_})
        setRow->addWidget(w);
    setRow->addWidget(setLabel_, 1);
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(buttons);
    topLayout->addLayout(measureRow);
    topLayout->addWidget(table_);
    topLayout->addLayout(setRow);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(plot_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(960, 680);

    connect(measureButton_, &QPushButton::clicked, this, &CrystalWindow::Measure);
    connect(nextButton_, &QPushButton::clicked, this, &CrystalWindow::MeasureNext);
    connect(referenceButton_, &QPushButton::clicked, this, &CrystalWindow::MeasureReference);
    connect(cancelMeasureButton_, &QPushButton::clicked, this, &CrystalWindow::CancelMeasurement);
    connect(addMeasurementsButton_, &QPushButton::clicked, this, &CrystalWindow::AddMeasurements);
    connect(g3uurButton_, &QPushButton::clicked, this, &CrystalWindow::AddFromG3uur);
    connect(openListButton_, &QPushButton::clicked, this, &CrystalWindow::OpenList);
    connect(saveListButton_, &QPushButton::clicked, this, &CrystalWindow::SaveList);
    connect(addRowButton_, &QPushButton::clicked, this, &CrystalWindow::AddRow);
    connect(removeButton_, &QPushButton::clicked, this, &CrystalWindow::RemoveSelectedRows);
    connect(refitButton_, &QPushButton::clicked, this, &CrystalWindow::RefitSelectedRows);
    connect(pickButton_, &QPushButton::clicked, this, &CrystalWindow::PickBest);
    connect(useSetBox_, &QCheckBox::toggled, this, &CrystalWindow::SetUseSet);
    connect(trimBox_, &QCheckBox::toggled, this, &CrystalWindow::SetApplyTrims);
    connect(table_, &QTableWidget::itemChanged, this, &CrystalWindow::CellEdited);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { ShowCrystal(row); });
    connect(&project_, &ProjectState::Changed, this, [this](ProjectState::Part part) {
        // A table from elsewhere (a project opened) brings its sweeps, from which the residuals
        // follow; what was said of the measurements before belongs to the table it replaces.
        if (!storing_ && part == ProjectState::Part::Crystals) {
            extras_ = ExtrasOfKeptSweeps();
            measureLabel_->clear();
        }
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) Refresh();
    });
    extras_ = ExtrasOfKeptSweeps();
    RetranslateUi();
}

CrystalWindow::~CrystalWindow() = default;

void CrystalWindow::SetCrystalDialogs(std::unique_ptr<CrystalDialogs> dialogs) {
    if (dialogs) crystalDialogs_ = std::move(dialogs);
}

void CrystalWindow::RetranslateUi() {
    setWindowTitle(tr("Кварцы"));
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
    cancelMeasureButton_->setText(tr("Отмена"));
    addMeasurementsButton_->setText(tr("Добавить измерения…"));
    g3uurButton_->setText(tr("G3UUR…"));
    openListButton_->setText(tr("Открыть список…"));
    saveListButton_->setText(tr("Сохранить список…"));
    addRowButton_->setText(tr("Добавить"));
    removeButton_->setText(tr("Удалить"));
    refitButton_->setText(tr("Подогнать заново"));
    refitButton_->setToolTip(tr("Подогнать выбранные кварцы заново по сохранённым развёрткам"));
    useSetBox_->setText(tr("Использовать в расчёте"));
    trimBox_->setText(tr("Подстройка кварцев"));
    QStringList titles;
    for (const char* title : ColumnTitles)
        titles << CrystalsText(title);
    table_->setHorizontalHeaderLabels(titles);
    measuredSeries_->setName(tr("измерение"));
    modelSeries_->setName(tr("модель"));
    axisX_->setTitleText(tr("Частота, кГц"));
    axisY_->setTitleText(tr("|S|, дБ"));
    Refresh();
}

void CrystalWindow::Refresh() {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    if (extras_.size() != crystals.size()) extras_.resize(crystals.size());
    const std::vector<int>& positions = project_.Positions();
    std::vector<int> positionOf(crystals.size(), -1);
    double highestHz = 0;
    for (std::size_t k = 0; k < positions.size(); ++k) {
        positionOf[static_cast<std::size_t>(positions[k])] = static_cast<int>(k);
        highestHz =
            std::max(highestHz, crystals[static_cast<std::size_t>(positions[k])].model.fsHz);
    }
    {
        const Refreshing refreshing(*this);
        table_->setRowCount(static_cast<int>(crystals.size()));
        for (std::size_t i = 0; i < crystals.size(); ++i) {
            const CrystalModel& m = crystals[i].model;
            const bool usable = Usable(m);
            const auto shown = [&](double value, int digits) {
                return usable || value != 0 ? Number(value, digits) : QString();
            };
            QStringList texts(ColumnCount);
            texts[NameColumn] = FromUtf8(crystals[i].name);
            texts[FsColumn] = shown(m.fsHz, 10);
            texts[LmColumn] = shown(m.lmH * 1e3, 6);
            texts[CmColumn] = usable ? Number(m.cmF * 1e15, 6) : QString();
            texts[RmColumn] = shown(m.rmOhm, 5);
            texts[C0Column] = shown(m.c0F * 1e12, 5);
            texts[QColumn] = usable ? Number(m.Q(), 6) : QString();
            const RowExtra& extra = extras_[i];
            if (extra.rmsErrorDb) texts[RmsColumn] = Number(*extra.rmsErrorDb, 3);
            if (!extra.warning.isEmpty()) texts[RmsColumn] += QStringLiteral(" ⚠");
            if (positionOf[i] >= 0) {
                texts[SetColumn] = QStringLiteral("ZQ%1").arg(positionOf[i] + 1);
                const double trimF = SeriesTrimFor(m, highestHz);
                texts[TrimColumn] = trimF >= 0 && std::isfinite(trimF) ? PicofaradText(trimF * 1e12)
                                                                       : QString::fromUtf8("—");
            }
            for (int column = 0; column < ColumnCount; ++column) {
                auto* item = new QTableWidgetItem(texts[column]);
                const bool editable = column == NameColumn || column == FsColumn ||
                                      column == LmColumn || column == RmColumn ||
                                      column == C0Column;
                if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                if (column != NameColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (column == RmsColumn && !extra.warning.isEmpty()) {
                    item->setToolTip(extra.warning);
                    item->setBackground(QColor(255, 230, 160));
                }
                if (positionOf[i] >= 0)
                    item->setFont([&] {
                        QFont bold = table_->font();
                        bold.setBold(true);
                        return bold;
                    }());
                table_->setItem(static_cast<int>(i), column, item);
            }
        }
    }
    {
        const QSignalBlocker blockUse(useSetBox_);
        const QSignalBlocker blockTrim(trimBox_);
        useSetBox_->setChecked(project_.UsesCrystalSet());
        trimBox_->setChecked(project_.Trim());
    }
    const int needed = document_.CrystalCount();
    pickButton_->setText(tr("Выбрать лучшие %1").arg(needed));
    QString setText;
    if (project_.UsesCrystalSet()) {
        setText = static_cast<int>(positions.size()) == needed
                      ? tr("Расчёт ведётся по набору из %1 кварцев.").arg(positions.size())
                      : tr("В наборе %1 кварцев, а схеме нужно %2: выберите набор заново.")
                            .arg(positions.size())
                            .arg(needed);
    } else {
        setText = tr("Расчёт ведётся с одинаковыми кварцами из полей окна.");
    }
    setLabel_->setText(setText);
    ShowCrystal(table_->currentRow());
}

void CrystalWindow::ShowCrystal(int row) {
    measuredSeries_->clear();
    modelSeries_->clear();
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    if (row < 0 || row >= static_cast<int>(crystals.size())) {
        FitPlotAxes();
        return;
    }
    const CrystalModel& model = crystals[static_cast<std::size_t>(row)].model;
    const std::optional<CrystalSweep>& kept = crystals[static_cast<std::size_t>(row)].sweep;
    QList<QPointF> measured, fitted;
    if (kept) {
        const CrystalSweep& sweep = *kept;
        for (std::size_t i = 0; i < sweep.frequencyHz.size(); ++i) {
            const double khz = sweep.frequencyHz[i] / 1000;
            measured.append({khz, Db(sweep.measured[i])});
            if (Usable(model))
                fitted.append({khz, Db(MeasuredOf(sweep.kind, sweep.fixtureOhm,
                                                  model.Impedance(sweep.frequencyHz[i])))});
        }
    } else if (Usable(model)) {
        // A crystal without a sweep: its model in a 50 Ohm series fixture, over a few widths of
        // its resonance.
        const double span = 6 * model.fsHz / model.Q() +
                            2 * model.fsHz * model.cmF / std::max(model.c0F, 1e-13) / 2;
        const double from = model.fsHz - std::min(span, model.fsHz / 2) / 3;
        const double to = model.fsHz + std::min(span, model.fsHz / 2);
        constexpr int Points = 600;
        for (int i = 0; i <= Points; ++i) {
            const double hz = from + (to - from) * i / Points;
            fitted.append(
                {hz / 1000, Db(MeasuredOf(SweepKind::SeriesThrough, 50, model.Impedance(hz)))});
        }
    }
    measuredSeries_->replace(measured);
    modelSeries_->replace(fitted);
    FitPlotAxes();
}

void CrystalWindow::FitPlotAxes() {
    double xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
    for (const QLineSeries* series : {measuredSeries_, modelSeries_}) {
        for (const QPointF& p : series->points()) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    // Without a curve there is nothing to scale: no axis with made-up numbers.
    const bool drawn = xMin < xMax;
    axisX_->setVisible(drawn);
    axisY_->setVisible(drawn);
    if (!drawn) return;
    axisX_->setRange(xMin, xMax);
    axisY_->setRange(std::floor(yMin / 10) * 10, std::max(std::ceil(yMax / 10), 0.0) * 10);
}

std::vector<CrystalWindow::RowExtra> CrystalWindow::ExtrasOfKeptSweeps() const {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    std::vector<RowExtra> extras(crystals.size());
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!crystals[i].sweep || !Usable(crystals[i].model)) continue;
        CrystalFit fit;
        fit.verdict = FitVerdict::Fitted;
        fit.rmsErrorDb = FitResidualDb(crystals[i].model, *crystals[i].sweep);
        if (fit.rmsErrorDb > PoorFitDb) fit.verdict = FitVerdict::PoorFit;
        extras[i].rmsErrorDb = fit.rmsErrorDb;
        if (const std::optional<Message> said = FitMessageOf(fit, crystals[i].name))
            extras[i].warning = MessageShown(*said);
    }
    return extras;
}

int CrystalWindow::CorrectMeasuredRows(double ppm) {
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    extras.resize(crystals.size());
    int corrected = 0;
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        NamedCrystal& crystal = crystals[i];
        RowExtra& extra = extras[i];
        if (!extra.measuredPpm || *extra.measuredPpm == ppm || !crystal.sweep) continue;
        // A frequency reported as f is f·(1 + ppm·1e-6): the sweep moves by the ratio of the two.
        const double scale = (1 + ppm * 1e-6) / (1 + *extra.measuredPpm * 1e-6);
        CrystalSweep& sweep = *crystal.sweep;
        for (double& hz : sweep.frequencyHz)
            hz *= scale;
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowExtra fitted;
        fitted.measuredPpm = ppm;
        if (const std::optional<Message> said = FitMessageOf(fit, crystal.name))
            fitted.warning = MessageShown(*said);
        if (fit.verdict == FitVerdict::NoResonance) {
            // Nothing to fit: the values move with the sweep.
            const CrystalModel& m = crystal.model;
            crystal.model = CrystalFromSeriesResonance(m.fsHz * scale, m.lmH, m.rmOhm, m.c0F);
        } else {
            fitted.rmsErrorDb = fit.rmsErrorDb;
            crystal.model = KeptModelOf(fit, sweep);
        }
        extra = std::move(fitted);
        ++corrected;
    }
    if (corrected > 0) {
        const int current = table_->currentRow();
        StoreTable(std::move(crystals), std::move(extras));
        if (current >= 0 && current < table_->rowCount())
            table_->setCurrentCell(current, NameColumn);
    }
    return corrected;
}

void CrystalWindow::StoreTable(std::vector<NamedCrystal> crystals, std::vector<RowExtra> extras) {
    extras_ = std::move(extras);
    storing_ = true;
    project_.SetCrystals(std::move(crystals));
    storing_ = false;
    Refresh();
}

void CrystalWindow::CellEdited(QTableWidgetItem* item) {
    if (IsRefreshing() || !item) return;
    const int row = item->row();
    const int column = item->column();
    std::vector<NamedCrystal> crystals = project_.Crystals();
    if (row < 0 || row >= static_cast<int>(crystals.size())) return;
    NamedCrystal& crystal = crystals[static_cast<std::size_t>(row)];
    std::vector<RowExtra> extras = extras_;
    if (column == NameColumn) {
        crystal.name = item->text().toStdString();
        StoreTable(std::move(crystals), std::move(extras));
        return;
    }
    const std::optional<double> value = TypedNumber(item->text());
    const bool mayBeZero = column == C0Column;
    if (!value || *value < 0 || (*value == 0 && !mayBeZero)) {
        const QString text = item->text();
        // The cell shows its value again before the box says what was wrong.
        QMetaObject::invokeMethod(
            this, [this] { Refresh(); }, Qt::QueuedConnection);
        Dialogs().Error(tr("Строка %1, столбец «%2»: «%3» — нужно %4 число.")
                            .arg(row + 1)
                            .arg(CrystalsText(ColumnTitles[column]))
                            .arg(text)
                            .arg(mayBeZero ? tr("неотрицательное") : tr("положительное")));
        return;
    }
    CrystalModel m = crystal.model;
    switch (column) {
        case FsColumn:
            m.fsHz = *value;
            break;
        case LmColumn:
            m.lmH = *value / 1e3;
            break;
        case RmColumn:
            m.rmOhm = *value;
            break;
        case C0Column:
            m.c0F = *value / 1e12;
            break;
        default:
            return;
    }
    // Cm follows from fs and Lm; a row still being typed keeps what it has.
    crystal.model =
        m.fsHz > 0 && m.lmH > 0 ? CrystalFromSeriesResonance(m.fsHz, m.lmH, m.rmOhm, m.c0F) : m;
    // The fit's residual belongs to the fitted values, not to the edited ones.
    extras[static_cast<std::size_t>(row)].rmsErrorDb.reset();
    extras[static_cast<std::size_t>(row)].warning.clear();
    StoreTable(std::move(crystals), std::move(extras));
}

void CrystalWindow::AddMeasurements() {
    const QStringList paths = crystalDialogs_->GetOpenFileNames(
        DialogFolder(), tr("измерения кварцев (*.s2p *.s1p);;все файлы (*)"));
    if (paths.isEmpty()) return;
    const Language language = CurrentLanguage();
    QStringList problems;
    struct Loaded {
        QString path;
        TouchstoneData data;
    };
    std::vector<Loaded> loaded;
    for (const QString& path : paths) {
        try {
            loaded.push_back({path, ReadTouchstoneFile(LocalPath(path))});
        } catch (const CommandError& error) {
            problems << FromUtf8(error.Text(language));
        }
    }
    if (loaded.empty()) {
        Dialogs().Error(problems.join(QLatin1Char('\n')));
        return;
    }
    RememberFolderOf(paths.front());
    const std::optional<double> fixtureOhm =
        crystalDialogs_->FixtureOhm(loaded.front().data.referenceOhm);
    if (!fixtureOhm) return;
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    for (const Loaded& file : loaded) {
        CrystalSweep sweep = CrystalSweepOf(file.data, *fixtureOhm);
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowExtra extra;
        if (const std::optional<Message> said =
                FitMessageOf(fit, QFileInfo(file.path).fileName().toStdString())) {
            const QString text = MessageShown(*said);
            // No resonance, no values: named among the problems, not added. A fit that did not
            // converge stays near the measured peak (its fs between the half-power points), so
            // the crystal is kept with the warning and can still be matched by frequency.
            if (fit.verdict == FitVerdict::NoResonance) {
                problems << text;
                continue;
            }
            extra.warning = text;
        }
        extra.rmsErrorDb = fit.rmsErrorDb;
        const CrystalModel model = KeptModelOf(fit, sweep);
        crystals.push_back(
            {QFileInfo(file.path).completeBaseName().toStdString(), model, std::move(sweep)});
        extras.push_back(std::move(extra));
    }
    const int firstNew = static_cast<int>(extras_.size());
    StoreTable(std::move(crystals), std::move(extras));
    if (firstNew < table_->rowCount()) table_->setCurrentCell(firstNew, NameColumn);
    if (!problems.isEmpty()) Dialogs().Warning(problems.join(QLatin1Char('\n')));
}

void CrystalWindow::AddFromG3uur() {
    const std::optional<G3uurReadings> readings = crystalDialogs_->G3uur();
    if (!readings) return;
    struct Field {
        const QString* text;
        QString label;
        double scale;
        bool optional;
        std::optional<double> value;
    };
    std::array<Field, 7> fields = {{{&readings->f0, QStringLiteral("f0"), 1, false, {}},
                                    {&readings->f1, QStringLiteral("f1"), 1, false, {}},
                                    {&readings->c1, QStringLiteral("C1"), 1e-12, false, {}},
                                    {&readings->f2, QStringLiteral("f2"), 1, true, {}},
                                    {&readings->c2, QStringLiteral("C2"), 1e-12, true, {}},
                                    {&readings->c0, QStringLiteral("C0"), 1e-12, false, {}},
                                    {&readings->rm, QStringLiteral("Rm"), 1, false, {}}}};
    for (Field& field : fields) {
        if (field.optional && field.text->trimmed().isEmpty()) continue;
        const std::optional<double> value = TypedNumber(*field.text);
        const bool mayBeZero = field.label == QLatin1String("C0");
        if (!value || *value < 0 || (*value == 0 && !mayBeZero)) {
            Dialogs().Error(tr("G3UUR: в поле %1 «%2» — нужно %3 число.")
                                .arg(field.label, *field.text,
                                     mayBeZero ? tr("неотрицательное") : tr("положительное")));
            return;
        }
        field.value = *value * field.scale;
    }
    const double f0 = *fields[0].value, f1 = *fields[1].value, c1 = *fields[2].value;
    const double c0 = *fields[5].value, rm = *fields[6].value;
    if (fields[3].value.has_value() != fields[4].value.has_value()) {
        Dialogs().Error(tr("G3UUR: f2 и C2 задаются вместе."));
        return;
    }
    const double cm = fields[3].value
                          ? G3uurMotionalCapacitance(f0, f1, c1, *fields[3].value, *fields[4].value)
                          : G3uurMotionalCapacitance(f0, f1, c1, c0);
    if (!(cm > 0)) {
        Dialogs().Error(MessageShown(Message{MessageId::G3uurNoShift, ""}));
        return;
    }
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    const QString name = readings->name.trimmed().isEmpty()
                             ? QStringLiteral("G3UUR %1").arg(crystals.size() + 1)
                             : readings->name.trimmed();
    crystals.push_back(
        {name.toStdString(), CrystalFromSeriesResonance(f0, MotionalInductanceOf(f0, cm), rm, c0)});
    extras.emplace_back();
    StoreTable(std::move(crystals), std::move(extras));
    table_->setCurrentCell(table_->rowCount() - 1, NameColumn);
}

void CrystalWindow::OpenList() {
    const QString path =
        Dialogs().GetOpenFileName(DialogFolder(), tr("списки кварцев (*.csv);;все файлы (*)"));
    if (path.isEmpty()) return;
    std::vector<NamedCrystal> read;
    try {
        read = ReadCrystalList(LocalPath(path));
    } catch (const CommandError& error) {
        Dialogs().Error(FromUtf8(error.Text(CurrentLanguage())));
        return;
    }
    RememberFolderOf(path);
    // The list's crystals join the table; nothing of it is lost.
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    for (NamedCrystal& crystal : read) {
        crystals.push_back(std::move(crystal));
        extras.emplace_back();
    }
    StoreTable(std::move(crystals), std::move(extras));
}

void CrystalWindow::SaveList() {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!Usable(crystals[i].model)) {
            Dialogs().Error(
                tr("В строке %1 не заданы fs, Lm и Rm: заполните её или удалите.").arg(i + 1));
            return;
        }
    }
    QString path = Dialogs().GetSaveFileName(DialogFolder(), tr("списки кварцев (*.csv)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    try {
        WriteFileAtomically(LocalPath(path), CrystalListBytes(crystals));
    } catch (const CommandError& error) {
        Dialogs().Error(FromUtf8(error.Text(CurrentLanguage())));
        return;
    }
    RememberFolderOf(path);
}

void CrystalWindow::AddRow() {
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    crystals.emplace_back();
    extras.emplace_back();
    StoreTable(std::move(crystals), std::move(extras));
    table_->setCurrentCell(table_->rowCount() - 1, NameColumn);
}

std::set<int> CrystalWindow::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && table_->currentRow() >= 0) rows.insert(table_->currentRow());
    return rows;
}

void CrystalWindow::RefitSelectedRows() {
    const std::set<int> rows = SelectedRows();
    if (rows.empty()) return;
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    extras.resize(crystals.size());
    QStringList withoutSweep, problems;
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(crystals.size())) continue;
        NamedCrystal& crystal = crystals[static_cast<std::size_t>(row)];
        if (!crystal.sweep) {
            withoutSweep << FromUtf8(crystal.name);
            continue;
        }
        const CrystalSweep& sweep = *crystal.sweep;
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowExtra extra;
        extra.measuredPpm = extras[static_cast<std::size_t>(row)].measuredPpm;
        if (const std::optional<Message> said = FitMessageOf(fit, crystal.name)) {
            extra.warning = MessageShown(*said);
            // No resonance: the row keeps the values it had.
            if (fit.verdict == FitVerdict::NoResonance) {
                problems << extra.warning;
                continue;
            }
        }
        extra.rmsErrorDb = fit.rmsErrorDb;
        crystal.model = KeptModelOf(fit, sweep);
        extras[static_cast<std::size_t>(row)] = std::move(extra);
    }
    const int current = table_->currentRow();
    StoreTable(std::move(crystals), std::move(extras));
    if (current >= 0 && current < table_->rowCount()) table_->setCurrentCell(current, NameColumn);
    if (!withoutSweep.isEmpty()) {
        problems.prepend(tr("Нет развёртки, по которой подогнать: %1")
                             .arg(withoutSweep.join(QStringLiteral(", "))));
    }
    if (!problems.isEmpty()) Dialogs().Warning(problems.join(QLatin1Char('\n')));
}

void CrystalWindow::RemoveSelectedRows() {
    const std::set<int> removed = SelectedRows();
    if (removed.empty()) return;
    const std::vector<NamedCrystal>& old = project_.Crystals();
    std::vector<NamedCrystal> crystals;
    std::vector<RowExtra> extras;
    std::vector<int> newIndex(old.size(), -1);
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (removed.count(static_cast<int>(i))) continue;
        newIndex[i] = static_cast<int>(crystals.size());
        crystals.push_back(old[i]);
        extras.push_back(extras_[i]);
    }
    // A set that loses a crystal is no set any more; the others move up with their rows.
    std::vector<int> positions;
    for (int k : project_.Positions()) {
        if (newIndex[static_cast<std::size_t>(k)] < 0) {
            positions.clear();
            break;
        }
        positions.push_back(newIndex[static_cast<std::size_t>(k)]);
    }
    const bool setChanges = positions != project_.Positions();
    storing_ = true;
    if (setChanges) project_.SetPositions({});
    project_.SetCrystals(std::move(crystals));
    if (setChanges) project_.SetPositions(std::move(positions));
    storing_ = false;
    extras_ = std::move(extras);
    Refresh();
}

void CrystalWindow::PickBest() {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    std::vector<CrystalModel> models;
    std::vector<int> rowOfModel;
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!Usable(crystals[i].model)) continue;
        models.push_back(crystals[i].model);
        rowOfModel.push_back(static_cast<int>(i));
    }
    const int needed = document_.CrystalCount();
    const std::vector<std::size_t> picked =
        needed > 0 ? PickBestSet(models, static_cast<std::size_t>(needed))
                   : std::vector<std::size_t>{};
    if (picked.empty()) {
        Refresh();
        Dialogs().Warning(MessageShown(Message{MessageId::PickTooFew, std::to_string(needed)}));
        return;
    }
    std::vector<int> positions;
    for (std::size_t k : picked)
        positions.push_back(rowOfModel[k]);
    storing_ = true;
    project_.SetPositions(std::move(positions));
    project_.SetUseSet(true);
    storing_ = false;
    Refresh();
}

void CrystalWindow::SetUseSet(bool use) {
    if (use == project_.UsesCrystalSet()) return;
    // Switched on again, the set kept aside comes back; without one, the best are picked.
    if (use && project_.Positions().empty()) {
        PickBest();
        return;
    }
    storing_ = true;
    project_.SetUseSet(use);
    storing_ = false;
    Refresh();
}

void CrystalWindow::SetApplyTrims(bool apply) {
    storing_ = true;
    project_.SetTrim(apply);
    storing_ = false;
}

bool CrystalWindow::Measuring() const {
    return run_->Running();
}

void CrystalWindow::Measure() {
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
    StartMeasurement(*chosen);
}

void CrystalWindow::MeasureNext() {
    if (Measuring()) return;
    if (!lastMeasurement_) {
        Measure();
        return;
    }
    StartMeasurement(*lastMeasurement_);
}

void CrystalWindow::MeasureReference() {
    if (Measuring()) return;
    std::optional<AnalyserSettings> settings = lastMeasurement_;
    if (!settings) {
        settings = crystalDialogs_->Measurement(RememberedAnalyserSettings());
        if (!settings) return;
        lastMeasurement_ = settings;
    }
    const std::optional<double> knownHz =
        Dialogs().GetNumber(tr("Частота fs эталонного кварца, Гц:"), settings->nominalHz, 1, 1e10);
    if (!knownHz) return;
    referenceHz_ = *knownHz;
    StartMeasurement(*settings);
}

void CrystalWindow::CancelMeasurement() {
    run_->Cancel();
}

void CrystalWindow::StartMeasurement(const AnalyserSettings& settings) {
    lastMeasurement_ = settings;
    RememberAnalyserSettings(settings);
    CrystalMeasurementSettings measurement;
    measurement.nominalHz = settings.nominalHz;
    measurement.fixtureOhm = settings.fixtureOhm;
    measurement.ppm = settings.ppm;
    if (!run_->Start(LocalPath(settings.port), measurement, readLimits_)) return;
    shownStage_ = MeasurementStage::Sweep;
    stageFirstScan_ = 0;
    for (QPushButton* b : {measureButton_, nextButton_, referenceButton_})
        b->setEnabled(false);
    measureProgress_->setValue(0);
    measureProgress_->show();
    cancelMeasureButton_->show();
    measureLabel_->setText(tr("Подключение к %1…").arg(settings.port));
}

void CrystalWindow::ShowMeasurementProgress(const MeasurementProgress& progress) {
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
    measureProgress_->setValue(stage.from + std::min(step, stage.to - stage.from - 1));
    measureLabel_->setText(tr("%1: %2 кГц ± %3 Гц, сканов %4")
                               .arg(tr(stage.words))
                               .arg(PlainNumber(progress.centreHz / 1000, 3))
                               .arg(PlainNumber(progress.spanHz / 2, 0))
                               .arg(progress.scansDone));
}

void CrystalWindow::MeasurementDone(CrystalMeasurement measurement) {
    const std::optional<double> referenceHz = std::exchange(referenceHz_, std::nullopt);
    for (QPushButton* b : {measureButton_, nextButton_, referenceButton_})
        b->setEnabled(true);
    measureProgress_->hide();
    cancelMeasureButton_->hide();
    const auto finish = [this](const QString& status) {
        measureLabel_->setText(status);
        emit MeasurementFinished();
    };
    if (!measurement.fit || measurement.fit->verdict == FitVerdict::NoResonance) {
        const Message message =
            measurement.message ? *measurement.message : Message{MessageId::VnaNoCrystal, ""};
        // A stop the user asked for needs no box.
        if (message.id == MessageId::VnaCancelled) return finish(tr("Измерение отменено."));
        finish(tr("Кварц не добавлен."));
        Dialogs().Error(MessageShown(message));
        return;
    }
    if (referenceHz && lastMeasurement_) {
        // The frequency the analyser itself reported, before the correction in force.
        const double reportedHz = measurement.kept.fsHz / (1 + lastMeasurement_->ppm * 1e-6);
        lastMeasurement_->ppm = (*referenceHz / reportedHz - 1) * 1e6;
        RememberAnalyserSettings(*lastMeasurement_);
        const QString ppm = PlainNumber(lastMeasurement_->ppm, 3);
        const int corrected = CorrectMeasuredRows(lastMeasurement_->ppm);
        if (corrected == 0)
            return finish(tr("Поправка по эталону: %1 ppm; с ней будут измеряться следующие "
                             "кварцы.")
                              .arg(ppm));
        return finish(tr("Поправка по эталону: %1 ppm; измеренные здесь раньше кварцы (%2) "
                         "пересчитаны с ней по своим развёрткам, следующие будут измеряться "
                         "с ней.")
                          .arg(ppm)
                          .arg(corrected));
    }
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowExtra> extras = extras_;
    RowExtra extra;
    extra.rmsErrorDb = measurement.fit->rmsErrorDb;
    if (measurement.message) extra.warning = MessageShown(*measurement.message);
    if (lastMeasurement_) extra.measuredPpm = lastMeasurement_->ppm;
    const QString name = tr("Кварц %1").arg(crystals.size() + 1);
    const double fsHz = measurement.kept.fsHz;
    crystals.push_back({name.toStdString(), measurement.kept, std::move(measurement.sweep)});
    extras.push_back(std::move(extra));
    StoreTable(std::move(crystals), std::move(extras));
    table_->setCurrentCell(table_->rowCount() - 1, NameColumn);
    finish(tr("Добавлен «%1»: fs = %2 Гц. F3 — следующий кварц.").arg(name, PlainNumber(fsHz, 1)));
}

QStringList QtCrystalDialogs::GetOpenFileNames(const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent_, QString(), dir, filter);
}

std::optional<double> QtCrystalDialogs::FixtureOhm(double referenceOhm) {
    bool ok = false;
    const double ohm = QInputDialog::getDouble(
        parent_, CrystalsText(QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Оснастка")),
        CrystalsText(QT_TRANSLATE_NOOP("feldan::CrystalWindow",
                                       "Сопротивление источника и нагрузки оснастки, Ом:")),
        referenceOhm, 0.001, 1e6, 3, &ok);
    if (!ok) return std::nullopt;
    return ohm;
}

std::optional<G3uurReadings> QtCrystalDialogs::G3uur() {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("G3UUR"));
    auto* form = new QFormLayout(&dialog);
    G3uurReadings readings;
    struct Row {
        QString* text;
        const char* label;
    };
    const std::array<Row, 8> rows = {{
        {&readings.name, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Название")},
        {&readings.f0, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f0, Гц (кварц один)")},
        {&readings.f1, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f1, Гц (с C1)")},
        {&readings.c1, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C1, пФ")},
        {&readings.f2, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f2, Гц (с C2; можно пусто)")},
        {&readings.c2, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C2, пФ (можно пусто)")},
        {&readings.c0, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C0, пФ")},
        {&readings.rm, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Rm, Ом")},
    }};
    std::array<QLineEdit*, 8> edits{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        edits[i] = new QLineEdit(&dialog);
        form->addRow(CrystalsText(rows[i].label), edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i)
        *rows[i].text = edits[i]->text();
    return readings;
}

std::optional<AnalyserSettings> QtCrystalDialogs::Measurement(const AnalyserSettings& offered) {
    MeasureDialog dialog(offered, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

}  // namespace feldan
