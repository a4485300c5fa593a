// The one conversion between TDateTime and Qt's date-time types, in the machine's
// local time, on both sides of 1899-12-30.
#pragma once

#include "TDateTime.h"

#include <QDate>
#include <QDateTime>

// The calendar day 1899-12-30, TDateTime's day 0.
QDate DateTimeEpoch();

// Local wall-clock date and time as a TDateTime (the zone of `value` is
// converted to local time first).
TDateTime DateTimeFromQDateTime(const QDateTime &value);

// A TDateTime read as local wall-clock time; invalid when the value is not finite
// or lies outside Qt's range.
QDateTime QDateTimeFromDateTime(TDateTime value);

// Whole-day part of a TDateTime (local midnight of its day).
TDateTime DateOf(TDateTime value);
