#include "CommandLine.h"

#include <cstdio>
#include <iterator>

namespace {

constexpr char kProgramName[] = "nimbrel";

// The toolkit's options that take the next argument (or "=value") as value.
constexpr const char *kToolkitValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "display", "name", "session", "style",
    "stylesheet", "qmljsdebugger",
};
// The toolkit's options that stand alone.
constexpr const char *kToolkitFlags[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "testability",
};

enum class TArgument { Help, Version, ToolkitValue, ToolkitFlag, Unknown, NotAnOption };

bool InList(const QString &name, const char *const *first, const char *const *last)
{
    for (auto it = first; it != last; ++it) {
        if (name == QLatin1String(*it))
            return true;
    }
    return false;
}

// "-x", "--x" and "-x=value" all name x, as the toolkit reads them.
TArgument Classify(const QString &argument, bool &hasInlineValue)
{
    hasInlineValue = false;
    if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
        return TArgument::Help;
    if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
        return TArgument::Version;
    if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2)
        return TArgument::NotAnOption;
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        hasInlineValue = true;
        name.truncate(equals);
    }
    if (InList(name, std::begin(kToolkitValueOptions), std::end(kToolkitValueOptions)))
        return TArgument::ToolkitValue;
    if (!hasInlineValue && InList(name, std::begin(kToolkitFlags), std::end(kToolkitFlags)))
        return TArgument::ToolkitFlag;
    return TArgument::Unknown;
}

QString UsageLine()
{
    return QStringLiteral("Usage: %1 [--help | --version]\n").arg(QLatin1String(kProgramName));
}

TCommandLineAnswer Refuse(const QString &problem)
{
    TCommandLineAnswer answer;
    answer.Run = false;
    answer.ExitCode = kUsageExitCode;
    answer.Error = QStringLiteral("%1: %2\n").arg(QLatin1String(kProgramName), problem) + UsageLine() +
                   QStringLiteral("Try '%1 --help' for more information.\n").arg(QLatin1String(kProgramName));
    return answer;
}

TCommandLineAnswer Answer(const QString &output)
{
    TCommandLineAnswer answer;
    answer.Run = false;
    answer.Output = output;
    return answer;
}

QString HelpText()
{
    return UsageLine() +
           QStringLiteral("\n"
                          "Shows the current weather and a forecast of up to sixteen days for one place\n"
                          "in a small window in the notification area. Everything else is set in the\n"
                          "program's preferences, which it keeps in one INI file.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n"
                          "\n"
                          "The Qt toolkit's own options, such as -platform NAME, are passed on to it.\n");
}

void Print(std::FILE *stream, const QString &text)
{
    if (text.isEmpty())
        return;
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

TCommandLineAnswer AnswerCommandLine(const QStringList &arguments, const QString &version)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool hasInlineValue = false;
        switch (Classify(argument, hasInlineValue)) {
        case TArgument::Help:
            return Answer(HelpText());
        case TArgument::Version:
            return Answer(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgramName), version));
        case TArgument::ToolkitValue:
            if (!hasInlineValue) {
                if (i + 1 >= arguments.size())
                    return Refuse(QStringLiteral("option '%1' needs a value").arg(argument));
                ++i;
            }
            break;
        case TArgument::ToolkitFlag:
            break;
        case TArgument::Unknown:
            return Refuse(QStringLiteral("unknown option '%1'").arg(argument));
        case TArgument::NotAnOption:
            return Refuse(QStringLiteral("unexpected argument '%1'").arg(argument));
        }
    }
    return {};
}

bool HandleCommandLine(int argc, const char *const argv[], const QString &version, int &exitCode)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const TCommandLineAnswer answer = AnswerCommandLine(arguments, version);
    Print(stdout, answer.Output);
    Print(stderr, answer.Error);
    exitCode = answer.ExitCode;
    return answer.Run;
}
