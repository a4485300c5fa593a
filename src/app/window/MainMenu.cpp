#include "MainMenu.h"

TMainMenu::TMainMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("pmMain"));
    pmPrefs = addAction(QStringLiteral("Preferences..."));
    pmPrefs->setObjectName(QStringLiteral("pmPrefs"));
    addSeparator();
    pmRefresh = addAction(QStringLiteral("Refresh"));
    pmRefresh->setObjectName(QStringLiteral("pmRefresh"));
    addSeparator();
    pmExit = addAction(QStringLiteral("Exit"));
    pmExit->setObjectName(QStringLiteral("pmExit"));
    connect(pmPrefs, &QAction::triggered, this, &TMainMenu::PrefsChosen);
    connect(pmRefresh, &QAction::triggered, this, &TMainMenu::RefreshChosen);
    connect(pmExit, &QAction::triggered, this, &TMainMenu::ExitChosen);
}
