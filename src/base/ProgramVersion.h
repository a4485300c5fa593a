// The program's version record: who makes it, what it is called, which version
// this build is and the rights text, as the about header and the update check
// show them.
#pragma once

#include <QString>

struct TVersionRecord {
    QString CompanyName;
    QString ProductName;
    QString FileVersion;
    QString LegalCopyright;
};

const TVersionRecord &ProgramVersion();

// The maker's web site, opened from the about header.
extern const char kMakerWebSite[];
