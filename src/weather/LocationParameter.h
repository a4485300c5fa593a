// The location part of a request's query.
#pragma once

#include "WeatherRecords.h"

#include <QString>

// Form-value encoding: letters, digits and !$'()*-.@_ stay, a space becomes "+",
// everything else is its UTF-8 bytes as %XX (upper-case hex).
QString EncodeFormValue(const QString &text);

// The API key as a query value: trimmed of blanks and control characters
// around it, which a pasted key often carries, and form-value encoded.
QString KeyQueryValue(const QString &key);

// "id=<LocationID>" when the id is 0 or more, else "q=<encoded trimmed name>".
QString BuildLocationParameter(const TRequestRecord &request);

// "q=<encoded trimmed name>", the by-name form whatever the id.
QString BuildNameParameter(const QString &locationName);
