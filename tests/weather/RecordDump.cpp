#include "RecordDump.h"

#include "DateTimeConv.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace {

// Enough decimals of a day to tell seconds apart, few enough to survive a change
// in the last bit of the arithmetic.
constexpr int kDayDecimals = 6;

QString Text(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString Number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Time(TDateTime value)
{
    const QDateTime local = QDateTimeFromDateTime(value);
    const QString format = local.time().msec() != 0 ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                     : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return QStringLiteral("%1 (%2)").arg(QString::number(value, 'f', kDayDecimals), local.toString(format));
}

// Collects "name=value" pairs of the fields that are set.
class Fields
{
public:
    Fields &Add(const char *name, const QString &text)
    {
        if (!text.isEmpty())
            Items << QLatin1String(name) + QLatin1Char('=') + Text(text);
        return *this;
    }

    Fields &Add(const char *name, double value)
    {
        if (value != 0)
            Items << QLatin1String(name) + QLatin1Char('=') + Number(value);
        return *this;
    }

    Fields &AddTime(const char *name, TDateTime value)
    {
        if (value != kNoDateTime)
            Items << QLatin1String(name) + QLatin1Char('=') + Time(value);
        return *this;
    }

    Fields &AddValue(const char *prefix, const TValue &value)
    {
        const QByteArray p(prefix);
        return Add(p + "Name", value.Name)
            .Add(p + "Code", value.Code)
            .Add(p + "Value", value.Value)
            .Add(p + "Min", value.Min)
            .Add(p + "Max", value.Max)
            .Add(p + "Units", value.Units)
            .Add(p + "Icon", value.Icon);
    }

    QString Line(const char *part) const
    {
        return QLatin1String(part) + QLatin1Char(':')
               + (Items.isEmpty() ? QString() : QLatin1Char(' ') + Items.join(QLatin1Char(' '))) + QLatin1Char('\n');
    }

private:
    Fields &Add(const QByteArray &name, const QString &text) { return Add(name.constData(), text); }
    Fields &Add(const QByteArray &name, double value) { return Add(name.constData(), value); }

    QStringList Items;
};

QString Value(const char *part, const TValue &value)
{
    return Fields().AddValue("", value).Line(part);
}

} // namespace

QString DumpCity(const TCity &city)
{
    return Fields()
        .Add("ID", static_cast<double>(city.ID))
        .Add("Name", city.Name)
        .Add("Lon", city.Lon)
        .Add("Lat", city.Lat)
        .Add("Country", city.Country)
        .AddTime("Sunrise", city.Sunrise)
        .AddTime("Sunset", city.Sunset)
        .Line("City");
}

QString DumpRecord(const TWeatherRecord &record)
{
    return DumpCity(record.City)
           + Fields()
                 .AddValue("", record.Temp.Value)
                 .Add("Night", record.Temp.Night)
                 .Add("Eve", record.Temp.Eve)
                 .Add("Morn", record.Temp.Morn)
                 .Line("Temp")
           + Value("Humidity", record.Humidity) + Value("Pressure", record.Pressure)
           + Value("Wind.Speed", record.Wind.Speed) + Value("Wind.Direction", record.Wind.Direction)
           + Value("Clouds", record.Clouds) + Value("Visibility", record.Visibility)
           + Value("Precipitation", record.Precipitation) + Value("Weather", record.Weather)
           + Fields()
                 .AddTime("TimeStamp", record.TimeStamp)
                 .AddTime("FromTime", record.FromTime)
                 .AddTime("ToTime", record.ToTime)
                 .Line("Times");
}

QString DumpForecast(const TWeatherData &data)
{
    QString dump = QStringLiteral("%1 records\n").arg(data.size());
    for (qsizetype i = 0; i < data.size(); ++i)
        dump += QStringLiteral("-- record %1\n").arg(i) + DumpRecord(data[i]);
    return dump;
}

QString DumpCities(const TCities &cities)
{
    QString dump = QStringLiteral("%1 cities\n").arg(cities.size());
    for (const TCity &city : cities)
        dump += DumpCity(city);
    return dump;
}
