// The one theme of the process: a look derived from a preset base colour (or
// a fixed or hand-made set), announced to every connected theme controller.
#pragma once

#include "ControlLook.h"

#include <QList>
#include <QObject>
#include <QString>

enum TThemePreset {
    tpCustom,
    tpDefault,
    tpWord,
    tpExcel,
    tpPowerPoint,
    tpVisual,
    tpCobalt,
    tbBrown,
    tpNight,
    tpGray,
    tpGraphite,
    tpDark,
};
constexpr int kThemePresetCount = tpDark + 1;

// "tpGraphite" and so on; empty for an ordinal outside the presets.
QString ThemePresetName(int ordinal);
// The preset's base colour; "none" for presets without one.
TColor ThemePresetBaseColor(TThemePreset preset);

class TThemeController;

class TThemeManager : public QObject
{
    Q_OBJECT
    // Stored by the layout manager as the preset's ordinal.
    Q_PROPERTY(int ThemePreset READ ThemePresetOrdinal WRITE SetThemePresetOrdinal)

public:
    explicit TThemeManager(QObject *parent = nullptr);
    ~TThemeManager() override;

    // The process-wide manager, made on first use (after the application
    // object) and freed when the application object goes.
    static TThemeManager &Instance();

    TThemeControlLook &ControlLook() { return FControlLook; }
    const TThemeControlLook &ControlLook() const { return FControlLook; }
    TThemePreset ThemePreset() const { return FThemePreset; }
    void SetThemePreset(TThemePreset value);
    int ThemePresetOrdinal() const { return int(FThemePreset); }
    // Stored ordinals outside the presets are ignored.
    void SetThemePresetOrdinal(int value);

    const TLookSet &CustomSet() const { return FCustomSet; }
    void LoadCustomTheme(const TLookSet &value);
    void SetControlLook(const TControlLook &value);

    void ConnectController(TThemeController *controller);
    void DisconnectController(TThemeController *controller);
    int ConnectedControllerCount() const { return FControllers.size(); }
    void UpdateControllers();

    void Assign(const TThemeManager &source);
    void AssignTo(TThemeManager &target) const { target.Assign(*this); }

    // The look set a base colour gives under the given luminosities.
    static TLookSet DeriveLookSet(TColor base, const TControlLook &luminosities);
    static TLookSet DarkLookSet();

private:
    void SetPresetLuminosities(TThemePreset preset);
    void LookChanged();

    TThemeControlLook FControlLook;
    TThemePreset FThemePreset = tpDefault;
    TLookSet FCustomSet;
    bool FSettingTheme = false;
    bool FDeriving = false;
    QList<TThemeController *> FControllers;
};
