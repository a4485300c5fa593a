// Cold start of nimbrel to its first painted window with the panel filled from
// the stand-in service, each start a process of its own on the offscreen
// platform with a throw-away settings folder; beside it, the floor: a bare Qt
// Widgets window with a tray icon. Reported per start: the CPU time (all
// threads) and RSS, PSS and USS at that first paint, as the start program read
// them; and from the kernel, the CPU time (user and system) and peak resident
// memory of the whole run, the quit included.
#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr int kStarts = 10;
constexpr int kListenWaitMs = 10000;
constexpr double kKibPerMib = 1024.0;

struct TStartUsage {
    bool Ok = false;
    double CpuMs = 0;
    double PeakRssMib = 0;
    double WallSeconds = 0;
    // At the first paint with weather (the floor: its first paint).
    double ReadyCpuMs = 0;
    double RssMib = 0;
    double PssMib = 0;
    double UssMib = 0;
};

// What the start program wrote to NIMBREL_BENCH_MEMORY_FILE: "rss pss uss" in
// KiB, then its CPU time in ms.
bool ReadReportedMemory(const QString &path, TStartUsage &usage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    if (fields.size() != 4)
        return false;
    usage.RssMib = fields[0].toDouble() / kKibPerMib;
    usage.PssMib = fields[1].toDouble() / kKibPerMib;
    usage.UssMib = fields[2].toDouble() / kKibPerMib;
    usage.ReadyCpuMs = fields[3].toDouble();
    return true;
}

double Ms(const timeval &time)
{
    return time.tv_sec * 1000.0 + time.tv_usec / 1000.0;
}

// Runs `program` to its end with the environment changed as given.
TStartUsage RunStart(const char *program, const std::vector<std::string> &overrides)
{
    std::vector<std::string> variables;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        bool replaced = false;
        for (const std::string &override : overrides)
            replaced = replaced || variable.compare(0, override.find('=') + 1, override, 0,
                                                    override.find('=') + 1) == 0;
        if (!replaced)
            variables.push_back(variable);
    }
    variables.insert(variables.end(), overrides.begin(), overrides.end());
    std::vector<char *> envp;
    for (std::string &variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(program), nullptr};

    TStartUsage usage;
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data()) != 0)
        return usage;
    int status = 0;
    rusage resources {};
    if (wait4(pid, &status, 0, &resources) != pid)
        return usage;
    usage.WallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    usage.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    usage.CpuMs = Ms(resources.ru_utime) + Ms(resources.ru_stime);
    usage.PeakRssMib = resources.ru_maxrss / kKibPerMib;
    return usage;
}

// The stand-in service for the whole run.
class TStandIn
{
public:
    TStandIn()
    {
        FProcess.start(QStringLiteral(NIMBREL_FAKE_OWM), {QStringLiteral("--port"), QStringLiteral("0")});
        static const QRegularExpression listening(QStringLiteral("listening on (http://[^\\s]+)"));
        QByteArray output;
        while (FBase.isEmpty() && FProcess.waitForReadyRead(kListenWaitMs)) {
            output += FProcess.readAllStandardOutput();
            FBase = listening.match(QString::fromUtf8(output)).captured(1);
        }
    }
    ~TStandIn()
    {
        FProcess.kill();
        FProcess.waitForFinished();
    }
    QString Base() const { return FBase; }

private:
    QProcess FProcess;
    QString FBase;
};

TStandIn &StandIn()
{
    static TStandIn standIn;
    return standIn;
}

// A fresh settings folder per start, pointing at the stand-in with a key.
std::vector<std::string> ThrowAwaySettings(const QTemporaryDir &folder)
{
    const QString config = folder.path() + QStringLiteral("/config");
    const QString runtime = folder.path() + QStringLiteral("/run");
    QDir().mkpath(config + QStringLiteral("/Zelto/Nimbrel"));
    QDir().mkdir(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TLayoutManagerINIStorage storage(config + QStringLiteral("/Zelto/Nimbrel/nimbrel.ini"));
    storage.Open(false);
    storage.WriteString(QStringLiteral("Service"), QStringLiteral("ApiBase"), StandIn().Base());
    storage.WriteString(QStringLiteral("Service"), QStringLiteral("WebBase"), StandIn().Base());
    storage.WriteString(TLayoutManagerValues::kDefaultSection, QLatin1String(kApiKeyName),
                        TLayoutManagerWinCryptCipherer().EncryptText(QStringLiteral("bench"),
                                                                     QLatin1String(kApiKeyPassword)));
    storage.Close();
    return {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + config.toStdString(),
            "XDG_RUNTIME_DIR=" + runtime.toStdString()};
}

void ColdStart(benchmark::State &state, const char *program)
{
    if (StandIn().Base().isEmpty()) {
        state.SkipWithError("the stand-in service did not start");
        return;
    }
    double cpuMs = 0, readyCpuMs = 0, peakRssMib = 0, rssMib = 0, pssMib = 0, ussMib = 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        std::vector<std::string> environment = ThrowAwaySettings(folder);
        const QString memoryFile = folder.filePath(QStringLiteral("memory"));
        environment.push_back("NIMBREL_BENCH_MEMORY_FILE=" + memoryFile.toStdString());
        TStartUsage usage = RunStart(program, environment);
        if (!usage.Ok || !ReadReportedMemory(memoryFile, usage)) {
            state.SkipWithError("the start failed");
            return;
        }
        state.SetIterationTime(usage.WallSeconds);
        cpuMs += usage.CpuMs;
        readyCpuMs += usage.ReadyCpuMs;
        peakRssMib += usage.PeakRssMib;
        rssMib += usage.RssMib;
        pssMib += usage.PssMib;
        ussMib += usage.UssMib;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
    state.counters["ready_cpu_ms"] = benchmark::Counter(readyCpuMs, benchmark::Counter::kAvgIterations);
    state.counters["peak_rss_MiB"] = benchmark::Counter(peakRssMib, benchmark::Counter::kAvgIterations);
    state.counters["rss_MiB"] = benchmark::Counter(rssMib, benchmark::Counter::kAvgIterations);
    state.counters["pss_MiB"] = benchmark::Counter(pssMib, benchmark::Counter::kAvgIterations);
    state.counters["uss_MiB"] = benchmark::Counter(ussMib, benchmark::Counter::kAvgIterations);
}

void BM_ColdStartNimbrel(benchmark::State &state)
{
    ColdStart(state, NIMBREL_START_NIMBREL);
}

void BM_ColdStartFloor(benchmark::State &state)
{
    ColdStart(state, NIMBREL_START_FLOOR);
}

} // namespace

BENCHMARK(BM_ColdStartFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kStarts);
BENCHMARK(BM_ColdStartNimbrel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kStarts);
