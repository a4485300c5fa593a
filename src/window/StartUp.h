// The program's entry sequence: settings-file location, one instance per user
// and display, locale and language, the service's addresses, the window.
#pragma once

#include <QString>

#include <functional>

class ILayoutManagerStorage;
class QApplication;
class TLanguageManager;
class Twnd_nb_Main;

// Names the single-instance channel, together with the user and the display.
inline constexpr char kInstanceIdentifier[] = "{C0666F02-5423-4788-A70D-21B4390E7BF3}";

// Our own settings: another address for the service (a self-hosted proxy, the
// stand-in of the demo). Read at start, never written.
inline constexpr char kServiceSection[] = "Service";
inline constexpr char kApiBaseKey[] = "ApiBase";
inline constexpr char kWebBaseKey[] = "WebBase";
// The same for Open-Meteo: its forecast and its place search.
inline constexpr char kOpenMeteoBaseKey[] = "OpenMeteoBase";
inline constexpr char kGeocodingBaseKey[] = "GeocodingBase";
// The longest a fetch may take in all, in whole seconds: shorter for a test
// against a stand-in that stalls, longer for a slow link.
inline constexpr char kTimeoutKey[] = "TimeoutSeconds";
inline constexpr int kLongestTimeoutSeconds = 600;
// A PEM file of certificates trusted besides the system's, for a private
// service or a proxy that inspects TLS.
inline constexpr char kCaFileKey[] = "CaFile";

// The address stored under `key` of the service section when it is an http or
// https address with a host; empty (the client's default) when none is stored.
// A stored text that is no such address is reported on stderr and ignored.
QString ReadServiceAddress(ILayoutManagerStorage &storage, const QString &key);

// The time-out stored in the service section, 1 to kLongestTimeoutSeconds;
// 0 (the client's default) when none is stored. Any other text is reported on
// stderr and ignored.
int ReadServiceTimeout(ILayoutManagerStorage &storage);

// The certificate file stored in the service section, as an absolute path;
// empty when none is stored. A relative path is reported on stderr and ignored,
// as it would depend on the folder the program was started from.
QString ReadServiceCaFile(ILayoutManagerStorage &storage);

// Loads the chosen language (the stored [Settings] LNG; empty follows the
// environment), else the user's, else English, with the program's texts and
// Qt's own from it. Answers the language code in use.
QString InitLanguage(TLanguageManager &manager, const QString &chosen = QString());

struct TRunHooks {
    // Called once the window exists, before it is shown.
    std::function<void(Twnd_nb_Main &window)> WindowCreated;
};

// Runs the program in `app` until its window closes; the process's exit code.
int RunNimbrel(QApplication &app, const TRunHooks &hooks = TRunHooks());
