// Forecast times whose meaning shows only in a particular zone: a slot late in
// the UTC day starts the next local day east of Greenwich, and a day record falls
// on the previous evening west of it. Run under each zone CTest sets in TZ.
#include "DateTimeConv.h"
#include "Forecast.h"
#include "ServiceResponse.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDomDocument>

namespace {

QString LocalText(TDateTime value)
{
    return QDateTimeFromDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

TWeatherData Parse(const QByteArray &document)
{
    QDomDocument dom;
    QString error;
    EXPECT_TRUE(LoadXmlDocument(document, dom, error)) << error.toStdString();
    TRequestRecord request;
    request.KeyType = ktPaid;
    request.ForecastMode = fmHourly;
    request.Units = QStringLiteral("metric");
    TWeatherData data;
    ParseForecast(dom.documentElement(), request, data);
    return data;
}

struct ZoneExpectation {
    const char *zone;
    const char *from;      // empty: no start time
    const char *to;
    const char *timeStamp;
};

void ExpectTimes(const QByteArray &document, std::initializer_list<ZoneExpectation> expectations)
{
    const QByteArray zone = CurrentZone();
    for (const ZoneExpectation &e : expectations) {
        if (zone != e.zone)
            continue;
        const TWeatherData data = Parse(document);
        ASSERT_EQ(data.size(), 1);
        EXPECT_EQ(data[0].FromTime == kNoDateTime ? QString() : LocalText(data[0].FromTime), e.from);
        EXPECT_EQ(data[0].ToTime == kNoDateTime ? QString() : LocalText(data[0].ToTime), e.to);
        EXPECT_EQ(LocalText(data[0].TimeStamp), e.timeStamp);
        return;
    }
    FAIL() << "no expectation for TZ=" << zone.constData();
}

TEST(ZonedForecastTimes, LateUtcSlotStartsTheNextLocalDayEastOfGreenwich)
{
    ExpectTimes("<weatherdata><forecast>"
                "<time from=\"2026-03-02T21:00:00\" to=\"2026-03-03T00:00:00\"/>"
                "</forecast></weatherdata>",
                {{"Europe/Moscow", "2026-03-03 00:00", "2026-03-03 03:00", "2026-03-03 00:00"},
                 {"America/New_York", "2026-03-02 16:00", "2026-03-02 19:00", "2026-03-02 00:00"}});
}

TEST(ZonedForecastTimes, DayRecordFallsOnThePreviousEveningWestOfGreenwich)
{
    ExpectTimes("<weatherdata><forecast><time day=\"2026-03-02\"/></forecast></weatherdata>",
                {{"Europe/Moscow", "", "", "2026-03-02 03:00"},
                 {"America/New_York", "", "", "2026-03-01 19:00"}});
}

} // namespace
