// The free key's daily fold in zones west and east of Greenwich: whatever hour
// (UTC) the 3-hour forecast starts at, its days are dated one after another,
// each by the UTC day it covers, and no date comes twice.
#include "DateTimeConv.h"
#include "Forecast.h"
#include "ServiceResponse.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDomDocument>
#include <QTimeZone>

namespace {

constexpr int kSecondsPerSlot = 3 * 60 * 60;
constexpr int kSlots = 40; // five days, as the service sends them

QByteArray Slots(const QDateTime &first)
{
    QString xml = QStringLiteral("<weatherdata><location><name>Testville</name></location><forecast>");
    const QString format = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
    for (int i = 0; i < kSlots; ++i) {
        const QDateTime from = first.addSecs(qint64(i) * kSecondsPerSlot);
        xml += QStringLiteral("<time from=\"%1\" to=\"%2\"><symbol number=\"%3\" var=\"01d\"/>"
                              "<temperature value=\"5\" min=\"%4\" max=\"%5\"/></time>")
                   .arg(from.toString(format), from.addSecs(kSecondsPerSlot).toString(format))
                   .arg(100 + i)
                   .arg(i)
                   .arg(i + 100);
    }
    return (xml + QStringLiteral("</forecast></weatherdata>")).toUtf8();
}

TWeatherData FoldFrom(const QDateTime &first)
{
    QDomDocument dom;
    QString error;
    EXPECT_TRUE(LoadXmlDocument(Slots(first), dom, error)) << error.toStdString();
    TRequestRecord request;
    request.KeyType = ktFree;
    request.ForecastMode = fmDaily;
    request.Units = QStringLiteral("metric");
    TWeatherData data;
    ParseForecast(dom.documentElement(), request, data);
    return data;
}

struct StartCase {
    const char *name;
    const char *firstSlot; // UTC
    QDate firstDay;        // the UTC day of the first record
    int days;
};

void PrintTo(const StartCase &c, std::ostream *os)
{
    *os << c.name;
}

class ZonedForecastFold : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(ZonedForecastFold, DatesRiseByOneDayPerRecord)
{
    const StartCase &c = GetParam();
    QDateTime first = QDateTime::fromString(QString::fromLatin1(c.firstSlot), Qt::ISODate);
    first.setTimeZone(QTimeZone::utc());
    const TWeatherData data = FoldFrom(first);
    ASSERT_EQ(data.size(), c.days);
    for (int i = 0; i < data.size(); ++i) {
        SCOPED_TRACE(i);
        const QDateTime stamp = QDateTimeFromDateTime(data[i].TimeStamp);
        EXPECT_EQ(stamp.date(), c.firstDay.addDays(i));
        EXPECT_EQ(stamp.time(), QTime(0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Starts, ZonedForecastFold,
    ::testing::Values(
        // Fetched between 21:00 and 24:00 UTC: the first slot only closes the day before.
        StartCase{"Midnight", "2026-03-02T00:00:00", QDate(2026, 3, 2), 4},
        StartCase{"Morning", "2026-03-02T09:00:00", QDate(2026, 3, 2), 5},
        // Its first day has no noon slot; east of Greenwich it used to take the next date.
        StartCase{"Afternoon", "2026-03-02T15:00:00", QDate(2026, 3, 2), 5},
        // Across the change to summer time in New York (8 March).
        StartCase{"AcrossSummerTime", "2026-03-06T15:00:00", QDate(2026, 3, 6), 5}),
    [](const ::testing::TestParamInfo<StartCase> &param) { return param.param.name; });

} // namespace
