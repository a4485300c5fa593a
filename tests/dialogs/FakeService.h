// The stand-in weather service, started as its own process on a free port for
// one test suite.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <memory>

class TFakeService
{
public:
    explicit TFakeService(const QStringList &extraArguments = {})
    {
        FProcess.setProgram(QStringLiteral(NIMBREL_FAKE_OWM));
        FProcess.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArguments);
        FProcess.setStandardErrorFile(QProcess::nullDevice());
        FProcess.start();
        if (!FProcess.waitForStarted(kStartTimeoutMs))
            return;
        while (!FProcess.canReadLine() && FProcess.waitForReadyRead(kStartTimeoutMs)) {
        }
        const QString line = QString::fromUtf8(FProcess.readLine()).trimmed();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^listening on (http://127\\.0\\.0\\.1:\\d+)$")).match(line);
        if (m.hasMatch())
            FBase = m.captured(1);
    }

    ~TFakeService()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.terminate();
            if (!FProcess.waitForFinished(kStartTimeoutMs))
                FProcess.kill();
            FProcess.waitForFinished(kStartTimeoutMs);
        }
    }

    TFakeService(const TFakeService &) = delete;
    TFakeService &operator=(const TFakeService &) = delete;

    // Empty when the service did not start.
    const QString &Base() const { return FBase; }

private:
    static constexpr int kStartTimeoutMs = 10000;
    QProcess FProcess;
    QString FBase;
};
