#include "ui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "engine/version.h"
#include "ui/program_icon.h"

namespace feldan {

namespace {

// Fusion, with the menu bar reachable from the keyboard the way Windows has it: Alt alone (or
// F10) selects the first menu and the arrows walk every entry.
class FeldanStyle : public QProxyStyle {
  public:
    FeldanStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

bool SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Feldan ") + QString::fromLatin1(VersionText));
    QApplication::setDesktopFileName(QStringLiteral("org.feldan.Feldan"));
    // One style keeps the window the same on every desktop.
    QApplication::setStyle(new FeldanStyle);
    QApplication::setWindowIcon(ProgramIcon());
    // File dialogs, context menus and message box buttons in the language of the program.
    auto* qtTexts = new QTranslator(&app);
    if (!qtTexts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtTexts;
        return false;
    }
    QApplication::installTranslator(qtTexts);
    return true;
}

}  // namespace feldan
