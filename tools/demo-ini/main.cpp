// demo-ini: prepares the settings file of a throw-away run, so that nimbrel
// asks the stand-in service with a key, as a user's own settings would.
#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// The program's own section for the service's addresses.
const QString kServiceSection = QStringLiteral("Service");

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the service addresses (the update page's too) and the enciphered key into a\n"
        "nimbrel settings file, "
        "keeping whatever else the file holds."));
    parser.addHelpOption();
    const QCommandLineOption ini(QStringLiteral("ini"), QStringLiteral("The settings file."), QStringLiteral("file"));
    const QCommandLineOption service(QStringLiteral("service"),
                                     QStringLiteral("Base address of the service and its pictures."),
                                     QStringLiteral("url"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("The API key."), QStringLiteral("key"),
                                 QStringLiteral("demo"));
    const QCommandLineOption location(QStringLiteral("location"), QStringLiteral("The place, as \"name,CC\"."),
                                      QStringLiteral("place"));
    const QCommandLineOption weather(QStringLiteral("weather-service"),
                                     QStringLiteral("The weather service asked: owm (default) or open-meteo."),
                                     QStringLiteral("name"), QStringLiteral("owm"));
    parser.addOptions({ini, service, key, location, weather});
    parser.process(app);
    if (!parser.isSet(ini) || !parser.isSet(service)) {
        std::fprintf(stderr, "demo-ini: --ini and --service are needed\n");
        return 2;
    }

    const QString weatherName = parser.value(weather).trimmed().toLower();
    if (weatherName != QLatin1String("owm") && weatherName != QLatin1String("open-meteo")) {
        std::fprintf(stderr, "demo-ini: --weather-service is owm or open-meteo, not %s\n",
                     weatherName.toUtf8().constData());
        return 2;
    }

    const QString file = parser.value(ini);
    QDir().mkpath(QFileInfo(file).absolutePath());
    TLayoutManagerINIStorage storage(file);
    storage.Open(false);
    storage.WriteString(kServiceSection, QStringLiteral("ApiBase"), parser.value(service));
    storage.WriteString(kServiceSection, QStringLiteral("WebBase"), parser.value(service));
    // The stand-in answers Open-Meteo's forecast and place search on the same port.
    storage.WriteString(kServiceSection, QStringLiteral("OpenMeteoBase"), parser.value(service));
    storage.WriteString(kServiceSection, QStringLiteral("GeocodingBase"), parser.value(service));
    // The stand-in's update page, so the demo also asks about a newer version (after 15 minutes).
    storage.WriteString(kServiceSection, QStringLiteral("UpdateUrl"), parser.value(service) + QStringLiteral("/webupdate.html"));
    TLayoutManagerWinCryptCipherer cipherer;
    const QString settings = TLayoutManagerValues::kDefaultSection;
    storage.WriteString(settings, QLatin1String(kApiKeyName),
                        cipherer.EncryptText(parser.value(key), QLatin1String(kApiKeyPassword)));
    storage.WriteString(settings, QLatin1String(kServiceName),
                        QLatin1String(weatherName == QLatin1String("open-meteo") ? kServiceOpenMeteoWord
                                                                                : kServiceOwmWord));
    if (parser.isSet(location))
        storage.WriteString(settings, QLatin1String(kLocationName), parser.value(location));
    if (!storage.Close()) {
        std::fprintf(stderr, "demo-ini: %s\n", storage.LastError().toUtf8().constData());
        return 1;
    }
    return 0;
}
