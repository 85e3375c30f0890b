// The Файл commands on the document: Новый, Открыть, Сохранить and Сохранить как…, with the
// question before unsaved changes would be lost. Design files (.fdn) hold the design fields;
// projects (.feldan) everything the window works on.
#pragma once

#include <QObject>
#include <QString>

namespace feldan {

class DesignDocument;
class DialogService;

class FileCommands : public QObject {
    Q_OBJECT
  public:
    FileCommands(DesignDocument& document, DialogService& dialogs, QObject* parent);

    void New();
    void Open();
    // Сохранить: to the file the design came from or was last saved to, else as SaveAs.
    bool Save();
    // Сохранить как…: always asks, starting at the current name and folder.
    bool SaveAs();
    // Asks before changes would be lost; false when the user cancels (or a save fails).
    bool ConfirmDiscard();

  signals:
    // A file was read and the document works on it.
    void Opened();

  private:
    // Writes the project or its design file to `chosen`; false after a refusal (told).
    bool WriteTo(const QString& chosen, const QString& selectedFilter);
    bool Write(const QString& chosen, bool asProject);
    // A design file cannot hold `designation`: asks to save a project instead, through the save
    // dialog at the chosen name with .feldan (whatever name is given there, a project is
    // written); false when that is declined or fails.
    bool OfferProject(const QString& chosen, const QString& designation);

    DesignDocument& document_;
    DialogService& dialogs_;
};

}  // namespace feldan
