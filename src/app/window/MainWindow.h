// The applet's window: a borderless themed form that composes the title bar,
// the current-conditions panel, the forecast list, the menu,
// the tray icon and roll-up, and drives the weather refresh.
#pragma once

#include "EditPreferences.h"
#include "LMFlatForm.h"
#include "LangMan.h"
#include "RefreshCycle.h"
#include "ThemeController.h"
#include "Zelto_OWM.h"

#include <QLocale>
#include <QMenu>
#include <QString>
#include <QStringList>

#include <memory>

class ILayoutManagerCipherer;
class ILayoutManagerStorage;
class QAction;
class TClockControl;
class TEventRefresh;
class TForecastList;
class THeaderPanel;
class TLangController;
class TMainMenu;
class TSystemEvents;
class TTitleBar;
class TTrayIcon;
class TUpdateSchedule;
class TWindowDragFilter;
class TWindowRoll;

// What the start-up decided before the window exists.
struct TWindowStart {
    QString ExecutablePath;
    QString SettingsFile;
    QString LanguageCode;
    // The service's addresses; empty ones keep the client's defaults.
    QString ApiBase;
    QString WebBase;
    // The longest a fetch may take in all; 0 keeps the client's default.
    int TimeoutSeconds = 0;
    // False where the desktop has no notification area.
    bool UseTray = true;
};

class Twnd_nb_Main : public TLMFlatForm
{
    Q_OBJECT

public:
    static inline const QString kApplicationTitle = QStringLiteral("Zelto Nimbrel");

    Twnd_nb_Main(const TWindowStart &start, std::shared_ptr<ILayoutManagerStorage> storage,
                 std::shared_ptr<ILayoutManagerCipherer> cipherer, QWidget *parent = nullptr);
    ~Twnd_nb_Main() override;

    // Runs after the stored values are restored, and again when they change.
    void ApplySettings();
    void RefreshWeather();
    // The user asked for a refresh (button or menu): the waits after failures
    // start again from 30 seconds.
    void ManualRefresh();
    // Shows, restores and raises the window (tray click, a second start).
    void BringToFront();

    TTitleBar *TitleBar() const { return FTitle; }
    THeaderPanel *Header() const { return FHeader; }
    TForecastList *ForecastList() const { return FList; }
    TMainMenu *Menu() const { return FMenu; }
    TRefreshCycle &RefreshCycle() { return *FRefresh; }
    TWindowRoll *Roll() const { return FRoll; }
    TTrayIcon *Tray() const { return FTray; }
    // The update checks: a first look 15 minutes after start, then every 5 hours.
    TUpdateSchedule *Updates() const { return FUpdates; }
    const QString &DataFolder() const { return FDataFolder; }
    const QString &NamesFile() const { return FNamesFile; }
    const QStringList &Names() const { return FNames; }
    // The calendar file the names come from; empty when there is none.
    const QString &NamesSource() const { return FNamesSource; }
    // Whether a refresh has ever succeeded; the panel then keeps its data on failures.
    bool HasWeather() const { return FHasWeather; }
    // The wake and network reports the window listens to.
    TSystemEvents *SystemEvents() const { return FSystemEvents; }
    TClockControl *ClockControl() const { return FClockControl; }

signals:
    // The window was closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildWidgets(bool useTray);
    void PrepareDataFolder(const TWindowStart &start);
    void ConnectActions();
    TRequestRecord CurrentRequest();
    void RefreshStarted();
    void RefreshFinished(const TRefreshResult &result);
    void ShowSuccess(const TRefreshResult &result);
    void ShowFailure(const TRefreshResult &result);
    void ShowCachedWeather();
    void UpdateClockView();
    void PopupMenuFromKeyboard();
    // The preferences dialog; confirmed, the settings are written and applied.
    void cmPreferences(TPrefsFocus focus = TPrefsFocus::Location);
    // A start without an API key opens the dialog once, the key field focused.
    void OfferKeyOnFirstShow();
    // Loads the stored language choice when it names another language than
    // the one shown; the window, its menu and open dialogs follow at once.
    void ApplyLanguage(const QString &stored);
    void LanguageChanged();
    // The day-names calendar for the language (the user's own file wins).
    void LoadCalendar(const QString &languageCode);
    void PlaceBars();
    void ThemeChanged();

    TWindowStart FStart;
    TOwmClient FClient;
    TLanguageManager FReference; // English, to match the service's words
    TThemeController *FTheme;
    TLangController *FLang;
    QMenu FThemeMenu;
    TMainMenu *FMenu;
    TTitleBar *FTitle;
    THeaderPanel *FHeader;
    TForecastList *FList;
    TTrayIcon *FTray = nullptr;
    TWindowRoll *FRoll;
    TWindowDragFilter *FDrag;
    std::unique_ptr<TRefreshCycle> FRefresh;
    TSystemEvents *FSystemEvents = nullptr;
    TEventRefresh *FEventRefresh = nullptr;
    TClockControl *FClockControl = nullptr;
    bool FCacheTried = false;
    TUpdateSchedule *FUpdates;

    QString FU;
    QString FDataFolder;
    QString FNamesFile;
    QStringList FNames;
    QString FNamesSource;
    bool FImperial = false;
    bool FHasWeather = false;
    bool FPrefsOpen = false;
    bool FKeyOffered = false;
    TWeatherRecord FCurrent;
    // What the panel shows, to write it again in another language.
    TRefreshResult FShown;
    TRefreshResult FFailure;
    bool FFailureShown = false;
    TWeatherData FForecast;
    TMoonTable FMoonTable{};
};
