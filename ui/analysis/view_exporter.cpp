#include "ui/analysis/view_exporter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QSvgGenerator>

#include "engine/errors.h"
#include "files/atomic_file.h"
#include "ui/analysis/analysis_views.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/response_chart.h"

namespace feldan {

void ViewExporter::ExportCommand() {
    const QString chosen = dialogs_.GetSaveFileName(
        DialogFolder(), tr("рисунок PNG (*.png);;рисунок SVG (*.svg);;таблица CSV (*.csv)"));
    if (!chosen.isEmpty()) Export(chosen);
}

bool ViewExporter::Export(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    chart_.Readout()->hide();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        chart_.grab().save(&buffer, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(chart_.size());
        svg.setViewBox(QRect(QPoint(), chart_.size()));
        svg.setTitle(QStringLiteral("Feldan"));
        QPainter painter(&svg);
        chart_.render(&painter);
    } else if (suffix == QLatin1String("csv")) {
        const std::string csv = views_.ViewCsv();
        bytes = QByteArray(csv.data(), qsizetype(csv.size()));
    } else {
        dialogs_.Error(
            tr("Вид сохраняется в файл PNG, SVG или CSV: укажите расширение .png, .svg "
               "или .csv"));
        return false;
    }
    try {
        WriteFileAtomically(LocalPath(path), std::string_view(bytes.constData(), bytes.size()));
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
        return false;
    }
    return true;
}

}  // namespace feldan
