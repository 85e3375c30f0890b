// The information window: its look, the scroll driven by a timer that leaves the credits
// standing, the close button, and the main window staying usable while the credits run.
#include <QAction>
#include <QFontMetrics>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "engine/version.h"
#include "ui/main/info_window.h"
#include "ui/widgets/window_style.h"
#include "ui_test_support.h"

using feldan::InfoWindow;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

// The version line starts 100 pixels down and stands 12 pixels from the top.
int ExpectedLastStep() {
    return 100 - 12;
}

int DarkPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 100;
    }
    return count;
}

}  // namespace

class InfoWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void windowIsCreatedHiddenWithItsLook();
    void creditRowsCarryTheirTexts();
    void infoShowsAndActivatesTheWindow();
    void closeButtonAppearsAtTheEndOfTheScroll();
    void scrollPaintsTextWhileRunningAndLeavesItStanding();
    void closingHidesTheWindow();
    void infoAgainStartsANewScroll();
    void infoWhileActiveRestartsTheScroll();
    void reactivationRestartsTheScroll();
    void mainWindowCalculatesDuringTheScroll();
    void closingTheMainWindowEndsEverything();
};

void InfoWindowTest::windowIsCreatedHiddenWithItsLook() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    QVERIFY(info != nullptr);
    QVERIFY(!info->isVisible());
    QCOMPARE(info->windowTitle(), Utf8("Информация о программе "));
    const Qt::WindowFlags flags = info->windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowSystemMenuHint));
    QCOMPARE(info->pos(), QPoint(483, 327));
    QCOMPARE(info->palette().color(QPalette::Window), feldan::InfoColor());
    QCOMPARE(info->font().pixelSize(), 11);
    QVERIFY(info->font().bold());
    QCOMPARE(feldan::testing::Child<feldan::CreditsArea>(info, "creditsBox")->geometry(),
             QRect(4, 4, 328, 229));
    QCOMPARE(feldan::testing::Child<QPushButton>(info, "closeButton")->geometry(),
             QRect(220, 200, 101, 29));
    QCOMPARE(feldan::testing::Child<QPushButton>(info, "closeButton")->text(),
             QStringLiteral("&Close"));
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->icon().isNull());
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisibleTo(info));
    QCOMPARE(info->StepInterval(), 30);
    QCOMPARE(info->LastStep(), ExpectedLastStep());
}

void InfoWindowTest::creditRowsCarryTheirTexts() {
    const std::vector<feldan::CreditRow>& rows = feldan::CreditRows();
    QList<int> numbers;
    for (const feldan::CreditRow& row : rows)
        numbers.append(row.row);
    QCOMPARE(numbers, (QList<int>{0, 1, 2, 3, 5, 6, 7, 9, 10, 11, 12}));
    const auto text = [&](int row) {
        for (const feldan::CreditRow& r : rows) {
            if (r.row == row) return r.text;
        }
        return QString();
    };
    QCOMPARE(text(0).trimmed(), Utf8("ВЕРСИЯ ") + QString::fromLatin1(feldan::VersionText));
    QCOMPARE(text(0).size(), 31);
    QCOMPARE(text(1), QString(27, QLatin1Char(' ')));
    QCOMPARE(text(2), Utf8("Алгоритм, дизайн:") + QString(12, QLatin1Char(' ')));
    QCOMPARE(text(5), QString(30, QLatin1Char(' ')));
    QCOMPARE(text(6), Utf8("Математика, программирование: "));
    QCOMPARE(text(9), QString(29, QLatin1Char(' ')));
    QCOMPARE(text(10), Utf8("Со всеми вопросами обращаться по E-mail:"));
    QCOMPARE(text(12), QString(33, QLatin1Char(' ')));
    // The credit and contact lines name the project, not a person or an address.
    for (int row : {3, 7, 11}) {
        QVERIFY(text(row).contains(QStringLiteral("Feldan")));
        QVERIFY(!text(row).contains(QLatin1Char('@')));
    }
}

void InfoWindowTest::infoShowsAndActivatesTheWindow() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(50);
    w.Get<QAction>("infoAction")->trigger();
    QVERIFY(info->isVisible());
    QTRY_VERIFY(info->isActiveWindow());
    QVERIFY(info->Scrolling());
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible());
    QVERIFY(info->CurrentStep() < 10);
}

void InfoWindowTest::closeButtonAppearsAtTheEndOfTheScroll() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(0);
    QSignalSpy finished(info, &InfoWindow::ScrollFinished);
    w.form->ShowInfo();
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible(),
                             20000);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!info->Scrolling());
    QCOMPARE(info->CurrentStep(), ExpectedLastStep());
}

void InfoWindowTest::scrollPaintsTextWhileRunningAndLeavesItStanding() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(60000);  // the test takes the steps itself
    w.form->ShowInfo();
    QCOMPARE(feldan::testing::Child<feldan::CreditsArea>(info, "creditsBox")->ShownStep(), 0);
    for (int i = 0; i < 60; ++i)
        info->ScrollStep();
    QCOMPARE(info->CurrentStep(), 60);
    QCOMPARE(feldan::testing::Child<feldan::CreditsArea>(info, "creditsBox")->ShownStep(), 60);
    const QImage middle =
        feldan::testing::Child<feldan::CreditsArea>(info, "creditsBox")->grab().toImage();
    QVERIFY(DarkPixels(middle) > 200);
    // The text has risen: the top rows hold the version line now, at step 0 they were empty.
    QVERIFY(DarkPixels(middle.copy(0, 30, middle.width(), 30)) > 20);
    while (info->Scrolling())
        info->ScrollStep();
    auto* close = feldan::testing::Child<QPushButton>(info, "closeButton");
    QVERIFY(close->isVisible());
    // Every row stands readable: the version on top, the contact lines above the close button.
    const QImage end =
        feldan::testing::Child<feldan::CreditsArea>(info, "creditsBox")->grab().toImage();
    const int h = QFontMetrics(feldan::ArialFont(11, true)).height();
    QVERIFY(DarkPixels(end.copy(0, 12, end.width(), h)) > 20);
    QVERIFY(DarkPixels(end.copy(0, 12 + 10 * h, end.width(), 2 * h)) > 40);
    QVERIFY(12 + 12 * h < close->geometry().top() - 4);
}

void InfoWindowTest::closingHidesTheWindow() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(0);
    w.form->ShowInfo();
    QTRY_VERIFY_WITH_TIMEOUT(feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible(),
                             20000);
    QPointer<InfoWindow> alive(info);
    QTest::mouseClick(feldan::testing::Child<QPushButton>(info, "closeButton"), Qt::LeftButton);
    QVERIFY(!info->isVisible());
    QVERIFY(!alive.isNull());
    QVERIFY(!info->Scrolling());
}

void InfoWindowTest::infoAgainStartsANewScroll() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(0);
    w.form->ShowInfo();
    QTRY_VERIFY_WITH_TIMEOUT(feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible(),
                             20000);
    feldan::testing::Child<QPushButton>(info, "closeButton")->click();
    QVERIFY(!info->isVisible());
    info->SetStepInterval(60000);
    w.Get<QAction>("infoAction")->trigger();
    QVERIFY(info->isVisible());
    QVERIFY(info->Scrolling());
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible());
}

void InfoWindowTest::infoWhileActiveRestartsTheScroll() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(0);
    w.form->ShowInfo();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY(info->CurrentStep() >= 30);
    info->SetStepInterval(60000);
    w.form->ShowInfo();
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(info->Scrolling());
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible());
}

void InfoWindowTest::reactivationRestartsTheScroll() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(0);
    w.form->ShowInfo();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY_WITH_TIMEOUT(feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible(),
                             20000);
    // Switching to the main window and back starts the credits again.
    w.form->activateWindow();
    QTRY_VERIFY(w.form->isActiveWindow());
    info->SetStepInterval(60000);
    info->activateWindow();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY(info->Scrolling());
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(!feldan::testing::Child<QPushButton>(info, "closeButton")->isVisible());
}

void InfoWindowTest::mainWindowCalculatesDuringTheScroll() {
    WindowUnderTest w;
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(20);
    w.form->ShowInfo();
    QVERIFY(info->Scrolling());
    w.Get<QAction>("calculateAction")->trigger();
    QCOMPARE(w.Series(0)->count(), 2543);
    QCOMPARE(w.MemoLines().size(), 5);
    w.Get<QAction>("legendAction")->trigger();
    QVERIFY(!w.Get<QAction>("legendAction")->isChecked());
    // The scroll goes on afterwards.
    QVERIFY(info->Scrolling());
    const int step = info->CurrentStep();
    QTRY_VERIFY(info->CurrentStep() > step);
}

void InfoWindowTest::closingTheMainWindowEndsEverything() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    InfoWindow* info = w.Get<feldan::InfoWindow>("InfoWindow");
    info->SetStepInterval(20);
    // Inside the application's own event loop: the credits start, then "Выход" is chosen in
    // the middle of the scroll. The loop must end by itself; the guard only stops a broken run.
    bool guardFired = false;
    QTimer::singleShot(0, w.form.get(), [&] { w.form->ShowInfo(); });
    QTimer::singleShot(100, w.form.get(), [&] {
        QVERIFY(info->Scrolling());
        w.Get<QAction>("exitAction")->trigger();
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [&] {
        guardFired = true;
        QApplication::quit();
    });
    guard.start(30000);
    QApplication::exec();
    QVERIFY(!guardFired);
    QVERIFY(!w.form->isVisible());
    QVERIFY(!info->isVisible());
    QVERIFY(!info->Scrolling());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }
}

QTEST_MAIN(InfoWindowTest)
#include "info_window_test.moc"
