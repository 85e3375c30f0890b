#include "ui/crystals/crystal_set.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <memory>

#include "engine/crystal_pick.h"

#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/crystals/crystal_rows.h"

namespace feldan {

CrystalSet::CrystalSet(DesignDocument& document, DialogService& dialogs, QWidget* parent)
    : Panel(parent), document_(document), project_(document.Project()), dialogs_(dialogs) {
    setObjectName(QStringLiteral("crystalSet"));
    pickButton_ = new QPushButton(this);
    pickButton_->setObjectName(QStringLiteral("pickButton"));
    pickButton_->setAutoDefault(false);
    useSetBox_ = new QCheckBox(this);
    useSetBox_->setObjectName(QStringLiteral("useSetBox"));
    trimBox_ = new QCheckBox(this);
    trimBox_->setObjectName(QStringLiteral("trimBox"));
    pickMethodCombo_ = new QComboBox(this);
    pickMethodCombo_->setObjectName(QStringLiteral("pickMethodCombo"));
    pickProgress_ = new QProgressBar(this);
    pickProgress_->setObjectName(QStringLiteral("pickProgress"));
    pickProgress_->setRange(0, 1000);
    pickProgress_->hide();
    cancelPickButton_ = new QPushButton(this);
    cancelPickButton_->setObjectName(QStringLiteral("cancelPickButton"));
    cancelPickButton_->setAutoDefault(false);
    cancelPickButton_->hide();
    setLabel_ = new QLabel(this);
    setLabel_->setObjectName(QStringLiteral("setLabel"));
    setLabel_->setWordWrap(true);
    pickLabel_ = new QLabel(this);
    pickLabel_->setObjectName(QStringLiteral("pickLabel"));
    pickLabel_->setWordWrap(true);
    pickLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pickLabel_->hide();
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{pickButton_, pickMethodCombo_, pickProgress_,
                                                      cancelPickButton_, useSetBox_, trimBox_})
        row->addWidget(w);
    row->addWidget(setLabel_, 1);
    rows->addLayout(row);
    rows->addWidget(pickLabel_);
    connect(pickButton_, &QPushButton::clicked, this, &CrystalSet::PickBest);
    connect(cancelPickButton_, &QPushButton::clicked, this, &CrystalSet::CancelPick);
    connect(useSetBox_, &QCheckBox::toggled, this, &CrystalSet::SetUseSet);
    connect(trimBox_, &QCheckBox::toggled, this, &CrystalSet::SetApplyTrims);
    connect(&project_, &ProjectState::Changed, this, [this](ProjectState::Part part) {
        // What a pick by the response said is of the table it was made from.
        if (part == ProjectState::Part::Crystals && !Picking()) pickLabel_->hide();
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) Refresh();
    });
    RetranslateUi();
}

void CrystalSet::RetranslateUi() {
    {
        const QSignalBlocker block(pickMethodCombo_);
        const int method = std::max(pickMethodCombo_->currentIndex(), 0);
        pickMethodCombo_->clear();
        pickMethodCombo_->addItem(tr("по разбросу fs"));
        pickMethodCombo_->addItem(tr("по отклику"));
        pickMethodCombo_->setCurrentIndex(method);
    }
    pickMethodCombo_->setToolTip(
        tr("По разбросу fs: кварцы с самыми близкими частотами. По отклику: набор и места "
           "кварцев, с которыми собранный фильтр ближе всего к расчёту (с полосой, подстройками "
           "и паразитными модами)."));
    cancelPickButton_->setText(tr("Отмена"));
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

std::vector<CrystalModel> CrystalSet::UsableModels(std::vector<int>& rowOfModel) const {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    std::vector<CrystalModel> models;
    rowOfModel.clear();
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!Usable(crystals[i].model)) continue;
        models.push_back(crystals[i].model);
        rowOfModel.push_back(static_cast<int>(i));
    }
    return models;
}

void CrystalSet::SetPickMethod(PickMethod method) {
    pickMethodCombo_->setCurrentIndex(method == PickMethod::Response ? 1 : 0);
}

void CrystalSet::PickBest() {
    if (Picking()) return;
    if (pickMethodCombo_->currentIndex() == 1) {
        PickByResponse();
    } else {
        PickBySpread();
    }
}

void CrystalSet::PickBySpread() {
    std::vector<int> rowOfModel;
    const std::vector<CrystalModel> models = UsableModels(rowOfModel);
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
    pickLabel_->hide();
    project_.SetPositions(std::move(positions));
    project_.SetUseSet(true);
    Refresh();
}

void CrystalSet::PickByResponse() {
    std::vector<int> rowOfModel;
    std::vector<CrystalModel> models = UsableModels(rowOfModel);
    PickRequest request;
    request.design = document_.Design();
    request.trim = project_.Trim();
    pickButton_->setEnabled(false);
    pickMethodCombo_->setEnabled(false);
    pickProgress_->setValue(0);
    pickProgress_->show();
    cancelPickButton_->show();
    pickLabel_->setText(tr("Идёт выбор по отклику…"));
    pickLabel_->show();
    auto bag = std::make_shared<const std::vector<CrystalModel>>(std::move(models));
    run_.Start([this, bag, request, rowOfModel](BackgroundRun::Job& job) -> BackgroundRun::End {
        // From every thread of the engine: the bar keeps the largest share.
        const auto progress = [this, &job](double share) {
            const int value = static_cast<int>(share * 1000);
            job.Report([this, value] {
                pickProgress_->setValue(std::max(pickProgress_->value(), value));
            });
        };
        auto result = std::make_shared<PickResult>(
            feldan::PickByResponse(*bag, request, progress, &job.CancelFlag()));
        return [this, result, bag, rowOfModel] { PickEnded(*result, *bag, rowOfModel); };
    });
}

void CrystalSet::PickEnded(const PickResult& result, const std::vector<CrystalModel>& models,
                           const std::vector<int>& rowOfModel) {
    pickButton_->setEnabled(true);
    pickMethodCombo_->setEnabled(true);
    pickProgress_->hide();
    cancelPickButton_->hide();
    std::vector<int> rowsNow;
    const bool tableChanged = UsableModels(rowsNow) != models || rowsNow != rowOfModel;
    if (result.cancelled || tableChanged) {
        pickLabel_->setText(result.cancelled
                                ? tr("Выбор по отклику прерван.")
                                : tr("Таблица изменилась во время выбора: выберите заново."));
        Refresh();
        emit PickFinished();
        return;
    }
    if (!result.byResponse) {
        pickLabel_->hide();
        Refresh();
        dialogs_.Warning(MessageShown(result.message));
        emit PickFinished();
        return;
    }
    std::vector<int> positions;
    for (std::size_t k : result.byResponse->crystals)
        positions.push_back(rowOfModel[k]);
    const char separator = document_.Separator();
    const Language language = CurrentLanguage();
    const QString searched =
        result.exhaustive
            ? tr("Перебраны все наборы: %1.").arg(result.setsSearched)
            : tr("Просмотрено наборов заменами от соседних по fs: %1.").arg(result.setsSearched);
    pickLabel_->setText(
        tr("По отклику: %1.\nПо разбросу fs было бы: %2.\n%3")
            .arg(QString::fromStdString(PickFiguresText(*result.byResponse, separator, language)),
                 QString::fromStdString(PickFiguresText(*result.byFsSpread, separator, language)),
                 searched));
    project_.SetPositions(std::move(positions));
    project_.SetUseSet(true);
    Refresh();
    emit PickFinished();
}

void CrystalSet::CancelPick() {
    run_.Cancel();
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
