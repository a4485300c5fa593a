#include "TrayIcon.h"

#include "AppIcon.h"

#include <QMenu>

TTrayIcon::TTrayIcon(QMenu *menu, QObject *parent)
    : QObject(parent)
{
    FIcon.setIcon(ApplicationIcon());
    FIcon.setToolTip(kHint);
    FIcon.setContextMenu(menu);
    connect(&FIcon, &QSystemTrayIcon::activated, this, &TTrayIcon::Activated);
    FIcon.show();
}

bool TTrayIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        emit RaiseRequested();
}
