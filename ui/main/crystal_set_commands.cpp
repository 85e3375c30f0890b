// The main window's commands of a design from a set of crystals: the "Кварцы" window, the
// calculation on the set, and the chart's comparison of equal crystals with the set.
#include <QAction>
#include <array>

#include "circuit/topologies.h"
#include "engine/result_text.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/crystals/crystal_window.h"
#include "ui/main/main_window.h"
#include "ui/widgets/panel_bar.h"
#include "ui/widgets/response_chart.h"

namespace feldan {

namespace {}  // namespace

void MainWindow::ShowCrystalWindow() {
    if (!crystalWindow_) {
        crystalWindow_ = new CrystalWindow(
            *projectState_, [this]() -> DialogService& { return *dialogs_; },
            [this] {
                return filterType_ >= 1 && filterType_ <= FilterTypeCount
                           ? DescriptorOf(filterType_).crystalCount
                           : 0;
            },
            this);
    }
    crystalWindow_->show();
    crystalWindow_->raise();
    crystalWindow_->activateWindow();
}

CalculationResult MainWindow::CalculateProject(Language language) {
    lastSet_.reset();
    const DesignFields design = CurrentDesign();
    if (!projectState_->UsesCrystalSet()) return feldan::Calculate(design, separator_, language);
    // A set of another size than the topology's is refused with its own message, never
    // calculated as equal crystals.
    const std::vector<CrystalModel> crystals = projectState_->CrystalsOfSet();
    const bool trim = projectState_->Trim();
    CalculationResult result = CalculateWithCrystals(design, crystals, trim, separator_, language);
    if (result.outcome == Outcome::Done) lastSet_ = DesignOfCrystalSet(design, crystals, trim);
    return result;
}

std::string MainWindow::SummaryText(const CalculationResult& result,
                                    const std::optional<CrystalSetDesign>& set,
                                    Language language) const {
    std::string text = ComposeResultText(result, separator_, language);
    if (set) text += "\r" + CrystalSetText(*set, separator_, language);
    return text;
}

DesignedFilter MainWindow::DesignedFilterOf(CircuitChoice circuit) const {
    if (!projectState_->UsesCrystalSet()) return DesignFilter(CurrentDesign(), separator_, circuit);
    const std::vector<CrystalModel> crystals = projectState_->CrystalsOfSet();
    return DesignFilter(CurrentDesign(), separator_, circuit, crystals, projectState_->Trim());
}

ProjectBuild MainWindow::BuildCurrentProject() const {
    return BuildProject(projectState_->ToProject(CurrentDesign()), separator_);
}

DesignBuild MainWindow::BuildCurrentDesign() const {
    return BuildDesign(CurrentDesign(), separator_, projectState_->CrystalsOfSet(),
                       projectState_->Trim());
}

void MainWindow::CompareCrystals() {
    if (!projectState_->UsesCrystalSet()) {
        ShowError(tr("Набор кварцев не выбран: выберите его в окне «Кварцы»."));
        return;
    }
    const Language language = CurrentLanguage();
    const DesignFields design = CurrentDesign();
    const std::vector<CrystalModel> crystals = projectState_->CrystalsOfSet();
    const CrystalSetDesign untrimmed = DesignOfCrystalSet(design, crystals, false);
    if (untrimmed.message.id != MessageId::None) {
        ShowError(FromUtf8(MessageText(untrimmed.message, language)));
        return;
    }
    SetBusyCursor(true);
    // Equal crystals are the set's mean crystal in every position.
    const std::array<CalculationResult, ComparisonCount> results = {
        feldan::Calculate(untrimmed.fields, separator_, language),
        CalculateWithCrystals(design, crystals, false, separator_, language),
        CalculateWithCrystals(design, crystals, true, separator_, language)};
    SetBusyCursor(false);
    ClearCurves();
    curveCount_ = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CalculationResult& result = results[i];
        if (result.outcome != Outcome::Done) {
            ShowWarning(MessageText(result.message, language));
            continue;
        }
        // Every curve against the mean fs of the set, so that a shifted pass band shows.
        const double shiftKHz = result.input.FoKHz - results[0].input.FoKHz;
        std::vector<CurvePoint> points = result.curve;
        for (CurvePoint& point : points)
            point.x += shiftKHz;
        chart_->AddCurve(static_cast<int>(i), points);
        comparison_[i] = OverlayText{result, design.texts.Df};
    }
    for (int position = static_cast<int>(results.size()); position < SeriesCount; ++position)
        chart_->SetLegendEntryShown(position, false);
    NameComparison();
}

void MainWindow::NameComparison() {
    const std::array<QString, 3> names = {tr("равные кварцы"), tr("набор без подстройки"),
                                          tr("набор с подстройкой")};
    const Language language = CurrentLanguage();
    for (std::size_t i = 0; i < comparison_.size(); ++i) {
        if (!comparison_[i]) continue;
        const int position = static_cast<int>(i);
        chart_->SetSeriesName(position, names[i]);
        overlayStatusBar_->SetPanelText(
            position, names[i] + QStringLiteral(": ") +
                          FromUtf8(OverlaySummary(comparison_[i]->result, comparison_[i]->dfText,
                                                  separator_, language)));
    }
}

}  // namespace feldan
