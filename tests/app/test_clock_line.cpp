#include "ClockLine.h"
#include "LangConsts.h"

#include <gtest/gtest.h>

namespace {

const QStringList kNames = [] {
    QStringList lines;
    for (QDate day(2024, 1, 1); day.year() == 2024; day = day.addDays(1))
        lines << day.toString(QStringLiteral("MMdd")) + QStringLiteral("=");
    lines[358] = QStringLiteral("1224=Adam, Eva");
    return lines;
}();

} // namespace

// The language's long format with the locale's names; a format without the
// weekday gets it first, and a format that writes no date at all is replaced.
TEST(ClockLine, LongDateWithWeekdayAndNames)
{
    struct Case {
        const char *format;
        QLocale locale;
        QDate date;
        const char *text;
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const Case cases[] = {
        {kEnglishLongDateFormat, us, QDate(2025, 12, 24), "Wednesday, December 24, 2025 - Adam, Eva"},
        {kEnglishLongDateFormat, us, QDate(2025, 12, 23), "Tuesday, December 23, 2025"},
        {"d. MMMM yyyy", QLocale(QLocale::German, QLocale::Germany), QDate(2025, 12, 24),
         "Mittwoch, 24. Dezember 2025 - Adam, Eva"},
        {"'Today'", us, QDate(2025, 12, 23), "Tuesday, December 23, 2025"},
        {"", us, QDate(2025, 12, 23), "Tuesday, December 23, 2025"},
    };
    for (const Case &c : cases) {
        lc_LongDateFormat = QString::fromUtf8(c.format);
        EXPECT_EQ(ClockDateText(c.date, c.locale, kNames), QString::fromUtf8(c.text)) << c.format;
    }
    lc_LongDateFormat = QString::fromLatin1(kEnglishLongDateFormat);
    EXPECT_EQ(ClockDateText(QDate(2025, 12, 24), us, {}), QStringLiteral("Wednesday, December 24, 2025"));
}

TEST(ClockLine, TimeWithSecondsAndNoZoneName)
{
    const QTime time(21, 5, 7);
    struct Case {
        QLocale locale;
        const char *text;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "9:05:07\u202fPM"},
        {QLocale(QLocale::German, QLocale::Germany), "21:05:07"},
        {QLocale(QLocale::Chinese, QLocale::China), "21:05:07"},
        {QLocale(QLocale::Persian, QLocale::Iran), "۲۱:۰۵:۰۷"},
        {QLocale::c(), "21:05:07"},
    };
    for (const Case &c : cases) {
        const QString text = ClockTimeText(time, c.locale);
        // The US separator before "PM" differs between CLDR versions.
        QString normal = text;
        normal.replace(QChar(0x202F), QLatin1Char(' '));
        QString want = QString::fromUtf8(c.text);
        want.replace(QChar(0x202F), QLatin1Char(' '));
        EXPECT_EQ(normal, want) << c.locale.name().toStdString();
    }
}

TEST(ClockLine, ShortDateFormats)
{
    struct Case {
        QLocale locale;
        QDateTime when;
        const char *text;
    };
    const QDateTime evening(QDate(2026, 12, 9), QTime(21, 30, 0));
    const Case cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), evening, "09.12.26 21:30:00"},
        {QLocale(QLocale::Slovak, QLocale::Slovakia), evening, "9. 12. 2026 21:30:00"},
        {QLocale(QLocale::Czech, QLocale::Czechia), evening, "09.12.26 21:30:00"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), evening, "09/12/2026 21:30:00"},
        {QLocale(QLocale::German, QLocale::Germany), QDateTime(), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DateTimeText(c.when, c.locale), QString::fromUtf8(c.text)) << c.locale.name().toStdString();
    for (const QLocale &locale : {QLocale(QLocale::Slovak, QLocale::Slovakia), QLocale(QLocale::Hungarian)})
        EXPECT_TRUE(FixedShortDateFormat(locale).contains(QLatin1Char('.'))) << locale.name().toStdString();
    EXPECT_EQ(FixedShortDateFormat(QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("M/d/yy"));
}
