// Where the program's shipped data (language files, day-name calendars) is
// found: relative to its own executable and never through the environment, so
// an installed or unpacked copy runs from whatever prefix it was put in.
#pragma once

#include <QString>
#include <QStringList>

// The name of the program's folder under <prefix>/share.
inline constexpr char kDataFolderName[] = "nimbrel";

struct TDataFolders {
    // Folders that may hold the day-name calendars, best first.
    QStringList Data;
    // Folders that may hold the language files, best first.
    QStringList Languages;
};

// For an executable in `executableFolder`, best first, each with a trailing '/':
// 1. installed: <executableFolder>/../share/nimbrel/, its languages in langs/;
// 2. beside the executable, as a portable copy keeps them: the calendars in the
//    folder itself, the languages in Langs/ and then in the folder itself;
// 3. the build tree the executable lies in (the nearest of the few folders
//    above it that holds a CMakeCache.txt): the calendars there, the
//    languages in its Langs/.
// Folders that do not exist are listed all the same; readers skip them. An
// empty `executableFolder` lists nothing.
TDataFolders FindDataFolders(const QString &executableFolder);
