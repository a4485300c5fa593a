// The window's context menu, shared by the bars, the labels, the list and the
// tray icon: "Preferences...", "Refresh", "Exit".
#pragma once

#include <QMenu>

class TMainMenu : public QMenu
{
    Q_OBJECT

public:
    explicit TMainMenu(QWidget *parent = nullptr);

    QAction *PrefsAction() const { return pmPrefs; }
    QAction *RefreshAction() const { return pmRefresh; }
    QAction *ExitAction() const { return pmExit; }

signals:
    void PrefsChosen();
    void RefreshChosen();
    void ExitChosen();

private:
    QAction *pmPrefs;
    QAction *pmRefresh;
    QAction *pmExit;
};
