#include "ConditionPictureSource.h"

#include "ConditionPictures.h"
#include "PictureFile.h"

bool UsesOwnPictures(TWeatherService service, bool ownPictures)
{
    return service == wsOpenMeteo || ownPictures;
}

QImage ConditionPicture(bool own, const QString &icon, const QString &path, int logicalSize, qreal ratio)
{
    if (own)
        return RenderConditionPicture(icon, logicalSize, ratio);
    return path.isEmpty() ? QImage() : ReadPictureFile(path);
}
