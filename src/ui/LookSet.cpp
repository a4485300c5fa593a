#include "LookSet.h"

const std::array<TLookSetFieldInfo, kLookSetFieldCount> kLookSetFields = {{
    {&TLookSet::BorderColor, "BorderColor"},
    {&TLookSet::Color, "Color"},
    {&TLookSet::ColorEnd, "ColorEnd"},
    {&TLookSet::DisabledColor, "DisabledColor"},
    {&TLookSet::DisabledColorEnd, "DisabledColorEnd"},
    {&TLookSet::DisabledBorderColor, "DisabledBorderColor"},
    {&TLookSet::SelectedColor, "SelectedColor"},
    {&TLookSet::SelectedColorEnd, "SelectedColorEnd"},
    {&TLookSet::SelectedBorderColor, "SelectedBorderColor"},
    {&TLookSet::SelectionBarColor, "SelectionBarColor"},
    {&TLookSet::HotColor, "HotColor"},
    {&TLookSet::HotBorderColor, "HotBorderColor"},
    {&TLookSet::HotColorEnd, "HotColorEnd"},
    {&TLookSet::HeaderColor, "HeaderColor"},
    {&TLookSet::HeaderColorEnd, "HeaderColorEnd"},
    {&TLookSet::HeaderSeparatorColor, "HeaderSeparatorColor"},
    {&TLookSet::TabColor, "TabColor"},
    {&TLookSet::TabColorEnd, "TabColorEnd"},
    {&TLookSet::TabBackgroundColor, "TabBackgroundColor"},
    {&TLookSet::BadgeColor, "BadgeColor"},
    {&TLookSet::CaptionFontColor, "CaptionFontColor"},
    {&TLookSet::TabFontColor, "TabFontColor"},
    {&TLookSet::DisabledFontColor, "DisabledFontColor"},
    {&TLookSet::SelectedFontColor, "SelectedFontColor"},
    {&TLookSet::HotFontColor, "HotFontColor"},
    {&TLookSet::SymbolFontColor, "SymbolFontColor"},
}};

void TLookSet::Clear()
{
    *this = TLookSet();
}

void TLookSet::SetDefault()
{
    const TColor grey = ColorFromHex(0xA0A0A4);
    const TColor white = ColorFromHex(0xFFFFFF);
    const TColor frame = ColorFromHex(0xADADAD);

    BorderColor = HeaderSeparatorColor = grey;
    Color = DisabledColor = HeaderColor = kSysButtonFace;
    ColorEnd = DisabledColorEnd = SelectedColorEnd = HotColorEnd = HeaderColorEnd = white;
    TabColor = TabColorEnd = SelectedFontColor = white;
    DisabledBorderColor = SelectedBorderColor = HotBorderColor = frame;
    SelectedColor = ColorFromHex(0xA6CAF0);
    HotColor = ColorFromHex(0xFFFBF0);
    SelectionBarColor = ColorFromHex(0xFF7F27);
    TabBackgroundColor = ColorFromHex(0xA3A3A3);
    BadgeColor = ColorFromHex(0xFF0000);
    CaptionFontColor = SymbolFontColor = HotFontColor = TabFontColor = kSysWindowText;
    DisabledFontColor = ColorFromHex(0x808080);
}

bool TLookSet::operator==(const TLookSet &other) const
{
    for (const TLookSetFieldInfo &info : kLookSetFields)
        if (this->*info.Field != other.*info.Field)
            return false;
    return true;
}
