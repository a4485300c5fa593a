#include "DateTimeConv.h"
#include "XmlValues.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QDateTime>


namespace {

TEST(Numbers, LenientReadsDecimalsAndElseZero)
{
    struct {
        const char *text;
        double expected;
    } const cases[] = {
        {"12.5", 12.5}, {"-3.25", -3.25}, {"+7", 7}, {"1e3", 1000}, {"2.5E-1", 0.25},
        {".5", 0.5},    {"5.", 5},        {" 42 ", 42}, {"", 0},      {"12,5", 0},
        {"12abc", 0},   {"abc", 0},       {"nan", 0},   {"inf", 0},   {"1e999", 0},
        {"0x1F", 0},    {"--1", 0},       {"1.2.3", 0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(LenientNumber(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(Numbers, StrictThrowsWhereLenientGivesZero)
{
    EXPECT_DOUBLE_EQ(StrictNumber(QStringLiteral("1021.5")), 1021.5);
    EXPECT_DOUBLE_EQ(StrictNumber(QStringLiteral("-0")), 0.0);
    for (const char *bad : {"", "12,5", "abc", "12abc", "nan", "1e999"})
        EXPECT_THROW(StrictNumber(QString::fromLatin1(bad)), EConvertError) << bad;
}

TEST(Numbers, CityIdIsA32BitInteger)
{
    EXPECT_EQ(StrictCityId(QStringLiteral("3067696")), 3067696);
    EXPECT_EQ(StrictCityId(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(StrictCityId(QStringLiteral("-2147483648")), -2147483648LL);
    EXPECT_EQ(StrictCityId(QStringLiteral("0")), 0);
    for (const char *bad : {"2147483648", "-2147483649", "12.0", "1e3", "", "id", "99999999999"})
        EXPECT_THROW(StrictCityId(QString::fromLatin1(bad)), EConvertError) << bad;
}

QString LocalText(TDateTime value)
{
    return QDateTimeFromDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

TEST(ZonedXmlTimeToLocal, FollowsTheMachineZone)
{
    struct {
        const char *text;
        const char *newYork;
        const char *tokyo;
    } const cases[] = {
        // A date alone is midnight UTC: the evening before west of Greenwich.
        {"2026-03-02", "2026-03-01 19:00:00", "2026-03-02 09:00:00"},
        {"2026-12-09T21:30:00", "2026-12-09 16:30:00", "2026-12-10 06:30:00"},
        // Daylight saving time in New York.
        {"2026-07-01T12:00:00", "2026-07-01 08:00:00", "2026-07-01 21:00:00"},
        // The night the clocks go forward (07:00 UTC is 03:00 EDT).
        {"2026-03-08T07:00:00", "2026-03-08 03:00:00", "2026-03-08 16:00:00"},
        {"2026-07-01T12:00:00Z", "2026-07-01 08:00:00", "2026-07-01 21:00:00"},
        {"2026-07-01T12:00:00+02:00", "2026-07-01 06:00:00", "2026-07-01 19:00:00"},
        {"2026-07-01T12:00:00-0330", "2026-07-01 11:30:00", "2026-07-02 00:30:00"},
    };
    const QByteArray zone = CurrentZone();
    if (zone != "America/New_York" && zone != "Asia/Tokyo")
        FAIL() << "run under TZ=America/New_York or TZ=Asia/Tokyo (CTest sets it)";
    for (const auto &c : cases) {
        const char *expected = zone == "Asia/Tokyo" ? c.tokyo : c.newYork;
        EXPECT_EQ(LocalText(XmlTimeToLocal(QString::fromLatin1(c.text))).toStdString(), expected)
            << c.text;
    }
}

TEST(XmlTimeToLocal, UnreadableTextIsZero)
{
    for (const char *bad : {"", "yesterday", "2026-13-01", "2026-02-30", "2026-01-01T25:00:00",
                            "2026-01-01 12:00:00", "26-01-01"})
        EXPECT_EQ(XmlTimeToLocal(QString::fromLatin1(bad)), kNoDateTime) << bad;
}

} // namespace
