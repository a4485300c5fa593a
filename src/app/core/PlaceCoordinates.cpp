#include "PlaceCoordinates.h"

#include "AppSettings.h"
#include "LayoutManagerValues.h"
#include "WeatherFetch.h"

#include <cmath>

bool KnownCoordinates(double latitude, double longitude)
{
    return std::isfinite(latitude) && std::isfinite(longitude) && (latitude != 0 || longitude != 0)
           && std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

bool StoreFoundCoordinates(TLayoutManagerValues &values, const TRequestRecord &now, const TWeatherResult &result)
{
    if (!result.Ok() || now.HasCoordinates || result.Request.Service != now.Service
        || result.Request.LocationID != now.LocationID || result.Request.LocationName != now.LocationName)
        return false;
    double latitude = result.Request.Latitude;
    double longitude = result.Request.Longitude;
    if (!result.Request.HasCoordinates) {
        // OpenWeatherMap asked by name or id names where the place is.
        latitude = result.Current.City.Lat;
        longitude = result.Current.City.Lon;
    }
    if (!KnownCoordinates(latitude, longitude))
        return false;
    StoreCoordinates(values, latitude, longitude);
    return true;
}

void ClearCoordinates(TLayoutManagerValues &values)
{
    values.SetValueByName(QString::fromLatin1(kLatitudeName), QString());
    values.SetValueByName(QString::fromLatin1(kLongitudeName), QString());
}
