// The service's answers read as the client reads them: the checks, the XML
// document and the records, for the current weather and a 16-day forecast.
// The peer is the bare XML document load of the same bytes, in the same run.
#include "CurrentWeather.h"
#include "Forecast.h"
#include "ServiceResponse.h"

#include <benchmark/benchmark.h>

#include <QDate>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kForecastDays = 16;

QByteArray ReadFixture(const char *name)
{
    QFile file(QStringLiteral(NIMBREL_WEATHER_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_parse: cannot read %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    return file.readAll();
}

// The daily fixture's first day repeated for sixteen days in a row.
QByteArray SixteenDays()
{
    const QString text = QString::fromUtf8(ReadFixture("forecast_daily.xml"));
    const qsizetype begin = text.indexOf(QLatin1String("<time "));
    const qsizetype end = text.indexOf(QLatin1String("</time>"), begin) + int(sizeof("</time>") - 1);
    const qsizetype close = text.indexOf(QLatin1String("</forecast>"));
    const QString day = text.mid(begin, end - begin);
    const QRegularExpression dated(QStringLiteral("day=\"(\\d{4}-\\d\\d-\\d\\d)\""));
    const QDate first = QDate::fromString(dated.match(day).captured(1), Qt::ISODate);
    QString days;
    for (int i = 0; i < kForecastDays; ++i) {
        QString copy = day;
        copy.replace(dated, QStringLiteral("day=\"%1\"").arg(first.addDays(i).toString(Qt::ISODate)));
        days += copy + QLatin1Char('\n');
    }
    return (text.left(begin) + days + text.mid(close)).toUtf8();
}

TRequestRecord Request()
{
    TRequestRecord request;
    request.KeyType = ktPaid;
    request.Units = QStringLiteral("metric");
    request.NumberOfDays = kForecastDays;
    request.ForecastMode = fmDaily;
    return request;
}

void BM_ParseCurrent(benchmark::State &state)
{
    const QByteArray body = ReadFixture("current_full.xml");
    for (auto _ : state) {
        TRequestRecord request = Request();
        QDomDocument document;
        TWeatherRecord record;
        if (CheckServiceResponse(body, 200, kCurrentWeatherAnswer, request, document))
            ParseCurrentWeather(document.documentElement(), request.Units, record);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_ParseCurrent)->Unit(benchmark::kMicrosecond);

void BM_Peer_ParseCurrent(benchmark::State &state)
{
    const QByteArray body = ReadFixture("current_full.xml");
    for (auto _ : state) {
        QDomDocument document;
        benchmark::DoNotOptimize(document.setContent(body));
    }
}
BENCHMARK(BM_Peer_ParseCurrent)->Unit(benchmark::kMicrosecond);

void BM_ParseForecast16Days(benchmark::State &state)
{
    const QByteArray body = SixteenDays();
    for (auto _ : state) {
        TRequestRecord request = Request();
        QDomDocument document;
        TWeatherData data;
        if (CheckServiceResponse(body, 200, kForecastAnswer, request, document))
            ParseForecast(document.documentElement(), request, data);
        if (data.size() != kForecastDays)
            state.SkipWithError("the forecast did not give sixteen days");
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_ParseForecast16Days)->Unit(benchmark::kMicrosecond);

void BM_Peer_ParseForecast16Days(benchmark::State &state)
{
    const QByteArray body = SixteenDays();
    for (auto _ : state) {
        QDomDocument document;
        benchmark::DoNotOptimize(document.setContent(body));
    }
}
BENCHMARK(BM_Peer_ParseForecast16Days)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
