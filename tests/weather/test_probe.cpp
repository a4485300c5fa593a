// The console probe's total time-out, against a peer that answers too late.
#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <thread>

namespace {

constexpr int kProbeFinishMs = 60000;

struct TProbeRun {
    int exitCode = -1;
    QString output;
};

TProbeRun RunProbe(const QStringList &arguments)
{
    QProcess probe;
    probe.setProgram(QStringLiteral(NIMBREL_WEATHER_PROBE));
    probe.setArguments(arguments);
    probe.start();
    TProbeRun run;
    if (!probe.waitForFinished(kProbeFinishMs)) {
        probe.kill();
        probe.waitForFinished();
        return run;
    }
    run.exitCode = probe.exitCode();
    run.output = QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
    return run;
}

TEST(WeatherProbe, TimeoutEndsAFetchThatAnswersLate)
{
    LoopbackServer server;
    // Late but valid: without the time-out the probe would print the weather.
    server.http.Get(".*", [](const httplib::Request &, httplib::Response &response) {
        std::this_thread::sleep_for(std::chrono::seconds(4));
        response.set_content("<current/>", "text/xml");
    });
    ASSERT_TRUE(server.Start());
    const TProbeRun run = RunProbe({QStringLiteral("--api"), server.BaseUrl(), QStringLiteral("--key"),
                                    QStringLiteral("k"), QStringLiteral("--timeout"), QStringLiteral("0.5")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.contains(QLatin1String("Current weather failed: No data received")))
        << run.output.toStdString();
}

TEST(WeatherProbe, ADayWithoutTemperaturesPrintsADash)
{
    LoopbackServer server;
    server.http.Get("/data/2.5/weather", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(R"(<current><city id="1" name="Nowhere"/><temperature value="3"/></current>)",
                             "text/xml");
    });
    // A free key's day folded from slots without any temperature.
    server.http.Get("/data/2.5/forecast", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(R"(<weatherdata><forecast>)"
                             R"(<time from="2026-03-02T12:00:00" to="2026-03-02T15:00:00"><symbol number="800" name="clear sky" var="01d"/></time>)"
                             R"(<time from="2026-03-03T00:00:00" to="2026-03-03T03:00:00"><symbol number="800" name="clear sky" var="01n"/></time>)"
                             R"(</forecast></weatherdata>)",
                             "text/xml");
    });
    ASSERT_TRUE(server.Start());
    const TProbeRun run = RunProbe({QStringLiteral("--api"), server.BaseUrl(), QStringLiteral("--key"),
                                    QStringLiteral("k"), QStringLiteral("--days"), QStringLiteral("1")});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral(".  \u2013 "))) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(QLatin1String("2147483647"))) << run.output.toStdString();
}

TEST(WeatherProbe, TimeoutMustBeAPositiveNumberOfSeconds)
{
    for (const char *bad : {"abc", "0", "-3", "nan", "1e9"}) {
        const TProbeRun run = RunProbe({QStringLiteral("--api"), QStringLiteral("http://127.0.0.1:9"),
                                        QStringLiteral("--timeout"), QString::fromLatin1(bad)});
        EXPECT_EQ(run.exitCode, 2) << bad;
        EXPECT_TRUE(run.output.contains(QLatin1String("--timeout"))) << bad;
    }
}

} // namespace
