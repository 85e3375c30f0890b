// The area at the top left of the main window where the schematic of the chosen design is
// shown, drawn for its circuit.
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

    // Shows the picture of a circuit number (none for a number that names none).
    void ShowSchematic(int circuit);
    // Draws Rвх and Rвых, and says where they go, for a design whose two ends differ.
    void ShowEndsApart(bool apart);
    bool EndsApart() const { return endsApart_; }
    // Draws the picture for `ratio` device pixels per pixel.
    void DrawPictures(qreal ratio);
    int Circuit() const { return circuit_; }

  protected:
    void RetranslateUi() override;

  private:
    void Draw();

    QLabel* image_ = nullptr;
    int circuit_ = 0;
    bool endsApart_ = false;
    qreal ratio_ = 1;
};

}  // namespace feldan
