// One body through every check and parser the three requests use.
#include "FuzzSupport.h"

#include "ConvertError.h"
#include "CurrentWeather.h"
#include "Forecast.h"
#include "LocationSearch.h"
#include "ServiceResponse.h"
#include "WeatherRecords.h"

#include <QDomDocument>

namespace {

// The statuses a server may give: none known, success, and the service's errors.
constexpr int kStatuses[] = {0, 200, 401, 404, 429, 503};

void ParseAsForecast(const QDomElement &root)
{
    // Each way a forecast is read: folded for a free key in daily mode, slot by
    // slot for hourly, as given for a paid key.
    const std::pair<TKeyType, TForecastMode> modes[] = {
        {ktFree, fmDaily}, {ktFree, fmHourly}, {ktPaid, fmDaily}};
    for (const auto &[keyType, mode] : modes) {
        TRequestRecord request;
        request.KeyType = keyType;
        request.ForecastMode = mode;
        request.NumberOfDays = 16;
        TWeatherData data;
        try {
            ParseForecast(root, request, data);
        } catch (const EConvertError &) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the status, the rest is the body.
    const int status = kStatuses[data[0] % std::size(kStatuses)];
    const QByteArray body = FuzzBytes(data + 1, size - 1);

    const TExpectedAnswer *answers[] = {&kCurrentWeatherAnswer, &kForecastAnswer, &kLocationsAnswer};
    for (const TExpectedAnswer *expected : answers) {
        TRequestRecord request;
        QDomDocument document;
        const bool accepted = CheckServiceResponse(body, status, *expected, request, document);
        // A refusal always says why; an acceptance never carries an error.
        FUZZ_CHECK(accepted == request.Failure.Message.isEmpty());
        if (!accepted)
            continue;
        const QDomElement root = document.documentElement();
        if (expected == &kCurrentWeatherAnswer) {
            for (const QString &units : {QStringLiteral("metric"), QStringLiteral("imperial")}) {
                TWeatherRecord record;
                try {
                    ParseCurrentWeather(root, units, record);
                } catch (const EConvertError &) {
                }
            }
        } else if (expected == &kForecastAnswer) {
            ParseAsForecast(root);
        } else {
            TCities cities;
            try {
                ParseLocations(root, cities);
            } catch (const EConvertError &) {
            }
        }
    }
    return 0;
}
