// When the weather is refreshed: the timer, the retries after failures with
// their waits, the triggers folded into one, and the one cancel flag every
// fetch it starts holds. The fetch itself is the owner's; the cycle only
// starts it and hears how it ended.
#pragma once

#include "FetchFailure.h"
#include "HttpGet.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

enum class TRetry;

// The first retry after a failure; each further failure in a row doubles the
// wait, up to the configured interval, or up to kRetryCapWithoutIntervalMs when
// automatic refresh is off.
inline constexpr int kRetryIntervalMs = 30 * 1000;
inline constexpr int kRetryCapWithoutIntervalMs = 30 * 60 * 1000;

// The wait before the retry after `failuresInRow` failures (1 = the first):
// for TRetry::Soon 30 s, then doubling, never above the configured interval,
// or 30 minutes when there is none; 0 (no retry) for TRetry::Never.
int RetryIntervalMs(int failuresInRow, int configuredMs, TRetry retry);

// What the program reads as the time; UTC wall time, which, unlike the
// monotonic clock, goes on while the machine sleeps.
using TClockFunction = std::function<QDateTime()>;

class TRefreshCycle : public QObject
{
    Q_OBJECT
public:
    // Starts one fetch that holds `cancel`; its end is told to FetchEnded.
    using TFetchStarter = std::function<void(const TCancelFlag &cancel)>;

    explicit TRefreshCycle(TFetchStarter start, QObject *parent = nullptr);
    // Cancels a running fetch.
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

    // The fetch started last has ended, with TFailureKind::None on success.
    // The back-off follows the kind; a refresh asked for meanwhile starts
    // from the event loop, after the caller has shown this one.
    void FetchEnded(TFailureKind failure);

    // The program is closing: every fetch started ends at once and none starts.
    void Cancel();
    bool Cancelled() const { return FCancel->load(); }
    // The flag every fetch of this cycle holds.
    TCancelFlag CancelFlag() const { return FCancel; }

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

    // The weather timer's tick: the configured interval comes back after a
    // retry (with none the timer stops), then a refresh.
    void TimerTick();

signals:
    void RefreshStarted();

private:
    void StartTimer(int intervalMs);
    void StopTimer();
    void StartPending();

    TFetchStarter FStart;
    QTimer FTimer;
    int FConfiguredMs = 0;
    int FFailuresInRow = 0;
    QDateTime FLastSuccess;
    QDateTime FTimerStartedAt; // by the clock, to tell when the timer fires
    bool FLastFailed = false;
    TClockFunction FClock;
    bool FRefreshing = false;
    bool FPending = false;
    std::shared_ptr<std::atomic<bool>> FCancel = std::make_shared<std::atomic<bool>>(false);
};
