#include "Faults.h"

#include "Cities.h"
#include "Documents.h"

#include <QDateTime>

#include <chrono>
#include <memory>
#include <thread>

namespace {

const char kXmlType[] = "application/xml; charset=utf-8";
const char kDefaultPrefix[] = "/data/";

constexpr auto kStallStep = std::chrono::milliseconds(100);
constexpr auto kStallLongest = std::chrono::minutes(10);
constexpr auto kDripPause = std::chrono::seconds(1);
constexpr size_t kHugeBytes = 5 * 1024 * 1024;
constexpr int kLaughLevels = 9;
constexpr int kLaughsPerLevel = 10;

const char kHtml503Body[] =
    "<html>\r\n<head><title>503 Service Temporarily Unavailable</title></head>\r\n"
    "<body>\r\n<center><h1>503 Service Temporarily Unavailable</h1></center>\r\n</body>\r\n</html>\r\n";
const char kJson429Body[] =
    "{\"cod\":429,\"message\":\"Your account is temporary blocked due to exceeding of requests limitation "
    "of your subscription type. Please choose the proper subscription "
    "https://openweathermap.org/price\"}";

struct TFaultName {
    TFault Fault;
    const char *Name;
};
const TFaultName kFaultNames[] = {
    {TFault::None, "none"},         {TFault::Stall, "stall"},     {TFault::Drip, "drip"},
    {TFault::Close, "close"},       {TFault::Huge, "huge"},       {TFault::Entities, "entities"},
    {TFault::BadUtf8, "bad-utf8"},  {TFault::Html503, "html-503"}, {TFault::Json429, "json-429"},
};

// A good answer to break: the current weather of the first known city.
std::string GoodDocument()
{
    return CurrentDocument(KnownCities().front(), QStringLiteral("metric"), QDateTime::currentDateTimeUtc())
        .toStdString();
}

std::string EntityExpansionDocument()
{
    std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE current [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= kLaughLevels; ++level) {
        document += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < kLaughsPerLevel; ++i)
            document += "&lol" + std::to_string(level - 1) + ";";
        document += "\">\n";
    }
    document += "]>\n<current><city name=\"&lol" + std::to_string(kLaughLevels) + ";\"/></current>\n";
    return document;
}

// Bytes that no UTF-8 decoder may accept (a lone continuation byte, an
// overlong form, a surrogate) where the place's name stands.
std::string BadUtf8Document()
{
    std::string document = GoodDocument();
    const std::string name = "name=\"";
    const size_t at = document.find(name);
    if (at != std::string::npos)
        document.insert(at + name.size(), "\x80\xC0\xAF\xED\xA0\x80\xFF");
    return document;
}

void Stall(const TFaultSwitch &faults, const std::string &path)
{
    const auto end = std::chrono::steady_clock::now() + kStallLongest;
    while (faults.FaultFor(path) == TFault::Stall && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(kStallStep);
}

} // namespace

QStringList FaultNames()
{
    QStringList names;
    for (const TFaultName &entry : kFaultNames)
        names << QString::fromLatin1(entry.Name);
    return names;
}

bool FaultByName(const QString &name, TFault &fault)
{
    for (const TFaultName &entry : kFaultNames) {
        if (name == QLatin1String(entry.Name)) {
            fault = entry.Fault;
            return true;
        }
    }
    return false;
}

void TFaultSwitch::Set(TFault fault, const std::string &pathPrefix)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FFault = fault;
    FPrefix = pathPrefix.empty() ? std::string(kDefaultPrefix) : pathPrefix;
}

TFault TFaultSwitch::FaultFor(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(FMutex);
    return path.compare(0, FPrefix.size(), FPrefix) == 0 ? FFault : TFault::None;
}

void AddFaultControl(httplib::Server &server, TFaultSwitch &faults)
{
    server.Get("/control/fault", [&faults](const httplib::Request &request, httplib::Response &response) {
        TFault fault = TFault::None;
        const QString name = QString::fromStdString(request.get_param_value("mode"));
        if (!FaultByName(name, fault)) {
            response.status = 400;
            response.set_content("mode wants one of: " + FaultNames().join(QStringLiteral(", ")).toStdString() + "\n",
                                 "text/plain");
            return;
        }
        faults.Set(fault, request.get_param_value("path"));
        response.set_content("fault " + name.toStdString() + "\n", "text/plain");
    });
}

bool ServeFault(const TFaultSwitch &faults, const httplib::Request &request, httplib::Response &response)
{
    switch (faults.FaultFor(request.path)) {
    case TFault::None:
        return false;
    case TFault::Stall:
        Stall(faults, request.path);
        return false; // healed: the route answers
    case TFault::Drip: {
        auto document = std::make_shared<std::string>(GoodDocument());
        response.set_content_provider(document->size(), kXmlType,
                                      [document](size_t offset, size_t, httplib::DataSink &sink) {
                                          std::this_thread::sleep_for(kDripPause);
                                          return sink.write(document->data() + offset, 1);
                                      });
        return true;
    }
    case TFault::Close: {
        // The length promised is the whole document's; the provider's refusal
        // after the first half drops the connection.
        auto document = std::make_shared<std::string>(GoodDocument());
        response.set_content_provider(document->size(), kXmlType,
                                      [document](size_t offset, size_t, httplib::DataSink &sink) {
                                          const size_t half = document->size() / 2;
                                          if (offset >= half)
                                              return false;
                                          return sink.write(document->data() + offset, half - offset);
                                      });
        return true;
    }
    case TFault::Huge: {
        std::string body = "<?xml version=\"1.0\"?>\n<current>";
        body.append(kHugeBytes - body.size() - 10, ' ');
        body += "</current>";
        response.set_content(body, kXmlType);
        return true;
    }
    case TFault::Entities:
        response.set_content(EntityExpansionDocument(), kXmlType);
        return true;
    case TFault::BadUtf8:
        response.set_content(BadUtf8Document(), kXmlType);
        return true;
    case TFault::Html503:
        response.status = 503;
        response.set_content(kHtml503Body, "text/html");
        return true;
    case TFault::Json429:
        response.status = 429;
        response.set_content(kJson429Body, "application/json; charset=utf-8");
        return true;
    }
    return false;
}
