#include "AutostartEntry.h"

#include "SafeFile.h"
#include "SettingsLocation.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kAutostartFolder = QStringLiteral("autostart/");
const QString kEntryFileName = QStringLiteral("nimbrel.desktop");
// Characters that force an argument of the Exec key into double quotes.
const QString kReservedCharacters = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
// Inside double quotes these take a backslash.
const QString kQuoteEscaped = QStringLiteral("\"`$\\");

// The escapes every string value of a desktop entry may use; a leading space
// would otherwise be trimmed by readers.
QString EscapeValue(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (escaped.isEmpty() && c == QLatin1Char(' ')) {
            escaped += QStringLiteral("\\s");
            continue;
        }
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

// One Exec argument: quoted when it holds a reserved character, '%' doubled so no
// field code is seen; the value escapes are applied on top by the caller.
QString QuoteArgument(const QString &argument)
{
    QString quoted;
    const bool needsQuotes = std::any_of(argument.begin(), argument.end(),
                                         [](QChar c) { return kReservedCharacters.contains(c); });
    for (const QChar c : argument) {
        if (needsQuotes && kQuoteEscaped.contains(c))
            quoted += QLatin1Char('\\');
        quoted += c;
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
    }
    return needsQuotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

bool HasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

QString AutostartEntryPath()
{
    const QString configFolder = UserConfigFolder();
    if (configFolder.isEmpty())
        return {};
    return configFolder + kAutostartFolder + kEntryFileName;
}

QString AutostartEntryText(const QString &name, const QString &executablePath, const QString &iconName)
{
    const QString program = QFileInfo(executablePath).absoluteFilePath();
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=%1\n"
                                  "Exec=%2\n")
                       .arg(EscapeValue(name), EscapeValue(QuoteArgument(program)));
    if (!iconName.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(EscapeValue(iconName));
    return text + QStringLiteral("Terminal=false\n");
}

bool WriteAutostartEntry(const QString &name, const QString &executablePath, const QString &iconName)
{
    const QString path = AutostartEntryPath();
    if (path.isEmpty() || executablePath.isEmpty() || HasControlCharacter(executablePath))
        return false;
    QString ignored;
    if (!MakePrivateFolder(QFileInfo(path).path(), TLinkRule::FollowUserLink, ignored))
        return false;
    // The entry is the program's own: a link in its place is replaced.
    return WritePrivateFile(path, AutostartEntryText(name, executablePath, iconName).toUtf8(),
                            TLinkRule::ReplaceLink, ignored);
}

bool RemoveAutostartEntry()
{
    const QString path = AutostartEntryPath();
    if (path.isEmpty())
        return false;
    const QFileInfo entry(path);
    if (!entry.exists() && !entry.isSymLink())
        return true;
    return QFile::remove(path);
}
