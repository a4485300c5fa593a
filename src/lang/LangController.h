#pragma once

#include "LangMan.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Connects one form to a language manager: when the language changes it
// applies the manager's property texts to its form, raises events for texts
// the form sets in code, and reports load errors. Created as a child of its
// form; the form calls Loaded() once its widgets exist. The first controller
// created becomes the main controller, which hears the manager's change and
// passes it on to the controllers of all other open forms.
class TLangController : public QObject
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TLangController *sender)>;
    using TLangCtrlGetCustomLangManEvent = std::function<void(TLangController *sender, TLanguageManager *&aLangManager)>;

    explicit TLangController(QObject *owner);
    ~TLangController() override;

    void Loaded();

    bool AutoInitLanguage() const { return FAutoInitLanguage; }
    void SetAutoInitLanguage(bool value) { FAutoInitLanguage = value; }
    bool DefaultErrorMessage() const { return FDefaultErrorMessage; }
    void SetDefaultErrorMessage(bool value) { FDefaultErrorMessage = value; }
    QString DefaultLangCode() const { return FDefaultLangCode; }
    void SetDefaultLangCode(const QString &code) { FDefaultLangCode = code; }
    // True while this controller holds its manager's change notification.
    bool IsMainController() const;

    TLanguageManager *LangManager() const;
    QString LanguageCode() const;
    void SetLanguageCode(const QString &code);
    QString LanguageName() const;
    QString LastError() const;
    Qt::LayoutDirection BiDiMode() const;

    bool GetAvailableLanguages(QStringList &aList);
    int LanguagesCount();
    QString LanguageCodes(int index);
    QString LanguageNames(int index);
    int LanguageIndexByCode(const QString &code);
    void RefreshLanguages();
    void Refresh();

    TNotifyEvent OnBeforeLangChange;
    TNotifyEvent OnError;
    TLangCtrlGetCustomLangManEvent OnGetCustomLangManager;
    TNotifyEvent OnInitLangManager;
    TNotifyEvent OnLanguageChanged;

private:
    void DoLanguageChanged(TLanguageManager *manager);
    void HookManager(TLanguageManager *manager);
    void ReportError();
    void ShowDefaultError();
    void CallInitLangManager();
    const QStringList *AvailLangs();

    std::unique_ptr<QStringList> FAvailLangs;
    bool FAutoInitLanguage = true;
    bool FDefaultErrorMessage = true;
    QString FDefaultLangCode;
    bool FIsMainController = false;
    bool FLCErrorHandled = false;
    TLanguageManager *FHookedManager = nullptr;
};

// Program-wide captions of the message boxes; a language change may replace them.
struct TMessageBoxCaptions
{
    QString confirmation = QStringLiteral("Confirmation");
    QString warning = QStringLiteral("Warning");
    QString information = QStringLiteral("Information");
    QString error = QStringLiteral("Error");
    QString debug = QStringLiteral("Debug message");
};
TMessageBoxCaptions &MessageBoxCaptions();

// How many message boxes of the program are open right now.
int OpenMessageBoxCount();

// Asks a yes/no question over the active window; true for Yes. An empty
// caption takes the confirmation caption. With `restore`, a minimised program
// is brought back first.
bool ConfirmDialog(const QString &text, const QString &caption = QString(), bool restore = false);
