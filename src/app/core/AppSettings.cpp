#include "AppSettings.h"

#include "LayoutManagerValues.h"

#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMaxLatitude = 90;
constexpr double kMaxLongitude = 180;
// Decimals kept of a stored coordinate: 0.0001 degrees is about 11 m.
constexpr int kCoordinateDecimals = 4;

QString Name(const char *name)
{
    return QString::fromLatin1(name);
}

bool BoolValue(const TLayoutManagerValues &values, const char *name, bool fallback)
{
    const QVariant value = values.GetValueByName(Name(name));
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (ok)
        return number != 0;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

qint64 Int64Value(const TLayoutManagerValues &values, const char *name, qint64 fallback)
{
    const QVariant value = values.GetValueByName(Name(name));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    return ok ? number : fallback;
}

int IntValue(const TLayoutManagerValues &values, const char *name, int fallback)
{
    const qint64 number = Int64Value(values, name, fallback);
    return static_cast<int>(std::clamp<qint64>(number, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

QString TextValue(const TLayoutManagerValues &values, const char *name, const QString &fallback)
{
    const QVariant value = values.GetValueByName(Name(name));
    return value.isValid() ? value.toString() : fallback;
}

// A stored coordinate: a finite number within +-limit, in the C locale's writing.
bool DegreesValue(const TLayoutManagerValues &values, const char *name, double limit, double &degrees)
{
    bool ok = false;
    const double number = TextValue(values, name, QString()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > limit)
        return false;
    degrees = number;
    return true;
}

} // namespace

void RegisterDefaults(TLayoutManagerValues &values)
{
    values.AddItem(Name(kRunAtStartupName), true);
    values.AddItem(Name(kLocationName), Name(kDefaultLocation));
    values.AddItem(Name(kLocationIdName), Name(kDefaultLocationIdText));
    values.AddItem(Name(kUnitsName), kMetricUnits);
    values.AddItem(Name(kRefreshIntervalName), kDefaultRefreshMinutes);
    values.AddItem(Name(kForecastDaysName), kDefaultForecastDays);
    values.AddItem(Name(kCheckForUpdatesName), true);
    values.AddItem(Name(kApiKeyName), QString(), Name(kApiKeyPassword));
    values.AddItem(Name(kPaidName), false);
    values.AddItem(Name(kLanguageName), QString());
    values.AddItem(Name(kServiceName), Name(kServiceOwmWord));
    values.AddItem(Name(kOwnPicturesName), true);
    values.AddItem(Name(kTrayTemperatureName), false);
    values.AddItem(Name(kLatitudeName), QString());
    values.AddItem(Name(kLongitudeName), QString());
}

TAppSettings ReadSettings(const TLayoutManagerValues &values)
{
    const TAppSettings defaults;
    TAppSettings settings;
    settings.RunAtStartup = BoolValue(values, kRunAtStartupName, defaults.RunAtStartup);
    settings.Location = TextValue(values, kLocationName, defaults.Location);
    settings.LocationId = Int64Value(values, kLocationIdName, defaults.LocationId);
    settings.Units = IntValue(values, kUnitsName, defaults.Units);
    settings.RefreshMinutes = IntValue(values, kRefreshIntervalName, defaults.RefreshMinutes);
    settings.ForecastDays = std::clamp(IntValue(values, kForecastDaysName, defaults.ForecastDays),
                                       kMinForecastDays, kMaxForecastDays);
    settings.CheckForUpdates = BoolValue(values, kCheckForUpdatesName, defaults.CheckForUpdates);
    settings.ApiKey = TextValue(values, kApiKeyName, defaults.ApiKey);
    settings.Paid = BoolValue(values, kPaidName, defaults.Paid);
    settings.Language = TextValue(values, kLanguageName, defaults.Language);
    settings.Service = ServiceOfWord(TextValue(values, kServiceName, QString()));
    settings.OwnPictures = BoolValue(values, kOwnPicturesName, defaults.OwnPictures);
    settings.TrayTemperature = BoolValue(values, kTrayTemperatureName, defaults.TrayTemperature);
    double latitude = 0;
    double longitude = 0;
    if (DegreesValue(values, kLatitudeName, kMaxLatitude, latitude)
        && DegreesValue(values, kLongitudeName, kMaxLongitude, longitude)) {
        settings.HasCoordinates = true;
        settings.Latitude = latitude;
        settings.Longitude = longitude;
    }
    return settings;
}

bool IsImperial(int units)
{
    return units != kMetricUnits;
}

QString UnitsWord(int units)
{
    return QString::fromLatin1(IsImperial(units) ? kImperialWord : kMetricWord);
}

QString ServiceWord(TWeatherService service)
{
    return QString::fromLatin1(service == wsOpenMeteo ? kServiceOpenMeteoWord : kServiceOwmWord);
}

TWeatherService ServiceOfWord(const QString &word)
{
    return word.trimmed().compare(QLatin1String(kServiceOpenMeteoWord), Qt::CaseInsensitive) == 0 ? wsOpenMeteo
                                                                                                  : wsOwm;
}

void StoreCoordinates(TLayoutManagerValues &values, double latitude, double longitude)
{
    values.SetValueByName(Name(kLatitudeName), QString::number(latitude, 'f', kCoordinateDecimals));
    values.SetValueByName(Name(kLongitudeName), QString::number(longitude, 'f', kCoordinateDecimals));
}

TRequestRecord BuildRequest(const TAppSettings &settings)
{
    TRequestRecord request;
    request.Service = settings.Service;
    request.HasCoordinates = settings.HasCoordinates;
    request.Latitude = settings.Latitude;
    request.Longitude = settings.Longitude;
    request.Key = settings.ApiKey.trimmed();
    request.KeyType = settings.Paid ? ktPaid : ktFree;
    request.LocationName = LocationOrFallback(settings.Location);
    request.LocationID = settings.LocationId;
    request.Lang = QString::fromLatin1(kRequestLanguage);
    request.Units = UnitsWord(settings.Units);
    request.ForecastMode = fmDaily;
    request.NumberOfDays = static_cast<std::uint8_t>(
        std::clamp(settings.ForecastDays, kMinForecastDays, kMaxForecastDays));
    return request;
}

QString LocationOrFallback(const QString &location)
{
    return location.trimmed().isEmpty() ? QString::fromLatin1(kFallbackLocation) : location;
}

bool StoreLocationFallback(TLayoutManagerValues &values)
{
    const QString location = TextValue(values, kLocationName, QString());
    if (!location.trimmed().isEmpty())
        return false;
    values.SetValueByName(Name(kLocationName), Name(kFallbackLocation));
    return true;
}

int RefreshIntervalMs(int minutes)
{
    if (minutes <= 0)
        return 0;
    const qint64 ms = static_cast<qint64>(minutes) * kMsecsPerMinute;
    return static_cast<int>(std::min<qint64>(ms, std::numeric_limits<int>::max()));
}

QString ReportedLocation(const TCity &city)
{
    const QString name = city.Name.trimmed();
    const QString country = city.Country.trimmed();
    if (name.isEmpty())
        return {};
    if (country.isEmpty())
        return name;
    return name + QStringLiteral(", ") + country;
}

void StoreReportedLocation(TLayoutManagerValues &values, const TCity &city)
{
    const QString location = ReportedLocation(city);
    if (!location.isEmpty())
        values.SetValueByName(Name(kLocationName), location);
}
