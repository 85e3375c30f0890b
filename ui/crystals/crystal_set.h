// The set the design is built from, in the "Кварцы" window: the best crystals of the table for
// the schematic picked, the set switched on and off, its trims applied, and what is in force
// said beside them.
#pragma once

#include <QWidget>

#include "ui/common/panel.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace feldan {

class DesignDocument;
class DialogService;
class ProjectState;

class CrystalSet : public Panel<QWidget> {
    Q_OBJECT
  public:
    CrystalSet(DesignDocument& document, DialogService& dialogs, QWidget* parent);

    void PickBest();
    void SetUseSet(bool use);
    void SetApplyTrims(bool apply);

  protected:
    void RetranslateUi() override;

  private:
    void Refresh();

    DesignDocument& document_;
    ProjectState& project_;
    DialogService& dialogs_;
    QPushButton* pickButton_ = nullptr;
    QCheckBox* useSetBox_ = nullptr;
    QCheckBox* trimBox_ = nullptr;
    QLabel* setLabel_ = nullptr;
};

}  // namespace feldan
