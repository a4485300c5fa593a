// The program's own picture: a sun behind a cloud, drawn at any size, for the
// tray, the window and the weather picture's place before any data came.
#pragma once

#include <QIcon>
#include <QImage>

QImage DrawApplicationPicture(int size);
// The picture at the sizes trays and panels ask for, each drawn when first asked.
QIcon ApplicationIcon();
