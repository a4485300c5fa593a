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
        {3067696, QStringLiteral("Prague"), QStringLiteral("CZ"), 50.0880, 14.4208,
         QStringLiteral("Czechia"), QStringLiteral("Prague"), QStringLiteral("Europe/Prague"), 1165581, 202},
        {2643743, QStringLiteral("London"), QStringLiteral("GB"), 51.5085, -0.1257,
         QStringLiteral("United Kingdom"), QStringLiteral("England"), QStringLiteral("Europe/London"), 8961989, 25},
        {6058560, QStringLiteral("London"), QStringLiteral("CA"), 42.9834, -81.2330,
         QStringLiteral("Canada"), QStringLiteral("Ontario"), QStringLiteral("America/Toronto"), 346765, 251},
        {5128581, QStringLiteral("New York"), QStringLiteral("US"), 40.7143, -74.0060,
         QStringLiteral("United States"), QStringLiteral("New York"), QStringLiteral("America/New_York"), 8804190, 10},
        {1850147, QStringLiteral("Tokyo"), QStringLiteral("JP"), 35.6895, 139.6917,
         QStringLiteral("Japan"), QStringLiteral("Tokyo"), QStringLiteral("Asia/Tokyo"), 8336599, 44},
        {2950159, QStringLiteral("Berlin"), QStringLiteral("DE"), 52.5244, 13.4105,
         QStringLiteral("Germany"), QStringLiteral("Berlin"), QStringLiteral("Europe/Berlin"), 3426354, 74},
        {2988507, QStringLiteral("Paris"), QStringLiteral("FR"), 48.8534, 2.3488,
         QStringLiteral("France"), QStringLiteral("Île-de-France"), QStringLiteral("Europe/Paris"), 2138551, 42},
        {3117735, QStringLiteral("Madrid"), QStringLiteral("ES"), 40.4165, -3.7026,
         QStringLiteral("Spain"), QStringLiteral("Madrid"), QStringLiteral("Europe/Madrid"), 3255944, 667},
        {3169070, QStringLiteral("Rome"), QStringLiteral("IT"), 41.8947, 12.4839,
         QStringLiteral("Italy"), QStringLiteral("Lazio"), QStringLiteral("Europe/Rome"), 2318895, 20},
        {2761369, QStringLiteral("Vienna"), QStringLiteral("AT"), 48.2085, 16.3721,
         QStringLiteral("Austria"), QStringLiteral("Vienna"), QStringLiteral("Europe/Vienna"), 1691468, 193},
        {756135, QStringLiteral("Warsaw"), QStringLiteral("PL"), 52.2298, 21.0118,
         QStringLiteral("Poland"), QStringLiteral("Masovia"), QStringLiteral("Europe/Warsaw"), 1702139, 113},
        {524901, QStringLiteral("Moscow"), QStringLiteral("RU"), 55.7522, 37.6156,
         QStringLiteral("Russia"), QStringLiteral("Moscow"), QStringLiteral("Europe/Moscow"), 10381222, 144},
        {2657896, QStringLiteral("Zürich"), QStringLiteral("CH"), 47.3667, 8.5500,
         QStringLiteral("Switzerland"), QStringLiteral("Zurich"), QStringLiteral("Europe/Zurich"), 341730, 408},
        {3413829, QStringLiteral("Reykjavik"), QStringLiteral("IS"), 64.1355, -21.8954,
         QStringLiteral("Iceland"), QStringLiteral("Capital Region"), QStringLiteral("Atlantic/Reykjavik"), 118918, 27},
        {2147714, QStringLiteral("Sydney"), QStringLiteral("AU"), -33.8679, 151.2073,
         QStringLiteral("Australia"), QStringLiteral("New South Wales"), QStringLiteral("Australia/Sydney"), 4627345, 58},
        {3451190, QStringLiteral("Rio de Janeiro"), QStringLiteral("BR"), -22.9028, -43.2075,
         QStringLiteral("Brazil"), QStringLiteral("Rio de Janeiro"), QStringLiteral("America/Sao_Paulo"), 6747815, 5},
        {360630, QStringLiteral("Cairo"), QStringLiteral("EG"), 30.0626, 31.2497,
         QStringLiteral("Egypt"), QStringLiteral("Cairo"), QStringLiteral("Africa/Cairo"), 9606916, 23},
        {1275339, QStringLiteral("Mumbai"), QStringLiteral("IN"), 19.0144, 72.8479,
         QStringLiteral("India"), QStringLiteral("Maharashtra"), QStringLiteral("Asia/Kolkata"), 12691836, 14},
        {5368361, QStringLiteral("Los Angeles"), QStringLiteral("US"), 34.0522, -118.2437,
         QStringLiteral("United States"), QStringLiteral("California"), QStringLiteral("America/Los_Angeles"), 3971883, 89},
        {6167865, QStringLiteral("Toronto"), QStringLiteral("CA"), 43.7001, -79.4163,
         QStringLiteral("Canada"), QStringLiteral("Ontario"), QStringLiteral("America/Toronto"), 2600000, 175},
        {5391959, QStringLiteral("San Francisco"), QStringLiteral("US"), 37.7749, -122.4194,
         QStringLiteral("United States"), QStringLiteral("California"), QStringLiteral("America/Los_Angeles"), 864816, 16},
        {1880252, QStringLiteral("Singapore"), QStringLiteral("SG"), 1.2897, 103.8501,
         QStringLiteral("Singapore"), QString(), QStringLiteral("Asia/Singapore"), 3547809, 15},
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
