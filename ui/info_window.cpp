#include "ui/info_window.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include "ui/window_style.h"

namespace feldan {

namespace {

constexpr int TextLeft = 30;
constexpr int TopOffset = 100;
constexpr int ClosingRow = 12;

QString Spaces(int count) {
    return QString(count, QLatin1Char(' '));
}

}  // namespace

const std::vector<CreditRow>& CreditRows() {
    static const std::vector<CreditRow> rows = {
        {0, QString::fromUtf8("ВЕРСИЯ 6.1.8.1.d") + Spaces(15)},
        {1, Spaces(27)},
        {2, QString::fromUtf8("Алгоритм, дизайн:") + Spaces(12)},
        {3, QString::fromUtf8("Авторы Feldan")},
        {5, Spaces(30)},
        {6, QString::fromUtf8("Математика, программирование: ")},
        {7, QString::fromUtf8("Разработчики Feldan")},
        {9, Spaces(29)},
        {10, QString::fromUtf8("Со всеми вопросами обращаться по E-mail:")},
        {11, QString::fromUtf8("через трекер задач проекта Feldan")},
        {ClosingRow, Spaces(33)},
    };
    return rows;
}

CreditsPaintBox::CreditsPaintBox(QWidget* parent) : QWidget(parent) {
    setFont(ArialFont(11, true));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CreditsPaintBox::ShowStep(int step) {
    step_ = step;
    update();
}

int CreditsPaintBox::TextHeight() const {
    return QFontMetrics(font()).height();
}

void CreditsPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor background = palette().color(QPalette::ToolTipBase);
    p.fillRect(rect(), background);
    if (step_ < 0) return;
    // Opaque text, as if each row were drawn over the previous image one pixel higher.
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(background);
    p.setPen(palette().color(QPalette::ToolTipText));
    const QFontMetrics metrics(font());
    const int h = TextHeight();
    for (const CreditRow& row : CreditRows()) {
        const int top = TopOffset + row.row * h - step_;
        if (top + h < 0 || top > height()) continue;
        p.drawText(TextLeft, top + metrics.ascent(), row.text);
    }
}

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QString::fromUtf8("Информация о программе "));
    // 344 x 263 outside with a sizeable frame of 4 pixels and a caption of 19.
    resize(336, 236);
    move(483, 327);
    setFont(ArialFont(11, true));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, InfoColor());
    colors.setColor(QPalette::ToolTipBase, InfoColor());
    setPalette(colors);
    setAutoFillBackground(true);

    PaintBox1 = new CreditsPaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(4, 4, 328, 229);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("&Close"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(220, 200, 101, 29);
    BitBtn1->hide();
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &TForm2::ScrollStep);
}

void TForm2::ShowAndActivate() {
    show();
    raise();
    activationRequested_ = !isActiveWindow();
    activateWindow();
    FormActivate();
}

void TForm2::SetStepInterval(int milliseconds) {
    timer_.setInterval(std::max(0, milliseconds));
}

int TForm2::LastStep() const {
    return ClosingRow * PaintBox1->TextHeight() + TopOffset;
}

bool TForm2::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (activationRequested_) {
            activationRequested_ = false;
        } else {
            FormActivate();
        }
    } else if (event->type() == QEvent::WindowDeactivate) {
        activationRequested_ = false;
    }
    return QWidget::event(event);
}

void TForm2::hideEvent(QHideEvent* event) {
    timer_.stop();
    activationRequested_ = false;
    QWidget::hideEvent(event);
}

void TForm2::FormActivate() {
    BitBtn1->hide();
    step_ = 0;
    PaintBox1->ShowStep(step_);
    timer_.start();
}

void TForm2::ScrollStep() {
    if (step_ >= LastStep()) {
        timer_.stop();
        PaintBox1->ShowStep(-1);
        BitBtn1->show();
        emit ScrollFinished();
        return;
    }
    ++step_;
    PaintBox1->ShowStep(step_);
}

}  // namespace feldan
