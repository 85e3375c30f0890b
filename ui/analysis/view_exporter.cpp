#include "ui/analysis/view_exporter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>

#include "engine/errors.h"
#include "files/atomic_file.h"
#include "ui/analysis/analysis_views.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/chart_picture.h"

namespace feldan {

QStringList ViewExporter::CaptionLines(const QStringList& inputs, const QFontMetrics& metrics,
                                       int width) {
    const QString separator = QStringLiteral(";  ");
    QStringList lines;
    for (const QString& input : inputs) {
        if (!lines.isEmpty() &&
            metrics.horizontalAdvance(lines.back() + separator + input) <= width) {
            lines.back() += separator + input;
        } else {
            // An input wider than the picture alone gives up its end.
            lines.append(metrics.elidedText(input, Qt::ElideRight, width));
        }
    }
    return lines;
}

void ViewExporter::ExportCommand() {
    const QString chosen = dialogs_.GetSaveFileName(
        DialogFolder(), tr("рисунок PNG (*.png);;рисунок SVG (*.svg);;таблица CSV (*.csv)"));
    if (chosen.isEmpty()) return;
    QSize size = DefaultPictureSize;
    if (QFileInfo(chosen).suffix().toLower() == QLatin1String("png")) {
        const std::optional<QSize> asked =
            dialogs_.GetPictureSize(RememberedPictureSize(DefaultPictureSize));
        if (!asked) return;
        size = *asked;
        RememberPictureSize(size);
    }
    Export(chosen, size);
}

bool ViewExporter::Export(const QString& path, QSize pictureSize) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        const int pictureWidth =
            std::clamp(pictureSize.width(), PictureSideRange.first, PictureSideRange.second);
        const int pictureHeight =
            std::clamp(pictureSize.height(), PictureSideRange.first, PictureSideRange.second);
        QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // The inputs under the chart, in as many lines as the width needs; the font keeps its
        // proportion to the picture, so that it reads alike at every size.
        QFont font = painter.font();
        font.setPixelSize(std::max(11, pictureHeight / 50));
        const QStringList lines = CaptionLines(inputs_ ? inputs_() : QStringList(),
                                               QFontMetrics(font), pictureWidth - 24);
        const int lineHeight = QFontMetrics(font).lineSpacing();
        const int captionHeight = int(lines.size()) * lineHeight + lineHeight / 2;
        const QRectF plot(0, 0, pictureWidth, pictureHeight - captionHeight);
        // The chart is laid out afresh at the picture's proportions, as large as a window's chart
        // (so that its labels keep their size to it), and drawn in vectors filling the plot.
        const double scale = std::max(1.0, plot.width() / LaidOutChartWidth);
        chart_.DrawLaidOut(painter, plot, QSizeF(plot.width() / scale, plot.height() / scale));
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            painter.drawText(
                QRectF(12, plot.bottom() + i * lineHeight, pictureWidth - 24, lineHeight),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
        }
        painter.end();
        picture.save(&buffer, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(chart_.ShownSize());
        svg.setViewBox(QRect(QPoint(), chart_.ShownSize()));
        svg.setTitle(QStringLiteral("Feldan"));
        QPainter painter(&svg);
        chart_.DrawAsShown(painter);
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
