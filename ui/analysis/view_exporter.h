// Файл → "Экспорт вида…": the chart as a PNG or SVG picture, or the view on show as a CSV table.
#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <functional>

namespace feldan {

class AnalysisViews;
class DialogService;
class ResponseChart;

class ViewExporter {
    Q_DECLARE_TR_FUNCTIONS(feldan::ViewExporter)
  public:
    // A picture of the view is this size unless the user chooses another; the design's inputs
    // go in one line under the chart.
    static constexpr QSize DefaultPictureSize{1600, 1000};

    // `caption` gives the design's inputs in one line, for the picture.
    ViewExporter(ResponseChart& chart, const AnalysisViews& views, DialogService& dialogs,
                 std::function<QString()> caption)
        : chart_(chart), views_(views), dialogs_(dialogs), caption_(std::move(caption)) {}

    // Asks for the file (and for a picture's size), then writes it.
    void ExportCommand();
    // Writes the view to `path`, whose extension says what, a PNG picture at `pictureSize`;
    // false after a refusal (told).
    bool Export(const QString& path, QSize pictureSize = DefaultPictureSize);

  private:
    ResponseChart& chart_;
    const AnalysisViews& views_;
    DialogService& dialogs_;
    std::function<QString()> caption_;
};

}  // namespace feldan
