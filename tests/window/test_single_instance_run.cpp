// Real starts of nimbrel (offscreen) for one user and display: a second start
// leaves the first running and exits 0 having written nothing, and the socket
// left behind by a killed run does not block the next one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

constexpr int kWaitMs = 15000;

class InstanceRun : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(FRoot.isValid()); }

    // A configuration folder of its own for each start, one runtime folder and
    // display for all: the instances meet there, and what each one wrote
    // stays apart.
    // The settings of one start: a dead service address, so nothing leaves the machine.
    QString PrepareSettings(const QString &name)
    {
        const QString ini = ConfigFolder(name) + QStringLiteral("/Zelto/Nimbrel/nimbrel.ini");
        const QString folder = QFileInfo(ini).absolutePath();
        QDir().mkpath(folder);
        // Open to others, as an older version left it: a start that gets going closes it.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        QFile settings(ini);
        if (!settings.exists() && settings.open(QIODevice::WriteOnly))
            settings.write("[Service]\nApiBase=http://127.0.0.1:1\nWebBase=http://127.0.0.1:1\n");
        return ini;
    }

    std::unique_ptr<QProcess> Start(const QString &name)
    {
        const QString config = ConfigFolder(name);
        PrepareSettings(name);
        QDir().mkpath(FRoot.path() + QStringLiteral("/run"));
        QFile::setPermissions(FRoot.path() + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), FRoot.path() + QStringLiteral("/run"));
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":nimbrel-instance-test"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProgram(QStringLiteral(NIMBREL_EXECUTABLE));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start();
        process->waitForStarted();
        return process;
    }

    QString ConfigFolder(const QString &name) const { return FRoot.path() + QLatin1Char('/') + name; }

    // A start that got past the instance check makes its data folder private.
    bool Running(const QString &name) const
    {
        const QFileInfo folder(ConfigFolder(name) + QStringLiteral("/Zelto/Nimbrel"));
        return folder.exists() && !(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther));
    }

    // Everything below a configuration folder but the settings file the test wrote.
    QStringList WrittenBy(const QString &name) const
    {
        QStringList written;
        QDir folder(ConfigFolder(name));
        for (const QFileInfo &entry : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
            if (entry.fileName() != QLatin1String("Zelto"))
                written << entry.fileName();
        QDir data(ConfigFolder(name) + QStringLiteral("/Zelto/Nimbrel"));
        for (const QString &file : data.entryList(QDir::Files))
            if (file != QLatin1String("nimbrel.ini"))
                written << file;
        return written;
    }

    static bool Finished(QProcess &process)
    {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kWaitMs);
    }

    static void Terminate(QProcess &process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        ::kill(process.processId(), SIGTERM);
        Finished(process);
    }

    QTemporaryDir FRoot;
};

} // namespace

TEST_F(InstanceRun, SecondStartExitsWritingNothing)
{
    auto first = Start(QStringLiteral("first"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running(QStringLiteral("first")); }, kWaitMs));
    const QByteArray settingsBefore = [&] {
        QFile file(PrepareSettings(QStringLiteral("second")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    auto second = Start(QStringLiteral("second"));
    ASSERT_TRUE(Finished(*second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(WrittenBy(QStringLiteral("second")), QStringList());
    QFile settings(ConfigFolder(QStringLiteral("second")) + QStringLiteral("/Zelto/Nimbrel/nimbrel.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), settingsBefore);
    EXPECT_EQ(first->state(), QProcess::Running);

    // The first one ends in order on a terminating signal, saving its settings.
    Terminate(*first);
    EXPECT_EQ(first->exitCode(), 0);
    QFile saved(ConfigFolder(QStringLiteral("first")) + QStringLiteral("/Zelto/Nimbrel/nimbrel.ini"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("[Settings]"));
}

TEST_F(InstanceRun, TwoStartsAtOnceLeaveOneRunning)
{
    auto one = Start(QStringLiteral("one"));
    auto two = Start(QStringLiteral("two"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return one->state() == QProcess::NotRunning || two->state() == QProcess::NotRunning; }, kWaitMs));
    QProcess &ended = one->state() == QProcess::NotRunning ? *one : *two;
    QProcess &runs = &ended == one.get() ? *two : *one;
    const QString endedName = &ended == one.get() ? QStringLiteral("one") : QStringLiteral("two");
    const QString runsName = &ended == one.get() ? QStringLiteral("two") : QStringLiteral("one");

    EXPECT_EQ(ended.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running(runsName); }, kWaitMs));
    EXPECT_EQ(runs.state(), QProcess::Running);
    EXPECT_EQ(WrittenBy(endedName), QStringList());
    Terminate(runs);
}

TEST_F(InstanceRun, SocketOfAKilledRunDoesNotBlock)
{
    auto crashed = Start(QStringLiteral("crashed"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running(QStringLiteral("crashed")); }, kWaitMs));
    crashed->kill(); // no chance to clean up its socket or lock
    ASSERT_TRUE(Finished(*crashed));

    auto next = Start(QStringLiteral("next"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running(QStringLiteral("next")) || next->state() != QProcess::Running; },
                                kWaitMs));
    EXPECT_EQ(next->state(), QProcess::Running);
    Terminate(*next);
}
