// Each path the program reads or writes beside its settings, with something
// else planted there: a link, a pipe, a device, a huge sparse file. Reading
// never blocks or takes it; writing never goes through it. Run as root, the
// same again in a settings folder of another user who planted it all.
#include "AutostartEntry.h"
#include "DayNames.h"
#include "LayoutManagerINIStorage.h"
#include "PictureFile.h"
#include "PrivateData.h"
#include "WeatherCache.h"
#include "WeatherIcons.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QByteArray kVictimContent("victim");
constexpr off_t kHugeSize = off_t(8) * 1024 * 1024 * 1024;

enum class TPlant { LinkToFile, DanglingLink, Fifo, LinkToFifo, LinkToDevice, Device, HugeSparse };

const char *PlantName(TPlant plant)
{
    switch (plant) {
    case TPlant::LinkToFile: return "link to a file";
    case TPlant::DanglingLink: return "dangling link";
    case TPlant::Fifo: return "fifo";
    case TPlant::LinkToFifo: return "link to a fifo";
    case TPlant::LinkToDevice: return "link to a device";
    case TPlant::Device: return "device";
    case TPlant::HugeSparse: return "huge sparse file";
    }
    return "?";
}

struct TStat {
    bool Exists = false;
    mode_t Mode = 0;
    off_t Size = 0;
};

TStat Look(const QString &path)
{
    struct stat status {};
    TStat result;
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
        result = {true, status.st_mode, status.st_size};
    return result;
}

QByteArray Content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

const QByteArray kPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");

// One path of the program: how it is read and written. A reader answers
// whether it took anything from the file; a writer whether it wrote.
struct TProgramPath {
    const char *Name;
    std::function<QString(const QString &data)> Path;
    std::function<bool(const QString &data, const QString &path)> Read;  // null: never read
    std::function<bool(const QString &data, const QString &path)> Write; // null: never written
    // The settings may be the user's own link to a regular file.
    bool UserMayLink = false;
    // What stands at the path is replaced by the program's own file.
    bool Replaces = false;
    // Makes the files beside it that lead the reader to this one.
    std::function<void(const QString &data)> Prepare;
};

class PlantedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.isValid());
        FData = FRoot.filePath(QStringLiteral("Nimbrel")) + QLatin1Char('/');
        FVictim = FOutside.filePath(QStringLiteral("victim"));
        FFifo = FOutside.filePath(QStringLiteral("victim.fifo"));
        ASSERT_TRUE(Put(FOutside.filePath(ShippedDayNamesName(QStringLiteral("cs"))), "1=Nový rok\n"));
        FConfigBefore = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(FRoot.filePath(QStringLiteral("config"))));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", FConfigBefore); }

    std::vector<TProgramPath> Paths() const
    {
        TRequestRecord request;
        request.LocationName = QStringLiteral("Prague");
        request.Units = QStringLiteral("metric");
        TWeatherResult fetched;
        fetched.Request = request;
        fetched.CurrentBody = "<current/>";
        fetched.ForecastBody = "<weatherdata/>";
        fetched.FetchedAt = QDateTime::currentDateTimeUtc();
        const auto readCache = [request](const QString &data, const QString &) {
            return ReadWeatherCache(data, request, QDateTime::currentDateTimeUtc()).Ok();
        };
        const auto writeCache = [fetched](const QString &data, const QString &) {
            QString error;
            return WriteWeatherCache(data, fetched, error);
        };
        // A whole cache first, so the reader gets as far as the planted file.
        const auto keepCache = [fetched](const QString &data) {
            QString error;
            EXPECT_TRUE(WriteWeatherCache(data, fetched, error)) << error.toStdString();
        };
        const auto inCache = [](const char *name) {
            return [name](const QString &data) {
                return data + QLatin1String(kWeatherCacheFolder) + QLatin1Char('/') + QLatin1String(name);
            };
        };
        return {
            {"settings", [](const QString &data) { return data + QStringLiteral("Nimbrel.ini"); },
             [](const QString &, const QString &path) {
                 TLayoutManagerINIStorage storage(path);
                 return !storage.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()).isEmpty();
             },
             [](const QString &, const QString &path) {
                 TLayoutManagerINIStorage storage(path);
                 storage.SetLockWaitLimit(0);
                 storage.WriteString(QStringLiteral("Settings"), QStringLiteral("WL"), QStringLiteral("Brno"));
                 return storage.Close();
             },
             true, false, nullptr},
            // The user's own calendar: read, never written by the program.
            {"calendar", [](const QString &data) { return DayNamesFileName(data + QStringLiteral("Nimbrel.ini")); },
             [](const QString &, const QString &path) { return !LoadDayNames(path).isEmpty(); }, nullptr, false,
             false, nullptr},
            {"cache index", inCache(kCacheIndexFile), readCache, writeCache, false, true, keepCache},
            {"cached current weather", inCache(kCachedCurrentFile), readCache, writeCache, false, true, keepCache},
            {"cached forecast", inCache(kCachedForecastFile), readCache, writeCache, false, true, keepCache},
            {"condition picture", [](const QString &data) { return IconFilePath(data, QStringLiteral("01d.png")); },
             [](const QString &, const QString &path) { return !ReadPictureFile(path).isNull(); },
             [](const QString &, const QString &path) { return WriteIconFile(path, kPng); }, false, true, nullptr},
            {"start-at-logon entry", [](const QString &) { return AutostartEntryPath(); }, nullptr,
             [](const QString &, const QString &) {
                 return WriteAutostartEntry(QStringLiteral("Nimbrel"), QStringLiteral("/usr/bin/nimbrel"));
             },
             false, true, nullptr},
        };
    }

    // Puts `plant` at `path`, made by `owner` (this user when null). False when
    // it cannot be made by this user.
    bool Plant(TPlant plant, const QString &path, const passwd *owner)
    {
        QDir().mkpath(QFileInfo(path).path());
        const QByteArray name = QFile::encodeName(path);
        bool made = false;
        switch (plant) {
        case TPlant::LinkToFile:
            made = Put(FVictim, kVictimContent) && ::symlink(QFile::encodeName(FVictim).constData(), name.constData()) == 0;
            break;
        case TPlant::DanglingLink:
            made = ::symlink(QFile::encodeName(FVictim).constData(), name.constData()) == 0;
            break;
        case TPlant::Fifo:
            made = ::mkfifo(name.constData(), 0600) == 0;
            break;
        case TPlant::LinkToFifo:
            made = ::mkfifo(QFile::encodeName(FFifo).constData(), 0600) == 0
                   && ::symlink(QFile::encodeName(FFifo).constData(), name.constData()) == 0;
            break;
        case TPlant::LinkToDevice:
            made = ::symlink("/dev/zero", name.constData()) == 0;
            break;
        case TPlant::Device:
            made = ::geteuid() == 0 && ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
            break;
        case TPlant::HugeSparse:
            made = Put(path, "[Settings]\n") && ::truncate(name.constData(), kHugeSize) == 0;
            break;
        }
        if (made && owner != nullptr) {
            for (QString step = path; step.startsWith(FRoot.path() + QLatin1Char('/')); step = QFileInfo(step).path())
                made = made && ::lchown(QFile::encodeName(step).constData(), owner->pw_uid, owner->pw_gid) == 0;
        }
        return made;
    }

    void Clear()
    {
        QDir(FData).removeRecursively();
        QDir(FRoot.filePath(QStringLiteral("config"))).removeRecursively();
        QFile::remove(FVictim);
        QFile::remove(FFifo);
    }

    void RunTable(const passwd *plantedBy)
    {
        const TPlant plants[] = {TPlant::LinkToFile, TPlant::DanglingLink, TPlant::Fifo, TPlant::LinkToFifo,
                                 TPlant::LinkToDevice, TPlant::Device, TPlant::HugeSparse};
        for (const TProgramPath &programPath : Paths()) {
            for (const TPlant plant : plants) {
                const std::string name = std::string(programPath.Name) + ", " + PlantName(plant)
                                         + (plantedBy != nullptr ? ", planted by another user" : "");
                Clear();
                const QString path = programPath.Path(FData);
                if (programPath.Prepare) {
                    programPath.Prepare(FData);
                    QFile::remove(path);
                }
                if (!Plant(plant, path, plantedBy))
                    continue;
                // The user's own link to a regular file is the settings' one allowed case.
                const bool userLink = programPath.UserMayLink && plant == TPlant::LinkToFile && plantedBy == nullptr;
                // Reading through a link to a regular file is fine; nothing else is taken.
                if (programPath.Read && plant != TPlant::LinkToFile) {
                    EXPECT_FALSE(programPath.Read(FData, path)) << name;
                }
                if (!programPath.Write)
                    continue;
                const TStat before = Look(path);
                const bool written = programPath.Write(FData, path);
                const TStat after = Look(path);
                if (userLink) {
                    EXPECT_TRUE(written) << name;
                    EXPECT_TRUE(S_ISLNK(after.Mode)) << name;
                    EXPECT_NE(Content(FVictim), kVictimContent) << name << ": written through the user's link";
                    continue;
                }
                EXPECT_EQ(Content(FVictim), plant == TPlant::LinkToFile ? kVictimContent : QByteArray())
                    << name << ": never written through";
                EXPECT_FALSE(QFile::exists(FVictim) && plant != TPlant::LinkToFile) << name;
                if (programPath.UserMayLink) {
                    // The settings refuse what is no regular file and leave it as it was.
                    EXPECT_FALSE(written) << name;
                    EXPECT_EQ(after.Mode, before.Mode) << name;
                    EXPECT_EQ(after.Size, before.Size) << name;
                } else if (programPath.Replaces) {
                    EXPECT_TRUE(written) << name;
                    EXPECT_TRUE(S_ISREG(after.Mode)) << name;
                    EXPECT_EQ(after.Mode & 07777, mode_t(0600)) << name;
                }
            }
        }
        Clear();
    }

    QTemporaryDir FRoot;
    QTemporaryDir FOutside;
    QString FData;
    QString FVictim;
    QString FFifo;
    QByteArray FConfigBefore;
};

TEST_F(PlantedFiles, NothingPlantedBlocksIsTakenOrIsWrittenThrough)
{
    RunTable(nullptr);
}

TEST_F(PlantedFiles, TwoUsersRootInAFolderAnotherUserPlanted)
{
    const passwd *other = ::getpwnam("nobody");
    if (::geteuid() != 0 || other == nullptr)
        GTEST_SKIP() << "needs root and the user nobody";
    RunTable(other);
}

// Files an older version left for everyone to read are closed at the start,
// and said so once; what is not the program's is left alone.
TEST(PrivateData, TheProgramsOwnFilesAreClosedOnceAndNothingElse)
{
    QTemporaryDir root;
    const QString data = root.filePath(QStringLiteral("Nimbrel"));
    const QString cache = data + QStringLiteral("/cache");
    ASSERT_TRUE(QDir().mkpath(cache));
    const QString settings = data + QStringLiteral("/Nimbrel.ini");
    const QString names = data + QStringLiteral("/Nimbrel.dat");
    const QStringList own{settings, names, data + QStringLiteral("/01d.png"), cache + QStringLiteral("/weather.ini")};
    const QString foreign = data + QStringLiteral("/notes.txt");
    for (const QString &file : own + QStringList{foreign}) {
        ASSERT_TRUE(Put(file, "x"));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0644), 0);
    }
    for (const QString &folder : {data, cache})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);

    QStringList changed = MakeDataPrivate(data + QLatin1Char('/'), settings, names, false);
    changed.sort();
    QStringList expected = own + QStringList{cache};
    expected.sort();
    EXPECT_EQ(changed, expected);
    for (const QString &file : own)
        EXPECT_EQ(Look(file).Mode & 07777, mode_t(0600)) << file.toStdString();
    EXPECT_EQ(Look(foreign).Mode & 07777, mode_t(0644));
    EXPECT_EQ(Look(data).Mode & 07777, mode_t(0755)) << "a portable copy's folder is the program's";
    EXPECT_TRUE(MadePrivateNotice(changed).startsWith(QStringLiteral("nimbrel: other users could read ")));

    EXPECT_EQ(MakeDataPrivate(data + QLatin1Char('/'), settings, names, true), QStringList{QDir::cleanPath(data)});
    EXPECT_EQ(MakeDataPrivate(data + QLatin1Char('/'), settings, names, true), QStringList()) << "said once";
    EXPECT_EQ(MadePrivateNotice({}), QString());
}

} // namespace
