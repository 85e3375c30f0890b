#include "ui/analysis/measured_overlay.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <exception>

#include "engine/errors.h"
#include "engine/sweep.h"
#include "files/touchstone.h"
#include "ui/analysis/live_sweep.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/chart_model.h"

namespace feldan {

namespace {

// The value a view plots of a measured point, its |S21| raised by `levelShiftDb`; none where the
// view shows no such quantity.
std::optional<double> ValueOf(AnalysisView view, const MeasuredPoint& point, double peakDb,
                              double levelShiftDb) {
    switch (view) {
        case AnalysisView::PassBand:
            return PassBandDbOfS21(point.s21Db + levelShiftDb);
        case AnalysisView::WideBand:
            return point.s21Db + levelShiftDb;
        case AnalysisView::GroupDelay:
            if (point.s21Db < peakDb - MeasuredDelayFloorDb) return std::nullopt;
            return point.groupDelaySec * 1e6;
        case AnalysisView::ReturnLoss:
            return -point.s11Db;
        case AnalysisView::Impedance:
        case AnalysisView::Step:
        case AnalysisView::Impulse:
        case AnalysisView::Keyed:
            break;
    }
    return std::nullopt;
}

}  // namespace

MeasuredOverlay::MeasuredOverlay(const DesignDocument& document, DialogService& dialogs,
                                 ChartModel& chart, QMenu& menu, const ViewContext& views,
                                 QLabel& figures)
    : QObject(&menu),
      document_(document),
      dialogs_(dialogs),
      chart_(chart),
      views_(views),
      figures_(figures) {
    separator_ = menu.addSeparator();
    separator_->setObjectName(QStringLiteral("measuredSeparator"));
    openAction_ = menu.addAction(QString());
    openAction_->setObjectName(QStringLiteral("openMeasuredAction"));
    diagnoseAction_ = menu.addAction(QString());
    diagnoseAction_->setObjectName(QStringLiteral("diagnoseMeasuredAction"));
    diagnoseAction_->setEnabled(false);
    shiftAction_ = menu.addAction(QString());
    shiftAction_->setObjectName(QStringLiteral("shiftMeasuredAction"));
    shiftAction_->setCheckable(true);
    renormaliseAction_ = menu.addAction(QString());
    renormaliseAction_->setObjectName(QStringLiteral("renormaliseMeasuredAction"));
    renormaliseAction_->setCheckable(true);
    alignPeaksAction_ = menu.addAction(QString());
    alignPeaksAction_->setObjectName(QStringLiteral("alignMeasuredPeakAction"));
    alignPeaksAction_->setCheckable(true);
    liveAction_ = menu.addAction(QString());
    liveAction_->setObjectName(QStringLiteral("liveMeasuredAction"));
    liveAction_->setCheckable(true);
    // Switching the live sweep off waits for the scan under way: a scan of 101 points at the
    // usual IF bandwidth takes well under a second, so a silent device holds the window 5 s at
    // most.
    liveLimits_.scanLine = std::chrono::milliseconds(5000);
    live_ =
        std::make_unique<LiveSweep>([this](const AnalyserSweep& sweep) { ShowLiveSweep(sweep); },
                                    [this](const Message& message) { LiveFault(message); });
    removeAction_ = menu.addAction(QString());
    removeAction_->setObjectName(QStringLiteral("removeMeasuredAction"));
    removeAction_->setEnabled(false);
    diagnoseAction_->setEnabled(false);
    connect(openAction_, &QAction::triggered, this, &MeasuredOverlay::OpenCommand);
    connect(shiftAction_, &QAction::toggled, this, [this](bool checked) {
        Show(views_.View());
        if (checked && filter_ && !filter_->centre) {
            dialogs_.Error(tr("В измерении %1 |S21| не спадает на 3 дБ ниже пика по обе "
                              "стороны: центр его полосы не найти, сдвига нет")
                               .arg(fileName_));
        }
    });
    connect(renormaliseAction_, &QAction::toggled, this, [this] { Show(views_.View()); });
    connect(alignPeaksAction_, &QAction::toggled, this, [this] { Show(views_.View()); });
    connect(removeAction_, &QAction::triggered, this, &MeasuredOverlay::Remove);
    connect(diagnoseAction_, &QAction::triggered, this, [this] {
        if (data_) emit DiagnoseRequested(*data_, fileName_);
    });
    connect(liveAction_, &QAction::toggled, this, [this](bool on) {
        if (on)
            StartLive();
        else
            StopLive();
    });
    RetranslateUi();
}

MeasuredOverlay::~MeasuredOverlay() = default;

bool MeasuredOverlay::Live() const {
    return live_->Running();
}

void MeasuredOverlay::StartLive() {
    const auto refuse = [this](const QString& text) {
        const QSignalBlocker blocker(liveAction_);
        liveAction_->setChecked(false);
        dialogs_.Error(text);
    };
    const AnalyserSettings analyser = RememberedAnalyserSettings();
    if (analyser.port.isEmpty())
        return refuse(
            tr("Порт прибора ещё не выбран: измерьте кварц в окне «Кварцы» "
               "(Измерить…), и порт запомнится."));
    const DesignedFilter design = document_.DesignedFilterOf(views_.Circuit());
    if (design.design.outcome != Outcome::Done)
        return refuse(tr("Фильтр не рассчитывается: сначала рассчитайте его."));
    const SweepRequest wide = views_.RequestFor(AnalysisView::WideBand, design);
    const double foHz = design.design.input.FoKHz * 1000;
    // Four scans of a small board: a sweep a second shows the whole band as it is tuned.
    const SweepPlan plan{foHz + wide.fromDetuningHz.value_or(0),
                         foHz + wide.toDetuningHz.value_or(0), 4 * SmallBoardScanPoints, 1,
                         analyser.ppm};
    {
        const QSignalBlocker blocker(liveAction_);
        liveAction_->setChecked(true);
    }
    live_->Start(LocalPath(analyser.port), plan, liveLimits_, livePause_);
}

void MeasuredOverlay::StopLive() {
    live_->Stop();
    const QSignalBlocker blocker(liveAction_);
    liveAction_->setChecked(false);
}

void MeasuredOverlay::ShowLiveSweep(const AnalyserSweep& sweep) {
    TouchstoneData data;
    data.ports = 2;
    data.frequencyHz = sweep.frequencyHz;
    for (std::size_t i = 0; i < sweep.size(); ++i)
        data.s.push_back({sweep.s11[i], sweep.s21[i], 0, 0});
    data_ = std::move(data);
    fromDevice_ = true;
    fileName_ = tr("с прибора");
    removeAction_->setEnabled(true);
    diagnoseAction_->setEnabled(true);
    Show(views_.View());
}

void MeasuredOverlay::LiveFault(const Message& message) {
    StopLive();
    // The last sweep stays on the chart.
    dialogs_.Error(MessageShown(message));
}

void MeasuredOverlay::RetranslateUi() {
    if (fromDevice_) fileName_ = tr("с прибора");
    openAction_->setText(tr("&Измеренный фильтр…"));
    diagnoseAction_->setText(tr("&Что построено…"));
    diagnoseAction_->setStatusTip(
        tr("Найти по измерению, что стоит в фильтре: каждый конденсатор, уход каждого кварца, Rm"));
    shiftAction_->setText(tr("С&двинуть к центру расчёта"));
    renormaliseAction_->setText(tr("Пере&нормировать к нагрузкам схемы"));
    renormaliseAction_->setStatusTip(
        tr("Измерение пересчитывается к сопротивлению нагрузок схемы, как если бы фильтр "
           "измеряли между ними"));
    alignPeaksAction_->setText(tr("Совместить пи&ки"));
    alignPeaksAction_->setStatusTip(
        tr("Измеренная АЧХ поднимается или опускается так, чтобы её пик совпал с пиком расчёта: "
           "сравнивается форма, а не потери"));
    removeAction_->setText(tr("&Убрать измеренный"));
    liveAction_->setText(tr("С при&бора"));
    liveAction_->setStatusTip(
        tr("Снимать АЧХ фильтра прибором раз в секунду и показывать её "
           "поверх расчёта, пока команда не будет снята"));
    if (filter_) chart_.SetMeasuredName(CurveName());
    ShowFigures();
}

QString MeasuredOverlay::CurveName() const {
    QString name = fileName_;
    if (shifted_) {
        const QString hz = PlainNumber(shiftHz_, 0);
        name = tr("%1, сдвиг %2 Гц").arg(name, shiftHz_ > 0 ? QLatin1Char('+') + hz : hz);
    }
    if (levelShiftDb_ != 0) {
        const QString db = PlainNumber(levelShiftDb_, 2);
        name += tr(", пик совмещён (%1 дБ)").arg(levelShiftDb_ > 0 ? QLatin1Char('+') + db : db);
    }
    if (symmetryAssumed_) name += tr(", принято S12=S21, S22=S11");
    return name;
}

void MeasuredOverlay::Analyse() {
    symmetryAssumed_ = false;
    if (!data_) return;
    const TouchstoneData& data = *data_;
    std::optional<double> toOhm;
    if (renormaliseAction_->isChecked()) {
        const DesignedFilter design = document_.DesignedFilterOf(views_.Circuit());
        if (design.design.outcome == Outcome::Done) toOhm = design.portOhm;
    }
    samples_ = MeasuredSamplesOf(data, toOhm);
    symmetryAssumed_ = toOhm && !data.reverseMeasured;
    filter_ = AnalyseMeasuredFilter(samples_);
}

void MeasuredOverlay::OpenCommand() {
    const QString chosen =
        dialogs_.GetOpenFileName(DialogFolder(), tr("измерения фильтра (*.s2p);;все файлы (*)"));
    if (chosen.isEmpty()) return;
    Open(chosen);
}

bool MeasuredOverlay::Open(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    TouchstoneData data;
    try {
        data = ReadTouchstoneFile(QFile::encodeName(path).toStdString());
    } catch (const CommandError& error) {
        dialogs_.Error(QString::fromStdString(error.Text(CurrentLanguage())));
        return false;
    } catch (const std::exception& error) {
        dialogs_.Error(tr("Файл %1 не прочитан: %2").arg(name, QString::fromUtf8(error.what())));
        return false;
    }
    if (data.ports != 2) {
        dialogs_.Error(
            tr("Файл %1 описывает один порт: для измеренного фильтра нужен файл .s2p с его S21")
                .arg(name));
        return false;
    }
    // Fewer points give no band to draw, measure or compare.
    if (data.size() < 3) {
        dialogs_.Error(tr("Файл %1: для измеренного фильтра нужно хотя бы 3 точки, а в нём %2")
                           .arg(name)
                           .arg(qulonglong(data.size())));
        return false;
    }
    // A file replaces the sweeps from the device.
    StopLive();
    data_ = std::move(data);
    Analyse();
    fromDevice_ = false;
    fileName_ = name;
    RememberFolderOf(path);
    removeAction_->setEnabled(true);
    diagnoseAction_->setEnabled(true);
    Show(views_.View());
    return true;
}

void MeasuredOverlay::Remove() {
    StopLive();
    filter_.reset();
    samples_.clear();
    timeRow_.reset();
    timePoints_.clear();
    data_.reset();
    measuredFigures_.reset();
    designFigures_.reset();
    designPortOhm_.reset();
    symmetryAssumed_ = false;
    ShowFigures();
    fileName_.clear();
    fromDevice_ = false;
    shiftHz_ = 0;
    levelShiftDb_ = 0;
    shifted_ = false;
    removeAction_->setEnabled(false);
    diagnoseAction_->setEnabled(false);
    chart_.SetMeasuredCurve(QString(), {});
    emit TimeCurveChanged();
}

void MeasuredOverlay::Show(AnalysisView view) {
    if (!data_) return;
    // The design may have changed, and with it the terminations a renormalisation takes.
    Analyse();
    timeRow_.reset();
    timePoints_.clear();
    if (IsTimeView(view)) {
        ShowInTime(view);
        return;
    }
    const MeasuredFilter& measured = *filter_;
    shiftHz_ = 0;
    shifted_ = false;
    // The points go at their detuning from the design's Fo; while the design cannot be made,
    // around their own centre (or the middle of the sweep).
    DesignedFilter design = document_.DesignedFilterOf(views_.Circuit());
    const bool designed = design.design.outcome == Outcome::Done;
    double foHz = 0;
    if (designed) {
        foHz = design.design.input.FoKHz * 1000;
    } else if (measured.centre) {
        foHz = measured.centre->CentreHz();
    } else if (!measured.points.empty()) {
        foHz = (measured.points.front().hz + measured.points.back().hz) / 2;
    }
    foHz_ = foHz;

    // The figures of both by the same rules and the shift from them: the design swept over the
    // measured span as the view draws it. The pass band shows the calculation's curve, between
    // the design's own terminations; the other views sweep between the ports asked for. The
    // figures are the measurement's own, whatever the curve is moved by.
    measuredFigures_ = FiguresOfMeasured(measured);
    designFigures_.reset();
    designPortOhm_.reset();
    if (designed && measured.points.size() >= 2) {
        SweepRequest request = views_.RequestFor(view, design);
        if (view == AnalysisView::PassBand) request.referenceOhm.reset();
        designPortOhm_ = request.referenceOhm;
        const MeasuredComparison comparison = CompareMeasured(design, request, measured);
        designFigures_ = comparison.design;
        if (shiftAction_->isChecked() && comparison.shiftHz) {
            shiftHz_ = *comparison.shiftHz;
            shifted_ = true;
        }
    }
    levelShiftDb_ = 0;
    if (alignPeaksAction_->isChecked() && designFigures_)
        levelShiftDb_ = designFigures_->peakDb - measuredFigures_->peakDb;
    chart_.SetMeasuredCurve(CurveName(), PointsOf(view));
    ShowFigures();
}

void MeasuredOverlay::ShowInTime(AnalysisView view) {
    // In time the measurement is its own: neither moved to the design's centre nor raised.
    shiftHz_ = 0;
    shifted_ = false;
    levelShiftDb_ = 0;
    std::vector<double> hz;
    std::vector<std::complex<double>> s21;
    for (const MeasuredSample& sample : samples_) {
        hz.push_back(sample.hz);
        s21.push_back(sample.s21);
    }
    std::optional<PassBand> band;
    if (filter_->centre) band = PassBand{filter_->centre->lowerHz, filter_->centre->upperHz, 0};
    const KeyingChoice& keying = views_.Keying();
    TimeResponse response = EnvelopeInTime(MeasuredS21{hz, s21, band}, keying.window);
    if (response.problem.id == MessageId::None) {
        const double shownMs =
            views_.TimeShownMs() > 0 ? views_.TimeShownMs() : response.plain.RecordSec() * 500;
        TransientFigures figures = response.figures;
        timePoints_ = TimeViews::CurveOf(TimeViewOf(view), response.drawn, response.plain, keying,
                                         shownMs, fileName_, &figures)
                          .points;
        timeRow_ = TimeFiguresRow{fileName_, figures};
    }
    chart_.SetMeasuredCurve(CurveName(), timePoints_);
    emit TimeCurveChanged();
}

std::vector<CurvePoint> MeasuredOverlay::PointsOf(AnalysisView view) const {
    std::vector<CurvePoint> points;
    if (!filter_) return points;
    if (IsTimeView(view)) return timePoints_;
    points.reserve(filter_->points.size());
    for (const MeasuredPoint& point : filter_->points) {
        if (const std::optional<double> value =
                ValueOf(view, point, filter_->peakDb, levelShiftDb_))
            points.push_back({(point.hz + shiftHz_ - foHz_) / 1000, *value});
    }
    return points;
}

void MeasuredOverlay::ShowFigures() {
    if (!measuredFigures_) {
        figures_.hide();
        figures_.clear();
        return;
    }
    const auto number = [](const std::optional<double>& value, int decimals) {
        return value ? PlainNumber(*value, decimals) : QStringLiteral("—");
    };
    const auto kHz = [](const std::optional<double>& hz) {
        return hz ? std::optional<double>(*hz / 1000) : std::nullopt;
    };
    // One column a figure, one row the measurement and one the design; the four widths under
    // one heading.
    QStringList heads = {QString(), tr("центр, кГц"), tr("пик, дБ")};
    for (double level : FigureLevelsDb)
        heads.append(tr("−%1 дБ").arg(level));
    heads.append(tr("плоскостность, дБ"));
    const auto cells = [&](const QString& name, const FilterFigures* f) {
        QStringList row = {name};
        row << number(f ? kHz(f->centreHz) : std::nullopt, 3)
            << number(f ? std::optional(f->peakDb) : std::nullopt, 2);
        for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k)
            row << number(f ? f->bandwidthHz[k] : std::nullopt, 0);
        row << number(f ? f->flatnessDb : std::nullopt, 2);
        return row;
    };
    const auto line = [](const QStringList& row, bool head) {
        QString html = QStringLiteral("<tr>");
        for (qsizetype i = 0; i < row.size(); ++i) {
            const QString align = i == 0 ? QStringLiteral("left") : QStringLiteral("right");
            html += QStringLiteral("<td align=%1>&nbsp;%2%3%4</td>")
                        .arg(align, head ? QStringLiteral("<b>") : QString(),
                             row[i].toHtmlEscaped(), head ? QStringLiteral("</b>") : QString());
        }
        return html + QStringLiteral("</tr>");
    };
    const QString widths =
        QStringLiteral("<tr><td colspan=3></td><td colspan=4 align=center><b>%1</b></td></tr>")
            .arg(tr("ширина полосы, Гц").toHtmlEscaped());
    // A long file name gives up its middle, so that the table keeps the chart's width.
    const QString name = QFontMetrics(figures_.font()).elidedText(fileName_, Qt::ElideMiddle, 160);
    const FilterFigures* design = designFigures_ ? &*designFigures_ : nullptr;
    // The row names the ports its design is swept between, when they are not its own.
    const QString designName = designPortOhm_
                                   ? tr("расчёт, порты %1 Ом").arg(PlainNumber(*designPortOhm_, 0))
                                   : tr("расчёт");
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=0>") + widths +
                   line(heads, true) + line(cells(name, &*measuredFigures_), false) +
                   line(cells(designName, design), false) + QStringLiteral("</table>");
    if (design && measuredFigures_->centreHz && design->centreHz) {
        html += tr("Сдвиг центров: %1 Гц")
                    .arg(PlainNumber(*design->centreHz - *measuredFigures_->centreHz, 0));
    }
    figures_.setText(html);
    figures_.show();
}

}  // namespace feldan
