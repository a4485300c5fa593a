#include "LocationSearch.h"

#include "CityElement.h"
#include "LocationParameter.h"
#include "XmlValues.h"

QString FindLocationsQuery(const TRequestRecord &request)
{
    return QStringLiteral("/data/2.5/find?APPID=%1&%2&type=like&mode=xml&lang=%3")
        .arg(KeyQueryValue(request.Key), BuildNameParameter(request.LocationName),
             EncodeFormValue(request.Lang));
}

bool ParseLocations(const QDomElement &root, TCities &cities)
{
    const QDomElement list = ChildElement(root, QStringLiteral("list"));
    if (list.isNull())
        return false;
    cities.clear();
    for (QDomElement item = list.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
        const QDomElement city = ChildElement(item, QStringLiteral("city"));
        if (city.isNull())
            continue;
        TCity found;
        ReadCityElement(city, TCoordinateReading::crLenient, found);
        cities.append(found);
    }
    return true;
}
