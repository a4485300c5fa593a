// The current temperature as the tray's picture: digits as large as the square
// allows, light (in the panel's temperature colour) inside a dark halo, so that
// they read on a light panel and on a dark one alike. The degree sign is left
// out where it would make the digits much smaller; the minus sign is a bar of
// its own, never thinner than two pixels.
#pragma once

#include "TrayReading.h"

#include <QIcon>
#include <QImage>

// The sizes drawn, in device pixels: the tray's usual 16, 22, 24, 32 and 48
// at 1x, and the same at 2x. The tray takes the one nearest its size, at
// whatever size it has at the moment.
inline constexpr int kTrayPictureSizes[] = {16, 22, 24, 32, 44, 48, 64, 96};

// Whether the degree sign is drawn at that size.
bool TrayPictureShowsUnit(const TTrayReading &reading, int pixels);

// The picture, `pixels` square, transparent around the figures; an empty
// transparent square for a reading that is not valid.
QImage DrawTrayTemperature(const TTrayReading &reading, int pixels);

// The picture at every size of kTrayPictureSizes; a null icon for a reading
// that is not valid.
QIcon TrayTemperatureIcon(const TTrayReading &reading);
