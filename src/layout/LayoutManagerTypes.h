// Options of a registered object and the ordinals the layout manager stores for
// forms. The ordinals are those of the settings files of earlier versions.
#pragma once

#include <QFlags>

enum TLayoutManagerControlOption : unsigned {
    loPosition = 1,           // position (and alignment)
    loSize = 2,               // size
    loState = 4,              // forms: window state; other widgets: visible and enabled
    loStyle = 8,              // forms: stay on top or not
    loDisplayIndependent = 16 // only the plain section, never the display-qualified one
};
Q_DECLARE_FLAGS(TLayoutManagerControlOptions, TLayoutManagerControlOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLayoutManagerControlOptions)

// What a form registers by default.
constexpr TLayoutManagerControlOptions kDefaultFormLayoutOptions{loPosition | loSize | loState | loStyle};

// Stored "State" of a form.
enum TLayoutFormState : int {
    lfsNormal = 0,
    lfsMinimized = 1,
    lfsMaximized = 2,
};

// Stored "Style" of a form.
enum TLayoutFormStyle : int {
    lfsStyleNormal = 0,
    lfsStyleStayOnTop = 3,
};

// Whether a meta type is a whole number stored as an INI integer (bool and
// character types excluded; each user decides on those).
bool IsIntegerMetaType(int typeId);
