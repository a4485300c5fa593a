// Where the window's condition pictures come from: the program's own drawings
// or the pictures the service offers, downloaded beside the settings.
#pragma once

#include "WeatherRecords.h"

#include <QImage>
#include <QString>

// Whether the program's own pictures show the conditions: always for
// Open-Meteo, which offers none; for OpenWeatherMap as the user chose (`OP`).
bool UsesOwnPictures(TWeatherService service, bool ownPictures);

// A condition's picture as the window shows it. With own pictures: the
// drawing for `icon` ("10d.png") at `logicalSize` logical pixels and `ratio`
// device pixels each, with that ratio set. Otherwise: the downloaded picture
// at `path` as it is (ratio 1). Null when there is none.
QImage ConditionPicture(bool own, const QString &icon, const QString &path, int logicalSize, qreal ratio);
