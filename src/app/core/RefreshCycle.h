// The weather refresh: its timer, the retries after failures with their growing
// waits, and one fetch at a time on a worker thread, its result handed back on
// the UI thread.
#pragma once

#include "ForecastRows.h"
#include "MoonTable.h"
#include "WeatherRecords.h"

#include <QByteArray>
#include <QDateTime>
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

// The first retry after a failure; each further failure in a row doubles the
// wait, up to the configured interval, or up to kRetryCapWithoutIntervalMs when
// automatic refresh is off.
inline constexpr int kRetryIntervalMs = 30 * 1000;
inline constexpr int kRetryCapWithoutIntervalMs = 30 * 60 * 1000;

struct TRefreshResult {
    bool Ok = false;
    TRequestRecord Request;  // as sent; ErrorMessage says why it failed
    TWeatherRecord Current;  // empty unless Ok
    TWeatherData Forecast;   // empty unless Ok
    TMoonTable MoonTable{};  // from the first forecast record
    TForecastSunTimes SunTimes; // one per forecast record
    // The service's two answers as they came, kept for the next start; empty
    // unless Ok.
    QByteArray CurrentBody;
    QByteArray ForecastBody;
    QDateTime FetchedAt;     // UTC; when the answers arrived
    bool FromCache = false;  // read back from the data folder, not fetched now
};
Q_DECLARE_METATYPE(TRefreshResult)

// Runs on a worker thread; must not touch UI objects.
using TFetchFunction = std::function<TRefreshResult(TRequestRecord)>;

// The current weather, then the forecast only when that succeeded, then the
// icons not yet in `dataFolder`, and the astronomy. A malformed answer
// becomes a failure with its message.
TRefreshResult FetchWeather(const TOwmClient &client, TRequestRecord request, const QString &dataFolder);

// The astronomy of a result's forecast, so that the UI thread need not work
// it out: the moon table, and the moon's illumination and the sun times of
// each record. A result without forecast keeps an empty table.
void FillAstronomy(TRefreshResult &result);

// The wait before the retry after `failuresInRow` failures (1 = the first):
// 30 s, then doubling, never above the configured interval, or 30 minutes when
// there is none.
int RetryIntervalMs(int failuresInRow, int configuredMs);

// What the program reads as the time; UTC wall time, which, unlike the
// monotonic clock, goes on while the machine sleeps.
using TClockFunction = std::function<QDateTime()>;

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
    // The user asked (button or menu): the waits after failures start again
    // from 30 s, then a refresh.
    void ManualRefresh();
    // The waits after failures start again from 30 s (a confirmed preferences
    // dialog: the key or the place may be right now).
    void ResetBackOff() { FFailuresInRow = 0; }
    int FailuresInRow() const { return FFailuresInRow; }

    // When the last refresh succeeded (UTC; invalid before any success), and
    // whether the last one that ended failed.
    QDateTime LastSuccess() const { return FLastSuccess; }
    bool LastFailed() const { return FLastFailed; }
    // A result shown from the data folder counts as a success at its time.
    void NoteCachedSuccess(const QDateTime &fetchedAt);
    // The time the next automatic attempt is due; invalid when none is.
    QDateTime NextAttempt() const;

    void SetClock(TClockFunction clock) { FClock = std::move(clock); }
    QDateTime Now() const;
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
    void StartTimer(int intervalMs);

    TFetchFunction FFetch;
    std::function<TRequestRecord()> FRequestProvider;
    QTimer FTimer;
    QFutureWatcher<TRefreshResult> FWatcher;
    int FConfiguredMs = 0;
    int FFailuresInRow = 0;
    QDateTime FLastSuccess;
    QDateTime FTimerStartedAt; // by the clock, to tell when the timer fires
    bool FLastFailed = false;
    TClockFunction FClock;
    bool FRefreshing = false;
    bool FPending = false;
    std::shared_ptr<std::atomic<bool>> FCancel;
};
