#include "SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace {

const char *const kConfigHomeVariable = "XDG_CONFIG_HOME";
const QString kDefaultConfigFolder = QStringLiteral(".config/");
const QString kVendorProductFolder = QStringLiteral("Zelto/Nimbrel/");
const QString kSettingsExtension = QStringLiteral(".ini");
constexpr long kFallbackPasswdBufferSize = 16384;

QString WithTrailingSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// $HOME, else the home folder of the user's account entry.
QString HomeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = kFallbackPasswdBufferSize;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd entry {};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr
        || found->pw_dir == nullptr)
        return {};
    const QString fromAccount = QFile::decodeName(found->pw_dir);
    return QDir::isAbsolutePath(fromAccount) ? fromAccount : QString();
}

} // namespace

QString UserConfigFolder()
{
    // Relative values are invalid by the base-directory rules and are ignored.
    const QString configHome = qEnvironmentVariable(kConfigHomeVariable);
    if (QDir::isAbsolutePath(configHome))
        return WithTrailingSlash(QDir::cleanPath(configHome));
    const QString home = HomeFolder();
    if (home.isEmpty())
        return {};
    return WithTrailingSlash(QDir::cleanPath(home)) + kDefaultConfigFolder;
}

QString SettingsFileName(const QString &executablePath, bool portable)
{
    const QFileInfo executable(executablePath);
    const QString fileName = executable.completeBaseName() + kSettingsExtension;
    if (portable)
        return WithTrailingSlash(executable.absolutePath()) + fileName;
    return UserConfigFolder() + kVendorProductFolder + fileName;
}
