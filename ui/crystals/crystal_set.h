// The set the design is built from, in the "Кварцы" window: the best crystals of the table for
// the schematic picked (by the smallest fs spread, or by the response they give the design, on
// a thread of its own with progress and cancel), the set switched on and off, its trims applied,
// and what is in force said beside them.
#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "engine/crystal.h"
#include "ui/common/background_run.h"
#include "ui/common/panel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace feldan {

class DesignDocument;
class DialogService;
class ProjectState;
struct PickResult;

class CrystalSet : public Panel<QWidget> {
    Q_OBJECT
  public:
    enum class PickMethod { FsSpread, Response };

    CrystalSet(DesignDocument& document, DialogService& dialogs, QWidget* parent);

    // Picks by the method chosen; by the response the pick runs on until PickFinished.
    void PickBest();
    void SetPickMethod(PickMethod method);
    bool Picking() const { return run_.Running(); }
    void CancelPick();
    void SetUseSet(bool use);
    void SetApplyTrims(bool apply);

  signals:
    // A pick by the response ended: a set made, or why not said.
    void PickFinished();

  protected:
    void RetranslateUi() override;

  private:
    void Refresh();
    void PickBySpread();
    void PickByResponse();
    void PickEnded(const PickResult& result, const std::vector<CrystalModel>& models,
                   const std::vector<int>& rowOfModel);
    // The table's crystals with usable values, and the row of each.
    std::vector<CrystalModel> UsableModels(std::vector<int>& rowOfModel) const;

    DesignDocument& document_;
    ProjectState& project_;
    DialogService& dialogs_;
    QPushButton* pickButton_ = nullptr;
    QComboBox* pickMethodCombo_ = nullptr;
    QProgressBar* pickProgress_ = nullptr;
    QPushButton* cancelPickButton_ = nullptr;
    QCheckBox* useSetBox_ = nullptr;
    QCheckBox* trimBox_ = nullptr;
    QLabel* setLabel_ = nullptr;
    QLabel* pickLabel_ = nullptr;  // why the set picked by the response won
    BackgroundRun run_;            // last: stopped before the controls go
};

}  // namespace feldan
