// The dialog of Измерить…: the port of the analyser (the USB serial ports found, or a path
// typed), the fixture's resistance, the crystal's nominal frequency and the analyser's clock
// error in ppm.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "instruments/serial_ports.h"
#include "ui/common/settings.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace feldan {

struct AnalyserPort {
    QString device;  // "/dev/ttyACM0"
    QString name;    // the USB device's own words, where it has them
    AnalyserFamily family = AnalyserFamily::Other;
};

// The USB serial ports of the system, as `feldan-cli vna list` finds them, the analysers (text
// shell and V2) first.
std::vector<AnalyserPort> AnalyserPorts();
// Puts the ports in the order the dialog offers them: the analysers of either family, then the
// other USB serial ports (ttyACM, ttyUSB), then the rest (the board's ttyS, which no analyser
// uses), each group in the order given.
void OrderAnalyserPorts(std::vector<AnalyserPort>& ports);

class MeasureDialog : public QDialog {
    Q_OBJECT
  public:
    MeasureDialog(const AnalyserSettings& offered, QWidget* parent);
    // What was chosen; valid after the dialog is accepted.
    const AnalyserSettings& Chosen() const { return chosen_; }

    void RefreshPorts();
    void accept() override;
    // A nominal frequency typed is remembered even when the dialog is left with Отмена: it is
    // often left to plug the analyser in.
    void reject() override;

  private:
    AnalyserSettings chosen_;
    QComboBox* portCombo_ = nullptr;
    QComboBox* fixtureCombo_ = nullptr;
    QLineEdit* nominalEdit_ = nullptr;
    QLineEdit* ppmEdit_ = nullptr;
    QLabel* problemLabel_ = nullptr;
};

}  // namespace feldan
