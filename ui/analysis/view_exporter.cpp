#include "ui/analysis/view_exporter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QLabel>
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
#include "ui/widgets/response_chart.h"

namespace feldan {

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
    chart_.Readout()->hide();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        // The chart's scene drawn in vectors at the picture's size, its inputs in a line below.
        const int pictureWidth =
            std::clamp(pictureSize.width(), PictureSideRange.first, PictureSideRange.second);
        const int pictureHeight =
            std::clamp(pictureSize.height(), PictureSideRange.first, PictureSideRange.second);
        QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // The caption keeps its proportion to the picture, so it reads alike at every size.
        const int captionHeight = std::max(24, pictureHeight * 44 / 1000);
        const QRectF plot(0, 0, pictureWidth, pictureHeight - captionHeight);
        const QSizeF shown = chart_.size();
        const double scale = std::min(plot.width() / shown.width(), plot.height() / shown.height());
        const QSizeF drawn = shown * scale;
        chart_.scene()->render(&painter,
                               QRectF(QPointF((plot.width() - drawn.width()) / 2,
                                              (plot.height() - drawn.height()) / 2),
                                      drawn),
                               QRectF(QPointF(), shown));
        QFont font = painter.font();
        font.setPixelSize(std::max(11, captionHeight * 20 / 44));
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(12, pictureHeight - captionHeight, pictureWidth - 24, captionHeight),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            caption_ ? caption_() : QString());
        painter.end();
        picture.save(&buffer, "PNG");
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
