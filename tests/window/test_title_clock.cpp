// The clock's tick is the idle window's only work: it must repaint the clock's
// text and nothing else, and nothing at all when the text is the same.
#include "ThemeController.h"
#include "TitleBar.h"
#include "WaitFor.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMap>
#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kTitleWidth = 470;
constexpr int kTitleHeight = 20;

// The region each watched widget painted, in the title bar's coordinates.
class PaintLog : public QObject
{
public:
    explicit PaintLog(TTitleBar &title) : title_(title)
    {
        title.installEventFilter(this);
        for (QWidget *child : title.findChildren<QWidget *>())
            child->installEventFilter(this);
    }

    void Clear() { painted_.clear(); }
    bool Painted(const QWidget *widget) const { return painted_.contains(widget); }
    QRegion Region(const QWidget *widget) const { return painted_.value(widget); }
    QList<const QWidget *> Widgets() const { return painted_.keys(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            const QPoint offset = widget == &title_ ? QPoint() : widget->mapTo(&title_, QPoint());
            painted_[widget] += static_cast<QPaintEvent *>(event)->region().translated(offset);
        }
        return false;
    }

private:
    TTitleBar &title_;
    QMap<const QWidget *, QRegion> painted_;
};

void SettlePaints()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

TEST(TitleClock, ATickRepaintsTheClocksTextAlone)
{
    TThemeController theme;
    TTitleBar title(&theme);
    title.resize(kTitleWidth, kTitleHeight);
    title.SetLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    title.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
    title.SetClockRunning(false); // only the times below are shown
    const QDate day(2026, 12, 11);
    title.ShowClock(QDateTime(day, QTime(10, 0, 0)));
    SettlePaints();

    PaintLog log(title);
    const struct {
        const char *name;
        QDateTime now;
        bool clockPainted;
        bool datePainted;
    } cases[] = {
        {"the next second", QDateTime(day, QTime(10, 0, 1)), true, false},
        {"the same second again", QDateTime(day, QTime(10, 0, 1, 600)), false, false},
        {"a second with wider digits", QDateTime(day, QTime(10, 0, 8)), true, false},
        {"the next day", QDateTime(day.addDays(1), QTime(0, 0, 0)), true, true},
    };
    for (const auto &c : cases) {
        log.Clear();
        const QString dateBefore = title.DateLabel()->text();
        title.ShowClock(c.now);
        if (c.clockPainted) {
            EXPECT_TRUE(Eventually([&] { return log.Painted(title.TimeLabel()); })) << c.name;
        }
        SettlePaints();
        EXPECT_EQ(log.Painted(title.TimeLabel()), c.clockPainted) << c.name;
        EXPECT_EQ(title.DateLabel()->text() != dateBefore, c.datePainted) << c.name;
        if (c.datePainted)
            continue; // a new day may move the clock and the date
        const QRect clock = title.TimeLabel()->geometry();
        for (const QWidget *widget : log.Widgets()) {
            EXPECT_TRUE(widget == &title || widget == title.TimeLabel())
                << c.name << ": " << widget->objectName().toStdString() << " was repainted";
            EXPECT_TRUE(QRegion(clock).contains(log.Region(widget).boundingRect()))
                << c.name << ": " << widget->objectName().toStdString() << " painted beyond the clock";
        }
    }
}

} // namespace
