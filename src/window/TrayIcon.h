// The notification-area icon: the program's picture, the hint "Nimbrel" and
// the window's menu; a click or double click asks for the window. Asked to, it
// shows the current temperature instead, with place, condition and temperature
// as its hint.
#pragma once

#include "TrayReading.h"

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

class TTrayIcon : public QObject
{
    Q_OBJECT

public:
    static inline const QString kHint = QStringLiteral("Nimbrel");

    TTrayIcon(QMenu *menu, QObject *parent = nullptr);

    // False on a desktop without a notification area: the window must then
    // stay reachable by itself.
    static bool Available();
    bool Visible() const { return FIcon.isVisible(); }
    QSystemTrayIcon &Icon() { return FIcon; }

    // The temperature as the picture with `hint`; a reading that is not valid
    // (no weather, or the option off) puts back the program's picture and hint.
    void ShowWeather(const TTrayReading &reading, const QString &hint);
    bool ShowsTemperature() const { return FShowsTemperature; }

signals:
    void RaiseRequested();

private:
    void Activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon FIcon;
    bool FShowsTemperature = false;
};
