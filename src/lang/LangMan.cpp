#include "LangMan.h"

#include "DataFolders.h"
#include "LangFileText.h"
#include "LangWildcard.h"
#include "SafeFile.h"
#include "TextCodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kSectionLanguageFile = QStringLiteral("language file");
const QString kSectionConstants = QStringLiteral("constants");
const QString kSectionMessages = QStringLiteral("messages");
const QString kKeyLanguageName = QStringLiteral("languagename");
const QString kKeyRightToLeft = QStringLiteral("rtl");
const QString kExtBase = QStringLiteral("lng");
const QString kExtPacked = QStringLiteral("lngz");
const QString kExtUser = QStringLiteral("lngu");
const QString kErrorSeparator = QStringLiteral("\r\n");
constexpr QChar kResourceKeyMark = u'@';

QString WithDelimiter(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Reads a file whole, refusing what cannot be a language file. The error texts
// name the file, as they end up in front of the user.
bool ReadLanguageText(const QString &path, QString &text, QString &error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    QString reason;
    // A pipe or device never blocks here, and a huge file is not read at all.
    switch (ReadRegularFile(path, kMaxLanguageFileBytes, bytes, reason)) {
    case TReadOutcome::Read:
        break;
    case TReadOutcome::TooLarge:
        error = QStringLiteral("File \"%1\" is too large for a language file.").arg(shown);
        return false;
    case TReadOutcome::Missing:
    case TReadOutcome::Refused:
        error = QStringLiteral("Cannot open file \"%1\". %2").arg(shown, reason);
        return false;
    }
    text = DecodeTextFile(bytes); // a mark decides, else UTF-8 or Windows-1252
    // Text files hold no NUL characters; a file that does is binary junk.
    if (text.contains(QChar(u'\0'))) {
        error = QStringLiteral("File \"%1\" is not a language file.").arg(shown);
        return false;
    }
    return true;
}

// The file's code: the text between the last two dots of its name.
QString CodeOfFile(const QString &fileName)
{
    const qsizetype lastDot = fileName.lastIndexOf(u'.');
    if (lastDot <= 0)
        return {};
    const qsizetype previousDot = fileName.lastIndexOf(u'.', lastDot - 1);
    if (previousDot < 0)
        return {};
    return fileName.mid(previousDot + 1, lastDot - previousDot - 1).toLower();
}

bool ListHasName(const QStringList &list, const QString &name)
{
    const QString prefix = name + u'=';
    for (const QString &entry : list) {
        if (entry.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

TLanguageManager::TLanguageManager()
{
    const QString programFolder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                               : QDir::currentPath();
    SetProgramFolder(programFolder);
    FFolder = FProgramFolder + QLatin1String(kLangsFolderName);
}

TLanguageManager::~TLanguageManager()
{
    Clear(true, true, true, true);
}

void TLanguageManager::SetProgramFolder(const QString &folder)
{
    FProgramFolder = WithDelimiter(folder);
    FSearchFolders = FindDataFolders(FProgramFolder).Languages;
}

void TLanguageManager::Clear(bool consts, bool props, bool messages, bool actFiles)
{
    if (consts)
        FLangConsts.Clear();
    if (props)
        FLangProps.Clear();
    if (messages) {
        FEMessList.clear();
        FEMessConv.clear();
    }
    if (actFiles)
        FActiveFiles.clear();
    FLangResStr.Clear();
}

void TLanguageManager::SetTablesSorted(bool sorted)
{
    FLangProps.SetSorted(sorted);
    FLangConsts.SetSorted(sorted);
    FLangResStr.SetSorted(sorted);
}

void TLanguageManager::FindLanguageFiles(const QString &folder, TFoundFiles &found, const QString &code,
                                         QStringList &visitedFolders) const
{
    const QString path = WithDelimiter(folder);
    const QDir dir(path);
    if (FRecursiveFolder) {
        // A link back up the tree must not send the search round for ever.
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (canonical.isEmpty() || visitedFolders.contains(canonical))
            return;
        visitedFolders.append(canonical);
        const QStringList subFolders = dir.entryList(
            QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &sub : subFolders)
            FindLanguageFiles(path + sub, found, code, visitedFolders);
    }

    const QString codeMask = code.isEmpty() ? QStringLiteral("*") : code;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    auto append = [&](const QString &extension, QStringList &into) {
        const QString mask = QStringLiteral("*.") + codeMask + u'.' + extension;
        for (const QString &name : files) {
            // Devices, pipes and sockets (or links to them) are no language
            // files: opening a pipe would wait for a writer for ever.
            if (WildcardMatch(mask, name) && QFileInfo(path + name).isFile())
                into.append(path + name);
        }
    };
    append(kExtBase, found.base);
    append(kExtPacked, found.base);
    append(kExtUser, found.user);
}

TLanguageManager::TFoundFiles TLanguageManager::FindInChosenFolder(const QString &code) const
{
    TFoundFiles found;
    QStringList visited;
    if (!FFolder.isEmpty() && QFileInfo(FFolder).isDir()) {
        FindLanguageFiles(FFolder, found, code, visited);
        return found;
    }
    for (const QString &folder : FSearchFolders) {
        if (!QFileInfo(folder).isDir())
            continue;
        visited.clear();
        FindLanguageFiles(folder, found, code, visited);
        if (!found.base.isEmpty() || !found.user.isEmpty())
            break;
    }
    return found;
}

void TLanguageManager::FilterByFileNames(QStringList &files) const
{
    if (FFileNames.isEmpty())
        return;
    for (qsizetype i = files.size() - 1; i >= 0; --i) {
        const QString name = QFileInfo(files.at(i)).fileName();
        bool accepted = false;
        for (const QString &base : FFileNames) {
            if (WildcardMatch(base + QStringLiteral(".*.*"), name)) {
                accepted = true;
                break;
            }
        }
        if (!accepted)
            files.removeAt(i);
    }
}

void TLanguageManager::GetLanguageFiles(const QString &lngCode, QStringList &pdkFiles,
                                        QStringList &usrFiles) const
{
    TFoundFiles found = FindInChosenFolder(lngCode);
    FilterByFileNames(found.base);
    FilterByFileNames(found.user);
    pdkFiles.append(found.base);
    usrFiles.append(found.user);
}

void TLanguageManager::SetLanguageCode(const QString &code)
{
    FLastError.clear();
    if (code.isEmpty())
        return;

    Clear(true, true, true, true);
    FLanguageCode = code;
    FLanguageName.clear();
    FBiDiMode = TBiDiMode::bdLeftToRight;
    SetTablesSorted(false);

    QStringList baseFiles;
    QStringList userFiles;
    GetLanguageFiles(code, baseFiles, userFiles);
    if (baseFiles.isEmpty() && userFiles.isEmpty()) {
        FLanguageCode.clear();
        SetTablesSorted(true);
        FLastError = QStringLiteral("Language not found (") + code + u')';
        return;
    }

    QString errors;
    QString error;
    for (const QString &file : baseFiles) {
        if (!LoadLanguageFile(file, error))
            errors += kErrorSeparator + error;
    }
    // Base files were appended unsorted; user files replace entries by binary search.
    SetTablesSorted(true);
    for (const QString &file : userFiles) {
        if (!LoadLanguageFile(file, error))
            errors += kErrorSeparator + error;
    }
    FLastError = errors.mid(kErrorSeparator.size());

    if (OnLanguageChanged && FLastError.isEmpty() && FLanguageCode == code)
        OnLanguageChanged(this);
}

void TLanguageManager::Refresh()
{
    SetLanguageCode(FLanguageCode);
}

bool TLanguageManager::LoadLanguageFile(const QString &path, QString &error)
{
    error.clear();
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == kExtPacked) {
        // Packed files are listed as taken but never read.
        FActiveFiles.append(path);
        return false;
    }
    QString text;
    if (!ReadLanguageText(path, text, error))
        return false;
    ParseLanguageFile(text, extension == kExtUser);
    FActiveFiles.append(path);
    return true;
}

void TLanguageManager::ParseLanguageFile(const QString &text, bool replace)
{
    const std::vector<TLangIniSection> sections = ParseLangIni(text);

    const TLangIniSection *languageFile = FindLangSection(sections, kSectionLanguageFile);
    if (FLanguageName.isEmpty())
        FLanguageName = LangSectionValue(languageFile, kKeyLanguageName);
    if (FBiDiMode == TBiDiMode::bdLeftToRight && LangSectionValue(languageFile, kKeyRightToLeft).toInt() != 0)
        FBiDiMode = TBiDiMode::bdRightToLeft;

    QString key;
    QString value;
    for (const TLangIniSection &section : sections) {
        if (section.name.compare(kSectionLanguageFile, Qt::CaseInsensitive) == 0)
            continue;

        if (section.name.compare(kSectionMessages, Qt::CaseInsensitive) == 0) {
            // Pairs of lines; a pattern on the last line has no translation and is dropped.
            for (qsizetype i = 0; i + 1 < section.lines.size(); i += 2) {
                const QString pattern = ExpandLangEscapes(section.lines.at(i));
                const QString translation = ExpandLangEscapes(section.lines.at(i + 1));
                qsizetype existing = -1;
                if (replace) {
                    for (qsizetype j = 0; j < FEMessList.size() && existing < 0; ++j) {
                        if (FEMessList.at(j).compare(pattern, Qt::CaseInsensitive) == 0)
                            existing = j;
                    }
                }
                if (existing >= 0) {
                    FEMessConv[existing] = translation;
                } else {
                    FEMessList.append(pattern);
                    FEMessConv.append(translation);
                }
            }
            continue;
        }

        const bool constants = section.name.compare(kSectionConstants, Qt::CaseInsensitive) == 0;
        const QString prefix = section.name.toUpper() + u'.';
        for (const QString &line : section.lines) {
            if (!SplitLangEntry(line, key, value) || key.isEmpty())
                continue;
            value = ExpandLangEscapes(value);
            if (!constants)
                FLangProps.Put(prefix + key, value, replace);
            else if (key.startsWith(kResourceKeyMark))
                FLangResStr.Put(key, value, replace);
            else
                FLangConsts.Put(key, value, replace);
        }
    }
}

QString TLanguageManager::LangText(const QString &id, const QString &defaultText) const
{
    if (id.isEmpty())
        return ExpandLangEscapes(defaultText);
    const QString upperId = TLangKeyTable::NormalKey(id);
    const QString *found = nullptr;
    if (id.startsWith(kResourceKeyMark)) {
        found = FLangResStr.FindNormal(upperId);
    } else {
        found = FLangConsts.FindNormal(upperId);
        if (!found)
            found = FLangProps.FindNormal(upperId);
    }
    return found ? *found : ExpandLangEscapes(defaultText);
}

QString TLanguageManager::LangString(const QString &aString) const
{
    if (aString.isEmpty())
        return {};
    QString translated;
    for (qsizetype i = 0; i < FEMessList.size(); ++i) {
        if (TranslateByPattern(FEMessList.at(i), FEMessConv.at(i), aString, translated))
            return translated;
    }
    const QString upperKey = TLangKeyTable::NormalKey(aString);
    const QString *found = aString.startsWith(kResourceKeyMark) ? FLangResStr.FindNormal(upperKey)
                                                                : FLangConsts.FindNormal(upperKey);
    if (!found)
        found = FLangProps.FindNormal(upperKey);
    return found ? *found : aString;
}

bool TLanguageManager::GetAvailableLanguages(QStringList &availableLanguages)
{
    FLastError.clear();
    availableLanguages.clear();
    TFoundFiles found = FindInChosenFolder(QString());
    QStringList files = found.base + found.user;
    FilterByFileNames(files);
    for (const QString &file : files) {
        const QFileInfo info(file);
        const QString code = CodeOfFile(info.fileName());
        if (code.isEmpty() || ListHasName(availableLanguages, code))
            continue;
        if (info.suffix().toLower() == kExtPacked)
            continue;
        QString text;
        QString error;
        // A file that cannot be read simply does not name its language.
        if (!ReadLanguageText(file, text, error))
            continue;
        const std::vector<TLangIniSection> sections = ParseLangIni(text);
        const QString name = LangSectionValue(FindLangSection(sections, kSectionLanguageFile), kKeyLanguageName);
        if (!name.isEmpty())
            availableLanguages.append(code + u'=' + name);
    }
    return true;
}

TLanguageManager &GlobalLangManager()
{
    static TLanguageManager manager;
    static const bool named = [] {
        manager.SetFileNames({QLatin1String(kProgramLangFileName)});
        return true;
    }();
    (void)named;
    return manager;
}
