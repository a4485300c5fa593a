// Clean quit: a terminating signal closes the window as Escape does, so its
// layout and settings are saved and the process ends with 0.
#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"
#include "MainWindow.h"
#include "StartUp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

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

    void Prepare(const QString &program = QStringLiteral("nimbrel")) const
    {
        QDir().mkpath(QFileInfo(Settings(program)).absolutePath());
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A key, so the start does not stop to ask for one.
        TLayoutManagerINIStorage settings(Settings(program));
        settings.Open(false);
        settings.WriteString(QLatin1String(kServiceSection), QLatin1String(kApiBaseKey), kDeadService);
        settings.WriteString(QLatin1String(kServiceSection), QLatin1String(kWebBaseKey), kDeadService);
        settings.WriteString(TLayoutManagerValues::kDefaultSection, QLatin1String(kApiKeyName),
                             TLayoutManagerWinCryptCipherer().EncryptText(QStringLiteral("demo-key"),
                                                                          QLatin1String(kApiKeyPassword)));
        settings.Close();
    }
};

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
