// What every program with Feldan's windows sets up once, before the first window: names, the
// style, the icon and the language of the program's and Qt's own texts.
#pragma once

#include <optional>

#include "engine/messages.h"

namespace feldan {

// The language is the one given for this run, else the one the user chose last, else Russian;
// giving one does not change what is remembered. Returns false when a translation could not be
// loaded (the program works all the same, with those texts in their original language).
bool SetUpApplication(std::optional<Language> languageForThisRun = std::nullopt);

}  // namespace feldan
