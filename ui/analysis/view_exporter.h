// Файл → "Экспорт вида…": the chart as a PNG or SVG picture, or the view on show as a CSV table.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

namespace feldan {

class AnalysisViews;
class DialogService;
class ResponseChart;

class ViewExporter {
    Q_DECLARE_TR_FUNCTIONS(feldan::ViewExporter)
  public:
    // A picture of the view: this size, with the design's inputs in one line under the chart.
    static constexpr int PictureWidth = 1600, PictureHeight = 1000;

    // `caption` gives the design's inputs in one line, for the picture.
    ViewExporter(ResponseChart& chart, const AnalysisViews& views, DialogService& dialogs,
                 std::function<QString()> caption)
        : chart_(chart), views_(views), dialogs_(dialogs), caption_(std::move(caption)) {}

    // Asks for the file, then writes it.
    void ExportCommand();
    // Writes the view to `path`, whose extension says what; false after a refusal (told).
    bool Export(const QString& path);

  private:
    ResponseChart& chart_;
    const AnalysisViews& views_;
    DialogService& dialogs_;
    std::function<QString()> caption_;
};

}  // namespace feldan
