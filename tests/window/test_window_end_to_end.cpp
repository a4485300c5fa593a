// The window against the stand-in service: the panel filled in its formats, the
// settings written at exit, the icons fetched, and the failure paths.
#include "AppSettings.h"
#include "ConditionPictures.h"
#include "DateTimeConv.h"
#include "ForecastList.h"
#include "HeaderPanel.h"
#include "LangConsts.h"
#include "PanelTexts.h"
#include "StandIn.h"
#include "ThemeManager.h"
#include "TitleBar.h"
#include "WaitFor.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

QString Text(Twnd_nb_Main &window, const char *label)
{
    return window.Header()->FullText(window.Header()->Label(QLatin1String(label)));
}

// Every label of the panel that shows a value of the weather.
const char *const kValueLabels[] = {"lDesc", "lTemp", "lWind", "lPres", "lHum", "lCloud", "lPrec"};

QMap<QString, QString> PanelTexts(Twnd_nb_Main &window)
{
    QMap<QString, QString> texts;
    for (QLabel *label : window.Header()->Labels())
        texts.insert(label->objectName(), window.Header()->FullText(label));
    return texts;
}

// Whether the panel's picture is one of the program's own drawings, made for
// its size at the window's density.
bool ShowsOwnDrawing(Twnd_nb_Main &window)
{
    const QPixmap shown = window.Header()->WeatherIcon()->pixmap();
    if (shown.isNull())
        return false;
    const QImage image = shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const char *group : {"01", "02", "03", "04", "09", "10", "11", "13", "50"}) {
        for (const char *time : {"d", "n"}) {
            const QImage drawing = RenderConditionPicture(QLatin1String(group) + QLatin1String(time),
                                                          THeaderPanel::kIconSize, window.devicePixelRatioF());
            if (drawing.size() == image.size() && drawing.devicePixelRatio() == shown.devicePixelRatio()
                && drawing.convertToFormat(QImage::Format_ARGB32_Premultiplied) == image)
                return true;
        }
    }
    return false;
}

QStringList Downloaded(const TWindowRun &run)
{
    return QDir(run.DataFolder()).entryList({QStringLiteral("*.png")}, QDir::Files);
}

} // namespace

// The condition pictures: by default the program's own, drawn for the screen
// with nothing downloaded; the service's when chosen (OP=0), fetched after the
// weather; and the choice confirmed again shows the drawings at once.
TEST(WindowEndToEnd, OwnPicturesNeedNoDownloadAndTheServicesComeWhenChosen)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    for (const bool own : {true, false}) {
        SCOPED_TRACE(own ? "own pictures" : "the service's pictures");
        TWindowRun run;
        QMap<QString, QString> values;
        if (!own)
            values.insert(QLatin1String(kOwnPicturesName), QStringLiteral("0"));
        run.WriteSettings(service.Base(), QStringLiteral("demo-key"), values);
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_TRUE(window.HasWeather());
        const TForecastList *list = window.ForecastList();
        ASSERT_GT(list->RowCount(), 0);
        const QSize listPicture(TForecastList::kPictureLimit, TForecastList::kPictureLimit);
        if (own) {
            EXPECT_TRUE(ShowsOwnDrawing(window));
            EXPECT_EQ(list->PictureRect(0).size(), listPicture);
            // A second refresh: any picture the first had asked for has reached
            // the stand-in by its end.
            window.RefreshWeather();
            ASSERT_TRUE(run.WaitForRefreshEnd());
            EXPECT_FALSE(service.Log().contains(QStringLiteral("/img/"))) << service.Log().toStdString();
            EXPECT_EQ(Downloaded(run), QStringList());
            continue;
        }
        EXPECT_TRUE(Eventually([&] { return !Downloaded(run).isEmpty(); }));
        ASSERT_TRUE(Eventually([&] { return window.WeatherFetch()->PicturesInFlight().isEmpty(); }));
        EXPECT_TRUE(Eventually([&] { return !window.Header()->WeatherIcon()->pixmap().isNull(); }));
        EXPECT_FALSE(ShowsOwnDrawing(window));
        EXPECT_EQ(list->PictureRect(0).size(), listPicture);

        window.LayoutManager().StoredValues().SetValueByName(QLatin1String(kOwnPicturesName), true);
        window.ApplySettings();
        EXPECT_TRUE(ShowsOwnDrawing(window));
        EXPECT_TRUE(list->OwnPictures());
        ASSERT_TRUE(run.WaitForRefreshEnd());
    }
}

TEST(WindowEndToEnd, FillsThePanelSavesTheSettingsAndKeepsItsDataWhenTheServiceGoes)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.HasWeather()) << Text(window, "lDesc").toStdString();

    // The place as the service reported it, and every value in its format
    // (the tests run in the C locale: "." before the decimals).
    const QString number1 = QStringLiteral("-?\\d+\\.\\d"), number2 = QStringLiteral("-?\\d+\\.\\d\\d");
    const struct {
        const char *label;
        QString pattern;
    } formats[] = {
        {"lLoc", QStringLiteral("Prague, CZ")},
        {"lDesc", QStringLiteral("[A-Z][^,]*(, [^,]+)?")},
        {"lTemp", number1 + QStringLiteral("°C")},
        {"lWind", number2 + QStringLiteral(" km/h [NESW]{1,3}")},
        {"lPres", QStringLiteral("Pressure: ") + number2 + QStringLiteral(" hPa")},
        {"lHum", QStringLiteral("Humidity: \\d+ %")},
        {"lCloud", QStringLiteral("Cloud Coverage: \\d+ %")},
        {"lPrec", QStringLiteral("Precipitations: ") + number2 + QStringLiteral(" mm")},
    };
    for (const auto &format : formats) {
        const QRegularExpression whole(QRegularExpression::anchoredPattern(format.pattern));
        EXPECT_TRUE(whole.match(Text(window, format.label)).hasMatch())
            << format.label << ": " << Text(window, format.label).toStdString();
    }
    QLabel *temp = window.Header()->Label(QStringLiteral("lTemp"));
    EXPECT_EQ(temp->palette().color(QPalette::WindowText),
              TemperatureColour(Text(window, "lTemp").chopped(2).toDouble(), false));
    EXPECT_FALSE(window.Header()->WeatherIcon()->toolTip().isEmpty()); // the observation time
    EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden());

    // The list: one row per forecast day, dated one day after another from the
    // stand-in's first UTC day (the day after it when its first slot is the
    // midnight closing today), in a list as high as the five days of the settings.
    const TForecastList *list = window.ForecastList();
    const TForecastRows &rows = list->Rows();
    ASSERT_GE(rows.size(), kDefaultForecastDays - 1);
    ASSERT_LE(rows.size(), kDefaultForecastDays);
    const QDate firstUtcDay = QDateTime::currentDateTimeUtc().date();
    auto localDateOfUtcNoon = [](const QDate &utcDay) {
        return QDateTime(utcDay, QTime(12, 0), QTimeZone::utc()).toLocalTime().date();
    };
    EXPECT_TRUE(rows[0].Date == localDateOfUtcNoon(firstUtcDay)
                || rows[0].Date == localDateOfUtcNoon(firstUtcDay.addDays(1)))
        << rows[0].Date.toString(Qt::ISODate).toStdString();
    for (int i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].Date, rows[0].Date.addDays(i)) << i;
    // The illumination is worked out on the fetch's thread; it must reach the
    // rows. A day with a phase names it instead; even around new moon, four
    // days in a row do not all show 0 %.
    const QRegularExpression litPercent(QStringLiteral("^Moon: [1-9][0-9]*%"));
    int litRows = 0;
    for (const TForecastRow &row : rows) {
        EXPECT_TRUE(row.MoonSunText.startsWith(QStringLiteral("Moon: ")));
        if (litPercent.match(row.MoonSunText).hasMatch())
            ++litRows;
        EXPECT_TRUE(row.Sun.HasRise && row.Sun.HasSet); // Prague has both every day
        EXPECT_FALSE(row.RangeText.contains(QStringLiteral("2147483647")));
    }
    EXPECT_GT(litRows, 0);
    EXPECT_GE(list->height(), kDefaultForecastDays * TForecastList::kRowHeight);
    EXPECT_LT(list->height(), (kDefaultForecastDays + 1) * TForecastList::kRowHeight);
    EXPECT_EQ(list->width(), window.width() - 2);

    // A theme change recolours the list after the bars.
    for (const TThemePreset preset : {tpCobalt, tpGraphite}) {
        TThemeManager::Instance().SetThemePreset(preset);
        const TColor title = window.TitleBar()->PaintedLookSet().Color;
        EXPECT_EQ(list->Colours().Columns[1], ToQColor(title)) << preset;
        EXPECT_EQ(list->Colours().Selection, ToQColor(title)) << preset;
        EXPECT_EQ(list->Colours().Columns[0], ToQColor(TThemeManager::Instance().ControlLook().LookSet().Color)) << preset;
        EXPECT_EQ(list->Colours().Weekend, ReadableOn(WeekendColour(window.Header()->PaintedLookSet().Color),
                                                      TextBackgrounds(list->Colours())))
            << preset;
    }

    // The service goes away: the next refresh fails, the panel keeps its data
    // and the retry comes in 30 seconds.
    const QMap<QString, QString> before = PanelTexts(window);
    service.Stop();
    window.RefreshWeather();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_FALSE(window.Header()->ErrorIcon()->isHidden());
    // The reason, then what to do and when the next attempt comes.
    const QStringList lines = window.Header()->ErrorIcon()->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Data load failed: No connection to the service"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Check the network connection. Next attempt at ")))
        << lines[1].toStdString();
    EXPECT_EQ(PanelTexts(window), before);
    EXPECT_TRUE(window.RefreshCycle().TimerActive());
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 30000);

    // At exit the place is stored as reported and the key stays enciphered.
    run.Close();
    EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("WL")), QStringLiteral("Prague, CZ"));
    const QString storedKey = run.StoredText(QStringLiteral("Settings"), QStringLiteral("OWM"));
    EXPECT_NE(storedKey, QStringLiteral("demo-key"));
    EXPECT_EQ(TLayoutManagerWinCryptCipherer().DecryptText(storedKey, QLatin1String(kApiKeyPassword)),
              QStringLiteral("demo-key"));
    // The service's own addresses are read, never written over.
    EXPECT_EQ(run.StoredText(QStringLiteral("Service"), QStringLiteral("ApiBase")), service.Base());
}

TEST(WindowEndToEnd, FirstStartWithARejectedKeyShowsTheReasonInThePanel)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("bad")); // the stand-in rejects this key
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());

    const QString hint = QStringLiteral("Data load failed: The service refused the API key (Invalid API key)");
    EXPECT_FALSE(window.HasWeather());
    EXPECT_FALSE(window.Header()->ErrorIcon()->isHidden());
    EXPECT_EQ(window.Header()->ErrorIcon()->toolTip().section(QLatin1Char('\n'), 0, 0), hint);
    EXPECT_EQ(Text(window, "lDesc"), hint);
    for (const char *label : kValueLabels) {
        if (QLatin1String(label) != QLatin1String("lDesc")) {
            EXPECT_TRUE(Text(window, label).isEmpty()) << label;
        }
    }
    EXPECT_EQ(Text(window, "lLoc"), QStringLiteral("Prague,CZ")); // the stored place until one is reported
    EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), 30000);
}

// The refresh runs on a worker thread: while the stand-in holds its answer
// back, the clock keeps going and the panel says a refresh is under way.
TEST(WindowEndToEnd, ClockRunsWhileTheServiceIsSlow)
{
    TStandIn service({QStringLiteral("--delay-ms"), QStringLiteral("5000")});
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(window.RefreshCycle().IsRefreshing());
    EXPECT_EQ(Text(window, "lDesc"), lc_Refreshing);

    QLabel *clock = window.TitleBar()->TimeLabel();
    const QString shown = clock->text();
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock->text() != shown; }, TWindowRun::kWaitMs));
    EXPECT_TRUE(window.RefreshCycle().IsRefreshing());
    // Closing while the answer is still held back ends the window cleanly.
}

// Start at logon follows RAS each time the settings are applied.
TEST(WindowEndToEnd, StartAtLogonFollowsTheSetting)
{
    for (const bool runAtStartup : {true, false}) {
        TWindowRun run;
        // A dead port: this test needs no answers.
        run.WriteSettings(QStringLiteral("http://127.0.0.1:1"), QStringLiteral("demo-key"),
                          {{QStringLiteral("RAS"), runAtStartup ? QStringLiteral("1") : QStringLiteral("0")}});
        QDir().mkpath(QFileInfo(run.AutostartFile()).absolutePath());
        QFile stale(run.AutostartFile());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("[Desktop Entry]\nType=Application\nName=old\nExec=/old/path\n");
        stale.close();

        run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_EQ(QFileInfo::exists(run.AutostartFile()), runAtStartup);
        if (runAtStartup) {
            QFile entry(run.AutostartFile());
            ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(entry.readAll());
            EXPECT_TRUE(text.contains(QStringLiteral("Name=Zelto Nimbrel"))) << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral(NIMBREL_EXECUTABLE))) << text.toStdString();
        }
    }
}
