// The service's addresses the refresh uses, served on loopback, each with its
// own answer that a test may change; and the request a paid key sends.
#pragma once

#include "Fixture.h"
#include "LoopbackServer.h"
#include "WeatherClients.h"
#include "Zelto_OWM.h"

#include <QBuffer>
#include <QImage>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <mutex>


inline QByteArray TinyPng()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Open-Meteo's answers, written by hand in the shapes its documentation shows.
inline QByteArray OpenMeteoForecastAnswer()
{
    return QByteArrayLiteral(R"({"latitude":50.08,"longitude":14.42,"utc_offset_seconds":3600,
"timezone":"Europe/Prague","timezone_abbreviation":"CET","elevation":219.0,
"current_units":{"time":"iso8601","temperature_2m":"\u00b0C","relative_humidity_2m":"%","weather_code":"wmo code",
 "cloud_cover":"%","pressure_msl":"hPa","wind_speed_10m":"km/h","wind_direction_10m":"\u00b0","precipitation":"mm"},
"current":{"time":"2026-12-10T13:45","interval":900,"temperature_2m":4.1,"relative_humidity_2m":81,"weather_code":3,
 "cloud_cover":90,"pressure_msl":1015.2,"wind_speed_10m":12.0,"wind_direction_10m":250,"precipitation":0.0,"is_day":1},
"hourly_units":{"time":"iso8601","temperature_2m":"\u00b0C"},
"hourly":{"time":["2026-12-10T13:00","2026-12-10T14:00"],"temperature_2m":[4.0,4.2],"weather_code":[3,3]},
"daily_units":{"time":"iso8601","temperature_2m_max":"\u00b0C","temperature_2m_min":"\u00b0C","precipitation_sum":"mm",
 "wind_speed_10m_max":"km/h","wind_direction_10m_dominant":"\u00b0"},
"daily":{"time":["2026-12-10","2026-12-11","2026-12-12"],"weather_code":[3,61,0],
 "temperature_2m_max":[5.0,6.2,3.1],"temperature_2m_min":[1.0,2.0,-1.5],"precipitation_sum":[0.0,4.2,0.0],
 "wind_speed_10m_max":[15.0,20.0,10.0],"wind_direction_10m_dominant":[250,240,180],
 "sunrise":["2026-12-10T07:47","2026-12-11T07:48","2026-12-12T07:49"],
 "sunset":["2026-12-10T15:58","2026-12-11T15:58","2026-12-12T15:58"]}})");
}

inline QByteArray OpenMeteoSearchAnswer()
{
    return QByteArrayLiteral(R"({"results":[
{"id":4548393,"name":"Prague","latitude":35.48674,"longitude":-96.68502,"country_code":"US","country":"United States",
 "admin1":"Oklahoma","timezone":"America/Chicago","population":2386},
{"id":3067696,"name":"Prague","latitude":50.08804,"longitude":14.42076,"country_code":"CZ","country":"Czechia",
 "admin1":"Prague","timezone":"Europe/Prague","population":1165581}],"generationtime_ms":0.9})");
}

// The service's three addresses the refresh uses, each with its own answer,
// and Open-Meteo's two on the same port.
class StandInService
{
public:
    QByteArray current = ReadFixture(QStringLiteral("current.xml"));
    QByteArray forecast = ReadFixture(QStringLiteral("forecast_daily.xml"));
    QByteArray openMeteoForecast = OpenMeteoForecastAnswer();
    QByteArray openMeteoSearch = OpenMeteoSearchAnswer();
    int openMeteoStatus = 200; // of the forecast

    StandInService()
    {
        server_.http.Get("/data/2.5/weather", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, current);
        });
        server_.http.Get("/data/2.5/forecast/daily", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, forecast);
        });
        server_.http.Get("/v1/forecast", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, openMeteoForecast);
            response.status = openMeteoStatus;
            response.set_content(openMeteoForecast.toStdString(), "application/json");
        });
        server_.http.Get("/v1/search", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, openMeteoSearch);
            std::lock_guard<std::mutex> lock(mutex_);
            searchedNames_ << QString::fromStdString(request.get_param_value("name"));
            response.set_content(openMeteoSearch.toStdString(), "application/json");
        });
        // A free key's 3-hour forecast: the same answer, which a test sets to slots.
        server_.http.Get("/data/2.5/forecast", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, forecast);
        });
        server_.http.Get("/img/w/.*", [this](const httplib::Request &request, httplib::Response &response) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ++picturesAsked_;
                gate_.wait_for(lock, std::chrono::seconds(kLongestHoldSeconds), [this] { return !holdPictures_; });
            }
            Answer(request, response, png_);
            response.set_content(png_.toStdString(), "image/png");
        });
        started_ = server_.Start();
    }

    ~StandInService() { ReleasePictures(); }

    bool Started() const { return started_; }

    // The pictures stall until released, as a picture host that stopped answering.
    void HoldPictures()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        holdPictures_ = true;
    }
    void ReleasePictures()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            holdPictures_ = false;
        }
        gate_.notify_all();
    }
    int PicturesAsked() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return picturesAsked_;
    }
    TOwmClient Client() const { return TOwmClient(server_.BaseUrl(), server_.BaseUrl()); }
    TWeatherClients Clients() const
    {
        return TWeatherClients{Client(), TOpenMeteoClient(server_.BaseUrl(), server_.BaseUrl())};
    }
    // The names Open-Meteo's place search was asked for.
    QStringList SearchedNames() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return searchedNames_;
    }

    QStringList Paths() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return paths_;
    }
    void ClearPaths()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_.clear();
    }

private:
    void Answer(const httplib::Request &request, httplib::Response &response, const QByteArray &body)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_ << QString::fromStdString(request.path);
        response.set_content(body.toStdString(), "text/xml");
    }

    static constexpr int kLongestHoldSeconds = 10;

    QByteArray png_ = TinyPng();
    bool started_ = false;
    std::condition_variable gate_;
    bool holdPictures_ = false;
    int picturesAsked_ = 0;
    mutable std::mutex mutex_;
    QStringList paths_;
    QStringList searchedNames_;
    LoopbackServer server_;
};

inline TRequestRecord PaidRequest()
{
    TRequestRecord request;
    request.Key = QStringLiteral("0123456789abcdef");
    request.KeyType = ktPaid;
    request.LocationName = QStringLiteral("Prague,CZ");
    request.Lang = QStringLiteral("en");
    request.Units = QStringLiteral("metric");
    request.ForecastMode = fmDaily;
    request.NumberOfDays = 5;
    return request;
}

// Open-Meteo's request for the same place: no key, and no coordinates until
// a search or the settings give them.
inline TRequestRecord OpenMeteoRequest()
{
    TRequestRecord request = PaidRequest();
    request.Service = wsOpenMeteo;
    request.Key.clear();
    request.KeyType = ktFree;
    request.NumberOfDays = 3;
    return request;
}

