#include "ui/main/main_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "ui/common/language.h"

namespace feldan {

namespace {

QAction* Named(QAction* action, const char* name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* WithKeys(QAction* action, std::initializer_list<const char*> keys) {
    QList<QKeySequence> sequences;
    for (const char* key : keys)
        sequences.append(QKeySequence::fromString(QString::fromLatin1(key)));
    action->setShortcuts(sequences);
    return action;
}

QMenu* NamedMenu(QMenuBar& bar, const char* name) {
    QMenu* menu = bar.addMenu(QString());
    menu->setObjectName(QString::fromLatin1(name));
    Named(menu->menuAction(), name);
    return menu;
}

}  // namespace

MainMenu::MainMenu(QMenuBar& bar) : QObject(&bar) {
    bar.setObjectName(QStringLiteral("mainMenu"));
    // The texts come from RetranslateUi; Alt or F10 walks the bar with the arrows.
    fileMenu = NamedMenu(bar, "fileMenu");
    newAction = WithKeys(Named(fileMenu->addAction(QString()), "newAction"), {"Ctrl+N"});
    openAction = WithKeys(Named(fileMenu->addAction(QString()), "openAction"), {"Ctrl+O"});
    saveAction = WithKeys(Named(fileMenu->addAction(QString()), "saveAction"), {"Ctrl+S"});
    saveAsAction =
        WithKeys(Named(fileMenu->addAction(QString()), "saveAsAction"), {"Ctrl+Shift+S"});
    Named(fileMenu->addSeparator(), "fileSeparator");
    printAction = WithKeys(Named(fileMenu->addAction(QString()), "printAction"), {"Ctrl+P"});
    crystalsAction = Named(fileMenu->addAction(QString()), "crystalsAction");
    exportViewAction = Named(fileMenu->addAction(QString()), "exportViewAction");
    reportAction = Named(fileMenu->addAction(QString()), "reportAction");
    Named(fileMenu->addSeparator(), "exitSeparator");
    exitAction = WithKeys(Named(fileMenu->addAction(QString()), "exitAction"), {"Ctrl+Q"});
    calculateAction = Named(bar.addAction(QString()), "calculateAction");
    calculateAction->setShortcuts(
        {QKeySequence(Qt::Key_F9), QKeySequence::fromString(QStringLiteral("Ctrl+R"))});
    infoAction = Named(bar.addAction(QString()), "infoAction");

    chartMenu = NamedMenu(bar, "chartMenu");
    overlayAction = Named(chartMenu->addAction(QString()), "overlayAction");
    overlayAction->setCheckable(true);
    legendAction = Named(chartMenu->addAction(QString()), "legendAction");
    legendAction->setCheckable(true);
    // The legend is shown at start, and the mark says so.
    legendAction->setChecked(true);
    Named(chartMenu->addSeparator(), "chartSeparator");
    clearChartAction = Named(chartMenu->addAction(QString()), "clearChartAction");
    compareCrystalsAction = Named(chartMenu->addAction(QString()), "compareCrystalsAction");

    analysisMenu = NamedMenu(bar, "analysisMenu");
    auto* viewGroup = new QActionGroup(this);
    static constexpr std::array<const char*, AnalysisViewCount> ViewNames = {
        "passBandViewAction",  "wideBandViewAction", "groupDelayViewAction", "returnLossViewAction",
        "impedanceViewAction", "stepViewAction",     "impulseViewAction",    "keyedViewAction"};
    for (int i = 0; i < AnalysisViewCount; ++i) {
        // The time views after the sweep's, apart.
        if (i == int(AnalysisView::Step)) Named(analysisMenu->addSeparator(), "timeSeparator");
        QAction* action = Named(analysisMenu->addAction(QString()), ViewNames[i]);
        action->setCheckable(true);
        viewGroup->addAction(action);
        views.views[i] = action;
    }
    views.views[0]->setChecked(true);
    views.keying = Named(analysisMenu->addAction(QString()), "keyingAction");
    Named(analysisMenu->addSeparator(), "circuitSeparator");
    views.analysedCircuit = Named(analysisMenu->addAction(QString()), "analysedCircuitAction");
    views.analysedCircuit->setCheckable(true);
    views.referenceOhm = Named(analysisMenu->addAction(QString()), "referenceOhmAction");

    buildMenu = NamedMenu(bar, "buildMenu");
    roundingAction = Named(buildMenu->addAction(QString()), "roundingAction");
    matchingAction = Named(buildMenu->addAction(QString()), "matchingAction");
    toleranceAction = Named(buildMenu->addAction(QString()), "toleranceAction");

    // Each language is named in its own words, so that either reader finds it.
    languageMenu = NamedMenu(bar, "languageMenu");
    auto* languages = new QActionGroup(this);
    russianAction = Named(languageMenu->addAction(QString::fromUtf8("Русский")), "russianAction");
    englishAction = Named(languageMenu->addAction(QStringLiteral("English")), "englishAction");
    for (QAction* action : {russianAction, englishAction}) {
        action->setCheckable(true);
        languages->addAction(action);
    }
    RetranslateUi();
}

void MainMenu::RetranslateUi() {
    fileMenu->setTitle(tr("&Файл"));
    newAction->setText(tr("&Новый"));
    openAction->setText(tr("&Открыть"));
    saveAction->setText(tr("&Сохранить"));
    saveAsAction->setText(tr("Сохранить к&ак…"));
    printAction->setText(tr("&Печать"));
    exitAction->setText(tr("&Выход"));
    exportViewAction->setText(tr("&Экспорт вида…"));
    reportAction->setText(tr("Отч&ёт…"));
    crystalsAction->setText(tr("&Кварцы…"));
    analysisMenu->setTitle(tr("&Анализ"));
    views.views[0]->setText(tr("&Полоса пропускания"));
    views.views[1]->setText(tr("&Широкая полоса"));
    views.views[2]->setText(tr("&Групповая задержка"));
    views.views[3]->setText(tr("&Возвратные потери"));
    views.views[4]->setText(tr("Вх&одное сопротивление"));
    views.views[5]->setText(tr("П&ереходная характеристика"));
    views.views[5]->setStatusTip(
        tr("Огибающая на выходе, когда на вход подана несущая в центре полосы"));
    views.views[6]->setText(tr("И&мпульсная характеристика"));
    views.views[7]->setText(tr("Манипу&ляция"));
    views.views[7]->setStatusTip(
        tr("Точки телеграфа или один импульс через фильтр: задержка, скругление и хвосты"));
    views.keying->setText(tr("Параметры манипуля&ции…"));
    views.referenceOhm->setText(tr("Сопротивление по&ртов…"));
    views.referenceOhm->setStatusTip(
        tr("Виды показывают фильтр между портами этого сопротивления, как его видит анализатор"));
    views.analysedCircuit->setText(tr("Анализируемая с&хема"));
    views.analysedCircuit->setStatusTip(
        tr("Виды показывают схему расчёта АЧХ с её нагрузками, а не схему для сборки"));
    calculateAction->setText(tr("&Расчет"));
    infoAction->setText(tr("&Инфо"));
    chartMenu->setTitle(tr("&График"));
    overlayAction->setText(tr("&Наложения"));
    legendAction->setText(tr("&Легенда"));
    clearChartAction->setText(tr("&Очистить"));
    compareCrystalsAction->setText(tr("&Сравнить кварцы"));
    buildMenu->setTitle(tr("&Сборка"));
    roundingAction->setText(tr("&Стандартные номиналы…"));
    matchingAction->setText(tr("Со&гласование…"));
    toleranceAction->setText(tr("&Допуски…"));
    languageMenu->setTitle(tr("&Язык / Language"));
    russianAction->setChecked(CurrentLanguage() == Language::Russian);
    englishAction->setChecked(CurrentLanguage() == Language::English);
}

}  // namespace feldan
