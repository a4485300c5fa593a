// The look of one themed control (or of the theme manager): its colour record,
// five gradients, nine luminosity adjustments and six fonts.
#pragma once

#include "LookSet.h"

#include <QFont>

#include <array>
#include <cstdint>
#include <functional>

class QWidget;

// A luminance step applied to a colour when enabled (see ColorAdjustLuma).
class TLuminosity
{
public:
    static constexpr int kMinValue = -1000;
    static constexpr int kMaxValue = 999; // a full positive step would leave the range

    bool Enabled() const { return FEnabled; }
    int Value() const { return FValue; }
    bool Scale() const { return FScale; }
    void SetEnabled(bool value);
    void SetValue(int value);
    void SetScale(bool value);
    void SetLuminosity(int value, bool scale, bool enabled);
    // Without a change announcement, for settings made on behalf of the owner.
    void Assign(const TLuminosity &other);

    // The colour adjusted by this step; unchanged when off or for "none".
    TColor Apply(TColor color) const;

    std::function<void()> OnChange;

private:
    void Changed();

    bool FEnabled = false;
    int FValue = 0;
    bool FScale = false;
};

enum TGradientDirection { gdTopToBottom, gdBottomToTop, gdLeftToRight, gdRightToLeft };

// A gradient whose end colour lives in the owning look's colour record.
class TGradientLook
{
public:
    static constexpr std::uint16_t kDefaultColorCount = 255;

    explicit TGradientLook(TColor &endColor) : FEndColor(endColor) {}
    TGradientLook(const TGradientLook &) = delete;
    TGradientLook &operator=(const TGradientLook &) = delete;

    bool Enabled() const { return FEnabled; }
    TColor EndColor() const { return FEndColor; }
    std::uint16_t ColorCount() const { return FColorCount; }
    TGradientDirection Direction() const { return FDirection; }
    void SetEnabled(bool value);
    void SetEndColor(TColor value);
    void SetColorCount(std::uint16_t value); // 0 is stored as 1
    void SetDirection(TGradientDirection value);
    void SetDefaults(); // without announcement
    void Assign(const TGradientLook &other); // without announcement; the end colour is not copied

    std::function<void()> OnChange;

private:
    void Changed();

    TColor &FEndColor;
    bool FEnabled = false;
    std::uint16_t FColorCount = kDefaultColorCount;
    TGradientDirection FDirection = gdTopToBottom;
};

enum TLuminosityIndex {
    liBorder, liColor, liDisabled, liHot, liHeader, liSelected, liTab, liTabBackground, liFont
};
constexpr int kLuminosityCount = 9;

enum TLookFontIndex { lfCaption, lfDisabled, lfSelected, lfHot, lfSymbol, lfTab };
constexpr int kLookFontCount = 6;

enum TGradientIndex { giColor, giDisabled, giSelected, giHot, giHeader };
constexpr int kGradientCount = 5;

class TControlLook
{
public:
    explicit TControlLook(QWidget *control = nullptr);
    TControlLook(const TControlLook &) = delete;
    TControlLook &operator=(const TControlLook &) = delete;
    virtual ~TControlLook() = default;

    QWidget *Control() const { return FControl; }

    const TLookSet &LookSet() const { return FSet; }
    void GetLookSet(TLookSet &result) const { result = FSet; }
    void SetLookSet(const TLookSet &set, bool noChange = false);
    TColor Get(TLookSetField field) const { return FSet.*field; }
    void Set(TLookSetField field, TColor value);
    // Sets Color without announcing it (the control already shows it).
    void SetControlColor(TColor value) { FSet.Color = value; }

    TGradientLook &Gradient(TGradientIndex index) { return *FGradients[index]; }
    const TGradientLook &Gradient(TGradientIndex index) const { return *FGradients[index]; }
    TGradientLook &ColorGradient() { return Gradient(giColor); }
    TGradientLook &DisabledGradient() { return Gradient(giDisabled); }
    TGradientLook &SelectedGradient() { return Gradient(giSelected); }
    TGradientLook &HotGradient() { return Gradient(giHot); }
    TGradientLook &HeaderGradient() { return Gradient(giHeader); }
    void SetGradients(bool enabled);
    void SetGradients(TGradientDirection direction);

    TLuminosity &Luminosity(TLuminosityIndex index) { return FLuminosities[index]; }
    const TLuminosity &Luminosity(TLuminosityIndex index) const { return FLuminosities[index]; }
    TLuminosity &BorderLuminosity() { return Luminosity(liBorder); }
    TLuminosity &ColorLuminosity() { return Luminosity(liColor); }
    TLuminosity &DisabledLuminosity() { return Luminosity(liDisabled); }
    TLuminosity &HotLuminosity() { return Luminosity(liHot); }
    TLuminosity &HeaderLuminosity() { return Luminosity(liHeader); }
    TLuminosity &SelectedLuminosity() { return Luminosity(liSelected); }
    TLuminosity &TabLuminosity() { return Luminosity(liTab); }
    TLuminosity &TabBackgroundLuminosity() { return Luminosity(liTabBackground); }
    TLuminosity &FontLuminosity() { return Luminosity(liFont); }

    const QFont &Font(TLookFontIndex index) const { return FFonts[index]; }
    void SetFont(TLookFontIndex index, const QFont &font);
    // The colour a font is drawn in: the matching font colour of the record.
    TColor FontColor(TLookFontIndex index) const;

    bool DefaultSet() const { return FDefaultSet; }
    // True while a luminosity's change is being announced.
    bool LuminosityChanged() const { return FLuminosityChanged; }

    void Clear();
    void SetDefaults();   // default colours, gradients, luminosities and fonts
    void SetDefaultSet(); // SetDefaults, then marks the look as untouched
    // Colours, gradients, luminosities and fonts of another look.
    void Assign(const TControlLook &other);

    std::function<void()> OnChange;

protected:
    virtual void Changed();
    // Every font but the symbol font becomes this one, without announcement.
    void SetTextFonts(const QFont &font);

private:
    void ResetFonts();
    void LuminosityChangedBy();

    QWidget *FControl;
    TLookSet FSet;
    std::array<TGradientLook *, kGradientCount> FGradients;
    TGradientLook FColorGradient;
    TGradientLook FDisabledGradient;
    TGradientLook FSelectedGradient;
    TGradientLook FHotGradient;
    TGradientLook FHeaderGradient;
    std::array<TLuminosity, kLuminosityCount> FLuminosities;
    std::array<QFont, kLookFontCount> FFonts;
    bool FDefaultSet = false;
    bool FLuminosityChanged = false;
    int FUpdating = 0; // > 0 while several parts change as one
};

// The look held by the theme manager.
class TThemeControlLook : public TControlLook
{
public:
    TThemeControlLook() : TControlLook(nullptr) {}
};
