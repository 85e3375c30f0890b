#include "ui/crystals/crystal_window.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QSplitter>

#include "ui/common/design_document.h"
#include "ui/crystals/crystal_import.h"
#include "ui/crystals/crystal_measure.h"
#include "ui/crystals/crystal_plot.h"
#include "ui/crystals/crystal_set.h"
#include "ui/widgets/window_style.h"

namespace feldan {

CrystalWindow::CrystalWindow(DesignDocument& document, DialogService& dialogs, QWidget* parent)
    : Panel(parent, Qt::Window), crystalDialogs_(std::make_unique<QtCrystalDialogs>(this)) {
    setObjectName(QStringLiteral("CrystalWindow"));
    table_ = new CrystalTable(document.Project(), dialogs, this);
    plot_ = new CrystalPlot(this);
    set_ = new CrystalSet(document, dialogs, this);
    import_ = new CrystalImport(*table_, dialogs, crystalDialogs_, this);
    measure_ = new CrystalMeasure(document, *table_, dialogs, crystalDialogs_, this);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(CommandRow());
    topLayout->addLayout(measure_->StatusRow());
    topLayout->addWidget(table_);
    topLayout->addLayout(SetRow());
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(plot_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(960, 680);

    connect(measure_, &CrystalMeasure::Finished, this, &CrystalWindow::MeasurementFinished);
    connect(table_, &CrystalTable::Replaced, measure_, &CrystalMeasure::ClearStatus);
    connect(table_, &CrystalTable::RowsShown, this, [this] { ShowCrystal(table_->currentRow()); });
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { ShowCrystal(row); });
    RetranslateUi();
    ShowCrystal(table_->currentRow());
}

CrystalWindow::~CrystalWindow() = default;

QLayout* CrystalWindow::CommandRow() {
    addMeasurementsButton_ = Button(this, "addMeasurementsButton");
    g3uurButton_ = Button(this, "g3uurButton");
    openListButton_ = Button(this, "openListButton");
    saveListButton_ = Button(this, "saveListButton");
    addRowButton_ = Button(this, "addRowButton");
    removeButton_ = Button(this, "removeButton");
    connect(addMeasurementsButton_, &QPushButton::clicked, import_,
            &CrystalImport::AddMeasurements);
    connect(g3uurButton_, &QPushButton::clicked, import_, &CrystalImport::AddFromG3uur);
    connect(openListButton_, &QPushButton::clicked, import_, &CrystalImport::OpenList);
    connect(saveListButton_, &QPushButton::clicked, import_, &CrystalImport::SaveList);
    connect(addRowButton_, &QPushButton::clicked, table_, &CrystalTable::AddRow);
    connect(removeButton_, &QPushButton::clicked, table_, &CrystalTable::RemoveSelectedRows);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : measure_->Buttons())
        row->addWidget(b);
    for (QWidget* w :
         std::initializer_list<QWidget*>{addMeasurementsButton_, g3uurButton_, addRowButton_,
                                         removeButton_, openListButton_, saveListButton_})
        row->addWidget(w);
    row->addStretch();
    return row;
}

QLayout* CrystalWindow::SetRow() {
    refitButton_ = Button(this, "refitButton");
    connect(refitButton_, &QPushButton::clicked, table_, &CrystalTable::RefitSelectedRows);
    auto* row = new QHBoxLayout;
    row->addWidget(refitButton_);
    row->addWidget(set_, 1);
    return row;
}

void CrystalWindow::SetCrystalDialogs(std::unique_ptr<CrystalDialogs> dialogs) {
    if (dialogs) crystalDialogs_ = std::move(dialogs);
}

void CrystalWindow::RetranslateUi() {
    setWindowTitle(tr("Кварцы"));
    measure_->Retranslate();
    addMeasurementsButton_->setText(tr("Добавить измерения…"));
    g3uurButton_->setText(tr("G3UUR…"));
    openListButton_->setText(tr("Открыть список…"));
    saveListButton_->setText(tr("Сохранить список…"));
    addRowButton_->setText(tr("Добавить"));
    removeButton_->setText(tr("Удалить"));
    refitButton_->setText(tr("Подогнать заново"));
    refitButton_->setToolTip(tr("Подогнать выбранные кварцы заново по сохранённым развёрткам"));
}

void CrystalWindow::ShowCrystal(int row) {
    const std::vector<NamedCrystal>& crystals = table_->Crystals();
    plot_->Show(row >= 0 && row < static_cast<int>(crystals.size())
                    ? &crystals[static_cast<std::size_t>(row)]
                    : nullptr);
}

void CrystalWindow::FitPlotAxes() {
    plot_->FitAxes();
}

QLineSeries* CrystalWindow::MeasuredSeries() const {
    return plot_->MeasuredSeries();
}

QLineSeries* CrystalWindow::ModelSeries() const {
    return plot_->ModelSeries();
}

void CrystalWindow::AddMeasurements() {
    import_->AddMeasurements();
}

void CrystalWindow::AddFromG3uur() {
    import_->AddFromG3uur();
}

void CrystalWindow::OpenList() {
    import_->OpenList();
}

void CrystalWindow::SaveList() {
    import_->SaveList();
}

void CrystalWindow::AddRow() {
    table_->AddRow();
}

void CrystalWindow::RemoveSelectedRows() {
    table_->RemoveSelectedRows();
}

void CrystalWindow::RefitSelectedRows() {
    table_->RefitSelectedRows();
}

void CrystalWindow::PickBest() {
    set_->PickBest();
}

void CrystalWindow::SetUseSet(bool use) {
    set_->SetUseSet(use);
}

void CrystalWindow::SetApplyTrims(bool apply) {
    set_->SetApplyTrims(apply);
}

void CrystalWindow::Measure() {
    measure_->Measure();
}

void CrystalWindow::MeasureNext() {
    measure_->MeasureNext();
}

void CrystalWindow::MeasureReference() {
    measure_->MeasureReference();
}

void CrystalWindow::CancelMeasurement() {
    measure_->Cancel();
}

bool CrystalWindow::Measuring() const {
    return measure_->Measuring();
}

void CrystalWindow::SetReadLimits(const ReadLimits& limits) {
    measure_->SetReadLimits(limits);
}

}  // namespace feldan
