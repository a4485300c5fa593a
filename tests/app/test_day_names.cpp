#include "DayNames.h"
#include "LangConsts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kShippedFolder = QStringLiteral(NIMBREL_SOURCE_DIR "/data/daynames/");

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DayNames, IndexCountsAsInALeapYear)
{
    const std::pair<QDate, int> cases[] = {
        {QDate(2025, 1, 1), 1},    {QDate(2025, 2, 28), 59},  {QDate(2024, 2, 28), 59},
        {QDate(2024, 2, 29), 60},  {QDate(2025, 3, 1), 61},   {QDate(2024, 3, 1), 61},
        {QDate(2025, 12, 31), 366}, {QDate(2024, 12, 31), 366}, {QDate(1900, 3, 1), 61},
        {QDate(2000, 2, 29), 60},  {QDate(), 0},
    };
    for (const auto &[date, index] : cases)
        EXPECT_EQ(DayNameIndex(date), index) << date.toString(Qt::ISODate).toStdString();
}

TEST(DayNames, EveryShippedCalendarHasALineWithAKeyForEachDay)
{
    const QStringList languages = {QStringLiteral("cs"), QStringLiteral("sk"), QStringLiteral("hu"),
                                   QStringLiteral("pl")};
    for (const QString &language : languages) {
        SCOPED_TRACE(language.toStdString());
        const QStringList lines = LoadDayNames(kShippedFolder + ShippedDayNamesName(language));
        ASSERT_EQ(lines.size(), kDayNamesLineCount);
        // Each line's key is the date of a leap year it stands for.
        for (QDate day(2024, 1, 1); day.year() == 2024; day = day.addDays(1)) {
            const QString key = day.toString(QStringLiteral("MMdd")) + QLatin1Char('=');
            EXPECT_TRUE(lines.at(DayNameIndex(day) - 1).startsWith(key)) << key.toStdString();
        }
    }
}

TEST(DayNames, LookupInTheCzechCalendar)
{
    const QStringList lines = LoadDayNames(kShippedFolder + QStringLiteral("Nimbrel.cs.dat"));
    struct Case {
        QDate date;
        const char *names;
    };
    const Case cases[] = {
        {QDate(2025, 12, 24), "Adam, Eva"},
        {QDate(2024, 2, 29), "Horymír"},
        {QDate(2025, 3, 1), "Bedřich"},   // line 61 in a common year
        {QDate(2024, 3, 1), "Bedřich"},
        {QDate(2025, 12, 31), "Silvestr"},
        {QDate(2025, 1, 1), "Nový rok"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(DayNames(lines, c.date, false), QString::fromUtf8(c.names)) << c.names;
        EXPECT_EQ(DayNames(lines, c.date, true), QString::fromUtf8(c.names)) << c.names;
    }
}

TEST(DayNames, NoNamesGiveTheDayNumberOnlyWithFallback)
{
    ResetTexts();
    const QStringList shortList = {QStringLiteral("0101=Jan"), QStringLiteral("0102 without equals"),
                                   QStringLiteral("0103=   ")};
    const QStringList hungarian = LoadDayNames(kShippedFolder + QStringLiteral("Nimbrel.hu.dat"));
    struct Case {
        QStringList lines;
        QDate date;
        const char *withFallback;
        const char *without;
    };
    const Case cases[] = {
        {{}, QDate(2025, 2, 14), "Day 45", ""},
        {shortList, QDate(2025, 1, 1), "Jan", "Jan"},
        {shortList, QDate(2025, 1, 2), "Day 2", ""},
        {shortList, QDate(2025, 1, 3), "Day 3", ""},
        {shortList, QDate(2025, 2, 14), "Day 45", ""},
        {hungarian, QDate(2024, 2, 29), "Day 60", ""}, // "0229=" carries no names
        // After February a common year's day number is one less than its line.
        {{}, QDate(2026, 12, 10), "Day 344", ""},
        {{}, QDate(2024, 12, 10), "Day 345", ""},
        {{}, QDate(2025, 3, 1), "Day 60", ""},
        {{}, QDate(2025, 12, 31), "Day 365", ""},
        {{}, QDate(2024, 12, 31), "Day 366", ""},
        {{QStringLiteral("0101=a=b")}, QDate(2025, 1, 1), "a=b", "a=b"},
        {shortList, QDate(), "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(DayNames(c.lines, c.date, true), QString::fromUtf8(c.withFallback));
        EXPECT_EQ(DayNames(c.lines, c.date, false), QString::fromUtf8(c.without));
    }
}

TEST(DayNames, LoadingToleratesLineEndsMarksAndJunk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString crlf = WriteFile(dir.filePath("crlf.dat"), "\xEF\xBB\xBF" "0101=Anna\r\n0102=Karina\r\n");
    EXPECT_EQ(LoadDayNames(crlf), (QStringList{QStringLiteral("0101=Anna"), QStringLiteral("0102=Karina")}));

    const QString noFinalBreak = WriteFile(dir.filePath("last.dat"), "0101=Anna\n0102=Karina");
    EXPECT_EQ(LoadDayNames(noFinalBreak).size(), 2);

    // Not UTF-8 and with nul bytes: read as it comes, never a crash.
    const QString junk = WriteFile(dir.filePath("junk.dat"), QByteArray("\xFF\xFE\x00\x01=\xC3\n=x\n", 9));
    const QStringList junkLines = LoadDayNames(junk);
    EXPECT_EQ(junkLines.size(), 2);
    EXPECT_EQ(DayNames(junkLines, QDate(2025, 1, 2), false), QStringLiteral("x"));

    const QString huge = WriteFile(dir.filePath("huge.dat"), QByteArray(2 * 1024 * 1024, 'a'));
    EXPECT_TRUE(LoadDayNames(huge).isEmpty());
    EXPECT_TRUE(LoadDayNames(dir.filePath("missing.dat")).isEmpty());
    EXPECT_TRUE(LoadDayNames(dir.path()).isEmpty()); // a folder
    EXPECT_TRUE(LoadDayNames(QString()).isEmpty());
}

TEST(DayNames, FileNames)
{
    const std::pair<const char *, const char *> names[] = {
        {"/home/u/.config/Zelto/Nimbrel/nimbrel.ini", "/home/u/.config/Zelto/Nimbrel/nimbrel.dat"},
        {"nimbrel.ini", "nimbrel.dat"},
        {"/opt/a.b/nimbrel", "/opt/a.b/nimbrel.dat"},
        {"/opt/x/nimbrel.v2.ini", "/opt/x/nimbrel.v2.dat"},
    };
    for (const auto &[settings, dat] : names)
        EXPECT_EQ(DayNamesFileName(QString::fromLatin1(settings)), QString::fromLatin1(dat));

    EXPECT_EQ(ShippedDayNamesName(QStringLiteral("cs")), QStringLiteral("Nimbrel.cs.dat"));
    EXPECT_EQ(ShippedDayNamesName(QStringLiteral("pt_BR")), QStringLiteral("Nimbrel.pt_BR.dat"));
    for (const char *bad : {"", "../cs", "cs/..", "c", "cs.dat", "a b"})
        EXPECT_EQ(ShippedDayNamesName(QString::fromLatin1(bad)), QString()) << bad;

    // Installed calendars first, then those beside the program, then the current folder.
    EXPECT_EQ(ShippedDayNamesFolders(QStringLiteral("/opt/nimbrel/bin")),
              (QStringList{QStringLiteral("/opt/nimbrel/share/nimbrel/"), QStringLiteral("/opt/nimbrel/bin/"),
                           QDir::currentPath() + QLatin1Char('/')}));
}

TEST(DayNames, TheBuildPutsTheCalendarsBesideTheExecutable)
{
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const char *language : {"cs", "sk", "hu", "pl"}) {
        const QString name = ShippedDayNamesName(QString::fromLatin1(language));
        EXPECT_EQ(ReadFile(beside + name), ReadFile(kShippedFolder + name)) << language;
    }
}

// The calendar follows the language: the language's own where one ships, none
// otherwise. A file in the settings folder wins only when it is the user's:
// a byte-for-byte copy of a shipped calendar is what earlier versions copied
// there at the first start, whatever the language became later.
TEST(DayNames, TheCalendarOfTheLanguageUnlessTheUserPutOneThere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath("bin");
    const QString share = dir.filePath("share");
    const QString later = dir.filePath("cwd");
    for (const QString &folder : {empty, share, later})
        ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray czech("0101=Nov\xC3\xBD rok\n");
    WriteFile(share + "/Nimbrel.cs.dat", czech);
    WriteFile(share + "/Nimbrel.sk.dat", "0101=Slovak\n");
    WriteFile(later + "/Nimbrel.cs.dat", "0101=Later\n");
    WriteFile(later + "/Nimbrel.pl.dat", "0101=Polish\n");
    const QStringList folders = {empty, share, later};
    const QString namesFile = dir.filePath("settings/nimbrel.dat");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("settings")));

    const struct {
        const char *name;
        const char *own; // the settings folder's file; null: none
        const char *language;
        QString chosen;
    } cases[] = {
        {"no file, Czech", nullptr, "cs", share + "/Nimbrel.cs.dat"},
        {"no file, Slovak", nullptr, "sk", share + "/Nimbrel.sk.dat"},
        {"no file, from a later folder", nullptr, "pl", later + "/Nimbrel.pl.dat"},
        {"no file, English", nullptr, "en", QString()},
        {"no file, no language", nullptr, "", QString()},
        {"no file, not a code", nullptr, "../cs", QString()},
        {"a copy of Czech, English", czech.constData(), "en", QString()},
        {"a copy of Czech, Slovak", czech.constData(), "sk", share + "/Nimbrel.sk.dat"},
        {"a copy from a later folder, Czech", "0101=Polish\n", "cs", share + "/Nimbrel.cs.dat"},
        {"the user's own, English", "0101=Mine\n", "en", namesFile},
        {"the user's own, Slovak", "0101=Mine\n", "sk", namesFile},
        {"a copy the user changed", "0101=Nov\xC3\xBD rok, Mine\n", "sk", namesFile},
        {"the user's empty file", "", "cs", namesFile},
    };
    for (const auto &c : cases) {
        QFile::remove(namesFile);
        if (c.own)
            WriteFile(namesFile, c.own);
        EXPECT_EQ(ChooseDayNamesFile(namesFile, QString::fromLatin1(c.language), folders), c.chosen) << c.name;
        // Nothing is written: the user's file and its absence both stay.
        EXPECT_EQ(QFile::exists(namesFile), c.own != nullptr) << c.name;
    }
}

TEST(DayNames, AFolderOrAnUnreadableFileWhereTheCalendarGoesIsNoCalendar)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath("Nimbrel.cs.dat"), "0101=Anna\n");
    const QStringList folders = {dir.path()};

    // A folder by the calendar's name is not the user's calendar.
    const QString folderFile = dir.filePath("a/nimbrel.dat");
    ASSERT_TRUE(QDir().mkpath(folderFile));
    EXPECT_EQ(ChooseDayNamesFile(folderFile, QStringLiteral("cs"), folders), dir.filePath("Nimbrel.cs.dat"));

    // One the program cannot read is the user's: it wins and shows no names.
    const QString locked = WriteFile(dir.filePath("nimbrel.dat"), "0101=Anna\n");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    if (!QFile(locked).open(QIODevice::ReadOnly)) { // root reads it all the same
        EXPECT_EQ(ChooseDayNamesFile(locked, QStringLiteral("cs"), folders), locked);
        EXPECT_TRUE(LoadDayNames(locked).isEmpty());
    }
}
