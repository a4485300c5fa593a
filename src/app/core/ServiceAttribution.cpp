#include "ServiceAttribution.h"

#include "LangConsts.h"

QString ServiceAttribution(TWeatherService service)
{
    return service == wsOpenMeteo ? lc_OpenMeteoAttribution : QString();
}

QString AttributionSite(TWeatherService service)
{
    return service == wsOpenMeteo ? QString::fromLatin1(kOpenMeteoSite) : QString();
}

QString ServiceDisplayName(TWeatherService service)
{
    return QString::fromLatin1(service == wsOpenMeteo ? kOpenMeteoName : kOwmName);
}

QString HintWithAttribution(const QString &hint, TWeatherService service)
{
    const QString credit = ServiceAttribution(service);
    if (credit.isEmpty())
        return hint;
    const QString line = credit + QStringLiteral(" (") + AttributionSite(service) + u')';
    return hint.isEmpty() ? line : hint + u'\n' + line;
}
