// A self-signed certificate for 127.0.0.1 made for one test with the openssl
// tool, and a cpp-httplib HTTPS server on loopback that presents it. Every
// request's client port is noted, so a test can tell how many connections
// carried its requests.
#pragma once

#include <httplib.h>

#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <mutex>
#include <thread>

class ThrowAwayCertificate
{
public:
    ThrowAwayCertificate()
    {
        if (!dir_.isValid())
            return;
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                       QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), KeyFile(),
                       QStringLiteral("-out"), CertFile()});
        valid_ = openssl.waitForFinished() && openssl.exitStatus() == QProcess::NormalExit &&
                 openssl.exitCode() == 0;
    }

    bool Valid() const { return valid_; }
    QString CertFile() const { return dir_.filePath(QStringLiteral("cert.pem")); }
    QString KeyFile() const { return dir_.filePath(QStringLiteral("key.pem")); }

private:
    QTemporaryDir dir_;
    bool valid_ = false;
};

class TlsLoopbackServer
{
public:
    static constexpr int kKeptAliveRequests = 100;
    static constexpr int kKeptAliveSeconds = 1;

    // Serves `body` at every path, once Start() has bound a port.
    explicit TlsLoopbackServer(const ThrowAwayCertificate &certificate, std::string body = "<ok/>")
        : http(certificate.CertFile().toLocal8Bit().constData(), certificate.KeyFile().toLocal8Bit().constData())
    {
        // Enough for every request of a test to come over one connection.
        http.set_keep_alive_max_count(kKeptAliveRequests);
        http.set_keep_alive_timeout(kKeptAliveSeconds); // Stop() waits this long for an idle connection
        http.Get(".*", [this, body](const httplib::Request &request, httplib::Response &response) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                clientPorts_.insert(request.remote_port);
                if (!redirect_.empty()) {
                    response.set_redirect(redirect_);
                    return;
                }
            }
            response.set_content(body, "application/xml");
        });
    }
    TlsLoopbackServer(const TlsLoopbackServer &) = delete;
    TlsLoopbackServer &operator=(const TlsLoopbackServer &) = delete;
    ~TlsLoopbackServer() { Stop(); }

    bool Start()
    {
        if (!http.is_valid())
            return false;
        port_ = http.bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            return false;
        thread_ = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running())
            std::this_thread::yield();
        return true;
    }

    void Stop()
    {
        if (thread_.joinable()) {
            http.stop();
            thread_.join();
        }
    }

    QString BaseUrl() const { return QStringLiteral("https://127.0.0.1:%1").arg(port_); }
    // Every request is sent on to `location` instead of answered.
    void RedirectTo(const std::string &location)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        redirect_ = location;
    }
    // How many connections the requests so far came over.
    int Connections() const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return clientPorts_.size();
    }

    httplib::SSLServer http;

private:
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    QSet<int> clientPorts_;
    std::string redirect_;
};
