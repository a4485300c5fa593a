// One tick of the title bar's clock, shown on the offscreen platform: the new
// text set, the clock repainted and the window's pixels handed on. Once a
// second this is all a shown, idle window does.
#include "ThemeController.h"
#include "TitleBar.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QLabel>

namespace {

constexpr int kTitleWidth = 470;
constexpr int kTitleHeight = 20;

void BM_ClockTick(benchmark::State &state)
{
    TThemeController theme;
    TTitleBar title(&theme);
    title.resize(kTitleWidth, kTitleHeight);
    title.show();
    title.SetClockRunning(false); // the ticks below are the only ones
    QDateTime now(QDate(2026, 12, 11), QTime(10, 0, 0));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        now = now.addSecs(1);
        title.ShowClock(now);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    if (title.TimeLabel()->text().isEmpty())
        state.SkipWithError("the clock showed nothing");
}

} // namespace

BENCHMARK(BM_ClockTick)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
