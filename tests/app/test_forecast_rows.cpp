// The forecast list's rows: their texts, their sun times and the moon data
// they carry. Sun references are universal times from an independent
// ephemeris (libnova 0.16's rise and set for the sun, at the places below),
// so a row that took another day's event is off by a day, not by seconds.
#include "DateTimeConv.h"
#include "DeltaT.h"
#include "ForecastRows.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "MoonTable.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMinute = 1.0 / (24 * 60);
constexpr double kSunTolerance = 2 * kMinute;
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kCzech(QLocale::Czech, QLocale::CzechRepublic);

struct Languages {
    TLanguageManager app;
    TLanguageManager reference;
    Languages() { ResetTexts(); }
};

QDateTime UtcAt(const char *text)
{
    QDateTime value = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    value.setTimeZone(QTimeZone::utc());
    return value;
}

TDateTime LocalValue(const QDateTime &instant)
{
    return DateTimeFromQDateTime(instant.toLocalTime());
}

TWeatherRecord Record(double lat, double lon, const QDate &localDay)
{
    TWeatherRecord r;
    r.City.Lat = lat;
    r.City.Lon = lon;
    r.TimeStamp = DateTimeFromQDateTime(QDateTime(localDay, QTime(0, 0)));
    r.Temp.Value.Min = 3.4;
    r.Temp.Value.Max = 11.6;
    r.Temp.Value.Units = QStringLiteral("°C");
    r.Humidity.Value = 81;
    r.Humidity.Units = QStringLiteral("%");
    r.Pressure.Value = 1012.25;
    r.Pressure.Units = QStringLiteral("hPa");
    r.Wind.Speed.Value = 4.125;
    r.Wind.Speed.Units = QStringLiteral("m/s");
    r.Wind.Speed.Name = QStringLiteral("Gentle Breeze");
    r.Wind.Direction.Code = QStringLiteral("WSW");
    r.Clouds.Value = 90;
    r.Precipitation.Value = 2.25;
    r.Weather.Value = 500;
    r.Weather.Icon = QStringLiteral("10d.png");
    return r;
}

// Sunrise and sunset of three consecutive universal days at a place.
struct SunReference {
    const char *place;
    double lat;
    double lon; // east positive, as the service gives it
    QDate day;  // the middle universal day; the row is dated on it locally
    const char *rises[3];
    const char *sets[3];
};

const SunReference kSunReferences[] = {
    {"Sydney winter", -33.8688, 151.2093, QDate(2026, 6, 15),
     {"2026-06-14T20:56:31", "2026-06-15T20:56:52", "2026-06-16T20:57:12"},
     {"2026-06-14T06:51:22", "2026-06-15T06:51:25", "2026-06-16T06:51:30"}},
    {"Sydney summer", -33.8688, 151.2093, QDate(2026, 1, 10),
     {"2026-01-09T18:53:12", "2026-01-10T18:54:05", "2026-01-11T18:54:59"},
     {"2026-01-09T09:08:32", "2026-01-10T09:08:28", "2026-01-11T09:08:22"}},
    {"New York summer", 40.7128, -74.0060, QDate(2026, 6, 21),
     {"2026-06-20T09:23:16", "2026-06-21T09:23:27", "2026-06-22T09:23:41"},
     {"2026-06-20T00:28:40", "2026-06-21T00:28:56", "2026-06-22T00:29:09"}},
    {"Prague", 50.088, 14.4208, QDate(2026, 3, 2),
     {"2026-03-01T05:45:16", "2026-03-02T05:43:12", "2026-03-03T05:41:09"},
     {"2026-03-01T16:42:08", "2026-03-02T16:43:48", "2026-03-03T16:45:27"}},
};

// The reference event that falls on `localDay` in this zone; invalid when none does.
QDateTime OnLocalDay(const char *const (&events)[3], const QDate &localDay)
{
    for (const char *event : events) {
        const QDateTime instant = UtcAt(event);
        if (instant.toLocalTime().date() == localDay)
            return instant;
    }
    return {};
}

} // namespace

// The search over the universal days overlapping a local date: under a zone
// ten hours east (where the suite runs first) a Sydney row's sunrise comes from
// the previous universal day; west of Greenwich a New York summer row's sunset
// from the next one. A longitude passed with its sign unchanged would put the
// events hours away from the references.
TEST(ZonedSunTimes, EachRowGetsTheEventsOfItsOwnLocalDate)
{
    for (const SunReference &ref : kSunReferences) {
        SCOPED_TRACE(ref.place);
        const TSunTimes sun = SunTimesOnLocalDate(ref.lat, ref.lon, ref.day);
        const QDateTime rise = OnLocalDay(ref.rises, ref.day);
        const QDateTime set = OnLocalDay(ref.sets, ref.day);
        ASSERT_EQ(sun.HasRise, rise.isValid());
        ASSERT_EQ(sun.HasSet, set.isValid());
        if (sun.HasRise) {
            EXPECT_NEAR(sun.Rise, LocalValue(rise), kSunTolerance);
            EXPECT_EQ(QDateTimeFromDateTime(sun.Rise).date(), ref.day);
        }
        if (sun.HasSet) {
            EXPECT_NEAR(sun.Set, LocalValue(set), kSunTolerance);
            EXPECT_EQ(QDateTimeFromDateTime(sun.Set).date(), ref.day);
        }
    }
}

TEST(ZonedSunTimes, PolarNightAndDayHaveNoEventsAndBadPlacesNone)
{
    // Tromsø: no sunrise from early December to early January; at 80° north
    // the sun never sets around midsummer.
    const TSunTimes night = SunTimesOnLocalDate(69.6496, 18.9560, QDate(2026, 12, 15));
    EXPECT_FALSE(night.HasRise);
    EXPECT_FALSE(night.HasSet);
    const TSunTimes day = SunTimesOnLocalDate(80.0, 15.0, QDate(2026, 6, 21));
    EXPECT_FALSE(day.HasRise);
    EXPECT_FALSE(day.HasSet);
    for (const auto &[lat, lon] : {std::pair{kNaN, 14.0}, {50.0, kInf}, {91.0, 0.0}, {0.0, -181.0}}) {
        const TSunTimes none = SunTimesOnLocalDate(lat, lon, QDate(2026, 3, 2));
        EXPECT_FALSE(none.HasRise || none.HasSet) << lat << " " << lon;
    }
    EXPECT_FALSE(SunTimesOnLocalDate(50.0, 14.0, QDate()).HasRise);
}

// The three text columns exactly: numbers in the user's Czech locale, texts
// and dates in the program's language (English, built in).
TEST(ForecastRows, ColumnTextsInTheUsersLocale)
{
    Languages lang;
    TWeatherRecord r = Record(69.6496, 18.9560, QDate(2026, 12, 15)); // Tromsø, polar night
    EXPECT_EQ(RowDateText(QDate(2026, 12, 15), QStringList(), kEnglish),
              QStringLiteral("\nTuesday\n12/15/2026\n\nDay 349"));
    EXPECT_EQ(RowDescriptionText(r, kCzech, lang.app, lang.reference),
              QStringLiteral("Light rain, gentle breeze\n\nHumidity: 81 %\nWind: 4,13 m/s WSW\n"
                             "Precipitations: 2,25 mm"));
    EXPECT_EQ(RowPressureText(r, kCzech), QStringLiteral("1012,3 hPa"));
    EXPECT_EQ(RowRangeText(r, kCzech), QStringLiteral("12/3 °C"));

    TMoonDay moon; // as the fetch worked it out
    moon.Illuminated = 42;
    const TForecastRows rows = BuildForecastRows({r}, QStringLiteral("/data"), QStringList(), kCzech, lang.app,
                                                 lang.reference, TForecastSunTimes(), TMoonDays{moon});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].DateText, QStringLiteral("\nTuesday\n12/15/2026\n\nDay 349"));
    // No sunrise at all: the sun lines are left out, the rest stays.
    EXPECT_EQ(rows[0].MoonSunText, QStringLiteral("Moon: 42%\n\n\n\nCloud Coverage: 90 %"));
    EXPECT_EQ(rows[0].IconPath, QStringLiteral("/data/10d.png"));
    EXPECT_FALSE(rows[0].Weekend);
}

// Imperial records carry inches of mercury and inches from the client: the
// pressure keeps two decimals there, and every unit is the record's own.
TEST(ForecastRows, ImperialUnitsAsTheRecordCarriesThem)
{
    Languages lang;
    TWeatherRecord r = Record(40.7, -74.0, QDate(2026, 12, 10));
    r.Temp.Value.Units = QStringLiteral("°F");
    r.Pressure.Value = 29.8913;
    r.Pressure.Units = QStringLiteral("inHg");
    r.Wind.Speed.Value = 7.38;
    r.Wind.Speed.Units = QStringLiteral("mph");
    r.Precipitation.Value = 0.0886;
    r.Precipitation.Units = QStringLiteral("in");
    EXPECT_EQ(RowPressureText(r, kEnglish), QStringLiteral("29.89 inHg"));
    EXPECT_EQ(RowRangeText(r, kEnglish), QStringLiteral("12/3 °F"));
    EXPECT_EQ(RowDescriptionText(r, kEnglish, lang.app, lang.reference),
              QStringLiteral("Light rain, gentle breeze\n\nHumidity: 81 %\nWind: 7.38 mph WSW\n"
                             "Precipitations: 0.09 in"));
}

TEST(ForecastRows, SunLinesInLocalTimeAndWhatASunriseWithoutSunsetShows)
{
    Languages lang;
    TWeatherRecord r = Record(50.088, 14.4208, QDate(2026, 3, 2));
    TSunTimes sun;
    sun.HasRise = true;
    sun.Rise = DateTimeFromQDateTime(QDateTime(QDate(2026, 3, 2), QTime(6, 43, 12)));
    sun.HasSet = true;
    sun.Set = DateTimeFromQDateTime(QDateTime(QDate(2026, 3, 2), QTime(17, 43, 48)));
    TMoonDay moon;
    moon.Illuminated = 42;
    EXPECT_EQ(RowMoonSunText(r, moon, sun, kCzech),
              QStringLiteral("Moon: 42%\n\nSunrise: 6:43:12\nSunset: 17:43:48\n\nCloud Coverage: 90 %"));
    sun.HasSet = false;
    EXPECT_EQ(RowMoonSunText(r, moon, sun, kCzech),
              QStringLiteral("Moon: 42%\n\nSunrise: 6:43:12\n\n\nCloud Coverage: 90 %"));

    // The row keeps the sun times it was built with, on its own date.
    const TForecastRows rows = BuildForecastRows({r}, QString(), QStringList(), kEnglish, lang.app, lang.reference);
    ASSERT_EQ(rows.size(), 1);
    ASSERT_TRUE(rows[0].Sun.HasRise && rows[0].Sun.HasSet);
    EXPECT_EQ(QDateTimeFromDateTime(rows[0].Sun.Rise).date(), QDate(2026, 3, 2));
    EXPECT_TRUE(rows[0].MoonSunText.contains(QStringLiteral("\nSunset: ")));
}

TEST(ForecastRows, NumbersThatAreNotNumbersAndTheFoldsNoTemperatureMarkers)
{
    Languages lang;
    TWeatherRecord r = Record(50.0, 14.0, QDate(2026, 3, 2));
    r.Temp.Value.Max = kFoldNoHighestMax;
    r.Temp.Value.Min = kFoldNoLowestMin;
    EXPECT_EQ(RowRangeText(r, kEnglish), QStringLiteral("\u2013 °C"));
    r.Temp.Value.Max = kNaN;
    r.Temp.Value.Min = 4;
    EXPECT_EQ(RowRangeText(r, kEnglish), QStringLiteral("\u2013/4 °C"));
    r.Pressure.Value = kInf;
    r.Pressure.Units.clear();
    EXPECT_EQ(RowPressureText(r, kEnglish), QStringLiteral("\u2013"));
    r.Humidity.Value = kNaN;
    r.Clouds.Value = -kInf;
    r.Wind.Direction.Code.clear();
    const QString description = RowDescriptionText(r, kEnglish, lang.app, lang.reference);
    EXPECT_TRUE(description.contains(QStringLiteral("Humidity: \u2013 %\nWind: 4.13 m/s\n"))) << description.toStdString();
    EXPECT_TRUE(RowMoonSunText(r, {}, {}, kEnglish).endsWith(QStringLiteral("Cloud Coverage: \u2013 %")));
}

TEST(ForecastRows, OneRowPerDatedRecordAndWeekends)
{
    Languages lang;
    TWeatherData forecast;
    for (int day = 0; day < 4; ++day)
        forecast << Record(50.088, 14.4208, QDate(2026, 3, 6).addDays(day)); // Friday ..
    forecast[1].TimeStamp = 0;     // no time from the service: no row
    forecast[2].City.Lat = kNaN;   // a place the astronomy cannot use costs only its sun lines
    const TForecastRows rows = BuildForecastRows(forecast, QString(), QStringList(), kEnglish, lang.app,
                                                 lang.reference);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].Index, 0);
    EXPECT_EQ(rows[1].Index, 2);
    EXPECT_EQ(rows[2].Index, 3);
    EXPECT_FALSE(rows[0].Weekend); // Friday
    EXPECT_TRUE(rows[1].Weekend);  // Sunday
    EXPECT_FALSE(rows[2].Weekend); // Monday
    EXPECT_FALSE(rows[1].Sun.HasRise);
    EXPECT_TRUE(rows[0].Sun.HasRise && rows[2].Sun.HasRise);
    EXPECT_TRUE(rows[0].IconPath.isEmpty() == false);
    EXPECT_FALSE(rows[0].MoonUpsideDown);
    EXPECT_FALSE(rows[1].MoonUpsideDown); // no usable latitude: the northern view

    // The sun times worked out on the fetch's thread, one per record, land on
    // the same rows as those worked out here, the undated record skipped.
    const TForecastRows given = BuildForecastRows(forecast, QString(), QStringList(), kEnglish, lang.app,
                                                  lang.reference, ForecastSunTimes(forecast));
    ASSERT_EQ(given.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(given[i].Sun.HasRise, rows[i].Sun.HasRise) << i;
        EXPECT_EQ(given[i].Sun.Rise, rows[i].Sun.Rise) << i;
        EXPECT_EQ(given[i].Sun.Set, rows[i].Sun.Set) << i;
        EXPECT_EQ(given[i].MoonSunText, rows[i].MoonSunText) << i;
    }

    // South of the equator the moon's pictures are turned.
    forecast[0].City.Lat = -33.87;
    EXPECT_TRUE(BuildForecastRows(forecast, QString(), QStringList(), kEnglish, lang.app, lang.reference)[0]
                    .MoonUpsideDown);
}

// The phase name stands in the row of the phase's local date only; the other
// rows show the lit percentage.
TEST(ZonedForecastRows, PhaseNameOnlyOnTheDayOfThePhase)
{
    Languages lang;
    TWeatherData forecast;
    for (int day = 0; day < 5; ++day)
        forecast << Record(50.088, 14.4208, QDate(2025, 9, 5).addDays(day));
    const QDate fullMoonDay = UtcAt("2025-09-07T18:08:49").toLocalTime().date();
    const TForecastRows rows = BuildForecastRows(forecast, QString(), QStringList(), kEnglish, lang.app,
                                                 lang.reference);
    ASSERT_EQ(rows.size(), 5);
    for (const TForecastRow &row : rows) {
        SCOPED_TRACE(row.Date.toString(Qt::ISODate).toStdString());
        const QString moonLine = row.MoonSunText.section(QLatin1Char('\n'), 0, 0);
        if (row.Date == fullMoonDay)
            EXPECT_EQ(moonLine, QStringLiteral("Moon: Full Moon"));
        else
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^Moon: (8[0-9]|9[0-9]|100)%$")).match(moonLine).hasMatch())
                << moonLine.toStdString();
    }
}

// Observed differences between dynamical and universal time (IERS, at the
// start of each year) against the model used for the phase times.
TEST(DeltaT, ModelFollowsTheObservedDifference)
{
    struct Case {
        double year;
        double observed;
    };
    const Case cases[] = {{1990.0, 56.86}, {2000.0, 63.83}, {2010.0, 66.07}, {2020.0, 69.36}};
    for (const Case &c : cases)
        EXPECT_NEAR(DeltaTSeconds(c.year), c.observed, 2.5) << c.year;
    // No jumps where one polynomial hands over to the next.
    for (const double edge : {1986.0, 2005.0, 2050.0, 2150.0})
        EXPECT_NEAR(DeltaTSeconds(edge - 1e-9), DeltaTSeconds(edge + 1e-9), 1.0) << edge;
    EXPECT_NEAR(DecimalYear(DateTimeFromQDateTime(QDateTime(QDate(2026, 7, 2), QTime(12, 0)))), 2026.5, 0.01);
    const TDateTime t = 46083.5;
    EXPECT_NEAR((t - DynamicalToUniversal(t)) * 86400.0, DeltaTSeconds(DecimalYear(t)), 1e-3);
    EXPECT_NEAR(UniversalToDynamical(DynamicalToUniversal(t)), t, 1e-9);
}
