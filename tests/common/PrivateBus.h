// A D-Bus daemon of the test's own, so a test neither needs nor disturbs the
// machine's buses.
#pragma once

#include "WaitFor.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

class PrivateBus
{
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !FDir.isValid())
            return;
        const QString config = FDir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                       .arg(FDir.path())
                       .toUtf8());
        file.close();
        FDaemon.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                               QStringLiteral("--print-address=1")});
        if (!FDaemon.waitForStarted() || !FDaemon.waitForReadyRead(kDefaultWaitMs))
            return;
        FAddress = QString::fromUtf8(FDaemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : FNames)
            QDBusConnection::disconnectFromBus(name);
        FDaemon.kill();
        FDaemon.waitForFinished();
    }

    bool Running() const { return !FAddress.isEmpty(); }
    QDBusConnection Connect(const QString &name)
    {
        FNames << name;
        return QDBusConnection::connectToBus(FAddress, name);
    }

private:
    QTemporaryDir FDir;
    QProcess FDaemon;
    QString FAddress;
    QStringList FNames;
};

