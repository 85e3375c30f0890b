#include "ui/crystals/crystal_import.h"

#include <QFileInfo>
#include <array>

#include "files/atomic_file.h"
#include "files/crystal_csv.h"
#include "files/touchstone.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"
#include "ui/crystals/crystal_dialogs.h"
#include "ui/crystals/crystal_table.h"

namespace feldan {

namespace {

struct Loaded {
    QString path;
    TouchstoneData data;
};

}  // namespace

CrystalImport::CrystalImport(CrystalTable& table, DialogService& dialogs,
                             const std::unique_ptr<CrystalDialogs>& crystalDialogs, QObject* parent)
    : QObject(parent), table_(table), dialogs_(dialogs), crystalDialogs_(crystalDialogs) {}

void CrystalImport::AddMeasurements() {
    const QStringList paths = crystalDialogs_->GetOpenFileNames(
        DialogFolder(), tr("измерения кварцев (*.s2p *.s1p);;все файлы (*)"));
    if (paths.isEmpty()) return;
    const Language language = CurrentLanguage();
    QStringList problems;
    std::vector<Loaded> loaded;
    for (const QString& path : paths) {
        try {
            loaded.push_back({path, ReadTouchstoneFile(LocalPath(path))});
        } catch (const CommandError& error) {
            problems << FromUtf8(error.Text(language));
        }
    }
    if (loaded.empty()) {
        dialogs_.Error(problems.join(QLatin1Char('\n')));
        return;
    }
    RememberFolderOf(paths.front());
    const std::optional<double> fixtureOhm =
        crystalDialogs_->FixtureOhm(loaded.front().data.referenceOhm);
    if (!fixtureOhm) return;
    std::vector<NamedCrystal> crystals;
    std::vector<RowNote> notes;
    for (const Loaded& file : loaded) {
        CrystalSweep sweep = CrystalSweepOf(file.data, *fixtureOhm);
        const CrystalFit fit =
            FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
        RowNote note;
        if (const std::optional<Message> said =
                FitMessageOf(fit, QFileInfo(file.path).fileName().toStdString())) {
            const QString text = MessageShown(*said);
            // No resonance, no values: named among the problems, not added. A fit that did not
            // converge stays near the measured peak (its fs between the half-power points), so
            // the crystal is kept with the warning and can still be matched by frequency.
            if (fit.verdict == FitVerdict::NoResonance) {
                problems << text;
                continue;
            }
            note.warning = text;
        }
        note.rmsErrorDb = fit.rmsErrorDb;
        const CrystalModel model = KeptModelOf(fit, sweep);
        crystals.push_back(
            {QFileInfo(file.path).completeBaseName().toStdString(), model, std::move(sweep)});
        notes.push_back(std::move(note));
    }
    table_.Append(std::move(crystals), std::move(notes));
    if (!problems.isEmpty()) dialogs_.Warning(problems.join(QLatin1Char('\n')));
}

void CrystalImport::AddFromG3uur() {
    const std::optional<G3uurReadings> readings = crystalDialogs_->G3uur();
    if (!readings) return;
    struct Field {
        const QString* text;
        QString label;
        double scale;
        bool optional;
        std::optional<double> value;
    };
    std::array<Field, 7> fields = {{{&readings->f0, QStringLiteral("f0"), 1, false, {}},
                                    {&readings->f1, QStringLiteral("f1"), 1, false, {}},
                                    {&readings->c1, QStringLiteral("C1"), 1e-12, false, {}},
                                    {&readings->f2, QStringLiteral("f2"), 1, true, {}},
                                    {&readings->c2, QStringLiteral("C2"), 1e-12, true, {}},
                                    {&readings->c0, QStringLiteral("C0"), 1e-12, false, {}},
                                    {&readings->rm, QStringLiteral("Rm"), 1, false, {}}}};
    for (Field& field : fields) {
        if (field.optional && field.text->trimmed().isEmpty()) continue;
        const std::optional<double> value = TypedNumber(*field.text);
        const bool mayBeZero = field.label == QLatin1String("C0");
        if (!value || *value < 0 || (*value == 0 && !mayBeZero)) {
            dialogs_.Error(tr("G3UUR: в поле %1 «%2» — нужно %3 число.")
                               .arg(field.label, *field.text,
                                    mayBeZero ? tr("неотрицательное") : tr("положительное")));
            return;
        }
        field.value = *value * field.scale;
    }
    const double f0 = *fields[0].value, f1 = *fields[1].value, c1 = *fields[2].value;
    const double c0 = *fields[5].value, rm = *fields[6].value;
    if (fields[3].value.has_value() != fields[4].value.has_value()) {
        dialogs_.Error(tr("G3UUR: f2 и C2 задаются вместе."));
        return;
    }
    const double cm = fields[3].value
                          ? G3uurMotionalCapacitance(f0, f1, c1, *fields[3].value, *fields[4].value)
                          : G3uurMotionalCapacitance(f0, f1, c1, c0);
    if (!(cm > 0)) {
        dialogs_.Error(MessageShown(Message{MessageId::G3uurNoShift, ""}));
        return;
    }
    const QString name = readings->name.trimmed().isEmpty()
                             ? QStringLiteral("G3UUR %1").arg(table_.Crystals().size() + 1)
                             : readings->name.trimmed();
    table_.Append({{name.toStdString(),
                    CrystalFromSeriesResonance(f0, MotionalInductanceOf(f0, cm), rm, c0)}},
                  {RowNote{}});
}

void CrystalImport::OpenList() {
    const QString path =
        dialogs_.GetOpenFileName(DialogFolder(), tr("списки кварцев (*.csv);;все файлы (*)"));
    if (path.isEmpty()) return;
    std::vector<NamedCrystal> read;
    try {
        read = ReadCrystalList(LocalPath(path));
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
        return;
    }
    RememberFolderOf(path);
    // The list's crystals join the table; nothing of it is lost.
    std::vector<NamedCrystal> crystals = table_.Crystals();
    std::vector<RowNote> notes = table_.Notes();
    notes.resize(crystals.size() + read.size());
    for (NamedCrystal& crystal : read)
        crystals.push_back(std::move(crystal));
    table_.Store(std::move(crystals), std::move(notes));
}

void CrystalImport::SaveList() {
    const std::vector<NamedCrystal>& crystals = table_.Crystals();
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        if (!Usable(crystals[i].model)) {
            dialogs_.Error(
                tr("В строке %1 не заданы fs, Lm и Rm: заполните её или удалите.").arg(i + 1));
            return;
        }
    }
    QString path = dialogs_.GetSaveFileName(DialogFolder(), tr("списки кварцев (*.csv)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    try {
        WriteFileAtomically(LocalPath(path), CrystalListBytes(crystals));
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
        return;
    }
    RememberFolderOf(path);
}

}  // namespace feldan
