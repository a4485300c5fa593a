// What the main window calls to let the user edit the settings: the dialog,
// then, when confirmed, the settings written and applied.
#pragma once

#include "LocationLookup.h"
#include "PrefsDialog.h"

#include <functional>

class QWidget;
class TLayoutManager;

// What the dialog needs from the main window, without knowing the window.
struct TPreferencesHost {
    // Its stored values are edited; its Save writes them and the form style.
    TLayoutManager *Layout = nullptr;
    // The main window's "always on top" style, and how to change it.
    bool StayOnTop = false;
    std::function<void(bool stayOnTop)> SetStayOnTop;
    // Applies the settings; ends with a refresh of the weather.
    std::function<void()> ApplySettings;
    // The service search; ClientLocationSearch(owm, openMeteo) for the real one.
    TLocationSearch Search;
    QWidget *Parent = nullptr;
    // Empty: the desktop's browser.
    TOpenUrl OpenUrl;
    // Whether the build or the settings name an update page to check.
    bool OfferUpdateChecks = true;
    // Called with the dialog before it is shown (tests drive it from here).
    std::function<void(Tdlg_nb_Prefs &dialog)> OnShow;
};

enum class TPrefsFocus { Location, ApiKey };

// Shows the preferences dialog modally. Confirmed: the values are stored, the
// window's style set, the settings written (a write error is shown to the
// user) and applied. Returns whether the user confirmed.
bool EditPreferences(TPreferencesHost &host, TPrefsFocus focus = TPrefsFocus::Location);

// True when the service in use needs an API key and none is stored: without
// one no weather can come. Open-Meteo needs none.
bool ApiKeyMissing(const TLayoutManagerValues &values);

// For a start without an API key: opens the dialog once with the key field
// focused, beside "Get API Key" and the choice of a service that needs no
// key. Does nothing (false) when a key is stored or the service needs none;
// otherwise returns whether the user confirmed.
bool OfferPreferencesWithoutKey(TPreferencesHost &host);
