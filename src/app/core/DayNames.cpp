#include "DayNames.h"

#include "DataFolders.h"
#include "LangConsts.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A calendar of 366 short lines is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxDayNamesBytes = 1024 * 1024;
constexpr int kFebruary = 2;
constexpr char kShippedBaseName[] = "Nimbrel";

QString WithSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace

int DayNameIndex(const QDate &date)
{
    if (!date.isValid())
        return 0;
    int index = date.dayOfYear();
    if (!QDate::isLeapYear(date.year()) && date.month() > kFebruary)
        ++index;
    return index;
}

QString DayNames(const QStringList &lines, const QDate &date, bool withFallback)
{
    const int index = DayNameIndex(date);
    QString names;
    if (index >= 1 && index <= lines.size()) {
        const QString &line = lines.at(index - 1);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0)
            names = line.mid(equals + 1).trimmed();
    }
    // The line index counts every year as a leap year; the number shown is the
    // date's own day of the year.
    if (names.isEmpty() && withFallback && index > 0)
        names = lc_Day + QLatin1Char(' ') + QString::number(date.dayOfYear());
    return names;
}

QStringList LoadDayNames(const QString &namesFile)
{
    QByteArray bytes;
    QString ignored; // no calendar is as good as a damaged one
    if (ReadRegularFile(namesFile, kMaxDayNamesBytes, bytes, ignored) != TReadOutcome::Read)
        return {};
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QString DayNamesFileName(const QString &settingsFile)
{
    const qsizetype slash = settingsFile.lastIndexOf(QLatin1Char('/'));
    const QString folder = settingsFile.left(slash + 1);
    QString name = settingsFile.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return folder + name + QLatin1String(kDayNamesExtension);
}

QString ShippedDayNamesName(const QString &languageCode)
{
    static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z]{2,3}([_-][A-Za-z0-9]{2,8})?$"));
    if (!plainCode.match(languageCode).hasMatch())
        return {};
    return QLatin1String(kShippedBaseName) + QLatin1Char('.') + languageCode
           + QLatin1String(kDayNamesExtension);
}

QStringList ShippedDayNamesFolders(const QString &executableFolder)
{
    // The current folder last, where the calendar of a program started from its
    // own folder has always been found.
    QStringList folders = FindDataFolders(executableFolder).Data;
    const QString current = QDir::currentPath() + QLatin1Char('/');
    if (!folders.contains(current))
        folders << current;
    return folders;
}

bool EnsureDayNamesFile(const QString &namesFile, const QString &shippedName,
                        const QStringList &searchFolders)
{
    if (QFileInfo::exists(namesFile))
        return true;
    if (shippedName.isEmpty())
        return false;
    for (const QString &folder : searchFolders) {
        QByteArray bytes;
        QString ignored;
        if (ReadRegularFile(WithSeparator(folder) + shippedName, kMaxDayNamesBytes, bytes, ignored)
            != TReadOutcome::Read)
            continue;
        // Written whole through a temporary file, so an interrupted copy leaves
        // no half calendar that would keep the whole one from being copied; the
        // copy is the program's own, so a link in its place is replaced.
        return WritePrivateFile(namesFile, bytes, TLinkRule::ReplaceLink, ignored);
    }
    return false;
}
