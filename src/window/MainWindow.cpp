#include "MainWindow.h"

#include "AppIcon.h"
#include "AppSettings.h"
#include "AppletUpdates.h"
#include "ClockControl.h"
#include "ConditionPictureSource.h"
#include "DayNames.h"
#include "EventRefresh.h"
#include "FailureAdvice.h"
#include "ForecastList.h"
#include "ForecastRows.h"
#include "HeaderPanel.h"
#include "HourlyDay.h"
#include "HourlyView.h"
#include "LangConsts.h"
#include "LangController.h"
#include "LanguageChoice.h"
#include "MainMenu.h"
#include "PanelTexts.h"
#include "PlaceCoordinates.h"
#include "PrivateData.h"
#include "QtTranslations.h"
#include "ServiceAttribution.h"
#include "StartAtLogon.h"
#include "SystemEvents.h"
#include "ThemeManager.h"
#include "TitleBar.h"
#include "TrayIcon.h"
#include "TrayWatch.h"
#include "WeatherCache.h"
#include "WeatherIcons.h"
#include "WindowLook.h"
#include "WindowMover.h"
#include "WindowRoll.h"
#include "WindowSizing.h"
#include "WindowSystem.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <cstdio>

// Each refresh's outcome, for a user who asks why the panel says what it says
// (QT_LOGGING_RULES="nimbrel.refresh.info=true").
Q_LOGGING_CATEGORY(lcRefresh, "nimbrel.refresh", QtWarningMsg)

namespace {

// The language manager's report of a language without files.
constexpr char kLanguageNotFound[] = "Language not found";

QString OrDefault(const QString &address, const char *fallback)
{
    return address.isEmpty() ? QString::fromLatin1(fallback) : address;
}

// English needs no file: its texts are built in, so a missing one is only
// noted. A language file that cannot be read is worth the user's attention.
void ReportLanguageError(const TLangController &controller)
{
    const QString error = controller.LastError();
    if (error.isEmpty())
        return;
    std::fprintf(stderr, "nimbrel: %s\n", error.toUtf8().constData());
    if (!error.startsWith(QLatin1String(kLanguageNotFound)))
        QMessageBox::warning(nullptr, MessageBoxCaptions().warning, error);
}

// A first start, with nothing stored, opens unrolled for the default days.
QSize FirstSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int workArea = screen != nullptr ? screen->availableGeometry().height() : 0;
    return QSize(kWindowWidth, UnrolledHeight(workArea, kDefaultForecastDays));
}

} // namespace

Twnd_nb_Main::Twnd_nb_Main(const TWindowStart &start, std::shared_ptr<ILayoutManagerStorage> storage,
                           std::shared_ptr<ILayoutManagerCipherer> cipherer, QWidget *parent)
    : TLMFlatForm(parent, FirstSize())
    , FStart(start)
    , FClients{TOwmClient(OrDefault(start.ApiBase, kDefaultApiBase), OrDefault(start.WebBase, kDefaultWebBase)),
               TOpenMeteoClient(OrDefault(start.OpenMeteoBase, kDefaultOpenMeteoBase),
                                OrDefault(start.GeocodingBase, kDefaultGeocodingBase))}
{
    setObjectName(QStringLiteral("wnd_nb_Main"));
    // Both services' fetches keep the same limits and trust.
    for (THttpOptions *http : {&FClients.Owm.HttpOptions(), &FClients.OpenMeteo.HttpOptions()}) {
        if (start.TimeoutSeconds > 0) {
            http->TotalTimeoutMs = start.TimeoutSeconds * 1000L;
            http->ConnectTimeoutMs = std::min(http->ConnectTimeoutMs, http->TotalTimeoutMs);
        }
        http->CaFile = start.CaFile;
    }
    setWindowTitle(lc_WeatherForecast);
    setWindowIcon(ApplicationIcon());
    setFocusPolicy(Qt::StrongFocus);
    // Its two bars: what a stored size or a hand resize may not go below.
    setMinimumSize(kWindowWidth, RolledUpHeight());
    QPalette black = palette();
    black.setColor(QPalette::Window, WindowLook::kBackground);
    setPalette(black);
    setAutoFillBackground(true);

    // Settings: the process-wide storage and cipherer, the theme preset and the
    // nine values with their defaults.
    // The update checks take their page's address from the same file.
    FUpdates = CreateAppletUpdates(this, *storage, kApplicationTitle, [] {
        return TUpdateQuestionTexts{lc_NewVersionAvail, lc_DownloadQuery};
    });
    SetLayoutStorage(std::move(storage));
    LayoutManager().StoredValues().SetCipherer(std::move(cipherer));
    SetLayoutControl(true);
    // Where the session places windows itself, the stored place is neither
    // applied nor overwritten with a place the program was never told.
    if (!ProgramPlacesWindows(QGuiApplication::platformName()))
        SetLayoutOptions(LayoutOptions() & ~TLayoutManagerControlOptions(loPosition));
    TThemeManager::Instance().SetThemePreset(tpGraphite);
    LayoutManager().Add(&TThemeManager::Instance(), {QStringLiteral("ThemePreset")});
    RegisterDefaults(LayoutManager().StoredValues());

    InitReferenceManager(FReference, GlobalLangManager());
    PrepareDataFolder(start);

    BuildWidgets();

    FFetch = new TWeatherFetch(FClients, FDataFolder, this);
    FRefresh = std::make_unique<TRefreshCycle>(
        [this](const TCancelFlag &cancel) { FFetch->Start(CurrentRequest(), cancel); });
    connect(FRefresh.get(), &TRefreshCycle::RefreshStarted, this, &Twnd_nb_Main::RefreshStarted);
    connect(FFetch, &TWeatherFetch::Finished, this, &Twnd_nb_Main::FetchFinished);
    connect(FFetch, &TWeatherFetch::PictureArrived, this, &Twnd_nb_Main::PictureArrived);
    // A session that ends, or a terminating signal, quits without closing the window.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &Twnd_nb_Main::StopNetworkWork);
    // A wake from suspend or the network coming back refreshes stale weather.
    FSystemEvents = new TSystemEvents(this);
    FEventRefresh = new TEventRefresh(*FRefresh, this);
    connect(FSystemEvents, &TSystemEvents::Woke, FEventRefresh, &TEventRefresh::Woke);
    connect(FSystemEvents, &TSystemEvents::NetworkOnline, FEventRefresh, &TEventRefresh::NetworkOnline);
    ConnectActions();
    connect(this, &TLMForm::OnAfterRestore, this, &Twnd_nb_Main::ApplySettings);
    // After the first refresh has started and the window is painted.
    connect(this, &TLMForm::OnAfterRestore, this, &Twnd_nb_Main::OfferKeyOnFirstShow, Qt::QueuedConnection);

    // The list takes its colours from the bars, so it hears of a theme after them.
    connect(FTheme, &TThemeController::OnThemeChange, this, &Twnd_nb_Main::ThemeChanged);
    FTheme->SetPopupMenu(&FThemeMenu);
    FTheme->Loaded();
    FLang->Loaded();
}

Twnd_nb_Main::~Twnd_nb_Main()
{
    StopNetworkWork();
    SaveLayoutBeforeDestroy();
}

void Twnd_nb_Main::StopNetworkWork()
{
    FRefresh->Cancel();
    FUpdates->Stop();
}

void Twnd_nb_Main::PrepareDataFolder(const TWindowStart &start)
{
    const QFileInfo settings(start.SettingsFile);
    FDataFolder = QDir::cleanPath(settings.absolutePath()) + QLatin1Char('/');
    QString error;
    if (!MakeDataFolder(FDataFolder, error))
        std::fprintf(stderr, "nimbrel: %s: %s\n", qUtf8Printable(QDir::toNativeSeparators(FDataFolder)),
                     qUtf8Printable(error));
    FNamesFile = DayNamesFileName(start.SettingsFile);
    // A portable copy keeps its data in the program's own folder, which is not ours to close.
    const bool ownFolder = QDir::cleanPath(QFileInfo(start.ExecutablePath).absolutePath()) != QDir::cleanPath(FDataFolder);
    const QString notice =
        MadePrivateNotice(MakeDataPrivate(FDataFolder, start.SettingsFile, FNamesFile, ownFolder));
    if (!notice.isEmpty())
        std::fprintf(stderr, "%s\n", qUtf8Printable(notice));
    LoadCalendar(start.LanguageCode);
}

void Twnd_nb_Main::LoadCalendar(const QString &languageCode)
{
    const QStringList folders = ShippedDayNamesFolders(QFileInfo(FStart.ExecutablePath).absolutePath());
    FNamesSource = ChooseDayNamesFile(FNamesFile, languageCode, folders);
    FNames = FNamesSource.isEmpty() ? QStringList() : LoadDayNames(FNamesSource);
}

void Twnd_nb_Main::BuildWidgets()
{
    FTheme = new TThemeController(this);
    FLang = new TLangController(this);
    FLang->OnBeforeLangChange = [](TLangController *) {
        // English first: a text the new language lacks must not stay in the old one.
        ResetTexts();
        LoadTexts(GlobalLangManager());
        TMessageBoxCaptions &captions = MessageBoxCaptions();
        captions.confirmation = lc_Confirmation;
        captions.warning = lc_Warning;
        captions.information = lc_Information;
        captions.error = lc_Error;
    };
    FLang->OnLanguageChanged = [this](TLangController *) { LanguageChanged(); };
    FLang->OnError = [](TLangController *controller) { ReportLanguageError(*controller); };

    FMenu = new TMainMenu(this);
    FTitle = new TTitleBar(FTheme, this);
    FTitle->SetLocale(QLocale());
    FTitle->SetDayNames(FNames);
    FTitle->SetThemeMenu(&FThemeMenu);
    FHeader = new THeaderPanel(FTheme, this);
    FList = new TForecastList(this);
    FHours = new THourlyView(this);
    FHours->hide();
    FRoll = new TWindowRoll(this);
    // The clock stands still until the window can be seen.
    FClockControl = new TClockControl(this);
    FTitle->SetClockRunning(false);
    connect(FClockControl, &TClockControl::RunningChanged, FTitle, &TTitleBar::SetClockRunning);

    // Labels and pictures move the window as the bars do.
    FDrag = new TWindowDragFilter(this);
    FDrag->Watch(FTitle->DateLabel());
    FDrag->Watch(FTitle->TimeLabel());
    FDrag->Watch(FHeader->WeatherIcon());
    FDrag->Watch(FHeader->ErrorIcon());
    for (QLabel *label : FHeader->Labels())
        FDrag->Watch(label);

    FTrayWatch = new TTrayWatch(FStart.UseTray, this);
    connect(FTrayWatch, &TTrayWatch::AvailabilityChanged, this, &Twnd_nb_Main::SetTrayAvailable);
    if (FStart.UseTray)
        SetTrayAvailable(true);
    PlaceBars();
}

void Twnd_nb_Main::ConnectActions()
{
    connect(FTitle, &TTitleBar::RefreshClicked, this, &Twnd_nb_Main::ManualRefresh);
    connect(FTitle, &TTitleBar::RollClicked, this, [this] {
        CloseHours();
        FRoll->Toggle();
    });
    connect(FRoll, &TWindowRoll::RolledUpChanged, FTitle, &TTitleBar::SetRolledUp);
    // Unrolled or given more days, the window may now reach below the screen.
    connect(FRoll, &TWindowRoll::RolledUpChanged, this, [this] {
        if (isVisible())
            KeepOnScreen();
    });
    connect(FMenu, &TMainMenu::RefreshChosen, this, &Twnd_nb_Main::ManualRefresh);
    connect(FMenu, &TMainMenu::ExitChosen, this, &QWidget::close);
    connect(FTitle, &TTitleBar::PrefsClicked, this, [this] { ShowPreferences(); });
    connect(FMenu, &TMainMenu::PrefsChosen, this, [this] { ShowPreferences(); });
    connect(FList, &TForecastList::ContextMenuRequested, this, [this](const QPoint &globalPos) { FMenu->popup(globalPos); });
    connect(FList, &TForecastList::RowActivated, this, &Twnd_nb_Main::ToggleHours);
    connect(FHours, &THourlyView::CloseRequested, this, &Twnd_nb_Main::CloseHours);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    // Escape closes the hours first, then the window.
    connect(escape, &QShortcut::activated, this, [this] {
        if (!FHours->isHidden())
            CloseHours();
        else
            close();
    });
    auto *refreshKey = new QAction(this);
    refreshKey->setShortcut(QKeySequence(Qt::Key_F5));
    refreshKey->setShortcutContext(Qt::WindowShortcut);
    addAction(refreshKey);
    connect(refreshKey, &QAction::triggered, this, &Twnd_nb_Main::ManualRefresh);
    // Tab goes along the title buttons, left to right, and on to the list.
    QWidget *previous = FTitle->RefreshButton();
    for (QWidget *next : {static_cast<QWidget *>(FTitle->ThemeButton()), static_cast<QWidget *>(FTitle->RollButton()),
                          static_cast<QWidget *>(FTitle->PrefsButton()), static_cast<QWidget *>(FList),
                          static_cast<QWidget *>(FHours)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    auto *menuKeys = new QAction(this);
    menuKeys->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    menuKeys->setShortcutContext(Qt::WindowShortcut);
    addAction(menuKeys);
    connect(menuKeys, &QAction::triggered, this, &Twnd_nb_Main::PopupMenuFromKeyboard);
}

void Twnd_nb_Main::ApplySettings()
{
    TLayoutManagerValues &values = LayoutManager().StoredValues();
    const TAppSettings settings = ReadSettings(values);
    CloseHours(); // the window takes the height of its days again
    ApplyLanguage(settings.Language);
    FU = UnitsWord(settings.Units);
    FImperial = IsImperial(settings.Units);
    FRefresh->SetIntervalMinutes(settings.RefreshMinutes);
    const bool ownPictures = UsesOwnPictures(settings.Service, settings.OwnPictures);
    FFetch->SetServicePictures(!ownPictures);
    FList->SetOwnPictures(ownPictures);
    FHours->SetOwnPictures(ownPictures);
    if (FHasWeather)
        ShowCurrentPicture();
    FTrayTemperature = settings.TrayTemperature;
    ShowTrayWeather();
    StoreLocationFallback(values);
    if (!FHasWeather) {
        TPanelTexts texts;
        texts.Loc = values.GetValueByName(QLatin1String(kLocationName)).toString();
        FHeader->ShowTexts(texts);
    }
    FRoll->ApplySizing(WorkArea().height(), settings.ForecastDays);
    // Applied while the preferences are open means the user just confirmed them.
    ApplyStartAtLogon(settings.RunAtStartup, FPrefsOpen || !ApiKeyMissing(values), kApplicationTitle,
                      FStart.ExecutablePath);
    FUpdates->SetEnabled(settings.CheckForUpdates);
    // At start, and after the preferences were confirmed: a key or place that
    // failed may be right now, so the waits after failures start over.
    FRefresh->ResetBackOff();
    if (!FCacheTried)
        ShowCachedWeather();
    RefreshWeather();
}

void Twnd_nb_Main::ApplyLanguage(const QString &stored)
{
    const QString code = LanguageToLoad(GlobalLangManager(), stored);
    if (code.compare(GlobalLangManager().LanguageCode(), Qt::CaseInsensitive) == 0)
        return;
    LoadQtTranslations(code);
    FLang->SetLanguageCode(code);
    // A file that failed to load part way (reported) still changed the texts:
    // show what the manager now holds rather than the old language's.
    if (!GlobalLangManager().LastError().isEmpty())
        FLang->Refresh();
}

void Twnd_nb_Main::ShowCachedWeather()
{
    FCacheTried = true;
    const TWeatherResult cached = ReadWeatherCache(FDataFolder, CurrentRequest(), FRefresh->Now());
    if (!cached.Ok())
        return; // missing, damaged, stale or of another place: the refresh will tell
    FRefresh->NoteCachedSuccess(cached.FetchedAt);
    ShowSuccess(cached);
}

void Twnd_nb_Main::ShowPreferences(TPrefsFocus focus)
{
    // The tray menu stays usable while the dialog is open: one dialog at a time.
    if (FPrefsOpen)
        return;
    FPrefsOpen = true;
    TPreferencesHost host;
    host.Layout = &LayoutManager();
    host.StayOnTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    host.SetStayOnTop = [this](bool onTop) {
        if (onTop == windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return;
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        show(); // a changed window flag hides the window
    };
    host.ApplySettings = [this] { ApplySettings(); };
    host.Search = ClientLocationSearch(FClients.Owm, FClients.OpenMeteo);
    host.OfferUpdateChecks = FUpdates->HasAddress();
    host.Parent = this;
    if (focus == TPrefsFocus::ApiKey)
        OfferPreferencesWithoutKey(host);
    else
        EditPreferences(host);
    FPrefsOpen = false;
    if (FReportWaiting) {
        const std::unique_ptr<TWeatherResult> waiting = std::move(FReportWaiting);
        NoteReportedLocation(*waiting);
    }
}

void Twnd_nb_Main::OfferKeyOnFirstShow()
{
    if (FKeyOffered)
        return;
    FKeyOffered = true;
    ShowPreferences(TPrefsFocus::ApiKey);
}

void Twnd_nb_Main::RefreshWeather()
{
    FRefresh->Refresh();
}

void Twnd_nb_Main::ManualRefresh()
{
    FRefresh->ManualRefresh();
}

TRequestRecord Twnd_nb_Main::CurrentRequest()
{
    return BuildRequest(ReadSettings(LayoutManager().StoredValues()));
}

void Twnd_nb_Main::RefreshStarted()
{
    qCInfo(lcRefresh) << "refresh started";
    FFailureShown = false;
    FHeader->HideError();
    FHeader->SetRefreshing(true);
    setCursor(Qt::BusyCursor);
}

void Twnd_nb_Main::FetchFinished(const TWeatherResult &result)
{
    // The cycle first, so that the hint can name the next attempt.
    FRefresh->FetchEnded(result.Request.Failure.Kind);
    if (result.Request.Failure.Kind == TFailureKind::Cancelled && FRefresh->Cancelled())
        return; // closing: nothing is shown any more
    RefreshFinished(result);
}

void Twnd_nb_Main::RefreshFinished(const TWeatherResult &result)
{
    FHeader->SetRefreshing(false);
    if (result.Ok()) {
        ShowSuccess(result);
        qCInfo(lcRefresh).noquote() << "weather shown for" << result.Current.City.Name
                                    << (result.FromCache ? "from the cache" : "fetched");
    } else {
        ShowFailure(result);
        qCInfo(lcRefresh).noquote() << "failed:" << FailureLogText(result.Request.Failure);
    }
    unsetCursor(); // a refresh folded into this one starts after this and sets it again
    // The network's return matters from now on; its backend is loaded after
    // this result has been painted, off the start's path.
    QMetaObject::invokeMethod(FSystemEvents, &TSystemEvents::WatchNetwork, Qt::QueuedConnection);
}

void Twnd_nb_Main::NoteReportedLocation(const TWeatherResult &result)
{
    if (FPrefsOpen) {
        FReportWaiting = std::make_unique<TWeatherResult>(result);
        return;
    }
    // A refresh that was under way when other settings were confirmed
    // answered for the old place; its name must not replace the new one.
    const TRequestRecord now = CurrentRequest();
    if (result.Request.LocationID != now.LocationID || result.Request.LocationName != now.LocationName)
        return;
    StoreFoundCoordinates(LayoutManager().StoredValues(), now, result);
    StoreReportedLocation(LayoutManager().StoredValues(), result.Current.City);
}

void Twnd_nb_Main::PictureArrived(const QString &name)
{
    if (FHasWeather && FCurrent.Weather.Icon == name)
        ShowCurrentPicture();
    const QString path = IconFilePath(FDataFolder, name);
    FList->PictureArrived(path);
    FHours->PictureArrived(path);
}

void Twnd_nb_Main::ShowSuccess(const TWeatherResult &result)
{
    FShownResult = result;
    FHeader->ClearValues();
    NoteReportedLocation(result);
    FCurrent = result.Current;
    ShowCurrentPicture();
    TPanelTexts texts = BuildPanelTexts(FCurrent, FImperial, QLocale(), GlobalLangManager(), FReference);
    if (result.FromCache)
        texts.IconHint = CachedWeatherHint(result.FetchedAt, QLocale());
    texts.IconHint = HintWithAttribution(texts.IconHint, result.Request.Service);
    FHeader->ShowTexts(texts);
    FForecast = result.Forecast;
    // Open hours follow their date into the new rows, or close with it.
    const QDate openDate = !FHours->isHidden() ? FList->Rows().value(FHours->Row()).Date : QDate();
    FList->SetRows(BuildForecastRows(FForecast, FDataFolder, FNames, QLocale(), GlobalLangManager(), FReference,
                                     result.Astronomy.Sun, result.Astronomy.Moon));
    FHasWeather = true;
    FTrayReading = TrayReadingOf(FCurrent, FImperial, QLocale());
    FTrayHint = TrayWeatherHint(texts);
    ShowTrayWeather();
    if (!openDate.isValid())
        return;
    const TForecastRows &rows = FList->Rows();
    const auto same = std::find_if(rows.cbegin(), rows.cend(),
                                   [&openDate](const TForecastRow &row) { return row.Date == openDate; });
    if (same == rows.cend()) {
        CloseHours();
        return;
    }
    FList->SetCurrentRow(static_cast<int>(same - rows.cbegin()));
    ShowHours(FList->CurrentRow());
}

void Twnd_nb_Main::ShowCurrentPicture()
{
    const QString &icon = FCurrent.Weather.Icon;
    FHeader->ShowConditionPicture(ConditionPicture(FList->OwnPictures(), icon, IconFilePath(FDataFolder, icon),
                                                   THeaderPanel::kIconSize, FHeader->devicePixelRatioF()));
}

void Twnd_nb_Main::ToggleHours(int row, bool byKey)
{
    if (FRoll->RolledUp())
        return; // the list is not shown: its day is not opened either
    if (!FHours->isHidden() && FHours->Row() == row) {
        CloseHours();
        return;
    }
    ShowHours(row);
    if (byKey)
        FHours->setFocus(Qt::OtherFocusReason);
}

void Twnd_nb_Main::ShowHours(int row)
{
    const TForecastRow *shown = row >= 0 && row < FList->RowCount() ? &FList->Rows()[row] : nullptr;
    if (shown == nullptr || shown->Index < 0 || shown->Index >= FForecast.size())
        return;
    const TWeatherData &hours = FShownResult.Hours;
    const THourGroups groups = GroupHoursByDay(FForecast, hours);
    TWeatherData ofDay;
    for (const int hour : groups.value(shown->Index))
        ofDay.append(hours[hour]);
    FHours->SetDay(row, BuildHourlyDay(FForecast[shown->Index], ofDay, FDataFolder, QLocale(), GlobalLangManager(),
                                       FReference));
    if (!FHours->isHidden())
        return;
    // The window grows for the view as far as the screen lets it; the rest
    // is taken from the list, which keeps the chosen day in view.
    FHoursGrowth = std::clamp(WorkArea().height() - height(), 0, FHours->NeededHeight());
    FHours->show();
    resize(width(), height() + FHoursGrowth);
    PlaceBars();
    FList->EnsureRowVisible(row);
    if (isVisible())
        KeepOnScreen();
}

void Twnd_nb_Main::CloseHours()
{
    if (FHours->isHidden())
        return;
    const int row = FHours->Row();
    const bool hadFocus = FHours->hasFocus();
    FHours->hide();
    FHours->Clear();
    resize(width(), std::max(minimumHeight(), height() - FHoursGrowth));
    FHoursGrowth = 0;
    PlaceBars();
    if (hadFocus) {
        FList->SetCurrentRow(row);
        FList->setFocus(Qt::OtherFocusReason);
    }
}

void Twnd_nb_Main::ShowFailure(const TWeatherResult &result)
{
    FFailureResult = result;
    FFailureShown = true;
    const TFetchFailure &failure = result.Request.Failure;
    FHeader->ShowError(FailureHintWithNextStep(failure, FRefresh->NextAttempt(), FRefresh->Now(), QLocale()));
    if (FHasWeather)
        return; // the panel keeps the last good data
    TPanelTexts texts = FailurePanelTexts(FailureReason(failure));
    texts.Loc = FHeader->LocationText();
    FHeader->ShowTexts(texts);
    FHeader->ShowApplicationPicture();
}

void Twnd_nb_Main::SetTrayAvailable(bool available)
{
    if (available && FTray == nullptr) {
        FTray = new TTrayIcon(FMenu, this);
        connect(FTray, &TTrayIcon::RaiseRequested, this, &Twnd_nb_Main::BringToFront);
        ShowTrayWeather();
    }
    if (FTray != nullptr)
        FTray->Icon().setVisible(available);
    // No task-bar button with a tray: its icon stands for the program.
    if (windowFlags().testFlag(Qt::Tool) == available)
        return;
    // A changed flag hides the window; it comes back where it was, unless it
    // was hidden in the tray that just went: then it must be reachable again.
    const bool shown = isVisible() || !available;
    const QRect place = geometry();
    setWindowFlag(Qt::Tool, available);
    if (shown && Restored()) {
        setGeometry(place);
        show();
    }
}

void Twnd_nb_Main::ShowTrayWeather()
{
    if (FTray != nullptr)
        FTray->ShowWeather(FTrayTemperature ? FTrayReading : TTrayReading(), FTrayHint);
}

void Twnd_nb_Main::BringToFront()
{
    if (isMinimized())
        showNormal();
    else
        show();
    KeepOnScreen();
    raise();
    activateWindow();
}

void Twnd_nb_Main::LanguageChanged()
{
    FTitle->SyncAccessibleNames();
    const QString code = GlobalLangManager().LanguageCode();
    if (code.isEmpty())
        return; // no language loaded: the built-in texts and the start's calendar stay
    FTitle->SetDateLocale(LanguageLocale(code, QLocale()));
    LoadCalendar(code);
    FTitle->SetDayNames(FNames);
    // The texts made in code: the panel, the rows and a failure's hint.
    if (FHasWeather)
        ShowSuccess(FShownResult);
    if (FFailureShown)
        ShowFailure(FFailureResult);
}

void Twnd_nb_Main::closeEvent(QCloseEvent *event)
{
    CloseHours(); // the stored size is the window's own
    TLMFlatForm::closeEvent(event);
    if (!event->isAccepted())
        return;
    StopNetworkWork(); // the program ends: nothing under way may hold it up
    QMetaObject::invokeMethod(this, &Twnd_nb_Main::Closed, Qt::QueuedConnection);
}

void Twnd_nb_Main::showEvent(QShowEvent *event)
{
    TLMFlatForm::showEvent(event);
    // Exposure is the window system's word on whether anything of the window
    // is on screen; it comes to the native window, not to the widget.
    if (QWindow *native = windowHandle())
        native->installEventFilter(this); // installing twice keeps one filter
    UpdateClockView();
}

void Twnd_nb_Main::hideEvent(QHideEvent *event)
{
    TLMFlatForm::hideEvent(event);
    UpdateClockView();
}

void Twnd_nb_Main::changeEvent(QEvent *event)
{
    TLMFlatForm::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    UpdateClockView();
    // Without a task-bar button a minimised window could not be found again:
    // with a tray it goes there instead, and its icon brings it back.
    if (isMinimized() && FTrayWatch != nullptr && FTrayWatch->Available())
        QMetaObject::invokeMethod(
            this,
            [this] {
                // The tray may have gone meanwhile.
                if (!isMinimized() || !FTrayWatch->Available())
                    return;
                setWindowState(windowState() & ~Qt::WindowMinimized);
                hide();
            },
            Qt::QueuedConnection);
}

bool Twnd_nb_Main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        QMetaObject::invokeMethod(this, &Twnd_nb_Main::UpdateClockView, Qt::QueuedConnection);
    return TLMFlatForm::eventFilter(watched, event);
}

void Twnd_nb_Main::UpdateClockView()
{
    TClockView view;
    view.Visible = isVisible();
    view.Minimized = isMinimized();
    const QWindow *native = windowHandle();
    view.Exposed = native != nullptr && native->isExposed();
    FClockControl->SetView(view);
}

void Twnd_nb_Main::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        PopupMenuFromKeyboard();
    else
        FMenu->popup(event->globalPos());
    event->accept();
}

void Twnd_nb_Main::PopupMenuFromKeyboard()
{
    // At the panel's corner, under the title bar: the window has no pointer position to offer.
    FMenu->popup(FHeader->mapToGlobal(QPoint(0, 0)));
}

void Twnd_nb_Main::resizeEvent(QResizeEvent *event)
{
    TLMFlatForm::resizeEvent(event);
    PlaceBars();
}

void Twnd_nb_Main::ThemeChanged()
{
    FList->ApplyTheme(FTitle->PaintedLookSet().Color, FHeader->PaintedLookSet().Color,
                      FTheme->ControlLook().LookSet().Color);
    FHours->SetColours(FList->Colours());
}

void Twnd_nb_Main::PlaceBars()
{
    const QRect inner = rect().adjusted(kBorderWidth, kBorderWidth, -kBorderWidth, -kBorderWidth);
    FTitle->setGeometry(inner.left(), inner.top(), inner.width(), kTitleBarHeight);
    FHeader->setGeometry(inner.left(), inner.top() + kTitleBarHeight, inner.width(), kHeaderHeight);
    const int listTop = inner.top() + kTitleBarHeight + kHeaderHeight;
    const int below = std::max(0, inner.bottom() + 1 - listTop);
    const int hours = !FHours->isHidden() ? std::min(below, FHours->NeededHeight()) : 0;
    FList->setGeometry(inner.left(), listTop, inner.width(), below - hours);
    FHours->setGeometry(inner.left(), listTop + below - hours, inner.width(), hours);
}
