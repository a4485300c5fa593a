#include "LocationSearch.h"

#include "LocationParameter.h"
#include "XmlValues.h"

namespace {

TCity ReadCity(const QDomElement &city)
{
    TCity target;
    target.ID = StrictCityId(city.attribute(QStringLiteral("id")));
    target.Name = city.attribute(QStringLiteral("name"));
    const QDomElement coord = ChildElement(city, QStringLiteral("coord"));
    if (!coord.isNull()) {
        target.Lon = LenientNumber(coord.attribute(QStringLiteral("lon")));
        target.Lat = LenientNumber(coord.attribute(QStringLiteral("lat")));
    }
    const QDomElement country = ChildElement(city, QStringLiteral("country"));
    if (!country.isNull())
        target.Country = country.text();
    const QDomElement sun = ChildElement(city, QStringLiteral("sun"));
    if (!sun.isNull()) {
        target.Sunrise = XmlTimeToLocal(sun.attribute(QStringLiteral("rise")));
        target.Sunset = XmlTimeToLocal(sun.attribute(QStringLiteral("set")));
    }
    return target;
}

} // namespace

QString FindLocationsQuery(const TRequestRecord &request)
{
    return QStringLiteral("/data/2.5/find?APPID=%1&%2&type=like&mode=xml&lang=%3")
        .arg(request.Key, BuildNameParameter(request.LocationName), request.Lang);
}

bool ParseLocations(const QDomElement &root, TCities &cities)
{
    const QDomElement list = ChildElement(root, QStringLiteral("list"));
    if (list.isNull())
        return false;
    cities.clear();
    for (QDomElement item = list.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
        const QDomElement city = ChildElement(item, QStringLiteral("city"));
        if (!city.isNull())
            cities.append(ReadCity(city));
    }
    return true;
}
