// The weather refresh: its timer, the retry after a failure, and one fetch at a
// time on a worker thread, its result handed back on the UI thread.
#pragma once

#include "MoonTable.h"
#include "WeatherRecords.h"

#include <QFutureWatcher>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class TOwmClient;

inline constexpr int kRetryIntervalMs = 30 * 1000;

struct TRefreshResult {
    bool Ok = false;
    TRequestRecord Request;  // as sent; ErrorMessage says why it failed
    TWeatherRecord Current;  // empty unless Ok
    TWeatherData Forecast;   // empty unless Ok
    TMoonTable MoonTable{};  // from the first forecast record
};
Q_DECLARE_METATYPE(TRefreshResult)

// Runs on a worker thread; must not touch UI objects.
using TFetchFunction = std::function<TRefreshResult(TRequestRecord)>;

// The current weather, then the forecast only when that succeeded, then the
// icons not yet in `dataFolder`, and the moon table. A malformed answer
// becomes a failure with its message.
TRefreshResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder);

// Icon names of the current and forecast records whose file is not in
// `dataFolder`, each once, in order.
QStringList MissingIcons(const TWeatherRecord &current, const TWeatherData &forecast,
                         const QString &dataFolder);

class TRefreshCycle : public QObject
{
    Q_OBJECT
public:
    // `requestProvider` is asked on the UI thread at the start of each refresh.
    TRefreshCycle(TFetchFunction fetch, std::function<TRequestRecord()> requestProvider,
                  QObject *parent = nullptr);
    ~TRefreshCycle() override;

    // The configured interval; 0 or less: no automatic refresh.
    void SetIntervalMinutes(int minutes);
    // Starts a refresh; one asked for while one runs follows it, once.
    void Refresh();
    bool IsRefreshing() const { return FRefreshing; }
    bool IsRefreshPending() const { return FPending; }

    int TimerIntervalMs() const { return FTimer.interval(); }
    bool TimerActive() const { return FTimer.isActive(); }
    int ConfiguredIntervalMs() const { return FConfiguredMs; }

    // Set when the cycle goes away, so a fetch still running (a client whose
    // HttpOptions().Cancel is this flag) ends instead of holding up the exit.
    void SetCancelFlag(std::shared_ptr<std::atomic<bool>> flag) { FCancel = std::move(flag); }

    // The weather timer's tick: the configured interval comes back after a
    // retry (with none the timer stops), then a refresh.
    void TimerTick();

signals:
    void RefreshStarted();
    void RefreshFinished(const TRefreshResult &result);

private:
    void FetchDone();

    TFetchFunction FFetch;
    std::function<TRequestRecord()> FRequestProvider;
    QTimer FTimer;
    QFutureWatcher<TRefreshResult> FWatcher;
    int FConfiguredMs = 0;
    bool FRefreshing = false;
    bool FPending = false;
    std::shared_ptr<std::atomic<bool>> FCancel;
};
