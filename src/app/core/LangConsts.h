#pragma once

#include <QString>

#include <array>
#include <vector>

class TLanguageManager;

// English dates as an American reads them: the month first, named in the
// title bar; the rows' short form fits their narrow date column.
inline constexpr char kEnglishLongDateFormat[] = "dddd, MMMM d, yyyy";
inline constexpr char kEnglishShortDateFormat[] = "M/d/yyyy";

// The program's own texts. Each holds its English default until LoadTexts
// replaces it with the current language's text for its key.
extern QString lc_AsOf;
extern QString lc_CloudCover;
extern QString lc_Confirmation;
extern QString lc_ConnFail;
extern QString lc_Day;
extern QString lc_DownloadQuery;
extern QString lc_Error;
extern QString lc_File;
extern QString lc_Humidity;
extern QString lc_Information;
// How the language writes a date: the title bar's with the weekday, and the
// forecast rows' under the weekday (QLocale format fields).
extern QString lc_LongDateFormat;
extern QString lc_Moon;
extern QString lc_NewVersionAvail;
extern QString lc_NextAttempt;
extern QString lc_NextStepKey;
extern QString lc_NextStepLocation;
extern QString lc_NextStepNetwork;
extern QString lc_NextStepNoKey;
extern QString lc_OpenMeteoAttribution;
extern QString lc_NextStepService;
extern QString lc_NextStepTls;
extern QString lc_NoKey;
extern QString lc_NoLocFound;
extern QString lc_Precipitations;
extern QString lc_Pressure;
extern QString lc_ReasonInvalidKey;
extern QString lc_ReasonNoConnection;
extern QString lc_ReasonPlaceNotFound;
extern QString lc_ReasonTimedOut;
extern QString lc_ReasonTooManyRequests;
extern QString lc_Refreshing;
extern QString lc_ShortDateFormat;
extern QString lc_Sunrise;
extern QString lc_Sunset;
extern QString lc_Temp;
extern QString lc_Visibility;
extern QString lc_Warning;
extern QString lc_WeatherForecast;
extern QString lc_Wind;
// The felt temperature ("%s" is it with its unit), and the labels of a
// forecast day's whole detail.
extern QString lc_FeelsLike;
extern QString lc_Low;
extern QString lc_High;
extern QString lc_Morning;
extern QString lc_Daytime;
extern QString lc_Evening;
extern QString lc_Night;
extern QString lc_PrecipChance;
// The hourly view: its name for assistive technology and the note of a day
// without hours.
extern QString lc_HoursOf;
extern QString lc_NoHours;

// Moon phase names, keys "mp_0" (new moon) to "mp_7" (waning crescent).
inline constexpr int kMoonPhaseCount = 8;
extern std::array<QString, kMoonPhaseCount> MoonPhaseTexts;

// Condition texts for the service's codes 200..962, slot = code - 200, key
// "wth_" + code. Codes without an English text hold an empty text.
inline constexpr int kFirstConditionCode = 200;
inline constexpr int kLastConditionCode = 962;
inline constexpr int kConditionSlotCount = kLastConditionCode - kFirstConditionCode + 1;
extern std::array<QString, kConditionSlotCount> ConditionTexts;

// Wind direction letters, keys "wth_E", "wth_N", "wth_S", "wth_W".
inline constexpr char kWindLetters[] = "ENSW";
inline constexpr int kWindLetterCount = 4;
extern std::array<QString, kWindLetterCount> WindLetterTexts;

// A text key with its built-in English default.
struct TLangConstDefault
{
    QString key;
    QString englishText;
};

// Every constant key of the program that has an English default, in the
// order LoadTexts looks them up: what a language file should translate.
const std::vector<TLangConstDefault> &LangConstDefaults();

// `pattern` with its "%s" replaced by `value`; a translation that lost the
// placeholder gets the value after a blank, so it is never dropped.
QString FillText(const QString &pattern, const QString &value);

// Puts every text back to its English default.
void ResetTexts();

// Looks every text up in `manager`, the current text being the default, so a
// key missing from a new language keeps the previous language's text.
void LoadTexts(const TLanguageManager &manager);

// The condition text of a service code; empty outside 200..962.
QString ConditionText(int code);

// The code whose English text equals `word` (ignoring case), searching the
// codes upwards, or -1. The English texts are ConditionTexts while the program
// shows the reference language, else the reference manager's texts.
int FindConditionCode(const QString &word, const TLanguageManager &appManager,
                      const TLanguageManager &referenceManager);

// The service's direction code ("NNE") with each letter replaced by the first
// character of its text; a letter without text stays as it is.
QString WindDirectionText(const QString &code, const TLanguageManager &manager);

// The language the reference manager is fixed to.
inline constexpr char kReferenceLanguageCode[] = "en";

// Points `reference` at the same language files as `like` and loads the
// reference language into it.
void InitReferenceManager(TLanguageManager &reference, const TLanguageManager &like);
