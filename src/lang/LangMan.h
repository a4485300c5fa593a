#pragma once

#include "LangKeyTable.h"

#include <QString>
#include <QStringList>

#include <functional>

enum class TBiDiMode { bdLeftToRight, bdRightToLeft };

// Finds the language files of one language, reads them into lookup tables and
// answers text requests. Every lookup takes the built-in text as default, so
// the program runs complete without any language file.
class TLanguageManager
{
public:
    using TNotifyEvent = std::function<void(TLanguageManager *sender)>;

    TLanguageManager();
    ~TLanguageManager();
    TLanguageManager(const TLanguageManager &) = delete;
    TLanguageManager &operator=(const TLanguageManager &) = delete;

    // The resource-string table is emptied on every call.
    void Clear(bool consts, bool props, bool messages, bool actFiles);

    QString LanguageCode() const { return fLanguageCode; }
    // Loads the language `code`; an empty code only clears LastError.
    void SetLanguageCode(const QString &code);
    // Loads the current language again.
    void Refresh();

    // Fills the list with "code=name" entries of the installed languages.
    bool GetAvailableLanguages(QStringList &availableLanguages);
    // Appends the base files (.lng, .lngz) of a language to `pdkFiles` and its
    // user files (.lngu) to `usrFiles`; the lists are not cleared.
    void GetLanguageFiles(const QString &lngCode, QStringList &pdkFiles, QStringList &usrFiles) const;

    // Text of a constant or of a property key ("SECTION.key"); the default,
    // escapes expanded, when there is none.
    QString LangText(const QString &id, const QString &defaultText = QString()) const;
    // Translation of a whole message through the message patterns.
    QString LangString(const QString &aString) const;
    QString LangMess(const QString &aMessage) const { return LangString(aMessage); }

    const QStringList &ActiveFiles() const { return fActiveFiles; }
    const QStringList &FileNames() const { return fFileNames; }
    void SetFileNames(const QStringList &names) { fFileNames = names; }
    const QString &Folder() const { return fFolder; }
    void SetFolder(const QString &folder) { fFolder = folder; }
    bool RecursiveFolder() const { return fRecursiveFolder; }
    void SetRecursiveFolder(bool recursive) { fRecursiveFolder = recursive; }
    const QString &LanguageName() const { return fLanguageName; }
    TBiDiMode BiDiMode() const { return fBiDiMode; }
    const TLangKeyTable &Properties() const { return fLangProps; }
    const TLangKeyTable &Constants() const { return fLangConsts; }
    const TLangKeyTable &ResourceStrings() const { return fLangResStr; }
    bool AllowSpecialProps() const { return fAllowSpecialProps; }
    void SetAllowSpecialProps(bool allow) { fAllowSpecialProps = allow; }
    const QString &LastError() const { return fLastError; }
    // For the form localizer, which reports its errors here.
    void SetLastError(const QString &error) { fLastError = error; }

    // The folder the executable runs from, with a trailing "/". Setting it
    // also sets the search folders to the program's language folders found
    // from it (installed, beside it, the build tree); tests point it elsewhere.
    const QString &ProgramFolder() const { return fProgramFolder; }
    void SetProgramFolder(const QString &folder);
    // Searched in order when Folder is empty or missing; the first that holds
    // any file of the language wins.
    const QStringList &SearchFolders() const { return fSearchFolders; }
    void SetSearchFolders(const QStringList &folders) { fSearchFolders = folders; }

    // Raised after a load that left LastError empty.
    TNotifyEvent OnLanguageChanged;

private:
    struct TFoundFiles
    {
        QStringList base;
        QStringList user;
    };

    void FindLanguageFiles(const QString &folder, TFoundFiles &found, const QString &code,
                           QStringList &visitedFolders) const;
    TFoundFiles FindInChosenFolder(const QString &code) const;
    void FilterByFileNames(QStringList &files) const;
    void SetTablesSorted(bool sorted);
    bool LoadLanguageFile(const QString &path, QString &error);
    void ParseLanguageFile(const QString &text, bool replace);

    bool fAllowSpecialProps = true;
    bool fRecursiveFolder = false;
    QStringList fActiveFiles;
    QStringList fFileNames;
    QString fFolder;
    QString fLanguageCode;
    QString fLanguageName;
    TBiDiMode fBiDiMode = TBiDiMode::bdLeftToRight;
    TLangKeyTable fLangProps;
    TLangKeyTable fLangConsts;
    QStringList fEMessList;
    QStringList fEMessConv;
    TLangKeyTable fLangResStr;
    QString fLastError;
    QString fProgramFolder;
    QStringList fSearchFolders;
};

// The program's base name of language files ("Nimbrel.de.lng").
inline constexpr char kProgramLangFileName[] = "Nimbrel";
// The languages folder beside the executable.
inline constexpr char kLangsFolderName[] = "Langs";
// Language files larger than this are refused rather than read into memory.
inline constexpr qint64 kMaxLanguageFileBytes = 16 * 1024 * 1024;

// The one process-wide manager, created on first use with the program's file
// name; the start-up gives it the user's language.
TLanguageManager &GlobalLangManager();
