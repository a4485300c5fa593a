// The stand-in service as its own process, for one test, offering `version`
// on its update page.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>

inline constexpr int kStandInStartMs = 10000;

class TUpdateStandIn
{
public:
    explicit TUpdateStandIn(const QString &version)
    {
        process_.setProgram(QStringLiteral(NIMBREL_FAKE_OWM));
        process_.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--update-version"), version});
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start();
        if (!process_.waitForStarted(kStandInStartMs))
            return;
        while (!process_.canReadLine() && process_.waitForReadyRead(kStandInStartMs)) {
        }
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^listening on (http://127\\.0\\.0\\.1:\\d+)$"))
                                              .match(QString::fromUtf8(process_.readLine()).trimmed());
        if (m.hasMatch())
            base_ = m.captured(1);
    }

    ~TUpdateStandIn()
    {
        process_.terminate();
        if (!process_.waitForFinished(kStandInStartMs))
            process_.kill();
        process_.waitForFinished(kStandInStartMs);
    }

    QString PageUrl() const { return base_ + QStringLiteral("/webupdate.html"); }
    bool Started() const { return !base_.isEmpty(); }

private:
    QProcess process_;
    QString base_;
};
