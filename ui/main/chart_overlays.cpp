#include "ui/main/chart_overlays.h"

#include <QFont>

#include "ui/common/busy_cursor.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/panel_bar.h"

namespace feldan {

namespace {

constexpr int StatusBarHeight = 19;

// A result to keep for its texts: the curve lives in the chart.
CalculationResult WithoutCurve(const CalculationResult& result) {
    CalculationResult kept = result;
    kept.curve = {};
    return kept;
}

}  // namespace

ChartOverlays::ChartOverlays(ChartModel& chart, const DesignDocument& document, QWidget* barParent)
    : QObject(barParent), chart_(chart), document_(document) {
    // Every panel grows alike with the window.
    std::vector<PanelLayout> panels(SeriesCount, PanelLayout{160, Qt::AlignLeft, 1});
    statusBar_ = new PanelBar(panels, barParent);
    statusBar_->setObjectName(QStringLiteral("overlayStatusBar"));
    statusBar_->setFixedHeight(StatusBarHeight);
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                       QStringLiteral("Liberation Sans")});
    small.setPixelSize(11);
    small.setBold(false);
    statusBar_->setFont(small);
    QPalette green = statusBar_->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    statusBar_->setPalette(green);
}

void ChartOverlays::Draw(const CalculationResult& result, bool overlay, const std::string& dfText) {
    if (!overlay) chart_.ClearCurve(0);
    // After five overlays the next curve starts a new set.
    if (curveCount_ > SeriesCount - 1) curveCount_ = 0;
    if (curveCount_ == 0) ClearCurves();
    // A sweep that a warning cut short still shows the points it got.
    if (!result.curve.empty()) chart_.AddCurve(overlay ? curveCount_ : 0, result.curve);
    if (result.outcome == Outcome::Done && overlay) {
        statusBar_->SetPanelText(
            curveCount_, FromUtf8(OverlayStatusText(curveCount_, result, dfText,
                                                    document_.Separator(), CurrentLanguage())));
        DesignSource source =
            SourceOfDesign(document_.SharedDesign(), QString(), SeriesColour(curveCount_));
        overlayTexts_[curveCount_] = OverlayText{WithoutCurve(result), dfText, std::move(source)};
    }
    // An abandoned command does not count as a curve.
    if (result.outcome != Outcome::Error) ++curveCount_;
}

std::vector<DesignSource> ChartOverlays::Sources() const {
    std::vector<DesignSource> sources;
    for (int position = 0; position < SeriesCount; ++position) {
        const std::optional<OverlayText>& text = overlayTexts_[std::size_t(position)];
        if (!text) continue;
        DesignSource source = text->source;
        // "АЧХ1: B04-3100" without the status text's trailing separator.
        source.name = FromUtf8(OverlayStatusText(position, text->result, text->dfText,
                                                 document_.Separator(), CurrentLanguage()));
        while (source.name.endsWith(QLatin1Char(' ')) || source.name.endsWith(QLatin1Char(';')))
            source.name.chop(1);
        sources.push_back(std::move(source));
    }
    return sources;
}

void ChartOverlays::Clear() {
    ClearCurves();
    curveCount_ = 0;
}

void ChartOverlays::ClearCurves() {
    for (int position = 0; position < SeriesCount; ++position) {
        chart_.ClearCurve(position);
        chart_.SetCurveName(position, QString());
        chart_.SetLegendEntryShown(position, true);
        statusBar_->SetPanelText(position, QString());
        overlayTexts_[position].reset();
    }
    for (std::optional<OverlayText>& shown : comparison_)
        shown.reset();
}

void ChartOverlays::CompareCrystals(DialogService& dialogs) {
    const ProjectState& project = document_.Project();
    if (!project.UsesCrystalSet()) {
        dialogs.Error(tr("Набор кварцев не выбран: выберите его в окне «Кварцы»."));
        return;
    }
    const DesignFields& design = document_.Design();
    CrystalSetComparison comparison;
    {
        const BusyCursor busy;
        comparison = document_.CompareCrystals(CurrentLanguage());
    }
    if (comparison.message.id != MessageId::None) {
        dialogs.Error(MessageShown(comparison.message));
        return;
    }
    Clear();
    const std::vector<Designed>& results = comparison.designs;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CalculationResult& result = results[i].calculation;
        if (result.outcome != Outcome::Done) {
            dialogs.Warning(MessageShown(result.message));
            continue;
        }
        // Every curve against the mean fs of the set, so that a shifted pass band shows.
        const double shiftKHz = result.input.FoKHz - results[0].calculation.input.FoKHz;
        std::vector<CurvePoint> points = result.curve;
        for (CurvePoint& point : points)
            point.x += shiftKHz;
        chart_.AddCurve(static_cast<int>(i), points);
        comparison_[i] = OverlayText{WithoutCurve(result), design.texts.Df, DesignSource{}};
    }
    for (int position = static_cast<int>(results.size()); position < SeriesCount; ++position)
        chart_.SetLegendEntryShown(position, false);
    NameComparison();
}

void ChartOverlays::NameComparison() {
    const std::array<QString, ComparisonCount> names = {
        tr("равные кварцы"), tr("набор без подстройки"), tr("набор с подстройкой")};
    for (std::size_t i = 0; i < comparison_.size(); ++i) {
        if (!comparison_[i]) continue;
        const int position = static_cast<int>(i);
        chart_.SetCurveName(position, names[i]);
        statusBar_->SetPanelText(
            position, names[i] + QStringLiteral(": ") +
                          FromUtf8(OverlaySummary(comparison_[i]->result, comparison_[i]->dfText,
                                                  document_.Separator(), CurrentLanguage())));
    }
}

void ChartOverlays::RetranslateUi() {
    NameComparison();
    for (int position = 0; position < SeriesCount; ++position) {
        if (const auto& shown = overlayTexts_[position]) {
            statusBar_->SetPanelText(
                position, FromUtf8(OverlayStatusText(position, shown->result, shown->dfText,
                                                     document_.Separator(), CurrentLanguage())));
        }
    }
}

}  // namespace feldan
