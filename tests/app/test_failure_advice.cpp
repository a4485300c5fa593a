#include "FailureAdvice.h"

#include "ClockLine.h"
#include "LangConsts.h"
#include "PanelTexts.h"

#include <gtest/gtest.h>

TEST(FailureAdvice, TheCommonCausesGetTheirNextStep)
{
    ResetTexts();
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime now(QDate(2026, 12, 10), QTime(7, 0, 0));
    const QDateTime next = now.addSecs(60);
    const struct {
        const char *message;
        TFailureCause cause;
        QString nextStep;
    } cases[] = {
        {"Invalid API key", TFailureCause::InvalidKey,
         QStringLiteral("Check the API key in Preferences; a new key takes up to two hours to work.")},
        {"city not found", TFailureCause::UnknownPlace, QStringLiteral("Check the location in Preferences.")},
        {"City not found ", TFailureCause::UnknownPlace, QStringLiteral("Check the location in Preferences.")},
        {"No data received", TFailureCause::NoData,
         QStringLiteral("Check the network connection. Next attempt at ") + ClockTimeText(next.time(), locale)
             + QLatin1Char('.')},
        {"No data received: the service did not answer in time", TFailureCause::NoData,
         QStringLiteral("Check the network connection. Next attempt at ") + ClockTimeText(next.time(), locale)
             + QLatin1Char('.')},
        {"Bad format", TFailureCause::Other, QString()},
        {"", TFailureCause::Other, QString()},
    };
    for (const auto &c : cases) {
        const QString message = QString::fromLatin1(c.message);
        EXPECT_EQ(ClassifyFailure(message), c.cause) << c.message;
        EXPECT_EQ(FailureNextStep(message, next, now, locale), c.nextStep) << c.message;
        // The first line stays as it always was.
        const QString hint = FailureHintWithNextStep(message, next, now, locale);
        EXPECT_EQ(hint.section(QLatin1Char('\n'), 0, 0), FailureHint(message)) << c.message;
        EXPECT_EQ(hint.section(QLatin1Char('\n'), 1), c.nextStep) << c.message;
    }
}

TEST(FailureAdvice, TheNextAttemptOnAnotherDayNamesTheDayAndNoneIsLeftOut)
{
    ResetTexts();
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime now(QDate(2026, 12, 10), QTime(23, 50, 0));
    const QDateTime tomorrow = now.addSecs(30 * 60);
    const QString step = FailureNextStep(QStringLiteral("No data received"), tomorrow, now, locale);
    EXPECT_TRUE(step.contains(DateTimeText(tomorrow, locale))) << step.toStdString();
    EXPECT_EQ(FailureNextStep(QStringLiteral("No data received"), QDateTime(), now, locale),
              QStringLiteral("Check the network connection."));
}

TEST(FailureAdvice, APlaceholderLostInTranslationDoesNotLoseTheValue)
{
    EXPECT_EQ(FillText(QStringLiteral("as of %s"), QStringLiteral("9:05")), QStringLiteral("as of 9:05"));
    EXPECT_EQ(FillText(QStringLiteral("%s, 100%"), QStringLiteral("x")), QStringLiteral("x, 100%"));
    EXPECT_EQ(FillText(QStringLiteral("Stand"), QStringLiteral("9:05")), QStringLiteral("Stand 9:05"));
    EXPECT_EQ(FillText(QString(), QStringLiteral("9:05")), QStringLiteral("9:05"));
}
