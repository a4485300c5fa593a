#include "LocationLookup.h"

#include "Zelto_OWM.h"

#include <exception>

TLocationSearch ClientLocationSearch(const TOwmClient &client)
{
    return [client](TRequestRecord &request, TCities &cities, const TCancelFlag &cancel) {
        TOwmClient own = client;
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
