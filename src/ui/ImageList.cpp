#include "ImageList.h"

#include <QPainter>

TImageList::TImageList(QSize size, QObject *parent)
    : QObject(parent)
    , FSize(size.expandedTo(QSize(0, 0)))
{
}

int TImageList::Add(const QImage &image)
{
    FImages.append(Fitted(image));
    emit Changed();
    return FImages.size() - 1;
}

void TImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= FImages.size())
        return;
    FImages[index] = Fitted(image);
    emit Changed();
}

void TImageList::Clear()
{
    FImages.clear();
    emit Changed();
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= FImages.size())
        return QImage();
    return FImages[index];
}

void TImageList::Draw(QPainter &painter, int x, int y, int index) const
{
    const QImage image = Image(index);
    if (!image.isNull())
        painter.drawImage(x, y, image);
}

QImage TImageList::Fitted(const QImage &image) const
{
    QImage fitted = image.isNull() ? QImage(FSize, QImage::Format_ARGB32_Premultiplied) : image;
    if (image.isNull())
        fitted.fill(Qt::transparent);
    else if (fitted.deviceIndependentSize().toSize() != FSize)
        // A picture drawn for a denser screen keeps its density, so it stays sharp there.
        fitted = fitted.scaled(FSize * fitted.devicePixelRatio(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return fitted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
