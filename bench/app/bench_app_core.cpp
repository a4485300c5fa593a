// Timings of the refresh's own work: the eight next-phase times, the moon data
// of a 16-day forecast, the panel texts, the forecast rows with their sun
// times, and all of the UI thread's work once the data arrived.
#include "DateTimeConv.h"
#include "ForecastRows.h"
#include "LangMan.h"
#include "MoonTable.h"
#include "PanelTexts.h"
#include "WeatherFetch.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QVector>

namespace {

constexpr int kForecastDays = 16;

TWeatherData Forecast(TDateTime first)
{
    TWeatherData data(kForecastDays);
    for (int i = 0; i < kForecastDays; ++i)
        data[i].TimeStamp = first + i;
    return data;
}

TDateTime FirstStamp(int shift)
{
    return DateTimeFromQDateTime(QDateTime(QDate(2026, 1, 1).addDays(shift * 7), QTime(12, 0)));
}

void BM_BuildMoonTable(benchmark::State &state)
{
    int shift = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildMoonTable(FirstStamp(shift++ % 52)));
}
BENCHMARK(BM_BuildMoonTable)->Unit(benchmark::kMillisecond);

void BM_FillMoonPhases16Days(benchmark::State &state)
{
    const TDateTime first = FirstStamp(3);
    const TMoonTable table = BuildMoonTable(first);
    const TWeatherData data = Forecast(first);
    for (auto _ : state)
        benchmark::DoNotOptimize(ForecastMoonDays(data, table));
}
BENCHMARK(BM_FillMoonPhases16Days)->Unit(benchmark::kMicrosecond);

void BM_BuildPanelTexts(benchmark::State &state)
{
    TLanguageManager app;
    TLanguageManager reference;
    TWeatherRecord record;
    record.Temp.Value.Value = -1.5;
    record.Weather.Value = 600;
    record.Wind.Speed.Name = QStringLiteral("Gentle Breeze");
    record.Wind.Direction.Code = QStringLiteral("WNW");
    record.TimeStamp = FirstStamp(0);
    const QLocale locale(QLocale::German, QLocale::Germany);
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildPanelTexts(record, false, locale, app, reference));
}
BENCHMARK(BM_BuildPanelTexts)->Unit(benchmark::kMicrosecond);

// Sixteen days at Prague with every value the rows show.
TWeatherData PragueForecast(TDateTime first)
{
    TWeatherData data = Forecast(first);
    for (TWeatherRecord &record : data) {
        record.City.Lat = 50.088;
        record.City.Lon = 14.4208;
        record.Temp.Value.Min = 3;
        record.Temp.Value.Max = 11;
        record.Temp.Value.Units = QStringLiteral("°C");
        record.Humidity.Value = 81;
        record.Humidity.Units = QStringLiteral("%");
        record.Pressure.Value = 1012;
        record.Pressure.Units = QStringLiteral("hPa");
        record.Wind.Speed.Value = 4.1;
        record.Wind.Speed.Units = QStringLiteral("m/s");
        record.Wind.Speed.Name = QStringLiteral("Gentle Breeze");
        record.Wind.Direction.Code = QStringLiteral("WSW");
        record.Clouds.Value = 90;
        record.Precipitation.Value = 2.25;
        record.Weather.Value = 500;
        record.Weather.Icon = QStringLiteral("10d.png");
    }
    return data;
}

void BM_BuildForecastRows16Days(benchmark::State &state)
{
    TLanguageManager app;
    TLanguageManager reference;
    const QLocale locale(QLocale::Czech, QLocale::CzechRepublic);
    int shift = 0;
    for (auto _ : state) {
        const TWeatherData data = PragueForecast(FirstStamp(shift++ % 52));
        benchmark::DoNotOptimize(BuildForecastRows(data, QStringLiteral("/tmp"), QStringList(), locale, app, reference));
    }
}
BENCHMARK(BM_BuildForecastRows16Days)->Unit(benchmark::kMillisecond);

// What the UI thread does with a successful refresh before the list paints:
// the panel and the sixteen rows. The data and its astronomy come from the
// fetch's worker thread, so they are made before the clock runs.
void BM_AfterDataArrived16Days(benchmark::State &state)
{
    TLanguageManager app;
    TLanguageManager reference;
    const QLocale locale(QLocale::Czech, QLocale::CzechRepublic);
    constexpr int kStarts = 52;
    QVector<TWeatherData> arrived;
    QVector<TForecastAstronomy> astronomy;
    for (int i = 0; i < kStarts; ++i) {
        arrived << PragueForecast(FirstStamp(i));
        astronomy << ForecastAstronomy(arrived.last());
    }
    int shift = 0;
    for (auto _ : state) {
        const int i = shift++ % kStarts;
        const TWeatherData &data = arrived[i];
        benchmark::DoNotOptimize(BuildPanelTexts(data[0], false, locale, app, reference));
        benchmark::DoNotOptimize(BuildForecastRows(data, QStringLiteral("/tmp"), QStringList(), locale, app,
                                                   reference, astronomy[i].Sun, astronomy[i].Moon));
    }
}
BENCHMARK(BM_AfterDataArrived16Days)->Unit(benchmark::kMillisecond);

} // namespace
