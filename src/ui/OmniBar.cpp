#include "OmniBar.h"

#include "GradientFill.h"

#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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

void TOmniBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TLookSet look = PaintedLookSet();
    const TState state = PaintState();
    const QRect r = rect();

    TColor textColor = look.CaptionFontColor;
    switch (state) {
    case TState::Disabled:
        FillGradient(painter, r, look.DisabledColor, look.DisabledColorEnd, FControlLook.Gradient(giDisabled));
        textColor = look.DisabledFontColor;
        break;
    case TState::Selected:
        FillGradient(painter, r, look.SelectedColor, look.SelectedColorEnd, FControlLook.Gradient(giSelected));
        textColor = look.SelectedFontColor;
        break;
    case TState::Hot:
        FillGradient(painter, r, look.HotColor, look.HotColorEnd, FControlLook.Gradient(giHot));
        textColor = look.HotFontColor;
        break;
    case TState::Normal:
        FillGradient(painter, r, look.Color, look.ColorEnd, FControlLook.Gradient(giColor));
        break;
    }

    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        PaintImage(painter, look);

    if (FShowFocusRect && hasFocus()) {
        // Dotted in the state's text colour: it shows on every theme's bar,
        // whatever the style's focus colour is.
        painter.setPen(QPen(ToQColor(textColor), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

void TOmniBar::PaintImage(QPainter &painter, const TLookSet &look)
{
    const int x = (width() - FImages->Width()) / 2;
    const int y = (height() - FImages->Height()) / 2;
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
