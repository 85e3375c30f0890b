#include "ui/main/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTime>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <tuple>

#include "engine/errors.h"
#include "engine/result_text.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/build/rounding_window.h"
#include "ui/build/tolerance_window.h"
#include "ui/build/tuning_panel.h"
#include "ui/common/key_rules.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/main/info_window.h"
#include "ui/widgets/numeric_edit.h"
#include "ui/widgets/panel_bar.h"
#include "ui/widgets/program_icon.h"
#include "ui/widgets/response_chart.h"
#include "ui/widgets/schematic.h"
#include "ui/widgets/window_style.h"

namespace feldan {

namespace {

// The client area at the window's default size: today's familiar look.
constexpr int ClientWidth = 792;
constexpr int ClientHeight = 550;

constexpr int SchematicLeft = 6;
constexpr int InputPanelWidth = 165;
constexpr int HeadingHeight = 18;
constexpr int FieldHeight = 23;
// A field label's text starts this far below the top of its edit box.
constexpr int LabelDrop = 3;
// The part of a list's width that its drop-down button takes.
constexpr int ListButtonWidth = 17;
constexpr int StatusBarHeight = 19;
// What a status bar panel needs beside its text: its frame and indent, and a little air.
constexpr int PanelPadding = 12;

// The window's own texts are Russian; Qt's translation system gives their English. The lists
// are marked for lupdate here and translated where they are shown.
const std::array<const char*, FilterTypeCount> TopologyItems = {
    QT_TRANSLATE_NOOP("feldan::MainWindow", "3-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "4-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "6-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "8-ми кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "4CW"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "6CW"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "8CW")};
const std::array<const char*, ResponseTypeCount> ResponseItems = {
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Баттерворта dA=3 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0,044 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0,099 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0,177 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0,28 dB")};

// What the response display shows after a choice: the ripple with a decimal point, and the
// Cyrillic "дБ" in the last.
const std::array<const char*, ResponseTypeCount> ResponseNames = {
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Баттерворта dA=3 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0.044 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0.099 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0.177 dB"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Чебышева dA=0.28 дБ")};

// What the topology display shows after a design file is opened: the list's words, but "6-х"
// and "8-х" where the list has "6-ти" and "8-ми".
const std::array<const char*, FilterTypeCount> OpenedTopologyNames = {
    QT_TRANSLATE_NOOP("feldan::MainWindow", "3-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "4-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "6-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "8-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "4CW"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "6CW"),
    QT_TRANSLATE_NOOP("feldan::MainWindow", "8CW")};

// The displays before any choice.
const char* const StartTopologyName = QT_TRANSLATE_NOOP("feldan::MainWindow", "4-х кристальный");
const char* const StartResponseName =
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Баттерворта dA=3 дб");

const char* const ProgramTitle =
    QT_TRANSLATE_NOOP("feldan::MainWindow", "Расчёт кварцевых фильтров");

QString Translated(const char* text) {
    return QCoreApplication::translate("feldan::MainWindow", text);
}

bool SameDesign(const DesignFields& a, const DesignFields& b) {
    const InputTexts& x = a.texts;
    const InputTexts& y = b.texts;
    return a.filterType == b.filterType && a.responseType == b.responseType && x.Fo == y.Fo &&
           x.Df == y.Df && x.Ld == y.Ld && x.Cs == y.Cs && x.Rd == y.Rd && x.Ck == y.Ck &&
           x.Level == y.Level;
}

// A result to keep for its texts: the curve lives in the chart.
CalculationResult WithoutCurve(const CalculationResult& result) {
    CalculationResult kept = result;
    kept.curve = {};
    return kept;
}

// Window texts separate lines by a carriage return; Qt widgets by a line feed.
QString LinesFromCr(const std::string& text) {
    QString lines = FromUtf8(text);
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

}  // namespace

char DecimalSeparatorOf(const QLocale& locale) {
    return locale.decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

QString LongTimeText(const QLocale& locale, const QTime& time) {
    // Drop the time-zone letters (outside quoted literals) and the blanks around them.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        kept.append(c);
    }
    return locale.toString(time, kept.simplified());
}

QString ShortDateText(const QLocale& locale, const QDate& date) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString ResponseDisplayName(int responseType) {
    if (responseType < 1 || responseType > ResponseTypeCount) return QString();
    return Translated(ResponseNames[responseType - 1]);
}

QString OpenedTopologyDisplayName(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return QString();
    return Translated(OpenedTopologyNames[filterType - 1]);
}

MainWindow::MainWindow(char separator, QWidget* parent)
    : QMainWindow(parent),
      separator_(separator),
      dialogs_(std::make_unique<QtDialogService>(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(ProgramIcon());
    BuildMenu();
    BuildControls();
    measured_ = new MeasuredOverlay(*this, *chart_, *analysisMenu_);
    RetranslateUi();
    // The size and place of the last run, else the familiar size in the middle of the screen.
    if (!restoreGeometry(RememberedWindowGeometry())) {
        resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    SetStartState();
    infoWindow_ = new InfoWindow(this);
    projectState_ = new ProjectState(this);
    connect(projectState_, &ProjectState::Changed, this, [this] { UpdateTitle(); });
    tuningPanel_ = new TuningPanel(*this, *chart_, *projectState_);
    addDockWidget(Qt::RightDockWidgetArea, tuningPanel_);
    tuningPanel_->hide();
    analysisMenu_->addSeparator()->setObjectName(QStringLiteral("tuningSeparator"));
    analysisMenu_->addAction(tuningPanel_->MenuAction());
    savedDesign_ = CurrentDesign();
    savedProjectImage_ = projectState_->Image();
    UpdateTitle();
}

MainWindow::~MainWindow() {
    SetBusyCursor(false);
}

void MainWindow::SetDialogService(std::unique_ptr<DialogService> dialogs) {
    if (dialogs) dialogs_ = std::move(dialogs);
}

void MainWindow::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));
    const auto named = [](QAction* action, const char* name) {
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // The texts come from RetranslateUi; Alt or F10 walks the bar with the arrows.
    fileMenu_ = bar->addMenu(QString());
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    named(fileMenu_->menuAction(), "fileMenu");
    newAction_ = named(fileMenu_->addAction(QString()), "newAction");
    newAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+N")));
    openAction_ = named(fileMenu_->addAction(QString()), "openAction");
    openAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+O")));
    saveAction_ = named(fileMenu_->addAction(QString()), "saveAction");
    saveAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+S")));
    saveAsAction_ = named(fileMenu_->addAction(QString()), "saveAsAction");
    saveAsAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+Shift+S")));
    fileSeparator_ = named(fileMenu_->addSeparator(), "fileSeparator");
    printAction_ = named(fileMenu_->addAction(QString()), "printAction");
    printAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+P")));
    crystalsAction_ = named(fileMenu_->addAction(QString()), "crystalsAction");
    exportViewAction_ = named(fileMenu_->addAction(QString()), "exportViewAction");
    reportAction_ = named(fileMenu_->addAction(QString()), "reportAction");
    exitSeparator_ = named(fileMenu_->addSeparator(), "exitSeparator");
    exitAction_ = named(fileMenu_->addAction(QString()), "exitAction");
    exitAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+Q")));
    calculateAction_ = named(bar->addAction(QString()), "calculateAction");
    calculateAction_->setShortcuts(
        {QKeySequence(Qt::Key_F9), QKeySequence::fromString(QStringLiteral("Ctrl+R"))});
    infoAction_ = named(bar->addAction(QString()), "infoAction");
    chartMenu_ = bar->addMenu(QString());
    chartMenu_->setObjectName(QStringLiteral("chartMenu"));
    named(chartMenu_->menuAction(), "chartMenu");
    overlayAction_ = named(chartMenu_->addAction(QString()), "overlayAction");
    overlayAction_->setCheckable(true);
    legendAction_ = named(chartMenu_->addAction(QString()), "legendAction");
    legendAction_->setCheckable(true);
    // The legend is shown at start, and the mark says so.
    legendAction_->setChecked(true);
    chartSeparator_ = named(chartMenu_->addSeparator(), "chartSeparator");
    clearChartAction_ = named(chartMenu_->addAction(QString()), "clearChartAction");
    compareCrystalsAction_ = named(chartMenu_->addAction(QString()), "compareCrystalsAction");
    analysisMenu_ = bar->addMenu(QString());
    analysisMenu_->setObjectName(QStringLiteral("analysisMenu"));
    named(analysisMenu_->menuAction(), "analysisMenu");
    auto* views = new QActionGroup(this);
    static constexpr std::array<const char*, AnalysisViewCount> ViewNames = {
        "passBandViewAction", "wideBandViewAction", "groupDelayViewAction", "returnLossViewAction",
        "impedanceViewAction"};
    for (int i = 0; i < AnalysisViewCount; ++i) {
        QAction* action = named(analysisMenu_->addAction(QString()), ViewNames[i]);
        action->setCheckable(true);
        views->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, i] { ShowView(static_cast<AnalysisView>(i)); });
        viewActions_[i] = action;
    }
    viewActions_[0]->setChecked(true);
    buildMenu_ = bar->addMenu(QString());
    buildMenu_->setObjectName(QStringLiteral("buildMenu"));
    named(buildMenu_->menuAction(), "buildMenu");
    roundingAction_ = named(buildMenu_->addAction(QString()), "roundingAction");
    matchingAction_ = named(buildMenu_->addAction(QString()), "matchingAction");
    toleranceAction_ = named(buildMenu_->addAction(QString()), "toleranceAction");
    connect(roundingAction_, &QAction::triggered, this, &MainWindow::ShowRoundingWindow);
    connect(matchingAction_, &QAction::triggered, this, [this] {
        ShowRoundingWindow();
        roundingWindow_->ShowMatching();
    });
    connect(toleranceAction_, &QAction::triggered, this, &MainWindow::ShowToleranceWindow);
    // Each language is named in its own words, so that either reader finds it.
    languageMenu_ = bar->addMenu(QString());
    languageMenu_->setObjectName(QStringLiteral("languageMenu"));
    named(languageMenu_->menuAction(), "languageMenu");
    auto* languages = new QActionGroup(this);
    russianAction_ = named(languageMenu_->addAction(QString::fromUtf8("Русский")), "russianAction");
    englishAction_ = named(languageMenu_->addAction(QStringLiteral("English")), "englishAction");
    for (QAction* action : {russianAction_, englishAction_}) {
        action->setCheckable(true);
        languages->addAction(action);
    }
    connect(russianAction_, &QAction::triggered, this,
            [this] { ChooseLanguage(Language::Russian); });
    connect(englishAction_, &QAction::triggered, this,
            [this] { ChooseLanguage(Language::English); });

    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, &MainWindow::EnterMenuBar);

    connect(newAction_, &QAction::triggered, this, &MainWindow::NewDesign);
    connect(openAction_, &QAction::triggered, this, &MainWindow::OpenDesign);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::SaveDesignCommand);
    connect(saveAsAction_, &QAction::triggered, this, &MainWindow::SaveDesignAsCommand);
    connect(printAction_, &QAction::triggered, this, &MainWindow::PrintWindow);
    connect(exportViewAction_, &QAction::triggered, this, &MainWindow::ExportViewCommand);
    connect(reportAction_, &QAction::triggered, this, &MainWindow::ReportCommand);
    connect(exitAction_, &QAction::triggered, this, &MainWindow::Quit);
    connect(calculateAction_, &QAction::triggered, this, &MainWindow::CalculateDesign);
    connect(infoAction_, &QAction::triggered, this, &MainWindow::ShowInfo);
    connect(clearChartAction_, &QAction::triggered, this, &MainWindow::ClearChart);
    connect(crystalsAction_, &QAction::triggered, this, &MainWindow::ShowCrystalWindow);
    connect(compareCrystalsAction_, &QAction::triggered, this, &MainWindow::CompareCrystals);
    // The check mark of "Наложения" is the overlay mode itself; switching it on starts the
    // curve count again. "Легенда" shows or hides the legend with its check mark.
    connect(overlayAction_, &QAction::toggled, this, [this](bool checked) {
        if (checked) curveCount_ = 0;
    });
    connect(legendAction_, &QAction::toggled, this,
            [this](bool checked) { chart_->SetLegendVisible(checked); });
}

void MainWindow::BuildControls() {
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    clientArea_->setAutoFillBackground(true);
    setCentralWidget(clientArea_);
    clientArea_->setFont(ArialFont(12, true));

    // The schematics share one area at its top left; exactly one of them is shown.
    schematicArea_ = new QWidget(clientArea_);
    schematicArea_->setObjectName(QStringLiteral("schematicArea"));
    schematicArea_->setFixedHeight(SchematicHeight);
    schematicArea_->setMinimumWidth(
        SchematicLeft + *std::max_element(SchematicWidths.begin(), SchematicWidths.end()));
    for (int type = 1; type <= FilterTypeCount; ++type) {
        auto* image = new QLabel(schematicArea_);
        image->setObjectName(QStringLiteral("schematic%1").arg(type));
        image->setGeometry(SchematicLeft, 0, SchematicWidths[type - 1], SchematicHeight);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->setStatusTip(SchematicHint(type));
        schematicImages_[type - 1] = image;
    }

    resultText_ = new QTextEdit(clientArea_);
    resultText_->setObjectName(QStringLiteral("resultText"));
    resultText_->setFixedSize(340, SchematicHeight);
    resultText_->setReadOnly(true);
    resultText_->setAcceptRichText(false);
    resultText_->setTabChangesFocus(true);
    resultText_->setLineWrapMode(QTextEdit::WidgetWidth);
    resultText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resultText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QPalette colors = resultText_->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colors.setColor(group, QPalette::Base, InfoColor());
        }
        resultText_->setPalette(colors);
    }

    chart_ = new ResponseChart(clientArea_);
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->setMinimumSize(300, 240);
    chart_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, 4, 0);
    topRow->setSpacing(0);
    topRow->addWidget(schematicArea_, 1);
    topRow->addWidget(resultText_);

    auto* middleRow = new QHBoxLayout;
    middleRow->setContentsMargins(4, 0, 3, 0);
    middleRow->setSpacing(7);
    middleRow->addWidget(chart_, 1);
    middleRow->addWidget(BuildInputPanel());

    BuildStatusBars();

    auto* rows = new QVBoxLayout(clientArea_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addLayout(topRow);
    rows->addSpacing(3);
    rows->addLayout(middleRow, 1);
    rows->addWidget(overlayStatusBar_);
    rows->addWidget(hintStatusBar_);

    // Enter and the character rules of the numeric fields.
    for (QLineEdit* field : {foEdit_, dfEdit_, ldEdit_, csEdit_, levelEdit_, rdEdit_, ckEdit_}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &MainWindow::UpdateTitle);
    }
    connect(topologyCombo_, &QComboBox::activated, this, &MainWindow::ChooseTopology);
    connect(responseCombo_, &QComboBox::activated, this, &MainWindow::ChooseResponse);

    // Tab visits the controls in reading order: the result, the crystal data, the filter data.
    // The two name displays lie over their lists: clicks go through to the list beneath, and
    // Tab does not stop on them.
    QWidget* order[] = {resultText_, foEdit_,        ldEdit_,        csEdit_, rdEdit_,
                        ckEdit_,     topologyCombo_, responseCombo_, dfEdit_, levelEdit_};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QLineEdit* display : {topologyNameEdit_, responseNameEdit_}) {
        display->setFocusPolicy(Qt::NoFocus);
        display->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (QLabel* image : schematicImages_)
        image->setFocusPolicy(Qt::NoFocus);
    authorsMark_->setFocusPolicy(Qt::NoFocus);
    topologyCombo_->setFocus();

    clockTimer_ = new QTimer(this);
    clockTimer_->setObjectName(QStringLiteral("clockTimer"));
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindow::ShowClock);
}

QLabel* MainWindow::AddLabel(const char* name, QWidget* parent) {
    auto* item = new QLabel(parent);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QWidget* MainWindow::BuildInputPanel() {
    auto* panel = new QWidget(clientArea_);
    panel->setObjectName(QStringLiteral("inputPanel"));
    panel->setFixedWidth(InputPanelWidth);

    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    const auto heading = [&](const char* name) {
        QLabel* item = AddLabel(name, panel);
        item->setPalette(blue);
        item->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setFixedHeight(HeadingHeight);
        return item;
    };
    const auto bevel = [&](const char* name, int height) {
        auto* frame = new QFrame(panel);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setFixedHeight(height);
        return frame;
    };
    const auto number = [](const char* name, const char* text, QWidget* parent, int width,
                           bool allowsMinus = false) {
        QLineEdit* item = new NumericEdit(QString::fromUtf8(text), allowsMinus, parent);
        item->setObjectName(QString::fromLatin1(name));
        item->setFixedSize(width, FieldHeight);
        return item;
    };
    // A field's label stands right-aligned before it, its text a little below the box's top.
    const auto fieldLabel = [&](const char* name, QWidget* parent) {
        QLabel* item = AddLabel(name, parent);
        item->setAlignment(Qt::AlignRight | Qt::AlignTop);
        item->setContentsMargins(0, LabelDrop, 0, 0);
        return item;
    };

    crystalDataLabel_ = heading("crystalDataLabel");
    crystalDataFrame_ = bevel("crystalDataFrame", 138);
    foLabel_ = fieldLabel("foLabel", crystalDataFrame_);
    foEdit_ = number("foEdit", "8861.736", crystalDataFrame_, 70);
    ldLabel_ = fieldLabel("ldLabel", crystalDataFrame_);
    ldEdit_ = number("ldEdit", "10.1", crystalDataFrame_, 45);
    csLabel_ = fieldLabel("csLabel", crystalDataFrame_);
    csEdit_ = number("csEdit", "6.3", crystalDataFrame_, 45);
    rdLabel_ = fieldLabel("rdLabel", crystalDataFrame_);
    rdLabel_->setFont(ArialFont(13, true));
    rdEdit_ = number("rdEdit", "5.7", crystalDataFrame_, 45);
    ckLabel_ = fieldLabel("ckLabel", crystalDataFrame_);
    ckLabel_->setFont(ArialFont(13, true));
    ckEdit_ = new QLineEdit(QStringLiteral("91"), crystalDataFrame_);
    ckEdit_->setObjectName(QStringLiteral("ckEdit"));
    ckEdit_->setFixedSize(45, FieldHeight);
    SetCkFieldEnabled(false);
    {
        // The edit boxes start 81 pixels into the frame, 25 pixels apart.
        auto* grid = new QGridLayout(crystalDataFrame_);
        grid->setContentsMargins(0, 7, 13, 0);
        grid->setHorizontalSpacing(2);
        grid->setVerticalSpacing(2);
        grid->setColumnStretch(0, 1);
        grid->setColumnMinimumWidth(1, 70);
        const std::pair<QLabel*, QLineEdit*> rows[] = {{foLabel_, foEdit_},
                                                       {ldLabel_, ldEdit_},
                                                       {csLabel_, csEdit_},
                                                       {rdLabel_, rdEdit_},
                                                       {ckLabel_, ckEdit_}};
        int row = 0;
        for (const auto& [label, edit] : rows) {
            grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
            grid->addWidget(edit, row, 1, Qt::AlignLeft | Qt::AlignTop);
            ++row;
        }
        grid->setRowStretch(row, 1);
    }

    filterDataLabel_ = heading("filterDataLabel");
    filterDataFrame_ = bevel("filterDataFrame", 145);
    topologyLabel_ = AddLabel("topologyLabel", filterDataFrame_);
    topologyLabel_->setFixedHeight(HeadingHeight);
    topologyLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    topologyCombo_ = new QComboBox(filterDataFrame_);
    topologyCombo_->setObjectName(QStringLiteral("topologyCombo"));
    topologyCombo_->setFixedSize(153, FieldHeight);
    for (int i = 0; i < FilterTypeCount; ++i)
        topologyCombo_->addItem(QString());
    responseLabel_ = AddLabel("responseLabel", filterDataFrame_);
    responseLabel_->setFixedHeight(HeadingHeight - 1);
    responseLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    responseCombo_ = new QComboBox(filterDataFrame_);
    responseCombo_->setObjectName(QStringLiteral("responseCombo"));
    responseCombo_->setFixedSize(153, 22);
    responseCombo_->setFont(ArialFont(11, true));
    for (int i = 0; i < ResponseTypeCount; ++i)
        responseCombo_->addItem(QString());
    // The name boxes lie over the text part of their lists, leaving the buttons free; clicks go
    // through to the list beneath.
    const auto nameDisplay = [](const char* name, QComboBox* list) {
        auto* item = new QLineEdit(list);
        item->setObjectName(QString::fromLatin1(name));
        item->setGeometry(0, 0, list->width() - ListButtonWidth, list->height());
        return item;
    };
    topologyNameEdit_ = nameDisplay("topologyNameEdit", topologyCombo_);
    responseNameEdit_ = nameDisplay("responseNameEdit", responseCombo_);
    responseNameEdit_->setFont(ArialFont(11, true));
    dfLabel_ = fieldLabel("dfLabel", filterDataFrame_);
    dfEdit_ = number("dfEdit", "3100", filterDataFrame_, 36);
    levelLabel_ = fieldLabel("levelLabel", filterDataFrame_);
    levelEdit_ = number("levelEdit", "-3", filterDataFrame_, 36, true);
    {
        // The lists and their labels 5 pixels in from the left; the field labels may use the
        // whole width.
        auto* column = new QVBoxLayout(filterDataFrame_);
        column->setContentsMargins(0, 1, 5, 0);
        column->setSpacing(0);
        auto* lists = new QVBoxLayout;
        lists->setContentsMargins(5, 0, 0, 0);
        lists->setSpacing(0);
        lists->addWidget(topologyLabel_);
        lists->addWidget(topologyCombo_);
        lists->addSpacing(3);
        lists->addWidget(responseLabel_);
        lists->addWidget(responseCombo_);
        column->addLayout(lists);
        for (const auto& [label, edit, gap] :
             {std::tuple{dfLabel_, dfEdit_, 3}, std::tuple{levelLabel_, levelEdit_, 2}}) {
            auto* row = new QHBoxLayout;
            row->setContentsMargins(0, 0, 1, 0);
            row->setSpacing(1);
            row->addWidget(label, 1, Qt::AlignRight | Qt::AlignTop);
            row->addWidget(edit, 0, Qt::AlignTop);
            column->addSpacing(gap);
            column->addLayout(row);
        }
        column->addStretch(1);
    }

    authorsMark_ = new QLabel(panel);
    authorsMark_->setObjectName(QStringLiteral("authorsMark"));
    authorsMark_->setFixedSize(160, 43);

    // Headings and frames at the top, the mark at the bottom; a taller window opens the gap
    // between them.
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 2, 0, 5);
    column->setSpacing(0);
    column->addWidget(crystalDataLabel_);
    column->addWidget(crystalDataFrame_);
    column->addSpacing(4);
    column->addWidget(filterDataLabel_);
    column->addWidget(filterDataFrame_);
    column->addStretch(1);
    column->addSpacing(8);
    column->addWidget(authorsMark_, 0, Qt::AlignLeft);
    return panel;
}

void MainWindow::BuildStatusBars() {
    // Every panel of the overlays grows alike with the window; on the lower bar the hint takes
    // the room and the date and time stay at the right.
    overlayStatusBar_ = new PanelBar({{160, Qt::AlignLeft, 1},
                                      {160, Qt::AlignLeft, 1},
                                      {160, Qt::AlignLeft, 1},
                                      {160, Qt::AlignLeft, 1},
                                      {160, Qt::AlignLeft, 1}},
                                     clientArea_);
    overlayStatusBar_->setObjectName(QStringLiteral("overlayStatusBar"));
    overlayStatusBar_->setFixedHeight(StatusBarHeight);
    {
        QFont small(QStringLiteral("MS Sans Serif"));
        small.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans")});
        small.setPixelSize(11);
        small.setBold(false);
        overlayStatusBar_->setFont(small);
        QPalette green = overlayStatusBar_->palette();
        green.setColor(QPalette::WindowText, QColor(0, 128, 0));
        overlayStatusBar_->setPalette(green);
    }
    // Date and time get the room their texts take in the user's locale, at least the 80 and 72
    // pixels they have always had; the hint gives it up.
    const QFontMetrics metrics(QApplication::font());
    const QLocale locale = QLocale::system();
    const auto room = [&](const QString& text) {
        return metrics.horizontalAdvance(text) + PanelPadding;
    };
    const int dateWidth = std::max(80, room(ShortDateText(locale, QDate(2026, 12, 28))));
    const int timeWidth =
        std::max({ClientWidth - 640 - 80, room(LongTimeText(locale, QTime(10, 58, 58))),
                  room(LongTimeText(locale, QTime(22, 58, 58)))});
    hintStatusBar_ = new PanelBar({{ClientWidth - dateWidth - timeWidth, Qt::AlignLeft, 1},
                                   {dateWidth, Qt::AlignHCenter, 0},
                                   {timeWidth, Qt::AlignHCenter, 0}},
                                  clientArea_);
    hintStatusBar_->setObjectName(QStringLiteral("hintStatusBar"));
    hintStatusBar_->setFixedHeight(StatusBarHeight);
    hintStatusBar_->setFont(QApplication::font());
}

void MainWindow::RetranslateUi() {
    fileMenu_->setTitle(tr("&Файл"));
    newAction_->setText(tr("&Новый"));
    openAction_->setText(tr("&Открыть"));
    saveAction_->setText(tr("&Сохранить"));
    saveAsAction_->setText(tr("Сохранить к&ак…"));
    printAction_->setText(tr("&Печать"));
    exitAction_->setText(tr("&Выход"));
    exportViewAction_->setText(tr("&Экспорт вида…"));
    reportAction_->setText(tr("Отч&ёт…"));
    crystalsAction_->setText(tr("&Кварцы…"));
    analysisMenu_->setTitle(tr("&Анализ"));
    viewActions_[0]->setText(tr("&Полоса пропускания"));
    viewActions_[1]->setText(tr("&Широкая полоса"));
    viewActions_[2]->setText(tr("&Групповая задержка"));
    viewActions_[3]->setText(tr("&Возвратные потери"));
    viewActions_[4]->setText(tr("&Входное сопротивление"));
    calculateAction_->setText(tr("&Расчет"));
    infoAction_->setText(tr("&Инфо"));
    chartMenu_->setTitle(tr("&График"));
    overlayAction_->setText(tr("&Наложения"));
    legendAction_->setText(tr("&Легенда"));
    clearChartAction_->setText(tr("&Очистить"));
    compareCrystalsAction_->setText(tr("&Сравнить кварцы"));
    buildMenu_->setTitle(tr("&Сборка"));
    roundingAction_->setText(tr("&Стандартные номиналы…"));
    matchingAction_->setText(tr("Со&гласование…"));
    toleranceAction_->setText(tr("&Допуски…"));
    languageMenu_->setTitle(tr("&Язык / Language"));
    russianAction_->setChecked(CurrentLanguage() == Language::Russian);
    englishAction_->setChecked(CurrentLanguage() == Language::English);

    crystalDataLabel_->setText(tr("Данные резонатора"));
    foLabel_->setText(tr("Fo(кГц) ="));
    ldLabel_->setText(tr("Ld(мГн) ="));
    csLabel_->setText(tr("Сs(пФ) ="));
    rdLabel_->setText(tr("Rd(Ом) ="));
    ckLabel_->setText(tr("Сk(пФ) ="));
    filterDataLabel_->setText(tr("Данные фильтра"));
    topologyLabel_->setText(tr("Порядок фильтра :"));
    responseLabel_->setText(tr("Тип АЧХ :"));
    dfLabel_->setText(tr("Полоса dF (Гц) ="));
    levelLabel_->setText(tr("Уровень АЧХ (дБ) ="));
    foEdit_->setStatusTip(tr("Частота кварца"));
    ldEdit_->setStatusTip(tr("Индуктивность кварца"));
    csEdit_->setStatusTip(tr("Статическая емкость кварца"));
    rdEdit_->setStatusTip(tr("Активное сопротивление кварца"));
    ckEdit_->setStatusTip(tr("Емкость коррекции"));
    for (int type = 1; type <= FilterTypeCount; ++type)
        schematicImages_[type - 1]->setStatusTip(SchematicHint(type));
    for (int i = 0; i < FilterTypeCount; ++i)
        topologyCombo_->setItemText(i, Translated(TopologyItems[i]));
    for (int i = 0; i < ResponseTypeCount; ++i)
        responseCombo_->setItemText(i, Translated(ResponseItems[i]));
    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    // The mark's words are drawn into its picture.
    picturesRatio_ = 0;
    UpdatePictures();
    // The results on show, in the words of the new language.
    if (shownSummary_) {
        SetResultText(SummaryText(*shownSummary_, shownSet_, CurrentLanguage()));
    }
    if (view_ != AnalysisView::PassBand) PlotViewSweep();
    if (measured_) measured_->RetranslateUi();
    NameComparison();
    for (int position = 0; position < SeriesCount; ++position) {
        if (const auto& shown = overlayTexts_[position]) {
            overlayStatusBar_->SetPanelText(
                position, FromUtf8(OverlayStatusText(position, shown->result, shown->dfText,
                                                     separator_, CurrentLanguage())));
        }
    }
    UpdateTitle();
}

void MainWindow::ChooseLanguage(Language language) {
    SetLanguage(language);
    RememberLanguage(LanguageCode(language));
}

QString MainWindow::TopologyDisplayText() const {
    switch (topologyNameSource_) {
        case NameSource::Start:
            return Translated(StartTopologyName);
        case NameSource::List:
            return filterType_ >= 1 && filterType_ <= FilterTypeCount
                       ? Translated(TopologyItems[filterType_ - 1])
                       : QString();
        case NameSource::File:
            return OpenedTopologyDisplayName(filterType_);
    }
    return QString();
}

QString MainWindow::ResponseDisplayText() const {
    return responseNameSource_ == NameSource::Start ? Translated(StartResponseName)
                                                    : ResponseDisplayName(responseType_);
}

void MainWindow::UpdatePictures() {
    const qreal ratio = devicePixelRatioF();
    if (ratio == picturesRatio_) return;
    picturesRatio_ = ratio;
    for (int type = 1; type <= FilterTypeCount; ++type)
        schematicImages_[type - 1]->setPixmap(QPixmap::fromImage(DrawSchematic(type, ratio)));
    authorsMark_->setPixmap(
        QPixmap::fromImage(DrawAuthorsMark(authorsMark_->width(), authorsMark_->height(), ratio)));
}

void MainWindow::SetStartState() {
    resultText_->show();
    hintHandlerInstalled_ = true;
    ShowClock();
    clockTimer_->start();
    topologyCombo_->setCurrentIndex(0);
    responseCombo_->setCurrentIndex(0);
    filterType_ = 2;
    responseType_ = 1;
    topologyNameSource_ = NameSource::Start;
    responseNameSource_ = NameSource::Start;
    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    ShowSchematic(2);
    calculateAction_->setEnabled(true);
    curveCount_ = 0;
}

void MainWindow::ShowSchematic(int filterType) {
    // Show the chosen one first, so that the picture area is never empty in between.
    for (int type = 1; type <= FilterTypeCount; ++type) {
        if (type == filterType) schematicImages_[type - 1]->show();
    }
    for (int type = 1; type <= FilterTypeCount; ++type) {
        if (type != filterType) schematicImages_[type - 1]->hide();
    }
}

void MainWindow::SetCkFieldEnabled(bool enabled) {
    ckEdit_->setEnabled(enabled);
    QPalette colors = ckEdit_->palette();
    const QColor background = enabled ? WindowColor() : MenuColor();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colors.setColor(group, QPalette::Base, background);
    }
    ckEdit_->setPalette(colors);
}

void MainWindow::ChooseTopology() {
    const int index = topologyCombo_->currentIndex();
    if (index < 0 || index >= FilterTypeCount) return;
    filterType_ = index + 1;
    ShowSchematic(index + 1);
    topologyNameSource_ = NameSource::List;
    topologyNameEdit_->setText(TopologyDisplayText());
    SetCkFieldEnabled(index + 1 >= int(FilterType::Cw4));
    UpdateTitle();
}

void MainWindow::ChooseResponse() {
    const int index = responseCombo_->currentIndex();
    if (index < 0 || index >= ResponseTypeCount) return;
    responseType_ = index + 1;
    responseNameSource_ = NameSource::List;
    responseNameEdit_->setText(ResponseDisplayText());
    UpdateTitle();
}

InputTexts MainWindow::FieldTexts() const {
    InputTexts texts;
    texts.Fo = foEdit_->text().toStdString();
    texts.Df = dfEdit_->text().toStdString();
    texts.Ld = ldEdit_->text().toStdString();
    texts.Cs = csEdit_->text().toStdString();
    texts.Rd = rdEdit_->text().toStdString();
    texts.Ck = ckEdit_->text().toStdString();
    texts.Level = levelEdit_->text().toStdString();
    return texts;
}

void MainWindow::SetFieldTexts(const InputTexts& texts) {
    foEdit_->setText(FromUtf8(texts.Fo));
    ldEdit_->setText(FromUtf8(texts.Ld));
    csEdit_->setText(FromUtf8(texts.Cs));
    rdEdit_->setText(FromUtf8(texts.Rd));
    dfEdit_->setText(FromUtf8(texts.Df));
    levelEdit_->setText(FromUtf8(texts.Level));
    ckEdit_->setText(FromUtf8(texts.Ck));
}

void MainWindow::ShowError(const QString& text) {
    dialogs_->Error(text);
}

void MainWindow::CalculateDesign() {
    const bool overlay = overlayAction_->isChecked();
    SetBusyCursor(true);
    const Language language = CurrentLanguage();
    CalculationResult calculated = CalculateProject(language);
    SetBusyCursor(false);
    // A calculation refused before it drew a curve (a typing slip, a design the synthesis
    // cannot make) only says why: the chart, the overlays, their count, the summaries and the
    // result text stay as they were.
    const bool drawn = calculated.sweepStarted && !calculated.curve.empty();
    if (calculated.outcome != Outcome::Done && !drawn) {
        if (calculated.outcome == Outcome::Warning)
            ShowWarning(MessageText(calculated.message, language));
        else
            ShowError(FromUtf8(MessageText(calculated.message, language)));
        return;
    }
    lastResult_ = std::move(calculated);
    if (!overlay) chart_->ClearSeries(0);
    // After five overlays the next curve starts a new set.
    if (curveCount_ > SeriesCount - 1) {
        curveCount_ = 0;
        ClearCurves();
    }
    const CalculationResult& result = lastResult_;
    if (!result.keepsPreviousResult) {
        resultText_->clear();
        shownSummary_.reset();
    }
    if (curveCount_ == 0) ClearCurves();
    // A sweep that a warning cut short still shows the points it got.
    if (!result.curve.empty()) chart_->AddCurve(overlay ? curveCount_ : 0, result.curve);
    switch (result.outcome) {
        case Outcome::Done:
            if (overlay) {
                const std::string dfText = FieldTexts().Df;
                overlayStatusBar_->SetPanelText(
                    curveCount_,
                    FromUtf8(OverlayStatusText(curveCount_, result, dfText, separator_, language)));
                overlayTexts_[curveCount_] = OverlayText{WithoutCurve(result), dfText};
            }
            SetResultText(SummaryText(result, lastSet_, language));
            shownSummary_ = WithoutCurve(result);
            shownSet_ = lastSet_;
            break;
        case Outcome::Warning:
            ShowWarning(MessageText(result.message, language));
            break;
        case Outcome::Error:
            // An abandoned command does not count as a curve.
            ShowError(FromUtf8(MessageText(result.message, language)));
            return;
    }
    ++curveCount_;
    emit DesignCalculated();
    // A quantity view follows the new design; its own messages were shown already.
    if (view_ != AnalysisView::PassBand && result.outcome == Outcome::Done) ShowView(view_);
    if (view_ == AnalysisView::PassBand) measured_->Show(view_);
}

void MainWindow::ShowRoundingWindow() {
    if (!roundingWindow_) roundingWindow_ = new RoundingWindow(this);
    roundingWindow_->show();
    roundingWindow_->raise();
    roundingWindow_->activateWindow();
}

void MainWindow::ShowToleranceWindow() {
    if (!toleranceWindow_) toleranceWindow_ = new ToleranceWindow(this);
    toleranceWindow_->show();
    toleranceWindow_->raise();
    toleranceWindow_->activateWindow();
}

void MainWindow::ClearCurves() {
    for (int position = 0; position < SeriesCount; ++position) {
        chart_->ClearSeries(position);
        chart_->SetSeriesName(position, QString());
        chart_->SetLegendEntryShown(position, true);
        overlayStatusBar_->SetPanelText(position, QString());
        overlayTexts_[position].reset();
    }
    for (std::optional<OverlayText>& shown : comparison_) {
        shown.reset();
    }
}

void MainWindow::PrintWindow() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_->PrinterSetup(printer)) return;
    if (!PrintOnto(printer)) {
        ShowError(tr("Принтер не может начать печать"));
    }
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

void MainWindow::Quit() {
    close();
}

DesignFields MainWindow::CurrentDesign() const {
    return {FieldTexts(), filterType_, responseType_};
}

bool MainWindow::HasUnsavedChanges() const {
    return !SameDesign(CurrentDesign(), savedDesign_) ||
           (projectState_ && projectState_->Image() != savedProjectImage_);
}

void MainWindow::UpdateTitle() {
    // "[*]" is where Qt shows the mark of a design that differs from its file.
    const QString program = Translated(ProgramTitle);
    setWindowTitle(designPath_.isEmpty()
                       ? program + QStringLiteral("[*]")
                       : QFileInfo(designPath_).fileName() + QStringLiteral("[*] — ") + program);
    setWindowModified(HasUnsavedChanges());
}

void MainWindow::DesignStored(const QString& path, const DesignFields& design) {
    designPath_ = path;
    savedDesign_ = design;
    UpdateTitle();
}

bool MainWindow::ConfirmDiscard() {
    if (!HasUnsavedChanges()) return true;
    const QString name =
        designPath_.isEmpty() ? tr("без имени") : QFileInfo(designPath_).fileName();
    switch (dialogs_->AskToSaveChanges(name)) {
        case DialogService::UnsavedAnswer::Save:
            return SaveDesign();
        case DialogService::UnsavedAnswer::Discard:
            return true;
        case DialogService::UnsavedAnswer::Cancel:
            break;
    }
    return false;
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

void MainWindow::ToggleOverlay() {
    overlayAction_->trigger();
}

void MainWindow::ToggleLegend() {
    legendAction_->trigger();
}

void MainWindow::ClearChart() {
    ClearCurves();
    curveCount_ = 0;
    resultText_->clear();
    shownSummary_.reset();
}

void MainWindow::ShowClock() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    hintStatusBar_->SetPanelText(1, ShortDateText(locale, now.date()));
    hintStatusBar_->SetPanelText(2, LongTimeText(locale, now.time()));
}

void MainWindow::ShowHint(const QString& hint) {
    hintStatusBar_->SetPanelText(0, hint);
}

void MainWindow::SetBusyCursor(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::ShowWarning(const std::string& text) {
    dialogs_->Warning(LinesFromCr(text));
}

void MainWindow::SetResultText(const std::string& text) {
    resultText_->setPlainText(LinesFromCr(text));
    QTextCursor cursor(resultText_->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

bool MainWindow::event(QEvent* event) {
    // Hints go to the first panel of the lower status bar, never into pop-up tool tips.
    if (event->type() == QEvent::StatusTip) {
        if (hintHandlerInstalled_) ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    // A key held with Alt (or the Windows key) is a command, never text: Alt+letter that no menu
    // takes would otherwise type its letter.
    if ((key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !key.text().isEmpty()) {
        return true;
    }
    if (watched == ckEdit_) return false;
    const std::optional<char16_t> typed = TypedCharacter(key);
    if (!typed) return false;
    if (watched == levelEdit_) return FilterLevelKey(*typed) == KeyVerdict::Suppress;
    switch (FilterNumberKey(*typed)) {
        case KeyVerdict::Pass:
            return false;
        case KeyVerdict::Suppress:
            return true;
        case KeyVerdict::NextField:
            break;
    }
    // Enter walks Fo, Ld, Cs, Rd, dF and ends at the level.
    const std::pair<QLineEdit*, QLineEdit*> chain[] = {{foEdit_, ldEdit_},
                                                       {ldEdit_, csEdit_},
                                                       {csEdit_, rdEdit_},
                                                       {rdEdit_, dfEdit_},
                                                       {dfEdit_, levelEdit_}};
    for (const auto& [from, to] : chain) {
        if (watched == from) {
            to->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    return true;
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
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { UpdatePictures(); });
    }
    UpdatePictures();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscard()) {
        event->ignore();
        return;
    }
    RememberWindowGeometry(saveGeometry());
    // The program ends with its main window, also while the credits scroll.
    infoWindow_->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace feldan
