#include "CurrentWeather.h"
#include "Fixture.h"
#include "LoopbackServer.h"
#include "RecordDump.h"
#include "ServiceResponse.h"
#include "XmlValues.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDomDocument>

#include <mutex>

namespace {

// The current weather parser on a document's bytes, as the client calls it.
void Parse(const QByteArray &document, const QString &units, TWeatherRecord &record)
{
    QDomDocument dom;
    QString error;
    ASSERT_TRUE(LoadXmlDocument(document, dom, error)) << error.toStdString();
    ParseCurrentWeather(dom.documentElement(), units, record);
}

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

TEST(CurrentWeatherParser, UnitRules)
{
    // The service sends m/s, hPa and mm for metric; for imperial mph, hPa and mm.
    // Imperial shows mph as sent, inches of mercury and inches.
    struct {
        const char *units;
        const char *speed;
        const char *pressure; // the element's attributes
        double expectedSpeed;
        double expectedPressure;
        double expectedPrecipitation; // of 2.54 mm
        const char *tempUnit;
        const char *speedUnit;
        const char *pressureUnit;
        const char *precipitationUnit;
    } const cases[] = {
        {"metric", "4", R"(value="1013" unit="hPa")", 14.4, 1013, 2.54, "°C", "km/h", "hPa", "mm"},
        {"Metric", "4", R"(value="1013" unit="hPa")", 14.4, 1013, 2.54, "°C", "km/h", "hPa", "mm"},
        {"METRIC", "10", R"(value="1013")", 36.0, 1013, 2.54, "°C", "km/h", "", "mm"},
        {"imperial", "11.18", R"(value="1013.25" unit="hPa")", 11.18, 29.92, 0.1, "°F", "mph", "inHg", "in"},
        {"imperial", "7.38", R"(value="1000" unit="HPA")", 7.38, 29.53, 0.1, "°F", "mph", "inHg", "in"},
        {"imperial", "7.38", R"(value="1000")", 7.38, 29.53, 0.1, "°F", "mph", "inHg", "in"},
        // A unit the client does not know is shown as the service names it.
        {"imperial", "1", R"(value="750" unit="mmHg")", 1, 750, 0.1, "°F", "mph", "mmHg", "in"},
        {"", "0", R"(value="0" unit="hPa")", 0.0, 0, 0.1, "°F", "mph", "inHg", "in"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.units) + " " + c.pressure);
        TWeatherRecord r;
        Parse(QByteArray("<current><temperature value=\"20\"/><wind><speed value=\"") + c.speed
                  + "\"/></wind><pressure " + c.pressure
                  + "/><precipitation value=\"2.54\" mode=\"rain\" unit=\"1h\"/></current>",
              QString::fromLatin1(c.units), r);
        EXPECT_NEAR(r.Wind.Speed.Value, c.expectedSpeed, 1e-9);
        EXPECT_NEAR(r.Pressure.Value, c.expectedPressure, 0.005);
        EXPECT_NEAR(r.Precipitation.Value, c.expectedPrecipitation, 1e-9);
        EXPECT_EQ(r.Temp.Value.Units.toStdString(), c.tempUnit);
        EXPECT_EQ(r.Wind.Speed.Units.toStdString(), c.speedUnit);
        EXPECT_EQ(r.Pressure.Units.toStdString(), c.pressureUnit);
        EXPECT_EQ(r.Precipitation.Units.toStdString(), c.precipitationUnit);
    }
}

TEST(CurrentWeatherParser, IconNameRule)
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
        TWeatherRecord r;
        Parse(QByteArray("<current>") + c.weather + "</current>", QStringLiteral("metric"), r);
        EXPECT_EQ(r.Weather.Icon.toStdString(), c.icon) << c.weather;
    }
}

// The felt temperature is kept where the service sent a number; one missing
// or written badly is absent (never 0) and costs nothing else of the answer.
TEST(CurrentWeatherParser, FeelsLike)
{
    struct {
        const char *element;
        const char *units;
        bool present;
        double value;
    } const cases[] = {
        {R"(<feels_like value="-5.1" unit="metric"/>)", "metric", true, -5.1},
        {R"(<feels_like value="0" unit="celsius"/>)", "metric", true, 0.0},
        {R"(<feels_like value="23.4" unit="fahrenheit"/>)", "imperial", true, 23.4},
        {"", "metric", false, 0},
        {R"(<feels_like unit="metric"/>)", "metric", false, 0},
        {R"(<feels_like value="" unit="metric"/>)", "metric", false, 0},
        {R"(<feels_like value="-5,1" unit="metric"/>)", "metric", false, 0},
        {R"(<feels_like value="cold" unit="metric"/>)", "metric", false, 0},
        {R"(<feels_like value="1e999" unit="metric"/>)", "metric", false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.element);
        TWeatherRecord r;
        Parse(QByteArray(R"(<current><temperature value="3"/>)") + c.element
                  + R"(<humidity value="80" unit="%"/><weather number="800" value="clear sky" icon="01d"/></current>)",
              QString::fromLatin1(c.units), r);
        EXPECT_EQ(r.Temp.HasFeelsLike, c.present);
        EXPECT_DOUBLE_EQ(r.Temp.FeelsLike, c.value);
        // The rest of the answer is read all the same.
        EXPECT_EQ(r.Temp.Value.Value, 3);
        EXPECT_EQ(r.Humidity.Value, 80);
        EXPECT_EQ(r.Weather.Code, QStringLiteral("800"));
    }
    TWeatherRecord full;
    Parse(ReadFixture(QStringLiteral("current_full.xml")), QStringLiteral("metric"), full);
    EXPECT_TRUE(full.Temp.HasFeelsLike);
    EXPECT_DOUBLE_EQ(full.Temp.FeelsLike, -5.1);
}

TEST(CurrentWeatherParser, AnEmptyAnswerLeavesNothingOfTheRecordBefore)
{
    TWeatherRecord r;
    Parse(ReadFixture(QStringLiteral("current_full.xml")), QStringLiteral("metric"), r);
    ASSERT_EQ(r.City.Name, QStringLiteral("Prague"));
    Parse("<current/>", QStringLiteral("metric"), r);
    EXPECT_EQ(DumpRecord(r), DumpRecord(TWeatherRecord()));
}

TEST(CurrentWeatherParser, StrictValuesThrowKeepingWhatWasRead)
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
        TWeatherRecord r;
        r.Humidity.Value = 99; // cleared before the parse, whatever happens then
        EXPECT_THROW(Parse(c.document, QStringLiteral("metric"), r), EConvertError) << c.document;
        EXPECT_EQ(r.Humidity.Value, 0) << c.document;
        EXPECT_EQ(r.City.ID == 7, c.cityFilled) << c.document;
        EXPECT_EQ(r.Temp.Value.Value == 3, c.temperatureFilled) << c.document;
    }
}

TEST_F(CurrentWeatherService, StrictValueErrorLeavesTheClientWithoutMessage)
{
    Serve(R"(<current><city id="12a" name="X"/></current>)");
    TWeatherRecord r;
    request.Failure.Message = QStringLiteral("old");
    EXPECT_THROW(Fetch(r), EConvertError);
    EXPECT_TRUE(request.Failure.Message.isEmpty());
}

TEST_F(CurrentWeatherService, FailureLeavesTheRecordAsItWas)
{
    Serve(ReadFixture(QStringLiteral("current_full.xml")));
    TWeatherRecord r;
    ASSERT_TRUE(Fetch(r));
    Serve(R"({"cod":401, "message": "Invalid API key. Please see the FAQ."})");
    EXPECT_FALSE(Fetch(r));
    EXPECT_EQ(request.Failure.Message, QStringLiteral("Invalid API key"));
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
