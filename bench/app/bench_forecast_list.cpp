// Timings of the forecast list: taking sixteen rows with the first paint (once
// per refresh) and a full repaint of them, at the plain density and at twice it.
#include "DateTimeConv.h"
#include "ForecastList.h"

#include <benchmark/benchmark.h>

#include <QApplication>
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
