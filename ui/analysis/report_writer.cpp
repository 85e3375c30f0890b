#include "ui/analysis/report_writer.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <array>

#include "circuit/topologies.h"
#include "engine/errors.h"
#include "engine/sweep.h"
#include "engine/synthesis.h"
#include "files/atomic_file.h"
#include "ui/analysis/analysis_views.h"
#include "ui/analysis/time_views.h"
#include "ui/build/parts_list.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/response_chart.h"
#include "ui/widgets/schematic.h"

namespace feldan {

void ReportWriter::ReportCommand(const Content& content) {
    QString chosen = dialogs_.GetSaveFileName(DialogFolder(), tr("документ PDF (*.pdf)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".pdf");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Write(buffer, content)) {
        dialogs_.Error(tr("Отчёт не удалось составить"));
        return;
    }
    try {
        WriteFileAtomically(LocalPath(chosen), std::string_view(bytes.constData(), bytes.size()));
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
    }
}

QStringList ReportWriter::CurveSummaryLines(const Content& content) {
    // The panels name their curves already ("АЧХ1: B04-3100;").
    QStringList lines;
    for (qsizetype i = 0; i < content.curveSummaries.size() && i < SeriesCount; ++i) {
        if (!content.curveSummaries[i].isEmpty()) lines.append(content.curveSummaries[i]);
    }
    return lines;
}

bool ReportWriter::Write(QIODevice& device, const Content& content) const {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(tr("Отчёт о расчёте фильтра"));
    writer.setCreator(QStringLiteral("Feldan"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    // The page is drawn in units of a thousandth of its width; fonts are sized in them too.
    constexpr double Width = 1000;
    const double scale = writer.width() / Width;
    painter.scale(scale, scale);
    const auto font = [](int size, bool bold, bool fixed = false) {
        QFont font = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                           : QFont(QStringLiteral("Arial"));
        font.setPixelSize(size);
        font.setBold(bold);
        return font;
    };
    double y = 0;
    const auto heading = [&](const QString& text) {
        painter.setFont(font(20, true));
        painter.drawText(QRectF(0, y, Width, 28), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 32;
    };
    const auto lines = [&](const QStringList& texts, double left, double top, bool fixed) {
        painter.setFont(font(15, false, fixed));
        double at = top;
        for (const QString& text : texts) {
            painter.drawText(QRectF(left, at, Width - left, 20), Qt::AlignLeft | Qt::AlignVCenter,
                             text);
            at += 19;
        }
        return at;
    };

    painter.setFont(font(28, true));
    painter.drawText(QRectF(0, 0, Width, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Отчёт о расчёте фильтра"));
    painter.setFont(font(15, false));
    const QString source =
        document_.Path().isEmpty() ? QString() : QFileInfo(document_.Path()).fileName();
    painter.drawText(QRectF(0, 40, Width, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     LanguageLocale().toString(QDate::currentDate(), QLocale::ShortFormat) +
                         (source.isEmpty() ? QString() : QStringLiteral("   ") + source));
    y = 76;
    const int circuit = CircuitOfDesign(document_.Design());

    // The inputs at the left, the parts at the right.
    const double top = y;
    heading(tr("Исходные данные"));
    const double inputsEnd = lines(content.inputs, 0, y, false);

    y = top;
    const double partsLeft = 470;
    painter.setFont(font(20, true));
    painter.drawText(QRectF(partsLeft, y, Width - partsLeft, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Детали схемы"));
    y += 32;
    QStringList parts;
    const DesignedFilter built = document_.DesignedFilterOf(CircuitChoice::Schematic);
    if (built.design.outcome == Outcome::Done) {
        for (const SchematicItem& item : DescriptorOf(built.design.synthesis.Circuit).schematic) {
            const QString label =
                QString::fromUtf8(item.label.data(), qsizetype(item.label.size()));
            if (item.kind != SchematicItemKind::Crystal) {
                parts.append(
                    tr("%1: %2 пФ").arg(label, LocaleNumber(built.values.CapPF[item.index], 5)));
                continue;
            }
            const Resonator& crystal = built.values.Crystal[item.index];
            QString text =
                tr("%1: Lm %2 мГн, Cm %3 фФ, Rm %4 Ом, C0 %5 пФ")
                    .arg(label, LocaleNumber(crystal.LmH * 1e3, 6),
                         LocaleNumber(crystal.CmF * 1e15, 6), LocaleNumber(crystal.RmOhm, 4),
                         LocaleNumber(crystal.C0F * 1e12, 4));
            if (crystal.TrimF > 0)
                text += tr(", подстройка %1 пФ").arg(LocaleNumber(crystal.TrimF * 1e12, 4));
            parts.append(text);
        }
        parts.append(
            built.portOhm == built.outputPortOhm
                ? tr("Нагрузка на входе и выходе: %1 Ом").arg(LocaleNumber(built.portOhm, 5))
                : tr("Нагрузка на входе %1 Ом, на выходе %2 Ом")
                      .arg(LocaleNumber(built.portOhm, 5), LocaleNumber(built.outputPortOhm, 5)));
    } else {
        parts.append(tr("Схема не рассчитана"));
    }
    painter.setFont(font(14, false));
    for (const QString& text : parts) {
        painter.drawText(QRectF(partsLeft, y, Width - partsLeft, 19),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 18;
    }
    y = std::max(y, inputsEnd) + 14;

    // The schematic, at four times its screen resolution.
    if (circuit != 0) {
        const QImage picture = DrawSchematic(circuit, 4);
        // A wide ladder is drawn smaller, so that it keeps within the page.
        const double width = std::min(SchematicWidthOf(circuit) * 1.6, double(Width));
        const double scale = width / SchematicWidthOf(circuit);
        const QRectF target((Width - width) / 2, y, width, SchematicHeight * scale);
        painter.drawImage(target, picture);
        y = target.bottom() + 14;
    }

    heading(tr("Результат расчёта"));
    QStringList result = WithLatinC(content.summary).split(QLatin1Char('\n'));
    if (content.summary.isEmpty()) result = {tr("Расчет не выполнен")};
    y = lines(result, 0, y, true) + 10;

    // The charts on a page of their own: the pass band as the window shows it, the group delay.
    writer.newPage();
    y = 0;
    const double pageHeight = writer.height() / scale;
    const QStringList summaries = CurveSummaryLines(content);
    const double chartHeight = (pageHeight - 2 * 36 - 20 - 19 * summaries.size()) / 2;
    const auto drawChart = [&](ResponseChart& chart, const QString& title) {
        heading(title);
        chart.setAttribute(Qt::WA_DontShowOnScreen);
        // Laid out at 70 % of the page's width, so that its labels read as on the screen.
        const QSize size(int(Width * 0.7), int(chartHeight * 0.7));
        chart.resize(size);
        chart.show();
        // The scene is drawn straight onto the page, in vectors and to the target's size.
        chart.scene()->render(&painter, QRectF(0, y, Width, chartHeight), QRectF(QPoint(), size));
        y += chartHeight + 20;
    };
    ResponseChart passBand;
    passBand.SetLegendVisible(chart_.LegendVisible());
    for (int position = 0; position < SeriesCount; ++position) {
        std::vector<CurvePoint> points;
        for (const QPointF& point : chart_.PassBandPoints(position))
            points.push_back({point.x(), point.y()});
        passBand.AddCurve(position, points);
        // The comparison's curves keep their own names.
        passBand.SetSeriesName(position, chart_.Series(position)->name());
    }
    for (TuningCurve which : {TuningCurve::Designed, TuningCurve::Tuned}) {
        std::vector<CurvePoint> points;
        for (const QPointF& point : chart_.TuningPoints(which))
            points.push_back({point.x(), point.y()});
        passBand.SetTuningCurve(which, points);
    }
    if (!content.measured.empty())
        passBand.SetMeasuredCurve(content.measuredName, content.measured);
    drawChart(passBand, tr("Полоса пропускания"));
    if (!summaries.isEmpty()) y = lines(summaries, 0, y - 14, false) + 10;

    ResponseChart delay;
    // The filter as built, as the analysis views show it.
    DesignedFilter asBuilt = document_.DesignedFilterOf(CircuitChoice::Schematic);
    if (asBuilt.design.outcome == Outcome::Done) {
        ShowGroupDelay(delay, SweepFilter(asBuilt, SweepRequest{}),
                       asBuilt.design.input.FoKHz * 1000);
    }
    drawChart(delay, tr("Групповая задержка"));

    // What to solder, on a page of its own: designed values, and the values in force.
    writer.newPage();
    y = 0;
    heading(tr("Детали для сборки"));
    const std::vector<PartsListRow> rows = PartsList::OfDocument(document_);
    const double columns[] = {0, 230, 600};
    const auto row = [&](const std::array<QString, 3>& cells) {
        for (int c = 0; c < 3; ++c) {
            const double right = c < 2 ? columns[c + 1] - 10 : Width;
            painter.drawText(QRectF(columns[c], y, right - columns[c], 20),
                             Qt::AlignLeft | Qt::AlignVCenter, cells[std::size_t(c)]);
        }
        y += 20;
    };
    painter.setFont(font(15, true));
    row({tr("Деталь"), tr("По расчёту"), tr("Ставить")});
    painter.setFont(font(15, false));
    for (const PartsListRow& part : rows)
        // Where nothing is rounded or tuned, the designed value is the one to solder.
        row({part.part, part.designed, part.solder.isEmpty() ? part.designed : part.solder});

    // The filter in time, as built: how a carrier switched on comes out, and its figures.
    writer.newPage();
    y = 0;
    const DesignSource design = SourceOfDocument(document_, tr("расчёт"));
    const TimeCurves step = TimeViews::CurvesOf(TimeView::Step, std::span(&design, 1),
                                                KeyingChoice{}, CircuitChoice::Schematic);
    ResponseChart time;
    time.SetLegendVisible(false);
    time.ShowQuantity(TimeViews::QuantityOf(TimeView::Step), step.curves);
    drawChart(time, tr("Переходная характеристика"));
    if (!step.rows.empty()) {
        const TransientFigures& f = step.rows.front().figures;
        const auto figure = [](const QString& name, const std::optional<double>& value,
                               int decimals, const QString& unit) {
            return name + QStringLiteral(": ") +
                   (value ? PlainNumber(*value, decimals) + unit : QStringLiteral("—"));
        };
        const QString ms = tr(" мс");
        y = lines({figure(tr("задержка до 50 %"), f.delayMs, 3, ms),
                   figure(tr("фронт 10–90 %"), f.riseMs, 3, ms),
                   figure(tr("выброс"), f.overshootPct, 1, tr(" %")),
                   figure(tr("спад до −20 дБ после отпускания"), f.decay20Ms, 3, ms),
                   figure(tr("спад до −40 дБ после отпускания"), f.decay40Ms, 3, ms)},
                  0, y - 14, false);
    }
    return painter.end();
}

}  // namespace feldan
