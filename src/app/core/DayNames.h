// The day-names calendar: one line "key=names" per day of a leap year, shown
// beside dates in the clock line and the forecast list.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

inline constexpr int kDayNamesLineCount = 366;
// The shipped calendars are named after the language files: "Nimbrel.cs.dat".
inline constexpr char kDayNamesExtension[] = ".dat";

// The line of `date` counted as in a leap year: 1 March is always 61 and
// 31 December always 366. 0 for an invalid date.
int DayNameIndex(const QDate &date);

// The trimmed text after the first "=" of the date's line. Empty when there is
// no such line or no "="; then, with `withFallback`, lc_Day and the date's day
// of the year ("Day 45"; 10 December of a common year is "Day 344").
QString DayNames(const QStringList &lines, const QDate &date, bool withFallback);

// The lines of a day-names file (UTF-8). Empty when the file is missing,
// unreadable or too large to be a calendar.
QStringList LoadDayNames(const QString &namesFile);

// The settings file's name with ".dat" for ".ini".
QString DayNamesFileName(const QString &settingsFile);

// "Nimbrel.<code>.dat"; empty for a code that is not a plain language code.
QString ShippedDayNamesName(const QString &languageCode);

// Where shipped calendars are looked for, in order: the program's data folders
// found from the executable's folder (installed, beside it, the build tree),
// then the current folder.
QStringList ShippedDayNamesFolders(const QString &executableFolder);

// The calendar shown for `languageCode`: the user's own `namesFile` when it is
// there and is not a byte-for-byte copy of a shipped calendar (earlier versions
// copied one there at the first start, whatever the language later became);
// else the language's shipped calendar found first in `searchFolders`; else
// empty: no names.
QString ChooseDayNamesFile(const QString &namesFile, const QString &languageCode,
                           const QStringList &searchFolders);
