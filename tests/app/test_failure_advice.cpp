#include "FailureAdvice.h"

#include "ClockLine.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "PanelTexts.h"
#include "RefreshCycle.h"

#include <gtest/gtest.h>

// Each kind of failure, as the panel shows it: the first line of the hint
// (the reason), the second (what to do, with the next attempt when one comes),
// and the wait before that attempt after a first failure with an hourly refresh.
TEST(FailureAdvice, EachKindHasItsReasonNextStepAndWait)
{
    ResetTexts();
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime now(QDate(2026, 12, 10), QTime(7, 0, 0));
    const QDateTime next = now.addSecs(60);
    const QString at = QStringLiteral(" Next attempt at ") + ClockTimeText(next.time(), locale) + QLatin1Char('.');
    const QString network = QStringLiteral("Check the network connection.") + at;
    const QString service = QStringLiteral("The service's answer could not be used; it will be asked again.") + at;
    constexpr int kHour = 60 * 60 * 1000;
    const struct {
        TFailureKind kind;
        const char *message;
        int httpStatus;
        QString reason;
        QString nextStep;
        int waitMs;
    } cases[] = {
        // The transport's words stay in the log; the panel names the failure in
        // the user's language.
        {TFailureKind::TimedOut, "Operation timed out after 30001 milliseconds", 0,
         QStringLiteral("Data load failed: The service did not answer in time"), network, kRetryIntervalMs},
        {TFailureKind::TooLarge, "The service's answer is larger than 4 MiB", 0,
         QStringLiteral("Data load failed: The service's answer is larger than 4 MiB"), service, kRetryIntervalMs},
        {TFailureKind::Refused, "Connection refused", 0, QStringLiteral("Data load failed: No connection to the service"),
         network, kRetryIntervalMs},
        {TFailureKind::NoRoute, "Could not resolve host: api.example", 0,
         QStringLiteral("Data load failed: No connection to the service"), network, kRetryIntervalMs},
        {TFailureKind::NoAnswer, "No data received", 0, QStringLiteral("Data load failed: No connection to the service"),
         network, kRetryIntervalMs},
        {TFailureKind::Tls, "SSL certificate problem: certificate has expired", 0,
         QStringLiteral("Data load failed: SSL certificate problem: certificate has expired"),
         QStringLiteral("The secure connection failed: check the computer's date and time, and any proxy.") + at,
         kRetryIntervalMs},
        {TFailureKind::HttpStatus, "Your account is temporary blocked", 403,
         QStringLiteral("Data load failed: Your account is temporary blocked"), service, kRetryIntervalMs},
        {TFailureKind::HttpStatus, "Your account is temporary blocked due to exceeding of requests limitation", 429,
         QStringLiteral("Data load failed: Too many requests to the service (Your account is temporary blocked due "
                        "to exceeding of requests limitation)"),
         service, kRetryIntervalMs},
        {TFailureKind::HttpStatus, "", 429, QStringLiteral("Data load failed: Too many requests to the service"),
         service, kRetryIntervalMs},
        {TFailureKind::BadDocument, "Premature end of document. (line 3, column 1)", 0,
         QStringLiteral("Data load failed: Premature end of document. (line 3, column 1)"), service,
         kRetryIntervalMs},
        // The service's own words follow the program's; the advice comes from
        // the kind, whatever the words say.
        {TFailureKind::InvalidKey, "Invalid API key. Please see the FAQ", 401,
         QStringLiteral("Data load failed: The service refused the API key (Invalid API key. Please see the FAQ)"),
         QStringLiteral("Check the API key in Preferences; a new key takes up to two hours to work.") + at,
         kRetryIntervalMs},
        {TFailureKind::PlaceNotFound, "city not found", 404,
         QStringLiteral("Data load failed: The service does not know the place (city not found)"),
         QStringLiteral("Check the location in Preferences.") + at, kRetryIntervalMs},
        {TFailureKind::PlaceNotFound, "", 0, QStringLiteral("Data load failed: The service does not know the place"),
         QStringLiteral("Check the location in Preferences.") + at, kRetryIntervalMs},
        // Without a key nothing is asked, so nothing is retried; the user is
        // told where the key goes.
        {TFailureKind::NoKey, "", 0, QStringLiteral("Data load failed: No API key is set"),
         QStringLiteral("Enter your API key in Preferences (the settings button, or Preferences... in the menu)."), 0},
        {TFailureKind::Cancelled, "Cancelled", 0, QStringLiteral("Data load failed: Cancelled"), QString(), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(AdviceFor(c.kind).LogName);
        const TFetchFailure failure = MakeFailure(c.kind, QString::fromUtf8(c.message), c.httpStatus);
        const QString hint = FailureHintWithNextStep(failure, next, now, locale);
        EXPECT_EQ(hint.section(QLatin1Char('\n'), 0, 0), c.reason);
        EXPECT_EQ(hint.section(QLatin1Char('\n'), 1), c.nextStep);
        EXPECT_EQ(RetryIntervalMs(1, kHour, AdviceFor(c.kind).Retry), c.waitMs);
    }
}

// The reasons come from the language file; the service's words stay as written.
TEST(FailureAdvice, TheReasonIsInTheUsersLanguageAndTheServiceWordsFollowAsWritten)
{
    // The build copies the shipped files into Langs beside this test program.
    TLanguageManager manager;
    manager.SetFileNames({QLatin1String(kProgramLangFileName)});
    manager.SetLanguageCode(QStringLiteral("de"));
    LoadTexts(manager);
    const QString invalidKey =
        FailureReason(MakeFailure(TFailureKind::InvalidKey, QStringLiteral("Invalid API key"), 401));
    const QString timedOut = FailureReason(MakeFailure(TFailureKind::TimedOut, QStringLiteral("timed out")));
    ResetTexts();
    EXPECT_EQ(invalidKey, QStringLiteral("Der Dienst hat den API-Schlüssel abgelehnt (Invalid API key)"));
    EXPECT_EQ(timedOut, QStringLiteral("Der Dienst hat nicht rechtzeitig geantwortet"));
}

TEST(FailureAdvice, TheNextAttemptOnAnotherDayNamesTheDayAndNoneIsLeftOut)
{
    ResetTexts();
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime now(QDate(2026, 12, 10), QTime(23, 50, 0));
    const QDateTime tomorrow = now.addSecs(30 * 60);
    const TFetchFailure failure = MakeFailure(TFailureKind::NoAnswer, QStringLiteral("No data received"));
    const QString step = FailureNextStep(failure, tomorrow, now, locale);
    EXPECT_TRUE(step.contains(DateTimeText(tomorrow, locale))) << step.toStdString();
    EXPECT_EQ(FailureNextStep(failure, QDateTime(), now, locale), QStringLiteral("Check the network connection."));
}

// The log names the kind, the status and the words, for a user who asks why.
TEST(FailureAdvice, TheLogLineNamesTheKindAndTheStatus)
{
    EXPECT_EQ(FailureLogText(MakeFailure(TFailureKind::HttpStatus, QStringLiteral("blocked"), 429)),
              QStringLiteral("service error (HTTP 429): blocked"));
    EXPECT_EQ(FailureLogText(MakeFailure(TFailureKind::NoKey)), QStringLiteral("no key"));
}

TEST(FailureAdvice, APlaceholderLostInTranslationDoesNotLoseTheValue)
{
    EXPECT_EQ(FillText(QStringLiteral("as of %s"), QStringLiteral("9:05")), QStringLiteral("as of 9:05"));
    EXPECT_EQ(FillText(QStringLiteral("%s, 100%"), QStringLiteral("x")), QStringLiteral("x, 100%"));
    EXPECT_EQ(FillText(QStringLiteral("Stand"), QStringLiteral("9:05")), QStringLiteral("Stand 9:05"));
    EXPECT_EQ(FillText(QString(), QStringLiteral("9:05")), QStringLiteral("9:05"));
}
