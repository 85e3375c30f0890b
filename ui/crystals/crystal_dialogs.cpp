#include "ui/crystals/crystal_dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <array>

#include "ui/crystals/measure_dialog.h"

namespace feldan {

namespace {

// The texts of the window's own dialogs are the window's.
QString CrystalsText(const char* text) {
    return QCoreApplication::translate("feldan::CrystalWindow", text);
}

}  // namespace

QStringList QtCrystalDialogs::GetOpenFileNames(const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent_, QString(), dir, filter);
}

std::optional<double> QtCrystalDialogs::FixtureOhm(double referenceOhm) {
    bool ok = false;
    const double ohm = QInputDialog::getDouble(
        parent_, CrystalsText(QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Оснастка")),
        CrystalsText(QT_TRANSLATE_NOOP("feldan::CrystalWindow",
                                       "Сопротивление источника и нагрузки оснастки, Ом:")),
        referenceOhm, 0.001, 1e6, 3, &ok);
    if (!ok) return std::nullopt;
    return ohm;
}

std::optional<G3uurReadings> QtCrystalDialogs::G3uur() {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("G3UUR"));
    auto* form = new QFormLayout(&dialog);
    G3uurReadings readings;
    struct Row {
        QString* text;
        const char* label;
    };
    const std::array<Row, 8> rows = {{
        {&readings.name, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Название")},
        {&readings.f0, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f0, Гц (кварц один)")},
        {&readings.f1, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f1, Гц (с C1)")},
        {&readings.c1, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C1, пФ")},
        {&readings.f2, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "f2, Гц (с C2; можно пусто)")},
        {&readings.c2, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C2, пФ (можно пусто)")},
        {&readings.c0, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "C0, пФ")},
        {&readings.rm, QT_TRANSLATE_NOOP("feldan::CrystalWindow", "Rm, Ом")},
    }};
    std::array<QLineEdit*, 8> edits{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        edits[i] = new QLineEdit(&dialog);
        form->addRow(CrystalsText(rows[i].label), edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i)
        *rows[i].text = edits[i]->text();
    return readings;
}

std::optional<AnalyserSettings> QtCrystalDialogs::Measurement(const AnalyserSettings& offered) {
    MeasureDialog dialog(offered, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

}  // namespace feldan
