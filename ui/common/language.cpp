#include "ui/common/language.h"

#include "ui/common/ui_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace feldan {

namespace {

Language current = Language::Russian;

// The two translators, made once and kept by the application.
QTranslator& ProgramTexts() {
    static auto* translator = new QTranslator(QCoreApplication::instance());
    return *translator;
}

QTranslator& QtTexts() {
    static auto* translator = new QTranslator(QCoreApplication::instance());
    return *translator;
}

}  // namespace

Language CurrentLanguage() {
    return current;
}

bool SetLanguage(Language language) {
    current = language;
    QCoreApplication::removeTranslator(&ProgramTexts());
    QCoreApplication::removeTranslator(&QtTexts());
    bool loaded = true;
    if (language == Language::English) {
        // Qt's own texts are English already.
        loaded = ProgramTexts().load(QStringLiteral(":/feldan/i18n/feldan_en.qm"));
        if (loaded) QCoreApplication::installTranslator(&ProgramTexts());
    } else {
        // The program's texts are Russian already.
        loaded =
            QtTexts().load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (loaded) QCoreApplication::installTranslator(&QtTexts());
    }
    // Windows say their texts again on LanguageChange, which the translators only post.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return loaded;
}

QString LanguageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("ru");
}

std::optional<Language> LanguageFromCode(const QString& code) {
    if (code == QStringLiteral("ru")) return Language::Russian;
    if (code == QStringLiteral("en")) return Language::English;
    return std::nullopt;
}

QLocale LanguageLocale() {
    return CurrentLanguage() == Language::Russian
               ? QLocale(QLocale::Russian, QLocale::Russia)
               : QLocale(QLocale::English, QLocale::UnitedStates);
}

QLocale ClockLocale() {
    const QLocale system = QLocale::system();
    const QLocale::Language spoken =
        CurrentLanguage() == Language::Russian ? QLocale::Russian : QLocale::English;
    return system.language() == spoken ? system : LanguageLocale();
}

QString MessageShown(const Message& message) {
    return LinesFromCr(MessageText(message, CurrentLanguage()));
}

}  // namespace feldan
