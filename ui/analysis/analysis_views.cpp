// The "Анализ" views of the main window, and the two files made of what it shows: the view
// exported (PNG, SVG, CSV) and the report (PDF).
#include <QAction>
#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QTextEdit>
#include <array>
#include <cmath>
#include <cstdio>

#include "circuit/topologies.h"
#include "engine/design.h"
#include "engine/errors.h"
#include "engine/sweep.h"
#include "files/atomic_file.h"
#include "files/sweep_csv.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/build/parts_list.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/main/main_window.h"
#include "ui/widgets/response_chart.h"
#include "ui/widgets/schematic.h"

namespace feldan {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString DialogFolder() {
    return QDir(StartFolder()).absolutePath() + QLatin1Char('/');
}

// The wide band reaches ten band widths either side of Fo, short of 0 Hz; the other views take
// the sweep's own span of three band widths.
SweepRequest RequestOf(AnalysisView view, const DesignedFilter& filter) {
    SweepRequest request;
    if (view == AnalysisView::WideBand) {
        const Span span = SpanOf(filter, request);
        const double foHz = (span.fromHz + span.toHz) / 2;
        const double wideHz = std::min(10 * (span.toHz - span.fromHz) / 6, 0.9 * foHz);
        request.fromDetuningHz = -wideHz;
        request.toDetuningHz = wideHz;
        request.points = 4001;
    }
    return request;
}

// The values a view plots of a point, and their CSV column names.
std::vector<double> ValuesOf(AnalysisView view, const SweepPoint& point) {
    switch (view) {
        case AnalysisView::WideBand:
            return {DecibelsOfS(point.s21)};
        case AnalysisView::GroupDelay:
            return {point.groupDelaySec * 1e6};
        case AnalysisView::ReturnLoss:
            return {-DecibelsOfS(point.s11)};
        case AnalysisView::Impedance:
            return {point.zin.real(), point.zin.imag()};
        case AnalysisView::PassBand:
            break;
    }
    return {};
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
        case AnalysisView::PassBand:
            break;
    }
    return {};
}

// The titles, the readout unit and the curve names of a quantity view.
ChartQuantity QuantityOf(AnalysisView view) {
    ChartQuantity quantity{MainWindow::tr("Расстройка относительно Fo (кГц)"), QString(),
                           MainWindow::tr("дБ")};
    switch (view) {
        case AnalysisView::WideBand:
            quantity.yTitle = MainWindow::tr("Затухание (дБ)");
            break;
        case AnalysisView::GroupDelay:
            quantity.yTitle = MainWindow::tr("Групповая задержка (мкс)");
            quantity.yUnit = MainWindow::tr("мкс");
            break;
        case AnalysisView::ReturnLoss:
            quantity.yTitle = MainWindow::tr("Возвратные потери (дБ)");
            break;
        case AnalysisView::Impedance:
            quantity.yTitle = MainWindow::tr("Входное сопротивление (Ом)");
            quantity.yUnit = MainWindow::tr("Ом");
            break;
        case AnalysisView::PassBand:
            break;
    }
    return quantity;
}

QStringList CurveNamesOf(AnalysisView view) {
    switch (view) {
        case AnalysisView::WideBand:
            return {QStringLiteral("|S21|")};
        case AnalysisView::GroupDelay:
            return {MainWindow::tr("Задержка")};
        case AnalysisView::ReturnLoss:
            return {QStringLiteral("−|S11|")};
        case AnalysisView::Impedance:
            return {MainWindow::tr("Re Zвх"), MainWindow::tr("Im Zвх")};
        case AnalysisView::PassBand:
            break;
    }
    return {};
}

// The curves of a view over a sweep, against the detuning from foHz in kHz.
std::vector<NamedCurve> CurvesOf(AnalysisView view, const SweepResult* sweep, double foHz) {
    std::vector<NamedCurve> curves;
    for (const QString& name : CurveNamesOf(view))
        curves.push_back({name, {}});
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

void MainWindow::ShowView(AnalysisView view) {
    view_ = view;
    viewActions_[int(view)]->setChecked(true);
    viewSweep_.reset();
    if (view == AnalysisView::PassBand) {
        chart_->ShowPassBand();
        measured_->Show(view);
        return;
    }
    SetBusyCursor(true);
    DesignedFilter filter = DesignedFilterOf(CircuitChoice::Analysed);
    if (filter.design.outcome == Outcome::Done) {
        auto sweep = std::make_shared<SweepResult>(SweepFilter(filter, RequestOf(view, filter)));
        viewFoHz_ = (sweep->fromHz + sweep->toHz) / 2;
        viewSweep_ = std::move(sweep);
    }
    SetBusyCursor(false);
    PlotViewSweep();
    measured_->Show(view);
    const Language language = CurrentLanguage();
    if (filter.design.outcome == Outcome::Warning) {
        ShowWarning(MessageText(filter.design.message, language));
    } else if (filter.design.outcome == Outcome::Error) {
        ShowError(QString::fromStdString(MessageText(filter.design.message, language)));
    }
}

void MainWindow::PlotViewSweep() {
    const std::vector<NamedCurve> curves = CurvesOf(view_, viewSweep_.get(), viewFoHz_);
    chart_->ShowQuantity(QuantityOf(view_), curves);
}

std::string MainWindow::ViewCsv() const {
    if (view_ == AnalysisView::PassBand) {
        std::vector<std::vector<CurvePoint>> curves(SeriesCount);
        for (int position = 0; position < SeriesCount; ++position) {
            for (const QPointF& point : chart_->PassBandPoints(position))
                curves[std::size_t(position)].push_back({point.x(), point.y()});
        }
        return CurvesCsv(curves);
    }
    return SweepCsv(viewSweep_ ? *viewSweep_ : SweepResult{}, viewFoHz_, ColumnsOf(view_));
}

void MainWindow::ExportViewCommand() {
    const QString chosen = dialogs_->GetSaveFileName(
        DialogFolder(), tr("рисунок PNG (*.png);;рисунок SVG (*.svg);;таблица CSV (*.csv)"));
    if (chosen.isEmpty()) return;
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    chart_->Readout()->hide();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        chart_->grab().save(&buffer, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(chart_->size());
        svg.setViewBox(QRect(QPoint(), chart_->size()));
        svg.setTitle(QStringLiteral("Feldan"));
        QPainter painter(&svg);
        chart_->render(&painter);
    } else if (suffix == QLatin1String("csv")) {
        const std::string csv = ViewCsv();
        bytes = QByteArray(csv.data(), qsizetype(csv.size()));
    } else {
        ShowError(
            tr("Вид сохраняется в файл PNG, SVG или CSV: укажите расширение .png, .svg "
               "или .csv"));
        return;
    }
    try {
        WriteFileAtomically(LocalPath(chosen), std::string_view(bytes.constData(), bytes.size()));
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
    }
}

void MainWindow::ReportCommand() {
    QString chosen = dialogs_->GetSaveFileName(DialogFolder(), tr("документ PDF (*.pdf)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".pdf");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WriteReport(buffer)) {
        ShowError(tr("Отчёт не удалось составить"));
        return;
    }
    try {
        WriteFileAtomically(LocalPath(chosen), std::string_view(bytes.constData(), bytes.size()));
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
    }
}

bool MainWindow::WriteReport(QIODevice& device) {
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
    const QString source = designPath_.isEmpty() ? QString() : QFileInfo(designPath_).fileName();
    painter.drawText(QRectF(0, 40, Width, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QLocale().toString(QDate::currentDate(), QLocale::ShortFormat) +
                         (source.isEmpty() ? QString() : QStringLiteral("   ") + source));
    y = 76;

    // The inputs at the left, the parts at the right.
    const double top = y;
    heading(tr("Исходные данные"));
    QStringList inputs = {topologyLabel_->text() + QLatin1Char(' ') + topologyNameEdit_->text(),
                          responseLabel_->text() + QLatin1Char(' ') + responseNameEdit_->text(),
                          foLabel_->text() + QLatin1Char(' ') + foEdit_->text(),
                          ldLabel_->text() + QLatin1Char(' ') + ldEdit_->text(),
                          csLabel_->text() + QLatin1Char(' ') + csEdit_->text(),
                          rdLabel_->text() + QLatin1Char(' ') + rdEdit_->text(),
                          dfLabel_->text() + QLatin1Char(' ') + dfEdit_->text(),
                          levelLabel_->text() + QLatin1Char(' ') + levelEdit_->text()};
    if (ckEdit_->isEnabled()) inputs.append(ckLabel_->text() + QLatin1Char(' ') + ckEdit_->text());
    const double inputsEnd = lines(inputs, 0, y, false);

    y = top;
    const double partsLeft = 470;
    painter.setFont(font(20, true));
    painter.drawText(QRectF(partsLeft, y, Width - partsLeft, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Детали схемы"));
    y += 32;
    QStringList parts;
    const DesignedFilter built = DesignedFilterOf(CircuitChoice::Schematic);
    if (built.design.outcome == Outcome::Done && filterType_ >= 1 &&
        filterType_ <= FilterTypeCount) {
        for (const SchematicItem& item : DescriptorOf(filterType_).schematic) {
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
        parts.append(tr("Нагрузка на входе и выходе: %1 Ом").arg(LocaleNumber(built.portOhm, 5)));
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
    if (filterType_ >= 1 && filterType_ <= FilterTypeCount) {
        const QImage picture = DrawSchematic(filterType_, 4);
        const double width = SchematicWidths[filterType_ - 1] * 1.6;
        const QRectF target((Width - width) / 2, y, width, SchematicHeight * 1.6);
        painter.drawImage(target, picture);
        y = target.bottom() + 14;
    }

    heading(tr("Результат расчёта"));
    QStringList result = resultText_->toPlainText().split(QLatin1Char('\n'));
    if (resultText_->toPlainText().isEmpty()) result = {tr("Расчет не выполнен")};
    y = lines(result, 0, y, true) + 10;

    // The charts on a page of their own: the pass band as the window shows it, the group delay.
    writer.newPage();
    y = 0;
    const double pageHeight = writer.height() / scale;
    const double chartHeight = (pageHeight - 2 * 36 - 20) / 2;
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
    passBand.SetLegendVisible(chart_->LegendVisible());
    for (int position = 0; position < SeriesCount; ++position) {
        std::vector<CurvePoint> points;
        for (const QPointF& point : chart_->PassBandPoints(position))
            points.push_back({point.x(), point.y()});
        passBand.AddCurve(position, points);
    }
    for (TuningCurve which : {TuningCurve::Designed, TuningCurve::Tuned}) {
        std::vector<CurvePoint> points;
        for (const QPointF& point : chart_->TuningPoints(which))
            points.push_back({point.x(), point.y()});
        passBand.SetTuningCurve(which, points);
    }
    drawChart(passBand, tr("Полоса пропускания"));

    ResponseChart delay;
    DesignedFilter analysed = DesignedFilterOf(CircuitChoice::Analysed);
    if (analysed.design.outcome == Outcome::Done) {
        const SweepResult sweep = SweepFilter(analysed, SweepRequest{});
        const std::vector<NamedCurve> curves =
            CurvesOf(AnalysisView::GroupDelay, &sweep, (sweep.fromHz + sweep.toHz) / 2);
        delay.ShowQuantity(QuantityOf(AnalysisView::GroupDelay), curves);
    }
    drawChart(delay, tr("Групповая задержка"));

    // What to solder, on a page of its own: designed values, and the values in force.
    writer.newPage();
    y = 0;
    heading(tr("Детали для сборки"));
    const std::vector<PartsListRow> rows =
        PartsList::OfProject(CurrentDesign(), separator_, *projectState_);
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
        row({part.part, part.designed, part.solder});
    return painter.end();
}

}  // namespace feldan
