#include "ui/widgets/schematic_area.h"

#include <QLabel>
#include <algorithm>

namespace feldan {

namespace {

constexpr int SchematicLeft = 6;
constexpr int TypeCount = int(SchematicWidths.size());

}  // namespace

SchematicArea::SchematicArea(QWidget* parent) : Panel(parent) {
    setObjectName(QStringLiteral("schematicArea"));
    setFixedHeight(SchematicHeight);
    setMinimumWidth(SchematicLeft +
                    *std::max_element(SchematicWidths.begin(), SchematicWidths.end()));
    for (int type = 1; type <= TypeCount; ++type) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("schematic%1").arg(type));
        image->setGeometry(SchematicLeft, 0, SchematicWidths[type - 1], SchematicHeight);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->setFocusPolicy(Qt::NoFocus);
        images_[type - 1] = image;
    }
    RetranslateUi();
}

void SchematicArea::ShowSchematic(int filterType) {
    // Show the chosen one first, so that the picture area is never empty in between.
    for (int type = 1; type <= TypeCount; ++type) {
        if (type == filterType) images_[type - 1]->show();
    }
    for (int type = 1; type <= TypeCount; ++type) {
        if (type != filterType) images_[type - 1]->hide();
    }
}

void SchematicArea::DrawPictures(qreal ratio) {
    for (int type = 1; type <= TypeCount; ++type)
        images_[type - 1]->setPixmap(QPixmap::fromImage(DrawSchematic(type, ratio)));
}

void SchematicArea::RetranslateUi() {
    for (int type = 1; type <= TypeCount; ++type)
        images_[type - 1]->setStatusTip(SchematicHint(type));
}

}  // namespace feldan
