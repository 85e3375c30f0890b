#include "ui/analysis/time_views.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"
#include "files/sweep_csv.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"

namespace feldan {

namespace {

// The keying is drawn behind the responses, in grey.
const QColor KeyingColour(150, 150, 150);

// The share of a record that is drawn: its end holds what the transform wraps round.
constexpr double DrawnShare = 0.75;

struct Shown {
    QString name;
    std::optional<QColor> colour;
    TimeResponse response;
};

}  // namespace

DesignSource SourceOfDocument(const DesignDocument& document, const QString& name,
                              std::optional<QColor> colour) {
    return {name, [&document](CircuitChoice c) { return document.DesignedFilterOf(c); }, colour};
}

DesignSource SourceOfDesign(std::shared_ptr<const Designed> designed, const QString& name,
                            std::optional<QColor> colour) {
    return {name, [designed](CircuitChoice c) { return FilterOf(*designed, c); }, colour};
}

ChartQuantity TimeViews::QuantityOf(TimeView view) {
    ChartQuantity quantity{tr("Время (мс)"), QString(), QString(), tr("мс")};
    switch (view) {
        case TimeView::Step:
            quantity.yTitle = tr("Огибающая, доля установившейся");
            break;
        case TimeView::Impulse:
            quantity.yTitle = tr("Импульсная характеристика огибающей (1/мс)");
            quantity.yUnit = tr("1/мс");
            break;
        case TimeView::Keyed:
            quantity.yTitle = tr("Огибающая, доля несущей");
            break;
    }
    return quantity;
}

namespace {

TimeKind KindOf(TimeView view) {
    switch (view) {
        case TimeView::Step:
            return TimeKind::Step;
        case TimeView::Impulse:
            return TimeKind::Impulse;
        case TimeView::Keyed:
            return TimeKind::Keyed;
    }
    return TimeKind::Step;
}

std::vector<CurvePoint> PointsOf(const TimeResponse& response, const std::vector<double>& values) {
    std::vector<CurvePoint> points;
    points.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        points.push_back({double(i) * response.dtMs, values[i]});
    return points;
}

}  // namespace

NamedCurve TimeViews::CurveOf(TimeView view, const EnvelopeResponse& drawn,
                              const EnvelopeResponse& plain, const KeyingChoice& keying,
                              double shownMs, const QString& name, TransientFigures* figures) {
    TimeResponse response;
    response.plain = plain;
    response.drawn = drawn;
    response.window = keying.window;
    if (figures) response.figures = *figures;
    CurveInTime(response, {KindOf(view), keying.KeyingOf(TimeViewDots), keying.window, shownMs});
    if (figures) figures->interDotDb = response.figures.interDotDb;
    return NamedCurve{name, PointsOf(response, response.output), std::nullopt};
}

TimeCurves TimeViews::CurvesOf(TimeView view, std::span<const DesignSource> sources,
                               const KeyingChoice& keying, CircuitChoice circuit) {
    TimeCurves out;
    std::vector<Shown> shown;
    for (const DesignSource& source : sources) {
        DesignedFilter filter = source.filterOf(circuit);
        if (filter.design.outcome != Outcome::Done) {
            out.problems.append(source.name + QStringLiteral(": ") +
                                MessageShown(filter.design.message));
            continue;
        }
        TimeResponse response = EnvelopeInTime(filter, keying.window);
        if (response.problem.id != MessageId::None) {
            out.problems.append(source.name + QStringLiteral(": ") +
                                MessageShown(response.problem));
            continue;
        }
        shown.push_back({source.name, source.colour, std::move(response)});
    }
    if (shown.empty()) return out;

    // Long enough for the slowest to settle to −40 dB, and no longer than any record holds.
    double settleMs = 0, recordMs = INFINITY;
    for (const Shown& one : shown) {
        const EnvelopeResponse& plain = one.response.plain;
        settleMs =
            std::max(settleMs, one.response.figures.decay40Ms.value_or(plain.RecordSec() * 500));
        recordMs = std::min(recordMs, plain.RecordSec() * 1000 * DrawnShare);
    }
    const TimeRequest request{KindOf(view), keying.KeyingOf(TimeViewDots), keying.window, {}};
    out.shownMs = view == TimeView::Keyed ? request.keying.EndMs() + keying.riseMs + 1.5 * settleMs
                                          : std::min(1.5 * settleMs, recordMs);
    const TimeRequest span{request.kind, request.keying, request.window, out.shownMs};
    for (Shown& one : shown)
        CurveInTime(one.response, span);
    if (view == TimeView::Keyed) {
        const TimeResponse& first = shown.front().response;
        out.curves.push_back({tr("Манипуляция"), PointsOf(first, first.input), KeyingColour});
    }
    for (const Shown& one : shown) {
        out.curves.push_back({one.name, PointsOf(one.response, one.response.output), one.colour});
        out.rows.push_back({one.name, one.response.figures});
    }
    return out;
}

QString TimeViews::FiguresHtml(std::span<const TimeFiguresRow> rows, bool keyedDots) {
    if (rows.empty()) return QString();
    const auto number = [](const std::optional<double>& value, int decimals) {
        return value && std::isfinite(*value) ? PlainNumber(*value, decimals) : QStringLiteral("—");
    };
    // Short heads, the decays under one heading: the table keeps to the chart's width.
    QStringList heads = {QString(),       tr("задержка, мс"), tr("фронт, мс"),
                         tr("выброс, %"), tr("−20 дБ, мс"),   tr("−40 дБ, мс")};
    if (keyedDots) heads.append(tr("провал, дБ"));
    const auto line = [](const QStringList& cells, bool head) {
        QString html = QStringLiteral("<tr>");
        for (qsizetype i = 0; i < cells.size(); ++i) {
            html += QStringLiteral("<td align=%1>&nbsp;%2%3%4</td>")
                        .arg(i == 0 ? QStringLiteral("left") : QStringLiteral("right"),
                             head ? QStringLiteral("<b>") : QString(), cells[i].toHtmlEscaped(),
                             head ? QStringLiteral("</b>") : QString());
        }
        return html + QStringLiteral("</tr>");
    };
    QString html = QStringLiteral("<table cellspacing=3 cellpadding=0>") +
                   QStringLiteral(
                       "<tr><td colspan=4></td><td colspan=2 align=center><b>%1</b>"
                       "</td></tr>")
                       .arg(tr("спад после отпускания").toHtmlEscaped()) +
                   line(heads, true);
    for (const TimeFiguresRow& row : rows) {
        const TransientFigures& f = row.figures;
        QStringList cells = {row.name,
                             number(f.delayMs, 3),
                             number(f.riseMs, 3),
                             number(f.overshootPct, 1),
                             number(f.decay20Ms, 3),
                             number(f.decay40Ms, 3)};
        if (keyedDots) cells.append(number(f.interDotDb, 1));
        html += line(cells, false);
    }
    return html + QStringLiteral("</table>");
}

std::string TimeViews::Csv(TimeView view, std::span<const NamedCurve> curves,
                           const std::string& extraName) {
    if (curves.empty()) return "time_ms\n";
    const std::string base = view == TimeView::Step      ? "step"
                             : view == TimeView::Impulse ? "impulse_per_ms"
                                                         : "output";
    const bool keyed = view == TimeView::Keyed;
    const std::size_t designs = curves.size() - (keyed ? 1 : 0) - (extraName.empty() ? 0 : 1);
    std::vector<TableColumn> columns = {{"time_ms", {}}};
    for (std::size_t c = 0; c < curves.size(); ++c) {
        std::string name;
        if (keyed && c == 0) {
            name = "input";
        } else if (!extraName.empty() && c + 1 == curves.size()) {
            name = extraName;
        } else {
            const std::size_t index = c - (keyed ? 1 : 0);
            name = designs > 1 ? base + "_" + std::to_string(index + 1) : base;
        }
        columns.push_back({name, {}});
    }
    // Every curve on the first one's times, on straight lines between its own points; empty
    // outside them.
    for (const CurvePoint& point : curves.front().points) {
        columns[0].values.push_back(point.x);
        for (std::size_t c = 0; c < curves.size(); ++c) {
            const std::vector<CurvePoint>& points = curves[c].points;
            const auto after =
                std::lower_bound(points.begin(), points.end(), point.x,
                                 [](const CurvePoint& p, double x) { return p.x < x; });
            std::optional<double> value;
            if (after != points.end() && after->x == point.x) {
                value = after->y;
            } else if (after != points.end() && after != points.begin()) {
                const CurvePoint& a = *(after - 1);
                value = a.y + (after->y - a.y) * (point.x - a.x) / (after->x - a.x);
            }
            columns[c + 1].values.push_back(value);
        }
    }
    return TableCsv(columns);
}

}  // namespace feldan
