// The start-up's reading of our own service section: only an http or https
// address with a host replaces the service's own. The language it starts in.
#include "LangConsts.h"
#include "LangMan.h"
#include "LayoutManagerINIStorage.h"
#include "QtTranslations.h"
#include "StartUp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

namespace {

// Each case's entry (null: none) stored under `key` in the service section,
// then taken by `read`: what it answers is the case's `used`.
template <typename TCases, typename TRead>
void ExpectStoredServiceValues(const char *key, const TCases &cases, TRead read)
{
    QTemporaryDir folder;
    for (const auto &testCase : cases) {
        TLayoutManagerINIStorage storage(folder.filePath(QStringLiteral("nimbrel.ini")));
        storage.Open(false);
        storage.DeleteSection(QLatin1String(kServiceSection), true);
        if (testCase.stored != nullptr)
            storage.WriteString(QLatin1String(kServiceSection), QLatin1String(key), QString::fromUtf8(testCase.stored));
        EXPECT_EQ(read(storage), QString::fromUtf8(testCase.used)) << (testCase.stored ? testCase.stored : "(none)");
        storage.Close();
    }
}

} // namespace

TEST(StartUp, ServiceAddressIsTakenOnlyWhenItIsOne)
{
    const struct {
        const char *stored; // null: no entry
        const char *used;
    } cases[] = {
        {nullptr, ""},
        {"", ""},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"  https://proxy.example/owm  ", "https://proxy.example/owm"},
        {"HTTP://Proxy.Example", "HTTP://Proxy.Example"},
        {"ftp://proxy.example", ""},
        {"file:///etc/passwd", ""},
        {"http://", ""},
        {"proxy.example:8080", ""},
        {"not an address", ""},
    };
    ExpectStoredServiceValues(kApiBaseKey, cases, [](ILayoutManagerStorage &storage) {
        return ReadServiceAddress(storage, QLatin1String(kApiBaseKey));
    });
}

TEST(StartUp, ServiceTimeoutIsTakenOnlyWhenItIsSecondsInRange)
{
    const struct {
        const char *stored; // null: no entry
        int used;           // 0: the client's default
    } cases[] = {
        {nullptr, 0}, {"", 0},      {"3", 3},    {" 600 ", 600}, {"601", 0},
        {"0", 0},     {"-5", 0},    {"2.5", 0},  {"ten", 0},     {"99999999999", 0},
    };
    QTemporaryDir folder;
    for (const auto &testCase : cases) {
        TLayoutManagerINIStorage storage(folder.filePath(QStringLiteral("nimbrel.ini")));
        storage.Open(false);
        storage.DeleteSection(QLatin1String(kServiceSection), true);
        if (testCase.stored != nullptr)
            storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kTimeoutKey),
                                QString::fromUtf8(testCase.stored));
        EXPECT_EQ(ReadServiceTimeout(storage), testCase.used) << (testCase.stored ? testCase.stored : "(none)");
        storage.Close();
    }
}

// A relative path would name another file for each folder the program starts in.
TEST(StartUp, ServiceCaFileIsTakenOnlyAsAnAbsolutePath)
{
    const struct {
        const char *stored; // null: no entry
        const char *used;   // empty: the system's certificates alone
    } cases[] = {
        {nullptr, ""},
        {"  ", ""},
        {"/etc/nimbrel/proxy.pem", "/etc/nimbrel/proxy.pem"},
        {" /srv/ca bundle.pem ", "/srv/ca bundle.pem"},
        {"proxy.pem", ""},
        {"~/proxy.pem", ""},
    };
    ExpectStoredServiceValues(kCaFileKey, cases,
                              [](ILayoutManagerStorage &storage) { return ReadServiceCaFile(storage); });
}

// The stored choice wins over the environment; one without files, or none,
// leaves the environment's language. The program's texts and Qt's follow.
TEST(StartUp, TheStoredLanguageChoiceIsLoaded)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    const struct {
        const char *chosen;
        const char *code;
        const char *title;
        const char *cancel;
    } cases[] = {
        {"de", "de", "Wettervorhersage", "Abbrechen"},
        {"", "cs", "Předpověď počasí", "Zrušit"},
        {"eo", "cs", "Předpověď počasí", "Zrušit"},
        {"en", "en", "Weather Forecast", "Cancel"},
    };
    TLanguageManager manager;
    manager.SetFileNames({QLatin1String(kProgramLangFileName)});
    for (const auto &c : cases) {
        EXPECT_EQ(InitLanguage(manager, QString::fromLatin1(c.chosen)), QLatin1String(c.code)) << c.chosen;
        EXPECT_EQ(lc_WeatherForecast, QString::fromUtf8(c.title)) << c.chosen;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.cancel)) << c.chosen;
    }
    QLocale::setDefault(saved);
    ResetTexts();
    LoadQtTranslations(QString());
}
