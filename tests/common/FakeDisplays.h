// One monitor whose display tag a test chooses and switches, in place of the
// real screens, so display-dependent layout sections can be tested anywhere.
#pragma once

#include "LayoutManagerDisplays.h"

#include <QString>

#include <utility>

class TFakeDisplays : public ILayoutManagerDisplays
{
public:
    explicit TFakeDisplays(QString tag) : Tag(std::move(tag)) {}

    int MonitorCount() const override { return 1; }
    int PrimaryMonitor() const override { return 0; }
    int MonitorOf(const QWidget *) const override { return 0; }
    QString DisplayTag(int) const override { return Tag; }

    QString Tag;
};
