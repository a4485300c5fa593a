// Equal-sized pictures addressed by index, shared by the bars of a form.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>

class QPainter;

class TImageList : public QObject
{
    Q_OBJECT

public:
    explicit TImageList(QSize size, QObject *parent = nullptr);

    int Width() const { return FSize.width(); }
    int Height() const { return FSize.height(); }
    QSize Size() const { return FSize; }
    int Count() const { return FImages.size(); }

    // Pictures of another size are scaled to the list's size, in device-independent
    // pixels: one drawn at twice the density stays so. Returns the index.
    int Add(const QImage &image);
    void Replace(int index, const QImage &image);
    void Clear();
    // A null image for an index outside the list.
    QImage Image(int index) const;
    void Draw(QPainter &painter, int x, int y, int index) const;

signals:
    void Changed();

private:
    QImage Fitted(const QImage &image) const;

    QSize FSize;
    QList<QImage> FImages;
};
