// The time views of the "Анализ" menu: the step response, the impulse response and the keyed
// carrier of the design (and of the calculations overlaid on the chart), with their figures.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/crystal.h"
#include "engine/sweep.h"
#include "engine/time_response.h"
#include "ui/common/dialog_service.h"
#include "ui/widgets/response_chart.h"

namespace feldan {

enum class TimeView { Step, Impulse, Keyed };

// A design to be shown: its filter between the ports of a circuit, built from a design already
// made (never designed again).
struct DesignSource {
    QString name;
    std::function<DesignedFilter(CircuitChoice)> filterOf;
    std::optional<QColor> colour;
};

class DesignDocument;

// The document's filter as built (the build in force: rounded, tuned) as a source. It follows
// the document: a source to keep is made of SourceOfDesign.
DesignSource SourceOfDocument(const DesignDocument& document, const QString& name,
                              std::optional<QColor> colour = std::nullopt);
// A design kept as it was made (an overlaid calculation).
DesignSource SourceOfDesign(std::shared_ptr<const Designed> designed, const QString& name,
                            std::optional<QColor> colour = std::nullopt);

// A row of the figures table.
struct TimeFiguresRow {
    QString name;
    TransientFigures figures;
};

struct TimeCurves {
    std::vector<NamedCurve> curves;  // the keying first in the keyed view
    std::vector<TimeFiguresRow> rows;
    // The messages of designs that could not be shown (the others are).
    QStringList problems;
    // The time the view spans, ms.
    double shownMs = 0;
};

// Marks of the keyed view's dot train: enough for the gap between the second and the third.
inline constexpr int TimeViewDots = 5;

class TimeViews {
    Q_DECLARE_TR_FUNCTIONS(feldan::TimeViews)
  public:
    // The curves of `view` for every source, each between the ports of `circuit`.
    static TimeCurves CurvesOf(TimeView view, std::span<const DesignSource> sources,
                               const KeyingChoice& keying, CircuitChoice circuit);
    // A response as the view draws it, named `name`; the keyed view's keying is not included.
    static NamedCurve CurveOf(TimeView view, const EnvelopeResponse& drawn,
                              const EnvelopeResponse& plain, const KeyingChoice& keying,
                              double shownMs, const QString& name, TransientFigures* figures);
    // The axis titles and the readout's units.
    static ChartQuantity QuantityOf(TimeView view);
    // The figures table for under the chart.
    static QString FiguresHtml(std::span<const TimeFiguresRow> rows, bool keyedDots);
    // The curves as CSV: time_ms, then a column per curve on the first curve's times (step,
    // impulse_per_ms, or input and output; numbered from _1 when there are several, then
    // `extraName` for a last curve that is not a design's, such as a measurement).
    static std::string Csv(TimeView view, std::span<const NamedCurve> curves,
                           const std::string& extraName = {});
};

}  // namespace feldan
