#include "WeatherIcons.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace {

const QByteArray kPngSignature = QByteArray::fromRawData("\x89PNG\r\n\x1a\n", 8);

} // namespace

bool IsIconFileName(const QString &name)
{
    static const QRegularExpression rule(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9]{1,3}\\.png")));
    return rule.match(name).hasMatch();
}

bool HasPngSignature(const QByteArray &bytes)
{
    return bytes.startsWith(kPngSignature);
}

QString IconUrl(const QString &webBase, const QString &name)
{
    return webBase + QStringLiteral("/img/w/") + name;
}

QString IconFilePath(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool WriteIconFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void DownloadIconFiles(const QStringList &names, const QString &folder, const TIconFetcher &fetch)
{
    QByteArray bytes; // one buffer serves the whole run
    for (const QString &name : names) {
        if (!IsIconFileName(name))
            continue;
        if (!fetch(name, bytes) || !HasPngSignature(bytes))
            continue;
        // A file that cannot be written is skipped like a failed download.
        WriteIconFile(IconFilePath(folder, name), bytes);
    }
}
