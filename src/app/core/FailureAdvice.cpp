#include "FailureAdvice.h"

#include "ClockLine.h"
#include "LangConsts.h"
#include "PanelTexts.h"

namespace {

struct TAdviceEntry {
    TFailureKind Kind;
    TFailureAdvice Advice;
};

// The status a service answers when it is asked too often.
constexpr int kHttpTooManyRequests = 429;

// How the program itself names a failure it recognises, in the user's language.
struct TReasonEntry {
    TFailureKind Kind;
    const QString *Reason;
    // Whether the failure's message is the service's own words, shown after the
    // reason; otherwise it is the transport's, which only the log keeps.
    bool ServiceWords;
};

const TReasonEntry kReasons[] = {
    {TFailureKind::NoKey, &lc_NoKey, false},
    {TFailureKind::InvalidKey, &lc_ReasonInvalidKey, true},
    {TFailureKind::PlaceNotFound, &lc_ReasonPlaceNotFound, true},
    {TFailureKind::TimedOut, &lc_ReasonTimedOut, false},
    {TFailureKind::Refused, &lc_ReasonNoConnection, false},
    {TFailureKind::NoRoute, &lc_ReasonNoConnection, false},
    {TFailureKind::NoAnswer, &lc_ReasonNoConnection, false},
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
    const QString *reason = nullptr;
    bool serviceWords = true;
    if (failure.Kind == TFailureKind::HttpStatus && failure.HttpStatus == kHttpTooManyRequests) {
        reason = &lc_ReasonTooManyRequests;
    } else {
        for (const TReasonEntry &entry : kReasons)
            if (entry.Kind == failure.Kind) {
                reason = entry.Reason;
                serviceWords = entry.ServiceWords;
            }
    }
    if (reason == nullptr)
        return failure.Message;
    const QString message = failure.Message.trimmed();
    if (!serviceWords || message.isEmpty() || message.compare(*reason, Qt::CaseInsensitive) == 0)
        return *reason;
    return QStringLiteral("%1 (%2)").arg(*reason, message);
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
