// The stand-in's update page: a newer version of the applet with a small
// download and its SHA256, so the update check can be shown and tested whole.
#pragma once

#include <QByteArray>
#include <QString>

namespace httplib {
class Server;
}

inline constexpr char kUpdatePagePath[] = "/webupdate.html";
inline constexpr char kUpdateFilePath[] = "/download/nimbrel-update.tar.gz";
inline constexpr char kUpdateInfoPath[] = "/nimbrel.html";

// The bytes the download serves for `version`.
QByteArray UpdateFileBytes(const QString &version);

// The page's text; `base` is "http://host:port" as the client reached us.
QByteArray UpdatePageText(const QString &version, const QString &base);

void AddUpdateRoutes(httplib::Server &server, const QString &version);
