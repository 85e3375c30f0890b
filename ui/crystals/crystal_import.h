// The crystals that come into the "Кварцы" window from elsewhere, each added as rows of its
// table: sweeps of crystals (Touchstone files, fitted), the G3UUR method's readings, and crystal
// lists, which can also be saved.
#pragma once

#include <QObject>
#include <memory>

namespace feldan {

class CrystalDialogs;
class CrystalTable;
class DialogService;

class CrystalImport : public QObject {
    Q_OBJECT
  public:
    // `crystalDialogs` is the window's, which tests may replace.
    CrystalImport(CrystalTable& table, DialogService& dialogs,
                  const std::unique_ptr<CrystalDialogs>& crystalDialogs, QObject* parent);

    void AddMeasurements();
    void AddFromG3uur();
    void OpenList();
    void SaveList();

  private:
    CrystalTable& table_;
    DialogService& dialogs_;
    const std::unique_ptr<CrystalDialogs>& crystalDialogs_;
};

}  // namespace feldan
