// Pictures of the dialogs, drawn rather than shipped: the location state
// glyphs, the eye of the key field, the program's picture for the header and
// the weather service's mark.
#pragma once

#include "WeatherRecords.h"

#include <QIcon>
#include <QPixmap>

// The location states of the preferences dialog, in the order of their glyphs.
enum TLocationState { lsNotSearched = 0, lsFound = 1, lsNotFound = 2 };

QIcon LocationStateIcon(TLocationState state);
QIcon ShowKeyIcon();
// The program's picture when the application has no window icon.
QPixmap ProgramPicture(int size);
// The mark of the service in use with its name, for the band at the dialog's foot.
QPixmap ServiceLogo(int height, TWeatherService service = wsOwm);
