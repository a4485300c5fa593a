#include "DownloadThread.h"

#include "LoopbackServer.h"
#include "RefusingPort.h"
#include "UpdatePeers.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

const std::string kBody(5000, 'x');

// Starts the fetch and runs the event loop until it has ended and its last
// progress report was taken.
TDownloadResult RunFetch(TDownloadThread &thread)
{
    thread.start();
    EXPECT_TRUE(Eventually([&] { return thread.isFinished(); }));
    QCoreApplication::processEvents();
    return thread.Result();
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class DownloadThreads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.http.Get("/page.html", [](const httplib::Request &, httplib::Response &response) {
            response.set_content(MetaPage({{"NBVersion", "2.0"}}), "text/html");
        });
        server.http.Get("/file.bin", [](const httplib::Request &, httplib::Response &response) {
            response.set_content(kBody, "application/octet-stream");
        });
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(folder.isValid());
    }

    TDownloadRequest FileRequest(const char *name) const
    {
        TDownloadRequest request;
        request.URL = server.BaseUrl() + QStringLiteral("/file.bin");
        request.Binary = true;
        request.SaveToFile = true;
        request.FileName = folder.filePath(QLatin1String(name));
        return request;
    }

    LoopbackServer server;
    QTemporaryDir folder;
};

TEST_F(DownloadThreads, TextModeGivesTheLinesAndReportsProgressOnTheOwnersThread)
{
    TDownloadRequest request;
    request.URL = server.BaseUrl() + QStringLiteral("/page.html");
    TDownloadThread thread(request);
    std::vector<qint64> received;
    bool onOwnerThread = true;
    QObject::connect(&thread, &TDownloadThread::Progress, [&](qint64 fileSize, qint64 downloaded) {
        onOwnerThread = onOwnerThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        EXPECT_EQ(fileSize, static_cast<qint64>(MetaPage({{"NBVersion", "2.0"}}).size()));
        received.push_back(downloaded);
    });
    const TDownloadResult result = RunFetch(thread);
    ASSERT_TRUE(result.Success) << result.Error.toStdString();
    EXPECT_EQ(result.Info.value(1), QStringLiteral("<META NAME=\"NBVersion\" CONTENT=\"2.0\">"));
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), result.DownloadedSize);
    EXPECT_TRUE(onOwnerThread);
}

TEST_F(DownloadThreads, BinaryModeSavesTheWholeFile)
{
    TDownloadThread thread(FileRequest("setup.bin"));
    qint64 lastReport = 0;
    QObject::connect(&thread, &TDownloadThread::Progress, [&](qint64, qint64 downloaded) { lastReport = downloaded; });
    const TDownloadResult result = RunFetch(thread);
    ASSERT_TRUE(result.Success) << result.Error.toStdString();
    EXPECT_EQ(result.FileSize, static_cast<qint64>(kBody.size()));
    EXPECT_EQ(result.DownloadedSize, result.FileSize);
    EXPECT_EQ(lastReport, result.FileSize);
    EXPECT_EQ(ReadFile(folder.filePath(QStringLiteral("setup.bin"))), QByteArray::fromStdString(kBody));
    EXPECT_EQ(result.Sha256,
              QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromStdString(kBody),
                                                           QCryptographicHash::Sha256).toHex()));
}

TEST_F(DownloadThreads, AnAddressWithoutHostFetchesTheAlternative)
{
    TDownloadRequest request;
    request.URL = QStringLiteral("/page.html");
    request.AltURL = server.BaseUrl() + QStringLiteral("/page.html");
    TDownloadThread thread(request);
    EXPECT_TRUE(RunFetch(thread).Success);

    request.AltURL = QStringLiteral("https:///x");
    TDownloadThread nowhere(request);
    const TDownloadResult result = RunFetch(nowhere);
    EXPECT_FALSE(result.Success);
    EXPECT_TRUE(result.Error.startsWith(QStringLiteral("No host"))) << result.Error.toStdString();
}

// Answers a raw peer gives and how each mode judges them. A download is only
// whole when exactly the announced length arrived; what fails leaves no file.
TEST(DownloadThreadAnswers, LengthStatusAndMode)
{
    const struct {
        const char *name;
        std::string reply;
        bool binary;
        bool success;
        const char *error; // start of the error text
    } cases[] = {
        {"announced length arrives", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", true, true, ""},
        {"fewer bytes than announced", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhello", true, false,
         "Incomplete download: 5 of 100"},
        {"a page cut short fails too", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhello", false, false,
         "Incomplete download"},
        {"no length announced", "HTTP/1.0 200 OK\r\n\r\nhello", true, false, "The server did not announce"},
        {"a page needs no length", "HTTP/1.0 200 OK\r\n\r\nhello", false, true, ""},
        {"an error status with a body", "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", true,
         false, "HTTP status 404"},
        {"an error page is no update page", "HTTP/1.0 500 Oops\r\nContent-Length: 4\r\n\r\noops", false, false,
         "HTTP status 500"},
        {"an empty page", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, false, "The answer was empty"},
        {"not HTTP at all", "SSH-2.0-something\r\n", false, false, ""},
    };
    for (const auto &c : cases) {
        QTemporaryDir folder;
        RawPeer peer(c.reply);
        ASSERT_NE(peer.Port(), 0);
        TDownloadRequest request;
        request.URL = peer.Url("/file");
        request.Binary = c.binary;
        request.SaveToFile = c.binary;
        request.FileName = folder.filePath(QStringLiteral("file"));
        TDownloadThread thread(request);
        const TDownloadResult result = RunFetch(thread);
        EXPECT_EQ(result.Success, c.success) << c.name << ": " << result.Error.toStdString();
        if (!c.success) {
            EXPECT_FALSE(result.Error.isEmpty()) << c.name;
            EXPECT_TRUE(result.Error.startsWith(QLatin1String(c.error))) << c.name << ": " << result.Error.toStdString();
        }
        if (c.binary) {
            EXPECT_EQ(QFile::exists(request.FileName), c.success) << c.name;
        }
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), c.binary && c.success ? 1 : 0) << c.name;
    }
}

TEST_F(DownloadThreads, ChecksumDecidesWhetherTheFileIsKept)
{
    const QString good = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromStdString(kBody), QCryptographicHash::Sha256).toHex().toUpper());
    TDownloadRequest request = FileRequest("checked.bin");
    request.ExpectedSha256 = good;
    TDownloadThread matching(request);
    EXPECT_TRUE(RunFetch(matching).Success);
    EXPECT_TRUE(QFile::remove(request.FileName));

    request.ExpectedSha256 = QString(64, QLatin1Char('0'));
    TDownloadThread mismatching(request);
    const TDownloadResult result = RunFetch(mismatching);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.Error, QString::fromLatin1(kChecksumMismatch));
    EXPECT_FALSE(QFile::exists(request.FileName));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DownloadThreads, AFailedDownloadLeavesAnOlderFileAsItWas)
{
    TDownloadRequest request = FileRequest("setup.bin");
    {
        QFile older(request.FileName);
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older");
    }
    request.URL = server.BaseUrl() + QStringLiteral("/missing.bin");
    TDownloadThread thread(request);
    EXPECT_FALSE(RunFetch(thread).Success);
    EXPECT_EQ(ReadFile(request.FileName), QByteArray("older"));
}

TEST_F(DownloadThreads, UnwritableTargetFailsWithTheReason)
{
    TDownloadRequest request = FileRequest("no-such-folder/setup.bin");
    TDownloadThread thread(request);
    const TDownloadResult result = RunFetch(thread);
    EXPECT_FALSE(result.Success);
    EXPECT_TRUE(result.Error.startsWith(QStringLiteral("Cannot write"))) << result.Error.toStdString();
}

TEST(DownloadThreadFailures, RefusedConnectionGivesTheTransportsText)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    TDownloadRequest request;
    request.URL = refusing.BaseUrl() + QStringLiteral("/webupdate.html");
    TDownloadThread thread(request);
    const TDownloadResult result = RunFetch(thread);
    EXPECT_FALSE(result.Success);
    EXPECT_FALSE(result.Error.isEmpty());
}

TEST(DownloadThreadAbort, AbortEndsAFetchThatWaitsForItsAnswer)
{
    LoopbackServer server;
    Gate gate;
    server.http.Get("/slow", [&gate](const httplib::Request &, httplib::Response &response) {
        gate.Wait();
        response.set_content("late", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    TDownloadRequest request;
    request.URL = server.BaseUrl() + QStringLiteral("/slow");
    TDownloadThread thread(request);
    thread.start();
    thread.Abort();
    const TDownloadResult result = RunFetch(thread);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.Error, QStringLiteral("Aborted"));
    gate.Open();
}

// The fetch waits for each progress report to be taken on the owner's thread.
// An owner that goes away without ever taking one must not hang on it.
TEST(DownloadThreadAbort, DestroyingTheThreadWhileItWaitsForItsReportReturns)
{
    LoopbackServer server;
    server.http.Get("/big", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(std::string(1 << 20, 'b'), "application/octet-stream");
    });
    ASSERT_TRUE(server.Start());
    TDownloadRequest request;
    request.URL = server.BaseUrl() + QStringLiteral("/big");
    request.Binary = true;
    auto thread = std::make_unique<TDownloadThread>(request);
    thread->start();
    // No events are processed here, so the first report is never taken.
    while (!thread->isRunning() && !thread->isFinished())
        QThread::yieldCurrentThread();
    thread.reset();
    SUCCEED();
}

} // namespace
