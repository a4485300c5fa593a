// Reading numbers, ids and times out of the service's XML documents.
#pragma once

#include "ConvertError.h"
#include "TDateTime.h"

#include <QDomElement>
#include <QString>

#include <cstdint>

// The strict readers raise EConvertError; it leaves the request at once with no
// error text, and the caller that shows the result to the user catches it.

// A "."-decimal number (sign and exponent allowed); anything else reads as 0.
double LenientNumber(const QString &text);

// The same syntax; anything else throws EConvertError.
double StrictNumber(const QString &text);

// A 32-bit signed decimal city id, read strictly and widened.
std::int64_t StrictCityId(const QString &text);

// A UTC ISO 8601 date-time ("2026-03-02T21:00:00") or date, optionally with a
// "Z" or an hours:minutes offset (at most ±14:00), as local time; 0 when it
// cannot be read.
TDateTime XmlTimeToLocal(const QString &text);

// The first child element of that name (a null element when there is none).
QDomElement ChildElement(const QDomElement &parent, const QString &name);

// Removes control characters from every attribute and text below `root`
// (WithoutControlCharacters), so no text of the service's answer can break a
// line where it is stored or shown.
void StripControlCharacters(QDomElement root);
