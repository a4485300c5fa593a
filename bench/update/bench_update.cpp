// What reporting every piece of a download to the UI thread costs: a 32 MiB
// download from a loopback peer through the transport alone, and through the
// update check's download thread with each progress report taken by the
// event loop before the next piece is read.
#include "DownloadThread.h"
#include "HttpGet.h"

#include <benchmark/benchmark.h>

#include <httplib.h>

#include <QEventLoop>
#include <QTemporaryDir>

#include <string>
#include <thread>

namespace {

constexpr std::int64_t kDownloadBytes = 32LL * 1024 * 1024;

class TPeer
{
public:
    TPeer() : FBody(static_cast<std::size_t>(kDownloadBytes), 'u')
    {
        FServer.Get("/setup.tar.gz", [this](const httplib::Request &, httplib::Response &response) {
            response.set_content(FBody, "application/gzip");
        });
        FPort = FServer.bind_to_any_port("127.0.0.1");
        FThread = std::thread([this] { FServer.listen_after_bind(); });
        while (!FServer.is_running())
            std::this_thread::yield();
    }
    ~TPeer()
    {
        FServer.stop();
        FThread.join();
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/setup.tar.gz").arg(FPort); }

private:
    std::string FBody;
    httplib::Server FServer;
    int FPort = 0;
    std::thread FThread;
};

THttpOptions Roomy()
{
    THttpOptions options;
    options.MaxBodyBytes = 2 * kDownloadBytes;
    return options;
}

void BM_TransferAlone(benchmark::State &state)
{
    TPeer peer;
    for (auto _ : state) {
        THttpTransfer transfer;
        transfer.Url = peer.Url();
        transfer.Options = Roomy();
        std::int64_t received = 0;
        transfer.Body = [&received](const char *, std::size_t size) {
            received += static_cast<std::int64_t>(size);
            return true;
        };
        const THttpTransferResult result = HttpTransfer(transfer);
        if (!result.Complete || received != kDownloadBytes)
            state.SkipWithError("transfer failed");
    }
    state.SetBytesProcessed(state.iterations() * kDownloadBytes);
}
BENCHMARK(BM_TransferAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DownloadThreadToFileWithProgress(benchmark::State &state)
{
    TPeer peer;
    QTemporaryDir folder;
    std::int64_t reports = 0;
    for (auto _ : state) {
        TDownloadRequest request;
        request.URL = peer.Url();
        request.Binary = true;
        request.SaveToFile = true;
        request.FileName = folder.filePath(QStringLiteral("setup.tar.gz"));
        request.Options = Roomy();
        TDownloadThread thread(request);
        QObject::connect(&thread, &TDownloadThread::Progress, [&reports](qint64, qint64) { ++reports; });
        QEventLoop loop;
        QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
        thread.start();
        loop.exec();
        if (!thread.Result().Success)
            state.SkipWithError("download failed");
    }
    state.SetBytesProcessed(state.iterations() * kDownloadBytes);
    state.counters["reports"] = benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DownloadThreadToFileWithProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
