#include "UpdatePage.h"

#include <httplib.h>

#include <QCryptographicHash>

namespace {

const char kHtmlType[] = "text/html; charset=utf-8";
const char kArchiveType[] = "application/gzip";
const char kProductName[] = "Nimbrel";
const char kFileName[] = "nimbrel-update.tar.gz";

} // namespace

QByteArray UpdateFileBytes(const QString &version)
{
    return QByteArrayLiteral("Nimbrel stand-in update ") + version.toUtf8() + '\n';
}

QByteArray UpdatePageText(const QString &version, const QString &base)
{
    const QByteArray sha256 = QCryptographicHash::hash(UpdateFileBytes(version), QCryptographicHash::Sha256).toHex();
    // One tag per line; the download is named relative to the page's folder.
    QByteArray page;
    page += "<HTML><HEAD>\r\n";
    page += "<META NAME=\"NBName\" CONTENT=\"" + QByteArray(kProductName) + "\">\r\n";
    page += "<META NAME=\"NBVersion\" CONTENT=\"" + version.toUtf8() + "\">\r\n";
    page += "<META NAME=\"NBDownload\" CONTENT=\"" + QByteArray(kUpdateFilePath).mid(1) + "\">\r\n";
    page += "<META NAME=\"NBFile\" CONTENT=\"" + QByteArray(kFileName) + "\">\r\n";
    page += "<META NAME=\"NBPage\" CONTENT=\"" + base.toUtf8() + kUpdateInfoPath + "\">\r\n";
    page += "<META NAME=\"SHA256\" CONTENT=\"" + sha256 + "\">\r\n";
    page += "<TITLE>Nimbrel update</TITLE></HEAD><BODY>Nimbrel " + version.toUtf8() + "</BODY></HTML>\r\n";
    return page;
}

void AddUpdateRoutes(httplib::Server &server, const QString &version)
{
    server.Get(kUpdatePagePath, [version](const httplib::Request &request, httplib::Response &response) {
        const QString host = QString::fromStdString(request.get_header_value("Host"));
        response.set_content(UpdatePageText(version, QStringLiteral("http://") + host).toStdString(), kHtmlType);
    });
    server.Get(kUpdateFilePath, [version](const httplib::Request &, httplib::Response &response) {
        response.set_content(UpdateFileBytes(version).toStdString(), kArchiveType);
    });
    server.Get(kUpdateInfoPath, [version](const httplib::Request &, httplib::Response &response) {
        response.set_content("<html><body>Nimbrel " + version.toStdString() + " is out.</body></html>", kHtmlType);
    });
}
