// The preferences dialog: location (typed, or picked from a search of the
// weather service), units, refresh interval, forecast days, language, stay on
// top, start at logon, update checks, the weather service, and the API key with
// its subscription kind for the service that needs one.
#pragma once

#include "DialogPictures.h"
#include "LocationLookup.h"
#include "LocationSelector.h"
#include "RefreshMinutesBox.h"
#include "WeatherRecords.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TLangController;
class TLayoutManagerValues;
class TLinkLabel;
class TOmniBar;
class TThemeController;

// Opens a web address; the desktop's browser unless a test puts its own.
using TOpenUrl = std::function<void(const QUrl &url)>;

class Tdlg_nb_Prefs : public QDialog
{
    Q_OBJECT
    // Texts the dialog sets in code; the language files fill them as
    // "self.<name>" keys of the form's section.
    Q_PROPERTY(QString SearchingText MEMBER FSearchingText)
    Q_PROPERTY(QString NotSearchedText MEMBER FNotSearchedText)
    Q_PROPERTY(QString FoundText MEMBER FFoundText)
    Q_PROPERTY(QString NotFoundText MEMBER FNotFoundText)
    Q_PROPERTY(QString RefreshOffText MEMBER FRefreshOffText)
    Q_PROPERTY(QString WrongRefreshText MEMBER FWrongRefreshText)
    Q_PROPERTY(QString SystemLanguageText MEMBER FSystemLanguageText)
    Q_PROPERTY(QString OwmServiceText MEMBER FOwmServiceText)
    Q_PROPERTY(QString OpenMeteoServiceText MEMBER FOpenMeteoServiceText)

public:
    static constexpr int kMinDays = 3;
    static constexpr int kMaxDays = 16;
    static constexpr int kFreeKeyDays = 5;

    explicit Tdlg_nb_Prefs(TLocationSearch search, QWidget *parent = nullptr);
    ~Tdlg_nb_Prefs() override;

    void SetOpenUrl(TOpenUrl openUrl) { FOpenUrl = std::move(openUrl); }
    // The weather service's web site, whose "/appid#get" page gives keys.
    void SetServiceWebBase(const QString &base) { FServiceWebBase = base; }

    // Fills the controls from the settings and the main window's stay-on-top style.
    void LoadValues(const TLayoutManagerValues &values, bool stayOnTop);
    // The confirm steps: writes the settings; `stayOnTop` gets the choice for
    // the main window's form style.
    void StoreValues(TLayoutManagerValues &values, bool &stayOnTop) const;
    // Puts the focus in the key field, for a start without a key.
    void FocusApiKey();
    // A build without an update page has no update checks to switch: the
    // check box is hidden and the stored choice kept.
    void SetUpdateChecksOffered(bool offered);
    // The service chosen in the dialog (not yet stored).
    TWeatherService Service() const;
    // The credit shown for the chosen service; empty when it asks for none.
    QString AttributionText() const;
    // Why the refresh interval cannot be confirmed; empty while it can.
    QString RefreshMessage() const;

    // Runs the search for the location text on a worker thread; refused (false)
    // while one runs, and for an empty text.
    bool Search();
    bool Searching() const { return FSearching; }
    TLocationState LocationState() const { return FLocationState; }
    qint64 LocationId() const { return FLocationId; }
    // The line under the location: why nothing was found, or the search running.
    QString LocationMessage() const;
    // The selector of the search's result while it is open.
    Tdld_nb_LS *Selector() const { return FSelector; }

    QLineEdit *FLocationEdit = nullptr;
    QPushButton *FSearchButton = nullptr;
    QGroupBox *FUnitsGroup = nullptr;
    QRadioButton *FMetricRadio = nullptr;
    QRadioButton *FImperialRadio = nullptr;
    TRefreshMinutesBox *FIntervalSpin = nullptr;
    QSpinBox *FDaysSpin = nullptr;
    // "System" (item 0, no code), then the shipped languages by their own names.
    QComboBox *FLanguageCombo = nullptr;
    QCheckBox *FOnTopCheck = nullptr;
    QCheckBox *FStartupCheck = nullptr;
    QCheckBox *FUpdatesCheck = nullptr;
    QCheckBox *FOwnPicturesCheck = nullptr;
    // The current temperature as the tray's picture (TT).
    QCheckBox *FTrayTempCheck = nullptr;
    QLineEdit *FKeyEdit = nullptr;
    QToolButton *FShowKeyButton = nullptr;
    QPushButton *FGetKeyButton = nullptr;
    QCheckBox *FPaidCheck = nullptr;
    // "OpenWeatherMap (API key)" (item 0) and "Open-Meteo (no key)".
    QComboBox *FServiceCombo = nullptr;
    // The chosen service's credit, a link to its site; empty for OpenWeatherMap.
    TLinkLabel *FAttribution = nullptr;
    QPushButton *FOkButton = nullptr;
    QPushButton *FCancelButton = nullptr;
    QAction *LocationStateAction() const { return FLocStateAction; }

signals:
    // A search ended and its result was shown (or discarded).
    void SearchFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void BuildHeader();
    void BuildBody();
    void BuildFooter();
    void SetTabOrder();
    void PaidChanged();
    void ServiceChanged();
    void BuildServiceChoice();
    void LocationEdited();
    void SetLocationState(TLocationState state);
    void SetLocationMessage(const QString &text);
    void SetBusy(bool busy);
    void SearchDone();
    void ApplyChoice(int result);
    void LanguageChanged();
    void FillLanguages();
    void OpenUrl(const QUrl &url) const;
    void CancelSearch();
    void RefreshValidityChanged(bool valid);

    TLocationSearch FSearch;
    TOpenUrl FOpenUrl;
    QString FServiceWebBase;
    TRequestRecord FReq;
    TCities FCities;
    qint64 FLocationId = -1;
    // The location text the id belongs to: the stored one, or the picked place.
    QString FIdText;
    // Where that place is, when known: a place typed anew loses them.
    bool FHasCoordinates = false;
    double FLatitude = 0;
    double FLongitude = 0;
    // The refresh interval as stored, and as the spin edit first showed it.
    int FStoredRefresh = 0;
    int FShownRefresh = 0;
    // The language as stored, and the entry first shown for it.
    QString FStoredLanguage;
    int FShownLanguage = 0;
    TLocationState FLocationState = lsNotSearched;
    bool FSearching = false;
    std::shared_ptr<std::atomic<bool>> FCancel;
    QFutureWatcher<TLookupResult> *FWatcher = nullptr;
    QPointer<Tdld_nb_LS> FSelector;

    QString FSearchingText = QStringLiteral("Searching...");
    QString FNotSearchedText = QStringLiteral("Location not searched");
    QString FFoundText = QStringLiteral("Location found");
    QString FNotFoundText = QStringLiteral("Location not found");
    QString FRefreshOffText = QStringLiteral("off");
    QString FWrongRefreshText = QStringLiteral("The refresh interval is off (0) or 10 to 1440 minutes.");
    QString FSystemLanguageText = QStringLiteral("System");
    QString FOwmServiceText = QStringLiteral("OpenWeatherMap (API key)");
    QString FOpenMeteoServiceText = QStringLiteral("Open-Meteo (no key)");

    TThemeController *FTheme = nullptr;
    TLangController *FLangCtrl = nullptr;
    TOmniBar *FHeader = nullptr;
    TLinkLabel *FIcon = nullptr;
    TLinkLabel *FTitle = nullptr;
    TLinkLabel *FRights = nullptr;
    TLinkLabel *FLogo = nullptr;
    QAction *FLocStateAction = nullptr;
    QLabel *FLocationLabel = nullptr;
    QLabel *FIntervalLabel = nullptr;
    QLabel *FDaysLabel = nullptr;
    QLabel *FLanguageLabel = nullptr;
    QLabel *FKeyLabel = nullptr;
    QLabel *FServiceLabel = nullptr;
    QLabel *FLocationMessageLabel = nullptr;
    QLabel *FIntervalMessageLabel = nullptr;
    QProgressBar *FBusy = nullptr;
    QButtonGroup *FUnits = nullptr;
};
