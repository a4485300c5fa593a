// Rolling the window up to its two bars and down again. The unrolled height
// (from the forecast days and the work area) is kept here; the window's stored
// height carries the rolled-up state from one run to the next.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class TWindowRoll : public QObject
{
    Q_OBJECT

public:
    explicit TWindowRoll(QWidget *window);

    // Fixes the width, computes the unrolled height for `forecastDays` rows in
    // `workAreaHeight`, and takes it unless the window is rolled up.
    void ApplySizing(int workAreaHeight, int forecastDays);
    // Rolled down exactly at the unrolled height: roll up; otherwise roll down.
    void Toggle();

    int UnrolledHeight() const { return FUnrolledHeight; }
    bool RolledUp() const;

signals:
    void RolledUpChanged(bool rolledUp);

private:
    void SetHeight(int height);

    QPointer<QWidget> FWindow;
    int FUnrolledHeight = 0;
};
