// Waiting on the event loop inside a GoogleTest test. Qt's own waiting macros
// leave the test with a plain return on failure, which GoogleTest counts as a
// pass; these give an assertion result instead:
//   ASSERT_TRUE(Eventually([&] { return form.IsMaximized(); }));
//   EXPECT_TRUE(EventuallyEq([&] { return spy.count(); }, 1));
#pragma once

#include <QTest>

#include <gtest/gtest.h>

// As long as Qt's own waits, so that a slow machine does not fail a test.
constexpr int kDefaultWaitMs = 5000;

template <typename Condition>
::testing::AssertionResult Eventually(Condition condition, int timeoutMs = kDefaultWaitMs)
{
    if (QTest::qWaitFor(condition, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "condition still false after " << timeoutMs << " ms";
}

template <typename Getter, typename Value>
::testing::AssertionResult EventuallyEq(Getter get, const Value &expected, int timeoutMs = kDefaultWaitMs)
{
    if (QTest::qWaitFor([&] { return get() == expected; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "still " << ::testing::PrintToString(get()) << " after " << timeoutMs
                                         << " ms, expected " << ::testing::PrintToString(expected);
}
