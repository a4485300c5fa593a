// A form's link to the process-wide theme: keeps the form's themed controls,
// fills the theme menu and announces every theme change.
#pragma once

#include "ThemeManager.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <QMenu>

class TThemeController : public QObject
{
    Q_OBJECT

public:
    // Without a manager the process-wide one is used.
    explicit TThemeController(QObject *parent = nullptr, TThemeManager *manager = nullptr);
    ~TThemeController() override;

    TThemeManager *Manager() const { return FManager; }
    // Copies the other manager's look and preset into the one in use.
    void SetManager(TThemeManager *value);
    // The manager's look; valid while the manager exists.
    TThemeControlLook &ControlLook() const { return FManager->ControlLook(); }

    QMenu *PopupMenu() const { return FPopupMenu; }
    // Fills the menu with the presets at once.
    void SetPopupMenu(QMenu *value);

    // Only controls with theme support are taken, each once.
    bool ConnectControl(QObject *control);
    void DisconnectControl(QObject *control);
    int ConnectedControlCount() const { return FControls.size(); }
    void UpdateControls();

    void CreateMenu(QMenu *popupMenu);
    void UpdateMenu(QMenu *popupMenu);
    // Called once the owning form is built: fills the menu and announces the theme.
    void Loaded();

    static bool CheckControlThemeSupport(QObject *control);
    // True for controls with a colour and a font (widgets).
    static bool CheckControlThemeCompat(QObject *control);
    static void SetControlThemeColors(QObject *control, TColor color, TColor fontColor, TColor borderColor);

signals:
    void OnThemeChange(TThemeController *Sender);

private:
    QPointer<TThemeManager> FManager;
    QPointer<QMenu> FPopupMenu;
    QList<QPointer<QObject>> FControls;
};
