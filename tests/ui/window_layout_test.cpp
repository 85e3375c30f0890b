// The window's layout: the familiar look at the default size with nothing overlapping and every
// text whole, the room of a larger window going to the chart, and the size and place that come
// back at the next start.
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/window_place.h"
#include "ui/main/info_window.h"
#include "ui/widgets/panel_bar.h"
#include "ui_test_support.h"

using feldan::testing::WindowUnderTest;

namespace {

// The tests run on a screen of 1920 x 1080 pixels (tests/ui/large_screen.json), room enough to
// grow the window.

// A control's rectangle in the coordinates of the client area.
QRect Place(const WindowUnderTest& w, const char* name) {
    const QWidget* client = w.Get<QWidget>("clientArea");
    const QWidget* control = w.Get<QWidget>(name);
    return QRect(control->mapTo(client, QPoint(0, 0)), control->size());
}

void ShowExposed(WindowUnderTest& w) {
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
}

// The controls that must never cover each other, in groups of siblings.
const std::vector<std::vector<const char*>> Neighbours = {
    {"schematicArea", "resultText", "chart", "crystalDataLabel", "crystalDataFrame",
     "filterDataLabel", "filterDataFrame", "authorsMark", "overlayStatusBar", "hintStatusBar"},
    {"foLabel", "foEdit", "ldLabel", "ldEdit", "csLabel", "csEdit", "rdLabel", "rdEdit", "ckLabel",
     "ckEdit"},
    {"topologyLabel", "topologyCombo", "responseLabel", "responseCombo", "dfLabel", "dfEdit",
     "levelLabel", "levelEdit"},
};

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();
    void opensAtItsFamiliarSizeInTheMiddleOfTheScreen();
    void nothingOverlapsAndEveryTextIsWhole_data();
    void nothingOverlapsAndEveryTextIsWhole();
    void growingWindowGivesItsRoomToTheChart_data();
    void growingWindowGivesItsRoomToTheChart();
    void sizeAndPlaceComeBackAtTheNextStart();
    void windowsStayOnTheScreenAndBesideEachOther();
    void childWindowsOpenWholeOnTheScreen_data();
    void childWindowsOpenWholeOnTheScreen();
};

void WindowLayoutTest::cleanup() {
    // Each test starts from a first run.
    feldan::RememberWindowGeometry(QByteArray());
    QSettings().remove(QStringLiteral("windows"));
    feldan::SetLanguage(feldan::Language::Russian);
}

void WindowLayoutTest::opensAtItsFamiliarSizeInTheMiddleOfTheScreen() {
    WindowUnderTest w;
    ShowExposed(w);
    QCOMPARE(w.Get<QWidget>("clientArea")->size(), QSize(792, 550));
    const QRect screen = w.form->screen()->availableGeometry();
    const QPoint offset = w.form->frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2, "window is not centred");
    // It can grow and be maximised.
    QCOMPARE(w.form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(w.form->minimumSizeHint().width() <= w.form->width());
    // Today's proportions: a chart of 613 pixels beside a panel of 165, the summary top right.
    QCOMPARE(Place(w, "chart").width(), 613);
    QCOMPARE(Place(w, "resultText"), QRect(448, 0, 340, 105));
    QCOMPARE(Place(w, "authorsMark").size(), QSize(160, 43));
}

void WindowLayoutTest::nothingOverlapsAndEveryTextIsWhole_data() {
    QTest::addColumn<feldan::Language>("language");
    QTest::newRow("Russian") << feldan::Language::Russian;
    QTest::newRow("English") << feldan::Language::English;
}

void WindowLayoutTest::nothingOverlapsAndEveryTextIsWhole() {
    QFETCH(feldan::Language, language);
    QVERIFY(feldan::SetLanguage(language));
    WindowUnderTest w;
    ShowExposed(w);
    // The longest status texts: an eight-crystal CW filter with its Ck, in every panel.
    w.Get<QAction>("overlayAction")->trigger();
    w.Get<QComboBox>("topologyCombo")->setCurrentIndex(6);
    emit w.Get<QComboBox>("topologyCombo")->activated(6);
    w.Get<QComboBox>("responseCombo")->setCurrentIndex(3);
    emit w.Get<QComboBox>("responseCombo")->activated(3);
    w.Get<QLineEdit>("ckEdit")->setText(QStringLiteral("82.45"));
    for (int curve = 0; curve < 5; ++curve)
        w.form->CalculateDesign();
    const QRect client = w.Get<QWidget>("clientArea")->rect();
    for (const auto& group : Neighbours) {
        for (size_t i = 0; i < group.size(); ++i) {
            QVERIFY2(client.contains(Place(w, group[i])), group[i]);
            for (size_t j = i + 1; j < group.size(); ++j) {
                QVERIFY2(!Place(w, group[i]).intersects(Place(w, group[j])),
                         qPrintable(QStringLiteral("%1 and %2 overlap")
                                        .arg(QLatin1String(group[i]), QLatin1String(group[j]))));
            }
        }
    }
    // Each label stands left of its field, on the same row.
    for (const auto& [label, field] : {std::pair{"foLabel", "foEdit"},
                                       {"ldLabel", "ldEdit"},
                                       {"csLabel", "csEdit"},
                                       {"rdLabel", "rdEdit"},
                                       {"ckLabel", "ckEdit"},
                                       {"dfLabel", "dfEdit"},
                                       {"levelLabel", "levelEdit"}}) {
        QVERIFY2(Place(w, label).right() < Place(w, field).left(), label);
        QVERIFY2(Place(w, label).top() >= Place(w, field).top() &&
                     Place(w, label).top() < Place(w, field).bottom(),
                 label);
    }
    for (QLabel* label : w.form->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(w.form.get())) continue;
        const QFontMetrics metrics(label->font());
        const bool centred = label->alignment() & Qt::AlignHCenter;
        QVERIFY2(label->contentsRect().width() - (centred ? 0 : label->indent()) >=
                         metrics.horizontalAdvance(label->text()) &&
                     label->contentsRect().height() >= metrics.height(),
                 qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
    }
    // The credits scroll inside their box, every row whole.
    const auto* credits = w.Get<QWidget>("creditsBox");
    for (const feldan::CreditRow& row : feldan::CreditRows()) {
        QVERIFY2(30 + QFontMetrics(credits->font()).horizontalAdvance(row.text) <= credits->width(),
                 qPrintable(row.text));
    }
    // The menu bar holds every entry in one row.
    const QMenuBar* bar = w.form->menuBar();
    for (QAction* entry : bar->actions())
        QVERIFY(bar->rect().contains(bar->actionGeometry(entry)));
    // The name displays cover the text part of their lists and leave the button free.
    for (const char* display : {"topologyNameEdit", "responseNameEdit"}) {
        auto* edit = w.Get<QLineEdit>(display);
        auto* list = qobject_cast<QComboBox*>(edit->parentWidget());
        QVERIFY(list != nullptr);
        QCOMPARE(edit->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(edit->height(), list->height());
        QVERIFY(list->width() - edit->width() >= 15);
    }
}

void WindowLayoutTest::growingWindowGivesItsRoomToTheChart_data() {
    QTest::addColumn<QSize>("growth");  // empty: maximised
    QTest::newRow("wider") << QSize(300, 0);
    QTest::newRow("taller") << QSize(0, 200);
    QTest::newRow("both") << QSize(500, 300);
    QTest::newRow("maximised") << QSize();
}

void WindowLayoutTest::growingWindowGivesItsRoomToTheChart() {
    QFETCH(QSize, growth);
    WindowUnderTest w;
    ShowExposed(w);
    const QSize chart = Place(w, "chart").size();
    const QRect panel = Place(w, "crystalDataFrame");
    const int dateWidth = w.Get<feldan::PanelBar>("hintStatusBar")->Panel(1)->width();
    const int timeWidth = w.Get<feldan::PanelBar>("hintStatusBar")->Panel(2)->width();
    if (growth.isValid()) {
        w.form->resize(w.form->size() + growth);
        QTRY_COMPARE(w.Get<QWidget>("clientArea")->size(), QSize(792, 550) + growth);
    } else {
        w.form->showMaximized();
        QTRY_COMPARE(w.form->frameGeometry().size(), w.form->screen()->availableGeometry().size());
        growth = w.Get<QWidget>("clientArea")->size() - QSize(792, 550);
        QVERIFY(growth.width() > 500 && growth.height() > 300);
    }
    const QRect client = w.Get<QWidget>("clientArea")->rect();
    QCOMPARE(Place(w, "chart").size(), chart + growth);
    // The input panel keeps its width at the right; summary and schematic keep their height.
    QCOMPARE(Place(w, "crystalDataFrame").size(), panel.size());
    QCOMPARE(Place(w, "crystalDataFrame").right(), client.right() - 3);
    QCOMPARE(Place(w, "resultText"), QRect(448 + growth.width(), 0, 340, 105));
    QCOMPARE(Place(w, "schematicArea").height(), 105);
    // The mark sits at the bottom of the panel, the status bars at the bottom of the window.
    QCOMPARE(Place(w, "authorsMark").bottom(), Place(w, "overlayStatusBar").top() - 6);
    QCOMPARE(Place(w, "hintStatusBar").bottom(), client.bottom());
    QCOMPARE(Place(w, "hintStatusBar").width(), client.width());
    // Date and time keep their panels at the right end of the lower bar.
    const auto* hints = w.Get<feldan::PanelBar>("hintStatusBar");
    QCOMPARE(hints->Panel(1)->width(), dateWidth);
    QCOMPARE(hints->Panel(2)->width(), timeWidth);
    QCOMPARE(hints->Panel(2)->geometry().right() + 2, client.right());
}

void WindowLayoutTest::sizeAndPlaceComeBackAtTheNextStart() {
    QRect closedAt;
    {
        WindowUnderTest first;
        ShowExposed(first);
        first.form->setGeometry(QRect(QPoint(40, 30), first.form->size() + QSize(150, 80)));
        QTRY_COMPARE(first.form->size(), QSize(792, 569) + QSize(150, 80));
        closedAt = first.form->geometry();
        QVERIFY(first.form->close());
    }
    WindowUnderTest second;
    ShowExposed(second);
    QCOMPARE(second.form->geometry(), closedAt);
    QCOMPARE(Place(second, "chart").size(), QSize(613 + 150, 404 + 80));
}

// No window opens larger than the screen's free area or off it; a child window opens beside the
// main window, not over it; the tuning dock gives back the width it took.
void WindowLayoutTest::windowsStayOnTheScreenAndBesideEachOther() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    const QRect free = w.form->screen()->availableGeometry();
    QWidget huge;
    huge.resize(free.width() * 2, free.height() * 2);
    huge.move(-500, -500);
    feldan::FitIntoScreen(huge);
    QVERIFY(free.contains(huge.frameGeometry()));

    w.Trigger("crystalsAction");
    auto* crystals = w.Get<QWidget>("CrystalWindow");
    QVERIFY(QTest::qWaitForWindowExposed(crystals));
    QVERIFY(free.contains(crystals->frameGeometry()));
    QVERIFY(!w.form->frameGeometry().contains(crystals->frameGeometry().center()));

    const int width = w.form->width();
    w.Trigger("tuningAction");
    QTest::qWait(50);
    w.Trigger("tuningAction");
    QTest::qWait(50);
    QTRY_COMPARE(w.form->width(), width);
}

void WindowLayoutTest::childWindowsOpenWholeOnTheScreen_data() {
    QTest::addColumn<bool>("maximised");
    QTest::newRow("default size") << false;
    QTest::newRow("maximised") << true;
}

// Beside a maximised main window there is no room: the child windows open over it, yet whole on
// the screen, title bar and all, at the size their controls need; beside the window at its
// default size they keep off its middle.
void WindowLayoutTest::childWindowsOpenWholeOnTheScreen() {
    QFETCH(bool, maximised);
    WindowUnderTest w;
    const QRect free = w.form->screen()->availableGeometry();
    if (maximised) {
        w.form->showMaximized();
        QTRY_COMPARE(w.form->frameGeometry().size(), free.size());
    } else {
        ShowExposed(w);
    }
    const std::pair<const char*, const char*> children[] = {{"crystalsAction", "CrystalWindow"},
                                                            {"toleranceAction", "ToleranceWindow"},
                                                            {"roundingAction", "RoundingWindow"}};
    for (const auto& [action, name] : children) {
        w.Trigger(action);
        auto* child = w.Get<QWidget>(name);
        QVERIFY(QTest::qWaitForWindowExposed(child));
        QVERIFY2(free.contains(child->frameGeometry()), name);
        if (!maximised)
            QVERIFY2(!w.form->frameGeometry().contains(child->frameGeometry().center()), name);
        child->close();
    }
}

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
