// The language the windows speak. The program's texts are written in Russian; English comes
// from the translation built into the program, and Qt's own texts (dialog buttons, context
// menus) follow with Qt's Russian translation or its English originals.
#pragma once

#include <QLocale>
#include <QString>
#include <optional>

#include "engine/messages.h"

namespace feldan {

// The language in force; Russian until SetLanguage says otherwise.
Language CurrentLanguage();

// Switches the texts of the program and of Qt to `language`, and every window has said its
// texts again when it returns. False when a translation could not be loaded: those texts then
// stay in the language they are written in.
bool SetLanguage(Language language);

// The locale of the language in force, for what follows the window's language rather than the
// desktop's (the report's date): Russia's for Russian, the United States' for English.
QLocale LanguageLocale();

// The locale of the date and time the window shows: the user's own while it speaks the window's
// language, else the window's language's.
QLocale ClockLocale();

// The words of a message in the language in force, as every window shows one.
QString MessageShown(const Message& message);

// "ru" and "en", as the command line and the settings name the languages.
QString LanguageCode(Language language);
std::optional<Language> LanguageFromCode(const QString& code);

}  // namespace feldan
