#include "Faults.h"

#include "Cities.h"
#include "Documents.h"
#include "OpenMeteo.h"

#include <QDateTime>

#include <chrono>
#include <memory>
#include <thread>

namespace {

const char kXmlType[] = "application/xml; charset=utf-8";
const char kJsonType[] = "application/json; charset=utf-8";
// The API paths a fault strikes unless it names its own: both services'.
const char *const kApiPrefixes[] = {"/data/", "/v1/"};
const char kJsonPrefix[] = "/v1/";
constexpr int kJsonNesting = 100000;

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

bool StartsWith(const std::string &path, const std::string &prefix)
{
    return path.compare(0, prefix.size(), prefix) == 0;
}

// The keyless service's paths answer JSON, the others XML.
bool JsonPath(const std::string &path)
{
    return StartsWith(path, kJsonPrefix);
}

// A good answer to break: the current weather of the first known city, in the
// path's shape.
std::string GoodDocument(bool json)
{
    if (json)
        return OpenMeteoSampleDocument().toStdString();
    return CurrentDocument(KnownCities().front(), QStringLiteral("metric"), QDateTime::currentDateTimeUtc())
        .toStdString();
}

// JSON has no entities; its blow-up is nesting deeper than any parser should follow.
std::string DeepJsonDocument()
{
    return "{\"current\":" + std::string(kJsonNesting, '[') + std::string(kJsonNesting, ']') + "}";
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
std::string BadUtf8Document(bool json)
{
    std::string document = GoodDocument(json);
    const std::string name = json ? "\"timezone\":\"" : "name=\"";
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
    FPrefix = pathPrefix;
}

TFault TFaultSwitch::FaultFor(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(FMutex);
    if (!FPrefix.empty())
        return StartsWith(path, FPrefix) ? FFault : TFault::None;
    for (const char *prefix : kApiPrefixes)
        if (StartsWith(path, prefix))
            return FFault;
    return TFault::None;
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
    const bool json = JsonPath(request.path);
    const char *const type = json ? kJsonType : kXmlType;
    switch (faults.FaultFor(request.path)) {
    case TFault::None:
        return false;
    case TFault::Stall:
        Stall(faults, request.path);
        return false; // healed: the route answers
    case TFault::Drip: {
        auto document = std::make_shared<std::string>(GoodDocument(json));
        response.set_content_provider(document->size(), type,
                                      [document](size_t offset, size_t, httplib::DataSink &sink) {
                                          std::this_thread::sleep_for(kDripPause);
                                          return sink.write(document->data() + offset, 1);
                                      });
        return true;
    }
    case TFault::Close: {
        // The length promised is the whole document's; the provider's refusal
        // after the first half drops the connection.
        auto document = std::make_shared<std::string>(GoodDocument(json));
        response.set_content_provider(document->size(), type,
                                      [document](size_t offset, size_t, httplib::DataSink &sink) {
                                          const size_t half = document->size() / 2;
                                          if (offset >= half)
                                              return false;
                                          return sink.write(document->data() + offset, half - offset);
                                      });
        return true;
    }
    case TFault::Huge: {
        const std::string head = json ? "{\"current\":\"" : "<?xml version=\"1.0\"?>\n<current>";
        const std::string tail = json ? "\"}" : "</current>";
        std::string body = head;
        body.append(kHugeBytes - head.size() - tail.size(), ' ');
        body += tail;
        response.set_content(body, type);
        return true;
    }
    case TFault::Entities:
        response.set_content(json ? DeepJsonDocument() : EntityExpansionDocument(), type);
        return true;
    case TFault::BadUtf8:
        response.set_content(BadUtf8Document(json), type);
        return true;
    case TFault::Html503:
        response.status = 503;
        response.set_content(kHtml503Body, "text/html");
        return true;
    case TFault::Json429:
        response.status = 429;
        response.set_content(json ? OpenMeteoLimitDocument().toStdString() : std::string(kJson429Body), kJsonType);
        return true;
    }
    return false;
}
