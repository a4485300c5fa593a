#include "LocationLookup.h"

#include "OpenMeteoClient.h"
#include "OpenMeteoFetch.h"
#include "Zelto_OWM.h"

#include <exception>

TLocationSearch ClientLocationSearch(const TOwmClient &owm, const TOpenMeteoClient &openMeteo)
{
    return [owm, openMeteo](TRequestRecord &request, TCities &cities, const TCancelFlag &cancel) {
        if (request.Service == wsOpenMeteo) {
            TOpenMeteoClient own = openMeteo;
            own.HttpOptions().Cancel = cancel;
            // The field holds "Prague, CZ" after every refresh and pick.
            return FindOpenMeteoPlaces(own, request, cities);
        }
        TOwmClient own = owm;
        own.HttpOptions().Cancel = cancel;
        return own.FindLocations(request, cities);
    };
}

TLookupResult RunLocationSearch(const TLocationSearch &search, TRequestRecord request, const TCancelFlag &cancel)
{
    TLookupResult result;
    if (!search) {
        result.ErrorMessage = QStringLiteral("No location search");
        return result;
    }
    // An exception must not leave a worker thread: it would end the program.
    try {
        result.Ok = search(request, result.Cities, cancel);
        result.ErrorMessage = request.Failure.Message;
    } catch (const std::exception &error) { // EConvertError for a malformed city id
        result.Ok = false;
        result.ErrorMessage = QString::fromStdString(error.what());
    }
    if (!result.Ok)
        result.Cities.clear();
    return result;
}

QString NoLocationText(const QString &noLocFound, const QString &reason)
{
    const QString why = reason.trimmed();
    return why.isEmpty() ? noLocFound : noLocFound + u' ' + why;
}
