// The client against hostile or broken answers from a loopback peer: every
// case must end as a failure with its own message, quickly and without the
// parser growing, and a valid document must not be refused on the way.
#include "HostileBodies.h"
#include "LoopbackServer.h"
#include "Sanitizers.h"
#include "ServiceResponse.h"
#include "XmlJudge.h"
#include "XmlValues.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>

#include <sys/resource.h>

#include <mutex>
#include <string>

namespace {

constexpr long kAllowedGrowthKiB = 64 * 1024;

// Answers every GET with one status and body; remembers the last request.
class TAnsweringPeer
{
public:
    TAnsweringPeer()
    {
        FServer.http.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(FMutex);
            FLastRequest = request;
            response.status = FStatus;
            response.set_content(FBody, FContentType);
        });
        FStarted = FServer.Start();
    }

    bool Started() const { return FStarted; }
    QString BaseUrl() const { return FServer.BaseUrl(); }

    void Answer(int status, const QByteArray &body, const char *contentType = "text/xml")
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FStatus = status;
        FBody = body.toStdString();
        FContentType = contentType;
    }

    httplib::Request LastRequest() const
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FLastRequest;
    }

private:
    bool FStarted = false;
    mutable std::mutex FMutex;
    int FStatus = 200;
    std::string FBody;
    std::string FContentType;
    httplib::Request FLastRequest;
    LoopbackServer FServer; // last, so it stops before the state its handler uses goes
};

long MaxResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TRequestRecord Request()
{
    TRequestRecord request;
    request.Key = QStringLiteral("k");
    request.LocationID = -1;
    request.LocationName = QStringLiteral("Prague");
    request.Units = QStringLiteral("metric");
    request.Lang = QStringLiteral("en");
    request.NumberOfDays = 3;
    request.ForecastMode = fmDaily;
    return request;
}

// Asks `ask` of the client; the result and the request's message.
bool Ask(const TOwmClient &client, TAsk ask, TRequestRecord &request)
{
    switch (ask) {
    case TAsk::Current: {
        TWeatherRecord record;
        return client.GetCurrentWeather(request, record);
    }
    case TAsk::Forecast: {
        TWeatherData data;
        return client.GetForecast(request, data);
    }
    case TAsk::Find: {
        TCities cities;
        return client.FindLocations(request, cities);
    }
    }
    return false;
}

TEST(HostileAnswers, EachEndsWithItsMessageWithoutGrowing)
{
    TAnsweringPeer peer;
    ASSERT_TRUE(peer.Started());
    TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
    const std::vector<THostileCase> cases = HostileCases();
    const long before = MaxResidentKiB();
    for (const THostileCase &c : cases) {
        SCOPED_TRACE(c.name);
        peer.Answer(c.status, c.body);
        TRequestRecord request = Request();
        EXPECT_FALSE(Ask(client, c.ask, request));
        if (c.prefix)
            EXPECT_TRUE(request.Failure.Message.startsWith(c.message + QStringLiteral(" (line ")))
                << request.Failure.Message.toStdString();
        else
            EXPECT_EQ(request.Failure.Message.toStdString(), c.message.toStdString());
        if (!kUnderAddressSanitizer) {
            EXPECT_LT(MaxResidentKiB() - before, kAllowedGrowthKiB);
        }
    }
}

TEST(HostileAnswers, KeyIsOneQueryValue)
{
    TAnsweringPeer peer;
    ASSERT_TRUE(peer.Started());
    peer.Answer(401, "{\"cod\":401,\"message\":\"Invalid API key\"}");
    TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
    struct {
        const char *key;
        const char *sent;
    } const cases[] = {
        {"abc&q=London", "abc&q=London"},
        {"abc#123", "abc#123"},
        {" abc\t", "abc"},
        {"a+b=c d", "a+b=c d"},
    };
    for (const TAsk ask : {TAsk::Current, TAsk::Forecast, TAsk::Find}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.key);
            TRequestRecord request = Request();
            request.Key = QString::fromUtf8(c.key);
            EXPECT_FALSE(Ask(client, ask, request));
            const httplib::Request seen = peer.LastRequest();
            EXPECT_EQ(seen.get_param_value_count("APPID"), 1u);
            EXPECT_EQ(seen.get_param_value("APPID"), c.sent);
            EXPECT_EQ(seen.get_param_value_count("q"), 1u);
            EXPECT_EQ(seen.get_param_value("q"), "Prague");
            EXPECT_EQ(seen.get_param_value("lang"), "en");
        }
    }
}

QByteArray Fixture(const char *name)
{
    QFile file(QStringLiteral(NIMBREL_TEST_DATA_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fixtures pass the judge, and in any encoding a parser reads by itself
// they load to the very document their UTF-8 form gives.
TEST(HostileAnswers, ValidDocumentsLoadAlikeInEveryEncoding)
{
    using E = QStringConverter;
    for (const char *name : {"current_full.xml", "current_sparse.xml", "forecast_daily.xml",
                             "find_cities.xml", "find_bad_id.xml"}) {
        SCOPED_TRACE(name);
        const QByteArray utf8 = Fixture(name);
        ASSERT_FALSE(utf8.isEmpty());
        QDomDocument reference;
        QString message;
        ASSERT_TRUE(LoadXmlDocument(utf8, reference, message)) << message.toStdString();
        QByteArray latin1 = QString::fromUtf8(utf8).toLatin1();
        latin1.replace("encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\"");
        const QByteArray variants[] = {
            Encoded(utf8, E::Utf16LE, true), Encoded(utf8, E::Utf16BE, true),
            Encoded(utf8, E::Utf16BE, false), Encoded(utf8, E::Utf32LE, true),
            Encoded(utf8, E::Utf32LE, false), QByteArray("\xEF\xBB\xBF") + utf8,
        };
        for (const QByteArray &variant : variants) {
            QDomDocument document;
            ASSERT_TRUE(LoadXmlDocument(variant, document, message)) << message.toStdString();
            EXPECT_EQ(document.toString(), reference.toString());
        }
    }
}

// The judge's limits sit well above what the service sends: a 3-hour forecast
// of sixteen days, the longest answer, passes.
TEST(HostileAnswers, LongestForecastPasses)
{
    QByteArray body("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<weatherdata>\n  <forecast>\n");
    constexpr int kSlots = 16 * 8;
    const QByteArray slot =
        "    <time from=\"2026-03-02T09:00:00\" to=\"2026-03-02T12:00:00\">\n"
        "      <symbol number=\"500\" name=\"light rain\" var=\"10d\"/>\n"
        "      <precipitation unit=\"3h\" value=\"0.5\" type=\"rain\"/>\n"
        "      <windDirection deg=\"200\" code=\"SSW\" name=\"South-southwest\"/>\n"
        "      <windSpeed mps=\"3.1\" unit=\"m/s\" name=\"Light breeze\"/>\n"
        "      <temperature unit=\"celsius\" value=\"4.2\" min=\"3.9\" max=\"4.2\"/>\n"
        "      <feels_like value=\"1.2\" unit=\"celsius\"/>\n"
        "      <pressure unit=\"hPa\" value=\"1012\"/>\n"
        "      <humidity value=\"81\" unit=\"%\"/>\n"
        "      <clouds value=\"overcast clouds\" all=\"100\" unit=\"%\"/>\n"
        "      <visibility value=\"10000\"/>\n"
        "    </time>\n";
    body += Repeated(QByteArray(), slot, kSlots, "  </forecast>\n</weatherdata>\n");
    QString text;
    QString message;
    ASSERT_TRUE(DecodeXmlBody(body, text, message)) << message.toStdString();
    EXPECT_TRUE(JudgeXmlText(text, message)) << message.toStdString();
}

TEST(HostileAnswers, JsonMessagesReadAsJson)
{
    struct {
        const char *text;
        const char *expected;
    } const cases[] = {
        {R"({"message":"city not found","cod":"404"})", "city not found"},
        {R"({"cod":"400","message":"say \"where\", please"})", "say \"where\", please"},
        {R"({"cod":429,"message":429})", "429"},
        {R"({"cod":500,"message":null})", R"({"cod":500,"message":null})"},
        {R"([{"message":"inside an array"}])", R"([{"message":"inside an array"}])"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ExtractJsonMessage(QString::fromUtf8(c.text)).toStdString(), c.expected) << c.text;
}

TEST(HostileAnswers, MessagesFromBodiesAreOneShortLine)
{
    const QString surrogates = QString(kMaxBodyMessageLength - 1, QLatin1Char('a')) + QStringLiteral("😀😀");
    struct {
        QString text;
        QString expected;
    } const cases[] = {
        {QStringLiteral("  short  "), QStringLiteral("short")},
        {QStringLiteral("first\nsecond"), QStringLiteral("first…")},
        {QStringLiteral("first  \r\nsecond"), QStringLiteral("first…")},
        {QString(kMaxBodyMessageLength, QLatin1Char('b')), QString(kMaxBodyMessageLength, QLatin1Char('b'))},
        // Never half of a character outside the basic plane.
        {surrogates, QString(kMaxBodyMessageLength - 1, QLatin1Char('a')) + QStringLiteral("…")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageFromBody(c.text).toStdString(), c.expected.toStdString());
}

TEST(HostileAnswers, NumbersBeyondRangeCountAsAbsent)
{
    TAnsweringPeer peer;
    ASSERT_TRUE(peer.Started());
    TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
    peer.Answer(200, "<current><wind><speed value=\"1e308\" name=\"Storm\"/></wind>"
                     "<lastupdate value=\"2026-03-02T12:00:00+25:99\"/></current>");
    TRequestRecord request = Request();
    TWeatherRecord record;
    ASSERT_TRUE(client.GetCurrentWeather(request, record)) << request.Failure.Message.toStdString();
    EXPECT_EQ(record.Wind.Speed.Value, 0.0);
    EXPECT_EQ(record.Wind.Speed.Units, QStringLiteral("km/h"));
    EXPECT_EQ(record.Wind.Speed.Name, QStringLiteral("Storm"));
    EXPECT_EQ(record.TimeStamp, kNoDateTime);

    peer.Answer(200, "<weatherdata><forecast><time day=\"2026-03-02\"><windSpeed mps=\"-1e308\"/>"
                     "</time></forecast></weatherdata>");
    request.KeyType = ktPaid;
    TWeatherData data;
    ASSERT_TRUE(client.GetForecast(request, data)) << request.Failure.Message.toStdString();
    ASSERT_EQ(data.size(), 1);
    EXPECT_EQ(data[0].Wind.Speed.Value, 0.0);
}

TEST(XmlTimeToLocal, OffsetsBeyondAnyZoneAreUnreadable)
{
    for (const char *text : {"2026-03-02T12:00:00+14:00", "2026-03-02T12:00:00-14:00",
                             "2026-03-02T12:00:00+05:45", "2026-03-02T12:00:00-0930"})
        EXPECT_NE(XmlTimeToLocal(QString::fromLatin1(text)), kNoDateTime) << text;
    for (const char *text : {"2026-03-02T12:00:00+25:99", "2026-03-02T12:00:00+14:01",
                             "2026-03-02T12:00:00-15:00", "2026-03-02T12:00:00+05:60",
                             "2026-03-02T12:00:00+0099"})
        EXPECT_EQ(XmlTimeToLocal(QString::fromLatin1(text)), kNoDateTime) << text;
}

} // namespace
