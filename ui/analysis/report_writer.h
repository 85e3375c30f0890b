// Файл → "Отчёт…": the design on paper (PDF, A4): the inputs and the parts of the schematic,
// the picture, the summary, the pass band and group delay charts, and the parts to solder.
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <vector>

#include "engine/calculate.h"

class QIODevice;

namespace feldan {

class ChartModel;
class DesignDocument;
class DialogService;
struct ReportPage;

class ReportWriter {
    Q_DECLARE_TR_FUNCTIONS(feldan::ReportWriter)
  public:
    // What the window shows that the report repeats as it is shown.
    struct Content {
        QStringList inputs;  // "label value" of every input
        QString summary;     // the result text, lines separated by '\n'
        // A measured filter over the pass band, as the chart draws it; empty: none.
        QString measuredName;
        std::vector<CurvePoint> measured;
        // What the overlay panels say of each curve on show ("" where a panel is empty).
        QStringList curveSummaries;
        // What was built, as "Что построено" found it from the measured sweep; empty: not asked.
        QString diagnosis{};
    };

    // The pass band is drawn as `chart` holds it.
    ReportWriter(const DesignDocument& document, const ChartModel& chart, DialogService& dialogs)
        : document_(document), chart_(chart), dialogs_(dialogs) {}

    // Asks for the file, then writes the report to it.
    void ReportCommand(const Content& content);
    // The report as a PDF; false when it cannot be drawn.
    bool Write(QIODevice& device, const Content& content) const;
    // The lines under the pass-band chart: each curve's summary as the status bar gives it.
    static QStringList CurveSummaryLines(const Content& content);

  private:
    // The first page: the inputs, the parts of the schematic, the picture and the summary.
    void DrawDesign(ReportPage& page, const Content& content) const;
    // The parts of the schematic by label with their values, and its terminations.
    QStringList SchematicParts() const;
    // The pass band with each curve's summary under it, and the group delay; each chart
    // `chartHeight` tall.
    void DrawCharts(ReportPage& page, const Content& content, double chartHeight) const;
    void DrawPartsToSolder(ReportPage& page) const;
    // " · Детали: …" for the titles of the charts of the filter as built.
    QString PartsInForce() const;
    // The step response of the filter as built, with its figures.
    void DrawStepResponse(ReportPage& page, double chartHeight) const;

    const DesignDocument& document_;
    const ChartModel& chart_;
    DialogService& dialogs_;
};

}  // namespace feldan
