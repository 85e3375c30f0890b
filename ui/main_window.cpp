#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
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
#include <exception>

#include "engine/errors.h"
#include "ui/info_window.h"
#include "ui/key_rules.h"
#include "ui/numeric_edit.h"
#include "ui/panel_bar.h"
#include "ui/program_icon.h"
#include "ui/response_chart.h"
#include "ui/schematic.h"
#include "ui/window_style.h"

namespace feldan {

namespace {

constexpr int ClientWidth = 792;
constexpr int ClientHeight = 550;

const std::array<const char*, ResponseTypeCount> ResponseNames = {
    "Баттерворта dA=3 dB", "Чебышева dA=0.044 dB", "Чебышева dA=0.099 dB", "Чебышева dA=0.177 dB",
    "Чебышева dA=0.28 дБ"};

// What the topology display shows after a design file is opened: the list's words, but "6-х"
// and "8-х" where the list has "6-ти" and "8-ми".
const std::array<const char*, FilterTypeCount> OpenedTopologyNames = {"3-х кристальный",
                                                                      "4-х кристальный",
                                                                      "6-х кристальный",
                                                                      "8-х кристальный",
                                                                      "4CW",
                                                                      "6CW",
                                                                      "8CW"};

const char* const ProgramTitle = "Расчёт кварцевых фильтров";

bool SameDesign(const DesignFields& a, const DesignFields& b) {
    const InputTexts& x = a.texts;
    const InputTexts& y = b.texts;
    return a.FilterType == b.FilterType && a.ResponseType == b.ResponseType && x.Fo == y.Fo &&
           x.Df == y.Df && x.Ld == y.Ld && x.Cs == y.Cs && x.Rd == y.Rd && x.Ck == y.Ck &&
           x.Level == y.Level;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
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
    return QString::fromUtf8(ResponseNames[responseType - 1]);
}

QString OpenedTopologyDisplayName(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return QString();
    return QString::fromUtf8(OpenedTopologyNames[filterType - 1]);
}

MainWindow::MainWindow(char separator, QWidget* parent)
    : QMainWindow(parent),
      separator_(separator),
      dialogs_(std::make_unique<QtDialogService>(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(ProgramIcon());
    // A fixed window: system menu, minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildMenu();
    BuildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    SetStartState();
    infoWindow_ = new InfoWindow(this);
    savedDesign_ = CurrentDesign();
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
    // Mnemonics with the Russian letters of the texts; Alt or F10 walks the bar with the arrows.
    fileMenu_ = bar->addMenu(QString::fromUtf8("&Файл"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    named(fileMenu_->menuAction(), "fileMenu");
    openAction_ = named(fileMenu_->addAction(QString::fromUtf8("&Открыть")), "openAction");
    openAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+O")));
    saveAction_ = named(fileMenu_->addAction(QString::fromUtf8("&Сохранить")), "saveAction");
    saveAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+S")));
    fileSeparator_ = named(fileMenu_->addSeparator(), "fileSeparator");
    printAction_ = named(fileMenu_->addAction(QString::fromUtf8("&Печать")), "printAction");
    printAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+P")));
    exitSeparator_ = named(fileMenu_->addSeparator(), "exitSeparator");
    exitAction_ = named(fileMenu_->addAction(QString::fromUtf8("&Выход")), "exitAction");
    exitAction_->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+Q")));
    calculateAction_ = named(bar->addAction(QString::fromUtf8("&Расчет")), "calculateAction");
    calculateAction_->setShortcuts(
        {QKeySequence(Qt::Key_F9), QKeySequence::fromString(QStringLiteral("Ctrl+R"))});
    infoAction_ = named(bar->addAction(QString::fromUtf8("&Инфо")), "infoAction");
    chartMenu_ = bar->addMenu(QString::fromUtf8("&График"));
    chartMenu_->setObjectName(QStringLiteral("chartMenu"));
    named(chartMenu_->menuAction(), "chartMenu");
    overlayAction_ = named(chartMenu_->addAction(QString::fromUtf8("&Наложения")), "overlayAction");
    overlayAction_->setCheckable(true);
    legendAction_ = named(chartMenu_->addAction(QString::fromUtf8("&Легенда")), "legendAction");
    legendAction_->setCheckable(true);
    // The legend is shown at start, and the mark says so.
    legendAction_->setChecked(true);
    chartSeparator_ = named(chartMenu_->addSeparator(), "chartSeparator");
    clearChartAction_ =
        named(chartMenu_->addAction(QString::fromUtf8("&Очистить")), "clearChartAction");

    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, &MainWindow::EnterMenuBar);

    connect(openAction_, &QAction::triggered, this, &MainWindow::OpenDesign);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::SaveDesignCommand);
    connect(printAction_, &QAction::triggered, this, &MainWindow::PrintWindow);
    connect(exitAction_, &QAction::triggered, this, &MainWindow::Quit);
    connect(calculateAction_, &QAction::triggered, this, &MainWindow::CalculateDesign);
    connect(infoAction_, &QAction::triggered, this, &MainWindow::ShowInfo);
    connect(clearChartAction_, &QAction::triggered, this, &MainWindow::ClearChart);
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
    clientArea_->setFixedSize(ClientWidth, ClientHeight);
    clientArea_->setAutoFillBackground(true);
    setCentralWidget(clientArea_);
    clientArea_->setFont(ArialFont(12, true));

    for (int type = 1; type <= FilterTypeCount; ++type) {
        auto* image = new QLabel(clientArea_);
        image->setObjectName(QStringLiteral("schematic%1").arg(type));
        image->setPixmap(QPixmap::fromImage(DrawSchematic(type)));
        image->setGeometry(6, 0, SchematicWidths[type - 1], SchematicHeight);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->setStatusTip(SchematicHint(type));
        schematicImages_[type - 1] = image;
    }

    resultText_ = new QTextEdit(clientArea_);
    resultText_->setObjectName(QStringLiteral("resultText"));
    resultText_->setGeometry(448, 0, 340, 105);
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
    chart_->setGeometry(4, 108, 613, 405);

    const auto label = [this](const char* name, const char* text, int x, int y) {
        auto* item = new QLabel(QString::fromUtf8(text), clientArea_);
        item->setObjectName(QString::fromLatin1(name));
        item->adjustSize();
        item->move(x, y);
        return item;
    };
    const auto bevel = [this](const char* name, QRect geometry) {
        auto* frame = new QFrame(clientArea_);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setGeometry(geometry);
        return frame;
    };
    const auto edit = [this](const char* name, const char* text, QRect geometry) {
        auto* item = new QLineEdit(QString::fromUtf8(text), clientArea_);
        item->setObjectName(QString::fromLatin1(name));
        item->setGeometry(geometry);
        return item;
    };
    const auto number = [this](const char* name, const char* text, QRect geometry,
                               bool allowsMinus = false) {
        QLineEdit* item = new NumericEdit(QString::fromUtf8(text), allowsMinus, clientArea_);
        item->setObjectName(QString::fromLatin1(name));
        item->setGeometry(geometry);
        return item;
    };
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));

    crystalDataLabel_ = label("crystalDataLabel", "Данные резонатора", 645, 110);
    crystalDataLabel_->setPalette(blue);
    crystalDataFrame_ = bevel("crystalDataFrame", QRect(624, 128, 165, 138));
    foLabel_ = label("foLabel", "Fo(кГц) =", 652, 139);
    foEdit_ = number("foEdit", "8861.736", QRect(705, 136, 70, 23));
    foEdit_->setStatusTip(QString::fromUtf8("Частота кварца"));
    ldLabel_ = label("ldLabel", "Ld(мГн) =", 649, 164);
    ldEdit_ = number("ldEdit", "10.1", QRect(705, 161, 45, 23));
    ldEdit_->setStatusTip(QString::fromUtf8("Индуктивность кварца"));
    csLabel_ = label("csLabel", "Сs(пФ) =", 653, 189);
    csEdit_ = number("csEdit", "6.3", QRect(705, 186, 45, 23));
    csEdit_->setStatusTip(QString::fromUtf8("Статическая емкость кварца"));
    rdLabel_ = label("rdLabel", "Rd(Ом) =", 648, 214);
    rdLabel_->setFont(ArialFont(13, true));
    rdLabel_->adjustSize();
    rdEdit_ = number("rdEdit", "5.7", QRect(705, 211, 45, 23));
    rdEdit_->setStatusTip(QString::fromUtf8("Активное сопротивление кварца"));
    ckLabel_ = label("ckLabel", "Сk(пФ) =", 648, 239);
    ckLabel_->setFont(ArialFont(13, true));
    ckLabel_->adjustSize();
    ckEdit_ = edit("ckEdit", "91", QRect(705, 236, 45, 23));
    ckEdit_->setStatusTip(QString::fromUtf8("Емкость коррекции"));
    SetCkFieldEnabled(false);

    filterDataLabel_ = label("filterDataLabel", "Данные фильтра", 658, 270);
    filterDataLabel_->setPalette(blue);
    filterDataFrame_ = bevel("filterDataFrame", QRect(624, 288, 165, 145));
    topologyLabel_ = label("topologyLabel", "Порядок фильтра :", 630, 290);
    topologyCombo_ = new QComboBox(clientArea_);
    topologyCombo_->setObjectName(QStringLiteral("topologyCombo"));
    topologyCombo_->setGeometry(630, 308, 153, 23);
    for (std::string_view item : FilterTypeItems)
        topologyCombo_->addItem(FromUtf8(item));
    topologyNameEdit_ = edit("topologyNameEdit", "3-х кристальный", QRect(630, 308, 136, 23));
    responseLabel_ = label("responseLabel", "Тип АЧХ :", 630, 334);
    responseCombo_ = new QComboBox(clientArea_);
    responseCombo_->setObjectName(QStringLiteral("responseCombo"));
    responseCombo_->setGeometry(630, 351, 153, 22);
    responseCombo_->setFont(ArialFont(11, true));
    for (std::string_view item : ResponseTypeItems)
        responseCombo_->addItem(FromUtf8(item));
    responseNameEdit_ = edit("responseNameEdit", "Баттерворта dA=3дБ", QRect(630, 351, 136, 22));
    responseNameEdit_->setFont(ArialFont(11, true));
    // The name boxes lie over the text part of their lists, leaving the buttons free.
    topologyNameEdit_->raise();
    responseNameEdit_->raise();
    dfLabel_ = label("dfLabel", "Полоса dF (Гц) =", 650, 379);
    dfEdit_ = number("dfEdit", "3100", QRect(746, 376, 36, 23));
    levelLabel_ = label("levelLabel", "Уровень АЧХ (дБ) =", 633, 404);
    levelEdit_ = number("levelEdit", "-3", QRect(746, 401, 36, 23), true);

    authorsMark_ = new QLabel(clientArea_);
    authorsMark_->setObjectName(QStringLiteral("authorsMark"));
    authorsMark_->setGeometry(624, 464, 160, 43);
    authorsMark_->setPixmap(QPixmap::fromImage(DrawAuthorsMark(160, 43)));

    overlayStatusBar_ = new PanelBar({{160, Qt::AlignLeft},
                                      {160, Qt::AlignLeft},
                                      {160, Qt::AlignLeft},
                                      {160, Qt::AlignLeft},
                                      {160, Qt::AlignLeft}},
                                     clientArea_);
    overlayStatusBar_->setObjectName(QStringLiteral("overlayStatusBar"));
    overlayStatusBar_->setGeometry(0, 512, ClientWidth, 19);
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
    hintStatusBar_ = new PanelBar(
        {{640, Qt::AlignLeft}, {80, Qt::AlignHCenter}, {80, Qt::AlignHCenter}}, clientArea_);
    hintStatusBar_->setObjectName(QStringLiteral("hintStatusBar"));
    hintStatusBar_->setGeometry(0, 531, ClientWidth, 19);
    hintStatusBar_->setFont(QApplication::font());

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

void MainWindow::SetStartState() {
    resultText_->show();
    hintHandlerInstalled_ = true;
    ShowClock();
    clockTimer_->start();
    topologyCombo_->setCurrentIndex(0);
    responseCombo_->setCurrentIndex(0);
    filterType_ = 2;
    responseType_ = 1;
    topologyNameEdit_->setText(QString::fromUtf8("4-х кристальный"));
    responseNameEdit_->setText(QString::fromUtf8("Баттерворта dA=3 дб"));
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
    topologyNameEdit_->setText(FromUtf8(FilterTypeItems[index]));
    SetCkFieldEnabled(index + 1 >= int(FilterType::Cw4));
    UpdateTitle();
}

void MainWindow::ChooseResponse() {
    const int index = responseCombo_->currentIndex();
    if (index < 0 || index >= ResponseTypeCount) return;
    responseType_ = index + 1;
    responseNameEdit_->setText(ResponseDisplayName(index + 1));
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
    if (!overlay) chart_->ClearSeries(0);
    // After five overlays the next curve starts a new set.
    if (curveCount_ > SeriesCount - 1) {
        curveCount_ = 0;
        ClearCurves();
    }
    SetBusyCursor(true);
    lastResult_ = feldan::Calculate(CurrentDesign(), separator_);
    SetBusyCursor(false);
    const CalculationResult& result = lastResult_;
    if (!result.keepsPreviousResult) resultText_->clear();
    if (result.sweepStarted) {
        if (curveCount_ == 0) ClearCurves();
        // A sweep that a warning cut short still shows the points it got.
        const int position = overlay ? curveCount_ : 0;
        if (!result.curve.empty()) chart_->AddCurve(position, result.curve);
    }
    switch (result.outcome) {
        case Outcome::Done:
            if (overlay) {
                overlayStatusBar_->SetPanelText(
                    curveCount_,
                    FromUtf8(OverlayStatusText(curveCount_, result, FieldTexts().Df, separator_)));
            }
            SetResultText(result.resultText);
            break;
        case Outcome::Warning:
            ShowWarning(MessageText(result.message));
            break;
        case Outcome::Error:
            // An abandoned command does not count as a curve.
            ShowError(FromUtf8(MessageText(result.message)));
            return;
    }
    ++curveCount_;
}

void MainWindow::ClearCurves() {
    for (int position = 0; position < SeriesCount; ++position) {
        chart_->ClearSeries(position);
        overlayStatusBar_->SetPanelText(position, QString());
    }
}

void MainWindow::PrintWindow() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_->PrinterSetup(printer)) return;
    if (!PrintOnto(printer)) {
        ShowError(QString::fromUtf8("Принтер не может начать печать"));
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
    return !SameDesign(CurrentDesign(), savedDesign_);
}

void MainWindow::UpdateTitle() {
    // "[*]" is where Qt shows the mark of a design that differs from its file.
    const QString program = QString::fromUtf8(ProgramTitle);
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
    const QString name = designPath_.isEmpty() ? QString() : QFileInfo(designPath_).fileName();
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

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscard()) {
        event->ignore();
        return;
    }
    // The program ends with its main window, also while the credits scroll.
    infoWindow_->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace feldan
