#include "ui/analysis/analysis_views.h"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "engine/crystal_modes.h"
#include "engine/errors.h"
#include "files/sweep_csv.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/common/busy_cursor.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/ui_text.h"

namespace feldan {

namespace {

// The wide band reaches ten band widths either side of the band's middle, short of 0 Hz; the
// other views take the sweep's own span of three band widths.
SweepRequest RequestOf(AnalysisView view, const DesignedFilter& filter) {
    SweepRequest request;
    request.circuit = filter.circuit;
    if (view == AnalysisView::WideBand) {
        const Span span = SpanOf(filter, request);
        const double middleHz = (span.fromHz + span.toHz) / 2;
        const double wideHz = std::min(10 * (span.toHz - span.fromHz) / 6, 0.9 * middleHz);
        const double middleDetuningHz = middleHz - filter.design.input.FoKHz * 1000;
        request.fromDetuningHz = middleDetuningHz - wideHz;
        request.toDetuningHz = middleDetuningHz + wideHz;
        request.points = 4001;
    }
    return request;
}

// The columns of a view's table.
std::vector<SweepColumn> ColumnsOf(AnalysisView view) {
    switch (view) {
        case AnalysisView::WideBand:
            return {SweepColumn::S21Db};
        case AnalysisView::GroupDelay:
            return {SweepColumn::GroupDelaySec};
        case AnalysisView::ReturnLoss:
            return {SweepColumn::ReturnLossDb};
        case AnalysisView::Impedance:
            return {SweepColumn::ZinReOhm, SweepColumn::ZinImOhm};
        default:  // the pass band and the time views have no table of a sweep
            break;
    }
    return {};
}

// The values a view plots of a point: its table's columns, the delay in µs.
std::vector<double> ValuesOf(AnalysisView view, const SweepPoint& point) {
    std::vector<double> values;
    for (const SweepColumn column : ColumnsOf(view)) {
        const double scale = column == SweepColumn::GroupDelaySec ? 1e6 : 1;
        values.push_back(SweepValueOf(column, point) * scale);
    }
    return values;
}

// The titles, the readout unit and the curve names of a quantity view.
ChartQuantity QuantityOf(AnalysisView view) {
    ChartQuantity quantity{AnalysisViews::tr("Расстройка относительно Fo (кГц)"), QString(),
                           AnalysisViews::tr("дБ"), QString()};
    switch (view) {
        case AnalysisView::WideBand:
            quantity.yTitle = AnalysisViews::tr("Затухание (дБ)");
            quantity.floorsAtDepth = true;
            break;
        case AnalysisView::GroupDelay:
            quantity.yTitle = AnalysisViews::tr("Групповая задержка (мкс)");
            quantity.yUnit = AnalysisViews::tr("мкс");
            // A narrow filter delays by milliseconds: 4 ms reads better than 4000 µs.
            quantity.thousandfoldTitle = AnalysisViews::tr("Групповая задержка (мс)");
            quantity.thousandfoldUnit = AnalysisViews::tr("мс");
            break;
        case AnalysisView::ReturnLoss:
            quantity.yTitle = AnalysisViews::tr("Возвратные потери (дБ)");
            break;
        case AnalysisView::Impedance:
            quantity.yTitle = AnalysisViews::tr("Входное сопротивление (Ом)");
            quantity.yUnit = AnalysisViews::tr("Ом");
            break;
        default:  // the pass band and the time views have no table of a sweep
            break;
    }
    return quantity;
}

QStringList CurveNamesOf(AnalysisView view) {
    switch (view) {
        case AnalysisView::WideBand:
            return {QStringLiteral("|S21|")};
        case AnalysisView::GroupDelay:
            return {AnalysisViews::tr("Задержка")};
        case AnalysisView::ReturnLoss:
            return {QStringLiteral("−|S11|")};
        case AnalysisView::Impedance:
            return {AnalysisViews::tr("Re Zвх"), AnalysisViews::tr("Im Zвх")};
        default:  // the pass band and the time views have no table of a sweep
            break;
    }
    return {};
}

// The curves of a view over a sweep, against the detuning from foHz in kHz.
std::vector<NamedCurve> CurvesOf(AnalysisView view, const SweepResult* sweep, double foHz) {
    std::vector<NamedCurve> curves;
    for (const QString& name : CurveNamesOf(view))
        curves.push_back({name, {}, std::nullopt});
    if (!sweep) return curves;
    for (NamedCurve& curve : curves)
        curve.points.reserve(sweep->points.size());
    for (const SweepPoint& point : sweep->points) {
        if (!point.ok) continue;
        const std::vector<double> values = ValuesOf(view, point);
        for (size_t i = 0; i < curves.size() && i < values.size(); ++i)
            curves[i].points.push_back({(point.hz - foHz) / 1000, values[i]});
    }
    return curves;
}

}  // namespace

AnalysisViews::AnalysisViews(const DesignDocument& document, DialogService& dialogs,
                             ChartModel& chart, QMenu& menu, const ViewCommands& commands,
                             QLabel& figures)
    : QObject(&chart),
      document_(document),
      dialogs_(dialogs),
      chart_(chart),
      commands_(commands),
      measured_(new MeasuredOverlay(document, dialogs, chart, menu, *this, figures)),
      figures_(figures) {
    connect(measured_, &MeasuredOverlay::TimeCurveChanged, this, [this] {
        if (IsTimeView(view_)) ShowTimeFigures();
    });
    connect(commands_.keying, &QAction::triggered, this, [this] {
        FollowBandWithDots();
        if (const std::optional<KeyingChoice> chosen = dialogs_.GetKeying(keying_))
            SetKeying(*chosen);
    });
    for (int i = 0; i < AnalysisViewCount; ++i) {
        connect(commands_.views[i], &QAction::triggered, this,
                [this, i] { ShowView(static_cast<AnalysisView>(i)); });
    }
    connect(commands_.analysedCircuit, &QAction::toggled, this, [this] { ShowView(view_); });
    connect(commands_.referenceOhm, &QAction::triggered, this, [this] {
        const std::optional<double> ohm = dialogs_.GetNumber(
            tr("Сопротивление портов анализатора, Ом (0 — нагрузки самой схемы):"),
            referenceOhm_.value_or(0), 0, 1e6);
        if (ohm) SetReferenceOhm(*ohm > 0 ? ohm : std::nullopt);
    });
}

CircuitChoice AnalysisViews::Circuit() const {
    return commands_.analysedCircuit->isChecked() ? CircuitChoice::Analysed
                                                  : CircuitChoice::Schematic;
}

void AnalysisViews::SetReferenceOhm(std::optional<double> ohm) {
    referenceOhm_ = ohm;
    ShowView(view_);
}

SweepRequest AnalysisViews::RequestFor(AnalysisView view, const DesignedFilter& filter) const {
    SweepRequest request = RequestOf(view, filter);
    request.referenceOhm = referenceOhm_;
    return request;
}

void AnalysisViews::SetKeying(const KeyingChoice& keying) {
    keying_ = keying;
    keyingChosen_ = true;
    if (IsTimeView(view_)) ShowView(view_);
}

void AnalysisViews::FollowBandWithDots() {
    if (keyingChosen_) return;
    // A fixed 25 words a minute shows a wide filter's dots as long flat blocks, and is more
    // than a narrow one passes.
    if (const std::optional<double> dfHz = TypedNumber(FromUtf8(document_.Design().texts.Df));
        dfHz && *dfHz > 0)
        keying_.wpm = DotSpeedOfBand(*dfHz);
}

double DotSpeedOfBand(double dfHz) {
    static constexpr std::array<double, 21> Speeds = {10,  12,  15,  20,  25,  30,  40,
                                                      50,  60,  80,  100, 120, 150, 200,
                                                      250, 300, 400, 500, 600, 800, 1000};
    if (!(dfHz > 0) || !std::isfinite(dfHz)) return 25;
    // PARIS: a dot of 1200/wpm ms lasting five times 1/dF.
    const double wpm = 1200.0 * dfHz / (5 * 1000);
    return *std::min_element(Speeds.begin(), Speeds.end(), [wpm](double a, double b) {
        return std::abs(std::log(a / wpm)) < std::abs(std::log(b / wpm));
    });
}

void AnalysisViews::ShowView(AnalysisView view) {
    const bool wasInTime = IsTimeView(view_);
    view_ = view;
    commands_.views[int(view)]->setChecked(true);
    viewSweep_.reset();
    viewBandKHz_.reset();
    if (IsTimeView(view)) {
        ShowTimeView();
        measured_->Show(view);
        ShowTimeFigures();
        return;
    }
    // The table of the time view goes; the measured filter's own comes back with it.
    if (wasInTime) timeCurves_ = {};
    // The table under the chart is the measurement's, with the parts in force after it.
    figures_.hide();
    figures_.clear();
    if (view == AnalysisView::PassBand) {
        chart_.ShowPassBand();
        measured_->Show(view);
        return;
    }
    DesignedFilter filter;
    {
        const BusyCursor busy;
        filter = document_.DesignedFilterOf(Circuit());
        viewUnwanted_.clear();
        if (filter.design.outcome == Outcome::Done) {
            SweepRequest request = RequestFor(view, filter);
            if (view == AnalysisView::WideBand) {
                // The wide band reaches past every unwanted pass band of the crystals.
                viewUnwanted_ = UnwantedResponsesOf(filter);
                const double foHz = filter.design.input.FoKHz * 1000;
                const double marginHz = 3 * filter.design.input.DfHz;
                for (const UnwantedResponse& r : viewUnwanted_) {
                    request.fromDetuningHz =
                        std::min(*request.fromDetuningHz, r.hz - foHz - marginHz);
                    request.toDetuningHz = std::max(*request.toDetuningHz, r.hz - foHz + marginHz);
                }
            }
            auto sweep = std::make_shared<SweepResult>(SweepFilter(filter, request));
            viewFoHz_ = filter.design.input.FoKHz * 1000;
            viewSweep_ = std::move(sweep);
            // The band where Расчет found it, in kHz of detuning.
            viewBandKHz_.reset();
            if (const std::optional<PassBand> band = BandOf(filter.design)) {
                viewBandKHz_ = std::pair((band->lowerHz - viewFoHz_) / 1000,
                                         (band->upperHz - viewFoHz_) / 1000);
            }
        }
        overlayCurves_.clear();
        const std::vector<DesignSource> sources = CurveNamesOf(view).size() == 1 && overlaySources_
                                                      ? overlaySources_()
                                                      : std::vector<DesignSource>{};
        for (std::size_t k = 0; sources.size() > 1 && k < sources.size(); ++k) {
            const DesignSource& source = sources[k];
            DesignedFilter overlaid = source.filterOf(Circuit());
            if (overlaid.design.outcome != Outcome::Done) continue;
            const SweepResult sweep = SweepFilter(overlaid, RequestFor(view, overlaid));
            NamedCurve curve = CurvesOf(view, &sweep, overlaid.design.input.FoKHz * 1000)[0];
            curve.name = source.name;
            curve.colour = source.colour;
            overlayCurves_.push_back(std::move(curve));
        }
    }
    PlotViewSweep();
    measured_->Show(view);
    ShowPartsInForce();
    if (filter.design.outcome == Outcome::Warning) {
        dialogs_.Warning(MessageShown(filter.design.message));
    } else if (filter.design.outcome == Outcome::Error) {
        dialogs_.Error(MessageShown(filter.design.message));
    }
}

void AnalysisViews::Clear() {
    if (view_ == AnalysisView::PassBand) return;
    // The view keeps its titles and the measured filter; the next Расчет draws it again.
    viewSweep_.reset();
    overlayCurves_.clear();
    timeCurves_ = {};
    chart_.ShowQuantity(
        IsTimeView(view_) ? TimeViews::QuantityOf(TimeViewOf(view_)) : QuantityOf(view_), {});
    measured_->Show(view_);
    if (IsTimeView(view_)) ShowTimeFigures();
}

void AnalysisViews::Follow(bool calculationDone) {
    // A quantity view follows the new design; its own messages were shown already.
    if (view_ != AnalysisView::PassBand && calculationDone) ShowView(view_);
    if (view_ == AnalysisView::PassBand) measured_->Show(view_);
}

void AnalysisViews::ShowTimeView() {
    FollowBandWithDots();
    std::vector<DesignSource> sources =
        overlaySources_ ? overlaySources_() : std::vector<DesignSource>{};
    if (sources.empty()) {
        sources.push_back(SourceOfDocument(document_, tr("расчёт")));
    }
    {
        const BusyCursor busy;
        timeCurves_ = TimeViews::CurvesOf(TimeViewOf(view_), sources, keying_, Circuit());
    }
    chart_.ShowQuantity(TimeViews::QuantityOf(TimeViewOf(view_)), timeCurves_.curves);
    if (!timeCurves_.problems.isEmpty())
        dialogs_.Warning(timeCurves_.problems.join(QLatin1Char('\n')));
}

std::vector<TimeFiguresRow> AnalysisViews::TimeFigures() const {
    std::vector<TimeFiguresRow> rows = timeCurves_.rows;
    if (const std::optional<TimeFiguresRow> measured = measured_->TimeRow())
        rows.push_back(*measured);
    return rows;
}

void AnalysisViews::ShowTimeFigures() {
    const std::vector<TimeFiguresRow> rows = TimeFigures();
    if (rows.empty()) {
        figures_.hide();
        return;
    }
    QString html =
        TimeViews::FiguresHtml(rows, view_ == AnalysisView::Keyed && keying_.pulseMs <= 0);
    if (measured_->TimeRow()) {
        html +=
            tr("Измерение без калибровки или с шумом искажает отклик во времени: он показан "
               "по измеренному S21 как есть");
    }
    figures_.setText(html);
    figures_.show();
    ShowPartsInForce();
}

void AnalysisViews::ShowPartsInForce() {
    // The analysed circuit keeps the designed values: only the schematic is the filter as built.
    if (Circuit() != CircuitChoice::Schematic) return;
    const QString parts = document_.PartsInForceText();
    if (parts.isEmpty()) return;
    const QString shown = figures_.isHidden() ? QString() : figures_.text();
    figures_.setText(shown.isEmpty() ? parts
                                     : shown + QStringLiteral("<br>") + parts.toHtmlEscaped());
    figures_.show();
}

void AnalysisViews::PlotViewSweep() {
    if (!overlayCurves_.empty()) {
        chart_.ShowQuantity(QuantityOf(view_), overlayCurves_);
        return;
    }
    std::vector<NamedCurve> curves = CurvesOf(view_, viewSweep_.get(), viewFoHz_);
    if (view_ == AnalysisView::WideBand && viewSweep_) {
        // Each unwanted pass band marked by a stroke down from its peak, named in the legend.
        for (const UnwantedResponse& r : viewUnwanted_) {
            const auto nearest =
                std::min_element(viewSweep_->points.begin(), viewSweep_->points.end(),
                                 [&](const SweepPoint& a, const SweepPoint& b) {
                                     return std::fabs(a.hz - r.hz) < std::fabs(b.hz - r.hz);
                                 });
            if (nearest == viewSweep_->points.end()) continue;
            const double x = (r.hz - viewFoHz_) / 1000;
            const double top = DecibelsOfS(nearest->s21);
            curves.push_back(
                {FromUtf8(UnwantedResponseText(r, document_.Separator(), CurrentLanguage())),
                 {{x, top + 3}, {x, top - 20}},
                 QColor(0xd0, 0x30, 0x30)});
        }
    }
    ChartQuantity quantity = QuantityOf(view_);
    // The input impedance swings to tens of kilohms outside the band; what matters is within.
    if (view_ == AnalysisView::Impedance) quantity.valueSpanKHz = viewBandKHz_;
    chart_.ShowQuantity(quantity, curves);
}

void AnalysisViews::RetranslateUi() {
    if (IsTimeView(view_)) {
        // The measured curve's name first: the time view draws it again under that name.
        measured_->RetranslateUi();
        ShowView(view_);
        return;
    }
    if (view_ != AnalysisView::PassBand) PlotViewSweep();
    measured_->RetranslateUi();
}

std::string AnalysisViews::ViewCsv() const {
    if (IsTimeView(view_)) {
        std::vector<NamedCurve> curves = timeCurves_.curves;
        const std::vector<CurvePoint> measured = measured_->PointsOf(view_);
        if (measured.empty()) return TimeViews::Csv(TimeViewOf(view_), curves);
        curves.push_back({QString(), measured, std::nullopt});
        return TimeViews::Csv(TimeViewOf(view_), curves, "measured");
    }
    if (view_ == AnalysisView::PassBand) {
        std::vector<std::vector<CurvePoint>> curves(SeriesCount);
        for (int position = 0; position < SeriesCount; ++position) {
            curves[std::size_t(position)] = chart_.Curve(position);
        }
        std::string csv = CurvesCsv(curves);
        // The measured filter as one more curve, named so.
        for (const CurvePoint& point : measured_->PointsOf(view_))
            csv += "measured," + TableNumber(point.x) + "," + TableNumber(point.y) + "\n";
        return csv;
    }
    const SweepResult& sweep = viewSweep_ ? *viewSweep_ : SweepResult{};
    std::vector<TableColumn> table = SweepTable(sweep, viewFoHz_, ColumnsOf(view_));
    const std::vector<CurvePoint> measured = measured_->PointsOf(view_);
    if (measured.size() < 2) return TableCsv(table);
    // The measured curve in a last column, on the straight lines between its points at each
    // frequency of the design's sweep; empty outside its span.
    TableColumn column{"measured", {}};
    for (const SweepPoint& point : sweep.points) {
        const double x = (point.hz - viewFoHz_) / 1000;
        const auto after =
            std::lower_bound(measured.begin(), measured.end(), x,
                             [](const CurvePoint& p, double value) { return p.x < value; });
        std::optional<double> value;
        if (after != measured.begin() && after != measured.end()) {
            const CurvePoint& a = *(after - 1);
            const CurvePoint& b = *after;
            value = a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        }
        column.values.push_back(value);
    }
    table.push_back(std::move(column));
    return TableCsv(table);
}

void ShowGroupDelay(ChartModel& chart, const SweepResult& sweep, double foHz) {
    const std::vector<NamedCurve> curves = CurvesOf(AnalysisView::GroupDelay, &sweep, foHz);
    chart.ShowQuantity(QuantityOf(AnalysisView::GroupDelay), curves);
}

}  // namespace feldan
