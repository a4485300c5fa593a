#include "RefreshCycle.h"

#include "AppSettings.h"
#include "ConvertError.h"
#include "WeatherIcons.h"
#include "Zelto_OWM.h"
#include "astro_types.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

namespace {

constexpr char kUnexpectedFailure[] = "Unexpected error";
// Far beyond the failures after which the wait stops growing.
constexpr int kFailuresCounted = 64;

void AddMissingIcon(QStringList &names, const QString &icon, const QString &dataFolder)
{
    if (icon.isEmpty() || names.contains(icon))
        return;
    if (!QFileInfo(IconFilePath(dataFolder, icon)).isFile())
        names << icon;
}

TRefreshResult Failed(TRefreshResult result, const QString &message)
{
    result.Ok = false;
    result.Current = {};
    result.Forecast = {};
    result.MoonTable = {};
    result.CurrentBody.clear();
    result.ForecastBody.clear();
    result.FetchedAt = QDateTime();
    if (!message.isEmpty())
        result.Request.ErrorMessage = message;
    return result;
}

// Whatever the fetch throws becomes a failed refresh with its message: an
// exception must not end the program from a worker thread.
TRefreshResult GuardedFetch(const TFetchFunction &fetch, const TRequestRecord &request)
{
    TRefreshResult result;
    result.Request = request;
    try {
        return fetch(request);
    } catch (const std::exception &error) {
        return Failed(result, QString::fromUtf8(error.what()));
    } catch (...) {
        return Failed(result, QString::fromLatin1(kUnexpectedFailure));
    }
}

} // namespace

QStringList MissingIcons(const TWeatherRecord &current, const TWeatherData &forecast,
                         const QString &dataFolder)
{
    QStringList names;
    AddMissingIcon(names, current.Weather.Icon, dataFolder);
    for (const TWeatherRecord &record : forecast)
        AddMissingIcon(names, record.Weather.Icon, dataFolder);
    return names;
}

void FillAstronomy(TRefreshResult &result)
{
    result.MoonTable = {};
    if (!result.Forecast.isEmpty())
        result.MoonTable = BuildMoonTable(result.Forecast.constFirst().TimeStamp);
    FillMoonIllumination(result.Forecast);
    result.SunTimes = ForecastSunTimes(result.Forecast);
}

int RetryIntervalMs(int failuresInRow, int configuredMs)
{
    const qint64 cap = configuredMs > 0 ? std::max<qint64>(configuredMs, kRetryIntervalMs)
                                        : kRetryCapWithoutIntervalMs;
    qint64 wait = kRetryIntervalMs;
    for (int i = 1; i < failuresInRow && wait < cap; ++i)
        wait *= 2;
    return static_cast<int>(std::min(wait, cap));
}

TRefreshResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder)
{
    TRefreshResult result;
    result.Request = request;
    try {
        if (!client.GetCurrentWeather(result.Request, result.Current, &result.CurrentBody))
            return Failed(result, QString());
        if (!client.GetForecast(result.Request, result.Forecast, &result.ForecastBody))
            return Failed(result, QString());
        result.FetchedAt = QDateTime::currentDateTimeUtc();
        FillAstronomy(result);
        const QStringList icons = MissingIcons(result.Current, result.Forecast, dataFolder);
        if (!icons.isEmpty())
            client.DownloadIcons(icons, dataFolder);
    } catch (const EConvertError &error) {
        return Failed(result, QString::fromUtf8(error.what()));
    } catch (const E_OutOfAlgorithmRange &error) {
        return Failed(result, QString::fromUtf8(error.what()));
    } catch (const E_NoRiseSet &error) {
        return Failed(result, QString::fromUtf8(error.what()));
    } catch (const std::exception &error) {
        return Failed(result, QString::fromUtf8(error.what()));
    }
    result.Ok = true;
    return result;
}

TRefreshCycle::TRefreshCycle(TFetchFunction fetch, std::function<TRequestRecord()> requestProvider,
                             QObject *parent)
    : QObject(parent), FFetch(std::move(fetch)), FRequestProvider(std::move(requestProvider))
{
    FTimer.setSingleShot(false);
    connect(&FTimer, &QTimer::timeout, this, &TRefreshCycle::TimerTick);
    connect(&FWatcher, &QFutureWatcher<TRefreshResult>::finished, this, &TRefreshCycle::FetchDone);
}

TRefreshCycle::~TRefreshCycle()
{
    // A running fetch owns copies of what it uses; its result is not wanted.
    FWatcher.disconnect(this);
    if (FCancel)
        FCancel->store(true);
}

void TRefreshCycle::SetIntervalMinutes(int minutes)
{
    FConfiguredMs = RefreshIntervalMs(minutes);
    if (FConfiguredMs > 0) {
        StartTimer(FConfiguredMs);
    } else {
        FTimer.stop();
        FTimer.setInterval(0);
    }
}

void TRefreshCycle::StartTimer(int intervalMs)
{
    FTimer.start(intervalMs);
    FTimerStartedAt = Now();
}

void TRefreshCycle::TimerTick()
{
    if (FConfiguredMs > 0) {
        // A repeating timer starts its next period as it fires.
        StartTimer(FConfiguredMs);
    } else {
        FTimer.stop();
        FTimer.setInterval(0);
    }
    Refresh();
}

QDateTime TRefreshCycle::Now() const
{
    return FClock ? FClock() : QDateTime::currentDateTimeUtc();
}

void TRefreshCycle::ManualRefresh()
{
    ResetBackOff();
    Refresh();
}

void TRefreshCycle::NoteCachedSuccess(const QDateTime &fetchedAt)
{
    if (!FLastSuccess.isValid() || fetchedAt > FLastSuccess)
        FLastSuccess = fetchedAt;
}

QDateTime TRefreshCycle::NextAttempt() const
{
    if (!FTimer.isActive())
        return QDateTime();
    return FTimerStartedAt.addMSecs(FTimer.interval());
}

void TRefreshCycle::Refresh()
{
    if (FRefreshing) {
        FPending = true;
        return;
    }
    FRefreshing = true;
    const TRequestRecord request = FRequestProvider ? FRequestProvider() : TRequestRecord();
    emit RefreshStarted();
    const TFetchFunction fetch = FFetch;
    FWatcher.setFuture(QtConcurrent::run([fetch, request] { return GuardedFetch(fetch, request); }));
}

void TRefreshCycle::FetchDone()
{
    const TRefreshResult result = FWatcher.future().resultCount() > 0
                                      ? FWatcher.result()
                                      : Failed(TRefreshResult(), QString::fromLatin1(kUnexpectedFailure));
    FRefreshing = false;
    FLastFailed = !result.Ok;
    if (result.Ok) {
        FFailuresInRow = 0;
        FLastSuccess = Now();
    } else {
        // Each failure schedules one attempt, later each time in a row, so a
        // wrong key or a lasting outage costs a few requests an hour.
        FFailuresInRow = std::min(FFailuresInRow + 1, kFailuresCounted);
        StartTimer(RetryIntervalMs(FFailuresInRow, FConfiguredMs));
    }
    emit RefreshFinished(result);
    if (FPending) {
        FPending = false;
        Refresh();
    }
}
