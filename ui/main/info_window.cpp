#include "ui/main/info_window.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include "engine/version.h"
#include "ui/widgets/window_style.h"

namespace feldan {

namespace {

constexpr int TextLeft = 30;
constexpr int TopOffset = 100;
constexpr int ClosingRow = 12;
// The credits rise to this height and stand there, the version line on top, every row above
// the close button.
constexpr int RestingTop = 12;
// One pixel every 30 ms: slow enough to read while the rows rise.
constexpr int StepMs = 30;

QString Spaces(int count) {
    return QString(count, QLatin1Char(' '));
}

}  // namespace

std::vector<CreditRow> CreditRows() {
    return {
        {0, InfoWindow::tr("ВЕРСИЯ ") + QString::fromLatin1(VersionText) + Spaces(15)},
        {1, Spaces(27)},
        {2, InfoWindow::tr("Алгоритм, дизайн:") + Spaces(12)},
        {3, InfoWindow::tr("Авторы Feldan")},
        {5, Spaces(30)},
        {6, InfoWindow::tr("Математика, программирование: ")},
        {7, InfoWindow::tr("Разработчики Feldan")},
        {9, Spaces(29)},
        {10, InfoWindow::tr("Со всеми вопросами обращаться по E-mail:")},
        {11, InfoWindow::tr("через трекер задач проекта Feldan")},
        {ClosingRow, Spaces(33)},
    };
}

CreditsArea::CreditsArea(QWidget* parent) : QWidget(parent) {
    setFont(ArialFont(11, true));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CreditsArea::ShowStep(int step) {
    step_ = step;
    update();
}

int CreditsArea::TextHeight() const {
    return QFontMetrics(font()).height();
}

void CreditsArea::paintEvent(QPaintEvent*) {
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

InfoWindow::InfoWindow(QWidget* parent)
    : Panel(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("InfoWindow"));
    // 344 x 263 outside with a sizeable frame of 4 pixels and a caption of 19.
    resize(336, 236);
    move(483, 327);
    setFont(ArialFont(11, true));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, InfoColor());
    colors.setColor(QPalette::ToolTipBase, InfoColor());
    setPalette(colors);
    setAutoFillBackground(true);

    creditsBox_ = new CreditsArea(this);
    creditsBox_->setObjectName(QStringLiteral("creditsBox"));
    creditsBox_->setGeometry(4, 4, 328, 229);

    closeButton_ =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QString(), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setGeometry(220, 200, 101, 29);
    closeButton_->hide();
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);

    timer_.setInterval(StepMs);
    connect(&timer_, &QTimer::timeout, this, &InfoWindow::ScrollStep);
    RetranslateUi();
}

void InfoWindow::RetranslateUi() {
    setWindowTitle(tr("Информация о программе "));
    closeButton_->setText(tr("&Close"));
}

void InfoWindow::ShowAndActivate() {
    show();
    raise();
    activationRequested_ = !isActiveWindow();
    activateWindow();
    FormActivate();
}

void InfoWindow::SetStepInterval(int milliseconds) {
    timer_.setInterval(std::max(0, milliseconds));
}

int InfoWindow::LastStep() const {
    return TopOffset - RestingTop;
}

bool InfoWindow::event(QEvent* event) {
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

void InfoWindow::hideEvent(QHideEvent* event) {
    timer_.stop();
    activationRequested_ = false;
    QWidget::hideEvent(event);
}

void InfoWindow::FormActivate() {
    closeButton_->hide();
    step_ = 0;
    creditsBox_->ShowStep(step_);
    timer_.start();
}

void InfoWindow::ScrollStep() {
    if (step_ >= LastStep()) {
        timer_.stop();
        closeButton_->show();
        emit ScrollFinished();
        return;
    }
    ++step_;
    creditsBox_->ShowStep(step_);
}

}  // namespace feldan
