// What a themed control offers its theme controller.
#pragma once

#include <QtPlugin>

class TThemeController;

class IThemeControl
{
public:
    virtual ~IThemeControl() = default;
    virtual TThemeController *ThemeController() const = 0;
    virtual void SetThemeController(TThemeController *value) = 0;
    // Re-reads the theme's look and repaints.
    virtual void UpdateTheme() = 0;
};

#define IThemeControl_iid "{C1F3C285-E417-4A4E-9619-4DF6A5159E9C}"
Q_DECLARE_INTERFACE(IThemeControl, IThemeControl_iid)
