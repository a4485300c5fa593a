// The custom-drawn bar of the main window: title strip, conditions panel and
// image buttons. Paints by state (normal, hot, selected, disabled) in colours
// taken from the theme and shifted by its own luminosities; a button's picture
// sits in its middle. What a bar shows in words its child labels show.
#pragma once

#include "ControlLook.h"
#include "DisabledBitmap.h"
#include "ImageList.h"
#include "ThemeControl.h"
#include "ThemeController.h"
#include "WindowMover.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QWidget>

// Whether a drag on the bar moves its window.
enum TMoveMode { mmNone, mmForm };

class TOmniBar;

class TOmniBarControlLook : public TControlLook
{
public:
    explicit TOmniBarControlLook(TOmniBar *bar);
};

class TOmniBar : public QWidget, public IThemeControl
{
    Q_OBJECT
    Q_INTERFACES(IThemeControl)

public:
    static constexpr int kDefaultWidth = 200;
    static constexpr int kDefaultHeight = 30;

    explicit TOmniBar(QWidget *parent = nullptr);
    ~TOmniBar() override;

    TOmniBarControlLook &ControlLook() { return FControlLook; }
    const TOmniBarControlLook &ControlLook() const { return FControlLook; }

    TThemeController *ThemeController() const override { return FThemeController; }
    void SetThemeController(TThemeController *value) override;
    void UpdateTheme() override;

    // The colours this bar paints with: the theme's (or its own) with its own
    // luminosities applied.
    void GetPaintedLookSet(TLookSet &result) const;
    TLookSet PaintedLookSet() const;

    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);

    TImageList *Images() const { return FImages; }
    void SetImages(TImageList *value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TDisabledBitmapFactors &DisabledBitmapFactors() { return FDisabledBitmapFactors; }

    QMenu *DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu *value) { FDropDownMenu = value; }

    TMoveMode MoveMode() const { return FMoveMode; }
    void SetMoveMode(TMoveMode value) { FMoveMode = value; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool value);

    bool Hot() const { return FHot; }
    bool Selected() const { return FSelected; }

    // Drops the menu below the bar, showing the pressed look until it closes.
    void PopupDropdownMenu();

    QSize sizeHint() const override;

signals:
    void OnClick(TOmniBar *Sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    // A button with the focus is pressed by Space or Enter; one with a menu
    // also opens it by Down.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    enum class TState { Normal, Hot, Selected, Disabled };
    TState PaintState() const;
    void SetSelected(bool value);
    void PaintImage(QPainter &painter, const TLookSet &look);
    void MenuClosed();

    TOmniBarControlLook FControlLook;
    QPointer<TThemeController> FThemeController;
    QPointer<TImageList> FImages;
    QPointer<QMenu> FDropDownMenu;
    TDisabledBitmapFactors FDisabledBitmapFactors;

    bool FButtonMode = false;
    bool FHotTrack = false;
    int FImageIndex = -1;
    TMoveMode FMoveMode = mmNone;
    bool FShowFocusRect = false;

    bool FHot = false;
    bool FSelected = false;
    bool FMouseDown = false;   // the left button went down over this bar
    bool FMenuShown = false;
    TWindowMover FMover;
};
