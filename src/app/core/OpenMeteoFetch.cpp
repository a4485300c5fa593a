#include "OpenMeteoFetch.h"

#include "OpenMeteoClient.h"
#include "WeatherFetch.h"

#include <QDateTime>

#include <algorithm>
#include <exception>

namespace {

// "Name, CC": a country code is two letters after the last comma.
constexpr int kCountryCodeLength = 2;

bool IsCountryCode(const QString &text)
{
    if (text.size() != kCountryCodeLength)
        return false;
    for (const QChar c : text)
        if (c < u'A' || (c > u'Z' && c < u'a') || c > u'z')
            return false;
    return true;
}

} // namespace

TPlaceText SplitPlaceText(const QString &location)
{
    TPlaceText place;
    place.Name = location.trimmed();
    const int comma = place.Name.lastIndexOf(u',');
    if (comma < 0)
        return place;
    const QString code = place.Name.mid(comma + 1).trimmed();
    const QString name = place.Name.left(comma).trimmed();
    if (IsCountryCode(code) && !name.isEmpty()) {
        place.Name = name;
        place.CountryCode = code.toUpper();
    }
    return place;
}

int ChoosePlace(const TCities &cities, const TPlaceText &place)
{
    if (cities.isEmpty())
        return -1;
    if (!place.CountryCode.isEmpty())
        for (int i = 0; i < cities.size(); ++i)
            if (cities.at(i).Country.compare(place.CountryCode, Qt::CaseInsensitive) == 0)
                return i;
    return 0;
}

bool FindOpenMeteoPlaces(const TOpenMeteoClient &client, TRequestRecord &request, TCities &cities)
{
    const TPlaceText place = SplitPlaceText(request.LocationName);
    TRequestRecord search = request;
    search.LocationName = place.Name;
    const bool found = client.FindLocations(search, cities, request.Lang);
    request.Failure = search.Failure;
    if (!found)
        return false;
    const int chosen = ChoosePlace(cities, place);
    if (chosen > 0)
        std::rotate(cities.begin(), cities.begin() + chosen, cities.begin() + chosen + 1);
    return true;
}

bool LocateByName(const TOpenMeteoClient &client, TRequestRecord &request, TCity &city)
{
    if (request.HasCoordinates)
        return true;
    TCities cities;
    if (!FindOpenMeteoPlaces(client, request, cities) || cities.isEmpty()) {
        if (!request.Failure.Failed())
            request.Failure = MakeFailure(TFailureKind::PlaceNotFound);
        return false;
    }
    city = cities.first();
    request.HasCoordinates = true;
    request.Latitude = city.Lat;
    request.Longitude = city.Lon;
    return true;
}

void NamePlace(TWeatherRecord &current, const TRequestRecord &request, const TCity &found)
{
    TCity &city = current.City;
    if (!found.Name.trimmed().isEmpty()) {
        // The search's name, country and region; where it is stays the answer's.
        city.Name = found.Name;
        city.Country = found.Country;
        city.CountryName = found.CountryName;
        city.Region = found.Region;
        city.ID = found.ID;
        return;
    }
    if (city.Name.trimmed().isEmpty()) {
        // Named as the settings name it, so the stored place stays as it is.
        city.Name = request.LocationName.trimmed();
        city.Country.clear();
    }
}

void TakeOpenMeteoWeather(TWeatherResult &result, TOpenMeteoWeather &weather)
{
    result.Current = std::move(weather.Current);
    result.Forecast = std::move(weather.Days);
    result.Hours = std::move(weather.Hours);
}

TWeatherResult FetchOpenMeteoWeather(const TOpenMeteoClient &client, TRequestRecord request,
                                     const TCancelFlag &cancel)
{
    request.Failure = TFetchFailure();
    TOpenMeteoClient own = client;
    if (cancel)
        own.HttpOptions().Cancel = cancel;
    TWeatherResult result;
    result.Request = request;
    const auto failed = [&](TFetchFailure failure) {
        if (cancel && cancel->load())
            failure.Kind = TFailureKind::Cancelled;
        // No key is sent, so no refusal is the key's: its advice would mislead.
        else if (failure.Kind == TFailureKind::InvalidKey || failure.Kind == TFailureKind::NoKey)
            failure.Kind = TFailureKind::HttpStatus;
        TWeatherResult out;
        out.Request = request;
        out.Request.Failure = failure;
        return out;
    };
    try {
        TCity found;
        if (!LocateByName(own, result.Request, found))
            return failed(result.Request.Failure);
        TOpenMeteoWeather weather;
        if (!own.GetWeather(result.Request, weather, &result.ForecastBody))
            return failed(result.Request.Failure);
        TakeOpenMeteoWeather(result, weather);
        NamePlace(result.Current, result.Request, found);
        result.FetchedAt = QDateTime::currentDateTimeUtc();
        result.Astronomy = ForecastAstronomy(result.Forecast);
    } catch (const std::exception &error) {
        return failed(MakeFailure(TFailureKind::BadDocument, QString::fromUtf8(error.what())));
    }
    return result;
}
