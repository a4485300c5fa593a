// Open-Meteo's answers: the forecast in both unit systems and the place search.
#include "FuzzSupport.h"

#include "OpenMeteoParse.h"

#include <cmath>

namespace {

void CheckRecord(const TWeatherRecord &record)
{
    FUZZ_CHECK(record.PrecipitationChance == kNoPrecipitationChance
               || (record.PrecipitationChance >= 0 && record.PrecipitationChance <= 1));
    FUZZ_CHECK(record.Weather.Icon.isEmpty() || record.Weather.Icon.size() == 7); // "01d.png"
    // An absent value is NaN, never infinite.
    for (const double value : {record.Temp.Value.Value, record.Temp.Value.Min, record.Temp.Value.Max,
                               record.Humidity.Value, record.Pressure.Value, record.Wind.Speed.Value,
                               record.Wind.Direction.Value, record.Clouds.Value, record.Precipitation.Value})
        FUZZ_CHECK(!std::isinf(value));
    FUZZ_CHECK(std::isfinite(record.TimeStamp) && std::isfinite(record.FromTime));
}

void CheckForecast(const QByteArray &body, const char *units)
{
    TRequestRecord request;
    request.Units = QLatin1String(units);
    request.NumberOfDays = kMaxOpenMeteoDays;
    request.LocationName = QStringLiteral("x");
    TOpenMeteoWeather weather;
    TFetchFailure failure;
    if (!ParseOpenMeteoForecast(body, 200, request, weather, failure)) {
        FUZZ_CHECK(failure.Failed() && !failure.Message.isEmpty());
        FUZZ_CHECK(weather.Days.isEmpty() && weather.Hours.isEmpty());
        return;
    }
    FUZZ_CHECK(!failure.Failed());
    FUZZ_CHECK(!weather.Days.isEmpty() && weather.Days.size() <= kMaxOpenMeteoDays);
    FUZZ_CHECK(weather.Hours.size() <= kMaxOpenMeteoDays * 24);
    CheckRecord(weather.Current);
    for (const TWeatherRecord &day : weather.Days)
        CheckRecord(day);
    for (const TWeatherRecord &hour : weather.Hours)
        CheckRecord(hour);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body = FuzzBytes(data, size);
    CheckForecast(body, "metric");
    CheckForecast(body, "imperial");

    TCities cities;
    TFetchFailure failure;
    if (ParseOpenMeteoPlaces(body, 200, cities, failure)) {
        FUZZ_CHECK(!cities.isEmpty());
        for (const TCity &city : cities) {
            FUZZ_CHECK(!city.Name.isEmpty() && !city.Name.contains(QLatin1Char('\n')));
            FUZZ_CHECK(std::fabs(city.Lat) <= 90 && std::fabs(city.Lon) <= 180);
        }
    } else {
        FUZZ_CHECK(failure.Failed() && !failure.Message.isEmpty());
    }
    return 0;
}
