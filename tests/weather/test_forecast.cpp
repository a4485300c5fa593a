#include "test_client_support.h"

#include "DateTimeConv.h"
#include "Forecast.h"
#include "ServiceResponse.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDomDocument>
#include <QMap>
#include <QTimeZone>

#include <vector>

namespace {

constexpr int kSecondsPerSlot = 3 * 60 * 60;
constexpr double kNoHighestMax = -2147483647.0;
constexpr double kNoLowestMin = 2147483647.0;

QDateTime Utc(const char *text)
{
    QDateTime value = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    value.setTimeSpec(Qt::UTC);
    return value;
}

// The instant a stored local time stands for, read back without the parser's
// own conversions, so that an expectation is never computed by the code under test.
QDateTime AsUtc(TDateTime local)
{
    return QDateTimeFromDateTime(local).toUTC();
}

// Local midnight of the day an instant falls on, as Qt's zone rules see it.
QDateTime LocalMidnight(const QDateTime &utc)
{
    return QDateTime(utc.toLocalTime().date(), QTime(0, 0));
}

// A 3-hour forecast whose slot i starts i slots after `first`, with condition
// number 100+i and temperatures min i, value i+50, max i+100, so every record
// tells which slot it came from and which slots its range spans.
struct SlotPlan {
    QDateTime first;
    int count = 0;
    bool withTemperature = true;
    bool withLocation = true;
    QMap<int, double> precipitation; // slot index -> value
};

QByteArray ThreeHourDocument(const SlotPlan &plan)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<weatherdata>\n");
    if (plan.withLocation)
        xml += QStringLiteral("<location><name>Testville</name><country>XX</country>"
                              "<location latitude=\"50.5\" longitude=\"-14.25\"/></location>\n"
                              "<sun rise=\"2026-03-02T06:10:00\" set=\"2026-03-02T17:20:00\"/>\n");
    xml += QStringLiteral("<forecast>\n");
    const QString format = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
    for (int i = 0; i < plan.count; ++i) {
        const QDateTime from = plan.first.addSecs(qint64(i) * kSecondsPerSlot);
        xml += QStringLiteral("<time from=\"%1\" to=\"%2\">")
                   .arg(from.toString(format), from.addSecs(kSecondsPerSlot).toString(format));
        xml += QStringLiteral("<symbol number=\"%1\" name=\"slot %2\" var=\"10d\"/>").arg(100 + i).arg(i);
        if (plan.precipitation.contains(i))
            xml += QStringLiteral("<precipitation value=\"%1\" type=\"rain\"/>").arg(plan.precipitation[i]);
        if (plan.withTemperature)
            xml += QStringLiteral("<temperature unit=\"celsius\" value=\"%1\" min=\"%2\" max=\"%3\"/>")
                       .arg(i + 50)
                       .arg(i)
                       .arg(i + 100);
        xml += QStringLiteral("</time>\n");
    }
    xml += QStringLiteral("</forecast>\n</weatherdata>\n");
    return xml.toUtf8();
}

TRequestRecord Request(TKeyType keyType, TForecastMode mode, int days)
{
    TRequestRecord request;
    request.KeyType = keyType;
    request.ForecastMode = mode;
    request.NumberOfDays = static_cast<std::uint8_t>(days);
    request.Key = QStringLiteral("k");
    request.LocationName = QStringLiteral("Prague,CZ");
    request.Units = QStringLiteral("metric");
    request.Lang = QStringLiteral("en");
    return request;
}

// The forecast parser on a document's bytes, as the client calls it.
TWeatherData Parse(const QByteArray &document, const TRequestRecord &request)
{
    QDomDocument dom;
    QString error;
    EXPECT_TRUE(LoadXmlDocument(document, dom, error)) << error.toStdString();
    TWeatherData data;
    ParseForecast(dom.documentElement(), request, data);
    return data;
}

class ForecastTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(peer.Started()); }

    bool Fetch(TRequestRecord &request, TWeatherData &data)
    {
        const TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
        return client.GetForecast(request, data);
    }

    ServedBody peer;
};

struct QueryCase {
    const char *name;
    TKeyType keyType;
    TForecastMode mode;
    int days;
    std::int64_t locationId;
    const char *target;
};

class ForecastQueryTest : public ForecastTest, public ::testing::WithParamInterface<QueryCase>
{
};

TEST_P(ForecastQueryTest, AsksThePathAndSlotCountOfKeyAndMode)
{
    const QueryCase &c = GetParam();
    peer.Serve("<weatherdata/>");
    TRequestRecord request = Request(c.keyType, c.mode, c.days);
    request.LocationID = c.locationId;
    TWeatherData data;
    ASSERT_TRUE(Fetch(request, data));
    EXPECT_EQ(peer.LastTarget(), QString::fromLatin1(c.target));
}

INSTANTIATE_TEST_SUITE_P(
    Forecast, ForecastQueryTest,
    ::testing::Values(
        QueryCase{"FreeDailyFiveDays", ktFree, fmDaily, 5, -1,
                  "/data/2.5/forecast?APPID=k&q=Prague%2CCZ&mode=xml&units=metric&cnt=40&lang=en"},
        QueryCase{"FreeHourlyTwoDays", ktFree, fmHourly, 2, -1,
                  "/data/2.5/forecast?APPID=k&q=Prague%2CCZ&mode=xml&units=metric&cnt=16&lang=en"},
        QueryCase{"PaidDailySixteenDays", ktPaid, fmDaily, 16, -1,
                  "/data/2.5/forecast/daily?APPID=k&q=Prague%2CCZ&mode=xml&units=metric&cnt=16&lang=en"},
        QueryCase{"PaidHourlyThreeDaysById", ktPaid, fmHourly, 3, 3067696,
                  "/data/2.5/forecast?APPID=k&id=3067696&mode=xml&units=metric&cnt=24&lang=en"}),
    [](const ::testing::TestParamInfo<QueryCase> &param) { return param.param.name; });

// One folded day: the slot it is a copy of and what the fold put in it.
struct FoldedDay {
    int slot;
    double min;
    double max;
    double precipitation;
};

struct FoldCase {
    const char *name;
    SlotPlan plan;
    std::vector<FoldedDay> days;
};

class ForecastFoldTest : public ::testing::TestWithParam<FoldCase>
{
};

TEST_P(ForecastFoldTest, FoldsFreeSlotsIntoNoonRecordsPerUtcDay)
{
    const FoldCase &c = GetParam();
    const TWeatherData data = Parse(ThreeHourDocument(c.plan), Request(ktFree, fmDaily, 5));
    ASSERT_EQ(data.size(), static_cast<qsizetype>(c.days.size()));
    for (qsizetype i = 0; i < data.size(); ++i) {
        SCOPED_TRACE(i);
        const FoldedDay &day = c.days[static_cast<size_t>(i)];
        const TWeatherRecord &record = data[i];
        const QDateTime from = c.plan.first.addSecs(qint64(day.slot) * kSecondsPerSlot);
        EXPECT_EQ(record.Weather.Code, QString::number(100 + day.slot));
        EXPECT_EQ(AsUtc(record.FromTime), from);
        EXPECT_EQ(QDateTimeFromDateTime(record.TimeStamp), LocalMidnight(from));
        EXPECT_DOUBLE_EQ(record.Temp.Value.Min, day.min);
        EXPECT_DOUBLE_EQ(record.Temp.Value.Max, day.max);
        EXPECT_DOUBLE_EQ(record.Precipitation.Value, day.precipitation);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forecast, ForecastFoldTest,
    ::testing::Values(
        // Noon slots are 1, 9, 17, ...; midnight slots 5, 13, 21, ...; 38 and 39 follow
        // the last midnight and are dropped.
        FoldCase{"StartAt0900",
                 {Utc("2026-03-02T09:00:00"), 40, true, true, {{2, 1.5}, {4, 0.75}, {13, 4}, {14, 9}}},
                 {{1, 0, 105, 1.5}, {9, 6, 113, 4}, {17, 14, 121, 9}, {25, 22, 129, 0}, {33, 30, 137, 0}}},
        // The first midnight (slot 3) comes before any noon slot, so the first day is
        // that midnight slot itself.
        FoldCase{"StartAt1500",
                 {Utc("2026-03-02T15:00:00"), 40, true, true, {{3, 2}}},
                 {{3, 0, 103, 2}, {7, 4, 111, 0}, {15, 12, 119, 0}, {23, 20, 127, 0}, {31, 28, 135, 0}}},
        // The first slot closes the day before the forecast and is left out.
        FoldCase{"StartAt0000",
                 {Utc("2026-03-02T00:00:00"), 40, true, true, {{0, 7}, {3, 1}}},
                 {{4, 1, 108, 1}, {12, 9, 116, 0}, {20, 17, 124, 0}, {28, 25, 132, 0}}},
        FoldCase{"NoTemperatures",
                 {Utc("2026-03-02T09:00:00"), 16, false, true, {}},
                 {{1, kNoLowestMin, kNoHighestMax, 0}, {9, kNoLowestMin, kNoHighestMax, 0}}},
        // Without a location name every record still is its day's noon slot.
        FoldCase{"NoLocation",
                 {Utc("2026-03-02T09:00:00"), 16, true, false, {}},
                 {{1, 0, 105, 0}, {9, 6, 113, 0}}}),
    [](const ::testing::TestParamInfo<FoldCase> &param) { return param.param.name; });

struct HourlyCase {
    const char *name;
    TKeyType keyType;
};

class ForecastHourlyTest : public ::testing::TestWithParam<HourlyCase>
{
};

TEST_P(ForecastHourlyTest, ReturnsEverySlotAsItCame)
{
    const SlotPlan plan{Utc("2026-03-02T09:00:00"), 10, true, true, {{4, 0.5}}};
    const TWeatherData data = Parse(ThreeHourDocument(plan), Request(GetParam().keyType, fmHourly, 2));
    ASSERT_EQ(data.size(), plan.count);
    for (int i = 0; i < plan.count; ++i) {
        SCOPED_TRACE(i);
        const QDateTime from = plan.first.addSecs(qint64(i) * kSecondsPerSlot);
        EXPECT_EQ(data[i].Weather.Code, QString::number(100 + i));
        EXPECT_EQ(AsUtc(data[i].FromTime), from);
        EXPECT_EQ(AsUtc(data[i].ToTime), from.addSecs(kSecondsPerSlot));
        EXPECT_DOUBLE_EQ(data[i].Temp.Value.Min, i);
        EXPECT_DOUBLE_EQ(data[i].Temp.Value.Max, i + 100);
        EXPECT_DOUBLE_EQ(data[i].Precipitation.Value, i == 4 ? 0.5 : 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Forecast, ForecastHourlyTest,
                         ::testing::Values(HourlyCase{"FreeKey", ktFree}, HourlyCase{"PaidKey", ktPaid}),
                         [](const ::testing::TestParamInfo<HourlyCase> &param) { return param.param.name; });

TEST(ForecastParser, FreeDailyIgnoresPrecipitationWithoutValue)
{
    // Slot 1 (noon) names rain without an amount; slot 3's amount is the day's highest.
    QByteArray document = ThreeHourDocument({Utc("2026-03-02T09:00:00"), 8, true, true, {{3, 0.25}}});
    document.replace("<symbol number=\"101\"", "<precipitation type=\"snow\"/><symbol number=\"101\"");
    const TWeatherData data = Parse(document, Request(ktFree, fmDaily, 1));
    ASSERT_EQ(data.size(), 1);
    EXPECT_EQ(data[0].Weather.Code, QStringLiteral("101"));
    EXPECT_DOUBLE_EQ(data[0].Precipitation.Value, 0.25);
    EXPECT_TRUE(data[0].Precipitation.Name.isEmpty());
    EXPECT_EQ(data[0].Precipitation.Units, QStringLiteral("mm"));
}

// The hourly view's slots are kept beside the days: every slot with its
// times and its chance of precipitation, while the days come out as without
// them. A daily answer has no slots.
TEST(ForecastParser, KeepsTheSlotsBesideTheDaysWithTheirChance)
{
    QByteArray document = ThreeHourDocument({Utc("2026-03-02T09:00:00"), 16, true, true, {{2, 1.5}}});
    document.replace("<precipitation value=\"1.5\" type=\"rain\"/>",
                     "<precipitation value=\"1.5\" probability=\"0.4\" type=\"rain\"/>");
    // A chance outside 0 to 1, or no number, is no chance.
    document.replace("<symbol number=\"103\"", "<precipitation probability=\"1.5\"/><symbol number=\"103\"");
    document.replace("<symbol number=\"104\"", "<precipitation probability=\"x\"/><symbol number=\"104\"");
    // The noon slot of the first day has a chance its day must not take.
    document.replace("<symbol number=\"101\"", "<precipitation probability=\"0.9\"/><symbol number=\"101\"");
    QDomDocument dom;
    QString error;
    ASSERT_TRUE(LoadXmlDocument(document, dom, error)) << error.toStdString();
    const TRequestRecord request = Request(ktFree, fmDaily, 2);
    TWeatherData days;
    TWeatherData kept(3); // emptied first
    ParseForecast(dom.documentElement(), request, days, &kept);

    const TWeatherData plain = Parse(document, request);
    ASSERT_EQ(days.size(), plain.size());
    for (qsizetype i = 0; i < days.size(); ++i) {
        EXPECT_EQ(days[i].Weather.Code, plain[i].Weather.Code);
        EXPECT_EQ(days[i].TimeStamp, plain[i].TimeStamp);
        EXPECT_DOUBLE_EQ(days[i].Temp.Value.Max, plain[i].Temp.Value.Max);
        EXPECT_DOUBLE_EQ(days[i].PrecipitationChance, kNoPrecipitationChance);
    }
    ASSERT_EQ(kept.size(), 16);
    for (int i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE(i);
        const QDateTime from = Utc("2026-03-02T09:00:00").addSecs(qint64(i) * kSecondsPerSlot);
        EXPECT_EQ(kept[i].Weather.Code, QString::number(100 + i));
        EXPECT_EQ(AsUtc(kept[i].FromTime), from);
        EXPECT_EQ(AsUtc(kept[i].ToTime), from.addSecs(kSecondsPerSlot));
        EXPECT_DOUBLE_EQ(kept[i].Temp.Value.Value, i + 50);
        const double chance = i == 1 ? 0.9 : i == 2 ? 0.4 : kNoPrecipitationChance;
        EXPECT_DOUBLE_EQ(kept[i].PrecipitationChance, chance);
    }

    ASSERT_TRUE(LoadXmlDocument("<weatherdata><forecast><time day=\"2026-03-02\"><temperature day=\"3\"/>"
                                "</time></forecast></weatherdata>",
                                dom, error));
    ParseForecast(dom.documentElement(), Request(ktPaid, fmDaily, 1), days, &kept);
    EXPECT_EQ(days.size(), 1);
    EXPECT_TRUE(kept.isEmpty());
}

struct OutcomeCase {
    const char *name;
    const char *body;
    bool ok;
    const char *message; // null: the parser's wording, whatever it is
    int records;         // -1: the earlier array is kept
};

class ForecastOutcomeTest : public ForecastTest, public ::testing::WithParamInterface<OutcomeCase>
{
};

TEST_P(ForecastOutcomeTest, KeepsTheArrayUnlessAWeatherDocumentCame)
{
    const OutcomeCase &c = GetParam();
    peer.Serve(c.body);
    TRequestRecord request = Request(ktPaid, fmDaily, 2);
    request.Failure.Message = QStringLiteral("left from before");
    TWeatherData data(3);
    data[0].City.Name = QStringLiteral("Earlier");
    EXPECT_EQ(Fetch(request, data), c.ok);
    if (c.message != nullptr)
        EXPECT_EQ(request.Failure.Message, QString::fromUtf8(c.message));
    else
        EXPECT_FALSE(request.Failure.Message.isEmpty());
    if (c.records < 0) {
        ASSERT_EQ(data.size(), 3);
        EXPECT_EQ(data[0].City.Name, QStringLiteral("Earlier"));
    } else {
        EXPECT_EQ(data.size(), c.records);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forecast, ForecastOutcomeTest,
    ::testing::Values(
        OutcomeCase{"NoForecastElement", "<weatherdata><location/></weatherdata>", true, "", 0},
        OutcomeCase{"EmptyForecast", "<weatherdata><forecast/></weatherdata>", true, "", 0},
        OutcomeCase{"BodyNamingError", "  <weatherdata><Error>down</Error></weatherdata>\n", false,
                    "<weatherdata><Error>down</Error></weatherdata>", -1},
        OutcomeCase{"CityNotFound", "{\"cod\":\"404\",\"message\":\"city not found\"}", false,
                    "city not found", -1},
        OutcomeCase{"NotXml", "<weatherdata>", false, nullptr, -1}),
    [](const ::testing::TestParamInfo<OutcomeCase> &param) { return param.param.name; });

} // namespace
