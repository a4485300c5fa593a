// What the program does about each kind of failed refresh: the next step the
// user is told (the second line of the error icon's hint), when the refresh
// is tried again, and the word the log uses. One table decides all three.
#pragma once

#include "FetchFailure.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// When a failed refresh is tried again.
enum class TRetry {
    Soon,  // after 30 s, each further failure in a row waiting twice as long
    Never, // not by itself: only the user's own refresh or confirmed settings
};

struct TFailureAdvice {
    const QString *NextStep; // a language text; null when there is nothing to do
    TRetry Retry;
    const char *LogName;
};

// The entry of `kind`; TFailureKind::None has no next step and no retry.
const TFailureAdvice &AdviceFor(TFailureKind kind);

// What follows "Data load failed:" for `failure`: for a kind the program
// recognises (no key, invalid key, place not found, too many requests, no
// connection, time-out) the language's text, with the service's own words
// after it in brackets; for any other kind its message as it came.
QString FailureReason(const TFetchFailure &failure);

// The next step for the failure's kind, in the current language, with the
// time of the next attempt (`nextAttempt`, local time; left out when invalid
// or when the kind is not retried). Empty when the kind has no next step.
QString FailureNextStep(const TFetchFailure &failure, const QDateTime &nextAttempt, const QDateTime &now,
                        const QLocale &locale);

// The error icon's hint: "Data load failed: <reason>", and the next step as a
// second line when there is one.
QString FailureHintWithNextStep(const TFetchFailure &failure, const QDateTime &nextAttempt,
                                const QDateTime &now, const QLocale &locale);

// The log's line for a failure: its kind's name and its message.
QString FailureLogText(const TFetchFailure &failure);
