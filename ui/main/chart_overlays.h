// The pass-band curves of the chart and the overlay status bar under it: up to five
// calculations laid over each other, each with its summary in a panel, and the three curves of
// "Сравнить кварцы". It keeps what the panels say, so that a new language can say it again.
#pragma once

#include <QObject>
#include <array>
#include <optional>
#include <string>

#include "engine/calculate.h"
#include "ui/analysis/time_views.h"
#include "ui/widgets/chart_model.h"

class QWidget;

namespace feldan {

class DesignDocument;
class DialogService;
class PanelBar;

class ChartOverlays : public QObject {
    Q_OBJECT
  public:
    // The comparison's curves: equal crystals, the set untrimmed and trimmed.
    static constexpr std::size_t ComparisonCount = 3;

    // The curves go into `chart`; `barParent` takes the status bar into its layout.
    ChartOverlays(ChartModel& chart, const DesignDocument& document, QWidget* barParent);

    PanelBar* StatusBar() const { return statusBar_; }
    // Curves drawn in the current set of overlays (0..5).
    int CurveCount() const { return curveCount_; }

    // Draws a calculation that was not refused: over the others in overlay mode (after five a
    // new set starts), else alone; its summary goes to its panel. `dfText` is dF as typed.
    void Draw(const CalculationResult& result, bool overlay, const std::string& dfText);
    // Overlay mode switched on: the count starts again.
    void StartOverlays() { curveCount_ = 0; }
    // Every curve and panel cleared, and the count.
    void Clear();
    // "Сравнить кварцы": equal crystals (the set's mean crystal in every position), the set
    // untrimmed and trimmed, against the mean fs of the set. Refusals go to `dialogs`.
    void CompareCrystals(DialogService& dialogs);

    void RetranslateUi();

    // The designs of the overlaid curves, for the time views, each in its curve's colour and
    // under its status text; none outside overlay mode.
    std::vector<DesignSource> Sources() const;

  private:
    struct OverlayText {
        CalculationResult result;
        std::string dfText;
        DesignSource source;
    };
    void ClearCurves();
    // Names the curves of "Сравнить кварцы" in the language in force.
    void NameComparison();

    ChartModel& chart_;
    const DesignDocument& document_;
    PanelBar* statusBar_;
    int curveCount_ = 0;
    std::array<std::optional<OverlayText>, SeriesCount> overlayTexts_;
    std::array<std::optional<OverlayText>, ComparisonCount> comparison_;
};

}  // namespace feldan
