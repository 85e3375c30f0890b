#include "ui/widgets/schematic_area.h"

#include <QLabel>
#include <algorithm>

namespace feldan {

namespace {

constexpr int SchematicLeft = 6;

}  // namespace

SchematicArea::SchematicArea(QWidget* parent) : Panel(parent) {
    setObjectName(QStringLiteral("schematicArea"));
    setFixedHeight(SchematicHeight);
    setMinimumWidth(SchematicLeft +
                    *std::max_element(SchematicWidths.begin(), SchematicWidths.end()));
    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("schematicImage"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_->setFocusPolicy(Qt::NoFocus);
    image_->move(SchematicLeft, 0);
}

void SchematicArea::ShowSchematic(int circuit) {
    if (circuit == circuit_ && !image_->pixmap().isNull()) return;
    circuit_ = circuit;
    Draw();
}

void SchematicArea::ShowEndsApart(bool apart) {
    if (apart == endsApart_) return;
    endsApart_ = apart;
    Draw();
}

void SchematicArea::DrawPictures(qreal ratio) {
    ratio_ = ratio;
    Draw();
}

void SchematicArea::Draw() {
    const int width = SchematicWidthOf(circuit_, endsApart_);
    // A wider ladder widens the area, and with it the window.
    setMinimumWidth(SchematicLeft + std::max(width, *std::max_element(SchematicWidths.begin(),
                                                                      SchematicWidths.end())));
    image_->setFixedSize(std::max(width, 1), SchematicHeight);
    image_->setPixmap(width > 0 ? QPixmap::fromImage(DrawSchematic(circuit_, ratio_, endsApart_))
                                : QPixmap());
    image_->setVisible(width > 0);
    image_->setObjectName(QStringLiteral("schematic%1").arg(circuit_));
    RetranslateUi();
}

void SchematicArea::RetranslateUi() {
    image_->setStatusTip(SchematicHint(circuit_, endsApart_));
}

}  // namespace feldan
