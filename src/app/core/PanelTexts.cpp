#include "PanelTexts.h"

#include "AppSettings.h"
#include "ClockLine.h"
#include "DateTimeConv.h"
#include "LangConsts.h"
#include "UnitRules.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kFahrenheitZero = 32.0;
constexpr double kFahrenheitPerCelsius = 9.0 / 5.0;
constexpr double kHalf = 0.5;

// The service's rounded condition code, or -1 for no number.
int ConditionCode(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(std::lround(value));
}

} // namespace

QString Labelled(const QString &label, const QString &value)
{
    return label + QStringLiteral(": ") + value;
}

QString WithUnits(const QString &number, const QString &units)
{
    return units.isEmpty() ? number : number + QLatin1Char(' ') + units;
}

QString FormatNumber(double value, int decimals, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::fromUtf16(kNoNumber);
    // -0.04 with one decimal would read "-0.0"; the sign of a shown zero says nothing.
    if (std::fabs(value * std::pow(10.0, decimals)) < kHalf)
        value = 0.0;
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', decimals);
}

QColor TemperatureColour(double value, bool imperial)
{
    if (!std::isfinite(value))
        return kMildColour;
    const double celsius = imperial ? (value - kFahrenheitZero) / kFahrenheitPerCelsius : value;
    if (celsius >= kWarmFromCelsius)
        return kWarmColour;
    if (celsius <= kColdUpToCelsius)
        return kColdColour;
    return kMildColour;
}

QString FeelsLikeText(const TTemperature &temp, const QLocale &locale)
{
    if (!temp.HasFeelsLike || !std::isfinite(temp.FeelsLike))
        return {};
    return FillText(lc_FeelsLike, FormatNumber(temp.FeelsLike, kNoDecimals, locale) + temp.Value.Units);
}

QString DescriptionText(const TWeatherRecord &record, const TLanguageManager &app,
                        const TLanguageManager &reference)
{
    QString text = ConditionText(ConditionCode(record.Weather.Value));
    const int windCode = FindConditionCode(record.Wind.Speed.Name, app, reference);
    const QString windText = windCode >= 0 ? ConditionText(windCode) : QString();
    if (!windText.isEmpty())
        text = text.isEmpty() ? windText : text + QStringLiteral(", ") + windText;
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

TPanelTexts BuildPanelTexts(const TWeatherRecord &current, bool imperial, const QLocale &locale,
                            const TLanguageManager &app, const TLanguageManager &reference)
{
    TPanelTexts texts;
    texts.Loc = ReportedLocation(current.City);
    texts.Desc = DescriptionText(current, app, reference);
    texts.Temp = FormatNumber(current.Temp.Value.Value, kOneDecimal, locale) + current.Temp.Value.Units;
    texts.TempColour = TemperatureColour(current.Temp.Value.Value, imperial);
    texts.Feel = FeelsLikeText(current.Temp, locale);
    texts.Wind = (FormatNumber(current.Wind.Speed.Value, kTwoDecimals, locale) + QLatin1Char(' ')
                  + current.Wind.Speed.Units + QLatin1Char(' ')
                  + WindDirectionText(current.Wind.Direction.Code, app))
                     .simplified();
    // An answer without precipitation leaves its unit empty: none fell, in the
    // user's unit.
    const QString precipitationUnits = current.Precipitation.Units.isEmpty()
                                           ? QLatin1String(imperial ? kInches : kMillimetres)
                                           : current.Precipitation.Units;
    texts.Prec = Labelled(lc_Precipitations,
                          WithUnits(FormatNumber(current.Precipitation.Value, kTwoDecimals, locale), precipitationUnits));
    texts.Hum = Labelled(lc_Humidity,
                         WithUnits(FormatNumber(current.Humidity.Value, kNoDecimals, locale), current.Humidity.Units));
    texts.Cloud = Labelled(lc_CloudCover, FormatNumber(current.Clouds.Value, kNoDecimals, locale)
                                              + QStringLiteral(" %"));
    texts.Pres = Labelled(lc_Pressure,
                          WithUnits(FormatNumber(current.Pressure.Value, kTwoDecimals, locale), current.Pressure.Units));
    if (std::isfinite(current.TimeStamp) && current.TimeStamp != kNoDateTime)
        texts.IconHint = DateTimeText(QDateTimeFromDateTime(current.TimeStamp), locale);
    return texts;
}

QString FailureHint(const QString &errorMessage)
{
    const QString message = errorMessage.trimmed();
    if (message.isEmpty())
        return lc_ConnFail.trimmed();
    return (lc_ConnFail + QStringLiteral(": ") + message).trimmed();
}

TPanelTexts FailurePanelTexts(const QString &errorMessage)
{
    TPanelTexts texts;
    texts.Desc = FailureHint(errorMessage);
    return texts;
}
