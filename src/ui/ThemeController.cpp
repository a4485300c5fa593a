#include "ThemeController.h"

#include "ThemeControl.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace {

constexpr TThemePreset kFirstMenuPreset = tpWord;
constexpr TThemePreset kLastMenuPreset = tpGraphite;
constexpr int kPresetPrefixLength = 2; // "tp" (or the odd "tb")
// Marks the actions this controller put into a menu.
constexpr char kPresetItemProperty[] = "nimbrelThemePresetItem";

bool IsPresetItem(const QAction *action)
{
    return action->property(kPresetItemProperty).toBool();
}

} // namespace

TThemeController::TThemeController(QObject *parent, TThemeManager *manager)
    : QObject(parent)
    , FManager(manager != nullptr ? manager : &TThemeManager::Instance())
{
    FManager->ConnectController(this);
}

TThemeController::~TThemeController()
{
    if (FManager)
        FManager->DisconnectController(this);
    // Each control disconnects itself from this list on the way.
    const QList<QPointer<QObject>> controls = FControls;
    for (const QPointer<QObject> &control : controls)
        if (IThemeControl *themed = qobject_cast<IThemeControl *>(control.data()))
            if (themed->ThemeController() == this)
                themed->SetThemeController(nullptr);
}

void TThemeController::SetManager(TThemeManager *value)
{
    if (value != nullptr && FManager && value != FManager)
        FManager->Assign(*value);
}

void TThemeController::SetPopupMenu(QMenu *value)
{
    FPopupMenu = value;
    if (value != nullptr)
        CreateMenu(value);
}

bool TThemeController::ConnectControl(QObject *control)
{
    if (!CheckControlThemeSupport(control))
        return false;
    for (const QPointer<QObject> &known : FControls)
        if (known == control)
            return false;
    FControls.append(control);
    return true;
}

void TThemeController::DisconnectControl(QObject *control)
{
    FControls.removeAll(QPointer<QObject>(control));
}

void TThemeController::UpdateControls()
{
    FControls.removeAll(QPointer<QObject>());
    const QList<QPointer<QObject>> controls = FControls;
    for (const QPointer<QObject> &control : controls)
        if (IThemeControl *themed = qobject_cast<IThemeControl *>(control.data()))
            themed->UpdateTheme();
    if (FPopupMenu)
        UpdateMenu(FPopupMenu);
    emit OnThemeChange(this);
}

void TThemeController::CreateMenu(QMenu *popupMenu)
{
    if (popupMenu == nullptr)
        return;
    for (QAction *action : popupMenu->actions()) {
        if (!IsPresetItem(action))
            continue;
        QActionGroup *oldGroup = action->actionGroup();
        delete action;
        if (oldGroup != nullptr && oldGroup->actions().isEmpty())
            delete oldGroup;
    }

    auto *group = new QActionGroup(popupMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int preset = kFirstMenuPreset; preset <= kLastMenuPreset; ++preset) {
        auto *action = new QAction(ThemePresetName(preset).mid(kPresetPrefixLength), group);
        action->setCheckable(true);
        action->setData(preset);
        action->setProperty(kPresetItemProperty, true);
        connect(action, &QAction::triggered, this, [this, preset] {
            if (FManager)
                FManager->SetThemePreset(TThemePreset(preset));
        });
        popupMenu->addAction(action);
    }
    UpdateMenu(popupMenu);
}

void TThemeController::UpdateMenu(QMenu *popupMenu)
{
    if (popupMenu == nullptr || !FManager)
        return;
    const int current = FManager->ThemePresetOrdinal();
    for (QAction *action : popupMenu->actions())
        if (IsPresetItem(action))
            action->setChecked(action->data().toInt() == current);
}

void TThemeController::Loaded()
{
    if (FPopupMenu)
        CreateMenu(FPopupMenu);
    emit OnThemeChange(this);
}

bool TThemeController::CheckControlThemeSupport(QObject *control)
{
    return qobject_cast<IThemeControl *>(control) != nullptr;
}

bool TThemeController::CheckControlThemeCompat(QObject *control)
{
    return qobject_cast<QWidget *>(control) != nullptr;
}

void TThemeController::SetControlThemeColors(QObject *control, TColor color, TColor fontColor,
                                             TColor borderColor)
{
    auto *widget = qobject_cast<QWidget *>(control);
    if (widget == nullptr)
        return;
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, ToQColor(color));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, ToQColor(fontColor));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    if (widget->metaObject()->indexOfProperty("BorderColor") >= 0)
        widget->setProperty("BorderColor", QVariant::fromValue(borderColor));
    widget->update();
}
