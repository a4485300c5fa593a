#include "AutostartEntry.h"

#include "FileSizeLimit.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kName = QStringLiteral("Zelto Nimbrel");

// Reads the Exec value back as a launcher does: value escapes first, then the
// command-line quoting, then "%%". Returns the arguments.
QStringList LaunchArguments(const QString &entryText)
{
    QString value;
    for (const QString &line : entryText.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
            value = line.mid(5);
    }
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('s')   ? QChar(' ')
                         : next == QLatin1Char('n') ? QChar('\n')
                         : next == QLatin1Char('t') ? QChar('\t')
                         : next == QLatin1Char('r') ? QChar('\r')
                                                    : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool any = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (inQuotes && c == QLatin1Char('\\') && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            any = true;
        } else if (c == QLatin1Char(' ') && !inQuotes) {
            if (any)
                arguments << current;
            current.clear();
            any = false;
        } else if (c == QLatin1Char('%') && i + 1 < unescaped.size() && unescaped[i + 1] == QLatin1Char('%')) {
            current += c;
            ++i;
            any = true;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments << current;
    return arguments;
}

class AutostartEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FConfig.isValid());
        FEnvironment.Set("XDG_CONFIG_HOME", QFile::encodeName(FConfig.path()));
    }

    static QString Validate(const QString &path)
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            return QStringLiteral("desktop-file-validate is missing: run scripts/install-deps");
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(validator, {path});
        if (!process.waitForFinished())
            return QStringLiteral("desktop-file-validate did not finish");
        const QString output = QString::fromUtf8(process.readAll());
        if (process.exitCode() != 0 || output.contains(QLatin1String("error")))
            return output.isEmpty() ? QStringLiteral("rejected") : output;
        return {};
    }

    static QString ReadEntry()
    {
        QFile file(AutostartEntryPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir FConfig;
    TScopedEnvironment FEnvironment;
};

TEST_F(AutostartEntry, LivesInTheAutostartFolderOfTheConfigFolder)
{
    EXPECT_EQ(AutostartEntryPath(), FConfig.path() + QStringLiteral("/autostart/nimbrel.desktop"));
}

TEST_F(AutostartEntry, WrittenEntryIsValidAndStartsExactlyTheExecutable)
{
    const QString paths[] = {
        QStringLiteral("/usr/bin/nimbrel"),
        QStringLiteral("/home/ana/My Apps/nimbrel"),
        QStringLiteral("/opt/\"quoted\" and 'single'/nimbrel"),
        QStringLiteral("/opt/back\\slash/$HOME/`cmd`/nimbrel"),
        QStringLiteral("/opt/100% sure/50%/nimbrel"),
        QStringLiteral("/opt/a;b|c&d<e>f*g?h#i(j)~k/nimbrel"),
        QStringLiteral("/opt/Pr\u00e1ce/\u0161t\u011bst\u00ed/nimbrel"),
    };
    for (const QString &path : paths) {
        ASSERT_TRUE(WriteAutostartEntry(kName, path, QStringLiteral("example.zelto.Nimbrel"))) << path.toStdString();
        EXPECT_EQ(Validate(AutostartEntryPath()), QString()) << path.toStdString();
        const QString text = ReadEntry();
        EXPECT_TRUE(text.contains(QLatin1String("\nType=Application\n"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("\nName=Zelto Nimbrel\n"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("\nIcon=example.zelto.Nimbrel\n"))) << text.toStdString();
        EXPECT_EQ(LaunchArguments(text), QStringList{path}) << text.toStdString();
    }
}

TEST_F(AutostartEntry, RelativePathIsMadeAbsolute)
{
    EXPECT_EQ(LaunchArguments(AutostartEntryText(kName, QStringLiteral("nimbrel"))),
              QStringList{QDir::current().absoluteFilePath(QStringLiteral("nimbrel"))});
}

TEST_F(AutostartEntry, NameCannotAddKeys)
{
    ASSERT_TRUE(WriteAutostartEntry(QStringLiteral("Zelto\nExec=/bin/evil"), QStringLiteral("/usr/bin/nimbrel")));
    const QString text = ReadEntry();
    EXPECT_EQ(text.count(QLatin1String("\nExec=")), 1) << text.toStdString();
    EXPECT_EQ(LaunchArguments(text), QStringList{QStringLiteral("/usr/bin/nimbrel")});
    EXPECT_EQ(Validate(AutostartEntryPath()), QString());
}

TEST_F(AutostartEntry, SecondWriteReplacesTheEntry)
{
    ASSERT_TRUE(WriteAutostartEntry(QStringLiteral("Old Name"), QStringLiteral("/old/nimbrel")));
    ASSERT_TRUE(WriteAutostartEntry(kName, QStringLiteral("/new/nimbrel")));
    const QString text = ReadEntry();
    EXPECT_FALSE(text.contains(QLatin1String("Old Name")));
    EXPECT_EQ(LaunchArguments(text), QStringList{QStringLiteral("/new/nimbrel")});
    EXPECT_EQ(QDir(FConfig.path() + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("nimbrel.desktop")});
}

// On a full disk the write fails and an older entry stays as it was.
TEST_F(AutostartEntry, FullDiskFailsAndKeepsTheOlderEntry)
{
    ASSERT_TRUE(WriteAutostartEntry(kName, QStringLiteral("/old/nimbrel")));
    const QString before = ReadEntry();
    bool written = true;
    {
        TFileSizeLimit fullDisk(0);
        ASSERT_TRUE(fullDisk.Active());
        written = WriteAutostartEntry(kName, QStringLiteral("/new/nimbrel"));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadEntry(), before);
}

TEST_F(AutostartEntry, RemoveDeletesTheEntryAndAnswersTrueWhenNoneIsLeft)
{
    ASSERT_TRUE(WriteAutostartEntry(kName, QStringLiteral("/usr/bin/nimbrel")));
    EXPECT_TRUE(RemoveAutostartEntry());
    EXPECT_FALSE(QFileInfo::exists(AutostartEntryPath()));
    EXPECT_TRUE(RemoveAutostartEntry());
}

TEST_F(AutostartEntry, FailuresAnswerFalseAndWriteNothing)
{
    EXPECT_FALSE(WriteAutostartEntry(kName, QString()));
    EXPECT_FALSE(WriteAutostartEntry(kName, QStringLiteral("/opt/bad\nline/nimbrel")));
    EXPECT_FALSE(WriteAutostartEntry(kName, QStringLiteral("/opt/bell\a/nimbrel")));
    EXPECT_FALSE(QFileInfo::exists(AutostartEntryPath()));

    // The configuration folder is a file: nothing can be created below it.
    const QString blocked = FConfig.filePath(QStringLiteral("blocked"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FEnvironment.Set("XDG_CONFIG_HOME", QFile::encodeName(blocked));
    EXPECT_FALSE(WriteAutostartEntry(kName, QStringLiteral("/usr/bin/nimbrel")));
}

} // namespace
