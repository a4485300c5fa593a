#include "OpenMeteoParse.h"

#include "DateTimeConv.h"
#include "ServiceResponse.h"
#include "TrimText.h"
#include "UnitRules.h"
#include "WmoCondition.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double kAbsent = std::numeric_limits<double>::quiet_NaN();

// What the weather can be; a number beyond it is a broken answer's, not data.
struct TRange {
    double Low;
    double High;
};
constexpr TRange kCelsius{-100, 100};
constexpr TRange kFahrenheit{-148, 212};
constexpr TRange kPercent{0, 100};
constexpr TRange kHectopascals{500, 1100};
constexpr TRange kDegrees{0, 360};
constexpr TRange kMetresPerSecond{0, 150};
constexpr TRange kMilesPerHour{0, 336};
constexpr TRange kMillimetreRange{0, 2000};
constexpr TRange kInchRange{0, 80};
constexpr TRange kLatitude{-90, 90};
constexpr TRange kLongitude{-180, 180};
constexpr TRange kWmoCodes{0, 99};
constexpr TRange kDayFlag{0, 1};
constexpr int kSecondsPerHour = 3600;
// The widest offset any zone on Earth uses, ±14:00.
constexpr int kMaxZoneOffsetHours = 14;
constexpr TRange kZoneOffsetSeconds{-kMaxZoneOffsetHours * kSecondsPerHour, kMaxZoneOffsetHours * kSecondsPerHour};

constexpr double kPercentPerUnit = 100.0;
constexpr int kHoursPerDayCount = 24;
// The bytes of UTF-8 that continue a character are 10xxxxxx.
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationBits = 0x80;
constexpr double kMetresPerSecondPerMph = 0.44704;
constexpr double kDegreesPerPoint = 22.5;
constexpr int kCompassPoints = 16;
constexpr qsizetype kIsoDateLength = 10; // "2026-12-10"

const QString kNoData = QStringLiteral("No data received");
const QString kBadFormat = QStringLiteral("Bad format");
const QString kServiceError = QStringLiteral("The service reported an error");
const QString kNoCurrent = QStringLiteral("The answer holds no current weather");
const QString kNoDays = QStringLiteral("The answer holds no daily forecast");
const QString kNoZone = QStringLiteral("The answer names no usable time zone");
const QString kNoPlace = QStringLiteral("No place of that name was found");
const QString kNoUsablePlace = QStringLiteral("The answer holds no usable place");
const QString kTooDeep = QStringLiteral("The answer is nested deeper than %1 levels");
const QString kHttpStatus = QStringLiteral("The service answered HTTP %1");
const QString kAtPosition = QStringLiteral("%1 (line %2, column %3)");
const QString kHectopascalUnit = QStringLiteral("hPa");
const QString kPercentUnit = QStringLiteral("%");

constexpr int kFirstSuccessStatus = 200;
constexpr int kLastSuccessStatus = 299;

struct TCompassPoint {
    const char *Code;
    const char *Name;
};
constexpr TCompassPoint kCompass[kCompassPoints] = {
    {"N", "North"},    {"NNE", "North-northeast"}, {"NE", "Northeast"}, {"ENE", "East-northeast"},
    {"E", "East"},     {"ESE", "East-southeast"},  {"SE", "Southeast"}, {"SSE", "South-southeast"},
    {"S", "South"},    {"SSW", "South-southwest"}, {"SW", "Southwest"}, {"WSW", "West-southwest"},
    {"W", "West"},     {"WNW", "West-northwest"},  {"NW", "Northwest"}, {"NNW", "North-northwest"},
};

// The Beaufort classes by their upper bound in m/s, named as the wind
// condition texts are, so the description gains the wind's words as it does
// for the other service.
struct TBeaufortClass {
    double Below;
    const char *Name;
};
constexpr TBeaufortClass kBeaufort[] = {
    {0.5, "Calm"},           {1.6, "Light air"},      {3.4, "Light breeze"},
    {5.5, "Gentle Breeze"},  {8.0, "Moderate breeze"}, {10.8, "Fresh Breeze"},
    {13.9, "Strong breeze"}, {17.2, "High wind, near gale"}, {20.8, "Gale"},
    {24.5, "Severe Gale"},   {28.5, "Storm"},          {32.7, "Violent Storm"},
};
const char kHurricane[] = "Hurricane";

bool IsPresent(double value)
{
    return !std::isnan(value);
}

double InRange(const QJsonValue &value, TRange range)
{
    if (!value.isDouble())
        return kAbsent;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < range.Low || number > range.High)
        return kAbsent;
    return number;
}

QString CleanText(const QJsonValue &value)
{
    return value.isString() ? WithoutControlCharacters(TrimControl(value.toString())) : QString();
}

bool IsFailureStatus(int status)
{
    return status != 0 && (status < kFirstSuccessStatus || status > kLastSuccessStatus);
}

// Line and column (in characters, from 1) of a byte offset into UTF-8 text.
void PositionOf(const QByteArray &body, qsizetype offset, int &line, int &column)
{
    line = 1;
    column = 1;
    const qsizetype end = std::min(offset, body.size());
    for (qsizetype i = 0; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(body.at(i));
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & kContinuationMask) != kContinuationBits) {
            ++column;
        }
    }
}

// The offset of the first bracket nested deeper than `limit`, or -1. Brackets
// inside strings do not count.
qsizetype TooDeepAt(const QByteArray &body, int limit)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body.at(i);
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return -1;
}

TFetchFailure BadDocumentAt(const QString &message, const QByteArray &body, qsizetype offset, int httpStatus)
{
    TFetchFailure failure = MakeFailure(TFailureKind::BadDocument, QString(), httpStatus);
    PositionOf(body, offset, failure.Line, failure.Column);
    failure.Message = kAtPosition.arg(message).arg(failure.Line).arg(failure.Column);
    return failure;
}

// The checks every answer goes through before its contents are read; false
// with `failure` set when the body is no JSON object to read.
bool JudgeBody(const QByteArray &body, int httpStatus, QJsonObject &root, TFetchFailure &failure)
{
    if (body.isEmpty()) {
        failure = MakeFailure(TFailureKind::NoAnswer, kNoData, httpStatus);
        return false;
    }
    const qsizetype deep = TooDeepAt(body, kMaxOpenMeteoNesting);
    if (deep >= 0) {
        failure = BadDocumentAt(kTooDeep.arg(kMaxOpenMeteoNesting), body, deep, httpStatus);
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    const bool parsed = error.error == QJsonParseError::NoError;
    // The service's error comes as {"error": true, "reason": "…"}, usually with 400.
    if (parsed && document.isObject() && document.object().value(QLatin1String("error")).toBool(false)) {
        QString reason = MessageFromBody(CleanText(document.object().value(QLatin1String("reason"))));
        if (reason.isEmpty())
            reason = kServiceError;
        failure = MakeFailure(TFailureKind::HttpStatus, reason, httpStatus);
        return false;
    }
    if (IsFailureStatus(httpStatus)) {
        failure = MakeFailure(TFailureKind::HttpStatus, kHttpStatus.arg(httpStatus), httpStatus);
        return false;
    }
    if (!parsed) {
        failure = BadDocumentAt(error.errorString(), body, error.offset, httpStatus);
        return false;
    }
    if (!document.isObject()) {
        failure = MakeFailure(TFailureKind::BadDocument, kBadFormat, httpStatus);
        return false;
    }
    root = document.object();
    return true;
}

// The place's clock: its zone when this system knows it (so hours across a
// change to or from summer time are placed right), else the answer's fixed offset.
bool PlaceZone(const QJsonObject &root, QTimeZone &zone)
{
    const QByteArray name = CleanText(root.value(QLatin1String("timezone"))).toUtf8();
    if (!name.isEmpty() && QTimeZone::isTimeZoneIdAvailable(name)) {
        zone = QTimeZone(name);
        if (zone.isValid())
            return true;
    }
    const double offset = InRange(root.value(QLatin1String("utc_offset_seconds")), kZoneOffsetSeconds);
    if (!IsPresent(offset) || offset != std::floor(offset))
        return false;
    zone = QTimeZone(static_cast<int>(offset));
    return zone.isValid();
}

// The place's wall-clock time "2026-12-10T13:45" (seconds optional) or date,
// as the machine's local time in the program's convention; 0 when unreadable.
QDateTime PlaceDateTime(const QString &text, const QTimeZone &zone)
{
    static const QRegularExpression syntax(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:T(\\d{2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = syntax.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time = m.capturedLength(4) > 0
                           ? QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt())
                           : QTime(0, 0);
    if (!date.isValid() || !time.isValid())
        return {};
    const QDateTime placed(date, time, zone);
    return placed.isValid() ? placed.toLocalTime() : QDateTime();
}

TDateTime PlaceTime(const QJsonValue &value, const QTimeZone &zone)
{
    const QDateTime local = PlaceDateTime(CleanText(value), zone);
    return local.isValid() ? DateTimeFromQDateTime(local) : kNoDateTime;
}

// The day a daily row covers, as a whole day: the place's date, whichever
// zone this machine is in.
TDateTime PlaceDay(const QJsonValue &value)
{
    const QDate date = QDate::fromString(CleanText(value).left(kIsoDateLength), Qt::ISODate);
    if (!date.isValid() || CleanText(value).size() != kIsoDateLength)
        return kNoDateTime;
    return static_cast<double>(DateTimeEpoch().daysTo(date));
}

// One section's parallel arrays, keyed by the `time` array.
class TColumns
{
public:
    explicit TColumns(const QJsonObject &section) : FSection(section)
    {
        FTimes = section.value(QLatin1String("time")).toArray();
    }

    qsizetype Rows() const { return FTimes.size(); }
    QJsonValue Time(qsizetype row) const { return FTimes.at(row); }
    QJsonValue At(const char *name, qsizetype row) const
    {
        // Each column is looked up once, not once a row: a week of hours is
        // hundreds of rows, read again from the cache at every start.
        const QLatin1String key(name);
        auto values = FColumns.constFind(key);
        if (values == FColumns.constEnd())
            values = FColumns.insert(key, FSection.value(key).toArray());
        return row < values->size() ? values->at(row) : QJsonValue();
    }
    double Number(const char *name, qsizetype row, TRange range) const { return InRange(At(name, row), range); }

private:
    QJsonObject FSection;
    QJsonArray FTimes;
    mutable QHash<QLatin1String, QJsonArray> FColumns;
};

// How one answer's values are read and labelled: by the request's units,
// which chose the units the service answered in.
class TReader
{
public:
    explicit TReader(const QString &units) : FUnits(units), FMetric(IsMetric(units)) {}

    TRange Temperature() const { return FMetric ? kCelsius : kFahrenheit; }
    TRange Precipitation() const { return FMetric ? kMillimetreRange : kInchRange; }
    TRange WindSpeed() const { return FMetric ? kMetresPerSecond : kMilesPerHour; }

    void SetTemperature(TValue &value, double temperature) const
    {
        value.Value = temperature;
        value.Units = IsPresent(temperature) ? TemperatureUnit(FUnits) : QString();
    }

    // A day's range; its temperature at a given hour is not known.
    void SetRange(TValue &value, double max, double min) const
    {
        value.Value = kAbsent;
        value.Max = max;
        value.Min = min;
        value.Units = IsPresent(max) || IsPresent(min) ? TemperatureUnit(FUnits) : QString();
    }

    void SetFeelsLike(TTemperature &temp, double feelsLike) const
    {
        temp.HasFeelsLike = IsPresent(feelsLike);
        if (temp.HasFeelsLike)
            temp.FeelsLike = feelsLike;
    }

    static void SetPercent(TValue &value, double percent)
    {
        value.Value = percent;
        value.Units = IsPresent(percent) ? kPercentUnit : QString();
    }

    void SetPressure(TValue &value, double hectopascals) const
    {
        if (IsPresent(hectopascals)) {
            ::SetPressure(value, hectopascals, kHectopascalUnit, FUnits);
        } else {
            value.Value = kAbsent;
            value.Units.clear();
        }
    }

    // Asked for inches in imperial units, the service converts them itself.
    void SetPrecipitation(TValue &value, double amount) const
    {
        value.Value = amount;
        value.Units = !IsPresent(amount) ? QString()
                      : FMetric           ? QString::fromLatin1(kMillimetres)
                                          : QString::fromLatin1(kInches);
    }

    void SetWind(TWind &wind, double speed, double degrees) const
    {
        if (IsPresent(speed)) {
            SetWindSpeed(wind.Speed, speed, FUnits);
            wind.Speed.Name = QString::fromLatin1(BeaufortName(FMetric ? speed : speed * kMetresPerSecondPerMph));
        } else {
            wind.Speed.Value = kAbsent;
        }
        wind.Direction.Value = degrees;
        if (IsPresent(degrees)) {
            const TCompassPoint &point =
                kCompass[static_cast<int>(std::lround(degrees / kDegreesPerPoint)) % kCompassPoints];
            wind.Direction.Code = QString::fromLatin1(point.Code);
            wind.Direction.Name = QString::fromLatin1(point.Name);
        }
    }

    static void SetCondition(TValue &weather, double wmoCode, bool day)
    {
        if (!IsPresent(wmoCode) || wmoCode != std::floor(wmoCode))
            return;
        const TWmoCondition condition = WmoCondition(static_cast<int>(wmoCode), day);
        if (condition.Code == 0)
            return;
        weather.Value = condition.Code;
        weather.Code = QString::number(condition.Code);
        weather.Icon = IconFileName(condition.Picture);
    }

private:
    static const char *BeaufortName(double metresPerSecond)
    {
        for (const TBeaufortClass &entry : kBeaufort) {
            if (metresPerSecond < entry.Below)
                return entry.Name;
        }
        return kHurricane;
    }

    QString FUnits;
    bool FMetric;
};

double Chance(double percent)
{
    return IsPresent(percent) ? percent / kPercentPerUnit : kNoPrecipitationChance;
}

// The place as the request names it, where the answer says it is.
TCity BaseCity(const QJsonObject &root, const TRequestRecord &request)
{
    TCity city;
    city.ID = request.LocationID >= 0 ? request.LocationID : 0;
    city.Name = TrimControl(request.LocationName);
    const double lat = InRange(root.value(QLatin1String("latitude")), kLatitude);
    const double lon = InRange(root.value(QLatin1String("longitude")), kLongitude);
    const bool answered = IsPresent(lat) && IsPresent(lon);
    city.Lat = answered ? lat : request.Latitude;
    city.Lon = answered ? lon : request.Longitude;
    return city;
}

bool ReadCurrent(const QJsonObject &root, const TReader &reader, const QTimeZone &zone, TWeatherRecord &record)
{
    const QJsonValue section = root.value(QLatin1String("current"));
    if (!section.isObject())
        return false;
    const QJsonObject current = section.toObject();
    const auto number = [&current](const char *name, TRange range) {
        return InRange(current.value(QLatin1String(name)), range);
    };
    reader.SetTemperature(record.Temp.Value, number("temperature_2m", reader.Temperature()));
    reader.SetFeelsLike(record.Temp, number("apparent_temperature", reader.Temperature()));
    TReader::SetPercent(record.Humidity, number("relative_humidity_2m", kPercent));
    reader.SetPressure(record.Pressure, number("pressure_msl", kHectopascals));
    reader.SetWind(record.Wind, number("wind_speed_10m", reader.WindSpeed()),
                   number("wind_direction_10m", kDegrees));
    TReader::SetPercent(record.Clouds, number("cloud_cover", kPercent));
    reader.SetPrecipitation(record.Precipitation, number("precipitation", reader.Precipitation()));
    TReader::SetCondition(record.Weather, number("weather_code", kWmoCodes), number("is_day", kDayFlag) != 0);
    record.TimeStamp = PlaceTime(current.value(QLatin1String("time")), zone);
    return true;
}

// The days, each with its sunrise and sunset in its city, by the place's date.
void ReadDays(const QJsonObject &daily, const TReader &reader, const QTimeZone &zone, const TCity &base,
              int maxDays, TWeatherData &days, QHash<QString, TCity> &cityByDate)
{
    const TColumns columns(daily);
    for (qsizetype row = 0; row < columns.Rows() && days.size() < maxDays; ++row) {
        TWeatherRecord record;
        record.TimeStamp = PlaceDay(columns.Time(row));
        if (record.TimeStamp == kNoDateTime)
            continue;
        record.City = base;
        record.City.Sunrise = PlaceTime(columns.At("sunrise", row), zone);
        record.City.Sunset = PlaceTime(columns.At("sunset", row), zone);
        reader.SetRange(record.Temp.Value, columns.Number("temperature_2m_max", row, reader.Temperature()),
                        columns.Number("temperature_2m_min", row, reader.Temperature()));
        TReader::SetPercent(record.Humidity, columns.Number("relative_humidity_2m_mean", row, kPercent));
        reader.SetPressure(record.Pressure, columns.Number("pressure_msl_mean", row, kHectopascals));
        reader.SetWind(record.Wind, columns.Number("wind_speed_10m_max", row, reader.WindSpeed()),
                       columns.Number("wind_direction_10m_dominant", row, kDegrees));
        TReader::SetPercent(record.Clouds, columns.Number("cloud_cover_mean", row, kPercent));
        reader.SetPrecipitation(record.Precipitation, columns.Number("precipitation_sum", row, reader.Precipitation()));
        record.PrecipitationChance = Chance(columns.Number("precipitation_probability_max", row, kPercent));
        // A day's row shows the day picture.
        TReader::SetCondition(record.Weather, columns.Number("weather_code", row, kWmoCodes), true);
        cityByDate.insert(CleanText(columns.Time(row)), record.City);
        days.append(record);
    }
}

void ReadHours(const QJsonObject &hourly, const TReader &reader, const QTimeZone &zone, const TCity &base,
               const QHash<QString, TCity> &cityByDate, int maxHours, TWeatherData &hours)
{
    const TColumns columns(hourly);
    for (qsizetype row = 0; row < columns.Rows() && hours.size() < maxHours; ++row) {
        const QString timeText = CleanText(columns.Time(row));
        const QDateTime from = PlaceDateTime(timeText, zone);
        if (!from.isValid())
            continue;
        TWeatherRecord record;
        record.City = cityByDate.value(timeText.left(kIsoDateLength), base);
        // Set as a slot of the 3-hour forecast is, one hour long.
        record.FromTime = DateTimeFromQDateTime(from);
        record.ToTime = DateTimeFromQDateTime(from.addSecs(kSecondsPerHour));
        record.TimeStamp = DateOf(record.FromTime);
        const double temperature = columns.Number("temperature_2m", row, reader.Temperature());
        reader.SetTemperature(record.Temp.Value, temperature);
        record.Temp.Value.Min = temperature;
        record.Temp.Value.Max = temperature;
        reader.SetFeelsLike(record.Temp, columns.Number("apparent_temperature", row, reader.Temperature()));
        TReader::SetPercent(record.Humidity, columns.Number("relative_humidity_2m", row, kPercent));
        reader.SetPressure(record.Pressure, columns.Number("pressure_msl", row, kHectopascals));
        reader.SetWind(record.Wind, columns.Number("wind_speed_10m", row, reader.WindSpeed()),
                       columns.Number("wind_direction_10m", row, kDegrees));
        TReader::SetPercent(record.Clouds, columns.Number("cloud_cover", row, kPercent));
        reader.SetPrecipitation(record.Precipitation, columns.Number("precipitation", row, reader.Precipitation()));
        record.PrecipitationChance = Chance(columns.Number("precipitation_probability", row, kPercent));
        TReader::SetCondition(record.Weather, columns.Number("weather_code", row, kWmoCodes),
                              columns.Number("is_day", row, kDayFlag) != 0);
        hours.append(record);
    }
}

} // namespace

int OpenMeteoForecastDays(const TRequestRecord &request)
{
    return std::clamp<int>(request.NumberOfDays, 1, kMaxOpenMeteoDays);
}

bool ParseOpenMeteoForecast(const QByteArray &body, int httpStatus, const TRequestRecord &request,
                            TOpenMeteoWeather &weather, TFetchFailure &failure)
{
    failure = TFetchFailure();
    QJsonObject root;
    if (!JudgeBody(body, httpStatus, root, failure))
        return false;
    QTimeZone zone;
    if (!PlaceZone(root, zone)) {
        failure = MakeFailure(TFailureKind::BadDocument, kNoZone, httpStatus);
        return false;
    }
    const TReader reader(request.Units);
    const TCity base = BaseCity(root, request);

    TOpenMeteoWeather parsed;
    parsed.Current.City = base;
    if (!ReadCurrent(root, reader, zone, parsed.Current)) {
        failure = MakeFailure(TFailureKind::BadDocument, kNoCurrent, httpStatus);
        return false;
    }
    const int days = OpenMeteoForecastDays(request);
    QHash<QString, TCity> cityByDate;
    ReadDays(root.value(QLatin1String("daily")).toObject(), reader, zone, base, days, parsed.Days, cityByDate);
    if (parsed.Days.isEmpty()) {
        failure = MakeFailure(TFailureKind::BadDocument, kNoDays, httpStatus);
        return false;
    }
    ReadHours(root.value(QLatin1String("hourly")).toObject(), reader, zone, base, cityByDate,
              days * kHoursPerDayCount, parsed.Hours);
    // The current weather's sunrise and sunset are those of its day.
    const QString currentDate =
        CleanText(root.value(QLatin1String("current")).toObject().value(QLatin1String("time"))).left(kIsoDateLength);
    parsed.Current.City = cityByDate.value(currentDate, parsed.Days.constFirst().City);
    weather = parsed;
    return true;
}

bool ParseOpenMeteoPlaces(const QByteArray &body, int httpStatus, TCities &cities, TFetchFailure &failure)
{
    failure = TFetchFailure();
    QJsonObject root;
    if (!JudgeBody(body, httpStatus, root, failure))
        return false;
    const QJsonValue results = root.value(QLatin1String("results"));
    if (results.isUndefined() || results.isNull() || (results.isArray() && results.toArray().isEmpty())) {
        failure = MakeFailure(TFailureKind::PlaceNotFound, kNoPlace, httpStatus);
        return false;
    }
    if (!results.isArray()) {
        failure = MakeFailure(TFailureKind::BadDocument, kBadFormat, httpStatus);
        return false;
    }
    TCities found;
    for (const QJsonValue &entry : results.toArray()) {
        const QJsonObject place = entry.toObject();
        TCity city;
        city.Name = CleanText(place.value(QLatin1String("name")));
        const double lat = InRange(place.value(QLatin1String("latitude")), kLatitude);
        const double lon = InRange(place.value(QLatin1String("longitude")), kLongitude);
        if (city.Name.isEmpty() || !IsPresent(lat) || !IsPresent(lon))
            continue;
        city.Lat = lat;
        city.Lon = lon;
        const double id = InRange(place.value(QLatin1String("id")),
                                  TRange{0, static_cast<double>(std::numeric_limits<std::int32_t>::max())});
        city.ID = IsPresent(id) && id == std::floor(id) ? static_cast<std::int64_t>(id) : 0;
        city.Country = CleanText(place.value(QLatin1String("country_code")));
        city.CountryName = CleanText(place.value(QLatin1String("country")));
        city.Region = CleanText(place.value(QLatin1String("admin1")));
        found.append(city);
    }
    if (found.isEmpty()) {
        failure = MakeFailure(TFailureKind::BadDocument, kNoUsablePlace, httpStatus);
        return false;
    }
    cities = found;
    return true;
}
