#include "FailureAdvice.h"

#include "ClockLine.h"
#include "LangConsts.h"
#include "PanelTexts.h"

namespace {

struct TAdviceEntry {
    TFailureKind Kind;
    TFailureAdvice Advice;
};

// Whatever the service or the network said may be different soon (a new key
// starts to work, a network comes back), so those are retried, later each
// time; without a key, or while closing, nothing is asked.
const TAdviceEntry kAdvice[] = {
    {TFailureKind::None, {nullptr, TRetry::Never, "none"}},
    {TFailureKind::TimedOut, {&lc_NextStepNetwork, TRetry::Soon, "timed out"}},
    {TFailureKind::TooLarge, {&lc_NextStepService, TRetry::Soon, "too large"}},
    {TFailureKind::Refused, {&lc_NextStepNetwork, TRetry::Soon, "refused"}},
    {TFailureKind::NoRoute, {&lc_NextStepNetwork, TRetry::Soon, "no route"}},
    {TFailureKind::Tls, {&lc_NextStepTls, TRetry::Soon, "secure connection"}},
    {TFailureKind::NoAnswer, {&lc_NextStepNetwork, TRetry::Soon, "no answer"}},
    {TFailureKind::HttpStatus, {&lc_NextStepService, TRetry::Soon, "service error"}},
    {TFailureKind::BadDocument, {&lc_NextStepService, TRetry::Soon, "bad document"}},
    {TFailureKind::InvalidKey, {&lc_NextStepKey, TRetry::Soon, "invalid key"}},
    {TFailureKind::NoKey, {&lc_NextStepNoKey, TRetry::Never, "no key"}},
    {TFailureKind::PlaceNotFound, {&lc_NextStepLocation, TRetry::Soon, "place not found"}},
    {TFailureKind::Cancelled, {nullptr, TRetry::Never, "cancelled"}},
};

QString AttemptTime(const QDateTime &nextAttempt, const QDateTime &now, const QLocale &locale)
{
    const QDateTime local = nextAttempt.toLocalTime();
    if (local.date() == now.toLocalTime().date())
        return ClockTimeText(local.time(), locale);
    return DateTimeText(local, locale);
}

} // namespace

const TFailureAdvice &AdviceFor(TFailureKind kind)
{
    for (const TAdviceEntry &entry : kAdvice)
        if (entry.Kind == kind)
            return entry.Advice;
    return kAdvice[0].Advice;
}

QString FailureReason(const TFetchFailure &failure)
{
    return failure.Kind == TFailureKind::NoKey ? lc_NoKey : failure.Message;
}

QString FailureNextStep(const TFetchFailure &failure, const QDateTime &nextAttempt, const QDateTime &now,
                        const QLocale &locale)
{
    const TFailureAdvice &advice = AdviceFor(failure.Kind);
    if (advice.NextStep == nullptr)
        return QString();
    if (!nextAttempt.isValid() || advice.Retry == TRetry::Never)
        return *advice.NextStep;
    return *advice.NextStep + QLatin1Char(' ') + FillText(lc_NextAttempt, AttemptTime(nextAttempt, now, locale));
}

QString FailureHintWithNextStep(const TFetchFailure &failure, const QDateTime &nextAttempt, const QDateTime &now,
                                const QLocale &locale)
{
    const QString hint = FailureHint(FailureReason(failure));
    const QString next = FailureNextStep(failure, nextAttempt, now, locale);
    return next.isEmpty() ? hint : hint + QLatin1Char('\n') + next;
}

QString FailureLogText(const TFetchFailure &failure)
{
    QString text = QString::fromLatin1(AdviceFor(failure.Kind).LogName);
    if (failure.HttpStatus != 0)
        text += QStringLiteral(" (HTTP %1)").arg(failure.HttpStatus);
    if (!failure.Message.isEmpty())
        text += QStringLiteral(": ") + failure.Message;
    return text;
}
