// The main window as a user meets it: start state, layout, selection, key rules, hints, the
// chart commands, printing and exit.
#include <QAction>
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/info_window.h"
#include "ui/panel_bar.h"
#include "ui/schematic.h"
#include "ui/window_style.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

QStringList VisibleImages(const feldan::TForm1& form) {
    QStringList names;
    for (QLabel* image : form.Images) {
        if (image->isVisibleTo(&form)) names.append(image->objectName());
    }
    return names;
}

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
    void windowIsFixedAndCentredWithItsCaption();
    void controlsStandWhereTheWindowPutsThem_data();
    void controlsStandWhereTheWindowPutsThem();
    void labelsCarryTheirTextsAndPlaces_data();
    void labelsCarryTheirTextsAndPlaces();
    void fieldsStartWithTheirDefaultTexts();
    void fontsFollowTheWindowDescription();
    void startStateHasTheFourCrystalLadderInForce();
    void twoStartsBeginFromTheSameState();
    void focusStartsOnTheTopologyList();
    void menuHasItsItemsInOrder();
    void tabOrderWalksTheFields();
    void tabOrderReachesCkOnlyWhileEnabled();
    void topologySelection_data();
    void topologySelection();
    void topologySelectionByKeyboard();
    void responseSelection_data();
    void responseSelection();
    void startTextOfResponseDoesNotComeBack();
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
};

void MainWindowTest::windowIsFixedAndCentredWithItsCaption() {
    WindowUnderTest w;
    QCOMPARE(w.form->windowTitle(), Utf8("Расчёт кварцевых фильтров[*]"));
    QVERIFY(!w.form->isWindowModified());
    QCOMPARE(w.form->ClientArea->size(), QSize(792, 550));
    // Not resizable: the window's smallest and largest sizes are the same.
    QCOMPARE(w.form->minimumSize(), w.form->maximumSize());
    const Qt::WindowFlags flags = w.form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!w.form->windowIcon().isNull());
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    const QRect screen = w.form->screen()->availableGeometry();
    const QPoint offset = w.form->frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2, "window is not centred");
    QCOMPARE(w.form->size(), w.form->minimumSize());
}

void MainWindowTest::controlsStandWhereTheWindowPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char* name, int x, int y, int width, int height) {
        QTest::newRow(name) << QString::fromLatin1(name) << QRect(x, y, width, height);
    };
    row("Image1", 6, 0, 170, 105);
    row("Image2", 6, 0, 202, 105);
    row("Image3", 6, 0, 306, 105);
    row("Image4", 6, 0, 406, 105);
    row("Image5", 6, 0, 240, 105);
    row("Image6", 6, 0, 340, 105);
    row("Image7", 6, 0, 440, 105);
    row("Memo1", 448, 0, 340, 105);
    row("Chart1", 4, 108, 613, 405);
    row("Bevel3", 624, 128, 165, 138);
    row("Edit1", 705, 136, 70, 23);
    row("Edit3", 705, 161, 45, 23);
    row("Edit4", 705, 186, 45, 23);
    row("Edit6", 705, 211, 45, 23);
    row("Edit11", 705, 236, 45, 23);
    row("Bevel2", 624, 288, 165, 145);
    row("ComboBox1", 630, 308, 153, 23);
    row("Edit7", 630, 308, 136, 23);
    row("ComboBox2", 630, 351, 153, 22);
    row("Edit10", 630, 351, 136, 22);
    row("Edit2", 746, 376, 36, 23);
    row("Edit5", 746, 401, 36, 23);
    row("Image8", 624, 464, 160, 43);
    row("StatusBar1", 0, 512, 792, 19);
    row("StatusBar2", 0, 531, 792, 19);
}

void MainWindowTest::controlsStandWhereTheWindowPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    WindowUnderTest w;
    auto* control = w.form->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), w.form->ClientArea);
    QCOMPARE(control->geometry(), geometry);
}

void MainWindowTest::labelsCarryTheirTextsAndPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<bool>("blue");
    const auto row = [](const char* name, const char* text, int x, int y, bool blue) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text) << QPoint(x, y)
                            << blue;
    };
    row("Label1", "Данные резонатора", 645, 110, true);
    row("Label2", "Fo(кГц) =", 652, 139, false);
    row("Label3", "Ld(мГн) =", 649, 164, false);
    row("Label4", "\u0421s(пФ) =", 653, 189, false);
    row("Label5", "Rd(Ом) =", 648, 214, false);
    row("Label10", "\u0421k(пФ) =", 648, 239, false);
    row("Label6", "Данные фильтра", 658, 270, true);
    row("Label7", "Порядок фильтра :", 630, 290, false);
    row("Label8", "Тип АЧХ :", 630, 334, false);
    row("Label9", "Полоса dF (Гц) =", 650, 379, false);
    row("Label13", "Уровень АЧХ (дБ) =", 633, 404, false);
}

void MainWindowTest::labelsCarryTheirTextsAndPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QPoint, place);
    QFETCH(bool, blue);
    WindowUnderTest w;
    auto* label = w.form->findChild<QLabel*>(name);
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), place);
    // The whole text fits: nothing is clipped.
    QVERIFY(label->width() >= QFontMetrics(label->font()).horizontalAdvance(text));
    const QColor color = label->palette().color(QPalette::WindowText);
    QCOMPARE(color == QColor(0, 0, 255), blue);
}

void MainWindowTest::fieldsStartWithTheirDefaultTexts() {
    WindowUnderTest w;
    const feldan::InputTexts texts = w.form->FieldTexts();
    QCOMPARE(texts.Fo, std::string("8861.736"));
    QCOMPARE(texts.Ld, std::string("10.1"));
    QCOMPARE(texts.Cs, std::string("6.3"));
    QCOMPARE(texts.Rd, std::string("5.7"));
    QCOMPARE(texts.Ck, std::string("91"));
    QCOMPARE(texts.Df, std::string("3100"));
    QCOMPARE(texts.Level, std::string("-3"));
}

void MainWindowTest::fontsFollowTheWindowDescription() {
    WindowUnderTest w;
    struct Expected {
        QWidget* control;
        int pixels;
    };
    const Expected cases[] = {
        {w.form->Edit1, 12},     {w.form->Edit5, 12},   {w.form->Label2, 12},
        {w.form->Label5, 13},    {w.form->Label10, 13}, {w.form->ComboBox1, 12},
        {w.form->ComboBox2, 11}, {w.form->Edit10, 11},  {w.form->Memo1, 12}};
    for (const Expected& expected : cases) {
        const QFont font = expected.control->font();
        QVERIFY2(font.pixelSize() == expected.pixels, qPrintable(expected.control->objectName()));
        QVERIFY2(font.bold(), qPrintable(expected.control->objectName()));
        // Arial, or the metric twin that stands in for it.
        const QString family = QFontInfo(font).family();
        QVERIFY2(family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans"),
                 qPrintable(family));
    }
    QCOMPARE(w.form->StatusBar1->Panel(0)->palette().color(QPalette::WindowText),
             QColor(0, 128, 0));
}

void MainWindowTest::startStateHasTheFourCrystalLadderInForce() {
    WindowUnderTest w;
    QCOMPARE(w.form->CurrentDesign().FilterType, 2);
    QCOMPARE(w.form->CurrentDesign().ResponseType, 1);
    QCOMPARE(w.form->CurveCount(), 0);
    QCOMPARE(w.form->ComboBox1->currentIndex(), 0);
    QCOMPARE(w.form->ComboBox1->currentText(), Utf8("3-х кристальный"));
    QCOMPARE(w.form->ComboBox2->currentIndex(), 0);
    QCOMPARE(w.form->Edit7->text(), Utf8("4-х кристальный"));
    QCOMPARE(w.form->Edit10->text(), Utf8("Баттерворта dA=3 дб"));
    QCOMPARE(VisibleImages(*w.form), QStringList{QStringLiteral("Image2")});
    QVERIFY(!w.form->Edit11->isEnabled());
    QCOMPARE(w.form->Edit11->palette().color(QPalette::Base), feldan::MenuColor());
    QVERIFY(w.form->Calculate->isEnabled());
    QVERIFY(!w.form->BonusACH->isChecked());
    QVERIFY(w.form->Legenda->isChecked());
    QVERIFY(w.form->Chart1->LegendVisible());
    QVERIFY(w.form->Memo1->isVisibleTo(w.form.get()));
    QVERIFY(w.form->Memo1->toPlainText().isEmpty());
    QCOMPARE(w.form->Memo1->document()->blockCount(), 1);
    QCOMPARE(w.form->Memo1->palette().color(QPalette::Base), feldan::InfoColor());
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QCOMPARE(w.Series(i)->count(), 0);
        QVERIFY(w.form->StatusBar1->PanelText(i).isEmpty());
    }
    QVERIFY(!w.form->Form2->isVisible());
}

void MainWindowTest::twoStartsBeginFromTheSameState() {
    WindowUnderTest first;
    first.form->Edit1->setText(QStringLiteral("1000"));
    first.form->ComboBox1->setCurrentIndex(5);
    emit first.form->ComboBox1->activated(5);
    first.form->BonusACH->trigger();
    WindowUnderTest second;
    QCOMPARE(second.form->CurrentDesign().FilterType, 2);
    QCOMPARE(second.form->Edit1->text(), QStringLiteral("8861.736"));
    QCOMPARE(second.form->ComboBox1->currentIndex(), 0);
    QVERIFY(!second.form->BonusACH->isChecked());
    QCOMPARE(VisibleImages(*second.form), QStringList{QStringLiteral("Image2")});
}

void MainWindowTest::focusStartsOnTheTopologyList() {
    WindowUnderTest w;
    ShowActive(*w.form);
    QCOMPARE(QApplication::focusWidget(), w.form->ComboBox1);
}

void MainWindowTest::menuHasItsItemsInOrder() {
    WindowUnderTest w;
    QStringList top;
    for (QAction* action : w.form->menuBar()->actions())
        top.append(action->objectName());
    QCOMPARE(top, (QStringList{QStringLiteral("N1"), QStringLiteral("Calculate"),
                               QStringLiteral("Info"), QStringLiteral("N4")}));
    QStringList texts;
    for (QAction* action : w.form->menuBar()->actions())
        texts.append(action->text());
    QCOMPARE(texts, (QStringList{Utf8("&Файл"), Utf8("&Расчет"), Utf8("&Инфо"), Utf8("&График")}));

    struct Item {
        const char* name;
        const char* text;
        bool separator;
        bool checkable;
    };
    const auto check = [&](QMenu* menu, std::initializer_list<Item> items) {
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), qsizetype(items.size()));
        int i = 0;
        for (const Item& item : items) {
            QAction* action = actions[i++];
            QCOMPARE(action->objectName(), QString::fromLatin1(item.name));
            QCOMPARE(action->isSeparator(), item.separator);
            QCOMPARE(action->isCheckable(), item.checkable);
            if (!item.separator) QCOMPARE(action->text(), QString::fromUtf8(item.text));
        }
    };
    check(w.form->N1, {{"Open", "&Открыть", false, false},
                       {"Save", "&Сохранить", false, false},
                       {"N2", "", true, false},
                       {"PrintForm", "&Печать", false, false},
                       {"N3", "", true, false},
                       {"Exit", "&Выход", false, false}});
    check(w.form->N4, {{"BonusACH", "&Наложения", false, true},
                       {"Legenda", "&Легенда", false, true},
                       {"Polos", "", true, false},
                       {"ClearGrafic", "&Очистить", false, false}});
    QVERIFY(w.form->Calculate->menu() == nullptr);
    QVERIFY(w.form->Info->menu() == nullptr);
}

void MainWindowTest::tabOrderWalksTheFields() {
    WindowUnderTest w;
    ShowActive(*w.form);
    // Reading order, each control once; Ck is disabled for the ladder in force.
    const QList<QWidget*> expected = {w.form->Edit3,     w.form->Edit4,     w.form->Edit6,
                                      w.form->ComboBox1, w.form->ComboBox2, w.form->Edit2,
                                      w.form->Edit5,     w.form->Memo1,     w.form->Edit1};
    w.form->Edit1->setFocus();
    QCOMPARE(QApplication::focusWidget(), w.form->Edit1);
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void MainWindowTest::tabOrderReachesCkOnlyWhileEnabled() {
    WindowUnderTest w;
    ShowActive(*w.form);
    w.form->ComboBox1->setCurrentIndex(4);
    emit w.form->ComboBox1->activated(4);
    w.form->Edit6->setFocus();
    QTest::keyClick(w.form->Edit6, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.form->Edit11);
    QTest::keyClick(w.form->Edit11, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.form->ComboBox1);
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
        w.form->ComboBox1->setCurrentIndex(before);
        emit w.form->ComboBox1->activated(before);
    }
    w.form->Edit11->setText(QStringLiteral("47"));
    w.form->ComboBox1->setCurrentIndex(index);
    emit w.form->ComboBox1->activated(index);
    QCOMPARE(w.form->CurrentDesign().FilterType, index + 1);
    QCOMPARE(w.form->Edit7->text(), name);
    QCOMPARE(VisibleImages(*w.form), QStringList{QStringLiteral("Image%1").arg(index + 1)});
    QCOMPARE(w.form->Edit11->isEnabled(), ckEnabled);
    QCOMPARE(w.form->Edit11->palette().color(QPalette::Base),
             ckEnabled ? feldan::WindowColor() : feldan::MenuColor());
    QCOMPARE(w.form->Edit11->text(), QStringLiteral("47"));
    QCOMPARE(w.form->CurrentDesign().ResponseType, 1);
}

void MainWindowTest::topologySelectionByKeyboard() {
    WindowUnderTest w;
    ShowActive(*w.form);
    w.form->ComboBox1->setFocus();
    QTest::keyClick(w.form->ComboBox1, Qt::Key_Down);
    QCOMPARE(w.form->ComboBox1->currentIndex(), 1);
    QCOMPARE(w.form->CurrentDesign().FilterType, 2);
    QCOMPARE(w.form->Edit7->text(), Utf8("4-х кристальный"));
    QTest::keyClick(w.form->ComboBox1, Qt::Key_End);
    QCOMPARE(w.form->CurrentDesign().FilterType, 7);
    QCOMPARE(VisibleImages(*w.form), QStringList{QStringLiteral("Image7")});
    QVERIFY(w.form->Edit11->isEnabled());
}

void MainWindowTest::responseSelection_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    const char* entries[] = {"Баттерворта dA=3 dB", "Чебышева dA=0,044 dB", "Чебышева dA=0,099 dB",
                             "Чебышева dA=0,177 dB", "Чебышева dA=0,28 dB"};
    const char* names[] = {"Баттерворта dA=3 dB", "Чебышева dA=0.044 dB", "Чебышева dA=0.099 dB",
                           "Чебышева dA=0.177 dB", "Чебышева dA=0.28 дБ"};
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
    QCOMPARE(w.form->ComboBox2->itemText(index), entry);
    w.form->ComboBox2->setCurrentIndex(index);
    emit w.form->ComboBox2->activated(index);
    QCOMPARE(w.form->CurrentDesign().ResponseType, index + 1);
    QCOMPARE(w.form->Edit10->text(), name);
    QCOMPARE(w.form->CurrentDesign().FilterType, 2);
    QCOMPARE(VisibleImages(*w.form), QStringList{QStringLiteral("Image2")});
}

void MainWindowTest::startTextOfResponseDoesNotComeBack() {
    WindowUnderTest w;
    // Choosing the entry that is already current still runs the handler.
    emit w.form->ComboBox2->activated(0);
    QCOMPARE(w.form->Edit10->text(), Utf8("Баттерворта dA=3 dB"));
    w.form->ComboBox2->setCurrentIndex(3);
    emit w.form->ComboBox2->activated(3);
    w.form->ComboBox2->setCurrentIndex(0);
    emit w.form->ComboBox2->activated(0);
    QCOMPARE(w.form->Edit10->text(), Utf8("Баттерворта dA=3 dB"));
}

void MainWindowTest::selectionLeavesResultsAlone() {
    WindowUnderTest w;
    w.form->CalculateClick();
    const qsizetype points = w.Series(0)->count();
    QVERIFY(points > 0);
    const QString result = w.form->Memo1->toPlainText();
    const int curveCount = w.form->CurveCount();
    w.form->ComboBox1->setCurrentIndex(5);
    emit w.form->ComboBox1->activated(5);
    w.form->ComboBox2->setCurrentIndex(2);
    emit w.form->ComboBox2->activated(2);
    QCOMPARE(w.Series(0)->count(), points);
    QCOMPARE(w.form->Memo1->toPlainText(), result);
    QCOMPARE(w.form->CurveCount(), curveCount);
    QCOMPARE(w.form->Edit1->text(), QStringLiteral("8861.736"));
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
    row("letters dropped from Fo", "Edit1", "12a.5", "12.5");
    row("minus dropped from dF", "Edit2", "-3", "3");
    row("minus kept in level", "Edit5", "-3", "-3");
    row("comma passes", "Edit3", "1,5", "1,5");
    row("exponent letter dropped", "Edit4", "1e5", "15");
    row("blank and plus dropped", "Edit6", " +7", "7");
    row("level drops letters and plus", "Edit5", "a-1.5e+", "-1.5");
    row("second separator passes", "Edit1", "1.2.3", "1.2.3");
    row("minus after digits passes in level", "Edit5", "5-", "5-");
    row("backspace passes", "Edit2", "12\b", "1");
    row("backspace passes in level", "Edit5", "-3\b\b", "");
    row("enter adds nothing in level", "Edit5", "4\n", "4");
    row("ck takes anything", "Edit11", "a-b +", "a-b +");
    row("digits in every field", "Edit3", "0123456789", "0123456789");
}

void MainWindowTest::keyFilters() {
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    WindowUnderTest w;
    w.form->ComboBox1->setCurrentIndex(4);
    emit w.form->ComboBox1->activated(4);  // a CW type, so that Ck takes keys
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
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"}) {
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
    w.form->ComboBox1->setCurrentIndex(6);
    emit w.form->ComboBox1->activated(6);
    w.form->Edit11->setFocus();
    w.form->Edit11->clear();
    QTest::keyClick(w.form->Edit11, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.form->Edit11->text(), QStringLiteral("77"));
}

void MainWindowTest::textSetWithoutTypingIsNotFiltered() {
    WindowUnderTest w;
    feldan::InputTexts texts;
    texts.Fo = "abc";
    texts.Level = "+x";
    w.form->SetFieldTexts(texts);
    QCOMPARE(w.form->Edit1->text(), QStringLiteral("abc"));
    QCOMPARE(w.form->Edit5->text(), QStringLiteral("+x"));
    QCOMPARE(w.form->FieldTexts().Fo, std::string("abc"));
}

void MainWindowTest::enterWalksTheChain_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("Fo to Ld") << "Edit1"
                              << "Edit3";
    QTest::newRow("Ld to Cs") << "Edit3"
                              << "Edit4";
    QTest::newRow("Cs to Rd") << "Edit4"
                              << "Edit6";
    QTest::newRow("Rd to dF") << "Edit6"
                              << "Edit2";
    QTest::newRow("dF to level") << "Edit2"
                                 << "Edit5";
    QTest::newRow("level stays") << "Edit5"
                                 << "Edit5";
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
    w.form->ComboBox1->setCurrentIndex(5);
    emit w.form->ComboBox1->activated(5);
    QVERIFY(w.form->Edit11->isEnabled());
    w.form->Edit6->setFocus();
    QTest::keyClick(w.form->Edit6, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form->Edit2);
    // Enter in the unfiltered Ck field moves nothing.
    w.form->Edit11->setFocus();
    QTest::keyClick(w.form->Edit11, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form->Edit11);
}

void MainWindowTest::hintsAppearOnlyInTheStatusBar_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("hint");
    const auto row = [](const char* control, int topology, const char* hint) {
        QTest::addRow("%s type %d", control, topology)
            << QString::fromLatin1(control) << topology << QString::fromUtf8(hint);
    };
    row("Edit1", 1, "Частота кварца");
    row("Edit3", 1, "Индуктивность кварца");
    row("Edit4", 1, "Статическая емкость кварца");
    row("Edit6", 1, "Активное сопротивление кварца");
    row("Edit11", 1, "Емкость коррекции");  // disabled, and still hinted
    row("Edit11", 5, "Емкость коррекции");
    row("Edit2", 1, "");
    row("Edit5", 1, "");
    row("Memo1", 1, "");
    row("Chart1", 1, "");
    row("ComboBox1", 1, "");
    row("Image1", 0, "Схема 3-х кристального фильтра");
    row("Image2", 1, "Схема 4-кристального фильтра");
    row("Image3", 2, "Схема 6-ти кристального фильтра");
    row("Image4", 3, "Схема 8-ми кристального фильтра");
    row("Image5", 4, "Схема 4-х кристального телеграфного фильтра");
    row("Image6", 5, "Схема 6-ти кристального телеграфного фильтра");
    row("Image7", 6, "Схема 8-ми кристального телеграфного фильтра");
}

void MainWindowTest::hintsAppearOnlyInTheStatusBar() {
    QFETCH(QString, control);
    QFETCH(int, topology);
    QFETCH(QString, hint);
    WindowUnderTest w;
    w.form->ComboBox1->setCurrentIndex(topology);
    emit w.form->ComboBox1->activated(topology);
    ShowActive(*w.form);
    auto* widget = w.form->findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    // Start over a hinted control, so that an empty hint is a real change.
    QTest::mouseMove(w.form->Edit4, QPoint(5, 5));
    QCOMPARE(w.form->StatusBar2->PanelText(0), Utf8("Статическая емкость кварца"));
    QTest::mouseMove(widget, QPoint(10, 10));
    QCOMPARE(w.form->StatusBar2->PanelText(0), hint);
    QVERIFY(widget->toolTip().isEmpty());
}

void MainWindowTest::noControlHasAPopUpToolTip() {
    WindowUnderTest w;
    for (QWidget* widget : w.form->findChildren<QWidget*>()) {
        QVERIFY2(widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    }
    QVERIFY(!w.form->N1->toolTipsVisible());
    QVERIFY(!w.form->N4->toolTipsVisible());
    QVERIFY(!w.form->Chart1->chart()->legend()->showToolTips());
}

void MainWindowTest::statusBarsHaveTheirPanels() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    feldan::PanelBar* upper = w.form->StatusBar1;
    QCOMPARE(upper->PanelCount(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(upper->Panel(i)->x(), 160 * i);
    // The last panel reaches to the right edge of the bar.
    QCOMPARE(upper->Panel(4)->geometry().right() + 2, 791);
    feldan::PanelBar* lower = w.form->StatusBar2;
    QCOMPARE(lower->PanelCount(), 3);
    QCOMPARE(lower->Panel(0)->x(), 0);
    QCOMPARE(lower->Panel(1)->x(), 640);
    QCOMPARE(lower->Panel(2)->x(), 720);
    QVERIFY(lower->Panel(1)->alignment() & Qt::AlignHCenter);
    QVERIFY(lower->Panel(2)->alignment() & Qt::AlignHCenter);
    QVERIFY(lower->Panel(0)->alignment() & Qt::AlignLeft);
}

void MainWindowTest::clockPanelsAreFilledFromTheStart() {
    WindowUnderTest w;
    const QString date = w.form->StatusBar2->PanelText(1);
    const QString time = w.form->StatusBar2->PanelText(2);
    QVERIFY(!date.isEmpty());
    QVERIFY(!time.isEmpty());
    // The long time shows seconds: hours, minutes and seconds, three numbers.
    int numbers = 0;
    for (auto match = QRegularExpression(QStringLiteral("\\d+")).globalMatch(time); match.hasNext();
         match.next()) {
        ++numbers;
    }
    QCOMPARE(numbers, 3);
    QVERIFY(w.form->Timer2->isActive());
    QCOMPARE(w.form->Timer2->interval(), 1000);
    w.form->StatusBar2->SetPanelText(1, QString());
    w.form->StatusBar2->SetPanelText(2, QString());
    w.form->Timer2Timer();
    QVERIFY(!w.form->StatusBar2->PanelText(1).isEmpty());
    QVERIFY(!w.form->StatusBar2->PanelText(2).isEmpty());
    // Both fit their 80-pixel panels.
    const QFontMetrics metrics(w.form->StatusBar2->Panel(1)->font());
    QVERIFY(metrics.horizontalAdvance(w.form->StatusBar2->PanelText(1)) < 76);
    QVERIFY(metrics.horizontalAdvance(w.form->StatusBar2->PanelText(2)) < 68);
}

void MainWindowTest::legendToggleFollowsItsCheckMark() {
    WindowUnderTest w;
    // The mark and the legend agree from the start, so the first click hides it.
    QVERIFY(w.form->Legenda->isChecked());
    QVERIFY(w.form->Chart1->LegendVisible());
    w.form->Legenda->trigger();
    QVERIFY(!w.form->Legenda->isChecked());
    QVERIFY(!w.form->Chart1->LegendVisible());
    w.form->LegendaClick();
    QVERIFY(w.form->Legenda->isChecked());
    QVERIFY(w.form->Chart1->LegendVisible());
}

void MainWindowTest::clearEmptiesChartPanelsAndResult() {
    WindowUnderTest w;
    w.form->BonusACH->trigger();
    w.form->CalculateClick();
    w.form->CalculateClick();
    QVERIFY(w.Series(0)->count() > 0);
    QVERIFY(w.Series(1)->count() > 0);
    QVERIFY(!w.form->StatusBar1->PanelText(1).isEmpty());
    QVERIFY(!w.form->Memo1->toPlainText().isEmpty());
    w.form->ClearGrafic->trigger();
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QCOMPARE(w.Series(i)->count(), 0);
        QVERIFY(w.form->StatusBar1->PanelText(i).isEmpty());
    }
    QCOMPARE(w.form->CurveCount(), 0);
    QVERIFY(w.form->Memo1->toPlainText().isEmpty());
    // On an empty chart it changes nothing but the counter.
    w.form->BonusACH->trigger();
    for (int i = 0; i < 3; ++i)
        w.form->CalculateClick();
    QCOMPARE(w.form->CurveCount(), 3);
    w.form->ClearGraficClick();
    QCOMPARE(w.form->CurveCount(), 0);
    QCOMPARE(w.Series(0)->count(), 0);
}

void MainWindowTest::clearKeepsCheckMarks() {
    WindowUnderTest w;
    w.form->BonusACH->trigger();
    w.form->Legenda->trigger();
    w.form->ClearGrafic->trigger();
    QVERIFY(w.form->BonusACH->isChecked());
    QVERIFY(!w.form->Legenda->isChecked());
    QVERIFY(!w.form->Chart1->LegendVisible());
    QCOMPARE(w.form->Edit1->text(), QStringLiteral("8861.736"));
}

void MainWindowTest::overlaySwitchResetsTheCurveCount() {
    WindowUnderTest w;
    for (int i = 0; i < 3; ++i)
        w.form->CalculateClick();
    QCOMPARE(w.form->CurveCount(), 3);
    w.form->BonusACH->trigger();  // on: the count starts again
    QVERIFY(w.form->BonusACH->isChecked());
    QCOMPARE(w.form->CurveCount(), 0);
    w.form->CalculateClick();
    w.form->CalculateClick();
    w.form->BonusACHClick();  // off: the count stays
    QVERIFY(!w.form->BonusACH->isChecked());
    QCOMPARE(w.form->CurveCount(), 2);
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
    w.form->PrintForm->trigger();
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
    w.form->PrintForm->trigger();
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
    w.form->Exit->trigger();
    QVERIFY(!w.form->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
