// Everything from the keyboard: Tab along the title buttons to the list, a
// focus that can be seen, keys that press the buttons and refresh, and the
// panel's values read to a screen reader with their labels.
#include "ForecastList.h"
#include "HeaderPanel.h"
#include "TitleBar.h"
#include "WaitFor.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

namespace {

// A port nobody listens on: these tests need the window, not the weather.
const QString kDeadService = QStringLiteral("http://127.0.0.1:1");

TForecastRows Days(int count)
{
    TForecastRows rows(count);
    for (int day = 0; day < count; ++day) {
        rows[day].Date = QDate(2026, 12, 10).addDays(day);
        rows[day].DescriptionText = QStringLiteral("Light rain");
    }
    return rows;
}

} // namespace

TEST(WindowKeyboard, TabGoesAlongTheTitleButtonsToTheListWithAVisibleFocus)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    window.ForecastList()->SetRows(Days(3));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.setFocus(Qt::OtherFocusReason);

    TTitleBar *title = window.TitleBar();
    const QImage unfocused = title->RefreshButton()->grab().toImage();
    const QList<QWidget *> order{title->RefreshButton(), title->ThemeButton(), title->RollButton(),
                                 title->PrefsButton(), window.ForecastList()};
    for (QWidget *expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
    // Reached by Tab, the list starts on its first day and its keys work at once.
    EXPECT_EQ(window.ForecastList()->CurrentRow(), 0);
    QTest::keyClick(window.ForecastList(), Qt::Key_End);
    EXPECT_EQ(window.ForecastList()->CurrentRow(), 2);

    QTest::keyClick(window.ForecastList(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), title->RefreshButton());
    EXPECT_NE(title->RefreshButton()->grab().toImage(), unfocused) << "no focus frame";
}

TEST(WindowKeyboard, KeysPressTheButtonsAndF5Refreshes)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TTitleBar *title = window.TitleBar();
    QSignalSpy started(&window.RefreshCycle(), &TRefreshCycle::RefreshStarted);

    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(started.count(), 1);
    ASSERT_TRUE(run.WaitForRefreshEnd());

    title->RefreshButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(title->RefreshButton(), Qt::Key_Space);
    EXPECT_EQ(started.count(), 2);
    ASSERT_TRUE(run.WaitForRefreshEnd());

    const int unrolled = window.height();
    title->RollButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(title->RollButton(), Qt::Key_Return);
    EXPECT_LT(window.height(), unrolled);
    QTest::keyClick(title->RollButton(), Qt::Key_Space);
    EXPECT_EQ(window.height(), unrolled);

    // The theme button opens its menu on its first item.
    title->ThemeButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(title->ThemeButton(), Qt::Key_Down);
    QMenu *themes = title->ThemeButton()->DropDownMenu();
    ASSERT_NE(themes, nullptr);
    ASSERT_TRUE(Eventually([&] { return themes->isVisible(); }));
    EXPECT_EQ(themes->activeAction(), themes->actions().value(0));
    themes->close();
    EXPECT_FALSE(title->ThemeButton()->Selected());
}

TEST(WindowKeyboard, AScreenReaderGetsThePanelsValuesWithTheirLabels)
{
    TWindowRun run;
    run.WriteSettings(kDeadService, QStringLiteral("k"));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    TPanelTexts texts;
    texts.Loc = QStringLiteral("Prague, CZ");
    texts.Temp = QStringLiteral("3.2°C");
    texts.Pres = QStringLiteral("Pressure: 1012.00 hPa");
    window.Header()->ShowTexts(texts);
    const struct {
        const char *label;
        QString read;
    } cases[] = {
        {"lLoc", QStringLiteral("Location: Prague, CZ")},
        {"lTemp", QStringLiteral("Temperature: 3.2°C")},
        {"lPres", QStringLiteral("Pressure: 1012.00 hPa")}, // the label is in the text already
        {"lHum", QStringLiteral("Humidity")},               // no value: the label alone
    };
    for (const auto &c : cases) {
        QAccessibleInterface *accessible =
            QAccessible::queryAccessibleInterface(window.Header()->Label(QLatin1String(c.label)));
        ASSERT_NE(accessible, nullptr) << c.label;
        EXPECT_EQ(accessible->text(QAccessible::Name), c.read) << c.label;
    }
}
