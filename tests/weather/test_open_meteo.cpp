// The Open-Meteo parser on fixture answers against golden dumps, its broken
// answers against the failure each must give, the WMO code table and the
// queries.
//
// The dumps show local times, so these cases run under TZ=Asia/Tokyo (CTest
// sets it). After a deliberate change, rewrite the goldens with
//   NIMBREL_UPDATE_GOLDEN=1 TZ=Asia/Tokyo build/tests/weather/test_weather_open_meteo
// and review the difference in git before committing it.
#include "DateTimeConv.h"
#include "Fixture.h"
#include "GoldenDump.h"
#include "OpenMeteoClient.h"
#include "OpenMeteoParse.h"
#include "RecordDump.h"
#include "WmoCondition.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

#include <cmath>

namespace {

// The fields the common dump does not show.
QString DumpExtras(const TWeatherRecord &record)
{
    QString line = QStringLiteral("Extras:");
    if (record.Temp.HasFeelsLike)
        line += QStringLiteral(" FeelsLike=%1").arg(record.Temp.FeelsLike);
    if (record.PrecipitationChance != kNoPrecipitationChance)
        line += QStringLiteral(" Chance=%1").arg(record.PrecipitationChance);
    return line + QLatin1Char('\n');
}

QString DumpRecords(const TWeatherData &data)
{
    QString dump = QStringLiteral("%1 records\n").arg(data.size());
    for (qsizetype i = 0; i < data.size(); ++i)
        dump += QStringLiteral("-- record %1\n").arg(i) + DumpRecord(data[i]) + DumpExtras(data[i]);
    return dump;
}

QString DumpWeather(const TOpenMeteoWeather &weather)
{
    return QStringLiteral("== current\n") + DumpRecord(weather.Current) + DumpExtras(weather.Current)
           + QStringLiteral("== days\n") + DumpRecords(weather.Days) + QStringLiteral("== hours\n")
           + DumpRecords(weather.Hours);
}

QString DumpPlaces(const TCities &cities)
{
    QString dump = QStringLiteral("%1 cities\n").arg(cities.size());
    for (const TCity &city : cities) {
        dump += DumpCity(city)
                + QStringLiteral("Place: CountryName=\"%1\" Region=\"%2\"\n").arg(city.CountryName, city.Region);
    }
    return dump;
}

TRequestRecord Request(const char *units, int days)
{
    TRequestRecord request;
    request.Service = wsOpenMeteo;
    request.LocationName = QStringLiteral("Praha");
    request.LocationID = 3067696;
    request.HasCoordinates = true;
    request.Latitude = 50.08804;
    request.Longitude = 14.42076;
    request.Units = QString::fromLatin1(units);
    request.NumberOfDays = static_cast<std::uint8_t>(days);
    return request;
}

struct GoldenCase {
    const char *name; // the golden file is <name>.ref
    const char *fixture;
    const char *units; // empty: a place search
    int days;
};

void PrintTo(const GoldenCase &c, std::ostream *out)
{
    *out << c.name;
}

QString Parse(const GoldenCase &c)
{
    const QByteArray body = ReadFixture(QString::fromLatin1(c.fixture));
    TFetchFailure failure;
    if (*c.units == '\0') {
        TCities cities;
        if (!ParseOpenMeteoPlaces(body, 200, cities, failure))
            return QStringLiteral("failed: ") + failure.Message;
        return DumpPlaces(cities);
    }
    TOpenMeteoWeather weather;
    if (!ParseOpenMeteoForecast(body, 200, Request(c.units, c.days), weather, failure))
        return QStringLiteral("failed: ") + failure.Message;
    return DumpWeather(weather);
}

class OpenMeteoGoldenTest : public ::testing::TestWithParam<GoldenCase>
{
};

TEST_P(OpenMeteoGoldenTest, RecordsMatchTheGoldenDump)
{
    const GoldenCase &c = GetParam();
    ExpectGoldenDump(QString::fromLatin1(c.name), Parse(c));
}

INSTANTIATE_TEST_SUITE_P(
    OpenMeteo, OpenMeteoGoldenTest,
    ::testing::Values(
        // Every value the window shows, in metric units; the hours cross the
        // change to summer time in the place's zone (01:00 and 03:00 local are
        // one hour apart).
        GoldenCase{"om_forecast", "om_forecast.json", "metric", 3},
        // The same answer read in imperial units (the service was asked for °F,
        // mph and inches): pressure becomes inHg, nothing else is converted.
        // One day asked: the days after it are left out.
        GoldenCase{"om_forecast_imperial", "om_forecast.json", "imperial", 1},
        // Nulls, wrong types, absurd numbers, arrays shorter and longer than
        // `time`, an unreadable row time, undocumented WMO codes, a zone name
        // this system does not know (the fixed offset places the times).
        GoldenCase{"om_forecast_odd", "om_forecast_odd.json", "metric", 16},
        // Places with region and country's name; texts without control
        // characters; entries without a name or coordinates left out.
        GoldenCase{"om_search", "om_search.json", "", 0}),
    [](const ::testing::TestParamInfo<GoldenCase> &param) { return std::string(param.param.name); });

// A forecast body that is complete but for what the case changes.
QByteArray MinimalForecast(const char *current, const char *daily, const char *zone)
{
    return QStringLiteral("{%1 \"current\": %2, \"daily\": %3}")
        .arg(QLatin1String(zone), QLatin1String(current), QLatin1String(daily))
        .toUtf8();
}

const char kZone[] = "\"timezone\": \"Europe/Prague\", \"utc_offset_seconds\": 3600,";
const char kCurrent[] = "{\"time\": \"2026-12-10T13:45\", \"temperature_2m\": 4.1}";
const char kDaily[] = "{\"time\": [\"2026-12-10\"], \"weather_code\": [3]}";

struct BrokenCase {
    const char *what;
    QByteArray body;
    int httpStatus;
    TFailureKind kind;
    const char *message; // the failure's message starts with this
    int line;            // 0: none named
    int column;
};

void PrintTo(const BrokenCase &c, std::ostream *out)
{
    *out << c.what;
}

class OpenMeteoBrokenTest : public ::testing::TestWithParam<BrokenCase>
{
};

TEST_P(OpenMeteoBrokenTest, GivesItsFailureAndLeavesTheRecords)
{
    const BrokenCase &c = GetParam();
    TOpenMeteoWeather weather;
    weather.Current.City.Name = QStringLiteral("kept");
    TFetchFailure failure;
    EXPECT_FALSE(ParseOpenMeteoForecast(c.body, c.httpStatus, Request("metric", 3), weather, failure));
    EXPECT_EQ(failure.Kind, c.kind);
    EXPECT_TRUE(failure.Message.startsWith(QString::fromUtf8(c.message))) << failure.Message.toStdString();
    EXPECT_EQ(failure.HttpStatus, c.httpStatus);
    EXPECT_EQ(failure.Line, c.line);
    EXPECT_EQ(failure.Column, c.column);
    EXPECT_EQ(weather.Current.City.Name, QStringLiteral("kept"));
    EXPECT_TRUE(weather.Days.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    OpenMeteo, OpenMeteoBrokenTest,
    ::testing::Values(
        BrokenCase{"empty", QByteArray(), 200, TFailureKind::NoAnswer, "No data received", 0, 0},
        BrokenCase{"reason",
                   "{\"error\":true,\"reason\":\"Cannot initialize WeatherVariable from invalid String value "
                   "tempeture_2m for key hourly\"}",
                   400, TFailureKind::HttpStatus,
                   "Cannot initialize WeatherVariable from invalid String value tempeture_2m for key hourly", 0, 0},
        // Brackets in a text do not count as nesting.
        BrokenCase{"reasonWithBrackets",
                   "{\"error\": true, \"reason\": \"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[ {{{{{{{{{{{{{{{{{{\"}",
                   400, TFailureKind::HttpStatus, "[[[[[[[[[[[[[[[[[[[[", 0, 0},
        BrokenCase{"reasonOnOneLine", "{\"error\": true, \"reason\": \"first\\nsecond\\u0007\"}", 429,
                   TFailureKind::HttpStatus, "first second", 0, 0},
        BrokenCase{"errorWithoutReason", "{\"error\": true}", 400, TFailureKind::HttpStatus,
                   "The service reported an error", 0, 0},
        BrokenCase{"errorWithOkStatus", "{\"error\": true, \"reason\": \"bad\"}", 200, TFailureKind::HttpStatus, "bad",
                   0, 0},
        BrokenCase{"htmlErrorPage", "<html><body>Bad Gateway</body></html>", 502, TFailureKind::HttpStatus,
                   "The service answered HTTP 502", 0, 0},
        BrokenCase{"html", "<!DOCTYPE html>\n<html></html>", 200, TFailureKind::BadDocument, "", 1, 2},
        // The parser's offset is turned into a line and a column in characters
        // (the end of the text, just after the two bytes of "ä").
        BrokenCase{"cutShort", "{\n  \"current\": {\n    \"time\": \"2026-12-10Tä", 200, TFailureKind::BadDocument,
                   "", 3, 26},
        BrokenCase{"tooDeep", QByteArray(100000, '['), 200, TFailureKind::BadDocument,
                   "The answer is nested deeper than 16 levels (line 1, column 17)", 1, 17},
        BrokenCase{"notAnObject", "[1, 2]", 200, TFailureKind::BadDocument, "Bad format", 0, 0},
        BrokenCase{"noCurrent", MinimalForecast("null", kDaily, kZone), 200, TFailureKind::BadDocument,
                   "The answer holds no current weather", 0, 0},
        BrokenCase{"currentNotAnObject", MinimalForecast("[4.1]", kDaily, kZone), 200, TFailureKind::BadDocument,
                   "The answer holds no current weather", 0, 0},
        BrokenCase{"noDaily", MinimalForecast(kCurrent, "7", kZone), 200, TFailureKind::BadDocument,
                   "The answer holds no daily forecast", 0, 0},
        BrokenCase{"noReadableDay", MinimalForecast(kCurrent, "{\"time\": [\"10.12.2026\", 20261210, null]}", kZone),
                   200, TFailureKind::BadDocument, "The answer holds no daily forecast", 0, 0},
        BrokenCase{"noZone", MinimalForecast(kCurrent, kDaily, ""), 200, TFailureKind::BadDocument,
                   "The answer names no usable time zone", 0, 0},
        BrokenCase{"absurdOffset", MinimalForecast(kCurrent, kDaily, "\"utc_offset_seconds\": 86400,"), 200,
                   TFailureKind::BadDocument, "The answer names no usable time zone", 0, 0}),
    [](const ::testing::TestParamInfo<BrokenCase> &param) { return std::string(param.param.what); });

// A fixed offset alone places the times when the answer names no zone.
TEST(OpenMeteoParse, AFixedOffsetAloneIsEnough)
{
    ASSERT_EQ(CurrentZone(), kGoldenZone);
    TOpenMeteoWeather weather;
    TFetchFailure failure;
    ASSERT_TRUE(ParseOpenMeteoForecast(MinimalForecast(kCurrent, kDaily, "\"utc_offset_seconds\": 3600,"), 200,
                                       Request("metric", 3), weather, failure))
        << failure.Message.toStdString();
    // 13:45 at UTC+1 is 21:45 in Tokyo.
    EXPECT_EQ(DumpRecord(weather.Current).section(QLatin1Char('\n'), -2, -2).toStdString(),
              "Times: TimeStamp=46366.906250 (2026-12-10 21:45:00)");
}

// A day row shows the place's date in every zone the machine may be in, and
// an hour is the same instant wherever it is read.
TEST(ZonedOpenMeteoTimes, DaysKeepThePlacesDateAndHoursTheirInstant)
{
    TOpenMeteoWeather weather;
    TFetchFailure failure;
    ASSERT_TRUE(ParseOpenMeteoForecast(ReadFixture(QStringLiteral("om_forecast.json")), 200, Request("metric", 3),
                                       weather, failure));
    ASSERT_EQ(weather.Days.size(), 3);
    EXPECT_EQ(QDateTimeFromDateTime(weather.Days[0].TimeStamp).date(), QDate(2026, 3, 28));
    EXPECT_EQ(QDateTimeFromDateTime(weather.Days[2].TimeStamp).date(), QDate(2026, 3, 30));
    ASSERT_EQ(weather.Hours.size(), 4);
    // 01:00 CET and 03:00 CEST are 00:00 and 01:00 UTC.
    EXPECT_EQ(QDateTimeFromDateTime(weather.Hours[1].FromTime).toUTC(),
              QDateTime(QDate(2026, 3, 29), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(QDateTimeFromDateTime(weather.Hours[2].FromTime).toUTC(),
              QDateTime(QDate(2026, 3, 29), QTime(1, 0), Qt::UTC));
}

TEST(OpenMeteoPlaces, NoPlaceAndBrokenListsAreTold)
{
    const struct {
        const char *body;
        TFailureKind kind;
    } cases[] = {
        {"{\"generationtime_ms\": 0.5}", TFailureKind::PlaceNotFound},
        {"{\"results\": []}", TFailureKind::PlaceNotFound},
        {"{\"results\": null}", TFailureKind::PlaceNotFound},
        {"{\"results\": {\"name\": \"London\"}}", TFailureKind::BadDocument},
        {"{\"results\": [{\"name\": \"London\"}, 7]}", TFailureKind::BadDocument},
        {"{\"error\": true, \"reason\": \"Parameter count must be between 1 and 100.\"}", TFailureKind::HttpStatus},
        {"<html>", TFailureKind::BadDocument},
    };
    for (const auto &c : cases) {
        TCities cities{TCity()};
        TFetchFailure failure;
        EXPECT_FALSE(ParseOpenMeteoPlaces(QByteArray(c.body), 200, cities, failure)) << c.body;
        EXPECT_EQ(failure.Kind, c.kind) << c.body;
        EXPECT_FALSE(failure.Message.isEmpty()) << c.body;
        EXPECT_EQ(cities.size(), 1) << c.body; // untouched
    }
}

// The condition texts of the English language file, by their codes.
QSet<int> EnglishConditionCodes()
{
    QFile file(QStringLiteral(NIMBREL_SOURCE_DIR "/data/langs/Nimbrel.en.lng"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression key(QStringLiteral("^wth_(\\d+)="));
    QSet<int> codes;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QRegularExpressionMatch m = key.match(QString::fromUtf8(line));
        if (m.hasMatch())
            codes.insert(m.captured(1).toInt());
    }
    return codes;
}

TEST(WmoCondition, EveryDocumentedCodeHasATextAndItsPicture)
{
    const QSet<int> texts = EnglishConditionCodes();
    ASSERT_FALSE(texts.isEmpty());
    // The service's documented codes and the condition each shows.
    const struct {
        int wmo;
        int code;
        const char *picture;
    } table[] = {
        {0, 800, "01"},  {1, 801, "02"},  {2, 802, "03"},  {3, 804, "04"},  {45, 741, "50"}, {48, 741, "50"},
        {51, 300, "09"}, {53, 301, "09"}, {55, 302, "09"}, {56, 511, "13"}, {57, 511, "13"}, {61, 500, "10"},
        {63, 501, "10"}, {65, 502, "10"}, {66, 511, "13"}, {67, 511, "13"}, {71, 600, "13"}, {73, 601, "13"},
        {75, 602, "13"}, {77, 600, "13"}, {80, 520, "09"}, {81, 521, "09"}, {82, 522, "09"}, {85, 620, "13"},
        {86, 622, "13"}, {95, 211, "11"}, {96, 201, "11"}, {99, 202, "11"},
    };
    for (const auto &entry : table) {
        const TWmoCondition day = WmoCondition(entry.wmo, true);
        const TWmoCondition night = WmoCondition(entry.wmo, false);
        EXPECT_EQ(day.Code, entry.code) << entry.wmo;
        EXPECT_EQ(night.Code, entry.code) << entry.wmo;
        EXPECT_TRUE(texts.contains(day.Code)) << "no wth_" << day.Code << " for WMO " << entry.wmo;
        EXPECT_EQ(day.Picture, QLatin1String(entry.picture) + QLatin1Char('d')) << entry.wmo;
        EXPECT_EQ(night.Picture, QLatin1String(entry.picture) + QLatin1Char('n')) << entry.wmo;
    }
}

TEST(WmoCondition, UndocumentedCodesFallBackByGroupOrToNothing)
{
    const struct {
        int wmo;
        int code;
        const char *picture;
    } table[] = {
        {58, 301, "09d"}, {49, 741, "50d"}, {92, 211, "11d"}, {79, 601, "13d"},
        {4, 0, ""},       {39, 0, ""},      {100, 0, ""},     {-1, 0, ""},      {-2147483647 - 1, 0, ""},
    };
    for (const auto &entry : table) {
        const TWmoCondition condition = WmoCondition(entry.wmo, true);
        EXPECT_EQ(condition.Code, entry.code) << entry.wmo;
        EXPECT_EQ(condition.Picture, QLatin1String(entry.picture)) << entry.wmo;
    }
}

QUrlQuery QueryOf(const QString &pathAndQuery)
{
    return QUrlQuery(pathAndQuery.section(QLatin1Char('?'), 1));
}

TEST(OpenMeteoQuery, UnitsFollowTheRequest)
{
    const QUrlQuery metric = QueryOf(OpenMeteoForecastQuery(Request("metric", 3)));
    EXPECT_EQ(metric.queryItemValue(QStringLiteral("temperature_unit")), QStringLiteral("celsius"));
    EXPECT_EQ(metric.queryItemValue(QStringLiteral("wind_speed_unit")), QStringLiteral("ms"));
    EXPECT_EQ(metric.queryItemValue(QStringLiteral("precipitation_unit")), QStringLiteral("mm"));
    const QUrlQuery imperial = QueryOf(OpenMeteoForecastQuery(Request("imperial", 3)));
    EXPECT_EQ(imperial.queryItemValue(QStringLiteral("temperature_unit")), QStringLiteral("fahrenheit"));
    EXPECT_EQ(imperial.queryItemValue(QStringLiteral("wind_speed_unit")), QStringLiteral("mph"));
    EXPECT_EQ(imperial.queryItemValue(QStringLiteral("precipitation_unit")), QStringLiteral("inch"));
    EXPECT_EQ(imperial.queryItemValue(QStringLiteral("timezone")), QStringLiteral("auto"));
    for (const char *section : {"current", "daily", "hourly"})
        EXPECT_FALSE(imperial.queryItemValue(QLatin1String(section)).isEmpty()) << section;
    EXPECT_TRUE(OpenMeteoForecastQuery(Request("metric", 3)).startsWith(QStringLiteral("/v1/forecast?")));
}

TEST(OpenMeteoQuery, DaysAreClampedToWhatTheServiceGives)
{
    const struct {
        int asked;
        const char *sent;
    } table[] = {{0, "1"}, {1, "1"}, {7, "7"}, {16, "16"}, {17, "16"}, {255, "16"}};
    for (const auto &entry : table) {
        EXPECT_EQ(QueryOf(OpenMeteoForecastQuery(Request("metric", entry.asked)))
                      .queryItemValue(QStringLiteral("forecast_days")),
                  QLatin1String(entry.sent))
            << entry.asked;
    }
}

TEST(OpenMeteoQuery, CoordinatesAreWrittenWithADotWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TRequestRecord request = Request("metric", 3);
    request.Latitude = -33.86785;
    request.Longitude = 151.2;
    const QUrlQuery query = QueryOf(OpenMeteoForecastQuery(request));
    request.Latitude = -0.000001;
    request.Longitude = 0;
    const QUrlQuery nearZero = QueryOf(OpenMeteoForecastQuery(request));
    QLocale::setDefault(previous);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("latitude")), QStringLiteral("-33.86785"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("longitude")), QStringLiteral("151.2"));
    EXPECT_EQ(nearZero.queryItemValue(QStringLiteral("latitude")), QStringLiteral("0"));
    EXPECT_EQ(nearZero.queryItemValue(QStringLiteral("longitude")), QStringLiteral("0"));
}

TEST(OpenMeteoQuery, SearchEncodesTheNameAndAsksInTheUsersLanguage)
{
    TRequestRecord request;
    request.LocationName = QStringLiteral(" São Paulo&x=1\n");
    const struct {
        const char *language;
        const char *sent;
    } table[] = {{"de", "de"}, {"pt_BR", "pt"}, {"zh-CN", "zh"}, {"", "en"}, {"x&y", "en"}, {"ÄÖ", "en"}};
    for (const auto &entry : table) {
        const QString query = OpenMeteoSearchQuery(request, QString::fromUtf8(entry.language));
        EXPECT_TRUE(query.startsWith(QStringLiteral("/v1/search?name=S%C3%A3o+Paulo%26x%3D1&"))) << query.toStdString();
        EXPECT_EQ(QueryOf(query).queryItemValue(QStringLiteral("language")), QLatin1String(entry.sent))
            << entry.language;
        EXPECT_EQ(QueryOf(query).queryItemValue(QStringLiteral("format")), QStringLiteral("json"));
    }
}

} // namespace
