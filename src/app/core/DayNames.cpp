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

QByteArray ReadCalendarBytes(const QString &path, bool &ok)
{
    QFile file(path);
    ok = false;
    if (!QFileInfo(path).isFile() || file.size() > kMaxDayNamesBytes || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kMaxDayNamesBytes + 1);
    ok = bytes.size() <= kMaxDayNamesBytes && file.error() == QFileDevice::NoError;
    return bytes;
}

// Whether the file holds exactly what one of the shipped calendars holds: the
// program put it there, the user did not.
bool IsShippedCopy(const QString &namesFile, const QStringList &searchFolders)
{
    bool ok = false;
    const QByteArray own = ReadCalendarBytes(namesFile, ok);
    if (!ok)
        return false; // too large or unreadable: not ours to replace
    const QString pattern = QLatin1String(kShippedBaseName) + QStringLiteral(".*") + QLatin1String(kDayNamesExtension);
    const QString ownPath = QFileInfo(namesFile).absoluteFilePath();
    const QDir::Filters filters = QDir::Files | QDir::Readable | QDir::CaseSensitive;
    for (const QString &folder : searchFolders) {
        for (const QFileInfo &shipped : QDir(folder).entryInfoList({pattern}, filters)) {
            if (shipped.size() != own.size() || shipped.absoluteFilePath() == ownPath)
                continue;
            bool read = false;
            if (ReadCalendarBytes(shipped.absoluteFilePath(), read) == own && read)
                return true;
        }
    }
    return false;
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

QString ChooseDayNamesFile(const QString &namesFile, const QString &languageCode,
                           const QStringList &searchFolders)
{
    if (QFileInfo(namesFile).isFile() && !IsShippedCopy(namesFile, searchFolders))
        return namesFile;
    const QString shippedName = ShippedDayNamesName(languageCode);
    if (shippedName.isEmpty())
        return {};
    for (const QString &folder : searchFolders) {
        const QString path = WithSeparator(folder) + shippedName;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}
