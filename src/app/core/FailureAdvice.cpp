#include "FailureAdvice.h"

#include "ClockLine.h"
#include "LangConsts.h"
#include "PanelTexts.h"

namespace {

// The client's own texts and the service's message for a place it lacks.
constexpr char kInvalidKeyText[] = "Invalid API key";
constexpr char kUnknownPlaceText[] = "city not found";
constexpr char kNoDataText[] = "No data received";

QString AttemptTime(const QDateTime &nextAttempt, const QDateTime &now, const QLocale &locale)
{
    const QDateTime local = nextAttempt.toLocalTime();
    if (local.date() == now.toLocalTime().date())
        return ClockTimeText(local.time(), locale);
    return DateTimeText(local, locale);
}

} // namespace

TFailureCause ClassifyFailure(const QString &errorMessage)
{
    const QString message = errorMessage.trimmed();
    if (message.contains(QLatin1String(kInvalidKeyText), Qt::CaseInsensitive))
        return TFailureCause::InvalidKey;
    if (message.contains(QLatin1String(kUnknownPlaceText), Qt::CaseInsensitive))
        return TFailureCause::UnknownPlace;
    if (message.startsWith(QLatin1String(kNoDataText), Qt::CaseInsensitive))
        return TFailureCause::NoData;
    return TFailureCause::Other;
}

QString FailureNextStep(const QString &errorMessage, const QDateTime &nextAttempt, const QDateTime &now,
                        const QLocale &locale)
{
    switch (ClassifyFailure(errorMessage)) {
    case TFailureCause::InvalidKey:
        return lc_NextStepKey;
    case TFailureCause::UnknownPlace:
        return lc_NextStepLocation;
    case TFailureCause::NoData:
        if (!nextAttempt.isValid())
            return lc_NextStepNetwork;
        return lc_NextStepNetwork + QLatin1Char(' ')
               + FillText(lc_NextAttempt, AttemptTime(nextAttempt, now, locale));
    case TFailureCause::Other:
        break;
    }
    return QString();
}

QString FailureHintWithNextStep(const QString &errorMessage, const QDateTime &nextAttempt, const QDateTime &now,
                                const QLocale &locale)
{
    const QString hint = FailureHint(errorMessage);
    const QString next = FailureNextStep(errorMessage, nextAttempt, now, locale);
    return next.isEmpty() ? hint : hint + QLatin1Char('\n') + next;
}
