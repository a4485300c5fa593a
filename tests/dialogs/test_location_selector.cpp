// The location selector on its own: rows, selection, confirming and cancelling.
#include "DateTimeConv.h"
#include "LocationSelector.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

TCities TwoCities()
{
    TCity london;
    london.ID = 2643743;
    london.Name = QStringLiteral("London");
    london.Country = QStringLiteral("GB");
    london.Lat = 51.5085;
    london.Lon = -0.1257;
    london.Sunrise = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
    london.Sunset = DateTimeFromQDateTime(QDateTime(QDate(2026, 12, 10), QTime(15, 51)));
    TCity ontario = london;
    ontario.ID = 6058560;
    ontario.Country = QStringLiteral("CA");
    ontario.Lat = 42.9834;
    ontario.Lon = -81.233;
    return {london, ontario};
}

// A point of the list below its last row.
QPoint BelowTheRows(const QTreeWidget &list)
{
    const QRect last = list.visualItemRect(list.topLevelItem(list.topLevelItemCount() - 1));
    return QPoint(last.center().x(), last.bottom() + 20);
}

TEST(LocationSelector, ListsEveryCityInItsColumns)
{
    const TCities cities = TwoCities();
    Tdld_nb_LS dialog(cities);
    QTreeWidget *list = dialog.LocList();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Location Selector"));
    ASSERT_EQ(list->topLevelItemCount(), 2);

    const char *captions[] = {"Area Name", "Country", "Latitude", "Longitude", "Sunrise", "Sunset"};
    ASSERT_EQ(list->columnCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(list->headerItem()->text(i), QLatin1String(captions[i])) << i;
    EXPECT_FALSE(list->header()->sectionsClickable());

    const QLocale locale;
    const QTreeWidgetItem *second = list->topLevelItem(1);
    EXPECT_EQ(second->text(0), QStringLiteral("London"));
    EXPECT_EQ(second->text(1), QStringLiteral("CA"));
    EXPECT_EQ(second->text(2), locale.toString(42.9834, 'g', QLocale::FloatingPointShortest));
    EXPECT_EQ(second->text(3), locale.toString(-81.233, 'g', QLocale::FloatingPointShortest));
    EXPECT_EQ(second->text(4), locale.toString(QDateTime(QDate(2026, 12, 10), QTime(8, 0)), QLocale::ShortFormat));
    EXPECT_TRUE(second->textAlignment(2) & Qt::AlignRight);
    EXPECT_TRUE(second->textAlignment(3) & Qt::AlignRight);
    EXPECT_TRUE(second->textAlignment(0) & Qt::AlignLeft);
}

TEST(LocationSelector, FirstRowSelectedAndConfirmable)
{
    Tdld_nb_LS dialog(TwoCities());
    dialog.show();
    EXPECT_EQ(dialog.SelectedIndex(), 0);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());

    QTreeWidget *list = dialog.LocList();
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedIndex(), 1);
}

TEST(LocationSelector, EmptyResultOnlyCancels)
{
    Tdld_nb_LS dialog(TCities{});
    dialog.show();
    EXPECT_EQ(dialog.SelectedIndex(), -1);
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    // Neither Enter nor a double click confirms an empty list.
    QTest::keyClick(dialog.LocList(), Qt::Key_Return);
    QTest::mouseDClick(dialog.LocList()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.LocList(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(LocationSelector, DoubleClicksConfirm)
{
    struct {
        const char *name;
        bool onRow; // on the second row, else below the rows
        int index;
    } cases[] = {
        {"on a row", true, 1},
        {"on an empty area with the first row still selected", false, 0},
    };
    for (const auto &c : cases) {
        Tdld_nb_LS dialog(TwoCities());
        dialog.show();
        QTreeWidget *list = dialog.LocList();
        const QPoint where = c.onRow ? list->visualItemRect(list->topLevelItem(1)).center() : BelowTheRows(*list);
        // A press lands first, as with a real double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, where);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, where);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.name;
        EXPECT_FALSE(dialog.isVisible()) << c.name;
        EXPECT_EQ(dialog.SelectedIndex(), c.index) << c.name;
    }
}

TEST(LocationSelector, SelectLocationGivesThePairModally)
{
    struct {
        const char *name;
        bool confirm;
        TLocationChoice expected;
    } cases[] = {
        {"confirmed with Enter", true, {true, 0}},
        {"cancelled with Escape", false, {false, -1}},
    };
    for (const auto &c : cases) {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<Tdld_nb_LS *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTest::keyClick(dialog->LocList(), c.confirm ? Qt::Key_Return : Qt::Key_Escape);
        });
        const TLocationChoice choice = SelectLocation(TwoCities());
        EXPECT_EQ(choice.Confirmed, c.expected.Confirmed) << c.name;
        EXPECT_EQ(choice.Index, c.expected.Index) << c.name;
    }
}

} // namespace
