#include "LoopbackServer.h"
#include "RefusingPort.h"
#include "FileSizeLimit.h"

#include "WeatherIcons.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <mutex>
#include <unistd.h>

namespace {

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
const QByteArray kPngEndChunk("\0\0\0\0IEND\xAE\x42\x60\x82", 12);

QByteArray PngBytes(const std::string &name)
{
    return kPngSignature + QByteArray("picture of ") + QByteArray::fromStdString(name) + kPngEndChunk;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The web host: most names get a picture; a few get what a broken or hostile
// peer may send instead.
class IconPeer
{
public:
    IconPeer()
    {
        server_.http.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                targets_.append(QString::fromStdString(request.target));
            }
            const std::string name = request.path.substr(request.path.rfind('/') + 1);
            if (name == "13d.png") {
                response.set_content("", "image/png");
            } else if (name == "50d.png") {
                response.status = 404;
                response.set_content("<html><body>Not Found</body></html>", "text/html");
            } else if (name == "11d.png") {
                response.set_content("GIF89a\x01\x00\x01\x00", "image/png");
            } else if (name == "04n.png") { // a transfer cut short
                response.set_content(PngBytes(name).left(14).toStdString(), "image/png");
            } else {
                response.set_content(PngBytes(name).toStdString(), "image/png");
            }
        });
        started_ = server_.Start();
    }

    bool Started() const { return started_; }
    QString BaseUrl() const { return server_.BaseUrl(); }

    QStringList Targets() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

private:
    bool started_ = false;
    mutable std::mutex mutex_;
    QStringList targets_;
    LoopbackServer server_; // last, so it stops before the state its handler uses goes
};

class IconsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.Started());
        ASSERT_TRUE(temp.isValid());
        folder = temp.filePath(QStringLiteral("icons"));
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    // The API base leads nowhere: icons must come from the web base.
    void Download(const QStringList &names, const QString &into)
    {
        const TOwmClient client(QStringLiteral("http://127.0.0.1:9"), peer.BaseUrl());
        client.DownloadIcons(names, into);
    }

    QStringList FolderEntries() const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    IconPeer peer;
    QTemporaryDir temp;
    QString folder;
};

struct NameCase {
    const char *name;
    bool valid;
};

class IconNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(IconNameTest, OnlyShortLettersAndDigitsWithPngSuffix)
{
    EXPECT_EQ(IsIconFileName(QString::fromUtf8(GetParam().name)), GetParam().valid) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Icons, IconNameTest,
                         ::testing::Values(NameCase{"10d.png", true}, NameCase{"1.png", true},
                                           NameCase{"AbC.png", true}, NameCase{".png", false},
                                           NameCase{"abcd.png", false}, NameCase{"../1.png", false},
                                           NameCase{"a/b.png", false}, NameCase{"1\\2.png", false},
                                           NameCase{"10d.PNG", false}, NameCase{"10d.png\n", false},
                                           NameCase{" 10d.png", false}, NameCase{"10d.pngx", false},
                                           NameCase{"ü1.png", false}, NameCase{"", false}));

TEST_F(IconsTest, WritesEachPictureUnderItsNameFromTheWebBase)
{
    Download({QStringLiteral("10d.png"), QStringLiteral("01n.png"), QStringLiteral("10d.png")}, folder);
    // A name listed twice is fetched twice; the downloads run side by side,
    // so they may arrive in any order.
    QStringList targets = peer.Targets();
    targets.sort();
    EXPECT_EQ(targets, QStringList({QStringLiteral("/img/w/01n.png"), QStringLiteral("/img/w/10d.png"),
                                    QStringLiteral("/img/w/10d.png")}));
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("01n.png"), QStringLiteral("10d.png")}));
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/10d.png")), PngBytes("10d.png"));
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/01n.png")), PngBytes("01n.png"));
}

TEST_F(IconsTest, EmptyListMakesNoRequest)
{
    Download({}, folder);
    EXPECT_TRUE(peer.Targets().isEmpty());
    EXPECT_TRUE(FolderEntries().isEmpty());
}

TEST_F(IconsTest, NamesThatCouldLeaveTheFolderAreNeitherFetchedNorWritten)
{
    const QString inner = folder + QStringLiteral("/inner");
    ASSERT_TRUE(QDir().mkpath(inner));
    Download({QStringLiteral("../01d.png"), QStringLiteral("01d.png/../../02d.png"), QStringLiteral(".png"),
              QStringLiteral("/tmp/03d.png")},
             inner);
    EXPECT_TRUE(peer.Targets().isEmpty());
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("inner")}));
    EXPECT_TRUE(QDir(inner).isEmpty());
}

TEST_F(IconsTest, FailedEmptyOrForeignDownloadsLeaveNoFile)
{
    // A picture cached earlier is kept when its refetch brings nothing usable.
    WriteFile(folder + QStringLiteral("/13d.png"), PngBytes("old"));
    Download({QStringLiteral("13d.png"), QStringLiteral("50d.png"), QStringLiteral("11d.png"),
              QStringLiteral("04n.png"), QStringLiteral("02d.png")},
             folder);
    EXPECT_EQ(peer.Targets().size(), 5);
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("02d.png"), QStringLiteral("13d.png")}));
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/13d.png")), PngBytes("old"));
}

TEST_F(IconsTest, UnreachableWebHostLeavesNoFile)
{
    const RefusingPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    const QString base = refusing.BaseUrl();
    TOwmClient client(base, base);
    client.HttpOptions().ConnectTimeoutMs = 2000;
    client.HttpOptions().TotalTimeoutMs = 2000;
    client.DownloadIcons({QStringLiteral("01d.png")}, folder);
    EXPECT_TRUE(FolderEntries().isEmpty());
}

TEST_F(IconsTest, ReplacesAFileByRenameAndLeavesNoTemporaryFile)
{
    // A second link to the old file keeps the old bytes only when the new picture
    // was written elsewhere and renamed over the name, never written in place.
    const QString target = folder + QStringLiteral("/01d.png");
    const QString otherLink = folder + QStringLiteral("/link");
    WriteFile(target, QByteArray("old bytes"));
    ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(otherLink).constData()), 0);

    Download({QStringLiteral("01d.png")}, folder);
    EXPECT_EQ(ReadFile(target), PngBytes("01d.png"));
    EXPECT_EQ(ReadFile(otherLink), QByteArray("old bytes"));
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("01d.png"), QStringLiteral("link")}));
}

TEST_F(IconsTest, FileThatCannotBeWrittenIsSkipped)
{
    // A folder where the picture should go cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/02d.png")));
    Download({QStringLiteral("02d.png"), QStringLiteral("03d.png")}, folder);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/02d.png")).isDir());
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/03d.png")), PngBytes("03d.png"));

    const QString missing = temp.filePath(QStringLiteral("no/such/folder"));
    Download({QStringLiteral("04d.png")}, missing);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

// On a full disk no picture is written, not even an empty one that would
// never be fetched again.
TEST_F(IconsTest, FullDiskLeavesNoFile)
{
    {
        TFileSizeLimit fullDisk(0);
        ASSERT_TRUE(fullDisk.Active());
        Download({QStringLiteral("01d.png")}, folder);
    }
    EXPECT_EQ(FolderEntries(), QStringList());
}

struct FolderCase {
    const char *name;
    const char *suffix; // appended to the icon folder; null: an empty folder text
};

void PrintTo(const FolderCase &c, std::ostream *out)
{
    *out << c.name;
}

class IconFolderTest : public IconsTest, public ::testing::WithParamInterface<FolderCase>
{
};

TEST_P(IconFolderTest, NameIsJoinedToTheFolderWithOneSeparator)
{
    const FolderCase &c = GetParam();
    const QString previous = QDir::currentPath();
    QString given;
    if (c.suffix == nullptr)
        ASSERT_TRUE(QDir::setCurrent(folder)); // an empty folder is the working folder
    else
        given = folder + QString::fromLatin1(c.suffix);
    Download({QStringLiteral("09n.png")}, given);
    QDir::setCurrent(previous);
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("09n.png")}));
}

INSTANTIATE_TEST_SUITE_P(Icons, IconFolderTest,
                         ::testing::Values(FolderCase{"WithoutSeparator", ""},
                                           FolderCase{"WithSeparator", "/"},
                                           FolderCase{"Empty", nullptr}),
                         [](const ::testing::TestParamInfo<FolderCase> &param) { return param.param.name; });

} // namespace
