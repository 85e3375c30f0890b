// The area at the top left of the main window where the schematic of the chosen topology is
// shown: the seven pictures share it, exactly one of them visible.
#pragma once

#include <QWidget>
#include <array>

#include "ui/common/panel.h"
#include "ui/widgets/schematic.h"

class QLabel;

namespace feldan {

class SchematicArea : public Panel<QWidget> {
    Q_OBJECT
  public:
    explicit SchematicArea(QWidget* parent);

    // Shows the picture of FilterType 1..7 (none for another value).
    void ShowSchematic(int filterType);
    // Draws the pictures for `ratio` device pixels per pixel.
    void DrawPictures(qreal ratio);

  protected:
    void RetranslateUi() override;

  private:
    std::array<QLabel*, SchematicWidths.size()> images_{};
};

}  // namespace feldan
