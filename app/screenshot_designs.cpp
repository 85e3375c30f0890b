// The shots of the design window's lists: orders, responses, QER, classic against exact.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <memory>
#include <utility>

#include "app/screenshot_support.h"
#include "engine/design.h"
#include "engine/ladder_design.h"
#include "ui/analysis/analysis_views.h"
#include "ui/common/dialog_service.h"

namespace feldan::screenshot {

namespace {

// Answers the ripple question with the next ripple of a list, and says nothing else.
class RippleAnswers : public feldan::DialogService {
  public:
    explicit RippleAnswers(QStringList ripples) : ripples_(std::move(ripples)) {}
    void Warning(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void Error(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool PrinterSetup(QPrinter&) override { return false; }
    QString GetOpenFileName(const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&) override { return {}; }
    UnsavedAnswer AskToSaveChanges(const QString&) override { return UnsavedAnswer::Discard; }
    std::optional<QString> GetRipple(const QString& offered) override {
        return ripples_.isEmpty() ? offered : ripples_.takeFirst();
    }

  private:
    QStringList ripples_;
};

}  // namespace

// The twelve-crystal ladder, and Butterworth and Chebyshev 0.1 and 1 dB designs of seven
// crystals overlaid.
bool ShootOrders(feldan::MainWindow& mainWindow, const QDir& folder) {
    mainWindow.SetDialogService(std::make_unique<RippleAnswers>(
        QStringList{QStringLiteral("0,1"), QStringLiteral("1"), QStringLiteral("0,1")}));
    auto* topologies = mainWindow.findChild<QComboBox*>(QStringLiteral("topologyCombo"));
    auto* responses = mainWindow.findChild<QComboBox*>(QStringLiteral("responseCombo"));
    const auto choose = [](QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    };
    Trigger(mainWindow, "clearChartAction");
    choose(topologies, feldan::FilterTypeOfLadder(feldan::LadderStructure::Plain, 12) - 1);
    mainWindow.CalculateDesign();
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("twelve-crystals.png"))))
        return false;
    Trigger(mainWindow, "overlayAction");
    Trigger(mainWindow, "clearChartAction");
    choose(topologies, feldan::FilterTypeOfLadder(feldan::LadderStructure::Plain, 7) - 1);
    const int any = int(feldan::ResponseType::Chebyshev) - 1;
    for (int response : {0, any, any}) {
        choose(responses, response);
        mainWindow.CalculateDesign();
    }
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("any-order-overlaid.png"))))
        return false;
    // Butterworth, Chebyshev 0.1 dB, Bessel and Gaussian of seven crystals, each exactly 1000 Hz
    // wide at -3 dB, in the pass band and in group delay.
    Trigger(mainWindow, "clearChartAction");
    mainWindow.findChild<QCheckBox*>(QStringLiteral("exactBox"))->setChecked(true);
    mainWindow.findChild<QLineEdit*>(QStringLiteral("dfEdit"))->setText(QStringLiteral("1000"));
    for (int response :
         {0, any, int(feldan::ResponseType::Bessel) - 1, int(feldan::ResponseType::Gaussian) - 1}) {
        choose(responses, response);
        mainWindow.CalculateDesign();
    }
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("responses-passband.png"))))
        return false;
    mainWindow.Views().ShowView(feldan::AnalysisView::GroupDelay);
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("responses-delay.png"))))
        return false;
    mainWindow.Views().ShowView(feldan::AnalysisView::PassBand);
    // An eight-pole QER ladder of real crystals at 9 MHz, exact to 2400 Hz.
    Trigger(mainWindow, "clearChartAction");
    const auto field = [&](const char* name, const char* text) {
        mainWindow.findChild<QLineEdit*>(QString::fromLatin1(name))
            ->setText(QString::fromUtf8(text));
    };
    for (const auto& [name, text] :
         {std::pair{"foEdit", "9000"}, std::pair{"ldEdit", "15"}, std::pair{"csEdit", "3,5"},
          std::pair{"rdEdit", "8,5"}, std::pair{"dfEdit", "2400"}}) {
        field(name, text);
    }
    choose(topologies, feldan::FilterTypeOfOrder(feldan::LadderStructure::Qer, 8) - 1);
    mainWindow.CalculateDesign();
    Settle(300);
    return Save(mainWindow.grab(), folder.filePath(QStringLiteral("qer-eight-poles.png")));
}

// The classic and the exact design of one request; then Butterworth, Chebyshev 25 % and
// Bessel, all exactly 2400 Hz wide, in time.
bool ShootCompare(feldan::MainWindow& mainWindow, const QDir& folder) {
    auto* exact = mainWindow.findChild<QCheckBox*>(QStringLiteral("exactBox"));
    auto* responses = mainWindow.findChild<QComboBox*>(QStringLiteral("responseCombo"));
    Trigger(mainWindow, "overlayAction");
    Trigger(mainWindow, "clearChartAction");
    exact->setChecked(false);
    mainWindow.CalculateDesign();
    exact->setChecked(true);
    mainWindow.CalculateDesign();
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("exact-vs-classic.png"))))
        return false;
    Trigger(mainWindow, "clearChartAction");
    mainWindow.findChild<QLineEdit*>(QStringLiteral("dfEdit"))->setText(QStringLiteral("2400"));
    mainWindow.CalculateDesign();
    for (const feldan::ResponseType response :
         {feldan::ResponseType::Chebyshev28, feldan::ResponseType::Bessel}) {
        responses->setCurrentIndex(int(response) - 1);
        emit responses->activated(int(response) - 1);
        mainWindow.CalculateDesign();
    }
    mainWindow.Views().ShowView(feldan::AnalysisView::Step);
    Settle(300);
    if (!Save(mainWindow.grab(), folder.filePath(QStringLiteral("time-compared.png"))))
        return false;
    mainWindow.Views().ShowView(feldan::AnalysisView::PassBand);
    return true;
}

}  // namespace feldan::screenshot
