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

    QString LanguageCode() const { return FLanguageCode; }
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

    const QStringList &ActiveFiles() const { return FActiveFiles; }
    const QStringList &FileNames() const { return FFileNames; }
    void SetFileNames(const QStringList &names) { FFileNames = names; }
    const QString &Folder() const { return FFolder; }
    void SetFolder(const QString &folder) { FFolder = folder; }
    bool RecursiveFolder() const { return FRecursiveFolder; }
    void SetRecursiveFolder(bool recursive) { FRecursiveFolder = recursive; }
    const QString &LanguageName() const { return FLanguageName; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    const TLangKeyTable &Properties() const { return FLangProps; }
    const TLangKeyTable &Constants() const { return FLangConsts; }
    const TLangKeyTable &ResourceStrings() const { return FLangResStr; }
    bool AllowSpecialProps() const { return FAllowSpecialProps; }
    void SetAllowSpecialProps(bool allow) { FAllowSpecialProps = allow; }
    const QString &LastError() const { return FLastError; }
    // For the form localizer, which reports its errors here.
    void SetLastError(const QString &error) { FLastError = error; }

    // The folder the executable runs from, with a trailing "/". Setting it
    // also sets the search folders to the program's language folders found
    // from it (installed, beside it, the build tree); tests point it elsewhere.
    const QString &ProgramFolder() const { return FProgramFolder; }
    void SetProgramFolder(const QString &folder);
    // Searched in order when Folder is empty or missing; the first that holds
    // any file of the language wins.
    const QStringList &SearchFolders() const { return FSearchFolders; }
    void SetSearchFolders(const QStringList &folders) { FSearchFolders = folders; }

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

    bool FAllowSpecialProps = true;
    bool FRecursiveFolder = false;
    QStringList FActiveFiles;
    QStringList FFileNames;
    QString FFolder;
    QString FLanguageCode;
    QString FLanguageName;
    TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
    TLangKeyTable FLangProps;
    TLangKeyTable FLangConsts;
    QStringList FEMessList;
    QStringList FEMessConv;
    TLangKeyTable FLangResStr;
    QString FLastError;
    QString FProgramFolder;
    QStringList FSearchFolders;
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
