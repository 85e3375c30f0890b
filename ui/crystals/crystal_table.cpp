#include "ui/crystals/crystal_table.h"

#include <QHeaderView>
#include <QMetaObject>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/common/dialog_service.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"

namespace feldan {

namespace {

QString Number(double value, int digits) {
    return QString::number(value, 'g', digits);
}

// Trims run from a few picofarads to nanofarads: whole picofarads from 1000 up, no exponent.
QString PicofaradText(double pf) {
    return pf >= 1000 ? QString::number(pf, 'f', 0) : Number(pf, 4);
}

// The column titles; the words of the mark column's cells are "ZQ1", "ZQ2", ...
const std::array<const char*, CrystalTable::ColumnCount> ColumnTitles = {
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Название"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "fs (Гц)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Lm (мГн)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Cm (фФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Rm (Ом)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "C0 (пФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Q"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Ошибка подгонки (дБ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Ct (пФ)"),
    QT_TRANSLATE_NOOP("feldan::CrystalTable", "Набор")};

bool Editable(int column) {
    using C = CrystalTable::Column;
    return column == C::NameColumn || column == C::FsColumn || column == C::LmColumn ||
           column == C::RmColumn || column == C::C0Column;
}

}  // namespace

CrystalTable::CrystalTable(ProjectState& project, DialogService& dialogs, QWidget* parent)
    : Panel(0, ColumnCount, parent), project_(project), dialogs_(dialogs) {
    setObjectName(QStringLiteral("crystalTable"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableWidget::itemChanged, this, &CrystalTable::CellEdited);
    connect(&project_, &ProjectState::Changed, this, [this](ProjectState::Part part) {
        // A table from elsewhere (a project opened) brings its sweeps, from which the residuals
        // follow; what was said of the measurements before belongs to the table it replaces.
        if (!storing_ && part == ProjectState::Part::Crystals) {
            notes_ = NotesOfKeptSweeps(project_.Crystals());
            emit Replaced();
        }
        if (part == ProjectState::Part::Crystals || part == ProjectState::Part::Set) Refresh();
    });
    notes_ = NotesOfKeptSweeps(project_.Crystals());
    RetranslateUi();
    Refresh();
}

const std::vector<NamedCrystal>& CrystalTable::Crystals() const {
    return project_.Crystals();
}

void CrystalTable::RetranslateUi() {
    QStringList titles;
    for (const char* title : ColumnTitles)
        titles << tr(title);
    setHorizontalHeaderLabels(titles);
}

QStringList CrystalTable::RowTexts(std::size_t i, int position, double highestHz) const {
    const CrystalModel& m = project_.Crystals()[i].model;
    const bool usable = Usable(m);
    const auto shown = [&](double value, int digits) {
        return usable || value != 0 ? Number(value, digits) : QString();
    };
    QStringList texts(ColumnCount);
    texts[NameColumn] = FromUtf8(project_.Crystals()[i].name);
    texts[FsColumn] = shown(m.fsHz, 10);
    texts[LmColumn] = shown(m.lmH * 1e3, 6);
    texts[CmColumn] = usable ? Number(m.cmF * 1e15, 6) : QString();
    texts[RmColumn] = shown(m.rmOhm, 5);
    texts[C0Column] = shown(m.c0F * 1e12, 5);
    texts[QColumn] = usable ? Number(m.Q(), 6) : QString();
    const RowNote& note = notes_[i];
    if (note.rmsErrorDb) texts[RmsColumn] = Number(*note.rmsErrorDb, 3);
    if (!note.warning.isEmpty()) texts[RmsColumn] += QStringLiteral(" ⚠");
    if (position >= 0) {
        texts[SetColumn] = QStringLiteral("ZQ%1").arg(position + 1);
        const double trimF = SeriesTrimFor(m, highestHz);
        texts[TrimColumn] = trimF >= 0 && std::isfinite(trimF) ? PicofaradText(trimF * 1e12)
                                                               : QString::fromUtf8("—");
    }
    return texts;
}

void CrystalTable::Refresh() {
    const std::vector<NamedCrystal>& crystals = project_.Crystals();
    if (notes_.size() != crystals.size()) notes_.resize(crystals.size());
    const std::vector<int>& positions = project_.Positions();
    std::vector<int> positionOf(crystals.size(), -1);
    double highestHz = 0;
    for (std::size_t k = 0; k < positions.size(); ++k) {
        positionOf[static_cast<std::size_t>(positions[k])] = static_cast<int>(k);
        highestHz =
            std::max(highestHz, crystals[static_cast<std::size_t>(positions[k])].model.fsHz);
    }
    QFont bold = font();
    bold.setBold(true);
    {
        const Refreshing refreshing(*this);
        setRowCount(static_cast<int>(crystals.size()));
        for (std::size_t i = 0; i < crystals.size(); ++i) {
            const QStringList texts = RowTexts(i, positionOf[i], highestHz);
            const QString& warning = notes_[i].warning;
            for (int column = 0; column < ColumnCount; ++column) {
                auto* item = new QTableWidgetItem(texts[column]);
                if (!Editable(column)) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                if (column != NameColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (column == RmsColumn && !warning.isEmpty()) {
                    item->setToolTip(warning);
                    item->setBackground(QColor(255, 230, 160));
                }
                if (positionOf[i] >= 0) item->setFont(bold);
                setItem(static_cast<int>(i), column, item);
            }
        }
    }
    emit RowsShown();
}

void CrystalTable::Store(std::vector<NamedCrystal> crystals, std::vector<RowNote> notes) {
    notes_ = std::move(notes);
    storing_ = true;
    project_.SetCrystals(std::move(crystals));
    storing_ = false;
    Refresh();
}

void CrystalTable::StoreKeepingCurrent(std::vector<NamedCrystal> crystals,
                                       std::vector<RowNote> notes) {
    const int current = currentRow();
    Store(std::move(crystals), std::move(notes));
    if (current >= 0 && current < rowCount()) setCurrentCell(current, NameColumn);
}

void CrystalTable::Append(std::vector<NamedCrystal> added, std::vector<RowNote> addedNotes) {
    if (added.empty()) return;
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowNote> notes = notes_;
    const int firstNew = static_cast<int>(crystals.size());
    notes.resize(crystals.size());
    addedNotes.resize(added.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        crystals.push_back(std::move(added[i]));
        notes.push_back(std::move(addedNotes[i]));
    }
    Store(std::move(crystals), std::move(notes));
    setCurrentCell(firstNew, NameColumn);
}

void CrystalTable::CellEdited(QTableWidgetItem* item) {
    if (IsRefreshing() || !item) return;
    const int row = item->row();
    const int column = item->column();
    std::vector<NamedCrystal> crystals = project_.Crystals();
    if (row < 0 || row >= static_cast<int>(crystals.size())) return;
    NamedCrystal& crystal = crystals[static_cast<std::size_t>(row)];
    std::vector<RowNote> notes = notes_;
    if (column == NameColumn) {
        crystal.name = item->text().toStdString();
        Store(std::move(crystals), std::move(notes));
        return;
    }
    const std::optional<double> value = TypedNumber(item->text());
    const bool mayBeZero = column == C0Column;
    if (!value || *value < 0 || (*value == 0 && !mayBeZero)) {
        const QString text = item->text();
        // The cell shows its value again before the box says what was wrong.
        QMetaObject::invokeMethod(
            this, [this] { Refresh(); }, Qt::QueuedConnection);
        dialogs_.Error(tr("Строка %1, столбец «%2»: «%3» — нужно %4 число.")
                           .arg(row + 1)
                           .arg(tr(ColumnTitles[column]))
                           .arg(text)
                           .arg(mayBeZero ? tr("неотрицательное") : tr("положительное")));
        return;
    }
    CrystalModel m = crystal.model;
    switch (column) {
        case FsColumn:
            m.fsHz = *value;
            break;
        case LmColumn:
            m.lmH = *value / 1e3;
            break;
        case RmColumn:
            m.rmOhm = *value;
            break;
        case C0Column:
            m.c0F = *value / 1e12;
            break;
        default:
            return;
    }
    // Cm follows from fs and Lm; a row still being typed keeps what it has.
    crystal.model =
        m.fsHz > 0 && m.lmH > 0 ? CrystalFromSeriesResonance(m.fsHz, m.lmH, m.rmOhm, m.c0F) : m;
    // The fit's residual belongs to the fitted values, not to the edited ones.
    notes[static_cast<std::size_t>(row)].rmsErrorDb.reset();
    notes[static_cast<std::size_t>(row)].warning.clear();
    Store(std::move(crystals), std::move(notes));
}

void CrystalTable::AddRow() {
    Append({NamedCrystal{}}, {RowNote{}});
}

std::set<int> CrystalTable::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && currentRow() >= 0) rows.insert(currentRow());
    return rows;
}

void CrystalTable::RefitSelectedRows() {
    const std::set<int> rows = SelectedRows();
    if (rows.empty()) return;
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowNote> notes = notes_;
    Refit refit = RefitRows(rows, crystals, notes);
    StoreKeepingCurrent(std::move(crystals), std::move(notes));
    if (!refit.withoutSweep.isEmpty()) {
        refit.problems.prepend(tr("Нет развёртки, по которой подогнать: %1")
                                   .arg(refit.withoutSweep.join(QStringLiteral(", "))));
    }
    if (!refit.problems.isEmpty()) dialogs_.Warning(refit.problems.join(QLatin1Char('\n')));
}

int CrystalTable::CorrectMeasuredRows(double ppm) {
    std::vector<NamedCrystal> crystals = project_.Crystals();
    std::vector<RowNote> notes = notes_;
    const int corrected = MoveToCorrection(ppm, crystals, notes);
    if (corrected > 0) StoreKeepingCurrent(std::move(crystals), std::move(notes));
    return corrected;
}

void CrystalTable::RemoveSelectedRows() {
    const std::set<int> removed = SelectedRows();
    if (removed.empty()) return;
    const std::vector<NamedCrystal>& old = project_.Crystals();
    std::vector<NamedCrystal> crystals;
    std::vector<RowNote> notes;
    std::vector<int> newIndex(old.size(), -1);
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (removed.count(static_cast<int>(i))) continue;
        newIndex[i] = static_cast<int>(crystals.size());
        crystals.push_back(old[i]);
        notes.push_back(notes_[i]);
    }
    // A set that loses a crystal is no set any more; the others move up with their rows.
    std::vector<int> positions;
    for (int k : project_.Positions()) {
        if (newIndex[static_cast<std::size_t>(k)] < 0) {
            positions.clear();
            break;
        }
        positions.push_back(newIndex[static_cast<std::size_t>(k)]);
    }
    const bool setChanges = positions != project_.Positions();
    storing_ = true;
    if (setChanges) project_.SetPositions({});
    project_.SetCrystals(std::move(crystals));
    if (setChanges) project_.SetPositions(std::move(positions));
    storing_ = false;
    notes_ = std::move(notes);
    Refresh();
}

}  // namespace feldan
