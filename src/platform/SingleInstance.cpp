#include "SingleInstance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
// A peer that sends more than this without a complete request is not ours.
constexpr qint64 kMaxRequestBytes = 64;
const QString kSocketPrefix = QStringLiteral("nimbrel-");
const QString kLockSuffix = QStringLiteral(".lock");
// The hash keeps the socket path short (sun_path holds 108 bytes) and free of
// whatever the display variable contains.
constexpr int kKeyHexDigits = 32;
// Two starts at once: the loser may find the lock taken before the winner
// listens, so it keeps trying this long.
constexpr int kConnectPatienceMs = 3000;
constexpr int kConnectAttemptMs = 200;
constexpr int kConnectRetryPauseMs = 25;
constexpr int kWriteTimeoutMs = 1000;

QString DisplayName()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    return wayland.isEmpty() ? qEnvironmentVariable("DISPLAY") : wayland;
}

QString RuntimeFolder()
{
    // $XDG_RUNTIME_DIR when usable, else a private folder Qt creates for the user.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

} // namespace

QString SingleInstanceServerPath(const QString &identifier)
{
    const QString key = identifier + QLatin1Char('\n') + QString::number(::getuid()) + QLatin1Char('\n')
                        + DisplayName();
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    return RuntimeFolder() + QLatin1Char('/') + kSocketPrefix
           + QString::fromLatin1(hash.left(kKeyHexDigits));
}

TSingleInstance::TSingleInstance(const QString &identifier, QObject *parent)
    : QObject(parent), FServerPath(SingleInstanceServerPath(identifier))
{
}

TSingleInstance::~TSingleInstance()
{
    // Closing the server deletes the socket file by name; done after the lock is
    // released, it could delete the socket of an instance that just took over.
    delete FServer;
}

bool TSingleInstance::ActivatePreviousInstance()
{
    FLock = std::make_unique<QLockFile>(FServerPath + kLockSuffix);
    // Held for the life of the process, so it must never go stale by age; a lock
    // whose process has died is taken over.
    FLock->setStaleLockTime(0);
    if (FLock->tryLock(0)) {
        Listen();
        return false;
    }
    if (FLock->error() == QLockFile::LockFailedError) {
        AskRunningInstance(kConnectPatienceMs);
        return true;
    }
    // The lock file cannot be written at all: fall back to the socket alone.
    if (AskRunningInstance(0))
        return true;
    Listen();
    return false;
}

bool TSingleInstance::AskRunningInstance(int patienceMs)
{
    QElapsedTimer patience;
    patience.start();
    do {
        QLocalSocket socket;
        socket.connectToServer(FServerPath, QIODevice::WriteOnly);
        if (socket.waitForConnected(kConnectAttemptMs)) {
            socket.write(kActivateRequest);
            const bool written = socket.waitForBytesWritten(kWriteTimeoutMs);
            socket.disconnectFromServer();
            return written;
        }
        if (patienceMs > 0)
            QThread::msleep(kConnectRetryPauseMs);
    } while (patience.elapsed() < patienceMs);
    return false;
}

void TSingleInstance::Listen()
{
    // A socket file left by a crashed run would make listen() fail.
    QLocalServer::removeServer(FServerPath);
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(FServerPath))
        return; // Still the first instance, merely not reachable by later starts.
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = FServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
            ReadRequest(socket);
        }
    });
}

void TSingleInstance::ReadRequest(QLocalSocket *socket)
{
    if (socket->canReadLine()) {
        const bool activate = socket->readLine(kMaxRequestBytes + 1) == kActivateRequest;
        socket->abort();
        if (activate)
            emit ActivationRequested();
    } else if (socket->bytesAvailable() > kMaxRequestBytes) {
        socket->abort();
    }
}
