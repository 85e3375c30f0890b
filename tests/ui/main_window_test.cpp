// The main window as a user meets it: start state, selection, key rules, hints, the chart
// commands, printing and exit.
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "engine/synthesis.h"
#include "ui/common/language.h"
#include "ui/common/ui_text.h"
#include "ui/main/info_window.h"
#include "ui/main/input_panel.h"
#include "ui/widgets/panel_bar.h"
#include "ui/widgets/schematic.h"
#include "ui/widgets/schematic_area.h"
#include "ui/widgets/window_style.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Types keys into a field: '\b' is Backspace, '\n' is Enter, anything else its character.
void Type(QWidget* field, const QString& keys) {
    for (QChar c : keys) {
        if (c == QLatin1Char('\b')) {
            QTest::keyClick(field, Qt::Key_Backspace);
        } else if (c == QLatin1Char('\n')) {
            QTest::keyClick(field, Qt::Key_Return);
        } else {
            QTest::keyClick(field, c.toLatin1());
        }
    }
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void windowHasItsCaptionAndIcon();
    void everyInputTextIsShownWhole();
    void fieldsStartWithTheirDefaultTexts();
    void startStateHasTheFourCrystalLadderInForce();
    void twoStartsBeginFromTheSameState();
    void focusStartsOnTheTopologyList();
    void everyCommandIsReachableByKeyboard();
    void tabOrderWalksTheFields();
    void tabOrderReachesCkOnlyWhileEnabled();
    void topologySelection_data();
    void topologySelection();
    void topologySelectionByKeyboard();
    void responseSelection_data();
    void responseSelection();
    void chebyshevOfAnyRippleAsksForItAndDrawsItsLadder();
    void startTextOfResponseDoesNotComeBack();
    void documentsWriteTheLatinC();
    void selectionLeavesResultsAlone();
    void keyFilters_data();
    void keyFilters();
    void clipboardShortcutsAreSuppressedInFilteredFields_data();
    void clipboardShortcutsAreSuppressedInFilteredFields();
    void textSetWithoutTypingIsNotFiltered();
    void enterWalksTheChain_data();
    void enterWalksTheChain();
    void enterInRdSkipsAnEnabledCkField();
    void hintsAppearOnlyInTheStatusBar_data();
    void hintsAppearOnlyInTheStatusBar();
    void noControlHasAPopUpToolTip();
    void statusBarsHaveTheirPanels();
    void clockPanelsAreFilledFromTheStart();
    void legendToggleFollowsItsCheckMark();
    void clearEmptiesChartPanelsAndResult();
    void clearKeepsCheckMarks();
    void overlaySwitchResetsTheCurveCount();
    void printingCancelledPrintsNothing();
    void printingWritesOnePage();
    void exitClosesTheWindow();
    void exactHintFitsItsPanelAndFollowsTheCalculation();
    void responseEntriesGiveTheirHintsWhenHighlighted();
    void schematicSaysWhereTheEndsAndCkGo();
    void summaryOfTwelveCrystalsNeedsNoScrolling();
};

void MainWindowTest::windowHasItsCaptionAndIcon() {
    WindowUnderTest w;
    QCOMPARE(w.form->windowTitle(), Utf8("Расчёт кварцевых фильтров[*]"));
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(!w.form->windowIcon().isNull());
}

// Every label and field of the input panel shows its whole text in either language, and the
// headings stand out in blue.
void MainWindowTest::everyInputTextIsShownWhole() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    auto* panel = w.Get<QWidget>("inputPanel");
    for (const feldan::Language language : {feldan::Language::Russian, feldan::Language::English}) {
        feldan::SetLanguage(language);
        QApplication::processEvents();
        for (const QLabel* label : panel->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;  // the authors' mark is a picture
            const int room = label->contentsRect().width() - label->margin() * 2;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= room,
                     qPrintable(label->objectName() + QLatin1Char(' ') + label->text()));
        }
        for (const QLineEdit* field : panel->findChildren<QLineEdit*>()) {
            // The text area of the frame, less the two pixels a line edit keeps either side.
            QStyleOptionFrame frame;
            frame.initFrom(field);
            frame.lineWidth =
                field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
            const int room =
                field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field).width() -
                4;
            QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) <= room,
                     qPrintable(field->objectName() + QLatin1Char(' ') + field->text()));
        }
    }
    feldan::SetLanguage(feldan::Language::Russian);
    for (const char* heading : {"crystalDataLabel", "filterDataLabel"})
        QCOMPARE(w.Get<QLabel>(heading)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

void MainWindowTest::fieldsStartWithTheirDefaultTexts() {
    WindowUnderTest w;
    const feldan::InputTexts texts = w.form->Document().Design().texts;
    QCOMPARE(texts.Fo, std::string("8861.736"));
    QCOMPARE(texts.Ld, std::string("10.1"));
    QCOMPARE(texts.Cs, std::string("6.3"));
    QCOMPARE(texts.Rd, std::string("5.7"));
    QCOMPARE(texts.Ck, std::string("91"));
    QCOMPARE(texts.Df, std::string("3100"));
    QCOMPARE(texts.Level, std::string("-3"));
}

void MainWindowTest::startStateHasTheFourCrystalLadderInForce() {
    WindowUnderTest w;
    QCOMPARE(w.form->Document().Design().filterType, 2);
    QCOMPARE(w.form->Document().Design().responseType, 1);
    QCOMPARE(w.form->Overlays().CurveCount(), 0);
    QCOMPARE(w.Get<QComboBox>("topologyCombo")->currentIndex(), 0);
    QCOMPARE(w.Get<QComboBox>("topologyCombo")->currentText(), Utf8("3-х кристальный"));
    QCOMPARE(w.Get<QComboBox>("responseCombo")->currentIndex(), 0);
    QCOMPARE(w.Get<QLineEdit>("topologyNameEdit")->text(), Utf8("4-х кристальный"));
    QCOMPARE(w.Get<QLineEdit>("responseNameEdit")->text(), Utf8("Баттерворта dA=3 дБ"));
    QCOMPARE(w.VisibleSchematics(), QStringList{QStringLiteral("schematic2")});
    QVERIFY(!w.Get<QLineEdit>("ckEdit")->isEnabled());
    QCOMPARE(w.Get<QLineEdit>("ckEdit")->palette().color(QPalette::Base), feldan::MenuColor());
    QVERIFY(w.Get<QAction>("calculateAction")->isEnabled());
    QVERIFY(!w.Get<QAction>("overlayAction")->isChecked());
    QVERIFY(w.Get<QAction>("legendAction")->isChecked());
    QVERIFY(w.Get<feldan::ResponseChart>("chart")->LegendVisible());
    QVERIFY(w.Get<QTextEdit>("resultText")->isVisibleTo(w.form.get()));
    QVERIFY(w.Get<QTextEdit>("resultText")->toPlainText().isEmpty());
    QCOMPARE(w.Get<QTextEdit>("resultText")->document()->blockCount(), 1);
    QCOMPARE(w.Get<QTextEdit>("resultText")->palette().color(QPalette::Base), feldan::InfoColor());
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QCOMPARE(w.Series(i)->count(), 0);
        QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(i).isEmpty());
    }
    QVERIFY(!w.Get<feldan::InfoWindow>("InfoWindow")->isVisible());
}

void MainWindowTest::twoStartsBeginFromTheSameState() {
    WindowUnderTest first;
    first.Get<QLineEdit>("foEdit")->setText(QStringLiteral("1000"));
    first.Get<QComboBox>("topologyCombo")->setCurrentIndex(5);
    emit first.Get<QComboBox>("topologyCombo")->activated(5);
    first.Get<QAction>("overlayAction")->trigger();
    WindowUnderTest second;
    QCOMPARE(second.form->Document().Design().filterType, 2);
    QCOMPARE(second.Get<QLineEdit>("foEdit")->text(), QStringLiteral("8861.736"));
    QCOMPARE(second.Get<QComboBox>("topologyCombo")->currentIndex(), 0);
    QVERIFY(!second.Get<QAction>("overlayAction")->isChecked());
    QCOMPARE(second.VisibleSchematics(), QStringList{QStringLiteral("schematic2")});
}

void MainWindowTest::focusStartsOnTheTopologyList() {
    WindowUnderTest w;
    ShowActive(*w.form);
    QCOMPARE(QApplication::focusWidget(), w.Get<QComboBox>("topologyCombo"));
}

// Every command can be reached from the keyboard in either language: the bar keeps its order,
// each entry has a text, no two entries of a menu share their Alt letter (Qt would only cycle
// between them) and no two commands share a key.
void MainWindowTest::everyCommandIsReachableByKeyboard() {
    WindowUnderTest w;
    QStringList top;
    for (QAction* action : w.form->menuBar()->actions())
        top.append(action->objectName());
    QCOMPARE(top, (QStringList{QStringLiteral("fileMenu"), QStringLiteral("calculateAction"),
                               QStringLiteral("infoAction"), QStringLiteral("chartMenu"),
                               QStringLiteral("analysisMenu"), QStringLiteral("buildMenu"),
                               QStringLiteral("languageMenu")}));
    const auto mnemonic = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at < 0 || at + 1 >= text.size() ? QChar() : text[at + 1].toLower();
    };
    for (const feldan::Language language : {feldan::Language::Russian, feldan::Language::English}) {
        feldan::SetLanguage(language);
        std::vector<QList<QAction*>> menus = {w.form->menuBar()->actions()};
        // Qt's own overflow menu of a narrow bar repeats the bar's entries.
        for (QMenu* menu : w.form->menuBar()->findChildren<QMenu*>()) {
            if (!menu->objectName().isEmpty()) menus.push_back(menu->actions());
        }
        QSet<QString> keys;
        for (const QList<QAction*>& actions : menus) {
            QSet<QChar> letters;
            for (QAction* action : actions) {
                if (action->isSeparator()) continue;
                const QString name = action->objectName();
                QVERIFY2(!action->text().isEmpty(), qPrintable(name));
                const QChar letter = mnemonic(action->text());
                // The languages are named in their own words, without a letter.
                if (!letter.isNull()) {
                    QVERIFY2(!letters.contains(letter),
                             qPrintable(name + QLatin1Char(' ') + action->text()));
                    letters.insert(letter);
                } else {
                    QVERIFY2(name == QStringLiteral("russianAction") ||
                                 name == QStringLiteral("englishAction"),
                             qPrintable(name));
                }
                for (const QKeySequence& key : action->shortcuts()) {
                    QVERIFY2(!keys.contains(key.toString()), qPrintable(key.toString()));
                    keys.insert(key.toString());
                }
            }
        }
    }
    feldan::SetLanguage(feldan::Language::Russian);
}

void MainWindowTest::tabOrderWalksTheFields() {
    WindowUnderTest w;
    ShowActive(*w.form);
    // Reading order, each control once; Ck is disabled for the ladder in force.
    const QList<QWidget*> expected = {
        w.Get<QLineEdit>("ldEdit"),        w.Get<QLineEdit>("csEdit"),
        w.Get<QLineEdit>("rdEdit"),        w.Get<QComboBox>("topologyCombo"),
        w.Get<QComboBox>("responseCombo"), w.Get<QLineEdit>("dfEdit"),
        w.Get<QLineEdit>("levelEdit"),     w.Get<QCheckBox>("exactBox"),
        w.Get<QTextEdit>("resultText"),    w.Get<QLineEdit>("foEdit")};
    w.Get<QLineEdit>("foEdit")->setFocus();
    QCOMPARE(QApplication::focusWidget(), w.Get<QLineEdit>("foEdit"));
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void MainWindowTest::tabOrderReachesCkOnlyWhileEnabled() {
    WindowUnderTest w;
    ShowActive(*w.form);
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(4);
    emit w.Get<QComboBox>("topologyCombo")->activated(4);
    w.Get<QLineEdit>("rdEdit")->setFocus();
    QTest::keyClick(w.Get<QLineEdit>("rdEdit"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.Get<QLineEdit>("ckEdit"));
    QTest::keyClick(w.Get<QLineEdit>("ckEdit"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.Get<QComboBox>("topologyCombo"));
}

void MainWindowTest::topologySelection_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ckEnabled");
    const char* names[] = {"3-х кристальный",
                           "4-х кристальный",
                           "6-ти кристальный",
                           "8-ми кристальный",
                           "4CW",
                           "6CW",
                           "8CW"};
    for (int index = 0; index < 7; ++index) {
        // From the start state, and from a CW type whose Ck field is enabled.
        for (int before : {-1, 6}) {
            QTest::addRow("%d after %d", index, before)
                << before << index << QString::fromUtf8(names[index]) << (index >= 4);
        }
    }
}

void MainWindowTest::topologySelection() {
    QFETCH(int, before);
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(bool, ckEnabled);
    WindowUnderTest w;
    if (before >= 0) {
        w.Get<QComboBox>("topologyCombo")->setCurrentIndex(before);
        emit w.Get<QComboBox>("topologyCombo")->activated(before);
    }
    w.Get<QLineEdit>("ckEdit")->setText(QStringLiteral("47"));
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(index);
    emit w.Get<QComboBox>("topologyCombo")->activated(index);
    QCOMPARE(w.form->Document().Design().filterType, index + 1);
    QCOMPARE(w.Get<QLineEdit>("topologyNameEdit")->text(), name);
    QCOMPARE(w.VisibleSchematics(), QStringList{QStringLiteral("schematic%1").arg(index + 1)});
    QCOMPARE(w.Get<QLineEdit>("ckEdit")->isEnabled(), ckEnabled);
    QCOMPARE(w.Get<QLineEdit>("ckEdit")->palette().color(QPalette::Base),
             ckEnabled ? feldan::WindowColor() : feldan::MenuColor());
    QCOMPARE(w.Get<QLineEdit>("ckEdit")->text(), QStringLiteral("47"));
    QCOMPARE(w.form->Document().Design().responseType, 1);
}

void MainWindowTest::topologySelectionByKeyboard() {
    WindowUnderTest w;
    ShowActive(*w.form);
    w.Get<QComboBox>("topologyCombo")->setFocus();
    QTest::keyClick(w.Get<QComboBox>("topologyCombo"), Qt::Key_Down);
    QCOMPARE(w.Get<QComboBox>("topologyCombo")->currentIndex(), 1);
    QCOMPARE(w.form->Document().Design().filterType, 2);
    QCOMPARE(w.Get<QLineEdit>("topologyNameEdit")->text(), Utf8("4-х кристальный"));
    // The last entry is the twelve-pole QER ladder, drawn from its generated circuit.
    QTest::keyClick(w.Get<QComboBox>("topologyCombo"), Qt::Key_End);
    QCOMPARE(w.form->Document().Design().filterType, feldan::FilterTypeCount);
    QCOMPARE(w.VisibleSchematics(),
             QStringList{QStringLiteral("schematic%1")
                             .arg(feldan::CircuitOfShape({feldan::LadderStructure::Qer, 14, 0}))});
    QVERIFY(!w.Get<QLineEdit>("ckEdit")->isEnabled());
}

void MainWindowTest::responseSelection_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    // One unit in the Russian window: дБ, in the list as in the display.
    const char* entries[] = {"Баттерворта dA=3 дБ", "Чебышева dA=0,044 дБ", "Чебышева dA=0,099 дБ",
                             "Чебышева dA=0,177 дБ", "Чебышева dA=0,28 дБ"};
    const char* names[] = {"Баттерворта dA=3 дБ", "Чебышева dA=0.044 дБ", "Чебышева dA=0.099 дБ",
                           "Чебышева dA=0.177 дБ", "Чебышева dA=0.28 дБ"};
    for (int index = 0; index < 5; ++index) {
        QTest::addRow("%d", index)
            << index << QString::fromUtf8(entries[index]) << QString::fromUtf8(names[index]);
    }
}

void MainWindowTest::responseSelection() {
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    WindowUnderTest w;
    QCOMPARE(w.Get<QComboBox>("responseCombo")->itemText(index), entry);
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(index);
    emit w.Get<QComboBox>("responseCombo")->activated(index);
    QCOMPARE(w.form->Document().Design().responseType, index + 1);
    QCOMPARE(w.Get<QLineEdit>("responseNameEdit")->text(), name);
    QCOMPARE(w.form->Document().Design().filterType, 2);
    QCOMPARE(w.VisibleSchematics(), QStringList{QStringLiteral("schematic2")});
}

// The Chebyshev entry of any ripple asks for the ripple; a cancel or a ripple out of range keeps
// the response as it was.
// The four-crystal ladder is then generated, and its picture and summary show it.
void MainWindowTest::chebyshevOfAnyRippleAsksForItAndDrawsItsLadder() {
    WindowUnderTest w;
    auto* list = w.Get<QComboBox>("responseCombo");
    const int any = int(feldan::ResponseType::Chebyshev) - 1;
    list->setCurrentIndex(any);
    emit list->activated(any);
    QCOMPARE(w.dialogs->rippleQuestions, QStringList{QStringLiteral("0.1")});
    QCOMPARE(w.form->Document().Design().responseType, 1);
    QCOMPARE(list->currentIndex(), 0);
    // A ripple beyond 3 dB is refused at once, named, and the response stays.
    w.dialogs->rippleAnswer = QStringLiteral("5");
    list->setCurrentIndex(any);
    emit list->activated(any);
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY2(w.dialogs->errors.front().contains(Utf8("«5»")),
             qPrintable(w.dialogs->errors.front()));
    QCOMPARE(w.form->Document().Design().responseType, 1);
    QCOMPARE(list->currentIndex(), 0);
    w.dialogs->rippleAnswer = QStringLiteral("0,5");
    list->setCurrentIndex(any);
    emit list->activated(any);
    QCOMPARE(w.form->Document().Design().responseType, any + 1);
    QCOMPARE(w.Get<QLineEdit>("responseNameEdit")->text(), Utf8("Чебышева dA=0,5 дБ"));
    const int circuit = feldan::CircuitOfDesign(w.form->Document().Design());
    QVERIFY(feldan::ShapeOfCircuit(circuit).has_value());
    QCOMPARE(w.VisibleSchematics(), QStringList{QStringLiteral("schematic%1").arg(circuit)});
    w.Calculate();
    QVERIFY(w.dialogs->warnings.isEmpty());
    QVERIFY(w.MemoLines().join(QLatin1Char(' ')).contains(QStringLiteral("C1=C5=")));
}

void MainWindowTest::startTextOfResponseDoesNotComeBack() {
    WindowUnderTest w;
    // Choosing the entry that is already current still runs the handler.
    emit w.Get<QComboBox>("responseCombo")->activated(0);
    QCOMPARE(w.Get<QLineEdit>("responseNameEdit")->text(), Utf8("Баттерворта dA=3 дБ"));
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(3);
    emit w.Get<QComboBox>("responseCombo")->activated(3);
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(0);
    emit w.Get<QComboBox>("responseCombo")->activated(0);
    QCOMPARE(w.Get<QLineEdit>("responseNameEdit")->text(), Utf8("Баттерворта dA=3 дБ"));
}

// The window keeps its labels and the 4CW summary with their old Cyrillic Es; what is written
// from them for a reader (the report, the picture's caption) has the Latin C, so "Cs" and "C7"
// are found in it.
void MainWindowTest::documentsWriteTheLatinC() {
    WindowUnderTest w;
    const QChar es(0x0421);
    QCOMPARE(w.Get<QLabel>("csLabel")->text().front(), es);
    const QStringList inputs = w.Get<feldan::InputPanel>("inputPanel")->InputLines();
    QVERIFY2(inputs.contains(QStringLiteral("Cs(") + Utf8("пФ) = 6.3")),
             qPrintable(inputs.join(QLatin1Char('|'))));
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(4);
    emit w.Get<QComboBox>("topologyCombo")->activated(4);
    w.Calculate();
    const QString summary = w.MemoLines().join(QLatin1Char('\n'));
    QVERIFY2(summary.contains(QStringLiteral("C1=") + es + QStringLiteral("7=")),
             qPrintable(summary));
    const QString written = feldan::WithLatinC(summary);
    QVERIFY(written.contains(QStringLiteral("C1=C7=")) &&
            written.contains(QStringLiteral("C3=C5=")));
    QVERIFY(!written.contains(es));
    QVERIFY(written.contains(Utf8("Rвх=")));
}

void MainWindowTest::selectionLeavesResultsAlone() {
    WindowUnderTest w;
    w.form->CalculateDesign();
    const qsizetype points = w.Series(0)->count();
    QVERIFY(points > 0);
    const QString result = w.Get<QTextEdit>("resultText")->toPlainText();
    const int curveCount = w.form->Overlays().CurveCount();
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(5);
    emit w.Get<QComboBox>("topologyCombo")->activated(5);
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(2);
    emit w.Get<QComboBox>("responseCombo")->activated(2);
    QCOMPARE(w.Series(0)->count(), points);
    QCOMPARE(w.Get<QTextEdit>("resultText")->toPlainText(), result);
    QCOMPARE(w.form->Overlays().CurveCount(), curveCount);
    QCOMPARE(w.Get<QLineEdit>("foEdit")->text(), QStringLiteral("8861.736"));
}

void MainWindowTest::keyFilters_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* tag, const char* field, const char* keys,
                        const char* expected) {
        QTest::newRow(tag) << QString::fromLatin1(field) << QString::fromLatin1(keys)
                           << QString::fromLatin1(expected);
    };
    row("letters dropped from Fo", "foEdit", "12a.5", "12.5");
    row("minus dropped from dF", "dfEdit", "-3", "3");
    row("minus kept in level", "levelEdit", "-3", "-3");
    row("comma passes", "ldEdit", "1,5", "1,5");
    row("exponent letter dropped", "csEdit", "1e5", "15");
    row("blank and plus dropped", "rdEdit", " +7", "7");
    row("level drops letters and plus", "levelEdit", "a-1.5e+", "-1.5");
    row("second separator passes", "foEdit", "1.2.3", "1.2.3");
    row("minus after digits passes in level", "levelEdit", "5-", "5-");
    row("backspace passes", "dfEdit", "12\b", "1");
    row("backspace passes in level", "levelEdit", "-3\b\b", "");
    row("enter adds nothing in level", "levelEdit", "4\n", "4");
    row("ck takes anything", "ckEdit", "a-b +", "a-b +");
    row("digits in every field", "ldEdit", "0123456789", "0123456789");
}

void MainWindowTest::keyFilters() {
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    WindowUnderTest w;
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(4);
    emit w.Get<QComboBox>("topologyCombo")->activated(4);  // a CW type, so that Ck takes keys
    ShowActive(*w.form);
    auto* edit = w.Find<QLineEdit>(field.toLatin1().constData());
    QVERIFY(edit != nullptr);
    edit->setFocus();
    edit->clear();
    Type(edit, keys);
    QCOMPARE(edit->text(), expected);
}

void MainWindowTest::clipboardShortcutsAreSuppressedInFilteredFields_data() {
    QTest::addColumn<QString>("field");
    for (const char* name : {"foEdit", "dfEdit", "ldEdit", "csEdit", "levelEdit", "rdEdit"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void MainWindowTest::clipboardShortcutsAreSuppressedInFilteredFields() {
    QFETCH(QString, field);
    WindowUnderTest w;
    ShowActive(*w.form);
    auto* edit = w.Find<QLineEdit>(field.toLatin1().constData());
    edit->setFocus();
    edit->setText(QStringLiteral("12"));
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("77"));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("77"));
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("12"));

    // The unfiltered Ck field takes the same shortcut, so the check above is the filter's doing.
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(6);
    emit w.Get<QComboBox>("topologyCombo")->activated(6);
    w.Get<QLineEdit>("ckEdit")->setFocus();
    w.Get<QLineEdit>("ckEdit")->clear();
    QTest::keyClick(w.Get<QLineEdit>("ckEdit"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Get<QLineEdit>("ckEdit")->text(), QStringLiteral("77"));
}

void MainWindowTest::textSetWithoutTypingIsNotFiltered() {
    WindowUnderTest w;
    feldan::InputTexts texts;
    texts.Fo = "abc";
    texts.Level = "+x";
    w.form->Document().SetTexts(texts);
    QCOMPARE(w.Get<QLineEdit>("foEdit")->text(), QStringLiteral("abc"));
    QCOMPARE(w.Get<QLineEdit>("levelEdit")->text(), QStringLiteral("+x"));
    QCOMPARE(w.form->Document().Design().texts.Fo, std::string("abc"));
}

void MainWindowTest::enterWalksTheChain_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("Fo to Ld") << "foEdit"
                              << "ldEdit";
    QTest::newRow("Ld to Cs") << "ldEdit"
                              << "csEdit";
    QTest::newRow("Cs to Rd") << "csEdit"
                              << "rdEdit";
    QTest::newRow("Rd to dF") << "rdEdit"
                              << "dfEdit";
    QTest::newRow("dF to level") << "dfEdit"
                                 << "levelEdit";
    QTest::newRow("level stays") << "levelEdit"
                                 << "levelEdit";
}

void MainWindowTest::enterWalksTheChain() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    WindowUnderTest w;
    ShowActive(*w.form);
    auto* source = w.Find<QLineEdit>(from.toLatin1().constData());
    auto* target = w.Find<QLineEdit>(to.toLatin1().constData());
    const QString before = source->text();
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), target);
    QCOMPARE(source->text(), before);
    // The keypad's Enter does the same.
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), target);
}

void MainWindowTest::enterInRdSkipsAnEnabledCkField() {
    WindowUnderTest w;
    ShowActive(*w.form);
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(5);
    emit w.Get<QComboBox>("topologyCombo")->activated(5);
    QVERIFY(w.Get<QLineEdit>("ckEdit")->isEnabled());
    w.Get<QLineEdit>("rdEdit")->setFocus();
    QTest::keyClick(w.Get<QLineEdit>("rdEdit"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.Get<QLineEdit>("dfEdit"));
    // Enter in the unfiltered Ck field moves nothing.
    w.Get<QLineEdit>("ckEdit")->setFocus();
    QTest::keyClick(w.Get<QLineEdit>("ckEdit"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.Get<QLineEdit>("ckEdit"));
}

void MainWindowTest::hintsAppearOnlyInTheStatusBar_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("hint");
    const auto row = [](const char* control, int topology, const char* hint) {
        QTest::addRow("%s type %d", control, topology)
            << QString::fromLatin1(control) << topology << QString::fromUtf8(hint);
    };
    row("foEdit", 1, "Частота кварца");
    row("ldEdit", 1, "Индуктивность кварца");
    row("csEdit", 1, "Статическая емкость кварца");
    row("rdEdit", 1, "Активное сопротивление кварца");
    row("ckEdit", 1, "Емкость коррекции");  // disabled, and still hinted
    row("ckEdit", 5, "Емкость коррекции");
    row("dfEdit", 1, "");
    row("levelEdit", 1, "");
    row("resultText", 1, "");
    row("chart", 1, "");
    row("topologyCombo", 1, "");
    row("schematic1", 0, "Схема 3-х кристального фильтра");
    row("schematic2", 1, "Схема 4-кристального фильтра");
    row("schematic3", 2, "Схема 6-ти кристального фильтра");
    row("schematic4", 3, "Схема 8-ми кристального фильтра");
    row("schematic5", 4, "Схема 4-х кристального телеграфного фильтра; Ck уже в её конденсаторах");
    row("schematic6", 5, "Схема 6-ти кристального телеграфного фильтра; Ck уже в её конденсаторах");
    row("schematic7", 6, "Схема 8-ми кристального телеграфного фильтра; Ck уже в её конденсаторах");
}

void MainWindowTest::hintsAppearOnlyInTheStatusBar() {
    QFETCH(QString, control);
    QFETCH(int, topology);
    QFETCH(QString, hint);
    WindowUnderTest w;
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(topology);
    emit w.Get<QComboBox>("topologyCombo")->activated(topology);
    ShowActive(*w.form);
    auto* widget = w.form->findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    // Start over a hinted control, so that an empty hint is a real change.
    QTest::mouseMove(w.Get<QLineEdit>("csEdit"), QPoint(5, 5));
    QCOMPARE(w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(0),
             Utf8("Статическая емкость кварца"));
    QTest::mouseMove(widget, QPoint(10, 10));
    QCOMPARE(w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(0), hint);
    QVERIFY(widget->toolTip().isEmpty());
}

void MainWindowTest::noControlHasAPopUpToolTip() {
    WindowUnderTest w;
    for (QWidget* widget : w.form->findChildren<QWidget*>()) {
        QVERIFY2(widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    }
    QVERIFY(!w.Get<QMenu>("fileMenu")->toolTipsVisible());
    QVERIFY(!w.Get<QMenu>("chartMenu")->toolTipsVisible());
    QVERIFY(!w.Get<feldan::ResponseChart>("chart")->chart()->legend()->showToolTips());
}

void MainWindowTest::statusBarsHaveTheirPanels() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    feldan::PanelBar* upper = w.Get<feldan::PanelBar>("overlayStatusBar");
    QCOMPARE(upper->PanelCount(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(upper->Panel(i)->x(), 160 * i);
    // The last panel reaches to the right edge of the bar.
    QCOMPARE(upper->Panel(4)->geometry().right() + 2, 791);
    feldan::PanelBar* lower = w.Get<feldan::PanelBar>("hintStatusBar");
    QCOMPARE(lower->PanelCount(), 3);
    QCOMPARE(lower->Panel(0)->x(), 0);
    // Date and time at the right end, the hint with the rest.
    QVERIFY(lower->Panel(1)->x() >= 600);
    QCOMPARE(lower->Panel(2)->x(), lower->Panel(1)->geometry().right() + 3);
    QCOMPARE(lower->Panel(2)->geometry().right() + 2, 791);
    QVERIFY(lower->Panel(1)->alignment() & Qt::AlignHCenter);
    QVERIFY(lower->Panel(2)->alignment() & Qt::AlignHCenter);
    QVERIFY(lower->Panel(0)->alignment() & Qt::AlignLeft);
}

void MainWindowTest::clockPanelsAreFilledFromTheStart() {
    WindowUnderTest w;
    const QString date = w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(1);
    const QString time = w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(2);
    QVERIFY(!date.isEmpty());
    QVERIFY(!time.isEmpty());
    // The long time shows seconds: hours, minutes and seconds, three numbers.
    int numbers = 0;
    for (auto match = QRegularExpression(QStringLiteral("\\d+")).globalMatch(time); match.hasNext();
         match.next()) {
        ++numbers;
    }
    QCOMPARE(numbers, 3);
    // The date speaks the window's language, whatever the desktop's: Russian day.month.year.
    QVERIFY2(QLocale(QLocale::Russian).toDate(date, QLocale::ShortFormat).isValid(),
             qPrintable(date));
    QVERIFY(w.Get<QTimer>("clockTimer")->isActive());
    QCOMPARE(w.Get<QTimer>("clockTimer")->interval(), 1000);
    w.Get<feldan::PanelBar>("hintStatusBar")->SetPanelText(1, QString());
    w.Get<feldan::PanelBar>("hintStatusBar")->SetPanelText(2, QString());
    w.Get<feldan::HintBar>("hintStatusBar")->ShowClock();
    QVERIFY(!w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(1).isEmpty());
    QVERIFY(!w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(2).isEmpty());
    // Both fit their panels, whatever the locale writes.
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    for (int panel : {1, 2}) {
        const QLabel* label = w.Get<feldan::PanelBar>("hintStatusBar")->Panel(panel);
        QCOMPARE(label->text(), w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(panel));
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
                label->contentsRect().width());
    }
}

void MainWindowTest::legendToggleFollowsItsCheckMark() {
    WindowUnderTest w;
    // The mark and the legend agree from the start, so the first click hides it.
    QVERIFY(w.Get<QAction>("legendAction")->isChecked());
    QVERIFY(w.Get<feldan::ResponseChart>("chart")->LegendVisible());
    w.Get<QAction>("legendAction")->trigger();
    QVERIFY(!w.Get<QAction>("legendAction")->isChecked());
    QVERIFY(!w.Get<feldan::ResponseChart>("chart")->LegendVisible());
    w.Trigger("legendAction");
    QVERIFY(w.Get<QAction>("legendAction")->isChecked());
    QVERIFY(w.Get<feldan::ResponseChart>("chart")->LegendVisible());
}

void MainWindowTest::clearEmptiesChartPanelsAndResult() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    w.form->CalculateDesign();
    w.form->CalculateDesign();
    QVERIFY(w.Series(0)->count() > 0);
    QVERIFY(w.Series(1)->count() > 0);
    QVERIFY(!w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(1).isEmpty());
    QVERIFY(!w.Get<QTextEdit>("resultText")->toPlainText().isEmpty());
    w.Get<QAction>("clearChartAction")->trigger();
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QCOMPARE(w.Series(i)->count(), 0);
        QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(i).isEmpty());
    }
    QCOMPARE(w.form->Overlays().CurveCount(), 0);
    QVERIFY(w.Get<QTextEdit>("resultText")->toPlainText().isEmpty());
    // On an empty chart it changes nothing but the counter.
    w.Get<QAction>("overlayAction")->trigger();
    for (int i = 0; i < 3; ++i)
        w.form->CalculateDesign();
    QCOMPARE(w.form->Overlays().CurveCount(), 3);
    w.Trigger("clearChartAction");
    QCOMPARE(w.form->Overlays().CurveCount(), 0);
    QCOMPARE(w.Series(0)->count(), 0);
}

void MainWindowTest::clearKeepsCheckMarks() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    w.Get<QAction>("legendAction")->trigger();
    w.Get<QAction>("clearChartAction")->trigger();
    QVERIFY(w.Get<QAction>("overlayAction")->isChecked());
    QVERIFY(!w.Get<QAction>("legendAction")->isChecked());
    QVERIFY(!w.Get<feldan::ResponseChart>("chart")->LegendVisible());
    QCOMPARE(w.Get<QLineEdit>("foEdit")->text(), QStringLiteral("8861.736"));
}

void MainWindowTest::overlaySwitchResetsTheCurveCount() {
    WindowUnderTest w;
    for (int i = 0; i < 3; ++i)
        w.form->CalculateDesign();
    QCOMPARE(w.form->Overlays().CurveCount(), 3);
    w.Get<QAction>("overlayAction")->trigger();  // on: the count starts again
    QVERIFY(w.Get<QAction>("overlayAction")->isChecked());
    QCOMPARE(w.form->Overlays().CurveCount(), 0);
    w.form->CalculateDesign();
    w.form->CalculateDesign();
    w.Trigger("overlayAction");  // off: the count stays
    QVERIFY(!w.Get<QAction>("overlayAction")->isChecked());
    QCOMPARE(w.form->Overlays().CurveCount(), 2);
}

void MainWindowTest::printingCancelledPrintsNothing() {
    WindowUnderTest w;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    w.dialogs->printerAnswer = false;
    w.dialogs->preparePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    };
    w.Get<QAction>("printAction")->trigger();
    QCOMPARE(w.dialogs->printerSetups, 1);
    QVERIFY(!QFile::exists(path));
    QVERIFY(w.dialogs->errors.isEmpty());
}

void MainWindowTest::printingWritesOnePage() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    w.dialogs->printerAnswer = true;
    w.dialogs->preparePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    };
    w.Get<QAction>("printAction")->trigger();
    QCOMPARE(w.dialogs->printerSetups, 1);
    QVERIFY(w.dialogs->errors.isEmpty());
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    QCOMPARE(QString::fromLatin1(bytes).count(page), 1);
}

void MainWindowTest::exitClosesTheWindow() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.Get<QAction>("exitAction")->trigger();
    QVERIFY(!w.form->isVisible());
}

// The hint of "Точно по заданию" is read whole at the window's default size, in either language,
// and the one on show takes the reachable band as soon as a calculation finds it.
void MainWindowTest::exactHintFitsItsPanelAndFollowsTheCalculation() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    auto* box = w.Get<QCheckBox>("exactBox");
    auto* bar = w.Get<feldan::PanelBar>("hintStatusBar");
    box->setAttribute(Qt::WA_UnderMouse, true);
    const QString before = box->statusTip();
    w.Calculate();
    QVERIFY(box->statusTip() != before);
    QCOMPARE(bar->PanelText(0), box->statusTip());
    for (const feldan::Language language : {feldan::Language::Russian, feldan::Language::English}) {
        feldan::SetLanguage(language);
        QApplication::processEvents();
        const QLabel* panel = bar->Panel(0);
        QVERIFY2(panel->fontMetrics().horizontalAdvance(box->statusTip()) <=
                     panel->contentsRect().width(),
                 qPrintable(box->statusTip()));
    }
    feldan::SetLanguage(feldan::Language::Russian);
}

// The drop-down list is a window of its own; the entry highlighted in it still gives its hint.
void MainWindowTest::responseEntriesGiveTheirHintsWhenHighlighted() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    auto* list = w.Get<QComboBox>("responseCombo");
    list->showPopup();
    for (const int entry : {6, 8, 0}) {
        list->view()->setCurrentIndex(list->model()->index(entry, 0));
        const QString hint = list->itemData(entry, Qt::StatusTipRole).toString();
        QVERIFY(!hint.isEmpty());
        QCOMPARE(w.Get<feldan::PanelBar>("hintStatusBar")->PanelText(0), hint);
    }
    list->hidePopup();
}

// Where the two ends want resistances of their own, the picture draws Rвх and Rвых and the hint
// names the end capacitor beside each; a CW ladder says that its Ck is in the capacitors.
void MainWindowTest::schematicSaysWhereTheEndsAndCkGo() {
    WindowUnderTest w;
    auto* area = w.Get<feldan::SchematicArea>("schematicArea");
    const auto hint = [&] { return area->findChild<QLabel*>()->statusTip(); };
    const auto choose = [&](const char* list, int entry) {
        w.Get<QComboBox>(list)->setCurrentIndex(entry);
        emit w.Get<QComboBox>(list)->activated(entry);
    };
    QVERIFY(!area->EndsApart());
    QVERIFY(!hint().contains(QStringLiteral("Rвых")));
    // Seven crystals, Bessel: the prototype's output Q is not its input's.
    choose("topologyCombo", 9);
    choose("responseCombo", int(feldan::ResponseType::Bessel) - 1);
    QVERIFY(area->EndsApart());
    const int circuit = feldan::CircuitOfDesign(w.form->Document().Design());
    QCOMPARE(area->Circuit(), circuit);
    const feldan::SchematicLayout layout = feldan::LayoutSchematic(circuit, true);
    QCOMPARE(layout.terminations.size(), std::size_t(2));
    QVERIFY2(hint().contains(Utf8("на входе Rвх∥%1").arg(layout.elements.front().label)),
             qPrintable(hint()));
    QVERIFY(hint().contains(Utf8("на выходе Rвых∥%1").arg(layout.elements.back().label)));
    choose("responseCombo", 0);
    QVERIFY(!area->EndsApart());

    for (const int cw : {5, 15}) {
        choose("topologyCombo", cw - 1);
        QVERIFY2(hint().contains(QStringLiteral("Ck")), qPrintable(hint()));
        QVERIFY(w.Get<QTextEdit>("resultText")->statusTip().contains(QStringLiteral("Ck")));
    }
    choose("topologyCombo", 1);
    QVERIFY(w.Get<QTextEdit>("resultText")->statusTip().isEmpty());
}

// Twelve crystals list more capacitors than the schematic's height holds: the summary box
// grows to show every line at the window's default size.
void MainWindowTest::summaryOfTwelveCrystalsNeedsNoScrolling() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    auto* box = w.Get<QTextEdit>("resultText");
    w.Calculate();
    QCOMPARE(box->height(), feldan::SchematicHeight);
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(13);
    emit w.Get<QComboBox>("topologyCombo")->activated(13);
    w.Calculate();
    QVERIFY(w.dialogs->warnings.isEmpty());
    QVERIFY(w.MemoLines().size() > 7);
    QApplication::processEvents();
    QVERIFY(box->height() > feldan::SchematicHeight);
    // The last line of the summary lies inside the box; the figures after it scroll.
    QTextBlock last = box->document()->begin();
    for (int k = 1; k < w.MemoLines().size(); ++k)
        last = last.next();
    QVERIFY(box->cursorRect(QTextCursor(last)).bottom() < box->viewport()->height());
    QCOMPARE(box->verticalScrollBar()->value(), 0);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
