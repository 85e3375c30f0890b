// The roads a new user takes through the window with the keyboard and with files: shortcuts and
// the menu bar, what a numeric field refuses, the title and the question before changes are
// lost, and the printed page.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "ui/main/application.h"
#include "ui_test_support.h"

using feldan::DialogService;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class UserPathsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void shortcutsTriggerTheirCommands_data();
    void shortcutsTriggerTheirCommands();
    void f10WalksEveryEntryOfTheMenuBar();
    void altLetterTypesNothing();
    void pasteKeepsWhatTheKeyboardWouldType_data();
    void pasteKeepsWhatTheKeyboardWouldType();
    void titleNamesTheFileAndMarksChanges();
    void changesAreNotLostWithoutAsking();
    void printedPageHoldsTheWholeWindow();
    void qtSpeaksRussian();
};

void UserPathsTest::initTestCase() {
    feldan::testing::IsolateSettings();
    feldan::SetUpApplication(feldan::Language::Russian);
}

void UserPathsTest::shortcutsTriggerTheirCommands_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("action");
    QTest::newRow("F9") << "F9"
                        << "calculateAction";
    QTest::newRow("Ctrl+R") << "Ctrl+R"
                            << "calculateAction";
    QTest::newRow("Ctrl+O") << "Ctrl+O"
                            << "openAction";
    QTest::newRow("Ctrl+S") << "Ctrl+S"
                            << "saveAction";
    QTest::newRow("Ctrl+P") << "Ctrl+P"
                            << "printAction";
    QTest::newRow("Ctrl+Q") << "Ctrl+Q"
                            << "exitAction";
}

void UserPathsTest::shortcutsTriggerTheirCommands() {
    QFETCH(QString, keys);
    QFETCH(QString, action);
    WindowUnderTest w;
    ShowActive(*w.form);
    // Also from inside a numeric field, whose key rules must not swallow them.
    w.Get<QLineEdit>("dfEdit")->setFocus();
    auto* command = w.Find<QAction>(action.toLatin1().constData());
    QVERIFY(command);
    QSignalSpy triggered(command, &QAction::triggered);
    QTest::keySequence(w.form.get(), QKeySequence::fromString(keys));
    QCOMPARE(triggered.count(), 1);
}

void UserPathsTest::f10WalksEveryEntryOfTheMenuBar() {
    WindowUnderTest w;
    ShowActive(*w.form);
    QMenuBar* bar = w.form->menuBar();
    QTest::keyClick(w.form.get(), Qt::Key_F10);
    // The first title is marked at once, in the highlight colour, before any arrow.
    const QImage drawn = bar->grab(bar->actionGeometry(bar->actions().front())).toImage();
    const QRgb highlight = bar->palette().highlight().color().rgb();
    int marked = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            marked += drawn.pixel(x, y) == highlight;
    QVERIFY2(marked > drawn.width() * drawn.height() / 3, qPrintable(QString::number(marked)));
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QVERIFY(bar->activeAction());
        visited.append(bar->activeAction()->objectName());
        QTest::keyClick(bar, Qt::Key_Right);
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("fileMenu"), QStringLiteral("calculateAction"),
                                   QStringLiteral("infoAction"), QStringLiteral("chartMenu"),
                                   QStringLiteral("analysisMenu"), QStringLiteral("buildMenu"),
                                   QStringLiteral("languageMenu"), QStringLiteral("fileMenu")}));
    // Enter on "Расчет" runs the calculation.
    QCOMPARE(bar->activeAction()->objectName(), QStringLiteral("calculateAction"));
    QTest::keyClick(bar, Qt::Key_Return);
    QVERIFY(!w.Get<QTextEdit>("resultText")->toPlainText().isEmpty());
}

void UserPathsTest::altLetterTypesNothing() {
    WindowUnderTest w;
    ShowActive(*w.form);
    for (QLineEdit* field :
         {w.Get<QLineEdit>("dfEdit"), w.Get<QLineEdit>("levelEdit"), w.Get<QLineEdit>("ckEdit")}) {
        field->setEnabled(true);
        field->setFocus();
        const QString before = field->text();
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key(0x0424), Utf8("ф"), Qt::AltModifier);
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_5, QStringLiteral("5"),
                            Qt::AltModifier | Qt::ControlModifier);
        QCOMPARE(field->text(), before);
    }
}

void UserPathsTest::pasteKeepsWhatTheKeyboardWouldType_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("number with unit") << "dfEdit" << Utf8(" 2 700 Гц") << "2700";
    QTest::newRow("level keeps its minus") << "levelEdit" << Utf8("-6,5 дБ") << "-6,5";
    QTest::newRow("minus refused elsewhere") << "foEdit"
                                             << "-8000.5"
                                             << "8000.5";
    QTest::newRow("the result text") << "rdEdit" << Utf8("Rвх=301 Ом;\nC1=24 пФ;") << "301124";
    QTest::newRow("nothing acceptable") << "csEdit" << Utf8("пФ") << "";
}

void UserPathsTest::pasteKeepsWhatTheKeyboardWouldType() {
    QFETCH(QString, field);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    WindowUnderTest w;
    ShowActive(*w.form);
    auto* edit = w.Find<QLineEdit>(field.toLatin1().constData());
    edit->clear();
    edit->setFocus();
    QApplication::clipboard()->setText(clipboard);
    // Through the field's own context menu, as a user pastes.
    bool pasted = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste"))) {
                action->trigger();
                pasted = true;
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                            edit->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(edit, &event);
    QVERIFY(pasted);
    QCOMPARE(edit->text(), expected);
    // Shift+Insert, the paste key, keeps the same.
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(edit->text(), expected);
}

void UserPathsTest::titleNamesTheFileAndMarksChanges() {
    QTemporaryDir folder;
    WindowUnderTest w;
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    QVERIFY(w.form->isWindowModified());
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("narrow"));
    w.Get<QAction>("saveAction")->trigger();
    QCOMPARE(w.form->windowTitle(), Utf8("narrow.fdn[*] — Расчёт кварцевых фильтров"));
    QVERIFY(!w.form->isWindowModified());
    // Changing a field or a list marks it; changing it back clears the mark.
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2500"));
    QVERIFY(w.form->isWindowModified());
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    QVERIFY(!w.form->isWindowModified());
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(3);
    emit w.Get<QComboBox>("responseCombo")->activated(3);
    QVERIFY(w.form->isWindowModified());
}

void UserPathsTest::changesAreNotLostWithoutAsking() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.fdn"));
    WindowUnderTest w;
    ShowActive(*w.form);
    w.Get<QLineEdit>("foEdit")->setText(QStringLiteral("9000"));

    // Open: cancelling the question shows no file dialog and keeps the field.
    w.dialogs->unsavedAnswer = DialogService::UnsavedAnswer::Cancel;
    w.Get<QAction>("openAction")->trigger();
    QCOMPARE(w.dialogs->unsavedQuestions.size(), 1);
    QCOMPARE(w.dialogs->openRequests.size(), 0);

    // Closing: cancel keeps the window; save writes the design, then the window closes.
    w.Get<QAction>("exitAction")->trigger();
    QVERIFY(w.form->isVisible());
    w.dialogs->unsavedAnswer = DialogService::UnsavedAnswer::Save;
    w.dialogs->saveAnswer = path;
    w.Get<QAction>("exitAction")->trigger();
    QVERIFY(!w.form->isVisible());
    QCOMPARE(w.dialogs->unsavedQuestions.size(), 3);
    QVERIFY(QFileInfo::exists(path));

    // Unchanged since the save: no question.
    ShowActive(*w.form);
    w.Get<QAction>("exitAction")->trigger();
    QCOMPARE(w.dialogs->unsavedQuestions.size(), 3);
    // A project never saved is asked about by a name, not by an empty pair of quotes.
    QCOMPARE(w.dialogs->unsavedQuestions.first(), Utf8("без имени"));
}

void UserPathsTest::printedPageHoldsTheWholeWindow() {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    QVERIFY2(!pdftoppm.isEmpty(), "pdftoppm (poppler-utils) is missing");
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    WindowUnderTest w;
    ShowActive(*w.form);
    w.form->CalculateDesign();
    w.dialogs->printerAnswer = true;
    w.dialogs->preparePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    };
    w.Get<QAction>("printAction")->trigger();
    QVERIFY(w.dialogs->errors.isEmpty());
    QProcess render;
    render.start(pdftoppm,
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, folder.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(60000));
    QCOMPARE(render.exitCode(), 0);
    const QImage page(folder.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    // The printed window fills the width between the 10 mm margins (28 points at 72 dpi), centred.
    int left = page.width(), right = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (page.pixelColor(x, y) != Qt::white) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    QVERIFY2(std::abs(left - 28) <= 2, qPrintable(QString::number(left)));
    QVERIFY2(std::abs((page.width() - 1 - right) - 28) <= 2, qPrintable(QString::number(right)));
}

void UserPathsTest::qtSpeaksRussian() {
    // Qt's own texts (dialog buttons, context menus) come from the translation that
    // qt6-translations-l10n installs.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), Utf8("Отмена"));
}

QTEST_MAIN(UserPathsTest)
#include "user_paths_test.moc"
