// The hourly view in the window: a day chosen in the list opens its hours
// under the list, the keys reach every hour and Escape gives the focus back to
// the day, and the window stays on its screen, at 1x and at 2x. The view alone:
// its keys, a day without hours, and the hours scrolled into view.
#include "ColorAdjustLuma.h"
#include "ForecastList.h"
#include "ForecastListColours.h"
#include "HourlyView.h"
#include "LangConsts.h"
#include "StandIn.h"
#include "WaitFor.h"
#include "WindowRoll.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QRect WorkArea(const QWidget &window)
{
    return window.screen()->availableGeometry();
}

THourlyDay Hours(int count)
{
    THourlyDay day;
    day.Title = QStringLiteral("Tuesday 2/10/2026");
    for (int hour = 0; hour < count; ++hour) {
        THourCell cell;
        cell.TimeText = QStringLiteral("%1:00").arg(hour);
        cell.Temperature = hour % 5;
        cell.TemperatureText = QStringLiteral("%1°C").arg(hour % 5);
        cell.AccessibleText = QStringLiteral("hour %1").arg(hour);
        day.Hours << cell;
    }
    return day;
}

// The window on the stand-in, its weather shown and its list focused.
class WindowHours : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.WaitUntilListening());
        run.WriteSettings(service.Base(), QStringLiteral("demo-key"));
        window = &run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        ASSERT_TRUE(window->HasWeather());
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        list = window->ForecastList();
        hours = window->HourlyView();
        ASSERT_GT(list->RowCount(), 1);
    }

    TStandIn service;
    TWindowRun run;
    Twnd_nb_Main *window = nullptr;
    TForecastList *list = nullptr;
    THourlyView *hours = nullptr;
};

TEST_F(WindowHours, EnterOpensTheDaysHoursTheKeysMoveAndEscapeGoesBackToTheDay)
{
    const int closedHeight = window->height();
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->CurrentRow(), 1);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(hours->isVisible());
    EXPECT_EQ(hours->Row(), 1);
    // A whole day of 3-hour slots from the stand-in, with their chance.
    ASSERT_EQ(hours->HourCount(), 8);
    EXPECT_FALSE(hours->Day().Hours[0].ChanceText.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), hours);
    EXPECT_EQ(hours->CurrentHour(), 0);
    EXPECT_TRUE(WorkArea(*window).contains(window->frameGeometry()));
    EXPECT_GE(window->height(), closedHeight);
    // The list sits above the view and keeps the day in view.
    EXPECT_LE(list->geometry().bottom(), hours->geometry().top());
    EXPECT_TRUE(list->rect().contains(list->CellRect(1, 0)));

    QTest::keyClick(hours, Qt::Key_Right);
    QTest::keyClick(hours, Qt::Key_Right);
    EXPECT_EQ(hours->CurrentHour(), 2);
    QTest::keyClick(hours, Qt::Key_End);
    EXPECT_EQ(hours->CurrentHour(), 7);
    QTest::keyClick(hours, Qt::Key_Left);
    EXPECT_EQ(hours->CurrentHour(), 6);
    QTest::keyClick(hours, Qt::Key_Home);
    EXPECT_EQ(hours->CurrentHour(), 0);

    // Tab goes from the list to the hours and on out of them, as it went on from the list.
    QTest::keyClick(hours, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), hours);
    QTest::keyClick(hours, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), hours);
    EXPECT_NE(QApplication::focusWidget(), list);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), hours);

    // Escape closes the view, not the window.
    QTest::keyClick(hours, Qt::Key_Escape);
    EXPECT_FALSE(hours->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->CurrentRow(), 1);
    EXPECT_EQ(window->height(), closedHeight);
}

TEST_F(WindowHours, ASecondClickOnTheDayClosesItsHoursAndEscapeFromTheListToo)
{
    const QPoint day = list->CellRect(0, 2).center();
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, day);
    ASSERT_TRUE(hours->isVisible());
    EXPECT_EQ(hours->Row(), 0);
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, list->CellRect(1, 2).center());
    ASSERT_TRUE(hours->isVisible());
    EXPECT_EQ(hours->Row(), 1);
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, list->CellRect(1, 2).center());
    EXPECT_FALSE(hours->isVisible());

    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, day);
    ASSERT_TRUE(hours->isVisible());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(hours->isVisible());
    EXPECT_TRUE(window->isVisible());
}

// A refresh keeps the open day open, with its new hours; rolled up, the
// list's day opens nothing.
TEST_F(WindowHours, ARefreshKeepsTheDayOpenAndARolledUpWindowOpensNothing)
{
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, list->CellRect(1, 2).center());
    ASSERT_TRUE(hours->isVisible());
    const int openHeight = window->height();
    window->ManualRefresh();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_TRUE(hours->isVisible());
    EXPECT_EQ(hours->Row(), 1);
    EXPECT_EQ(list->CurrentRow(), 1);
    EXPECT_EQ(hours->HourCount(), 8);
    EXPECT_EQ(window->height(), openHeight);

    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_FALSE(hours->isVisible());
    window->Roll()->Toggle();
    ASSERT_TRUE(window->Roll()->RolledUp());
    list->SetCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(hours->isHidden());
    window->Roll()->Toggle();
}

TEST_F(WindowHours, AScreenReaderGetsEveryHourByName)
{
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(hours->isVisible());
    QAccessibleInterface *view = QAccessible::queryAccessibleInterface(hours);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->role(), QAccessible::List);
    EXPECT_EQ(view->text(QAccessible::Name), FillText(lc_HoursOf, hours->Day().Title));
    ASSERT_EQ(view->childCount(), hours->HourCount());
    for (int hour = 0; hour < view->childCount(); ++hour) {
        QAccessibleInterface *item = view->child(hour);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(QAccessible::Name), hours->Day().Hours[hour].AccessibleText);
        EXPECT_TRUE(item->text(QAccessible::Name).contains(lc_Wind));
    }
    EXPECT_TRUE(view->child(0)->state().focused);
}

// The window stays on its screen with the view open, also where the screen
// leaves no room to grow: the list then gives up what the view needs. The
// same case runs with the screen scaled twice.
TEST_F(WindowHours, TheWindowStaysOnItsScreen)
{
    const QRect area = WorkArea(*window);
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "screen full" : "room to grow");
        if (full) {
            window->resize(window->width(), area.height());
            window->move(window->x(), area.top());
        }
        const int closedHeight = window->height();
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, list->CellRect(0, 2).center());
        ASSERT_TRUE(hours->isVisible());
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << "at " << window->devicePixelRatioF() << "x";
        EXPECT_EQ(hours->height(), hours->NeededHeight());
        EXPECT_TRUE(window->rect().contains(hours->geometry()));
        EXPECT_GE(list->height(), TForecastList::kRowHeight);
        // Every hour's texts lie inside the view.
        for (int hour = 0; hour < hours->HourCount(); ++hour)
            for (const QRect &text : hours->TextRects(hour))
                EXPECT_TRUE(QRect(0, 0, hours->width() + hours->MaxScroll(), hours->height())
                                .contains(text.translated(hours->Scroll(), 0)));
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(hours->isVisible());
        EXPECT_EQ(window->height(), closedHeight);
    }
}

TEST(HourlyView, KeysMoveAlongTheHoursAndKeepTheCurrentOneInView)
{
    THourlyView view;
    view.resize(466, view.NeededHeight());
    view.SetDay(2, Hours(24)); // hourly values: more than fit
    EXPECT_EQ(view.ColumnWidth(), THourlyView::kMinColumnWidth);
    ASSERT_GT(view.MaxScroll(), 0);
    QSignalSpy closing(&view, &THourlyView::CloseRequested);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.CurrentHour(), 23);
    EXPECT_TRUE(view.rect().contains(view.ColumnRect(23)));
    QTest::keyClick(&view, Qt::Key_PageUp);
    EXPECT_LT(view.CurrentHour(), 23);
    EXPECT_TRUE(view.rect().contains(view.ColumnRect(view.CurrentHour())));
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.Scroll(), 0);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.CurrentHour(), 0);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(closing.count(), 1);

    // A day of 3-hour slots shares the width out.
    view.SetDay(0, Hours(8));
    EXPECT_EQ(view.ColumnWidth(), 466 / 8);
    EXPECT_EQ(view.MaxScroll(), 0);
    EXPECT_EQ(view.CurrentHour(), 0);
}

TEST(HourlyView, ADayWithoutHoursShowsItsDetailOnly)
{
    THourlyView view;
    view.resize(466, view.NeededHeight());
    THourlyDay day;
    day.Title = QStringLiteral("Tuesday 2/10/2026");
    day.DetailText = QStringLiteral("Light rain\nTemperature: 4/-3 °C\n") + lc_NoHours;
    view.SetDay(0, day);
    EXPECT_EQ(view.HourCount(), 0);
    EXPECT_EQ(view.CurrentHour(), -1);
    EXPECT_EQ(view.HourAt(view.rect().center()), -1);
    QTest::keyClick(&view, Qt::Key_Right); // nothing to move to, nothing breaks
    EXPECT_EQ(view.CurrentHour(), -1);
    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->childCount(), 0);
    EXPECT_EQ(access->text(QAccessible::Description), day.DetailText);
    // The detail is painted: the view differs from one with an empty detail.
    const QImage shown = view.grab().toImage();
    day.DetailText.clear();
    view.SetDay(0, day);
    EXPECT_NE(view.grab().toImage(), shown);
}

// On a light theme the view's title, curve and detail read as the list's
// texts do: they lie on the date column's colour, not the list's unthemed grey.
TEST(HourlyView, ItsTextsReadOnALightTheme)
{
    THourlyView view;
    view.resize(466, view.NeededHeight());
    view.SetColours(ThemedListColours(TForecastListColours(), RgbColor(240, 240, 240), RgbColor(250, 250, 250),
                                      RgbColor(230, 230, 240)));
    view.SetDay(0, Hours(3));
    const QImage image = view.grab().toImage();
    const QColor under = image.pixelColor(view.TitleRect().right() - 1, view.TitleRect().center().y());
    EXPECT_GE(ContrastRatio(view.Colours().Text, under), kLeastTextContrast) << under.name().toStdString();
}

// With the program's own drawings, a service picture that arrives late (its
// download began before the choice changed) does not replace a drawing.
TEST(HourlyView, ALatePictureLeavesTheOwnDrawings)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("10d.png"));
    THourlyView view;
    view.resize(466, view.NeededHeight());
    view.SetOwnPictures(true);
    THourlyDay day = Hours(3);
    for (THourCell &cell : day.Hours) {
        cell.Icon = QStringLiteral("10d.png");
        cell.IconPath = path;
    }
    view.SetDay(0, day);
    const QImage drawn = view.grab().toImage();
    QImage red(50, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(path, "PNG"));
    view.PictureArrived(path);
    EXPECT_EQ(view.grab().toImage(), drawn);
}

} // namespace
