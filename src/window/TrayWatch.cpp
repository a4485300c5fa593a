#include "TrayWatch.h"

#include "TrayIcon.h"

TTrayWatch::TTrayWatch(bool availableNow, QObject *parent)
    : QObject(parent)
    , FAvailable(availableNow)
    , FProbe(&TTrayIcon::Available)
{
    FPoll.setInterval(kPollMs);
    connect(&FPoll, &QTimer::timeout, this, &TTrayWatch::Check);
    FPoll.start();
}

void TTrayWatch::Check()
{
    const bool available = FProbe && FProbe();
    if (available == FAvailable)
        return;
    FAvailable = available;
    emit AvailabilityChanged(available);
}
