#include "WeatherFetch.h"

#include "OpenMeteoFetch.h"
#include "WeatherCache.h"
#include "WeatherClients.h"
#include "WeatherIcons.h"
#include "Zelto_OWM.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

namespace {

void AddMissingIcon(QStringList &names, const QString &icon, const QString &dataFolder)
{
    if (icon.isEmpty() || names.contains(icon))
        return;
    if (!QFileInfo(IconFilePath(dataFolder, icon)).isFile())
        names << icon;
}

// Picture downloads from different refreshes that may all stall at once.
constexpr int kPictureBatches = 4;

// The pictures wait on a host that may stall: they get threads of their own,
// so that the next weather fetch and a location search never queue behind
// them in the shared pool.
QThreadPool &PicturePool()
{
    static QThreadPool pool;
    pool.setMaxThreadCount(kPictureBatches);
    return pool;
}

bool IsCancelled(const TCancelFlag &cancel)
{
    return cancel && cancel->load();
}

TWeatherResult Failed(const TRequestRecord &request, const TFetchFailure &failure)
{
    TWeatherResult result;
    result.Request = request;
    result.Request.Failure = failure;
    return result;
}

// An exception must not leave a worker thread: it would end the program. What
// the parsers or the astronomy throw is a document they could not use.
TWeatherResult GuardedFetch(const TWeatherFetch::TFetchFunction &fetch, const TRequestRecord &request,
                            const TCancelFlag &cancel)
{
    try {
        return fetch(request, cancel);
    } catch (const std::exception &error) {
        return Failed(request, MakeFailure(TFailureKind::BadDocument, QString::fromUtf8(error.what())));
    } catch (...) {
        return Failed(request, MakeFailure(TFailureKind::BadDocument, QStringLiteral("Unexpected error")));
    }
}

} // namespace

TForecastAstronomy ForecastAstronomy(const TWeatherData &forecast)
{
    TForecastAstronomy astronomy;
    if (forecast.isEmpty())
        return astronomy;
    astronomy.MoonTable = BuildMoonTable(forecast.constFirst().TimeStamp);
    astronomy.Moon = ForecastMoonDays(forecast, astronomy.MoonTable);
    astronomy.Sun = ForecastSunTimes(forecast);
    return astronomy;
}

QStringList MissingIcons(const TWeatherRecord &current, const TWeatherData &forecast, const QString &dataFolder)
{
    QStringList names;
    AddMissingIcon(names, current.Weather.Icon, dataFolder);
    for (const TWeatherRecord &record : forecast)
        AddMissingIcon(names, record.Weather.Icon, dataFolder);
    return names;
}

TWeatherResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder,
                            const TCancelFlag &cancel)
{
    request.Failure = TFetchFailure();
    // Without a key the service can only refuse: it is not asked.
    if (request.Key.trimmed().isEmpty())
        return Failed(request, MakeFailure(TFailureKind::NoKey));
    TOwmClient own = client;
    if (cancel)
        own.HttpOptions().Cancel = cancel;
    TWeatherResult result;
    result.Request = request;
    try {
        if (!own.GetCurrentWeather(result.Request, result.Current, &result.CurrentBody)
            || !own.GetForecast(result.Request, result.Forecast, &result.ForecastBody, &result.Hours)) {
            TFetchFailure failure = result.Request.Failure;
            if (IsCancelled(cancel))
                failure.Kind = TFailureKind::Cancelled;
            return Failed(request, failure);
        }
        result.FetchedAt = QDateTime::currentDateTimeUtc();
        result.Astronomy = ForecastAstronomy(result.Forecast);
        // The hours show their own pictures, a night among them.
        result.MissingPictures = MissingIcons(result.Current, result.Forecast + result.Hours, dataFolder);
    } catch (const std::exception &error) {
        return Failed(request, MakeFailure(TFailureKind::BadDocument, QString::fromUtf8(error.what())));
    }
    return result;
}

void WaitForPictureDownloads()
{
    PicturePool().waitForDone();
}

TWeatherResult FetchWeather(const TWeatherClients &clients, TRequestRecord request, const QString &dataFolder,
                            const TCancelFlag &cancel)
{
    if (request.Service == wsOpenMeteo)
        return FetchOpenMeteoWeather(clients.OpenMeteo, std::move(request), cancel);
    return FetchWeather(clients.Owm, std::move(request), dataFolder, cancel);
}

TWeatherResult FetchAndKeepWeather(const TWeatherClients &clients, TRequestRecord request,
                                   const QString &dataFolder, const TCancelFlag &cancel)
{
    TWeatherResult result = FetchWeather(clients, std::move(request), dataFolder, cancel);
    QString ignored;
    WriteWeatherCache(dataFolder, result, ignored);
    return result;
}

// Carries the workers' news to the object while it exists; the object's
// destructor takes it away under the lock, so no worker posts to a dead object.
struct TWeatherFetch::TRelay {
    QMutex Mutex;
    TWeatherFetch *Owner = nullptr;

    // `call` runs on the owner's thread with the owner.
    template <typename Call>
    void Post(Call call)
    {
        QMutexLocker lock(&Mutex);
        if (Owner == nullptr)
            return;
        TWeatherFetch *owner = Owner;
        QMetaObject::invokeMethod(
            owner, [owner, call = std::move(call)] { call(owner); }, Qt::QueuedConnection);
    }
};

TWeatherFetch::TWeatherFetch(TFetchFunction fetch, TPicturesFunction pictures, QObject *parent)
    : QObject(parent)
    , FFetch(std::move(fetch))
    , FPictures(std::move(pictures))
    , FRelay(std::make_shared<TRelay>())
{
    FRelay->Owner = this;
    connect(&FWatcher, &QFutureWatcher<TWeatherResult>::finished, this, &TWeatherFetch::FetchDone);
}

TWeatherFetch::TWeatherFetch(const TWeatherClients &clients, const QString &dataFolder, QObject *parent)
    : TWeatherFetch(
          [clients, dataFolder](const TRequestRecord &request, const TCancelFlag &cancel) {
              return FetchAndKeepWeather(clients, request, dataFolder, cancel);
          },
          [client = clients.Owm, dataFolder](const QStringList &names, const TCancelFlag &cancel,
                               const std::function<void(const QString &)> &arrived) {
              TOwmClient own = client;
              if (cancel)
                  own.HttpOptions().Cancel = cancel;
              own.DownloadIcons(names, dataFolder, arrived);
          },
          parent)
{
}

TWeatherFetch::~TWeatherFetch()
{
    QMutexLocker lock(&FRelay->Mutex);
    FRelay->Owner = nullptr;
    // A running fetch owns copies of what it uses; its result is not wanted.
    FWatcher.disconnect(this);
}

bool TWeatherFetch::Start(const TRequestRecord &request, const TCancelFlag &cancel)
{
    if (FRunning)
        return false;
    FRunning = true;
    FCancel = cancel;
    const TFetchFunction fetch = FFetch;
    const bool pictures = FServicePictures;
    FWatcher.setFuture(QtConcurrent::run([fetch, request, cancel, pictures] {
        TWeatherResult result = GuardedFetch(fetch, request, cancel);
        if (!pictures)
            result.MissingPictures.clear();
        return result;
    }));
    return true;
}

void TWeatherFetch::FetchDone()
{
    FRunning = false;
    TWeatherResult result = FWatcher.future().resultCount() > 0
                                ? FWatcher.result()
                                : Failed(TRequestRecord(), MakeFailure(TFailureKind::Cancelled));
    emit Finished(result);
    if (result.Ok() && !result.MissingPictures.isEmpty())
        FetchPictures(result.MissingPictures, FCancel);
}

void TWeatherFetch::FetchPictures(const QStringList &names, const TCancelFlag &cancel)
{
    if (!FPictures || IsCancelled(cancel))
        return;
    // A picture still on its way from an earlier refresh is not asked twice.
    QStringList wanted;
    for (const QString &name : names) {
        if (!FPicturesInFlight.contains(name)) {
            FPicturesInFlight.insert(name);
            wanted << name;
        }
    }
    if (wanted.isEmpty())
        return;
    const TPicturesFunction pictures = FPictures;
    const std::shared_ptr<TRelay> relay = FRelay;
    (void)QtConcurrent::run(&PicturePool(), [pictures, wanted, cancel, relay] {
        try {
            pictures(wanted, cancel, [relay](const QString &name) {
                relay->Post([name](TWeatherFetch *owner) { owner->PictureDone(name); });
            });
        } catch (const std::exception &) {
            // The pictures that did not come are asked for at the next refresh.
        }
        relay->Post([wanted](TWeatherFetch *owner) { owner->PicturesDone(wanted); });
    });
}

void TWeatherFetch::PictureDone(const QString &name)
{
    if (FServicePictures)
        emit PictureArrived(name);
}

void TWeatherFetch::PicturesDone(const QStringList &names)
{
    for (const QString &name : names)
        FPicturesInFlight.remove(name);
}
