#include "LMFlatForm.h"

#include "OmniBar.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace {

Qt::CursorShape CursorFor(Qt::Edges edges)
{
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
    if ((top && left) || (bottom && right))
        return Qt::SizeFDiagCursor;
    if ((top && right) || (bottom && left))
        return Qt::SizeBDiagCursor;
    if (top || bottom)
        return Qt::SizeVerCursor;
    return Qt::SizeHorCursor;
}

} // namespace

TLMFlatForm::TLMFlatForm(QWidget *parent, QSize initialSize)
    : TLMForm(parent, initialSize, Qt::FramelessWindowHint)
{
    setMouseTracking(true);
    ApplyWindowState();
    // Children (bars, lists, labels) cover all but the border: the grip is
    // found before they see the pointer.
    qApp->installEventFilter(this);
}

TLMFlatForm::~TLMFlatForm()
{
    ShowGripCursor({});
    SaveLayoutBeforeDestroy();
}

void TLMFlatForm::SetResizeable(bool value)
{
    FResizeable = value;
    if (!value)
        unsetCursor();
}

void TLMFlatForm::SetBorderColor(TColor value)
{
    FBorderColor = value;
    update();
}

bool TLMFlatForm::IsMaximized() const
{
    return windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

QRect TLMFlatForm::MaximizedGeometry() const
{
    const QRect area = WorkArea();
    return QRect(area.left(), area.top(), area.width(), area.height() - 1);
}

Qt::Edges TLMFlatForm::ResizeEdgesAt(const QPoint &pos) const
{
    if (!FResizeable || IsMaximized() || !rect().contains(pos))
        return {};
    const bool left = pos.x() < kGripWidth;
    const bool right = width() - 1 - pos.x() < kGripWidth;
    const bool top = pos.y() < kGripWidth;
    const bool bottom = height() - 1 - pos.y() < kGripWidth;
    // Corners first, then the edges, as a hit test of the frame would answer.
    if (top && left)
        return Qt::TopEdge | Qt::LeftEdge;
    if (top && right)
        return Qt::TopEdge | Qt::RightEdge;
    if (bottom && left)
        return Qt::BottomEdge | Qt::LeftEdge;
    if (bottom && right)
        return Qt::BottomEdge | Qt::RightEdge;
    if (top)
        return Qt::TopEdge;
    if (left)
        return Qt::LeftEdge;
    if (bottom)
        return Qt::BottomEdge;
    if (right)
        return Qt::RightEdge;
    return {};
}

void TLMFlatForm::paintEvent(QPaintEvent *event)
{
    TLMForm::paintEvent(event);
    if (IsMaximized())
        return;
    QPainter painter(this);
    painter.setPen(ToQColor(FBorderColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - kBorderWidth, height() - kBorderWidth);
}

void TLMFlatForm::resizeEvent(QResizeEvent *event)
{
    TLMForm::resizeEvent(event);
    ApplyWindowState();
}

void TLMFlatForm::changeEvent(QEvent *event)
{
    TLMForm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        ApplyWindowState();
}

void TLMFlatForm::ApplyWindowState()
{
    if (FFitting)
        return;
    FFitting = true;
    if (IsMaximized()) {
        // Asked of the window itself: placing the widget would end the maximised
        // state. The window system has the last word on a maximised window.
        const QRect target = MaximizedGeometry();
        if (isVisible() && windowHandle() != nullptr && geometry() != target)
            windowHandle()->setGeometry(target);
        setContentsMargins(0, 0, 0, 0);
    } else {
        setContentsMargins(kBorderWidth, kBorderWidth, kBorderWidth, kBorderWidth);
    }
    FFitting = false;
    update();
}

void TLMFlatForm::mousePressEvent(QMouseEvent *event)
{
    const Qt::Edges edges = event->button() == Qt::LeftButton ? ResizeEdgesAt(event->position().toPoint())
                                                               : Qt::Edges();
    if (!edges) {
        TLMForm::mousePressEvent(event);
        return;
    }
    event->accept();
    StartResize(edges, event->globalPosition().toPoint());
}

bool TLMFlatForm::StartResize(Qt::Edges edges, const QPoint &globalPos)
{
    if (!edges)
        return false;
    if (windowHandle() != nullptr && windowHandle()->startSystemResize(edges))
        return true;
    FHandEdges = edges;
    FHandStart = globalPos;
    FHandGeometry = geometry();
    return true;
}

bool TLMFlatForm::IsChild(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget != nullptr && widget != this && !widget->isWindow() && widget->window() == this;
}

bool TLMFlatForm::GripExempt(QObject *watched)
{
    // Buttons stay buttons to their edge: a click on one is never a resize.
    const auto *bar = qobject_cast<const TOmniBar *>(watched);
    return bar != nullptr && bar->ButtonMode();
}

bool TLMFlatForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Leave && FGripCursorShown && (watched == this || IsChild(watched))) {
        // The pointer may have left the window from a child, which no move reports.
        if (!rect().contains(mapFromGlobal(QCursor::pos())))
            ShowGripCursor({});
        return TLMForm::eventFilter(watched, event);
    }
    if ((type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        || !IsChild(watched))
        return TLMForm::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (FHandEdges) {
        if (type == QEvent::MouseMove)
            ResizeByHand(global);
        else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
            FHandEdges = {};
        return true;
    }
    const Qt::Edges edges = GripExempt(watched) ? Qt::Edges() : ResizeEdgesAt(mapFromGlobal(global));
    if (type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton)
        ShowGripCursor(edges);
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && edges) {
        ShowGripCursor({});
        return StartResize(edges, global);
    }
    return TLMForm::eventFilter(watched, event);
}

void TLMFlatForm::ShowGripCursor(Qt::Edges edges)
{
    if (!edges) {
        if (FGripCursorShown)
            QGuiApplication::restoreOverrideCursor();
        FGripCursorShown = false;
        return;
    }
    if (FGripCursorShown)
        QGuiApplication::changeOverrideCursor(CursorFor(edges));
    else
        QGuiApplication::setOverrideCursor(CursorFor(edges));
    FGripCursorShown = true;
}

void TLMFlatForm::mouseMoveEvent(QMouseEvent *event)
{
    if (FHandEdges) {
        ResizeByHand(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        const Qt::Edges edges = ResizeEdgesAt(event->position().toPoint());
        if (edges)
            setCursor(CursorFor(edges));
        else
            unsetCursor();
    }
    TLMForm::mouseMoveEvent(event);
}

void TLMFlatForm::mouseReleaseEvent(QMouseEvent *event)
{
    if (FHandEdges && event->button() == Qt::LeftButton) {
        FHandEdges = {};
        event->accept();
        return;
    }
    TLMForm::mouseReleaseEvent(event);
}

void TLMFlatForm::ResizeByHand(const QPoint &globalPos)
{
    const QPoint delta = globalPos - FHandStart;
    QRect g = FHandGeometry;
    const QSize least = minimumSize().expandedTo(QSize(2 * kGripWidth, 2 * kGripWidth));
    if (FHandEdges & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + delta.x(), g.right() + 1 - least.width()));
    if (FHandEdges & Qt::RightEdge)
        g.setRight(std::max(g.right() + delta.x(), g.left() + least.width() - 1));
    if (FHandEdges & Qt::TopEdge)
        g.setTop(std::min(g.top() + delta.y(), g.bottom() + 1 - least.height()));
    if (FHandEdges & Qt::BottomEdge)
        g.setBottom(std::max(g.bottom() + delta.y(), g.top() + least.height() - 1));
    setGeometry(g);
}
