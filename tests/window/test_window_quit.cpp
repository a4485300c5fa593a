// Clean quit: a terminating signal closes the window as Escape does, so its
// layout and settings are saved and the process ends with 0, at once, also
// while the service, the picture host or the update page keeps silent.
#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"
#include "MainWindow.h"
#include "PrefsDialog.h"
#include "StandIn.h"
#include "StartUp.h"
#include "TitleBar.h"
#include "UpdateSchedule.h"
#include "WaitFor.h"
#include "WeatherFetch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThreadPool>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

constexpr int kWaitMs = 15000;
const QString kDeadService = QStringLiteral("http://127.0.0.1:1");

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A throw-away configuration and runtime folder; the service at a dead port.
struct QuitFolders {
    QTemporaryDir root;
    QString Config() const { return root.path() + QStringLiteral("/config"); }
    QString Runtime() const { return root.path() + QStringLiteral("/run"); }
    // The settings file is named after the program that runs.
    QString Settings(const QString &program = QStringLiteral("nimbrel")) const
    {
        return Config() + QStringLiteral("/Zelto/Nimbrel/") + program + QStringLiteral(".ini");
    }
    QString Autostart() const { return Config() + QStringLiteral("/autostart/nimbrel.desktop"); }

    void Prepare(const QString &program = QStringLiteral("nimbrel"), const QString &service = kDeadService) const
    {
        QDir().mkpath(QFileInfo(Settings(program)).absolutePath());
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A key, so the start does not stop to ask for one.
        TLayoutManagerINIStorage settings(Settings(program));
        settings.Open(false);
        settings.WriteString(QLatin1String(kServiceSection), QLatin1String(kApiBaseKey), service);
        settings.WriteString(QLatin1String(kServiceSection), QLatin1String(kWebBaseKey), service);
        settings.WriteString(QLatin1String(kServiceSection), QStringLiteral("UpdateUrl"),
                             service + QStringLiteral("/webupdate.html"));
        settings.WriteString(TLayoutManagerValues::kDefaultSection, QLatin1String(kApiKeyName),
                             TLayoutManagerWinCryptCipherer().EncryptText(QStringLiteral("demo-key"),
                                                                          QLatin1String(kApiKeyPassword)));
        // The service's pictures, so that a quit meets their downloads too.
        settings.WriteString(TLayoutManagerValues::kDefaultSection, QLatin1String(kOwnPicturesName),
                             QStringLiteral("0"));
        settings.Close();
    }
};

// A quit must not wait for the network: a session's log-out waits for it.
constexpr qint64 kQuitLimitMs = 1000;
// The weather is shown once its two documents are read, whatever the pictures do.
constexpr qint64 kFirstWeatherLimitMs = 2000;

QProcessEnvironment ProgramEnvironment(const QuitFolders &folders)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.Config());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.Runtime());
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("nimbrel.refresh.info=true"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

// The whole start-up in this process until a terminating signal, sent by
// `quitWhen` once it answers true (polled on the event loop); then the time
// from the signal until every worker of the process has ended, as the
// process's exit waits for them.
struct TInProcessQuit {
    int Code = -1;
    qint64 QuitMs = -1;
};

TInProcessQuit RunUntilQuit(const std::function<bool(Twnd_nb_Main &)> &quitWhen)
{
    TInProcessQuit outcome;
    QElapsedTimer sinceSignal;
    TRunHooks hooks;
    hooks.WindowCreated = [&](Twnd_nb_Main &window) {
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, &quitWhen, &sinceSignal] {
            if (!window.isVisible() || !window.Restored() || !quitWhen(window))
                return;
            poll->stop();
            sinceSignal.start();
            ::kill(::getpid(), SIGTERM);
        });
        poll->start(20);
    };
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app == nullptr)
        return outcome;
    outcome.Code = RunNimbrel(*app, hooks);
    QThreadPool::globalInstance()->waitForDone();
    WaitForPictureDownloads();
    outcome.QuitMs = sinceSignal.isValid() ? sinceSignal.elapsed() : -1;
    return outcome;
}

} // namespace

// The whole start-up in this process, so the window can be moved as the user
// would move it; then the signal a log-out sends.
TEST(WindowQuit, SigtermAfterAMoveKeepsThePositionAndEndsWithZero)
{
    QuitFolders folders;
    ASSERT_TRUE(folders.root.isValid());
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    folders.Prepare(program);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folders.Config()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folders.Runtime()));

    const QPoint target(123, 77);
    QPoint reached;
    TRunHooks hooks;
    hooks.WindowCreated = [&](Twnd_nb_Main &window) {
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, target, &reached] {
            if (!window.isVisible() || !window.Restored())
                return;
            if (window.pos() != target) {
                window.move(target);
                return;
            }
            reached = window.pos();
            poll->stop();
            ::kill(::getpid(), SIGTERM);
        });
        poll->start(20);
    };
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const int code = RunNimbrel(*app, hooks);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(reached, target);
    const QByteArray ini = ReadAll(folders.Settings(program));
    EXPECT_TRUE(ini.contains("Pos=123,77")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[Settings]")) << ini.toStdString();
}

// The real program, ended by each signal a session sends.
TEST(WindowQuit, EachTerminatingSignalEndsTheProgramInOrder)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QuitFolders folders;
        ASSERT_TRUE(folders.root.isValid());
        folders.Prepare();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.Config());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.Runtime());
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProgram(QStringLiteral(NIMBREL_EXECUTABLE));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
        // Past its start: the settings were applied, which writes the logon entry.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(folders.Autostart()); }, kWaitMs));

        ::kill(process.processId(), signal);
        ASSERT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kWaitMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QByteArray ini = ReadAll(folders.Settings());
        EXPECT_TRUE(ini.contains("[Settings]")) << ini.toStdString();
        EXPECT_TRUE(ini.contains("Pos=")) << ini.toStdString();
    }
}

// The real program with the weather service stalled mid-refresh, and with the
// picture host stalled: the weather comes at once, and a quit ends the
// process within a second either way, the settings saved; a second start
// right after shows its window again.
TEST(WindowQuit, AStalledServiceOrPictureHostHoldsUpNeitherTheWeatherNorTheQuit)
{
    const struct {
        const char *name;
        const char *stalledPath;
        const char *answeredBefore; // in the stand-in's log once the stalled request is due
        bool weatherShown;
    } cases[] = {
        {"weather", "/data/2.5/forecast", "/data/2.5/weather", false},
        {"pictures", "/img/", "/data/2.5/forecast", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TStandIn service;
        ASSERT_TRUE(service.WaitUntilListening());
        ASSERT_TRUE(service.SetFault(QStringLiteral("stall"), QString::fromLatin1(c.stalledPath)));
        QuitFolders folders;
        ASSERT_TRUE(folders.root.isValid());
        folders.Prepare(QStringLiteral("nimbrel"), service.Base());

        QProcess process;
        process.setProcessEnvironment(ProgramEnvironment(folders));
        process.setProgram(QStringLiteral(NIMBREL_EXECUTABLE));
        QByteArray log;
        QElapsedTimer sinceStart;
        sinceStart.start();
        process.start();
        ASSERT_TRUE(process.waitForStarted());
        ASSERT_TRUE(Eventually([&] { return service.Log().contains(QLatin1String(c.answeredBefore)); }, kWaitMs));
        if (c.weatherShown) {
            ASSERT_TRUE(Eventually(
                [&] {
                    log += process.readAllStandardError();
                    return log.contains("weather shown for");
                },
                kWaitMs))
                << log.toStdString();
            const qint64 firstWeatherMs = sinceStart.elapsed();
            std::printf("[ figures  ] first weather with the pictures stalled: %lld ms after start\n",
                        static_cast<long long>(firstWeatherMs));
            EXPECT_LT(firstWeatherMs, kFirstWeatherLimitMs);
        }
        QTest::qWait(200); // the stalled request reaches the stand-in

        QElapsedTimer sinceSignal;
        sinceSignal.start();
        ::kill(process.processId(), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(kWaitMs));
        const qint64 quitMs = sinceSignal.elapsed();
        std::printf("[ figures  ] exit with the %s stalled: %lld ms after SIGTERM\n", c.name,
                    static_cast<long long>(quitMs));
        EXPECT_LT(quitMs, kQuitLimitMs);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QByteArray ini = ReadAll(folders.Settings());
        EXPECT_TRUE(ini.contains("[Settings]")) << ini.toStdString();
        EXPECT_TRUE(ini.contains("Pos=")) << ini.toStdString();

        // The lock is free: a second start shows its window rather than
        // handing over to a copy that is still going.
        QProcess again;
        again.setProcessEnvironment(ProgramEnvironment(folders));
        again.setProgram(QStringLiteral(NIMBREL_EXECUTABLE));
        again.start();
        ASSERT_TRUE(again.waitForStarted());
        QByteArray againLog;
        EXPECT_TRUE(Eventually(
            [&] {
                againLog += again.readAllStandardError();
                return againLog.contains("refresh started");
            },
            kWaitMs));
        ::kill(again.processId(), SIGTERM);
        EXPECT_TRUE(again.waitForFinished(kWaitMs));
        EXPECT_EQ(again.exitCode(), 0);
    }
}

// A location search the service never answers, running when the session
// ends: the dialog goes, the search ends, the process can end at once.
TEST(WindowQuit, AStalledLocationSearchDoesNotHoldUpTheQuit)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    QuitFolders folders;
    ASSERT_TRUE(folders.root.isValid());
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    folders.Prepare(program, service.Base());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folders.Config()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folders.Runtime()));

    bool asked = false;
    const TInProcessQuit outcome = RunUntilQuit([&](Twnd_nb_Main &window) {
        auto *dialog = qobject_cast<Tdlg_nb_Prefs *>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (!asked && !window.RefreshCycle().IsRefreshing() && window.HasWeather()) {
                asked = true;
                EXPECT_TRUE(service.SetFault(QStringLiteral("stall")));
                // From the event loop: the dialog's own loop runs inside it,
                // and this poll must go on there.
                QTimer::singleShot(0, &window, [&window] { emit window.TitleBar()->PrefsClicked(); });
            }
            return false;
        }
        if (!dialog->Searching()) {
            dialog->FLocationEdit->setText(QStringLiteral("Prague"));
            dialog->Search();
            return false;
        }
        return true;
    });
    EXPECT_EQ(outcome.Code, 0);
    std::printf("[ figures  ] exit with a search stalled: %lld ms after SIGTERM\n",
                static_cast<long long>(outcome.QuitMs));
    EXPECT_GE(outcome.QuitMs, 0);
    EXPECT_LT(outcome.QuitMs, kQuitLimitMs);
    EXPECT_TRUE(ReadAll(folders.Settings(program)).contains("[Settings]"));
}

// An update check whose page never comes, running when the session ends.
TEST(WindowQuit, AStalledUpdateCheckDoesNotHoldUpTheQuit)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    ASSERT_TRUE(service.SetFault(QStringLiteral("stall"), QStringLiteral("/webupdate.html")));
    QuitFolders folders;
    ASSERT_TRUE(folders.root.isValid());
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    folders.Prepare(program, service.Base());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folders.Config()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folders.Runtime()));

    bool started = false;
    const TInProcessQuit outcome = RunUntilQuit([&](Twnd_nb_Main &window) {
        if (!started) {
            started = true;
            QTimer::singleShot(0, &window, [&window] { window.Updates()->CheckNow(); });
            return false;
        }
        return window.Updates()->Check().Active();
    });
    EXPECT_EQ(outcome.Code, 0);
    std::printf("[ figures  ] exit with an update check stalled: %lld ms after SIGTERM\n",
                static_cast<long long>(outcome.QuitMs));
    EXPECT_GE(outcome.QuitMs, 0);
    EXPECT_LT(outcome.QuitMs, kQuitLimitMs);
    EXPECT_TRUE(ReadAll(folders.Settings(program)).contains("[Settings]"));
}
