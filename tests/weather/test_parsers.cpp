// The parsers of the current weather, the forecast and the city search, called
// on the bytes of fixture files and compared with golden dumps of the records
// they make (tests/weather/data/<case>.ref, written by RecordDump).
//
// The dumps show local times, so these cases run under TZ=Asia/Tokyo (CTest sets
// it). After a deliberate change, rewrite the goldens with
//   NIMBREL_UPDATE_GOLDEN=1 TZ=Asia/Tokyo build/tests/weather/test_weather_parsers
// and review the difference in git before committing it.
#include "CurrentWeather.h"
#include "Fixture.h"
#include "GoldenDump.h"
#include "Forecast.h"
#include "LocationSearch.h"
#include "RecordDump.h"
#include "ServiceResponse.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace {

enum class Parser { Current, Forecast, Locations };

struct GoldenCase {
    const char *name; // the golden file is <name>.ref
    const char *fixture;
    Parser parser;
    const char *units;
    TKeyType keyType;
    TForecastMode mode;
};

void PrintTo(const GoldenCase &c, std::ostream *out)
{
    *out << c.name;
}

QString Parse(const GoldenCase &c)
{
    QDomDocument document;
    QString error;
    if (!LoadXmlDocument(ReadFixture(QString::fromLatin1(c.fixture)), document, error))
        return QStringLiteral("fixture does not load: ") + error;
    const QDomElement root = document.documentElement();
    switch (c.parser) {
    case Parser::Current: {
        TWeatherRecord record;
        ParseCurrentWeather(root, QString::fromLatin1(c.units), record);
        return DumpRecord(record);
    }
    case Parser::Forecast: {
        TRequestRecord request;
        request.Units = QString::fromLatin1(c.units);
        request.KeyType = c.keyType;
        request.ForecastMode = c.mode;
        TWeatherData data;
        ParseForecast(root, request, data);
        return DumpForecast(data);
    }
    case Parser::Locations: {
        TCities cities;
        if (!ParseLocations(root, cities))
            return QStringLiteral("no city list\n");
        return DumpCities(cities);
    }
    }
    return QString();
}

class ZonedGoldenTest : public ::testing::TestWithParam<GoldenCase>
{
};

TEST_P(ZonedGoldenTest, RecordsMatchTheGoldenDump)
{
    const GoldenCase &c = GetParam();
    ExpectGoldenDump(QString::fromLatin1(c.name), Parse(c));
}

INSTANTIATE_TEST_SUITE_P(
    Parsers, ZonedGoldenTest,
    ::testing::Values(
        // Every element the current weather reads, and the unit texts of metric.
        GoldenCase{"current_full", "current_full.xml", Parser::Current, "metric", ktFree, fmDaily},
        GoldenCase{"current_full_imperial", "current_full.xml", Parser::Current, "imperial", ktFree, fmDaily},
        // Elements without their attributes: the defaults of the unit texts.
        GoldenCase{"current_sparse", "current_sparse.xml", Parser::Current, "metric", ktFree, fmDaily},
        // A paid key's day records, as they come.
        GoldenCase{"forecast_daily", "forecast_daily.xml", Parser::Forecast, "metric", ktPaid, fmDaily},
        GoldenCase{"forecast_daily_imperial", "forecast_daily.xml", Parser::Forecast, "imperial", ktPaid, fmDaily},
        // 3-hour slots: every one of them, or folded into one record per UTC day.
        GoldenCase{"forecast_3h_hourly", "forecast_3h.xml", Parser::Forecast, "metric", ktFree, fmHourly},
        GoldenCase{"forecast_3h_paid_hourly", "forecast_3h.xml", Parser::Forecast, "metric", ktPaid, fmHourly},
        GoldenCase{"forecast_3h_free_daily", "forecast_3h.xml", Parser::Forecast, "metric", ktFree, fmDaily},
        GoldenCase{"find_cities", "find_cities.xml", Parser::Locations, "", ktFree, fmDaily}),
    [](const ::testing::TestParamInfo<GoldenCase> &param) { return std::string(param.param.name); });

} // namespace
