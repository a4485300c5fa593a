// The condition pictures: which names may be fetched, where from, and how a
// fetched picture reaches the icon folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// An icon file name is one to three ASCII letters or digits and ".png". Only
// such names are fetched, so no name a response carries can point outside the
// icon folder or at another kind of file.
bool IsIconFileName(const QString &name);

// True when `bytes` begin with the eight-byte PNG signature and end with the
// image-end chunk, so a transfer cut short is not taken for a picture.
bool IsWholePng(const QByteArray &bytes);

// "<webBase>/img/w/<name>".
QString IconUrl(const QString &webBase, const QString &name);

// The path of an icon in `folder`: the bare name when the folder is empty,
// else the folder with exactly one separator before the name.
QString IconFilePath(const QString &folder, const QString &name);

// Writes `bytes` to `path` through a temporary file renamed into place, so the
// file is either whole or absent. False when it could not be written.
bool WriteIconFile(const QString &path, const QByteArray &bytes);

// Fetches the picture of one icon name into `bytes`; false when nothing came.
using TIconFetcher = std::function<bool(const QString &name, QByteArray &bytes)>;

// For each name in order: skips names that break the naming rule, fetches the
// rest (a name listed twice is fetched twice) and writes what is a PNG picture
// into `folder`. A failed, empty or non-PNG download and a file that cannot be
// written leave no file, so the icon is fetched again next time; the other
// names are still processed. Answers the names written.
QStringList DownloadIconFiles(const QStringList &names, const QString &folder, const TIconFetcher &fetch);
