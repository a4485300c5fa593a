#include "ThemeManager.h"

#include "ThemeController.h"

#include <QCoreApplication>

#include <array>

namespace {

constexpr std::array<const char *, kThemePresetCount> kPresetNames = {
    "tpCustom", "tpDefault", "tpWord", "tpExcel", "tpPowerPoint", "tpVisual",
    "tpCobalt", "tbBrown", "tpNight", "tpGray", "tpGraphite", "tpDark",
};

// Base colours as #RRGGBB; the first two presets and the last have none.
constexpr std::array<std::uint32_t, kThemePresetCount> kPresetBases = {
    0, 0, 0x2B579A, 0x217346, 0xC34B32, 0x68217A, 0x323947, 0x803A0A, 0x000000, 0x5C6579, 0x4E4D49, 0,
};

// The hot font colour is always this step above the base colour.
constexpr int kHotFontStep = 100;
constexpr TColor kDerivedDisabledFontColor = ColorFromHex(0xA0A0A4);

struct TPresetLuminosity
{
    TLuminosityIndex Index;
    int Value;
    bool Scale;
};

// Luminosities of the base-colour presets; the others switch these off.
constexpr std::array<TPresetLuminosity, 6> kPresetLuminosities = {{
    {liBorder, -200, false},
    {liHot, 850, true},
    {liSelected, 400, false},
    {liFont, 750, false},
    {liTab, 850, true},
    {liTabBackground, 200, false},
}};

bool HasBaseColor(TThemePreset preset)
{
    return preset >= tpWord && preset <= tpGraphite;
}

TThemeManager *GProcessManager = nullptr;

void FreeProcessManager()
{
    delete GProcessManager;
    GProcessManager = nullptr;
}

} // namespace

QString ThemePresetName(int ordinal)
{
    if (ordinal < 0 || ordinal >= kThemePresetCount)
        return QString();
    return QString::fromLatin1(kPresetNames[ordinal]);
}

TColor ThemePresetBaseColor(TThemePreset preset)
{
    return HasBaseColor(preset) ? ColorFromHex(kPresetBases[preset]) : kColorNone;
}

TThemeManager::TThemeManager(QObject *parent)
    : QObject(parent)
{
    FCustomSet.SetDefault();
    SetPresetLuminosities(tpDefault);
    FControlLook.OnChange = [this] { LookChanged(); };
}

TThemeManager::~TThemeManager()
{
    FControlLook.OnChange = nullptr;
    if (GProcessManager == this)
        GProcessManager = nullptr;
}

TThemeManager &TThemeManager::Instance()
{
    if (GProcessManager == nullptr) {
        GProcessManager = new TThemeManager();
        qAddPostRoutine(FreeProcessManager);
    }
    return *GProcessManager;
}

void TThemeManager::SetThemePreset(TThemePreset value)
{
    if (int(value) < 0 || int(value) >= kThemePresetCount)
        return;
    struct Flag
    {
        bool &F;
        explicit Flag(bool &f) : F(f) { F = true; }
        ~Flag() { F = false; }
    } setting(FSettingTheme);

    if (FThemePreset == tpCustom)
        FCustomSet = FControlLook.LookSet();
    FThemePreset = value;
    if (value != tpCustom)
        SetPresetLuminosities(value);

    TLookSet set;
    if (value == tpCustom)
        set = FCustomSet;
    else if (value == tpDark)
        set = DarkLookSet();
    else
        set = DeriveLookSet(ThemePresetBaseColor(value), FControlLook);
    FControlLook.SetLookSet(set);
}

void TThemeManager::SetThemePresetOrdinal(int value)
{
    if (value >= 0 && value < kThemePresetCount)
        SetThemePreset(TThemePreset(value));
}

void TThemeManager::LoadCustomTheme(const TLookSet &value)
{
    FCustomSet = value;
    FControlLook.SetLookSet(value, true);
    FThemePreset = tpCustom;
    UpdateControllers();
}

void TThemeManager::SetControlLook(const TControlLook &value)
{
    FDeriving = true; // a copied look is taken as it is, not derived again
    FControlLook.Assign(value);
    FDeriving = false;
    FThemePreset = tpCustom;
    UpdateControllers();
}

void TThemeManager::ConnectController(TThemeController *controller)
{
    if (controller != nullptr && !FControllers.contains(controller))
        FControllers.append(controller);
}

void TThemeManager::DisconnectController(TThemeController *controller)
{
    FControllers.removeAll(controller);
}

void TThemeManager::UpdateControllers()
{
    // A controller may disconnect itself while it updates its controls.
    const QList<TThemeController *> controllers = FControllers;
    for (TThemeController *controller : controllers)
        if (FControllers.contains(controller))
            controller->UpdateControls();
}

void TThemeManager::Assign(const TThemeManager &source)
{
    if (&source == this)
        return;
    FDeriving = true;
    FControlLook.Assign(source.FControlLook);
    FDeriving = false;
    FThemePreset = source.FThemePreset;
    FCustomSet = source.FCustomSet;
    UpdateControllers();
}

TLookSet TThemeManager::DeriveLookSet(TColor base, const TControlLook &luminosities)
{
    TLookSet set;
    set.SetDefault();
    if (base == kColorNone)
        return set;

    auto adjusted = [&](TLuminosityIndex index) { return luminosities.Luminosity(index).Apply(base); };
    set.Color = base;
    set.DisabledColor = adjusted(liDisabled);
    set.DisabledBorderColor = base;
    set.SelectedColor = adjusted(liSelected);
    set.HotColor = adjusted(liHot);
    set.HeaderColor = adjusted(liHeader);
    set.BorderColor = adjusted(liBorder);
    set.HeaderSeparatorColor = adjusted(liBorder);
    set.CaptionFontColor = adjusted(liFont);
    set.SelectedFontColor = base;
    set.HotFontColor = ColorAdjustLuma(ColorToRGB(base), kHotFontStep, false);
    set.DisabledFontColor = kDerivedDisabledFontColor;
    set.SymbolFontColor = set.CaptionFontColor;
    set.TabColor = adjusted(liTab);
    set.TabBackgroundColor = adjusted(liTabBackground);
    set.TabFontColor = base;
    return set;
}

TLookSet TThemeManager::DarkLookSet()
{
    const TColor grey = ColorFromHex(0x808080);
    const TColor black = ColorFromHex(0x000000);
    const TColor frame = ColorFromHex(0xA0A0A4);
    const TColor silver = ColorFromHex(0xC0C0C0);
    const TColor white = ColorFromHex(0xFFFFFF);

    TLookSet set;
    set.SetDefault();
    set.BorderColor = set.SelectedColor = set.HeaderSeparatorColor = set.TabBackgroundColor = grey;
    set.Color = set.DisabledColor = set.HeaderColor = black;
    set.DisabledBorderColor = set.SelectedBorderColor = set.HotBorderColor = frame;
    set.TabColor = set.DisabledFontColor = frame;
    set.HotColor = silver;
    set.CaptionFontColor = set.SelectedFontColor = set.HotFontColor = white;
    set.SymbolFontColor = set.TabFontColor = white;
    // End colours equal their start colours, so a gradient switched on stays dark.
    set.ColorEnd = set.DisabledColorEnd = set.HeaderColorEnd = black;
    set.SelectedColorEnd = grey;
    set.HotColorEnd = silver;
    set.TabColorEnd = frame;
    return set;
}

void TThemeManager::SetPresetLuminosities(TThemePreset preset)
{
    const bool on = HasBaseColor(preset);
    for (const TPresetLuminosity &p : kPresetLuminosities) {
        TLuminosity luminosity;
        if (on)
            luminosity.SetLuminosity(p.Value, p.Scale, true);
        FControlLook.Luminosity(p.Index).Assign(luminosity);
    }
}

void TThemeManager::LookChanged()
{
    if (FDeriving)
        return;
    if (FControlLook.LuminosityChanged()) {
        FDeriving = true;
        FControlLook.SetLookSet(DeriveLookSet(FControlLook.LookSet().Color, FControlLook), true);
        FDeriving = false;
    } else if (!FSettingTheme) {
        FThemePreset = tpCustom;
    }
    UpdateControllers();
}
