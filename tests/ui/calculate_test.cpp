// "Расчет" through the main window: the curve in the chart, the result text, the overlay
// panels, warnings in message boxes, errors in the error box and the busy cursor.
#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <cmath>

#include "ui/widgets/hint_bar.h"
#include "ui/widgets/panel_bar.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

// The worked example of the default design: 2543 points from 0.596 to 3.138 kHz.
constexpr int DefaultPoints = 2543;
constexpr double FirstDetuningKHz = 0.596;
constexpr double LastDetuningKHz = 3.138;

QString StatusSummary(const WindowUnderTest& w, int curve) {
    return Utf8("АЧХ%1: ").arg(curve) +
           QString::fromStdString(w.form->Document().LastResult().synthesis.PrototypeName) +
           w.Get<QLineEdit>("dfEdit")->text() + QStringLiteral("; ");
}

}  // namespace

class CalculateTest : public QObject {
    Q_OBJECT

  private slots:
    void defaultDesignDrawsItsCurveAndSummary_data();
    void defaultDesignDrawsItsCurveAndSummary();
    void curveArrivesInOneCall();
    void overlayFillsFiveSeriesAndStartsAgain();
    void overlayOffReplacesOnlyTheFirstCurve();
    void refusedCalculationChangesNothingButTheMessage();
    void warningsAreShownInMessageBoxes_data();
    void warningsAreShownInMessageBoxes();
    void busyCursorIsOnDuringTheCommandOnly();
    void conversionErrorsGoToTheErrorBox_data();
    void conversionErrorsGoToTheErrorBox();
};

void CalculateTest::defaultDesignDrawsItsCurveAndSummary_data() {
    QTest::addColumn<char>("separator");
    QTest::newRow("decimal point") << '.';
    QTest::newRow("decimal comma") << ',';
}

void CalculateTest::defaultDesignDrawsItsCurveAndSummary() {
    QFETCH(char, separator);
    WindowUnderTest w(separator);
    w.Get<QAction>("calculateAction")->trigger();
    QVERIFY(w.dialogs->warnings.isEmpty());
    QVERIFY(w.dialogs->errors.isEmpty());

    QLineSeries* series = w.Series(0);
    QCOMPARE(series->count(), DefaultPoints);
    const QList<QPointF> points = series->points();
    // Detuning in kHz of whole hertz steps: exact to far better than a micro-kilohertz.
    QVERIFY(std::abs(points.front().x() - FirstDetuningKHz) < 1e-9);
    QVERIFY(std::abs(points.back().x() - LastDetuningKHz) < 1e-9);
    for (qsizetype i = 1; i < points.size(); ++i)
        QVERIFY(points[i].x() > points[i - 1].x());
    for (int i = 1; i < feldan::SeriesCount; ++i)
        QCOMPARE(w.Series(i)->count(), 0);

    const QString sep{QLatin1Char(separator)};
    const QStringList lines = w.AllMemoLines();
    // The summary, then after an empty line the caution of a band 18 % narrower than asked and
    // the builder's figures.
    QCOMPARE(lines.size(), 10);
    QVERIFY(lines[5].isEmpty());
    QVERIFY(lines[6].startsWith(Utf8("полоса вышла 2543 Гц")));
    QVERIFY(lines[7].startsWith(Utf8("Полоса: −3 дБ 2543 Гц; −6 дБ ")));
    QCOMPARE(w.Get<feldan::HintBar>("hintStatusBar")->PanelText(0), lines[6]);
    QVERIFY(lines[0].startsWith(Utf8("Rвх=")));
    QVERIFY(lines[1].startsWith(QStringLiteral("C1=C5=")));
    QVERIFY(lines[2].startsWith(QStringLiteral("C3=")));
    QCOMPARE(lines[3], Utf8("Амин=0") + sep + Utf8("802 дБ; F(Амин)=Fo+1762 Гц;"));
    QCOMPARE(lines[4], Utf8("A(Fo)=-12") + sep + Utf8("05 дБ; dF(-3 дБ)=2543 Гц."));
    for (QTextBlock block = w.Get<QTextEdit>("resultText")->document()->begin(); block.isValid();
         block = block.next()) {
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    // Without overlay no status panel is written.
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(i).isEmpty());
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void CalculateTest::curveArrivesInOneCall() {
    WindowUnderTest w;
    QSignalSpy replaced(w.Series(0), &QXYSeries::pointsReplaced);
    QSignalSpy added(w.Series(0), &QXYSeries::pointAdded);
    w.form->CalculateDesign();
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(added.count(), 0);
}

void CalculateTest::overlayFillsFiveSeriesAndStartsAgain() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    for (int curve = 1; curve <= 5; ++curve) {
        w.form->CalculateDesign();
        for (int i = 0; i < feldan::SeriesCount; ++i) {
            const bool drawn = i < curve;
            QCOMPARE(w.Series(i)->count(), drawn ? DefaultPoints : 0);
            QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(i),
                     drawn ? StatusSummary(w, i + 1) : QString());
        }
    }
    QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(4).startsWith(Utf8("АЧХ5: ")));
    // The sixth clears everything and draws the first curve again.
    w.form->CalculateDesign();
    QCOMPARE(w.Series(0)->count(), DefaultPoints);
    QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(0), StatusSummary(w, 1));
    for (int i = 1; i < feldan::SeriesCount; ++i) {
        QCOMPARE(w.Series(i)->count(), 0);
        QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(i).isEmpty());
    }
    QVERIFY(w.dialogs->warnings.isEmpty());
}

void CalculateTest::overlayOffReplacesOnlyTheFirstCurve() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    for (int i = 0; i < 3; ++i)
        w.form->CalculateDesign();
    const QString thirdPanel = w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(2);
    w.Get<QAction>("overlayAction")->trigger();
    QVERIFY(!w.Get<QAction>("overlayAction")->isChecked());
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    w.form->CalculateDesign();
    // Replaced, not added to: a narrower band gives fewer points than the first curve had.
    QVERIFY(w.Series(0)->count() > 0);
    QVERIFY(w.Series(0)->count() < DefaultPoints);
    QCOMPARE(w.Series(1)->count(), DefaultPoints);
    QCOMPARE(w.Series(2)->count(), DefaultPoints);
    QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(2), thirdPanel);
}

void CalculateTest::refusedCalculationChangesNothingButTheMessage() {
    WindowUnderTest w;
    w.Get<QAction>("overlayAction")->trigger();
    w.form->CalculateDesign();
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    w.form->CalculateDesign();
    const QString result = w.Get<QTextEdit>("resultText")->toPlainText();
    const QString secondPanel = w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(1);
    const int secondPoints = w.Series(1)->count();
    QVERIFY(secondPoints > 0);
    // A typing slip, a level the design cannot take, and a resonator the synthesis refuses:
    // each is told, and the two curves, their panels and the result text stay.
    struct Slip {
        const char* field;
        const char* text;
    };
    const QList<QList<Slip>> slips = {{{"foEdit", ""}},
                                      {{"levelEdit", "0"}},
                                      {{"rdEdit", "5000"}, {"ldEdit", "100000"}},
                                      {{"ldEdit", "abc"}}};
    for (const QList<Slip>& slip : slips) {
        const feldan::InputTexts before = w.form->Document().Design().texts;
        for (const Slip& s : slip)
            w.Get<QLineEdit>(s.field)->setText(QString::fromUtf8(s.text));
        const qsizetype messages = w.dialogs->warnings.size() + w.dialogs->errors.size();
        w.form->CalculateDesign();
        QCOMPARE(w.dialogs->warnings.size() + w.dialogs->errors.size(), messages + 1);
        QCOMPARE(w.Series(0)->count(), DefaultPoints);
        QCOMPARE(w.Series(1)->count(), secondPoints);
        QCOMPARE(w.Series(2)->count(), 0);
        QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(1), secondPanel);
        QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(2).isEmpty());
        QCOMPARE(w.Get<QTextEdit>("resultText")->toPlainText(), result);
        w.form->Document().SetTexts(before);
    }
    // The next good calculation takes the third place.
    w.form->CalculateDesign();
    QCOMPARE(w.Series(2)->count(), secondPoints);
    QCOMPARE(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(2), StatusSummary(w, 3));
}

void CalculateTest::warningsAreShownInMessageBoxes_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString missing = Utf8(" Необходимо задать все данные для расчета ! ");
    for (const char* field : {"foEdit", "dfEdit", "ldEdit", "csEdit", "rdEdit", "ckEdit"})
        QTest::addRow("empty %s", field) << QString::fromLatin1(field) << QString() << missing;
    QTest::newRow("zero Rd") << "rdEdit"
                             << "0"
                             << Utf8(" Активное сопротивление должно быть\n") +
                                    QString(12, QLatin1Char(' ')) + Utf8("отлично от нуля ! ");
    QTest::newRow("empty level") << "levelEdit"
                                 << "" << Utf8(" Задайте уровень АЧХ ! ");
    QTest::newRow("level zero") << "levelEdit"
                                << "0" << Utf8(" Уровень АЧХ задан не корректно ! ");
}

void CalculateTest::warningsAreShownInMessageBoxes() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    WindowUnderTest w;
    w.form->CalculateDesign();
    const QString earlier = w.Get<QTextEdit>("resultText")->toPlainText();
    QVERIFY(!earlier.isEmpty());
    w.form->findChild<QLineEdit*>(field)->setText(text);
    w.form->CalculateDesign();
    QCOMPARE(w.dialogs->warnings, QStringList{message});
    QVERIFY(w.dialogs->errors.isEmpty());
    // The message is the only change: the curve and the summary of the last design stay.
    QCOMPARE(w.Series(0)->count(), DefaultPoints);
    QCOMPARE(w.Get<QTextEdit>("resultText")->toPlainText(), earlier);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

namespace {

// Notes the cursor shape at the moment a warning box comes up.
class CursorNotingDialogs : public feldan::testing::RecordingDialogs {
  public:
    void Warning(const QString& text) override {
        cursorsAtWarning.append(
            QApplication::overrideCursor() ? int(QApplication::overrideCursor()->shape()) : -1);
        RecordingDialogs::Warning(text);
    }
    QList<int> cursorsAtWarning;
};

}  // namespace

void CalculateTest::busyCursorIsOnDuringTheCommandOnly() {
    WindowUnderTest w;
    auto owned = std::make_unique<CursorNotingDialogs>();
    CursorNotingDialogs* dialogs = owned.get();
    w.form->SetDialogService(std::move(owned));
    w.Get<QLineEdit>("levelEdit")->clear();  // stops after the design run
    w.form->CalculateDesign();
    // The box waits for the user, so the busy cursor is gone before it comes up.
    QCOMPARE(dialogs->cursorsAtWarning, QList<int>{-1});
    QVERIFY(QApplication::overrideCursor() == nullptr);
    w.Get<QLineEdit>("levelEdit")->setText(QStringLiteral("-3"));
    w.form->CalculateDesign();
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void CalculateTest::conversionErrorsGoToTheErrorBox_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");  // the field as the box names it
    QTest::newRow("two separators in Fo") << "foEdit"
                                          << "1.2.3" << Utf8("Fo(кГц)");
    QTest::newRow("letters in Ld") << "ldEdit"
                                   << "abc" << Utf8("Ld(мГн)");
    QTest::newRow("lone minus as level") << "levelEdit"
                                         << "-" << Utf8("Уровень АЧХ (дБ)");
    QTest::newRow("level with two minus signs") << "levelEdit"
                                                << "--3" << Utf8("Уровень АЧХ (дБ)");
    QTest::newRow("zero dF") << "dfEdit"
                             << "0" << Utf8("Полоса dF (Гц) должна быть больше 0");
}

void CalculateTest::conversionErrorsGoToTheErrorBox() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);
    WindowUnderTest w;
    auto* edit = w.form->findChild<QLineEdit*>(field);
    const QString original = edit->text();
    edit->setText(text);
    w.form->CalculateDesign();
    QVERIFY(w.dialogs->warnings.isEmpty());
    QCOMPARE(w.dialogs->errors.size(), 1);
    // The words the box has always had, then the field and its rule in the window's language.
    const QStringList lines = w.dialogs->errors[0].split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    if (text != QStringLiteral("0")) {
        QVERIFY2(lines[0].endsWith(QStringLiteral("' is not a valid floating point value")),
                 qPrintable(lines[0]));
        QVERIFY(lines[0].startsWith(QLatin1Char('\'')));
    }
    QVERIFY2(lines[1].contains(label), qPrintable(lines[1]));
    // The busy cursor does not outlive an abandoned command.
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(w.Series(0)->count(), 0);
    // The window stays usable: the next calculation on good data draws its curve.
    edit->setText(original);
    w.form->CalculateDesign();
    QCOMPARE(w.Series(0)->count(), DefaultPoints);
    QCOMPARE(w.dialogs->errors.size(), 1);
}

QTEST_MAIN(CalculateTest)
#include "calculate_test.moc"
