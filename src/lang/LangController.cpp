#include "LangController.h"

#include "LangForm.h"
#include "UserLanguageCode.h"

#include <QApplication>
#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

namespace {

const QString kFallbackLanguage = QStringLiteral("en");

int gOpenMessageBoxes = 0;

// Which controller holds each manager's change notification, so that a
// controller lets go only of a hook that is still its own.
QHash<const TLanguageManager *, const TLangController *> &HookOwners()
{
    static QHash<const TLanguageManager *, const TLangController *> owners;
    return owners;
}

// Counts the box as open while it is shown.
class TOpenBoxGuard
{
public:
    TOpenBoxGuard() { ++gOpenMessageBoxes; }
    ~TOpenBoxGuard() { --gOpenMessageBoxes; }
    TOpenBoxGuard(const TOpenBoxGuard &) = delete;
    TOpenBoxGuard &operator=(const TOpenBoxGuard &) = delete;
};

// The active window, else the program's main window: a main-window widget,
// or (as this program's forms are plain widgets) any shown top-level window.
QWidget *DialogParent()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    QWidget *shownWindow = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || widget->isMinimized() || widget->windowType() != Qt::Window)
            continue;
        if (widget->inherits("QMainWindow"))
            return widget;
        if (!shownWindow)
            shownWindow = widget;
    }
    return shownWindow;
}

QString EntryCode(const QString &entry)
{
    return entry.section(u'=', 0, 0);
}

QString EntryName(const QString &entry)
{
    return entry.section(u'=', 1);
}

// The first controller among the direct children of a form; searched from the
// end when `fromEnd`.
TLangController *FirstControllerOf(QObject *container, bool fromEnd)
{
    const QObjectList &children = container->children();
    if (fromEnd) {
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            if (auto *controller = qobject_cast<TLangController *>(*it))
                return controller;
        }
        return nullptr;
    }
    for (QObject *child : children) {
        if (auto *controller = qobject_cast<TLangController *>(child))
            return controller;
    }
    return nullptr;
}

} // namespace

TLangController::TLangController(QObject *owner)
    : QObject(owner)
{
    TLanguageManager *manager = LangManager();
    if (manager && !manager->OnLanguageChanged)
        HookManager(manager);
}

TLangController::~TLangController()
{
    if (FIsMainController && FHookedManager && HookOwners().value(FHookedManager) == this) {
        FHookedManager->OnLanguageChanged = nullptr;
        HookOwners().remove(FHookedManager);
    }
}

bool TLangController::IsMainController() const
{
    return FIsMainController && FHookedManager && HookOwners().value(FHookedManager) == this;
}

void TLangController::HookManager(TLanguageManager *manager)
{
    manager->OnLanguageChanged = [this](TLanguageManager *sender) { DoLanguageChanged(sender); };
    FHookedManager = manager;
    FIsMainController = true;
    HookOwners().insert(manager, this);
}

TLanguageManager *TLangController::LangManager() const
{
    if (OnGetCustomLangManager) {
        TLanguageManager *custom = nullptr;
        OnGetCustomLangManager(const_cast<TLangController *>(this), custom);
        return custom;
    }
    return &GlobalLangManager();
}

QString TLangController::LanguageCode() const
{
    TLanguageManager *manager = LangManager();
    return manager ? manager->LanguageCode() : QString();
}

QString TLangController::LanguageName() const
{
    TLanguageManager *manager = LangManager();
    return manager ? manager->LanguageName() : QString();
}

QString TLangController::LastError() const
{
    TLanguageManager *manager = LangManager();
    return manager ? manager->LastError() : QString();
}

Qt::LayoutDirection TLangController::BiDiMode() const
{
    TLanguageManager *manager = LangManager();
    if (!manager)
        return QGuiApplication::layoutDirection();
    return manager->BiDiMode() == TBiDiMode::bdRightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
}

void TLangController::DoLanguageChanged(TLanguageManager *manager)
{
    if (!manager || manager != LangManager())
        return;
    if (OnBeforeLangChange)
        OnBeforeLangChange(this);

    if (!LangVCL(*manager, parent())) {
        ReportError();
        FLCErrorHandled = true;
    }

    if (OnLanguageChanged)
        OnLanguageChanged(this);

    // Only the controller holding the hook passes the change on, and only
    // once: a second controller still believing itself main must not start
    // the round again from inside it.
    static bool propagating = false;
    if (!IsMainController() || propagating)
        return;
    propagating = true;
    // The other open forms follow the main one.
    QObject *ownForm = parent();
    bool fromEnd = false;
    if (ownForm) {
        const QObjectList &siblings = ownForm->children();
        fromEnd = siblings.indexOf(this) > siblings.size() / 2;
    }
    for (QWidget *form : QApplication::topLevelWidgets()) {
        if (form == ownForm)
            continue;
        if (TLangController *other = FirstControllerOf(form, fromEnd); other && other != this)
            other->DoLanguageChanged(manager);
    }
    propagating = false;
    FLCErrorHandled = true;
}

void TLangController::ReportError()
{
    if (OnError)
        OnError(this);
    else
        ShowDefaultError();
}

void TLangController::ShowDefaultError()
{
    TLanguageManager *manager = LangManager();
    if (!FDefaultErrorMessage || !manager)
        return;
    QString text;
    if (!manager->LanguageCode().isEmpty())
        text += manager->LanguageName() + QStringLiteral(" (") + manager->LanguageCode() + QStringLiteral("): ");
    if (QObject *owner = parent())
        text += u'[' + owner->objectName() + QStringLiteral(" (") + QString::fromLatin1(owner->metaObject()->className())
                + QStringLiteral(")] ");
    text += manager->LastError();

    TOpenBoxGuard guard;
    QMessageBox::warning(DialogParent(), MessageBoxCaptions().warning, text, QMessageBox::Ok);
}

void TLangController::CallInitLangManager()
{
    TLanguageManager *manager = LangManager();
    if (IsMainController() && manager && manager->LanguageCode().isEmpty() && OnInitLangManager)
        OnInitLangManager(this);
}

void TLangController::Loaded()
{
    TLanguageManager *manager = LangManager();
    if (!manager)
        return;
    if (!IsMainController() || !manager->LanguageCode().isEmpty()) {
        if (!manager->LanguageCode().isEmpty())
            DoLanguageChanged(manager);
        return;
    }

    QString requested;
    if (OnInitLangManager) {
        const QString kept = FDefaultLangCode;
        FDefaultLangCode.clear();
        OnInitLangManager(this);
        requested = FDefaultLangCode;
        FDefaultLangCode = kept;
    }

    FLCErrorHandled = false;
    if (!requested.isEmpty())
        manager->SetLanguageCode(requested);

    if (manager->LanguageCode().isEmpty()) {
        if (FAutoInitLanguage) {
            manager->SetLanguageCode(GetUserLanguageCode());
            if (manager->LanguageCode().isEmpty())
                manager->SetLanguageCode(FDefaultLangCode.isEmpty() ? kFallbackLanguage : FDefaultLangCode);
        } else if (!FDefaultLangCode.isEmpty()) {
            manager->SetLanguageCode(FDefaultLangCode);
        }
    }

    if (!requested.isEmpty())
        FDefaultLangCode = requested;

    if (!manager->LastError().isEmpty() && !FLCErrorHandled)
        ReportError();
}

void TLangController::SetLanguageCode(const QString &code)
{
    TLanguageManager *manager = LangManager();
    if (!manager || manager->LanguageCode().compare(code, Qt::CaseInsensitive) == 0)
        return;
    if (!manager->OnLanguageChanged)
        HookManager(manager);
    CallInitLangManager();
    FLCErrorHandled = false;
    manager->SetLanguageCode(code);
    if (!manager->LastError().isEmpty() && !FLCErrorHandled)
        ReportError();
}

void TLangController::Refresh()
{
    TLanguageManager *manager = LangManager();
    if (manager && !manager->LanguageCode().isEmpty())
        DoLanguageChanged(manager);
}

bool TLangController::GetAvailableLanguages(QStringList &aList)
{
    TLanguageManager *manager = LangManager();
    if (!manager)
        return false;
    const bool ok = manager->GetAvailableLanguages(aList);
    if (&aList == FAvailLangs.get()) {
        // The "C" locale compares code points and would put "Čeština" after
        // "English"; language names sort as a reader expects them then too.
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English);
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(aList.begin(), aList.end(), [&](const QString &a, const QString &b) {
            return collator.compare(EntryName(a), EntryName(b)) < 0;
        });
    }
    if (!ok && !manager->LastError().isEmpty())
        ReportError();
    return ok;
}

const QStringList *TLangController::AvailLangs()
{
    if (!FAvailLangs) {
        FAvailLangs = std::make_unique<QStringList>();
        if (!GetAvailableLanguages(*FAvailLangs))
            FAvailLangs.reset();
    }
    return FAvailLangs.get();
}

void TLangController::RefreshLanguages()
{
    FAvailLangs.reset();
    AvailLangs();
}

int TLangController::LanguagesCount()
{
    const QStringList *list = AvailLangs();
    return list ? static_cast<int>(list->size()) : 0;
}

QString TLangController::LanguageCodes(int index)
{
    const QStringList *list = AvailLangs();
    return list && index >= 0 && index < list->size() ? EntryCode(list->at(index)) : QString();
}

QString TLangController::LanguageNames(int index)
{
    const QStringList *list = AvailLangs();
    return list && index >= 0 && index < list->size() ? EntryName(list->at(index)) : QString();
}

int TLangController::LanguageIndexByCode(const QString &code)
{
    const QStringList *list = AvailLangs();
    if (!list)
        return -1;
    for (qsizetype i = 0; i < list->size(); ++i) {
        if (EntryCode(list->at(i)).compare(code, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

TMessageBoxCaptions &MessageBoxCaptions()
{
    static TMessageBoxCaptions captions;
    return captions;
}

int OpenMessageBoxCount()
{
    return gOpenMessageBoxes;
}

bool ConfirmDialog(const QString &text, const QString &caption, bool restore)
{
    if (restore) {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isMinimized())
                widget->showNormal();
        }
    }
    const QString title = caption.isEmpty() ? MessageBoxCaptions().confirmation : caption;
    TOpenBoxGuard guard;
    return QMessageBox::question(DialogParent(), title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}
