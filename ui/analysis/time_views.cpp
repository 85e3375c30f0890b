#include "ui/analysis/time_views.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/errors.h"
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
    EnvelopeResponse plain;
    EnvelopeResponse drawn;
    TransientFigures figures;
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

NamedCurve TimeViews::CurveOf(TimeView view, const EnvelopeResponse& drawn,
                              const EnvelopeResponse& plain, const KeyingChoice& keying,
                              double shownMs, const QString& name, TransientFigures* figures) {
    NamedCurve curve{name, {}, std::nullopt};
    const double dtMs = drawn.dtSec * 1000;
    const std::size_t drawnEnd = std::size_t(double(drawn.step.size()) * DrawnShare);
    const std::size_t samples = std::size_t(shownMs / dtMs) + 1;
    if (view == TimeView::Keyed) {
        const Keying keys = keying.KeyingOf(TimeViewDots);
        const KeyedResponse keyed = KeyedOutput(drawn, keys, samples);
        for (std::size_t i = 0; i < samples; ++i)
            curve.points.push_back({double(i) * dtMs, keyed.output[i]});
        if (figures && keying.pulseMs <= 0) {
            const KeyedResponse exact =
                &drawn == &plain
                    ? keyed
                    : KeyedOutput(plain, keys, std::size_t(shownMs / (plain.dtSec * 1000)) + 1);
            figures->interDotDb =
                InterMarkDb(exact, keys, plain.dtSec, figures->delayMs.value_or(0));
        }
        return curve;
    }
    for (std::size_t i = 0; i < std::min(samples, drawnEnd); ++i) {
        const double value =
            view == TimeView::Step ? std::abs(drawn.step[i]) : std::abs(drawn.impulse[i]) / 1000;
        curve.points.push_back({double(i) * dtMs, value});
    }
    return curve;
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
        try {
            const EnvelopeSpectrum spectrum = SpectrumOfFilter(filter);
            Shown one{source.name, source.colour, EnvelopeOf(spectrum), {}, {}};
            one.drawn = keying.window.kind == TransientWindow::None
                            ? one.plain
                            : EnvelopeOf(spectrum, keying.window);
            one.figures = StepFigures(one.plain);
            shown.push_back(std::move(one));
        } catch (const CommandError& error) {
            out.problems.append(source.name + QStringLiteral(": ") + MessageShown(error.message()));
        }
    }
    if (shown.empty()) return out;

    // Long enough for the slowest to settle to −40 dB, and no longer than any record holds.
    double settleMs = 0, recordMs = INFINITY;
    for (const Shown& one : shown) {
        settleMs = std::max(settleMs, one.figures.decay40Ms.value_or(one.plain.RecordSec() * 500));
        recordMs = std::min(recordMs, one.plain.RecordSec() * 1000 * DrawnShare);
    }
    const Keying keys = keying.KeyingOf(TimeViewDots);
    out.shownMs = view == TimeView::Keyed ? keys.EndMs() + keying.riseMs + 1.5 * settleMs
                                          : std::min(1.5 * settleMs, recordMs);
    if (view == TimeView::Keyed) {
        const double dtMs = shown.front().drawn.dtSec * 1000;
        const std::size_t samples = std::size_t(out.shownMs / dtMs) + 1;
        const KeyedResponse keyed = KeyedOutput(shown.front().drawn, keys, samples);
        NamedCurve input{tr("Манипуляция"), {}, KeyingColour};
        for (std::size_t i = 0; i < samples; ++i)
            input.points.push_back({double(i) * dtMs, keyed.input[i]});
        out.curves.push_back(std::move(input));
    }
    for (Shown& one : shown) {
        NamedCurve curve =
            CurveOf(view, one.drawn, one.plain, keying, out.shownMs, one.name, &one.figures);
        curve.colour = one.colour;
        out.curves.push_back(std::move(curve));
        out.rows.push_back({one.name, one.figures});
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
    std::string csv = "time_ms";
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
        csv += "," + name;
    }
    csv += "\n";
    for (const CurvePoint& point : curves.front().points) {
        csv += TableNumber(point.x);
        for (const NamedCurve& curve : curves) {
            csv += ",";
            const auto after =
                std::lower_bound(curve.points.begin(), curve.points.end(), point.x,
                                 [](const CurvePoint& p, double x) { return p.x < x; });
            if (after == curve.points.end()) continue;
            if (after->x == point.x || after == curve.points.begin()) {
                if (after->x == point.x) csv += TableNumber(after->y);
                continue;
            }
            const CurvePoint& a = *(after - 1);
            csv += TableNumber(a.y + (after->y - a.y) * (point.x - a.x) / (after->x - a.x));
        }
        csv += "\n";
    }
    return csv;
}

}  // namespace feldan
