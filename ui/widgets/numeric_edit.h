// An input field for a number: a paste keeps only the characters the field takes from the
// keyboard, so neither the context menu nor the selection can put the result text into it.
#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace feldan {

class NumericEdit : public QLineEdit {
    Q_OBJECT
  public:
    // `allowsMinus`: the level field, which also takes the minus sign.
    NumericEdit(const QString& text, bool allowsMinus, QWidget* parent);

    // Inserts the clipboard's (or the selection's) text with everything but the accepted
    // characters removed; nothing happens when none is left.
    void PasteAccepted(QClipboard::Mode mode = QClipboard::Clipboard);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool allowsMinus_;
};

// The characters of `text` that a number field takes from the keyboard, in order.
QString AcceptedCharacters(const QString& text, bool allowsMinus);

}  // namespace feldan
