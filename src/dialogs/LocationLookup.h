// The location search as the preferences dialog runs it: off the user
// interface thread, cancellable, and never throwing.
#pragma once

#include "HttpGet.h"
#include "WeatherRecords.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class TOpenMeteoClient;
class TOwmClient;

// Fills `cities` with the places like request.LocationName; false with
// request.Failure set when the service gave no city list. Runs on a worker
// thread, so it may use only what it holds by value; once `cancel` is set, its
// answer is no longer wanted and it should end soon.
using TLocationSearch = std::function<bool(TRequestRecord &request, TCities &cities, const TCancelFlag &cancel)>;

// A search through a copy of the client of the request's Service; Open-Meteo's
// names the places in request.Lang. A malformed answer (a city id that is not
// a number) is a failure with the parser's message, not an exception.
TLocationSearch ClientLocationSearch(const TOwmClient &owm, const TOpenMeteoClient &openMeteo);

// What a search ended with.
struct TLookupResult {
    bool Ok = false;
    TCities Cities;
    QString ErrorMessage;
};

// Runs `search` for one request, catching whatever it throws.
TLookupResult RunLocationSearch(const TLocationSearch &search, TRequestRecord request, const TCancelFlag &cancel);

// The line shown for a search that found nothing: `noLocFound`, then the
// service's or the transport's reason when there is one.
QString NoLocationText(const QString &noLocFound, const QString &reason);
