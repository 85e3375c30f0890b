#include "ui/widgets/program_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Resources of a static library must be registered by name, outside any namespace.
static void InitUiResources() {
    Q_INIT_RESOURCE(ui_resources);
}

namespace feldan {

QIcon ProgramIcon() {
    InitUiResources();
    QSvgRenderer renderer(QStringLiteral(":/feldan/org.feldan.Feldan.svg"));
    QIcon icon;
    if (!renderer.isValid()) return icon;
    // Rendered at the usual sizes here rather than through the SVG icon plug-in, so the icon
    // does not depend on which plug-ins are installed.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace feldan
