// The custom-drawn bar of the main window: title strip, conditions panel and
// image buttons. Paints by state (normal, hot, selected, disabled) in colours
// taken from the theme and shifted by its own luminosities.
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

enum TImageAlign { iaLeft, iaRight, iaTop, iaCenter };
enum TWordWrapMode { wwmNone, wwmBreak, wwmPathEllipsis, wwmWordEllipsis, wwmEndEllipsis };
enum TCaptionPosition { cpTop, cpBottom };
// Whether a drag on the bar moves its window.
enum TMoveMode { mmNone, mmForm };
enum TCaptionAlignment { taLeftJustify, taRightJustify, taCenter };

enum TBorderEdge { beLeft = 1, beTop = 2, beRight = 4, beBottom = 8 };
using TBorderEdges = int;
constexpr TBorderEdges kAllBorderEdges = beLeft | beTop | beRight | beBottom;

class TOmniBar;
class QFontMetrics;

// The font at a screen's dots per inch: its point size as pixels at that density.
QFont ScaleFontToDpi(const QFont &font, double dotsPerInch);
// The caption as it fits `width` under an ellipsis mode; other modes keep it.
// Path ellipsis keeps the last path element, word ellipsis whole words.
QString ShortenCaption(const QString &text, const QFontMetrics &metrics, int width, TWordWrapMode mode,
                       int textFlags = 0);

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
    static constexpr int kDefaultIndent = 5;
    static constexpr int kImageGap = 5;          // between picture and caption

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

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    TCaptionAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TCaptionAlignment value);
    TCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TCaptionPosition value);
    TWordWrapMode WordWrapMode() const { return FWordWrapMode; }
    void SetWordWrapMode(TWordWrapMode value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);

    bool Border() const { return FBorder; }
    void SetBorder(bool value);
    TBorderEdges BorderEdges() const { return FBorderEdges; }
    void SetBorderEdges(TBorderEdges value);

    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);

    TImageList *Images() const { return FImages; }
    void SetImages(TImageList *value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TImageAlign ImageAlign() const { return FImageAlign; }
    void SetImageAlign(TImageAlign value);
    TDisabledBitmapFactors &DisabledBitmapFactors() { return FDisabledBitmapFactors; }

    int LeftIndent() const { return FLeftIndent; }
    int TopIndent() const { return FTopIndent; }
    int RightIndent() const { return FRightIndent; }
    void SetIndents(int left, int top, int right);

    QMenu *DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu *value) { FDropDownMenu = value; }

    TMoveMode MoveMode() const { return FMoveMode; }
    void SetMoveMode(TMoveMode value) { FMoveMode = value; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool value);

    bool Hot() const { return FHot; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool value);

    // Drops the menu below the bar, showing the pressed look until it closes.
    void PopupDropdownMenu();
    // Width of the caption plus indents and the picture.
    void ResetWidth();

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
    QFont ScaledFont(const QFont &font) const;
    int CaptionFlags() const;
    void PaintImage(QPainter &painter, const QRect &bounds, const QRect &inner, int rowHeight,
                    const TLookSet &look, QRect &captionArea);
    void MenuClosed();

    TOmniBarControlLook FControlLook;
    QPointer<TThemeController> FThemeController;
    QPointer<TImageList> FImages;
    QPointer<QMenu> FDropDownMenu;
    TDisabledBitmapFactors FDisabledBitmapFactors;

    QString FCaption;
    bool FShowCaption = true;
    TCaptionAlignment FAlignment = taLeftJustify;
    TCaptionPosition FCaptionPosition = cpTop;
    TWordWrapMode FWordWrapMode = wwmNone;
    bool FShowAccelChar = true;
    bool FBorder = true;
    TBorderEdges FBorderEdges = kAllBorderEdges;
    bool FButtonMode = false;
    bool FHotTrack = false;
    int FImageIndex = -1;
    TImageAlign FImageAlign = iaLeft;
    int FLeftIndent = kDefaultIndent;
    int FTopIndent = kDefaultIndent;
    int FRightIndent = kDefaultIndent;
    TMoveMode FMoveMode = mmNone;
    bool FShowFocusRect = false;

    bool FHot = false;
    bool FSelected = false;
    bool FMouseDown = false;   // the left button went down over this bar
    bool FMenuShown = false;
    TWindowMover FMover;
};
