#include "WeatherCache.h"

#include "AppSettings.h"
#include "ClockLine.h"
#include "HttpGet.h"
#include "LangConsts.h"
#include "OpenMeteoClient.h"
#include "OpenMeteoFetch.h"
#include "SafeFile.h"
#include "Zelto_OWM.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>

#include <cmath>

#include <exception>

namespace {

constexpr char kIndexVersion[] = "1";
constexpr char kVersionKey[] = "version";
constexpr char kFetchedKey[] = "fetched";
constexpr char kLocationKey[] = "location";
constexpr char kLocationIdKey[] = "locationId";
constexpr char kUnitsKey[] = "units";
constexpr char kKeyTypeKey[] = "keyType";
constexpr char kModeKey[] = "mode";
constexpr char kDaysKey[] = "days";
constexpr char kCurrentHashKey[] = "current";
constexpr char kForecastHashKey[] = "forecast";
// Written by versions that know more than one service; absent means OpenWeatherMap.
constexpr char kServiceKey[] = "service";
constexpr char kLatitudeKey[] = "latitude";
constexpr char kLongitudeKey[] = "longitude";
// Coordinates are stored to four decimals; closer than this is the same place.
constexpr double kSamePlaceDegrees = 0.001;
// The index is a few lines; anything much longer is not ours.
constexpr qint64 kMaxIndexBytes = 64 * 1024;

QString CacheFolder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QString::fromLatin1(kWeatherCacheFolder));
}

QString CachePath(const QString &dataFolder, const char *name)
{
    return QDir(CacheFolder(dataFolder)).filePath(QString::fromLatin1(name));
}

QByteArray Hash(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// "Prague, CZ", "prague,cz" and "Prague ,CZ" are one place to the service.
QString PlaceKey(const QString &place)
{
    QString key;
    for (const QChar c : place)
        if (!c.isSpace())
            key += c;
    return key.toCaseFolded();
}

QString KeptPlace(const TWeatherResult &result)
{
    const QString reported = ReportedLocation(result.Current.City);
    return reported.isEmpty() ? result.Request.LocationName : reported;
}

// The program alone makes these files: a link found in their place is replaced.
bool WriteWhole(const QString &path, const QByteArray &bytes, QString &error)
{
    QString reason;
    if (WritePrivateFile(path, bytes, TLinkRule::ReplaceLink, reason))
        return true;
    error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

bool ReadWhole(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    QString reason;
    if (ReadRegularFile(path, maxBytes, bytes, reason) == TReadOutcome::Read)
        return true;
    error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

QByteArray IndexLine(const char *key, const QString &value)
{
    return QByteArray(key) + '=' + value.toUtf8() + '\n';
}

QHash<QString, QString> ParseIndex(const QByteArray &bytes)
{
    QHash<QString, QString> values;
    for (const QByteArray &line : bytes.split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0)
            values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return values;
}

TWeatherResult Ignored(const TRequestRecord &request, const QString &reason)
{
    TWeatherResult result;
    result.Request = request;
    result.Request.Failure = MakeFailure(TFailureKind::NoAnswer, reason);
    return result;
}

bool ReadInt(const QHash<QString, QString> &index, const char *key, qint64 &value)
{
    bool ok = false;
    value = index.value(QString::fromLatin1(key)).toLongLong(&ok);
    return ok;
}

bool ReadDegrees(const QHash<QString, QString> &index, const char *key, double &degrees)
{
    bool ok = false;
    degrees = index.value(QString::fromLatin1(key)).toDouble(&ok);
    return ok && std::isfinite(degrees);
}

// Answers read back: shown as the settings ask now, with the time they came.
TWeatherResult Kept(TWeatherResult result, const TRequestRecord &request, const QDateTime &fetched)
{
    result.Request = request;
    result.Request.Failure = TFetchFailure();
    result.FetchedAt = fetched;
    result.FromCache = true;
    return result;
}

// Open-Meteo's one answer, for the coordinates it was asked for: a place the
// settings have not located yet takes it by name, as its refresh will.
TWeatherResult ReadOpenMeteoCache(const QString &dataFolder, const QHash<QString, QString> &index,
                                  const TRequestRecord &request, const QDateTime &fetched)
{
    double latitude = 0, longitude = 0;
    if (!ReadDegrees(index, kLatitudeKey, latitude) || !ReadDegrees(index, kLongitudeKey, longitude))
        return Ignored(request, QStringLiteral("damaged index"));
    if (request.HasCoordinates
        && (std::fabs(latitude - request.Latitude) > kSamePlaceDegrees
            || std::fabs(longitude - request.Longitude) > kSamePlaceDegrees))
        return Ignored(request, QStringLiteral("another location"));
    QString error;
    TWeatherResult result;
    if (!ReadWhole(CachePath(dataFolder, kCachedOpenMeteoFile), THttpOptions().MaxBodyBytes, result.ForecastBody,
                   error))
        return Ignored(request, error);
    if (Hash(result.ForecastBody) != index.value(QString::fromLatin1(kForecastHashKey)).toLatin1())
        return Ignored(request, QStringLiteral("answers do not match their index"));
    TRequestRecord asked = request;
    asked.HasCoordinates = true;
    asked.Latitude = latitude;
    asked.Longitude = longitude;
    try {
        TOpenMeteoWeather weather;
        if (!OpenMeteoWeatherFromBody(result.ForecastBody, asked, weather))
            return Ignored(request, asked.Failure.Message);
        TakeOpenMeteoWeather(result, weather);
        NamePlace(result.Current, request, TCity());
        result.Astronomy = ForecastAstronomy(result.Forecast);
    } catch (const std::exception &failure) {
        return Ignored(request, QString::fromUtf8(failure.what()));
    }
    return Kept(std::move(result), request, fetched);
}

} // namespace

bool WriteWeatherCache(const QString &dataFolder, const TWeatherResult &result, QString &error)
{
    error.clear();
    const bool openMeteo = result.Request.Service == wsOpenMeteo;
    if (!result.Ok() || result.FromCache || (!openMeteo && result.CurrentBody.isEmpty())
        || result.ForecastBody.isEmpty() || !result.FetchedAt.isValid())
        return true; // nothing fetched to keep
    QString reason;
    if (!MakePrivateFolder(CacheFolder(dataFolder), TLinkRule::ReplaceLink, reason)) {
        error = QStringLiteral("%1: cannot create the folder: %2")
                    .arg(QDir::toNativeSeparators(CacheFolder(dataFolder)), reason);
        return false;
    }
    const TRequestRecord &request = result.Request;
    QByteArray index;
    index += IndexLine(kVersionKey, QString::fromLatin1(kIndexVersion));
    index += IndexLine(kServiceKey, ServiceWord(request.Service));
    index += IndexLine(kFetchedKey, result.FetchedAt.toUTC().toString(Qt::ISODateWithMs));
    index += IndexLine(kLocationKey, KeptPlace(result));
    index += IndexLine(kLocationIdKey, QString::number(request.LocationID));
    index += IndexLine(kUnitsKey, request.Units);
    index += IndexLine(kKeyTypeKey, QString::number(request.KeyType));
    index += IndexLine(kModeKey, QString::number(request.ForecastMode));
    index += IndexLine(kDaysKey, QString::number(request.NumberOfDays));
    index += IndexLine(kForecastHashKey, QString::fromLatin1(Hash(result.ForecastBody)));
    // The index goes last: until it names the new answers, the old index does
    // not match them and the cache reads as damaged, never as half new.
    if (openMeteo) {
        index += IndexLine(kLatitudeKey, QString::number(request.Latitude, 'f', 6));
        index += IndexLine(kLongitudeKey, QString::number(request.Longitude, 'f', 6));
        return WriteWhole(CachePath(dataFolder, kCachedOpenMeteoFile), result.ForecastBody, error)
               && WriteWhole(CachePath(dataFolder, kCacheIndexFile), index, error);
    }
    index += IndexLine(kCurrentHashKey, QString::fromLatin1(Hash(result.CurrentBody)));
    return WriteWhole(CachePath(dataFolder, kCachedCurrentFile), result.CurrentBody, error)
           && WriteWhole(CachePath(dataFolder, kCachedForecastFile), result.ForecastBody, error)
           && WriteWhole(CachePath(dataFolder, kCacheIndexFile), index, error);
}

TWeatherResult ReadWeatherCache(const QString &dataFolder, const TRequestRecord &request, const QDateTime &nowUtc)
{
    QString error;
    QByteArray indexBytes;
    if (!ReadWhole(CachePath(dataFolder, kCacheIndexFile), kMaxIndexBytes, indexBytes, error))
        return Ignored(request, error);
    const QHash<QString, QString> index = ParseIndex(indexBytes);
    if (index.value(QString::fromLatin1(kVersionKey)) != QLatin1String(kIndexVersion))
        return Ignored(request, QStringLiteral("unknown cache version"));

    const QDateTime fetched = QDateTime::fromString(index.value(QString::fromLatin1(kFetchedKey)), Qt::ISODate);
    if (!fetched.isValid())
        return Ignored(request, QStringLiteral("no fetch time"));
    const qint64 age = fetched.secsTo(nowUtc);
    if (age > kWeatherCacheMaxAgeSecs)
        return Ignored(request, QStringLiteral("older than a day"));
    if (age < -kWeatherCacheClockSlackSecs)
        return Ignored(request, QStringLiteral("fetched in the future"));

    qint64 locationId = 0;
    if (PlaceKey(index.value(QString::fromLatin1(kLocationKey))) != PlaceKey(request.LocationName)
        || !ReadInt(index, kLocationIdKey, locationId) || locationId != request.LocationID)
        return Ignored(request, QStringLiteral("another location"));
    if (index.value(QString::fromLatin1(kUnitsKey)) != request.Units)
        return Ignored(request, QStringLiteral("other units"));
    // A word this version does not know is no service's cache.
    const QString service = index.value(QString::fromLatin1(kServiceKey), QString::fromLatin1(kServiceOwmWord));
    if (service != ServiceWord(request.Service))
        return Ignored(request, QStringLiteral("another service"));
    if (request.Service == wsOpenMeteo)
        return ReadOpenMeteoCache(dataFolder, index, request, fetched);

    // The answers are parsed as the request that fetched them was: its key
    // type and mode decide the forecast's shape.
    qint64 keyType = 0, mode = 0, days = 0;
    if (!ReadInt(index, kKeyTypeKey, keyType) || !ReadInt(index, kModeKey, mode) || !ReadInt(index, kDaysKey, days)
        || (keyType != ktFree && keyType != ktPaid) || (mode != fmHourly && mode != fmDaily) || days < 0
        || days > kMaxForecastDays)
        return Ignored(request, QStringLiteral("damaged index"));
    TRequestRecord asked = request;
    asked.KeyType = static_cast<TKeyType>(keyType);
    asked.ForecastMode = static_cast<TForecastMode>(mode);
    asked.NumberOfDays = static_cast<std::uint8_t>(days);

    TWeatherResult result;
    const qint64 maxBytes = THttpOptions().MaxBodyBytes;
    if (!ReadWhole(CachePath(dataFolder, kCachedCurrentFile), maxBytes, result.CurrentBody, error)
        || !ReadWhole(CachePath(dataFolder, kCachedForecastFile), maxBytes, result.ForecastBody, error))
        return Ignored(request, error);
    if (Hash(result.CurrentBody) != index.value(QString::fromLatin1(kCurrentHashKey)).toLatin1()
        || Hash(result.ForecastBody) != index.value(QString::fromLatin1(kForecastHashKey)).toLatin1())
        return Ignored(request, QStringLiteral("answers do not match their index"));

    try {
        if (!CurrentWeatherFromBody(result.CurrentBody, asked, result.Current)
            || !ForecastFromBody(result.ForecastBody, asked, result.Forecast, 0, &result.Hours))
            return Ignored(request, asked.Failure.Message);
        result.Astronomy = ForecastAstronomy(result.Forecast);
    } catch (const std::exception &failure) {
        return Ignored(request, QString::fromUtf8(failure.what()));
    }
    return Kept(std::move(result), request, fetched);
}

QString CachedWeatherHint(const QDateTime &fetchedAt, const QLocale &locale)
{
    return FillText(lc_AsOf, DateTimeText(fetchedAt.toLocalTime(), locale));
}
