// Texts between the engine, which speaks UTF-8, and Qt.
#pragma once

#include <QLocale>
#include <QString>
#include <cmath>
#include <optional>
#include <string>

#include "engine/errors.h"
#include "engine/number_text.h"

namespace feldan {

inline QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Window texts separate lines by a carriage return; Qt widgets by a line feed.
inline QString LinesFromCr(const std::string& text) {
    QString lines = FromUtf8(text);
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

// A text with the Latin C wherever a Cyrillic Es stands before a Latin letter or a digit
// ("Сs", "С7"): the window keeps its old labels, a document written from them is searched.
inline QString WithLatinC(QString text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const QChar next = text[i + 1];
        if (text[i] == QChar(0x0421) && next.unicode() < 0x80 && next.isLetterOrNumber())
            text[i] = QLatin1Char('C');
    }
    return text;
}

// The locale in force without its thousands separator: "2,490" reads as a decimal comma to a
// Russian reader, "2 490" as two numbers in a table.
inline QLocale NumberLocale() {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

// A number in the notation of the locale in force, to `significant` digits, without grouping.
inline QString LocaleNumber(double value, int significant = 4) {
    return NumberLocale().toString(value, 'g', significant);
}

// A number with `decimals` after the separator of the locale in force and no grouping: a
// thousands separator would read as a decimal comma to a Russian reader.
inline QString PlainNumber(double value, int decimals) {
    return NumberLocale().toString(value, 'f', decimals);
}

// A number typed into a window's field or cell, with either decimal separator, read as the
// engine reads a field (FieldTextToFloat); nothing for anything else or a value not finite.
inline std::optional<double> TypedNumber(const QString& text) {
    try {
        const double value = FieldTextToFloat(text.trimmed().toStdString(), '.');
        if (std::isfinite(value)) return value;
    } catch (const ConversionError&) {
    }
    return std::nullopt;
}

}  // namespace feldan
