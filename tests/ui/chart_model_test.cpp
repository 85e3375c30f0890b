// The chart model: what is written into it by role is what the chart draws, whether the chart
// came before or after; a view leaves the pass band's curves in the model; the report's copy and
// the pass band's CSV give back what the chart draws.
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "ui/widgets/chart_model.h"
#include "ui/widgets/response_chart.h"
#include "ui_test_support.h"

using feldan::ChartModel;
using feldan::CurvePoint;
using feldan::ResponseChart;
using feldan::TuningCurve;

namespace {

const std::vector<CurvePoint> Hump = {{-1.5, -40}, {-0.5, -3}, {0, -1}, {0.5, -3}, {1.5, -40}};
const std::vector<feldan::NamedCurve> View = {{QStringLiteral("a"), Hump, {}},
                                              {QStringLiteral("b"), Hump, QColor(Qt::cyan)}};

bool Holds(const QLineSeries* series, const std::vector<CurvePoint>& points) {
    const QList<QPointF> shown = series->points();
    if (shown.size() != qsizetype(points.size())) return false;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (shown[qsizetype(i)] != QPointF(points[i].x, points[i].y)) return false;
    return true;
}

struct Role {
    const char* name;
    std::function<void(ChartModel&)> write;
    std::function<QLineSeries*(const ResponseChart&)> series;
};

const Role Roles[] = {
    {"overlay", [](ChartModel& m) { m.AddCurve(3, Hump); },
     [](const ResponseChart& c) { return c.Series(3); }},
    {"designed", [](ChartModel& m) { m.SetTuningCurve(TuningCurve::Designed, Hump); },
     [](const ResponseChart& c) { return c.TuningSeries(TuningCurve::Designed); }},
    {"tuned", [](ChartModel& m) { m.SetTuningCurve(TuningCurve::Tuned, Hump); },
     [](const ResponseChart& c) { return c.TuningSeries(TuningCurve::Tuned); }},
    {"measured", [](ChartModel& m) { m.SetMeasuredCurve(QStringLiteral("m.s2p"), Hump); },
     [](const ResponseChart& c) { return c.MeasuredSeries(); }},
    {"view", [](ChartModel& m) { m.ShowQuantity({}, View); },
     [](const ResponseChart& c) { return c.QuantitySeries(0); }},
};

}  // namespace

class ChartModelTest : public QObject {
    Q_OBJECT
  private slots:
    void everyRoleIsDrawn();
    void aViewKeepsThePassBand();
    void namesAndLegendEntriesAreDrawn();
    void theReportCopiesThePassBandOnly();
    void passBandCsvIsWhatTheChartDraws();
};

void ChartModelTest::everyRoleIsDrawn() {
    for (const Role& role : Roles) {
        ChartModel model;
        ResponseChart before(model);
        role.write(model);
        const ResponseChart after(model);
        QVERIFY2(Holds(role.series(before), Hump), role.name);
        QVERIFY2(Holds(role.series(after), Hump), role.name);
        QVERIFY2(role.series(after)->isVisible(), role.name);
    }
}

void ChartModelTest::aViewKeepsThePassBand() {
    ChartModel model;
    ResponseChart chart(model);
    model.AddCurve(0, Hump);
    model.ShowQuantity({}, View);
    QCOMPARE(chart.Series(0)->count(), 0);
    QVERIFY(!chart.ShowsPassBand());
    QCOMPARE(model.Curve(0).size(), Hump.size());
    // A curve without a colour of its own takes its position's.
    QCOMPARE(chart.QuantitySeries(0)->pen().color(), feldan::QuantityColour(0));
    QCOMPARE(chart.QuantitySeries(1)->pen().color(), QColor(Qt::cyan));
    model.ShowPassBand();
    QVERIFY(Holds(chart.Series(0), Hump));
    QCOMPARE(chart.QuantitySeries(0)->count(), 0);
}

void ChartModelTest::namesAndLegendEntriesAreDrawn() {
    ChartModel model;
    ResponseChart chart(model);
    const auto marker = [&] { return chart.chart()->legend()->markers(chart.Series(1)).front(); };
    // The legend names a curve named after it was drawn (a comparison's), not by its number.
    model.AddCurve(1, Hump);
    model.SetCurveName(1, QStringLiteral("set"));
    QCOMPARE(chart.Series(1)->name(), QStringLiteral("set"));
    QCOMPARE(marker()->label(), QStringLiteral("set"));
    model.SetCurveName(1, QString());
    QCOMPARE(marker()->label(), QString::fromUtf8("АЧХ2"));
    QVERIFY(marker()->isVisible());
    model.SetLegendEntryShown(1, false);
    QVERIFY(!marker()->isVisible());
    model.SetLegendVisible(false);
    QVERIFY(!chart.LegendVisible());
}

void ChartModelTest::theReportCopiesThePassBandOnly() {
    ChartModel shown;
    shown.AddCurve(2, Hump);
    shown.SetCurveName(2, QStringLiteral("set"));
    shown.SetTuningCurve(TuningCurve::Tuned, Hump);
    shown.SetLegendVisible(false);
    shown.SetMeasuredCurve(QStringLiteral("m.s2p"), Hump);
    shown.ShowQuantity({}, View);
    ChartModel copy;
    copy.CopyPassBandOf(shown);
    QCOMPARE(copy.Curve(2).size(), Hump.size());
    QCOMPARE(copy.CurveName(2), QStringLiteral("set"));
    QCOMPARE(copy.Tuning(TuningCurve::Tuned).size(), Hump.size());
    QVERIFY(!copy.LegendVisible());
    QVERIFY(copy.ShowsPassBand());
    QVERIFY(copy.Measured().empty());
}

// Two overlaid calculations, a view and back: the table has each curve as the chart draws it.
void ChartModelTest::passBandCsvIsWhatTheChartDraws() {
    feldan::testing::WindowUnderTest w;
    w.Trigger("overlayAction");
    w.Calculate();
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2000"));
    w.Calculate();
    w.form->Views().ShowView(feldan::AnalysisView::GroupDelay);
    w.form->Views().ShowView(feldan::AnalysisView::PassBand);
    const QList<QByteArray> rows =
        QByteArray::fromStdString(w.form->Views().ViewCsv()).trimmed().split('\n');
    std::array<QList<QPointF>, feldan::SeriesCount> read;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QList<QByteArray> cells = rows[i].split(',');
        read[std::size_t(cells[0].toInt() - 1)].append({cells[1].toDouble(), cells[2].toDouble()});
    }
    QVERIFY(!read[0].isEmpty() && !read[1].isEmpty());
    for (int position = 0; position < feldan::SeriesCount; ++position)
        QCOMPARE(read[std::size_t(position)], w.Series(position)->points());
}

QTEST_MAIN(ChartModelTest)
#include "chart_model_test.moc"
