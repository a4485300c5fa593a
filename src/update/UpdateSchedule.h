// When the applet looks for a newer version, and what it makes of the answer:
// a first look 15 minutes after start, then every 5 hours while there is no
// update or the look failed. When an update exists the schedule stops, the
// automatic download is declined, and the new version is handed on for the
// question to the user.
#pragma once

#include "UpdateCheck.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

struct TUpdateIntervals {
    int FirstMs = 15 * 60 * 1000;
    int LaterMs = 5 * 60 * 60 * 1000;
};

// What "yes" opens: the page's information address, else the download address
// (taken from the page's folder when relative), else the update page itself;
// only web addresses count.
QUrl UpdateAddressToOpen(const TUpdateCheck &check);

class TUpdateSchedule : public QObject
{
    Q_OBJECT

public:
    // Checks `pageUrl` as version `currentVersion`; an empty address never checks.
    TUpdateSchedule(const QString &pageUrl, const QString &currentVersion,
                    TUpdateIntervals intervals = TUpdateIntervals(), QObject *parent = nullptr);

    // Starts the timer with the first interval when `checkForUpdates` is set and
    // there is an address; stops it otherwise. Once an update was found the
    // schedule stays stopped.
    void SetEnabled(bool checkForUpdates);

    // Starts one check now, as a timer tick does.
    void CheckNow();
    // The program is closing: a check under way ends at once and none follows.
    void Stop();

    // Whether there is an update page to check at all.
    bool HasAddress() const { return FHasAddress; }
    TUpdateCheck &Check() { return FCheck; }
    bool TimerActive() const { return FTimer.isActive(); }
    int TimerIntervalMs() const { return FTimer.interval(); }
    bool UpdateFound() const { return FUpdateFound; }

signals:
    // A newer version exists (as the page names it): the user is asked
    // whether to open `address`.
    void NewVersionFound(const QString &newVersion, const QUrl &address);
    // A check ended without an update (none newer, or it failed).
    void CheckEnded();

private:
    void CheckFinished();
    void OnUpdateAvailable(const QString &currentVersion, const QString &newVersion, const QString &page,
                           const QString &download, bool *canUpdate);

    TUpdateCheck FCheck;
    QTimer FTimer;
    TUpdateIntervals FIntervals;
    bool FHasAddress;
    bool FUpdateFound = false;
    bool FStopped = false;
    QString FNewVersion;
};
