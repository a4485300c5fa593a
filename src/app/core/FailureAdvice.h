// The next step for the common causes of a failed refresh: the second line of
// the error icon's hint.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

enum class TFailureCause {
    Other,
    InvalidKey,   // the service refused the key
    UnknownPlace, // the service does not know the location
    NoData,       // nothing came back: network, proxy or service down
};

// The cause, judged on the client's error message.
TFailureCause ClassifyFailure(const QString &errorMessage);

// The next step for the cause of `errorMessage`, in the current language; for
// no data also when the next attempt comes (`nextAttempt`, local time; left
// out when invalid). Empty for other causes.
QString FailureNextStep(const QString &errorMessage, const QDateTime &nextAttempt, const QDateTime &now,
                        const QLocale &locale);

// The error icon's hint as FailureHint gives it, with the next step as a
// second line when there is one.
QString FailureHintWithNextStep(const QString &errorMessage, const QDateTime &nextAttempt,
                                const QDateTime &now, const QLocale &locale);
