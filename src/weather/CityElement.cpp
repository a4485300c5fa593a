#include "CityElement.h"

#include "XmlValues.h"

void ReadCityElement(const QDomElement &city, TCoordinateReading coordinates, TCity &target)
{
    const auto number = coordinates == TCoordinateReading::crStrict ? StrictNumber : LenientNumber;
    target.ID = StrictCityId(city.attribute(QStringLiteral("id")));
    target.Name = city.attribute(QStringLiteral("name"));
    const QDomElement coord = ChildElement(city, QStringLiteral("coord"));
    if (!coord.isNull()) {
        target.Lon = number(coord.attribute(QStringLiteral("lon")));
        target.Lat = number(coord.attribute(QStringLiteral("lat")));
    }
    const QDomElement country = ChildElement(city, QStringLiteral("country"));
    if (!country.isNull())
        target.Country = country.text();
    const QDomElement sun = ChildElement(city, QStringLiteral("sun"));
    if (!sun.isNull()) {
        target.Sunrise = XmlTimeToLocal(sun.attribute(QStringLiteral("rise")));
        target.Sunset = XmlTimeToLocal(sun.attribute(QStringLiteral("set")));
    }
}
