#include "WeatherIcons.h"

#include "SafeFile.h"

#include <QRegularExpression>

namespace {

const QByteArray kPngSignature = QByteArray::fromRawData("\x89PNG\r\n\x1a\n", 8);
// Length 0, type "IEND" and its fixed checksum: the last twelve bytes of every PNG.
const QByteArray kPngEndChunk = QByteArray::fromRawData("\0\0\0\0IEND\xAE\x42\x60\x82", 12);

} // namespace

bool IsIconFileName(const QString &name)
{
    static const QRegularExpression rule(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9]{1,3}\\.png")));
    return rule.match(name).hasMatch();
}

bool IsWholePng(const QByteArray &bytes)
{
    return bytes.size() >= kPngSignature.size() + kPngEndChunk.size() && bytes.startsWith(kPngSignature)
           && bytes.endsWith(kPngEndChunk);
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
    // The program alone makes the pictures: a link in their place is replaced.
    QString ignored;
    return WritePrivateFile(path, bytes, TLinkRule::ReplaceLink, ignored);
}

QStringList DownloadIconFiles(const QStringList &names, const QString &folder, const TIconFetcher &fetch)
{
    QStringList written;
    QByteArray bytes; // one buffer serves the whole run
    for (const QString &name : names) {
        if (!IsIconFileName(name))
            continue;
        if (!fetch(name, bytes) || !IsWholePng(bytes))
            continue;
        // A file that cannot be written is skipped like a failed download.
        if (WriteIconFile(IconFilePath(folder, name), bytes))
            written << name;
    }
    return written;
}
