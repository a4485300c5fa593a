#include "EventRefresh.h"

#include "RefreshCycle.h"

#include <cstdlib>

bool EventRefreshWanted(const QDateTime &lastSuccess, bool lastFailed, int configuredMs, const QDateTime &now)
{
    if (lastFailed || !lastSuccess.isValid())
        return true;
    return configuredMs > 0 && lastSuccess.msecsTo(now) >= configuredMs;
}

TEventRefresh::TEventRefresh(TRefreshCycle &cycle, QObject *parent) : QObject(parent), FCycle(cycle) {}

bool TEventRefresh::Woke()
{
    return Consider();
}

bool TEventRefresh::NetworkOnline()
{
    return Consider();
}

bool TEventRefresh::Consider()
{
    if (FCycle.IsRefreshing())
        return false;
    const QDateTime now = FCycle.Now();
    // Either way round: a clock set back must not hold events off for long.
    if (FLastEventRefresh.isValid() && std::llabs(FLastEventRefresh.secsTo(now)) < kEventRefreshGapSecs)
        return false;
    if (!EventRefreshWanted(FCycle.LastSuccess(), FCycle.LastFailed(), FCycle.ConfiguredIntervalMs(), now))
        return false;
    FLastEventRefresh = now;
    FCycle.Refresh();
    return true;
}
