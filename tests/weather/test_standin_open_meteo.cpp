// The stand-in service's keyless paths (/v1/forecast, /v1/search): the shapes
// the keyless service answers in, its parameters and its errors, the same
// faults as the other paths, and weather that agrees with the other paths'.
#include "HttpGet.h"
#include "StandIn.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>
#include <memory>

namespace {

const QString kPrague = QStringLiteral("latitude=50.088&longitude=14.4208");
const QString kCurrent = QStringLiteral(
    "current=temperature_2m,relative_humidity_2m,weather_code,cloud_cover,pressure_msl,wind_speed_10m,"
    "wind_direction_10m,precipitation,is_day");
const QString kDaily = QStringLiteral(
    "daily=weather_code,temperature_2m_max,temperature_2m_min,precipitation_sum,wind_speed_10m_max,"
    "wind_direction_10m_dominant,sunrise,sunset");
const QString kHourly = QStringLiteral("hourly=temperature_2m,weather_code,precipitation_probability,is_day");

// The WMO codes the service uses.
const QList<int> kWmoCodes = {0, 1, 2, 3, 45, 48, 51, 53, 55, 56, 57, 61, 63, 65, 66, 67,
                              71, 73, 75, 77, 80, 81, 82, 85, 86, 95, 96, 99};

struct TAnswer {
    int Status = 0;
    QByteArray Body;
    QJsonObject Json;
};

class StandInOpenMeteoTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        service_ = std::make_unique<TStandIn>();
        listening_ = service_->WaitUntilListening();
    }
    static void TearDownTestSuite() { service_.reset(); }

    void SetUp() override { ASSERT_TRUE(listening_) << "the stand-in service did not start"; }
    void TearDown() override { service_->SetFault(QStringLiteral("none")); }

    static TAnswer Get(const QString &pathAndQuery)
    {
        TAnswer answer;
        THttpOptions options;
        options.MaxBodyBytes = 8 * 1024 * 1024;
        HttpGetToStream(service_->Base() + pathAndQuery, QString(), QString(), answer.Body, 0, options,
                        &answer.Status);
        answer.Json = QJsonDocument::fromJson(answer.Body).object();
        return answer;
    }

    static TAnswer Forecast(const QString &query) { return Get(QStringLiteral("/v1/forecast?") + query); }

    static inline std::unique_ptr<TStandIn> service_;
    static inline bool listening_ = false;
};

QString Join(std::initializer_list<QString> parts)
{
    return QStringList(parts).join(QLatin1Char('&'));
}

void ExpectError(const TAnswer &answer)
{
    EXPECT_EQ(answer.Status, 400) << answer.Body.toStdString();
    EXPECT_EQ(answer.Json.value(QStringLiteral("error")), QJsonValue(true)) << answer.Body.toStdString();
    EXPECT_FALSE(answer.Json.value(QStringLiteral("reason")).toString().isEmpty()) << answer.Body.toStdString();
}

} // namespace

TEST_F(StandInOpenMeteoTest, AForecastInTheServicesShape)
{
    const TAnswer answer =
        Forecast(Join({kPrague, QStringLiteral("timezone=auto&forecast_days=3"), kCurrent, kDaily, kHourly}));
    ASSERT_EQ(answer.Status, 200) << answer.Body.toStdString();
    const QJsonObject &json = answer.Json;
    EXPECT_EQ(json.value(QStringLiteral("timezone")).toString(), QStringLiteral("Europe/Prague"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QTimeZone prague("Europe/Prague");
    EXPECT_EQ(json.value(QStringLiteral("utc_offset_seconds")).toInt(), prague.offsetFromUtc(now));

    // The current values: each asked for, with its unit, at the last quarter
    // hour in the place's time.
    const QJsonObject current = json.value(QStringLiteral("current")).toObject();
    const QJsonObject currentUnits = json.value(QStringLiteral("current_units")).toObject();
    for (const QString &name : kCurrent.section(QLatin1Char('='), 1).split(QLatin1Char(','))) {
        EXPECT_TRUE(current.value(name).isDouble()) << name.toStdString();
        EXPECT_TRUE(currentUnits.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(currentUnits.value(QStringLiteral("temperature_2m")).toString(), QStringLiteral("°C"));
    EXPECT_EQ(currentUnits.value(QStringLiteral("wind_speed_10m")).toString(), QStringLiteral("km/h"));
    const QDateTime currentTime = QDateTime::fromString(current.value(QStringLiteral("time")).toString(),
                                                        QStringLiteral("yyyy-MM-ddTHH:mm"));
    ASSERT_TRUE(currentTime.isValid()) << current.value(QStringLiteral("time")).toString().toStdString();
    EXPECT_EQ(currentTime.time().minute() % 15, 0);
    EXPECT_LE(std::abs(QDateTime(currentTime.date(), currentTime.time(), prague).secsTo(now)), 15 * 60 + 60);
    EXPECT_TRUE(kWmoCodes.contains(current.value(QStringLiteral("weather_code")).toInt()));
    EXPECT_TRUE(current.value(QStringLiteral("is_day")).toInt() == 0 || current.value(QStringLiteral("is_day")).toInt() == 1);

    // The days: parallel arrays from the place's today.
    const QJsonObject daily = json.value(QStringLiteral("daily")).toObject();
    const QJsonArray days = daily.value(QStringLiteral("time")).toArray();
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days.at(0).toString(), now.toTimeZone(prague).date().toString(Qt::ISODate));
    for (auto column = daily.constBegin(); column != daily.constEnd(); ++column)
        EXPECT_EQ(column.value().toArray().size(), 3) << column.key().toStdString();
    EXPECT_EQ(json.value(QStringLiteral("daily_units")).toObject().value(QStringLiteral("sunrise")).toString(),
              QStringLiteral("iso8601"));
    for (int d = 0; d < days.size(); ++d) {
        SCOPED_TRACE(d);
        EXPECT_LE(daily.value(QStringLiteral("temperature_2m_min")).toArray().at(d).toDouble(),
                  daily.value(QStringLiteral("temperature_2m_max")).toArray().at(d).toDouble());
        EXPECT_TRUE(kWmoCodes.contains(daily.value(QStringLiteral("weather_code")).toArray().at(d).toInt()));
        const QString rise = daily.value(QStringLiteral("sunrise")).toArray().at(d).toString();
        const QString set = daily.value(QStringLiteral("sunset")).toArray().at(d).toString();
        EXPECT_TRUE(rise.startsWith(days.at(d).toString())) << rise.toStdString();
        EXPECT_LT(rise, set);
    }

    // The hours: 24 a day, on the hour.
    const QJsonObject hourly = json.value(QStringLiteral("hourly")).toObject();
    const QJsonArray hours = hourly.value(QStringLiteral("time")).toArray();
    ASSERT_EQ(hours.size(), 72);
    EXPECT_EQ(hours.at(0).toString(), days.at(0).toString() + QStringLiteral("T00:00"));
    for (auto column = hourly.constBegin(); column != hourly.constEnd(); ++column)
        EXPECT_EQ(column.value().toArray().size(), 72) << column.key().toStdString();
    for (const QJsonValue chance : hourly.value(QStringLiteral("precipitation_probability")).toArray())
        EXPECT_TRUE(chance.toInt() >= 0 && chance.toInt() <= 100);
}

TEST_F(StandInOpenMeteoTest, ForecastDaysAndTimeZones)
{
    const struct {
        const char *Query;
        int Days;
        const char *Zone;
    } cases[] = {
        {"", 7, "GMT"},
        {"forecast_days=1&timezone=auto", 1, "Europe/Prague"},
        {"forecast_days=16&timezone=Asia/Tokyo", 16, "Asia/Tokyo"},
        {"forecast_days=0", 0, "GMT"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Query);
        const TAnswer answer = Forecast(Join({kPrague, QStringLiteral("daily=weather_code"), QLatin1String(c.Query)}));
        ASSERT_EQ(answer.Status, 200) << answer.Body.toStdString();
        EXPECT_EQ(answer.Json.value(QStringLiteral("daily")).toObject().value(QStringLiteral("time")).toArray().size(),
                  c.Days);
        EXPECT_EQ(answer.Json.value(QStringLiteral("timezone")).toString(), QLatin1String(c.Zone));
    }
}

TEST_F(StandInOpenMeteoTest, BadParametersAreRefusedWithAReason)
{
    for (const char *query : {"longitude=14.4", "latitude=50&longitude=x", "latitude=91&longitude=0",
                              "latitude=0&longitude=-180.5", "latitude=nan&longitude=0",
                              "latitude=50&longitude=14&forecast_days=17", "latitude=50&longitude=14&forecast_days=-1",
                              "latitude=50&longitude=14&forecast_days=seven",
                              "latitude=50&longitude=14&temperature_unit=kelvin",
                              "latitude=50&longitude=14&wind_speed_unit=furlongs",
                              "latitude=50&longitude=14&precipitation_unit=cm",
                              "latitude=50&longitude=14&current=temperature_2m,sunshine",
                              "latitude=50&longitude=14&daily=temperature_2m",
                              "latitude=50&longitude=14&timezone=Mars/Olympus"}) {
        SCOPED_TRACE(query);
        ExpectError(Forecast(QLatin1String(query)));
    }
}

TEST_F(StandInOpenMeteoTest, UnitsConvertTheSameWeather)
{
    const QString asked = Join({kPrague, QStringLiteral("timezone=auto&forecast_days=2"), kCurrent, kDaily});
    const TAnswer metric = Forecast(asked);
    const TAnswer imperial = Forecast(
        Join({asked, QStringLiteral("temperature_unit=fahrenheit&wind_speed_unit=mph&precipitation_unit=inch")}));
    const TAnswer older = Forecast(Join({asked, QStringLiteral("windspeed_unit=ms")}));
    ASSERT_EQ(metric.Status, 200);
    ASSERT_EQ(imperial.Status, 200);
    ASSERT_EQ(older.Status, 200);
    const QJsonObject units = imperial.Json.value(QStringLiteral("daily_units")).toObject();
    EXPECT_EQ(units.value(QStringLiteral("temperature_2m_max")).toString(), QStringLiteral("°F"));
    EXPECT_EQ(units.value(QStringLiteral("wind_speed_10m_max")).toString(), QStringLiteral("mp/h"));
    EXPECT_EQ(units.value(QStringLiteral("precipitation_sum")).toString(), QStringLiteral("inch"));
    EXPECT_EQ(older.Json.value(QStringLiteral("daily_units")).toObject().value(QStringLiteral("wind_speed_10m_max")),
              QJsonValue(QStringLiteral("m/s")));

    auto day = [](const TAnswer &answer, const char *name) {
        return answer.Json.value(QStringLiteral("daily")).toObject().value(QLatin1String(name)).toArray().at(1).toDouble();
    };
    EXPECT_NEAR(day(imperial, "temperature_2m_max"), day(metric, "temperature_2m_max") * 9 / 5 + 32, 0.2);
    EXPECT_NEAR(day(imperial, "wind_speed_10m_max"), day(metric, "wind_speed_10m_max") / 1.609344, 0.2);
    EXPECT_NEAR(day(older, "wind_speed_10m_max"), day(metric, "wind_speed_10m_max") / 3.6, 0.05);
    EXPECT_NEAR(day(imperial, "precipitation_sum"), day(metric, "precipitation_sum") / 25.4, 0.01);
}

// The keyless paths and the others tell the same weather for the same city
// and time, and the same request gets the same answer; a place away from every
// known city gets weather of its own.
TEST_F(StandInOpenMeteoTest, TheSameWeatherAsTheOtherPathsAndDeterministic)
{
    const QString asked = Join({kPrague, QStringLiteral("timezone=auto"), kCurrent, kDaily, kHourly});
    const TAnswer first = Forecast(asked);
    const TAnswer again = Forecast(asked);
    ASSERT_EQ(first.Status, 200);
    EXPECT_EQ(first.Json.value(QStringLiteral("daily")), again.Json.value(QStringLiteral("daily")));
    EXPECT_EQ(first.Json.value(QStringLiteral("hourly")), again.Json.value(QStringLiteral("hourly")));

    const TAnswer owm = Get(QStringLiteral("/data/2.5/weather?id=3067696&units=metric&appid=demo"));
    ASSERT_EQ(owm.Status, 200);
    const QRegularExpressionMatch temperature =
        QRegularExpression(QStringLiteral("<temperature value=\"(-?[0-9.]+)\"")).match(QString::fromUtf8(owm.Body));
    ASSERT_TRUE(temperature.hasMatch()) << owm.Body.toStdString();
    const QJsonObject current = first.Json.value(QStringLiteral("current")).toObject();
    // A quarter hour apart at most: the made-up weather changes little in that time.
    EXPECT_NEAR(current.value(QStringLiteral("temperature_2m")).toDouble(), temperature.captured(1).toDouble(), 1.5);

    const TAnswer elsewhere = Forecast(Join({QStringLiteral("latitude=-45.5&longitude=170.25&timezone=auto"), kCurrent}));
    ASSERT_EQ(elsewhere.Status, 200) << elsewhere.Body.toStdString();
    const double there = elsewhere.Json.value(QStringLiteral("current")).toObject().value(QStringLiteral("temperature_2m")).toDouble();
    EXPECT_GT(there, -60.0);
    EXPECT_LT(there, 60.0);
    EXPECT_EQ(elsewhere.Json.value(QStringLiteral("utc_offset_seconds")).toInt() % 3600, 0);
}

TEST_F(StandInOpenMeteoTest, PlaceSearch)
{
    const TAnswer london = Get(QStringLiteral("/v1/search?name=london&count=10&language=en&format=json"));
    ASSERT_EQ(london.Status, 200);
    const QJsonArray results = london.Json.value(QStringLiteral("results")).toArray();
    ASSERT_EQ(results.size(), 2);
    // The larger place first.
    const QJsonObject first = results.at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("id")).toInteger(), 2643743);
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("London"));
    EXPECT_EQ(first.value(QStringLiteral("country_code")).toString(), QStringLiteral("GB"));
    EXPECT_EQ(first.value(QStringLiteral("country")).toString(), QStringLiteral("United Kingdom"));
    EXPECT_EQ(first.value(QStringLiteral("admin1")).toString(), QStringLiteral("England"));
    EXPECT_EQ(first.value(QStringLiteral("timezone")).toString(), QStringLiteral("Europe/London"));
    EXPECT_NEAR(first.value(QStringLiteral("latitude")).toDouble(), 51.5085, 1e-6);
    EXPECT_NEAR(first.value(QStringLiteral("longitude")).toDouble(), -0.1257, 1e-6);
    EXPECT_GT(first.value(QStringLiteral("population")).toInteger(),
              results.at(1).toObject().value(QStringLiteral("population")).toInteger());

    const struct {
        const char *Query;
        int Found; // -1: no "results" at all
    } cases[] = {
        {"name=London&countryCode=CA", 1}, {"name=London&count=1", 1}, {"name=San", 1},
        {"name=Lo", -1},                   {"name=zzz", -1},           {"name=", -1},
        {"name=Singapore", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Query);
        const TAnswer answer = Get(QStringLiteral("/v1/search?") + QLatin1String(c.Query));
        ASSERT_EQ(answer.Status, 200);
        EXPECT_EQ(answer.Json.contains(QStringLiteral("results")), c.Found >= 0);
        if (c.Found >= 0) {
            EXPECT_EQ(answer.Json.value(QStringLiteral("results")).toArray().size(), c.Found);
        }
    }
    // A place without a region has no "admin1".
    EXPECT_FALSE(Get(QStringLiteral("/v1/search?name=Singapore"))
                     .Json.value(QStringLiteral("results")).toArray().at(0).toObject().contains(QStringLiteral("admin1")));
    ExpectError(Get(QStringLiteral("/v1/search?count=3")));
    ExpectError(Get(QStringLiteral("/v1/search?name=London&count=0")));
    ExpectError(Get(QStringLiteral("/v1/search?name=London&count=101")));
}

// The faults strike the keyless paths as they strike the others, in JSON
// where the service answers JSON; one aimed at a path spares the rest.
TEST_F(StandInOpenMeteoTest, FaultsStrikeTheKeylessPathsToo)
{
    const QString forecast = Join({kPrague, kCurrent});
    ASSERT_TRUE(service_->SetFault(QStringLiteral("json-429")));
    TAnswer answer = Forecast(forecast);
    EXPECT_EQ(answer.Status, 429);
    EXPECT_EQ(answer.Json.value(QStringLiteral("error")), QJsonValue(true)) << answer.Body.toStdString();
    EXPECT_EQ(Get(QStringLiteral("/v1/search?name=Berlin")).Status, 429);

    ASSERT_TRUE(service_->SetFault(QStringLiteral("html-503"), QStringLiteral("/v1/search")));
    EXPECT_EQ(Get(QStringLiteral("/v1/search?name=Berlin")).Status, 503);
    EXPECT_EQ(Forecast(forecast).Status, 200);

    ASSERT_TRUE(service_->SetFault(QStringLiteral("huge")));
    answer = Forecast(forecast);
    EXPECT_GE(answer.Body.size(), 5 * 1024 * 1024);
    EXPECT_TRUE(answer.Body.startsWith('{'));

    ASSERT_TRUE(service_->SetFault(QStringLiteral("entities")));
    answer = Forecast(forecast);
    EXPECT_TRUE(answer.Body.contains(QByteArray(1000, '[')));

    ASSERT_TRUE(service_->SetFault(QStringLiteral("bad-utf8")));
    answer = Forecast(forecast);
    EXPECT_TRUE(answer.Body.contains("\"timezone\":\"\x80"));

    ASSERT_TRUE(service_->SetFault(QStringLiteral("close")));
    answer = Forecast(forecast);
    EXPECT_TRUE(answer.Json.isEmpty());

    ASSERT_TRUE(service_->SetFault(QStringLiteral("none")));
    EXPECT_EQ(Forecast(forecast).Status, 200);
}
