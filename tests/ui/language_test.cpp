// The window in two languages: every text a user can see is English when English is chosen,
// the "Язык / Language" menu switches every window at once and back, the choice is remembered,
// and a language given for one run leaves the remembered one alone.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/main/application.h"
#include "ui/main/info_window.h"
#include "ui/main/input_panel.h"
#include "ui/widgets/panel_bar.h"
#include "ui_test_support.h"

using feldan::Language;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

bool HasCyrillic(const QString& text) {
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return text.contains(cyrillic);
}

// The fields hold what the user typed: data, in any language.
const QStringList UserData = {QStringLiteral("foEdit"),   QStringLiteral("ldEdit"),
                              QStringLiteral("csEdit"),   QStringLiteral("rdEdit"),
                              QStringLiteral("ckEdit"),   QStringLiteral("dfEdit"),
                              QStringLiteral("levelEdit")};

// Every text a widget of the window, or one of its actions, menus and chart items shows, each
// named by where it stands.
QList<std::pair<QString, QString>> VisibleTexts(const QWidget& window) {
    QList<std::pair<QString, QString>> texts;
    const auto add = [&](const QObject* owner, const QString& what, const QString& text) {
        texts.append({owner->objectName() + QLatin1Char(' ') + what, text});
    };
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(const_cast<QWidget*>(&window));
    for (const QWidget* widget : widgets) {
        add(widget, QStringLiteral("title"), widget->windowTitle());
        add(widget, QStringLiteral("hint"), widget->statusTip());
        add(widget, QStringLiteral("tool tip"), widget->toolTip());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            add(label, QStringLiteral("text"), label->text());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            add(button, QStringLiteral("text"), button->text());
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            if (!UserData.contains(edit->objectName())) {
                add(edit, QStringLiteral("text"), edit->text());
            }
        } else if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                add(list, QStringLiteral("entry %1").arg(i), list->itemText(i));
        } else if (const auto* text = qobject_cast<const QTextEdit*>(widget)) {
            add(text, QStringLiteral("text"), text->toPlainText());
        } else if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
            add(menu, QStringLiteral("title"), menu->title());
        } else if (const auto* chart = qobject_cast<const feldan::ResponseChart*>(widget)) {
            for (const QAbstractAxis* axis : chart->chart()->axes())
                add(axis, QStringLiteral("title"), axis->titleText());
            for (const QAbstractSeries* series : chart->chart()->series())
                add(series, QStringLiteral("name"), series->name());
        }
        for (const QAction* action : widget->actions()) {
            // The Russian language's own name is how a Russian reader finds it.
            if (action->objectName() != QStringLiteral("russianAction")) {
                add(action, QStringLiteral("text"), action->text());
            }
        }
    }
    return texts;
}

void ExpectNoCyrillic(const QList<std::pair<QString, QString>>& texts) {
    for (const auto& [where, text] : texts) {
        QVERIFY2(!HasCyrillic(text), qPrintable(where + QStringLiteral(": ") + text));
    }
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void everyTextTheUserSeesIsEnglish();
    void menuSwitchesEveryWindowAtOnceAndBack();
    void languageForOneRunLeavesTheChoiceAlone();
};

void LanguageTest::init() {
    feldan::testing::IsolateSettings();
    feldan::SetLanguage(Language::Russian);
}

void LanguageTest::cleanup() {
    feldan::SetLanguage(Language::Russian);
    feldan::RememberLanguage(QString());
}

void LanguageTest::everyTextTheUserSeesIsEnglish() {
    QVERIFY(feldan::SetLanguage(Language::English));
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    // Every topology and response, calculated: the summary names capacitors of each, the
    // overlay panels fill, the displays show each name.
    for (int type = 0; type < 7; ++type) {
        w.Get<QComboBox>("topologyCombo")->setCurrentIndex(type);
        emit w.Get<QComboBox>("topologyCombo")->activated(type);
        w.Get<QComboBox>("responseCombo")->setCurrentIndex(type % 5);
        emit w.Get<QComboBox>("responseCombo")->activated(type % 5);
        w.form->CalculateDesign();
        QCOMPARE(w.form->Document().LastResult().outcome, feldan::Outcome::Done);
        ExpectNoCyrillic(VisibleTexts(*w.form));
    }
    // The information window is a child of the main one, and walked with it; its credits are
    // painted.
    for (const feldan::CreditRow& row : feldan::CreditRows())
        QVERIFY2(!HasCyrillic(row.text), qPrintable(row.text));
    for (int type = 1; type <= 7; ++type)
        QVERIFY(!HasCyrillic(feldan::OpenedTopologyDisplayName(type)));

    // The dialogs: a warning, an error, a refused file, the file filters, the question.
    w.Get<QLineEdit>("levelEdit")->setText(QStringLiteral("0"));
    w.form->CalculateDesign();
    w.Get<QLineEdit>("foEdit")->setText(QStringLiteral("x"));
    w.form->CalculateDesign();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bad.fdn"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n9\r\n1\r\n");
    file.close();
    w.dialogs->unsavedAnswer = feldan::DialogService::UnsavedAnswer::Discard;
    w.dialogs->openAnswer = path;
    w.Trigger("openAction");
    w.dialogs->saveAnswer.clear();
    w.Trigger("saveAction");
    QCOMPARE(w.dialogs->warnings.size(), 2);
    QCOMPARE(w.dialogs->errors.size(), 1);
    QStringList said = w.dialogs->warnings + w.dialogs->errors;
    said << w.dialogs->openRequests.front().back() << w.dialogs->saveRequests.front().back()
         << feldan::UnsavedChangesQuestion(QStringLiteral("a.fdn"));
    for (const QString& text : said)
        QVERIFY2(!HasCyrillic(text), qPrintable(text));
}

void LanguageTest::menuSwitchesEveryWindowAtOnceAndBack() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    w.form->CalculateDesign();
    const auto russian = VisibleTexts(*w.form);
    const QImage russianMark = w.Get<QLabel>("authorsMark")->pixmap().toImage();
    QVERIFY(w.Get<QAction>("russianAction")->isChecked());

    // No event loop runs between the click and the checks: the switch is at once.
    w.Get<QAction>("englishAction")->trigger();
    QVERIFY(w.Get<QAction>("englishAction")->isChecked());
    QVERIFY(!w.Get<QAction>("russianAction")->isChecked());
    QCOMPARE(w.Get<QMenu>("fileMenu")->title(), QStringLiteral("&File"));
    QCOMPARE(w.MemoLines().front(), QStringLiteral("Rin=301.1 Ohm;"));
    QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(0),
             QStringLiteral("Curve 1: B04-3100; "));
    QCOMPARE(w.Series(4)->name(), QStringLiteral("Curve 5"));
    // Qt's own texts follow.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    QCOMPARE(feldan::RememberedLanguage(), QStringLiteral("en"));
    ExpectNoCyrillic(VisibleTexts(*w.form));
    // The mark's words are drawn in its picture.
    QVERIFY(w.Get<QLabel>("authorsMark")->pixmap().toImage() != russianMark);

    w.Get<QAction>("russianAction")->trigger();
    QCOMPARE(VisibleTexts(*w.form), russian);
    QCOMPARE(w.Get<QLabel>("authorsMark")->pixmap().toImage(), russianMark);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), Utf8("Отмена"));
    QCOMPARE(feldan::RememberedLanguage(), QStringLiteral("ru"));
}

void LanguageTest::languageForOneRunLeavesTheChoiceAlone() {
    feldan::RememberLanguage(QStringLiteral("ru"));
    QVERIFY(feldan::SetUpApplication(Language::English));
    QCOMPARE(feldan::CurrentLanguage(), Language::English);
    QCOMPARE(feldan::RememberedLanguage(), QStringLiteral("ru"));
    QVERIFY(feldan::SetUpApplication());
    QCOMPARE(feldan::CurrentLanguage(), Language::Russian);
    feldan::RememberLanguage(QStringLiteral("en"));
    QVERIFY(feldan::SetUpApplication());
    QCOMPARE(feldan::CurrentLanguage(), Language::English);
    WindowUnderTest w;
    QCOMPARE(w.Get<QAction>("infoAction")->text(), QStringLiteral("&Info"));
    QVERIFY(w.Get<QAction>("englishAction")->isChecked());
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
