#include "AppletUpdates.h"

#include "ProgramVersion.h"
#include "UpdateAddress.h"

#include <QObject>

#include <cstdio>

TUpdateSchedule *CreateAppletUpdates(QObject *owner, ILayoutManagerStorage &storage, const QString &title,
                                     const TUpdateQuestionTextSource &texts, const TUrlOpener &opener,
                                     const TUpdateIntervals &intervals)
{
    const TUpdateAddress address = ReadUpdateAddress(storage);
    if (!address.Problem.isEmpty())
        std::fprintf(stderr, "nimbrel: %s; %s\n", address.Problem.toUtf8().constData(),
                     address.Url.isEmpty() ? "no update checks" : "the built-in update page is used");
    auto *schedule = new TUpdateSchedule(address.Url, ProgramVersion().FileVersion, intervals, owner);
    QObject::connect(schedule, &TUpdateSchedule::NewVersionFound, schedule,
                     [title, texts, opener](const QString &newVersion, const QUrl &url) {
                         AskToOpenUpdate(title, UpdateQuestionText(newVersion, texts()), url, opener);
                     });
    return schedule;
}
