#include "Cities.h"

namespace {

struct TQuery {
    QString Name;
    QString Country; // empty: any
};

// "name,CC": the part after the last comma is a country when it is two letters.
TQuery SplitQuery(const QString &text)
{
    TQuery query{text.trimmed(), QString()};
    const qsizetype comma = query.Name.lastIndexOf(QLatin1Char(','));
    if (comma >= 0) {
        query.Country = query.Name.mid(comma + 1).trimmed();
        query.Name = query.Name.left(comma).trimmed();
    }
    return query;
}

bool CountryMatches(const TFakeCity &city, const TQuery &query)
{
    return query.Country.isEmpty() || city.Country.compare(query.Country, Qt::CaseInsensitive) == 0;
}

} // namespace

const QVector<TFakeCity> &KnownCities()
{
    static const QVector<TFakeCity> cities = {
        {3067696, QStringLiteral("Prague"), QStringLiteral("CZ"), 50.0880, 14.4208},
        {2643743, QStringLiteral("London"), QStringLiteral("GB"), 51.5085, -0.1257},
        {6058560, QStringLiteral("London"), QStringLiteral("CA"), 42.9834, -81.2330},
        {5128581, QStringLiteral("New York"), QStringLiteral("US"), 40.7143, -74.0060},
        {1850147, QStringLiteral("Tokyo"), QStringLiteral("JP"), 35.6895, 139.6917},
        {2950159, QStringLiteral("Berlin"), QStringLiteral("DE"), 52.5244, 13.4105},
        {2988507, QStringLiteral("Paris"), QStringLiteral("FR"), 48.8534, 2.3488},
        {3117735, QStringLiteral("Madrid"), QStringLiteral("ES"), 40.4165, -3.7026},
        {3169070, QStringLiteral("Rome"), QStringLiteral("IT"), 41.8947, 12.4839},
        {2761369, QStringLiteral("Vienna"), QStringLiteral("AT"), 48.2085, 16.3721},
        {756135, QStringLiteral("Warsaw"), QStringLiteral("PL"), 52.2298, 21.0118},
        {524901, QStringLiteral("Moscow"), QStringLiteral("RU"), 55.7522, 37.6156},
        {2657896, QStringLiteral("Zürich"), QStringLiteral("CH"), 47.3667, 8.5500},
        {3413829, QStringLiteral("Reykjavik"), QStringLiteral("IS"), 64.1355, -21.8954},
        {2147714, QStringLiteral("Sydney"), QStringLiteral("AU"), -33.8679, 151.2073},
        {3451190, QStringLiteral("Rio de Janeiro"), QStringLiteral("BR"), -22.9028, -43.2075},
        {360630, QStringLiteral("Cairo"), QStringLiteral("EG"), 30.0626, 31.2497},
        {1275339, QStringLiteral("Mumbai"), QStringLiteral("IN"), 19.0144, 72.8479},
        {5368361, QStringLiteral("Los Angeles"), QStringLiteral("US"), 34.0522, -118.2437},
        {6167865, QStringLiteral("Toronto"), QStringLiteral("CA"), 43.7001, -79.4163},
        {5391959, QStringLiteral("San Francisco"), QStringLiteral("US"), 37.7749, -122.4194},
        {1880252, QStringLiteral("Singapore"), QStringLiteral("SG"), 1.2897, 103.8501},
    };
    return cities;
}

const TFakeCity *CityById(qint64 id)
{
    for (const TFakeCity &city : KnownCities())
        if (city.Id == id)
            return &city;
    return nullptr;
}

const TFakeCity *CityByQuery(const QString &text)
{
    const TQuery query = SplitQuery(text);
    for (const TFakeCity &city : KnownCities())
        if (city.Name.compare(query.Name, Qt::CaseInsensitive) == 0 && CountryMatches(city, query))
            return &city;
    return nullptr;
}

QVector<const TFakeCity *> CitiesLike(const QString &text)
{
    const TQuery query = SplitQuery(text);
    QVector<const TFakeCity *> found;
    if (query.Name.isEmpty())
        return found;
    for (const TFakeCity &city : KnownCities())
        if (city.Name.contains(query.Name, Qt::CaseInsensitive) && CountryMatches(city, query))
            found.append(&city);
    return found;
}
