// The real client against the stand-in service, started as its own process.
#include "DateTimeConv.h"
#include "WeatherIcons.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr double kOneHour = 1.0 / 24.0;
const QString kDemoKey = QStringLiteral("demo");

class EndToEndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        service_ = std::make_unique<QProcess>();
        service_->setProgram(QStringLiteral(NIMBREL_FAKE_OWM));
        service_->setArguments({QStringLiteral("--port"), QStringLiteral("0")});
        service_->setProcessChannelMode(QProcess::SeparateChannels);
        service_->setStandardErrorFile(QProcess::nullDevice());
        service_->start();
        if (!service_->waitForStarted(kStartTimeoutMs))
            return;
        while (!service_->canReadLine() && service_->waitForReadyRead(kStartTimeoutMs)) {
        }
        const QString line = QString::fromUtf8(service_->readLine()).trimmed();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^listening on (http://127\\.0\\.0\\.1:\\d+)$")).match(line);
        if (m.hasMatch())
            base_ = m.captured(1);
    }

    static void TearDownTestSuite()
    {
        if (service_->state() != QProcess::NotRunning) {
            service_->terminate();
            if (!service_->waitForFinished(kStartTimeoutMs))
                service_->kill();
            service_->waitForFinished(kStartTimeoutMs);
        }
        service_.reset();
    }

    void SetUp() override { ASSERT_FALSE(base_.isEmpty()) << "the stand-in service did not start"; }

    static TRequestRecord Request(const char *location, TKeyType keyType = ktFree,
                                  TForecastMode mode = fmDaily, int days = 5)
    {
        TRequestRecord request;
        request.Key = kDemoKey;
        request.LocationName = QString::fromUtf8(location);
        request.Units = QStringLiteral("metric");
        request.Lang = QStringLiteral("en");
        request.KeyType = keyType;
        request.ForecastMode = mode;
        request.NumberOfDays = static_cast<std::uint8_t>(days);
        return request;
    }

    static TOwmClient Client() { return TOwmClient(base_, base_); }

    static TDateTime Now() { return DateTimeFromQDateTime(QDateTime::currentDateTime()); }

    static inline std::unique_ptr<QProcess> service_;
    static inline QString base_;
};

TEST_F(EndToEndTest, CurrentWeatherByName)
{
    TRequestRecord request = Request("prague,cz");
    TWeatherRecord record;
    ASSERT_TRUE(Client().GetCurrentWeather(request, record)) << request.Failure.Message.toStdString();
    EXPECT_EQ(record.City.ID, 3067696);
    EXPECT_EQ(record.City.Name, QStringLiteral("Prague"));
    EXPECT_EQ(record.City.Country, QStringLiteral("CZ"));
    EXPECT_NEAR(record.City.Lat, 50.09, 0.01);
    EXPECT_EQ(record.Temp.Value.Units, QStringLiteral("°C"));
    EXPECT_EQ(record.Wind.Speed.Units, QStringLiteral("km/h"));
    EXPECT_TRUE(IsIconFileName(record.Weather.Icon)) << record.Weather.Icon.toStdString();
    EXPECT_EQ(record.Weather.Code, QString::number(record.Weather.Value));
    EXPECT_LT(record.City.Sunrise, record.City.Sunset);
    EXPECT_NEAR(record.City.Sunrise, Now(), 1.5);
    EXPECT_NEAR(record.TimeStamp, Now(), kOneHour);
}

TEST_F(EndToEndTest, CurrentWeatherById)
{
    TRequestRecord request = Request("ignored");
    request.LocationID = 1850147;
    TWeatherRecord record;
    ASSERT_TRUE(Client().GetCurrentWeather(request, record)) << request.Failure.Message.toStdString();
    EXPECT_EQ(record.City.Name, QStringLiteral("Tokyo"));
}

struct ModeCase {
    const char *name;
    TKeyType keyType;
    TForecastMode mode;
    int days;
    int records;
};

class EndToEndForecastTest : public EndToEndTest, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(EndToEndForecastTest, ReturnsTheRecordsOfKeyAndMode)
{
    const ModeCase &c = GetParam();
    TRequestRecord request = Request("London,GB", c.keyType, c.mode, c.days);
    TWeatherData data;
    ASSERT_TRUE(Client().GetForecast(request, data)) << request.Failure.Message.toStdString();
    ASSERT_EQ(data.size(), c.records);
    for (qsizetype i = 0; i < data.size(); ++i) {
        SCOPED_TRACE(i);
        const TWeatherRecord &record = data[i];
        EXPECT_EQ(record.City.ID, 0);
        EXPECT_EQ(record.City.Name, QStringLiteral("London"));
        EXPECT_TRUE(IsIconFileName(record.Weather.Icon)) << record.Weather.Icon.toStdString();
        EXPECT_LE(record.Temp.Value.Min, record.Temp.Value.Max);
        if (i > 0 && c.mode == fmHourly) {
            EXPECT_NEAR(record.FromTime - data[i - 1].FromTime, 3 * kOneHour, 1e-6);
        }
        // Local midnights of successive days; a daylight-saving change may lie
        // between. A free first day that is a lone midnight slot shares the date
        // of the noon after it, so the free days are compared from the second on.
        const qsizetype firstCompared = c.keyType == ktFree ? 2 : 1;
        if (i >= firstCompared && c.mode == fmDaily) {
            EXPECT_NEAR(record.TimeStamp - data[i - 1].TimeStamp, 1.0, kOneHour + 1e-6);
        }
    }
    if (c.mode == fmHourly) {
        EXPECT_NEAR(data[0].FromTime, Now(), 3 * kOneHour);
    }
    if (c.keyType == ktPaid && c.mode == fmDaily) {
        EXPECT_EQ(data[0].FromTime, 0);
    }
    if (c.keyType == ktFree && c.mode == fmDaily) {
        // Each day is a noon slot (a midnight slot only before the first noon).
        for (const TWeatherRecord &record : data) {
            const QTime utc = QDateTimeFromDateTime(record.FromTime).toUTC().time();
            EXPECT_TRUE(utc == QTime(12, 0) || (&record == &data[0] && utc == QTime(0, 0)))
                << utc.toString().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, EndToEndForecastTest,
                         ::testing::Values(ModeCase{"FreeDaily", ktFree, fmDaily, 5, 5},
                                           ModeCase{"FreeHourly", ktFree, fmHourly, 2, 16},
                                           ModeCase{"PaidDaily", ktPaid, fmDaily, 16, 16},
                                           ModeCase{"PaidHourly", ktPaid, fmHourly, 3, 24}),
                         [](const ::testing::TestParamInfo<ModeCase> &param) { return param.param.name; });

TEST_F(EndToEndTest, SearchFindsCitiesLikeTheName)
{
    TRequestRecord request = Request("lon");
    TCities cities;
    ASSERT_TRUE(Client().FindLocations(request, cities)) << request.Failure.Message.toStdString();
    QSet<std::int64_t> ids;
    for (const TCity &city : cities)
        ids.insert(city.ID);
    EXPECT_TRUE(ids.contains(2643743));
    EXPECT_TRUE(ids.contains(6058560));

    request = Request(" New York ");
    ASSERT_TRUE(Client().FindLocations(request, cities));
    ASSERT_EQ(cities.size(), 1);
    EXPECT_EQ(cities[0].ID, 5128581);
    EXPECT_EQ(cities[0].Country, QStringLiteral("US"));
    EXPECT_LT(cities[0].Sunrise, cities[0].Sunset);

    request = Request("Atlantis");
    ASSERT_TRUE(Client().FindLocations(request, cities));
    EXPECT_TRUE(cities.isEmpty());
}

TEST_F(EndToEndTest, DownloadsEveryIconTheServiceNames)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList names;
    for (const char *kind : {"01", "02", "03", "04", "09", "10", "11", "13", "50"})
        for (const char *time : {"d", "n"})
            names << QStringLiteral("%1%2.png").arg(QLatin1String(kind), QLatin1String(time));
    Client().DownloadIcons(names, folder.path());
    for (const QString &name : names) {
        QFile file(QDir(folder.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(IsWholePng(file.readAll())) << name.toStdString();
    }
}

struct RefusalCase {
    const char *name;
    const char *key;
    const char *location;
    const char *message;
};

class EndToEndRefusalTest : public EndToEndTest, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(EndToEndRefusalTest, ReportsTheServiceMessageAndKeepsTheRecords)
{
    const RefusalCase &c = GetParam();
    const TOwmClient client = Client();
    TRequestRecord request = Request(c.location);
    request.Key = QString::fromLatin1(c.key);

    TWeatherRecord record;
    record.City.Name = QStringLiteral("Earlier");
    EXPECT_FALSE(client.GetCurrentWeather(request, record));
    EXPECT_EQ(request.Failure.Message, QString::fromLatin1(c.message));
    EXPECT_EQ(record.City.Name, QStringLiteral("Earlier"));

    TWeatherData data(2);
    EXPECT_FALSE(client.GetForecast(request, data));
    EXPECT_EQ(request.Failure.Message, QString::fromLatin1(c.message));
    EXPECT_EQ(data.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, EndToEndRefusalTest,
                         ::testing::Values(RefusalCase{"RejectedKey", "bad", "Prague", "Invalid API key"},
                                           RefusalCase{"MissingKey", "", "Prague", "Invalid API key"},
                                           RefusalCase{"UnknownCity", "demo", "Atlantis", "city not found"}),
                         [](const ::testing::TestParamInfo<RefusalCase> &param) { return param.param.name; });

TEST_F(EndToEndTest, SearchWithRejectedKeyKeepsTheCities)
{
    TRequestRecord request = Request("London");
    request.Key = QStringLiteral("bad");
    TCities cities(1);
    EXPECT_FALSE(Client().FindLocations(request, cities));
    EXPECT_EQ(request.Failure.Message, QStringLiteral("Invalid API key"));
    EXPECT_EQ(cities.size(), 1);
}

} // namespace
