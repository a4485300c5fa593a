// One refresh's work off the UI thread: the current weather, then the
// forecast, the astronomy worked out for it, the answers kept for the next
// start, and afterwards the condition pictures not yet in the data folder.
// The weather is handed over as soon as it is read; the pictures follow, each
// as it arrives.
#pragma once

#include "ForecastRows.h"
#include "HttpGet.h"
#include "MoonTable.h"
#include "WeatherRecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QFutureWatcher>
#include <QMetaType>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TOwmClient;
struct TWeatherClients;

// What the program works out itself for a forecast: the next time of each
// moon phase, and per record the moon and the sunrise and sunset of its day.
struct TForecastAstronomy {
    TMoonTable MoonTable{};  // from the first forecast record
    TMoonDays Moon;          // one per forecast record
    TForecastSunTimes Sun;   // one per forecast record
};

// Worked out on the fetch's thread; empty for an empty forecast.
TForecastAstronomy ForecastAstronomy(const TWeatherData &forecast);

struct TWeatherResult {
    TRequestRecord Request;  // as sent; Request.Failure says why it failed
    TWeatherRecord Current;  // empty unless Ok
    TWeatherData Forecast;   // empty unless Ok
    // The hours or 3-hour slots, in order, when the service sent them (the
    // days of Forecast are folded from them or sent beside them); may be empty.
    TWeatherData Hours;
    TForecastAstronomy Astronomy;
    // The service's two answers as they came, kept for the next start; empty
    // unless Ok.
    QByteArray CurrentBody;
    QByteArray ForecastBody;
    QDateTime FetchedAt;     // UTC; when the answers arrived
    bool FromCache = false;  // read back from the data folder, not fetched now
    QStringList MissingPictures; // condition pictures not in the data folder yet

    bool Ok() const { return !Request.Failure.Failed(); }
};
Q_DECLARE_METATYPE(TWeatherResult)

// Icon names of the current and forecast records whose file is not in
// `dataFolder`, each once, in order.
QStringList MissingIcons(const TWeatherRecord &current, const TWeatherData &forecast,
                         const QString &dataFolder);

// The current weather, then the forecast only when that succeeded, then the
// astronomy and the pictures still missing (named, not fetched). Without a key
// nothing is asked. Blocking; `cancel` ends it early as a cancelled failure.
// Whatever the parsers or the astronomy throw becomes a failure with its
// message: this is the fetch's boundary.
TWeatherResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder,
                            const TCancelFlag &cancel = TCancelFlag());

// The fetch of the service the request names: FetchWeather for
// OpenWeatherMap, FetchOpenMeteoWeather for Open-Meteo (no key, no pictures).
TWeatherResult FetchWeather(const TWeatherClients &clients, TRequestRecord request, const QString &dataFolder,
                            const TCancelFlag &cancel = TCancelFlag());

// FetchWeather, then the answers kept when it succeeded. A cache that cannot be
// written costs only the next start's head start, so it never fails the refresh.
TWeatherResult FetchAndKeepWeather(const TWeatherClients &clients, TRequestRecord request,
                                   const QString &dataFolder, const TCancelFlag &cancel = TCancelFlag());

// Blocks until every picture download under way has ended, as the program's
// exit does; a cancelled one ends at once.
void WaitForPictureDownloads();

// Runs fetches one at a time on a worker thread and hands their results to
// the UI thread; then fetches the pictures a result lacks, each reported as it
// arrives. The worker threads hold copies only, so the object may go away at
// any time; its fetches are then cancelled and their results dropped.
class TWeatherFetch : public QObject
{
    Q_OBJECT
public:
    // Run on worker threads; they must not touch UI objects.
    using TFetchFunction = std::function<TWeatherResult(const TRequestRecord &request, const TCancelFlag &cancel)>;
    using TPicturesFunction = std::function<void(const QStringList &names, const TCancelFlag &cancel,
                                                 const std::function<void(const QString &name)> &arrived)>;

    TWeatherFetch(TFetchFunction fetch, TPicturesFunction pictures, QObject *parent = nullptr);
    // The real clients': FetchAndKeepWeather and OpenWeatherMap's picture
    // download into `dataFolder`.
    TWeatherFetch(const TWeatherClients &clients, const QString &dataFolder, QObject *parent = nullptr);
    ~TWeatherFetch() override;

    // Starts one fetch; one asked for while another runs is refused (false).
    bool Start(const TRequestRecord &request, const TCancelFlag &cancel);
    bool Running() const { return FRunning; }
    // Pictures asked for that have not arrived or failed yet.
    QStringList PicturesInFlight() const { return FPicturesInFlight.values(); }
    // Whether the service's condition pictures are wanted (they are unless
    // the program draws its own). Unwanted, a result names none missing, none
    // is fetched, and one still on its way is not announced.
    void SetServicePictures(bool wanted) { FServicePictures = wanted; }
    bool ServicePictures() const { return FServicePictures; }

signals:
    void Finished(const TWeatherResult &result);
    // A condition picture is now in the data folder.
    void PictureArrived(const QString &name);

private:
    struct TRelay;

    void FetchDone();
    void FetchPictures(const QStringList &names, const TCancelFlag &cancel);
    void PictureDone(const QString &name);
    void PicturesDone(const QStringList &names);

    TFetchFunction FFetch;
    TPicturesFunction FPictures;
    QFutureWatcher<TWeatherResult> FWatcher;
    TCancelFlag FCancel;
    bool FRunning = false;
    bool FServicePictures = true;
    QSet<QString> FPicturesInFlight;
    std::shared_ptr<TRelay> FRelay;
};
