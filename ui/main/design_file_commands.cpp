// The "Открыть" and "Сохранить" commands of the main window: design files (.fdn), which hold
// the design fields, and projects (.feldan), which hold everything the window works on.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "files/design_file.h"
#include "files/project_file.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/settings.h"
#include "ui/main/main_window.h"

namespace feldan {
namespace {

QString DialogFolder() {
    return QDir(StartFolder()).absolutePath() + QLatin1Char('/');
}

// "*.*" of the old filters means every file; in Qt's syntax that is "*".
QString OpenFilter() {
    return MainWindow::tr(
        "файлы данных по кварцам и проекты (*.fdn *.feldan);;файлы данных по кварцам (*.fdn);;"
        "проекты Feldan (*.feldan);;все файлы (*)");
}
QString DesignFilter() {
    return MainWindow::tr("файлы данных кварца (*.fdn)");
}
QString ProjectFilter() {
    return MainWindow::tr("проекты Feldan (*.feldan)");
}

bool IsProjectName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("feldan"), Qt::CaseInsensitive) == 0;
}
bool IsDesignName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("fdn"), Qt::CaseInsensitive) == 0;
}

// File names go to the files layer in the file system's own encoding.
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A name typed without an extension means the design file of that name, as the open dialog has
// always completed it.
QString WithDefaultExtension(const QString& chosen) {
    if (QFileInfo::exists(chosen) || !QFileInfo(chosen).suffix().isEmpty()) return chosen;
    for (const char* extension : {".fdn", ".FDN", ".feldan"}) {
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
    feldan::Project project;
    try {
        if (IsProjectName(path)) {
            project = ReadProjectFile(LocalPath(path));
            fields = project.design;
        } else {
            fields = LoadDesignFile(LocalPath(path), designFileLines_);
        }
    } catch (const DesignFileWarning& warning) {
        ShowWarning(warning.Text(CurrentLanguage()));
        return;
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
        return;
    }
    SetFieldTexts(fields.texts);
    filterType_ = fields.filterType;
    responseType_ = fields.responseType;
    // The lists, the schematic and the Ck field stay as they are; only the two displays follow.
    topologyNameSource_ = NameSource::File;
    responseNameSource_ = NameSource::File;
    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    // A design file brings a project of its fields alone.
    projectState_->Load(project);
    savedProjectImage_ = projectState_->Image();
    RememberFolderOf(path);
    DesignStored(path, CurrentDesign());
}

void MainWindow::NewDesign() {
    if (!ConfirmDiscard()) return;
    SetFieldTexts(InputTexts{});
    SetStartState();
    ClearChart();
    designFileLines_ = DesignFileLines{};
    projectState_->Load(feldan::Project{});
    savedProjectImage_ = projectState_->Image();
    DesignStored(QString(), CurrentDesign());
}

void MainWindow::SaveDesignCommand() {
    SaveDesign();
}

void MainWindow::SaveDesignAsCommand() {
    SaveDesignAs();
}

bool MainWindow::SaveDesign() {
    if (designPath_.isEmpty()) return SaveDesignAs();
    return WriteDesignTo(designPath_, QString(), CurrentDesign());
}

bool MainWindow::SaveDesignAs() {
    // The texts are taken when the command starts, before the dialog is shown.
    const DesignFields design = CurrentDesign();
    // A project that holds more than the fields offers itself first.
    const bool holdsMore = projectState_->Image() != ProjectState().Image();
    const QString filter = holdsMore ? ProjectFilter() + QStringLiteral(";;") + DesignFilter()
                                     : DesignFilter() + QStringLiteral(";;") + ProjectFilter();
    // The dialog starts at the file's own name and folder once there is one.
    const QString start =
        designPath_.isEmpty() ? DialogFolder() : QFileInfo(designPath_).absoluteFilePath();
    QString selectedFilter;
    const QString chosen = dialogs_->GetSaveFileNameAndFilter(start, filter, &selectedFilter);
    if (chosen.isEmpty()) return false;
    return WriteDesignTo(chosen, selectedFilter, design);
}

bool MainWindow::WriteDesignTo(const QString& chosen, const QString& selectedFilter,
                               const DesignFields& design) {
    FieldsToFileLines(design, designFileLines_);
    const std::string emptyImage = ProjectState().Image();
    const bool holdsMore = projectState_->Image() != emptyImage;
    // The extension typed decides, else the filter chosen, else the first filter.
    const bool asProject =
        IsProjectName(chosen) ||
        (!IsDesignName(chosen) &&
         (selectedFilter.isEmpty() ? holdsMore : selectedFilter == ProjectFilter()));
    const std::string target =
        asProject ? ProjectFileName(LocalPath(chosen)) : DesignFileName(LocalPath(chosen));
    try {
        if (asProject) {
            WriteProjectFile(target, projectState_->ToProject(design));
        } else {
            WriteDesignFile(target, designFileLines_);
        }
    } catch (const DesignFileWarning& warning) {
        ShowWarning(warning.Text(CurrentLanguage()));
        return false;
    } catch (const CommandError& error) {
        ShowError(QString::fromStdString(error.Text(CurrentLanguage())));
        return false;
    }
    const QString saved = QFile::decodeName(QByteArray::fromStdString(target));
    RememberFolderOf(saved);
    // What a design file does not hold stays unsaved, and the window says so.
    savedProjectImage_ = asProject ? projectState_->Image() : emptyImage;
    DesignStored(saved, design);
    if (!asProject && holdsMore) {
        dialogs_->Warning(
            tr("В файл .fdn записаны только данные расчёта; таблица кварцев, набор, "
               "округление, подстройка и согласование в нём не хранятся. Сохраните проект "
               ".feldan, чтобы сохранить и их."));
    }
    return true;
}

}  // namespace feldan
