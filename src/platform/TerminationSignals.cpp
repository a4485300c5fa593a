#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; the loop reads the other end.
int GSignalPipe[2] = {-1, -1};

void SignalArrived(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(GSignalPipe[0], &byte, 1);
}

} // namespace

void QuitOnTerminationSignals(QCoreApplication &app)
{
    if (GSignalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, GSignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(GSignalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(GSignalPipe[1], &byte, 1);
        notifier->setEnabled(false); // a second signal while quitting changes nothing
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = SignalArrived;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}
