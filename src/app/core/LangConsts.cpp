#include "LangConsts.h"

#include "LangMan.h"

QString lc_AsOf = QStringLiteral("as of %s");
QString lc_CloudCover = QStringLiteral("Cloud Coverage");
QString lc_Confirmation = QStringLiteral("Confirmation");
QString lc_ConnFail = QStringLiteral("Data load failed");
QString lc_Day = QStringLiteral("Day");
QString lc_DownloadQuery = QStringLiteral("Do you want to download it?");
QString lc_Error = QStringLiteral("Error");
QString lc_File = QStringLiteral("File");
QString lc_Humidity = QStringLiteral("Humidity");
QString lc_Information = QStringLiteral("Information");
QString lc_LongDateFormat = QString::fromLatin1(kEnglishLongDateFormat);
QString lc_Moon = QStringLiteral("Moon");
QString lc_NewVersionAvail = QStringLiteral("New version %s is available.");
QString lc_NextAttempt = QStringLiteral("Next attempt at %s.");
QString lc_NextStepKey = QStringLiteral("Check the API key in Preferences; a new key takes up to two hours to work.");
QString lc_NextStepLocation = QStringLiteral("Check the location in Preferences.");
QString lc_NextStepNetwork = QStringLiteral("Check the network connection.");
QString lc_NextStepNoKey = QStringLiteral("Enter your API key in Preferences (the settings button, or Preferences... in the menu).");
QString lc_NextStepService = QStringLiteral("The service's answer could not be used; it will be asked again.");
QString lc_NextStepTls = QStringLiteral("The secure connection failed: check the computer's date and time, and any proxy.");
QString lc_NoKey = QStringLiteral("No API key is set");
QString lc_OpenMeteoAttribution = QStringLiteral("Weather data by Open-Meteo.com");
QString lc_NoLocFound = QStringLiteral("No location was found.");
QString lc_Precipitations = QStringLiteral("Precipitations");
QString lc_Pressure = QStringLiteral("Pressure");
QString lc_ReasonInvalidKey = QStringLiteral("The service refused the API key");
QString lc_ReasonNoConnection = QStringLiteral("No connection to the service");
QString lc_ReasonPlaceNotFound = QStringLiteral("The service does not know the place");
QString lc_ReasonTimedOut = QStringLiteral("The service did not answer in time");
QString lc_ReasonTooManyRequests = QStringLiteral("Too many requests to the service");
QString lc_Refreshing = QStringLiteral("Refreshing...");
QString lc_ShortDateFormat = QString::fromLatin1(kEnglishShortDateFormat);
QString lc_Sunrise = QStringLiteral("Sunrise");
QString lc_Sunset = QStringLiteral("Sunset");
QString lc_Temp = QStringLiteral("Temperature");
QString lc_Visibility = QStringLiteral("Visibility");
QString lc_Warning = QStringLiteral("Warning");
QString lc_WeatherForecast = QStringLiteral("Weather Forecast");
QString lc_Wind = QStringLiteral("Wind");
QString lc_FeelsLike = QStringLiteral("Feels like %s");
QString lc_Low = QStringLiteral("Low");
QString lc_High = QStringLiteral("High");
QString lc_Morning = QStringLiteral("Morning");
QString lc_Daytime = QStringLiteral("Day");
QString lc_Evening = QStringLiteral("Evening");
QString lc_Night = QStringLiteral("Night");
QString lc_PrecipChance = QStringLiteral("Chance of precipitation");
QString lc_HoursOf = QStringLiteral("Hours of %s");
QString lc_NoHours = QStringLiteral("The service sent no hours for this day.");

std::array<QString, kMoonPhaseCount> MoonPhaseTexts;
std::array<QString, kConditionSlotCount> ConditionTexts;
std::array<QString, kWindLetterCount> WindLetterTexts;

namespace {

struct TTextSlot
{
    const char *key;
    const char *english;
    QString *text;
};

const TTextSlot kProgramTexts[] = {
    {"lc_AsOf", "as of %s", &lc_AsOf},
    {"lc_CloudCover", "Cloud Coverage", &lc_CloudCover},
    {"lc_Confirmation", "Confirmation", &lc_Confirmation},
    {"lc_ConnFail", "Data load failed", &lc_ConnFail},
    {"lc_Day", "Day", &lc_Day},
    {"lc_DownloadQuery", "Do you want to download it?", &lc_DownloadQuery},
    {"lc_Error", "Error", &lc_Error},
    {"lc_File", "File", &lc_File},
    {"lc_Humidity", "Humidity", &lc_Humidity},
    {"lc_Information", "Information", &lc_Information},
    {"lc_LongDateFormat", kEnglishLongDateFormat, &lc_LongDateFormat},
    {"lc_Moon", "Moon", &lc_Moon},
    {"lc_NewVersionAvail", "New version %s is available.", &lc_NewVersionAvail},
    {"lc_NextAttempt", "Next attempt at %s.", &lc_NextAttempt},
    {"lc_NextStepKey", "Check the API key in Preferences; a new key takes up to two hours to work.", &lc_NextStepKey},
    {"lc_NextStepLocation", "Check the location in Preferences.", &lc_NextStepLocation},
    {"lc_NextStepNetwork", "Check the network connection.", &lc_NextStepNetwork},
    {"lc_NextStepNoKey", "Enter your API key in Preferences (the settings button, or Preferences... in the menu).", &lc_NextStepNoKey},
    {"lc_NextStepService", "The service's answer could not be used; it will be asked again.", &lc_NextStepService},
    {"lc_NextStepTls", "The secure connection failed: check the computer's date and time, and any proxy.", &lc_NextStepTls},
    {"lc_NoKey", "No API key is set", &lc_NoKey},
    {"lc_NoLocFound", "No location was found.", &lc_NoLocFound},
    {"lc_Precipitations", "Precipitations", &lc_Precipitations},
    {"lc_Pressure", "Pressure", &lc_Pressure},
    {"lc_ReasonInvalidKey", "The service refused the API key", &lc_ReasonInvalidKey},
    {"lc_ReasonNoConnection", "No connection to the service", &lc_ReasonNoConnection},
    {"lc_ReasonPlaceNotFound", "The service does not know the place", &lc_ReasonPlaceNotFound},
    {"lc_ReasonTimedOut", "The service did not answer in time", &lc_ReasonTimedOut},
    {"lc_ReasonTooManyRequests", "Too many requests to the service", &lc_ReasonTooManyRequests},
    {"lc_Refreshing", "Refreshing...", &lc_Refreshing},
    {"lc_ShortDateFormat", kEnglishShortDateFormat, &lc_ShortDateFormat},
    {"lc_Sunrise", "Sunrise", &lc_Sunrise},
    {"lc_Sunset", "Sunset", &lc_Sunset},
    {"lc_Temp", "Temperature", &lc_Temp},
    {"lc_Visibility", "Visibility", &lc_Visibility},
    {"lc_Warning", "Warning", &lc_Warning},
    {"lc_WeatherForecast", "Weather Forecast", &lc_WeatherForecast},
    {"lc_Wind", "Wind", &lc_Wind},
    {"lc_OpenMeteoAttribution", "Weather data by Open-Meteo.com", &lc_OpenMeteoAttribution},
    {"lc_FeelsLike", "Feels like %s", &lc_FeelsLike},
    {"lc_Low", "Low", &lc_Low},
    {"lc_High", "High", &lc_High},
    {"lc_Morning", "Morning", &lc_Morning},
    {"lc_Daytime", "Day", &lc_Daytime},
    {"lc_Evening", "Evening", &lc_Evening},
    {"lc_Night", "Night", &lc_Night},
    {"lc_PrecipChance", "Chance of precipitation", &lc_PrecipChance},
    {"lc_HoursOf", "Hours of %s", &lc_HoursOf},
    {"lc_NoHours", "The service sent no hours for this day.", &lc_NoHours},
};

constexpr const char *kMoonPhaseEnglish[kMoonPhaseCount] = {
    "New Moon", "Waxing Crescent", "First Quarter", "Waxing Gibbous",
    "Full Moon", "Waning Gibbous", "Last Quarter", "Waning Crescent",
};

struct TConditionDefault
{
    int code;
    const char *english;
};

// The service's condition codes that have an English text.
constexpr TConditionDefault kConditionEnglish[] = {
    {200, "thunderstorm with light rain"},
    {201, "thunderstorm with rain"},
    {202, "thunderstorm with heavy rain"},
    {210, "light thunderstorm"},
    {211, "thunderstorm"},
    {212, "heavy thunderstorm"},
    {221, "ragged thunderstorm"},
    {230, "thunderstorm with light drizzle"},
    {231, "thunderstorm with drizzle"},
    {232, "thunderstorm with heavy drizzle"},
    {300, "light drizzle"},
    {301, "drizzle"},
    {302, "heavy intensity drizzle"},
    {310, "light intensity drizzle rain"},
    {311, "drizzle rain"},
    {312, "heavy intensity drizzle rain"},
    {313, "shower rain and drizzle"},
    {314, "heavy shower rain and drizzle"},
    {321, "shower drizzle"},
    {500, "light rain"},
    {501, "moderate rain"},
    {502, "heavy rain"},
    {503, "very heavy rain"},
    {504, "extreme rain"},
    {511, "freezing rain"},
    {520, "light rain shower"},
    {521, "shower rain"},
    {522, "heavy rain shower"},
    {531, "ragged shower rain"},
    {600, "light snow"},
    {601, "snow"},
    {602, "heavy snow"},
    {611, "sleet"},
    {612, "shower sleet"},
    {615, "light rain and snow"},
    {616, "rain and snow"},
    {620, "light shower snow"},
    {621, "shower snow"},
    {622, "heavy shower snow"},
    {701, "mist"},
    {711, "smoke"},
    {721, "haze"},
    {731, "sand, dust whirls"},
    {741, "fog"},
    {751, "sand"},
    {761, "dust"},
    {762, "volcanic ash"},
    {771, "squalls"},
    {781, "tornado"},
    {800, "clear/sunny"},
    {801, "few clouds"},
    {802, "scattered clouds"},
    {803, "broken clouds"},
    {804, "overcast clouds"},
    {900, "tornado"},
    {901, "tropical storm"},
    {902, "hurricane"},
    {903, "cold"},
    {904, "hot"},
    {905, "windy"},
    {906, "hail"},
    {951, "calm"},
    {952, "light breeze"},
    {953, "gentle breeze"},
    {954, "moderate breeze"},
    {955, "fresh breeze"},
    {956, "strong breeze"},
    {957, "high wind, near gale"},
    {958, "gale"},
    {959, "severe gale"},
    {960, "storm"},
    {961, "violent storm"},
    {962, "hurricane"},
};

const QString kMoonPhaseKeyPrefix = QStringLiteral("mp_");
const QString kWeatherKeyPrefix = QStringLiteral("wth_");

QString MoonPhaseKey(int phase)
{
    return kMoonPhaseKeyPrefix + QString::number(phase);
}

QString ConditionKey(int code)
{
    return kWeatherKeyPrefix + QString::number(code);
}

QString WindLetterKey(QChar letter)
{
    return kWeatherKeyPrefix + letter;
}

int SlotOf(int code)
{
    return code - kFirstConditionCode;
}

} // namespace

QString FillText(const QString &pattern, const QString &value)
{
    static const QString kPlaceholder = QStringLiteral("%s");
    const int at = pattern.indexOf(kPlaceholder);
    if (at < 0)
        return pattern.isEmpty() ? value : pattern + QLatin1Char(' ') + value;
    QString text = pattern;
    return text.replace(at, kPlaceholder.size(), value);
}

void ResetTexts()
{
    for (const TTextSlot &slot : kProgramTexts)
        *slot.text = QString::fromUtf8(slot.english);
    for (int phase = 0; phase < kMoonPhaseCount; ++phase)
        MoonPhaseTexts[phase] = QString::fromUtf8(kMoonPhaseEnglish[phase]);
    for (QString &text : ConditionTexts)
        text.clear();
    for (const TConditionDefault &entry : kConditionEnglish)
        ConditionTexts[SlotOf(entry.code)] = QString::fromUtf8(entry.english);
    for (int i = 0; i < kWindLetterCount; ++i)
        WindLetterTexts[i] = QChar(kWindLetters[i]);
}

namespace {

// The variables start out holding their English defaults.
const bool kTextsInitialised = (ResetTexts(), true);

} // namespace

const std::vector<TLangConstDefault> &LangConstDefaults()
{
    static const std::vector<TLangConstDefault> defaults = [] {
        std::vector<TLangConstDefault> list;
        for (const TTextSlot &slot : kProgramTexts)
            list.push_back({QString::fromLatin1(slot.key), QString::fromUtf8(slot.english)});
        for (int phase = 0; phase < kMoonPhaseCount; ++phase)
            list.push_back({MoonPhaseKey(phase), QString::fromUtf8(kMoonPhaseEnglish[phase])});
        for (const TConditionDefault &entry : kConditionEnglish)
            list.push_back({ConditionKey(entry.code), QString::fromUtf8(entry.english)});
        for (int i = 0; i < kWindLetterCount; ++i)
            list.push_back({WindLetterKey(QChar(kWindLetters[i])), QString(QChar(kWindLetters[i]))});
        return list;
    }();
    return defaults;
}

void LoadTexts(const TLanguageManager &manager)
{
    (void)kTextsInitialised;
    for (const TTextSlot &slot : kProgramTexts)
        *slot.text = manager.LangText(QString::fromLatin1(slot.key), *slot.text);
    for (int phase = 0; phase < kMoonPhaseCount; ++phase)
        MoonPhaseTexts[phase] = manager.LangText(MoonPhaseKey(phase), MoonPhaseTexts[phase]);
    for (int code = kFirstConditionCode; code <= kLastConditionCode; ++code)
        ConditionTexts[SlotOf(code)] = manager.LangText(ConditionKey(code), ConditionTexts[SlotOf(code)]);
    for (int i = 0; i < kWindLetterCount; ++i)
        WindLetterTexts[i] = manager.LangText(WindLetterKey(QChar(kWindLetters[i])), WindLetterTexts[i]);
}

QString ConditionText(int code)
{
    if (code < kFirstConditionCode || code > kLastConditionCode)
        return {};
    return ConditionTexts[SlotOf(code)];
}

int FindConditionCode(const QString &word, const TLanguageManager &appManager,
                      const TLanguageManager &referenceManager)
{
    const bool showingReference = appManager.LanguageCode() == referenceManager.LanguageCode();
    for (int code = kFirstConditionCode; code <= kLastConditionCode; ++code) {
        const QString english = showingReference ? ConditionTexts[SlotOf(code)]
                                                 : referenceManager.LangText(ConditionKey(code), QString());
        if (!english.isEmpty() && english.compare(word, Qt::CaseInsensitive) == 0)
            return code;
    }
    return -1;
}

QString WindDirectionText(const QString &code, const TLanguageManager &manager)
{
    QString result = code;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar letter = code.at(i);
        const QString text = manager.LangText(WindLetterKey(letter), QString(letter));
        if (!text.isEmpty())
            result[i] = text.at(0);
    }
    return result;
}

void InitReferenceManager(TLanguageManager &reference, const TLanguageManager &like)
{
    reference.SetProgramFolder(like.ProgramFolder());
    reference.SetSearchFolders(like.SearchFolders());
    reference.SetFolder(like.Folder());
    reference.SetFileNames(like.FileNames());
    reference.SetRecursiveFolder(like.RecursiveFolder());
    reference.SetLanguageCode(QLatin1String(kReferenceLanguageCode));
}
