// Файл → "Экспорт вида…": the chart as a PNG or SVG picture, or the view on show as a CSV table.
#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QFontMetrics;

namespace feldan {

class AnalysisViews;
class ChartPicture;
class DialogService;

class ViewExporter {
    Q_DECLARE_TR_FUNCTIONS(feldan::ViewExporter)
  public:
    // A picture of the view is this size unless the user chooses another; the design's inputs
    // go in lines under the chart.
    static constexpr QSize DefaultPictureSize{1600, 1000};

    // The pictures draw `chart`; `inputs` gives the design's inputs ("label value" each), for
    // the picture.
    ViewExporter(ChartPicture& chart, const AnalysisViews& views, DialogService& dialogs,
                 std::function<QStringList()> inputs)
        : chart_(chart), views_(views), dialogs_(dialogs), inputs_(std::move(inputs)) {}

    // Asks for the file (and for a picture's size), then writes it.
    void ExportCommand();
    // Writes the view to `path`, whose extension says what, a PNG picture at `pictureSize`;
    // false after a refusal (told).
    bool Export(const QString& path, QSize pictureSize = DefaultPictureSize);
    // The inputs joined by ";  " into lines no wider than `width` pixels, whole inputs a line.
    static QStringList CaptionLines(const QStringList& inputs, const QFontMetrics& metrics,
                                    int width);

  private:
    ChartPicture& chart_;
    const AnalysisViews& views_;
    DialogService& dialogs_;
    std::function<QStringList()> inputs_;
    // A picture's chart is laid out at most this wide, then scaled up to the picture.
    static constexpr double LaidOutChartWidth = 800;
};

}  // namespace feldan
