// A loopback peer for the clients' tests: it answers every GET with one status
// and body and remembers the request targets it saw, so a test can check both
// the URL the client built and what it made of the answer.
#pragma once

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <mutex>
#include <string>

class ServedBody
{
public:
    ServedBody()
    {
        server_.http.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(mutex_);
            targets_.append(QString::fromStdString(request.target));
            response.status = status_;
            response.set_content(body_.toStdString(), "text/xml");
        });
        started_ = server_.Start();
    }
    ServedBody(int status, const QByteArray &body) : ServedBody() { Serve(body, status); }

    bool Started() const { return started_; }
    QString BaseUrl() const { return server_.BaseUrl(); }

    void Serve(const QByteArray &body, int status = kOk)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        body_ = body;
        status_ = status;
    }

    // Serves a fixture of tests/weather/data.
    void ServeFile(const QString &name)
    {
        QFile file(QStringLiteral(NIMBREL_TEST_DATA_DIR "/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        Serve(file.readAll());
    }

    QStringList Targets() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

    QString LastTarget() const
    {
        const QStringList all = Targets();
        return all.isEmpty() ? QString() : all.last();
    }

private:
    static constexpr int kOk = 200;

    bool started_ = false;
    mutable std::mutex mutex_;
    int status_ = kOk;
    QByteArray body_;
    QStringList targets_;
    LoopbackServer server_; // last, so it stops before the state its handler uses goes
};
