// A start of the program reduced to its single-instance check, for tests that
// race real processes. Prints "first" or "second" on its first line; the first
// then prints "activated" for each later start and quits after the given number
// of milliseconds (exit code 3); a second start exits with code 0.
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {
constexpr int kFirstExitCode = 3;
constexpr int kDefaultHoldMs = 30000;

void Say(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // As the program does: the lock must not depend on the application name
    // matching the executable's.
    QCoreApplication::setApplicationName(QStringLiteral("Zelto Nimbrel"));
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = false;
    const int holdMs = arguments.size() > 1 ? arguments[1].toInt(&ok) : kDefaultHoldMs;

    TSingleInstance instance(QStringLiteral("{nimbrel-single-instance-probe}"));
    if (instance.ActivatePreviousInstance()) {
        Say("second");
        return 0;
    }
    Say("first");
    QObject::connect(&instance, &TSingleInstance::ActivationRequested, [] { Say("activated"); });
    QTimer::singleShot(ok ? holdMs : kDefaultHoldMs, &app, &QCoreApplication::quit);
    app.exec();
    return kFirstExitCode;
}
