// The title bar's clock line: the long date with the day's names, and the time.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// The date in the language's long format (lc_LongDateFormat) with the
// locale's month and day names, the weekday first (", " after it) when the
// format has none, then " - " and the day's names when the calendar has any.
QString ClockDateText(const QDate &today, const QLocale &locale, const QStringList &dayNames);

// `format` when it writes a day, a month or a year, else `fallback`: a
// language file's format naming none of them would show no date at all.
QString UsableDateFormat(const QString &format, const QString &fallback);

// The locale's long time (with seconds) without a time-zone name.
QString ClockTimeText(const QTime &now, const QLocale &locale);

// The locale's short date format with "." as the separator where the format
// uses dots already, and "d.M.yyyy" for Slovak when it has no separator.
QString FixedShortDateFormat(const QLocale &locale);

// A date and time as the user reads them: the fixed short date and the time
// without zone name. Empty for an invalid value.
QString DateTimeText(const QDateTime &value, const QLocale &locale);
