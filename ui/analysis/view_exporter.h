// Файл → "Экспорт вида…": the chart as a PNG or SVG picture, or the view on show as a CSV table.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace feldan {

class AnalysisViews;
class DialogService;
class ResponseChart;

class ViewExporter {
    Q_DECLARE_TR_FUNCTIONS(feldan::ViewExporter)
  public:
    ViewExporter(ResponseChart& chart, const AnalysisViews& views, DialogService& dialogs)
        : chart_(chart), views_(views), dialogs_(dialogs) {}

    // Asks for the file, then writes it.
    void ExportCommand();
    // Writes the view to `path`, whose extension says what; false after a refusal (told).
    bool Export(const QString& path);

  private:
    ResponseChart& chart_;
    const AnalysisViews& views_;
    DialogService& dialogs_;
};

}  // namespace feldan
