// Where a window goes so that all of it can be seen: wholly on one screen's
// work area, at least its least size, never larger than that work area.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The screen the window overlaps most keeps it; a window off every screen
// (a monitor unplugged, a hand-edited place) goes to `primary`. The window is
// grown to `least`, shrunk to the work area and moved as little as puts it
// wholly inside. Without screens the window stays as it is.
QRect FitOnScreens(const QRect &window, const QSize &least, const QList<QRect> &workAreas, int primary);

// The work areas of the screens the application knows, and which is primary.
QList<QRect> ScreenWorkAreas();
int PrimaryScreenIndex();
