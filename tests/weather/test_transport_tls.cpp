// HTTPS against a loopback peer with a throw-away certificate: what CaFile
// trusts, what it does not, and the connection the requests of a refresh share.
#include "HttpGet.h"
#include "LoopbackServer.h"
#include "TlsLoopbackServer.h"
#include "Zelto_OWM.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

namespace {

THttpOptions Trusting(const QString &caFile)
{
    THttpOptions options;
    options.ConnectTimeoutMs = 5000;
    options.TotalTimeoutMs = 10000;
    options.CaFile = caFile;
    return options;
}

bool WriteFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

TEST(TransportTls, CaFileTrustsItsCertificatesBesidesTheSystems)
{
    const ThrowAwayCertificate served;
    const ThrowAwayCertificate other;
    ASSERT_TRUE(served.Valid() && other.Valid()) << "the openssl tool made no certificate";
    TlsLoopbackServer server(served);
    ASSERT_TRUE(server.Start());
    QTemporaryDir dir;
    const QString notPem = dir.filePath(QStringLiteral("not.pem"));
    ASSERT_TRUE(WriteFile(notPem, "no certificate here\n"));

    const struct {
        const char *name;
        QString caFile;
        bool fetched;
        THttpFailure failure;
        const char *errorHas; // in the transfer's error, when it fails
    } cases[] = {
        {"the server's own certificate", served.CertFile(), true, THttpFailure::None, ""},
        {"the system's store alone", QString(), false, THttpFailure::Tls, "certificate"},
        {"another certificate", other.CertFile(), false, THttpFailure::Tls, "certificate"},
        {"a missing file", dir.filePath(QStringLiteral("gone.pem")), false, THttpFailure::CaFile,
         "No such file"},
        {"a folder", dir.path(), false, THttpFailure::CaFile, "not a regular file"},
        {"a file without certificates", notPem, false, THttpFailure::CaFile, "holds no PEM certificate"},
    };
    for (const auto &c : cases) {
        THttpTransfer transfer;
        transfer.Url = server.BaseUrl() + QStringLiteral("/data");
        transfer.Options = Trusting(c.caFile);
        QByteArray body;
        transfer.Body = [&body](const char *data, std::size_t size) {
            body.append(data, static_cast<qsizetype>(size));
            return true;
        };
        const THttpTransferResult result = HttpTransfer(transfer);
        EXPECT_EQ(result.Complete, c.fetched) << c.name << ": " << result.Error.toStdString();
        EXPECT_EQ(result.Failure, c.failure) << c.name;
        if (c.fetched) {
            EXPECT_EQ(body, QByteArray("<ok/>")) << c.name;
        } else {
            EXPECT_TRUE(body.isEmpty()) << c.name;
            EXPECT_TRUE(result.Error.contains(QLatin1String(c.errorHas), Qt::CaseInsensitive))
                << c.name << ": " << result.Error.toStdString();
        }
        if (c.failure == THttpFailure::CaFile) {
            EXPECT_TRUE(result.Error.contains(c.caFile)) << c.name << ": the message names the file";
        }
    }
}

// The file is read again when it changes: a certificate put in its place is
// trusted from the next connection on, the one it replaced no longer.
TEST(TransportTls, AReplacedCaFileIsReadAgain)
{
    const ThrowAwayCertificate first;
    const ThrowAwayCertificate second;
    ASSERT_TRUE(first.Valid() && second.Valid());
    TlsLoopbackServer firstServer(first);
    TlsLoopbackServer secondServer(second);
    ASSERT_TRUE(firstServer.Start() && secondServer.Start());
    QTemporaryDir dir;
    const QString caFile = dir.filePath(QStringLiteral("trusted.pem"));
    QFile source(first.CertFile());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    ASSERT_TRUE(WriteFile(caFile, source.readAll()));

    QByteArray body;
    EXPECT_TRUE(HttpGetToStream(firstServer.BaseUrl() + QStringLiteral("/a"), {}, {}, body, 0, Trusting(caFile)));
    EXPECT_FALSE(HttpGetToStream(secondServer.BaseUrl() + QStringLiteral("/a"), {}, {}, body, 0, Trusting(caFile)));

    QFile replacement(second.CertFile());
    ASSERT_TRUE(replacement.open(QIODevice::ReadOnly));
    const QString written = caFile + QStringLiteral(".new");
    ASSERT_TRUE(WriteFile(written, replacement.readAll()));
    ASSERT_TRUE(QFile::remove(caFile) && QFile::rename(written, caFile));
    THttpTransfer again;
    again.Url = secondServer.BaseUrl() + QStringLiteral("/b");
    again.Options = Trusting(caFile);
    const THttpTransferResult result = HttpTransfer(again);
    EXPECT_TRUE(result.Complete) << result.Error.toStdString();
}

// The current weather, the forecast and the pictures of a refresh go over one
// connection instead of a handshake each.
TEST(TransportTls, TheRequestsOfAFetchShareOneConnection)
{
    const ThrowAwayCertificate certificate;
    ASSERT_TRUE(certificate.Valid());
    TlsLoopbackServer server(certificate);
    ASSERT_TRUE(server.Start());
    const THttpOptions options = Trusting(certificate.CertFile());
    for (const char *path : {"/data/2.5/weather", "/data/2.5/forecast", "/img/w/01d.png", "/img/w/02n.png"}) {
        QByteArray body;
        EXPECT_TRUE(HttpGetToStream(server.BaseUrl() + QLatin1String(path), {}, {}, body, 0, options)) << path;
    }
    EXPECT_EQ(server.Connections(), 1);
}

// What began encrypted is never sent on in the clear: a secure peer that
// redirects to plain http is refused, and the plain server is never asked.
TEST(TransportTls, ARedirectionFromHttpsToHttpIsRefused)
{
    const ThrowAwayCertificate certificate;
    ASSERT_TRUE(certificate.Valid());
    LoopbackServer plain;
    std::atomic<int> asked{0};
    plain.http.Get(".*", [&asked](const httplib::Request &, httplib::Response &response) {
        ++asked;
        response.set_content("<ok/>", "application/xml");
    });
    ASSERT_TRUE(plain.Start());
    TlsLoopbackServer server(certificate);
    server.RedirectTo((plain.BaseUrl() + QStringLiteral("/data")).toStdString());
    ASSERT_TRUE(server.Start());

    THttpTransfer transfer;
    transfer.Url = server.BaseUrl() + QStringLiteral("/data");
    transfer.Options = Trusting(certificate.CertFile());
    transfer.Body = [](const char *, std::size_t) { return true; };
    const THttpTransferResult result = HttpTransfer(transfer);
    EXPECT_FALSE(result.Complete);
    EXPECT_TRUE(result.Error.contains(QStringLiteral("https to http"))) << result.Error.toStdString();
    EXPECT_EQ(asked.load(), 0);
}

// Through the client, an unusable CaFile is told as such, not as a silent network.
TEST(TransportTls, TheClientTellsAnUnusableCaFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.pem"));
    TOwmClient client(QStringLiteral("https://127.0.0.1:1"), QStringLiteral("https://127.0.0.1:1"));
    client.HttpOptions() = Trusting(missing);
    TRequestRecord request;
    request.Key = QStringLiteral("k");
    request.LocationID = 1;
    request.Units = QStringLiteral("metric");
    TWeatherRecord record;
    EXPECT_FALSE(client.GetCurrentWeather(request, record));
    EXPECT_EQ(request.Failure.Kind, TFailureKind::Tls);
    EXPECT_TRUE(request.Failure.Message.contains(missing)) << request.Failure.Message.toStdString();
}

} // namespace
