// How the window behaves to the user: roll-up kept from run to run, the menu
// and Escape from the keyboard, names for assistive technology, and a panel
// whose labels never run into each other.
#include "BarTextColours.h"
#include "DateTimeConv.h"
#include "ForecastList.h"
#include "ForecastListColours.h"
#include "HeaderPanel.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "MainMenu.h"
#include "PanelTexts.h"
#include "TitleBar.h"
#include "ThemeManager.h"
#include "TitleGlyphs.h"
#include "WindowRoll.h"
#include "WindowRun.h"
#include "WindowSizing.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>

namespace {

// A port nobody listens on: these tests need the window, not the weather.
const QString kDeadService = QStringLiteral("http://127.0.0.1:1");

int WorkAreaHeight(const QWidget &window)
{
    return window.screen()->availableGeometry().height();
}

} // namespace

TEST(WindowBehaviour, RollsUpAndStartsRolledUpNextTime)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"), {{QStringLiteral("WFD"), QStringLiteral("3")}});
    {
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_EQ(window.width(), kWindowWidth);
        EXPECT_EQ(window.height(), UnrolledHeight(WorkAreaHeight(window), 3));
        EXPECT_EQ(window.TitleBar()->RollButton()->ImageIndex(), tgRollUp);

        emit window.TitleBar()->RollButton()->OnClick(window.TitleBar()->RollButton());
        EXPECT_EQ(window.height(), RolledUpHeight());
        EXPECT_EQ(window.TitleBar()->RollButton()->ImageIndex(), tgRollDown);
        run.Close();
    }
    Twnd_nb_Main &again = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(again.height(), RolledUpHeight());
    EXPECT_EQ(again.TitleBar()->RollButton()->ImageIndex(), tgRollDown);
    again.Roll()->Toggle();
    EXPECT_EQ(again.height(), UnrolledHeight(WorkAreaHeight(again), 3));
    EXPECT_EQ(again.TitleBar()->RollButton()->ImageIndex(), tgRollUp);
}

TEST(WindowBehaviour, MenuOpensFromTheKeyboardAndEscapeCloses)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } menuKeys[] = {{Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}};
    for (const auto &press : menuKeys) {
        QTest::keyClick(&window, press.key, press.modifiers);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.Menu()->isVisible(); }, 5000)) << int(press.key);
        EXPECT_EQ(window.Menu()->actions().size(), 5); // three items and two separators
        window.Menu()->hide();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QSignalSpy closed(&window, &Twnd_nb_Main::Closed);
    QTest::keyClick(&window, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed.count() == 1; }, 5000));
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowBehaviour, ButtonsAndPanelLabelsCarryAccessibleNames)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());

    TTitleBar *title = window.TitleBar();
    const QList<QPair<QWidget *, QString>> named = {
        {title->RefreshButton(), QStringLiteral("Refresh")},
        {title->ThemeButton(), QStringLiteral("Theme")},
        {title->RollButton(), QStringLiteral("Roll up/down")},
        {title->PrefsButton(), QStringLiteral("Settings")},
        {window.Header()->Label(QStringLiteral("lTemp")), QStringLiteral("Temperature")},
        {window.Header()->Label(QStringLiteral("lHum")), QStringLiteral("Humidity")},
    };
    for (const auto &[widget, name] : named) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr) << name.toStdString();
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
    }
    // The buttons are buttons to assistive technology, and pressing one works.
    QAccessibleInterface *refresh = QAccessible::queryAccessibleInterface(title->RefreshButton());
    EXPECT_EQ(refresh->role(), QAccessible::Button);
    QAccessibleActionInterface *actions = refresh->actionInterface();
    ASSERT_NE(actions, nullptr);
    QSignalSpy started(&window.RefreshCycle(), &TRefreshCycle::RefreshStarted);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(started.count(), 1);
    ASSERT_TRUE(run.WaitForRefreshEnd());
    for (QLabel *label : window.Header()->Labels()) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << label->objectName().toStdString();
    }
}

// Wider fonts and longer words than the usual ones must not make labels overlap
// or leave the panel; what cannot fit is shortened and whole in its hint.
TEST(WindowBehaviour, PanelLabelsStayApartWithLongTexts)
{
    TThemeController theme;
    THeaderPanel panel(&theme);
    panel.resize(kWindowWidth - 2, kHeaderHeight);
    const struct {
        const char *name;
        TPanelTexts texts;
        bool fitsWhole = false; // room enough once the columns move
    } cases[] = {
        {"german", {QStringLiteral("Prague, CZ"), QStringLiteral("Leicht bewölkt, frische Brise"),
                    QStringLiteral("-1,3°C"), QStringLiteral("29,88 km/h SSW"),
                    QStringLiteral("Luftdruck: 1000,00 hPa"), QStringLiteral("Luftfeuchtigkeit: 54 %"),
                    QStringLiteral("Bewölkung: 21 %"), QStringLiteral("Niederschlag: 0,00 mm"), QString(), Qt::white,
                    QStringLiteral("Gefühlt -5°C")},
         true},
        {"usual", {QStringLiteral("Prague, CZ"), QStringLiteral("Few clouds, fresh breeze"), QStringLiteral("-2.6°C"),
                   QStringLiteral("32.76 km/h SW"), QStringLiteral("Pressure: 1000.00 hPa"),
                   QStringLiteral("Humidity: 51 %"), QStringLiteral("Cloud Coverage: 13 %"),
                   QStringLiteral("Precipitations: 0.00 mm"), QString(), Qt::white, QString()},
         true},
        {"long", {QStringLiteral("Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch, GB"),
                  QStringLiteral("Thunderstorm with heavy drizzle, violent storm and more words"),
                  QStringLiteral("-40.0°F"), QStringLiteral("123456.78 km/h NNW"),
                  QStringLiteral("Luftdruck: 101325.00 hPa"), QStringLiteral("Luftfeuchtigkeit: 100 %"),
                  QStringLiteral("Bewölkung: 100 %"), QStringLiteral("Niederschlag: 1234.56 mm"), QString(),
                  Qt::white, QStringLiteral("Gefühlt -40°F")}},
        {"no numbers", {QStringLiteral("Prague, CZ"), QString(), QStringLiteral("\u2013°C"),
                        QStringLiteral("\u2013 km/h"), QStringLiteral("Pressure: \u2013 hPa"),
                        QStringLiteral("Humidity: \u2013 %"), QStringLiteral("Cloud Coverage: \u2013 %"),
                        QStringLiteral("Precipitations: \u2013 mm"), QString(), Qt::white, QString()}},
    };
    for (const auto &testCase : cases) {
        panel.ShowTexts(testCase.texts);
        const QList<QLabel *> labels = panel.Labels();
        for (QLabel *label : labels) {
            EXPECT_TRUE(panel.rect().contains(label->geometry())) << testCase.name << " "
                                                                  << label->objectName().toStdString();
            if (testCase.fitsWhole) {
                EXPECT_EQ(label->text(), panel.FullText(label)) << testCase.name;
            }
            if (label->text() != panel.FullText(label)) {
                EXPECT_EQ(label->toolTip(), panel.FullText(label)) << testCase.name;
            }
            for (QLabel *other : labels) {
                if (other != label && !label->text().isEmpty() && !other->text().isEmpty()) {
                    EXPECT_FALSE(label->geometry().intersects(other->geometry()))
                        << testCase.name << ": " << label->objectName().toStdString() << " and "
                        << other->objectName().toStdString();
                }
            }
        }
    }
    EXPECT_EQ(panel.Label(QStringLiteral("lTemp"))->text(), QStringLiteral("\u2013°C"));
}

// The window's own texts come from the language files: hints, menu items and
// the names assistive technology reads, which follow the hints.
TEST(WindowBehaviour, TextsFollowTheLanguage)
{
    TLanguageManager &language = GlobalLangManager();
    language.SetProgramFolder(QStringLiteral(NIMBREL_BINARY_DIR));
    language.SetLanguageCode(QStringLiteral("de"));
    ASSERT_EQ(language.LanguageCode(), QStringLiteral("de")) << language.LastError().toStdString();
    {
        TWindowRun run;
        // Chosen, as the start-up found it: the window keeps it when it applies the settings.
        run.WriteSettings(kDeadService, QStringLiteral("k"), {{QStringLiteral("LNG"), QStringLiteral("de")}});
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_EQ(window.Menu()->ExitAction()->text(), QStringLiteral("Beenden"));
        EXPECT_EQ(window.TitleBar()->PrefsButton()->toolTip(), QStringLiteral("Einstellungen"));
        QAccessibleInterface *prefs = QAccessible::queryAccessibleInterface(window.TitleBar()->PrefsButton());
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->text(QAccessible::Name), QStringLiteral("Einstellungen"));
        EXPECT_EQ(window.Header()->Label(QStringLiteral("lLoc"))->accessibleName(), QStringLiteral("Ort"));
    }
    language.SetLanguageCode(QStringLiteral("en"));
    ResetTexts();
}

// In every theme the title bar's and the panel's texts read at 4.5:1 or
// better on both ends of their bar's gradient, the temperature's warm, mild
// and cold colours included.
TEST(WindowBehaviour, EveryThemeKeepsTheBarsTextsReadable)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    const double temperatures[] = {-10, 15, 35};
    for (int preset = tpDefault; preset < kThemePresetCount; ++preset) {
        SCOPED_TRACE(ThemePresetName(preset).toStdString());
        TThemeManager::Instance().SetThemePreset(static_cast<TThemePreset>(preset));
        const auto expectReadable = [](const TOmniBar &bar, const QLabel &label) {
            const QColor text = label.palette().color(QPalette::WindowText);
            for (const QColor &background : BarBackgrounds(bar))
                EXPECT_GE(ContrastRatio(text, background), kLeastTextContrast)
                    << label.objectName().toStdString() << " " << text.name().toStdString() << " on "
                    << background.name().toStdString();
        };
        for (const QLabel *label : {window.TitleBar()->DateLabel(), window.TitleBar()->TimeLabel()})
            expectReadable(*window.TitleBar(), *label);
        for (const double temperature : temperatures) {
            TPanelTexts texts;
            texts.Temp = QStringLiteral("x");
            texts.TempColour = TemperatureColour(temperature, false);
            window.Header()->ShowTexts(texts);
            for (const char *name : {"lLoc", "lDesc", "lTemp", "lWind", "lPres", "lHum", "lCloud", "lPrec"})
                expectReadable(*window.Header(), *window.Header()->Label(QString::fromLatin1(name)));
        }
    }
    TThemeManager::Instance().SetThemePreset(tpGraphite);
}

// In every theme the list's texts read at 4.5:1 or better on every column,
// selected or not, the weekend's still set apart from the weekdays', and a
// new moon's disc shows on the moon column.
TEST(WindowBehaviour, EveryThemeKeepsTheListReadableAndTheMoonVisible)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    TForecastList *list = window.ForecastList();
    TForecastRow row;
    row.Date = QDate(2026, 12, 9); // a new moon
    row.MoonTime = static_cast<double>(DateTimeEpoch().daysTo(row.Date)) + 0.25;
    list->SetRows({row});
    for (int preset = tpDefault; preset < kThemePresetCount; ++preset) {
        SCOPED_TRACE(ThemePresetName(preset).toStdString());
        TThemeManager::Instance().SetThemePreset(static_cast<TThemePreset>(preset));
        const TForecastListColours &colours = list->Colours();
        for (const QColor &background : TextBackgrounds(colours)) {
            EXPECT_GE(ContrastRatio(colours.Text, background), kLeastTextContrast) << background.name().toStdString();
            EXPECT_GE(ContrastRatio(colours.Weekend, background), kLeastTextContrast)
                << background.name().toStdString();
        }
        // Apart by colour, or, where no colour reads and differs, by italics.
        EXPECT_TRUE(ColourDistance(colours.Text, colours.Weekend) >= kWeekendApart || colours.WeekendItalic)
            << colours.Text.name().toStdString() << " " << colours.Weekend.name().toStdString();

        // The disc stands out from the column as a drawing must (3:1), at
        // least along its outline (a circle about the picture's size).
        const QImage image = list->grab().toImage();
        const QRect moon = list->MoonRect(0).adjusted(-2, -2, 2, 2);
        const QColor column = colours.Columns[3];
        int visible = 0;
        for (int y = moon.top(); y <= moon.bottom(); ++y)
            for (int x = moon.left(); x <= moon.right(); ++x)
                visible += ContrastRatio(image.pixelColor(x, y), column) >= 3.0 ? 1 : 0;
        EXPECT_GE(visible, 2 * moon.width());
    }
    TThemeManager::Instance().SetThemePreset(tpGraphite);
}
