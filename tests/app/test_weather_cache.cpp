#include "FetchStandIn.h"
#include "FileSizeLimit.h"
#include "ClockLine.h"
#include "LangConsts.h"
#include "WeatherCache.h"
#include "WeatherClients.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The request the settings give after a success: the place the service reported.
TRequestRecord NextStartRequest()
{
    TRequestRecord request = PaidRequest();
    request.LocationName = QStringLiteral("Prague, CZ");
    return request;
}

// A successful result as a fetch gives it, without a peer.
TWeatherResult FetchedResult(const QDateTime &fetchedAt)
{
    TWeatherResult result;
    result.Request = PaidRequest();
    result.CurrentBody = ReadFixture(QStringLiteral("current.xml"));
    result.ForecastBody = ReadFixture(QStringLiteral("forecast_daily.xml"));
    TRequestRecord asked = result.Request;
    EXPECT_TRUE(CurrentWeatherFromBody(result.CurrentBody, asked, result.Current));
    EXPECT_TRUE(ForecastFromBody(result.ForecastBody, asked, result.Forecast));
    result.FetchedAt = fetchedAt;

    return result;
}

struct CacheFolder {
    QTemporaryDir dir;
    QString Data() const { return dir.path() + QLatin1Char('/'); }
    QString File(const char *name) const
    {
        return Data() + QLatin1String(kWeatherCacheFolder) + QLatin1Char('/') + QLatin1String(name);
    }
};

const QDateTime kFetched = QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC);

} // namespace

TEST(WeatherCache, AFetchKeepsBothAnswersAndTheNextStartReadsThemBackAsFetched)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    CacheFolder folder;
    ASSERT_TRUE(folder.dir.isValid());

    const TWeatherResult fetched = FetchAndKeepWeather(TWeatherClients{service.Client(), TOpenMeteoClient()}, PaidRequest(), folder.Data());
    ASSERT_TRUE(fetched.Ok()) << fetched.Request.Failure.Message.toStdString();
    EXPECT_EQ(ReadAll(folder.File(kCachedCurrentFile)), service.current);
    EXPECT_EQ(ReadAll(folder.File(kCachedForecastFile)), service.forecast);
    // The key stays in the settings file, enciphered; the cache never holds it.
    EXPECT_FALSE(ReadAll(folder.File(kCacheIndexFile)).contains(PaidRequest().Key.toUtf8()));
    // No temporary files are left behind.
    EXPECT_EQ(QDir(folder.Data() + QLatin1String(kWeatherCacheFolder)).entryList(QDir::Files).size(), 3);

    const TWeatherResult kept = ReadWeatherCache(folder.Data(), NextStartRequest(), fetched.FetchedAt.addSecs(3600));
    ASSERT_TRUE(kept.Ok()) << kept.Request.Failure.Message.toStdString();
    EXPECT_TRUE(kept.FromCache);
    EXPECT_EQ(kept.FetchedAt, fetched.FetchedAt.toUTC());
    EXPECT_EQ(kept.Current.City.Name, fetched.Current.City.Name);
    EXPECT_EQ(kept.Current.Temp.Value.Value, fetched.Current.Temp.Value.Value);
    ASSERT_EQ(kept.Forecast.size(), fetched.Forecast.size());
    for (int i = 0; i < kept.Forecast.size(); ++i)
        EXPECT_EQ(kept.Forecast[i].TimeStamp, fetched.Forecast[i].TimeStamp) << i;
    EXPECT_EQ(kept.Astronomy.MoonTable[4].Time, fetched.Astronomy.MoonTable[4].Time);
    EXPECT_EQ(kept.Request.LocationName, NextStartRequest().LocationName);
}

// The free forecast's slots are the hourly view's hours: they come with the
// fetched weather and with the kept weather at the next start alike.
TEST(WeatherCache, TheSlotsComeAsHoursFromTheFetchAndFromTheCache)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    service.forecast = ReadFixture(QStringLiteral("forecast_3h.xml"));
    CacheFolder folder;
    ASSERT_TRUE(folder.dir.isValid());
    TRequestRecord request = PaidRequest();
    request.KeyType = ktFree;

    const TWeatherResult fetched = FetchAndKeepWeather(service.Clients(), request, folder.Data());
    ASSERT_TRUE(fetched.Ok()) << fetched.Request.Failure.Message.toStdString();
    ASSERT_EQ(fetched.Hours.size(), 7);
    EXPECT_LT(fetched.Forecast.size(), fetched.Hours.size());
    EXPECT_GT(fetched.Hours[1].FromTime, fetched.Hours[0].FromTime);

    TRequestRecord next = NextStartRequest();
    next.KeyType = ktFree;
    const TWeatherResult kept = ReadWeatherCache(folder.Data(), next, fetched.FetchedAt.addSecs(3600));
    ASSERT_TRUE(kept.Ok()) << kept.Request.Failure.Message.toStdString();
    ASSERT_EQ(kept.Hours.size(), fetched.Hours.size());
    for (int i = 0; i < kept.Hours.size(); ++i) {
        EXPECT_EQ(kept.Hours[i].FromTime, fetched.Hours[i].FromTime) << i;
        EXPECT_EQ(kept.Hours[i].Temp.Value.Value, fetched.Hours[i].Temp.Value.Value) << i;
    }

    // A paid daily forecast has no hours, fetched or kept.
    service.forecast = ReadFixture(QStringLiteral("forecast_daily.xml"));
    const TWeatherResult daily = FetchAndKeepWeather(service.Clients(), PaidRequest(), folder.Data());
    ASSERT_TRUE(daily.Ok());
    EXPECT_TRUE(daily.Hours.isEmpty());
    EXPECT_TRUE(ReadWeatherCache(folder.Data(), NextStartRequest(), daily.FetchedAt).Hours.isEmpty());
}

TEST(WeatherCache, WrittenOnlyAfterASuccessAndKeptThroughAFailure)
{
    StandInService service;
    ASSERT_TRUE(service.Started());
    CacheFolder folder;

    // A failed first refresh leaves no cache at all.
    service.forecast.clear();
    EXPECT_FALSE(FetchAndKeepWeather(TWeatherClients{service.Client(), TOpenMeteoClient()}, PaidRequest(), folder.Data()).Ok());
    EXPECT_FALSE(QFile::exists(folder.File(kCacheIndexFile)));
    EXPECT_FALSE(QFile::exists(folder.File(kCachedCurrentFile)));

    service.forecast = ReadFixture(QStringLiteral("forecast_daily.xml"));
    const TWeatherResult good = FetchAndKeepWeather(TWeatherClients{service.Client(), TOpenMeteoClient()}, PaidRequest(), folder.Data());
    ASSERT_TRUE(good.Ok());
    const QByteArray index = ReadAll(folder.File(kCacheIndexFile));

    // Later failures, of either answer, keep the last good pair as it was.
    service.forecast = QByteArrayLiteral("{\"cod\":\"404\",\"message\":\"city not found\"}");
    EXPECT_FALSE(FetchAndKeepWeather(TWeatherClients{service.Client(), TOpenMeteoClient()}, PaidRequest(), folder.Data()).Ok());
    service.current.clear();
    EXPECT_FALSE(FetchAndKeepWeather(TWeatherClients{service.Client(), TOpenMeteoClient()}, PaidRequest(), folder.Data()).Ok());
    EXPECT_EQ(ReadAll(folder.File(kCacheIndexFile)), index);
    EXPECT_TRUE(ReadWeatherCache(folder.Data(), NextStartRequest(), good.FetchedAt).Ok());
}

TEST(WeatherCache, WhatIsNotTheLastGoodWeatherOfThisPlaceIsIgnoredWhole)
{
    struct Case {
        const char *name;
        std::function<void(const CacheFolder &)> spoil;
        std::function<void(TRequestRecord &)> settings;
        qint64 ageSecs;
    };
    const auto none = [](const CacheFolder &) {};
    const auto same = [](TRequestRecord &) {};
    const Case cases[] = {
        {"kept a day ago to the second", none, same, kWeatherCacheMaxAgeSecs},
        {"older than a day", none, same, kWeatherCacheMaxAgeSecs + 1},
        {"fetched an hour after now: the clock was set back", none, same, -3600},
        {"another place", none, [](TRequestRecord &r) { r.LocationName = QStringLiteral("Brno, CZ"); }, 60},
        {"another city id", none, [](TRequestRecord &r) { r.LocationID = 3078610; }, 60},
        {"other units", none, [](TRequestRecord &r) { r.Units = QStringLiteral("imperial"); }, 60},
        {"the place written otherwise", none, [](TRequestRecord &r) { r.LocationName = QStringLiteral(" prague ,cz"); }, 60},
        {"no index", [](const CacheFolder &f) { QFile::remove(f.File(kCacheIndexFile)); }, same, 60},
        {"no forecast", [](const CacheFolder &f) { QFile::remove(f.File(kCachedForecastFile)); }, same, 60},
        {"an index of garbage", [](const CacheFolder &f) { WriteAll(f.File(kCacheIndexFile), "\x01\xff=\n==\n"); }, same, 60},
        {"an empty index", [](const CacheFolder &f) { WriteAll(f.File(kCacheIndexFile), ""); }, same, 60},
        {"one byte of the current answer changed",
         [](const CacheFolder &f) {
             QByteArray bytes = ReadAll(f.File(kCachedCurrentFile));
             bytes[bytes.size() / 2] = bytes[bytes.size() / 2] ^ 1;
             WriteAll(f.File(kCachedCurrentFile), bytes);
         },
         same, 60},
        // A crash between the renames: a new forecast beside the old index.
        {"a forecast newer than its index",
         [](const CacheFolder &f) {
             QByteArray bytes = ReadAll(f.File(kCachedForecastFile));
             WriteAll(f.File(kCachedForecastFile), bytes.replace("Prague", "Brno"));
         },
         same, 60},
        {"an index of a later version",
         [](const CacheFolder &f) {
             WriteAll(f.File(kCacheIndexFile), ReadAll(f.File(kCacheIndexFile)).replace("version=1", "version=2"));
         },
         same, 60},
        {"a key type that does not exist",
         [](const CacheFolder &f) {
             WriteAll(f.File(kCacheIndexFile), ReadAll(f.File(kCacheIndexFile)).replace("keyType=1", "keyType=7"));
         },
         same, 60},
        {"an answer too large to be one",
         [](const CacheFolder &f) {
             QFile file(f.File(kCachedCurrentFile));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.resize(THttpOptions().MaxBodyBytes + 1));
         },
         same, 60},
    };
    const QStringList shown = {QStringLiteral("kept a day ago to the second"),
                               QStringLiteral("the place written otherwise")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CacheFolder folder;
        QString error;
        ASSERT_TRUE(WriteWeatherCache(folder.Data(), FetchedResult(kFetched), error)) << error.toStdString();
        c.spoil(folder);
        TRequestRecord request = NextStartRequest();
        c.settings(request);
        const TWeatherResult kept = ReadWeatherCache(folder.Data(), request, kFetched.addSecs(c.ageSecs));
        if (shown.contains(QLatin1String(c.name))) {
            EXPECT_TRUE(kept.Ok()) << kept.Request.Failure.Message.toStdString();
            continue;
        }
        EXPECT_FALSE(kept.Ok());
        EXPECT_FALSE(kept.Request.Failure.Message.isEmpty());
        // Nothing of it to show by mistake.
        EXPECT_TRUE(kept.Current.City.Name.isEmpty());
        EXPECT_TRUE(kept.Forecast.isEmpty());
    }
}

// Answers that match their index but do not parse, as a future service
// version might give: the parsers' own failures, caught, never a crash.
TEST(WeatherCache, KeptAnswersTheParsersRefuseAreIgnored)
{
    const struct {
        const char *name;
        QByteArray current;
    } cases[] = {
        {"not XML", QByteArrayLiteral("<current><city")},
        {"an error body", QByteArrayLiteral("{\"cod\":401, \"message\": \"Invalid API key\"}")},
        {"a condition without number", ReadFixture(QStringLiteral("current.xml")).replace("number=\"600\" ", "")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CacheFolder folder;
        TWeatherResult result = FetchedResult(kFetched);
        result.CurrentBody = c.current;
        QString error;
        ASSERT_TRUE(WriteWeatherCache(folder.Data(), result, error));
        TWeatherResult kept;
        EXPECT_NO_THROW(kept = ReadWeatherCache(folder.Data(), NextStartRequest(), kFetched));
        EXPECT_FALSE(kept.Ok());
        EXPECT_TRUE(kept.Current.City.Name.isEmpty());
    }
}

TEST(WeatherCache, AFolderThatCannotBeWrittenIsReportedAndTheCacheIsOnlyAsOld)
{
    CacheFolder folder;
    // A file where the cache folder should be.
    WriteAll(folder.Data() + QLatin1String(kWeatherCacheFolder), "in the way");
    QString error;
    EXPECT_FALSE(WriteWeatherCache(folder.Data(), FetchedResult(kFetched), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ReadWeatherCache(folder.Data(), NextStartRequest(), kFetched).Ok());

    // What was read back is not written again as if fetched now.
    CacheFolder other;
    TWeatherResult fromCache = FetchedResult(kFetched);
    fromCache.FromCache = true;
    EXPECT_TRUE(WriteWeatherCache(other.Data(), fromCache, error));
    EXPECT_FALSE(QFile::exists(other.File(kCacheIndexFile)));
}

// A full disk: the write is reported and the weather kept before stays whole.
TEST(WeatherCache, AFullDiskIsReportedAndTheKeptWeatherStays)
{
    CacheFolder folder;
    QString error;
    ASSERT_TRUE(WriteWeatherCache(folder.Data(), FetchedResult(kFetched), error)) << error.toStdString();
    bool written = true;
    {
        TFileSizeLimit fullDisk(0);
        ASSERT_TRUE(fullDisk.Active());
        written = WriteWeatherCache(folder.Data(), FetchedResult(kFetched.addSecs(3600)), error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    const TWeatherResult kept = ReadWeatherCache(folder.Data(), NextStartRequest(), kFetched.addSecs(7200));
    EXPECT_TRUE(kept.Ok());
    EXPECT_EQ(kept.FetchedAt, kFetched);
}

TEST(WeatherCache, TheHintSaysHowOldTheWeatherIsInLocalTime)
{
    const QDateTime fetched = QDateTime(QDate(2026, 3, 7), QTime(9, 5), Qt::UTC);
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QString hint = CachedWeatherHint(fetched, locale);
    EXPECT_EQ(hint, QStringLiteral("as of ") + DateTimeText(fetched.toLocalTime(), locale));
}
