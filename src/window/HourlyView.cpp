#include "HourlyView.h"

#include "HourlyViewAccessible.h"
#include "LangConsts.h"
#include "ConditionPictureSource.h"
#include "PictureFile.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFontPoints = 8; // the forecast list's
constexpr int kPad = 2;        // above and below the curve and the columns' contents
constexpr int kDotRadius = 2;
constexpr qreal kCurveWidth = 1.5;
constexpr int kFocusInset = 2;
// The lines under the picture: temperature, precipitation, chance, wind, direction.
constexpr int kLinesBelowPicture = 5;
// One notch of a wheel (in eighths of a degree) scrolls one column.
constexpr int kWheelNotch = 120;
// The detail of a day without hours: its lines, at most.
constexpr int kDetailLines = 8;

enum TText { tTime, tTemperature, tPrecipitation, tChance, tWind, tDirection, tTextCount };

QPixmap Scaled(const QImage &image, int side, qreal ratio)
{
    const int device = qRound(side * ratio);
    QPixmap pixmap = QPixmap::fromImage(image.scaled(device, device, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

THourlyView::THourlyView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("hours"));
    InstallHourlyViewAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    QFont viewFont = font();
    viewFont.setPointSize(kFontPoints);
    setFont(viewFont);
}

void THourlyView::SetOwnPictures(bool own)
{
    if (FOwnPictures == own)
        return;
    FOwnPictures = own;
    FPictures.clear();
    if (FRow >= 0)
        SetDay(FRow, THourlyDay(FDay));
}

void THourlyView::SetDay(int row, const THourlyDay &day)
{
    FRow = row;
    FDay = day;
    FScroll = 0;
    FScaled.clear();
    FScaledFor = 0;
    QHash<QString, QImage> pictures;
    for (const THourCell &hour : FDay.Hours) {
        if (hour.IconPath.isEmpty() || pictures.contains(hour.IconPath))
            continue;
        // Pictures of the day shown before are not read again.
        const auto known = FPictures.constFind(hour.IconPath);
        pictures.insert(hour.IconPath, known != FPictures.constEnd() && !known->isNull()
                                           ? *known
                                           : ConditionPicture(FOwnPictures, hour.Icon, hour.IconPath, kPictureSize,
                                                              devicePixelRatioF()));
    }
    FPictures = pictures;
    FCurrent = -1;
    setAccessibleName(FillText(lc_HoursOf, FDay.Title));
    setAccessibleDescription(FDay.DetailText);
    SetCurrentHour(FDay.Hours.isEmpty() ? -1 : 0);
    updateGeometry();
    update();
}

void THourlyView::Clear()
{
    SetDay(-1, THourlyDay());
}

void THourlyView::SetCurrentHour(int hour)
{
    if (hour < 0 || hour >= FDay.Hours.size())
        return;
    EnsureHourVisible(hour);
    if (hour == FCurrent)
        return;
    FCurrent = hour;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, hasFocus() ? QAccessible::Focus : QAccessible::Selection);
        event.setChild(hour);
        QAccessible::updateAccessibility(&event);
    }
}

int THourlyView::ColumnWidth() const
{
    const int count = std::max(1, static_cast<int>(FDay.Hours.size()));
    return std::max(kMinColumnWidth, width() / count);
}

int THourlyView::MaxScroll() const
{
    return std::max(0, static_cast<int>(FDay.Hours.size()) * ColumnWidth() - width());
}

int THourlyView::Scroll() const
{
    return std::min(FScroll, MaxScroll());
}

void THourlyView::SetScroll(int pixels)
{
    const int value = std::clamp(pixels, 0, MaxScroll());
    if (value == Scroll())
        return;
    FScroll = value;
    update();
}

void THourlyView::EnsureHourVisible(int hour)
{
    const int left = hour * ColumnWidth();
    if (left < Scroll())
        SetScroll(left);
    else if (left + ColumnWidth() > Scroll() + width())
        SetScroll(left + ColumnWidth() - width());
}

int THourlyView::LineHeight() const
{
    return QFontMetrics(BoldFont()).height();
}

QFont THourlyView::BoldFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QRect THourlyView::TitleRect() const
{
    return QRect(kTextMargin, kPad, std::max(0, width() - 2 * kTextMargin), LineHeight());
}

QRect THourlyView::CurveRect() const
{
    return QRect(0, TitleRect().bottom() + 1 + kPad, width(), kCurveHeight);
}

int THourlyView::ColumnsTop() const
{
    return CurveRect().bottom() + 1;
}

QRect THourlyView::DetailRect() const
{
    const int top = TitleRect().bottom() + 1 + kPad;
    return QRect(kTextMargin, top, std::max(0, width() - 2 * kTextMargin), std::max(0, height() - top - kPad));
}

QRect THourlyView::ColumnRect(int hour) const
{
    const int top = ColumnsTop();
    return QRect(hour * ColumnWidth() - Scroll(), top, ColumnWidth(), std::max(0, height() - top));
}

int THourlyView::HourAt(const QPoint &pos) const
{
    if (pos.y() < CurveRect().top() || pos.y() >= height() || pos.x() < 0 || pos.x() >= width())
        return -1;
    const int hour = (pos.x() + Scroll()) / ColumnWidth();
    return hour < FDay.Hours.size() ? hour : -1;
}

QRect THourlyView::PictureRect(int hour) const
{
    const QRect column = ColumnRect(hour);
    return QRect(column.left() + (column.width() - kPictureSize) / 2, column.top() + kPad + LineHeight(),
                 kPictureSize, kPictureSize);
}

QVector<QRect> THourlyView::TextRects(int hour) const
{
    const QRect column = ColumnRect(hour).adjusted(kTextMargin, 0, -kTextMargin, 0);
    const int line = LineHeight();
    QVector<QRect> rects(tTextCount);
    rects[tTime] = QRect(column.left(), column.top() + kPad, column.width(), line);
    int top = PictureRect(hour).bottom() + 1;
    for (int text = tTemperature; text < tTextCount; ++text, top += line)
        rects[text] = QRect(column.left(), top, column.width(), line);
    return rects;
}

void THourlyView::PictureArrived(const QString &path)
{
    // A download still on its way when the choice changed would replace a drawing.
    if (FOwnPictures || !FPictures.contains(path))
        return;
    FPictures.insert(path, ReadPictureFile(path));
    FScaled.remove(path);
    update();
}

void THourlyView::SetColours(const TForecastListColours &colours)
{
    FColours = colours;
    update();
}

int THourlyView::NeededHeight() const
{
    const int line = LineHeight();
    const int title = kPad + line + kPad;
    const int hours = kCurveHeight + kPad + line + kPictureSize + kLinesBelowPicture * line + kPad;
    const int detail = kDetailLines * QFontMetrics(font()).lineSpacing() + kPad;
    return title + std::max(hours, detail);
}

QSize THourlyView::sizeHint() const
{
    return QSize(kMinColumnWidth * 8, NeededHeight());
}

QSize THourlyView::minimumSizeHint() const
{
    return QSize(kMinColumnWidth, NeededHeight());
}

void THourlyView::PaintCurve(QPainter &painter) const
{
    double lowest = 0, highest = 0;
    bool any = false;
    for (const THourCell &hour : FDay.Hours) {
        if (!std::isfinite(hour.Temperature))
            continue;
        lowest = any ? std::min(lowest, hour.Temperature) : hour.Temperature;
        highest = any ? std::max(highest, hour.Temperature) : hour.Temperature;
        any = true;
    }
    if (!any)
        return;
    const QRect curve = CurveRect().adjusted(0, kPad + kDotRadius, 0, -kPad - kDotRadius);
    const double span = highest - lowest;
    auto pointOf = [&](int hour) {
        const double t = FDay.Hours[hour].Temperature;
        // A flat day runs through the middle.
        const double fraction = span > 0 ? (highest - t) / span : 0.5;
        return QPointF(ColumnRect(hour).center().x() + 0.5, curve.top() + fraction * curve.height());
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    bool drawing = false;
    for (int hour = 0; hour < FDay.Hours.size(); ++hour) {
        if (!std::isfinite(FDay.Hours[hour].Temperature)) {
            drawing = false; // a gap where a value is missing
            continue;
        }
        if (drawing)
            path.lineTo(pointOf(hour));
        else
            path.moveTo(pointOf(hour));
        drawing = true;
    }
    // In the text's colour, which every theme keeps readable on the view.
    painter.setPen(QPen(FColours.Text, kCurveWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FColours.Text);
    for (int hour = 0; hour < FDay.Hours.size(); ++hour)
        if (std::isfinite(FDay.Hours[hour].Temperature))
            painter.drawEllipse(pointOf(hour), kDotRadius, kDotRadius);
    painter.restore();
}

void THourlyView::PaintHour(QPainter &painter, int hour, qreal ratio) const
{
    const THourCell &cell = FDay.Hours[hour];
    const QRect column = ColumnRect(hour);
    painter.fillRect(column, FColours.Columns[hour % 2]);
    if (hour == FCurrent) {
        QColor blend = FColours.Selection;
        blend.setAlpha(kSelectionAlpha);
        painter.fillRect(column, blend);
    }
    const QImage &picture = FPictures.value(cell.IconPath);
    if (!picture.isNull()) {
        auto scaled = FScaled.find(cell.IconPath);
        if (scaled == FScaled.end())
            scaled = FScaled.insert(cell.IconPath, Scaled(picture, kPictureSize, ratio));
        const QRect place = PictureRect(hour);
        const QSize size = scaled->deviceIndependentSize().toSize();
        painter.drawPixmap(place.left() + (place.width() - size.width()) / 2,
                           place.top() + (place.height() - size.height()) / 2, *scaled);
    }
    const QVector<QRect> rects = TextRects(hour);
    const QString texts[tTextCount] = {cell.TimeText,   cell.TemperatureText, cell.PrecipitationText,
                                       cell.ChanceText, cell.WindText,        cell.WindDirectionText};
    painter.setPen(FColours.Text);
    for (int text = 0; text < tTextCount; ++text) {
        painter.setFont(text == tTemperature ? BoldFont() : font());
        const QString shown =
            QFontMetrics(painter.font()).elidedText(texts[text], Qt::ElideRight, rects[text].width());
        painter.drawText(rects[text], Qt::AlignHCenter | Qt::AlignVCenter, shown);
    }
    painter.setFont(font());
}

void THourlyView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPaintDevice *device = painter.paintEngine() != nullptr ? painter.paintEngine()->paintDevice() : nullptr;
    const qreal ratio = device != nullptr ? device->devicePixelRatioF() : devicePixelRatioF();
    if (ratio != FScaledFor) {
        FScaled.clear();
        FScaledFor = ratio;
    }
    // The title, the curve and a day's detail lie on the date column's colour,
    // which the text colour is chosen to read on in every theme (the list's
    // background is no theme's).
    painter.fillRect(event->rect(), FColours.Columns[0]);
    painter.setPen(FColours.Text);
    painter.setFont(BoldFont());
    painter.drawText(TitleRect(), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(BoldFont()).elidedText(FDay.Title, Qt::ElideRight, TitleRect().width()));
    painter.setFont(font());
    if (FDay.Hours.isEmpty()) {
        painter.drawText(DetailRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, FDay.DetailText);
    } else {
        const int first = std::max(0, Scroll() / ColumnWidth());
        const int last = std::min(static_cast<int>(FDay.Hours.size()) - 1, (Scroll() + width()) / ColumnWidth());
        for (int hour = first; hour <= last; ++hour)
            PaintHour(painter, hour, ratio);
        painter.setPen(FColours.Grid);
        painter.drawLine(0, ColumnsTop() - 1, width() - 1, ColumnsTop() - 1);
        PaintCurve(painter);
    }
    painter.setPen(FColours.Grid);
    painter.drawLine(0, 0, width() - 1, 0);
    if (hasFocus()) {
        const QRect area = FCurrent >= 0 ? ColumnRect(FCurrent) : rect();
        painter.setPen(QPen(FColours.Text, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
    }
}

bool THourlyView::event(QEvent *event)
{
    // Escape closes the view before the window would take it as its own.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int hour = HourAt(help->pos());
        if (hour < 0)
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), FDay.Hours[hour].AccessibleText, this, ColumnRect(hour));
        return true;
    }
    return QWidget::event(event);
}

void THourlyView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int last = static_cast<int>(FDay.Hours.size()) - 1;
    const int page = std::max(1, width() / ColumnWidth());
    switch (event->key()) {
    case Qt::Key_Escape:
        emit CloseRequested();
        break;
    case Qt::Key_Left:
        SetCurrentHour(std::max(0, FCurrent - 1));
        break;
    case Qt::Key_Right:
        SetCurrentHour(std::min(last, FCurrent + 1));
        break;
    case Qt::Key_Home:
        SetCurrentHour(0);
        break;
    case Qt::Key_End:
        SetCurrentHour(last);
        break;
    case Qt::Key_PageUp:
        SetCurrentHour(std::max(0, FCurrent - page));
        break;
    case Qt::Key_PageDown:
        SetCurrentHour(std::min(last, FCurrent + page));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void THourlyView::mousePressEvent(QMouseEvent *event)
{
    const int hour = HourAt(event->position().toPoint());
    if (hour >= 0)
        SetCurrentHour(hour);
    FPressX = event->position().toPoint().x();
    FPressScroll = Scroll();
    event->accept();
}

void THourlyView::mouseMoveEvent(QMouseEvent *event)
{
    // More hours than fit follow the pointer sideways.
    if (event->buttons() & Qt::LeftButton)
        SetScroll(FPressScroll - (event->position().toPoint().x() - FPressX));
}

void THourlyView::wheelEvent(QWheelEvent *event)
{
    if (MaxScroll() == 0) {
        event->ignore();
        return;
    }
    const QPoint pixels = event->pixelDelta();
    if (!pixels.isNull()) {
        SetScroll(Scroll() - (pixels.x() != 0 ? pixels.x() : pixels.y()));
    } else {
        const QPoint angle = event->angleDelta();
        const int notches = angle.x() != 0 ? angle.x() : angle.y();
        SetScroll(Scroll() - notches * ColumnWidth() / kWheelNotch);
    }
    event->accept();
}

void THourlyView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (FCurrent >= 0 && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(FCurrent);
        QAccessible::updateAccessibility(&focus);
    }
    update();
}

void THourlyView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void THourlyView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (FCurrent >= 0)
        EnsureHourVisible(FCurrent);
}
