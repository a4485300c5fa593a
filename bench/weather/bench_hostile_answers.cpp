// How long the response checks take over each hostile answer of the tests, and
// how far each one grows the process (measured once, in a child process whose
// peak is reset first, so that one case's peak does not hide the next one's).
#include "HostileBodies.h"
#include "ServiceResponse.h"
#include "XmlJudge.h"

#include <benchmark/benchmark.h>

#include <QDomDocument>
#include <QFile>

#include <malloc.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kKiBPerMiB = 1024.0;

// The process's peak resident size in KiB (VmHWM), or -1.
long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Gives freed memory back and starts the peak afresh at the present size, so
// that memory a former case left behind neither hides nor adds to growth.
void ResetPeak()
{
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

bool Check(const THostileCase &c)
{
    TRequestRecord request;
    QDomDocument document;
    return CheckServiceResponse(c.body, c.status, ExpectedAnswer(c.ask), request, document);
}

// Peak resident growth of one check, in KiB, or -1 when it could not be measured.
long GrowthKiB(const THostileCase &c)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        ResetPeak();
        const long before = PeakResidentKiB();
        Check(c);
        const long growth = before < 0 ? -1 : PeakResidentKiB() - before;
        (void)!write(pipeEnds[1], &growth, sizeof growth);
        _exit(0);
    }
    close(pipeEnds[1]);
    long growth = -1;
    if (child < 0 || read(pipeEnds[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    close(pipeEnds[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return growth;
}

void BM_Check(benchmark::State &state, const THostileCase &c)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Check(c));
    state.counters["body_KiB"] = static_cast<double>(c.body.size()) / 1024.0;
    state.counters["growth_MiB"] = static_cast<double>(GrowthKiB(c)) / kKiBPerMiB;
}

// Documents just inside the judge's limits, which the DOM is built from: the
// most memory an accepted answer can cost.
std::vector<THostileCase> LargestAccepted()
{
    const QByteArray longValue(300, 'v');
    return {
        {"accepted_node_limit", TAsk::Current, 200,
         Repeated("<current>", "<a b=\"1\"/>", kMaxXmlNodes / 2 - 1, "</current>"), QString()},
        {"accepted_long_values", TAsk::Current, 200,
         Repeated("<current>", "<a b=\"" + longValue + "\" c=\"" + longValue + "\"/>", 6500, "</current>"),
         QString()},
        {"accepted_long_text", TAsk::Current, 200,
         "<current><a>" + QByteArray(4 * 1024 * 1024 - 64, 't') + "</a></current>", QString()},
    };
}

const int kRegistered = [] {
    static std::vector<THostileCase> cases = HostileCases();
    for (THostileCase &c : LargestAccepted())
        cases.push_back(c);
    for (const THostileCase &c : cases)
        benchmark::RegisterBenchmark(c.name, BM_Check, c)->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
