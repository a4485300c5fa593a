#include "UpdateCheck.h"

#include "LoopbackServer.h"
#include "RefusingPort.h"
#include "UpdatePeers.h"
#include "UpdateRun.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <map>
#include <mutex>

namespace {

const std::string kSetup = "new version's bytes\n";

std::string Sha256Of(const std::string &bytes)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex().toStdString();
}

// The maker's site on loopback: pages (*.html) by path, the download at
// /sub/setup.tar.gz, and a count of requests per path. Tests add other routes
// for paths that do not end in .html.
class UpdateSite
{
public:
    UpdateSite()
    {
        server.http.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++hits_[request.path];
            return httplib::Server::HandlerResponse::Unhandled;
        });
        server.http.Get("/sub/setup.tar.gz", [](const httplib::Request &, httplib::Response &response) {
            response.set_content(kSetup, "application/gzip");
        });
        server.http.Get(R"(/(.*\.html))", [this](const httplib::Request &request, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(mutex_);
            const auto page = pages_.find(request.path);
            if (page == pages_.end()) {
                response.status = 404;
                return;
            }
            response.set_content(page->second, "text/html");
        });
    }

    void Page(const std::string &path, const TTags &tags)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pages_[path] = MetaPage(tags);
    }

    int Hits(const std::string &path)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return hits_[path];
    }

    QString Url(const char *path) const { return server.BaseUrl() + QLatin1String(path); }

    LoopbackServer server;

private:
    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::map<std::string, int> hits_;
};

TTags NewerPage(const std::string &sha256 = Sha256Of(kSetup))
{
    return {{"NBName", "Nimbrel"},
            {"NBVersion", "2.5.0.1"},
            {"NBDownload", "setup.tar.gz"},
            {"NBFile", "nimbrel-2.5.0.1.tar.gz"},
            {"NBPage", "https://maker.example/nimbrel"},
            {"NBRunParameters", "--quiet"},
            {"SHA256", sha256}};
}

// Records what a check said, in order.
struct Recorder {
    explicit Recorder(TUpdateCheck &check)
    {
        QObject::connect(&check, &TUpdateCheck::BeforeGetInfo, &context, [this] { events << "before"; });
        QObject::connect(&check, &TUpdateCheck::AfterGetInfo, &context, [this] { events << "after"; });
        QObject::connect(&check, &TUpdateCheck::NoUpdateFound, &context, [this] { events << "none"; });
        QObject::connect(&check, &TUpdateCheck::DownloadFailed, &context, [this, &check] {
            events << "error:" + check.DownloadError();
        });
        QObject::connect(&check, &TUpdateCheck::UpdateAvailable,
                         [this](const QString &current, const QString &newer, const QString &page,
                                const QString &download, bool *canUpdate) {
                             events << QStringLiteral("available:%1>%2 %3 %4").arg(current, newer, page, download);
                             *canUpdate = accept;
                         });
        QObject::connect(&check, &TUpdateCheck::BeforeDownload, &context, [this](const QString &file) {
            events << "download:" + QFileInfo(file).fileName();
        });
        QObject::connect(&check, &TUpdateCheck::Download, &context, [this](qint64, qint64 downloaded) { received = downloaded; });
        QObject::connect(&check, &TUpdateCheck::AfterDownload, &context, [this](const QString &file) {
            events << "downloaded:" + QFileInfo(file).fileName();
        });
        QObject::connect(&check, &TUpdateCheck::CannotExecute, &context, [this] { events << "cannot execute"; });
    }

    QObject context; // the connections end with the recorder
    QStringList events;
    bool accept = false;
    qint64 received = 0;
};

class UpdateChecks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(site.server.Start());
        ASSERT_TRUE(target.isValid());
        check.ProductInfo.SetURL(site.Url("/sub/webupdate.html"));
        check.ProductInfo.Version = QStringLiteral("2.5.0.0");
        check.TagInfo = AppletTagInfo();
        check.Options = TUpdateOptions();
        check.TargetFolder = target.path();
        check.FileOpener = [this](const QString &file, const QString &parameters) {
            opened << file + " " + parameters;
            return openerSucceeds;
        };
    }

    UpdateSite site;
    QTemporaryDir target;
    TUpdateCheck check;
    QStringList opened;
    bool openerSucceeds = true;
};

TEST_F(UpdateChecks, DeclinedUpdateDownloadsNothing)
{
    site.Page("/sub/webupdate.html", NewerPage());
    Recorder recorder(check);
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(recorder.events,
              (QStringList{"before", "after",
                           "available:2.5.0.0>2.5.0.1 https://maker.example/nimbrel setup.tar.gz"}));
    EXPECT_EQ(site.Hits("/sub/setup.tar.gz"), 0);
    EXPECT_FALSE(check.Active());
    EXPECT_EQ(check.ProductName(), QStringLiteral("Nimbrel"));
    EXPECT_EQ(check.InfoList().value(2), QStringLiteral("<META NAME=\"NBVersion\" CONTENT=\"2.5.0.1\">"));
}

TEST_F(UpdateChecks, AcceptedUpdateIsFetchedFromThePagesFolderVerifiedAndOpened)
{
    site.Page("/sub/webupdate.html", NewerPage());
    check.Options = uoRunUpdate;
    Recorder recorder(check);
    recorder.accept = true;
    EXPECT_TRUE(CheckToTheEnd(check));
    EXPECT_EQ(site.Hits("/sub/setup.tar.gz"), 1);
    EXPECT_EQ(recorder.events.mid(3), (QStringList{"download:nimbrel-2.5.0.1.tar.gz",
                                                   "downloaded:nimbrel-2.5.0.1.tar.gz"}));
    const QString file = QDir(target.path()).filePath(QStringLiteral("nimbrel-2.5.0.1.tar.gz"));
    EXPECT_EQ(check.DownloadedFile(), file);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray::fromStdString(kSetup));
    EXPECT_EQ(recorder.received, static_cast<qint64>(kSetup.size()));
    EXPECT_TRUE(check.Verified());
    EXPECT_EQ(opened, QStringList{file + " --quiet"});

    // A download that cannot be opened is told.
    openerSucceeds = false;
    check.Options |= uoOverwrite;
    recorder.events.clear();
    EXPECT_TRUE(CheckToTheEnd(check));
    EXPECT_EQ(recorder.events.last(), QStringLiteral("cannot execute"));
}

// A download is vouched for only by the hash its page names: without one it is
// kept but never opened.
TEST_F(UpdateChecks, AnUpdateWithoutAChecksumIsNotVerified)
{
    site.Page("/sub/webupdate.html", NewerPage(""));
    check.Options = uoRunUpdate;
    Recorder recorder(check);
    recorder.accept = true;
    EXPECT_TRUE(CheckToTheEnd(check));
    EXPECT_TRUE(QFile::exists(check.DownloadedFile()));
    EXPECT_FALSE(check.Verified());
    EXPECT_TRUE(opened.isEmpty());
}

// With no folder of its own, the download does not go where another user may
// have put a link under the name the page chose: into a new folder of this
// user alone, as a file of his alone.
TEST_F(UpdateChecks, WithoutAFolderTheDownloadGoesIntoAFreshPrivateOne)
{
    QTemporaryDir shared;
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    const QString planted = QDir(shared.path()).filePath(QStringLiteral("nimbrel-2.5.0.1.tar.gz"));
    const QString victim = QDir(shared.path()).filePath(QStringLiteral("victim"));
    ASSERT_TRUE(QFile::link(victim, planted));
    site.Page("/sub/webupdate.html", NewerPage());
    check.TargetFolder.clear();
    Recorder recorder(check);
    recorder.accept = true;
    EXPECT_TRUE(CheckToTheEnd(check));
    qputenv("TMPDIR", tmpBefore);

    const QFileInfo file(check.DownloadedFile());
    EXPECT_EQ(file.dir().dirName().left(15), QStringLiteral("nimbrel-update-"));
    EXPECT_EQ(QFileInfo(QFileInfo(file.path()).path()).canonicalFilePath(), QFileInfo(shared.path()).canonicalFilePath());
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFile::permissions(file.path()) & others, QFileDevice::Permissions());
    EXPECT_EQ(QFile::permissions(file.filePath()) & others, QFileDevice::Permissions());
    EXPECT_FALSE(QFile::exists(victim)) << "the planted link was not followed";
    EXPECT_TRUE(check.Verified());
}

TEST_F(UpdateChecks, ChecksumMismatchIsADownloadErrorAndLeavesNoFile)
{
    site.Page("/sub/webupdate.html", NewerPage(std::string(64, 'a')));
    check.Options = uoRunUpdate;
    Recorder recorder(check);
    recorder.accept = true;
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(recorder.events.last(), QStringLiteral("error:Checksum mismatch"));
    EXPECT_EQ(check.DownloadError(), QStringLiteral("Checksum mismatch"));
    EXPECT_FALSE(check.Verified());
    EXPECT_TRUE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(UpdateChecks, NoUpdateAndFailures)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    const struct {
        const char *name;
        TTags tags;
        QString url; // empty: the site's page
        QStringList events;
    } cases[] = {
        {"same version", {{"NBName", "Nimbrel"}, {"NBVersion", "2.5.0.0"}}, QString(), {"before", "after", "none"}},
        {"older version", {{"NBName", "Nimbrel"}, {"NBVersion", "2.4.9.9"}}, QString(), {"before", "after", "none"}},
        {"no product name", {{"NBVersion", "9.0"}}, QString(), {"before", "after", "error:empty info"}},
        {"the class's default tag names are not ours",
         {{"Name", "Nimbrel"}, {"Version", "9.0"}}, QString(), {"before", "after", "error:empty info"}},
        {"missing page", {}, QStringLiteral("/sub/nothing.html"), {"before", "error:HTTP status 404", "after"}},
    };
    for (const auto &c : cases) {
        site.Page("/sub/webupdate.html", c.tags);
        if (!c.url.isEmpty())
            check.ProductInfo.SetURL(site.server.BaseUrl() + c.url);
        Recorder recorder(check);
        EXPECT_FALSE(CheckToTheEnd(check)) << c.name;
        EXPECT_EQ(recorder.events, c.events) << c.name;
        check.ProductInfo.SetURL(site.Url("/sub/webupdate.html"));
    }

    // A refused connection is reported once, with the transport's reason rather than "empty info".
    check.ProductInfo.SetURL(refusing.BaseUrl() + QStringLiteral("/webupdate.html"));
    Recorder recorder(check);
    EXPECT_FALSE(CheckToTheEnd(check));
    ASSERT_EQ(recorder.events.size(), 3);
    EXPECT_TRUE(recorder.events.at(1).startsWith(QStringLiteral("error:")));
    EXPECT_NE(recorder.events.at(1), QStringLiteral("error:empty info"));

    // The error text tells of the last check only.
    check.ProductInfo.SetURL(site.Url("/sub/webupdate.html"));
    site.Page("/sub/webupdate.html", {{"NBName", "Nimbrel"}, {"NBVersion", "2.5.0.0"}});
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(check.DownloadError(), QString());
}

TEST_F(UpdateChecks, LowerCaseTagsGiveEmptyInfo)
{
    site.Page("/sub/webupdate.html", {});
    site.server.http.Get("/lower.htm", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<meta name=\"NBName\" content=\"Nimbrel\">\n<meta name=\"NBVersion\" content=\"9.0\">\n",
                             "text/html");
    });
    check.ProductInfo.SetURL(site.Url("/lower.htm"));
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(check.DownloadError(), QStringLiteral("empty info"));
}

TEST_F(UpdateChecks, ASecondCheckWhileOneIsActiveReturnsAtOnce)
{
    site.Page("/sub/webupdate.html", NewerPage());
    Gate gate;
    site.server.http.Get("/held.htm", [&gate](const httplib::Request &, httplib::Response &response) {
        gate.Wait();
        response.set_content(MetaPage(NewerPage()), "text/html");
    });
    check.ProductInfo.SetURL(site.Url("/held.htm"));
    int inner = -1;
    bool activeDuringFetch = false;
    // Runs inside the first check's wait, as a timer tick would.
    QTimer::singleShot(0, [&] {
        activeDuringFetch = check.Active() && check.Thread() != nullptr;
        inner = CheckToTheEnd(check) ? 1 : 0;
        gate.Open();
    });
    Recorder recorder(check);
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_TRUE(activeDuringFetch);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(site.Hits("/held.htm"), 1);
    EXPECT_EQ(recorder.events.size(), 3) << recorder.events.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(check.Active());
    EXPECT_EQ(check.Thread(), nullptr);
}

TEST_F(UpdateChecks, RedirectionsAreFollowedAndACycleEnds)
{
    site.Page("/sub/webupdate.html", {{"NBRedirection", "moved/webupdate.html"}});
    site.Page("/sub/moved/webupdate.html", {{"NBRedirection", site.Url("/final.html").toStdString()}});
    site.Page("/final.html", {{"NBName", "Nimbrel"}, {"NBVersion", "2.5.0.0"}});
    Recorder recorder(check);
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(recorder.events.last(), QStringLiteral("none"));
    EXPECT_EQ(check.PageURL(), site.Url("/final.html"));
    EXPECT_EQ(site.Hits("/final.html"), 1);

    site.Page("/sub/webupdate.html", {{"NBName", "Nimbrel"}, {"NBVersion", "9"}, {"NBRedirection", "webupdate.html"}});
    recorder.events.clear();
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(recorder.events, (QStringList{"before", "error:Too many redirections", "after"}));
    EXPECT_EQ(site.Hits("/sub/webupdate.html"), 1 + 1 + kMaxRedirections);

    // A page that goes round through another one ends the same way.
    site.Page("/sub/webupdate.html", {{"NBRedirection", "other.html"}});
    site.Page("/sub/other.html", {{"NBRedirection", "webupdate.html"}});
    recorder.events.clear();
    EXPECT_FALSE(CheckToTheEnd(check));
    EXPECT_EQ(check.DownloadError(), QStringLiteral("Too many redirections"));
}

TEST_F(UpdateChecks, TargetFileRules)
{
    site.Page("/sub/webupdate.html", NewerPage());
    const QString file = QDir(target.path()).filePath(QStringLiteral("nimbrel-2.5.0.1.tar.gz"));
    const struct {
        const char *name;
        TUpdateOptions options;
        bool handlerSays;
        bool replaced;
        const char *error;
    } cases[] = {
        {"kept without the option when the handler says no", {}, false, false, "error:Overwrite error"},
        {"replaced when the handler says yes", {}, true, true, "downloaded:nimbrel-2.5.0.1.tar.gz"},
        {"replaced with the option", uoOverwrite, false, true, "downloaded:nimbrel-2.5.0.1.tar.gz"},
    };
    for (const auto &c : cases) {
        {
            QFile older(file);
            ASSERT_TRUE(older.open(QIODevice::WriteOnly | QIODevice::Truncate));
            older.write("older");
        }
        TUpdateCheck fresh;
        fresh.ProductInfo = check.ProductInfo;
        fresh.TagInfo = check.TagInfo;
        fresh.TargetFolder = target.path();
        fresh.Options = c.options;
        int asked = 0;
        QObject::connect(&fresh, &TUpdateCheck::ClientFileExists, [&](const QString &name, bool *overwrite) {
            EXPECT_EQ(name, file);
            ++asked;
            *overwrite = c.handlerSays;
        });
        Recorder recorder(fresh);
        recorder.accept = true;
        EXPECT_EQ(CheckToTheEnd(fresh), c.replaced) << c.name;
        EXPECT_EQ(recorder.events.last(), QLatin1String(c.error)) << c.name;
        EXPECT_EQ(asked, c.options.testFlag(uoOverwrite) ? 0 : 1) << c.name;
        QFile saved(file);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), c.replaced ? QByteArray::fromStdString(kSetup) : QByteArray("older")) << c.name;
    }
}

TEST_F(UpdateChecks, ThePageNamesTheFileButNotItsFolder)
{
    QTemporaryDir outer;
    const QString inner = QDir(outer.path()).filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(inner));
    check.TargetFolder = inner;
    TTags tags = NewerPage();
    tags[3].second = "../escaped.tar.gz";
    site.Page("/sub/webupdate.html", tags);
    Recorder recorder(check);
    recorder.accept = true;
    EXPECT_TRUE(CheckToTheEnd(check));
    EXPECT_TRUE(QFile::exists(QDir(inner).filePath(QStringLiteral("escaped.tar.gz"))));
    EXPECT_FALSE(QFile::exists(QDir(outer.path()).filePath(QStringLiteral("escaped.tar.gz"))));

    // Without a file name the download's own name is taken; the handler may change it.
    tags[3].second = "";
    site.Page("/sub/webupdate.html", tags);
    QString offered;
    QObject::connect(&check, &TUpdateCheck::GetClientFileName, [&](QString *name) {
        offered = *name;
        *name = QDir(inner).filePath(QStringLiteral("chosen.tar.gz"));
    });
    EXPECT_TRUE(CheckToTheEnd(check));
    EXPECT_EQ(offered, QDir(inner).filePath(QStringLiteral("setup.tar.gz")));
    EXPECT_TRUE(QFile::exists(QDir(inner).filePath(QStringLiteral("chosen.tar.gz"))));
}

TEST_F(UpdateChecks, ACheckDestroyedWhileItWaitsReturnsFalse)
{
    Gate gate;
    site.server.http.Get("/held.htm", [&gate](const httplib::Request &, httplib::Response &response) {
        gate.Wait();
        response.set_content(MetaPage(NewerPage()), "text/html");
    });
    auto *doomed = new TUpdateCheck;
    doomed->ProductInfo.SetURL(site.Url("/held.htm"));
    QTimer::singleShot(0, [&] { delete doomed; });
    EXPECT_FALSE(CheckToTheEnd(*doomed));
    gate.Open();
}

} // namespace
