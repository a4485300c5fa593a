#include "WindowRoll.h"

#include "WindowSizing.h"

TWindowRoll::TWindowRoll(QWidget *window)
    : QObject(window)
    , FWindow(window)
{
}

bool TWindowRoll::RolledUp() const
{
    return FWindow && IsRolledUp(FWindow->height());
}

void TWindowRoll::ApplySizing(int workAreaHeight, int forecastDays)
{
    if (!FWindow)
        return;
    FUnrolledHeight = ::UnrolledHeight(workAreaHeight, forecastDays);
    if (RolledUp()) {
        FWindow->resize(kWindowWidth, FWindow->height());
        emit RolledUpChanged(true);
        return;
    }
    FWindow->resize(kWindowWidth, FUnrolledHeight);
    emit RolledUpChanged(false);
}

void TWindowRoll::Toggle()
{
    if (!FWindow || FUnrolledHeight <= 0)
        return;
    if (FWindow->height() == FUnrolledHeight) {
        SetHeight(RolledUpHeight());
        emit RolledUpChanged(true);
    } else {
        SetHeight(FUnrolledHeight);
        emit RolledUpChanged(false);
    }
}

void TWindowRoll::SetHeight(int height)
{
    FWindow->resize(FWindow->width(), height);
}
