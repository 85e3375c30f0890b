// The main window's menu bar: every menu and command, their keys and their texts in the
// language in force. The window connects the commands; this object only makes and names them.
#pragma once

#include <QObject>
#include <array>

#include "ui/analysis/analysis_views.h"

class QAction;
class QMenu;
class QMenuBar;

namespace feldan {

class MainMenu : public QObject {
    Q_OBJECT
  public:
    explicit MainMenu(QMenuBar& bar);

    // Every text in the language in force, and the check mark of that language.
    void RetranslateUi();

    QMenu* fileMenu = nullptr;
    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* printAction = nullptr;
    QAction* crystalsAction = nullptr;
    QAction* exportViewAction = nullptr;
    QAction* reportAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* calculateAction = nullptr;
    QAction* infoAction = nullptr;
    QMenu* chartMenu = nullptr;
    QAction* overlayAction = nullptr;
    QAction* legendAction = nullptr;
    QAction* clearChartAction = nullptr;
    QAction* compareCrystalsAction = nullptr;
    QMenu* analysisMenu = nullptr;
    // The views, the circuit they sweep and the resistance of their ports.
    ViewCommands views;
    QMenu* buildMenu = nullptr;
    QAction* roundingAction = nullptr;
    QAction* matchingAction = nullptr;
    QAction* toleranceAction = nullptr;
    QMenu* languageMenu = nullptr;
    QAction* russianAction = nullptr;
    QAction* englishAction = nullptr;
};

}  // namespace feldan
