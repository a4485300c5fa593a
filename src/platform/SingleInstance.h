// One running copy per user and graphical session. The first copy holds a lock
// file for its whole life and listens on a local socket; a later start finds the
// lock taken and asks the first, over the socket, to raise its window.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// The socket path shared by every start of this user on this display
// ($WAYLAND_DISPLAY, else $DISPLAY), in the user's runtime folder. The lock file
// is the same path plus ".lock".
QString SingleInstanceServerPath(const QString &identifier);

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // One per process, living as long as the process runs as the first instance.
    // Needs the application object: requests arrive through its event loop.
    explicit TSingleInstance(const QString &identifier, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // True: another instance of this user and display runs and was asked to raise
    // its window; the caller exits without touching its settings. False: this is
    // the first instance (or the running one did not answer in time, which is
    // said on stderr); it now listens and emits ActivationRequested whenever a
    // later start asks. Call once.
    bool ActivatePreviousInstance();

signals:
    void ActivationRequested();

private:
    bool AskRunningInstance(int patienceMs);
    bool HeldOnThisHost() const;
    void Listen();
    void ReadRequest(QLocalSocket *socket);

    QString FServerPath;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer *FServer = nullptr;
};
