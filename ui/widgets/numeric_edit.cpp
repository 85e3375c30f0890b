#include "ui/widgets/numeric_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <memory>

#include "ui/common/key_rules.h"

namespace feldan {

QString AcceptedCharacters(const QString& text, bool allowsMinus) {
    QString kept;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == BackspaceChar || u == EnterChar) continue;
        const KeyVerdict verdict = allowsMinus ? FilterLevelKey(u) : FilterNumberKey(u);
        if (verdict == KeyVerdict::Pass) kept.append(c);
    }
    return kept;
}

NumericEdit::NumericEdit(const QString& text, bool allowsMinus, QWidget* parent)
    : QLineEdit(text, parent), allowsMinus_(allowsMinus) {
    setAcceptDrops(false);
}

void NumericEdit::PasteAccepted(QClipboard::Mode mode) {
    if (isReadOnly()) return;
    const QString kept = AcceptedCharacters(QApplication::clipboard()->text(mode), allowsMinus_);
    if (!kept.isEmpty()) insert(kept);
}

void NumericEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The standard menu's paste would insert the text as it is. Its entry is known by Qt's own
    // text for it (in the language Qt speaks), shortcut hint aside. The text is Qt's, not the
    // program's: held in a variable, so that lupdate leaves it to Qt's translation.
    static const char* const QtPaste = "&Paste";
    const QString pasteText = QCoreApplication::translate("QLineEdit", QtPaste);
    for (QAction* action : menu->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == pasteText) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { PasteAccepted(); });
        }
    }
    menu->exec(event->globalPos());
}

void NumericEdit::keyPressEvent(QKeyEvent* event) {
    // Shift+Insert types no character, so the key rules let it through as a paste.
    if (event->matches(QKeySequence::Paste)) {
        PasteAccepted();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumericEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        PasteAccepted(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

}  // namespace feldan
