#pragma once

#include <QString>

// Removes leading and trailing spaces and control characters (everything up to
// and including U+0020), the trimming the service's texts get.
QString TrimControl(const QString &text);

// The service's text as it may be stored or shown on one line: line breaks and
// tabs become spaces, other control characters are dropped.
QString WithoutControlCharacters(const QString &text);

// Up to `length` characters from `from`, never half of a surrogate pair at
// either end: a cut through a pair leaves the whole pair out.
QString MidWholeCharacters(const QString &text, qsizetype from, qsizetype length);
