#include "OmniBar.h"

#include "GradientFill.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kReferenceDpi = 96.0;
const QString kEllipsis = QStringLiteral("\u2026");

void FillEdge(QPainter &painter, int x, int y, int w, int h, const QColor &color)
{
    if (w > 0 && h > 0)
        painter.fillRect(x, y, w, h, color);
}

} // namespace

QFont ScaleFontToDpi(const QFont &font, double dotsPerInch)
{
    QFont scaled = font;
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * kPointsPerInch / kReferenceDpi;
    scaled.setPixelSize(std::max(1, int(std::lround(points * dotsPerInch / kPointsPerInch))));
    return scaled;
}

QString ShortenCaption(const QString &text, const QFontMetrics &metrics, int width, TWordWrapMode mode,
                       int textFlags)
{
    const int mnemonic = textFlags & Qt::TextShowMnemonic;
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    switch (mode) {
    case wwmEndEllipsis:
        return metrics.elidedText(text, Qt::ElideRight, width, mnemonic);
    case wwmPathEllipsis: {
        // Keep the last path element whole and shorten what leads to it.
        const int cut = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
        if (cut <= 0)
            return metrics.elidedText(text, Qt::ElideMiddle, width, mnemonic);
        const QString tail = text.mid(cut);
        const int room = width - metrics.horizontalAdvance(tail);
        if (room <= metrics.horizontalAdvance(kEllipsis))
            return metrics.elidedText(tail, Qt::ElideLeft, width, mnemonic);
        return metrics.elidedText(text.left(cut), Qt::ElideRight, room, mnemonic) + tail;
    }
    case wwmWordEllipsis: {
        // Whole words as long as they fit, then the ellipsis.
        QString kept;
        for (const QString &word : text.split(QLatin1Char(' '))) {
            const QString next = kept.isEmpty() ? word : kept + QLatin1Char(' ') + word;
            if (metrics.horizontalAdvance(next + kEllipsis) > width)
                break;
            kept = next;
        }
        return kept.isEmpty() ? metrics.elidedText(text, Qt::ElideRight, width, mnemonic) : kept + kEllipsis;
    }
    case wwmNone:
    case wwmBreak:
        break;
    }
    return text;
}

TOmniBarControlLook::TOmniBarControlLook(TOmniBar *bar)
    : TControlLook(bar)
{
    // A bar starts with the font it has from its form.
    SetTextFonts(bar->font());
}

TOmniBar::TOmniBar(QWidget *parent)
    : QWidget(parent)
    , FControlLook(this)
{
    FControlLook.OnChange = [this] { update(); };
    resize(kDefaultWidth, kDefaultHeight);
}

TOmniBar::~TOmniBar()
{
    FControlLook.OnChange = nullptr;
    if (FThemeController)
        FThemeController->DisconnectControl(this);
}

void TOmniBar::SetThemeController(TThemeController *value)
{
    if (FThemeController == value)
        return;
    if (FThemeController)
        FThemeController->DisconnectControl(this);
    FThemeController = value;
    if (value != nullptr)
        value->ConnectControl(this);
    UpdateTheme();
}

void TOmniBar::UpdateTheme()
{
    FControlLook.SetControlColor(PaintedLookSet().Color);
    update();
}

TLookSet TOmniBar::PaintedLookSet() const
{
    TLookSet set;
    GetPaintedLookSet(set);
    return set;
}

void TOmniBar::GetPaintedLookSet(TLookSet &result) const
{
    if (FThemeController && FThemeController->Manager() != nullptr)
        result = FThemeController->ControlLook().LookSet();
    else
        result = FControlLook.LookSet();

    const TLuminosity &color = FControlLook.Luminosity(liColor);
    if (color.Enabled()) {
        // Disabled text keeps its distance from the shifted background.
        TLuminosity text;
        text.SetLuminosity(-(color.Value() / 2), true, true);
        result.DisabledFontColor = text.Apply(result.DisabledFontColor);
        result.DisabledColor = color.Apply(result.DisabledColor);
        result.DisabledColorEnd = color.Apply(result.DisabledColorEnd);
    }

    const TLuminosity &font = FControlLook.Luminosity(liFont);
    for (TLookSetField field : {&TLookSet::CaptionFontColor, &TLookSet::HotFontColor,
                                &TLookSet::SelectedFontColor, &TLookSet::SymbolFontColor})
        result.*field = font.Apply(result.*field);
    result.Color = color.Apply(result.Color);
    result.ColorEnd = color.Apply(result.ColorEnd);
    const TLuminosity &selected = FControlLook.Luminosity(liSelected);
    result.SelectedColor = selected.Apply(result.SelectedColor);
    result.SelectedColorEnd = selected.Apply(result.SelectedColorEnd);
    const TLuminosity &header = FControlLook.Luminosity(liHeader);
    result.HeaderColor = header.Apply(result.HeaderColor);
    result.HeaderColorEnd = header.Apply(result.HeaderColorEnd);
    const TLuminosity &hot = FControlLook.Luminosity(liHot);
    result.HotColor = hot.Apply(result.HotColor);
    result.HotColorEnd = hot.Apply(result.HotColorEnd);
    result.TabColor = FControlLook.Luminosity(liTab).Apply(result.TabColor);
    const TLuminosity &border = FControlLook.Luminosity(liBorder);
    result.BorderColor = border.Apply(result.BorderColor);
    result.HeaderSeparatorColor = border.Apply(result.HeaderSeparatorColor);
}

void TOmniBar::SetCaption(const QString &value)
{
    FCaption = value;
    update();
}

void TOmniBar::SetShowCaption(bool value)
{
    FShowCaption = value;
    update();
}

void TOmniBar::SetAlignment(TCaptionAlignment value)
{
    FAlignment = value;
    update();
}

void TOmniBar::SetCaptionPosition(TCaptionPosition value)
{
    FCaptionPosition = value;
    update();
}

void TOmniBar::SetWordWrapMode(TWordWrapMode value)
{
    FWordWrapMode = value;
    update();
}

void TOmniBar::SetShowAccelChar(bool value)
{
    FShowAccelChar = value;
    update();
}

void TOmniBar::SetBorder(bool value)
{
    FBorder = value;
    update();
}

void TOmniBar::SetBorderEdges(TBorderEdges value)
{
    FBorderEdges = value & kAllBorderEdges;
    update();
}

void TOmniBar::SetButtonMode(bool value)
{
    FButtonMode = value;
    update();
}

void TOmniBar::SetHotTrack(bool value)
{
    FHotTrack = value;
    update();
}

void TOmniBar::SetImages(TImageList *value)
{
    if (FImages)
        disconnect(FImages, nullptr, this, nullptr);
    FImages = value;
    if (value != nullptr)
        connect(value, &TImageList::Changed, this, qOverload<>(&QWidget::update));
    update();
}

void TOmniBar::SetImageIndex(int value)
{
    FImageIndex = value;
    update();
}

void TOmniBar::SetImageAlign(TImageAlign value)
{
    FImageAlign = value;
    update();
}

void TOmniBar::SetIndents(int left, int top, int right)
{
    FLeftIndent = left;
    FTopIndent = top;
    FRightIndent = right;
    update();
}

void TOmniBar::SetShowFocusRect(bool value)
{
    FShowFocusRect = value;
    update();
}

void TOmniBar::SetSelected(bool value)
{
    if (FSelected == value)
        return;
    FSelected = value;
    update();
}

void TOmniBar::PopupDropdownMenu()
{
    if (!FDropDownMenu)
        return;
    FMenuShown = true;
    connect(FDropDownMenu, &QMenu::aboutToHide, this, &TOmniBar::MenuClosed, Qt::UniqueConnection);
    FDropDownMenu->popup(mapToGlobal(QPoint(0, height())));
}

void TOmniBar::MenuClosed()
{
    if (FDropDownMenu)
        disconnect(FDropDownMenu, &QMenu::aboutToHide, this, &TOmniBar::MenuClosed);
    FMenuShown = false;
    FMouseDown = false; // the release went to the menu
    // The menu took the pointer's leave: the hot look goes unless the pointer
    // is back over the bar.
    FHot = rect().contains(mapFromGlobal(QCursor::pos()));
    SetSelected(false);
    update();
}

void TOmniBar::ResetWidth()
{
    const QFontMetrics metrics(ScaledFont(FControlLook.Font(lfCaption)));
    const int captionWidth = FShowCaption ? metrics.horizontalAdvance(FCaption) : 0;
    int w = captionWidth + FLeftIndent + FRightIndent;
    if (FImages && FImageIndex >= 0) {
        if (FImageAlign == iaLeft || FImageAlign == iaRight)
            w += FImages->Width() + kImageGap;
        else if (FImageAlign == iaTop)
            w = std::max(w, FImages->Width() + FLeftIndent + FRightIndent);
    }
    resize(w, height());
}

QSize TOmniBar::sizeHint() const
{
    return QSize(kDefaultWidth, kDefaultHeight);
}

TOmniBar::TState TOmniBar::PaintState() const
{
    if (!isEnabled())
        return TState::Disabled;
    if (FSelected)
        return TState::Selected;
    if (FHot && FHotTrack)
        return TState::Hot;
    return TState::Normal;
}

QFont TOmniBar::ScaledFont(const QFont &font) const
{
    const QScreen *where = screen();
    return ScaleFontToDpi(font, where != nullptr ? where->logicalDotsPerInch() : kReferenceDpi);
}

int TOmniBar::CaptionFlags() const
{
    int flags = 0;
    switch (FAlignment) {
    case taLeftJustify: flags |= Qt::AlignLeft; break;
    case taRightJustify: flags |= Qt::AlignRight; break;
    case taCenter: flags |= Qt::AlignHCenter; break;
    }
    flags |= FCaptionPosition == cpTop ? Qt::AlignTop : Qt::AlignBottom;
    if (FWordWrapMode == wwmBreak)
        flags |= Qt::TextWordWrap;
    else
        flags |= Qt::TextSingleLine | Qt::TextExpandTabs;
    if (FShowAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

void TOmniBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TLookSet look = PaintedLookSet();
    const TState state = PaintState();
    QRect r = rect();

    if (FBorder) {
        TColor pen = look.BorderColor;
        const TBorderEdges edges = FBorderEdges;
        switch (state) {
        case TState::Disabled: pen = look.DisabledBorderColor; break;
        case TState::Selected: pen = look.SelectedBorderColor; break;
        case TState::Hot: pen = look.HotBorderColor; break;
        case TState::Normal: break;
        }
        const QColor c = ToQColor(pen);
        const QRect full = r;
        if (c.isValid()) {
            if (edges & beLeft)
                FillEdge(painter, full.left(), full.top(), 1, full.height(), c);
            if (edges & beTop)
                FillEdge(painter, full.left(), full.top(), full.width(), 1, c);
            if (edges & beRight)
                FillEdge(painter, full.right(), full.top(), 1, full.height(), c);
            if (edges & beBottom)
                FillEdge(painter, full.left(), full.bottom(), full.width(), 1, c);
        }
        r.adjust(edges & beLeft ? 1 : 0, edges & beTop ? 1 : 0, edges & beRight ? -1 : 0,
                 edges & beBottom ? -1 : 0);
    }

    switch (state) {
    case TState::Disabled:
        FillGradient(painter, r, look.DisabledColor, look.DisabledColorEnd, FControlLook.Gradient(giDisabled));
        break;
    case TState::Selected:
        FillGradient(painter, r, look.SelectedColor, look.SelectedColorEnd, FControlLook.Gradient(giSelected));
        break;
    case TState::Hot:
        FillGradient(painter, r, look.HotColor, look.HotColorEnd, FControlLook.Gradient(giHot));
        break;
    case TState::Normal:
        FillGradient(painter, r, look.Color, look.ColorEnd, FControlLook.Gradient(giColor));
        break;
    }

    const QRect inner(QPoint(r.left() + FLeftIndent, r.top() + FTopIndent),
                      QPoint(r.right() - FRightIndent, r.bottom()));

    TLookFontIndex fontIndex = lfCaption;
    TColor fontColor = look.CaptionFontColor;
    switch (state) {
    case TState::Disabled: fontIndex = lfDisabled; fontColor = look.DisabledFontColor; break;
    case TState::Selected: fontIndex = lfSelected; fontColor = look.SelectedFontColor; break;
    case TState::Hot: fontIndex = lfHot; fontColor = look.HotFontColor; break;
    case TState::Normal: break;
    }
    const QFont font = ScaledFont(FControlLook.Font(fontIndex));
    const QFontMetrics metrics(font);
    const bool showText = FShowCaption && !FCaption.isEmpty();
    const int textHeight = showText ? metrics.height() : 0;

    QRect captionArea = inner;
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        PaintImage(painter, r, inner, std::max(FImages->Height(), textHeight), look, captionArea);

    if (showText && captionArea.width() > 0) {
        const int flags = CaptionFlags();
        const QString text = ShortenCaption(FCaption, metrics, captionArea.width(), FWordWrapMode, flags);
        painter.setFont(font);
        painter.setPen(ToQColor(fontColor));
        painter.drawText(captionArea, flags, text);
    }

    if (FShowFocusRect && hasFocus()) {
        // Dotted in the text's own colour: it shows on every theme's bar,
        // whatever the style's focus colour is.
        painter.setPen(QPen(ToQColor(fontColor), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

void TOmniBar::PaintImage(QPainter &painter, const QRect &bounds, const QRect &inner, int rowHeight,
                          const TLookSet &look, QRect &captionArea)
{
    const int w = FImages->Width();
    const int h = FImages->Height();
    const int rowTop = FCaptionPosition == cpTop ? inner.top() : bounds.bottom() + 1 - FTopIndent - rowHeight;
    int x = inner.left();
    int y = rowTop + (rowHeight - h) / 2;
    switch (FImageAlign) {
    case iaLeft:
        captionArea.setLeft(x + w + kImageGap);
        break;
    case iaRight:
        x = inner.right() + 1 - w;
        captionArea.setRight(x - kImageGap - 1);
        break;
    case iaTop:
        x = inner.left() + (inner.width() - w) / 2;
        if (FCaptionPosition == cpTop)
            captionArea.setTop(captionArea.top() + kImageGap + h);
        else
            captionArea.setBottom(captionArea.bottom() - kImageGap - h);
        break;
    case iaCenter:
        x = bounds.left() + (bounds.width() - w) / 2;
        y = bounds.top() + (bounds.height() - h) / 2;
        break;
    }
    const QImage image = FImages->Image(FImageIndex);
    if (isEnabled())
        painter.drawImage(x, y, image);
    else
        painter.drawImage(x, y, GreyedImage(image, look.DisabledColor, FDisabledBitmapFactors));
}

void TOmniBar::enterEvent(QEnterEvent *event)
{
    FHot = true;
    update();
    QWidget::enterEvent(event);
}

void TOmniBar::leaveEvent(QEvent *event)
{
    FHot = false;
    update();
    QWidget::leaveEvent(event);
}

void TOmniBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    FMouseDown = true;
    if (FButtonMode)
        SetSelected(true);
    if (rect().contains(event->position().toPoint()) && FDropDownMenu)
        PopupDropdownMenu();
    if (FMoveMode != mmNone)
        FMover.Press(event->globalPosition().toPoint());
    event->accept();
}

void TOmniBar::mouseMoveEvent(QMouseEvent *event)
{
    const bool starting = FMover.Pending();
    if (FMover.Drag(window(), event->globalPosition().toPoint()) && starting) {
        // A drag is not a click, and the press look ends with it (the window
        // system may keep the release for itself).
        FMouseDown = false;
        if (FButtonMode)
            SetSelected(false);
    }
    QWidget::mouseMoveEvent(event);
}

void TOmniBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    FMover.Release();
    const bool wasDown = FMouseDown;
    FMouseDown = false;
    if (FButtonMode && !FMenuShown)
        SetSelected(false);
    if (wasDown && rect().contains(event->position().toPoint()))
        emit OnClick(this);
    event->accept();
}

void TOmniBar::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool menuKey = key == Qt::Key_Down && FDropDownMenu;
    if (!FButtonMode || !isEnabled() || (!press && !menuKey)
        || (event->modifiers() & ~(Qt::KeypadModifier | Qt::AltModifier)) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (FDropDownMenu) {
        PopupDropdownMenu();
        // From the keyboard the menu starts on its first item.
        if (FDropDownMenu && !FDropDownMenu->actions().isEmpty())
            FDropDownMenu->setActiveAction(FDropDownMenu->actions().constFirst());
        return;
    }
    emit OnClick(this);
}

void TOmniBar::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update(); // the focus frame
}

void TOmniBar::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TOmniBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            FMouseDown = false;
            FMover.Release();
        }
        update();
    }
    QWidget::changeEvent(event);
}
