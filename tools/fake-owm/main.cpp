// fake-owm: a stand-in for the weather services on 127.0.0.1, for demos and
// end-to-end tests. Made-up weather for a fixed list of cities, the answers in
// the XML shapes the client reads, the service's JSON error bodies, and drawn
// condition icons; beside them the keyless service's JSON forecast and place
// search. Any key but "bad" is accepted.
#include "Cities.h"
#include "Documents.h"
#include "Faults.h"
#include "Icons.h"
#include "OpenMeteo.h"
#include "UpdatePage.h"

#include <httplib.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <string>
#include <thread>

#include <sys/socket.h>

namespace {

const char kHost[] = "127.0.0.1";
const char kXmlType[] = "application/xml; charset=utf-8";
const char kJsonType[] = "application/json; charset=utf-8";
const char kInvalidKeyBody[] = "{\"cod\":401, \"message\": \"Invalid API key. Please see "
                               "https://openweathermap.org/faq#error401 for more info.\"}";
const char kCityNotFoundBody[] = "{\"cod\":\"404\",\"message\":\"city not found\"}";
const char kNothingToGeocodeBody[] = "{\"cod\":\"400\",\"message\":\"Nothing to geocode\"}";
const char kRejectedKey[] = "bad";

constexpr int kDefaultSlots = 40;
constexpr int kMaxSlots = 40;
constexpr int kDefaultDays = 7;
constexpr int kMaxDays = 16;
// Newer than any build of the applet, so the demo asks about it.
const char kDefaultUpdateVersion[] = "99.0";
// A delay longer than this is taken for a typing error.
constexpr int kMaxDelayMs = 10 * 60 * 1000;

QString Param(const httplib::Request &request, const char *name)
{
    return QString::fromStdString(request.get_param_value(name));
}

void Reply(httplib::Response &response, int status, const std::string &body, const char *type)
{
    response.status = status;
    response.set_content(body, type);
}

// A missing or empty key counts as a rejected one, as with the real service.
bool KeyAccepted(const httplib::Request &request, httplib::Response &response)
{
    const std::string key = request.get_param_value(request.has_param("APPID") ? "APPID" : "appid");
    if (!key.empty() && key != kRejectedKey)
        return true;
    Reply(response, 401, kInvalidKeyBody, kJsonType);
    return false;
}

// The city named by id= or q=, or null after the error answer was set.
const TFakeCity *RequestedCity(const httplib::Request &request, httplib::Response &response)
{
    const TFakeCity *city = nullptr;
    if (request.has_param("id")) {
        bool ok = false;
        const qint64 id = Param(request, "id").toLongLong(&ok);
        city = ok ? CityById(id) : nullptr;
    } else if (request.has_param("q")) {
        city = CityByQuery(Param(request, "q"));
    } else {
        Reply(response, 400, kNothingToGeocodeBody, kJsonType);
        return nullptr;
    }
    if (city == nullptr)
        Reply(response, 404, kCityNotFoundBody, kJsonType);
    return city;
}

int Count(const httplib::Request &request, int fallback, int most)
{
    bool ok = false;
    const int count = Param(request, "cnt").toInt(&ok);
    return ok && count > 0 ? std::min(count, most) : fallback;
}

QString Units(const httplib::Request &request)
{
    return request.has_param("units") ? Param(request, "units") : QStringLiteral("standard");
}

void ServeXml(httplib::Response &response, const QByteArray &document)
{
    Reply(response, 200, document.toStdString(), kXmlType);
}

TQueryParams Params(const httplib::Request &request)
{
    TQueryParams params;
    for (const auto &[name, value] : request.params)
        params.insert(QString::fromStdString(name), QString::fromStdString(value));
    return params;
}

void ServeJson(httplib::Response &response, const TOpenMeteoAnswer &answer)
{
    Reply(response, answer.Status, answer.Body.toStdString(), kJsonType);
}

void AddRoutes(httplib::Server &server, const QMap<QString, QByteArray> &icons)
{
    server.Get("/data/2.5/weather", [](const httplib::Request &request, httplib::Response &response) {
        if (!KeyAccepted(request, response))
            return;
        if (const TFakeCity *city = RequestedCity(request, response))
            ServeXml(response, CurrentDocument(*city, Units(request), QDateTime::currentDateTimeUtc()));
    });
    server.Get("/data/2.5/forecast", [](const httplib::Request &request, httplib::Response &response) {
        if (!KeyAccepted(request, response))
            return;
        if (const TFakeCity *city = RequestedCity(request, response))
            ServeXml(response, ForecastDocument(*city, Units(request), QDateTime::currentDateTimeUtc(),
                                                Count(request, kDefaultSlots, kMaxSlots)));
    });
    server.Get("/data/2.5/forecast/daily", [](const httplib::Request &request, httplib::Response &response) {
        if (!KeyAccepted(request, response))
            return;
        if (const TFakeCity *city = RequestedCity(request, response))
            ServeXml(response, DailyDocument(*city, Units(request), QDateTime::currentDateTimeUtc(),
                                             Count(request, kDefaultDays, kMaxDays)));
    });
    server.Get("/data/2.5/find", [](const httplib::Request &request, httplib::Response &response) {
        if (!KeyAccepted(request, response))
            return;
        if (!request.has_param("q")) {
            Reply(response, 400, kNothingToGeocodeBody, kJsonType);
            return;
        }
        ServeXml(response, FindDocument(CitiesLike(Param(request, "q")), Units(request),
                                        QDateTime::currentDateTimeUtc()));
    });
    server.Get(R"(/img/w/([0-9]{2}[dn])\.png)", [&icons](const httplib::Request &request,
                                                         httplib::Response &response) {
        const QByteArray png = icons.value(QString::fromStdString(request.matches[1].str()));
        if (png.isEmpty())
            Reply(response, 404, "<html><body>Not Found</body></html>", "text/html");
        else
            Reply(response, 200, png.toStdString(), "image/png");
    });
    // The keyless service's shapes: no key is asked for.
    server.Get("/v1/forecast", [](const httplib::Request &request, httplib::Response &response) {
        ServeJson(response, OpenMeteoForecast(Params(request), QDateTime::currentDateTimeUtc()));
    });
    server.Get("/v1/search", [](const httplib::Request &request, httplib::Response &response) {
        ServeJson(response, OpenMeteoSearch(Params(request)));
    });
    server.set_error_handler([](const httplib::Request &, httplib::Response &response) {
        if (response.body.empty())
            Reply(response, response.status, "<html><body>Not Found</body></html>", "text/html");
    });
}

// One line per request on stderr; the key is masked.
void LogRequest(const httplib::Request &request, const httplib::Response &response)
{
    static const QRegularExpression key(QStringLiteral("(APPID|appid)=[^&]*"));
    QString target = QString::fromStdString(request.target);
    target.replace(key, QStringLiteral("\\1=***"));
    std::fprintf(stderr, "%s %s %s -> %d\n", QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8().constData(),
                 request.method.c_str(), target.toUtf8().constData(), response.status);
    std::fflush(stderr);
}

// A port given with --port must be ours alone: the library's default would let
// a second server share it and take half of the requests.
void ExclusiveSocketOptions(socket_t sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves made-up weather on http://127.0.0.1 in OpenWeatherMap's shapes and, under /v1/, Open-Meteo's.\n"
        "Prints \"listening on http://127.0.0.1:PORT\" first (https with --tls-cert); any key but \"bad\" is accepted.\n"
        "Also serves an update page at /webupdate.html with a small download."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 or none picks a free one."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(portOption);
    const QCommandLineOption updateVersionOption(QStringLiteral("update-version"),
                                                 QStringLiteral("The version the update page offers."),
                                                 QStringLiteral("V"), QString::fromLatin1(kDefaultUpdateVersion));
    parser.addOption(updateVersionOption);
    const QCommandLineOption delayOption(QStringLiteral("delay-ms"),
                                         QStringLiteral("Hold every answer back this many milliseconds, "
                                                        "as a slow network would."),
                                         QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOption(delayOption);
    const QCommandLineOption faultOption(QStringLiteral("fault"),
                                         QStringLiteral("Answer every API request with this fault: ")
                                             + FaultNames().join(QStringLiteral(", "))
                                             + QStringLiteral(". GET /control/fault?mode=NAME[&path=PREFIX] "
                                                              "changes it while running."),
                                         QStringLiteral("NAME"), QStringLiteral("none"));
    parser.addOption(faultOption);
    const QCommandLineOption certOption(QStringLiteral("tls-cert"),
                                        QStringLiteral("Serve HTTPS with this PEM certificate (with --tls-key)."),
                                        QStringLiteral("FILE"));
    parser.addOption(certOption);
    const QCommandLineOption keyOption(QStringLiteral("tls-key"),
                                       QStringLiteral("The PEM private key of --tls-cert."), QStringLiteral("FILE"));
    parser.addOption(keyOption);
    parser.process(app);

    bool ok = false;
    const int port = parser.value(portOption).toInt(&ok);
    if (!ok || port < 0 || port > 65535) {
        std::fprintf(stderr, "fake-owm: --port wants a number from 0 to 65535\n");
        return 2;
    }

    const int delayMs = parser.value(delayOption).toInt(&ok);
    if (!ok || delayMs < 0 || delayMs > kMaxDelayMs) {
        std::fprintf(stderr, "fake-owm: --delay-ms wants a number from 0 to %d\n", kMaxDelayMs);
        return 2;
    }

    TFault fault = TFault::None;
    if (!FaultByName(parser.value(faultOption), fault)) {
        std::fprintf(stderr, "fake-owm: --fault wants one of: %s\n",
                     FaultNames().join(QStringLiteral(", ")).toUtf8().constData());
        return 2;
    }
    TFaultSwitch faults;
    faults.Set(fault, std::string());

    const bool secure = parser.isSet(certOption) || parser.isSet(keyOption);
    if (secure && (parser.value(certOption).isEmpty() || parser.value(keyOption).isEmpty())) {
        std::fprintf(stderr, "fake-owm: --tls-cert and --tls-key go together\n");
        return 2;
    }
    std::unique_ptr<httplib::Server> served;
    if (secure) {
        auto tls = std::make_unique<httplib::SSLServer>(parser.value(certOption).toLocal8Bit().constData(),
                                                        parser.value(keyOption).toLocal8Bit().constData());
        if (!tls->is_valid()) {
            std::fprintf(stderr, "fake-owm: the certificate or key cannot be used\n");
            return 2;
        }
        served = std::move(tls);
    } else {
        served = std::make_unique<httplib::Server>();
    }
    httplib::Server &server = *served;
    const char *const scheme = secure ? "https" : "http";
    const QMap<QString, QByteArray> icons = DrawIcons();
    server.set_socket_options(ExclusiveSocketOptions);
    // Each request is served on a pool thread, so holding one back holds no other.
    server.set_pre_routing_handler([delayMs, &faults](const httplib::Request &request, httplib::Response &response) {
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        return ServeFault(faults, request, response) ? httplib::Server::HandlerResponse::Handled
                                                     : httplib::Server::HandlerResponse::Unhandled;
    });
    AddRoutes(server, icons);
    AddFaultControl(server, faults);
    AddUpdateRoutes(server, parser.value(updateVersionOption));
    server.set_logger(LogRequest);

    int bound = port;
    if (port == 0)
        bound = server.bind_to_any_port(kHost);
    else if (!server.bind_to_port(kHost, port))
        bound = -1;
    if (bound <= 0) {
        std::fprintf(stderr, "fake-owm: cannot listen on %s:%d\n", kHost, port);
        return 1;
    }
    std::printf("listening on %s://%s:%d\n", scheme, kHost, bound);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
