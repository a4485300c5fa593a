#include "RefreshCycle.h"

#include "AppSettings.h"
#include "ConvertError.h"
#include "WeatherIcons.h"
#include "Zelto_OWM.h"
#include "astro_types.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

namespace {

constexpr char kUnexpectedFailure[] = "Unexpected error";

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

TRefreshResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder)
{
    TRefreshResult result;
    result.Request = request;
    try {
        if (!client.GetCurrentWeather(result.Request, result.Current))
            return Failed(result, QString());
        if (!client.GetForecast(result.Request, result.Forecast))
            return Failed(result, QString());
        if (!result.Forecast.isEmpty())
            result.MoonTable = BuildMoonTable(result.Forecast.constFirst().TimeStamp);
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
        FTimer.start(FConfiguredMs);
    } else {
        FTimer.stop();
        FTimer.setInterval(0);
    }
}

void TRefreshCycle::TimerTick()
{
    if (FConfiguredMs > 0) {
        if (FTimer.interval() != FConfiguredMs)
            FTimer.start(FConfiguredMs);
    } else {
        FTimer.stop();
        FTimer.setInterval(0);
    }
    Refresh();
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
    if (!result.Ok)
        FTimer.start(kRetryIntervalMs);
    emit RefreshFinished(result);
    if (FPending) {
        FPending = false;
        Refresh();
    }
}
