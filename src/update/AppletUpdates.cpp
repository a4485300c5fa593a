#include "AppletUpdates.h"

#include "ProgramVersion.h"
#include "UpdateAddress.h"

#include <QObject>

#include <cstdio>

TUpdateSchedule *CreateAppletUpdates(QObject *owner, ILayoutManagerStorage &storage, const QString &title,
                                     const TUrlOpener &opener, const TUpdateIntervals &intervals)
{
    const TUpdateAddress address = ReadUpdateAddress(storage);
    if (!address.Problem.isEmpty())
        std::fprintf(stderr, "nimbrel: %s; %s\n", address.Problem.toUtf8().constData(),
                     address.Url.isEmpty() ? "no update checks" : "the built-in update page is used");
    auto *schedule = new TUpdateSchedule(address.Url, ProgramVersion().FileVersion, intervals, owner);
    QObject::connect(schedule, &TUpdateSchedule::UpdateQuestion, schedule,
                     [title, opener](const QString &question, const QUrl &url) {
                         AskToOpenUpdate(title, question, url, opener);
                     });
    return schedule;
}
