// Where the window lies and how tall it is: wholly on a screen's work area
// whatever was stored, at start, after a change of screens and when brought
// forward, with the forecast rows scrolled into view where they do not fit.
#include "ForecastList.h"
#include "LayoutManagerDisplays.h"
#include "LayoutManagerINIStorage.h"
#include "WindowRoll.h"
#include "WindowRun.h"
#include "WindowSizing.h"

#include <gtest/gtest.h>

#include <QScreen>

namespace {

// A port nobody listens on: these tests need the window, not the weather.
const QString kDeadService = QStringLiteral("http://127.0.0.1:1");

QRect WorkArea(const QWidget &window)
{
    return window.screen()->availableGeometry();
}

// The window's stored place and size for the display it starts on.
void StorePlace(TWindowRun &run, const QString &pos, const QString &size)
{
    TLayoutManagerINIStorage storage(run.SettingsFile());
    storage.Open(false);
    const QString section = QStringLiteral("Twnd_nb_Main#") + TScreenDisplays().DisplayTag(0);
    storage.WriteString(QStringLiteral("Twnd_nb_Main"), QStringLiteral("Monitor"), QStringLiteral("0"));
    storage.WriteString(section, QStringLiteral("Pos"), pos);
    storage.WriteString(section, QStringLiteral("Size"), size);
    storage.Close();
}

} // namespace

TEST(WindowGeometry, StoredPlacesOffEveryScreenAreCorrectedAtStart)
{
    const struct {
        const char *name;
        QString pos;
        QString size;
    } cases[] = {
        {"a monitor unplugged", QStringLiteral("-5000,40000"), QStringLiteral("470,491")},
        {"one pixel tall", QStringLiteral("10,10"), QStringLiteral("470,1")},
        {"below the edge and too tall", QStringLiteral("0,500"), QStringLiteral("470,5000")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TWindowRun run;
        run.WriteSettings(kDeadService, QStringLiteral("k"));
        StorePlace(run, c.pos, c.size);
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_TRUE(WorkArea(window).contains(window.geometry())) << window.geometry().y();
        EXPECT_GE(window.height(), RolledUpHeight());
        EXPECT_EQ(window.width(), kWindowWidth);
    }
}

TEST(WindowGeometry, BroughtForwardOrAfterAChangeOfScreensTheWindowIsOnScreenAgain)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    const QRect area = WorkArea(window);

    window.move(-5000, 40000);
    window.BringToFront();
    EXPECT_TRUE(area.contains(window.geometry()));

    window.move(area.right() - 100, area.bottom() - 50);
    window.DisplaySettingsChanged();
    EXPECT_TRUE(area.contains(window.geometry()));
}

// Sixteen days on a screen with room for fewer: the window stops at the work
// area, and the list scrolls to every day.
TEST(WindowGeometry, ManyDaysKeepTheWindowOnScreenAndEveryDayReachable)
{
    constexpr int kDays = 16;
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"), {{QStringLiteral("WFD"), QString::number(kDays)}});
    StorePlace(run, QStringLiteral("0,300"), QStringLiteral("470,491"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    const QRect area = WorkArea(window);
    ASSERT_LT(area.height(), RolledUpHeight() + kDays * kForecastRowHeight) << "the screen must be too small";
    EXPECT_TRUE(area.contains(window.geometry()));

    TForecastList *list = window.ForecastList();
    TForecastRows rows(kDays);
    for (int day = 0; day < kDays; ++day)
        rows[day].Date = QDate(2026, 12, 10).addDays(day);
    list->SetRows(rows);
    EXPECT_GT(list->MaxScroll(), 0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(list->CurrentRow(), kDays - 1);
    EXPECT_TRUE(list->rect().contains(list->CellRect(kDays - 1, 0)));

    // Rolled up and down again, it still fits.
    window.Roll()->Toggle();
    window.Roll()->Toggle();
    EXPECT_TRUE(area.contains(window.geometry()));
}
