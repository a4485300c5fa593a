// The refresh asks the service the request names; Open-Meteo's place is
// located by its name once, and its answer is kept apart from the other
// service's in the cache.
#include "AppSettings.h"
#include "FailureAdvice.h"
#include "FetchStandIn.h"
#include "LangConsts.h"
#include "OpenMeteoFetch.h"
#include "WeatherCache.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

bool AskedOpenMeteo(const QStringList &paths)
{
    for (const QString &path : paths)
        if (path.startsWith(QLatin1String("/v1/")))
            return true;
    return false;
}

TRequestRecord Located(TRequestRecord request)
{
    request.HasCoordinates = true;
    request.Latitude = 50.0880;
    request.Longitude = 14.4208;
    return request;
}

} // namespace

TEST(FetchByService, EachServiceIsAskedThroughItsOwnClient)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir folder;

    const TWeatherResult owm = FetchWeather(service.Clients(), PaidRequest(), folder.path());
    ASSERT_TRUE(owm.Ok()) << owm.Request.Failure.Message.toStdString();
    EXPECT_FALSE(AskedOpenMeteo(service.Paths())) << service.Paths().join(u' ').toStdString();
    EXPECT_FALSE(owm.MissingPictures.isEmpty()); // the service's own pictures

    service.ClearPaths();
    const TWeatherResult meteo = FetchWeather(service.Clients(), Located(OpenMeteoRequest()), folder.path());
    ASSERT_TRUE(meteo.Ok()) << meteo.Request.Failure.Message.toStdString();
    // Known coordinates: no search, one forecast, and no key needed.
    EXPECT_EQ(service.Paths(), QStringList{QStringLiteral("/v1/forecast")});
    EXPECT_EQ(meteo.Forecast.size(), 3);
    EXPECT_EQ(meteo.Hours.size(), 2);
    EXPECT_EQ(meteo.Astronomy.Sun.size(), meteo.Forecast.size());
    EXPECT_TRUE(meteo.MissingPictures.isEmpty()); // its pictures are the program's own
    EXPECT_TRUE(meteo.CurrentBody.isEmpty());
    EXPECT_EQ(meteo.ForecastBody, service.openMeteoForecast);
    // Named as the settings name it, so the stored place stays.
    EXPECT_EQ(ReportedLocation(meteo.Current.City), QStringLiteral("Prague,CZ"));
}

TEST(FetchByService, APlaceWithoutCoordinatesIsSearchedByItsNameAndTakesTheCountrysPlace)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir folder;

    const TWeatherResult result = FetchWeather(service.Clients(), OpenMeteoRequest(), folder.path());
    ASSERT_TRUE(result.Ok()) << result.Request.Failure.Message.toStdString();
    EXPECT_EQ(service.Paths(), (QStringList{QStringLiteral("/v1/search"), QStringLiteral("/v1/forecast")}));
    // "Prague,CZ" is searched as "Prague", and the Czech one of the two is taken.
    EXPECT_EQ(service.SearchedNames(), QStringList{QStringLiteral("Prague")});
    ASSERT_TRUE(result.Request.HasCoordinates);
    EXPECT_NEAR(result.Request.Latitude, 50.08804, 1e-6);
    EXPECT_NEAR(result.Request.Longitude, 14.42076, 1e-6);
    EXPECT_EQ(ReportedLocation(result.Current.City), QStringLiteral("Prague, CZ"));
    EXPECT_EQ(result.Current.City.CountryName, QStringLiteral("Czechia"));
}

// The preferences' search gets the text the field holds after every refresh
// and pick, "Prague, CZ": it asks for the name and lists that country's place
// first, as a refresh by name takes it.
TEST(FetchByService, ASearchForANameWithItsCountryAsksTheNameAndPutsThatCountryFirst)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    TRequestRecord request = OpenMeteoRequest();
    request.LocationName = QStringLiteral("Prague, CZ");
    TCities cities;
    ASSERT_TRUE(FindOpenMeteoPlaces(service.Clients().OpenMeteo, request, cities))
        << request.Failure.Message.toStdString();
    EXPECT_EQ(service.SearchedNames(), QStringList{QStringLiteral("Prague")});
    ASSERT_GE(cities.size(), 2);
    EXPECT_EQ(cities.first().Country, QStringLiteral("CZ"));
}

TEST(FetchByService, OpenMeteoFailuresAreTypedAndNeverAboutAKey)
{
    struct Case {
        const char *what;
        QByteArray search;
        int status;
        QByteArray forecast;
        TFailureKind kind;
        const char *message; // in the failure's message, when given
        bool forecastAsked;
    };
    const Case cases[] = {
        {"no place found", QByteArrayLiteral(R"({"generationtime_ms":0.5})"), 200, OpenMeteoForecastAnswer(),
         TFailureKind::PlaceNotFound, nullptr, false},
        {"the service's reason", OpenMeteoSearchAnswer(), 400,
         QByteArrayLiteral(R"({"error":true,"reason":"Latitude must be in range of -90 to 90"})"),
         TFailureKind::HttpStatus, "Latitude must be in range", true},
        {"no JSON", OpenMeteoSearchAnswer(), 200, QByteArrayLiteral("<html>proxy</html>"), TFailureKind::BadDocument,
         nullptr, true},
        {"a refusal", OpenMeteoSearchAnswer(), 401, QByteArrayLiteral(R"({"error":true,"reason":"Unauthorized"})"),
         TFailureKind::HttpStatus, "Unauthorized", true},
    };
    for (const Case &c : cases) {
        StandInService service;
        ASSERT_TRUE(service.Started());
        service.openMeteoSearch = c.search;
        service.openMeteoStatus = c.status;
        service.openMeteoForecast = c.forecast;
        QTemporaryDir folder;
        const TWeatherResult result = FetchWeather(service.Clients(), OpenMeteoRequest(), folder.path());
        ASSERT_FALSE(result.Ok()) << c.what;
        EXPECT_EQ(result.Request.Failure.Kind, c.kind) << c.what << ": " << result.Request.Failure.Message.toStdString();
        if (c.message)
            EXPECT_TRUE(result.Request.Failure.Message.contains(QString::fromUtf8(c.message)))
                << c.what << ": " << result.Request.Failure.Message.toStdString();
        EXPECT_EQ(service.Paths().contains(QStringLiteral("/v1/forecast")), c.forecastAsked) << c.what;
        EXPECT_FALSE(result.Request.HasCoordinates) << c.what;
        // Retried as the other service's failures are, and no word of a key.
        EXPECT_EQ(AdviceFor(result.Request.Failure.Kind).Retry, TRetry::Soon) << c.what;
        EXPECT_NE(AdviceFor(result.Request.Failure.Kind).NextStep, &lc_NextStepKey) << c.what;
    }
}

TEST(WeatherCacheByService, OpenMeteosAnswerIsReadBackOnlyForItsServiceAndPlace)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir dir;
    const QString data = dir.path() + QLatin1Char('/');

    const TWeatherResult fetched = FetchAndKeepWeather(service.Clients(), OpenMeteoRequest(), data);
    ASSERT_TRUE(fetched.Ok()) << fetched.Request.Failure.Message.toStdString();
    const QDateTime now = fetched.FetchedAt.addSecs(60);

    // The next start's request: the reported place, with the coordinates stored.
    TRequestRecord next = Located(OpenMeteoRequest());
    next.LocationName = QStringLiteral("Prague, CZ");
    const TWeatherResult cached = ReadWeatherCache(data, next, now);
    ASSERT_TRUE(cached.Ok()) << cached.Request.Failure.Message.toStdString();
    EXPECT_TRUE(cached.FromCache);
    EXPECT_EQ(cached.Forecast.size(), fetched.Forecast.size());
    EXPECT_EQ(cached.Hours.size(), fetched.Hours.size());
    EXPECT_EQ(cached.Astronomy.Sun.size(), cached.Forecast.size());
    EXPECT_DOUBLE_EQ(cached.Current.Temp.Value.Value, fetched.Current.Temp.Value.Value);
    EXPECT_EQ(ReportedLocation(cached.Current.City), QStringLiteral("Prague, CZ"));

    TRequestRecord owm = PaidRequest();
    owm.LocationName = next.LocationName;
    EXPECT_FALSE(ReadWeatherCache(data, owm, now).Ok());
    TRequestRecord elsewhere = next;
    elsewhere.Latitude = 35.48674;
    elsewhere.Longitude = -96.68502;
    EXPECT_FALSE(ReadWeatherCache(data, elsewhere, now).Ok());
}

TEST(WeatherCacheByService, OpenWeatherMapsCacheIsNotShownForOpenMeteoAndOldIndexesStillRead)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    QTemporaryDir dir;
    const QString data = dir.path() + QLatin1Char('/');
    const TWeatherResult fetched = FetchAndKeepWeather(service.Clients(), PaidRequest(), data);
    ASSERT_TRUE(fetched.Ok());
    const QDateTime now = fetched.FetchedAt.addSecs(60);
    TRequestRecord owm = PaidRequest();
    owm.LocationName = ReportedLocation(fetched.Current.City);

    TRequestRecord meteo = OpenMeteoRequest();
    meteo.LocationName = owm.LocationName;
    EXPECT_FALSE(ReadWeatherCache(data, meteo, now).Ok());

    // An index written before there was a choice of service has no service line.
    const QString indexPath = data + QLatin1String(kWeatherCacheFolder) + QLatin1Char('/') + QLatin1String(kCacheIndexFile);
    QFile index(indexPath);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    QByteArray lines;
    for (const QByteArray &line : index.readAll().split('\n'))
        if (!line.startsWith("service="))
            lines += line + '\n';
    index.close();
    ASSERT_TRUE(index.open(QIODevice::WriteOnly | QIODevice::Truncate));
    index.write(lines);
    index.close();
    EXPECT_TRUE(ReadWeatherCache(data, owm, now).Ok());
    EXPECT_FALSE(ReadWeatherCache(data, meteo, now).Ok());
}
