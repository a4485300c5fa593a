// The weather pictures the program keeps beside its settings, read for the
// window without ever blocking on what might stand in their place.
#pragma once

#include <QImage>
#include <QString>

// A condition picture larger than this is no icon; it is not loaded.
inline constexpr int kLargestWeatherPicture = 512;

// The picture in `path`, or a null image when there is none, the file is no
// regular file of picture size, or the picture is wider or taller than
// `largestSide` pixels.
QImage ReadPictureFile(const QString &path, int largestSide = kLargestWeatherPicture);
