#include "SingleInstance.h"

#include "SafeFile.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

const QString kIdentifier = QStringLiteral("{C0666F02-5423-4788-A70D-21B4390E7BF3}");
constexpr int kWaitMs = 10000;

// A first instance answering from a thread of its own, as another process does:
// a later start in the test's thread waits for its answer.
class TFirstInstance {
public:
    explicit TFirstInstance(const QString &identifier)
    {
        FThread.start();
        FContext.moveToThread(&FThread);
        QMetaObject::invokeMethod(
            &FContext,
            [this, identifier] {
                FInstance = std::make_unique<TSingleInstance>(identifier);
                FFirst = !FInstance->ActivatePreviousInstance();
                QObject::connect(FInstance.get(), &TSingleInstance::ActivationRequested, [this] { ++FActivations; });
            },
            Qt::BlockingQueuedConnection);
    }
    ~TFirstInstance()
    {
        QMetaObject::invokeMethod(&FContext, [this] { FInstance.reset(); }, Qt::BlockingQueuedConnection);
        FThread.quit();
        FThread.wait();
    }
    TFirstInstance(const TFirstInstance &) = delete;
    TFirstInstance &operator=(const TFirstInstance &) = delete;

    bool First() const { return FFirst; }
    int Activations() const { return FActivations.load(); }

private:
    QThread FThread;
    QObject FContext;
    std::unique_ptr<TSingleInstance> FInstance;
    bool FFirst = false;
    std::atomic<int> FActivations{0};
};

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
    TFirstInstance first(kIdentifier);
    ASSERT_TRUE(first.First());
    EXPECT_TRUE(SingleInstanceServerPath(kIdentifier).startsWith(FRuntime.path() + QLatin1Char('/')));

    for (int start = 1; start <= 2; ++start) {
        TSingleInstance second(kIdentifier);
        EXPECT_TRUE(second.ActivatePreviousInstance());
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.Activations() == start; }, kWaitMs));
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
    TFirstInstance first(kIdentifier);
    ASSERT_TRUE(first.First());
    QFile lock(SingleInstanceServerPath(kIdentifier) + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime));
    lock.close();

    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.Activations() == 1; }, kWaitMs));
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

    TFirstInstance first(kIdentifier);
    EXPECT_TRUE(first.First());
    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.Activations() == 1; }, kWaitMs));
}

TEST_F(SingleInstance, StrayPeersNeitherActivateNorJamTheServer)
{
    TFirstInstance first(kIdentifier);
    ASSERT_TRUE(first.First());

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
    EXPECT_EQ(first.Activations(), 0);

    TSingleInstance second(kIdentifier);
    EXPECT_TRUE(second.ActivatePreviousInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.Activations() == 1; }, kWaitMs));
}

// The lock and the socket live only where no other user may enter: the runtime
// folder when it is the user's alone, else a folder made for them in his cache.
TEST_F(SingleInstance, LivesOnlyInAFolderOfTheUserAlone)
{
    QTemporaryDir cacheHome;
    FEnvironment.Set("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    const QString ownFolder = cacheHome.path() + QStringLiteral("/nimbrel-runtime");
    QTemporaryDir open;
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0755), 0);
    const struct {
        const char *Name;
        QByteArray Runtime; // empty: unset
        QString Expected;
    } cases[] = {
        {"private runtime folder", QFile::encodeName(FRuntime.path()), FRuntime.path()},
        {"runtime folder others may enter", QFile::encodeName(open.path()), ownFolder},
        {"relative runtime folder", "run/user", ownFolder},
        {"no runtime folder", "", ownFolder},
    };
    for (const auto &c : cases) {
        if (c.Runtime.isEmpty())
            FEnvironment.Unset("XDG_RUNTIME_DIR");
        else
            FEnvironment.Set("XDG_RUNTIME_DIR", c.Runtime);
        EXPECT_EQ(QFileInfo(SingleInstanceServerPath(kIdentifier)).path(), c.Expected) << c.Name;
        EXPECT_TRUE(IsPrivateFolder(c.Expected)) << c.Name;
    }
    // A folder of its own that others could enter is closed before use.
    ASSERT_EQ(::chmod(QFile::encodeName(ownFolder).constData(), 0755), 0);
    EXPECT_EQ(QFileInfo(SingleInstanceServerPath(kIdentifier)).path(), ownFolder);
    EXPECT_TRUE(IsPrivateFolder(ownFolder));
}

// A lock whose holder cannot be asked, because it names another machine or
// cannot be read, must not keep the program from starting.
TEST_F(SingleInstance, UnanswerableLocksAreTakenOver)
{
    const QString lockPath = SingleInstanceServerPath(kIdentifier) + QStringLiteral(".lock");
    const struct {
        const char *Name;
        QByteArray Content;
        QFileDevice::Permissions Permissions;
    } cases[] = {
        {"another host", QByteArray::number(::getpid()) + "\nnimbrel\nother-host.example\n",
         QFileDevice::ReadOwner | QFileDevice::WriteOwner},
        {"unreadable", QByteArray::number(::getpid()) + "\nnimbrel\n\n", QFileDevice::WriteOwner},
        {"not a lock", "\x01\x02garbage", QFileDevice::ReadOwner | QFileDevice::WriteOwner},
    };
    for (const auto &c : cases) {
        if (c.Permissions == QFileDevice::WriteOwner && ::geteuid() == 0)
            continue; // root reads every file
        QFile lock(lockPath);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate)) << c.Name;
        lock.write(c.Content);
        lock.close();
        ASSERT_TRUE(QFile::setPermissions(lockPath, c.Permissions)) << c.Name;
        {
            TFirstInstance first(kIdentifier);
            EXPECT_TRUE(first.First()) << c.Name;
            TSingleInstance second(kIdentifier);
            EXPECT_TRUE(second.ActivatePreviousInstance()) << c.Name;
            EXPECT_TRUE(QTest::qWaitFor([&] { return first.Activations() == 1; }, kWaitMs)) << c.Name;
        }
        EXPECT_FALSE(QFileInfo::exists(lockPath)) << c.Name;
    }
}

// Real processes, as the program is started from a desktop.
class SingleInstanceProcesses : public SingleInstance {
protected:
    static std::unique_ptr<QProcess> StartProbe(const QStringList &arguments = {},
                                                QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel)
    {
        auto probe = std::make_unique<QProcess>();
        probe->setProgram(QStringLiteral(NIMBREL_SINGLE_INSTANCE_PROBE));
        probe->setArguments(arguments);
        probe->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        probe->setProcessChannelMode(channels);
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

// A first copy that hangs (here: stopped) takes the request into the socket's
// buffer but never answers; a later start says so and runs rather than exit
// without a window.
TEST_F(SingleInstanceProcesses, AFirstInstanceThatDoesNotAnswerIsPassedBy)
{
    auto hung = StartProbe();
    ASSERT_EQ(FirstLine(*hung), "first");
    ASSERT_EQ(::kill(static_cast<pid_t>(hung->processId()), SIGSTOP), 0);

    auto next = StartProbe({}, QProcess::SeparateChannels);
    EXPECT_EQ(FirstLine(*next), "first");
    const QByteArray said = next->readAllStandardError();
    EXPECT_TRUE(said.contains("did not answer within 3 s; starting anyway")) << said.constData();

    ::kill(static_cast<pid_t>(hung->processId()), SIGCONT);
    for (auto *probe : {hung.get(), next.get()}) {
        probe->kill();
        probe->waitForFinished(kWaitMs);
    }
}

// Another user can neither hold the lock nor be handed the socket: a runtime
// folder he owns is never used. Run as root, the other user being "nobody".
TEST_F(SingleInstance, TwoUsersARuntimeFolderOfAnotherUserIsNotUsed)
{
    const passwd *other = ::getpwnam("nobody");
    if (::geteuid() != 0 || other == nullptr)
        GTEST_SKIP() << "needs root and the user nobody";
    QTemporaryDir cacheHome;
    FEnvironment.Set("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    QTemporaryDir theirs;
    ASSERT_EQ(::chown(QFile::encodeName(theirs.path()).constData(), other->pw_uid, other->pw_gid), 0);
    FEnvironment.Set("XDG_RUNTIME_DIR", QFile::encodeName(theirs.path()));
    EXPECT_EQ(QFileInfo(SingleInstanceServerPath(kIdentifier)).path(), cacheHome.path() + QStringLiteral("/nimbrel-runtime"));

    // A lock folder he made in the user's place is not taken either.
    const QString planted = cacheHome.path() + QStringLiteral("/nimbrel-runtime");
    ASSERT_TRUE(QDir().rmdir(planted));
    ASSERT_TRUE(QDir().mkdir(planted));
    ASSERT_EQ(::chown(QFile::encodeName(planted).constData(), other->pw_uid, other->pw_gid), 0);
    EXPECT_EQ(SingleInstanceServerPath(kIdentifier), QString());
    TSingleInstance alone(kIdentifier);
    EXPECT_FALSE(alone.ActivatePreviousInstance());
}

} // namespace
