// weather-probe: asks the service (or the stand-in) for the current weather and
// the daily forecast through the real client and prints them.
#include "DateTimeConv.h"
#include "Forecast.h"
#include "XmlValues.h"
#include "Zelto_OWM.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

constexpr long kMsPerSecond = 1000;
constexpr double kMaxTimeoutSeconds = 3600;
constexpr int kWholeNumber = 0;
constexpr int kOneDecimal = 1;
// What the window shows for a value that is absent or not a number.
constexpr char16_t kNoValue[] = u"\u2013";

QString TimeText(TDateTime value, const char *format)
{
    return value == kNoDateTime ? QStringLiteral("-")
                                : QDateTimeFromDateTime(value).toString(QString::fromLatin1(format));
}

QString NumberText(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QString::fromUtf16(kNoValue);
}

QString NumberText(double value)
{
    return std::isfinite(value) ? QString::number(value) : QString::fromUtf16(kNoValue);
}

// A folded day without any temperature carries the fold's markers, not a range.
QString RangeText(const TValue &temperature)
{
    if (temperature.Max <= kFoldNoHighestMax || temperature.Min >= kFoldNoLowestMin)
        return QString::fromUtf16(kNoValue);
    return NumberText(temperature.Min, kWholeNumber) + QStringLiteral("..")
           + NumberText(temperature.Max, kWholeNumber);
}

void PrintCurrent(QTextStream &out, const TWeatherRecord &r)
{
    out << r.City.Name << ", " << r.City.Country << "  (id " << r.City.ID << ", "
        << NumberText(r.City.Lat) << " N, " << NumberText(r.City.Lon) << " E)\n"
        << "  " << r.Weather.Name << " [" << r.Weather.Code << ", " << r.Weather.Icon << "]\n"
        << "  temperature " << NumberText(r.Temp.Value.Value) << " " << r.Temp.Value.Units << "\n"
        << "  wind " << NumberText(r.Wind.Speed.Value, kOneDecimal) << " " << r.Wind.Speed.Units
        << " " << r.Wind.Direction.Code << ", pressure " << NumberText(r.Pressure.Value) << " "
        << r.Pressure.Units << ", humidity " << NumberText(r.Humidity.Value) << r.Humidity.Units
        << ", clouds " << NumberText(r.Clouds.Value) << r.Clouds.Units << "\n"
        << "  sunrise " << TimeText(r.City.Sunrise, "HH:mm") << ", sunset "
        << TimeText(r.City.Sunset, "HH:mm") << ", updated "
        << TimeText(r.TimeStamp, "yyyy-MM-dd HH:mm") << "\n";
}

void PrintForecast(QTextStream &out, const TWeatherData &data)
{
    for (const TWeatherRecord &r : data)
        out << "  " << TimeText(r.TimeStamp, "ddd dd.MM.") << "  " << RangeText(r.Temp.Value) << " "
            << r.Temp.Value.Units << "  " << r.Weather.Name << "\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints what the weather client fetches."));
    parser.addHelpOption();
    const QCommandLineOption api(QStringLiteral("api"), QStringLiteral("API base address."),
                                 QStringLiteral("url"), QString::fromLatin1(kDefaultApiBase));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("API key."),
                                 QStringLiteral("key"), qEnvironmentVariable("NIMBREL_API_KEY"));
    const QCommandLineOption location(QStringLiteral("location"), QStringLiteral("Location name."),
                                      QStringLiteral("name"), QStringLiteral("Prague,CZ"));
    const QCommandLineOption units(QStringLiteral("units"), QStringLiteral("metric or imperial."),
                                   QStringLiteral("units"), QStringLiteral("metric"));
    const QCommandLineOption days(QStringLiteral("days"), QStringLiteral("Forecast days."),
                                  QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption paid(QStringLiteral("paid"), QStringLiteral("The key is a paid one."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"), QStringLiteral("Total time-out of each fetch, in seconds."),
        QStringLiteral("seconds"), QString::number(THttpOptions().TotalTimeoutMs / kMsPerSecond));
    parser.addOptions({api, key, location, units, days, paid, timeout});
    parser.process(app);

    QTextStream out(stdout);
    bool timeoutOk = false;
    const double timeoutSeconds = parser.value(timeout).toDouble(&timeoutOk);
    if (!timeoutOk || !(timeoutSeconds > 0) || timeoutSeconds > kMaxTimeoutSeconds) {
        QTextStream(stderr) << "--timeout wants a number of seconds above 0 and at most "
                            << kMaxTimeoutSeconds << ", not \"" << parser.value(timeout) << "\"\n";
        return 2;
    }
    TOwmClient client(parser.value(api));
    // At least a millisecond: 0 would mean no time-out at all.
    client.HttpOptions().TotalTimeoutMs =
        std::max(1L, static_cast<long>(std::lround(timeoutSeconds * kMsPerSecond)));
    // A total time-out shorter than the connection's own bounds that one as well.
    client.HttpOptions().ConnectTimeoutMs =
        std::min(client.HttpOptions().ConnectTimeoutMs, client.HttpOptions().TotalTimeoutMs);
    TRequestRecord request;
    request.Key = parser.value(key);
    request.KeyType = parser.isSet(paid) ? ktPaid : ktFree;
    request.LocationID = -1;
    request.LocationName = parser.value(location);
    request.Units = parser.value(units);
    request.Lang = QStringLiteral("en");
    request.NumberOfDays = static_cast<std::uint8_t>(qBound(1, parser.value(days).toInt(), 16));
    request.ForecastMode = fmDaily;

    try {
        TWeatherRecord current;
        if (!client.GetCurrentWeather(request, current)) {
            out << "Current weather failed: " << request.Failure.Message << "\n";
            return 1;
        }
        PrintCurrent(out, current);
        TWeatherData forecast;
        if (!client.GetForecast(request, forecast)) {
            out << "Forecast failed: " << request.Failure.Message << "\n";
            return 1;
        }
        PrintForecast(out, forecast);
    } catch (const EConvertError &error) {
        out << "The service sent a value that is not a number: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
