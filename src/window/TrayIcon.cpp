#include "TrayIcon.h"

#include "AppIcon.h"
#include "TrayPicture.h"

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

void TTrayIcon::ShowWeather(const TTrayReading &reading, const QString &hint)
{
    // The program's picture is set again only when the temperature goes, so a
    // tray without the option never hears of a change.
    if (!reading.Valid && !FShowsTemperature)
        return;
    FShowsTemperature = reading.Valid;
    FIcon.setIcon(reading.Valid ? TrayTemperatureIcon(reading) : ApplicationIcon());
    FIcon.setToolTip(reading.Valid ? hint : kHint);
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
