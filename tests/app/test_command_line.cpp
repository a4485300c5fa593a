#include "CommandLine.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QStringList Args(std::initializer_list<const char *> list)
{
    QStringList arguments;
    for (const char *argument : list)
        arguments.append(QString::fromUtf8(argument));
    return arguments;
}

TEST(CommandLine, RunsWithNoArgumentsAndWithTheToolkitsOwnOptions)
{
    const std::initializer_list<const char *> lines[] = {
        {},
        {"-platform", "offscreen"},
        {"--platform", "xcb", "-reverse"},
        {"-style=Fusion", "-session", "1234_5", "-display", ":1"},
        {"-qwindowgeometry", "300x200+0+0", "-name", "weather"},
    };
    for (const auto &line : lines) {
        const TCommandLineAnswer answer = AnswerCommandLine(Args(line), QStringLiteral("1.2.3"));
        EXPECT_TRUE(answer.Run) << Args(line).join(u' ').toStdString();
        EXPECT_TRUE(answer.Output.isEmpty());
        EXPECT_TRUE(answer.Error.isEmpty());
    }
}

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutputAndExitZero)
{
    const struct {
        std::initializer_list<const char *> line;
        const char *firstLine;
    } cases[] = {
        {{"--version"}, "nimbrel 1.2.3"},
        {{"-v"}, "nimbrel 1.2.3"},
        {{"--help"}, "Usage: nimbrel [--help | --version]"},
        {{"-h"}, "Usage: nimbrel [--help | --version]"},
        // The first that answers wins, also after the toolkit's options.
        {{"-platform", "offscreen", "--version", "--bogus"}, "nimbrel 1.2.3"},
        {{"--help", "--version"}, "Usage: nimbrel [--help | --version]"},
    };
    for (const auto &c : cases) {
        const TCommandLineAnswer answer = AnswerCommandLine(Args(c.line), QStringLiteral("1.2.3"));
        const std::string line = Args(c.line).join(u' ').toStdString();
        EXPECT_FALSE(answer.Run) << line;
        EXPECT_EQ(answer.ExitCode, 0) << line;
        EXPECT_EQ(answer.Output.section(u'\n', 0, 0), QString::fromUtf8(c.firstLine)) << line;
        EXPECT_TRUE(answer.Output.endsWith(u'\n')) << line;
        EXPECT_TRUE(answer.Error.isEmpty()) << line;
    }
}

TEST(CommandLine, MistakesGetAShortUsageOnStandardErrorAndExitTwo)
{
    const struct {
        std::initializer_list<const char *> line;
        const char *problem;
    } cases[] = {
        {{"--bogus"}, "nimbrel: unknown option '--bogus'"},
        {{"-V"}, "nimbrel: unknown option '-V'"},
        {{"--help=yes"}, "nimbrel: unknown option '--help=yes'"},
        {{"-reverse=1"}, "nimbrel: unknown option '-reverse=1'"},
        {{"--"}, "nimbrel: unknown option '--'"},
        {{"Prague"}, "nimbrel: unexpected argument 'Prague'"},
        {{"-"}, "nimbrel: unexpected argument '-'"},
        {{"-platform"}, "nimbrel: option '-platform' needs a value"},
        // A mistake before --help is answered as a mistake.
        {{"--verbose", "--help"}, "nimbrel: unknown option '--verbose'"},
        {{"--\xC4\x8D\x61s"}, "nimbrel: unknown option '--\xC4\x8D\x61s'"},
    };
    for (const auto &c : cases) {
        const TCommandLineAnswer answer = AnswerCommandLine(Args(c.line), QStringLiteral("1.2.3"));
        const std::string line = Args(c.line).join(u' ').toStdString();
        EXPECT_FALSE(answer.Run) << line;
        EXPECT_EQ(answer.ExitCode, kUsageExitCode) << line;
        EXPECT_TRUE(answer.Output.isEmpty()) << line;
        const QStringList lines = answer.Error.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3) << line;
        EXPECT_EQ(lines[0], QString::fromUtf8(c.problem)) << line;
        EXPECT_EQ(lines[1], QStringLiteral("Usage: nimbrel [--help | --version]")) << line;
    }
}

} // namespace
