// The monitors as the layout manager sees them: a number per monitor and a display
// tag naming the desktop configuration, so each configuration keeps its own layout.
#pragma once

#include <QString>

class QObject;
class QWidget;

class ILayoutManagerDisplays
{
public:
    virtual ~ILayoutManagerDisplays() = default;

    virtual int MonitorCount() const = 0;
    virtual int PrimaryMonitor() const = 0;
    // The monitor nearest to the window, or -1 without one.
    virtual int MonitorOf(const QWidget *window) const = 0;
    // "<desktop width>x<desktop height>x<dots per inch of the monitor>"; the primary
    // monitor's density when the monitor does not exist.
    virtual QString DisplayTag(int monitor) const = 0;
};

// The real screens: the whole virtual desktop's size and each monitor's logical
// dots per inch.
class TScreenDisplays : public ILayoutManagerDisplays
{
public:
    int MonitorCount() const override;
    int PrimaryMonitor() const override;
    int MonitorOf(const QWidget *window) const override;
    QString DisplayTag(int monitor) const override;
};

// "%dx%dx%d" of width, height and dots per inch.
QString FormatDisplayTag(int width, int height, int dotsPerInch);
