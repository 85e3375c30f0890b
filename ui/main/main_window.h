// The main window of Feldan hosts the design document's panels: the schematic, the result text,
// the response chart with its overlays and views, the input panel, the menu and two status
// bars, and the child windows. It wires them together; the work is theirs. Every modal dialog
// goes through its DialogSeam.
#pragma once

#include <QMainWindow>
#include <memory>

#include "ui/analysis/report_writer.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/widgets/hint_bar.h"

class QLabel;
class QLocale;
class QPaintDevice;
class QTextEdit;

namespace feldan {

class AnalysisViews;
class ChartModel;
class ChartOverlays;
class CrystalWindow;
class InfoWindow;
class InputPanel;
class MainMenu;
class HintBar;
class ResponseChart;
class RoundingWindow;
class SchematicArea;
class ToleranceWindow;
class DiagnosisWindow;
struct TouchstoneData;
class TuningPanel;
class FileCommands;
class ViewExporter;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `separator` is the decimal separator of the user's locale, read once at start.
    explicit MainWindow(char separator, QWidget* parent = nullptr);
    ~MainWindow() override;

    DesignDocument& Document() { return *document_; }
    DialogService& Dialogs() { return *dialogs_; }
    // Tests answer the window's dialogs through their own service.
    void SetDialogService(std::unique_ptr<DialogService> dialogs);
    ChartOverlays& Overlays() { return *overlays_; }
    AnalysisViews& Views() { return *views_; }

    // Расчет: calculates the document's design and shows it.
    void CalculateDesign();
    // A file was opened: its design is calculated at once, in place of the one before.
    void CalculateOpened();
    void ShowInfo();
    // The "Язык / Language" menu: every window speaks `language` at once, and the next start
    // remembers it.
    void ChooseLanguage(Language language);
    // The report of the current design as a PDF; false when it cannot be drawn.
    bool WriteReport(QIODevice& device);
    // Draws the client area (without title and menu bar) onto a page, as large as the page
    // allows and centred. False when the device cannot start a document.
    bool PrintOnto(QPaintDevice& device);
    // What the report repeats of the window: the inputs, the summary, a measured filter.
    ReportWriter::Content ReportContent() const;

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void ConnectCommands();
    void RetranslateUi();
    void UpdatePictures();
    void UpdateTitle();
    void SetStartState();
    // A doubt about the design on show, in the hint bar until the next hint.
    void ShowCaution(const CalculationResult& result);
    // The schematic's ends and the summary's hint on Ck for the design in force.
    void ShowEndsAndCk();
    void SetResultText(const std::string& text);
    // The result box as tall as its lines, from the schematic's height up.
    void FitResultText();
    void ClearChart();
    void PrintWindow();
    void EnterMenuBar();
    // The child windows, made on first use.
    void ShowCrystalWindow();
    void ShowRoundingWindow();
    void ShowToleranceWindow();
    // "Что построено…": the sweep open over the design fitted by the filter as built.
    void ShowDiagnosisWindow(const TouchstoneData& data, const QString& name);
    template <typename Window>
    void Raise(Window* window);

    std::unique_ptr<DialogSeam> dialogs_;
    DesignDocument* document_;
    MainMenu* menu_ = nullptr;
    FileCommands* files_ = nullptr;
    QWidget* clientArea_ = nullptr;
    SchematicArea* schematicArea_ = nullptr;
    QTextEdit* resultText_ = nullptr;
    // What the chart shows, written by the overlays, the views, the measured filter and the
    // tuning panel; the chart widget is the window's alone.
    ChartModel* chartModel_ = nullptr;
    ResponseChart* chart_ = nullptr;
    QLabel* figuresLabel_ = nullptr;  // a measured filter's figures beside the design's
    InputPanel* inputPanel_ = nullptr;
    ChartOverlays* overlays_ = nullptr;
    AnalysisViews* views_ = nullptr;
    std::unique_ptr<ViewExporter> exporter_;
    std::unique_ptr<ReportWriter> report_;
    HintBar* hintStatusBar_ = nullptr;
    InfoWindow* infoWindow_ = nullptr;
    TuningPanel* tuningPanel_ = nullptr;
    CrystalWindow* crystalWindow_ = nullptr;
    RoundingWindow* roundingWindow_ = nullptr;
    ToleranceWindow* toleranceWindow_ = nullptr;
    DiagnosisWindow* diagnosisWindow_ = nullptr;

    qreal picturesRatio_ = 0;  // the pixel ratio the pictures were drawn for
    bool screenWatched_ = false;
    bool hintsShown_ = false;
    int widthWithoutTuning_ = 0;  // the window's width while the tuning dock is closed
    // What the summary shows, without the curve, so that a new language can say it again.
    std::optional<CalculationResult> shownSummary_;
    std::optional<CrystalSetDesign> shownSet_;
    std::optional<DesignFigures> shownFigures_;
};

// The decimal separator handed to the engine: ',' when the locale writes decimal commas,
// '.' for every other locale.
char DecimalSeparatorOf(const QLocale& locale);

}  // namespace feldan
