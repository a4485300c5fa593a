// The program's own picture: a sun behind a cloud, drawn at any size, for the
// tray, the window and the weather picture's place before any data came.
#pragma once

#include <QIcon>
#include <QImage>

QImage DrawApplicationPicture(int size);
// Holds the picture at the sizes trays and panels ask for.
QIcon ApplicationIcon();
