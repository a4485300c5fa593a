// The update page: its lines, the meta tags they carry, and the addresses
// derived from the page's own.
#pragma once

#include "UpdateTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Longest value a tag may carry; the rest of a longer one is dropped.
inline constexpr int kMaxTagValueLength = 255;

// The page's text (UTF-8) as lines, whatever the line ends.
QStringList PageLines(const QByteArray &body);

// Assigns each recognised tag of `lines` to its field of `info`; later lines
// override earlier ones, other fields keep their values. A line carries one
// tag when it contains "META NAME" (exact case): the name starts 11 characters
// after it, the value 9 characters after "CONTENT=" (any case), each ending
// before the next double quote. A line whose name or value has no closing
// quote, or that lacks "CONTENT=", is passed over: a page cut short must not
// put half a value in place of a whole one.
void ParseUpdatePage(const QStringList &lines, const TTagInfo &tags, TUpdateInfo &info);

// The address split as the fetch does: any "http://" or "https://" dropped,
// the host up to the first "/", the path from there.
struct TUrlParts {
    QString Host;
    QString Path;
    bool Secure = false;
};
TUrlParts SplitUrl(const QString &url);

// True for an address that begins with "http://" or "https://" (any case).
bool IsWebAddress(const QString &url);

// The page's folder: its address up to and including the last "/" of its path.
QString PageFolder(const QString &pageUrl);

// A download name that is no web address is taken from the page's folder.
QString DownloadAddress(const QString &download, const QString &pageUrl);
