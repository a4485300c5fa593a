// Timings of the forecast list: taking sixteen rows with the first paint (once
// per refresh) and a full repaint of them, at the plain density and at twice it;
// and opening a day's hours under it.
#include "DateTimeConv.h"
#include "ForecastList.h"
#include "HourlyDay.h"
#include "HourlyView.h"
#include "LangConsts.h"
#include "LangMan.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

namespace {

constexpr int kRows = 16;
constexpr int kIconSize = 50; // the service's condition pictures

struct ListBench {
    QTemporaryDir dir;
    TForecastRows rows;

    ListBench()
    {
        // Sixteen days of a forecast bring a handful of different pictures.
        QStringList paths;
        for (const char *name : {"01d", "04d", "10d", "13d"}) {
            QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
            icon.fill(QColor::fromHsv(static_cast<int>(paths.size()) * 90, 160, 200));
            paths << dir.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
            icon.save(paths.last(), "PNG");
        }
        const QDate first(2026, 3, 2);
        for (int i = 0; i < kRows; ++i) {
            TForecastRow row;
            row.Index = i;
            row.Date = first.addDays(i);
            row.Weekend = row.Date.dayOfWeek() >= 6;
            row.IconPath = paths[i % paths.size()];
            row.MoonTime = static_cast<double>(DateTimeEpoch().daysTo(row.Date)) + 0.5;
            row.DateText = QStringLiteral("\npondělí\n2.3.2026\n\nAnežka");
            row.PressureText = QStringLiteral("1012,0 hPa");
            row.RangeText = QStringLiteral("11/3 °C");
            row.DescriptionText = QStringLiteral("Slabý déšť, mírný vánek\n\nVlhkost: 81 %\nVítr: 4,10 m/s ZJZ\nSrážky: 2,25 mm");
            row.MoonSunText = QStringLiteral("Měsíc: 42%\n\nVýchod slunce: 6:43:12\nZápad slunce: 17:43:48\n\nOblačnost: 90 %");
            rows << row;
        }
    }
};

// What a refresh costs the list: taking the rows and its first paint, which
// makes the pictures for the screen's density.
void BM_SetRows16(benchmark::State &state)
{
    const qreal ratio = state.range(0) / 100.0;
    ListBench bench;
    TForecastList list;
    list.resize(466, kRows * TForecastList::kRowHeight);
    QImage image(list.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        list.SetRows(bench.rows);
        list.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SetRows16)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_FullRepaint16(benchmark::State &state)
{
    const qreal ratio = state.range(0) / 100.0;
    ListBench bench;
    TForecastList list;
    list.resize(466, kRows * TForecastList::kRowHeight);
    list.SetRows(bench.rows);
    QImage image(list.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    list.render(&image); // the scaled pictures are made at the first paint
    for (auto _ : state) {
        list.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_FullRepaint16)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// Sixteen days of hours, as the hourly service sends them (24 a day), or the
// free forecast's five days of 3-hour slots (8 a day).
struct HoursBench {
    QTemporaryDir dir;
    TWeatherData days;
    TWeatherData hours;

    explicit HoursBench(int perDay)
    {
        const int dayCount = perDay == 24 ? kRows : 5;
        const QDate first(2026, 3, 2);
        QStringList names;
        for (const char *name : {"01d", "02d", "10d", "01n", "02n", "10n"}) {
            QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
            icon.fill(QColor::fromHsv(static_cast<int>(names.size()) * 60, 160, 200));
            names << QString::fromLatin1(name) + QStringLiteral(".png");
            icon.save(dir.filePath(names.last()), "PNG");
        }
        const int step = 24 / perDay;
        for (int d = 0; d < dayCount; ++d) {
            TWeatherRecord day;
            day.TimeStamp = DateTimeFromQDateTime(QDateTime(first.addDays(d), QTime(0, 0)));
            days << day;
            for (int h = 0; h < 24; h += step) {
                TWeatherRecord hour;
                const QDateTime start(first.addDays(d), QTime(h, 0));
                hour.FromTime = DateTimeFromQDateTime(start);
                hour.ToTime = DateTimeFromQDateTime(start.addSecs(step * 3600));
                hour.Weather.Value = 500;
                hour.Weather.Icon = names[(h / step) % names.size()];
                hour.Temp.Value.Value = -3.4 + h * 0.6;
                hour.Temp.Value.Units = QStringLiteral("°C");
                hour.Precipitation.Value = 0.25;
                hour.Precipitation.Units = QStringLiteral("mm");
                hour.PrecipitationChance = 0.35;
                hour.Wind.Speed.Value = 14.4;
                hour.Wind.Speed.Units = QStringLiteral("km/h");
                hour.Wind.Direction.Code = QStringLiteral("WNW");
                hours << hour;
            }
        }
    }
};

// What opening a day's hours costs the UI thread, the window's part of it:
// the hours of the day picked from all, their texts, the view taking them
// (reading the day's pictures afresh) and its first paint. Arguments: the
// density in percent and the hours per day.
void BM_OpenHourlyView(benchmark::State &state)
{
    const qreal ratio = state.range(0) / 100.0;
    HoursBench bench(static_cast<int>(state.range(1)));
    ResetTexts();
    const TLanguageManager app;
    const TLanguageManager reference;
    const int chosen = 2;
    THourlyView view;
    view.resize(466, view.NeededHeight());
    QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        const THourGroups groups = GroupHoursByDay(bench.days, bench.hours);
        TWeatherData ofDay;
        for (const int hour : groups[chosen])
            ofDay.append(bench.hours[hour]);
        view.SetDay(chosen, BuildHourlyDay(bench.days[chosen], ofDay, bench.dir.path() + QLatin1Char('/'),
                                           QLocale(QLocale::German), app, reference));
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        view.Clear(); // the next opening reads its pictures again
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenHourlyView)
    ->Args({100, 8})
    ->Args({200, 8})
    ->Args({100, 24})
    ->Args({200, 24})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
