// Forecast times that only show their meaning in a particular zone; each case
// checks the zone it runs in and is skipped elsewhere.
#include "test_client_support.h"

#include "DateTimeConv.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

constexpr int kSecondsPerHour = 3600;

int LocalOffsetHours(const QDateTime &utc)
{
    return utc.toLocalTime().offsetFromUtc() / kSecondsPerHour;
}

class ForecastZoneTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(peer.Started()); }

    TWeatherData Fetch(const QByteArray &document)
    {
        peer.Serve(document);
        TRequestRecord request;
        request.KeyType = ktPaid;
        request.ForecastMode = fmHourly;
        request.NumberOfDays = 1;
        request.Units = QStringLiteral("metric");
        TWeatherData data;
        const TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
        EXPECT_TRUE(client.GetForecast(request, data));
        return data;
    }

    ServedBody peer;
};

TEST_F(ForecastZoneTest, LateUtcSlotEastOfGreenwichStartsTheNextLocalDay)
{
    const QDateTime start(QDate(2026, 3, 2), QTime(21, 0), Qt::UTC);
    if (LocalOffsetHours(start) != 3)
        GTEST_SKIP() << "needs a zone three hours east of UTC";
    const TWeatherData data = Fetch("<weatherdata><forecast>"
                                    "<time from=\"2026-03-02T21:00:00\" to=\"2026-03-03T00:00:00\"/>"
                                    "</forecast></weatherdata>");
    ASSERT_EQ(data.size(), 1);
    const TDateTime nextMidnight = DateTimeFromQDateTime(QDateTime(QDate(2026, 3, 3), QTime(0, 0)));
    EXPECT_DOUBLE_EQ(data[0].FromTime, nextMidnight);
    EXPECT_DOUBLE_EQ(data[0].TimeStamp, nextMidnight);
    EXPECT_DOUBLE_EQ(data[0].ToTime, DateTimeFromQDateTime(QDateTime(QDate(2026, 3, 3), QTime(3, 0))));
}

TEST_F(ForecastZoneTest, DayRecordWestOfGreenwichFallsOnThePreviousEvening)
{
    const QDateTime day(QDate(2026, 3, 2), QTime(0, 0), Qt::UTC);
    const int offset = LocalOffsetHours(day);
    if (offset >= 0)
        GTEST_SKIP() << "needs a zone west of UTC";
    const TWeatherData data = Fetch("<weatherdata><forecast><time day=\"2026-03-02\"/></forecast></weatherdata>");
    ASSERT_EQ(data.size(), 1);
    const QDateTime local = QDateTimeFromDateTime(data[0].TimeStamp);
    EXPECT_EQ(local.date(), QDate(2026, 3, 1));
    EXPECT_EQ(local.time(), QTime(24 + offset, 0));
}

} // namespace
