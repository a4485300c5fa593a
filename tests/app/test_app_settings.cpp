#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

namespace {

QVariant Stored(const TLayoutManagerValues &values, const char *name)
{
    return values.GetValueByName(QString::fromLatin1(name));
}

} // namespace

TEST(AppSettings, RegistersTheValuesInOrderWithTheirDefaults)
{
    TLayoutManagerValues values;
    RegisterDefaults(values);
    struct Expected {
        const char *name;
        QVariant value;
    };
    const Expected expected[] = {
        {"RAS", true},         {"WL", QStringLiteral("Prague,CZ")}, {"WLID", QStringLiteral("-1")},
        {"U", 0},              {"WRI", 60},                         {"WFD", 5},
        {"CFU", true},         {"OWM", QString()},                  {"PS", false},
        {"LNG", QString()},    {"WS", QStringLiteral("owm")},       {"OP", true},
        {"TT", false},         {"WLAT", QString()},                 {"WLON", QString()},
    };
    ASSERT_EQ(values.Count(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < values.Count(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(values.Item(i)->Name(), QString::fromLatin1(expected[i].name));
        EXPECT_EQ(values.Item(i)->Value().typeId(), expected[i].value.typeId());
        EXPECT_EQ(values.Item(i)->Value(), expected[i].value);
        // Only the API key is enciphered, with the fixed 12-character password.
        EXPECT_EQ(values.Item(i)->Key().size(), i == 7 ? 12 : 0);
    }
    EXPECT_EQ(values.Item(7)->Key(), QString::fromLatin1(kApiKeyPassword));
}

// What a hand-edited or older file holds for the service and the coordinates.
TEST(AppSettings, ReadsTheServiceAndOnlyUsableCoordinates)
{
    struct Case {
        const char *service;
        const char *latitude;
        const char *longitude;
        TWeatherService expectedService;
        bool expectedCoordinates;
    };
    const Case cases[] = {
        {"openmeteo", "50.0880", "14.4208", wsOpenMeteo, true},
        {" OpenMeteo ", "-33.9", "-151.2", wsOpenMeteo, true},
        {"owm", "", "", wsOwm, false},
        {"yahoo", "50", "", wsOwm, false},     // an unknown service keeps the first one
        {"", "91", "14", wsOwm, false},        // beyond the pole
        {"owm", "50", "180.5", wsOwm, false},  // beyond the date line
        {"owm", "nan", "14", wsOwm, false},
        {"owm", "50,08", "14,42", wsOwm, false}, // a locale's comma is no stored number
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.service) + " " + c.latitude + " " + c.longitude);
        TLayoutManagerValues values;
        RegisterDefaults(values);
        values.SetValueByName(QStringLiteral("WS"), QString::fromLatin1(c.service));
        values.SetValueByName(QStringLiteral("WLAT"), QString::fromLatin1(c.latitude));
        values.SetValueByName(QStringLiteral("WLON"), QString::fromLatin1(c.longitude));
        const TAppSettings settings = ReadSettings(values);
        EXPECT_EQ(settings.Service, c.expectedService);
        EXPECT_EQ(settings.HasCoordinates, c.expectedCoordinates);
        const TRequestRecord request = BuildRequest(settings);
        EXPECT_EQ(request.Service, c.expectedService);
        EXPECT_EQ(request.HasCoordinates, c.expectedCoordinates);
    }
}

TEST(AppSettings, StoredCoordinatesReadBackInAnyLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    TLayoutManagerValues values;
    RegisterDefaults(values);
    StoreCoordinates(values, -33.86789, 151.20732);
    const TAppSettings settings = ReadSettings(values);
    QLocale::setDefault(before);
    EXPECT_EQ(Stored(values, kLatitudeName).toString(), QStringLiteral("-33.8679"));
    ASSERT_TRUE(settings.HasCoordinates);
    EXPECT_DOUBLE_EQ(settings.Latitude, -33.8679);
    EXPECT_DOUBLE_EQ(settings.Longitude, 151.2073);
}

TEST(AppSettings, RegisteringAgainKeepsWhatIsThere)
{
    TLayoutManagerValues values;
    RegisterDefaults(values);
    values.SetValueByName(QStringLiteral("WL"), QStringLiteral("Brno, CZ"));
    const int count = values.Count();
    RegisterDefaults(values);
    EXPECT_EQ(values.Count(), count);
    EXPECT_EQ(Stored(values, kLocationName).toString(), QStringLiteral("Brno, CZ"));
}

TEST(AppSettings, DefaultsReadBackAsTheRequestOfAFreshInstall)
{
    TLayoutManagerValues values;
    RegisterDefaults(values);
    const TAppSettings settings = ReadSettings(values);
    EXPECT_TRUE(settings.RunAtStartup);
    EXPECT_TRUE(settings.CheckForUpdates);
    EXPECT_EQ(settings.RefreshMinutes, 60);

    const TRequestRecord request = BuildRequest(settings);
    EXPECT_EQ(request.Key, QString());
    EXPECT_EQ(request.KeyType, ktFree);
    EXPECT_EQ(request.LocationName, QStringLiteral("Prague,CZ"));
    EXPECT_EQ(request.LocationID, -1);
    EXPECT_EQ(request.Lang, QStringLiteral("en"));
    EXPECT_EQ(request.Units, QStringLiteral("metric"));
    EXPECT_EQ(request.ForecastMode, fmDaily);
    EXPECT_EQ(request.NumberOfDays, 5);
}

// Stored values as the INI file gives them back (texts, 64-bit integers,
// booleans), and hand-edited ones.
TEST(AppSettings, StoredValuesShapeTheRequest)
{
    struct Case {
        const char *name;
        QVariant stored;
        std::function<void(const TRequestRecord &)> check;
    };
    const Case cases[] = {
        {"WLID", QStringLiteral("0"), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationID, 0); }},
        {"WLID", QStringLiteral("3067696"), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationID, 3067696); }},
        {"WLID", QStringLiteral("9000000000"), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationID, 9000000000LL); }},
        {"WLID", QStringLiteral("Prague"), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationID, -1); }},
        {"WLID", QString(), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationID, -1); }},
        {"U", QVariant::fromValue<qint64>(2), [](const TRequestRecord &r) { EXPECT_EQ(r.Units, "imperial"); }},
        {"U", QVariant::fromValue<qint64>(1), [](const TRequestRecord &r) { EXPECT_EQ(r.Units, "imperial"); }},
        {"U", QVariant::fromValue<qint64>(0), [](const TRequestRecord &r) { EXPECT_EQ(r.Units, "metric"); }},
        {"WL", QString(), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationName, "Prague, CZ"); }},
        {"WL", QStringLiteral("   "), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationName, "Prague, CZ"); }},
        {"WL", QStringLiteral("Brno, CZ"), [](const TRequestRecord &r) { EXPECT_EQ(r.LocationName, "Brno, CZ"); }},
        {"PS", true, [](const TRequestRecord &r) { EXPECT_EQ(r.KeyType, ktPaid); }},
        {"WFD", QVariant::fromValue<qint64>(16), [](const TRequestRecord &r) { EXPECT_EQ(r.NumberOfDays, 16); }},
        {"WFD", QVariant::fromValue<qint64>(300), [](const TRequestRecord &r) { EXPECT_EQ(r.NumberOfDays, 16); }},
        {"WFD", QVariant::fromValue<qint64>(-4), [](const TRequestRecord &r) { EXPECT_EQ(r.NumberOfDays, 1); }},
        {"OWM", QStringLiteral(" 0123abcd \n"), [](const TRequestRecord &r) { EXPECT_EQ(r.Key, "0123abcd"); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.stored.toString().toStdString());
        TLayoutManagerValues values;
        RegisterDefaults(values);
        values.SetValueByName(QString::fromLatin1(c.name), c.stored);
        c.check(BuildRequest(ReadSettings(values)));
    }
}

TEST(AppSettings, UnreadableNumbersAndFlagsKeepTheirDefaults)
{
    TLayoutManagerValues values;
    RegisterDefaults(values);
    values.SetValueByName(QStringLiteral("WRI"), QStringLiteral("often"));
    values.SetValueByName(QStringLiteral("RAS"), QStringLiteral("perhaps"));
    values.SetValueByName(QStringLiteral("CFU"), QStringLiteral("0"));
    values.SetValueByName(QStringLiteral("U"), QStringLiteral("99999999999999999999"));
    const TAppSettings settings = ReadSettings(values);
    EXPECT_EQ(settings.RefreshMinutes, 60);
    EXPECT_TRUE(settings.RunAtStartup);
    EXPECT_FALSE(settings.CheckForUpdates);
    EXPECT_EQ(settings.Units, 0);
}

TEST(AppSettings, UnitsWord)
{
    EXPECT_EQ(UnitsWord(0), QStringLiteral("metric"));
    EXPECT_EQ(UnitsWord(2), QStringLiteral("imperial"));
    EXPECT_EQ(UnitsWord(-1), QStringLiteral("imperial"));
}

TEST(AppSettings, EmptyLocationIsStoredAsPragueWithABlank)
{
    TLayoutManagerValues values;
    RegisterDefaults(values);
    values.SetValueByName(QStringLiteral("WL"), QString());
    EXPECT_TRUE(StoreLocationFallback(values));
    EXPECT_EQ(Stored(values, kLocationName).toString(), QStringLiteral("Prague, CZ"));

    values.SetValueByName(QStringLiteral("WL"), QStringLiteral("Brno"));
    EXPECT_FALSE(StoreLocationFallback(values));
    EXPECT_EQ(Stored(values, kLocationName).toString(), QStringLiteral("Brno"));
}

TEST(AppSettings, RefreshIntervalInMilliseconds)
{
    const int max = std::numeric_limits<int>::max();
    const std::pair<int, int> cases[] = {
        {60, 3600000}, {10, 600000}, {1440, 86400000}, {0, 0}, {-5, 0}, {max, max}, {40000, max},
    };
    for (const auto &[minutes, ms] : cases)
        EXPECT_EQ(RefreshIntervalMs(minutes), ms) << minutes;
}

TEST(AppSettings, ReportedPlaceReplacesTheLocationOnlyWhenNamed)
{
    struct Case {
        const char *name, *country, *stored;
    };
    const Case cases[] = {
        {"Prague", "CZ", "Prague, CZ"},
        {" Brno ", "", "Brno"},
        {"", "CZ", "Old, XX"},
        {"  ", "", "Old, XX"},
    };
    for (const Case &c : cases) {
        TLayoutManagerValues values;
        RegisterDefaults(values);
        values.SetValueByName(QStringLiteral("WL"), QStringLiteral("Old, XX"));
        TCity city;
        city.Name = QString::fromUtf8(c.name);
        city.Country = QString::fromUtf8(c.country);
        StoreReportedLocation(values, city);
        EXPECT_EQ(Stored(values, kLocationName).toString(), QString::fromUtf8(c.stored)) << c.name;
    }
}

// Through the INI file as the program writes and reads it: the key is not in
// clear, the city id keeps being text, and a fresh start reads all back.
TEST(AppSettings, SettingsSurviveTheIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("nimbrel.ini"));
    const auto cipherer = std::make_shared<TLayoutManagerWinCryptCipherer>();
    {
        TLayoutManagerValues values;
        values.SetStorage(std::make_shared<TLayoutManagerINIStorage>(fileName));
        values.SetCipherer(cipherer);
        RegisterDefaults(values);
        values.SetValueByName(QStringLiteral("OWM"), QStringLiteral("0123456789abcdef"));
        values.SetValueByName(QStringLiteral("WLID"), QStringLiteral("0"));
        values.SetValueByName(QStringLiteral("U"), 2);
        values.SetValueByName(QStringLiteral("PS"), true);
        values.Save();
    }
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("0123456789abcdef"));
    EXPECT_TRUE(text.contains("WLID=0\n")) << text.toStdString();

    TLayoutManagerValues values;
    values.SetStorage(std::make_shared<TLayoutManagerINIStorage>(fileName));
    values.SetCipherer(cipherer);
    RegisterDefaults(values);
    values.Restore();
    const TRequestRecord request = BuildRequest(ReadSettings(values));
    EXPECT_EQ(request.Key, QStringLiteral("0123456789abcdef"));
    EXPECT_EQ(request.LocationID, 0);
    EXPECT_EQ(request.Units, QStringLiteral("imperial"));
    EXPECT_EQ(request.KeyType, ktPaid);
    EXPECT_EQ(request.LocationName, QStringLiteral("Prague,CZ"));
}
