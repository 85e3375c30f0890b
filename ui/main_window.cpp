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

TForm1::TForm1(char separator, QWidget* parent)
    : QMainWindow(parent),
      separator_(separator),
      dialogs_(std::make_unique<QtDialogService>(this)) {
    setObjectName(QStringLiteral("TForm1"));
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
    FormCreate();
    Form2 = new TForm2(this);
    savedDesign_ = CurrentDesign();
    UpdateTitle();
}

TForm1::~TForm1() {
    SetBusyCursor(false);
}

void TForm1::SetDialogService(std::unique_ptr<DialogService> dialogs) {
    if (dialogs) dialogs_ = std::move(dialogs);
}

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto named = [](QAction* action, const char* name) {
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // Mnemonics with the Russian letters of the texts; Alt or F10 walks the bar with the arrows.
    N1 = bar->addMenu(QString::fromUtf8("&Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    named(N1->menuAction(), "N1");
    Open = named(N1->addAction(QString::fromUtf8("&Открыть")), "Open");
    Open->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+O")));
    Save = named(N1->addAction(QString::fromUtf8("&Сохранить")), "Save");
    Save->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+S")));
    N2 = named(N1->addSeparator(), "N2");
    PrintForm = named(N1->addAction(QString::fromUtf8("&Печать")), "PrintForm");
    PrintForm->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+P")));
    N3 = named(N1->addSeparator(), "N3");
    Exit = named(N1->addAction(QString::fromUtf8("&Выход")), "Exit");
    Exit->setShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+Q")));
    Calculate = named(bar->addAction(QString::fromUtf8("&Расчет")), "Calculate");
    Calculate->setShortcuts(
        {QKeySequence(Qt::Key_F9), QKeySequence::fromString(QStringLiteral("Ctrl+R"))});
    Info = named(bar->addAction(QString::fromUtf8("&Инфо")), "Info");
    N4 = bar->addMenu(QString::fromUtf8("&График"));
    N4->setObjectName(QStringLiteral("N4"));
    named(N4->menuAction(), "N4");
    BonusACH = named(N4->addAction(QString::fromUtf8("&Наложения")), "BonusACH");
    BonusACH->setCheckable(true);
    Legenda = named(N4->addAction(QString::fromUtf8("&Легенда")), "Legenda");
    Legenda->setCheckable(true);
    // The legend is shown at start, and the mark says so.
    Legenda->setChecked(true);
    Polos = named(N4->addSeparator(), "Polos");
    ClearGrafic = named(N4->addAction(QString::fromUtf8("&Очистить")), "ClearGrafic");

    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, &TForm1::EnterMenuBar);

    connect(Open, &QAction::triggered, this, &TForm1::OpenClick);
    connect(Save, &QAction::triggered, this, &TForm1::SaveClick);
    connect(PrintForm, &QAction::triggered, this, &TForm1::PrintFormClick);
    connect(Exit, &QAction::triggered, this, &TForm1::ExitClick);
    connect(Calculate, &QAction::triggered, this, &TForm1::CalculateClick);
    connect(Info, &QAction::triggered, this, &TForm1::InfoClick);
    connect(ClearGrafic, &QAction::triggered, this, &TForm1::ClearGraficClick);
    // The check mark of "Наложения" is the overlay mode itself; switching it on starts the
    // curve count again. "Легенда" shows or hides the legend with its check mark.
    connect(BonusACH, &QAction::toggled, this, [this](bool checked) {
        if (checked) curveCount_ = 0;
    });
    connect(Legenda, &QAction::toggled, this,
            [this](bool checked) { Chart1->SetLegendVisible(checked); });
}

void TForm1::BuildControls() {
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFixedSize(ClientWidth, ClientHeight);
    ClientArea->setAutoFillBackground(true);
    setCentralWidget(ClientArea);
    ClientArea->setFont(ArialFont(12, true));

    for (int type = 1; type <= FilterTypeCount; ++type) {
        auto* image = new QLabel(ClientArea);
        image->setObjectName(QStringLiteral("Image%1").arg(type));
        image->setPixmap(QPixmap::fromImage(DrawSchematic(type)));
        image->setGeometry(6, 0, SchematicWidths[type - 1], SchematicHeight);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->setStatusTip(SchematicHint(type));
        Images[type - 1] = image;
    }

    Memo1 = new QTextEdit(ClientArea);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(448, 0, 340, 105);
    Memo1->setReadOnly(true);
    Memo1->setAcceptRichText(false);
    Memo1->setTabChangesFocus(true);
    Memo1->setLineWrapMode(QTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QPalette colors = Memo1->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colors.setColor(group, QPalette::Base, InfoColor());
        }
        Memo1->setPalette(colors);
    }

    Chart1 = new ResponseChart(ClientArea);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(4, 108, 613, 405);

    const auto label = [this](const char* name, const char* text, int x, int y) {
        auto* item = new QLabel(QString::fromUtf8(text), ClientArea);
        item->setObjectName(QString::fromLatin1(name));
        item->adjustSize();
        item->move(x, y);
        return item;
    };
    const auto bevel = [this](const char* name, QRect geometry) {
        auto* frame = new QFrame(ClientArea);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setGeometry(geometry);
        return frame;
    };
    const auto edit = [this](const char* name, const char* text, QRect geometry) {
        auto* item = new QLineEdit(QString::fromUtf8(text), ClientArea);
        item->setObjectName(QString::fromLatin1(name));
        item->setGeometry(geometry);
        return item;
    };
    const auto number = [this](const char* name, const char* text, QRect geometry,
                               bool allowsMinus = false) {
        QLineEdit* item = new NumericEdit(QString::fromUtf8(text), allowsMinus, ClientArea);
        item->setObjectName(QString::fromLatin1(name));
        item->setGeometry(geometry);
        return item;
    };
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));

    Label1 = label("Label1", "Данные резонатора", 645, 110);
    Label1->setPalette(blue);
    Bevel3 = bevel("Bevel3", QRect(624, 128, 165, 138));
    Label2 = label("Label2", "Fo(кГц) =", 652, 139);
    Edit1 = number("Edit1", "8861.736", QRect(705, 136, 70, 23));
    Edit1->setStatusTip(QString::fromUtf8("Частота кварца"));
    Label3 = label("Label3", "Ld(мГн) =", 649, 164);
    Edit3 = number("Edit3", "10.1", QRect(705, 161, 45, 23));
    Edit3->setStatusTip(QString::fromUtf8("Индуктивность кварца"));
    Label4 = label("Label4", "Сs(пФ) =", 653, 189);
    Edit4 = number("Edit4", "6.3", QRect(705, 186, 45, 23));
    Edit4->setStatusTip(QString::fromUtf8("Статическая емкость кварца"));
    Label5 = label("Label5", "Rd(Ом) =", 648, 214);
    Label5->setFont(ArialFont(13, true));
    Label5->adjustSize();
    Edit6 = number("Edit6", "5.7", QRect(705, 211, 45, 23));
    Edit6->setStatusTip(QString::fromUtf8("Активное сопротивление кварца"));
    Label10 = label("Label10", "Сk(пФ) =", 648, 239);
    Label10->setFont(ArialFont(13, true));
    Label10->adjustSize();
    Edit11 = edit("Edit11", "91", QRect(705, 236, 45, 23));
    Edit11->setStatusTip(QString::fromUtf8("Емкость коррекции"));
    SetCkFieldEnabled(false);

    Label6 = label("Label6", "Данные фильтра", 658, 270);
    Label6->setPalette(blue);
    Bevel2 = bevel("Bevel2", QRect(624, 288, 165, 145));
    Label7 = label("Label7", "Порядок фильтра :", 630, 290);
    ComboBox1 = new QComboBox(ClientArea);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(630, 308, 153, 23);
    for (std::string_view item : FilterTypeItems)
        ComboBox1->addItem(FromUtf8(item));
    Edit7 = edit("Edit7", "3-х кристальный", QRect(630, 308, 136, 23));
    Label8 = label("Label8", "Тип АЧХ :", 630, 334);
    ComboBox2 = new QComboBox(ClientArea);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(630, 351, 153, 22);
    ComboBox2->setFont(ArialFont(11, true));
    for (std::string_view item : ResponseTypeItems)
        ComboBox2->addItem(FromUtf8(item));
    Edit10 = edit("Edit10", "Баттерворта dA=3дБ", QRect(630, 351, 136, 22));
    Edit10->setFont(ArialFont(11, true));
    // The name boxes lie over the text part of their lists, leaving the buttons free.
    Edit7->raise();
    Edit10->raise();
    Label9 = label("Label9", "Полоса dF (Гц) =", 650, 379);
    Edit2 = number("Edit2", "3100", QRect(746, 376, 36, 23));
    Label13 = label("Label13", "Уровень АЧХ (дБ) =", 633, 404);
    Edit5 = number("Edit5", "-3", QRect(746, 401, 36, 23), true);

    Image8 = new QLabel(ClientArea);
    Image8->setObjectName(QStringLiteral("Image8"));
    Image8->setGeometry(624, 464, 160, 43);
    Image8->setPixmap(QPixmap::fromImage(DrawAuthorsMark(160, 43)));

    StatusBar1 = new PanelBar({{160, Qt::AlignLeft},
                               {160, Qt::AlignLeft},
                               {160, Qt::AlignLeft},
                               {160, Qt::AlignLeft},
                               {160, Qt::AlignLeft}},
                              ClientArea);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 512, ClientWidth, 19);
    {
        QFont small(QStringLiteral("MS Sans Serif"));
        small.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans")});
        small.setPixelSize(11);
        small.setBold(false);
        StatusBar1->setFont(small);
        QPalette green = StatusBar1->palette();
        green.setColor(QPalette::WindowText, QColor(0, 128, 0));
        StatusBar1->setPalette(green);
    }
    StatusBar2 = new PanelBar(
        {{640, Qt::AlignLeft}, {80, Qt::AlignHCenter}, {80, Qt::AlignHCenter}}, ClientArea);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    StatusBar2->setGeometry(0, 531, ClientWidth, 19);
    StatusBar2->setFont(QApplication::font());

    // Enter and the character rules of the numeric fields.
    for (QLineEdit* field : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit11}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &TForm1::UpdateTitle);
    }
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TForm1::ComboBox2Change);

    // Tab visits the controls in reading order: the result, the crystal data, the filter data.
    // The two name displays lie over their lists: clicks go through to the list beneath, and
    // Tab does not stop on them.
    QWidget* order[] = {Memo1,  Edit1,     Edit3,     Edit4, Edit6,
                        Edit11, ComboBox1, ComboBox2, Edit2, Edit5};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QLineEdit* display : {Edit7, Edit10}) {
        display->setFocusPolicy(Qt::NoFocus);
        display->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (QLabel* image : Images)
        image->setFocusPolicy(Qt::NoFocus);
    Image8->setFocusPolicy(Qt::NoFocus);
    ComboBox1->setFocus();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
}

void TForm1::FormCreate() {
    Memo1->show();
    hintHandlerInstalled_ = true;
    Timer2Timer();
    Timer2->start();
    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    filterType_ = 2;
    responseType_ = 1;
    Edit7->setText(QString::fromUtf8("4-х кристальный"));
    Edit10->setText(QString::fromUtf8("Баттерворта dA=3 дб"));
    ShowSchematic(2);
    Calculate->setEnabled(true);
    curveCount_ = 0;
}

void TForm1::ShowSchematic(int filterType) {
    // Show the chosen one first, so that the picture area is never empty in between.
    for (int type = 1; type <= FilterTypeCount; ++type) {
        if (type == filterType) Images[type - 1]->show();
    }
    for (int type = 1; type <= FilterTypeCount; ++type) {
        if (type != filterType) Images[type - 1]->hide();
    }
}

void TForm1::SetCkFieldEnabled(bool enabled) {
    Edit11->setEnabled(enabled);
    QPalette colors = Edit11->palette();
    const QColor background = enabled ? WindowColor() : MenuColor();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colors.setColor(group, QPalette::Base, background);
    }
    Edit11->setPalette(colors);
}

void TForm1::ComboBox1Change() {
    const int index = ComboBox1->currentIndex();
    if (index < 0 || index >= FilterTypeCount) return;
    filterType_ = index + 1;
    ShowSchematic(index + 1);
    Edit7->setText(FromUtf8(FilterTypeItems[index]));
    SetCkFieldEnabled(index + 1 >= int(FilterType::Cw4));
    UpdateTitle();
}

void TForm1::ComboBox2Change() {
    const int index = ComboBox2->currentIndex();
    if (index < 0 || index >= ResponseTypeCount) return;
    responseType_ = index + 1;
    Edit10->setText(ResponseDisplayName(index + 1));
    UpdateTitle();
}

InputTexts TForm1::FieldTexts() const {
    InputTexts texts;
    texts.Fo = Edit1->text().toStdString();
    texts.Df = Edit2->text().toStdString();
    texts.Ld = Edit3->text().toStdString();
    texts.Cs = Edit4->text().toStdString();
    texts.Rd = Edit6->text().toStdString();
    texts.Ck = Edit11->text().toStdString();
    texts.Level = Edit5->text().toStdString();
    return texts;
}

void TForm1::SetFieldTexts(const InputTexts& texts) {
    Edit1->setText(FromUtf8(texts.Fo));
    Edit3->setText(FromUtf8(texts.Ld));
    Edit4->setText(FromUtf8(texts.Cs));
    Edit6->setText(FromUtf8(texts.Rd));
    Edit2->setText(FromUtf8(texts.Df));
    Edit5->setText(FromUtf8(texts.Level));
    Edit11->setText(FromUtf8(texts.Ck));
}

void TForm1::ShowError(const QString& text) {
    dialogs_->Error(text);
}

void TForm1::CalculateClick() {
    const bool overlay = BonusACH->isChecked();
    if (!overlay) Chart1->ClearSeries(0);
    // After five overlays the next curve starts a new set.
    if (curveCount_ > SeriesCount - 1) {
        curveCount_ = 0;
        ClearCurves();
    }
    SetBusyCursor(true);
    lastResult_ = feldan::Calculate(CurrentDesign(), separator_);
    SetBusyCursor(false);
    const CalculationResult& result = lastResult_;
    if (!result.keepsPreviousResult) Memo1->clear();
    if (result.sweepStarted) {
        if (curveCount_ == 0) ClearCurves();
        // A sweep that a warning cut short still shows the points it got.
        const int position = overlay ? curveCount_ : 0;
        if (!result.curve.empty()) Chart1->AddCurve(position, result.curve);
    }
    switch (result.outcome) {
        case Outcome::Done:
            if (overlay) {
                StatusBar1->SetPanelText(
                    curveCount_,
                    FromUtf8(OverlayStatusText(curveCount_, result, FieldTexts().Df, separator_)));
            }
            SetResultText(result.resultText);
            break;
        case Outcome::Warning:
            ShowWarning(result.message);
            break;
        case Outcome::Error:
            // An abandoned command does not count as a curve.
            ShowError(LinesFromCr(result.message));
            return;
    }
    ++curveCount_;
}

void TForm1::ClearCurves() {
    for (int position = 0; position < SeriesCount; ++position) {
        Chart1->ClearSeries(position);
        StatusBar1->SetPanelText(position, QString());
    }
}

void TForm1::PrintFormClick() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_->PrinterSetup(printer)) return;
    if (!PrintClientArea(printer)) {
        ShowError(QString::fromUtf8("Принтер не может начать печать"));
    }
}

bool TForm1::PrintClientArea(QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // As wide as the printable area allows (as high, for a page turned sideways), centred. The
    // widgets paint themselves onto the page, so text and lines keep the printer's resolution.
    const QSizeF area(device.width(), device.height());
    const QSizeF window = ClientArea->size();
    const double scale = std::min(area.width() / window.width(), area.height() / window.height());
    painter.translate((area.width() - window.width() * scale) / 2,
                      (area.height() - window.height() * scale) / 2);
    painter.scale(scale, scale);
    ClientArea->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

void TForm1::ExitClick() {
    close();
}

DesignFields TForm1::CurrentDesign() const {
    return {FieldTexts(), filterType_, responseType_};
}

bool TForm1::HasUnsavedChanges() const {
    return !SameDesign(CurrentDesign(), savedDesign_);
}

void TForm1::UpdateTitle() {
    // "[*]" is where Qt shows the mark of a design that differs from its file.
    const QString program = QString::fromUtf8(ProgramTitle);
    setWindowTitle(designPath_.isEmpty()
                       ? program + QStringLiteral("[*]")
                       : QFileInfo(designPath_).fileName() + QStringLiteral("[*] — ") + program);
    setWindowModified(HasUnsavedChanges());
}

void TForm1::DesignStored(const QString& path, const DesignFields& design) {
    designPath_ = path;
    savedDesign_ = design;
    UpdateTitle();
}

bool TForm1::ConfirmDiscard() {
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

void TForm1::EnterMenuBar() {
    // The bar's own keyboard mode, as Alt alone starts it: the arrows then walk every entry.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(this, &press);
    QApplication::sendEvent(this, &release);
}

void TForm1::InfoClick() {
    Form2->ShowAndActivate();
}

void TForm1::BonusACHClick() {
    BonusACH->trigger();
}

void TForm1::LegendaClick() {
    Legenda->trigger();
}

void TForm1::ClearGraficClick() {
    ClearCurves();
    curveCount_ = 0;
    Memo1->clear();
}

void TForm1::Timer2Timer() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    StatusBar2->SetPanelText(1, ShortDateText(locale, now.date()));
    StatusBar2->SetPanelText(2, LongTimeText(locale, now.time()));
}

void TForm1::PanelHint(const QString& hint) {
    StatusBar2->SetPanelText(0, hint);
}

void TForm1::SetBusyCursor(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TForm1::ShowWarning(const std::string& text) {
    dialogs_->Warning(LinesFromCr(text));
}

void TForm1::SetResultText(const std::string& text) {
    Memo1->setPlainText(LinesFromCr(text));
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

bool TForm1::event(QEvent* event) {
    // Hints go to the first panel of the lower status bar, never into pop-up tool tips.
    if (event->type() == QEvent::StatusTip) {
        if (hintHandlerInstalled_) PanelHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    // A key held with Alt (or the Windows key) is a command, never text: Alt+letter that no menu
    // takes would otherwise type its letter.
    if ((key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !key.text().isEmpty()) {
        return true;
    }
    if (watched == Edit11) return false;
    const std::optional<char16_t> typed = TypedCharacter(key);
    if (!typed) return false;
    if (watched == Edit5) return FilterLevelKey(*typed) == KeyVerdict::Suppress;
    switch (FilterNumberKey(*typed)) {
        case KeyVerdict::Pass:
            return false;
        case KeyVerdict::Suppress:
            return true;
        case KeyVerdict::NextField:
            break;
    }
    // Enter walks Fo, Ld, Cs, Rd, dF and ends at the level.
    const std::pair<QLineEdit*, QLineEdit*> chain[] = {
        {Edit1, Edit3}, {Edit3, Edit4}, {Edit4, Edit6}, {Edit6, Edit2}, {Edit2, Edit5}};
    for (const auto& [from, to] : chain) {
        if (watched == from) {
            to->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscard()) {
        event->ignore();
        return;
    }
    // The program ends with its main window, also while the credits scroll.
    Form2->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace feldan
