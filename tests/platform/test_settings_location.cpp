#include "SettingsLocation.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

struct TConfigCase {
    const char *ConfigHome; // nullptr: unset
    const char *Expected;
};

TEST(UserConfigFolder, FollowsAbsoluteConfigHomeElseHome)
{
    TScopedEnvironment environment;
    environment.Set("HOME", "/home/ana");
    const TConfigCase cases[] = {
        {"/cfg", "/cfg/"},
        {"/cfg/", "/cfg/"},
        {"/cfg//sub/../x", "/cfg/x/"},
        {"cfg", "/home/ana/.config/"},       // relative: invalid, ignored
        {"./cfg", "/home/ana/.config/"},
        {"", "/home/ana/.config/"},
        {nullptr, "/home/ana/.config/"},
    };
    for (const TConfigCase &c : cases) {
        if (c.ConfigHome)
            environment.Set("XDG_CONFIG_HOME", c.ConfigHome);
        else
            environment.Unset("XDG_CONFIG_HOME");
        EXPECT_EQ(UserConfigFolder(), QString::fromUtf8(c.Expected)) << (c.ConfigHome ? c.ConfigHome : "(unset)");
    }
}

TEST(UserConfigFolder, WithoutHomeVariableUsesTheAccount)
{
    TScopedEnvironment environment;
    environment.Unset("XDG_CONFIG_HOME");
    environment.Unset("HOME");
    const passwd *account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const QString home = QFile::decodeName(account->pw_dir);
    EXPECT_EQ(UserConfigFolder(), (home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/'))
                                      + QStringLiteral(".config/"));
}

struct TSettingsCase {
    const char *Executable;
    bool Portable;
    const char *Expected;
};

TEST(SettingsFileName, BesideTheExecutableOrInTheVendorFolder)
{
    TScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", "/cfg");
    const TSettingsCase cases[] = {
        {"/media/ana/STICK/apps/nimbrel", true, "/media/ana/STICK/apps/nimbrel.ini"},
        {"/media/ana/STICK/apps/Nimbrel.exe", true, "/media/ana/STICK/apps/Nimbrel.ini"},
        {"/media/ana/STICK/my apps/nimbrel.1.2", true, "/media/ana/STICK/my apps/nimbrel.1.ini"},
        {"/usr/bin/nimbrel", false, "/cfg/Zelto/Nimbrel/nimbrel.ini"},
        {"/opt/nimbrel/bin/nimbrel.bin", false, "/cfg/Zelto/Nimbrel/nimbrel.ini"},
    };
    for (const TSettingsCase &c : cases)
        EXPECT_EQ(SettingsFileName(QString::fromUtf8(c.Executable), c.Portable), QString::fromUtf8(c.Expected))
            << c.Executable;
}

} // namespace
