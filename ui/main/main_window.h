// The main window of Feldan: input fields, the schematic of the chosen topology, the result
// text, the response chart, the menu and two status bars. It is the view of the calculateAction_
// command; every modal dialog goes through its DialogService.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "engine/calculate.h"
#include "engine/crystal_set.h"
#include "engine/project.h"
#include "engine/rounding.h"
#include "engine/sweep.h"
#include "files/design_file.h"
#include "ui/common/dialog_service.h"
#include "ui/widgets/response_chart.h"

class QAction;
class QComboBox;
class QFrame;
class QIODevice;
class QLabel;
class QLineEdit;
class QMenu;
class QPaintDevice;
class QTextEdit;
class QTimer;

namespace feldan {

class MeasuredOverlay;
class CrystalWindow;
class PanelBar;
class ProjectState;
class RoundingWindow;
class ToleranceWindow;
class ResponseChart;
class TuningPanel;
struct SweepResult;

// What the chart shows: the pass band of the calculations, or a quantity of a sweep of the
// designed filter (the "Анализ" menu).
enum class AnalysisView { PassBand, WideBand, GroupDelay, ReturnLoss, Impedance };
inline constexpr int AnalysisViewCount = 5;
class InfoWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `separator` is the decimal separator of the user's locale, read once at start.
    explicit MainWindow(char separator, QWidget* parent = nullptr);
    ~MainWindow() override;

    char Separator() const { return separator_; }
    // Curves drawn in the current set of overlays (0..5).
    int CurveCount() const { return curveCount_; }
    // The result of the last calculation.
    const CalculationResult& LastResult() const { return lastResult_; }
    DialogService& Dialogs() { return *dialogs_; }
    // The crystals, the set and the builder's choices of the project the window works on.
    ProjectState& Project() { return *projectState_; }
    void SetDialogService(std::unique_ptr<DialogService> dialogs);

    // Every error box of the window is shown here.
    void ShowError(const QString& text);

    // The seven input texts as typed, and setting them without the key filter (design files).
    InputTexts FieldTexts() const;
    void SetFieldTexts(const InputTexts& texts);

    // Menu and control handlers.
    void ChooseTopology();
    void ChooseResponse();
    void CalculateDesign();
    void NewDesign();            // ui/design_file_commands.cpp
    void OpenDesign();           // ui/design_file_commands.cpp
    void SaveDesignCommand();    // ui/design_file_commands.cpp
    void SaveDesignAsCommand();  // ui/design_file_commands.cpp
    void PrintWindow();
    void Quit();
    void ShowInfo();
    void ToggleOverlay();
    void ToggleLegend();
    void ClearChart();
    void ShowClock();
    void ShowHint(const QString& hint);
    // The "Язык / Language" menu: every window speaks `language` at once, and the next start
    // remembers it.
    void ChooseLanguage(Language language);

    // The "Анализ" menu: shows a view; a quantity view sweeps the design as the window holds it.
    void ShowView(AnalysisView view);
    AnalysisView View() const { return view_; }
    // Файл → "Экспорт вида…" and "Отчёт…", through the save dialog.
    void ExportViewCommand();
    void ReportCommand();
    // The shown view as CSV: a header line, then a row per point.
    std::string ViewCsv() const;
    // The report of the current design as a PDF; false when it cannot be drawn.
    bool WriteReport(QIODevice& device);

    // Draws the client area (without title and menu bar) onto a page, as large as the page
    // allows and centred. False when the device cannot start a document.
    bool PrintOnto(QPaintDevice& device);

    // The design as the window holds it, and whether it differs from the file it came from or
    // went to (from the start values before any file).
    DesignFields CurrentDesign() const;
    bool HasUnsavedChanges() const;
    // The designed filter as Calculate makes it: of the set of crystals when one is in use.
    DesignedFilter DesignedFilterOf(CircuitChoice circuit) const;
    // The project as built (BuildProject): the design with its set of crystals and trims, the
    // rounding, tuning and matching in force.
    ProjectBuild BuildCurrentProject() const;
    // Only the design built with the project's set of crystals and trims, for the windows that
    // round or vary it themselves.
    DesignBuild BuildCurrentDesign() const;
    // The design file the window works on; empty before the first Open or Save.
    QString DesignPath() const { return designPath_; }

    // A warning box; lines of `text` are separated by '\r'.
    void ShowWarning(const std::string& text);

    // ui/crystal_set_commands.cpp: the "Кварцы" window, and the chart's three curves of the
    // design from the set: equal crystals, the set untrimmed and trimmed.
    void ShowCrystalWindow();
    void CompareCrystals();
    // The "Сборка" menu: its non-modal windows, made on first use.
    void ShowRoundingWindow();
    void ShowToleranceWindow();

  signals:
    // A calculation of the design ended without an error: the build windows and the tuning
    // panel follow it.
    void DesignCalculated();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Where a name display's text came from, so that a new language can say it again.
    enum class NameSource { Start, List, File };

    void BuildControls();
    QWidget* BuildInputPanel();
    void BuildStatusBars();
    QLabel* AddLabel(const char* name, QWidget* parent);
    void BuildMenu();
    // Every text of the window in the language in force.
    void RetranslateUi();
    QString TopologyDisplayText() const;
    QString ResponseDisplayText() const;
    // The pictures, drawn for the pixel ratio of the window's screen.
    void UpdatePictures();
    void SetStartState();
    void ShowSchematic(int filterType);
    void SetCkFieldEnabled(bool enabled);
    void UpdateTitle();
    // After a successful Open or Save: the window now works on that file.
    void DesignStored(const QString& path, const DesignFields& design);
    // Asks before typed changes would be lost; false when the user cancels (or a save fails).
    bool ConfirmDiscard();
    // Writes the design through the save dialog; false when cancelled or failed.
    // Сохранить: to the file the design came from or was last saved to, else as SaveDesignAs.
    bool SaveDesign();
    // Сохранить как…: always asks, starting at the current name and folder.
    bool SaveDesignAs();
    // Writes the project or its design file to `chosen`; false after a refusal (told).
    bool WriteDesignTo(const QString& chosen, const QString& selectedFilter,
                       const DesignFields& design);
    void EnterMenuBar();

    // Calculate on the design from the set when the project uses one, else on equal crystals
    // (ui/crystal_set_commands.cpp).
    CalculationResult CalculateProject(Language language);
    // The summary, and for a design from a set the line of its aligned Fo and trims.
    std::string SummaryText(const CalculationResult& result,
                            const std::optional<CrystalSetDesign>& set, Language language) const;

    void SetBusyCursor(bool busy);
    void SetResultText(const std::string& text);
    void ClearCurves();
    // Draws the sweep of the view in force into the chart, in the language in force.
    void PlotViewSweep();
    // Names the curves of "Сравнить кварцы" in the language in force.
    void NameComparison();

    // The controls; each has an object name of the same words without the underscore.
    QWidget* clientArea_ = nullptr;
    QWidget* schematicArea_ = nullptr;
    std::array<QLabel*, FilterTypeCount> schematicImages_{};  // one per topology
    QLabel* authorsMark_ = nullptr;
    QTextEdit* resultText_ = nullptr;
    ResponseChart* chart_ = nullptr;
    QLabel* crystalDataLabel_ = nullptr;
    QLabel* foLabel_ = nullptr;
    QLabel* ldLabel_ = nullptr;
    QLabel* csLabel_ = nullptr;
    QLabel* rdLabel_ = nullptr;
    QLabel* filterDataLabel_ = nullptr;
    QLabel* topologyLabel_ = nullptr;
    QLabel* responseLabel_ = nullptr;
    QLabel* dfLabel_ = nullptr;
    QLabel* ckLabel_ = nullptr;
    QLabel* levelLabel_ = nullptr;
    QFrame* filterDataFrame_ = nullptr;
    QFrame* crystalDataFrame_ = nullptr;
    QLineEdit* foEdit_ = nullptr;            // Fo, kHz
    QLineEdit* dfEdit_ = nullptr;            // dF, Hz
    QLineEdit* ldEdit_ = nullptr;            // Ld, mH
    QLineEdit* csEdit_ = nullptr;            // Cs, pF
    QLineEdit* levelEdit_ = nullptr;         // level, dB
    QLineEdit* rdEdit_ = nullptr;            // Rd, Ohm
    QLineEdit* topologyNameEdit_ = nullptr;  // name of the topology, over topologyCombo_
    QLineEdit* responseNameEdit_ = nullptr;  // name of the response, over responseCombo_
    QLineEdit* ckEdit_ = nullptr;            // Ck, pF
    QComboBox* topologyCombo_ = nullptr;
    QComboBox* responseCombo_ = nullptr;
    PanelBar* overlayStatusBar_ = nullptr;
    PanelBar* hintStatusBar_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    InfoWindow* infoWindow_ = nullptr;
    ProjectState* projectState_ = nullptr;
    MeasuredOverlay* measured_ = nullptr;  // the measured filter over the design
    CrystalWindow* crystalWindow_ = nullptr;
    TuningPanel* tuningPanel_ = nullptr;

    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* fileSeparator_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* calculateAction_ = nullptr;
    QAction* infoAction_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    QAction* overlayAction_ = nullptr;
    QAction* legendAction_ = nullptr;
    QAction* chartSeparator_ = nullptr;
    QAction* clearChartAction_ = nullptr;
    QAction* crystalsAction_ = nullptr;
    QAction* compareCrystalsAction_ = nullptr;
    QAction* exportViewAction_ = nullptr;
    QAction* reportAction_ = nullptr;
    QMenu* analysisMenu_ = nullptr;
    std::array<QAction*, AnalysisViewCount> viewActions_{};
    QMenu* languageMenu_ = nullptr;
    QAction* russianAction_ = nullptr;
    QAction* englishAction_ = nullptr;
    QMenu* buildMenu_ = nullptr;
    QAction* roundingAction_ = nullptr;
    QAction* matchingAction_ = nullptr;
    QAction* toleranceAction_ = nullptr;
    RoundingWindow* roundingWindow_ = nullptr;
    ToleranceWindow* toleranceWindow_ = nullptr;

    char separator_;
    // The two selections in force (a design file may set values outside the lists).
    int filterType_ = 2;
    int responseType_ = 1;
    NameSource topologyNameSource_ = NameSource::Start;
    NameSource responseNameSource_ = NameSource::Start;
    qreal picturesRatio_ = 0;  // the pixel ratio the pictures were drawn for
    bool screenWatched_ = false;
    int curveCount_ = 0;
    AnalysisView view_ = AnalysisView::PassBand;
    // The sweep a quantity view shows, and Fo in Hz it is detuned from.
    std::shared_ptr<SweepResult> viewSweep_;
    double viewFoHz_ = 0;
    CalculationResult lastResult_;
    // What the summary and the overlay panels show, without the curves, so that a new language
    // can say it again.
    std::optional<CalculationResult> shownSummary_;
    struct OverlayText {
        CalculationResult result;
        std::string dfText;
    };
    std::array<std::optional<OverlayText>, SeriesCount> overlayTexts_;
    // The calculations of "Сравнить кварцы" (equal crystals, the set untrimmed and trimmed) while
    // the chart shows them, so that a new language can name them again.
    static constexpr std::size_t ComparisonCount = 3;
    std::array<std::optional<OverlayText>, ComparisonCount> comparison_;

    std::unique_ptr<DialogService> dialogs_;
    // The image of the last design file opened or saved; its reserved lines 6 and 7 go into
    // every later save.
    DesignFileLines designFileLines_;
    QString designPath_;
    DesignFields savedDesign_;
    // The project besides the design as last opened or saved (ProjectState::Image).
    std::string savedProjectImage_;
    // The set of the last calculation, and of the summary on show.
    std::optional<CrystalSetDesign> lastSet_;
    std::optional<CrystalSetDesign> shownSet_;
    bool hintHandlerInstalled_ = false;
    bool busy_ = false;
};

// The decimal separator handed to the engine: ',' when the locale writes decimal commas,
// '.' for every other locale.
char DecimalSeparatorOf(const QLocale& locale);

// The locale's long time format without a time-zone part, so the time fits its panel.
QString LongTimeText(const QLocale& locale, const QTime& time);
QString ShortDateText(const QLocale& locale, const QDate& date);

// What the response name display shows for ResponseType 1..5, after a choice in the list and
// after a design file is opened; empty for any other value.
QString ResponseDisplayName(int responseType);
// What the topology name display shows for FilterType 1..7 after a design file is opened.
QString OpenedTopologyDisplayName(int filterType);

}  // namespace feldan
