#include "ForecastList.h"

#include "PictureFile.h"
#include "mooncomp.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

enum TColumn { cDate, cPicture, cDescription, cMoon };

constexpr int kFontPoints = 8;
constexpr int kSelectionAlpha = 96; // of 255: the row stays readable under it

// Half the way from `size` down to the limit, rounded toward zero, taken off
// each side: a 64-pixel picture becomes 50, one of 50 or less keeps its size.
int ShrinkEachSide(int size, int limit)
{
    return size >= limit ? (size - limit) / 2 : 0;
}

// The pressure and the temperature range share a narrow column; a value a
// little too wide for it is drawn smaller, down to this size, rather than cut.
constexpr qreal kSmallestFittedPoints = 6.0;
constexpr qreal kFitStep = 0.5;

// `font`, made smaller step by step until the one-line `text` fits `width`.
QFont FittedFont(QFont font, const QString &text, int width)
{
    while (font.pointSizeF() - kFitStep >= kSmallestFittedPoints
           && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPointSizeF(font.pointSizeF() - kFitStep);
    return font;
}

} // namespace

QString ElideEachLine(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (metrics.horizontalAdvance(line) > width)
            line = metrics.elidedText(line, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

namespace {

QPixmap ScaledToDevice(const QImage &image, const QSize &logical, qreal ratio)
{
    const QSize device(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    QPixmap pixmap = QPixmap::fromImage(
        image.size() == device ? image : image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

TForecastList::TForecastList(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("lv"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    QFont listFont = font();
    listFont.setPointSize(kFontPoints);
    setFont(listFont);
    FMoon = std::make_unique<TMoon>();
    FMoon->SetShowApollo11(false);
    FMoon->SetMoonStyle(msColor);
    // Its own picture is never shown: the smallest is the cheapest to redraw
    // at each change of date.
    FMoon->SetMoonSize(ms16);
}

TForecastList::~TForecastList() = default;

void TForecastList::SetRows(const TForecastRows &rows)
{
    FRows = rows;
    FPictures = QVector<TRowPictures>(rows.size());
    FDrawnTexts = QVector<TRowTexts>(rows.size());
    QHash<QString, QImage> loaded;
    for (int i = 0; i < FRows.size(); ++i) {
        const QString &path = FRows[i].IconPath;
        auto found = loaded.constFind(path);
        if (found == loaded.constEnd())
            found = loaded.insert(path, ReadPictureFile(path));
        FPictures[i].Condition = *found;
    }
    FCurrent = -1;
    updateGeometry();
    update();
}

void TForecastList::SetCurrentRow(int row)
{
    const int value = row >= 0 && row < FRows.size() ? row : -1;
    if (value == FCurrent)
        return;
    FCurrent = value;
    update();
}

void TForecastList::SetColours(const TForecastListColours &colours)
{
    FColours = colours;
    update();
}

void TForecastList::ApplyTheme(TColor titleBarPainted, TColor headerPainted, TColor controlColour)
{
    SetColours(ThemedListColours(FColours, titleBarPainted, controlColour, headerPainted));
}

int TForecastList::ColumnLeft(int column) const
{
    int left = 0;
    for (int c = 0; c < column && c < kForecastColumnCount; ++c)
        left += kColumnWidths[c];
    return left;
}

int TForecastList::ColumnWidth(int column) const
{
    if (column < 0 || column >= kForecastColumnCount)
        return 0;
    if (column == cMoon)
        return std::max(kColumnWidths[cMoon], width() - ColumnLeft(cMoon));
    return kColumnWidths[column];
}

QRect TForecastList::CellRect(int row, int column) const
{
    return QRect(ColumnLeft(column), row * kRowHeight, ColumnWidth(column), kRowHeight);
}

int TForecastList::RowAt(const QPoint &pos) const
{
    if (pos.y() < 0 || pos.x() < 0 || pos.x() >= width())
        return -1;
    const int row = pos.y() / kRowHeight;
    return row < FRows.size() ? row : -1;
}

int TForecastList::ColumnAt(const QPoint &pos) const
{
    if (RowAt(pos) < 0)
        return -1;
    for (int c = 0; c < kForecastColumnCount; ++c)
        if (pos.x() >= ColumnLeft(c) && pos.x() < ColumnLeft(c) + ColumnWidth(c))
            return c;
    return -1;
}

QRect TForecastList::PictureRect(int row) const
{
    if (row < 0 || row >= FPictures.size() || FPictures[row].Condition.isNull())
        return {};
    const QSize size = FPictures[row].Condition.size();
    const QRect cell = CellRect(row, cPicture);
    QRect picture(cell.left() + (cell.width() - size.width()) / 2, cell.top() + (cell.height() - size.height()) / 2,
                  size.width(), size.height());
    const int dx = ShrinkEachSide(size.width(), kPictureLimit);
    const int dy = ShrinkEachSide(size.height(), kPictureLimit);
    return picture.adjusted(dx, dy, -dx, -dy);
}

QRect TForecastList::MoonRect(int row) const
{
    const QRect cell = CellRect(row, cMoon);
    return QRect(cell.right() + 1 - kMoonFromRight, cell.top() + kMoonFromTop, kMoonSize, kMoonSize);
}

QRect TForecastList::TextRect(int row, int column) const
{
    return CellRect(row, column).adjusted(kTextMargin, kTextTop, -kTextMargin, 0);
}

int TForecastList::TextFlags(int column) const
{
    const int horizontal = column == cDate || column == cPicture ? Qt::AlignHCenter : Qt::AlignLeft;
    return horizontal | Qt::AlignTop;
}

QColor TForecastList::TextColour(int row) const
{
    return FRows[row].Weekend ? FColours.Weekend : FColours.Text;
}

QFont TForecastList::RangeFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

bool TForecastList::TextFits(const QString &text, const QRect &rect, int flags, const QFont &textFont) const
{
    const QRect needed = QFontMetrics(textFont).boundingRect(rect, flags, text);
    return needed.width() <= rect.width() && needed.height() <= rect.height();
}

QString TForecastList::CellToolTip(int row, int column) const
{
    if (row < 0 || row >= FRows.size())
        return {};
    const TForecastRow &r = FRows[row];
    const int flags = TextFlags(column);
    switch (column) {
    case cDate:
        return TextFits(r.DateText, TextRect(row, column), flags, font()) ? QString() : r.DateText.trimmed();
    case cPicture: {
        const QRect cell = TextRect(row, column);
        const bool fits = TextFits(r.PressureText, cell, flags, FittedFont(font(), r.PressureText, cell.width()))
                          && TextFits(r.RangeText, cell, flags, FittedFont(RangeFont(), r.RangeText, cell.width()));
        return fits ? QString() : r.PressureText + QLatin1Char('\n') + r.RangeText;
    }
    case cDescription:
        return TextFits(r.DescriptionText, TextRect(row, column), flags, font()) ? QString() : r.DescriptionText;
    case cMoon:
        return TextFits(r.MoonSunText, TextRect(row, column), flags, font()) ? QString() : r.MoonSunText;
    default:
        return {};
    }
}

QSize TForecastList::sizeHint() const
{
    int columns = 0;
    for (const int w : kColumnWidths)
        columns += w;
    return QSize(columns, static_cast<int>(FRows.size()) * kRowHeight);
}

QSize TForecastList::minimumSizeHint() const
{
    return QSize(ColumnLeft(cMoon) + kColumnWidths[cMoon], 0);
}

void TForecastList::PrepareScaled(int row, qreal ratio) const
{
    const TRowPictures &pictures = FPictures[row];
    if (pictures.ScaledFor == ratio)
        return;
    pictures.ConditionScaled = QPixmap();
    if (!pictures.Condition.isNull()) {
        // Days of the same weather share one picture: it is scaled once.
        const QSize size = PictureRect(row).size();
        for (int other = 0; other < FPictures.size() && pictures.ConditionScaled.isNull(); ++other) {
            const TRowPictures &done = FPictures[other];
            if (other != row && done.ScaledFor == ratio && done.Condition.cacheKey() == pictures.Condition.cacheKey()
                && PictureRect(other).size() == size)
                pictures.ConditionScaled = done.ConditionScaled;
        }
        if (pictures.ConditionScaled.isNull())
            pictures.ConditionScaled = ScaledToDevice(pictures.Condition, size, ratio);
    }
    pictures.MoonScaled = QPixmap();
    const TForecastRow &r = FRows[row];
    if (std::isfinite(r.MoonTime) && r.MoonTime > 0) {
        FMoon->SetDate(r.MoonTime);
        // As the moon is seen from the place: the other way up in the south.
        FMoon->SetRotation(r.MoonUpsideDown ? rot_180 : rot_none);
        // Above the plain density the larger moon is the sharper source.
        const QImage moon = FMoon->MaskedPicture(ratio > 1.0 ? ms64 : ms32);
        pictures.MoonScaled = ScaledToDevice(moon, QSize(kMoonSize, kMoonSize), ratio);
    }
    pictures.ScaledFor = ratio;
}

void TForecastList::PaintPicture(QPainter &painter, int row) const
{
    const TRowPictures &pictures = FPictures[row];
    if (!pictures.ConditionScaled.isNull())
        painter.drawPixmap(PictureRect(row).topLeft(), pictures.ConditionScaled);
    const TForecastRow &r = FRows[row];
    const QRect text = TextRect(row, cPicture);
    painter.setFont(FittedFont(font(), r.PressureText, text.width()));
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop, r.PressureText);
    painter.setFont(FittedFont(RangeFont(), r.RangeText, text.width()));
    painter.drawText(QRect(text.left(), CellRect(row, cPicture).top() + kRangeTop, text.width(),
                           kRowHeight - kRangeTop),
                     Qt::AlignHCenter | Qt::AlignTop, r.RangeText);
    painter.setFont(font());
}

void TForecastList::PaintMoon(QPainter &painter, int row) const
{
    const TRowPictures &pictures = FPictures[row];
    if (!pictures.MoonScaled.isNull())
        painter.drawPixmap(MoonRect(row).topLeft(), pictures.MoonScaled);
}

const TForecastList::TRowTexts &TForecastList::DrawnTexts(int row) const
{
    TRowTexts &texts = FDrawnTexts[row];
    const int moonWidth = TextRect(row, cMoon).width();
    if (texts.ForMoonWidth == moonWidth)
        return texts;
    const TForecastRow &r = FRows[row];
    const QFontMetrics metrics(font());
    if (texts.ForMoonWidth < 0) {
        texts.Date = ElideEachLine(r.DateText, metrics, TextRect(row, cDate).width());
        texts.Description = ElideEachLine(r.DescriptionText, metrics, TextRect(row, cDescription).width());
    }
    texts.MoonSun = ElideEachLine(r.MoonSunText, metrics, moonWidth);
    texts.ForMoonWidth = moonWidth;
    return texts;
}

void TForecastList::PaintRow(QPainter &painter, int row, qreal ratio) const
{
    PrepareScaled(row, ratio);
    for (int c = 0; c < kForecastColumnCount; ++c)
        painter.fillRect(CellRect(row, c), FColours.Columns[c]);
    const TRowTexts &texts = DrawnTexts(row);
    painter.setPen(TextColour(row));
    painter.setFont(font());
    painter.drawText(TextRect(row, cDate), TextFlags(cDate), texts.Date);
    PaintPicture(painter, row);
    painter.setPen(TextColour(row));
    painter.drawText(TextRect(row, cDescription), TextFlags(cDescription), texts.Description);
    painter.drawText(TextRect(row, cMoon), TextFlags(cMoon), texts.MoonSun);
    PaintMoon(painter, row);
}

void TForecastList::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // The device really painted on: the screen's backing store, or the image
    // of a grab or render at its own density.
    const QPaintDevice *device = painter.paintEngine() != nullptr ? painter.paintEngine()->paintDevice() : nullptr;
    const qreal ratio = device != nullptr ? device->devicePixelRatioF() : devicePixelRatioF();
    painter.fillRect(event->rect(), FColours.Background);
    const int first = std::max(0, event->rect().top() / kRowHeight);
    const int last = std::min(static_cast<int>(FRows.size()) - 1, event->rect().bottom() / kRowHeight);
    for (int row = first; row <= last; ++row)
        PaintRow(painter, row, ratio);

    // Grid: a line under every row and right of every column.
    const int bottom = static_cast<int>(FRows.size()) * kRowHeight;
    painter.setPen(FColours.Grid);
    for (int row = first; row <= last; ++row)
        painter.drawLine(0, (row + 1) * kRowHeight - 1, width() - 1, (row + 1) * kRowHeight - 1);
    for (int c = 0; c < kForecastColumnCount && bottom > 0; ++c) {
        const int x = ColumnLeft(c) + ColumnWidth(c) - 1;
        painter.drawLine(x, 0, x, bottom - 1);
    }

    if (FCurrent >= first && FCurrent <= last) {
        const QRect selected(0, FCurrent * kRowHeight, width(), kRowHeight);
        QColor blend = FColours.Selection;
        blend.setAlpha(kSelectionAlpha);
        painter.fillRect(selected, blend);
        painter.setPen(FColours.SelectionBorder);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(selected.adjusted(0, 0, -1, -1));
    }
}

bool TForecastList::event(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        FDrawnTexts = QVector<TRowTexts>(FRows.size()); // cut again for the new font
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int row = RowAt(help->pos());
        const int column = ColumnAt(help->pos());
        const QString tip = CellToolTip(row, column);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this, CellRect(row, column));
        return true;
    }
    return QWidget::event(event);
}

void TForecastList::mousePressEvent(QMouseEvent *event)
{
    SetCurrentRow(RowAt(event->position().toPoint()));
    if (event->button() == Qt::LeftButton) {
        FDragPending = true;
        FPressGlobal = event->globalPosition().toPoint();
    }
    event->accept();
}

void TForecastList::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (FMover.Following()) {
        FMover.Follow(global);
        return;
    }
    // The window moves as from its bars once the pointer has really moved.
    if (FDragPending && (global - FPressGlobal).manhattanLength() >= QApplication::startDragDistance()) {
        FDragPending = false;
        FMover.Start(window(), FPressGlobal, global);
    }
}

void TForecastList::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        FDragPending = false;
        FMover.Stop();
    }
}

void TForecastList::keyPressEvent(QKeyEvent *event)
{
    if (FRows.isEmpty() || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        SetCurrentRow(FCurrent <= 0 ? 0 : FCurrent - 1);
        break;
    case Qt::Key_Down:
        SetCurrentRow(std::min(static_cast<int>(FRows.size()) - 1, FCurrent + 1));
        break;
    case Qt::Key_Home:
        SetCurrentRow(0);
        break;
    case Qt::Key_End:
        SetCurrentRow(static_cast<int>(FRows.size()) - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TForecastList::contextMenuEvent(QContextMenuEvent *event)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&TForecastList::ContextMenuRequested))) {
        event->ignore();
        return;
    }
    const QPoint global = event->reason() == QContextMenuEvent::Keyboard && FCurrent >= 0
                              ? mapToGlobal(CellRect(FCurrent, cDate).center())
                              : event->globalPos();
    emit ContextMenuRequested(global);
    event->accept();
}
