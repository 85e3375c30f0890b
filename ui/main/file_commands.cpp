#include "ui/main/file_commands.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

#include "engine/synthesis.h"
#include "files/design_file.h"
#include "files/project_file.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/settings.h"
#include "ui/common/ui_text.h"

namespace feldan {
namespace {

// "*.*" of the old filters means every file; in Qt's syntax that is "*".
QString OpenFilter() {
    return FileCommands::tr(
        "файлы данных по кварцам и проекты (*.fdn *.feldan);;файлы данных по кварцам (*.fdn);;"
        "проекты Feldan (*.feldan);;все файлы (*)");
}
QString DesignFilter() {
    return FileCommands::tr("файлы данных кварца (*.fdn)");
}
QString ProjectFilter() {
    return FileCommands::tr("проекты Feldan (*.feldan)");
}

bool IsProjectName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("feldan"), Qt::CaseInsensitive) == 0;
}
bool IsDesignName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("fdn"), Qt::CaseInsensitive) == 0;
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

// A name for a design never saved, from what it is: its prototype's code and its band, as
// "B04-2700"; "feldan" where the selections name no prototype.
QString SuggestedName(const DesignFields& design) {
    DesignInput input;
    input.filterType = design.filterType;
    input.responseType = design.responseType;
    input.RippleDb = TypedNumber(FromUtf8(design.ripple)).value_or(0);
    Synthesis synthesis;
    try {
        LoadDesignPrototype(input, design.ripple, synthesis);
    } catch (const std::exception&) {
        // A ripple the generator refuses: the design run will say so; the name does without.
    }
    QString name;
    for (const QChar c : FromUtf8(synthesis.PrototypeName + design.texts.Df)) {
        // Only what every file system takes; a decimal comma of the band becomes a point.
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c;
        else if (c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char(','))
            name += c == QLatin1Char(',') ? QLatin1Char('.') : c;
    }
    while (name.endsWith(QLatin1Char('-')) || name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("feldan") : name;
}

}  // namespace

FileCommands::FileCommands(DesignDocument& document, DialogService& dialogs, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs) {}

void FileCommands::Open() {
    if (!ConfirmDiscard()) return;
    const QString chosen = dialogs_.GetOpenFileName(DialogFolder(), OpenFilter());
    if (chosen.isEmpty()) return;
    // The whole file is read and checked before anything of the window changes.
    const QString path = WithDefaultExtension(chosen);
    feldan::Project project;
    DesignFileLines lines{};
    try {
        if (IsProjectName(path)) {
            project = ReadProjectFile(LocalPath(path));
        } else {
            // A design file brings a project of its fields alone.
            project.design = LoadDesignFile(LocalPath(path), lines);
        }
    } catch (const DesignFileWarning& warning) {
        dialogs_.Warning(LinesFromCr(warning.Text(CurrentLanguage())));
        return;
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
        return;
    }
    RememberFolderOf(path);
    document_.Open(project, path, lines);
    emit Opened();
}

void FileCommands::New() {
    if (!ConfirmDiscard()) return;
    document_.Reset();
}

bool FileCommands::Save() {
    if (document_.Path().isEmpty()) return SaveAs();
    return WriteTo(document_.Path(), QString());
}

bool FileCommands::SaveAs() {
    // A project that holds more than the fields offers itself first.
    const bool holdsMore = document_.HoldsMoreThanDesign();
    const QString filter = holdsMore ? ProjectFilter() + QStringLiteral(";;") + DesignFilter()
                                     : DesignFilter() + QStringLiteral(";;") + ProjectFilter();
    // The dialog starts at the file's own name and folder once there is one; before, at a name
    // made from the design in the last folder used.
    const QString start =
        document_.Path().isEmpty()
            ? QDir(DialogFolder())
                  .filePath(SuggestedName(document_.Design()) +
                            (holdsMore ? QStringLiteral(".feldan") : QStringLiteral(".fdn")))
            : QFileInfo(document_.Path()).absoluteFilePath();
    QString selectedFilter;
    const QString chosen = dialogs_.GetSaveFileNameAndFilter(start, filter, &selectedFilter);
    if (chosen.isEmpty()) return false;
    return WriteTo(chosen, selectedFilter);
}

bool FileCommands::WriteTo(const QString& chosen, const QString& selectedFilter) {
    const bool holdsMore = document_.HoldsMoreThanDesign();
    // The extension typed decides, else the filter chosen, else the first filter.
    const bool asProject =
        IsProjectName(chosen) ||
        (!IsDesignName(chosen) &&
         (selectedFilter.isEmpty() ? holdsMore : selectedFilter == ProjectFilter()));
    return Write(chosen, asProject);
}

bool FileCommands::Write(const QString& chosen, bool asProject) {
    const bool holdsMore = document_.HoldsMoreThanDesign();
    const std::string target =
        asProject ? ProjectFileName(LocalPath(chosen)) : DesignFileName(LocalPath(chosen));
    try {
        document_.Save(target, asProject);
    } catch (const DesignFileWarning& warning) {
        if (warning.message().id == MessageId::FileNeedsProject)
            return OfferProject(chosen, FromUtf8(warning.message().value));
        dialogs_.Warning(LinesFromCr(warning.Text(CurrentLanguage())));
        return false;
    } catch (const CommandError& error) {
        dialogs_.Error(FromUtf8(error.Text(CurrentLanguage())));
        return false;
    }
    RememberFolderOf(document_.Path());
    // What a design file does not hold stays unsaved, and the window says so.
    if (!asProject && holdsMore) {
        dialogs_.Warning(
            document_.Design().exact
                ? tr("В файл .fdn записаны только данные расчёта; «Точно по заданию», таблица "
                     "кварцев, набор, округление, подстройка и согласование в нём не хранятся. "
                     "Сохраните проект .feldan, чтобы сохранить и их.")
                : tr("В файл .fdn записаны только данные расчёта; таблица кварцев, набор, "
                     "округление, подстройка и согласование в нём не хранятся. Сохраните проект "
                     ".feldan, чтобы сохранить и их."));
    }
    return true;
}

bool FileCommands::OfferProject(const QString& chosen, const QString& designation) {
    const QString question =
        tr("Фильтр %1 не помещается в файл .fdn: он хранит только семь классических схем и пять "
           "характеристик. Сохранить его как проект (.feldan)?")
            .arg(designation);
    if (!dialogs_.AskYesNo(question, tr("Сохранить как &проект…"))) return false;
    // The design file's name with the project's extension.
    const auto projectName = [](const QString& name) {
        if (!IsDesignName(name)) return name;
        const QFileInfo design(name);
        return design.dir().filePath(design.completeBaseName() + QStringLiteral(".feldan"));
    };
    QString selectedFilter = ProjectFilter();
    const QString project =
        dialogs_.GetSaveFileNameAndFilter(projectName(chosen), ProjectFilter(), &selectedFilter);
    if (project.isEmpty()) return false;
    return Write(projectName(project), true);
}

bool FileCommands::ConfirmDiscard() {
    if (!document_.HasUnsavedChanges()) return true;
    const QString name =
        document_.Path().isEmpty() ? tr("без имени") : QFileInfo(document_.Path()).fileName();
    switch (dialogs_.AskToSaveChanges(name)) {
        case DialogService::UnsavedAnswer::Save:
            return Save();
        case DialogService::UnsavedAnswer::Discard:
            return true;
        case DialogService::UnsavedAnswer::Cancel:
            break;
    }
    return false;
}

}  // namespace feldan
