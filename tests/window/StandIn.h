// The stand-in weather service (tools/fake-owm) as a child process on a free
// loopback port, for as long as a test holds it.
#pragma once

#include "HttpGet.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

class TStandIn
{
public:
    static constexpr int kStartWaitMs = 10000;

    explicit TStandIn(const QStringList &arguments = QStringList())
    {
        FProcess.setProgram(QStringLiteral(NIMBREL_FAKE_OWM));
        FProcess.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
        FProcess.setProcessChannelMode(QProcess::SeparateChannels);
        FProcess.start();
    }
    ~TStandIn() { Stop(); }
    TStandIn(const TStandIn &) = delete;
    TStandIn &operator=(const TStandIn &) = delete;

    // Waits for "listening on http://127.0.0.1:PORT"; false when it never came.
    bool WaitUntilListening()
    {
        static const QRegularExpression listening(QStringLiteral("listening on (http://[^\\s]+)"));
        (void)QTest::qWaitFor(
            [this] {
                FOutput += FProcess.readAllStandardOutput();
                FBase = listening.match(QString::fromUtf8(FOutput)).captured(1);
                return !FBase.isEmpty() || FProcess.state() == QProcess::NotRunning;
            },
            kStartWaitMs);
        return !FBase.isEmpty();
    }

    QString Base() const { return FBase; }

    // Switches the stand-in's fault ("none" heals) for the request paths that
    // begin with `path` (every API request when empty).
    bool SetFault(const QString &mode, const QString &path = QString())
    {
        QString url = FBase + QStringLiteral("/control/fault?mode=") + mode;
        if (!path.isEmpty())
            url += QStringLiteral("&path=") + path;
        QByteArray answer;
        int status = 0;
        return HttpGetToStream(url, QString(), QString(), answer, 0, THttpOptions(), &status) && status == 200;
    }

    // The requests logged so far, one a line.
    QString Log()
    {
        FLog += FProcess.readAllStandardError();
        return QString::fromUtf8(FLog);
    }

    void Stop()
    {
        if (FProcess.state() == QProcess::NotRunning)
            return;
        FProcess.kill();
        FProcess.waitForFinished();
    }

private:
    QProcess FProcess;
    QByteArray FOutput;
    QByteArray FLog;
    QString FBase;
};
