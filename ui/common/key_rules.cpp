#include "ui/common/key_rules.h"

#include <QKeyEvent>

namespace feldan {

namespace {

bool IsDigitOrSeparator(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u',' || c == u'.';
}

}  // namespace

std::optional<char16_t> TypedCharacter(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool control = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const int key = event.key();
    switch (key) {
        case Qt::Key_Backspace:
            return control ? char16_t(127) : BackspaceChar;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return control ? char16_t(10) : EnterChar;
        case Qt::Key_Escape:
            return char16_t(27);
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return std::nullopt;
        default:
            break;
    }
    if (control) {
        // Ctrl+letter types the control character of that letter (Ctrl+C is 3, Ctrl+V 22).
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return char16_t(key - Qt::Key_A + 1);
        if (key >= Qt::Key_BracketLeft && key <= Qt::Key_BracketRight) {
            return char16_t(key - Qt::Key_BracketLeft + 27);
        }
        return std::nullopt;
    }
    if (mods & (Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    const QString text = event.text();
    if (text.isEmpty()) return std::nullopt;
    return text.at(0).unicode();
}

KeyVerdict FilterNumberKey(char16_t c) {
    if (IsDigitOrSeparator(c) || c == BackspaceChar) return KeyVerdict::Pass;
    if (c == EnterChar) return KeyVerdict::NextField;
    return KeyVerdict::Suppress;
}

KeyVerdict FilterLevelKey(char16_t c) {
    if (IsDigitOrSeparator(c) || c == u'-' || c == BackspaceChar) return KeyVerdict::Pass;
    return KeyVerdict::Suppress;
}

}  // namespace feldan
