// Long hints break into lines of a readable width; short ones stay as set.
#include "HintWrap.h"
#include "WaitFor.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The 429 message of the service, as the panel's error hint carried it on one line.
const QString kTooManyRequests = QStringLiteral(
    "Data load failed: Your account is temporary blocked due to exceeding of requests limitation of your "
    "subscription type. Please choose the proper subscription https://openweathermap.org/price\n"
    "Next attempt at 14:05:30");

int WidestLine(const QString &text, const QFontMetrics &metrics)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

QStringList Words(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace

TEST(HintWrap, LinesFitTheWidthAndKeepEveryWord)
{
    const QFontMetrics metrics(QApplication::font());
    const int width = ReadableHintWidth(metrics);
    const QString longWord = QStringLiteral("x").repeated(2 * kReadableHintCharacters);
    struct Case {
        const char *name;
        QString text;
        int lines; // at least
    };
    const Case cases[] = {
        {"short", QStringLiteral("Data load failed: No data received"), 1},
        {"two short lines", QStringLiteral("Data load failed\nCheck the network."), 2},
        {"service message", kTooManyRequests, 4},
        {"a word wider than a line", QStringLiteral("see ") + longWord + QStringLiteral(" now"), 3},
        {"empty", QString(), 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString wrapped = WrapHint(c.text, metrics, width);
        EXPECT_GE(wrapped.count(QLatin1Char('\n')) + 1, c.lines) << wrapped.toStdString();
        EXPECT_EQ(Words(wrapped), Words(c.text));
        for (const QString &line : wrapped.split(QLatin1Char('\n'))) {
            if (line != longWord) {
                EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
            }
        }
        if (WidestLine(c.text, metrics) <= width) {
            EXPECT_EQ(wrapped, c.text);
        }
    }
    // The text's own line break stays where it was.
    EXPECT_TRUE(WrapHint(kTooManyRequests, metrics, width).endsWith(QStringLiteral("\nNext attempt at 14:05:30")));
}

TEST(HintWrap, TheApplicationShowsLongHintsWrappedAndTheWidgetKeepsItsOwn)
{
    THintWrap wrap;
    qApp->installEventFilter(&wrap);
    QLabel label(QStringLiteral("!"));
    label.setToolTip(kTooManyRequests);
    label.resize(40, 20);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&label, &help);
    ASSERT_TRUE(Eventually([] { return QToolTip::isVisible(); }));
    const QFontMetrics metrics(QToolTip::font());
    EXPECT_EQ(QToolTip::text(), WrapHint(kTooManyRequests, metrics, ReadableHintWidth(metrics)));
    EXPECT_LE(WidestLine(QToolTip::text(), metrics), ReadableHintWidth(metrics));
    EXPECT_EQ(label.toolTip(), kTooManyRequests);
    QToolTip::hideText();
    qApp->removeEventFilter(&wrap);
}
