// How the INI file writes and reads each value kind. Independent of the user's
// locale, so a file moves between machines and languages unchanged.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

QString IniIntegerText(qint64 value);
// Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$" (up to 64
// bits, read as two's complement). Surrounding blanks are ignored.
std::optional<qint64> ParseIniInteger(const QString &text);

QString IniBooleanText(bool value);
// An integer as above; anything but 0 is true.
std::optional<bool> ParseIniBoolean(const QString &text);

// Up to 15 significant digits, "." as decimal separator, no trailing zeros.
QString IniFloatText(double value);
std::optional<double> ParseIniFloat(const QString &text);

// "yyyy-MM-dd HH:mm:ss" in local time, e.g. 2021-02-26 14:05:09.
QString IniDatetimeText(const QDateTime &value);
// The form above, or a date alone (midnight).
std::optional<QDateTime> ParseIniDatetime(const QString &text);
