// The window's context menu, shared by the bars, the labels, the list and the
// tray icon: "Preferences...", "Refresh", "Exit".
#pragma once

#include <QMenu>

class TMainMenu : public QMenu
{
    Q_OBJECT

public:
    explicit TMainMenu(QWidget *parent = nullptr);

    QAction *PrefsAction() const { return FPrefsAction; }
    QAction *RefreshAction() const { return FRefreshAction; }
    QAction *ExitAction() const { return FExitAction; }

signals:
    void PrefsChosen();
    void RefreshChosen();
    void ExitChosen();

private:
    QAction *FPrefsAction;
    QAction *FRefreshAction;
    QAction *FExitAction;
};
