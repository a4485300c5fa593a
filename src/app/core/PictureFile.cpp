#include "PictureFile.h"

#include "SafeFile.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// The service's icons are a few kilobytes; a file this large is no icon.
constexpr qint64 kMaxPictureBytes = 1024 * 1024;

} // namespace

QImage ReadPictureFile(const QString &path, int largestSide)
{
    QByteArray bytes;
    QString ignored; // no picture is shown for a file that is not one
    if (path.isEmpty() || ReadRegularFile(path, kMaxPictureBytes, bytes, ignored) != TReadOutcome::Read)
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > largestSide || size.height() > largestSide))
        return {};
    QImage image = reader.read();
    if (image.isNull() || image.width() > largestSide || image.height() > largestSide)
        return {};
    return image;
}
