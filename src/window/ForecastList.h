// The forecast list below the header: one 80-pixel row per forecast day in
// four columns (date and day names; picture with pressure and temperature
// range; description; moon and sun with the moon's picture), drawn by the
// widget itself from rows built once per refresh. No header and no scroll bar:
// the window is sized to the rows while the screen has room; where it has not,
// the rows scroll by wheel, keys and dragging, and the current row is kept in view.
#pragma once

#include "ForecastListColours.h"
#include "ForecastRows.h"
#include "WindowMover.h"

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QVector>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QFontMetrics;
class QPainter;
class TMoon;

// `text` with each line that is wider than `width` cut at its end with "…".
QString ElideEachLine(const QString &text, const QFontMetrics &metrics, int width);

// The width a cell's line may take, by its index from the cell's top.
using TLineWidth = std::function<int(int line)>;

// `text` laid into a cell line by line: a line too wide for its width is first
// wrapped at a blank onto the empty line below it, when there is one; what
// still does not fit ends in "…", and `cut` (when given) tells so. The lines
// keep their places: a wrapped line takes only the empty one below it.
QString FitLines(const QString &text, const QFontMetrics &metrics, const TLineWidth &widthOf,
                 bool *cut = nullptr);

class TForecastList : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 80;
    static constexpr std::array<int, kForecastColumnCount> kColumnWidths{80, 64, 150, 172};
    static constexpr int kPictureLimit = 50;     // larger pictures are shrunk to this
    static constexpr int kRangeTop = 64;         // the temperature range, below the cell's top
    static constexpr int kMoonSize = 32;
    static constexpr int kMoonFromRight = 35;    // the moon's left edge, from the cell's right edge
    static constexpr int kMoonFromTop = 5;
    static constexpr int kTextMargin = 3;        // left and right of a cell's text
    static constexpr int kTextTop = 1;           // six lines of the list's font fill a row
    static constexpr int kRowLines = 6;
    static constexpr int kTextToMoon = 3;        // free space left of the moon's picture

    explicit TForecastList(QWidget *parent = nullptr);
    ~TForecastList() override;

    // The distance from one line of a cell to the next in `font`: its own line
    // spacing, closer where six lines would not fit a row (a CJK font's line
    // spacing is half as much again as its glyphs need).
    static qreal LinePitch(const QFont &font);

    // Replaces the rows; the condition pictures are loaded here, the scaled
    // pictures and the moons at the first paint. The selection goes.
    void SetRows(const TForecastRows &rows);
    const TForecastRows &Rows() const { return FRows; }
    // The condition picture at `path` arrived after the rows were set: the
    // rows that show it load it now; the rest and the selection stay.
    void PictureArrived(const QString &path);
    // The program's own drawings in place of the downloaded files (off at
    // first); the rows' pictures are made again.
    void SetOwnPictures(bool own);
    bool OwnPictures() const { return FOwnPictures; }
    int RowCount() const { return FRows.size(); }

    int CurrentRow() const { return FCurrent; }
    // -1 or a row outside the list clears the selection; a row is scrolled
    // into view.
    void SetCurrentRow(int row);

    // How far the rows are scrolled up, in pixels, from 0 to MaxScroll().
    int Scroll() const;
    int MaxScroll() const;
    void SetScroll(int pixels);
    // Scrolls as little as shows the whole row.
    void EnsureRowVisible(int row);

    const TForecastListColours &Colours() const { return FColours; }
    void SetColours(const TForecastListColours &colours);
    // The theme changed: the title bar's and header's painted colours and the
    // theme's control colour.
    void ApplyTheme(TColor titleBarPainted, TColor headerPainted, TColor controlColour);

    // Left and width of a column; the last one takes the rest of the width.
    int ColumnLeft(int column) const;
    int ColumnWidth(int column) const;
    QRect CellRect(int row, int column) const;
    // The row and column under a point, -1 where there is none.
    int RowAt(const QPoint &pos) const;
    int ColumnAt(const QPoint &pos) const;
    // Where a row's picture and moon are drawn.
    QRect PictureRect(int row) const;
    QRect MoonRect(int row) const;
    // A cell's whole text, as a screen reader is given it.
    QString CellText(int row, int column) const;
    // The whole text of a cell when it does not fit, else empty.
    QString CellToolTip(int row, int column) const;
    // What the tooltip over a cell shows: the day's whole detail, after the
    // cell's whole text where that was shortened.
    QString RowToolTip(int row, int column) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A context menu was asked for over the list; with nothing connected the
    // request goes on to the parent.
    void ContextMenuRequested(const QPoint &globalPos);
    // A day was chosen: clicked (pressed and released on it without a drag),
    // or Enter on the current row (`byKey`).
    void RowActivated(int row, bool byKey);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Pictures of one row. The condition picture is loaded when the rows are
    // set; the scaled pictures, the moon among them, are made at the first
    // paint, at the one size the screen's density needs.
    struct TRowPictures {
        // As loaded, or an own drawing at the density last painted (its ratio
        // set); null when the file is missing or unreadable.
        mutable QImage Condition;
        // Remade only when the density changes.
        mutable QPixmap ConditionScaled;
        mutable QPixmap MoonScaled;
        mutable qreal ScaledFor = 0;
    };

    // A row's texts as drawn: a line wider than its cell ends in "…" (the
    // tooltip shows it whole). Made again only when the last column's width
    // changes.
    struct TRowTexts {
        QString Date;
        QString Description;
        QString MoonSun;
        int ForMoonWidth = -1;
    };

    const TRowTexts &DrawnTexts(int row) const;
    int RowsPerPage() const;
    QRect TextRect(int row, int column) const;
    // The widths of a row's description and moon lines: the moon's lines
    // beside its picture end before it.
    TLineWidth DescriptionLineWidth(int row) const;
    TLineWidth MoonLineWidth(int row, const QFontMetrics &metrics) const;
    int TextFlags(int column) const;
    QColor TextColour(int row) const;
    QFont RangeFont() const;
    void PaintRow(QPainter &painter, int row, qreal ratio) const;
    void PaintPicture(QPainter &painter, int row) const;
    void PaintMoon(QPainter &painter, int row) const;
    void PrepareScaled(int row, qreal ratio) const;
    void LoadPictures();
    QImage LoadPicture(int row, qreal ratio) const;
    bool TextFits(const QString &text, const QRect &rect, int flags, const QFont &font) const;

    TForecastRows FRows;
    QVector<TRowPictures> FPictures;
    mutable QVector<TRowTexts> FDrawnTexts;
    std::unique_ptr<TMoon> FMoon; // draws the rows' moons
    TForecastListColours FColours;
    bool FOwnPictures = false;
    int FCurrent = -1;
    int FScroll = 0;
    int FWheelRest = 0; // a part of a wheel notch not yet scrolled (fine-grained wheels)

    // A press and drag moves the window, or scrolls the rows where they do not fit.
    TWindowMover FMover;
    bool FDragScrolling = false; // the rows follow the pointer
    QPoint FPressGlobal;
    int FPressScroll = 0;
    int FPressRow = -1;
};
