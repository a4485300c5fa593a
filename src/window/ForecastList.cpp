#include "ForecastList.h"

#include "ConditionPictureSource.h"
#include "ForecastListAccessible.h"
#include "PictureFile.h"
#include "mooncomp.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QStringList>
#include <QToolTip>
#include <QtMath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

enum TColumn { cDate, cPicture, cDescription, cMoon };

constexpr int kFontPoints = 8;
constexpr qreal kHalfPixel = 0.5; // a one-pixel line drawn on the pixels just outside a rectangle
// One notch of a wheel (in eighths of a degree) scrolls one row.
constexpr int kWheelNotch = 120;
// The focus frame, inside the selection's border.
constexpr int kFocusInset = 2;

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

// The longest start of `line` ending before a blank that fits `width`; -1 when
// not even the first word does.
qsizetype WrapPoint(const QString &line, const QFontMetrics &metrics, int width)
{
    for (qsizetype blank = line.lastIndexOf(QLatin1Char(' ')); blank > 0;
         blank = line.lastIndexOf(QLatin1Char(' '), blank - 1)) {
        if (metrics.horizontalAdvance(line.left(blank).trimmed()) <= width)
            return blank;
    }
    return -1;
}

} // namespace

QString FitLines(const QString &text, const QFontMetrics &metrics, const TLineWidth &widthOf, bool *cut)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList fitted;
    bool shortened = false;
    auto fit = [&](const QString &line, int width) {
        if (metrics.horizontalAdvance(line) <= width)
            return line;
        shortened = true;
        return metrics.elidedText(line, Qt::ElideRight, width);
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const int width = widthOf(static_cast<int>(i));
        const bool emptyBelow = i + 1 < lines.size() && lines[i + 1].trimmed().isEmpty();
        const qsizetype wrap =
            emptyBelow && metrics.horizontalAdvance(line) > width ? WrapPoint(line, metrics, width) : -1;
        if (wrap < 0) {
            fitted << fit(line, width);
            continue;
        }
        fitted << line.left(wrap).trimmed() << fit(line.mid(wrap + 1).trimmed(), widthOf(static_cast<int>(i + 1)));
        ++i; // the empty line took the rest
    }
    if (cut)
        *cut = shortened;
    return fitted.join(QLatin1Char('\n'));
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

// A cell's lines, each on the list's pitch with its baseline where the font
// puts it within a line: drawn as one text, the lines took the full line
// spacing of whatever font drew them, and in a CJK font the sixth line of a
// row fell off its bottom.
void DrawLines(QPainter &painter, const QRect &rect, int flags, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    // Where the font's own spacing fits, the lines stand where a text layout
    // puts them: each on a whole pixel, its leading above it. Closer lines
    // keep their exact steps, or the rounding would add up past the row.
    const qreal scale = TForecastList::LinePitch(painter.font()) / metrics.lineSpacing();
    const bool closer = scale < 1;
    qreal top = rect.top();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        top += metrics.leading() * scale;
        if (!closer)
            top = std::ceil(top);
        qreal left = rect.left();
        if (flags & Qt::AlignHCenter)
            left += (rect.width() - metrics.horizontalAdvance(line)) / 2;
        painter.drawText(QPointF(left, top + metrics.ascent() * scale), line);
        top += metrics.height() * scale;
    }
}

} // namespace

TForecastList::TForecastList(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("lv"));
    InstallForecastListAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
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
    FDrawnTexts = QVector<TRowTexts>(rows.size());
    LoadPictures();
    FCurrent = -1;
    FScroll = 0;
    updateGeometry();
    update();
}

void TForecastList::SetOwnPictures(bool own)
{
    if (own == FOwnPictures)
        return;
    FOwnPictures = own;
    LoadPictures();
    updateGeometry();
    update();
}

QImage TForecastList::LoadPicture(int row, qreal ratio) const
{
    return ConditionPicture(FOwnPictures, FRows[row].Icon, FRows[row].IconPath, kPictureLimit, ratio);
}

void TForecastList::LoadPictures()
{
    FPictures = QVector<TRowPictures>(FRows.size());
    QHash<QString, QImage> loaded;
    for (int i = 0; i < FRows.size(); ++i) {
        const QString &path = FRows[i].IconPath;
        auto found = loaded.constFind(path);
        if (found == loaded.constEnd())
            found = loaded.insert(path, LoadPicture(i, devicePixelRatioF()));
        FPictures[i].Condition = *found;
    }
}

void TForecastList::PictureArrived(const QString &path)
{
    if (FOwnPictures)
        return; // the rows show the program's own drawings
    QImage picture;
    for (int i = 0; i < FRows.size(); ++i) {
        if (FRows[i].IconPath != path)
            continue;
        if (picture.isNull())
            picture = ReadPictureFile(path);
        FPictures[i].Condition = picture;
        FPictures[i].ScaledFor = 0; // made again at the next paint
    }
    update();
}

void TForecastList::SetCurrentRow(int row)
{
    const int value = row >= 0 && row < FRows.size() ? row : -1;
    if (value >= 0)
        EnsureRowVisible(value);
    if (value == FCurrent)
        return;
    FCurrent = value;
    update();
    if (value >= 0 && QAccessible::isActive()) {
        QAccessibleEvent event(this, hasFocus() ? QAccessible::Focus : QAccessible::Selection);
        event.setChild(value);
        QAccessible::updateAccessibility(&event);
    }
}

int TForecastList::Scroll() const
{
    // The list may have grown since the rows were scrolled.
    return std::min(FScroll, MaxScroll());
}

int TForecastList::MaxScroll() const
{
    return std::max(0, static_cast<int>(FRows.size()) * kRowHeight - height());
}

void TForecastList::SetScroll(int pixels)
{
    const int value = std::clamp(pixels, 0, MaxScroll());
    const bool moved = value != Scroll();
    FScroll = value;
    if (moved)
        update();
}

int TForecastList::RowsPerPage() const
{
    return std::max(1, height() / kRowHeight);
}

void TForecastList::EnsureRowVisible(int row)
{
    if (row < 0 || row >= FRows.size())
        return;
    const int top = row * kRowHeight;
    if (top < Scroll())
        SetScroll(top);
    else if (top + kRowHeight > Scroll() + height())
        SetScroll(top + kRowHeight - height());
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
    return QRect(ColumnLeft(column), row * kRowHeight - Scroll(), ColumnWidth(column), kRowHeight);
}

int TForecastList::RowAt(const QPoint &pos) const
{
    if (pos.y() < 0 || pos.y() >= height() || pos.x() < 0 || pos.x() >= width())
        return -1;
    const int row = (pos.y() + Scroll()) / kRowHeight;
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
    const QSize size = FPictures[row].Condition.deviceIndependentSize().toSize();
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

TLineWidth TForecastList::DescriptionLineWidth(int row) const
{
    const int width = TextRect(row, cDescription).width();
    return [width](int) { return width; };
}

qreal TForecastList::LinePitch(const QFont &font)
{
    const qreal room = static_cast<qreal>(kRowHeight - kTextTop) / kRowLines;
    return std::min(QFontMetricsF(font).lineSpacing(), room);
}

TLineWidth TForecastList::MoonLineWidth(int row, const QFontMetrics &metrics) const
{
    const QRect text = TextRect(row, cMoon);
    const QRect moon = MoonRect(row);
    const int besideMoon = std::max(0, moon.left() - kTextToMoon - text.left());
    const int full = text.width();
    const qreal pitch = std::min<qreal>(metrics.lineSpacing(), LinePitch(font()));
    const int lineHeight = std::min(metrics.height(), qCeil(pitch));
    const int top = text.top();
    return [=](int line) {
        const int lineTop = top + qFloor(line * pitch);
        const bool beside = lineTop < moon.bottom() + 1 && lineTop + lineHeight > moon.top();
        return beside ? besideMoon : full;
    };
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

QString TForecastList::CellText(int row, int column) const
{
    if (row < 0 || row >= FRows.size())
        return {};
    const TForecastRow &r = FRows[row];
    switch (column) {
    case cDate: return r.DateText;
    case cPicture: return r.PressureText + QLatin1Char('\n') + r.RangeText;
    case cDescription: return r.DescriptionText;
    case cMoon: return r.MoonSunText;
    default: return {};
    }
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
    case cMoon: {
        // Whole when nothing of it was shortened and its lines fit the row.
        const QString &whole = column == cDescription ? r.DescriptionText : r.MoonSunText;
        const QFontMetrics metrics(font());
        bool cut = false;
        const QString fitted = FitLines(
            whole, metrics, column == cDescription ? DescriptionLineWidth(row) : MoonLineWidth(row, metrics), &cut);
        return !cut && TextFits(fitted, TextRect(row, column), flags, font()) ? QString() : whole;
    }
    default:
        return {};
    }
}

QString TForecastList::RowToolTip(int row, int column) const
{
    if (row < 0 || row >= FRows.size())
        return {};
    const QString cell = CellToolTip(row, column);
    const QString &detail = FRows[row].DetailText;
    if (cell.isEmpty() || detail.isEmpty())
        return cell.isEmpty() ? detail : cell;
    return cell + QStringLiteral("\n\n") + detail;
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
    // An own drawing is drawn again at the new density rather than scaled.
    if (FOwnPictures && !pictures.Condition.isNull() && pictures.Condition.devicePixelRatio() != ratio)
        pictures.Condition = LoadPicture(row, ratio);
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
    if (pictures.MoonScaled.isNull())
        return;
    // A ring in the row's text colour just around the disc: the moon's dark
    // part alone would vanish on a dark background. The picture covers
    // whatever of it falls on the disc.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(TextColour(row), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(MoonRect(row)).adjusted(-kHalfPixel, -kHalfPixel, kHalfPixel, kHalfPixel));
    painter.restore();
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
        texts.Description = FitLines(r.DescriptionText, metrics, DescriptionLineWidth(row));
    }
    texts.MoonSun = FitLines(r.MoonSunText, metrics, MoonLineWidth(row, metrics));
    texts.ForMoonWidth = moonWidth;
    return texts;
}

void TForecastList::PaintRow(QPainter &painter, int row, qreal ratio) const
{
    PrepareScaled(row, ratio);
    // The chosen row's tint goes under its texts and pictures, which keep
    // their full strength: a tint over them read as a disabled row.
    QColor tint = FColours.Selection;
    tint.setAlpha(kSelectionAlpha);
    for (int c = 0; c < kForecastColumnCount; ++c) {
        painter.fillRect(CellRect(row, c), FColours.Columns[c]);
        if (row == FCurrent)
            painter.fillRect(CellRect(row, c), tint);
    }
    const TRowTexts &texts = DrawnTexts(row);
    QFont rowFont = font();
    rowFont.setItalic(FRows[row].Weekend && FColours.WeekendItalic);
    painter.setPen(TextColour(row));
    painter.setFont(rowFont);
    DrawLines(painter, TextRect(row, cDate), TextFlags(cDate), texts.Date);
    PaintPicture(painter, row);
    painter.setPen(TextColour(row));
    painter.setFont(rowFont);
    DrawLines(painter, TextRect(row, cDescription), TextFlags(cDescription), texts.Description);
    DrawLines(painter, TextRect(row, cMoon), TextFlags(cMoon), texts.MoonSun);
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
    const int scroll = Scroll();
    const int first = std::max(0, (event->rect().top() + scroll) / kRowHeight);
    const int last = std::min(static_cast<int>(FRows.size()) - 1, (event->rect().bottom() + scroll) / kRowHeight);
    for (int row = first; row <= last; ++row)
        PaintRow(painter, row, ratio);

    // Grid: a line under every row and right of every column.
    const int bottom = static_cast<int>(FRows.size()) * kRowHeight - scroll;
    painter.setPen(FColours.Grid);
    for (int row = first; row <= last; ++row) {
        const int y = (row + 1) * kRowHeight - 1 - scroll;
        painter.drawLine(0, y, width() - 1, y);
    }
    for (int c = 0; c < kForecastColumnCount && bottom > 0; ++c) {
        const int x = ColumnLeft(c) + ColumnWidth(c) - 1;
        painter.drawLine(x, 0, x, bottom - 1);
    }

    if (FCurrent >= first && FCurrent <= last) {
        const QRect selected(0, FCurrent * kRowHeight - scroll, width(), kRowHeight);
        painter.setPen(FColours.SelectionBorder);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(selected.adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        // Where the keys act: the current row, else the whole list.
        const QRect area = FCurrent >= 0 ? QRect(0, FCurrent * kRowHeight - scroll, width(), kRowHeight) : rect();
        painter.setPen(QPen(FColours.Text, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
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
        const QString tip = RowToolTip(row, column);
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
    FPressRow = event->button() == Qt::LeftButton ? FCurrent : -1;
    if (event->button() == Qt::LeftButton) {
        FPressGlobal = event->globalPosition().toPoint();
        FPressScroll = Scroll();
        FMover.Press(FPressGlobal);
    }
    event->accept();
}

void TForecastList::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (FDragScrolling) {
        SetScroll(FPressScroll - (global.y() - FPressGlobal.y()));
        return;
    }
    // Once the pointer has really moved: rows that do not all fit follow it,
    // otherwise the window moves as from its bars.
    if (FMover.Pending() && MaxScroll() > 0
        && (global - FPressGlobal).manhattanLength() >= QApplication::startDragDistance()) {
        FMover.Release();
        FDragScrolling = true;
        SetScroll(FPressScroll - (global.y() - FPressGlobal.y()));
        return;
    }
    FMover.Drag(window(), global);
}

void TForecastList::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // A press that dragged the window or the rows chose nothing.
        const QPoint global = event->globalPosition().toPoint();
        const bool click = !FDragScrolling
                           && (global - FPressGlobal).manhattanLength() < QApplication::startDragDistance();
        FDragScrolling = false;
        FMover.Release();
        const int row = RowAt(event->position().toPoint());
        if (click && row >= 0 && row == FPressRow)
            emit RowActivated(row, false);
        FPressRow = -1;
    }
}

void TForecastList::wheelEvent(QWheelEvent *event)
{
    if (MaxScroll() == 0) {
        event->ignore();
        return;
    }
    // Touchpads give pixels; wheels give notches, a row each.
    if (!event->pixelDelta().isNull()) {
        SetScroll(Scroll() - event->pixelDelta().y());
    } else {
        FWheelRest += event->angleDelta().y();
        const int pixels = FWheelRest * kRowHeight / kWheelNotch;
        FWheelRest -= pixels * kWheelNotch / kRowHeight;
        SetScroll(Scroll() - pixels);
    }
    event->accept();
}

void TForecastList::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // Reached by Tab the list starts on its first day, so the keys act at once.
    const Qt::FocusReason reason = event->reason();
    if (FCurrent < 0 && !FRows.isEmpty() && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
        SetCurrentRow(0);
    update();
}

void TForecastList::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TForecastList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (FCurrent >= 0)
        EnsureRowVisible(FCurrent);
}

void TForecastList::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && FCurrent >= 0 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit RowActivated(FCurrent, true);
        return;
    }
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
    case Qt::Key_PageUp:
        SetCurrentRow(std::max(0, FCurrent - RowsPerPage()));
        break;
    case Qt::Key_PageDown:
        SetCurrentRow(std::min(static_cast<int>(FRows.size()) - 1, std::max(0, FCurrent) + RowsPerPage()));
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
