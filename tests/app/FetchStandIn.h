// The service's addresses the refresh uses, served on loopback, each with its
// own answer that a test may change; and the request a paid key sends.
#pragma once

#include "Fixture.h"
#include "LoopbackServer.h"
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

// The service's three addresses the refresh uses, each with its own answer.
class StandInService
{
public:
    QByteArray current = ReadFixture(QStringLiteral("current.xml"));
    QByteArray forecast = ReadFixture(QStringLiteral("forecast_daily.xml"));

    StandInService()
    {
        server_.http.Get("/data/2.5/weather", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, current);
        });
        server_.http.Get("/data/2.5/forecast/daily", [this](const httplib::Request &request, httplib::Response &response) {
            Answer(request, response, forecast);
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

