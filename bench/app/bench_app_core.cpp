// Timings of the refresh's own work: the eight next-phase times, the moon data
// of a 16-day forecast, and the panel texts.
#include "DateTimeConv.h"
#include "LangMan.h"
#include "MoonTable.h"
#include "PanelTexts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>

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
    for (auto _ : state) {
        TWeatherData data = Forecast(first);
        FillMoonPhases(data, table);
        benchmark::DoNotOptimize(data);
    }
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
