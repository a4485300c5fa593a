// The applet's window: a borderless themed form that composes the title bar,
// the current-conditions panel, the forecast list, the menu,
// the tray icon and roll-up, and drives the weather refresh.
#pragma once

#include "EditPreferences.h"
#include "LMFlatForm.h"
#include "LangMan.h"
#include "RefreshCycle.h"
#include "ThemeController.h"
#include "WeatherClients.h"
#include "TrayReading.h"
#include "WeatherFetch.h"

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
class THourlyView;
class THeaderPanel;
class TLangController;
class TMainMenu;
class TSystemEvents;
class TTitleBar;
class TTrayIcon;
class TTrayWatch;
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
    QString OpenMeteoBase;
    QString GeocodingBase;
    // The longest a fetch may take in all; 0 keeps the client's default.
    int TimeoutSeconds = 0;
    // Certificates trusted besides the system's; empty: none.
    QString CaFile;
    // False where the desktop has no notification area at start; the window
    // follows a tray that comes or goes afterwards.
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
    // The hours of the day chosen in the list; hidden while none is.
    THourlyView *HourlyView() const { return FHours; }
    TMainMenu *Menu() const { return FMenu; }
    TRefreshCycle &RefreshCycle() { return *FRefresh; }
    TWeatherFetch *WeatherFetch() const { return FFetch; }
    // Ends every fetch under way and starts none: the program is closing.
    void StopNetworkWork();
    TWindowRoll *Roll() const { return FRoll; }
    // None until a notification area was seen.
    TTrayIcon *Tray() const { return FTray; }
    TTrayWatch *TrayWatch() const { return FTrayWatch; }
    // A tray came or went: the icon shows in it, and the window keeps a
    // task-bar button only without one.
    void SetTrayAvailable(bool available);
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
    void BuildWidgets();
    void PrepareDataFolder(const TWindowStart &start);
    void ConnectActions();
    TRequestRecord CurrentRequest();
    void RefreshStarted();
    void FetchFinished(const TWeatherResult &result);
    void RefreshFinished(const TWeatherResult &result);
    void ShowSuccess(const TWeatherResult &result);
    void ShowCurrentPicture();
    void ShowFailure(const TWeatherResult &result);
    void PictureArrived(const QString &name);
    // The place the service named for a result becomes the stored one, unless
    // the settings ask for another place by now; while the preferences dialog
    // is open it waits, so the dialog saves what it showed.
    void NoteReportedLocation(const TWeatherResult &result);
    void ShowCachedWeather();
    void UpdateClockView();
    void PopupMenuFromKeyboard();
    // The preferences dialog; confirmed, the settings are written and applied.
    void ShowPreferences(TPrefsFocus focus = TPrefsFocus::Location);
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
    // The tray's picture and hint for the weather shown and the TT setting.
    void ShowTrayWeather();
    // A day chosen in the list opens its hours, or closes them when they are
    // its own; chosen by key, the keys go on to the hours.
    void ToggleHours(int row, bool byKey);
    void ShowHours(int row);
    // The view closes and the window gives back what it grew for it; the
    // focus in the view goes back to the day's row.
    void CloseHours();

    TWindowStart FStart;
    TWeatherClients FClients;
    TLanguageManager FReference; // English, to match the service's words
    TThemeController *FTheme;
    TLangController *FLang;
    QMenu FThemeMenu;
    TMainMenu *FMenu;
    TTitleBar *FTitle;
    THeaderPanel *FHeader;
    TForecastList *FList;
    THourlyView *FHours;
    int FHoursGrowth = 0; // how much taller the window was made for the hours
    TTrayIcon *FTray = nullptr;
    TTrayWatch *FTrayWatch = nullptr;
    TWindowRoll *FRoll;
    TWindowDragFilter *FDrag;
    TWeatherFetch *FFetch = nullptr;
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
    TWeatherResult FShownResult;
    TWeatherResult FFailureResult;
    bool FFailureShown = false;
    TWeatherData FForecast;
    // A result whose place waits for the preferences dialog to close.
    std::unique_ptr<TWeatherResult> FReportWaiting;
    // The temperature in the tray (TT), and what it shows of the weather shown.
    bool FTrayTemperature = false;
    TTrayReading FTrayReading;
    QString FTrayHint;
};
