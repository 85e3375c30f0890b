// The Feldan desktop program: feldan [--lang en|ru]
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <cstdio>

#include "engine/calculate.h"
#include "ui/common/language.h"
#include "ui/main/application.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    // The command line speaks English, as feldan-cli does.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Crystal ladder filter calculator"));
    parser.addHelpOption();
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QStringLiteral("Language of the window for this run: ru or en. Without it, the language "
                       "chosen last in the window, at first Russian."),
        QStringLiteral("L"));
    parser.addOption(lang);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "feldan: %s\nRun 'feldan --help' for the options.\n",
                     qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    std::optional<feldan::Language> language;
    if (parser.isSet(lang)) {
        language = feldan::LanguageFromCode(parser.value(lang));
        if (!language) {
            std::fprintf(stderr, "feldan: --lang takes ru or en, not '%s'\n",
                         qPrintable(parser.value(lang)));
            return 2;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "feldan: unexpected argument '%s'\n",
                     qPrintable(parser.positionalArguments().front()));
        return 2;
    }
    feldan::SetUpApplication(language);

    // The separator is read once; the engine never looks at the locale itself.
    feldan::MainWindow mainWindow(feldan::DecimalSeparatorOf(QLocale::system()));
    mainWindow.show();
    return QApplication::exec();
}
