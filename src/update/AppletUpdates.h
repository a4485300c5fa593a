// The applet window's update checks in one call: the schedule on the update
// page named by the settings file or the build, and the question box that
// follows a newer version. The window then only switches the schedule with
// its "CFU" setting whenever it applies its settings.
#pragma once

#include "UpdateQuestion.h"
#include "UpdateSchedule.h"

#include <QString>

class ILayoutManagerStorage;
class QObject;

// Creates the schedule as a child of `owner`. A stored [Service] UpdateUrl that
// is no web address is reported on stderr and the built address is used. The
// question box is titled `title` and worded from `texts`; "yes" hands the
// address to `opener` (the desktop's browser when none is given).
TUpdateSchedule *CreateAppletUpdates(QObject *owner, ILayoutManagerStorage &storage, const QString &title,
                                     const TUpdateQuestionTextSource &texts,
                                     const TUrlOpener &opener = TUrlOpener(),
                                     const TUpdateIntervals &intervals = TUpdateIntervals());
