#include "ThemeControl.h"
#include "ThemeController.h"
#include "ThemeManager.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString Hex(TColor c)
{
    return ColorName(c);
}

struct CheckValue
{
    TLookSetField Field;
    const char *Name;
    const char *Expected;
};

TEST(ThemeManager, GraphiteGivesTheCheckValues)
{
    TThemeManager manager;
    manager.SetThemePreset(tpGraphite);
    const CheckValue checks[] = {
        {&TLookSet::BorderColor, "BorderColor", "#1A1A17"},
        {&TLookSet::HeaderSeparatorColor, "HeaderSeparatorColor", "#1A1A17"},
        {&TLookSet::SelectedColor, "SelectedColor", "#B4B3AF"},
        {&TLookSet::HotColor, "HotColor", "#E6E6E3"},
        {&TLookSet::TabColor, "TabColor", "#E6E6E3"},
        {&TLookSet::TabBackgroundColor, "TabBackgroundColor", "#83817A"},
        {&TLookSet::CaptionFontColor, "CaptionFontColor", "#FFFFFF"},
        {&TLookSet::SymbolFontColor, "SymbolFontColor", "#FFFFFF"},
        {&TLookSet::HotFontColor, "HotFontColor", "#686762"},
        {&TLookSet::DisabledColor, "DisabledColor", "#4E4D49"},
        {&TLookSet::HeaderColor, "HeaderColor", "#4E4D49"},
        {&TLookSet::Color, "Color", "#4E4D49"},
        {&TLookSet::DisabledBorderColor, "DisabledBorderColor", "#4E4D49"},
        {&TLookSet::SelectedFontColor, "SelectedFontColor", "#4E4D49"},
        {&TLookSet::TabFontColor, "TabFontColor", "#4E4D49"},
        {&TLookSet::DisabledFontColor, "DisabledFontColor", "#A0A0A4"},
        // Fields a preset leaves at their defaults.
        {&TLookSet::SelectionBarColor, "SelectionBarColor", "#FF7F27"},
        {&TLookSet::HotBorderColor, "HotBorderColor", "#ADADAD"},
        {&TLookSet::ColorEnd, "ColorEnd", "#FFFFFF"},
    };
    for (const CheckValue &check : checks) {
        SCOPED_TRACE(check.Name);
        EXPECT_EQ(Hex(manager.ControlLook().Get(check.Field)), QString::fromLatin1(check.Expected));
    }
    EXPECT_EQ(manager.ThemePreset(), tpGraphite);
}

TEST(ThemeManager, EveryPresetStartsFromItsBaseColour)
{
    struct Case { TThemePreset Preset; const char *Base; };
    const Case cases[] = {
        {tpWord, "#2B579A"}, {tpExcel, "#217346"}, {tpPowerPoint, "#C34B32"},
        {tpVisual, "#68217A"}, {tpCobalt, "#323947"}, {tbBrown, "#803A0A"},
        {tpNight, "#000000"}, {tpGray, "#5C6579"}, {tpGraphite, "#4E4D49"},
    };
    TThemeManager manager;
    for (const Case &c : cases) {
        SCOPED_TRACE(ThemePresetName(c.Preset).toStdString());
        manager.SetThemePreset(c.Preset);
        EXPECT_EQ(manager.ThemePreset(), c.Preset);
        EXPECT_EQ(Hex(manager.ControlLook().LookSet().Color), QString::fromLatin1(c.Base));
        EXPECT_EQ(Hex(manager.ControlLook().LookSet().TabFontColor), QString::fromLatin1(c.Base));
    }
    EXPECT_EQ(ThemePresetName(7), "tbBrown");
}

TEST(ThemeManager, DefaultAndDarkSwitchThePresetLuminositiesOff)
{
    TThemeManager manager;
    manager.SetThemePreset(tpWord);
    EXPECT_TRUE(manager.ControlLook().HotLuminosity().Enabled());

    manager.SetThemePreset(tpDefault);
    TLookSet defaults;
    defaults.SetDefault();
    EXPECT_EQ(manager.ControlLook().LookSet(), defaults);
    for (TLuminosityIndex index : {liBorder, liHot, liSelected, liFont, liTab, liTabBackground})
        EXPECT_FALSE(manager.ControlLook().Luminosity(index).Enabled()) << index;

    manager.SetThemePreset(tpDark);
    const TLookSet &dark = manager.ControlLook().LookSet();
    const CheckValue checks[] = {
        {&TLookSet::BorderColor, "BorderColor", "#808080"},
        {&TLookSet::SelectedColor, "SelectedColor", "#808080"},
        {&TLookSet::HeaderSeparatorColor, "HeaderSeparatorColor", "#808080"},
        {&TLookSet::TabBackgroundColor, "TabBackgroundColor", "#808080"},
        {&TLookSet::Color, "Color", "#000000"},
        {&TLookSet::DisabledColor, "DisabledColor", "#000000"},
        {&TLookSet::HeaderColor, "HeaderColor", "#000000"},
        {&TLookSet::DisabledBorderColor, "DisabledBorderColor", "#A0A0A4"},
        {&TLookSet::SelectedBorderColor, "SelectedBorderColor", "#A0A0A4"},
        {&TLookSet::HotBorderColor, "HotBorderColor", "#A0A0A4"},
        {&TLookSet::TabColor, "TabColor", "#A0A0A4"},
        {&TLookSet::DisabledFontColor, "DisabledFontColor", "#A0A0A4"},
        {&TLookSet::HotColor, "HotColor", "#C0C0C0"},
        {&TLookSet::CaptionFontColor, "CaptionFontColor", "#FFFFFF"},
        {&TLookSet::SelectedFontColor, "SelectedFontColor", "#FFFFFF"},
        {&TLookSet::HotFontColor, "HotFontColor", "#FFFFFF"},
        {&TLookSet::SymbolFontColor, "SymbolFontColor", "#FFFFFF"},
        {&TLookSet::TabFontColor, "TabFontColor", "#FFFFFF"},
    };
    for (const CheckValue &check : checks) {
        SCOPED_TRACE(check.Name);
        EXPECT_EQ(Hex(dark.*check.Field), QString::fromLatin1(check.Expected));
    }
    EXPECT_EQ(manager.ThemePreset(), tpDark);
}

TEST(ThemeManager, HandMadeColourBecomesCustomAndComesBack)
{
    TThemeManager manager;
    manager.SetThemePreset(tpGraphite);
    const TColor mine = ColorFromHex(0x123456);
    manager.ControlLook().Set(&TLookSet::HotColor, mine);
    EXPECT_EQ(manager.ThemePreset(), tpCustom);

    manager.SetThemePreset(tpExcel);
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().Color), "#217346");
    EXPECT_EQ(manager.CustomSet().HotColor, mine);

    manager.SetThemePreset(tpCustom);
    EXPECT_EQ(manager.ThemePreset(), tpCustom);
    EXPECT_EQ(manager.ControlLook().LookSet().HotColor, mine);
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().Color), "#4E4D49");
}

TEST(ThemeManager, LuminosityChangeDerivesAgainAndKeepsThePreset)
{
    TThemeManager manager;
    manager.SetThemePreset(tpGraphite);
    manager.ControlLook().Set(&TLookSet::SelectedFontColor, ColorFromHex(0x010203));
    manager.SetThemePreset(tpGraphite); // back to a clean preset after the custom detour
    manager.ControlLook().HotLuminosity().SetValue(600);
    EXPECT_EQ(manager.ThemePreset(), tpGraphite);
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().HotColor), "#BAB9B6");
    // Everything else is derived from Color again, not kept from before.
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().BorderColor), "#1A1A17");

    manager.ControlLook().Set(&TLookSet::Color, ColorFromHex(0xFF0000));
    EXPECT_EQ(manager.ThemePreset(), tpCustom);
    manager.ControlLook().BorderLuminosity().SetLuminosity(200, false, true);
    EXPECT_EQ(manager.ThemePreset(), tpCustom);
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().BorderColor), "#FF6666");
    EXPECT_EQ(Hex(manager.ControlLook().LookSet().TabFontColor), "#FF0000");
}

TEST(ThemeManager, StoredPresetOrdinalOutsideTheRangeIsIgnored)
{
    TThemeManager manager;
    manager.setProperty("ThemePreset", int(tpCobalt));
    EXPECT_EQ(manager.ThemePreset(), tpCobalt);
    for (int bad : {-1, kThemePresetCount, 57}) {
        manager.setProperty("ThemePreset", bad);
        EXPECT_EQ(manager.property("ThemePreset").toInt(), int(tpCobalt));
    }
}

TEST(ThemeManager, AssignCopiesLookAndPresetAndTellsControllers)
{
    TThemeManager source, target;
    source.SetThemePreset(tpVisual);
    TThemeController controller(nullptr, &target);
    QSignalSpy spy(&controller, &TThemeController::OnThemeChange);
    controller.SetManager(&source);
    EXPECT_EQ(target.ThemePreset(), tpVisual);
    EXPECT_EQ(target.ControlLook().LookSet(), source.ControlLook().LookSet());
    EXPECT_EQ(spy.count(), 1);
}

TEST(Luminosity, ValueIsClampedToItsRange)
{
    struct Case { int In; int Stored; };
    const Case cases[] = {{1000, 999}, {999, 999}, {-1000, -1000}, {-1001, -1000}, {123456, 999}};
    for (const Case &c : cases) {
        TLuminosity luminosity;
        luminosity.SetValue(c.In);
        EXPECT_EQ(luminosity.Value(), c.Stored) << c.In;
        TLuminosity all;
        all.SetLuminosity(c.In, true, true);
        EXPECT_EQ(all.Value(), c.Stored) << c.In;
    }
}

TEST(Luminosity, AppliesOnlyWhenEnabledAndNeverToNone)
{
    TLuminosity luminosity;
    luminosity.SetValue(-100);
    EXPECT_EQ(Hex(luminosity.Apply(ColorFromHex(0x4E4D49))), "#4E4D49");
    luminosity.SetEnabled(true);
    EXPECT_EQ(Hex(luminosity.Apply(ColorFromHex(0x4E4D49))), "#343330");
    EXPECT_EQ(luminosity.Apply(kColorNone), kColorNone);
}

TEST(ControlLook, AnyChangeClearsDefaultSetAndNotifies)
{
    TControlLook look;
    EXPECT_TRUE(look.DefaultSet());
    int changes = 0;
    look.OnChange = [&] { ++changes; };
    look.SetControlColor(ColorFromHex(0x111111)); // silent on purpose
    EXPECT_EQ(changes, 0);
    look.HotGradient().SetEnabled(true);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(look.DefaultSet());
    look.SetGradients(gdLeftToRight); // five gradients, one announcement
    EXPECT_EQ(changes, 2);
    look.SetDefaultSet();
    EXPECT_TRUE(look.DefaultSet());
    EXPECT_FALSE(look.HotGradient().Enabled());
    look.HotGradient().SetEndColor(ColorFromHex(0x00FF00));
    EXPECT_EQ(Hex(look.LookSet().HotColorEnd), "#00FF00");
}

class TThemedWidget : public QWidget, public IThemeControl
{
    Q_OBJECT
    Q_INTERFACES(IThemeControl)

public:
    TThemeController *ThemeController() const override { return FController; }
    void SetThemeController(TThemeController *value) override { FController = value; }
    void UpdateTheme() override { ++Updates; }

    int Updates = 0;

private:
    TThemeController *FController = nullptr;
};

TEST(ThemeController, ConnectsOnlyThemedControlsOnceAndUpdatesThem)
{
    TThemeManager manager;
    TThemeController controller(nullptr, &manager);
    EXPECT_EQ(manager.ConnectedControllerCount(), 1);
    TThemedWidget themed;
    QWidget plain;
    EXPECT_TRUE(controller.ConnectControl(&themed));
    EXPECT_FALSE(controller.ConnectControl(&themed));
    EXPECT_FALSE(controller.ConnectControl(&plain));
    EXPECT_FALSE(controller.ConnectControl(nullptr));
    EXPECT_EQ(controller.ConnectedControlCount(), 1);

    QSignalSpy spy(&controller, &TThemeController::OnThemeChange);
    manager.SetThemePreset(tpNight);
    EXPECT_EQ(themed.Updates, 1);
    EXPECT_EQ(spy.count(), 1);

    {
        TThemedWidget shortLived;
        controller.ConnectControl(&shortLived);
    }
    manager.SetThemePreset(tpGray); // the destroyed control is skipped, not called
    EXPECT_EQ(controller.ConnectedControlCount(), 1);
    EXPECT_EQ(themed.Updates, 2);
}

TEST(ThemeController, DisconnectsFromItsManagerWhenDestroyed)
{
    TThemeManager manager;
    {
        TThemeController controller(nullptr, &manager);
        EXPECT_EQ(manager.ConnectedControllerCount(), 1);
    }
    EXPECT_EQ(manager.ConnectedControllerCount(), 0);
    manager.SetThemePreset(tpWord); // nothing left to call
}

TEST(ThemeController, MenuListsNinePresetsAndFollowsTheTheme)
{
    TThemeManager manager;
    manager.SetThemePreset(tpGraphite);
    TThemeController controller(nullptr, &manager);
    QMenu menu;
    controller.SetPopupMenu(&menu);

    const QList<QAction *> actions = menu.actions();
    QStringList captions;
    for (QAction *action : actions)
        captions << action->text();
    EXPECT_EQ(captions, QStringList({"Word", "Excel", "PowerPoint", "Visual", "Cobalt", "Brown",
                                     "Night", "Gray", "Graphite"}));
    auto checkedCaptions = [&] {
        QStringList checked;
        for (QAction *action : menu.actions())
            if (action->isChecked())
                checked << action->text();
        return checked;
    };
    EXPECT_EQ(checkedCaptions(), QStringList{"Graphite"});

    actions[1]->trigger();
    EXPECT_EQ(manager.ThemePreset(), tpExcel);
    EXPECT_EQ(checkedCaptions(), QStringList{"Excel"});

    actions[1]->trigger(); // choosing the checked item again keeps it checked
    EXPECT_EQ(checkedCaptions(), QStringList{"Excel"});

    manager.SetThemePreset(tpDark); // no item for it: nothing checked
    EXPECT_TRUE(checkedCaptions().isEmpty());

    controller.CreateMenu(&menu); // building again does not duplicate the items
    EXPECT_EQ(menu.actions().size(), 9);
}

TEST(ThemeController, LoadedAnnouncesOnce)
{
    TThemeManager manager;
    TThemeController controller(nullptr, &manager);
    QSignalSpy spy(&controller, &TThemeController::OnThemeChange);
    controller.CreateMenu(nullptr); // no menu, no items, no failure
    controller.Loaded();
    EXPECT_EQ(spy.count(), 1);
}

TEST(ThemeController, CompatibleWidgetTakesColours)
{
    QWidget widget;
    EXPECT_TRUE(TThemeController::CheckControlThemeCompat(&widget));
    QObject object;
    EXPECT_FALSE(TThemeController::CheckControlThemeCompat(&object));
    TThemeController::SetControlThemeColors(&widget, ColorFromHex(0x4E4D49), ColorFromHex(0xFFFFFF),
                                            ColorFromHex(0x1A1A17));
    EXPECT_EQ(widget.palette().color(QPalette::Window), QColor(0x4E, 0x4D, 0x49));
    EXPECT_EQ(widget.palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));
    TThemeController::SetControlThemeColors(&object, 0, 0, 0); // ignored
}

TEST(ThemeManager, ProcessWideManagerIsOneAndStartsAtDefault)
{
    TThemeManager &a = TThemeManager::Instance();
    EXPECT_EQ(&a, &TThemeManager::Instance());
    EXPECT_EQ(a.ThemePreset(), tpDefault);
    EXPECT_EQ(a.ControlLook().LookSet().Color, kSysButtonFace);
    TThemeController controller;
    EXPECT_EQ(controller.Manager(), &a);
}

} // namespace

#include "test_theme.moc"
