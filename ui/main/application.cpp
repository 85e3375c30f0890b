#include "ui/main/application.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

#include "engine/version.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/widgets/program_icon.h"

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

bool SetUpApplication(std::optional<Language> languageForThisRun) {
    QApplication::setApplicationName(QStringLiteral("Feldan ") + QString::fromLatin1(VersionText));
    QApplication::setDesktopFileName(QStringLiteral("org.feldan.Feldan"));
    // One style keeps the window the same on every desktop.
    QApplication::setStyle(new FeldanStyle);
    QApplication::setWindowIcon(ProgramIcon());
    const Language language = languageForThisRun.value_or(
        LanguageFromCode(RememberedLanguage()).value_or(Language::Russian));
    return SetLanguage(language);
}

}  // namespace feldan
