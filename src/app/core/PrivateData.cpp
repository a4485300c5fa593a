#include "PrivateData.h"

#include "SafeFile.h"
#include "WeatherCache.h"
#include "WeatherIcons.h"

#include <QDir>

bool MakeDataFolder(const QString &dataFolder, QString &error)
{
    return MakePrivateFolder(dataFolder, TLinkRule::FollowUserLink, error);
}

QStringList MakeDataPrivate(const QString &dataFolder, const QString &settingsFile, const QString &namesFile,
                            bool includeFolder)
{
    const QDir data(dataFolder);
    QStringList paths{settingsFile, namesFile};
    if (includeFolder)
        paths << data.path();
    for (const QString &name : data.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (IsIconFileName(name))
            paths << data.filePath(name);
    }
    const QDir cache(data.filePath(QString::fromLatin1(kWeatherCacheFolder)));
    if (cache.exists()) {
        paths << cache.path();
        for (const QString &name : cache.entryList(QDir::Files | QDir::Hidden | QDir::System))
            paths << cache.filePath(name);
    }
    return MakePrivate(paths);
}

QString MadePrivateNotice(const QStringList &changed)
{
    if (changed.isEmpty())
        return {};
    QStringList shown;
    for (const QString &path : changed)
        shown << QDir::toNativeSeparators(path);
    return QStringLiteral("nimbrel: other users could read %1; now only you can").arg(shown.join(QStringLiteral(", ")));
}
