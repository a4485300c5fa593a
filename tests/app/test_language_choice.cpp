// The language the user chose: which language loads, which locale writes its
// dates, the dates each shipped language writes, and Qt's own texts.
#include "ClockLine.h"
#include "DateTimeConv.h"
#include "ForecastRows.h"
#include "LangConsts.h"
#include "LangTestFiles.h"
#include "LanguageChoice.h"
#include "QtTranslations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Puts the environment's locale back after a case changed it.
class TDefaultLocale
{
public:
    explicit TDefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~TDefaultLocale() { QLocale::setDefault(FSaved); }
    TDefaultLocale(const TDefaultLocale &) = delete;
    TDefaultLocale &operator=(const TDefaultLocale &) = delete;

private:
    QLocale FSaved;
};

QString QtCancel()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

} // namespace

TEST(LanguageChoice, TheStoredChoiceIsAPlainCodeOrSystem)
{
    const struct {
        const char *stored;
        const char *code;
    } cases[] = {
        {"", ""}, {"de", "de"}, {" DE ", "de"}, {"pt_BR", "pt_br"}, {"zh-cn", "zh-cn"},
        {"*", ""}, {"d?", ""}, {"../de", ""}, {"de/..", ""}, {"deutsch", ""}, {"d", ""}, {"de_", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ChosenLanguageCode(QString::fromLatin1(c.stored)), QLatin1String(c.code)) << c.stored;
}

// The choice when it has files; else the environment's language when it has;
// else English, whose texts are built in.
TEST(LanguageChoice, TheChosenLanguageThenTheEnvironmentsThenEnglish)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), LangFile("Deutsch", ""));
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.cs.lng"), LangFile("Čeština", ""));
    TLanguageManager manager;
    folder.Aim(manager);
    const struct {
        QLocale::Language environment;
        const char *chosen;
        const char *loaded;
    } cases[] = {
        {QLocale::German, "", "de"},   {QLocale::German, "cs", "cs"},  {QLocale::German, " CS", "cs"},
        {QLocale::German, "fr", "de"}, {QLocale::French, "fr", "en"},  {QLocale::French, "", "en"},
        {QLocale::Czech, "*", "cs"},   {QLocale::Czech, "../de", "cs"},
    };
    for (const auto &c : cases) {
        TDefaultLocale environment{QLocale(c.environment)};
        EXPECT_EQ(LanguageToLoad(manager, QString::fromLatin1(c.chosen)), QLatin1String(c.loaded))
            << QLocale::languageToCode(c.environment).toStdString() << " " << c.chosen;
    }
}

TEST(LanguageChoice, DatesAreWrittenByTheLanguagesLocaleKeepingTheRegionOfTheSame)
{
    const QLocale britain(QLocale::English, QLocale::UnitedKingdom);
    const QLocale czechia(QLocale::Czech, QLocale::Czechia);
    const struct {
        const char *code;
        QLocale system;
        QLocale expected;
    } cases[] = {
        {"en", britain, britain},
        {"de", czechia, QLocale(QLocale::German, QLocale::Germany)},
        {"en", czechia, QLocale(QLocale::English, QLocale::UnitedStates)},
        {"", czechia, QLocale(QLocale::English, QLocale::UnitedStates)}, // the built-in English
        {"pt", czechia, QLocale(QLocale::Portuguese, QLocale::Brazil)},
        {"zz", czechia, czechia}, // no locale knows it
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageLocale(QString::fromLatin1(c.code), c.system).name(), c.expected.name()) << c.code;
}

// Each shipped language's formats in the title bar and the forecast rows, on a
// Czech system: numbers stay Czech, dates follow the language.
TEST(LanguageChoice, EachShippedLanguageWritesItsOwnDates)
{
    const QLocale czechia(QLocale::Czech, QLocale::Czechia);
    const QDate christmasEve(2025, 12, 24);
    const struct {
        const char *code;
        const char *title;
        const char *row;
        const char *pressure;
    } cases[] = {
        {"en", "Wednesday, December 24, 2025", "\nWednesday\n12/24/2025\n\nDay 358", "1012,3 hPa"},
        {"cs", "středa 24. prosince 2025", "\nstředa\n24.12.2025\n\nDen 358", "1012,3 hPa"},
        {"de", "Mittwoch, 24. Dezember 2025", "\nMittwoch\n24.12.2025\n\nTag 358", "1012,3 hPa"},
    };
    TLanguageManager reference;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        TLanguageManager app;
        app.SetFileNames({QLatin1String(kProgramLangFileName)});
        app.SetLanguageCode(QString::fromLatin1(c.code));
        ASSERT_EQ(app.LastError(), QString());
        ResetTexts();
        LoadTexts(app);
        const QLocale dates = LanguageLocale(app.LanguageCode(), czechia);
        EXPECT_EQ(ClockDateText(christmasEve, dates, {}), QString::fromUtf8(c.title));

        TWeatherRecord record;
        record.TimeStamp = DateTimeFromQDateTime(QDateTime(christmasEve, QTime(12, 0)));
        record.Pressure.Value = 1012.3;
        record.Pressure.Units = QStringLiteral("hPa");
        const TForecastRows rows = BuildForecastRows({record}, QString(), {}, czechia, app, reference);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].DateText, QString::fromUtf8(c.row));
        EXPECT_EQ(rows[0].PressureText, QString::fromUtf8(c.pressure));
    }
    ResetTexts();
}

// Debian installs Qt's catalogues with qt6-translations-l10n (scripts/install-deps).
TEST(QtTranslations, QtsOwnTextsFollowTheLanguageWhereItsCatalogueIsInstalled)
{
    ASSERT_TRUE(QFileInfo::exists(QtTranslationsFolder() + QStringLiteral("/qtbase_de.qm")))
        << "Qt's translations are not installed in " << QtTranslationsFolder().toStdString();
    const struct {
        const char *code;
        bool loaded;
        const char *cancel;
    } cases[] = {
        {"de", true, "Abbrechen"}, {"cs", true, "Zrušit"}, {"pt", true, "Cancelar"},
        {"zz", false, "Cancel"},   {"", false, "Cancel"},  {"de", true, "Abbrechen"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LoadQtTranslations(QString::fromLatin1(c.code)), c.loaded) << c.code;
        EXPECT_EQ(QtCancel(), QString::fromUtf8(c.cancel)) << c.code;
    }

    // A folder without catalogues: Qt speaks English, not the language loaded before.
    QTemporaryDir empty;
    EXPECT_FALSE(LoadQtTranslations(QStringLiteral("de"), empty.path()));
    EXPECT_EQ(QtCancel(), QStringLiteral("Cancel"));
}
