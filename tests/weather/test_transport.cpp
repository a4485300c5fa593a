#include "EntityBomb.h"
#include "HttpGet.h"
#include "LoopbackServer.h"
#include "RawPeer.h"
#include "RefusingPort.h"
#include "Sanitizers.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

THttpOptions ShortTimeouts()
{
    THttpOptions options;
    options.ConnectTimeoutMs = 1000;
    options.TotalTimeoutMs = 1500;
    return options;
}

long MaxResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The request of the current weather against `base`, for faults that must end
// as the client's error text.
QString CurrentWeatherError(const QString &base)
{
    TOwmClient client(base, base);
    client.HttpOptions() = ShortTimeouts();
    TRequestRecord request;
    request.Key = QStringLiteral("k");
    request.LocationID = 1;
    request.Units = QStringLiteral("metric");
    TWeatherRecord record;
    EXPECT_FALSE(client.GetCurrentWeather(request, record));
    return request.Failure.Message;
}

TEST(Transport, ConnectionRefused)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    const QString base = refusing.BaseUrl();
    QByteArray body("stale");
    EXPECT_FALSE(HttpGetToStream(base + QStringLiteral("/x"), {}, {}, body, 0, ShortTimeouts()));
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(CurrentWeatherError(base), QStringLiteral("No data received"));
}

// How a connection failed travels as its kind to the client's failure, so the
// panel can give the advice that fits.
TEST(Transport, EachWayOfNotConnectingHasItsKind)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    LoopbackServer plain; // speaks HTTP only: a secure connection to it fails
    plain.http.Get("/x", [](const httplib::Request &, httplib::Response &res) { res.set_content("x", "text/plain"); });
    ASSERT_TRUE(plain.Start());
    const QString secure = QStringLiteral("https://127.0.0.1:%1").arg(plain.Port());
    const struct {
        const char *name;
        QString base;
        THttpFailure failure;
        TFailureKind kind;
    } cases[] = {
        {"refused", refusing.BaseUrl(), THttpFailure::Refused, TFailureKind::Refused},
        {"secure connection", secure, THttpFailure::Tls, TFailureKind::Tls},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray body;
        THttpFailure failure = THttpFailure::None;
        EXPECT_FALSE(HttpGetToStream(c.base + QStringLiteral("/x"), {}, {}, body, 0, ShortTimeouts(), nullptr, &failure));
        EXPECT_EQ(failure, c.failure);
        TOwmClient client(c.base, c.base);
        client.HttpOptions() = ShortTimeouts();
        TRequestRecord request;
        request.Key = QStringLiteral("k");
        TWeatherRecord record;
        EXPECT_FALSE(client.GetCurrentWeather(request, record));
        EXPECT_EQ(request.Failure.Kind, c.kind);
        EXPECT_EQ(request.Failure.Message, QStringLiteral("No data received"));
    }
}

// A cancel ends a transfer whose peer keeps silent, long before its time-out,
// and a transfer asked for after the cancel does not start.
TEST(Transport, ACancelEndsASilentTransferAtOnce)
{
    RawPeer silent{std::string()};
    auto flag = std::make_shared<std::atomic<bool>>(false);
    THttpOptions options; // 30 s: only the cancel can end it in time
    options.Cancel = flag;
    THttpFailure failure = THttpFailure::None;
    std::thread canceller([flag] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        flag->store(true);
    });
    QByteArray body;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGetToStream(silent.Url("/data"), {}, {}, body, 0, options, nullptr, &failure));
    const auto took = std::chrono::steady_clock::now() - started;
    canceller.join();
    EXPECT_EQ(failure, THttpFailure::Cancelled);
    // Far below the time-out: the cancel, not the clock, ended it.
    EXPECT_LT(took, std::chrono::seconds(10));

    RawPeer another{std::string()};
    failure = THttpFailure::None;
    EXPECT_FALSE(HttpGetToStream(another.Url("/data"), {}, {}, body, 0, options, nullptr, &failure));
    EXPECT_EQ(failure, THttpFailure::Cancelled);
}

// A silent peer is told as a time-out, so the user knows the network did carry
// the question.
TEST(Transport, PeerThatNeverAnswersTimesOut)
{
    RawPeer silent{std::string()};
    QByteArray body;
    THttpFailure failure = THttpFailure::None;
    EXPECT_FALSE(HttpGetToStream(silent.Url("/data"), {}, {}, body, 0, ShortTimeouts(), nullptr, &failure));
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(failure, THttpFailure::TimedOut);

    RawPeer silentAgain{std::string()};
    EXPECT_EQ(CurrentWeatherError(silentAgain.Url("")),
              QStringLiteral("No data received: the service did not answer in time"));
}

TEST(Transport, PeerThatHangsUpMidBodyIsJudgedByWhatItSent)
{
    RawPeer cut("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n<current><city id=\"1\" na");
    QByteArray body;
    EXPECT_TRUE(HttpGetToStream(cut.Url("/data"), {}, {}, body, 0, ShortTimeouts()));
    EXPECT_EQ(body, QByteArray("<current><city id=\"1\" na"));

    RawPeer cutAgain("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n<current><city id=\"1\" na");
    const QString base = cutAgain.Url("");
    const QString message = CurrentWeatherError(base);
    EXPECT_NE(message, QStringLiteral("No data received"));
    EXPECT_TRUE(message.contains(QLatin1String("line 1"))) << message.toStdString();
}

TEST(Transport, ServerFaults)
{
    LoopbackServer server;
    server.http.Get("/big", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(std::string(5 * 1024 * 1024, 'x'), "text/plain");
    });
    server.http.Get("/big-chunked", [](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink &sink) {
            const std::string piece(64 * 1024, 'y');
            for (int i = 0; i < 80; ++i)
                if (!sink.write(piece.data(), piece.size()))
                    return false;
            sink.done();
            return true;
        });
    });
    server.http.Get("/loop", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("/loop");
    });
    server.http.Get("/hop", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("/landing");
    });
    server.http.Get("/landing", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("<landed/>", "text/xml");
    });
    server.http.Get("/ftp-redirect", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("file:///etc/passwd");
    });
    server.http.Get("/empty", [](const httplib::Request &, httplib::Response &res) {
        res.status = 204;
    });
    ASSERT_TRUE(server.Start());

    struct {
        const char *path;
        bool ok;
        const char *body;
        THttpFailure failure;
    } const cases[] = {
        {"/big", false, "", THttpFailure::TooLarge},
        {"/big-chunked", false, "", THttpFailure::TooLarge},
        {"/loop", false, "", THttpFailure::Other},
        {"/ftp-redirect", false, "", THttpFailure::Other},
        {"/empty", false, "", THttpFailure::None},
        {"/hop", true, "<landed/>", THttpFailure::None},
    };
    for (const auto &c : cases) {
        QByteArray body("stale");
        THttpFailure failure = THttpFailure::None;
        EXPECT_EQ(HttpGetToStream(server.BaseUrl() + QString::fromLatin1(c.path), {}, {}, body, 0,
                                  ShortTimeouts(), nullptr, &failure),
                  c.ok)
            << c.path;
        EXPECT_EQ(body.toStdString(), c.body) << c.path;
        EXPECT_EQ(failure, c.failure) << c.path;
    }
}

TEST(Transport, SchemeHostAndPortRules)
{
    LoopbackServer server;
    std::string agent;
    std::string version;
    server.http.Get("/echo", [&](const httplib::Request &req, httplib::Response &res) {
        agent = req.get_header_value("User-Agent");
        version = req.version;
        res.set_content(req.target, "text/plain");
    });
    ASSERT_TRUE(server.Start());
    const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(server.Port());

    QByteArray body;
    // No scheme: plain HTTP.
    ASSERT_TRUE(HttpGetToStream(hostPort + QStringLiteral("/echo?a=1&b=2"), {}, {}, body));
    EXPECT_EQ(body, QByteArray("/echo?a=1&b=2"));
    EXPECT_EQ(agent, "agent");
    EXPECT_EQ(version, "HTTP/1.1"); // 1.1 keeps the connection for the next request
    // Upper-case scheme, port given as an argument.
    ASSERT_TRUE(HttpGetToStream(QStringLiteral("HTTP://127.0.0.1/echo"), {}, {}, body,
                                static_cast<std::uint16_t>(server.Port())));
    EXPECT_EQ(body, QByteArray("/echo"));
}

TEST(Transport, ErrorStatusWithAnHtmlBodyNamesTheStatus)
{
    LoopbackServer server;
    server.http.Get("/data/2.5/weather", [](const httplib::Request &, httplib::Response &res) {
        res.status = 500;
        res.set_content("<html><body><h1>Internal Server Error</h1><br></body></html>", "text/html");
    });
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(CurrentWeatherError(server.BaseUrl()), QStringLiteral("The service answered HTTP 500"));
}

TEST(Transport, EntityExpansionIsRefusedWithoutGrowing)
{
    const QByteArray bomb = ManyReferenceEntityDocument();
    LoopbackServer server;
    server.http.Get("/data/2.5/weather", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(bomb.toStdString(), "text/xml");
    });
    ASSERT_TRUE(server.Start());
    const long before = MaxResidentKiB();
    EXPECT_TRUE(CurrentWeatherError(server.BaseUrl()).startsWith(QLatin1String("DOCTYPE")));
    constexpr long kAllowedGrowthKiB = 64 * 1024;
    if (!kUnderAddressSanitizer) {
        EXPECT_LT(MaxResidentKiB() - before, kAllowedGrowthKiB);
    }
}

} // namespace
