// What the update check is told and what it found: the running product, the
// names of the update page's tags, the options, and the page's values.
#pragma once

#include <QFlags>
#include <QString>

enum TVersionFormat {
    vfStandard, // dotted whole numbers
    vfString,   // text, compared by character codes
    vfNumber    // one floating-point number
};

class TProductInfo
{
public:
    // An address without "http://" or "https://" (any case) gets "http://" in front.
    void SetURL(const QString &url);
    QString URL() const { return FURL; }

    QString Version = QStringLiteral("1.0");
    TVersionFormat VersionFormat = vfStandard;

private:
    QString FURL;
};

// The tag names the page parser looks for; they match without regard to case.
struct TTagInfo {
    QString Author = QStringLiteral("Author");
    QString Email = QStringLiteral("Email");
    QString ClientFileName = QStringLiteral("File");
    QString Download = QStringLiteral("Download");
    QString Page = QStringLiteral("Page");
    QString ProductName = QStringLiteral("Name");
    QString Redirection = QStringLiteral("Redirection");
    QString RunParameters = QStringLiteral("RunParameters");
    QString Version = QStringLiteral("Version");
    QString MD5 = QStringLiteral("MD5");
    QString SHA256 = QStringLiteral("SHA256");
};

// The names the applet's own update page uses.
TTagInfo AppletTagInfo();

enum TUpdateOption {
    uoRunUpdate = 1, // open a verified download
    uoTerminate = 2, // and end the program after that
    uoOverwrite = 4  // replace a file of the same name without asking
};
Q_DECLARE_FLAGS(TUpdateOptions, TUpdateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TUpdateOptions)

// The values one update page named.
struct TUpdateInfo {
    QString ProductName;
    QString ProductVersion;
    QString UpdateURL; // the download tag
    QString ClientFileName;
    QString RedirectionURL;
    QString Author;
    QString EMail;
    QString RunParameters;
    QString MD5;
    QString SHA256;
    QString Page;
};
