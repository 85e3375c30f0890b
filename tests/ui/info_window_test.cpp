// The information window: its look, the scroll driven by a timer, the close button, and the
// main window staying usable while the credits run.
#include <QAction>
#include <QFontMetrics>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ui/info_window.h"
#include "ui/window_style.h"
#include "ui_test_support.h"

using feldan::TForm2;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

// The scroll's last step from the text height of Arial bold 11 pixels: N = 12·h + 100.
int ExpectedLastStep() {
    return 12 * QFontMetrics(feldan::ArialFont(11, true)).height() + 100;
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
    void scrollPaintsTextWhileRunningAndEndsBlank();
    void closingHidesTheWindow();
    void infoAgainStartsANewScroll();
    void infoWhileActiveRestartsTheScroll();
    void reactivationRestartsTheScroll();
    void mainWindowCalculatesDuringTheScroll();
    void closingTheMainWindowEndsEverything();
};

void InfoWindowTest::windowIsCreatedHiddenWithItsLook() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
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
    QCOMPARE(info->PaintBox1->geometry(), QRect(4, 4, 328, 229));
    QCOMPARE(info->BitBtn1->geometry(), QRect(220, 200, 101, 29));
    QCOMPARE(info->BitBtn1->text(), QStringLiteral("&Close"));
    QVERIFY(!info->BitBtn1->icon().isNull());
    QVERIFY(!info->BitBtn1->isVisibleTo(info));
    QCOMPARE(info->StepInterval(), 5);
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
    QCOMPARE(text(0), Utf8("ВЕРСИЯ 6.1.8.1.d") + QString(15, QLatin1Char(' ')));
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
    TForm2* info = w.form->Form2;
    info->SetStepInterval(50);
    w.form->Info->trigger();
    QVERIFY(info->isVisible());
    QTRY_VERIFY(info->isActiveWindow());
    QVERIFY(info->Scrolling());
    QVERIFY(!info->BitBtn1->isVisible());
    QVERIFY(info->CurrentStep() < 10);
}

void InfoWindowTest::closeButtonAppearsAtTheEndOfTheScroll() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(0);
    QSignalSpy finished(info, &TForm2::ScrollFinished);
    w.form->InfoClick();
    QVERIFY(!info->BitBtn1->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(info->BitBtn1->isVisible(), 20000);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!info->Scrolling());
    QCOMPARE(info->CurrentStep(), ExpectedLastStep());
}

void InfoWindowTest::scrollPaintsTextWhileRunningAndEndsBlank() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(60000);  // the test takes the steps itself
    w.form->InfoClick();
    QCOMPARE(info->PaintBox1->ShownStep(), 0);
    for (int i = 0; i < 60; ++i)
        info->ScrollStep();
    QCOMPARE(info->CurrentStep(), 60);
    QCOMPARE(info->PaintBox1->ShownStep(), 60);
    const QImage middle = info->PaintBox1->grab().toImage();
    QVERIFY(DarkPixels(middle) > 200);
    // The text has risen: the top rows hold the version line now, at step 0 they were empty.
    QVERIFY(DarkPixels(middle.copy(0, 30, middle.width(), 30)) > 20);
    while (info->Scrolling())
        info->ScrollStep();
    QVERIFY(info->BitBtn1->isVisible());
    QCOMPARE(DarkPixels(info->PaintBox1->grab().toImage()), 0);
}

void InfoWindowTest::closingHidesTheWindow() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(0);
    w.form->InfoClick();
    QTRY_VERIFY_WITH_TIMEOUT(info->BitBtn1->isVisible(), 20000);
    QPointer<TForm2> alive(info);
    QTest::mouseClick(info->BitBtn1, Qt::LeftButton);
    QVERIFY(!info->isVisible());
    QVERIFY(!alive.isNull());
    QVERIFY(!info->Scrolling());
}

void InfoWindowTest::infoAgainStartsANewScroll() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(0);
    w.form->InfoClick();
    QTRY_VERIFY_WITH_TIMEOUT(info->BitBtn1->isVisible(), 20000);
    info->BitBtn1->click();
    QVERIFY(!info->isVisible());
    info->SetStepInterval(60000);
    w.form->Info->trigger();
    QVERIFY(info->isVisible());
    QVERIFY(info->Scrolling());
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(!info->BitBtn1->isVisible());
}

void InfoWindowTest::infoWhileActiveRestartsTheScroll() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(0);
    w.form->InfoClick();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY(info->CurrentStep() >= 30);
    info->SetStepInterval(60000);
    w.form->InfoClick();
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(info->Scrolling());
    QVERIFY(!info->BitBtn1->isVisible());
}

void InfoWindowTest::reactivationRestartsTheScroll() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    TForm2* info = w.form->Form2;
    info->SetStepInterval(0);
    w.form->InfoClick();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY_WITH_TIMEOUT(info->BitBtn1->isVisible(), 20000);
    // Switching to the main window and back starts the credits again.
    w.form->activateWindow();
    QTRY_VERIFY(w.form->isActiveWindow());
    info->SetStepInterval(60000);
    info->activateWindow();
    QTRY_VERIFY(info->isActiveWindow());
    QTRY_VERIFY(info->Scrolling());
    QCOMPARE(info->CurrentStep(), 0);
    QVERIFY(!info->BitBtn1->isVisible());
}

void InfoWindowTest::mainWindowCalculatesDuringTheScroll() {
    WindowUnderTest w;
    TForm2* info = w.form->Form2;
    info->SetStepInterval(20);
    w.form->InfoClick();
    QVERIFY(info->Scrolling());
    w.form->Calculate->trigger();
    QCOMPARE(w.Series(0)->count(), 2543);
    QCOMPARE(w.MemoLines().size(), 5);
    w.form->Legenda->trigger();
    QVERIFY(!w.form->Legenda->isChecked());
    // The scroll goes on afterwards.
    QVERIFY(info->Scrolling());
    const int step = info->CurrentStep();
    QTRY_VERIFY(info->CurrentStep() > step);
}

void InfoWindowTest::closingTheMainWindowEndsEverything() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    TForm2* info = w.form->Form2;
    info->SetStepInterval(20);
    // Inside the application's own event loop: the credits start, then "Выход" is chosen in
    // the middle of the scroll. The loop must end by itself; the guard only stops a broken run.
    bool guardFired = false;
    QTimer::singleShot(0, w.form.get(), [&] { w.form->InfoClick(); });
    QTimer::singleShot(100, w.form.get(), [&] {
        QVERIFY(info->Scrolling());
        w.form->Exit->trigger();
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
