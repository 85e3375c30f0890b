// The "Открыть" and "Сохранить" commands of the main window: design files.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "files/design_file.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/settings.h"

namespace feldan {
namespace {

QString DialogFolder() {
    return QDir(StartFolder()).absolutePath() + QLatin1Char('/');
}

// "*.*" of the old filters means every file; in Qt's syntax that is "*".
QString OpenFilter() {
    return MainWindow::tr("файлы данных по кварцам (*.fdn);;все файлы (*)");
}
QString SaveFilter() {
    return MainWindow::tr("файлы данных кварца (*.fdn)");
}

// File names go to the files layer in the file system's own encoding.
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A name typed without an extension means the design file of that name, as the open dialog has
// always completed it.
QString WithDefaultExtension(const QString& chosen) {
    if (QFileInfo::exists(chosen) || !QFileInfo(chosen).suffix().isEmpty()) return chosen;
    for (const char* extension : {".fdn", ".FDN"}) {
        const QString completed = chosen + QLatin1String(extension);
        if (QFileInfo::exists(completed)) return completed;
    }
    return chosen;
}

}  // namespace

void MainWindow::OpenDesign() {
    if (!ConfirmDiscard()) return;
    const QString chosen = dialogs_->GetOpenFileName(DialogFolder(), OpenFilter());
    if (chosen.isEmpty()) return;
    // The whole file is read and checked before anything of the window changes.
    const QString path = WithDefaultExtension(chosen);
    DesignFields fields;
    try {
        fields = LoadDesignFile(LocalPath(path), designFileLines_);
    } catch (const DesignFileWarning& warning) {
        ShowWarning(warning.Text(CurrentLanguage()));
        return;
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
        return;
    }
    SetFieldTexts(fields.texts);
    filterType_ = fields.FilterType;
    responseType_ = fields.ResponseType;
    // The lists, the schematic and the Ck field stay as they are; only the two displays follow.
    topologyNameSource_ = NameSource::File;
    responseNameSource_ = NameSource::File;
    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    RememberFolderOf(path);
    DesignStored(path, CurrentDesign());
}

void MainWindow::SaveDesignCommand() {
    SaveDesign();
}

bool MainWindow::SaveDesign() {
    // The texts are taken when the command starts, before the dialog is shown.
    const DesignFields design = CurrentDesign();
    FieldsToFileLines(design, designFileLines_);
    const QString chosen = dialogs_->GetSaveFileName(DialogFolder(), SaveFilter());
    if (chosen.isEmpty()) return false;
    const std::string target = DesignFileName(LocalPath(chosen));
    try {
        WriteDesignFile(target, designFileLines_);
    } catch (const DesignFileWarning& warning) {
        ShowWarning(warning.Text(CurrentLanguage()));
        return false;
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
        return false;
    }
    const QString saved = QFile::decodeName(QByteArray::fromStdString(target));
    RememberFolderOf(saved);
    DesignStored(saved, design);
    return true;
}

}  // namespace feldan
