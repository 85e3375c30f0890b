#include "ui/main/application.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

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

    // Fusion marks a menu title only while its menu is open: the title the keyboard (or the
    // mouse) stands on is marked the same way, so Alt or F10 shows at once where it is.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_MenuBarItem && (option->state & State_Selected) &&
            !(option->state & State_Sunken)) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
                QStyleOptionMenuItem marked = *item;
                marked.state |= State_Sunken;
                QProxyStyle::drawControl(element, &marked, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

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
