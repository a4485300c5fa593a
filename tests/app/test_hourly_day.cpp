// The hourly view's data: the hours grouped into the forecast's days by local
// date, in zones west and east of Greenwich, beyond UTC+12 and off the whole
// hour, and the texts each hour and a day without hours show.
#include "DateTimeConv.h"
#include "Forecast.h"
#include "HourlyDay.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "ServiceResponse.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDomDocument>
#include <QTimeZone>

#include <limits>
#include <vector>

namespace {

constexpr int kSecondsPerSlot = 3 * 60 * 60;
constexpr int kSecondsPerHour = 60 * 60;
constexpr int kSlots = 40; // five days, as the service sends them
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime Utc(const char *text)
{
    QDateTime value = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    value.setTimeZone(QTimeZone::utc());
    return value;
}

// A free key's five days of 3-hour slots from `first` (UTC), folded into days
// as the program asks for them, with the slots kept.
void ParseSlots(const QDateTime &first, TWeatherData &days, TWeatherData &threeHours)
{
    QString xml = QStringLiteral("<weatherdata><location><name>Testville</name></location><forecast>");
    const QString format = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
    for (int i = 0; i < kSlots; ++i) {
        const QDateTime from = first.addSecs(qint64(i) * kSecondsPerSlot);
        xml += QStringLiteral("<time from=\"%1\" to=\"%2\"><symbol number=\"800\" var=\"01d\"/>"
                              "<temperature value=\"%3\" min=\"0\" max=\"9\"/></time>")
                   .arg(from.toString(format), from.addSecs(kSecondsPerSlot).toString(format))
                   .arg(i);
    }
    xml += QStringLiteral("</forecast></weatherdata>");
    QDomDocument dom;
    QString error;
    ASSERT_TRUE(LoadXmlDocument(xml.toUtf8(), dom, error)) << error.toStdString();
    TRequestRecord request;
    request.KeyType = ktFree;
    request.ForecastMode = fmDaily;
    request.Units = QStringLiteral("metric");
    ParseForecast(dom.documentElement(), request, days, &threeHours);
}

QDate LocalDate(TDateTime value)
{
    return QDateTimeFromDateTime(value).date();
}

// The local date an instant given in UTC falls on, by Qt's zone rules alone.
QDate LocalDateOf(const QDateTime &utc)
{
    return utc.toLocalTime().date();
}

struct ZoneGroups {
    const char *zone;
    QDate firstDay;             // the local date of the first folded day
    std::vector<int> hours;     // per day, how many slots start on it
    const char *firstHour;      // the local start of the first day's first slot
};

// Slots from 09:00 UTC on 10 February (no change of summer time near it).
const ZoneGroups kZones[] = {
    {"America/New_York", QDate(2026, 2, 10), {7, 8, 8, 8, 8}, "04:00"},
    {"Europe/Prague", QDate(2026, 2, 10), {5, 8, 8, 8, 8}, "10:00"},
    {"Asia/Tokyo", QDate(2026, 2, 10), {2, 8, 8, 8, 8}, "18:00"},
    // Fourteen hours east: each UTC day is dated by the next local date, and
    // the first slot (23:00 on the 10th, no day's date) is left out.
    {"Pacific/Kiritimati", QDate(2026, 2, 11), {8, 8, 8, 8, 7}, "02:00"},
    // Half an hour off: the 23:30 slot runs past midnight and stays on the 10th.
    {"Asia/Kolkata", QDate(2026, 2, 10), {4, 8, 8, 8, 8}, "14:30"},
    {"America/St_Johns", QDate(2026, 2, 10), {7, 8, 8, 8, 8}, "05:30"},
};

const ZoneGroups *CurrentZoneGroups()
{
    for (const ZoneGroups &zone : kZones)
        if (CurrentZone() == zone.zone)
            return &zone;
    return nullptr;
}

TEST(ZonedHourGroups, SlotsGoToTheDayTheyStartOn)
{
    const ZoneGroups *zone = CurrentZoneGroups();
    ASSERT_NE(zone, nullptr) << "no expectation for TZ=" << CurrentZone().constData();
    const QDateTime first = Utc("2026-02-10T09:00:00");
    TWeatherData days, threeHours;
    ParseSlots(first, days, threeHours);
    ASSERT_EQ(days.size(), 5);
    ASSERT_EQ(threeHours.size(), kSlots);
    const THourGroups groups = GroupHoursByDay(days, threeHours);
    ASSERT_EQ(groups.size(), days.size());
    int previous = -1;
    for (int day = 0; day < days.size(); ++day) {
        SCOPED_TRACE(day);
        EXPECT_EQ(LocalDate(days[day].TimeStamp), zone->firstDay.addDays(day));
        ASSERT_EQ(groups[day].size(), zone->hours[static_cast<size_t>(day)]);
        for (const int slot : groups[day]) {
            // In order, each once, and starting on the day's date.
            EXPECT_GT(slot, previous);
            previous = slot;
            EXPECT_EQ(LocalDateOf(first.addSecs(qint64(slot) * kSecondsPerSlot)), zone->firstDay.addDays(day));
        }
    }
    const QDateTime firstHour = first.addSecs(qint64(groups[0].value(0)) * kSecondsPerSlot).toLocalTime();
    EXPECT_EQ(firstHour.toString(QStringLiteral("HH:mm")), QString::fromLatin1(zone->firstHour));
}

// Hours given by one time each, as the hourly service sends them: a whole
// local day gets all 24 in every zone.
TEST(ZonedHourGroups, HoursWithOneTimeFillTheirLocalDay)
{
    const QDateTime first = Utc("2026-02-10T00:00:00");
    TWeatherData hours(72);
    for (int i = 0; i < hours.size(); ++i)
        hours[i].TimeStamp = DateTimeFromQDateTime(first.addSecs(qint64(i) * kSecondsPerHour).toLocalTime());
    const QDate middle(2026, 2, 11);
    TWeatherData days(3);
    for (int day = 0; day < days.size(); ++day)
        days[day].TimeStamp = DateTimeFromQDateTime(QDateTime(middle.addDays(day - 1), QTime(0, 0)));
    const THourGroups groups = GroupHoursByDay(days, hours);
    ASSERT_EQ(groups.size(), 3);
    ASSERT_EQ(groups[1].size(), 24);
    for (const int hour : groups[1])
        EXPECT_EQ(LocalDateOf(first.addSecs(qint64(hour) * kSecondsPerHour)), middle);
}

TEST(HourGroups, HoursAndDaysWithoutATimeAreLeftOut)
{
    TWeatherData days(2);
    days[0].TimeStamp = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(0, 0)));
    days[1].TimeStamp = kNoDateTime; // a day the row list leaves out too
    TWeatherData hours(3);
    hours[0].FromTime = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(6, 0)));
    hours[1].FromTime = std::numeric_limits<double>::quiet_NaN();
    hours[2].TimeStamp = kNoDateTime;
    const THourGroups groups = GroupHoursByDay(days, hours);
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0], QVector<int>{0});
    EXPECT_TRUE(groups[1].isEmpty());
    EXPECT_TRUE(GroupHoursByDay(TWeatherData(), hours).isEmpty());
}

struct Languages {
    TLanguageManager app;
    TLanguageManager reference;
    Languages() { ResetTexts(); }
};

TWeatherRecord Slot(int hour, double chance)
{
    TWeatherRecord r;
    r.FromTime = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(hour, 0)));
    r.ToTime = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(hour + 3, 0)));
    r.Weather.Value = 501;
    r.Weather.Icon = QStringLiteral("10d.png");
    r.Temp.Value.Value = -2.6;
    r.Temp.Value.Units = QStringLiteral("°C");
    r.Precipitation.Value = 0.27;
    r.Precipitation.Units = QStringLiteral("mm");
    r.PrecipitationChance = chance;
    r.Wind.Speed.Value = 3.62;
    r.Wind.Speed.Units = QStringLiteral("m/s");
    r.Wind.Direction.Code = QStringLiteral("NW");
    return r;
}

TEST(HourlyDayTexts, EachHourSaysItsTimeWeatherAndChanceOnlyWhereGiven)
{
    Languages languages;
    TWeatherRecord day;
    day.TimeStamp = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(0, 0)));
    const THourlyDay view = BuildHourlyDay(day, {Slot(9, 0.4), Slot(12, kNoPrecipitationChance)},
                                           QStringLiteral("/data/"), kEnglish, languages.app, languages.reference);
    EXPECT_EQ(view.Title, QStringLiteral("Tuesday 2/10/2026"));
    EXPECT_TRUE(view.DetailText.isEmpty());
    ASSERT_EQ(view.Hours.size(), 2);
    const THourCell &rainy = view.Hours[0];
    EXPECT_EQ(rainy.IconPath, QStringLiteral("/data/10d.png"));
    EXPECT_EQ(rainy.TimeText, kEnglish.toString(QTime(9, 0), QLocale::ShortFormat));
    EXPECT_EQ(rainy.TemperatureText, QStringLiteral("-3°C"));
    EXPECT_DOUBLE_EQ(rainy.Temperature, -2.6);
    EXPECT_EQ(rainy.PrecipitationText, QStringLiteral("0.3 mm"));
    EXPECT_EQ(rainy.ChanceText, QStringLiteral("40%"));
    EXPECT_EQ(rainy.WindText, QStringLiteral("3.6 m/s"));
    EXPECT_EQ(rainy.WindDirectionText, QStringLiteral("NW"));
    const QString range = kEnglish.toString(QTime(9, 0), QLocale::ShortFormat) + QStringLiteral("\u2013")
                          + kEnglish.toString(QTime(12, 0), QLocale::ShortFormat);
    EXPECT_EQ(rainy.AccessibleText, range + QStringLiteral(": Moderate rain, Temperature: -3°C, Precipitations: "
                                                           "0.3 mm, Chance of precipitation: 40%, Wind: 3.6 m/s NW"));
    EXPECT_TRUE(view.Hours[1].ChanceText.isEmpty());
    EXPECT_FALSE(view.Hours[1].AccessibleText.contains(lc_PrecipChance));
}

// Every locale writes an hour to the minute, the C locale (whose short time
// has seconds) too.
TEST(HourlyDayTexts, HoursAreWrittenToTheMinuteInEveryLocale)
{
    Languages languages;
    TWeatherRecord day;
    day.TimeStamp = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(0, 0)));
    const struct {
        QLocale locale;
        const char *time;
    } cases[] = {
        {QLocale::c(), "09:00"},
        {kEnglish, "9:00 AM"},
        {QLocale(QLocale::German, QLocale::Germany), "09:00"},
        {QLocale(QLocale::Japanese, QLocale::Japan), "9:00"},
    };
    for (const auto &c : cases) {
        const THourlyDay view = BuildHourlyDay(day, {Slot(9, 0.4)}, QString(), c.locale, languages.app,
                                               languages.reference);
        ASSERT_EQ(view.Hours.size(), 1);
        EXPECT_EQ(view.Hours[0].TimeText, QString::fromUtf8(c.time)) << c.locale.name().toStdString();
    }
}

TEST(HourlyDayTexts, ADayWithoutHoursShowsItsDetail)
{
    Languages languages;
    TWeatherRecord day = Slot(0, 0.75);
    day.TimeStamp = DateTimeFromQDateTime(QDateTime(QDate(2026, 2, 10), QTime(0, 0)));
    day.Temp.Value.Max = 4.2;
    day.Temp.Value.Min = -3.1;
    day.Pressure.Value = 1012.3;
    day.Pressure.Units = QStringLiteral("hPa");
    day.Humidity.Value = 81;
    day.Clouds.Value = 40;
    const THourlyDay view = BuildHourlyDay(day, {}, QStringLiteral("/data/"), kEnglish, languages.app,
                                           languages.reference);
    EXPECT_TRUE(view.Hours.isEmpty());
    EXPECT_EQ(view.DetailText, QStringLiteral("Moderate rain\nTemperature: 4/-3 °C\n"
                                              "Precipitations: 0.3 mm, 75%\nWind: 3.6 m/s NW\n"
                                              "Pressure: 1012.3 hPa\nHumidity: 81%\nCloud Coverage: 40%\n")
                                   + lc_NoHours);
}

} // namespace
