// Runs update checks to their end, as the program's event loop does while the
// fetches run on their threads.
#pragma once

#include "UpdateCheck.h"
#include "UpdateSchedule.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QObject>

// Longer than any fetch of the tests may take, time-outs included.
inline constexpr int kCheckEndWaitMs = 60'000;

// Starts a check and waits for its end; true only when it downloaded an
// update, false also when it did not start or the check went away.
inline bool CheckToTheEnd(TUpdateCheck &check)
{
    bool ended = false;
    bool updated = false;
    const QMetaObject::Connection connection =
        QObject::connect(&check, &TUpdateCheck::Finished, [&](bool result) {
            ended = true;
            updated = result;
        });
    const QPointer<TUpdateCheck> alive(&check);
    if (!check.CheckForAnUpdate()) {
        QObject::disconnect(connection);
        return false;
    }
    EXPECT_TRUE(Eventually([&] { return ended || !alive; }, kCheckEndWaitMs));
    if (alive)
        QObject::disconnect(connection);
    return updated;
}

// One check of the schedule, as a tick of its timer, waited for to its end.
inline void ScheduleCheckToTheEnd(TUpdateSchedule &schedule)
{
    schedule.CheckNow();
    EXPECT_TRUE(Eventually([&] { return !schedule.Check().Active(); }, kCheckEndWaitMs));
}
