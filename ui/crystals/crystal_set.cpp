#include "ui/crystals/crystal_set.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/crystals/crystal_rows.h"

namespace feldan {

CrystalSet::CrystalSet(DesignDocument& document, DialogService& dialogs, QWidget* parent)
    : Panel(parent), document_(document), project_(document.Project()), dialogs_(dialogs) {
    pickButton_ = new QPushButton(this);
    pickButton_->setObjectName(QStringLiteral("pickButton"));
    pickButton_->setAutoDefault(false);
    useSetBox_ = new QCheckBox(this);
    useSetBox_->setObjectName(QStringLiteral("useSetBox"));
    trimBox_ = new QCheckBox(this);
    trimBox_->setObjectName(QStringLiteral("trimBox"));
    setLabel_ = new QLabel(this);
    setLabel_->setObjectName(QStringLiteral("setLabel"));
    setLabel_->setWordWrap(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{pickButton_, useSetBox_, trimBox_})
        row->addWidget(w);
    row->addWidget(setLabel_, 1);
    connect(pickButton_, &QPushButton::clicked, this, &CrystalSet::PickBest);
    connect(useSetBox_, &QCheckBox::toggled, this, &CrystalSet::SetUseSet);
    connect(trimBox_, &QCheckBox::toggled, this, &CrystalSet::SetApplyTrims);
    connect(&project_, &ProjectState::Changed, this, [this](ProjectState::Part part) {
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) Refresh();
    });
    RetranslateUi();
}

void CrystalSet::RetranslateUi() {
    useSetBox_->setText(tr("Использовать в расчёте"));
    trimBox_->setText(tr("Подстройка кварцев"));
    Refresh();
}

void CrystalSet::Refresh() {
    {
        const QSignalBlocker blockUse(useSetBox_);
        const QSignalBlocker blockTrim(trimBox_);
        useSetBox_->setChecked(project_.UsesCrystalSet());
        trimBox_->setChecked(project_.Trim());
    }
    const int needed = document_.CrystalCount();
    const std::size_t inSet = project_.Positions().size();
    pickButton_->setText(tr("Выбрать лучшие %1").arg(needed));
    QString setText;
    if (project_.UsesCrystalSet()) {
        setText = static_cast<int>(inSet) == needed
                      ? tr("Расчёт ведётся по набору из %1 кварцев.").arg(inSet)
                      : tr("В наборе %1 кварцев, а схеме нужно %2: выберите набор заново.")
                            .arg(inSet)
                            .arg(needed);
    } else {
        setText = tr("Расчёт ведётся с одинаковыми кварцами из полей окна.");
    }
    setLabel_->setText(setText);
}

void CrystalSet::PickBest() {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    std::vector<CrystalModel> models;
    std::vector<int> rowOfModel;
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!Usable(crystals[i].model)) continue;
        models.push_back(crystals[i].model);
        rowOfModel.push_back(static_cast<int>(i));
    }
    const int needed = document_.CrystalCount();
    const std::vector<std::size_t> picked =
        needed > 0 ? PickBestSet(models, static_cast<std::size_t>(needed))
                   : std::vector<std::size_t>{};
    if (picked.empty()) {
        Refresh();
        dialogs_.Warning(MessageShown(Message{MessageId::PickTooFew, std::to_string(needed)}));
        return;
    }
    std::vector<int> positions;
    for (std::size_t k : picked)
        positions.push_back(rowOfModel[k]);
    project_.SetPositions(std::move(positions));
    project_.SetUseSet(true);
    Refresh();
}

void CrystalSet::SetUseSet(bool use) {
    if (use == project_.UsesCrystalSet()) return;
    // Switched on again, the set kept aside comes back; without one, the best are picked.
    if (use && project_.Positions().empty()) {
        PickBest();
        return;
    }
    project_.SetUseSet(use);
    Refresh();
}

void CrystalSet::SetApplyTrims(bool apply) {
    project_.SetTrim(apply);
}

}  // namespace feldan
