#include "ui/common/dialog_service.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>

#include "engine/ladder_design.h"
#include "ui/common/language.h"
#include "ui/common/ui_text.h"

namespace feldan {

QString MessageBoxTitle() {
    // The program's name alone: its version belongs to the task bar and the information window.
    return QStringLiteral("Feldan");
}

QString UnsavedChangesQuestion(const QString& designName) {
    return QCoreApplication::translate("feldan::QtDialogService", "Сохранить изменения в «%1»?")
        .arg(designName);
}

QWidget* QtDialogService::Asking() const {
    // A box belongs to the window it answers, so that it never raises the main window over a
    // child window that asked.
    QWidget* active = QApplication::activeWindow();
    return active && (active == parent_ || active->parentWidget() == parent_) ? active : parent_;
}

void QtDialogService::Warning(const QString& text) {
    QMessageBox::warning(Asking(), MessageBoxTitle(), text, QMessageBox::Ok);
}

void QtDialogService::Error(const QString& text) {
    QMessageBox::critical(Asking(), MessageBoxTitle(), text, QMessageBox::Ok);
}

bool QtDialogService::PrinterSetup(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    // Printer, paper and orientation only: the printout is always the one page of the window.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<double> QtDialogService::GetNumber(const QString& label, double value, double lowest,
                                                 double highest) {
    bool ok = false;
    const double chosen =
        QInputDialog::getDouble(Asking(), MessageBoxTitle(), label, value, lowest, highest, 1, &ok);
    return ok ? std::optional<double>(chosen) : std::nullopt;
}

std::optional<QSize> QtDialogService::GetPictureSize(QSize offered) {
    QDialog dialog(Asking());
    dialog.setWindowTitle(MessageBoxTitle());
    auto* layout = new QFormLayout(&dialog);
    const auto side = [&](const QString& label, int value) {
        auto* box = new QSpinBox(&dialog);
        box->setRange(PictureSideRange.first, PictureSideRange.second);
        box->setValue(value);
        box->setSuffix(QCoreApplication::translate("feldan::QtDialogService", " точек"));
        layout->addRow(label, box);
        return box;
    };
    QSpinBox* width =
        side(QCoreApplication::translate("feldan::QtDialogService", "&Ширина рисунка:"),
             offered.width());
    QSpinBox* height =
        side(QCoreApplication::translate("feldan::QtDialogService", "&Высота рисунка:"),
             offered.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return QSize(width->value(), height->value());
}

std::optional<KeyingChoice> QtDialogService::GetKeying(const KeyingChoice& offered) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("feldan::QtDialogService", text);
    };
    QDialog dialog(Asking());
    dialog.setWindowTitle(MessageBoxTitle());
    auto* layout = new QFormLayout(&dialog);
    const auto number = [&](const QString& label, double value, double lowest, double highest,
                            int decimals, const QString& suffix) {
        auto* box = new QDoubleSpinBox(&dialog);
        box->setRange(lowest, highest);
        box->setDecimals(decimals);
        box->setValue(value);
        box->setSuffix(suffix);
        box->setLocale(NumberLocale());
        layout->addRow(label, box);
        return box;
    };
    QDoubleSpinBox* wpm = number(tr("&Скорость точек, слов/мин:"), offered.wpm, 1, 1000, 0, {});
    QDoubleSpinBox* pulse =
        number(tr("&Импульс вместо точек (0 — точки):"), offered.pulseMs, 0, 10000, 2, tr(" мс"));
    QDoubleSpinBox* rise =
        number(tr("&Фронты (0 — прямоугольные):"), offered.riseMs, 0, 1000, 2, tr(" мс"));
    auto* window = new QComboBox(&dialog);
    window->addItems({tr("нет"), tr("Ханна"), tr("Кайзера")});
    window->setCurrentIndex(int(offered.window.kind));
    layout->addRow(tr("&Окно рисунка:"), window);
    QDoubleSpinBox* beta =
        number(tr("&Бета окна Кайзера:"), offered.window.kaiserBeta, 0, 50, 1, QString());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    KeyingChoice chosen;
    chosen.wpm = wpm->value();
    chosen.pulseMs = pulse->value();
    chosen.riseMs = rise->value();
    chosen.window = {TransientWindow(window->currentIndex()), beta->value()};
    return chosen;
}

std::optional<QString> QtDialogService::GetRipple(const QString& offered) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("feldan::QtDialogService", text);
    };
    QDialog dialog(Asking());
    dialog.setWindowTitle(MessageBoxTitle());
    auto* layout = new QFormLayout(&dialog);
    // A few ripples to choose, any other to type; the design run says what it cannot take.
    auto* ripple = new QComboBox(&dialog);
    ripple->setEditable(true);
    ripple->setInsertPolicy(QComboBox::NoInsert);
    const QLocale locale = NumberLocale();
    for (const double offeredDb : {0.01, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 3.0})
        ripple->addItem(locale.toString(offeredDb, 'g', 3));
    ripple->setEditText(offered);
    layout->addRow(tr("&Неравномерность dA, дБ (от 0,01 до 3):"), ripple);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // A ripple out of range is refused here, with the dialog still open to mend it.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (const std::optional<QString> problem = RippleProblem(ripple->currentText().trimmed()))
            QMessageBox::warning(&dialog, MessageBoxTitle(), *problem, QMessageBox::Ok);
        else
            dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ripple->currentText().trimmed();
}

std::optional<QString> RippleProblem(const QString& typed) {
    double db = 0;
    try {
        db = FieldTextToFloat(typed.toStdString(), '.');
    } catch (const CommandError& error) {
        return LinesFromCr(error.Text(CurrentLanguage()));
    }
    if (db >= MinRippleDb && db <= MaxRippleDb) return std::nullopt;
    return MessageShown(Message{MessageId::BadRipple, typed.toStdString()});
}

bool QtDialogService::AskYesNo(const QString& question, const QString& yes) {
    QMessageBox box(QMessageBox::Question, MessageBoxTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, Asking());
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(yes);
    box.button(QMessageBox::No)
        ->setText(QCoreApplication::translate("feldan::DialogService", "&Отмена"));
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogService::GetOpenFileName(const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(Asking(), QString(), dir, filter);
}

QString QtDialogService::GetSaveFileName(const QString& dir, const QString& filter) {
    return GetSaveFileNameAndFilter(dir, filter, nullptr);
}

QString QtDialogService::GetSaveFileNameAndFilter(const QString& dir, const QString& filter,
                                                  QString* selectedFilter) {
    // The design file command decides about overwriting; the dialog does not ask.
    return QFileDialog::getSaveFileName(Asking(), QString(), dir, filter, selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

DialogService::UnsavedAnswer QtDialogService::AskToSaveChanges(const QString& designName) {
    QMessageBox box(QMessageBox::Question, MessageBoxTitle(), UnsavedChangesQuestion(designName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Asking());
    box.setDefaultButton(QMessageBox::Save);
    // Each answer has its Alt letter, in the language in force.
    box.button(QMessageBox::Save)
        ->setText(QCoreApplication::translate("feldan::DialogService", "&Сохранить"));
    box.button(QMessageBox::Discard)
        ->setText(QCoreApplication::translate("feldan::DialogService", "&Не сохранять"));
    box.button(QMessageBox::Cancel)
        ->setText(QCoreApplication::translate("feldan::DialogService", "&Отмена"));
    switch (box.exec()) {
        case QMessageBox::Save:
            return UnsavedAnswer::Save;
        case QMessageBox::Discard:
            return UnsavedAnswer::Discard;
        default:
            return UnsavedAnswer::Cancel;
    }
}

}  // namespace feldan
