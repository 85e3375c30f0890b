#include "ui/analysis/measured_overlay.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <exception>

#include "engine/errors.h"
#include "engine/sweep.h"
#include "files/touchstone.h"
#include "ui/analysis/analysis_views.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/widgets/response_chart.h"

namespace feldan {

namespace {

// The centre of the design's pass band, by the same rule as the measured one's: the middle of
// the −3 dB points of |S21| in a sweep of the designed circuit.
std::optional<double> DesignCentreHz(DesignedFilter& design) {
    const SweepResult sweep = SweepFilter(design, SweepRequest{});
    std::vector<double> hz, db;
    for (const SweepPoint& point : sweep.points) {
        if (!point.ok) continue;
        hz.push_back(point.hz);
        db.push_back(DecibelsOfS(point.s21));
    }
    const std::optional<PassBandCentre> centre = PassBandCentreOf(hz, db);
    return centre ? std::optional<double>(centre->CentreHz()) : std::nullopt;
}

// The value a view plots of a measured point; none where the view shows no such quantity.
std::optional<double> ValueOf(AnalysisView view, const MeasuredPoint& point, double peakDb) {
    switch (view) {
        case AnalysisView::PassBand:
            return PassBandDbOfS21(point.s21Db);
        case AnalysisView::WideBand:
            return point.s21Db;
        case AnalysisView::GroupDelay:
            if (point.s21Db < peakDb - MeasuredDelayFloorDb) return std::nullopt;
            return point.groupDelaySec * 1e6;
        case AnalysisView::ReturnLoss:
            return -point.s11Db;
        case AnalysisView::Impedance:
            break;
    }
    return std::nullopt;
}

}  // namespace

MeasuredOverlay::MeasuredOverlay(const DesignDocument& document, DialogService& dialogs,
                                 ResponseChart& chart, QMenu& menu, const AnalysisViews& views)
    : QObject(&menu), document_(document), dialogs_(dialogs), chart_(chart), views_(views) {
    separator_ = menu.addSeparator();
    separator_->setObjectName(QStringLiteral("measuredSeparator"));
    openAction_ = menu.addAction(QString());
    openAction_->setObjectName(QStringLiteral("openMeasuredAction"));
    shiftAction_ = menu.addAction(QString());
    shiftAction_->setObjectName(QStringLiteral("shiftMeasuredAction"));
    shiftAction_->setCheckable(true);
    removeAction_ = menu.addAction(QString());
    removeAction_->setObjectName(QStringLiteral("removeMeasuredAction"));
    removeAction_->setEnabled(false);
    connect(openAction_, &QAction::triggered, this, &MeasuredOverlay::OpenCommand);
    connect(shiftAction_, &QAction::toggled, this, [this](bool checked) {
        Show(views_.View());
        if (checked && filter_ && !filter_->centre) {
            dialogs_.Error(tr("В измерении %1 |S21| не спадает на 3 дБ ниже пика по обе "
                              "стороны: центр его полосы не найти, сдвига нет")
                               .arg(fileName_));
        }
    });
    connect(removeAction_, &QAction::triggered, this, &MeasuredOverlay::Remove);
    RetranslateUi();
}

void MeasuredOverlay::RetranslateUi() {
    openAction_->setText(tr("&Измеренный фильтр…"));
    shiftAction_->setText(tr("С&двинуть к центру расчёта"));
    removeAction_->setText(tr("&Убрать измеренный"));
    if (filter_) chart_.MeasuredSeries()->setName(CurveName());
}

QString MeasuredOverlay::CurveName() const {
    if (!shifted_) return fileName_;
    const QString hz = QLocale().toString(shiftHz_, 'f', 0);
    return tr("%1, сдвиг %2 Гц").arg(fileName_, shiftHz_ > 0 ? QLatin1Char('+') + hz : hz);
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
    std::vector<MeasuredSample> samples;
    samples.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        samples.push_back({data.frequencyHz[i], data.S21(i), data.S11(i)});
    filter_ = AnalyseMeasuredFilter(std::move(samples));
    fileName_ = name;
    RememberFolderOf(path);
    removeAction_->setEnabled(true);
    Show(views_.View());
    return true;
}

void MeasuredOverlay::Remove() {
    filter_.reset();
    fileName_.clear();
    shiftHz_ = 0;
    shifted_ = false;
    removeAction_->setEnabled(false);
    chart_.SetMeasuredCurve(QString(), {});
}

void MeasuredOverlay::Show(AnalysisView view) {
    if (!filter_) return;
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
    if (designed && shiftAction_->isChecked() && measured.centre) {
        if (const std::optional<double> centre = DesignCentreHz(design)) {
            shiftHz_ = *centre - measured.centre->CentreHz();
            shifted_ = true;
        }
    }
    std::vector<CurvePoint> points;
    points.reserve(measured.points.size());
    for (const MeasuredPoint& point : measured.points) {
        if (const std::optional<double> value = ValueOf(view, point, measured.peakDb))
            points.push_back({(point.hz + shiftHz_ - foHz) / 1000, *value});
    }
    chart_.SetMeasuredCurve(CurveName(), points);
}

}  // namespace feldan
