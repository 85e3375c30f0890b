#include "ui/analysis/report_writer.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGraphicsScene>
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
#include "ui/assembly/parts_list.h"
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

// The page being drawn, in units of a thousandth of its width (fonts are sized in them too), and
// how far down it is drawn.
struct ReportPage {
    static constexpr double Width = 1000;

    ReportPage(QPdfWriter& writer, QPainter& painter)
        : writer(writer), painter(painter), scale(writer.width() / Width) {
        painter.scale(scale, scale);
    }

    static QFont Font(int size, bool bold, bool fixed = false) {
        QFont font = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                           : QFont(QStringLiteral("Arial"));
        font.setPixelSize(size);
        font.setBold(bold);
        return font;
    }
    void NewPage() {
        writer.newPage();
        y = 0;
    }
    double Height() const { return writer.height() / scale; }
    void Heading(const QString& text) {
        painter.setFont(Font(20, true));
        painter.drawText(QRectF(0, y, Width, 28), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 32;
    }
    // Lines of text from `top` down, `left` of the page; where they end.
    double Lines(const QStringList& texts, double left, double top, bool fixed) {
        painter.setFont(Font(15, false, fixed));
        double at = top;
        for (const QString& text : texts) {
            painter.drawText(QRectF(left, at, Width - left, 20), Qt::AlignLeft | Qt::AlignVCenter,
                             text);
            at += 19;
        }
        return at;
    }
    // A chart under its title, `height` tall and as wide as the page.
    void Chart(ResponseChart& chart, const QString& title, double height) {
        Heading(title);
        chart.setAttribute(Qt::WA_DontShowOnScreen);
        // Laid out at 70 % of the page's width, so that its labels read as on the screen.
        const QSize size(int(Width * 0.7), int(height * 0.7));
        chart.resize(size);
        chart.show();
        // The scene is drawn straight onto the page, in vectors and to the target's size.
        chart.scene()->render(&painter, QRectF(0, y, Width, height), QRectF(QPoint(), size));
        y += height + 20;
    }

    QPdfWriter& writer;
    QPainter& painter;
    const double scale;
    double y = 0;
};

bool ReportWriter::Write(QIODevice& device, const Content& content) const {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(tr("Отчёт о расчёте фильтра"));
    writer.setCreator(QStringLiteral("Feldan"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    ReportPage page(writer, painter);
    DrawDesign(page, content);
    // The charts on a page of their own: the pass band as the window shows it, the group delay.
    page.NewPage();
    const double chartHeight =
        (page.Height() - 2 * 36 - 20 - 19 * CurveSummaryLines(content).size()) / 2;
    DrawCharts(page, content, chartHeight);
    // What to solder, on a page of its own: designed values, and the values in force.
    page.NewPage();
    DrawPartsToSolder(page);
    if (!content.diagnosis.isEmpty()) {
        // Paragraphs wrapped to the page: the diagnosis speaks in sentences.
        page.y += 14;
        page.Heading(tr("Что построено"));
        painter.setFont(ReportPage::Font(14, false));
        for (const QString& paragraph : content.diagnosis.split(QLatin1Char('\n'))) {
            const QRectF box = painter.boundingRect(QRectF(0, page.y, ReportPage::Width, 1000),
                                                    Qt::TextWordWrap, paragraph);
            painter.drawText(box, Qt::TextWordWrap, paragraph);
            page.y = box.bottom() + 2;
        }
    }
    // The filter in time, as built: how a carrier switched on comes out, and its figures.
    page.NewPage();
    DrawStepResponse(page, chartHeight);
    return painter.end();
}

void ReportWriter::DrawDesign(ReportPage& page, const Content& content) const {
    constexpr double Width = ReportPage::Width;
    QPainter& painter = page.painter;
    painter.setFont(ReportPage::Font(28, true));
    painter.drawText(QRectF(0, 0, Width, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Отчёт о расчёте фильтра"));
    painter.setFont(ReportPage::Font(15, false));
    const QString source =
        document_.Path().isEmpty() ? QString() : QFileInfo(document_.Path()).fileName();
    painter.drawText(QRectF(0, 40, Width, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     LanguageLocale().toString(QDate::currentDate(), QLocale::ShortFormat) +
                         (source.isEmpty() ? QString() : QStringLiteral("   ") + source));
    page.y = 76;
    const int circuit = CircuitOfDesign(document_.Design());

    // The inputs at the left, the parts at the right.
    const double top = page.y;
    page.Heading(tr("Исходные данные"));
    const double inputsEnd = page.Lines(content.inputs, 0, page.y, false);

    page.y = top;
    const double partsLeft = 470;
    painter.setFont(ReportPage::Font(20, true));
    painter.drawText(QRectF(partsLeft, page.y, Width - partsLeft, 28),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Детали схемы"));
    page.y += 32;
    painter.setFont(ReportPage::Font(14, false));
    for (const QString& text : SchematicParts()) {
        painter.drawText(QRectF(partsLeft, page.y, Width - partsLeft, 19),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        page.y += 18;
    }
    page.y = std::max(page.y, inputsEnd) + 14;

    // The schematic, at four times its screen resolution.
    if (circuit != 0) {
        const QImage picture = DrawSchematic(circuit, 4);
        // A wide ladder is drawn smaller, so that it keeps within the page.
        const double width = std::min(SchematicWidthOf(circuit) * 1.6, Width);
        const double scale = width / SchematicWidthOf(circuit);
        const QRectF target((Width - width) / 2, page.y, width, SchematicHeight * scale);
        painter.drawImage(target, picture);
        page.y = target.bottom() + 14;
    }

    page.Heading(tr("Результат расчёта"));
    QStringList result = WithLatinC(content.summary).split(QLatin1Char('\n'));
    if (content.summary.isEmpty()) result = {tr("Расчет не выполнен")};
    page.y = page.Lines(result, 0, page.y, true) + 10;
}

QStringList ReportWriter::SchematicParts() const {
    QStringList parts;
    const DesignedFilter built = document_.DesignedFilterOf(CircuitChoice::Schematic);
    if (built.design.outcome == Outcome::Done) {
        for (const SchematicItem& item : DescriptorOf(built.design.synthesis.Circuit).schematic) {
            const QString label =
                QString::fromUtf8(item.label.data(), qsizetype(item.label.size()));
            if (IsCapacitorItem(item.kind)) {
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
    return parts;
}

void ReportWriter::DrawCharts(ReportPage& page, const Content& content, double chartHeight) const {
    const QStringList summaries = CurveSummaryLines(content);
    // The pass band of the window's chart, also while a view is shown there, with the measured
    // filter's pass band.
    ChartModel passBandCurves;
    passBandCurves.CopyPassBandOf(chart_);
    if (!content.measured.empty())
        passBandCurves.SetMeasuredCurve(content.measuredName, content.measured);
    ResponseChart passBand(passBandCurves);
    page.Chart(passBand, tr("Полоса пропускания"), chartHeight);
    if (!summaries.isEmpty()) page.y = page.Lines(summaries, 0, page.y - 14, false) + 10;

    ChartModel delay;
    // The filter as built, as the analysis views show it.
    DesignedFilter asBuilt = document_.DesignedFilterOf(CircuitChoice::Schematic);
    if (asBuilt.design.outcome == Outcome::Done) {
        ShowGroupDelay(delay, SweepFilter(asBuilt, SweepRequest{}),
                       asBuilt.design.input.FoKHz * 1000);
    }
    ResponseChart delayChart(delay);
    page.Chart(delayChart, tr("Групповая задержка") + PartsInForce(), chartHeight);
}

QString ReportWriter::PartsInForce() const {
    const QString parts = document_.PartsInForceText();
    return parts.isEmpty() ? parts : QStringLiteral(" · ") + parts;
}

void ReportWriter::DrawPartsToSolder(ReportPage& page) const {
    QPainter& painter = page.painter;
    page.Heading(tr("Детали для сборки"));
    const std::vector<PartsListRow> rows = PartsList::OfDocument(document_);
    const double columns[] = {0, 230, 600};
    const auto row = [&](const std::array<QString, 3>& cells) {
        for (int c = 0; c < 3; ++c) {
            const double right = c < 2 ? columns[c + 1] - 10 : ReportPage::Width;
            painter.drawText(QRectF(columns[c], page.y, right - columns[c], 20),
                             Qt::AlignLeft | Qt::AlignVCenter, cells[std::size_t(c)]);
        }
        page.y += 20;
    };
    painter.setFont(ReportPage::Font(15, true));
    row({tr("Деталь"), tr("По расчёту"), tr("Ставить")});
    painter.setFont(ReportPage::Font(15, false));
    for (const PartsListRow& part : rows)
        // Where nothing is rounded or tuned, the designed value is the one to solder.
        row({part.part, part.designed, part.solder.isEmpty() ? part.designed : part.solder});
}

void ReportWriter::DrawStepResponse(ReportPage& page, double chartHeight) const {
    const DesignSource design = SourceOfDocument(document_, tr("расчёт"));
    const TimeCurves step = TimeViews::CurvesOf(TimeView::Step, std::span(&design, 1),
                                                KeyingChoice{}, CircuitChoice::Schematic);
    ChartModel stepCurves;
    stepCurves.SetLegendVisible(false);
    stepCurves.ShowQuantity(TimeViews::QuantityOf(TimeView::Step), step.curves);
    ResponseChart time(stepCurves);
    page.Chart(time, tr("Переходная характеристика") + PartsInForce(), chartHeight);
    if (!step.rows.empty()) {
        const TransientFigures& f = step.rows.front().figures;
        const auto figure = [](const QString& name, const std::optional<double>& value,
                               int decimals, const QString& unit) {
            return name + QStringLiteral(": ") +
                   (value ? PlainNumber(*value, decimals) + unit : QStringLiteral("—"));
        };
        const QString ms = tr(" мс");
        page.y = page.Lines({figure(tr("задержка до 50 %"), f.delayMs, 3, ms),
                             figure(tr("фронт 10–90 %"), f.riseMs, 3, ms),
                             figure(tr("выброс"), f.overshootPct, 1, tr(" %")),
                             figure(tr("спад до −20 дБ после отпускания"), f.decay20Ms, 3, ms),
                             figure(tr("спад до −40 дБ после отпускания"), f.decay40Ms, 3, ms)},
                            0, page.y - 14, false);
    }
}

}  // namespace feldan
