// The program's named settings: names, defaults, the order they are registered
// in, and the pure steps of applying them.
#pragma once

#include "WeatherRecords.h"

#include <QString>

#include <cstdint>

class TLayoutManagerValues;

// Setting names, as they stand in the INI file.
inline constexpr char kRunAtStartupName[] = "RAS";
inline constexpr char kLocationName[] = "WL";
inline constexpr char kLocationIdName[] = "WLID";
inline constexpr char kUnitsName[] = "U";
inline constexpr char kRefreshIntervalName[] = "WRI";
inline constexpr char kForecastDaysName[] = "WFD";
inline constexpr char kCheckForUpdatesName[] = "CFU";
inline constexpr char kApiKeyName[] = "OWM";
inline constexpr char kPaidName[] = "PS";
// The language chosen in the preferences; empty follows the environment.
inline constexpr char kLanguageName[] = "LNG";
// Which weather service is asked: kServiceOwmWord or kServiceOpenMeteoWord;
// files without it keep OpenWeatherMap.
inline constexpr char kServiceName[] = "WS";
// The program's own condition pictures instead of OpenWeatherMap's downloads.
inline constexpr char kOwnPicturesName[] = "OP";
// The current temperature drawn as the tray icon.
inline constexpr char kTrayTemperatureName[] = "TT";
// The place's coordinates, as a decimal text in degrees (north and east
// positive); empty when the place was never located, e.g. typed by hand.
inline constexpr char kLatitudeName[] = "WLAT";
inline constexpr char kLongitudeName[] = "WLON";

// The password the API key is enciphered with. Every installation uses the same
// one; changing it makes every stored key unreadable.
inline constexpr char kApiKeyPassword[] = "Zn8#Wq4!Lr2$";
static_assert(sizeof(kApiKeyPassword) == 12 + 1, "the API key password is 12 characters");

// The registered default of WL, and the text stored when WL is found empty.
inline constexpr char kDefaultLocation[] = "Prague,CZ";
inline constexpr char kFallbackLocation[] = "Prague, CZ";
// WLID is registered as text; a negative id asks by name.
inline constexpr char kDefaultLocationIdText[] = "-1";
inline constexpr std::int64_t kNoLocationId = -1;
inline constexpr int kMetricUnits = 0;
inline constexpr int kDefaultRefreshMinutes = 60;
inline constexpr int kDefaultForecastDays = 5;
// The service answers 1 to 16 days; a hand-edited value outside is brought
// into that range for the request and the window height, not rewritten.
inline constexpr int kMinForecastDays = 1;
inline constexpr int kMaxForecastDays = 16;
inline constexpr int kMsecsPerMinute = 60 * 1000;

inline constexpr char kServiceOwmWord[] = "owm";
inline constexpr char kServiceOpenMeteoWord[] = "openmeteo";
// Open-Meteo answers up to 16 days without a subscription.
inline constexpr int kOpenMeteoMaxForecastDays = 16;

inline constexpr char kMetricWord[] = "metric";
inline constexpr char kImperialWord[] = "imperial";
// The service is always asked in English; texts are translated locally.
inline constexpr char kRequestLanguage[] = "en";

struct TAppSettings {
    bool RunAtStartup = true;
    QString Location = QString::fromLatin1(kDefaultLocation);
    qint64 LocationId = kNoLocationId;
    int Units = kMetricUnits;
    int RefreshMinutes = kDefaultRefreshMinutes;
    int ForecastDays = kDefaultForecastDays;
    bool CheckForUpdates = true;
    QString ApiKey;
    bool Paid = false;
    QString Language; // as stored; ChosenLanguageCode() reads it
    TWeatherService Service = wsOwm;
    bool OwnPictures = true;
    bool TrayTemperature = false;
    bool HasCoordinates = false; // both WLAT and WLON read as numbers in range
    double Latitude = 0;
    double Longitude = 0;
};

// The values with their defaults, in the order the INI file has always
// listed them, then the language and the later additions. A value already present keeps its value.
void RegisterDefaults(TLayoutManagerValues &values);

// The values as the program uses them. A value that is missing or cannot be
// read as its type gives its default; WFD is brought into 1..16.
TAppSettings ReadSettings(const TLayoutManagerValues &values);

bool IsImperial(int units); // any value but 0
// The stored word of a service, and the service of a stored word (OpenWeatherMap
// for anything unknown).
QString ServiceWord(TWeatherService service);
TWeatherService ServiceOfWord(const QString &word);
// Stores the place's coordinates in WLAT and WLON, written the same in every locale.
void StoreCoordinates(TLayoutManagerValues &values, double latitude, double longitude);
QString UnitsWord(int units);

// Service, key, key type, location name (with the fallback), id and
// coordinates, "en", the units word, daily mode, number of days.
TRequestRecord BuildRequest(const TAppSettings &settings);

// "Prague, CZ" when `location` is empty (blanks only count as empty).
QString LocationOrFallback(const QString &location);
// Stores the fallback in WL when WL is empty; true when it did.
bool StoreLocationFallback(TLayoutManagerValues &values);

// The weather timer's interval in ms; 0 (timer off) for 0 or fewer minutes,
// and no more than a timer can hold.
int RefreshIntervalMs(int minutes);

// "name, country" as the service reported the place; the name alone without a
// country; empty when the service named no city.
QString ReportedLocation(const TCity &city);
// Stores the reported place in WL; a place without a name keeps WL as it is.
void StoreReportedLocation(TLayoutManagerValues &values, const TCity &city);
