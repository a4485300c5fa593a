// A borderless layout-managed window with a one-pixel coloured border that can
// be resized from any edge or corner and, maximised, fills the work area.
#pragma once

#include "LMForm.h"
#include "ThemeColor.h"

#include <QPoint>
#include <QRect>

class TLMFlatForm : public TLMForm
{
    Q_OBJECT
    // Themed forms get their border colour through this property.
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)

public:
    static constexpr int kGripWidth = 12; // pointer distances 0..11 from an edge resize
    static constexpr int kBorderWidth = 1;

    explicit TLMFlatForm(QWidget *parent = nullptr, QSize initialSize = QSize());
    ~TLMFlatForm() override;

    bool Resizeable() const { return FResizeable; }
    void SetResizeable(bool value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);

    bool IsMaximized() const;
    // Where a maximised form asks to be: the work area less its last row, so it is
    // not taken for a full-screen window and panels that hide themselves still show.
    QRect MaximizedGeometry() const;
    // The edges a press at this point (form coordinates) resizes; none inside.
    Qt::Edges ResizeEdgesAt(const QPoint &pos) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The grip lies over the child widgets too: their presses in it resize.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyWindowState();
    // Starts a resize at the edges; false where there are none.
    bool StartResize(Qt::Edges edges, const QPoint &globalPos);
    void ResizeByHand(const QPoint &globalPos);
    // Over a child the grip's cursor is shown in place of the child's own.
    void ShowGripCursor(Qt::Edges edges);
    bool IsChild(QObject *watched) const;
    static bool GripExempt(QObject *watched);

    bool FResizeable = true;
    TColor FBorderColor = ColorFromHex(0x000000);
    bool FFitting = false;
    Qt::Edges FHandEdges;          // edges being dragged when the window system cannot
    QPoint FHandStart;
    QRect FHandGeometry;
    bool FGripCursorShown = false;
};
