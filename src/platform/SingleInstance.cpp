#include "SingleInstance.h"

#include "SafeFile.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

namespace {

const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
const QByteArray kActivatedAnswer = QByteArrayLiteral("activated\n");
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
// How long a later start waits for the running copy's answer.
constexpr int kAnswerPatienceMs = 3000;
// A lock file just made may not hold its owner's details yet.
constexpr int kLockInfoRetries = 3;
constexpr int kLockInfoPauseMs = 100;
constexpr char kRuntimeVariable[] = "XDG_RUNTIME_DIR";
constexpr char kCacheHomeVariable[] = "XDG_CACHE_HOME";
const QString kDefaultCacheFolder = QStringLiteral("/.cache");
const QString kOwnRuntimeFolder = QStringLiteral("/nimbrel-runtime");

QString DisplayName()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    return wayland.isEmpty() ? qEnvironmentVariable("DISPLAY") : wayland;
}

// A folder no other user may enter, so nobody else can hold or fake the lock:
// the runtime folder when it is the user's own with mode 0700, else one made
// so under the user's cache folder. Empty when neither can be had.
QString RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable(kRuntimeVariable);
    if (IsPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    QString cache = qEnvironmentVariable(kCacheHomeVariable);
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + kDefaultCacheFolder;
    const QString own = QDir::cleanPath(cache + kOwnRuntimeFolder);
    QString ignored;
    if (!MakePrivateFolder(own, TLinkRule::ReplaceLink, ignored))
        return QString();
    MakePrivate({own});
    return IsPrivateFolder(own) ? own : QString();
}

} // namespace

QString SingleInstanceServerPath(const QString &identifier)
{
    const QString key = identifier + QLatin1Char('\n') + QString::number(::getuid()) + QLatin1Char('\n')
                        + DisplayName();
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + kSocketPrefix
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
    if (FServerPath.isEmpty()) {
        std::fprintf(stderr, "nimbrel: no private folder for the one-copy lock; starting without it\n");
        return false;
    }
    FLock = std::make_unique<QLockFile>(FServerPath + kLockSuffix);
    // Held for the life of the process, so it must never go stale by age; a lock
    // whose process has died is taken over.
    FLock->setStaleLockTime(0);
    if (FLock->tryLock(0)) {
        Listen();
        return false;
    }
    // Held, or not readable: a lock nobody here can be asked about is taken over.
    if (FLock->error() != QLockFile::UnknownError && !HeldOnThisHost() && FLock->removeStaleLockFile()
        && FLock->tryLock(0)) {
        Listen();
        return false;
    }
    if (FLock->error() == QLockFile::LockFailedError) {
        if (AskRunningInstance(kConnectPatienceMs))
            return true;
        // A first copy that hangs must not keep the user from his weather.
        qint64 pid = 0;
        QString host, application;
        FLock->getLockInfo(&pid, &host, &application);
        std::fprintf(stderr,
                     "nimbrel: the running copy (process %lld) did not answer within %d s; starting anyway\n",
                     static_cast<long long>(pid), kAnswerPatienceMs / 1000);
        Listen();
        return false;
    }
    // The lock file cannot be written at all: fall back to the socket alone.
    if (AskRunningInstance(0))
        return true;
    Listen();
    return false;
}

bool TSingleInstance::HeldOnThisHost() const
{
    // Only a process of this machine can be asked whether it still runs; a lock
    // that cannot be read, or names another host, would otherwise count as
    // held for ever.
    for (int attempt = 0; attempt < kLockInfoRetries; ++attempt) {
        qint64 pid = 0;
        QString host, application;
        if (FLock->getLockInfo(&pid, &host, &application))
            return host.isEmpty() || host == QSysInfo::machineHostName();
        if (::access(QFile::encodeName(FServerPath + kLockSuffix).constData(), R_OK) != 0 && errno != ENOENT)
            return false; // unreadable for good
        QThread::msleep(kLockInfoPauseMs);
    }
    return false;
}

bool TSingleInstance::AskRunningInstance(int patienceMs)
{
    QElapsedTimer patience;
    patience.start();
    do {
        QLocalSocket socket;
        socket.connectToServer(FServerPath);
        if (socket.waitForConnected(kConnectAttemptMs)) {
            socket.write(kActivateRequest);
            // The system takes the request even from a copy that hangs: only its
            // answer shows that it runs.
            QElapsedTimer answer;
            answer.start();
            while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState
                   && answer.elapsed() < kAnswerPatienceMs)
                socket.waitForReadyRead(static_cast<int>(kAnswerPatienceMs - answer.elapsed()));
            const bool answered = socket.canReadLine() && socket.readLine(kMaxRequestBytes + 1) == kActivatedAnswer;
            socket.abort();
            return answered;
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
        if (!activate) {
            socket->abort();
            return;
        }
        socket->write(kActivatedAnswer);
        socket->disconnectFromServer();
        emit ActivationRequested();
    } else if (socket->bytesAvailable() > kMaxRequestBytes) {
        socket->abort();
    }
}
