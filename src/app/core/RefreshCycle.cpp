#include "RefreshCycle.h"

#include "AppSettings.h"
#include "FailureAdvice.h"

#include <algorithm>

namespace {

// Far beyond the failures after which the wait stops growing.
constexpr int kFailuresCounted = 64;

} // namespace

int RetryIntervalMs(int failuresInRow, int configuredMs, TRetry retry)
{
    if (retry == TRetry::Never)
        return 0;
    const qint64 cap = configuredMs > 0 ? std::max<qint64>(configuredMs, kRetryIntervalMs)
                                        : kRetryCapWithoutIntervalMs;
    qint64 wait = kRetryIntervalMs;
    for (int i = 1; i < failuresInRow && wait < cap; ++i)
        wait *= 2;
    return static_cast<int>(std::min(wait, cap));
}

TRefreshCycle::TRefreshCycle(TFetchStarter start, QObject *parent)
    : QObject(parent), FStart(std::move(start))
{
    FTimer.setSingleShot(false);
    connect(&FTimer, &QTimer::timeout, this, &TRefreshCycle::TimerTick);
}

TRefreshCycle::~TRefreshCycle()
{
    FCancel->store(true);
}

void TRefreshCycle::Cancel()
{
    FCancel->store(true);
    FPending = false;
    StopTimer();
}

void TRefreshCycle::SetIntervalMinutes(int minutes)
{
    FConfiguredMs = RefreshIntervalMs(minutes);
    if (FConfiguredMs > 0 && !Cancelled())
        StartTimer(FConfiguredMs);
    else
        StopTimer();
}

void TRefreshCycle::StartTimer(int intervalMs)
{
    FTimer.start(intervalMs);
    FTimerStartedAt = Now();
}

void TRefreshCycle::StopTimer()
{
    FTimer.stop();
    FTimer.setInterval(0);
}

void TRefreshCycle::TimerTick()
{
    if (Cancelled()) {
        StopTimer();
        return;
    }
    if (FConfiguredMs > 0) {
        // A repeating timer starts its next period as it fires.
        StartTimer(FConfiguredMs);
    } else {
        StopTimer();
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
    if (Cancelled())
        return;
    if (FRefreshing) {
        FPending = true;
        return;
    }
    FPending = false; // a refresh waiting for the event loop is this one
    FRefreshing = true;
    emit RefreshStarted();
    if (FStart)
        FStart(FCancel);
}

void TRefreshCycle::StartPending()
{
    if (!FPending)
        return;
    FPending = false;
    Refresh();
}

void TRefreshCycle::FetchEnded(TFailureKind failure)
{
    if (!FRefreshing)
        return;
    FRefreshing = false;
    if (failure == TFailureKind::Cancelled && Cancelled())
        return; // closing: nothing more is scheduled
    FLastFailed = failure != TFailureKind::None;
    if (!FLastFailed) {
        FFailuresInRow = 0;
        FLastSuccess = Now();
    } else {
        // Each failure schedules at most one attempt, later each time in a row,
        // so a wrong key or a lasting outage costs a few requests an hour.
        FFailuresInRow = std::min(FFailuresInRow + 1, kFailuresCounted);
        const int wait = RetryIntervalMs(FFailuresInRow, FConfiguredMs, AdviceFor(failure).Retry);
        if (wait > 0)
            StartTimer(wait);
        else if (FConfiguredMs > 0)
            StartTimer(FConfiguredMs);
        else
            StopTimer();
    }
    if (FPending)
        QMetaObject::invokeMethod(this, &TRefreshCycle::StartPending, Qt::QueuedConnection);
}
