// Texts between the engine, which speaks UTF-8, and Qt.
#pragma once

#include <QLocale>
#include <QString>
#include <string>

namespace feldan {

inline QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A number in the notation of the locale in force, to `significant` digits.
inline QString LocaleNumber(double value, int significant = 4) {
    return QLocale().toString(value, 'g', significant);
}

}  // namespace feldan
