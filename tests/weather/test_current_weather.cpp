#include "DateTimeConv.h"
#include "Fixture.h"
#include "LoopbackServer.h"
#include "XmlValues.h"
#include "ZoneCase.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

// Serves one body for the current weather path and remembers what was asked.
class CurrentWeatherService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.http.Get("/data/2.5/weather", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard<std::mutex> lock(mutex);
            lastTarget = req.target;
            res.set_content(body.toStdString(), "text/xml");
        });
        ASSERT_TRUE(server.Start());
        request.Key = QStringLiteral("k123");
        request.LocationID = 3067696;
        request.Units = QStringLiteral("metric");
        request.Lang = QStringLiteral("en");
    }

    void Serve(const QByteArray &document)
    {
        std::lock_guard<std::mutex> lock(mutex);
        body = document;
    }

    std::string LastTarget()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lastTarget;
    }

    bool Fetch(TWeatherRecord &record)
    {
        TOwmClient client(server.BaseUrl(), server.BaseUrl());
        return client.GetCurrentWeather(request, record);
    }

    LoopbackServer server;
    std::mutex mutex;
    QByteArray body;
    std::string lastTarget;
    TRequestRecord request;
};

TEST_F(CurrentWeatherService, MapsAFullDocumentFieldByField)
{
    Serve(ReadFixture(QStringLiteral("current_full.xml")));
    TWeatherRecord r;
    ASSERT_TRUE(Fetch(r)) << request.ErrorMessage.toStdString();
    EXPECT_TRUE(request.ErrorMessage.isEmpty());

    EXPECT_EQ(r.City.ID, 3067696);
    EXPECT_EQ(r.City.Name, QStringLiteral("Prague"));
    EXPECT_DOUBLE_EQ(r.City.Lon, 14.42);
    EXPECT_DOUBLE_EQ(r.City.Lat, 50.09);
    EXPECT_EQ(r.City.Country, QStringLiteral("CZ"));
    EXPECT_DOUBLE_EQ(r.City.Sunrise, XmlTimeToLocal(QStringLiteral("2026-12-09T06:45:12")));
    EXPECT_DOUBLE_EQ(r.City.Sunset, XmlTimeToLocal(QStringLiteral("2026-12-09T15:01:40")));
    EXPECT_NE(r.City.Sunrise, kNoDateTime);

    EXPECT_DOUBLE_EQ(r.Temp.Value.Value, -1.5);
    EXPECT_DOUBLE_EQ(r.Temp.Value.Min, -3.25);
    EXPECT_DOUBLE_EQ(r.Temp.Value.Max, 0.75);
    EXPECT_EQ(r.Temp.Value.Units, QStringLiteral("°C"));
    EXPECT_EQ(r.Temp.Night, 0);
    EXPECT_EQ(r.Temp.Eve, 0);
    EXPECT_EQ(r.Temp.Morn, 0);

    EXPECT_DOUBLE_EQ(r.Humidity.Value, 86);
    EXPECT_EQ(r.Humidity.Units, QStringLiteral("%"));
    EXPECT_DOUBLE_EQ(r.Pressure.Value, 1021);
    EXPECT_EQ(r.Pressure.Units, QStringLiteral("hPa"));

    EXPECT_DOUBLE_EQ(r.Wind.Speed.Value, 14.4);
    EXPECT_EQ(r.Wind.Speed.Units, QStringLiteral("km/h"));
    EXPECT_EQ(r.Wind.Speed.Name, QStringLiteral("Gentle Breeze"));
    EXPECT_DOUBLE_EQ(r.Wind.Direction.Value, 290);
    EXPECT_EQ(r.Wind.Direction.Code, QStringLiteral("WNW"));
    EXPECT_EQ(r.Wind.Direction.Name, QStringLiteral("West-northwest"));

    EXPECT_DOUBLE_EQ(r.Clouds.Value, 75);
    EXPECT_EQ(r.Clouds.Name, QStringLiteral("broken clouds"));
    EXPECT_EQ(r.Clouds.Units, QStringLiteral("%"));

    EXPECT_DOUBLE_EQ(r.Precipitation.Value, 0.25);
    EXPECT_EQ(r.Precipitation.Name, QStringLiteral("snow"));
    EXPECT_EQ(r.Precipitation.Units, QStringLiteral("1h"));

    EXPECT_EQ(r.Weather.Code, QStringLiteral("600"));
    EXPECT_DOUBLE_EQ(r.Weather.Value, 600);
    EXPECT_EQ(r.Weather.Name, QStringLiteral("light snow"));
    EXPECT_EQ(r.Weather.Icon, QStringLiteral("13n.png"));

    EXPECT_DOUBLE_EQ(r.TimeStamp, XmlTimeToLocal(QStringLiteral("2026-12-09T21:30:00")));

    // What no current weather fills stays cleared.
    EXPECT_EQ(r.Visibility.Value, 0);
    EXPECT_TRUE(r.Visibility.Name.isEmpty());
    EXPECT_EQ(r.FromTime, 0);
    EXPECT_EQ(r.ToTime, 0);
    EXPECT_EQ(r._MoonPhaseTime, 0);
    EXPECT_TRUE(r._MoonPhaseText.isEmpty());
    EXPECT_EQ(r._MoonPhase, 0);
}

TEST_F(CurrentWeatherService, LastUpdateIsStoredInLocalTime)
{
    const QByteArray zone = CurrentZone();
    if (zone != "America/New_York" && zone != "Asia/Tokyo")
        GTEST_SKIP() << "runs under TZ=America/New_York and TZ=Asia/Tokyo";
    Serve(ReadFixture(QStringLiteral("current_full.xml")));
    TWeatherRecord r;
    ASSERT_TRUE(Fetch(r));
    const QString local = QDateTimeFromDateTime(r.TimeStamp).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    EXPECT_EQ(local, zone == "Asia/Tokyo" ? QStringLiteral("2026-12-10 06:30")
                                          : QStringLiteral("2026-12-09 16:30"));
}

TEST_F(CurrentWeatherService, UnitRules)
{
    struct {
        const char *units;
        const char *speed;
        double expectedSpeed;
        const char *tempUnit;
        const char *speedUnit;
    } const cases[] = {
        {"metric", "4", 14.4, "°C", "km/h"},
        {"Metric", "4", 14.4, "°C", "km/h"},
        {"METRIC", "10", 36.0, "°C", "km/h"},
        {"imperial", "10", 10 / 1.467, "F", "mph"},
        {"standard", "1.467", 1.0, "F", "mph"},
        {"", "0", 0.0, "F", "mph"},
    };
    for (const auto &c : cases) {
        Serve(QByteArray("<current><temperature value=\"20\"/><wind><speed value=\"") + c.speed
              + "\"/></wind></current>");
        request.Units = QString::fromLatin1(c.units);
        TWeatherRecord r;
        ASSERT_TRUE(Fetch(r)) << c.units;
        EXPECT_NEAR(r.Wind.Speed.Value, c.expectedSpeed, 1e-9) << c.units;
        EXPECT_EQ(r.Temp.Value.Units.toStdString(), c.tempUnit) << c.units;
        EXPECT_EQ(r.Wind.Speed.Units.toStdString(), c.speedUnit) << c.units;
    }
    EXPECT_NEAR(10 / 1.467, 6.82, 0.005);
}

TEST_F(CurrentWeatherService, IconNameRule)
{
    struct {
        const char *weather;
        const char *icon;
    } const cases[] = {
        {R"(<weather number="500" icon="10d"/>)", "10d.png"},
        {R"(<weather number="500" icon="10dx"/>)", "10d.png"},
        {R"(<weather number="500" icon="1"/>)", "1.png"},
        {R"(<weather number="500"/>)", ".png"},
    };
    for (const auto &c : cases) {
        Serve(QByteArray("<current>") + c.weather + "</current>");
        TWeatherRecord r;
        ASSERT_TRUE(Fetch(r));
        EXPECT_EQ(r.Weather.Icon.toStdString(), c.icon) << c.weather;
    }
}

TEST_F(CurrentWeatherService, MissingElementsLeaveFieldsCleared)
{
    Serve(ReadFixture(QStringLiteral("current_full.xml")));
    TWeatherRecord r;
    ASSERT_TRUE(Fetch(r));

    // The same record after an answer with nothing in it: nothing is left over.
    Serve("<current/>");
    ASSERT_TRUE(Fetch(r));
    EXPECT_EQ(r.City.ID, 0);
    EXPECT_TRUE(r.City.Name.isEmpty());
    EXPECT_EQ(r.Temp.Value.Value, 0);
    EXPECT_TRUE(r.Temp.Value.Units.isEmpty());
    EXPECT_TRUE(r.Humidity.Units.isEmpty());
    EXPECT_TRUE(r.Clouds.Units.isEmpty());
    EXPECT_TRUE(r.Precipitation.Units.isEmpty());
    EXPECT_TRUE(r.Wind.Speed.Units.isEmpty());
    EXPECT_TRUE(r.Weather.Icon.isEmpty());
    EXPECT_EQ(r.TimeStamp, 0);

    // Elements without their attributes: the defaults of the unit texts.
    Serve(ReadFixture(QStringLiteral("current_sparse.xml")));
    ASSERT_TRUE(Fetch(r));
    EXPECT_DOUBLE_EQ(r.Humidity.Value, 55);
    EXPECT_EQ(r.Humidity.Units, QStringLiteral("%"));
    EXPECT_EQ(r.Clouds.Units, QStringLiteral("%"));
    EXPECT_EQ(r.Clouds.Value, 0);
    EXPECT_EQ(r.Precipitation.Units, QStringLiteral("mm"));
    EXPECT_EQ(r.Precipitation.Name, QStringLiteral("no"));
    EXPECT_EQ(r.Weather.Icon, QStringLiteral("01d.png"));
    EXPECT_TRUE(r.Pressure.Units.isEmpty());
}

TEST_F(CurrentWeatherService, StrictValuesThrowWithoutErrorMessage)
{
    struct {
        const char *document;
        bool cityFilled;       // the city was read before the failure
        bool temperatureFilled;
    } const cases[] = {
        {R"(<current><city id="12a" name="X"/><temperature value="3"/></current>)", false, false},
        {R"(<current><city id="2147483648" name="X"/></current>)", false, false},
        {R"(<current><city name="X"/></current>)", false, false},
        {R"(<current><city id="7" name="X"><coord lon="14,4" lat="50"/></city></current>)", true, false},
        {R"(<current><city id="7" name="X"/><temperature value="3"/><pressure value=""/></current>)", true, true},
        {R"(<current><city id="7" name="X"/><temperature value="3"/><weather value="rain"/></current>)", true, true},
    };
    for (const auto &c : cases) {
        Serve(c.document);
        TWeatherRecord r;
        r.Humidity.Value = 99; // cleared before the parse, whatever happens then
        request.ErrorMessage = QStringLiteral("old");
        EXPECT_THROW(Fetch(r), EConvertError) << c.document;
        EXPECT_TRUE(request.ErrorMessage.isEmpty()) << c.document;
        EXPECT_EQ(r.Humidity.Value, 0) << c.document;
        EXPECT_EQ(r.City.ID == 7, c.cityFilled) << c.document;
        EXPECT_EQ(r.Temp.Value.Value == 3, c.temperatureFilled) << c.document;
    }
}

TEST_F(CurrentWeatherService, FailureLeavesTheRecordAsItWas)
{
    Serve(ReadFixture(QStringLiteral("current_full.xml")));
    TWeatherRecord r;
    ASSERT_TRUE(Fetch(r));
    Serve(R"({"cod":401, "message": "Invalid API key. Please see the FAQ."})");
    EXPECT_FALSE(Fetch(r));
    EXPECT_EQ(request.ErrorMessage, QStringLiteral("Invalid API key"));
    EXPECT_EQ(r.City.Name, QStringLiteral("Prague"));
    EXPECT_DOUBLE_EQ(r.Temp.Value.Value, -1.5);
}

TEST_F(CurrentWeatherService, RequestUrl)
{
    struct {
        std::int64_t id;
        const char *name;
        const char *units;
        const char *target;
    } const cases[] = {
        {0, "New York", "metric", "/data/2.5/weather?APPID=k123&id=0&mode=xml&units=metric&lang=en"},
        {5128581, "New York", "imperial",
         "/data/2.5/weather?APPID=k123&id=5128581&mode=xml&units=imperial&lang=en"},
        {-1, " New York ", "metric", "/data/2.5/weather?APPID=k123&q=New+York&mode=xml&units=metric&lang=en"},
        {-1, "Plzeň,CZ", "metric",
         "/data/2.5/weather?APPID=k123&q=Plze%C5%88%2CCZ&mode=xml&units=metric&lang=en"},
    };
    Serve("<current/>");
    for (const auto &c : cases) {
        request.LocationID = c.id;
        request.LocationName = QString::fromUtf8(c.name);
        request.Units = QString::fromLatin1(c.units);
        TWeatherRecord r;
        ASSERT_TRUE(Fetch(r));
        EXPECT_EQ(LastTarget(), c.target);
    }
}

} // namespace
