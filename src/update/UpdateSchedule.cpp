#include "UpdateSchedule.h"

#include "UpdatePage.h"

QUrl UpdateAddressToOpen(const TUpdateCheck &check)
{
    const QString page = check.PageURL().isEmpty() ? check.ProductInfo.URL() : check.PageURL();
    const QString candidates[] = {
        check.Page(),
        check.UpdateURL().isEmpty() ? QString() : DownloadAddress(check.UpdateURL(), check.ProductInfo.URL()),
        page,
    };
    for (const QString &candidate : candidates) {
        const QUrl url(candidate, QUrl::TolerantMode);
        const QString scheme = url.scheme().toLower();
        if (url.isValid() && !url.host().isEmpty()
            && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
            return url;
    }
    return QUrl();
}

TUpdateSchedule::TUpdateSchedule(const QString &pageUrl, const QString &currentVersion,
                                 TUpdateIntervals intervals, QObject *parent)
    : QObject(parent)
    , FIntervals(intervals)
    , FHasAddress(!pageUrl.trimmed().isEmpty())
{
    FCheck.ProductInfo.SetURL(pageUrl.trimmed());
    FCheck.ProductInfo.Version = currentVersion;
    FCheck.TagInfo = AppletTagInfo();
    FCheck.Options = TUpdateOptions();
    FTimer.setInterval(FIntervals.FirstMs);
    connect(&FTimer, &QTimer::timeout, this, &TUpdateSchedule::CheckNow);
    connect(&FCheck, &TUpdateCheck::UpdateAvailable, this, &TUpdateSchedule::OnUpdateAvailable);
    connect(&FCheck, &TUpdateCheck::Finished, this, &TUpdateSchedule::CheckFinished);
}

void TUpdateSchedule::SetEnabled(bool checkForUpdates)
{
    if (!checkForUpdates || !FHasAddress || FUpdateFound || FStopped) {
        FTimer.stop();
        return;
    }
    if (!FTimer.isActive()) {
        FTimer.setInterval(FIntervals.FirstMs);
        FTimer.start();
    }
}

void TUpdateSchedule::Stop()
{
    FStopped = true;
    FTimer.stop();
    FCheck.Abort();
}

void TUpdateSchedule::CheckNow()
{
    if (!FHasAddress || FUpdateFound || FStopped || FCheck.Active())
        return;
    FCheck.CheckForAnUpdate();
}

void TUpdateSchedule::CheckFinished()
{
    if (FStopped)
        return;
    if (FUpdateFound) {
        emit NewVersionFound(FNewVersion, UpdateAddressToOpen(FCheck));
        return;
    }
    // No update, or the look failed: look again much later, while enabled.
    FTimer.setInterval(FIntervals.LaterMs);
    emit CheckEnded();
}

void TUpdateSchedule::OnUpdateAvailable(const QString &, const QString &newVersion, const QString &,
                                        const QString &, bool *canUpdate)
{
    // Nothing is downloaded or run unasked; the user is asked instead.
    *canUpdate = false;
    FTimer.stop();
    FUpdateFound = true;
    FNewVersion = newVersion;
}
