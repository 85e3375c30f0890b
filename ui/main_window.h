// The main window of Feldan: input fields, the schematic of the chosen topology, the result
// text, the response chart, the menu and two status bars. It is the view of the Calculate
// command; every modal dialog goes through its DialogService.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "engine/calculate.h"
#include "files/design_file.h"
#include "ui/dialog_service.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPaintDevice;
class QTextEdit;
class QTimer;

namespace feldan {

class PanelBar;
class ResponseChart;
class TForm2;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // `separator` is the decimal separator of the user's locale, read once at start.
    explicit TForm1(char separator, QWidget* parent = nullptr);
    ~TForm1() override;

    char Separator() const { return separator_; }
    // Curves drawn in the current set of overlays (0..5).
    int CurveCount() const { return curveCount_; }
    // The result of the last calculation.
    const CalculationResult& LastResult() const { return lastResult_; }
    DialogService& Dialogs() { return *dialogs_; }
    void SetDialogService(std::unique_ptr<DialogService> dialogs);

    // Every error box of the window is shown here.
    void ShowError(const QString& text);

    // The seven input texts as typed, and setting them without the key filter (design files).
    InputTexts FieldTexts() const;
    void SetFieldTexts(const InputTexts& texts);

    // Menu and control handlers.
    void ComboBox1Change();
    void ComboBox2Change();
    void CalculateClick();
    void OpenClick();  // ui/design_file_commands.cpp
    void SaveClick();  // ui/design_file_commands.cpp
    void PrintFormClick();
    void ExitClick();
    void InfoClick();
    void BonusACHClick();
    void LegendaClick();
    void ClearGraficClick();
    void Timer2Timer();
    void PanelHint(const QString& hint);

    // Draws the client area (without title and menu bar) onto a page, as large as the page
    // allows and centred. False when the device cannot start a document.
    bool PrintClientArea(QPaintDevice& device);

    // The design as the window holds it, and whether it differs from the file it came from or
    // went to (from the start values before any file).
    DesignFields CurrentDesign() const;
    bool HasUnsavedChanges() const;
    // The design file the window works on; empty before the first Open or Save.
    QString DesignPath() const { return designPath_; }

    // A warning box; lines of `text` are separated by '\r'.
    void ShowWarning(const std::string& text);

    // The controls, under the names the window has always given them.
    QWidget* ClientArea = nullptr;
    std::array<QLabel*, 7> Images{};  // Image1 .. Image7
    QLabel* Image8 = nullptr;
    QTextEdit* Memo1 = nullptr;
    ResponseChart* Chart1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label13 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QLineEdit* Edit1 = nullptr;   // Fo, kHz
    QLineEdit* Edit2 = nullptr;   // dF, Hz
    QLineEdit* Edit3 = nullptr;   // Ld, mH
    QLineEdit* Edit4 = nullptr;   // Cs, pF
    QLineEdit* Edit5 = nullptr;   // level, dB
    QLineEdit* Edit6 = nullptr;   // Rd, Ohm
    QLineEdit* Edit7 = nullptr;   // name of the topology, over ComboBox1
    QLineEdit* Edit10 = nullptr;  // name of the response, over ComboBox2
    QLineEdit* Edit11 = nullptr;  // Ck, pF
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    PanelBar* StatusBar1 = nullptr;
    PanelBar* StatusBar2 = nullptr;
    QTimer* Timer2 = nullptr;
    TForm2* Form2 = nullptr;

    QMenu* N1 = nullptr;
    QAction* Open = nullptr;
    QAction* Save = nullptr;
    QAction* N2 = nullptr;
    QAction* PrintForm = nullptr;
    QAction* N3 = nullptr;
    QAction* Exit = nullptr;
    QAction* Calculate = nullptr;
    QAction* Info = nullptr;
    QMenu* N4 = nullptr;
    QAction* BonusACH = nullptr;
    QAction* Legenda = nullptr;
    QAction* Polos = nullptr;
    QAction* ClearGrafic = nullptr;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void BuildMenu();
    void FormCreate();
    void ShowSchematic(int filterType);
    void SetCkFieldEnabled(bool enabled);
    void UpdateTitle();
    // After a successful Open or Save: the window now works on that file.
    void DesignStored(const QString& path, const DesignFields& design);
    // Asks before typed changes would be lost; false when the user cancels (or a save fails).
    bool ConfirmDiscard();
    // Writes the design through the save dialog; false when cancelled or failed.
    bool SaveDesign();
    void EnterMenuBar();

    void SetBusyCursor(bool busy);
    void SetResultText(const std::string& text);
    void ClearCurves();

    char separator_;
    // The two selections in force (a design file may set values outside the lists).
    int filterType_ = 2;
    int responseType_ = 1;
    int curveCount_ = 0;
    CalculationResult lastResult_;
    std::unique_ptr<DialogService> dialogs_;
    // The image of the last design file opened or saved; its reserved lines 6 and 7 go into
    // every later save.
    DesignFileLines designFileLines_;
    QString designPath_;
    DesignFields savedDesign_;
    bool hintHandlerInstalled_ = false;
    bool busy_ = false;
};

// The decimal separator handed to the engine: ',' when the locale writes decimal commas,
// '.' for every other locale.
char DecimalSeparatorOf(const QLocale& locale);

// The locale's long time format without a time-zone part, so the time fits its panel.
QString LongTimeText(const QLocale& locale, const QTime& time);
QString ShortDateText(const QLocale& locale, const QDate& date);

// What Edit10 shows for ResponseType 1..5.
QString ResponseDisplayName(int responseType);

}  // namespace feldan
