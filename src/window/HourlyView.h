// The hours of one forecast day, in a panel under the forecast list: a strip
// of one column per hour or 3-hour slot (time, condition picture,
// temperature, precipitation with its chance, wind) under a small curve of
// the temperature across the day; where the service sent no hours, the day's
// detail. The columns share the width; more than fit scroll sideways, by
// keys, wheel and dragging, the current hour always in view.
#pragma once

#include "ForecastListColours.h"
#include "HourlyDay.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QVector>
#include <QWidget>

class QPainter;

class THourlyView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMinColumnWidth = 58;
    static constexpr int kPictureSize = 32;
    static constexpr int kCurveHeight = 30;
    static constexpr int kTextMargin = 2; // left and right of a column's texts

    explicit THourlyView(QWidget *parent = nullptr);

    // Shows `day` for the forecast row `row`, its first hour current; the
    // condition pictures are read here.
    void SetDay(int row, const THourlyDay &day);
    // The program's own drawings instead of the downloaded pictures.
    void SetOwnPictures(bool own);
    // Forgets the day; the view is then closed.
    void Clear();
    int Row() const { return FRow; }
    const THourlyDay &Day() const { return FDay; }
    int HourCount() const { return FDay.Hours.size(); }

    int CurrentHour() const { return FCurrent; }
    // An hour outside the day is ignored; the hour is scrolled into view.
    void SetCurrentHour(int hour);

    // How far the columns are scrolled to the left, in pixels.
    int Scroll() const;
    int MaxScroll() const;
    void SetScroll(int pixels);

    int ColumnWidth() const;
    // An hour's column, scrolled, in the view's coordinates.
    QRect ColumnRect(int hour) const;
    int HourAt(const QPoint &pos) const;
    // The rectangles of an hour's texts, from the top: time, temperature,
    // precipitation, chance, wind, direction; and its picture.
    QVector<QRect> TextRects(int hour) const;
    QRect PictureRect(int hour) const;
    QRect CurveRect() const;
    QRect TitleRect() const;
    // Where a day without hours shows its detail.
    QRect DetailRect() const;

    // A condition picture arrived after the day was set; ignored while the
    // view shows the program's own drawings.
    void PictureArrived(const QString &path);
    const TForecastListColours &Colours() const { return FColours; }
    void SetColours(const TForecastListColours &colours);

    // The height the view needs in its font.
    int NeededHeight() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Escape: the view is to close.
    void CloseRequested();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int LineHeight() const;
    int ColumnsTop() const;
    void EnsureHourVisible(int hour);
    void PaintCurve(QPainter &painter) const;
    void PaintHour(QPainter &painter, int hour, qreal ratio) const;
    QFont BoldFont() const;

    int FRow = -1;
    THourlyDay FDay;
    int FCurrent = -1;
    int FScroll = 0;
    int FPressX = 0;
    int FPressScroll = 0;
    TForecastListColours FColours;
    QHash<QString, QImage> FPictures; // by path; null when unreadable
    bool FOwnPictures = false;
    mutable QHash<QString, QPixmap> FScaled; // for FScaledFor
    mutable qreal FScaledFor = 0;
};
