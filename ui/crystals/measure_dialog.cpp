#include "ui/crystals/measure_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "ui/common/ui_text.h"

namespace feldan {

std::vector<AnalyserPort> AnalyserPorts() {
    std::vector<AnalyserPort> ports;
    for (const SerialPortEntry& entry : ListSerialPorts())
        ports.push_back({FromUtf8(entry.device), FromUtf8(entry.name), entry.family});
    OrderAnalyserPorts(ports);
    return ports;
}

void OrderAnalyserPorts(std::vector<AnalyserPort>& ports) {
    const auto rank = [](const AnalyserPort& port) {
        if (port.family == AnalyserFamily::TextShell || port.family == AnalyserFamily::Binary)
            return 0;
        const QString file = port.device.section(QLatin1Char('/'), -1);
        const bool usb =
            port.family != AnalyserFamily::Other || file.startsWith(QLatin1String("ttyACM")) ||
            file.startsWith(QLatin1String("ttyUSB")) || file.startsWith(QLatin1String("cu.usb"));
        return usb ? 1 : 2;
    };
    std::stable_sort(ports.begin(), ports.end(), [&](const AnalyserPort& a, const AnalyserPort& b) {
        return rank(a) < rank(b);
    });
}

MeasureDialog::MeasureDialog(const AnalyserSettings& offered, QWidget* parent)
    : QDialog(parent), chosen_(offered) {
    setObjectName(QStringLiteral("MeasureDialog"));
    setWindowTitle(tr("Измерить кварц"));
    portCombo_ = new QComboBox(this);
    portCombo_->setObjectName(QStringLiteral("portCombo"));
    // A port the list does not show (a pseudo-terminal, a symbolic link) may be typed.
    portCombo_->setEditable(true);
    portCombo_->setMinimumContentsLength(32);
    auto* refresh = new QPushButton(tr("Обновить"), this);
    refresh->setObjectName(QStringLiteral("refreshPortsButton"));
    refresh->setAutoDefault(false);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portCombo_, 1);
    portRow->addWidget(refresh);

    fixtureCombo_ = new QComboBox(this);
    fixtureCombo_->setObjectName(QStringLiteral("fixtureCombo"));
    fixtureCombo_->setEditable(true);
    fixtureCombo_->addItems({LocaleNumber(50, 10), LocaleNumber(12.5, 10)});
    fixtureCombo_->setCurrentText(LocaleNumber(offered.fixtureOhm, 10));
    nominalEdit_ = new QLineEdit(this);
    nominalEdit_->setObjectName(QStringLiteral("nominalEdit"));
    if (offered.nominalHz > 0) nominalEdit_->setText(LocaleNumber(offered.nominalHz / 1000, 10));
    ppmEdit_ = new QLineEdit(LocaleNumber(offered.ppm, 10), this);
    ppmEdit_->setObjectName(QStringLiteral("ppmEdit"));
    problemLabel_ = new QLabel(this);
    problemLabel_->setObjectName(QStringLiteral("problemLabel"));
    problemLabel_->setStyleSheet(QStringLiteral("color: #b00000"));
    problemLabel_->setWordWrap(true);

    auto* form = new QFormLayout(this);
    form->addRow(tr("Порт прибора:"), portRow);
    form->addRow(tr("Оснастка (кварц последовательно между портами 1 и 2), Ом:"), fixtureCombo_);
    form->addRow(tr("Номинал кварца, кГц:"), nominalEdit_);
    form->addRow(tr("Поправка частоты прибора, ppm:"), ppmEdit_);
    auto* hint = new QLabel(
        tr("Поправка: прибор, показывающий f, на самом деле измеряет f·(1 + ppm·10⁻⁶). Для "
           "подбора набора важны только разности частот, поэтому её можно оставить нулевой."),
        this);
    hint->setWordWrap(true);
    form->addRow(hint);
    form->addRow(problemLabel_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Измерить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &MeasureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MeasureDialog::reject);
    connect(refresh, &QPushButton::clicked, this, &MeasureDialog::RefreshPorts);
    RefreshPorts();
    if (!offered.port.isEmpty()) {
        const int known = portCombo_->findData(offered.port);
        if (known >= 0)
            portCombo_->setCurrentIndex(known);
        else
            portCombo_->setCurrentText(offered.port);
    }
}

void MeasureDialog::RefreshPorts() {
    const QString current = portCombo_->currentData().toString();
    portCombo_->clear();
    for (const AnalyserPort& port : AnalyserPorts()) {
        QString text = port.device;
        if (!port.name.trimmed().isEmpty()) text += QStringLiteral(" — ") + port.name.trimmed();
        if (port.family == AnalyserFamily::Binary) text += tr(" (NanoVNA V2 / LiteVNA)");
        portCombo_->addItem(text, port.device);
    }
    const int again = current.isEmpty() ? -1 : portCombo_->findData(current);
    if (again >= 0) portCombo_->setCurrentIndex(again);
}

void MeasureDialog::reject() {
    const std::optional<double> nominalKHz = TypedNumber(nominalEdit_->text());
    if (nominalKHz && *nominalKHz > 0) {
        AnalyserSettings kept = RememberedAnalyserSettings();
        kept.nominalHz = *nominalKHz * 1000;
        RememberAnalyserSettings(kept);
    }
    QDialog::reject();
}

void MeasureDialog::accept() {
    AnalyserSettings chosen = chosen_;
    const QString text = portCombo_->currentText().trimmed();
    const int index = portCombo_->currentIndex();
    // A port picked from the list is its device; anything else is a path as typed.
    chosen.port = index >= 0 && portCombo_->itemText(index) == portCombo_->currentText()
                      ? portCombo_->itemData(index).toString()
                      : text;
    const std::optional<double> fixture = TypedNumber(fixtureCombo_->currentText());
    const std::optional<double> nominalKHz = TypedNumber(nominalEdit_->text());
    const std::optional<double> ppm = TypedNumber(ppmEdit_->text());
    QString problem;
    if (chosen.port.isEmpty())
        problem = tr("Выберите порт прибора или введите его путь.");
    else if (!fixture || !(*fixture > 0))
        problem = tr("Сопротивление оснастки — нужно положительное число.");
    else if (!nominalKHz || !(*nominalKHz > 0))
        problem = tr("Номинал кварца — нужно положительное число килогерц.");
    else if (!ppm || !(std::abs(*ppm) < 1000))
        problem = tr("Поправка — нужно число ppm меньше 1000 по модулю.");
    if (!problem.isEmpty()) {
        problemLabel_->setText(problem);
        return;
    }
    chosen.fixtureOhm = *fixture;
    chosen.nominalHz = *nominalKHz * 1000;
    chosen.ppm = *ppm;
    chosen_ = chosen;
    QDialog::accept();
}

}  // namespace feldan
