#include "MainMenu.h"

TMainMenu::TMainMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("pmMain"));
    FPrefsAction = addAction(QStringLiteral("Preferences..."));
    FPrefsAction->setObjectName(QStringLiteral("pmPrefs"));
    addSeparator();
    FRefreshAction = addAction(QStringLiteral("Refresh"));
    FRefreshAction->setObjectName(QStringLiteral("pmRefresh"));
    addSeparator();
    FExitAction = addAction(QStringLiteral("Exit"));
    FExitAction->setObjectName(QStringLiteral("pmExit"));
    connect(FPrefsAction, &QAction::triggered, this, &TMainMenu::PrefsChosen);
    connect(FRefreshAction, &QAction::triggered, this, &TMainMenu::RefreshChosen);
    connect(FExitAction, &QAction::triggered, this, &TMainMenu::ExitChosen);
}
