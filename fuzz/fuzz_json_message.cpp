// The message of an error body, and the number and time readers on the same text.
#include "FuzzSupport.h"

#include "ConvertError.h"
#include "ServiceResponse.h"
#include "XmlValues.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(FuzzBytes(data, size));

    const QString message = ExtractJsonMessage(text);
    const QString shown = MessageFromBody(message);
    FUZZ_CHECK(shown.size() <= kMaxBodyMessageLength + 1);
    FUZZ_CHECK(!shown.contains(QLatin1Char('\n')));

    const double lenient = LenientNumber(text);
    try {
        const double strict = StrictNumber(text);
        // What the strict reader takes, the lenient one reads alike.
        FUZZ_CHECK(strict == lenient || (std::isnan(strict) && std::isnan(lenient)));
    } catch (const EConvertError &) {
    }
    try {
        const std::int64_t id = StrictCityId(text);
        FUZZ_CHECK(id >= INT32_MIN && id <= INT32_MAX);
    } catch (const EConvertError &) {
    }
    const double time = XmlTimeToLocal(text);
    FUZZ_CHECK(std::isfinite(time));
    return 0;
}
