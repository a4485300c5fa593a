// Open-Meteo in the program, without a peer: which place a search result
// becomes, when a refresh's coordinates are kept, and the service's credit.
#include "AppSettings.h"
#include "LangConsts.h"
#include "LayoutManagerValues.h"
#include "OpenMeteoFetch.h"
#include "PlaceCoordinates.h"
#include "ServiceAttribution.h"
#include "WeatherFetch.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TCity Place(const char *name, const char *country, double lat, double lon)
{
    TCity city;
    city.Name = QString::fromUtf8(name);
    city.Country = QString::fromLatin1(country);
    city.Lat = lat;
    city.Lon = lon;
    return city;
}

struct TDefaults {
    TLayoutManagerValues Values;
    TDefaults() { RegisterDefaults(Values); }
};

} // namespace

TEST(OpenMeteoPlace, TheSettingsTextSplitsIntoTheNameAndACountryCode)
{
    const struct {
        const char *text;
        const char *name;
        const char *code;
    } cases[] = {
        {"Prague,CZ", "Prague", "CZ"},          // the stored default
        {" Prague , cz ", "Prague", "CZ"},
        {"London", "London", ""},
        {"Washington, D.C.", "Washington, D.C.", ""}, // no code after the comma
        {"Frankfurt am Main, Hesse", "Frankfurt am Main, Hesse", ""},
        {",CZ", ",CZ", ""},                      // a code alone is no place
        {"", "", ""},
    };
    for (const auto &c : cases) {
        const TPlaceText place = SplitPlaceText(QString::fromUtf8(c.text));
        EXPECT_EQ(place.Name, QString::fromUtf8(c.name)) << c.text;
        EXPECT_EQ(place.CountryCode, QString::fromLatin1(c.code)) << c.text;
    }
}

TEST(OpenMeteoPlace, TheFirstPlaceInTheNamedCountryElseTheFirst)
{
    const TCities cities{Place("Prague", "US", 35.5, -96.7), Place("Prague", "CZ", 50.09, 14.42)};
    EXPECT_EQ(ChoosePlace(cities, SplitPlaceText(QStringLiteral("Prague, CZ"))), 1);
    EXPECT_EQ(ChoosePlace(cities, SplitPlaceText(QStringLiteral("Prague"))), 0);
    EXPECT_EQ(ChoosePlace(cities, SplitPlaceText(QStringLiteral("Prague, DE"))), 0);
    EXPECT_EQ(ChoosePlace(TCities(), SplitPlaceText(QStringLiteral("Prague"))), -1);
}

TEST(OpenMeteoPlace, TheFoundPlaceNamesTheAnswerElseTheSettingsNameStays)
{
    TRequestRecord request;
    request.LocationName = QStringLiteral("praha");
    TCity found = Place("Prague", "CZ", 50.09, 14.42);
    found.Region = QStringLiteral("Prague");
    found.CountryName = QStringLiteral("Czechia");

    TWeatherRecord current;
    current.City = Place("praha", "", 50.1, 14.4); // as the parse names it
    NamePlace(current, request, found);
    EXPECT_EQ(ReportedLocation(current.City), QStringLiteral("Prague, CZ"));
    EXPECT_EQ(current.City.CountryName, QStringLiteral("Czechia"));
    EXPECT_DOUBLE_EQ(current.City.Lat, 50.1); // where the answer is for stays

    TWeatherRecord unnamed;
    NamePlace(unnamed, request, TCity());
    EXPECT_EQ(ReportedLocation(unnamed.City), QStringLiteral("praha"));
}

TEST(PlaceCoordinates, ARefreshThatLocatedThePlaceStoresWhereItIsOnce)
{
    TRequestRecord now;
    now.Service = wsOpenMeteo;
    now.LocationName = QStringLiteral("Prague, CZ");
    TWeatherResult located;
    located.Request = now;
    located.Request.HasCoordinates = true;
    located.Request.Latitude = 50.0880;
    located.Request.Longitude = 14.4208;

    struct Case {
        const char *what;
        std::function<void(TRequestRecord &now, TWeatherResult &result)> change;
        bool stored;
    };
    const Case cases[] = {
        {"located by the search", [](TRequestRecord &, TWeatherResult &) {}, true},
        {"the settings know it already", [](TRequestRecord &n, TWeatherResult &) { n.HasCoordinates = true; }, false},
        {"failed", [](TRequestRecord &, TWeatherResult &r) { r.Request.Failure = MakeFailure(TFailureKind::TimedOut); },
         false},
        {"another place by now",
         [](TRequestRecord &n, TWeatherResult &) { n.LocationName = QStringLiteral("Brno, CZ"); }, false},
        {"another service by now", [](TRequestRecord &n, TWeatherResult &) { n.Service = wsOwm; }, false},
        {"OpenWeatherMap's answer names the place",
         [](TRequestRecord &n, TWeatherResult &r) {
             n.Service = wsOwm;
             r.Request.Service = wsOwm;
             r.Request.HasCoordinates = false;
             r.Current.City = Place("Prague", "CZ", 50.0880, 14.4208);
         },
         true},
        {"OpenWeatherMap's answer without coordinates",
         [](TRequestRecord &n, TWeatherResult &r) {
             n.Service = wsOwm;
             r.Request.Service = wsOwm;
             r.Request.HasCoordinates = false;
         },
         false},
    };
    for (const Case &c : cases) {
        TRequestRecord request = now;
        TWeatherResult result = located;
        c.change(request, result);
        TDefaults defaults;
        EXPECT_EQ(StoreFoundCoordinates(defaults.Values, request, result), c.stored) << c.what;
        const TAppSettings settings = ReadSettings(defaults.Values);
        EXPECT_EQ(settings.HasCoordinates, c.stored) << c.what;
        if (c.stored) {
            EXPECT_NEAR(settings.Latitude, 50.0880, 1e-4) << c.what;
            EXPECT_NEAR(settings.Longitude, 14.4208, 1e-4) << c.what;
        }
    }
}

TEST(PlaceCoordinates, ClearedCoordinatesAreNoneAtAll)
{
    TDefaults defaults;
    TLayoutManagerValues &values = defaults.Values;
    StoreCoordinates(values, 50.1, 14.4);
    ASSERT_TRUE(ReadSettings(values).HasCoordinates);
    ClearCoordinates(values);
    EXPECT_FALSE(ReadSettings(values).HasCoordinates);
    EXPECT_FALSE(BuildRequest(ReadSettings(values)).HasCoordinates);
}

TEST(ServiceAttribution, OnlyOpenMeteoIsCreditedWithItsSite)
{
    EXPECT_EQ(HintWithAttribution(QStringLiteral("12:00"), wsOwm), QStringLiteral("12:00"));
    EXPECT_TRUE(ServiceAttribution(wsOwm).isEmpty());
    const QString hint = HintWithAttribution(QStringLiteral("12:00"), wsOpenMeteo);
    EXPECT_EQ(hint, QStringLiteral("12:00\n") + lc_OpenMeteoAttribution + QStringLiteral(" (https://open-meteo.com/)"));
    EXPECT_EQ(HintWithAttribution(QString(), wsOpenMeteo).count(u'\n'), 0);
    EXPECT_EQ(ServiceDisplayName(wsOpenMeteo), QStringLiteral("Open-Meteo"));
}
