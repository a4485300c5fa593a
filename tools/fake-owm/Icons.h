// The condition pictures the stand-in serves, drawn here as simple shapes.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Every icon code the service uses ("01d" ... "50n") and its PNG picture.
QMap<QString, QByteArray> DrawIcons();
