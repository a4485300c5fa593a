#include "ControlLook.h"

#include <QGuiApplication>

#include <algorithm>

namespace {

constexpr int kCaptionFontPoints = 8;
constexpr int kSymbolFontPoints = 12;

} // namespace

void TLuminosity::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    Changed();
}

void TLuminosity::SetValue(int value)
{
    value = std::clamp(value, kMinValue, kMaxValue);
    if (FValue == value)
        return;
    FValue = value;
    Changed();
}

void TLuminosity::SetScale(bool value)
{
    if (FScale == value)
        return;
    FScale = value;
    Changed();
}

void TLuminosity::SetLuminosity(int value, bool scale, bool enabled)
{
    value = std::clamp(value, kMinValue, kMaxValue);
    if (FValue == value && FScale == scale && FEnabled == enabled)
        return;
    FValue = value;
    FScale = scale;
    FEnabled = enabled;
    Changed();
}

void TLuminosity::Assign(const TLuminosity &other)
{
    FEnabled = other.FEnabled;
    FValue = other.FValue;
    FScale = other.FScale;
}

TColor TLuminosity::Apply(TColor color) const
{
    if (!FEnabled || color == kColorNone)
        return color;
    return ColorAdjustLuma(ColorToRGB(color), FValue, FScale);
}

void TLuminosity::Changed()
{
    if (OnChange)
        OnChange();
}

void TGradientLook::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    Changed();
}

void TGradientLook::SetEndColor(TColor value)
{
    if (FEndColor == value)
        return;
    FEndColor = value;
    Changed();
}

void TGradientLook::SetColorCount(std::uint16_t value)
{
    value = std::max<std::uint16_t>(value, 1);
    if (FColorCount == value)
        return;
    FColorCount = value;
    Changed();
}

void TGradientLook::SetDirection(TGradientDirection value)
{
    if (FDirection == value)
        return;
    FDirection = value;
    Changed();
}

void TGradientLook::SetDefaults()
{
    FEnabled = false;
    FColorCount = kDefaultColorCount;
    FDirection = gdTopToBottom;
}

void TGradientLook::Assign(const TGradientLook &other)
{
    FEnabled = other.FEnabled;
    FColorCount = other.FColorCount;
    FDirection = other.FDirection;
}

void TGradientLook::Changed()
{
    if (OnChange)
        OnChange();
}

TControlLook::TControlLook(QWidget *control)
    : FControl(control)
    , FGradients{&FColorGradient, &FDisabledGradient, &FSelectedGradient, &FHotGradient, &FHeaderGradient}
    , FColorGradient(FSet.ColorEnd)
    , FDisabledGradient(FSet.DisabledColorEnd)
    , FSelectedGradient(FSet.SelectedColorEnd)
    , FHotGradient(FSet.HotColorEnd)
    , FHeaderGradient(FSet.HeaderColorEnd)
{
    for (TGradientLook *gradient : FGradients)
        gradient->OnChange = [this] { Changed(); };
    for (TLuminosity &luminosity : FLuminosities)
        luminosity.OnChange = [this] { LuminosityChangedBy(); };
    FSet.SetDefault();
    ResetFonts();
    FDefaultSet = true;
}

void TControlLook::SetLookSet(const TLookSet &set, bool noChange)
{
    FSet = set;
    if (!noChange)
        Changed();
}

void TControlLook::Set(TLookSetField field, TColor value)
{
    if (FSet.*field == value)
        return;
    FSet.*field = value;
    Changed();
}

void TControlLook::SetGradients(bool enabled)
{
    ++FUpdating;
    for (TGradientLook *gradient : FGradients)
        gradient->SetEnabled(enabled);
    --FUpdating;
    Changed();
}

void TControlLook::SetGradients(TGradientDirection direction)
{
    ++FUpdating;
    for (TGradientLook *gradient : FGradients)
        gradient->SetDirection(direction);
    --FUpdating;
    Changed();
}

void TControlLook::SetFont(TLookFontIndex index, const QFont &font)
{
    FFonts[index] = font;
    Changed();
}

TColor TControlLook::FontColor(TLookFontIndex index) const
{
    switch (index) {
    case lfCaption: return FSet.CaptionFontColor;
    case lfDisabled: return FSet.DisabledFontColor;
    case lfSelected: return FSet.SelectedFontColor;
    case lfHot: return FSet.HotFontColor;
    case lfSymbol: return FSet.SymbolFontColor;
    case lfTab: return FSet.TabFontColor;
    }
    return FSet.CaptionFontColor;
}

void TControlLook::Clear()
{
    FSet.Clear();
    Changed();
}

void TControlLook::SetDefaults()
{
    FSet.SetDefault();
    for (TGradientLook *gradient : FGradients)
        gradient->SetDefaults();
    for (TLuminosity &luminosity : FLuminosities)
        luminosity.Assign(TLuminosity());
    ResetFonts();
    Changed();
}

void TControlLook::SetDefaultSet()
{
    SetDefaults();
    FDefaultSet = true;
}

void TControlLook::Assign(const TControlLook &other)
{
    FSet = other.FSet;
    for (int i = 0; i < kGradientCount; ++i)
        FGradients[i]->Assign(*other.FGradients[i]);
    for (int i = 0; i < kLuminosityCount; ++i)
        FLuminosities[i].Assign(other.FLuminosities[i]);
    FFonts = other.FFonts;
    Changed();
}

void TControlLook::Changed()
{
    if (FUpdating > 0)
        return;
    FDefaultSet = false;
    if (OnChange)
        OnChange();
}

void TControlLook::ResetFonts()
{
    QFont caption(QGuiApplication::font().family());
    caption.setPointSize(kCaptionFontPoints);
    caption.setBold(false);
    for (QFont &font : FFonts)
        font = caption;
    FFonts[lfSymbol].setPointSize(kSymbolFontPoints);
    FFonts[lfSymbol].setBold(true);
}

void TControlLook::SetTextFonts(const QFont &font)
{
    for (int i = 0; i < kLookFontCount; ++i)
        if (i != lfSymbol)
            FFonts[i] = font;
}

void TControlLook::LuminosityChangedBy()
{
    if (FUpdating > 0)
        return;
    FLuminosityChanged = true;
    Changed();
    FLuminosityChanged = false;
}
