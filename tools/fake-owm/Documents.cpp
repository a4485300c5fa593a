#include "Documents.h"

#include "SyntheticWeather.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace {

constexpr qint64 kSecondsPerSlot = 3 * 3600;
constexpr int kSlotsPerDay = 8;
constexpr double kKelvinOffset = 273.15;
constexpr double kMphPerMps = 2.23694;

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

bool Metric(const QString &units)
{
    return units.compare(QLatin1String("metric"), Qt::CaseInsensitive) == 0;
}

bool Imperial(const QString &units)
{
    return units.compare(QLatin1String("imperial"), Qt::CaseInsensitive) == 0;
}

double Temperature(double celsius, const QString &units)
{
    if (Metric(units))
        return celsius;
    return Imperial(units) ? celsius * 9 / 5 + 32 : celsius + kKelvinOffset;
}

QString TemperatureUnit(const QString &units)
{
    if (Metric(units))
        return QStringLiteral("celsius");
    return Imperial(units) ? QStringLiteral("fahrenheit") : QStringLiteral("kelvin");
}

double Speed(double mps, const QString &units)
{
    return Imperial(units) ? mps * kMphPerMps : mps;
}

QString SpeedUnit(const QString &units)
{
    return Imperial(units) ? QStringLiteral("mph") : QStringLiteral("m/s");
}

QString Num(double value, int decimals = 2)
{
    return QString::number(value, 'f', decimals);
}

QString Time(const QDateTime &utc)
{
    return utc.toUTC().toString(kTimeFormat);
}

// Sunrise and sunset of the city's own calendar day, which east or west of
// Greenwich may differ from the UTC day.
TSunTimes SunOfLocalDay(const TFakeCity &city, const QDateTime &now)
{
    const QDateTime solar = now.toUTC().addSecs(static_cast<qint64>(city.Lon / 15.0 * 3600));
    return SunTimes(city, solar.date());
}

class TWriter
{
public:
    TWriter() : FXml(&FBytes)
    {
        FXml.setAutoFormatting(true);
        FXml.writeStartDocument();
    }

    QXmlStreamWriter &Xml() { return FXml; }

    // An element with attributes given as name/value pairs, closed at once.
    void Empty(const QString &name, std::initializer_list<std::pair<QString, QString>> attributes)
    {
        FXml.writeEmptyElement(name);
        for (const auto &[key, value] : attributes)
            FXml.writeAttribute(key, value);
    }

    QByteArray Finish()
    {
        FXml.writeEndDocument();
        return FBytes;
    }

private:
    QByteArray FBytes;
    QXmlStreamWriter FXml;
};

void WriteCityElement(TWriter &w, const TFakeCity &city, const QDateTime &now)
{
    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("city"));
    x.writeAttribute(QStringLiteral("id"), QString::number(city.Id));
    x.writeAttribute(QStringLiteral("name"), city.Name);
    w.Empty(QStringLiteral("coord"), {{QStringLiteral("lon"), Num(city.Lon, 4)}, {QStringLiteral("lat"), Num(city.Lat, 4)}});
    x.writeTextElement(QStringLiteral("country"), city.Country);
    const TSunTimes sun = SunOfLocalDay(city, now);
    w.Empty(QStringLiteral("sun"), {{QStringLiteral("rise"), Time(sun.Rise)}, {QStringLiteral("set"), Time(sun.Set)}});
    x.writeEndElement();
}

// The observation part shared by the current weather and each search result.
void WriteObservation(TWriter &w, const TFakeCity &city, const QString &units, const QDateTime &now)
{
    const TSample s = SampleAt(city, now);
    const QString tempUnit = TemperatureUnit(units);
    w.Empty(QStringLiteral("temperature"), {{QStringLiteral("value"), Num(Temperature(s.TempC, units))},
                                            {QStringLiteral("min"), Num(Temperature(s.TempC - 1.5, units))},
                                            {QStringLiteral("max"), Num(Temperature(s.TempC + 1.5, units))},
                                            {QStringLiteral("unit"), tempUnit}});
    // Wind makes it feel colder; a rough rule is enough for made-up weather.
    constexpr double kChillPerMps = 0.7;
    w.Empty(QStringLiteral("feels_like"), {{QStringLiteral("value"), Num(Temperature(s.TempC - kChillPerMps * s.WindMps, units))},
                                           {QStringLiteral("unit"), tempUnit}});
    w.Empty(QStringLiteral("humidity"), {{QStringLiteral("value"), Num(s.Humidity, 0)}, {QStringLiteral("unit"), QStringLiteral("%")}});
    w.Empty(QStringLiteral("pressure"), {{QStringLiteral("value"), Num(s.PressureHpa, 0)}, {QStringLiteral("unit"), QStringLiteral("hPa")}});

    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("wind"));
    w.Empty(QStringLiteral("speed"), {{QStringLiteral("value"), Num(Speed(s.WindMps, units))},
                                      {QStringLiteral("unit"), SpeedUnit(units)},
                                      {QStringLiteral("name"), WindSpeedName(s.WindMps)}});
    w.Empty(QStringLiteral("direction"), {{QStringLiteral("value"), Num(s.WindDeg, 0)},
                                          {QStringLiteral("code"), DirectionCode(s.WindDeg)},
                                          {QStringLiteral("name"), DirectionName(s.WindDeg)}});
    x.writeEndElement();

    w.Empty(QStringLiteral("clouds"), {{QStringLiteral("value"), Num(s.Clouds, 0)}, {QStringLiteral("name"), s.Condition.Name}});
    w.Empty(QStringLiteral("visibility"), {{QStringLiteral("value"), QStringLiteral("10000")}});
    if (s.PrecipMm > 0)
        w.Empty(QStringLiteral("precipitation"), {{QStringLiteral("value"), Num(s.PrecipMm / 3)},
                                                  {QStringLiteral("mode"), s.PrecipType},
                                                  {QStringLiteral("unit"), QStringLiteral("1h")}});
    else
        w.Empty(QStringLiteral("precipitation"), {{QStringLiteral("mode"), QStringLiteral("no")}});
    w.Empty(QStringLiteral("weather"), {{QStringLiteral("number"), QString::number(s.Condition.Number)},
                                        {QStringLiteral("value"), s.Condition.Name},
                                        {QStringLiteral("icon"), IconCode(city, s, now)}});
    // The service updates every ten minutes or so.
    const QDateTime updated = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch() / 600 * 600, Qt::UTC);
    w.Empty(QStringLiteral("lastupdate"), {{QStringLiteral("value"), Time(updated)}});
}

void WriteForecastHead(TWriter &w, const TFakeCity &city, const QDateTime &now)
{
    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("location"));
    x.writeTextElement(QStringLiteral("name"), city.Name);
    x.writeEmptyElement(QStringLiteral("type"));
    x.writeTextElement(QStringLiteral("country"), city.Country);
    x.writeTextElement(QStringLiteral("timezone"), QString::number(qRound(city.Lon / 15) * 3600));
    w.Empty(QStringLiteral("location"), {{QStringLiteral("altitude"), QStringLiteral("0")},
                                         {QStringLiteral("latitude"), Num(city.Lat, 4)},
                                         {QStringLiteral("longitude"), Num(city.Lon, 4)},
                                         {QStringLiteral("geobase"), QStringLiteral("geonames")},
                                         {QStringLiteral("geobaseid"), QString::number(city.Id)}});
    x.writeEndElement();
    x.writeEmptyElement(QStringLiteral("credit"));
    x.writeStartElement(QStringLiteral("meta"));
    x.writeTextElement(QStringLiteral("lastupdate"), QString());
    x.writeTextElement(QStringLiteral("calctime"), QStringLiteral("0.0"));
    x.writeTextElement(QStringLiteral("nextupdate"), QString());
    x.writeEndElement();
    const TSunTimes sun = SunOfLocalDay(city, now);
    w.Empty(QStringLiteral("sun"), {{QStringLiteral("rise"), Time(sun.Rise)}, {QStringLiteral("set"), Time(sun.Set)}});
}

constexpr double kDryChance = 0.05;
constexpr double kMmForCertainRain = 4.0;

void WriteSlotValues(TWriter &w, const TSample &s, const QString &icon, const QString &units,
                     const QString &precipitationUnit)
{
    w.Empty(QStringLiteral("symbol"), {{QStringLiteral("number"), QString::number(s.Condition.Number)},
                                       {QStringLiteral("name"), s.Condition.Name},
                                       {QStringLiteral("var"), icon}});
    // The chance grows with the amount; a dry slot still has a small one.
    const QString chance = Num(std::min(1.0, kDryChance + s.PrecipMm / kMmForCertainRain));
    if (s.PrecipMm > 0)
        w.Empty(QStringLiteral("precipitation"), {{QStringLiteral("unit"), precipitationUnit},
                                                  {QStringLiteral("value"), Num(s.PrecipMm)},
                                                  {QStringLiteral("type"), s.PrecipType},
                                                  {QStringLiteral("probability"), chance}});
    else
        w.Empty(QStringLiteral("precipitation"), {{QStringLiteral("probability"), chance}}); // dry
    w.Empty(QStringLiteral("windDirection"), {{QStringLiteral("deg"), Num(s.WindDeg, 0)},
                                              {QStringLiteral("code"), DirectionCode(s.WindDeg)},
                                              {QStringLiteral("name"), DirectionName(s.WindDeg)}});
    w.Empty(QStringLiteral("windSpeed"), {{QStringLiteral("mps"), Num(Speed(s.WindMps, units))},
                                          {QStringLiteral("unit"), SpeedUnit(units)},
                                          {QStringLiteral("name"), WindSpeedName(s.WindMps)}});
}

void WriteSlotTail(TWriter &w, const TSample &s)
{
    w.Empty(QStringLiteral("pressure"), {{QStringLiteral("unit"), QStringLiteral("hPa")}, {QStringLiteral("value"), Num(s.PressureHpa, 0)}});
    w.Empty(QStringLiteral("humidity"), {{QStringLiteral("value"), Num(s.Humidity, 0)}, {QStringLiteral("unit"), QStringLiteral("%")}});
    w.Empty(QStringLiteral("clouds"), {{QStringLiteral("value"), s.Condition.Name},
                                       {QStringLiteral("all"), Num(s.Clouds, 0)},
                                       {QStringLiteral("unit"), QStringLiteral("%")}});
}

QDateTime FirstSlot(const QDateTime &now)
{
    const qint64 secs = now.toSecsSinceEpoch();
    const qint64 start = (secs + kSecondsPerSlot - 1) / kSecondsPerSlot * kSecondsPerSlot;
    return QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
}

// The sample at a local solar hour of a UTC day.
TSample SampleAtSolarHour(const TFakeCity &city, const QDate &day, double solarHour)
{
    const double utcHour = solarHour - city.Lon / 15.0;
    return SampleAt(city, QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(static_cast<qint64>(utcHour * 3600)));
}

} // namespace

QByteArray CurrentDocument(const TFakeCity &city, const QString &units, const QDateTime &now)
{
    TWriter w;
    w.Xml().writeStartElement(QStringLiteral("current"));
    WriteCityElement(w, city, now);
    WriteObservation(w, city, units, now);
    w.Xml().writeEndElement();
    return w.Finish();
}

QByteArray ForecastDocument(const TFakeCity &city, const QString &units, const QDateTime &now, int count)
{
    TWriter w;
    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("weatherdata"));
    WriteForecastHead(w, city, now);
    x.writeStartElement(QStringLiteral("forecast"));
    const QDateTime first = FirstSlot(now);
    for (int i = 0; i < count; ++i) {
        const QDateTime from = first.addSecs(i * kSecondsPerSlot);
        const QDateTime middle = from.addSecs(kSecondsPerSlot / 2);
        const TSample s = SampleAt(city, middle);
        x.writeStartElement(QStringLiteral("time"));
        x.writeAttribute(QStringLiteral("from"), Time(from));
        x.writeAttribute(QStringLiteral("to"), Time(from.addSecs(kSecondsPerSlot)));
        WriteSlotValues(w, s, IconCode(city, s, middle), units, QStringLiteral("3h"));
        w.Empty(QStringLiteral("temperature"), {{QStringLiteral("unit"), TemperatureUnit(units)},
                                                {QStringLiteral("value"), Num(Temperature(s.TempC, units))},
                                                {QStringLiteral("min"), Num(Temperature(s.TempC - 0.8, units))},
                                                {QStringLiteral("max"), Num(Temperature(s.TempC + 0.8, units))}});
        WriteSlotTail(w, s);
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndElement();
    return w.Finish();
}

QByteArray DailyDocument(const TFakeCity &city, const QString &units, const QDateTime &now, int count)
{
    TWriter w;
    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("weatherdata"));
    WriteForecastHead(w, city, now);
    x.writeStartElement(QStringLiteral("forecast"));
    const QDate today = now.toUTC().date();
    for (int d = 0; d < count; ++d) {
        const QDate day = today.addDays(d);
        double low = 1e9;
        double high = -1e9;
        double precipitation = 0;
        for (int slot = 0; slot < kSlotsPerDay; ++slot) {
            const TSample s = SampleAtSolarHour(city, day, slot * 3.0 + 1.5);
            low = std::min(low, s.TempC);
            high = std::max(high, s.TempC);
            precipitation += s.PrecipMm;
        }
        TSample noon = SampleAtSolarHour(city, day, 13.0);
        noon.PrecipMm = precipitation;
        if (precipitation > 0 && noon.PrecipType.isEmpty())
            noon.PrecipType = noon.TempC <= 0.5 ? QStringLiteral("snow") : QStringLiteral("rain");
        x.writeStartElement(QStringLiteral("time"));
        x.writeAttribute(QStringLiteral("day"), day.toString(Qt::ISODate));
        WriteSlotValues(w, noon, noon.Condition.IconBase + QLatin1Char('d'), units, QString());
        const auto at = [&](double hour) { return Num(Temperature(SampleAtSolarHour(city, day, hour).TempC, units)); };
        w.Empty(QStringLiteral("temperature"), {{QStringLiteral("day"), at(14)},
                                                {QStringLiteral("min"), Num(Temperature(low, units))},
                                                {QStringLiteral("max"), Num(Temperature(high, units))},
                                                {QStringLiteral("night"), at(23)},
                                                {QStringLiteral("eve"), at(19)},
                                                {QStringLiteral("morn"), at(8)}});
        WriteSlotTail(w, noon);
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndElement();
    return w.Finish();
}

QByteArray FindDocument(const QVector<const TFakeCity *> &cities, const QString &units, const QDateTime &now)
{
    TWriter w;
    QXmlStreamWriter &x = w.Xml();
    x.writeStartElement(QStringLiteral("cities"));
    x.writeTextElement(QStringLiteral("calctime"), QStringLiteral("0.001"));
    x.writeTextElement(QStringLiteral("count"), QString::number(cities.size()));
    x.writeTextElement(QStringLiteral("mode"), QStringLiteral("like"));
    x.writeStartElement(QStringLiteral("list"));
    for (const TFakeCity *city : cities) {
        x.writeStartElement(QStringLiteral("item"));
        WriteCityElement(w, *city, now);
        WriteObservation(w, *city, units, now);
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndElement();
    return w.Finish();
}
