// The dialogs of the "Кварцы" window besides the message boxes and single-file dialogs, behind
// one seam so that tests can answer them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "ui/common/settings.h"

class QWidget;

namespace feldan {

// The readings of the G3UUR method as typed: f0, f1, f2 in Hz, C1, C2, C0 in pF, Rm in Ohm.
// f2 and C2 may stay empty; C0 is then needed for the method, and is the crystal's C0 anyway.
struct G3uurReadings {
    QString name;
    QString f0, f1, c1, f2, c2, c0, rm;
};

class CrystalDialogs {
  public:
    virtual ~CrystalDialogs() = default;
    // Several files at once; empty when cancelled.
    virtual QStringList GetOpenFileNames(const QString& dir, const QString& filter) = 0;
    // The resistance of source and load in the fixture, offered as `referenceOhm`; nothing when
    // cancelled.
    virtual std::optional<double> FixtureOhm(double referenceOhm) = 0;
    // The G3UUR readings; nothing when cancelled.
    virtual std::optional<G3uurReadings> G3uur() = 0;
    // The port, fixture, nominal frequency and clock correction of a measurement on the
    // analyser, offered as `offered`; nothing when cancelled.
    virtual std::optional<AnalyserSettings> Measurement(const AnalyserSettings& offered) {
        (void)offered;
        return std::nullopt;
    }
};

// The real dialogs.
class QtCrystalDialogs : public CrystalDialogs {
  public:
    explicit QtCrystalDialogs(QWidget* parent) : parent_(parent) {}
    QStringList GetOpenFileNames(const QString& dir, const QString& filter) override;
    std::optional<double> FixtureOhm(double referenceOhm) override;
    std::optional<G3uurReadings> G3uur() override;
    std::optional<AnalyserSettings> Measurement(const AnalyserSettings& offered) override;

  private:
    QWidget* parent_;
};

}  // namespace feldan
