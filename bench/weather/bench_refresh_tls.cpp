// One refresh over HTTPS against the stand-in service behind a throw-away
// certificate (made for this run with the openssl tool) that the client trusts
// through CaFile, measured in CPU time of the fetching thread:
//   - through the client, with the answers parsed: the figure a refresh costs;
//   - its transport alone, with the handles, connections, TLS sessions and the
//     certificate store kept between requests;
//   - the old transport: a new handle per request, reading the certificate
//     bundle each time (the system's with the throw-away one added);
//   - the floor: the same requests over plain HTTP.
#include "CurrentWeather.h"
#include "Forecast.h"
#include "HttpGet.h"
#include "WeatherIcons.h"
#include "WeatherRecords.h"
#include "Zelto_OWM.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <curl/curl.h>

#include <memory>

namespace {

constexpr int kListenWaitMs = 10000;
constexpr int kCertificateWaitMs = 30000;
// Prague in the stand-in's list.
constexpr qint64 kCityId = 3067696;
const char kConditionIcon[] = "01d";

// The throw-away certificate, the bundle the old transport read, and two
// stand-ins: one over HTTPS, one over plain HTTP.
class TSecureStandIn
{
public:
    TSecureStandIn()
    {
        if (!FDir.isValid() || !MakeCertificate() || !MakeOldBundle())
            return;
        FSecureBase = Start(FSecure, {QStringLiteral("--tls-cert"), CertFile(), QStringLiteral("--tls-key"),
                                      FDir.filePath(QStringLiteral("key.pem"))});
        FPlainBase = Start(FPlain, {});
    }
    ~TSecureStandIn()
    {
        for (QProcess *process : {&FSecure, &FPlain}) {
            process->kill();
            process->waitForFinished();
        }
    }

    bool Ready() const { return !FSecureBase.isEmpty() && !FPlainBase.isEmpty(); }
    QString CertFile() const { return FDir.filePath(QStringLiteral("cert.pem")); }
    QString OldBundle() const { return FDir.filePath(QStringLiteral("bundle.pem")); }
    const QString &SecureBase() const { return FSecureBase; }
    const QString &PlainBase() const { return FPlainBase; }

private:
    bool MakeCertificate()
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                       QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                       FDir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"), CertFile()});
        return openssl.waitForFinished(kCertificateWaitMs) && openssl.exitCode() == 0;
    }

    // The system's bundle as libcurl finds it by default, with ours appended.
    bool MakeOldBundle()
    {
        CURL *probe = curl_easy_init();
        char *bundle = nullptr;
        curl_easy_getinfo(probe, CURLINFO_CAINFO, &bundle);
        QFile system(QString::fromLocal8Bit(bundle != nullptr ? bundle : ""));
        curl_easy_cleanup(probe);
        QFile ours(CertFile());
        QFile out(OldBundle());
        if (!system.open(QIODevice::ReadOnly) || !ours.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return false;
        return out.write(system.readAll() + "\n" + ours.readAll()) > 0;
    }

    static QString Start(QProcess &process, QStringList arguments)
    {
        arguments << QStringLiteral("--port") << QStringLiteral("0");
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QStringLiteral(NIMBREL_FAKE_OWM), arguments);
        static const QRegularExpression listening(QStringLiteral("listening on (https?://[^\\s]+)"));
        QByteArray output;
        QString base;
        while (base.isEmpty() && process.waitForReadyRead(kListenWaitMs)) {
            output += process.readAllStandardOutput();
            base = listening.match(QString::fromUtf8(output)).captured(1);
        }
        return base;
    }

    QTemporaryDir FDir;
    QProcess FSecure;
    QProcess FPlain;
    QString FSecureBase;
    QString FPlainBase;
};

TSecureStandIn &StandIn()
{
    static TSecureStandIn standIn;
    return standIn;
}

TRequestRecord Request()
{
    TRequestRecord request;
    request.Key = QStringLiteral("bench");
    request.LocationID = kCityId;
    request.Units = QStringLiteral("metric");
    return request;
}

// The three requests of a refresh after the first: the current weather, the
// forecast and one picture.
QStringList RefreshUrls(const QString &base)
{
    const TRequestRecord request = Request();
    return {base + CurrentWeatherQuery(request), base + ForecastQuery(request),
            IconUrl(base, QString::fromLatin1(kConditionIcon))};
}

bool Skipped(benchmark::State &state)
{
    if (StandIn().Ready())
        return false;
    state.SkipWithError("the stand-in or its certificate could not be made");
    return true;
}

void Transport(benchmark::State &state, const QString &base, const QString &caFile)
{
    if (Skipped(state))
        return;
    THttpOptions options;
    options.CaFile = caFile;
    const QStringList urls = RefreshUrls(base);
    QByteArray body;
    for (auto _ : state) {
        for (const QString &url : urls) {
            if (!HttpGetToStream(url, {}, {}, body, 0, options)) {
                state.SkipWithError("a request failed");
                return;
            }
        }
    }
}

void BM_RefreshHttpsTransport(benchmark::State &state)
{
    Transport(state, StandIn().SecureBase(), StandIn().CertFile());
}

void BM_RefreshHttpTransport(benchmark::State &state)
{
    Transport(state, StandIn().PlainBase(), QString());
}

size_t Discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

// As the transport was: every request a handle of its own, which reads and
// parses the certificate bundle before its handshake.
void BM_RefreshHttpsOldTransport(benchmark::State &state)
{
    if (Skipped(state))
        return;
    const QStringList urls = RefreshUrls(StandIn().SecureBase());
    const QByteArray bundle = QFile::encodeName(StandIn().OldBundle());
    for (auto _ : state) {
        for (const QString &url : urls) {
            const QByteArray target = url.toUtf8();
            std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
            curl_easy_setopt(handle.get(), CURLOPT_URL, target.constData());
            curl_easy_setopt(handle.get(), CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
            curl_easy_setopt(handle.get(), CURLOPT_CAINFO, bundle.constData());
            curl_easy_setopt(handle.get(), CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, Discard);
            if (curl_easy_perform(handle.get()) != CURLE_OK) {
                state.SkipWithError("a request failed");
                return;
            }
        }
    }
}

void BM_RefreshHttpsClient(benchmark::State &state)
{
    if (Skipped(state))
        return;
    TOwmClient client(StandIn().SecureBase(), StandIn().SecureBase());
    client.HttpOptions().CaFile = StandIn().CertFile();
    QTemporaryDir pictures;
    for (auto _ : state) {
        TRequestRecord request = Request();
        TWeatherRecord current;
        TWeatherData forecast;
        if (!client.GetCurrentWeather(request, current) || !client.GetForecast(request, forecast)) {
            state.SkipWithError("the refresh failed");
            return;
        }
        client.DownloadIcons({QString::fromLatin1(kConditionIcon)}, pictures.path());
    }
}

} // namespace

BENCHMARK(BM_RefreshHttpTransport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshHttpsTransport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshHttpsOldTransport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshHttpsClient)->Unit(benchmark::kMillisecond);
