#include "ui/main/main_window.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTime>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "engine/synthesis.h"
#include "ui/analysis/analysis_views.h"
#include "ui/analysis/diagnosis_window.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/analysis/report_writer.h"
#include "ui/analysis/view_exporter.h"
#include "ui/assembly/rounding_window.h"
#include "ui/assembly/tolerance_window.h"
#include "ui/assembly/tuning_panel.h"
#include "ui/common/busy_cursor.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/common/window_place.h"
#include "ui/crystals/crystal_window.h"
#include "ui/main/chart_overlays.h"
#include "ui/main/file_commands.h"
#include "ui/main/info_window.h"
#include "ui/main/input_panel.h"
#include "ui/main/main_menu.h"
#include "ui/widgets/chart_model.h"
#include "ui/widgets/hint_bar.h"
#include "ui/widgets/panel_bar.h"
#include "ui/widgets/program_icon.h"
#include "ui/widgets/response_chart.h"
#include "ui/widgets/schematic_area.h"
#include "ui/widgets/window_style.h"

namespace feldan {

namespace {

// The client area at the window's default size: today's familiar look.
constexpr int ClientWidth = 792;
constexpr int ClientHeight = 550;

}  // namespace

char DecimalSeparatorOf(const QLocale& locale) {
    return locale.decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

MainWindow::MainWindow(char separator, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(std::make_unique<DialogSeam>(std::make_unique<QtDialogService>(this))),
      document_(new DesignDocument(separator, this)),
      chartModel_(new ChartModel()) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(ProgramIcon());
    menu_ = new MainMenu(*menuBar());
    files_ = new FileCommands(*document_, *dialogs_, this);
    BuildControls();
    views_ = new AnalysisViews(*document_, *dialogs_, *chartModel_, *menu_->analysisMenu,
                               menu_->views, *figuresLabel_);
    views_->SetOverlaySources([this] { return overlays_->Sources(); });
    connect(&views_->Measured(), &MeasuredOverlay::DiagnoseRequested, this,
            &MainWindow::ShowDiagnosisWindow);
    exporter_ = std::make_unique<ViewExporter>(*chart_, *views_, *dialogs_,
                                               [this] { return inputPanel_->InputLines(); });
    report_ = std::make_unique<ReportWriter>(*document_, *chartModel_, *dialogs_);
    // The size and place of the last run, else the familiar size in the middle of the screen.
    if (!restoreGeometry(RememberedWindowGeometry())) {
        resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    FitIntoScreen(*this);
    infoWindow_ = new InfoWindow(this);
    tuningPanel_ = new TuningPanel(*document_, *chartModel_, this);
    addDockWidget(Qt::RightDockWidgetArea, tuningPanel_);
    tuningPanel_->hide();
    // The dock widens the window while it is open; closed, it gives the width back.
    connect(tuningPanel_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible || widthWithoutTuning_ <= 0 || isMaximized() || isFullScreen()) return;
        // Once the layout has let go of the dock's width.
        QTimer::singleShot(0, this, [this, width = widthWithoutTuning_] {
            layout()->activate();
            resize(width, height());
        });
    });
    menu_->analysisMenu->addSeparator()->setObjectName(QStringLiteral("tuningSeparator"));
    menu_->analysisMenu->addAction(tuningPanel_->MenuAction());
    ConnectCommands();
    SetStartState();
    RetranslateUi();
    // The last child, so that it outlives the widgets that write it while the window is taken
    // down (the tuning dock clears its curves as it hides).
    chartModel_->setParent(this);
}

MainWindow::~MainWindow() {
    // The dock hides while QWidget takes the window down; by then there is no MainWindow to
    // give the width back to.
    disconnect(tuningPanel_, nullptr, this, nullptr);
}

void MainWindow::SetDialogService(std::unique_ptr<DialogService> dialogs) {
    dialogs_->Replace(std::move(dialogs));
}

void MainWindow::ConnectCommands() {
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, &MainWindow::EnterMenuBar);

    const MainMenu& m = *menu_;
    connect(m.newAction, &QAction::triggered, files_, &FileCommands::New);
    connect(m.openAction, &QAction::triggered, files_, &FileCommands::Open);
    connect(m.saveAction, &QAction::triggered, files_, &FileCommands::Save);
    connect(m.saveAsAction, &QAction::triggered, files_, &FileCommands::SaveAs);
    connect(m.printAction, &QAction::triggered, this, &MainWindow::PrintWindow);
    connect(m.exportViewAction, &QAction::triggered, this, [this] { exporter_->ExportCommand(); });
    connect(m.reportAction, &QAction::triggered, this,
            [this] { report_->ReportCommand(ReportContent()); });
    connect(m.exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m.calculateAction, &QAction::triggered, this, &MainWindow::CalculateDesign);
    connect(m.infoAction, &QAction::triggered, this, &MainWindow::ShowInfo);
    connect(m.clearChartAction, &QAction::triggered, this, &MainWindow::ClearChart);
    connect(m.crystalsAction, &QAction::triggered, this, &MainWindow::ShowCrystalWindow);
    connect(m.compareCrystalsAction, &QAction::triggered, this,
            [this] { overlays_->CompareCrystals(*dialogs_); });
    // The check mark of "Наложения" is the overlay mode itself; switching it on starts the
    // curve count again. "Легенда" shows or hides the legend with its check mark.
    connect(m.overlayAction, &QAction::toggled, this, [this](bool checked) {
        if (checked) overlays_->StartOverlays();
    });
    connect(m.legendAction, &QAction::toggled, chartModel_, &ChartModel::SetLegendVisible);
    connect(m.roundingAction, &QAction::triggered, this, &MainWindow::ShowRoundingWindow);
    connect(m.matchingAction, &QAction::triggered, this, [this] {
        ShowRoundingWindow();
        roundingWindow_->ShowMatching();
    });
    connect(m.toleranceAction, &QAction::triggered, this, &MainWindow::ShowToleranceWindow);
    connect(m.russianAction, &QAction::triggered, this,
            [this] { ChooseLanguage(Language::Russian); });
    connect(m.englishAction, &QAction::triggered, this,
            [this] { ChooseLanguage(Language::English); });

    connect(inputPanel_, &InputPanel::TopologyChosen, this,
            [this] { schematicArea_->ShowSchematic(CircuitOfDesign(document_->Design())); });
    // Whether the ends differ, and a CW ladder's Ck, follow every choice and every file.
    for (const auto changed : {&DesignDocument::DesignChanged, &DesignDocument::Replaced})
        connect(document_, changed, this, &MainWindow::ShowEndsAndCk);
    connect(document_, &DesignDocument::FileStateChanged, this, &MainWindow::UpdateTitle);
    connect(document_, &DesignDocument::Replaced, this, [this] {
        if (document_->DesignOrigin() == DesignDocument::Origin::Start) {
            SetStartState();
            ClearChart();
            return;
        }
        // The picture follows the file's topology, so that it never shows another design's.
        schematicArea_->ShowSchematic(CircuitOfDesign(document_->Design()));
    });
    connect(files_, &FileCommands::Opened, this, &MainWindow::CalculateOpened);
}

void MainWindow::BuildControls() {
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    clientArea_->setAutoFillBackground(true);
    setCentralWidget(clientArea_);
    clientArea_->setFont(ArialFont(12, true));

    schematicArea_ = new SchematicArea(clientArea_);
    resultText_ = new QTextEdit(clientArea_);
    resultText_->setObjectName(QStringLiteral("resultText"));
    resultText_->setFixedSize(340, SchematicHeight);
    resultText_->setReadOnly(true);
    resultText_->setAcceptRichText(false);
    resultText_->setTabChangesFocus(true);
    resultText_->setLineWrapMode(QTextEdit::WidgetWidth);
    resultText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resultText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(resultText_, &QTextEdit::textChanged, this, &MainWindow::FitResultText);
    QPalette colors = resultText_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colors.setColor(group, QPalette::Base, InfoColor());
    resultText_->setPalette(colors);

    chart_ = new ResponseChart(*chartModel_, clientArea_);
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->setMinimumSize(300, 240);
    chart_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    figuresLabel_ = new QLabel(clientArea_);
    figuresLabel_->setObjectName(QStringLiteral("figuresLabel"));
    QFont small = QApplication::font();
    small.setPixelSize(11);
    figuresLabel_->setFont(small);
    figuresLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The table takes the chart's width; it never widens the window.
    figuresLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    figuresLabel_->hide();
    inputPanel_ = new InputPanel(*document_, *dialogs_, clientArea_);
    overlays_ = new ChartOverlays(*chartModel_, *document_, clientArea_);
    hintStatusBar_ = new HintBar(ClientWidth, clientArea_);

    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, 4, 0);
    topRow->setSpacing(0);
    topRow->addWidget(schematicArea_, 1, Qt::AlignTop);
    topRow->addWidget(resultText_);
    auto* middleRow = new QHBoxLayout;
    middleRow->setContentsMargins(4, 0, 3, 0);
    middleRow->setSpacing(7);
    auto* chartColumn = new QVBoxLayout;
    chartColumn->setSpacing(2);
    chartColumn->addWidget(chart_, 1);
    chartColumn->addWidget(figuresLabel_);
    middleRow->addLayout(chartColumn, 1);
    middleRow->addWidget(inputPanel_);
    auto* rows = new QVBoxLayout(clientArea_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addLayout(topRow);
    rows->addSpacing(3);
    rows->addLayout(middleRow, 1);
    rows->addWidget(overlays_->StatusBar());
    rows->addWidget(hintStatusBar_);

    // Tab visits the controls in reading order: the result, the crystal data, the filter data.
    setTabOrder(resultText_, inputPanel_->FirstField());
    inputPanel_->TopologyList()->setFocus();
}

void MainWindow::ShowEndsAndCk() {
    const DesignFields& design = document_->Design();
    schematicArea_->ShowEndsApart(EndsDifferOfDesign(design));
    resultText_->setStatusTip(CkHint(CircuitOfDesign(design)));
}

void MainWindow::SetStartState() {
    resultText_->show();
    hintsShown_ = true;
    hintStatusBar_->StartClock();
    schematicArea_->ShowSchematic(CircuitOfDesign(document_->Design()));
    menu_->calculateAction->setEnabled(true);
}

void MainWindow::RetranslateUi() {
    menu_->RetranslateUi();
    // The mark's words are drawn into its picture.
    picturesRatio_ = 0;
    UpdatePictures();
    // The results on show, in the words of the new language.
    if (shownSummary_) {
        SetResultText(SummaryText(*shownSummary_, shownSet_, document_->Separator(),
                                  CurrentLanguage(), shownFigures_));
        ShowCaution(*shownSummary_);
    }
    views_->RetranslateUi();
    overlays_->RetranslateUi();
    UpdateTitle();
}

void MainWindow::ChooseLanguage(Language language) {
    SetLanguage(language);
    RememberLanguage(LanguageCode(language));
}

void MainWindow::UpdatePictures() {
    const qreal ratio = devicePixelRatioF();
    if (ratio == picturesRatio_) return;
    picturesRatio_ = ratio;
    schematicArea_->DrawPictures(ratio);
    inputPanel_->DrawPictures(ratio);
}

void MainWindow::CalculateDesign() {
    const bool overlay = menu_->overlayAction->isChecked();
    const Language language = CurrentLanguage();
    CalculationResult result;
    {
        const BusyCursor busy;
        result = document_->Calculate(language);
    }
    // A refused calculation only says why: the chart, the overlays, their count, the summaries
    // and the result text stay as they were.
    if (IsRefused(result)) {
        if (result.outcome == Outcome::Warning)
            dialogs_->Warning(MessageShown(result.message));
        else
            dialogs_->Error(MessageShown(result.message));
        return;
    }
    if (!result.keepsPreviousResult) {
        resultText_->clear();
        shownSummary_.reset();
    }
    overlays_->Draw(result, overlay, document_->Design().texts.Df);
    const bool done = result.outcome == Outcome::Done;
    switch (result.outcome) {
        case Outcome::Done:
            shownSet_ = document_->LastSet();
            shownFigures_ = document_->LastFigures();
            SetResultText(SummaryText(result, shownSet_, document_->Separator(), language,
                                      document_->LastFigures()));
            ShowCaution(result);
            result.curve = {};
            shownSummary_ = std::move(result);
            break;
        case Outcome::Warning:
            dialogs_->Warning(MessageShown(result.message));
            break;
        case Outcome::Error:
            dialogs_->Error(MessageShown(result.message));
            return;
    }
    document_->AnnounceCalculated();
    views_->Follow(done);
}

void MainWindow::CalculateOpened() {
    // What is on show belongs to the design before: it goes unless the opened one replaces it.
    // Overlaid curves stay, as the earlier designs they are.
    if (!menu_->overlayAction->isChecked()) ClearChart();
    resultText_->clear();
    shownSummary_.reset();
    CalculateDesign();
}

template <typename Window>
void MainWindow::Raise(Window* window) {
    if (!window->property("placed").toBool()) {
        window->setProperty("placed", true);
        PlaceChildWindow(*window, *this);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::ShowCrystalWindow() {
    if (!crystalWindow_) crystalWindow_ = new CrystalWindow(*document_, *dialogs_, this);
    Raise(crystalWindow_);
}

void MainWindow::ShowRoundingWindow() {
    if (!roundingWindow_) roundingWindow_ = new RoundingWindow(*document_, this);
    Raise(roundingWindow_);
}

void MainWindow::ShowToleranceWindow() {
    if (!toleranceWindow_) toleranceWindow_ = new ToleranceWindow(*document_, this);
    Raise(toleranceWindow_);
}

void MainWindow::ShowDiagnosisWindow(const TouchstoneData& data, const QString& name) {
    if (!diagnosisWindow_) diagnosisWindow_ = new DiagnosisWindow(*document_, this);
    Raise(diagnosisWindow_);
    diagnosisWindow_->Diagnose(data, name);
}

void MainWindow::PrintWindow() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_->PrinterSetup(printer)) return;
    if (!PrintOnto(printer)) dialogs_->Error(tr("Принтер не может начать печать"));
}

bool MainWindow::PrintOnto(QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // As wide as the printable area allows (as high, for a page turned sideways), centred. The
    // widgets paint themselves onto the page, so text and lines keep the printer's resolution.
    const QSizeF area(device.width(), device.height());
    const QSizeF window = clientArea_->size();
    const double scale = std::min(area.width() / window.width(), area.height() / window.height());
    painter.translate((area.width() - window.width() * scale) / 2,
                      (area.height() - window.height() * scale) / 2);
    painter.scale(scale, scale);
    clientArea_->render(&painter, QPoint(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

bool MainWindow::WriteReport(QIODevice& device) {
    return report_->Write(device, ReportContent());
}

ReportWriter::Content MainWindow::ReportContent() const {
    const MeasuredOverlay& measured = views_->Measured();
    QStringList summaries;
    for (int position = 0; position < SeriesCount; ++position)
        summaries.append(overlays_->StatusBar()->PanelText(position));
    return {inputPanel_->InputLines(),
            resultText_->toPlainText(),
            measured.CurveName(),
            measured.PointsOf(AnalysisView::PassBand),
            summaries,
            diagnosisWindow_ ? diagnosisWindow_->ReportText() : QString()};
}

void MainWindow::UpdateTitle() {
    // "[*]" is where Qt shows the mark of a design that differs from its file.
    const QString program = tr("Расчёт кварцевых фильтров");
    const QString& path = document_->Path();
    setWindowTitle(path.isEmpty()
                       ? program + QStringLiteral("[*]")
                       : QFileInfo(path).fileName() + QStringLiteral("[*] — ") + program);
    setWindowModified(document_->HasUnsavedChanges());
}

void MainWindow::EnterMenuBar() {
    // The bar's own keyboard mode, as Alt alone starts it: the arrows then walk every entry.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(this, &press);
    QApplication::sendEvent(this, &release);
}

void MainWindow::ShowInfo() {
    infoWindow_->ShowAndActivate();
}

void MainWindow::ClearChart() {
    overlays_->Clear();
    views_->Clear();
    resultText_->clear();
    shownSummary_.reset();
}

void MainWindow::ShowCaution(const CalculationResult& result) {
    // A design without doubts takes down the caution an earlier one left.
    if (result.caution.id == MessageId::None) {
        hintStatusBar_->ShowHint(QString());
        return;
    }
    hintStatusBar_->ShowHint(
        QString::fromStdString(MessageText(result.caution, CurrentLanguage())));
}

void MainWindow::SetResultText(const std::string& text) {
    resultText_->setPlainText(LinesFromCr(text));
    QTextCursor cursor(resultText_->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void MainWindow::FitResultText() {
    // A ladder of many crystals has more lines than the schematic is tall: the box grows to
    // show them all, and the chart below gives the room; it never shrinks below the schematic.
    // The caution and the figures after the summary's empty line scroll into view.
    QTextDocument* lines = resultText_->document();
    const int frame = 2 * resultText_->frameWidth();
    lines->setTextWidth(resultText_->width() - frame -
                        resultText_->verticalScrollBar()->sizeHint().width());
    qreal bottom = 0;
    for (QTextBlock block = lines->begin(); block.isValid() && !block.text().isEmpty();
         block = block.next()) {
        bottom = lines->documentLayout()->blockBoundingRect(block).bottom();
    }
    const int needed = int(std::ceil(bottom + lines->documentMargin())) + frame;
    const int height = std::clamp(needed, SchematicHeight, 2 * SchematicHeight);
    if (resultText_->height() != height) resultText_->setFixedHeight(height);
}

bool MainWindow::event(QEvent* event) {
    // Hints go to the first panel of the lower status bar, never into pop-up tool tips.
    if (event->type() == QEvent::StatusTip) {
        if (hintsShown_) hintStatusBar_->ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The width the user gave the window; the tuning dock adds to it only while it is open.
    if (!tuningPanel_ || tuningPanel_->isHidden()) widthWithoutTuning_ = width();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) RetranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window moved to a screen of another pixel ratio draws its pictures again, sharp.
    if (!screenWatched_ && windowHandle()) {
        screenWatched_ = true;
        // With its frame now known, the window keeps its title bar on the screen.
        FitIntoScreen(*this);
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { UpdatePictures(); });
    }
    UpdatePictures();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!files_->ConfirmDiscard()) {
        event->ignore();
        return;
    }
    RememberWindowGeometry(saveGeometry());
    // The program ends with its main window, also while the credits scroll.
    infoWindow_->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace feldan
