// A measured filter laid over the design: the "Анализ" commands that open and remove a sweep of
// the built filter (.s2p) and shift it to the design's centre, and its curve in each view.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "engine/measured_filter.h"

class QAction;
class QMenu;

namespace feldan {

class AnalysisViews;
class DesignDocument;
class DialogService;
class ResponseChart;
enum class AnalysisView;

class MeasuredOverlay : public QObject {
    Q_OBJECT
  public:
    // Adds its commands to the end of `menu`; `views` tell the view on show and its circuit.
    MeasuredOverlay(const DesignDocument& document, DialogService& dialogs, ResponseChart& chart,
                    QMenu& menu, const AnalysisViews& views);

    // "Измеренный фильтр…": a file through the open dialog.
    void OpenCommand();
    // Reads the file and lays it over the view; a file that cannot be read gets an error box and
    // leaves the curve shown before.
    bool Open(const QString& path);
    // "Убрать измеренный".
    void Remove();
    bool IsOpen() const { return filter_.has_value(); }
    // Draws the measured curve of `view` over the design as the window holds it; call after the
    // view's own curves are drawn.
    void Show(AnalysisView view);
    // The shift applied in the view shown last, Hz (0 when not shifted).
    double ShiftHz() const { return shiftHz_; }
    // The menu texts and the legend name in the language in force.
    void RetranslateUi();

  private:
    QString CurveName() const;

    const DesignDocument& document_;
    DialogService& dialogs_;
    ResponseChart& chart_;
    const AnalysisViews& views_;
    QAction* separator_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* shiftAction_ = nullptr;
    QAction* removeAction_ = nullptr;
    std::optional<MeasuredFilter> filter_;
    QString fileName_;
    double shiftHz_ = 0;
    bool shifted_ = false;
};

}  // namespace feldan
