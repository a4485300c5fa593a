// Refresh when it matters: after the machine wakes or the network comes back,
// the weather is fetched once when it is stale or the last attempt failed.
#pragma once

#include <QDateTime>
#include <QObject>

class TRefreshCycle;

// Events closer together than this cause one refresh: a wake is often
// followed by the network coming back.
inline constexpr qint64 kEventRefreshGapSecs = 30;

// Whether an event should refresh: no success yet, the last success older than
// the configured interval (with none, age alone never makes it stale), or the
// last attempt failed.
bool EventRefreshWanted(const QDateTime &lastSuccess, bool lastFailed, int configuredMs, const QDateTime &now);

class TEventRefresh : public QObject
{
    Q_OBJECT
public:
    // Uses the cycle's clock and state; the cycle must outlive this object.
    explicit TEventRefresh(TRefreshCycle &cycle, QObject *parent = nullptr);

    // The machine woke from suspend; the network went online. Both refresh at
    // most once per 30 s, only when wanted and no refresh is running. True
    // when a refresh was started.
    bool Woke();
    bool NetworkOnline();

private:
    bool Consider();

    TRefreshCycle &FCycle;
    QDateTime FLastEventRefresh;
};
