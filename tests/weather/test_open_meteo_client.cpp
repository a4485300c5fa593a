// The Open-Meteo client against loopback peers: the requests it sends, and the
// failure kinds of what can go wrong on the way.
#include "Fixture.h"
#include "OpenMeteoClient.h"
#include "RawPeer.h"
#include "test_client_support.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QUrlQuery>

#include <atomic>
#include <cmath>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

TRequestRecord Prague()
{
    TRequestRecord request;
    request.Service = wsOpenMeteo;
    request.LocationName = QStringLiteral("Praha");
    request.HasCoordinates = true;
    request.Latitude = 50.08804;
    request.Longitude = 14.42076;
    request.Units = QStringLiteral("metric");
    request.NumberOfDays = 3;
    return request;
}

// Short limits, so a stalled peer ends a test soon.
TOpenMeteoClient ClientOf(const QString &base)
{
    TOpenMeteoClient client(base + QStringLiteral("/"), base);
    client.HttpOptions().ConnectTimeoutMs = 1000;
    client.HttpOptions().TotalTimeoutMs = 1500;
    return client;
}

TEST(OpenMeteoClient, FetchesAndParsesTheForecast)
{
    ServedBody peer(200, ReadFixture(QStringLiteral("om_forecast.json")));
    ASSERT_TRUE(peer.Started());
    TRequestRecord request = Prague();
    TOpenMeteoWeather weather;
    QByteArray raw;
    ASSERT_TRUE(ClientOf(peer.BaseUrl()).GetWeather(request, weather, &raw)) << request.Failure.Message.toStdString();
    EXPECT_FALSE(request.Failure.Failed());
    EXPECT_EQ(raw, ReadFixture(QStringLiteral("om_forecast.json")));
    EXPECT_EQ(weather.Days.size(), 3);
    EXPECT_EQ(weather.Hours.size(), 4);
    EXPECT_EQ(weather.Current.City.Name, QStringLiteral("Praha"));
    ASSERT_EQ(peer.Targets().size(), 1);
    const QString target = peer.Targets().constFirst();
    EXPECT_TRUE(target.startsWith(QStringLiteral("/v1/forecast?latitude=50.08804&longitude=14.42076&")))
        << target.toStdString();
}

TEST(OpenMeteoClient, SearchesPlaces)
{
    ServedBody peer(200, ReadFixture(QStringLiteral("om_search.json")));
    ASSERT_TRUE(peer.Started());
    TRequestRecord request;
    request.LocationName = QStringLiteral("London");
    TCities cities;
    ASSERT_TRUE(ClientOf(peer.BaseUrl()).FindLocations(request, cities, QStringLiteral("de")));
    EXPECT_EQ(cities.size(), 3);
    EXPECT_EQ(cities.constFirst().Region, QStringLiteral("England"));
    ASSERT_EQ(peer.Targets().size(), 1);
    EXPECT_EQ(peer.Targets().constFirst(),
              QStringLiteral("/v1/search?name=London&count=10&language=de&format=json"));
}

// The service's reason is what the user reads.
TEST(OpenMeteoClient, AnErrorStatusCarriesTheServicesReason)
{
    ServedBody peer(400, "{\"error\":true,\"reason\":\"Latitude must be in range of -90 to 90°. Given: 91.0.\"}");
    ASSERT_TRUE(peer.Started());
    TRequestRecord request = Prague();
    TOpenMeteoWeather weather;
    EXPECT_FALSE(ClientOf(peer.BaseUrl()).GetWeather(request, weather));
    EXPECT_EQ(request.Failure.Kind, TFailureKind::HttpStatus);
    EXPECT_EQ(request.Failure.HttpStatus, 400);
    EXPECT_EQ(request.Failure.Message, QStringLiteral("Latitude must be in range of -90 to 90°. Given: 91.0."));

    TCities cities;
    request.LocationName = QStringLiteral("x");
    EXPECT_FALSE(ClientOf(peer.BaseUrl()).FindLocations(request, cities, QStringLiteral("en")));
    EXPECT_EQ(request.Failure.Kind, TFailureKind::HttpStatus);
}

TEST(OpenMeteoClient, AStalledPeerTimesOutAndACancelEndsItSooner)
{
    {
        RawPeer silent{std::string()};
        TRequestRecord request = Prague();
        TOpenMeteoWeather weather;
        EXPECT_FALSE(ClientOf(silent.Url("")).GetWeather(request, weather));
        EXPECT_EQ(request.Failure.Kind, TFailureKind::TimedOut);
        EXPECT_TRUE(request.Failure.Message.contains(QStringLiteral("did not answer in time")));
    }
    {
        RawPeer silent{std::string()};
        auto flag = std::make_shared<std::atomic<bool>>(false);
        TOpenMeteoClient client(silent.Url(""), silent.Url(""));
        client.HttpOptions().Cancel = flag; // the default 30 s: only the cancel can end it in time
        std::thread canceller([flag] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            flag->store(true);
        });
        TRequestRecord request;
        request.LocationName = QStringLiteral("London");
        TCities cities;
        EXPECT_FALSE(client.FindLocations(request, cities, QStringLiteral("en")));
        canceller.join();
        EXPECT_EQ(request.Failure.Kind, TFailureKind::Cancelled);
    }
}

TEST(OpenMeteoClient, AnOversizedAnswerIsRefused)
{
    ServedBody peer(200, "{\"padding\": \"" + QByteArray(3 * 1024 * 1024, 'x') + "\"}");
    ASSERT_TRUE(peer.Started());
    TOpenMeteoClient client = ClientOf(peer.BaseUrl());
    client.HttpOptions().MaxBodyBytes = 2 * 1024 * 1024;
    TRequestRecord request = Prague();
    TOpenMeteoWeather weather;
    weather.Current.City.Name = QStringLiteral("kept");
    EXPECT_FALSE(client.GetWeather(request, weather));
    EXPECT_EQ(request.Failure.Kind, TFailureKind::TooLarge);
    EXPECT_EQ(request.Failure.Message, QStringLiteral("The service's answer is larger than 2 MiB"));
    EXPECT_EQ(weather.Current.City.Name, QStringLiteral("kept"));
}

// Without coordinates there is nothing to ask; with broken ones neither.
TEST(OpenMeteoClient, NoUsableCoordinatesAsksNothing)
{
    ServedBody peer(200, ReadFixture(QStringLiteral("om_forecast.json")));
    ASSERT_TRUE(peer.Started());
    TRequestRecord none = Prague();
    none.HasCoordinates = false;
    TRequestRecord beyond = Prague();
    beyond.Latitude = 91;
    TRequestRecord notANumber = Prague();
    notANumber.Longitude = std::nan("");
    for (TRequestRecord *request : {&none, &beyond, &notANumber}) {
        TOpenMeteoWeather weather;
        EXPECT_FALSE(ClientOf(peer.BaseUrl()).GetWeather(*request, weather));
        EXPECT_EQ(request->Failure.Kind, TFailureKind::PlaceNotFound);
    }
    TRequestRecord blank;
    blank.LocationName = QStringLiteral(" \t");
    TCities cities;
    EXPECT_FALSE(ClientOf(peer.BaseUrl()).FindLocations(blank, cities, QStringLiteral("en")));
    EXPECT_EQ(blank.Failure.Kind, TFailureKind::PlaceNotFound);
    EXPECT_TRUE(peer.Targets().isEmpty());
}

} // namespace
