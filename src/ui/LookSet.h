// The colour record of a look: every colour a themed control paints with.
#pragma once

#include "ThemeColor.h"

#include <array>

struct TLookSet
{
    TColor BorderColor = kColorNone;
    TColor Color = kColorNone;
    TColor ColorEnd = kColorNone;
    TColor DisabledColor = kColorNone;
    TColor DisabledColorEnd = kColorNone;
    TColor DisabledBorderColor = kColorNone;
    TColor SelectedColor = kColorNone;
    TColor SelectedColorEnd = kColorNone;
    TColor SelectedBorderColor = kColorNone;
    TColor SelectionBarColor = kColorNone;
    TColor HotColor = kColorNone;
    TColor HotBorderColor = kColorNone;
    TColor HotColorEnd = kColorNone;
    TColor HeaderColor = kColorNone;
    TColor HeaderColorEnd = kColorNone;
    TColor HeaderSeparatorColor = kColorNone;
    TColor TabColor = kColorNone;
    TColor TabColorEnd = kColorNone;
    TColor TabBackgroundColor = kColorNone;
    TColor BadgeColor = kColorNone;
    TColor CaptionFontColor = kColorNone;
    TColor TabFontColor = kColorNone;
    TColor DisabledFontColor = kColorNone;
    TColor SelectedFontColor = kColorNone;
    TColor HotFontColor = kColorNone;
    TColor SymbolFontColor = kColorNone;

    void Clear();      // every field "none"
    void SetDefault(); // the neutral look of an unthemed control

    bool operator==(const TLookSet &other) const;
    bool operator!=(const TLookSet &other) const { return !(*this == other); }
};

using TLookSetField = TColor TLookSet::*;

struct TLookSetFieldInfo
{
    TLookSetField Field;
    const char *Name;
};

constexpr int kLookSetFieldCount = 26;
// Every field with its name, in record order.
extern const std::array<TLookSetFieldInfo, kLookSetFieldCount> kLookSetFields;
