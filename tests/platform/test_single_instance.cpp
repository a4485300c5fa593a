#include "SingleInstance.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

const QString kIdentifier = QStringLiteral("{C0666F02-5423-4788-A70D-21B4390E7BF3}");
constexpr int kWaitMs = 10000;

// Each test gets its own runtime folder and a display of its own.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRuntime.isValid());
        FEnvironment.Set("XDG_RUNTIME_DIR", QFile::encodeName(FRuntime.path()));
        FEnvironment.Unset("WAYLAND_DISPLAY");
        FEnvironment.Set("DISPLAY", ":7");
    }

    QTemporaryDir FRuntime;
    TScopedEnvironment FEnvironment;
};

TEST_F(SingleInstance, SecondStartActivatesTheFirst)
{
    TSingleInstance first(kIdentifier);
    QSignalSpy activations(&first, &TSingleInstance::ActivationRequested);
    ASSERT_FALSE(first.ActivatePreviousInstance());
    EXPECT_TRUE(SingleInstanceServerPath(kIdentifier).startsWith(FRuntime.path() + QLatin1Char('/')));

    for (int start = 1; start <= 2; ++start) {
        TSingleInstance second(kIdentifier);
        EXPECT_TRUE(second.ActivatePreviousInstance());
        ASSERT_TRUE(QTest::qWaitFor([&] { return activations.count() == start; }, kWaitMs));
    }
}

TEST_F(SingleInstance, OtherDisplayOrIdentifierRunsAsFirst)
{
    TSingleInstance first(kIdentifier);
    ASSERT_FALSE(first.ActivatePreviousInstance());

    TSingleInstance otherIdentifier(QStringLiteral("{another-program}"));
    EXPECT_FALSE(otherIdentifier.ActivatePreviousInstance());

    FEnvironment.Set("DISPLAY", ":8");
    TSingleInstance otherX11(kIdentifier);
    EXPECT_FALSE(otherX11.ActivatePreviousInstance());

    // A Wayland session is told apart by its own display name.
    FEnvironment.Set("WAYLAND_DISPLAY", "wayland-1");
    TSingleInstance wayland(kIdentifier);
    EXPECT_FALSE(wayland.ActivatePreviousInstance());
}

// The applet runs for weeks: its lock must not go stale with age.
TEST_F(SingleInstance, LongRunningFirstInstanceKeepsItsLock)
{
    TSingleInstance first(kIdentifier);
    QSignalSpy activations(&first, &TSingleInstance::ActivationRequested);
    ASSERT_FALSE(first.ActivatePreviousInstance());
    QFile lock(SingleInstanceServerPath(kIdentifier) + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime));
    lock.close();

    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations.count() == 1; }, kWaitMs));
}

// A crashed run leaves its socket file and its lock file, naming a dead process.
TEST_F(SingleInstance, LeftoversOfACrashedRunDoNotBlock)
{
    const QString serverPath = SingleInstanceServerPath(kIdentifier);
    const QByteArray socketPath = QFile::encodeName(serverPath);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);

    QProcess finished;
    finished.start(QStringLiteral("true"), {});
    ASSERT_TRUE(finished.waitForFinished(kWaitMs));
    const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 999999;
    QFile lock(serverPath + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nnimbrel\n\n");
    lock.close();

    TSingleInstance first(kIdentifier);
    QSignalSpy activations(&first, &TSingleInstance::ActivationRequested);
    EXPECT_FALSE(first.ActivatePreviousInstance());
    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations.count() == 1; }, kWaitMs));
}

TEST_F(SingleInstance, StrayPeersNeitherActivateNorJamTheServer)
{
    TSingleInstance first(kIdentifier);
    QSignalSpy activations(&first, &TSingleInstance::ActivationRequested);
    ASSERT_FALSE(first.ActivatePreviousInstance());

    const QByteArray strays[] = {"hello\n", "activate", QByteArray(4096, 'x'), "activatex\n"};
    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (const QByteArray &stray : strays) {
        peers.push_back(std::make_unique<QLocalSocket>());
        peers.back()->connectToServer(SingleInstanceServerPath(kIdentifier));
        ASSERT_TRUE(peers.back()->waitForConnected(kWaitMs));
        peers.back()->write(stray);
        ASSERT_TRUE(peers.back()->waitForBytesWritten(kWaitMs));
    }
    QTest::qWait(200);
    EXPECT_EQ(activations.count(), 0);

    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations.count() == 1; }, kWaitMs));
}

// Real processes, as the program is started from a desktop.
class SingleInstanceProcesses : public SingleInstance {
protected:
    static std::unique_ptr<QProcess> StartProbe(const QStringList &arguments = {})
    {
        auto probe = std::make_unique<QProcess>();
        probe->setProgram(QStringLiteral(NIMBREL_SINGLE_INSTANCE_PROBE));
        probe->setArguments(arguments);
        probe->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        probe->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe->start();
        return probe;
    }

    static QByteArray FirstLine(QProcess &probe)
    {
        if (!QTest::qWaitFor([&] { return probe.canReadLine() || probe.state() == QProcess::NotRunning; }, kWaitMs))
            return {};
        return probe.readLine().trimmed();
    }

    // QProcess answers false when the process ended before the call.
    static bool Ended(QProcess &probe)
    {
        return probe.state() == QProcess::NotRunning || probe.waitForFinished(kWaitMs);
    }

    static constexpr int kFirstExitCode = 3;
};

TEST_F(SingleInstanceProcesses, StartsAtOnceLeaveExactlyOneFirst)
{
    constexpr int kRounds = 3;
    constexpr int kStarts = 3;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir runtime;
        FEnvironment.Set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        std::vector<std::unique_ptr<QProcess>> probes;
        for (int i = 0; i < kStarts; ++i)
            probes.push_back(StartProbe());

        QProcess *first = nullptr;
        for (auto &probe : probes) {
            const QByteArray role = FirstLine(*probe);
            if (role == "first") {
                EXPECT_EQ(first, nullptr) << "two first instances in round " << round;
                first = probe.get();
            } else {
                EXPECT_EQ(role, "second") << "round " << round;
                ASSERT_TRUE(Ended(*probe));
                EXPECT_EQ(probe->exitStatus(), QProcess::NormalExit);
                EXPECT_EQ(probe->exitCode(), 0);
            }
        }
        ASSERT_NE(first, nullptr) << "no first instance in round " << round;
        QByteArray activations;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            activations += first->readAll();
            return activations.count("activated") == kStarts - 1;
        }, kWaitMs)) << activations.constData();
        first->kill();
        first->waitForFinished(kWaitMs);
    }
}

TEST_F(SingleInstanceProcesses, KilledFirstInstanceIsReplaced)
{
    auto crashed = StartProbe();
    ASSERT_EQ(FirstLine(*crashed), "first");
    crashed->kill();
    ASSERT_TRUE(Ended(*crashed));
    const QString serverPath = SingleInstanceServerPath(QStringLiteral("{nimbrel-single-instance-probe}"));
    ASSERT_TRUE(QFileInfo::exists(serverPath));
    ASSERT_TRUE(QFileInfo::exists(serverPath + QStringLiteral(".lock")));

    auto next = StartProbe();
    ASSERT_EQ(FirstLine(*next), "first");
    auto later = StartProbe();
    EXPECT_EQ(FirstLine(*later), "second");
    EXPECT_TRUE(Ended(*later));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return next->canReadLine(); }, kWaitMs));
    EXPECT_EQ(next->readLine().trimmed(), "activated");
    next->kill();
    next->waitForFinished(kWaitMs);
}

TEST_F(SingleInstanceProcesses, FirstInstanceEndsNormallyAndLeavesNoLock)
{
    auto probe = StartProbe({QStringLiteral("100")});
    ASSERT_EQ(FirstLine(*probe), "first");
    ASSERT_TRUE(Ended(*probe));
    EXPECT_EQ(probe->exitCode(), kFirstExitCode);
    const QString serverPath = SingleInstanceServerPath(QStringLiteral("{nimbrel-single-instance-probe}"));
    EXPECT_FALSE(QFileInfo::exists(serverPath + QStringLiteral(".lock")));
    EXPECT_FALSE(QFileInfo::exists(serverPath));
}

} // namespace
