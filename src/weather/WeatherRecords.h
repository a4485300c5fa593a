// The plain value records the weather client fills and its callers keep.
// A default-constructed record is a cleared one: numbers 0, texts empty.
#pragma once

#include "FetchFailure.h"
#include "TDateTime.h"

#include <QString>
#include <QVector>

#include <cstdint>

enum TKeyType : std::uint32_t {
    ktFree = 0, // only the 3-hour forecast can be asked for
    ktPaid = 1, // the daily forecast can be asked for directly
};

enum TForecastMode : std::uint32_t {
    fmHourly = 0, // one record per 3-hour slot
    fmDaily = 1,  // one record per day
};

// The service asked for the weather.
enum TWeatherService : std::uint32_t {
    wsOwm = 0,       // OpenWeatherMap: an API key, XML answers
    wsOpenMeteo = 1, // Open-Meteo: no key, JSON answers
};

struct TCity {
    std::int64_t ID = 0;
    QString Name;
    double Lon = 0;
    double Lat = 0;
    QString Country;     // the country's code, as "CZ"
    QString CountryName; // the country's name, when the service gave one
    QString Region;      // the state or province, when the service gave one
    TDateTime Sunrise = 0;
    TDateTime Sunset = 0;
};

using TCities = QVector<TCity>;

struct TValue {
    QString Name;
    QString Code;
    double Value = 0;
    double Min = 0;
    double Max = 0;
    QString Units;
    QString Icon;
};

struct TTemperature {
    TValue Value;
    double Night = 0;
    double Eve = 0;
    double Morn = 0;
    // The felt temperature, in the units of Value, when the service gave one.
    bool HasFeelsLike = false;
    double FeelsLike = 0;
};

struct TWind {
    TValue Speed;
    TValue Direction;
};

inline constexpr double kNoPrecipitationChance = -1;

struct TWeatherRecord {
    TCity City;
    TTemperature Temp;
    TValue Humidity;
    TValue Pressure;
    TWind Wind;
    TValue Clouds;
    TValue Visibility;
    TValue Precipitation;
    // The chance of precipitation, 0 to 1; negative when the service gave none.
    double PrecipitationChance = kNoPrecipitationChance;
    TValue Weather;
    TDateTime TimeStamp = 0;
    TDateTime FromTime = 0;
    TDateTime ToTime = 0;
};

using TWeatherData = QVector<TWeatherRecord>;

struct TRequestRecord {
    TWeatherService Service = wsOwm;
    TKeyType KeyType = ktFree;
    QString Key;
    QString LocationName;
    QString Lang;
    QString Units;
    std::int64_t LocationID = -1; // negative: ask by name
    // Where the place is (north and east positive), when it is known.
    bool HasCoordinates = false;
    double Latitude = 0;
    double Longitude = 0;
    std::uint8_t NumberOfDays = 0;
    TFetchFailure Failure; // why the last request for it failed; Kind None when it did not
    TForecastMode ForecastMode = fmDaily;
};
