// The notification-area icon: the program's picture, the hint "Nimbrel" and
// the window's menu; a click or double click asks for the window.
#pragma once

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

signals:
    void RaiseRequested();

private:
    void Activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon FIcon;
};
