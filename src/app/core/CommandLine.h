// The command line. The program is configured through its INI file only, so it
// answers --help and --version and refuses what it does not know; the Qt
// toolkit's own options (-platform, -display, -session, ...) pass on to it.
// Runs before anything else, without a display and without the settings.
#pragma once

#include <QString>
#include <QStringList>

// The exit code of a command line the program does not understand.
inline constexpr int kUsageExitCode = 2;

struct TCommandLineAnswer {
    // Start the program; otherwise exit with ExitCode after printing.
    bool Run = true;
    int ExitCode = 0;
    QString Output; // for standard output
    QString Error;  // for standard error
};

// `arguments` without the program's own name; `version` as "--version" shows it.
// Options are taken in order: the first --help, --version or mistake answers.
TCommandLineAnswer AnswerCommandLine(const QStringList &arguments, const QString &version);

// The entry's first call: decodes argv, answers and prints. True when the
// program is to run; otherwise `exitCode` is what main returns.
bool HandleCommandLine(int argc, const char *const argv[], const QString &version, int &exitCode);
