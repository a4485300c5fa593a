// Timings of the astronomy the forecast list and the refresh ask for, each
// next to a second implementation measured in the same run where one exists.
// Ends with a table of ratios (ours / peer) and of the aims.
#include "moon.h"
#include "sun.h"
#include "time_scales.h"
#include "vsop.h"

#include <benchmark/benchmark.h>

#ifdef NIMBREL_BENCH_PEER
#include <libnova/lunar.h>
#include <libnova/solar.h>
#endif

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// A spread of instants so no branch or table settles into one path.
std::vector<TDateTime> instants()
{
    std::vector<TDateTime> v;
    const TDateTime start = EncodeDateTime(2024, 1, 1);
    for (int i = 0; i < 64; ++i)
        v.push_back(start + i * 11.37);
    return v;
}

constexpr double kLondonLatitude = 51.5074;
constexpr double kLondonWestLongitude = 0.1278;

void BM_SunPosition(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(SunPosition(ts[i++ % ts.size()]));
}
BENCHMARK(BM_SunPosition);

// The sun's series summed term by term with extended-precision cosines.
class ExtendedEarth : public TVSOPEarth {
protected:
    long double SeriesSum(TVsopCoordinate coord, int power) const override
    {
        return TVSOP::SeriesSum(coord, power);
    }
};

void BM_EarthSeries_Fast(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    TVSOPEarth earth;
    for (auto _ : state)
        benchmark::DoNotOptimize(DynamicalHeliocentricPosition(earth, ts[i++ % ts.size()]));
}
BENCHMARK(BM_EarthSeries_Fast);

void BM_EarthSeries_Extended(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    ExtendedEarth earth;
    for (auto _ : state)
        benchmark::DoNotOptimize(DynamicalHeliocentricPosition(earth, ts[i++ % ts.size()]));
}
BENCHMARK(BM_EarthSeries_Extended);

void BM_SunRiseSet(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state) {
        const TDateTime t = ts[i++ % ts.size()];
        benchmark::DoNotOptimize(SunRise(kLondonWestLongitude, kLondonLatitude, t));
        benchmark::DoNotOptimize(SunSet(kLondonWestLongitude, kLondonLatitude, t));
    }
}
BENCHMARK(BM_SunRiseSet);

void BM_MoonPosition(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(MoonPosition(ts[i++ % ts.size()]));
}
BENCHMARK(BM_MoonPosition);

void BM_MoonIlluminated(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(MoonIlluminated(ts[i++ % ts.size()]));
}
BENCHMARK(BM_MoonIlluminated);

void nextPhases(benchmark::State &state, std::initializer_list<TMoonPhase> phases)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state) {
        const TDateTime t = ts[i++ % ts.size()];
        for (TMoonPhase p : phases)
            benchmark::DoNotOptimize(NextPhase(p, t));
    }
}

void BM_NextPhase_FourPrincipal(benchmark::State &state)
{
    nextPhases(state, {Newmoon, FirstQuarter, Fullmoon, LastQuarter});
}
BENCHMARK(BM_NextPhase_FourPrincipal);

void BM_NextPhase_AllEight(benchmark::State &state)
{
    nextPhases(state, {Newmoon, WaxingCrescrent, FirstQuarter, WaxingGibbous, Fullmoon, WaningGibbous,
                       LastQuarter, WaningCrescent});
}
BENCHMARK(BM_NextPhase_AllEight);

#ifdef NIMBREL_BENCH_PEER
double julian(TDateTime t)
{
    return static_cast<double>(JulianDate(t));
}

void BM_Peer_SunPosition(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state) {
        ln_equ_posn pos;
        ln_get_solar_equ_coords(julian(ts[i++ % ts.size()]), &pos);
        benchmark::DoNotOptimize(pos);
    }
}
BENCHMARK(BM_Peer_SunPosition);

void BM_Peer_SunRiseSet(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    ln_lnlat_posn observer;
    observer.lng = -kLondonWestLongitude; // east positive there
    observer.lat = kLondonLatitude;
    for (auto _ : state) {
        ln_rst_time rst;
        benchmark::DoNotOptimize(ln_get_solar_rst(julian(ts[i++ % ts.size()]), &observer, &rst));
        benchmark::DoNotOptimize(rst);
    }
}
BENCHMARK(BM_Peer_SunRiseSet);

void BM_Peer_MoonIlluminated(benchmark::State &state)
{
    const std::vector<TDateTime> ts = instants();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ln_get_lunar_disk(julian(ts[i++ % ts.size()])));
}
BENCHMARK(BM_Peer_MoonIlluminated);
#endif

// Prints the usual table, then each figure against its peer or aim.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // CPU time: the machine is shared, wall time would count others' work.
        // With repetitions the median stands for the benchmark.
        for (const Run &r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type == Run::RT_Iteration || median)
                microseconds_[r.run_name.str()] =
                    r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e6;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        struct Line {
            const char *ours, *peer;
            double aimMicroseconds;
        };
        const Line lines[] = {
            {"BM_SunPosition", "BM_Peer_SunPosition", 0},
            {"BM_SunRiseSet", "BM_Peer_SunRiseSet", 90},
            {"BM_MoonIlluminated", "BM_Peer_MoonIlluminated", 0},
            {"BM_EarthSeries_Fast", "BM_EarthSeries_Extended", 0},
            {"BM_MoonPosition", nullptr, 0},
            {"BM_NextPhase_FourPrincipal", nullptr, 100},
            {"BM_NextPhase_AllEight", nullptr, 1000},
        };
        std::printf("\n%-28s %12s %12s %8s %10s\n", "benchmark", "ours (us)", "peer (us)", "ratio", "aim (us)");
        for (const Line &l : lines) {
            const auto ours = microseconds_.find(l.ours);
            if (ours == microseconds_.end())
                continue;
            std::printf("%-28s %12.2f", l.ours, ours->second);
            const auto peer = l.peer ? microseconds_.find(l.peer) : microseconds_.end();
            if (peer != microseconds_.end())
                std::printf(" %12.2f %8.2f", peer->second, ours->second / peer->second);
            else
                std::printf(" %12s %8s", "-", "-");
            if (l.aimMicroseconds > 0)
                std::printf(" %10.0f", l.aimMicroseconds);
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> microseconds_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
